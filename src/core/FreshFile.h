#pragma once
// Files that come from outside (downloads, unpacked update files) are always
// created anew: bytes go into a new temporary file beside the final name
// (O_CREAT | O_EXCL | O_NOFOLLOW, so never through a link someone planted),
// every write and the fsync are checked, and only a whole file is renamed into
// place. A link at the final name is replaced, not followed; a folder, pipe
// or device there is refused. Whatever fails, the temporary file is removed
// and the file at the final name stays as it was.

#include <QByteArray>
#include <QString>

/// An open folder descriptor, closed with the object.
class TFolderHandle {
public:
    TFolderHandle() = default;
    ~TFolderHandle();
    TFolderHandle(TFolderHandle &&other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    TFolderHandle &operator=(TFolderHandle &&other) noexcept;
    TFolderHandle(const TFolderHandle &) = delete;
    TFolderHandle &operator=(const TFolderHandle &) = delete;

    /// The folder at `path` (links on the way are followed: it is one of the program's own folders).
    bool Open(const QString &path, QString &error);
    /// The sub-folder `name` of this one, made when missing; a link there is refused.
    bool OpenChild(const TFolderHandle &parent, const QString &name, bool create, bool &made, QString &error);
    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }

private:
    int m_fd = -1;
};

class TFreshFile {
public:
    TFreshFile() = default;
    ~TFreshFile() { Discard(); }
    TFreshFile(const TFreshFile &) = delete;
    TFreshFile &operator=(const TFreshFile &) = delete;

    /// A new temporary file in `folder` for the final name `name` (one path component).
    bool Open(const TFolderHandle &folder, const QString &name, QString &error);
    /// Writes all of the bytes; false with the system's reason (disk full, file too large, ...).
    bool Write(const char *data, qint64 size, QString &error);
    /// Syncs and closes the file and renames it over the final name; on any
    /// failure the temporary file is removed.
    bool Commit(QString &error);
    /// Removes the temporary file (nothing when committed or never opened).
    void Discard();
    qint64 Size() const { return m_size; }

private:
    int m_folder = -1; // not owned
    int m_fd = -1;
    QByteArray m_tempName, m_name;
    qint64 m_size = 0;
};

/// Fills `folder` with the folder of `fileName` and `name` with its last component.
bool OpenFolderOf(const QString &fileName, TFolderHandle &folder, QString &name, QString &error);
