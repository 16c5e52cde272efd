#pragma once
// Alternatives in one offer: "what does 30 minutes cost instead of 15?" An
// alternative is a label and the request keys in which it differs from the
// main request; put over the main request they give its whole request, which
// is sized by the same replay as any request. The comparison sets the figures
// of the main configuration and of each alternative side by side.

#include "BatteryLife.h"
#include "DataSheet.h"
#include "Globals.h"
#include "ItemList.h"
#include "OfferDetails.h"
#include "RequestReplay.h"
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

/// An offer holds the main configuration and at most this many alternatives.
constexpr int kMaxAlternatives = 4;
/// The member of an alternative's object that names it; every other member is a request key.
constexpr const char *kAlternativeLabelKey = "label";

struct TAlternative {
    QString Label;
    /// Only the keys that differ from the main request; null: the key left out
    /// (its default) where the main request gives one.
    QJsonObject Keys;
    bool operator==(const TAlternative &o) const { return Label == o.Label && Keys == o.Keys; }
};

/// The whole request of an alternative: `main` without its alternatives, with
/// `keys` put over it (a null removes the key).
QJsonObject MergeAlternative(const QJsonObject &main, const QJsonObject &keys);
/// The keys of `full` that differ from `main`, with null for those `main` has
/// and `full` leaves out; the alternatives of either are no part of it.
QJsonObject DiffAlternative(const QJsonObject &main, const QJsonObject &full);

/// "Option A" to "Option D" in the active language: the label an alternative
/// at `index` gets when none is given.
QString DefaultAlternativeLabel(int index);
/// The first of the default labels that none of `alternatives` carries.
QString NextAlternativeLabel(const QVector<TAlternative> &alternatives);

/// Reads the request key "alternatives": a list of at most kMaxAlternatives
/// objects, each a label (optional text) and request keys; language, debug mode
/// and alternatives cannot differ. False, refused with a message that names the
/// alternative, otherwise; `alternatives` changes only when every one reads.
bool ReadAlternatives(const QJsonValue &value, QVector<TAlternative> &alternatives, TRefusal &refusal);
/// The list as the request key holds it: label first, then the keys.
QJsonArray AlternativesJson(const QVector<TAlternative> &alternatives);
/// The alternatives the request holds (none when it holds none, or none that read).
QVector<TAlternative> RequestAlternatives(const QJsonObject &request);
/// The request with `alternatives` in its key (the key removed when there are none).
QJsonObject WithAlternatives(const QJsonObject &request, const QVector<TAlternative> &alternatives);
/// The main request changed from `before` to `after` (the wizard's pages gave it
/// again): `after` with the alternatives of `before`, each keeping the values it
/// gave the pages; their other keys (offer, runtime inputs) stay as they were.
QJsonObject RebaseAlternatives(const QJsonObject &before, const QJsonObject &after);
/// Makes alternative `index` of `main` the main request: the main request takes
/// its place and label, and every alternative's keys are taken again against the new main.
QJsonObject SwapWithMain(const QJsonObject &main, int index);

/// "alternatives[1] "Option B"": how messages name an alternative.
QString AlternativeName(int index, const QString &label);

/// What the comparison shows of one configuration: the records after the
/// drawing's cabinets and the two tables, as the results page and the answers have them.
struct TComparedConfiguration {
    TRequestParameters Request{};
    TResultParameters Result{};
    TItemList Items;
    QVector<TDataRow> Sheet;
    TBatteryEnvironment Environment;
    TOfferDetails Offer;
};

/// The comparison: column headings (an empty one over the row labels, then
/// the main configuration's and each alternative's) and rows of
/// [label, main, alternative 1, ...], in the active language.
struct TComparison {
    QStringList Headings;
    QList<QStringList> Rows;
    bool IsEmpty() const { return Rows.isEmpty(); }
};

/// The rows' labels, in order, in the active language.
QStringList ComparisonRowLabels();
/// One configuration's values, one per row of ComparisonRowLabels, in the active
/// language; "—" where the configuration has no such figure (no batteries, no price list).
QStringList ComparisonColumn(const TComparedConfiguration &configuration);
/// The table of the main configuration's column and the alternatives' columns
/// under their labels.
TComparison BuildComparison(const QStringList &mainColumn, const QStringList &labels,
                            const QList<QStringList> &alternativeColumns);
