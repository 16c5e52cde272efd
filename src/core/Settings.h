#pragma once
// Settings, paths and program files: the per-user settings file and the
// folders the program works with. Paths always end with '/'.

#include "Globals.h"
#include <QStringList>

constexpr const char *kSettingsSection = "Setup";
constexpr const char *kDefaultVendorName = "Quenvar";
constexpr const char *kFolderErrorText = "Internal error. Try to uninstall and install again the software.";

/// Sets DataPath (XDG data home + "Varnex Configurator/"), TempPath and IniFileName in `s`. Creates nothing.
void ComputePaths(TSetupData &s);
/// Creates the folder (and missing parents) when needed; false without a message when it cannot.
bool CreateFolder(const QString &folder);
/// CreateFolder; on failure ShowError with the fixed English text.
bool EnsureFolder(const QString &folder);
/// "%d.%d.%d.%d" (full) or "%d.%d" of the program's own version; empty for a file without version.
QString FileVersionText(const QString &programFileName, bool full);
/// Reads an INI-format file: trimmed value, `def` when empty or missing.
QString ReadSetting(const QString &fileName, const QString &section, const QString &key, const QString &def);
/// Writes to the settings file SetupData.IniFileName, section "Setup"; false without a message on failure.
bool WriteSetting(const QString &section, const QString &key, const QString &value);
bool ReadCheckUpdates();
bool WriteCheckUpdates(bool on);
void RecordProgramPath();
bool WriteLanguageFile(const QString &fileName);
/// SetupData.VendorName := "Setup"/VendorName, "Quenvar" when missing or blank.
void ReadVendorName();
/// VendorName is exactly "Quenvar" and LanguageID is 1040.
bool IsHomeMarket(const TSetupData &s);
bool IsHomeMarket();
/// The application title of a vendor edition: "<product name> Configurator".
QString ProductTitle(const QString &productName);
/// Appends the folder separator unless the text ends with one.
QString IncludeTrailingBackslash(const QString &folder);
/// Names of the files (hidden included, no sub-folders) of the folder; true when at least one.
bool ListFolderFiles(const QString &folder, QStringList &names);
/// Deletes every listed file; failures are skipped silently.
void DeleteFolderFiles(const QString &folder);
