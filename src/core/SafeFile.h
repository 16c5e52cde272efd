#pragma once
// Every file the program saves is written to a temporary file beside the target
// and renamed into place only once complete: every write and the sync to the
// disk are checked first, so a full disk or any other failure leaves no
// half-written file at the chosen name, and a file already there stays as it was.

#include <QString>
#include <functional>

class QByteArray;
class QIODevice;

/// Everything left to read from `in`, when that is at most `maxBytes`; false
/// (and nothing kept) beyond that or on a read error. Reads in small pieces, so
/// memory follows what the file holds, not the limit.
bool ReadAtMost(QIODevice &in, qint64 maxBytes, QByteArray &bytes);

/// Runs `write` on the temporary file and renames it over `fileName` when it
/// returns true and every byte written reached the disk (a short or failed write
/// fails the save, whether or not `write` noticed it). The target must be missing
/// or a writable regular file (a link to one is followed, never replaced);
/// anything else is refused. False with a reason; the temporary file is gone.
bool WriteFileSafely(const QString &fileName, const std::function<bool(QIODevice &)> &write, QString &error);
