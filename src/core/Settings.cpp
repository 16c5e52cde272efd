#include "Settings.h"

#include "IniFile.h"
#include "Messages.h"
#include "TextCodec.h"
#include "TextUtils.h"
#include "Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

void ComputePaths(TSetupData &s)
{
    s.DataPath.clear();
    s.TempPath.clear();
    s.IniFileName.clear();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without a data home there is no safe place: the paths stay empty and
    // EnsureFolder refuses them, rather than writing under the file-system root.
    if (base.isEmpty())
        return;
    s.DataPath = IncludeTrailingBackslash(base) + QStringLiteral("Varnex Configurator/");
    s.TempPath = s.DataPath + QStringLiteral("Temp/");
    s.IniFileName = s.DataPath + QStringLiteral("VarnexCfg.ini");
}

bool CreateFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    // Parents too: on a new account even the data home may not exist yet.
    return !info.exists() && QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

bool EnsureFolder(const QString &folder)
{
    if (CreateFolder(folder))
        return true;
    ShowError(QString::fromLatin1(kFolderErrorText));
    return false;
}

QString FileVersionText(const QString &programFileName, bool full)
{
    // The version is the program's own, set once in the build.
    if (programFileName.isEmpty() || !QFileInfo(programFileName).isFile())
        return QString();
    if (full)
        return QStringLiteral("%1.%2.%3.%4")
            .arg(VX_VERSION_MAJOR)
            .arg(VX_VERSION_MINOR)
            .arg(VX_VERSION_RELEASE)
            .arg(VX_VERSION_BUILD);
    return QStringLiteral("%1.%2").arg(VX_VERSION_MAJOR).arg(VX_VERSION_MINOR);
}

QString ReadSetting(const QString &fileName, const QString &section, const QString &key, const QString &def)
{
    const QString value = TrimBlanksAndControls(IniReadString(fileName, section, key, def));
    return value.isEmpty() ? def : value;
}

bool WriteSetting(const QString &section, const QString &key, const QString &value)
{
    if (SetupData.IniFileName.isEmpty())
        return false;
    return IniWriteString(SetupData.IniFileName, section, key, value);
}

bool ReadCheckUpdates()
{
    const QString section = QString::fromLatin1(kSettingsSection);
    const QString key = QStringLiteral("CheckUpdates");
    if (IniKeyExists(SetupData.IniFileName, section, key)) {
        int32_t value = 0;
        if (!TryReadInteger(ReadSetting(SetupData.IniFileName, section, key, QString()), value))
            return true;
        return value != 0;
    }
    WriteSetting(section, key, QStringLiteral("1"));
    return true;
}

bool WriteCheckUpdates(bool on)
{
    return WriteSetting(QString::fromLatin1(kSettingsSection), QStringLiteral("CheckUpdates"),
                        on ? QStringLiteral("1") : QStringLiteral("0"));
}

void RecordProgramPath()
{
    const QString section = QString::fromLatin1(kSettingsSection);
    const QString key = QStringLiteral("ProgramPath");
    if (ReadSetting(SetupData.IniFileName, section, key, QString()) != SetupData.ProgramPath)
        WriteSetting(section, key, SetupData.ProgramPath);
}

bool WriteLanguageFile(const QString &fileName)
{
    return WriteSetting(QString::fromLatin1(kSettingsSection), QStringLiteral("LanguageFile"), fileName);
}

void ReadVendorName()
{
    SetupData.VendorName = ReadSetting(SetupData.IniFileName, QString::fromLatin1(kSettingsSection),
                                       QStringLiteral("VendorName"), QString::fromLatin1(kDefaultVendorName));
}

bool IsHomeMarket(const TSetupData &s)
{
    return s.VendorName == QLatin1String(kDefaultVendorName) && s.LanguageID == 1040;
}

bool IsHomeMarket() { return IsHomeMarket(SetupData); }

QString IncludeTrailingBackslash(const QString &folder)
{
    // An empty name stays empty: appending would turn it into the root folder.
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

bool ListFolderFiles(const QString &folder, QStringList &names)
{
    names.clear();
    if (folder.isEmpty())
        return false;
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    return !names.isEmpty();
}

void DeleteFolderFiles(const QString &folder)
{
    QStringList names;
    if (!ListFolderFiles(folder, names))
        return;
    const QString path = IncludeTrailingBackslash(folder);
    for (const QString &name : names) {
        const QString fileName = path + name;
        // A read-only file is kept, as the system keeps it elsewhere too.
        const QFileInfo info(fileName);
        if (!info.isSymLink() && !(info.permissions() & QFileDevice::WriteOwner))
            continue;
        QFile::remove(fileName);
    }
}

QString ProductTitle(const QString &productName)
{
    return FormatText(QStringLiteral("%s Configurator"), {productName});
}
