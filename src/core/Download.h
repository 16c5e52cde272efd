#pragma once
// Downloads for the update check: one URL (http or https) into one local file,
// blocking, with progress reports that can cancel. The file is written beside
// the target and renamed into place only when complete. A connection that does
// not open, or that stalls, ends the download after the timeouts.

#include <QString>
#include <functional>

/// Bytes so far and bytes in all (0 while unknown); return true to cancel.
using TDownloadProgress = std::function<bool(qint64 received, qint64 total)>;

struct TDownloadOptions {
    int ConnectTimeoutSeconds = 15;
    int StallTimeoutSeconds = 15; // no byte for so long ends the download
    qint64 MaxBytes = qint64(1) << 30;
};

/// True when the whole file arrived; false with a reason (cancelled, refused, timed out, ...).
bool DownloadFile(const QString &url, const QString &localPath, const TDownloadProgress &progress, QString &error,
                  const TDownloadOptions &options = {});
