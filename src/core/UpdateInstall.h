#pragma once
// The update check once per run and the installation it can lead to: the
// check file from the check address, the notice or the question, then the
// new price list (downloaded, opened on trial, moved into place, opened) and
// the new program (downloaded, unpacked into the temporary folder, its updater
// started). The window supplies the progress dialog, the reopening of the
// price list and the wish to stop (the program is closing).
//
// When the check address is https, every download of the run is https only,
// redirects included: what the check file names is fetched and then run.

#include "Download.h"
#include "UpdateArchive.h"
#include "UpdateCheck.h"
#include <QString>
#include <QStringList>
#include <functional>

/// The check gives up silently after so long in all.
constexpr int kUpdateCheckSeconds = 20;
/// A check file is a few lines; more than this is not one.
constexpr qint64 kCheckFileMaxBytes = 64 * 1024;

struct TUpdateEnvironment {
    QString CheckUrl;
    QString TempPath, DataPath, ProgramPath; // each ends with '/'
    QString VendorName;
    int32_t LanguageID = -1;
    QString Version;
    /// The check file's download at most so long (tests shorten it).
    int CheckTimeLimitMs = kUpdateCheckSeconds * 1000;
    /// Options of every download; https only and the check's limits are added.
    TDownloadOptions Options;
    /// Shows (true) or closes (false) the progress dialog.
    std::function<void(bool)> ShowProgress;
    /// The dialog's report of a download; true when the user cancelled.
    TDownloadProgress Progress;
    /// The dialog's report of the unpacking; true when the user cancelled.
    TUnpackProgress UnpackProgress;
    /// True once the run is to end at once (the program is closing): asked
    /// throughout, also during the check file's download.
    std::function<bool()> StopWanted;
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

/// The user's text for a failed download: a short text of the language file
/// for the cause, then the technical detail.
QString DownloadFailureText(const TDownloadError &error);
