#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>

namespace {

// Windows-1252 characters 0x80..0x9F; the five unassigned bytes map to the
// C1 control with the same number, as the system conversion does.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int HexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

bool TryReadDecimalInt32(const QString &text, int32_t &value)
{
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size())
        return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i]))
            return false;
        v = v * 10 + (text[i].unicode() - u'0');
        if (v > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    value = int32_t(v);
    return true;
}

// Round-half-to-even decision on the digits cut off after the kept ones.
// `first` is the first dropped digit, `restNonZero` whether any later one is not 0.

QString DecodeText8Bit(const QByteArray &bytes)
{
    // A byte order mark is text like any other here: the callers strip the one at a file's start.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            text.append(QChar(kCp1252High[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

TUtf16Order Utf16OrderOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return TUtf16Order::LittleEndian;
    if (bytes.startsWith("\xFE\xFF"))
        return TUtf16Order::BigEndian;
    return TUtf16Order::None;
}

QString DecodeUtf16(const QByteArray &bytes, TUtf16Order order)
{
    // Only the mark read here is taken off; a second one is text.
    QStringDecoder decoder(order == TUtf16Order::BigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes).sliced(order == TUtf16Order::None ? 0 : qMin<qsizetype>(2, bytes.size())));
}

QByteArray EncodeUtf16(const QString &text, TUtf16Order order)
{
    const bool big = order == TUtf16Order::BigEndian;
    QStringEncoder encoder(big ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QByteArray bytes = big ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    bytes += QByteArray(encoder.encode(text));
    return bytes;
}

bool EncodeWindows1252(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(char(u));
            continue;
        }
        int found = -1;
        for (int k = 0; k < 32; ++k) {
            if (kCp1252High[k] == u) {
                found = k;
                break;
            }
        }
        if (found < 0) {
            bytes.clear();
            return false;
        }
        bytes.append(char(0x80 + found));
    }
    return true;
}

bool TryReadInteger(const QString &text, int32_t &value)
{
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        int64_t v = 0;
        for (i += 2; i < text.size(); ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0)
                return false;
            v = v * 16 + d;
            if (v > 0xFFFFFFFFLL)
                return false;
        }
        if (negative) {
            if (v > 0x80000000LL)
                return false;
            value = int32_t(-v);
        } else {
            // Eight hexadecimal digits cover the whole 32-bit pattern, as the system reads them.
            value = int32_t(uint32_t(v));
        }
        return true;
    }
    return TryReadDecimalInt32(text, value);
}

QString WithoutMnemonic(const QString &caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        out.append(caption[i]);
    }
    return out;
}

QString TrimBlanksAndControls(const QString &text)
{
    auto blank = [](QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0x7F; };
    qsizetype begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}
