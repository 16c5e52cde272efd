#pragma once
// A JSON file read one top-level value at a time: the object it holds, or the
// elements of its array one after the other, through a small buffer, so that
// memory does not grow with the length of the array.

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <string>

class QIODevice;

class TJsonElementReader {
public:
    /// The longest single value accepted (an object of the array, or the whole object).
    static constexpr qsizetype kMaxValueBytes = 1 << 20;

    explicit TJsonElementReader(QIODevice &in) : m_in(in) {}

    /// Array elements that are not objects fail at their first byte, before
    /// anything of them is read.
    void SetObjectsOnly(bool objectsOnly) { m_objectsOnly = objectsOnly; }

    /// Reads up to the first value. False on malformed input (Error, ErrorOffset)
    /// or when the top level is neither an object nor an array (NotContainer).
    bool Start();
    bool IsArray() const { return m_isArray; }
    bool NotContainer() const { return m_notContainer; }
    /// The next element of the array, or the object itself once. False at the end
    /// and on malformed input (then Failed).
    bool Next(QJsonValue &value);
    bool Failed() const { return !m_error.isEmpty(); }
    QString Error() const { return m_error; }
    qint64 ErrorOffset() const { return m_errorOffset; }

private:
    int Peek();
    void Advance() { ++m_pos; }
    qint64 Offset() const { return m_base + m_pos; }
    void SkipBlanks();
    bool Fail(const QString &error, qint64 offset);
    bool ScanValue(QByteArray &bytes);
    bool ParseValue(const QByteArray &bytes, qint64 start, QJsonValue &value);
    bool ExpectEnd();

    QIODevice &m_in;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qint64 m_base = 0;
    bool m_eof = false;
    bool m_isArray = false;
    bool m_notContainer = false;
    bool m_done = false;
    bool m_first = true;
    bool m_objectsOnly = false;
    QString m_error;
    qint64 m_errorOffset = 0;
};

/// Appends the value as JSON text, indented by four spaces a level as
/// QJsonDocument::Indented writes it (objects' keys in their stored order).
void AppendJson(QByteArray &out, const QJsonValue &value, int level = 0);

/// JSON text written into a buffer of its own, indented as AppendJson does, and
/// appended to the byte array by Finish (or when it goes out of scope).
class TJsonText {
public:
    explicit TJsonText(QByteArray &out, int level = 0) : m_out(out), m_level(level) { m_buf.reserve(8192); }
    ~TJsonText() { Finish(); }
    TJsonText(const TJsonText &) = delete;
    TJsonText &operator=(const TJsonText &) = delete;
    void Finish();

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    /// The key of the next member of an object.
    void Key(const char *key);
    void Value(const QString &text);
    void Value(const char *text) { Value(QString::fromUtf8(text)); }
    void Value(qint64 number);
    void Value(int number) { Value(qint64(number)); }
    void Value(double number);
    /// A number with at most that many significant digits (null when not finite).
    void Number(double number, int significantDigits);
    void Value(bool flag);
    void Null();
    /// Any QJsonValue, written with AppendJson.
    void Json(const QJsonValue &value);
    /// A value written as JSON text already, its nested lines indented for this level.
    void Raw(const QByteArray &json);

    template <typename T> void Member(const char *key, const T &value)
    {
        Key(key);
        Value(value);
    }

private:
    void Open(char bracket);
    void Close(char bracket);
    void BeforeValue();

    QByteArray &m_out;
    std::string m_buf;
    int m_level;
    bool m_first = true;
    bool m_afterKey = false;
};
