#pragma once
// Beyond the offer: how long the chosen batteries carry the installation at
// other loads (the runtime curve), and the heat the modules give off. Both are
// computed with the battery sizing's own functions: the module efficiency
// curve, the kit's discharge table with its extrapolation and its limits.

#include "BatteryLife.h"
#include "DataSheet.h"
#include "Globals.h"

#include <QString>
#include <QStringList>
#include <QVector>

/// Minutes the batteries give at one load; Minutes -1 where the kit's table
/// reaches no further ("beyond the table"), never a made-up figure.
struct TRuntimePoint {
    int32_t LoadPercent = 0; // of the installed UPS power
    float LoadWatts = 0.0f;
    int32_t Minutes = -1;
    /// At end of life in the room (BatteryLife.h); never above Minutes, -1 beyond the table.
    int32_t EndOfLifeMinutes = -1;
};

/// Why a configuration has no curve.
enum class TRuntimeCurveAbsence { None, OnlyInverter, NoBatteries };

struct TRuntimeCurve {
    TRuntimeCurveAbsence Absence = TRuntimeCurveAbsence::None;
    QVector<TRuntimePoint> Points; // 10 % to 100 % in steps of 10
    TRuntimePoint Own;             // the configuration's backed-up load: AutonomyAvailable
    TBatteryEnvironment Environment; // the room and ageing of the end-of-life figures
    bool Available() const { return Absence == TRuntimeCurveAbsence::None; }
};

/// The curve of the new batteries and, point by point, at end of life in `env`.
/// At the own load the end-of-life figure is not held to the required time:
/// falling short is what the engineering warning reports.
TRuntimeCurve ComputeRuntimeCurve(const TRequestParameters &req, const TResultParameters &res,
                                  const TBatteryEnvironment &env = TBatteryEnvironment());

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
    QString OwnEndOfLife; // "At end of life: 9 min"
    QString NewCurve;      // legend of the new batteries' curve
    QString EndOfLifeCurve; // legend of the end-of-life curve
    QStringList Warnings;  // engineering warnings; empty when none
    QString Absence; // why there is no curve, or empty
    bool InMinutes = true;
};
TRuntimeChartTexts RuntimeChartTexts(const TRuntimeCurve &curve, bool inMinutes);

/// The engineering warnings in the active language: the end-of-life autonomy at
/// the backed-up load short of `required` minutes, and a room above 25 degrees
/// that shortens the batteries' life. Empty without a curve.
QStringList EngineeringWarnings(const TRuntimeCurve &curve, int32_t required, bool inMinutes);

/// The heat table (efficiency, losses at the backed-up load, at full power) in the active language.
QVector<TDataRow> HeatTableRows(const THeatFigures &heat);
