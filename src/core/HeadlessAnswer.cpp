#include "HeadlessAnswer.h"

#include "JsonStream.h"
#include "PriceList.h"
#include "RuntimeCurve.h"
#include "TextUtils.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

namespace {

/// A float as a JSON number with the digits that give the same float back.
void FloatMember(TJsonText &json, const char *key, float f)
{
    json.Key(key);
    json.Number(double(f), 9);
}

void TextOrNull(TJsonText &json, bool present, const QString &text)
{
    if (present)
        json.Value(text);
    else
        json.Null();
}

/// A figure to one decimal, as the answers give watts, BTU per hour and percentages.
double OneDecimal(double value) { return std::round(value * 10.0) / 10.0; }

} // namespace

void WriteRequest(TJsonText &json, const TRequestParameters &q)
{
    json.BeginObject();
    json.Member("MaxUpsPower", q.MaxUpsPower);
    json.Member("LoadPower", q.LoadPower);
    json.Member("PowerInWatt", q.PowerInWatt);
    json.Member("PowerMarginPercent", q.PowerMarginPercent);
    json.Member("AutonomyLoadPercent", q.AutonomyLoadPercent);
    json.Member("MaxUpsSlots", q.MaxUpsSlots);
    json.Member("OutputLines", int(q.OutputLines));
    json.Member("LoadPhases", int(q.LoadPhases));
    json.Member("InputThreePhase", q.InputThreePhase);
    json.Member("OutputKind", int(q.OutputKind));
    json.Member("AutonomyRequired", q.AutonomyRequired);
    json.Member("AutonomyInMinutes", q.AutonomyInMinutes);
    json.Member("ModularBatteryCabinet", q.ModularBatteryCabinet);
    json.Member("SpecialConfig", q.SpecialConfig);
    json.Member("EmptyDrawers", q.EmptyDrawers);
    json.Member("OnlyInverter", q.OnlyInverter);
    json.Member("BatteryType", q.BatteryType);
    json.EndObject();
}

void WriteAccessories(TJsonText &json, const char *key, const TArrayGenericAccessory &list)
{
    json.Key(key);
    json.BeginArray();
    for (const TGenericAccessory &item : list) {
        json.BeginObject();
        json.Member("RecordId", item.RecordId);
        json.Member("Quantity", item.Quantity);
        json.EndObject();
    }
    json.EndArray();
}

void WriteResult(TJsonText &json, const TResultParameters &r)
{
    json.BeginObject();
    json.Member("ModuleRecord", r.ModuleRecord);
    FloatMember(json, "ModuleVA", r.ModuleVA);
    FloatMember(json, "ModuleW", r.ModuleW);
    json.Member("ModulesL1", int(r.ModulesL1));
    json.Member("ModulesL2", int(r.ModulesL2));
    json.Member("ModulesL3", int(r.ModulesL3));
    json.Member("RedundantL1", int(r.RedundantL1));
    json.Member("RedundantL2", int(r.RedundantL2));
    json.Member("RedundantL3", int(r.RedundantL3));
    json.Member("InverterRecord", r.InverterRecord);
    json.Member("InverterSlots", int(r.InverterSlots));
    json.Member("InverterKitPositions", int(r.InverterKitPositions));
    json.Member("BatteryCabinetRecord", r.BatteryCabinetRecord);
    json.Member("BatteryCabinetCount", r.BatteryCabinetCount);
    json.Member("CabinetKitPositions", int(r.CabinetKitPositions));
    json.Member("KitsInLastCabinet", int(r.KitsInLastCabinet));
    json.Member("BatteryKitRecord", r.BatteryKitRecord);
    json.Member("BatteryKitCount", r.BatteryKitCount);
    json.Member("AutonomyAvailable", r.AutonomyAvailable);
    json.Member("StringsSetByPower", r.StringsSetByPower);
    json.Member("AutonomyMinusOne", r.AutonomyMinusOne);
    FloatMember(json, "BatteryCapacityAh", r.BatteryCapacityAh);
    json.Member("KitsPerString", r.KitsPerString);
    json.Member("EmptyKitRecord", r.EmptyKitRecord);
    json.Member("EmptyKitCount", r.EmptyKitCount);
    json.Key("Accessories");
    json.BeginObject();
    WriteAccessories(json, "Accessories", r.Accessories.Accessories);
    WriteAccessories(json, "Contracts", r.Accessories.Contracts);
    json.EndObject();
    json.Member("TotalPrice", double(r.TotalPrice) / 10000.0);
    json.EndObject();
}

void WritePagesShown(TJsonText &json, const TPagesShown &pages)
{
    if (pages.HasSizeList) {
        json.Key("sizeList");
        json.BeginArray();
        for (const TSizeLine &line : pages.SizeList) {
            json.BeginArray();
            json.Value(line.VA);
            json.Value(line.W);
            json.Value(line.Slots);
            json.Value(line.RecordId);
            json.EndArray();
        }
        json.EndArray();
    }
    if (pages.HasRedundancy) {
        json.Key("redundancyLines");
        if (pages.PerPhase) {
            json.BeginArray();
            for (int i = 0; i < 3; ++i)
                json.Value(pages.RedundancyLines.value(i));
            json.EndArray();
        } else {
            json.Value(pages.RedundancyLines.value(0));
        }
    }
}

void WriteResultTables(TJsonText &json, const TItemList &list, const QVector<TDataRow> &sheet,
                       const TOfferDetails &offer)
{
    const TOfferFigures figures = ComputeOfferFigures(list, offer.Discount);
    json.Key("items");
    json.BeginArray();
    for (qsizetype i = 0; i < list.Rows.size(); ++i) {
        const TItemRow &row = list.Rows[i];
        json.BeginArray();
        json.Value(row.Code);
        json.Value(row.Description);
        json.Value(row.Quantity);
        TextOrNull(json, list.ShowPrices, ItemRowCells(row, true).value(3).trimmed());
        TextOrNull(json, list.ShowPrices && row.Priced, FormatPrice(figures.LineTotals[i]).trimmed());
        json.EndArray();
    }
    json.EndArray();
    json.Key("totalPrice");
    TextOrNull(json, list.PriceListOpen, FormatPrice(list.Total).trimmed());
    json.Key("discountPercent");
    if (list.PriceListOpen)
        json.Number(offer.Discount / 100.0, 6);
    else
        json.Null();
    json.Key("netPrice");
    TextOrNull(json, list.PriceListOpen, FormatPrice(figures.NetPrice).trimmed());
    if (list.PriceListOpen) {
        json.Key("unpricedItems");
        json.Json(QJsonArray::fromStringList(list.UnpricedCodes));
    }
    // The installed list cannot be read (at start or since): no prices, as without one.
    if (PriceList.NotValid)
        json.Member("priceListNotValid", true);
    json.Key("dataSheet");
    json.BeginArray();
    for (const TDataRow &row : sheet) {
        json.BeginArray();
        json.Value(row.Name);
        json.Value(row.Value);
        json.EndArray();
    }
    json.EndArray();
}

void WriteOffer(TJsonText &json, const TOfferDetails &offer)
{
    QJsonObject o = OfferDetailsJson(offer);
    if (offer.ValidUntil().isValid())
        o.insert(QLatin1String("validUntil"), offer.ValidUntil().toString(Qt::ISODate));
    json.Key("offer");
    json.Json(o);
}

void WriteRuntimeAndHeat(TJsonText &json, const TRequestParameters &req, const TResultParameters &res,
                         const TBatteryEnvironment &env)
{
    const TRuntimeCurve curve = ComputeRuntimeCurve(req, res, env);
    auto minutesOrNull = [&json](int32_t minutes) {
        if (minutes == -1)
            json.Null();
        else
            json.Value(minutes);
    };
    json.Key("runtimeCurve");
    if (curve.Available()) {
        json.BeginArray();
        for (const TRuntimePoint &point : curve.Points) {
            json.BeginArray();
            json.Value(point.LoadPercent);
            json.Value(OneDecimal(point.LoadWatts));
            minutesOrNull(point.Minutes);
            minutesOrNull(point.EndOfLifeMinutes);
            json.EndArray();
        }
        json.EndArray();
    } else {
        json.Null();
        json.Member("runtimeCurveMissing",
                    curve.Absence == TRuntimeCurveAbsence::OnlyInverter ? "onlyInverter" : "noBatteries");
    }
    json.Key("autonomyEndOfLife");
    minutesOrNull(curve.Available() ? curve.Own.EndOfLifeMinutes : -1);
    json.Key("engineeringWarnings");
    json.Json(QJsonArray::fromStringList(EngineeringWarnings(curve, req.AutonomyRequired, req.AutonomyInMinutes)));
    const THeatFigures heat = ComputeHeatFigures(req, res);
    json.Key("heat");
    if (!heat.Available) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Member("efficiencyPercent", OneDecimal(heat.EfficiencyPercent));
    json.Member("lossesW", OneDecimal(heat.LossesW));
    json.Member("lossesBtuPerHour", OneDecimal(heat.LossesBtuPerHour()));
    json.Member("fullLoadLossesW", OneDecimal(heat.FullLoadLossesW));
    json.Member("fullLoadLossesBtuPerHour", OneDecimal(heat.FullLoadLossesBtuPerHour()));
    json.EndObject();
}
