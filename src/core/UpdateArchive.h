#pragma once
// The program update archive "VarnexCfgUpdate.z": entries of folder, name,
// unpacked size, packed size and one zlib stream each, one after the other to
// the end of the file. Entries are outside data: unpacking first reads every
// entry's header and refuses the archive when an entry could land outside the
// target folder, when it is cut short, or when the stated sizes add up to more
// than an update may hold or than the disk has free; only then are the files
// written, each created anew (FreshFile.h). It stops at an entry that inflates
// beyond its stated size, whose stream is damaged, or that cannot be written,
// and then leaves nothing of this unpacking behind.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

struct TArchiveEntry {
    QString Folder; // relative, '/' separated, may be empty
    QString Name;
    QByteArray Data; // unpacked
};

/// Bytes of an archive holding the entries (for tools and tests); folders use backslashes.
QByteArray PackUpdateArchive(const QList<TArchiveEntry> &entries);

/// Bytes unpacked so far and in all (the stated sizes); return true to cancel.
using TUnpackProgress = std::function<bool(qint64 done, qint64 total)>;

struct TUnpackLimits {
    qint64 MaxTotalBytes = qint64(1) << 30; // the stated sizes together; more is no update
    qint64 FreeBytes = -1;                  // -1: what the target's file system has free
};

enum class TUnpackFailure {
    None,
    Damaged,   // cut short, a damaged stream, an entry larger than it says, unreadable
    Outside,   // an entry would land outside the target folder
    TooLarge,  // the stated sizes add up to more than an update may hold
    NoSpace,   // the stated sizes add up to more than the free space
    NotSaved,  // a file could not be written (disk full, not a regular file there, ...)
    Cancelled, // the progress function asked to stop
};

struct TUnpackError {
    TUnpackFailure Failure = TUnpackFailure::None;
    QString Detail;
};

/// Unpacks the archive file into `target`, replacing files of the same names.
/// False with the reason; the files and folders made by this call are then
/// removed again. `written` lists the files unpacked.
bool UnpackUpdateArchive(const QString &archiveFile, const QString &target, TUnpackError &error,
                         const TUnpackProgress &progress = {}, const TUnpackLimits &limits = {},
                         QStringList *written = nullptr);
