#include "BatterySizing.h"
#include "Catalogue.h"
#include "CatalogueRecords.h"
#include "Rounding.h"
#include "Vendor.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kBlocksPerString = 20.0f;
constexpr float kPowerFactor = 0.8f;
constexpr float kModuleVAPerString = 10000.0f;

/// Lookup by y of B over the blocks of `strings` strings rounded up with the threshold.
float AutonomyFor(const TAutonomyDataRecord &rec, float batteryPower, int32_t strings)
{
    const int32_t blocks = RoundUp((float(strings) + rec.RoundThreshold) * kBlocksPerString);
    return CurveLookup(rec.Curve, TLookup::ByY, batteryPower / float(blocks));
}

} // namespace

int32_t WholeAutonomyMinutes(float minutes) { return minutes == -1.0f ? -1 : std::max(0, RoundEven(minutes)); }

int32_t AvailableAutonomy(int32_t wholeMinutes, int32_t required)
{
    return wholeMinutes != -1 && wholeMinutes < required ? required : wholeMinutes;
}

float StringsAutonomy(int32_t kitRecord, int32_t strings, float batteryPower)
{
    const TBatteryKitRecord &kit = BatteryKit(kitRecord);
    TAutonomyDataRecord rec;
    rec.Curve = kit.DischargeTable;
    rec.RoundThreshold = kit.RoundThreshold;
    return AutonomyFor(rec, batteryPower, strings);
}

float InstalledModulePower(const TRequestParameters &req, const TResultParameters &res)
{
    const TPowerModuleRecord &module = PowerModule(res.ModuleRecord);
    const float rating = req.PowerInWatt ? module.CurveRatingW : module.CurveRatingVA * kPowerFactor;
    return float(TotalModules(res)) * rating;
}

TCabinetPlacement PlaceKits(int32_t kits, bool modular, int32_t inverterKitPositions,
                            const TIntegerArray &candidates, int32_t preferredCabinet)
{
    TCabinetPlacement none;
    const int64_t toPlace = modular ? int64_t(kits) - inverterKitPositions : int64_t(kits);
    if (toPlace <= 0)
        return none;

    // The preferred cabinet when it is a candidate, else the first candidate
    // that can hold kits at all.
    int32_t chosen = -1;
    int32_t positions = 0;
    for (int32_t c : candidates) {
        const int32_t p = BatteryCabinet(c).KitPositions;
        if (p <= 0)
            continue;
        if (c == preferredCabinet) {
            chosen = c;
            positions = p;
            break;
        }
        if (chosen == -1) {
            chosen = c;
            positions = p;
        }
    }
    if (chosen == -1)
        return none;

    TCabinetPlacement placement;
    placement.Record = chosen;
    placement.Positions = positions;
    const int64_t full = toPlace / positions;
    const int64_t last = toPlace % positions;
    placement.Count = ClampToInt32(last == 0 ? full : full + 1);
    placement.Last = int32_t(last);
    return placement;
}

int32_t PreferredCabinet(int32_t inverterRecord)
{
    const int32_t key = InverterCabinet(inverterRecord).PreferredCabinetKey;
    if (key == -1)
        return -1;
    return VendorInt(key, -1);
}

float BackedUpPower(const TRequestParameters &req)
{
    const float loadW = req.PowerInWatt ? float(req.LoadPower) : float(req.LoadPower) * kPowerFactor;
    return float(req.AutonomyLoadPercent) * loadW / 100.0f;
}

float ModuleEfficiency(const TRequestParameters &req, const TResultParameters &res, float backedUpPower)
{
    const float installed = InstalledModulePower(req, res);
    if (!(installed > 0.0f))
        return 0.0f;
    float percent = backedUpPower / installed * 100.0f;
    if (percent > 100.0f)
        percent = 100.0f;
    const TDatasheetData &curve = PowerModule(res.ModuleRecord).EfficiencyCurve;
    if (curve.isEmpty())
        return 0.0f;
    const float e = CurveLookup(curve, TLookup::ByX, percent);
    return e > 0.0f ? e : 0.0f;
}

void EvaluateKitStrings(int32_t kitRecord, int32_t strings, const TKitContext &ctx, TAutonomyDataRecord &rec)
{
    static const TIntegerArray noCabinets;
    const TBatteryKitRecord &kit = BatteryKit(kitRecord);
    rec.Strings = strings;
    const int32_t kitsPerString = kit.KitsPerString;
    const TCabinetPlacement placement =
        PlaceKits(ClampToInt32(int64_t(kitsPerString) * strings), ctx.Modular, ctx.InverterKitPositions,
                  ctx.Cabinets ? *ctx.Cabinets : noCabinets, ctx.PreferredCabinet);
    const float cabinetCost =
        placement.Record == -1 ? 0.0f : BatteryCabinet(placement.Record).CostWeight * float(placement.Count);
    rec.Cost = kit.CostWeight * float(kitsPerString) * float(strings) + cabinetCost;
    rec.KitAh = kit.CapacityAh;
    rec.AutonomyAvailable = AutonomyFor(rec, ctx.BatteryPower, strings);
    rec.AutonomyMinusOne = strings >= 2 ? AutonomyFor(rec, ctx.BatteryPower, strings - 1) : -1.0f;
}

bool EvaluateKit(int32_t kitRecord, float minutes, const TKitContext &ctx, TAutonomyDataRecord &rec)
{
    const TBatteryKitRecord &kit = BatteryKit(kitRecord);
    rec.Curve = kit.DischargeTable;
    rec.UnitPower = CurveLookup(rec.Curve, TLookup::ByX, minutes);
    if (!(rec.UnitPower > 0.0f))
        return false; // -1: the table does not reach the time
    rec.UnitsNeeded = TruncToInt32(ctx.BatteryPower / rec.UnitPower);
    rec.RoundThreshold = kit.RoundThreshold;
    const int32_t strings = RoundUpAboveThreshold(rec.RoundThreshold, float(rec.UnitsNeeded) / kBlocksPerString);
    EvaluateKitStrings(kitRecord, std::max(1, strings), ctx, rec);
    return true;
}

bool SizeBatteries(const TRequestParameters &req, TResultParameters &res, const TBatteryCandidates &candidates)
{
    const bool modular = req.ModularBatteryCabinet;
    const float backedUp = BackedUpPower(req);
    const float efficiency = ModuleEfficiency(req, res, backedUp);
    if (!(efficiency > 0.0f))
        return false;
    const float batteryPower = backedUp / efficiency;
    if (!(std::isfinite(batteryPower) && batteryPower > 0.0f))
        return false;

    TKitContext ctx;
    ctx.BatteryPower = batteryPower;
    ctx.Modular = modular;
    ctx.InverterKitPositions = res.InverterKitPositions;
    ctx.Cabinets = modular ? &candidates.ModularCabinets : &candidates.NonModularCabinets;
    ctx.PreferredCabinet = PreferredCabinet(res.InverterRecord);

    const float required = float(req.AutonomyRequired);
    int32_t kit = -1;
    TAutonomyDataRecord chosen;
    if (req.BatteryType == -1) {
        TAutonomyDataRecord rec;
        for (int32_t candidate : candidates.Kits) {
            const bool forModular = BatteryKit(candidate).ForModularCabinet;
            if (forModular != modular)
                continue;
            if (!EvaluateKit(candidate, required, ctx, rec))
                continue; // its table cannot give the time: not eligible
            if (kit == -1 || rec.Cost < chosen.Cost) {
                kit = candidate;
                chosen = rec;
            }
        }
    } else if (req.BatteryType >= 0 && req.BatteryType < candidates.Kits.size()) {
        const int32_t candidate = candidates.Kits[req.BatteryType];
        if (EvaluateKit(candidate, required, ctx, chosen))
            kit = candidate;
    }
    if (kit == -1)
        return false;

    bool setByPower = false;
    if (modular) {
        // At least one string per 10000 VA of installed modules.
        const int32_t minimum = RoundUp(float(TotalModules(res)) * res.ModuleVA / kModuleVAPerString);
        if (minimum >= chosen.Strings) {
            const float unit = batteryPower / float(RoundUp((float(minimum) + chosen.RoundThreshold) * kBlocksPerString));
            const float minutes = CurveLookup(chosen.Curve, TLookup::ByY, unit);
            TAutonomyDataRecord again = chosen;
            const bool evaluated = minutes != -1.0f && EvaluateKit(kit, float(TruncToInt32(minutes)), ctx, again);
            if (!evaluated || again.Strings < minimum) {
                // Beyond the table, or the whole minutes lost a string: the minimum stands.
                again = chosen;
                EvaluateKitStrings(kit, minimum, ctx, again);
            }
            chosen = again;
            setByPower = true;
        }
    }

    const int32_t kitsPerString = BatteryKit(kit).KitsPerString;
    const int32_t kitCount = ClampToInt32(int64_t(chosen.Strings) * kitsPerString);
    if (!modular)
        setByPower = kitCount == 1;

    const int32_t available = AvailableAutonomy(WholeAutonomyMinutes(chosen.AutonomyAvailable), req.AutonomyRequired);

    const TCabinetPlacement placement =
        PlaceKits(kitCount, modular, ctx.InverterKitPositions, *ctx.Cabinets, ctx.PreferredCabinet);

    res.StringsSetByPower = setByPower;
    res.BatteryKitRecord = kit;
    res.KitsPerString = kitsPerString;
    res.BatteryKitCount = kitCount;
    res.AutonomyAvailable = available;
    res.BatteryCapacityAh = std::nearbyint(float(chosen.Strings) * chosen.KitAh * 10.0f) / 10.0f;
    if (kitCount > kitsPerString) {
        int32_t minusOne = WholeAutonomyMinutes(chosen.AutonomyMinusOne);
        if (minusOne != -1 && minusOne == req.AutonomyRequired)
            --minusOne;
        res.AutonomyMinusOne = minusOne;
    }
    res.BatteryCabinetRecord = placement.Record;
    res.BatteryCabinetCount = placement.Count;
    res.CabinetKitPositions = uint8_t(std::clamp(placement.Positions, 0, 255));
    res.KitsInLastCabinet = uint8_t(std::clamp(placement.Last, 0, 255));
    return true;
}

bool FinishSizing(const TRequestParameters &req, TResultParameters &res, const TBatteryCandidates &candidates)
{
    if (OnlyInverterActive(req)) {
        res.BatteryCabinetCount = 0;
        res.BatteryKitCount = 0;
        return true;
    }
    TResultParameters sized = res;
    sized.InverterKitPositions = uint8_t(std::clamp(InverterCabinet(res.InverterRecord).KitPositions, 0, 255));
    if (!SizeBatteries(req, sized, candidates))
        return false;
    res = sized;
    return true;
}
