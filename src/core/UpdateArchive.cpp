#include "UpdateArchive.h"

#include "FreshFile.h"
#include "TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <zlib.h>

#include <memory>

namespace {

constexpr qint64 kMaxArchiveBytes = qint64(1) << 30; // the archive file itself
constexpr qsizetype kMaxEntries = 100000;            // far more files than any program has
constexpr qint64 kChunk = 64 * 1024;

/// What the header of one entry says, checked.
struct TEntryHeader {
    QStringList Folder; // below the target
    QString Name;
    qint64 UnpackedSize = 0;
    qint64 Offset = 0; // of the packed data in the archive
    qint64 PackedSize = 0;
};

/// Reads the archive's fields from the file, never past its end.
class TArchiveReader {
public:
    explicit TArchiveReader(QFile &file) : m_file(file), m_size(file.size()) {}
    bool AtEnd() const { return m_file.pos() >= m_size; }
    qint64 Pos() const { return m_file.pos(); }
    bool Byte(int &value)
    {
        char c = 0;
        if (m_file.read(&c, 1) != 1)
            return false;
        value = uchar(c);
        return true;
    }
    bool Bytes(qint64 count, QByteArray &value)
    {
        if (count < 0 || m_file.pos() + count > m_size)
            return false;
        value = m_file.read(count);
        return value.size() == count;
    }
    bool UInt32(quint32 &value)
    {
        QByteArray raw;
        if (!Bytes(4, raw))
            return false;
        value = quint32(uchar(raw[0])) | quint32(uchar(raw[1])) << 8 | quint32(uchar(raw[2])) << 16 |
                quint32(uchar(raw[3])) << 24;
        return true;
    }
    bool Skip(qint64 count)
    {
        return count >= 0 && m_file.pos() + count <= m_size && m_file.seek(m_file.pos() + count);
    }

private:
    QFile &m_file;
    qint64 m_size;
};

/// A relative folder or a name from the archive, as '/'-separated parts; false when
/// it could reach outside the target (absolute, drive letter, "..", control characters).
bool SafeParts(const QByteArray &raw, bool isName, QStringList &parts)
{
    const QString text = DecodeText8Bit(raw);
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c == u':')
            return false; // control characters, drive letters and alternate streams
    if (text.startsWith(u'\\') || text.startsWith(u'/'))
        return false;
    QString path = text;
    path.replace(u'\\', u'/');
    parts = path.split(u'/', Qt::SkipEmptyParts);
    if (isName && (parts.size() != 1 || path.contains(u'/')))
        return false;
    for (const QString &part : parts)
        if (part == QLatin1String("..") || part == QLatin1String("."))
            return false;
    return true;
}

bool Fail(TUnpackError &error, TUnpackFailure failure, const QString &detail)
{
    error = {failure, detail};
    return false;
}

bool ReadHeader(TArchiveReader &reader, TEntryHeader &entry, TUnpackError &error)
{
    int folderLength = 0, nameLength = 0;
    QByteArray folderRaw, nameRaw;
    quint32 unpackedSize = 0, packedSize = 0;
    if (!reader.Byte(folderLength) || !reader.Bytes(folderLength, folderRaw) || !reader.Byte(nameLength) ||
        !reader.Bytes(nameLength, nameRaw) || !reader.UInt32(unpackedSize) || !reader.UInt32(packedSize) ||
        qint32(packedSize) < 0)
        return Fail(error, TUnpackFailure::Damaged, QStringLiteral("the archive ends inside an entry"));
    QStringList name;
    if (!SafeParts(folderRaw, false, entry.Folder) || !SafeParts(nameRaw, true, name))
        return Fail(error, TUnpackFailure::Outside, QStringLiteral("an entry would land outside the folder"));
    entry.Name = name.constFirst();
    entry.UnpackedSize = unpackedSize;
    entry.Offset = reader.Pos();
    entry.PackedSize = packedSize;
    if (!reader.Skip(entry.PackedSize))
        return Fail(error, TUnpackFailure::Damaged, QStringLiteral("the archive ends inside an entry"));
    return true;
}

/// Every entry's header, and the stated sizes within the limits.
bool ReadHeaders(QFile &file, const QString &target, const TUnpackLimits &limits, QList<TEntryHeader> &entries,
                 qint64 &total, TUnpackError &error)
{
    TArchiveReader reader(file);
    total = 0;
    while (!reader.AtEnd()) {
        if (entries.size() >= kMaxEntries)
            return Fail(error, TUnpackFailure::TooLarge, QStringLiteral("more than %1 entries").arg(kMaxEntries));
        TEntryHeader entry;
        if (!ReadHeader(reader, entry, error))
            return false;
        total += entry.UnpackedSize;
        entries << entry;
    }
    if (total > limits.MaxTotalBytes)
        return Fail(error, TUnpackFailure::TooLarge,
                    QStringLiteral("the files would take %1 bytes, more than %2").arg(total).arg(limits.MaxTotalBytes));
    // A file system that does not tell its free space (-1) is not held to it.
    const qint64 free = limits.FreeBytes >= 0 ? limits.FreeBytes : QStorageInfo(target).bytesAvailable();
    if (free >= 0 && total > free)
        return Fail(error, TUnpackFailure::NoSpace,
                    QStringLiteral("the files would take %1 bytes, %2 are free").arg(total).arg(free));
    return true;
}

/// Running totals of one unpacking, for the progress reports.
struct TUnpackRun {
    const TUnpackProgress *Progress = nullptr;
    qint64 Done = 0;
    qint64 Total = 0;
    bool Report(qint64 more) { return *Progress && (*Progress)(Done + more, Total); }
};

struct TInflater {
    z_stream Stream{};
    bool Ok = false;
    TInflater() { Ok = inflateInit2(&Stream, 15) == Z_OK; }
    ~TInflater()
    {
        if (Ok)
            inflateEnd(&Stream);
    }
};

/// Inflates one entry's stream into the file, never beyond the stated size.
bool InflateInto(QFile &archive, const TEntryHeader &entry, TFreshFile &out, TUnpackRun &run, TUnpackError &error)
{
    TInflater inflater;
    if (!inflater.Ok || !archive.seek(entry.Offset))
        return Fail(error, TUnpackFailure::Damaged, QStringLiteral("the unpacker cannot start"));
    z_stream &stream = inflater.Stream;
    auto input = std::make_unique<char[]>(kChunk), output = std::make_unique<char[]>(kChunk);
    qint64 remaining = entry.PackedSize, produced = 0;
    for (int code = Z_OK; code != Z_STREAM_END;) {
        if (stream.avail_in == 0 && remaining > 0) {
            const qint64 n = archive.read(input.get(), qMin(remaining, kChunk));
            if (n <= 0)
                return Fail(error, TUnpackFailure::Damaged, archive.errorString());
            remaining -= n;
            stream.next_in = reinterpret_cast<Bytef *>(input.get());
            stream.avail_in = uInt(n);
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.get());
        stream.avail_out = uInt(kChunk);
        code = inflate(&stream, Z_NO_FLUSH);
        const qint64 n = kChunk - qint64(stream.avail_out);
        const bool noInputLeft = stream.avail_in == 0 && remaining == 0;
        if (code == Z_BUF_ERROR || (code == Z_OK && n == 0 && noInputLeft))
            return Fail(error, TUnpackFailure::Damaged, QStringLiteral("an entry cut short"));
        if (code != Z_OK && code != Z_STREAM_END)
            return Fail(error, TUnpackFailure::Damaged, QStringLiteral("a damaged entry"));
        produced += n;
        if (produced > entry.UnpackedSize)
            return Fail(error, TUnpackFailure::Damaged, QStringLiteral("an entry larger than it says"));
        QString reason;
        if (n > 0 && !out.Write(output.get(), n, reason))
            return Fail(error, TUnpackFailure::NotSaved, entry.Name + QStringLiteral(": ") + reason);
        if (run.Report(produced))
            return Fail(error, TUnpackFailure::Cancelled, QStringLiteral("cancelled"));
    }
    run.Done += produced;
    return true;
}

/// What one unpacking made, to be taken away again when it fails.
struct TMade {
    QStringList Files;
    QStringList Folders; // in the order made
};

/// Opens the entry's folder below the target, step by step: a link on the way is refused.
bool OpenEntryFolder(const QString &target, const TFolderHandle &root, const QStringList &folder, TFolderHandle &handle,
                     TMade &made, TUnpackError &error)
{
    QString path = target, reason;
    TFolderHandle current;
    const TFolderHandle *parent = &root;
    for (const QString &part : folder) {
        path += u'/' + part;
        bool created = false;
        if (!current.OpenChild(*parent, part, true, created, reason)) {
            // Links could lead outside; anything else that is no folder cannot be written into.
            return Fail(error, TUnpackFailure::Outside, path + QStringLiteral(": ") + reason);
        }
        if (created)
            made.Folders << path;
        handle = std::move(current);
        parent = &handle;
    }
    if (folder.isEmpty())
        return handle.Open(target, reason) || Fail(error, TUnpackFailure::NotSaved, reason);
    return true;
}

bool UnpackEntries(QFile &archive, const QString &target, const QList<TEntryHeader> &entries, TUnpackRun &run,
                   TMade &made, TUnpackError &error)
{
    TFolderHandle root;
    QString reason;
    if (!root.Open(target, reason))
        return Fail(error, TUnpackFailure::NotSaved, target + QStringLiteral(": ") + reason);
    for (const TEntryHeader &entry : entries) {
        TFolderHandle folder;
        if (!OpenEntryFolder(target, root, entry.Folder, folder, made, error))
            return false;
        const QString path = target + u'/' + (entry.Folder + QStringList{entry.Name}).join(u'/');
        TFreshFile file;
        if (!file.Open(folder, entry.Name, reason))
            return Fail(error, TUnpackFailure::NotSaved, path + QStringLiteral(": ") + reason);
        if (!InflateInto(archive, entry, file, run, error))
            return false;
        if (!file.Commit(reason))
            return Fail(error, TUnpackFailure::NotSaved, path + QStringLiteral(": ") + reason);
        made.Files << path;
    }
    return true;
}

} // namespace

QByteArray PackUpdateArchive(const QList<TArchiveEntry> &entries)
{
    QByteArray out;
    auto append32 = [&out](quint32 v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    };
    for (const TArchiveEntry &entry : entries) {
        QByteArray folder;
        EncodeWindows1252(QString(entry.Folder).replace(u'/', u'\\'), folder);
        QByteArray name;
        EncodeWindows1252(entry.Name, name);
        uLongf packedSize = compressBound(uLong(entry.Data.size()));
        QByteArray packed(qsizetype(packedSize), Qt::Uninitialized);
        compress2(reinterpret_cast<Bytef *>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef *>(entry.Data.constData()), uLong(entry.Data.size()), 9);
        packed.resize(qsizetype(packedSize));
        out.append(char(folder.size())).append(folder).append(char(name.size())).append(name);
        append32(quint32(entry.Data.size()));
        append32(quint32(packed.size()));
        out.append(packed);
    }
    return out;
}

bool UnpackUpdateArchive(const QString &archiveFile, const QString &target, TUnpackError &error,
                         const TUnpackProgress &progress, const TUnpackLimits &limits, QStringList *written)
{
    error = TUnpackError();
    if (written)
        written->clear();
    const QFileInfo info(archiveFile);
    if (!info.isFile() || info.size() > kMaxArchiveBytes)
        return Fail(error, TUnpackFailure::TooLarge,
                    QStringLiteral("the archive is not a regular file of a reasonable size"));
    QFile file(archiveFile);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, TUnpackFailure::Damaged, file.errorString());
    const QString folder = QFileInfo(target).canonicalFilePath();
    if (folder.isEmpty())
        return Fail(error, TUnpackFailure::NotSaved, QStringLiteral("the folder does not exist"));
    QList<TEntryHeader> entries;
    TUnpackRun run;
    run.Progress = &progress;
    if (!ReadHeaders(file, folder, limits, entries, run.Total, error))
        return false;
    TMade made;
    if (!UnpackEntries(file, folder, entries, run, made, error)) {
        // Nothing half-unpacked is left for the updater: the files, then the
        // folders this call made, deepest first.
        for (const QString &path : std::as_const(made.Files))
            QFile::remove(path);
        for (auto it = made.Folders.crbegin(); it != made.Folders.crend(); ++it)
            QDir().rmdir(*it);
        return false;
    }
    if (written)
        *written = made.Files;
    return true;
}
