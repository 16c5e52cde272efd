#pragma once
// Reader and writer of INI-format files with the rules of the Windows profile
// functions: case-insensitive section and key names, trimmed values, one pair
// of surrounding double quotes removed, values cut at 2047 characters, the
// first match wins, comment lines start with ';', CR, LF and CRLF end a line,
// a NUL ends a value. Files are read as UTF-8, falling back to Windows-1252 for
// bytes that are not valid UTF-8; a file that starts with a UTF-16 byte order
// mark is UTF-16 (little or big endian). A write changes one line (or adds it)
// and keeps the rest of the file and its encoding, and replaces the file
// atomically while it holds a lock beside it ("<file>.lock"), so that programs
// writing at the same time do not drop each other's lines. Every call opens the
// file, does one thing and closes it.

#include <QString>

/// The value, or `def` when the file, section or key is missing.
QString IniReadString(const QString &fileName, const QString &section, const QString &key, const QString &def);
/// True when the section holds the key (whatever its value).
bool IniKeyExists(const QString &fileName, const QString &section, const QString &key);
/// Writes key=value in the section; false when the file cannot be written (or
/// its lock not be had within a few seconds).
bool IniWriteString(const QString &fileName, const QString &section, const QString &key, const QString &value);

/// While one is alive on a thread, each file is checked on disk once: the first
/// read of a file in the scope looks at it, the later reads of the scope use what
/// that one found. Outside any scope every read looks at the file. A table built
/// from many texts opens one, so that it reads one state of the language file.
class TIniReadScope {
public:
    TIniReadScope();
    ~TIniReadScope();
    TIniReadScope(const TIniReadScope &) = delete;
    TIniReadScope &operator=(const TIniReadScope &) = delete;
};
