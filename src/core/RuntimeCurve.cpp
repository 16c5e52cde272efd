#include "RuntimeCurve.h"
#include "BatterySizing.h"
#include "Lang.h"
#include "TextUtils.h"

#include "Rounding.h"
#include <cmath>

namespace {

constexpr int32_t kStepPercent = 10;

/// Whole minutes the sized strings give at backed-up load `watts`: the sizing's
/// efficiency, battery power and table lookup.
int32_t MinutesAt(const TRequestParameters &req, const TResultParameters &res, float watts)
{
    const float efficiency = ModuleEfficiency(req, res, watts);
    if (!(efficiency > 0.0f))
        return -1;
    const int32_t strings = res.BatteryKitCount / res.KitsPerString;
    return WholeAutonomyMinutes(StringsAutonomy(res.BatteryKitRecord, strings, watts / efficiency));
}

/// Input minus output power at output `watts`, from the efficiency curve.
float LossesAt(const TRequestParameters &req, const TResultParameters &res, float watts, float &efficiency)
{
    efficiency = ModuleEfficiency(req, res, watts);
    return efficiency > 0.0f ? watts / efficiency - watts : 0.0f;
}

} // namespace

TRuntimeCurve ComputeRuntimeCurve(const TRequestParameters &req, const TResultParameters &res)
{
    TRuntimeCurve curve;
    if (OnlyInverterActive(req)) {
        curve.Absence = TRuntimeCurveAbsence::OnlyInverter;
        return curve;
    }
    const float installed = InstalledModulePower(req, res);
    if (res.BatteryKitRecord < 0 || res.KitsPerString <= 0 || res.BatteryKitCount < res.KitsPerString ||
        !(installed > 0.0f)) {
        curve.Absence = TRuntimeCurveAbsence::NoBatteries;
        return curve;
    }
    for (int32_t percent = kStepPercent; percent <= 100; percent += kStepPercent) {
        TRuntimePoint point;
        point.LoadPercent = percent;
        point.LoadWatts = installed * float(percent) / 100.0f;
        point.Minutes = MinutesAt(req, res, point.LoadWatts);
        curve.Points.append(point);
    }
    // The configuration's own load, rounded and held to the required time as the sizing holds it.
    curve.Own.LoadWatts = BackedUpPower(req);
    curve.Own.LoadPercent = RoundEven(curve.Own.LoadWatts / installed * 100.0f);
    curve.Own.Minutes = AvailableAutonomy(MinutesAt(req, res, curve.Own.LoadWatts), req.AutonomyRequired);
    return curve;
}

THeatFigures ComputeHeatFigures(const TRequestParameters &req, const TResultParameters &res)
{
    THeatFigures heat;
    float efficiency = 0.0f, fullEfficiency = 0.0f;
    heat.LossesW = LossesAt(req, res, BackedUpPower(req), efficiency);
    heat.FullLoadLossesW = LossesAt(req, res, InstalledModulePower(req, res), fullEfficiency);
    heat.Available = efficiency > 0.0f && fullEfficiency > 0.0f;
    heat.EfficiencyPercent = efficiency * 100.0f;
    if (!heat.Available)
        heat = THeatFigures();
    return heat;
}

TRuntimeChartTexts RuntimeChartTexts(const TRuntimeCurve &curve, bool inMinutes)
{
    TRuntimeChartTexts texts;
    texts.InMinutes = inMinutes;
    texts.LoadAxis = LangMain(QStringLiteral("ResultsRuntimeLoadAxis"));
    texts.AutonomyAxis = LangMain(QStringLiteral("ResultsRuntimeAutonomyAxis"));
    texts.BeyondTable = LangMain(QStringLiteral("ResultsRuntimeBeyondTable"));
    switch (curve.Absence) {
    case TRuntimeCurveAbsence::OnlyInverter:
        texts.Absence = LangMain(QStringLiteral("ResultsRuntimeNoCurveOnlyInverter"));
        break;
    case TRuntimeCurveAbsence::NoBatteries:
        texts.Absence = LangMain(QStringLiteral("ResultsRuntimeNoCurveNoBatteries"));
        break;
    case TRuntimeCurveAbsence::None:
        texts.OwnLoad =
            FormatArgs(LangMain(QStringLiteral("ResultsRuntimeOwnLoad")),
                       curve.Own.Minutes == -1 ? texts.BeyondTable : FormatAutonomy(curve.Own.Minutes, inMinutes));
        break;
    }
    return texts;
}

QVector<TDataRow> HeatTableRows(const THeatFigures &heat)
{
    if (!heat.Available)
        return {};
    auto losses = [](float watts, double btu) {
        return QStringLiteral("%1 W   (%2 BTU/h)").arg(std::lround(watts)).arg(std::lround(btu));
    };
    return {
        {LangMain(QStringLiteral("ResultsHeatEfficiency")),
         QStringLiteral("%1 %").arg(double(heat.EfficiencyPercent), 0, 'f', 1)},
        {LangMain(QStringLiteral("ResultsHeatLosses")), losses(heat.LossesW, heat.LossesBtuPerHour())},
        {LangMain(QStringLiteral("ResultsHeatFullLoadLosses")),
         losses(heat.FullLoadLossesW, heat.FullLoadLossesBtuPerHour())},
    };
}
