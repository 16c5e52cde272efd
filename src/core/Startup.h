#pragma once
// The program's start without any window: version and paths, the settings
// file and data folders, the "/DEBUG" switch, the language, the vendor
// library, the price list and the standard UPS list. The main window and the
// headless sizing both run it; each shows what it found in its own way.

#include "Globals.h"
#include <QStringList>

/// What the program does after the start-up.
enum class TStartupResult {
    Running,        // go on
    EndProcess,     // a data folder could not be created: end at once, exit code 0
    EndOnLoopStart, // no language file or no vendor library: end without showing the window
};

/// What a start-up runs with.
struct TStartupInput {
    QString ProgramFileName; // the program file; its folder is the program folder
    QStringList Arguments;   // the command line without the program name
    /// The window's start: the program folder is recorded in the settings file, the data and
    /// temporary folders are made, the temporary folder is emptied, and "/DEBUG" and the
    /// update-check setting are read. The headless sizing does none of it.
    bool PrepareDataFolders = true;
    /// Stop at the first step that fails (headless); the window runs the later steps all the same.
    bool StopAtFirstFault = false;
};

/// What the start-up found.
struct TStartupFindings {
    TStartupResult Result = TStartupResult::Running;
    QStringList Errors;            // the error boxes to show, in this order
    bool LanguageFound = false;
    bool VendorLibraryLoaded = false;
    bool PriceListLoaded = false;
    TIntegerArray StandardUpsList; // vendor entries of the enabled standard UPS definitions
};

/// Runs the start-up in its fixed order into SetupData (which starts empty), the
/// vendor library and the price list; shows no message itself.
TStartupFindings RunStartup(const TStartupInput &input);

/// Chooses SetupData.LanguageFile (settings, else "English.lng" written back)
/// and its SetupData.LanguageID; false when no language file is usable.
bool SelectLanguage();
/// ReadVendorName, then the vendor library of SetupData's vendor beside the program.
bool LoadVendorLibrary();
/// LoadPriceListFile of SetupData's data folder and vendor into PriceList; on
/// success the money format loses its currency symbol.
bool LoadPriceList();

/// True when any argument equals "/DEBUG" without regard to letter case.
bool ReadCommandLine(const QStringList &arguments);
