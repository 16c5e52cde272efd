#pragma once
// Language texts: every lookup reads the active language file
// (SetupData.ProgramPath + SetupData.LanguageFile); nothing is cached.

#include <QString>
#include <QStringList>

QString LangText(const QString &section, const QString &key);
QString LangOptions(const QString &key);
QString LangWizard(const QString &key);
QString LangSetup(const QString &key);
QString LangMain(const QString &key);
QString LangCommons(const QString &key);
QString LangMessages(const QString &key);
QString LangUps(const QString &key);
QString LangAccessories(const QString &key);
QString LangContracts(const QString &key);

/// Chooses SetupData.LanguageFile (settings, else "English.lng" written back)
/// and reads SetupData.LanguageID; false when no language file is usable.
bool SelectLanguage();

struct TLanguageEntry {
    QString Name;     // LangOptions/LanguageName
    QString FileName; // without folder
};
/// "*.lng" files of the program folder with a non-empty LanguageName,
/// sorted by name without regard to letter case.
QList<TLanguageEntry> ListLanguages(const QString &programPath);

/// The two-character sequence backslash-n becomes a line break (multiLine) or is removed.
QString ApplyLineBreaks(const QString &text, bool multiLine);
