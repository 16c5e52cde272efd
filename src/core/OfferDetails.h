#pragma once
// The offer as a sales document: who it is for, its reference and terms, and
// the commercial figures drawn from the item list (line totals, discount, net
// price, the yearly share of the contracts). Everything here takes what it
// needs as arguments; a configuration without offer details has none of it.

#include "Globals.h"
#include "ItemList.h"

#include <QDate>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QVariant>
#include <QString>
#include <QVector>

/// Hundredths of a percent: 1250 is 12.50 %.
using TBasisPoints = int32_t;
constexpr TBasisPoints kFullDiscount = 10000;
constexpr int32_t kMaxValidDays = 3650;

struct TOfferDetails {
    QString Customer;
    QString Project; // project or site
    QString Reference;
    QDate Date;            // invalid: none given
    int32_t ValidDays = 0; // 0: no validity stated
    TBasisPoints Discount = 0;
    QString Notes;

    /// Nothing given: the documents and answers are those of a plain configuration.
    bool IsEmpty() const;
    /// The last day the offer holds; invalid without a date or a validity.
    QDate ValidUntil() const;
    bool operator==(const TOfferDetails &other) const;
    bool operator!=(const TOfferDetails &other) const { return !(*this == other); }
};

/// Why offer details or a reference pattern were refused.
enum class TOfferFault {
    None,
    NotAnObject,        // the offer is not a JSON object
    UnknownMember,      // a member this program does not know
    NotText,            // a text member holds something else
    DiscountOutOfRange, // not a number from 0 to 100 with at most two decimals
    DateInvalid,        // not YYYY-MM-DD, or a day that does not exist
    ValidDaysOutOfRange,
    PatternWithoutCounter,
};

struct TOfferError {
    TOfferFault Fault = TOfferFault::None;
    QString Member; // the member or text refused
    bool Ok() const { return Fault == TOfferFault::None; }
};

/// The message (a key of the section Messages) and its arguments for a refusal.
struct TOfferMessage {
    QString Key;
    QList<QVariant> Args;
};
TOfferMessage OfferErrorMessage(const TOfferError &error);

/// The member names of the request key "offer".
namespace OfferMember {
constexpr const char *Customer = "customer";
constexpr const char *Project = "project";
constexpr const char *Reference = "reference";
constexpr const char *Date = "date";
constexpr const char *ValidDays = "validDays";
constexpr const char *DiscountPercent = "discountPercent";
constexpr const char *Notes = "notes";
} // namespace OfferMember

/// A discount typed as text ("12.5", "12,50", "0"): point or comma, at most two decimals, 0 to 100.
TOfferError ParseDiscountText(const QString &text, TBasisPoints &discount);
/// A discount given as a JSON number.
TOfferError ParseDiscountNumber(double value, TBasisPoints &discount);
/// A date written YYYY-MM-DD that exists (an empty text is no date, and accepted).
TOfferError ParseOfferDate(const QString &text, QDate &date);
/// The discount as the documents write it: "12.5", "7", "0.25" (a point, no trailing zeros).
QString DiscountText(TBasisPoints discount);

/// Reads the request key "offer"; `details` changes only when every member is right.
TOfferError ReadOfferDetails(const QJsonValue &value, TOfferDetails &details);
/// The details as the request key holds them (only the members given).
QJsonObject OfferDetailsJson(const TOfferDetails &details);

// --- References

constexpr const char *kDefaultReferencePattern = "Q-{yyyy}-{nnnn}";

/// A pattern holds exactly one counter "{n…n}" (its width: the n's); {yyyy}, {yy},
/// {mm} and {dd} stand for the date. False for a pattern without a counter.
TOfferError CheckReferencePattern(const QString &pattern);
/// The reference for `counter` on `date`; empty for a pattern refused above.
QString FormatReference(const QString &pattern, int32_t counter, const QDate &date);
/// The reference with the revision suffix: "-R1" added, or "-R1" made "-R2".
QString NextRevision(const QString &reference);
/// The revision of a reference, 0 without a suffix.
int32_t RevisionOf(const QString &reference);
/// The reference without its revision suffix.
QString BaseReference(const QString &reference);

// --- Commercial figures

struct TOfferFigures {
    bool Priced = false;            // a price list is open
    QVector<TCurrency> LineTotals;  // one per item row: quantity × unit price
    TCurrency Total = 0;            // the list's total, as computed there
    TBasisPoints Discount = 0;
    TCurrency DiscountAmount = 0;   // to the cent
    TCurrency NetPrice = 0;         // Total − DiscountAmount
    bool HasContracts = false;      // priced contract rows are on the list
    TCurrency YearlyTotal = 0;      // the contracts' share of the total
};
/// Quantity × unit price, saturating rather than overflowing.
TCurrency LineTotal(const TItemRow &row);
/// The discount on `total`, rounded to the cent (half away from zero).
TCurrency DiscountAmount(TCurrency total, TBasisPoints discount);
TOfferFigures ComputeOfferFigures(const TItemList &list, TBasisPoints discount);
