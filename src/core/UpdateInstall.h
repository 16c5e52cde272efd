#pragma once
// The update check once per run and the installation it can lead to: the
// check file from the built-in address, the notice or the question, then the
// new price list (downloaded, moved into place, opened) and the new program
// (downloaded, unpacked into the temporary folder, its updater started). The
// window supplies the progress dialog and the reopening of the price list.

#include "Download.h"
#include "UpdateCheck.h"
#include <QString>
#include <QStringList>
#include <functional>

struct TUpdateEnvironment {
    QString CheckUrl;
    QString TempPath, DataPath, ProgramPath; // each ends with '/'
    QString VendorName;
    int32_t LanguageID = -1;
    QString Version;
    TDownloadOptions Options;
    /// Shows (true) or closes (false) the progress dialog.
    std::function<void(bool)> ShowProgress;
    /// The dialog's report of a download; true when the user cancelled.
    TDownloadProgress Progress;
    /// Opens DataPath + "PriceList.tc" again as at start-up (the window also switches its price column).
    std::function<void()> ReloadPriceList;
    /// Starts the program with the arguments, without waiting; QProcess::startDetached when empty.
    std::function<bool(const QString &, const QStringList &)> StartProgram;
};

/// The whole check: nothing is said when the check file cannot be fetched.
void CheckForUpdates(const TUpdateEnvironment &env);
/// True when the new price list was moved into place.
bool UpdatePriceList(const TUpdateEnvironment &env);
void UpdateProgram(const TUpdateEnvironment &env);
