#pragma once
// Documents and pictures are written to a temporary file beside the target and
// renamed into place only once complete: a failed save leaves no half-written
// file at the chosen name, and a file already there stays as it was.

#include <QString>
#include <functional>

class QByteArray;
class QIODevice;

/// Everything left to read from `in`, when that is at most `maxBytes`; false
/// (and nothing kept) beyond that or on a read error. Reads in small pieces, so
/// memory follows what the file holds, not the limit.
bool ReadAtMost(QIODevice &in, qint64 maxBytes, QByteArray &bytes);

/// Runs `write` on the temporary file and renames it over `fileName` when it
/// returns true. The target must be missing or a regular file (a link to one is
/// followed, never replaced); anything else is refused. False with a reason.
bool WriteFileSafely(const QString &fileName, const std::function<bool(QIODevice &)> &write, QString &error);
