#include "JsonStream.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;

bool IsBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

int TJsonElementReader::Peek()
{
    if (m_pos < m_buf.size())
        return uchar(m_buf[m_pos]);
    if (m_eof)
        return -1;
    m_base += m_buf.size();
    m_buf = m_in.read(kChunkBytes);
    m_pos = 0;
    if (m_buf.isEmpty()) {
        m_eof = true;
        return -1;
    }
    return uchar(m_buf[0]);
}

void TJsonElementReader::SkipBlanks()
{
    while (IsBlank(Peek()))
        Advance();
}

bool TJsonElementReader::Fail(const QString &error, qint64 offset)
{
    if (m_error.isEmpty()) {
        m_error = error;
        m_errorOffset = offset;
    }
    m_done = true;
    return false;
}

bool TJsonElementReader::Start()
{
    // A UTF-8 byte order mark may lead the file.
    if (Peek() == 0xEF) {
        const QByteArray bom("\xEF\xBB\xBF");
        for (char b : bom) {
            if (Peek() != uchar(b))
                return Fail(QStringLiteral("illegal value"), Offset());
            Advance();
        }
    }
    SkipBlanks();
    const int c = Peek();
    if (c == '[') {
        m_isArray = true;
        Advance();
        return true;
    }
    if (c == '{')
        return true;
    if (c == -1)
        return Fail(QStringLiteral("unterminated object"), Offset());
    m_notContainer = true;
    m_done = true;
    return false;
}

bool TJsonElementReader::ScanValue(QByteArray &bytes)
{
    const qint64 start = Offset();
    int depth = 0;
    bool inString = false, escape = false;
    for (;;) {
        const int c = Peek();
        if (c == -1) {
            if (inString || depth > 0)
                return Fail(QStringLiteral("unterminated value"), Offset());
            break;
        }
        if (!inString && depth == 0 && (c == ',' || c == ']' || c == '}' || IsBlank(c)))
            break;
        if (bytes.size() >= kMaxValueBytes)
            return Fail(QStringLiteral("value longer than %1 bytes").arg(kMaxValueBytes), start);
        bytes.append(char(c));
        Advance();
        if (inString) {
            if (escape)
                escape = false;
            else if (c == '\\')
                escape = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth == 0)
                break;
        }
        if (depth == 0 && !inString && c == '"')
            break;
    }
    if (bytes.isEmpty())
        return Fail(QStringLiteral("value expected"), start);
    return true;
}

bool TJsonElementReader::ParseValue(const QByteArray &bytes, qint64 start, QJsonValue &value)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson('[' + bytes + ']', &error);
    if (error.error != QJsonParseError::NoError)
        return Fail(error.errorString(), start + std::max(0, error.offset - 1));
    const QJsonArray array = doc.array();
    if (array.size() != 1)
        return Fail(QStringLiteral("value expected"), start);
    value = array.first();
    return true;
}

bool TJsonElementReader::ExpectEnd()
{
    SkipBlanks();
    if (Peek() != -1)
        return Fail(QStringLiteral("garbage at the end of the document"), Offset());
    m_done = true;
    return false;
}

bool TJsonElementReader::Next(QJsonValue &value)
{
    if (m_done)
        return false;
    SkipBlanks();
    if (m_isArray) {
        const int c = Peek();
        if (c == ']' && m_first) {
            Advance();
            return ExpectEnd();
        }
        if (!m_first) {
            if (c == ']') {
                Advance();
                return ExpectEnd();
            }
            if (c != ',')
                return Fail(c == -1 ? QStringLiteral("unterminated array") : QStringLiteral("missing value separator"),
                            Offset());
            Advance();
            SkipBlanks();
        }
    }
    m_first = false;
    const qint64 start = Offset();
    if (m_objectsOnly && m_isArray && Peek() != '{')
        return Fail(Peek() == -1 ? QStringLiteral("unterminated array") : QStringLiteral("array element is not an object"),
                    start);
    QByteArray bytes;
    if (!ScanValue(bytes) || !ParseValue(bytes, start, value))
        return false;
    if (!m_isArray) {
        SkipBlanks();
        if (Peek() != -1)
            return Fail(QStringLiteral("garbage at the end of the document"), Offset());
        m_done = true;
    }
    return true;
}

namespace {

void AppendIndent(std::string &out, int level)
{
    static const char kSpaces[] = "                                                                ";
    qsizetype n = qsizetype(level) * 4;
    while (n > 0) {
        const qsizetype chunk = std::min<qsizetype>(n, sizeof kSpaces - 1);
        out.append(kSpaces, chunk);
        n -= chunk;
    }
}

void AppendInteger(std::string &out, qint64 number)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, end - digits);
}

void AppendEscaped(std::string &out, const char *data, qsizetype size)
{
    out.push_back('"');
    qsizetype run = 0; // start of the bytes not yet copied
    for (qsizetype i = 0; i < size; ++i) {
        const uchar c = uchar(data[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(data + run, i - run);
        run = i + 1;
        switch (c) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        case '\b':
            out.append("\\b");
            break;
        case '\f':
            out.append("\\f");
            break;
        default: {
            static const char kHex[] = "0123456789abcdef";
            const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
            out.append(escape, sizeof escape);
        }
        }
    }
    out.append(data + run, size - run);
    out.push_back('"');
}

void AppendString(std::string &out, const QString &text)
{
    // Most texts are plain ASCII: written straight from the characters.
    const QChar *chars = text.constData();
    const qsizetype size = text.size();
    char buffer[256];
    if (size <= qsizetype(sizeof buffer)) {
        qsizetype i = 0;
        for (; i < size && chars[i].unicode() < 0x80; ++i)
            buffer[i] = char(chars[i].unicode());
        if (i == size) {
            AppendEscaped(out, buffer, size);
            return;
        }
    }
    const QByteArray utf8 = text.toUtf8();
    AppendEscaped(out, utf8.constData(), utf8.size());
}

void AppendNumber(std::string &out, double d)
{
    if (!std::isfinite(d)) {
        out.append("null");
        return;
    }
    if (d == std::trunc(d) && std::fabs(d) < 9007199254740992.0) {
        AppendInteger(out, qint64(d));
        return;
    }
    out.append(QByteArray::number(d, 'g', QLocale::FloatingPointShortest).constData());
}

void AppendJsonTo(std::string &out, const QJsonValue &value, int level)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        out.append("null");
        return;
    case QJsonValue::Bool:
        out.append(value.toBool() ? "true" : "false");
        return;
    case QJsonValue::Double:
        AppendNumber(out, value.toDouble());
        return;
    case QJsonValue::String:
        AppendString(out, value.toString());
        return;
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        if (array.isEmpty()) {
            out.append("[]");
            return;
        }
        out.append("[\n");
        for (qsizetype i = 0; i < array.size(); ++i) {
            AppendIndent(out, level + 1);
            AppendJsonTo(out, array.at(i), level + 1);
            out.append(i + 1 < array.size() ? ",\n" : "\n");
        }
        AppendIndent(out, level);
        out.push_back(']');
        return;
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        if (object.isEmpty()) {
            out.append("{}");
            return;
        }
        out.append("{\n");
        qsizetype left = object.size();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            AppendIndent(out, level + 1);
            AppendString(out, it.key());
            out.append(": ");
            AppendJsonTo(out, it.value(), level + 1);
            out.append(--left > 0 ? ",\n" : "\n");
        }
        AppendIndent(out, level);
        out.push_back('}');
        return;
    }
    }
}

} // namespace

void AppendJson(QByteArray &out, const QJsonValue &value, int level)
{
    std::string text;
    AppendJsonTo(text, value, level);
    out.append(text.data(), qsizetype(text.size()));
}

void TJsonText::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_level == 0 && m_first) {
        m_first = false;
        return;
    }
    m_buf.append(m_first ? "\n" : ",\n", m_first ? 1 : 2);
    AppendIndent(m_buf, m_level);
    m_first = false;
}

void TJsonText::Open(char bracket)
{
    BeforeValue();
    m_buf.push_back(bracket);
    ++m_level;
    m_first = true;
}

void TJsonText::Close(char bracket)
{
    --m_level;
    if (!m_first) {
        m_buf.push_back('\n');
        AppendIndent(m_buf, m_level);
    }
    m_buf.push_back(bracket);
    m_first = false;
}

void TJsonText::Key(const char *key)
{
    m_buf.append(m_first ? "\n" : ",\n", m_first ? 1 : 2);
    AppendIndent(m_buf, m_level);
    AppendEscaped(m_buf, key, qsizetype(qstrlen(key)));
    m_buf.append(": ", 2);
    m_first = false;
    m_afterKey = true;
}

void TJsonText::Value(const QString &text)
{
    BeforeValue();
    AppendString(m_buf, text);
}

void TJsonText::Value(qint64 number)
{
    BeforeValue();
    AppendInteger(m_buf, number);
}

void TJsonText::Value(double number)
{
    BeforeValue();
    AppendNumber(m_buf, number);
}

void TJsonText::Number(double number, int significantDigits)
{
    BeforeValue();
    if (!std::isfinite(number))
        m_buf.append("null");
    else
        m_buf.append(QByteArray::number(number, 'g', significantDigits));
}

void TJsonText::Value(bool flag)
{
    BeforeValue();
    m_buf.append(flag ? "true" : "false");
}

void TJsonText::Null()
{
    BeforeValue();
    m_buf.append("null");
}

void TJsonText::Json(const QJsonValue &value)
{
    BeforeValue();
    AppendJsonTo(m_buf, value, m_level);
}

void TJsonText::Raw(const QByteArray &json)
{
    BeforeValue();
    m_buf.append(json.constData(), size_t(json.size()));
}

void TJsonText::Finish()
{
    m_out.append(m_buf.data(), qsizetype(m_buf.size()));
    m_buf.clear();
}
