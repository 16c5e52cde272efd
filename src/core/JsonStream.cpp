#include "JsonStream.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

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
