#include "Download.h"

#include "FreshFile.h"
#include "LateLibrary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <curl/curl.h>

#include <memory>

// How the window stays alive during a download: the transfer runs on the
// caller's (window) thread through libcurl's multi interface, which never
// blocks. The loop below waits on the transfer's sockets for at most
// kEventIntervalMs at a time, lets libcurl move what arrived, and between
// those waits has the thread's pending events handled: the window repaints,
// its buttons work, and a close request or a Cancel is seen within a few
// hundredths of a second; the progress function's answer then ends the
// transfer at once. No second thread, so nothing is shared.

namespace {

constexpr int kEventIntervalMs = 10;

struct TTransfer {
    TFreshFile *File = nullptr;
    qint64 MaxBytes = 0;
    bool TooLarge = false;
    QString WriteError;
};

size_t WriteData(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<TTransfer *>(user);
    const qint64 bytes = qint64(size * count);
    if (t->File->Size() + bytes > t->MaxBytes) {
        t->TooLarge = true;
        return 0;
    }
    if (!t->File->Write(data, bytes, t->WriteError))
        return 0;
    return size_t(bytes);
}

/// The libcurl functions the downloads call, opened at the first download.
struct TCurl {
    decltype(&curl_global_init) GlobalInit = nullptr;
    decltype(&curl_easy_init) EasyInit = nullptr;
    decltype(&curl_easy_setopt) EasySetopt = nullptr;
    decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
    decltype(&curl_easy_strerror) EasyStrerror = nullptr;
    decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
    decltype(&curl_multi_init) MultiInit = nullptr;
    decltype(&curl_multi_add_handle) MultiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) MultiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) MultiPerform = nullptr;
    decltype(&curl_multi_poll) MultiPoll = nullptr;
    decltype(&curl_multi_info_read) MultiInfoRead = nullptr;
    decltype(&curl_multi_cleanup) MultiCleanup = nullptr;
    bool Ok = false; // bound and initialised
    QString Error;

    bool Bind(TLateLibrary &library)
    {
        return library.Bind(GlobalInit, "curl_global_init") && library.Bind(EasyInit, "curl_easy_init") &&
               library.Bind(EasySetopt, "curl_easy_setopt") && library.Bind(EasyGetinfo, "curl_easy_getinfo") &&
               library.Bind(EasyStrerror, "curl_easy_strerror") && library.Bind(EasyCleanup, "curl_easy_cleanup") &&
               library.Bind(MultiInit, "curl_multi_init") && library.Bind(MultiAddHandle, "curl_multi_add_handle") &&
               library.Bind(MultiRemoveHandle, "curl_multi_remove_handle") &&
               library.Bind(MultiPerform, "curl_multi_perform") && library.Bind(MultiPoll, "curl_multi_poll") &&
               library.Bind(MultiInfoRead, "curl_multi_info_read") &&
               library.Bind(MultiCleanup, "curl_multi_cleanup") && GlobalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
};

const TCurl &Curl()
{
    return LateFunctions<TCurl>("libcurl.so.4");
}

struct TEasyCleanup {
    void operator()(CURL *curl) const { Curl().EasyCleanup(curl); }
};
struct TMultiCleanup {
    void operator()(CURLM *multi) const { Curl().MultiCleanup(multi); }
};

/// The easy handle added to a multi handle for as long as this lives.
class TMultiTransfer {
public:
    TMultiTransfer(CURLM *multi, CURL *easy) : m_multi(multi), m_easy(easy)
    {
        m_added = Curl().MultiAddHandle(multi, easy) == CURLM_OK;
    }
    ~TMultiTransfer()
    {
        if (m_added)
            Curl().MultiRemoveHandle(m_multi, m_easy);
    }
    bool Added() const { return m_added; }

private:
    CURLM *m_multi;
    CURL *m_easy;
    bool m_added = false;
};

void SetOptions(CURL *c, const QByteArray &address, const TDownloadOptions &options, TTransfer &t, char *message)
{
    const TCurl &api = Curl();
    const char *protocols = options.HttpsOnly ? "https" : "http,https";
    api.EasySetopt(c, CURLOPT_URL, address.constData());
    api.EasySetopt(c, CURLOPT_PROTOCOLS_STR, protocols);
    api.EasySetopt(c, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
    api.EasySetopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    api.EasySetopt(c, CURLOPT_MAXREDIRS, 5L);
    api.EasySetopt(c, CURLOPT_FAILONERROR, 1L);
    api.EasySetopt(c, CURLOPT_NOSIGNAL, 1L);
    api.EasySetopt(c, CURLOPT_CONNECTTIMEOUT, long(options.ConnectTimeoutSeconds));
    api.EasySetopt(c, CURLOPT_TIMEOUT_MS, long(options.TotalTimeoutMs));
    // A stall: less than one byte a second for the stall time.
    api.EasySetopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api.EasySetopt(c, CURLOPT_LOW_SPEED_TIME, long(options.StallTimeoutSeconds));
    // A stated length beyond the limit is refused before any byte is written.
    api.EasySetopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(options.MaxBytes));
    if (!options.CaFile.isEmpty()) {
        const QByteArray ca = QFile::encodeName(options.CaFile);
        api.EasySetopt(c, CURLOPT_CAINFO, ca.constData()); // libcurl copies the text
    }
    api.EasySetopt(c, CURLOPT_WRITEFUNCTION, WriteData);
    api.EasySetopt(c, CURLOPT_WRITEDATA, &t);
    api.EasySetopt(c, CURLOPT_ERRORBUFFER, message);
}

void ReportProgress(CURL *c, const TDownloadProgress &progress, bool &cancelled)
{
    if (!progress)
        return;
    curl_off_t received = 0, total = -1;
    Curl().EasyGetinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &received);
    Curl().EasyGetinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
    if (progress(qint64(received), qint64(total < 0 ? 0 : total)))
        cancelled = true;
}

/// Runs the transfer to its end, handling the thread's events meanwhile; the
/// result code, or CURLE_ABORTED_BY_CALLBACK when `progress` cancelled.
CURLcode RunTransfer(CURLM *multi, CURL *c, const TDownloadProgress &progress, const TDownloadOptions &options)
{
    const TCurl &api = Curl();
    QElapsedTimer clock;
    clock.start();
    // Beyond libcurl's own limit, in case a step inside it does not look at the time.
    const qint64 backstopMs = options.TotalTimeoutMs > 0 ? options.TotalTimeoutMs + 2000 : -1;
    for (;;) {
        int running = 0;
        if (api.MultiPerform(multi, &running) != CURLM_OK)
            return CURLE_FAILED_INIT;
        int left = 0;
        while (CURLMsg *msg = api.MultiInfoRead(multi, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                bool ignored = false;
                ReportProgress(c, progress, ignored); // the final figures
                return msg->data.result;
            }
        }
        bool cancelled = false;
        ReportProgress(c, progress, cancelled);
        if (cancelled)
            return CURLE_ABORTED_BY_CALLBACK;
        if (backstopMs >= 0 && clock.elapsed() > backstopMs)
            return CURLE_OPERATION_TIMEDOUT;
        QCoreApplication::processEvents(QEventLoop::AllEvents, kEventIntervalMs);
        api.MultiPoll(multi, nullptr, 0, kEventIntervalMs, nullptr);
    }
}

TDownloadFailure FailureOf(CURLcode code, long httpCode, const TTransfer &t, const TDownloadOptions &options)
{
    if (!t.WriteError.isEmpty())
        return TDownloadFailure::NotSaved;
    if (t.TooLarge)
        return TDownloadFailure::Other;
    switch (code) {
    case CURLE_ABORTED_BY_CALLBACK:
        return TDownloadFailure::Cancelled;
    case CURLE_HTTP_RETURNED_ERROR:
        return httpCode == 404 || httpCode == 410 ? TDownloadFailure::NotFound : TDownloadFailure::Other;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return TDownloadFailure::NoConnection;
    case CURLE_OPERATION_TIMEDOUT:
        return TDownloadFailure::TooSlow;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return options.HttpsOnly ? TDownloadFailure::NotHttps : TDownloadFailure::Other;
    case CURLE_WRITE_ERROR:
        return TDownloadFailure::NotSaved;
    default:
        return TDownloadFailure::Other;
    }
}

bool Transfer(const QString &url, TFreshFile &file, const TDownloadProgress &progress, const TDownloadOptions &options,
              TDownloadError &error)
{
    const TCurl &api = Curl();
    std::unique_ptr<CURL, TEasyCleanup> curl(api.Ok ? api.EasyInit() : nullptr);
    std::unique_ptr<CURLM, TMultiCleanup> multi(api.Ok ? api.MultiInit() : nullptr);
    if (!curl || !multi) {
        error = {TDownloadFailure::Other, QStringLiteral("the download cannot start")};
        if (!api.Error.isEmpty())
            error.Detail += QStringLiteral(": ") + api.Error;
        return false;
    }
    TTransfer t;
    t.File = &file;
    t.MaxBytes = options.MaxBytes;
    const QByteArray address = url.toUtf8();
    char message[CURL_ERROR_SIZE] = {};
    SetOptions(curl.get(), address, options, t, message);
    CURLcode code = CURLE_FAILED_INIT;
    {
        TMultiTransfer running(multi.get(), curl.get());
        if (running.Added())
            code = RunTransfer(multi.get(), curl.get(), progress, options);
    }
    if (code == CURLE_OK)
        return true;
    long httpCode = 0;
    api.EasyGetinfo(curl.get(), CURLINFO_RESPONSE_CODE, &httpCode);
    error.Failure = FailureOf(code, httpCode, t, options);
    if (!t.WriteError.isEmpty())
        error.Detail = t.WriteError;
    else if (t.TooLarge)
        error.Detail = QStringLiteral("the file is larger than %1 bytes").arg(options.MaxBytes);
    else
        error.Detail = QString::fromUtf8(message[0] ? message : api.EasyStrerror(code));
    return false;
}

} // namespace

bool IsHttpsUrl(const QString &url)
{
    return QUrl(url.trimmed()).scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool DownloadFile(const QString &url, const QString &localPath, const TDownloadProgress &progress,
                  TDownloadError &error, const TDownloadOptions &options)
{
    error = TDownloadError();
    if (options.HttpsOnly && !IsHttpsUrl(url)) {
        error = {TDownloadFailure::NotHttps, QStringLiteral("not an https address: %1").arg(url)};
        return false;
    }
    // Without a scheme libcurl would guess one, and look the first word up as a host name.
    const QString scheme = QUrl(url.trimmed()).scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        error = {TDownloadFailure::Other, QStringLiteral("not an http or https address: %1").arg(url)};
        return false;
    }
    const QFileInfo target(localPath);
    if (target.exists() && !target.isSymLink() && !target.isFile()) {
        error = {TDownloadFailure::NotSaved, QStringLiteral("%1: not a regular file").arg(localPath)};
        return false;
    }
    TFolderHandle folder;
    QString name, reason;
    TFreshFile file;
    if (!OpenFolderOf(localPath, folder, name, reason) || !file.Open(folder, name, reason)) {
        error = {TDownloadFailure::NotSaved, localPath + QStringLiteral(": ") + reason};
        return false;
    }
    if (!Transfer(url, file, progress, options, error))
        return false; // the temporary file goes with `file`
    if (!file.Commit(reason)) {
        error = {TDownloadFailure::NotSaved, localPath + QStringLiteral(": ") + reason};
        return false;
    }
    return true;
}
