#pragma once
// Text as files and the vendor library hold it: 8-bit decoding, the
// Windows-1252 code page, and whole numbers as the profile functions read them.
// Nothing here looks up a language text or shows a message.

#include <QByteArray>
#include <QString>
#include <cstdint>

/// 8-bit text from files and the vendor library: UTF-8, or Windows-1252 when not valid UTF-8.
QString DecodeText8Bit(const QByteArray &bytes);
/// The byte order of a file that starts with a UTF-16 byte order mark (FF FE or FE FF).
enum class TUtf16Order { None, LittleEndian, BigEndian };
TUtf16Order Utf16OrderOf(const QByteArray &bytes);
/// The text of such a file, after its byte order mark.
QString DecodeUtf16(const QByteArray &bytes, TUtf16Order order);
/// The text as such a file holds it: the byte order mark, then UTF-16 in that order.
QByteArray EncodeUtf16(const QString &text, TUtf16Order order);
/// The text in Windows-1252; false when a character has no place in that code page.
bool EncodeWindows1252(const QString &text, QByteArray &bytes);
/// A whole number as settings and vendor texts hold it: optional sign and decimal digits,
/// or "0x" and hexadecimal digits; false when it is not a 32-bit integer. Not trimmed.
bool TryReadInteger(const QString &text, int32_t &value);
/// Optional sign and decimal digits only, within 32 bits. Not trimmed.
bool TryReadDecimalInt32(const QString &text, int32_t &value);
/// The text without leading and trailing blanks and control characters (other spaces,
/// such as a non-breaking space, stay).
QString TrimBlanksAndControls(const QString &text);
/// A caption without its mnemonic marks: "&Save" gives "Save", "&&" gives "&".
QString WithoutMnemonic(const QString &caption);
