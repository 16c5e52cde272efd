#pragma once
// Power and module sizing: the UPS sizes that fit the chosen phases, the
// required power, the power module type and count per output phase, the free
// slots and the redundant modules. Pure functions over the catalogue; the
// wizard core keeps the state and shows the messages.

#include "Globals.h"

/// Offered inverter cabinets that support the phase combination (output kind 2
/// is the single-phase output, 0 and 1 the three output lines). Keeps the order
/// of `offeredInverters`.
TIntegerArray CandidateCabinets(const TIntegerArray &offeredInverters, bool inputThreePhase, uint8_t outputKind);

/// Orders cabinet record ids by maximum power in W (MaxW) with the
/// remove-and-insert procedure: for each position i, the entry there moves in
/// front of the first other entry of higher power. Ascending power, equal
/// powers keep their order.
void OrderCandidatesByPower(TIntegerArray &ids);

/// Required power R: the load when the margin is 0 or less, else
/// load + Round(load x margin / 100) with the product in 64-bit integers,
/// the division in floating point and rounding ties to even. Never wraps.
int64_t RequiredPower(int32_t load, int32_t marginPercent);

/// The power-limit check of the Power page: true when the load is at least 1
/// and the required power does not exceed the size's maximum. A load of 0 or
/// less is refused here (the caller shows ErrorNumberOutOfRange with 1 and
/// MaxUpsPower); a required power above the maximum with 0 and MaxUpsPower.
bool PowerWithinLimit(int32_t load, int64_t requiredPower, int32_t maxUpsPower);

/// True when the module's record id is one of the cabinet's ModuleTypes.
bool CabinetAcceptsModule(int32_t inverterRecord, int32_t moduleRecord);

/// Modules of one type needed for `requiredPower`: starts at 3 (three-phase
/// input or output kind not 2) or 1, grows by `outputLines` while
/// Round(count x rating) < R (single precision product, ties to even, 64-bit
/// compare). Rating = the module's RatingW when powerInWatt, else RatingVA.
/// Returns -1 when the type cannot carry the power within 255 modules (or its
/// rating is not positive); the loop is bounded for any R.
int32_t ModuleCount(int32_t moduleRecord, int64_t requiredPower, bool powerInWatt, bool inputThreePhase,
                    uint8_t outputKind, uint8_t outputLines);

/// Module sizing for the chosen cabinet: chooses the module type among the
/// offered ones the cabinet accepts (cost = CostWeight x count, the rule of the
/// previous entry), then sets ModuleRecord, ModuleVA (RatingVA), ModuleW
/// (RatingW) and deals the count out to ModulesL1, L2, L3 one by one.
/// Redundant modules are left alone. False (result untouched) when no module
/// fits: the caller shows ErrorHighPower.
/// Uses req.PowerInWatt, InputThreePhase, OutputKind, OutputLines.
bool SizeModules(const TIntegerArray &offeredModules, int32_t inverterRecord, int64_t requiredPower,
                 const TRequestParameters &req, TResultParameters &res);

/// Free slots per phase of res.InverterRecord after the working and
/// redundant modules, 0 when negative, all 0 when the cabinet does not
/// support the phase combination of `req` or does not accept res.ModuleRecord.
/// A slot count that is not an integer reads as 0 (no free slot either way).
void ComputeFreeSlots(const TRequestParameters &req, const TResultParameters &res, int32_t freeSlots[3]);

/// Number of lines after "SelectionNone" of each redundancy choice: kind 0
/// three entries (L1, L2, L3: the free slots); kind 1 one entry (sum div
/// outputLines, 0 when outputLines is 0); kind 2 one entry (the sum).
QVector<int32_t> RedundancyLineCounts(uint8_t outputKind, uint8_t outputLines, const int32_t freeSlots[3]);

/// Clears RedundantL1..L3 and applies the selected line indexes (0 =
/// "SelectionNone"): kind 0 takes three indexes, one per phase; kind 1 one
/// index s for all three phases; kind 2 adds s modules one at a time, with
/// t = working + redundant per phase: to L2 when t(L2) < t(L1), else to L3
/// when t(L3) < t(L2), else to L1.
/// Missing or negative indexes count as 0; no count goes beyond 255.
void ApplyRedundancyChoice(uint8_t outputKind, const QVector<int32_t> &selected, TResultParameters &res);
