#pragma once
// Language texts: every lookup reads a language file (folder + file name);
// nothing is cached. The short lookups read the active language: the
// program's, or the one a TLanguageScope made active for a while.

#include <QString>
#include <QStringList>

#include <cstdint>

struct TSetupData;

/// One language: its file in a folder and the file's LanguageID.
struct TLanguage {
    QString Folder; // ends with '/'
    QString File;   // file name without folder, empty when none
    int32_t Id = -1; // -1 when none or not a number
};

/// A text of the language's file; empty without a language file.
QString LangText(const TLanguage &language, const QString &section, const QString &key);
/// The language the settings name (program folder, language file and id).
TLanguage SettingsLanguage(const TSetupData &setup);
/// The program's language, kept with the program-wide records.
TLanguage ProgramLanguage();
/// The innermost TLanguageScope's language, else the program's.
TLanguage ActiveLanguage();

/// Makes a language the active one of this thread while it lives. The language
/// stays the caller's: a change to it holds for the lookups that follow.
class TLanguageScope {
public:
    explicit TLanguageScope(const TLanguage &language);
    ~TLanguageScope();
    TLanguageScope(const TLanguageScope &) = delete;
    TLanguageScope &operator=(const TLanguageScope &) = delete;

private:
    const TLanguage *m_outer;
};

QString LangText(const QString &section, const QString &key);
QString LangOptions(const QString &key);
QString LangWizard(const QString &key);
QString LangSetup(const QString &key);
QString LangMain(const QString &key);
QString LangCommons(const QString &key);
QString LangMessages(const QString &key);
QString LangMessages(const TLanguage &language, const QString &key);
QString LangUps(const QString &key);
QString LangAccessories(const QString &key);
QString LangContracts(const QString &key);

/// The language of the program folder: the saved file name when that file
/// exists, else "English.lng" when it exists, else none (empty File, Id -1).
TLanguage ChooseLanguage(const QString &programPath, const QString &savedFile);

struct TLanguageEntry {
    QString Name;     // LangOptions/LanguageName
    QString FileName; // without folder
};
/// "*.lng" files of the program folder with a non-empty LanguageName,
/// sorted by name without regard to letter case.
QList<TLanguageEntry> ListLanguages(const QString &programPath);

/// The two-character sequence backslash-n becomes a line break (multiLine) or is removed.
QString ApplyLineBreaks(const QString &text, bool multiLine);
