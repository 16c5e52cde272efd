#include "PowerSizing.h"
#include "CatalogueRecords.h"
#include "Rounding.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

// More modules than this cannot be counted in the result (8-bit totals) and
// exceed every cabinet's slots: such a type cannot carry the load.
constexpr int32_t kMaxModules = 255;

uint8_t ClampToByte(int64_t v) { return uint8_t(std::clamp<int64_t>(v, 0, 255)); }

} // namespace

TIntegerArray CandidateCabinets(const TIntegerArray &offeredInverters, bool inputThreePhase, uint8_t outputKind)
{
    const bool singleOutput = outputKind == 2;
    TIntegerArray candidates;
    for (int32_t id : offeredInverters)
        if (InverterCabinet(id).Supports(inputThreePhase, singleOutput))
            candidates.append(id);
    return candidates;
}

void OrderCandidatesByPower(TIntegerArray &ids)
{
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const int32_t v = InverterCabinet(ids[i]).MaxW;
        for (qsizetype j = 0; j < ids.size(); ++j) {
            if (j == i || InverterCabinet(ids[j]).MaxW <= v)
                continue;
            const int32_t moved = ids.takeAt(i);
            ids.insert(j, moved);
            break;
        }
    }
}

int64_t RequiredPower(int32_t load, int32_t marginPercent)
{
    if (marginPercent <= 0)
        return load;
    const int64_t product = int64_t(load) * int64_t(marginPercent);
    return int64_t(load) + RoundEven64(double(product) / 100.0);
}

bool PowerWithinLimit(int32_t load, int64_t requiredPower, int32_t maxUpsPower)
{
    return load >= 1 && requiredPower <= int64_t(maxUpsPower);
}

bool CabinetAcceptsModule(int32_t inverterRecord, int32_t moduleRecord)
{
    return InverterCabinet(inverterRecord).Accepts(moduleRecord);
}

int32_t ModuleCount(int32_t moduleRecord, int64_t requiredPower, bool powerInWatt, bool inputThreePhase,
                    uint8_t outputKind, uint8_t outputLines)
{
    const TPowerModuleRecord &module = PowerModule(moduleRecord);
    const float rating = powerInWatt ? module.RatingW : module.RatingVA;
    if (!(rating > 0.0f))
        return -1;
    const int32_t step = std::max<int32_t>(1, outputLines);
    int32_t count = (inputThreePhase || outputKind != 2) ? 3 : 1;
    while (RoundEven64(double(std::nearbyint(float(count) * rating))) < requiredPower) {
        count += step;
        if (count > kMaxModules)
            return -1;
    }
    return count;
}

bool SizeModules(const TIntegerArray &offeredModules, int32_t inverterRecord, int64_t requiredPower,
                 const TRequestParameters &req, TResultParameters &res)
{
    const qsizetype n = offeredModules.size();
    QVarLengthArray<int32_t, 8> counts(n);
    QVarLengthArray<bool, 8> excluded(n);
    qsizetype choice = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const int32_t m = offeredModules[i];
        counts[i] = -1;
        excluded[i] = true;
        if (!CabinetAcceptsModule(inverterRecord, m))
            continue;
        counts[i] = ModuleCount(m, requiredPower, req.PowerInWatt, req.InputThreePhase, req.OutputKind,
                                req.OutputLines);
        if (counts[i] < 0)
            continue; // cannot carry the power: treated like a module the cabinet does not take
        excluded[i] = false;
        if (i == 0) {
            choice = 0;
            continue;
        }
        if (!excluded[i - 1]) {
            const float previousCost = PowerModule(offeredModules[i - 1]).CostWeight * float(counts[i - 1]);
            const float cost = PowerModule(m).CostWeight * float(counts[i]);
            if (previousCost < cost) {
                choice = i - 1;
                continue;
            }
        }
        choice = i;
    }
    if (choice < 0)
        return false;

    const int32_t module = offeredModules[choice];
    const int32_t count = counts[choice];
    res.ModuleRecord = module;
    res.ModuleVA = PowerModule(module).RatingVA;
    res.ModuleW = PowerModule(module).RatingW;
    // Dealt out one by one to L1, L2, L3, round after round.
    res.ModulesL1 = uint8_t((count + 2) / 3);
    res.ModulesL2 = uint8_t((count + 1) / 3);
    res.ModulesL3 = uint8_t(count / 3);
    return true;
}

void ComputeFreeSlots(const TRequestParameters &req, const TResultParameters &res, int32_t freeSlots[3])
{
    freeSlots[0] = freeSlots[1] = freeSlots[2] = 0;
    const TInverterCabinetRecord &cabinet = InverterCabinet(res.InverterRecord);
    if (req.OutputKind == 2 && !cabinet.SinglePhaseOutput())
        return;
    if (!req.InputThreePhase && !cabinet.SinglePhaseInput())
        return;
    if (!cabinet.Accepts(res.ModuleRecord))
        return;
    const int32_t used[3] = {res.ModulesL1 + res.RedundantL1, res.ModulesL2 + res.RedundantL2,
                             res.ModulesL3 + res.RedundantL3};
    for (int k = 0; k < 3; ++k)
        freeSlots[k] = std::max(0, cabinet.Slots[k] - used[k]);
}

QVector<int32_t> RedundancyLineCounts(uint8_t outputKind, uint8_t outputLines, const int32_t freeSlots[3])
{
    const int32_t total = freeSlots[0] + freeSlots[1] + freeSlots[2];
    if (outputKind == 0)
        return {freeSlots[0], freeSlots[1], freeSlots[2]};
    if (outputKind == 1)
        return {outputLines == 0 ? 0 : total / int32_t(outputLines)};
    return {total};
}

void ApplyRedundancyChoice(uint8_t outputKind, const QVector<int32_t> &selected, TResultParameters &res)
{
    res.RedundantL1 = res.RedundantL2 = res.RedundantL3 = 0;
    const auto index = [&selected](qsizetype i) { return i < selected.size() ? std::max(0, selected[i]) : 0; };
    if (outputKind == 0) {
        res.RedundantL1 = ClampToByte(index(0));
        res.RedundantL2 = ClampToByte(index(1));
        res.RedundantL3 = ClampToByte(index(2));
    } else if (outputKind == 1) {
        res.RedundantL1 = res.RedundantL2 = res.RedundantL3 = ClampToByte(index(0));
    } else {
        const int32_t s = index(0);
        for (int32_t added = 0; added < s; ++added) {
            const int32_t t1 = res.ModulesL1 + res.RedundantL1;
            const int32_t t2 = res.ModulesL2 + res.RedundantL2;
            const int32_t t3 = res.ModulesL3 + res.RedundantL3;
            uint8_t &target = t2 < t1 ? res.RedundantL2 : (t3 < t2 ? res.RedundantL3 : res.RedundantL1);
            if (target == 255)
                break;
            ++target;
        }
    }
}
