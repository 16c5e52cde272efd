#include "Download.h"

#include "LateLibrary.h"
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

/// The libcurl functions the downloads call, opened at the first download.
struct TCurl {
    decltype(&curl_global_init) GlobalInit = nullptr;
    decltype(&curl_easy_init) EasyInit = nullptr;
    decltype(&curl_easy_setopt) EasySetopt = nullptr;
    decltype(&curl_easy_perform) EasyPerform = nullptr;
    decltype(&curl_easy_strerror) EasyStrerror = nullptr;
    decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
    bool Ok = false; // bound and initialised
    QString Error;

    bool Bind(TLateLibrary &library)
    {
        return library.Bind(GlobalInit, "curl_global_init") && library.Bind(EasyInit, "curl_easy_init") &&
               library.Bind(EasySetopt, "curl_easy_setopt") && library.Bind(EasyPerform, "curl_easy_perform") &&
               library.Bind(EasyStrerror, "curl_easy_strerror") && library.Bind(EasyCleanup, "curl_easy_cleanup") &&
               GlobalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
};

const TCurl &Curl() { return LateFunctions<TCurl>("libcurl.so.4"); }

struct TCurlCleanup {
    void operator()(CURL *curl) const { Curl().EasyCleanup(curl); }
};

bool Transfer(const QString &url, QIODevice &file, const TDownloadProgress &progress, const TDownloadOptions &options,
              QString &error)
{
    const TCurl &api = Curl();
    std::unique_ptr<CURL, TCurlCleanup> curl(api.Ok ? api.EasyInit() : nullptr);
    if (!curl) {
        error = QStringLiteral("the download cannot start");
        if (!api.Error.isEmpty())
            error += QStringLiteral(": ") + api.Error;
        return false;
    }
    TTransfer t;
    t.File = &file;
    t.Progress = &progress;
    t.MaxBytes = options.MaxBytes;
    const QByteArray address = url.toUtf8();
    char message[CURL_ERROR_SIZE] = {};
    CURL *c = curl.get();
    api.EasySetopt(c, CURLOPT_URL, address.constData());
    api.EasySetopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    api.EasySetopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    api.EasySetopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    api.EasySetopt(c, CURLOPT_MAXREDIRS, 5L);
    api.EasySetopt(c, CURLOPT_FAILONERROR, 1L);
    api.EasySetopt(c, CURLOPT_NOSIGNAL, 1L);
    api.EasySetopt(c, CURLOPT_CONNECTTIMEOUT, long(options.ConnectTimeoutSeconds));
    // A stall: less than one byte a second for the stall time.
    api.EasySetopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api.EasySetopt(c, CURLOPT_LOW_SPEED_TIME, long(options.StallTimeoutSeconds));
    api.EasySetopt(c, CURLOPT_WRITEFUNCTION, WriteData);
    api.EasySetopt(c, CURLOPT_WRITEDATA, &t);
    api.EasySetopt(c, CURLOPT_NOPROGRESS, 0L);
    api.EasySetopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
    api.EasySetopt(c, CURLOPT_XFERINFODATA, &t);
    api.EasySetopt(c, CURLOPT_ERRORBUFFER, message);
    const CURLcode code = api.EasyPerform(c);
    if (code == CURLE_OK)
        return true;
    if (t.Cancelled)
        error = QStringLiteral("the download was cancelled");
    else if (t.TooLarge)
        error = QStringLiteral("the file is larger than any update");
    else
        error = QString::fromUtf8(message[0] ? message : api.EasyStrerror(code));
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
