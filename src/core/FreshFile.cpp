#include "FreshFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

/// One path component: no separator, not "." or "..", not empty.
bool IsPlainName(const QByteArray &name)
{
    return !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
}

} // namespace

TFolderHandle::~TFolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

TFolderHandle &TFolderHandle::operator=(TFolderHandle &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool TFolderHandle::Open(const QString &path, QString &error)
{
    *this = TFolderHandle();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        error = SystemError(errno);
    return m_fd >= 0;
}

bool TFolderHandle::OpenChild(const TFolderHandle &parent, const QString &name, bool create, bool &made, QString &error)
{
    *this = TFolderHandle();
    made = false;
    const QByteArray raw = QFile::encodeName(name);
    if (!IsPlainName(raw)) {
        error = QStringLiteral("not a folder name");
        return false;
    }
    if (create && ::mkdirat(parent.m_fd, raw.constData(), 0755) == 0)
        made = true;
    else if (create && errno != EEXIST) {
        error = SystemError(errno);
        return false;
    }
    // O_NOFOLLOW: a link in place of the folder is refused, whatever it points to.
    m_fd = ::openat(parent.m_fd, raw.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0)
        error = SystemError(errno);
    return m_fd >= 0;
}

bool TFreshFile::Open(const TFolderHandle &folder, const QString &name, QString &error)
{
    Discard();
    m_name = QFile::encodeName(name);
    if (!folder.IsOpen() || !IsPlainName(m_name)) {
        error = QStringLiteral("not a file name");
        return false;
    }
    m_folder = folder.Descriptor();
    m_size = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_tempName = "." + m_name + "." + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        m_fd = ::openat(m_folder, m_tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (m_fd >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    error = SystemError(errno);
    m_tempName.clear();
    return false;
}

bool TFreshFile::Write(const char *data, qint64 size, QString &error)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A short write that makes no progress is a full disk by another name.
            error = SystemError(n < 0 ? errno : ENOSPC);
            return false;
        }
        data += n;
        size -= n;
        m_size += n;
    }
    return true;
}

bool TFreshFile::Commit(QString &error)
{
    if (m_fd < 0) {
        error = QStringLiteral("the file is not open");
        return false;
    }
    // Delayed allocation can report a full disk only at the sync, and a
    // network file system only at the close: both are checked.
    const bool synced = ::fsync(m_fd) == 0;
    int code = synced ? 0 : errno;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && synced)
        code = errno;
    if (code != 0) {
        error = SystemError(code);
        Discard();
        return false;
    }
    struct stat existing {};
    if (::fstatat(m_folder, m_name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISLNK(existing.st_mode)) {
        error = QStringLiteral("not a regular file");
        Discard();
        return false;
    }
    if (::renameat(m_folder, m_tempName.constData(), m_folder, m_name.constData()) != 0) {
        error = SystemError(errno);
        Discard();
        return false;
    }
    m_tempName.clear();
    ::fsync(m_folder); // the new name on disk too; the file itself already is
    return true;
}

void TFreshFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempName.isEmpty()) {
        ::unlinkat(m_folder, m_tempName.constData(), 0);
        m_tempName.clear();
    }
}

bool OpenFolderOf(const QString &fileName, TFolderHandle &folder, QString &name, QString &error)
{
    const QFileInfo info(fileName);
    name = info.fileName();
    return folder.Open(info.absolutePath(), error);
}
