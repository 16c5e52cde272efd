#include "OfferDetails.h"

#include "PriceList.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

TOfferError Fault(TOfferFault fault, const QString &member = QString()) { return TOfferError{fault, member}; }

TCurrency Saturate(__int128 value)
{
    if (value > std::numeric_limits<TCurrency>::max())
        return std::numeric_limits<TCurrency>::max();
    if (value < std::numeric_limits<TCurrency>::min())
        return std::numeric_limits<TCurrency>::min();
    return TCurrency(value);
}

/// The counter of a pattern: "{" one or more n's "}".
const QRegularExpression &CounterToken()
{
    static const QRegularExpression re(QStringLiteral("\\{(n+)\\}"));
    return re;
}

const QRegularExpression &RevisionSuffix()
{
    static const QRegularExpression re(QStringLiteral("-R([1-9][0-9]{0,8})$"));
    return re;
}

bool ReadText(const QJsonObject &o, const char *member, QString &text)
{
    const QJsonValue v = o.value(QLatin1String(member));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isString())
        return false;
    text = v.toString().trimmed();
    return true;
}

} // namespace

bool TOfferDetails::IsEmpty() const { return *this == TOfferDetails(); }

QDate TOfferDetails::ValidUntil() const
{
    return Date.isValid() && ValidDays > 0 ? Date.addDays(ValidDays) : QDate();
}

bool TOfferDetails::operator==(const TOfferDetails &o) const
{
    return Customer == o.Customer && Project == o.Project && Reference == o.Reference && Date == o.Date &&
           ValidDays == o.ValidDays && Discount == o.Discount && Notes == o.Notes;
}

TOfferMessage OfferErrorMessage(const TOfferError &e)
{
    switch (e.Fault) {
    case TOfferFault::None:
        return {};
    case TOfferFault::DiscountOutOfRange:
        return {QStringLiteral("ErrorOfferDiscount"), {}};
    case TOfferFault::DateInvalid:
        return {QStringLiteral("ErrorOfferDate"), {e.Member}};
    case TOfferFault::ValidDaysOutOfRange:
        return {QStringLiteral("ErrorOfferValidDays"), {0, kMaxValidDays}};
    case TOfferFault::PatternWithoutCounter:
        return {QStringLiteral("ErrorOfferReferencePattern"), {e.Member}};
    case TOfferFault::NotAnObject:
    case TOfferFault::UnknownMember:
    case TOfferFault::NotText:
        break;
    }
    return {QStringLiteral("ErrorOfferValue"), {e.Member.isEmpty() ? QStringLiteral("offer") : e.Member}};
}

TOfferError ParseDiscountText(const QString &text, TBasisPoints &discount)
{
    static const QRegularExpression re(QStringLiteral("^([0-9]{1,3})(?:[.,]([0-9]{1,2}))?$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return Fault(TOfferFault::DiscountOutOfRange, text);
    const QString decimals = m.captured(2).leftJustified(2, u'0');
    const int32_t value = m.captured(1).toInt() * 100 + decimals.toInt();
    if (value > kFullDiscount)
        return Fault(TOfferFault::DiscountOutOfRange, text);
    discount = value;
    return {};
}

TOfferError ParseDiscountNumber(double value, TBasisPoints &discount)
{
    const QString shown = QString::number(value, 'g', 17);
    if (!std::isfinite(value) || value < 0 || value > 100)
        return Fault(TOfferFault::DiscountOutOfRange, shown);
    // 12.34 is 1233.9999… hundredths in binary: near a whole hundredth is one.
    const double hundredths = value * 100.0;
    const double whole = std::round(hundredths);
    if (std::fabs(hundredths - whole) > 1e-6)
        return Fault(TOfferFault::DiscountOutOfRange, shown);
    discount = TBasisPoints(whole);
    return {};
}

TOfferError ParseOfferDate(const QString &text, QDate &date)
{
    if (text.isEmpty()) {
        date = QDate();
        return {};
    }
    static const QRegularExpression re(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch m = re.match(text);
    const QDate parsed =
        m.hasMatch() ? QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()) : QDate();
    if (!parsed.isValid())
        return Fault(TOfferFault::DateInvalid, text);
    date = parsed;
    return {};
}

QString DiscountText(TBasisPoints discount)
{
    QString text = QString::number(discount / 100);
    const int32_t hundredths = discount % 100;
    if (hundredths != 0) {
        text += u'.' + QString::number(hundredths).rightJustified(2, u'0');
        if (text.endsWith(u'0'))
            text.chop(1);
    }
    return text;
}

TOfferError ReadOfferDetails(const QJsonValue &value, TOfferDetails &details)
{
    if (!value.isObject())
        return Fault(TOfferFault::NotAnObject);
    const QJsonObject o = value.toObject();
    using namespace OfferMember;
    static const char *const known[] = {Customer, Project, Reference, Date, ValidDays, DiscountPercent, Notes};
    for (auto it = o.begin(); it != o.end(); ++it)
        if (std::none_of(std::begin(known), std::end(known),
                         [&](const char *name) { return it.key() == QLatin1String(name); }))
            return Fault(TOfferFault::UnknownMember, it.key());
    TOfferDetails read;
    for (auto [name, text] : {std::pair{Customer, &read.Customer}, std::pair{Project, &read.Project},
                              std::pair{Reference, &read.Reference}, std::pair{Notes, &read.Notes}})
        if (!ReadText(o, name, *text))
            return Fault(TOfferFault::NotText, QLatin1String(name));
    QString dateText;
    if (!ReadText(o, Date, dateText))
        return Fault(TOfferFault::DateInvalid, QLatin1String(Date));
    if (TOfferError e = ParseOfferDate(dateText, read.Date); !e.Ok())
        return e;
    const QJsonValue days = o.value(QLatin1String(ValidDays));
    if (!days.isUndefined() && !days.isNull()) {
        const double d = days.toDouble(-1);
        if (!days.isDouble() || d != std::trunc(d) || d < 0 || d > kMaxValidDays)
            return Fault(TOfferFault::ValidDaysOutOfRange, QString::number(d));
        read.ValidDays = int32_t(d);
    }
    const QJsonValue discount = o.value(QLatin1String(DiscountPercent));
    if (discount.isString()) {
        if (TOfferError e = ParseDiscountText(discount.toString(), read.Discount); !e.Ok())
            return e;
    } else if (!discount.isUndefined() && !discount.isNull()) {
        if (!discount.isDouble())
            return Fault(TOfferFault::DiscountOutOfRange, QString());
        if (TOfferError e = ParseDiscountNumber(discount.toDouble(), read.Discount); !e.Ok())
            return e;
    }
    details = read;
    return {};
}

QJsonObject OfferDetailsJson(const TOfferDetails &d)
{
    using namespace OfferMember;
    QJsonObject o;
    auto text = [&o](const char *name, const QString &value) {
        if (!value.isEmpty())
            o.insert(QLatin1String(name), value);
    };
    text(Customer, d.Customer);
    text(Project, d.Project);
    text(Reference, d.Reference);
    if (d.Date.isValid())
        o.insert(QLatin1String(Date), d.Date.toString(Qt::ISODate));
    if (d.ValidDays > 0)
        o.insert(QLatin1String(ValidDays), d.ValidDays);
    if (d.Discount > 0)
        o.insert(QLatin1String(DiscountPercent), d.Discount / 100.0);
    text(Notes, d.Notes);
    return o;
}

TOfferError CheckReferencePattern(const QString &pattern)
{
    auto counters = CounterToken().globalMatch(pattern);
    int count = 0;
    while (counters.hasNext()) {
        counters.next();
        ++count;
    }
    if (count != 1)
        return Fault(TOfferFault::PatternWithoutCounter, pattern);
    return {};
}

QString FormatReference(const QString &pattern, int32_t counter, const QDate &date)
{
    if (!CheckReferencePattern(pattern).Ok())
        return QString();
    QString text = pattern;
    const QRegularExpressionMatch m = CounterToken().match(text);
    text.replace(m.capturedStart(), m.capturedLength(),
                 QString::number(counter).rightJustified(m.capturedLength(1), u'0'));
    text.replace(QLatin1String("{yyyy}"), date.toString(QStringLiteral("yyyy")));
    text.replace(QLatin1String("{yy}"), date.toString(QStringLiteral("yy")));
    text.replace(QLatin1String("{mm}"), date.toString(QStringLiteral("MM")));
    text.replace(QLatin1String("{dd}"), date.toString(QStringLiteral("dd")));
    return text;
}

int32_t RevisionOf(const QString &reference)
{
    const QRegularExpressionMatch m = RevisionSuffix().match(reference);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString BaseReference(const QString &reference)
{
    const QRegularExpressionMatch m = RevisionSuffix().match(reference);
    return m.hasMatch() ? reference.left(m.capturedStart()) : reference;
}

QString NextRevision(const QString &reference)
{
    return BaseReference(reference) + QStringLiteral("-R") + QString::number(RevisionOf(reference) + 1);
}

TCurrency LineTotal(const TItemRow &row)
{
    return row.Priced ? Saturate(__int128(row.Quantity) * row.Price) : 0;
}

TCurrency DiscountAmount(TCurrency total, TBasisPoints discount)
{
    // total is in ten-thousandths, the discount in hundredths of a percent: the
    // amount in cents is total × discount / 10^6, rounded half away from zero.
    const __int128 scaled = __int128(total) * discount;
    const __int128 divisor = 1000000;
    const __int128 half = divisor / 2;
    const __int128 cents = scaled >= 0 ? (scaled + half) / divisor : -((-scaled + half) / divisor);
    return Saturate(cents * 100);
}

TOfferFigures ComputeOfferFigures(const TItemList &list, TBasisPoints discount)
{
    TOfferFigures f;
    f.Priced = list.PriceListOpen;
    f.Total = list.Total;
    f.Discount = discount;
    __int128 yearly = 0;
    for (const TItemRow &row : list.Rows) {
        f.LineTotals.append(LineTotal(row));
        if (row.Priced && row.Group == int32_t(TItemGroup::Contracts)) {
            f.HasContracts = true;
            yearly += f.LineTotals.last();
        }
    }
    f.YearlyTotal = Saturate(yearly);
    if (f.Priced) {
        f.DiscountAmount = DiscountAmount(f.Total, discount);
        f.NetPrice = Saturate(__int128(f.Total) - f.DiscountAmount);
    }
    return f;
}
