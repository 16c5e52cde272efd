#include "TextUtils.h"

#include "Lang.h"
#include "Messages.h"
#include "Rounding.h"
#include "TextCodec.h"

#include <QDate>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>

#include <cmath>
#include <limits>
#include <charconv>
#include <optional>

namespace {

std::optional<QString> g_currencySymbol; // unset: the locale's own

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool RoundsUp(int first, bool restNonZero, bool keptIsOdd)
{
    if (first > 5)
        return true;
    if (first < 5)
        return false;
    return restNonZero || keptIsOdd;
}

// A decimal number with `separator` as decimal mark, as a fixed-point value
// with four decimals (digits beyond the fourth rounded to nearest, ties to even).
bool ReadFixed4(const QString &source, QChar separator, int64_t &result)
{
    const QString text = source.trimmed();
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Upper limit of the money type: 922337203685477.5807.
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t whole = 0;
    int digits = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i, ++digits) {
        const int d = text[i].unicode() - u'0';
        if (whole > (kMax / 10000 - d) / 10)
            return false;
        whole = whole * 10 + d;
    }
    int64_t fraction = 0;
    int fractionDigits = 0;
    int firstDropped = 0;
    bool restNonZero = false;
    if (i < text.size() && text[i] == separator) {
        ++i;
        for (; i < text.size() && IsAsciiDigit(text[i]); ++i, ++digits) {
            const int d = text[i].unicode() - u'0';
            if (fractionDigits < 4)
                fraction = fraction * 10 + d;
            else if (fractionDigits == 4)
                firstDropped = d;
            else if (d != 0)
                restNonZero = true;
            ++fractionDigits;
        }
    }
    if (i != text.size() || digits == 0)
        return false;
    for (int k = fractionDigits; k < 4; ++k)
        fraction *= 10;
    // Beyond the money range (922337203685477.5807) the text is no number.
    if (whole > (kMax - fraction) / 10000)
        return false;
    int64_t v = whole * 10000 + fraction;
    if (fractionDigits > 4 && RoundsUp(firstDropped, restNonZero, (v & 1) != 0)) {
        if (v == kMax)
            return false;
        ++v;
    }
    result = negative ? -v : v;
    return true;
}

QSet<QString> g_reportedDecimals; // unreadable texts already reported in this run

bool IntegerVariant(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
        return true;
    default:
        return false;
    }
}

void AppendIntegerText(QString &out, const QVariant &v)
{
    char digits[24];
    const bool isUnsigned = v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::ULongLong ||
                            v.typeId() == QMetaType::ULong || v.typeId() == QMetaType::UShort ||
                            v.typeId() == QMetaType::UChar;
    const auto [end, error] = isUnsigned ? std::to_chars(digits, digits + sizeof digits, v.toULongLong())
                                         : std::to_chars(digits, digits + sizeof digits, v.toLongLong());
    out.append(QLatin1StringView(digits, end - digits));
}

} // namespace

bool ParseInteger(const QString &text, int32_t &number, bool show)
{
    int32_t v = 0;
    if (TryReadDecimalInt32(text.trimmed(), v)) {
        number = v;
        return true;
    }
    if (show)
        ShowError(LangMessages(QStringLiteral("ErrorInvalidNumber")));
    return false;
}

bool CheckRange(int64_t value, int64_t lower, int64_t upper, bool show)
{
    if (lower <= value && value <= upper)
        return true;
    if (show)
        ShowError(FormatText(LangMessages(QStringLiteral("ErrorNumberOutOfRange")),
                             {QVariant::fromValue<qlonglong>(lower), QVariant::fromValue<qlonglong>(upper)}));
    return false;
}

bool TryParseDecimal(const QString &text, float &value)
{
    // The locale's separator first, then either of the two the catalogue may hold.
    int64_t fixed = 0;
    const QString localeSeparator = QLocale::system().decimalPoint();
    bool ok = localeSeparator.size() == 1 && ReadFixed4(text, localeSeparator[0], fixed);
    if (!ok)
        ok = ReadFixed4(text, u'.', fixed);
    if (!ok)
        ok = ReadFixed4(text, u',', fixed);
    if (!ok) {
        value = 0.0f;
        return false;
    }
    // The money value converted as the original extended-precision path does.
    value = float(static_cast<long double>(fixed) / 10000.0L);
    return true;
}

float ParseDecimal(const QString &text)
{
    float value = 0.0f;
    if (TryParseDecimal(text, value))
        return value;
    // A number written with a point that still cannot be read is a broken
    // catalogue text: say so once per text, not on every read.
    if (text.contains(u'.') && !g_reportedDecimals.contains(text)) {
        g_reportedDecimals.insert(text);
        ShowError(LangMessages(QStringLiteral("ErrorInternalError")));
    }
    return 0.0f;
}

int32_t RoundWithTenthTolerance(float value)
{
    // The value as a four-decimal fixed-point number, as it would be written.
    const long double scaled = static_cast<long double>(value) * 10000.0L;
    const long double fixedRounded = std::nearbyint(scaled);
    // Results beyond 32 bits saturate at the nearest bound (no weight comes near it).
    if (!(std::fabs(fixedRounded) < 9.2e18L))
        return TruncToInt32(value);
    const int64_t fixed = int64_t(fixedRounded);
    const int64_t fraction = fixed % 10000;
    if (fraction == 0) {
        // Whole to four decimals: the number itself, even when single precision
        // left a trace below the fourth decimal (168.00002 weighs 168).
        return ClampToInt32(fixed / 10000);
    }
    const int firstDecimal = int((fraction < 0 ? -fraction : fraction) / 1000);
    if (firstDecimal == 0)
        return RoundEven(value);
    return ClampToInt32(int64_t(TruncToInt32(value)) + 1);
}

QStringList SplitBar(const QString &text)
{
    QStringList parts;
    QString rest = text;
    int bar;
    while ((bar = rest.indexOf(u'|')) >= 0) {
        parts.append(TrimBlanksAndControls(rest.left(bar)));
        rest = rest.mid(bar + 1);
    }
    rest = TrimBlanksAndControls(rest);
    if (!rest.isEmpty())
        parts.append(rest);
    return parts;
}

QDate Date8(const QString &text)
{
    auto part = [&](int from, int length) {
        int32_t v = 0;
        return TryReadDecimalInt32(text.mid(from, length), v) ? v : 0;
    };
    const int year = part(0, 4);
    const int month = part(4, 2);
    const int day = part(6, 2);
    if (year < 1 || year > 9999)
        return QDate();
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate();
}

QString FormatDate8(const QString &text)
{
    const QDate date = Date8(text);
    if (!date.isValid())
        return QString();
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

bool TryFormatText(const QString &format, const QList<QVariant> &args, QString &out)
{
    return TryFormatText(format, args.constData(), args.size(), out);
}

bool TryFormatText(const QString &format, const QVariant *args, qsizetype count, QString &out)
{
    out.clear();
    QString result;
    result.reserve(format.size() + 16 * count);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        // The text up to the next placeholder in one piece.
        const qsizetype percent = format.indexOf(u'%', i);
        const qsizetype runEnd = percent < 0 ? format.size() : percent;
        if (runEnd > i) {
            result.append(format.constData() + i, runEnd - i);
            i = runEnd - 1;
            continue;
        }
        if (i + 1 >= format.size())
            return false; // a lone '%' at the end
        const QChar kind = format[++i];
        if (kind == u'%') {
            result.append(u'%');
            continue;
        }
        if (kind != u's' && kind != u'd' && kind != u'm')
            return false;
        if (next >= count)
            return false;
        const QVariant &arg = args[next++];
        if (kind == u's') {
            if (!arg.isValid())
                return false;
            result.append(arg.toString());
        } else if (kind == u'd') {
            if (!IntegerVariant(arg))
                return false;
            AppendIntegerText(result, arg);
        } else {
            if (!IntegerVariant(arg))
                return false;
            result.append(FormatMoney(TCurrency(arg.toLongLong())));
        }
    }
    if (next != count)
        return false;
    out = std::move(result);
    return true;
}

QString FormatText(const QString &format, const QList<QVariant> &args)
{
    QString out;
    return TryFormatText(format, args, out) ? out : format;
}

void SetCurrencySymbol(const QString &symbol) { g_currencySymbol = symbol; }

QString CurrencySymbol() { return g_currencySymbol ? *g_currencySymbol : QLocale::system().currencySymbol(); }

namespace {

/// How the locale shapes an amount: its number pieces and where the symbol and sign go.
struct TMoneyShape {
    QLocale Locale;
    QString Pattern[2]; // positive, negative: a stand-in amount "1" and symbol "\x01"
    QString One;
    QChar DecimalPoint;
    QChar ZeroDigit;
};

const TMoneyShape &MoneyShape()
{
    thread_local std::optional<TMoneyShape> shape;
    const QLocale locale = QLocale::system();
    if (!shape || shape->Locale != locale) {
        shape.emplace();
        shape->Locale = locale;
        shape->Pattern[0] = locale.toCurrencyString(1.0, QStringLiteral("\x01"), 0);
        shape->Pattern[1] = locale.toCurrencyString(-1.0, QStringLiteral("\x01"), 0);
        shape->One = locale.toString(1);
        const QString point = locale.decimalPoint();
        const QString zero = locale.zeroDigit();
        shape->DecimalPoint = point.isEmpty() ? QChar(u'.') : point.at(0);
        shape->ZeroDigit = zero.isEmpty() ? QChar(u'0') : zero.at(0);
    }
    return *shape;
}

} // namespace

QString FormatMoney(TCurrency amount)
{
    // Hundredths, half away from zero as amounts are shown by the system.
    const bool negative = amount < 0;
    const uint64_t magnitude = negative ? uint64_t(0) - uint64_t(amount) : uint64_t(amount);
    const uint64_t cents = magnitude / 100 + (magnitude % 100 >= 50 ? 1 : 0);
    const TMoneyShape &shape = MoneyShape();
    QString number = shape.Locale.toString(qulonglong(cents / 100));
    number += shape.DecimalPoint;
    number += shape.Locale.toString(qulonglong(cents % 100)).rightJustified(2, shape.ZeroDigit);

    const QString symbol = CurrencySymbol();
    // Let the locale place the symbol and the sign around a stand-in amount.
    QString shaped = shape.Pattern[negative ? 1 : 0];
    const qsizetype at = shaped.indexOf(shape.One);
    if (at < 0)
        return (negative ? shape.Locale.negativeSign() : QString()) + number +
               (symbol.isEmpty() ? QString() : u' ' + symbol);
    shaped.replace(at, shape.One.size(), number);
    shaped.replace(QStringLiteral("\x01"), symbol);
    return shaped.trimmed();
}


