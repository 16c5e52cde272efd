#include "Alternatives.h"

#include "CatalogueRecords.h"
#include "Lang.h"
#include "PriceList.h"
#include "RequestKeys.h"
#include "RuntimeCurve.h"
#include "TextCodec.h"
#include "TextUtils.h"

namespace {

const QString kNoFigure = QStringLiteral("\u2014");

/// The keys an alternative cannot give: it is read in the main request's
/// language and debug mode, and holds no alternatives of its own.
bool SharedKey(const QString &key)
{
    return key == RequestKeyName(TRequestKeyId::Alternatives) || key == RequestKeyName(TRequestKeyId::Language) ||
           key == RequestKeyName(TRequestKeyId::DebugMode);
}

bool RefuseAlternatives(TRefusal &refusal, const QString &error)
{
    RefuseKey(refusal, TRequestKeyId::Alternatives);
    refusal.Error = error;
    return false;
}

/// The values of the data sheet rows with these names (the rows the sheet has), joined.
QString SheetValues(const QVector<TDataRow> &sheet, const QStringList &names)
{
    QStringList values;
    for (const TDataRow &row : sheet)
        if (names.contains(row.Name))
            values << TrimBlanksAndControls(row.Value);
    return values.isEmpty() ? kNoFigure : values.join(QStringLiteral(" + "));
}

QString SheetValue(const QVector<TDataRow> &sheet, const char *key)
{
    return SheetValues(sheet, {LangMain(QLatin1String(key))});
}

/// "2 / 2 / 2": one figure for each phase the UPS cabinet has slots on.
QString PerPhase(const TResultParameters &r, uint8_t l1, uint8_t l2, uint8_t l3)
{
    const TInverterCabinetRecord &cabinet = InverterCabinet(r.InverterRecord);
    const uint8_t figures[3] = {l1, l2, l3};
    QStringList parts;
    for (int phase = 0; phase < 3; ++phase)
        if (cabinet.Slots[phase] > 0)
            parts << QString::number(figures[phase]);
    return parts.isEmpty() ? QString::number(int(l1) + l2 + l3) : parts.join(QStringLiteral(" / "));
}

/// The item's text in section Ups, or its label where the catalogue gives no key.
QString UpsText(const TCatalogueRecord &record, const QString &label = QString())
{
    const QString text = record.DescriptionKey.isEmpty() ? label : LangUps(record.DescriptionKey);
    return TrimBlanksAndControls(text);
}

QString CountOf(int32_t count, const QString &what)
{
    return what.isEmpty() ? QString::number(count) : QStringLiteral("%1 \u00d7 %2").arg(count).arg(what);
}

QString UpsModel(const TComparedConfiguration &c)
{
    for (const TItemRow &row : c.Items.Rows)
        if (row.Group == int32_t(TItemGroup::Standard))
            return TrimBlanksAndControls(row.Description);
    return UpsText(InverterCabinet(c.Result.InverterRecord));
}

/// An amount with the price list's currency after it.
QString Money(TCurrency amount)
{
    return TrimBlanksAndControls(TrimBlanksAndControls(FormatPrice(amount)) + QStringLiteral(" ") + PriceList.Currency);
}

QString EndOfLife(const TComparedConfiguration &c)
{
    const TRuntimeCurve curve = ComputeRuntimeCurve(c.Request, c.Result, c.Environment);
    if (!curve.Available())
        return kNoFigure;
    if (curve.Own.EndOfLifeMinutes == -1)
        return LangMain(QStringLiteral("ResultsRuntimeBeyondTable"));
    return FormatAutonomy(curve.Own.EndOfLifeMinutes, c.Request.AutonomyInMinutes);
}

} // namespace

QJsonObject MergeAlternative(const QJsonObject &main, const QJsonObject &keys)
{
    QJsonObject merged = main;
    merged.remove(RequestKeyName(TRequestKeyId::Alternatives));
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        if (it.value().isNull())
            merged.remove(it.key());
        else
            merged.insert(it.key(), it.value());
    }
    return merged;
}

QJsonObject DiffAlternative(const QJsonObject &main, const QJsonObject &full)
{
    const QString alternatives = RequestKeyName(TRequestKeyId::Alternatives);
    QJsonObject keys;
    for (auto it = full.begin(); it != full.end(); ++it)
        if (it.key() != alternatives && main.value(it.key()) != it.value())
            keys.insert(it.key(), it.value());
    for (auto it = main.begin(); it != main.end(); ++it)
        if (it.key() != alternatives && !full.contains(it.key()))
            keys.insert(it.key(), QJsonValue::Null);
    return keys;
}

QJsonObject RebaseAlternatives(const QJsonObject &before, const QJsonObject &after)
{
    QVector<TAlternative> alternatives = RequestAlternatives(before);
    for (TAlternative &a : alternatives) {
        const QJsonObject pageKeys = DiffAlternative(after, MergeAlternative(before, a.Keys));
        for (const TRequestKey &key : kRequestKeys) {
            if (key.Page == kWholeRequest)
                continue;
            const QString name = RequestKeyName(key.Id);
            a.Keys.remove(name);
            if (pageKeys.contains(name))
                a.Keys.insert(name, pageKeys.value(name));
        }
    }
    return WithAlternatives(after, alternatives);
}

QJsonObject SwapWithMain(const QJsonObject &main, int index)
{
    QVector<TAlternative> alternatives = RequestAlternatives(main);
    if (index < 0 || index >= alternatives.size())
        return main;
    const QJsonObject chosen = MergeAlternative(main, alternatives[index].Keys);
    for (int i = 0; i < alternatives.size(); ++i) {
        const QJsonObject full = i == index ? MergeAlternative(main, {}) : MergeAlternative(main, alternatives[i].Keys);
        alternatives[i].Keys = DiffAlternative(chosen, full);
    }
    return WithAlternatives(chosen, alternatives);
}

QString DefaultAlternativeLabel(int index)
{
    return TrimBlanksAndControls(
        FormatArgs(LangMain(QStringLiteral("ComparisonOptionLabel")), QString(QChar(u'A' + index % 26))));
}

QString NextAlternativeLabel(const QVector<TAlternative> &alternatives)
{
    for (int i = 0;; ++i) {
        const QString label = DefaultAlternativeLabel(i);
        bool used = false;
        for (const TAlternative &a : alternatives)
            used = used || a.Label == label;
        if (!used || i >= 25)
            return label;
    }
}

QString AlternativeName(int index, const QString &label)
{
    return QStringLiteral("alternatives[%1] \"%2\"").arg(index).arg(label);
}

bool ReadAlternatives(const QJsonValue &value, QVector<TAlternative> &alternatives, TRefusal &refusal)
{
    if (!value.isArray())
        return RefuseAlternatives(refusal, QStringLiteral("Invalid request value: alternatives must be a list of "
                                                          "request objects"));
    const QJsonArray list = value.toArray();
    if (list.size() > kMaxAlternatives)
        return RefuseAlternatives(refusal, QStringLiteral("Invalid request value: alternatives holds %1 "
                                                          "alternatives; an offer holds at most %2")
                                               .arg(list.size())
                                               .arg(kMaxAlternatives));
    QVector<TAlternative> read;
    for (int i = 0; i < list.size(); ++i) {
        if (!list[i].isObject())
            return RefuseAlternatives(refusal, QStringLiteral("Invalid request value: alternatives[%1] is not a "
                                                              "request object")
                                                   .arg(i));
        QJsonObject keys = list[i].toObject();
        const QJsonValue label = keys.take(QLatin1String(kAlternativeLabelKey));
        TAlternative alternative;
        alternative.Label = label.isUndefined() ? DefaultAlternativeLabel(i) : label.toString().trimmed();
        if (!label.isUndefined() && (!label.isString() || alternative.Label.isEmpty()))
            return RefuseAlternatives(refusal, QStringLiteral("Invalid request value: the label of "
                                                              "alternatives[%1] must be a text")
                                                   .arg(i));
        for (auto it = keys.begin(); it != keys.end(); ++it)
            if (SharedKey(it.key()))
                return RefuseAlternatives(refusal, QStringLiteral("Invalid request value: %1: \"%2\" cannot "
                                                                  "differ from the main request")
                                                       .arg(AlternativeName(i, alternative.Label), it.key()));
        alternative.Keys = keys;
        read << alternative;
    }
    alternatives = read;
    return true;
}

QJsonArray AlternativesJson(const QVector<TAlternative> &alternatives)
{
    QJsonArray list;
    for (const TAlternative &a : alternatives) {
        QJsonObject o = a.Keys;
        o.insert(QLatin1String(kAlternativeLabelKey), a.Label);
        list.append(o);
    }
    return list;
}

QVector<TAlternative> RequestAlternatives(const QJsonObject &request)
{
    QVector<TAlternative> alternatives;
    const QJsonValue value = request.value(RequestKeyName(TRequestKeyId::Alternatives));
    TRefusal refusal;
    if (!value.isUndefined() && !ReadAlternatives(value, alternatives, refusal))
        alternatives.clear();
    return alternatives;
}

QJsonObject WithAlternatives(const QJsonObject &request, const QVector<TAlternative> &alternatives)
{
    QJsonObject with = request;
    if (alternatives.isEmpty())
        with.remove(RequestKeyName(TRequestKeyId::Alternatives));
    else
        with.insert(RequestKeyName(TRequestKeyId::Alternatives), AlternativesJson(alternatives));
    return with;
}

QStringList ComparisonRowLabels()
{
    QStringList labels;
    for (const char *key : {"ComparisonUpsModel", "ComparisonSlots", "ComparisonModules", "ComparisonRedundancy",
                            "ComparisonBatteryKits", "ComparisonBatteryCabinets", "ResultsDataAutonomyRequired",
                            "ResultsDataAutonomyAvailable", "ComparisonEndOfLife", "ComparisonDimensions",
                            "ComparisonWeights", "ResultsHeatLosses", "ComparisonTotalPrice", "ComparisonNetPrice"})
        labels << TrimBlanksAndControls(LangMain(QLatin1String(key)));
    return labels;
}

QStringList ComparisonColumn(const TComparedConfiguration &c)
{
    const TRequestParameters &q = c.Request;
    const TResultParameters &r = c.Result;
    const bool batteries = !OnlyInverterActive(q);
    QStringList column;
    column << UpsModel(c) << QString::number(r.InverterSlots) << PerPhase(r, r.ModulesL1, r.ModulesL2, r.ModulesL3)
           << PerPhase(r, r.RedundantL1, r.RedundantL2, r.RedundantL3);
    if (batteries) {
        const TBatteryKitRecord &kit = BatteryKit(r.BatteryKitRecord);
        column << CountOf(r.BatteryKitCount, UpsText(kit, kit.Label))
               << CountOf(r.BatteryCabinetCount,
                          r.BatteryCabinetCount > 0 ? UpsText(BatteryCabinet(r.BatteryCabinetRecord)) : QString());
    } else {
        column << kNoFigure << kNoFigure;
    }
    column << SheetValue(c.Sheet, "ResultsDataAutonomyRequired") << SheetValue(c.Sheet, "ResultsDataAutonomyAvailable")
           << EndOfLife(c);
    column << SheetValues(c.Sheet, {LangMain(QStringLiteral("ResultsDataDimensionsTotal")),
                                    LangMain(QStringLiteral("ResultsDataDimensionsInverter")),
                                    LangMain(QStringLiteral("ResultsDataDimensionsBattery"))});
    column << SheetValues(c.Sheet, {LangMain(QStringLiteral("ResultsDataWeightTotal")),
                                    LangMain(QStringLiteral("ResultsDataWeightInverterCabinet")),
                                    LangMain(QStringLiteral("ResultsDataWeightBatteryCabinet")),
                                    LangMain(QStringLiteral("ResultsDataWeightLastBatteryCabinet"))});
    column << SheetValue(HeatTableRows(ComputeHeatFigures(q, r)), "ResultsHeatLosses");
    if (c.Items.PriceListOpen) {
        const TOfferFigures figures = ComputeOfferFigures(c.Items, c.Offer.Discount);
        column << Money(c.Items.Total) << Money(figures.NetPrice);
    } else {
        column << kNoFigure << kNoFigure;
    }
    return column;
}

TComparison BuildComparison(const QStringList &mainColumn, const QStringList &labels,
                            const QList<QStringList> &alternativeColumns)
{
    TComparison comparison;
    comparison.Headings << QString() << TrimBlanksAndControls(LangMain(QStringLiteral("ComparisonMainColumn")))
                        << labels;
    const QStringList rowLabels = ComparisonRowLabels();
    for (int row = 0; row < rowLabels.size(); ++row) {
        QStringList cells{rowLabels[row], mainColumn.value(row)};
        for (const QStringList &column : alternativeColumns)
            cells << column.value(row);
        comparison.Rows << cells;
    }
    return comparison;
}
