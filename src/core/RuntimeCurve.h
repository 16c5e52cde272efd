#pragma once
// Beyond the offer: how long the chosen batteries carry the installation at
// other loads (the runtime curve), and the heat the modules give off. Both are
// computed with the battery sizing's own functions: the module efficiency
// curve, the kit's discharge table with its extrapolation and its limits.

#include "DataSheet.h"
#include "Globals.h"

#include <QString>
#include <QVector>

/// Minutes the batteries give at one load; Minutes -1 where the kit's table
/// reaches no further ("beyond the table"), never a made-up figure.
struct TRuntimePoint {
    int32_t LoadPercent = 0; // of the installed UPS power
    float LoadWatts = 0.0f;
    int32_t Minutes = -1;
};

/// Why a configuration has no curve.
enum class TRuntimeCurveAbsence { None, OnlyInverter, NoBatteries };

struct TRuntimeCurve {
    TRuntimeCurveAbsence Absence = TRuntimeCurveAbsence::None;
    QVector<TRuntimePoint> Points; // 10 % to 100 % in steps of 10
    TRuntimePoint Own;             // the configuration's backed-up load: AutonomyAvailable
    bool Available() const { return Absence == TRuntimeCurveAbsence::None; }
};

TRuntimeCurve ComputeRuntimeCurve(const TRequestParameters &req, const TResultParameters &res);

/// 1 W of losses is 3.412142 BTU per hour.
constexpr double kBtuPerHourPerWatt = 3.412142;

/// The modules' efficiency at the backed-up load and their losses there and at
/// full installed power. Available is false when the efficiency curve gives no
/// figure (no modules, an unreadable curve, a load of 0).
struct THeatFigures {
    bool Available = false;
    float EfficiencyPercent = 0.0f;
    float LossesW = 0.0f;
    float FullLoadLossesW = 0.0f;
    double LossesBtuPerHour() const { return LossesW * kBtuPerHourPerWatt; }
    double FullLoadLossesBtuPerHour() const { return FullLoadLossesW * kBtuPerHourPerWatt; }
};

THeatFigures ComputeHeatFigures(const TRequestParameters &req, const TResultParameters &res);

/// The chart's texts in the active language; times as the request gives the autonomy.
struct TRuntimeChartTexts {
    QString LoadAxis;
    QString AutonomyAxis;
    QString BeyondTable;
    QString OwnLoad; // "This configuration: 13 min"
    QString Absence; // why there is no curve, or empty
    bool InMinutes = true;
};
TRuntimeChartTexts RuntimeChartTexts(const TRuntimeCurve &curve, bool inMinutes);

/// The heat table (efficiency, losses at the backed-up load, at full power) in the active language.
QVector<TDataRow> HeatTableRows(const THeatFigures &heat);
