#include "Startup.h"

#include "ItemList.h"
#include "Lang.h"
#include "PriceList.h"
#include "Settings.h"
#include "TextUtils.h"
#include "Vendor.h"

#include <QFileInfo>

namespace {

const char *const kNoLanguageText = "No language files founded. Impossible to continue.";

/// Version, program folder and the paths below the data home.
void SetPaths(const QString &programFile)
{
    SetupData.Version = FileVersionText(programFile, false);
    SetupData.CheckUpdates = true;
    SetupData.DebugMode = false;
    SetupData.LanguageID = -1;
    SetupData.ProgramPath = IncludeTrailingBackslash(QFileInfo(programFile).absolutePath());
    ComputePaths(SetupData);
}

/// The settings file and the data folders; false when a folder cannot be made.
bool PrepareDataFolders(const QStringList &arguments)
{
    // The very first run cannot record it yet: the data folder comes next.
    RecordProgramPath();
    if (!CreateFolder(SetupData.DataPath) || !CreateFolder(SetupData.TempPath))
        return false;
    DeleteFolderFiles(SetupData.TempPath);
    SetupData.DebugMode = ReadCommandLine(arguments);
    SetupData.CheckUpdates = ReadCheckUpdates();
    return true;
}

} // namespace

TStartupFindings RunStartup(const TStartupInput &input)
{
    TStartupFindings found;
    // A run starts from an empty settings record.
    SetupData = TSetupData();
    SetPaths(input.ProgramFileName);
    if (input.PrepareDataFolders && !PrepareDataFolders(input.Arguments)) {
        found.Errors << QString::fromLatin1(kFolderErrorText);
        found.Result = TStartupResult::EndProcess;
        return found;
    }
    found.LanguageFound = SelectLanguage();
    if (!found.LanguageFound) {
        found.Errors << QString::fromLatin1(kNoLanguageText);
        found.Result = TStartupResult::EndOnLoopStart;
        if (input.StopAtFirstFault)
            return found;
    }
    found.VendorLibraryLoaded = LoadVendorLibrary();
    if (!found.VendorLibraryLoaded) {
        // Worded in the language just chosen, if any.
        found.Errors << LangMessages(QStringLiteral("ErrorDllNotFound"));
        found.Result = TStartupResult::EndOnLoopStart;
        if (input.StopAtFirstFault)
            return found;
    }
    SetupData.ProductName = VendorText(101);
    found.PriceListLoaded = LoadPriceList();
    SetupData.ShowPrices = found.PriceListLoaded;
    found.StandardUpsList = LoadStandardUpsList(ProgramVendorReader());
    return found;
}

bool SelectLanguage()
{
    const QString saved =
        ReadSetting(SetupData.IniFileName, QString::fromLatin1(kSettingsSection), QStringLiteral("LanguageFile"), QString());
    const TLanguage language = ChooseLanguage(SetupData.ProgramPath, saved);
    // The fallback is written back.
    if (!language.File.isEmpty() && language.File != saved)
        WriteLanguageFile(language.File);
    SetupData.LanguageFile = language.File;
    SetupData.LanguageID = language.Id;
    return !language.File.isEmpty();
}

bool LoadVendorLibrary()
{
    ReadVendorName();
    return LoadVendorLibrary(SetupData.ProgramPath, SetupData.VendorName);
}

bool LoadPriceList()
{
    const bool loaded = LoadPriceListFile(SetupData.DataPath, SetupData.VendorName, PriceList);
    if (loaded)
        SetCurrencySymbol(QString());
    return loaded;
}

bool ReadCommandLine(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument.compare(QLatin1String("/DEBUG"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
