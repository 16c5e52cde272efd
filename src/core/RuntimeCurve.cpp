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

/// Whole minutes at end of life at load `watts`: the battery power times the
/// end-of-life factor (the modules' efficiency is that of the load), never above
/// the new batteries' `newMinutes`.
int32_t EndOfLifeMinutesAt(const TRequestParameters &req, const TResultParameters &res, float watts, float factor,
                           int32_t newMinutes)
{
    if (!(factor > 1.0f))
        return newMinutes;
    const float efficiency = ModuleEfficiency(req, res, watts);
    if (!(efficiency > 0.0f))
        return -1;
    const int32_t strings = res.BatteryKitCount / res.KitsPerString;
    int32_t minutes =
        WholeAutonomyMinutes(StringsAutonomy(res.BatteryKitRecord, strings, watts / efficiency * factor));
    if (newMinutes != -1 && (minutes == -1 || minutes > newMinutes))
        minutes = newMinutes;
    return minutes;
}

/// Input minus output power at output `watts`, from the efficiency curve.
float LossesAt(const TRequestParameters &req, const TResultParameters &res, float watts, float &efficiency)
{
    efficiency = ModuleEfficiency(req, res, watts);
    return efficiency > 0.0f ? watts / efficiency - watts : 0.0f;
}

} // namespace

TRuntimeCurve ComputeRuntimeCurve(const TRequestParameters &req, const TResultParameters &res,
                                  const TBatteryEnvironment &env)
{
    TRuntimeCurve curve;
    curve.Environment = env;
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
    const float factor = EndOfLifeFactor(env);
    for (int32_t percent = kStepPercent; percent <= 100; percent += kStepPercent) {
        TRuntimePoint point;
        point.LoadPercent = percent;
        point.LoadWatts = installed * float(percent) / 100.0f;
        point.Minutes = MinutesAt(req, res, point.LoadWatts);
        point.EndOfLifeMinutes = EndOfLifeMinutesAt(req, res, point.LoadWatts, factor, point.Minutes);
        curve.Points.append(point);
    }
    // The configuration's own load, rounded and held to the required time as the sizing holds it.
    curve.Own.LoadWatts = BackedUpPower(req);
    curve.Own.LoadPercent = RoundEven(curve.Own.LoadWatts / installed * 100.0f);
    const int32_t ownMinutes = MinutesAt(req, res, curve.Own.LoadWatts);
    curve.Own.Minutes = AvailableAutonomy(ownMinutes, req.AutonomyRequired);
    curve.Own.EndOfLifeMinutes = factor > 1.0f
                                     ? EndOfLifeMinutesAt(req, res, curve.Own.LoadWatts, factor, ownMinutes)
                                     : curve.Own.Minutes;
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
    case TRuntimeCurveAbsence::None: {
        auto time = [&](int32_t minutes) {
            return minutes == -1 ? texts.BeyondTable : FormatAutonomy(minutes, inMinutes);
        };
        texts.OwnLoad = FormatArgs(LangMain(QStringLiteral("ResultsRuntimeOwnLoad")), time(curve.Own.Minutes));
        texts.OwnEndOfLife =
            FormatArgs(LangMain(QStringLiteral("ResultsRuntimeOwnEndOfLife")), time(curve.Own.EndOfLifeMinutes));
        texts.NewCurve = LangMain(QStringLiteral("ResultsRuntimeNewCurve"));
        texts.EndOfLifeCurve = FormatArgs(LangMain(QStringLiteral("ResultsRuntimeEndOfLifeCurve")),
                                          QString::number(curve.Environment.AmbientTemperature),
                                          AgeingFactorText(curve.Environment.AgeingHundredths));
        break;
    }
    }
    return texts;
}

QStringList EngineeringWarnings(const TRuntimeCurve &curve, int32_t required, bool inMinutes)
{
    QStringList warnings;
    if (!curve.Available())
        return warnings;
    const int32_t endOfLife = curve.Own.EndOfLifeMinutes;
    if (endOfLife != -1 && endOfLife < required)
        warnings << FormatArgs(LangMain(QStringLiteral("ResultsRuntimeEndOfLifeShort")),
                               FormatAutonomy(endOfLife, inMinutes), FormatAutonomy(required, inMinutes));
    const int32_t celsius = curve.Environment.AmbientTemperature;
    if (celsius > kReferenceTemperature)
        warnings << FormatArgs(LangMain(QStringLiteral("ResultsRuntimeLifeShortened")), celsius,
                               DesignLifeSharePercent(celsius));
    return warnings;
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
