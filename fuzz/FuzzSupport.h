#pragma once
// Shared by the fuzz targets: a scratch folder of the process's own, the input
// split into parts, and a check that aborts (so the fuzzer keeps the input).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

/// A folder that lives as long as the process, in memory where the system has
/// such a folder: the code under test flushes what it writes, which on a disk
/// would cost more than the run itself.
inline const QTemporaryDir &ScratchFolder()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/varnex-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/varnex-fuzz-XXXXXX"));
    FUZZ_CHECK(dir.isValid());
    return dir;
}

inline QString ScratchFile(const QString &name)
{
    return ScratchFolder().filePath(name);
}

inline void WriteWholeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

inline QByteArray ReadWholeFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The input cut at its first `count - 1` zero bytes: `count` parts, the last
/// holding the rest (zero bytes and all); missing parts are empty.
inline QList<QByteArray> SplitInput(const uint8_t *data, size_t size, int count)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> parts;
    qsizetype pos = 0;
    for (int i = 0; i < count - 1; ++i) {
        const qsizetype zero = bytes.indexOf('\0', pos);
        if (zero < 0) {
            parts << bytes.mid(pos);
            pos = bytes.size();
            continue;
        }
        parts << bytes.mid(pos, zero - pos);
        pos = zero + 1;
    }
    parts << bytes.mid(pos);
    return parts;
}
