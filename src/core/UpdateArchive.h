#pragma once
// The program update archive "VarnexCfgUpdate.z": entries of folder, name,
// unpacked size, packed size and one zlib stream each, one after the other to
// the end of the file. Entries are outside data: unpacking keeps every file
// inside the target folder, stops at an entry that inflates beyond its stated
// size or whose stream is damaged or cut short, and then leaves nothing of
// this unpacking behind.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TArchiveEntry {
    QString Folder; // relative, '/' separated, may be empty
    QString Name;
    QByteArray Data; // unpacked
};

/// Bytes of an archive holding the entries (for tools and tests); folders use backslashes.
QByteArray PackUpdateArchive(const QList<TArchiveEntry> &entries);

/// Unpacks the archive file into `target`, replacing files of the same names.
/// False with a reason; the files written by this call are then removed again.
bool UnpackUpdateArchive(const QString &archiveFile, const QString &target, QString &error,
                         QStringList *written = nullptr);
