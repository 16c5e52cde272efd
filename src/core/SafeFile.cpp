#include "SafeFile.h"

#include <QByteArray>
#include <QFileInfo>
#include <QSaveFile>

bool ReadAtMost(QIODevice &in, qint64 maxBytes, QByteArray &bytes)
{
    bytes.clear();
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = in.read(chunk, sizeof chunk);
        if (n < 0 || bytes.size() + n > maxBytes) {
            bytes.clear();
            return false;
        }
        if (n == 0)
            return true;
        bytes.append(chunk, qsizetype(n));
    }
}

bool WriteFileSafely(const QString &fileName, const std::function<bool(QIODevice &)> &write, QString &error)
{
    error.clear();
    const QFileInfo info(fileName);
    QString target = fileName;
    if (info.isSymLink()) {
        // Saving through a link writes the file it points to, and keeps the link.
        const QFileInfo pointed(info.symLinkTarget());
        if (pointed.exists() && !pointed.isFile()) {
            error = QStringLiteral("not a regular file");
            return false;
        }
        target = pointed.absoluteFilePath();
    } else if (info.exists() && !info.isFile()) {
        error = QStringLiteral("not a regular file");
        return false;
    }
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir()) {
        error = QStringLiteral("the folder does not exist");
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (!write(file)) {
        file.cancelWriting();
        if (error.isEmpty())
            error =
                file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("it could not be written");
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
