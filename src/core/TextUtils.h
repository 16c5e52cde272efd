#pragma once
// Number entry and text helpers, and the one text formatter through which
// every language text with placeholders goes.

#include "Globals.h"
#include "TextCodec.h"
#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>

/// Trimmed whole decimal number with optional sign; on failure and `show`,
/// ShowError(Messages/ErrorInvalidNumber).
bool ParseInteger(const QString &text, int32_t &number, bool show);
/// lower <= value <= upper; otherwise and `show`, ShowError(Messages/ErrorNumberOutOfRange, lower, upper).
bool CheckRange(int64_t value, int64_t lower, int64_t upper, bool show);
/// A catalogue decimal read with "." or ",", exact to four decimals. A text
/// that cannot be read shows Messages/ErrorInternalError once per text when
/// it holds a point; a text that cannot be read and holds no point gives 0.
float ParseDecimal(const QString &text);
/// As ParseDecimal, reporting failure instead of showing a message.
bool TryParseDecimal(const QString &text, float &value);
/// Rounds up unless the first decimal digit is 0 (weights).
int32_t RoundWithTenthTolerance(float value);
/// Parts between '|', each trimmed; an empty last part is dropped.
QStringList SplitBar(const QString &text);
/// YYYYMMDD as a date (characters after the eighth ignored); null when not a valid date.
QDate Date8(const QString &text);
/// Date8 in the user's short date format; empty when not a valid date.
QString FormatDate8(const QString &text);

/// Formats `format` with "%s" (any value as text), "%d" (an integer value),
/// "%m" (a TCurrency amount as money) and "%%". Returns false, leaving `out`
/// empty, when the placeholders do not match the arguments in count or kind,
/// or the text holds another '%' sequence. Never reads past the arguments.
bool TryFormatText(const QString &format, const QList<QVariant> &args, QString &out);
/// As TryFormatText; a text that does not match its arguments comes back unformatted.
QString FormatText(const QString &format, const QList<QVariant> &args = {});
/// The same over `count` arguments in place (no list to build).
bool TryFormatText(const QString &format, const QVariant *args, qsizetype count, QString &out);
/// FormatText with the arguments given one by one, as in FormatArgs(text, 3, name).
template <typename... TArgs> QString FormatArgs(const QString &format, const TArgs &...args)
{
    const QVariant values[] = {QVariant::fromValue(args)..., QVariant()};
    QString out;
    return TryFormatText(format, values, qsizetype(sizeof...(TArgs)), out) ? out : format;
}
/// Money as "%m" shows it: the amount in the locale's number format with two decimals.
QString FormatMoney(TCurrency amount);

/// The symbol "%m" puts beside an amount; the locale's own until set (the price list sets it empty).
void SetCurrencySymbol(const QString &symbol);
QString CurrencySymbol();

