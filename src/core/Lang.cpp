#include "Lang.h"

#include "Globals.h"
#include "Settings.h"
#include "TextCodec.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString LangText(const QString &section, const QString &key)
{
    // No language chosen: the program folder itself is no language file.
    if (SetupData.LanguageFile.isEmpty())
        return QString();
    // The file's full name, joined again only when the folder or the file changes.
    thread_local QString folder, file, fullName;
    if (SetupData.ProgramPath != folder || SetupData.LanguageFile != file) {
        folder = SetupData.ProgramPath;
        file = SetupData.LanguageFile;
        fullName = folder + file;
    }
    return ReadSetting(fullName, section, key, QString());
}

QString LangOptions(const QString &key) { return LangText(QStringLiteral("LangOptions"), key); }
QString LangWizard(const QString &key) { return LangText(QStringLiteral("Wizard"), key); }
QString LangSetup(const QString &key) { return LangText(QStringLiteral("Setup"), key); }
QString LangMain(const QString &key) { return LangText(QStringLiteral("Main"), key); }
QString LangCommons(const QString &key) { return LangText(QStringLiteral("Commons"), key); }
QString LangMessages(const QString &key) { return LangText(QStringLiteral("Messages"), key); }
QString LangUps(const QString &key) { return LangText(QStringLiteral("Ups"), key); }
QString LangAccessories(const QString &key) { return LangText(QStringLiteral("Accessories"), key); }
QString LangContracts(const QString &key) { return LangText(QStringLiteral("Contracts"), key); }

bool SelectLanguage()
{
    const QString fallback = QStringLiteral("English.lng");
    const QString name =
        ReadSetting(SetupData.IniFileName, QString::fromLatin1(kSettingsSection), QStringLiteral("LanguageFile"), QString());
    if (!name.isEmpty() && QFileInfo(SetupData.ProgramPath + name).isFile()) {
        SetupData.LanguageFile = name;
    } else if (QFileInfo(SetupData.ProgramPath + fallback).isFile()) {
        SetupData.LanguageFile = fallback;
        WriteLanguageFile(fallback);
    } else {
        SetupData.LanguageFile.clear();
    }

    SetupData.LanguageID = -1;
    if (!SetupData.LanguageFile.isEmpty()) {
        int32_t id = 0;
        if (TryReadInteger(LangOptions(QStringLiteral("LanguageID")), id))
            SetupData.LanguageID = id;
    }
    return !SetupData.LanguageFile.isEmpty();
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
