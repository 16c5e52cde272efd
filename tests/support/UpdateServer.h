#pragma once
// tests/support/update_server.py as a test's own update server on 127.0.0.1:
// a folder's files plus paths that stall, drip, send too much and redirect;
// over https with a certificate made for the test.

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

class TUpdateServer {
public:
    /// Serves `folder`; with a certificate and key, over https.
    explicit TUpdateServer(const QString &folder, const QString &certificate = QString(),
                           const QString &key = QString())
    {
        QStringList arguments{QStringLiteral(VX_SOURCE_DIR "tests/support/update_server.py"), folder};
        if (!certificate.isEmpty())
            arguments << QStringLiteral("--tls") << certificate << key;
        m_https = !certificate.isEmpty();
        m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
        m_process.waitForReadyRead(10000);
        m_port = m_process.readLine().trimmed().toInt();
    }
    ~TUpdateServer()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    TUpdateServer(const TUpdateServer &) = delete;
    TUpdateServer &operator=(const TUpdateServer &) = delete;

    int Port() const { return m_port; }
    QString Url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2/%3").arg(m_https ? "https" : "http").arg(m_port).arg(path);
    }
    /// This server's address that redirects to `base` followed by whatever is appended to it.
    QString RedirectTo(const QString &base) const
    {
        return Url(QStringLiteral("redirect/") + QString::fromLatin1(QUrl::toPercentEncoding(base)) + u'/');
    }

private:
    QProcess m_process;
    int m_port = 0;
    bool m_https = false;
};

/// A self-signed certificate for 127.0.0.1 and its key, made with openssl in `folder`.
inline bool MakeTestCertificate(const QString &folder, QString &certificate, QString &key)
{
    certificate = folder + QStringLiteral("/cert.pem");
    key = folder + QStringLiteral("/key.pem");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                   key, "-out", certificate, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1"});
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}
