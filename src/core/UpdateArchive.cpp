#include "UpdateArchive.h"
#include "SafeFile.h"

#include "TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

namespace {

constexpr qint64 kMaxArchiveBytes = qint64(1) << 30; // what an update can reasonably hold
constexpr int kInflateChunk = 1024;

/// Reads the archive's fields from its bytes, never past the end.
class TArchiveReader {
public:
    explicit TArchiveReader(const QByteArray &bytes) : m_bytes(bytes) {}
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    bool Byte(int &value)
    {
        if (m_pos + 1 > m_bytes.size())
            return false;
        value = uchar(m_bytes[m_pos++]);
        return true;
    }
    bool Bytes(qsizetype count, QByteArray &value)
    {
        if (count < 0 || m_pos + count > m_bytes.size())
            return false;
        value = m_bytes.mid(m_pos, count);
        m_pos += count;
        return true;
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

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
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

/// No step of the way from the target to the file may be a link (which could lead outside).
bool NoLinksBelow(const QString &target, const QStringList &parts)
{
    QString path = target;
    for (const QString &part : parts) {
        path += u'/' + part;
        if (QFileInfo(path).isSymLink())
            return false;
    }
    return true;
}

/// Inflates one entry's stream into the file, never beyond the stated size.
bool InflateInto(const QByteArray &packed, quint32 unpackedSize, QFile &file, QString &error)
{
    z_stream stream{};
    if (inflateInit2(&stream, 15) != Z_OK) {
        error = QStringLiteral("the unpacker cannot start");
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    char chunk[kInflateChunk];
    qint64 total = 0;
    int code = Z_OK;
    while (code != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef *>(chunk);
        stream.avail_out = sizeof chunk;
        code = inflate(&stream, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END) {
            error = QStringLiteral("a damaged or incomplete entry");
            break;
        }
        const qint64 produced = qint64(sizeof chunk - stream.avail_out);
        total += produced;
        if (total > qint64(unpackedSize)) {
            error = QStringLiteral("an entry larger than it says");
            break;
        }
        if (produced > 0 && file.write(chunk, produced) != produced) {
            error = file.errorString();
            break;
        }
        if (code == Z_OK && produced == 0 && stream.avail_in == 0) {
            error = QStringLiteral("an entry cut short");
            break;
        }
    }
    inflateEnd(&stream);
    return code == Z_STREAM_END && error.isEmpty();
}

/// Makes the entry's folder below the target, noting each folder it had to make.
bool MakeEntryFolder(const QString &target, const QStringList &folder, QStringList &made)
{
    QString path = target;
    for (const QString &part : folder) {
        path += u'/' + part;
        if (QFileInfo(path).isDir())
            continue;
        if (!QDir().mkdir(path))
            return false;
        made << path;
    }
    return true;
}

bool UnpackEntries(const QByteArray &bytes, const QString &target, QStringList &written, QStringList &made,
                   QString &error)
{
    TArchiveReader reader(bytes);
    while (!reader.AtEnd()) {
        int folderLength = 0, nameLength = 0;
        QByteArray folderRaw, nameRaw, packed;
        quint32 unpackedSize = 0, packedSize = 0;
        if (!reader.Byte(folderLength) || !reader.Bytes(folderLength, folderRaw) || !reader.Byte(nameLength) ||
            !reader.Bytes(nameLength, nameRaw) || !reader.UInt32(unpackedSize) || !reader.UInt32(packedSize) ||
            qint32(packedSize) < 0 || !reader.Bytes(qsizetype(packedSize), packed)) {
            error = QStringLiteral("the archive ends inside an entry");
            return false;
        }
        QStringList folder, name;
        if (!SafeParts(folderRaw, false, folder) || !SafeParts(nameRaw, true, name)) {
            error = QStringLiteral("an entry would land outside the folder");
            return false;
        }
        const QStringList parts = folder + name;
        if (!NoLinksBelow(target, parts) || !MakeEntryFolder(target, folder, made)) {
            error = QStringLiteral("an entry's folder cannot be made inside the folder");
            return false;
        }
        const QString path = target + u'/' + parts.join(u'/');
        const QString landed = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
        if (landed != target && !landed.startsWith(target + u'/')) {
            error = QStringLiteral("an entry would land outside the folder");
            return false;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error = file.errorString();
            return false;
        }
        written << path;
        if (!InflateInto(packed, unpackedSize, file, error))
            return false;
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

bool UnpackUpdateArchive(const QString &archiveFile, const QString &target, QString &error, QStringList *written)
{
    error.clear();
    const QFileInfo info(archiveFile);
    if (!info.isFile() || info.size() > kMaxArchiveBytes) {
        error = QStringLiteral("the archive is not a regular file of a reasonable size");
        return false;
    }
    QFile file(archiveFile);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    // Bounded as it is read, too: the file may grow after the size was looked at.
    QByteArray bytes;
    if (!ReadAtMost(file, kMaxArchiveBytes, bytes)) {
        error = QStringLiteral("the archive is not a regular file of a reasonable size");
        return false;
    }
    const QString folder = QFileInfo(target).canonicalFilePath();
    if (folder.isEmpty()) {
        error = QStringLiteral("the folder does not exist");
        return false;
    }
    QStringList files, made;
    const bool ok = UnpackEntries(bytes, folder, files, made, error);
    if (!ok) {
        // Nothing half-unpacked is left for the updater: the files, then the
        // folders this call made, deepest first.
        for (const QString &path : files)
            QFile::remove(path);
        for (auto it = made.crbegin(); it != made.crend(); ++it)
            QDir().rmdir(*it);
    }
    if (written)
        *written = ok ? files : QStringList();
    return ok;
}
