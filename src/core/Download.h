#pragma once
// Downloads for the update check: one URL (http or https) into one local file,
// with progress reports that can cancel. The caller waits until the download
// ends, but the thread's events go on being handled meanwhile (the window
// repaints and answers; see Download.cpp). The file is created anew beside the
// target and renamed into place only when complete (FreshFile.h). A connection
// that does not open, that stalls, or a download that takes longer than its
// time in all, ends the download.

#include <QString>
#include <functional>

/// Bytes so far and bytes in all (0 while unknown); return true to cancel.
/// Called on the caller's thread, at least every few hundredths of a second.
using TDownloadProgress = std::function<bool(qint64 received, qint64 total)>;

struct TDownloadOptions {
    int ConnectTimeoutSeconds = 15;
    int StallTimeoutSeconds = 15; // no byte for so long ends the download
    int TotalTimeoutMs = 0;       // the whole download at most so long; 0: no limit
    qint64 MaxBytes = qint64(1) << 30;
    /// The address and every redirect must be https.
    bool HttpsOnly = false;
    /// Certificates to trust instead of the system's (only the tests' own server).
    QString CaFile;
};

/// Why a download failed, as the user is told.
enum class TDownloadFailure {
    None,
    NotFound,     // the server has no such file
    NoConnection, // no connection could be made, or it broke off
    TooSlow,      // a time limit ran out
    Cancelled,    // the user (or the program's end) stopped it
    NotHttps,     // an address or redirect that is not https where https is required
    NotSaved,     // the file could not be written (disk full, not a regular file, ...)
    Other,        // anything else: refused by the server, certificate, too large, ...
};

struct TDownloadError {
    TDownloadFailure Failure = TDownloadFailure::None;
    QString Detail; // the technical reason, as libcurl or the system words it
};

/// True when the whole file arrived and is in place; false with the reason,
/// the file at `localPath` then untouched.
bool DownloadFile(const QString &url, const QString &localPath, const TDownloadProgress &progress,
                  TDownloadError &error, const TDownloadOptions &options = {});

/// The address uses https (scheme compared without regard to letter case).
bool IsHttpsUrl(const QString &url);
