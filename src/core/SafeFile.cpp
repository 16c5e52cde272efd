#include "SafeFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

QString SystemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

/// The temporary file. A short or failed write is an error that stays, and
/// every later write fails too: writers that do not look at what write()
/// returns (image and PDF encoders) cannot lose bytes unnoticed. Small writes
/// are gathered and written in large pieces; Flush() writes what is left.
class TDescriptorDevice : public QIODevice {
public:
    explicit TDescriptorDevice(int fd) : m_fd(fd) {}
    /// The errno of the first write that failed, or 0.
    int Failure() const { return m_failure; }
    bool Flush()
    {
        qsizetype done = 0;
        while (m_failure == 0 && done < m_pending.size()) {
            const ssize_t n = ::write(m_fd, m_pending.constData() + done, size_t(m_pending.size() - done));
            if (n > 0)
                done += n;
            else if (n == 0)
                m_failure = EIO;
            else if (errno != EINTR)
                m_failure = errno;
        }
        m_pending.clear();
        return m_failure == 0;
    }
    bool seek(qint64 pos) override
    {
        if (Flush() && ::lseek(m_fd, off_t(pos), SEEK_SET) < 0)
            m_failure = errno;
        return m_failure == 0 && QIODevice::seek(pos);
    }
    qint64 size() const override
    {
        struct stat st;
        return ::fstat(m_fd, &st) == 0 ? qMax(qint64(st.st_size), pos()) : pos();
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        constexpr qsizetype kPiece = 64 * 1024;
        if (m_failure != 0)
            return -1;
        m_pending.append(data, qsizetype(length));
        if (m_pending.size() >= kPiece && !Flush())
            return -1;
        return length;
    }

private:
    int m_fd;
    int m_failure = 0;
    QByteArray m_pending;
};

/// A new file beside `target` that no one else has opened, with the target's
/// permissions when it exists; -1 with errno otherwise.
int CreateTemporaryBeside(const QString &target, QString &temporary)
{
    struct stat existing;
    const QByteArray encodedTarget = QFile::encodeName(target);
    const bool keepMode = ::stat(encodedTarget.constData(), &existing) == 0;
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix(6, u'x');
        for (QChar &c : suffix)
            c = QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
        temporary = target + u'.' + suffix;
        const int fd =
            ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd >= 0 && keepMode && ::fchmod(fd, existing.st_mode & 07777) != 0) {
            const int code = errno;
            ::close(fd);
            ::unlink(QFile::encodeName(temporary).constData());
            errno = code;
            return -1;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

/// The file's bytes are on the disk and the descriptor is closed; false with errno.
bool SyncAndClose(int fd)
{
    // A file system that cannot sync at all (EINVAL) has nothing more to write.
    bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int syncError = errno;
    if (::close(fd) != 0)
        ok = false;
    else if (!ok)
        errno = syncError;
    return ok;
}

/// The renamed name reaches the disk too; the file itself is complete already.
void SyncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

/// The file a save replaces: the name itself, or the file a link points to.
bool ResolveTarget(const QString &fileName, QString &target, QString &error)
{
    const QFileInfo info(fileName);
    target = fileName;
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
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isWritable()) {
        error = QStringLiteral("the file is write-protected");
        return false;
    }
    return true;
}

} // namespace

bool WriteFileSafely(const QString &fileName, const std::function<bool(QIODevice &)> &write, QString &error)
{
    error.clear();
    QString target;
    if (!ResolveTarget(fileName, target, error))
        return false;
    QString temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        error = SystemError(errno);
        return false;
    }
    const QByteArray encodedTemporary = QFile::encodeName(temporary);
    TDescriptorDevice device(fd);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool written = write(device) && device.Flush();
    device.close();
    int failure = device.Failure();
    if (!written || failure != 0)
        ::close(fd);
    else if (!SyncAndClose(fd) || ::rename(encodedTemporary.constData(), QFile::encodeName(target).constData()) != 0)
        failure = errno;
    if (!written || failure != 0) {
        // The old file stays as it was, and nothing of the new one is left.
        ::unlink(encodedTemporary.constData());
        if (failure != 0)
            error = SystemError(failure);
        else if (error.isEmpty())
            error = QStringLiteral("it could not be written");
        return false;
    }
    SyncFolder(QFileInfo(target).absolutePath());
    return true;
}
