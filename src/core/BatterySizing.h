#pragma once
// Battery and autonomy sizing at Finish: backed-up power, module efficiency,
// kit choice and evaluation, the minimum strings for the module power, the
// placement of kits in battery cabinets and every battery field of the result.
// All arithmetic in single precision.

#include "Globals.h"

/// Where n battery kits go: the chosen battery cabinet type, how many
/// cabinets, kit positions of one cabinet, kits in the last partly filled
/// cabinet (0 when all are full). Record -1 and count 0 when no cabinet is needed.
struct TCabinetPlacement {
    int32_t Record = -1;
    int32_t Count = 0;
    int32_t Positions = 0;
    int32_t Last = 0;
};

/// The offered lists the battery sizing chooses from, in record id order.
struct TBatteryCandidates {
    TIntegerArray Kits;               // family 1
    TIntegerArray ModularCabinets;    // family 3
    TIntegerArray NonModularCabinets; // family 5
};

/// Places `kits` kits: p = kits - inverterKitPositions for modular cabinets,
/// else kits; p <= 0, an empty candidate list or no candidate with positive
/// KitPositions gives no cabinet. The preferred cabinet is taken when it
/// is a candidate, else the first candidate.
TCabinetPlacement PlaceKits(int32_t kits, bool modular, int32_t inverterKitPositions,
                            const TIntegerArray &candidates, int32_t preferredCabinet);

/// The vendor value of the inverter's PreferredCabinetKey as an
/// integer; -1 (no preference) when missing or not an integer.
int32_t PreferredCabinet(int32_t inverterRecord);

/// Backed-up power P in W: AutonomyLoadPercent x load in W / 100, load in W =
/// LoadPower, or LoadPower x 0.8 when given in VA.
float BackedUpPower(const TRequestParameters &req);

/// Module efficiency at the backed-up power: lookup by x in the module's curve
/// (EfficiencyCurve) of P / (TotalModules x rating) x 100, at most 100; rating =
/// CurveRatingW in W, or CurveRatingVA x 0.8 in VA. 0 when the curve cannot be read or
/// there are no installed modules.
float ModuleEfficiency(const TRequestParameters &req, const TResultParameters &res, float backedUpPower);

/// The installed module power the efficiency curve's load percentage refers
/// to: TotalModules x (CurveRatingW in W, or CurveRatingVA x 0.8 in VA).
float InstalledModulePower(const TRequestParameters &req, const TResultParameters &res);

/// Minutes kit `kitRecord`'s discharge table gives `strings` strings at battery
/// power B (its extrapolation included); -1 where the table reaches no further.
float StringsAutonomy(int32_t kitRecord, int32_t strings, float batteryPower);
/// Whole minutes of such a lookup: -1 stays -1 (beyond the table), a time
/// extrapolated below zero counts as 0.
int32_t WholeAutonomyMinutes(float minutes);
/// The available autonomy as the result gives it: never below the required
/// time (rounding can put it a minute under), unless -1.
int32_t AvailableAutonomy(int32_t wholeMinutes, int32_t required);

/// What one evaluation needs besides the kit and the time.
struct TKitContext {
    float BatteryPower = 0.0f; // B = P / e
    bool Modular = true;
    int32_t InverterKitPositions = 0;
    const TIntegerArray *Cabinets = nullptr; // candidates for the placement
    int32_t PreferredCabinet = -1;
};

/// Evaluates kit `kitRecord` for `minutes`: curve, UnitPower, UnitsNeeded,
/// RoundThreshold, Strings (at least 1), Cost, KitAh, AutonomyAvailable and
/// AutonomyMinusOne. False when the discharge table cannot give the time
/// (UnitPower -1: only Curve and UnitPower are written) or the unit power is not
/// positive.
bool EvaluateKit(int32_t kitRecord, float minutes, const TKitContext &ctx, TAutonomyDataRecord &rec);

/// Fills the string-dependent fields of `rec` (Strings, Cost, KitAh,
/// AutonomyAvailable, AutonomyMinusOne) for a given string count; rec.Curve
/// and rec.RoundThreshold must be set.
void EvaluateKitStrings(int32_t kitRecord, int32_t strings, const TKitContext &ctx, TAutonomyDataRecord &rec);

/// Battery sizing and cabinet placement into `res` (the Finish step after the
/// only-inverter short cut): StringsSetByPower, BatteryKitRecord,
/// KitsPerString, BatteryKitCount, AutonomyAvailable (never below
/// AutonomyRequired unless -1), BatteryCapacityAh, AutonomyMinusOne (only when
/// BatteryKitCount > KitsPerString), BatteryCabinetRecord, BatteryCabinetCount,
/// CabinetKitPositions, KitsInLastCabinet. Reads res.InverterKitPositions as
/// given. req.BatteryType is an index into candidates.Kits (-1 automatic).
/// Returns false, leaving `res` unchanged, when no sizing can be made: no
/// eligible kit whose table gives the time, a chosen kit that cannot be
/// evaluated or an index outside the list, an efficiency of 0 or a battery
/// power that is not a positive finite number. The caller then reports
/// ErrorInternalError.
bool SizeBatteries(const TRequestParameters &req, TResultParameters &res, const TBatteryCandidates &candidates);

/// The whole Finish computation: with OnlyInverterActive sets
/// BatteryCabinetCount and BatteryKitCount to 0 and changes nothing else;
/// otherwise re-reads InverterKitPositions from the cabinet's KitPositions and runs
/// SizeBatteries. Same result as SizeBatteries (true for the short cut).
bool FinishSizing(const TRequestParameters &req, TResultParameters &res, const TBatteryCandidates &candidates);
