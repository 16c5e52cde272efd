#include "Download.h"

#include "SafeFile.h"

#include <QFile>
#include <QTemporaryFile>

#include <curl/curl.h>

#include <memory>

namespace {

struct TTransfer {
    QIODevice *File = nullptr;
    const TDownloadProgress *Progress = nullptr;
    qint64 MaxBytes = 0;
    qint64 Written = 0;
    bool Cancelled = false;
    bool TooLarge = false;
};

size_t WriteData(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<TTransfer *>(user);
    const qint64 bytes = qint64(size * count);
    if (t->Written + bytes > t->MaxBytes) {
        t->TooLarge = true;
        return 0;
    }
    if (t->File->write(data, bytes) != bytes)
        return 0;
    t->Written += bytes;
    return size_t(bytes);
}

int Progress(void *user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t)
{
    auto *t = static_cast<TTransfer *>(user);
    if (t->Progress && *t->Progress && (*t->Progress)(qint64(received), qint64(total)))
        t->Cancelled = true;
    return t->Cancelled ? 1 : 0;
}

struct TCurlCleanup {
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
};

bool Transfer(const QString &url, QIODevice &file, const TDownloadProgress &progress, const TDownloadOptions &options,
              QString &error)
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    std::unique_ptr<CURL, TCurlCleanup> curl(initialised ? curl_easy_init() : nullptr);
    if (!curl) {
        error = QStringLiteral("the download cannot start");
        return false;
    }
    TTransfer t;
    t.File = &file;
    t.Progress = &progress;
    t.MaxBytes = options.MaxBytes;
    const QByteArray address = url.toUtf8();
    char message[CURL_ERROR_SIZE] = {};
    CURL *c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(options.ConnectTimeoutSeconds));
    // A stall: less than one byte a second for the stall time.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(options.StallTimeoutSeconds));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteData);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, message);
    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK)
        return true;
    if (t.Cancelled)
        error = QStringLiteral("the download was cancelled");
    else if (t.TooLarge)
        error = QStringLiteral("the file is larger than any update");
    else
        error = QString::fromUtf8(message[0] ? message : curl_easy_strerror(code));
    return false;
}

} // namespace

bool DownloadFile(const QString &url, const QString &localPath, const TDownloadProgress &progress, QString &error,
                  const TDownloadOptions &options)
{
    error.clear();
    return WriteFileSafely(
        localPath, [&](QIODevice &file) { return Transfer(url, file, progress, options, error); }, error);
}
