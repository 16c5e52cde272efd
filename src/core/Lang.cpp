#include "Lang.h"

#include "Globals.h"
#include "Settings.h"
#include "TextCodec.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

thread_local const TLanguage *t_activeScope = nullptr;

} // namespace

QString LangText(const TLanguage &language, const QString &section, const QString &key)
{
    // No language chosen: the program folder itself is no language file.
    if (language.File.isEmpty())
        return QString();
    // The file's full name, joined again only when the folder or the file changes.
    thread_local QString folder, file, fullName;
    if (language.Folder != folder || language.File != file) {
        folder = language.Folder;
        file = language.File;
        fullName = folder + file;
    }
    return ReadSetting(fullName, section, key, QString());
}

TLanguage SettingsLanguage(const TSetupData &setup) { return {setup.ProgramPath, setup.LanguageFile, setup.LanguageID}; }

TLanguage ActiveLanguage() { return t_activeScope ? *t_activeScope : ProgramLanguage(); }

TLanguageScope::TLanguageScope(const TLanguage &language) : m_outer(t_activeScope) { t_activeScope = &language; }

TLanguageScope::~TLanguageScope() { t_activeScope = m_outer; }

QString LangText(const QString &section, const QString &key) { return LangText(ActiveLanguage(), section, key); }

QString LangOptions(const QString &key) { return LangText(QStringLiteral("LangOptions"), key); }
QString LangWizard(const QString &key) { return LangText(QStringLiteral("Wizard"), key); }
QString LangSetup(const QString &key) { return LangText(QStringLiteral("Setup"), key); }
QString LangMain(const QString &key) { return LangText(QStringLiteral("Main"), key); }
QString LangCommons(const QString &key) { return LangText(QStringLiteral("Commons"), key); }
QString LangMessages(const QString &key) { return LangText(QStringLiteral("Messages"), key); }
QString LangMessages(const TLanguage &language, const QString &key)
{
    return LangText(language, QStringLiteral("Messages"), key);
}
QString LangUps(const QString &key) { return LangText(QStringLiteral("Ups"), key); }
QString LangAccessories(const QString &key) { return LangText(QStringLiteral("Accessories"), key); }
QString LangContracts(const QString &key) { return LangText(QStringLiteral("Contracts"), key); }

TLanguage ChooseLanguage(const QString &programPath, const QString &savedFile)
{
    const QString fallback = QStringLiteral("English.lng");
    TLanguage language;
    language.Folder = programPath;
    if (!savedFile.isEmpty() && QFileInfo(programPath + savedFile).isFile())
        language.File = savedFile;
    else if (QFileInfo(programPath + fallback).isFile())
        language.File = fallback;

    if (!language.File.isEmpty()) {
        int32_t id = 0;
        if (TryReadInteger(LangText(language, QStringLiteral("LangOptions"), QStringLiteral("LanguageID")), id))
            language.Id = id;
    }
    return language;
}

QList<TLanguageEntry> ListLanguages(const QString &programPath)
{
    QList<TLanguageEntry> languages;
    if (programPath.isEmpty())
        return languages;
    const QDir dir(programPath);
    const QStringList files = dir.entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden, QDir::Name);
    const QString folder = IncludeTrailingBackslash(programPath);
    for (const QString &file : files) {
        const QString name =
            ReadSetting(folder + file, QStringLiteral("LangOptions"), QStringLiteral("LanguageName"), QString());
        if (!name.isEmpty())
            languages.append({name, file});
    }
    std::stable_sort(languages.begin(), languages.end(), [](const TLanguageEntry &a, const TLanguageEntry &b) {
        const int byName = QString::compare(a.Name, b.Name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : QString::compare(a.FileName, b.FileName, Qt::CaseInsensitive) < 0;
    });
    return languages;
}

QString ApplyLineBreaks(const QString &text, bool multiLine)
{
    QString result = text;
    // Qt widgets break lines at a line feed.
    return result.replace(QStringLiteral("\\n"), multiLine ? QStringLiteral("\n") : QString());
}
