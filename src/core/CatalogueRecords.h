#pragma once
// The catalogue's records as the structs of their families: every field the
// program reads, by name. Each record is read once, on first use, and kept for
// the whole run (the catalogue is part of the program and never changes).
//
// A record is read field by field whatever its family code says, each field as
// the catalogue readers read it, with the value given beside it when the text
// is missing or not a number. So an id of another family reads what its texts
// hold, and an id of no record (-1, 0) reads every default.

#include "Globals.h"
#include <QString>

/// Fields 1 and 3, the same in every family.
struct TCatalogueRecord {
    int32_t ProductCode = -1; // field 1: base of the vendor keys; -1 when not an integer
    QString ProductCodeText;  // field 1 as stored: the key of the item's drawing data
    QString DescriptionKey;   // field 3: key in section "Ups", "Accessories" or "Contracts"
};

/// A power module (family 0).
struct TPowerModuleRecord : TCatalogueRecord {
    float WeightKg = 0.0f;          // field 4
    float RatingVA = 0.0f;          // field 6: counts the modules a load needs
    float RatingW = 0.0f;           // field 7
    float CurveRatingVA = 0.0f;     // field 8: the power the efficiency curve's percentage refers to
    float CurveRatingW = 0.0f;      // field 9
    TDatasheetData EfficiencyCurve; // field 10: (load in % of the installed modules; efficiency)
    float ChargeCurrentA = 0.0f;    // field 11: battery charging current of one module
    float CostWeight = 0.0f;        // field 12: compares module types only, no currency
};

/// An inverter cabinet (family 2): the frame with the module slots.
struct TInverterCabinetRecord : TCatalogueRecord {
    float WeightKg = 0.0f;             // field 4
    QString Dimensions;                // field 5: "width x height x depth" in mm
    int32_t Slots[3] = {0, 0, 0};      // fields 6, 7, 8: module slots on L1, L2, L3
    int32_t KitPositions = 0;          // field 9: battery kit positions inside the cabinet
    bool SingleInSingleOut = false;    // field 10: single-phase input, single-phase output
    bool SingleInThreeLineOut = false; // field 11: single-phase input, three output lines
    bool ThreeInSingleOut = false;     // field 12: three-phase input, single-phase output
    bool ThreeInThreeLineOut = false;  // field 13: three-phase input, three output lines
    TIntegerArray ModuleTypes;         // field 15: record ids of the modules that fit
    int32_t MaxVA = 0;                 // field 17
    int32_t MaxW = 0;                  // field 18
    int32_t PreferredCabinetKey = -1;  // field 19: vendor key holding the preferred modular battery cabinet

    int32_t TotalSlots() const { return Slots[0] + Slots[1] + Slots[2]; }
    /// The flag of the phase combination (one single-phase output or three lines).
    bool Supports(bool inputThreePhase, bool singleOutput) const;
    bool SinglePhaseInput() const { return SingleInSingleOut || SingleInThreeLineOut; }
    bool SinglePhaseOutput() const { return SingleInSingleOut || ThreeInSingleOut; }
    bool Accepts(int32_t moduleRecord) const { return ModuleTypes.contains(moduleRecord); }
};

/// A battery kit (family 1).
struct TBatteryKitRecord : TCatalogueRecord {
    QString Label;                  // field 2: the battery type list's line
    float WeightKg = 0.0f;          // field 4
    float CapacityAh = 0.0f;        // field 7
    TDatasheetData DischargeTable;  // field 11: (minutes; W one block delivers), 20 blocks a string
    float RoundThreshold = 0.0f;    // field 12: rounding threshold of the string count
    float CostWeight = 0.0f;        // field 13: cost of one kit
    int32_t KitsPerString = 0;      // field 14
    bool ForModularCabinet = false; // field 15: "1" = for modular battery cabinets
};

/// A battery cabinet, modular (family 3) or not (family 5).
struct TBatteryCabinetRecord : TCatalogueRecord {
    float WeightKg = 0.0f;    // field 4
    QString Dimensions;       // field 5: "width x height x depth" in mm
    int32_t KitPositions = 0; // field 6: kit positions per cabinet
    float CostWeight = 0.0f;  // field 7: cost of one cabinet
};

/// The empty battery kit (family 4).
struct TEmptyKitRecord : TCatalogueRecord {
    float WeightKg = 0.0f;    // field 4
    int32_t KitPositions = 0; // field 6: battery kit positions one empty-kit item stands for
};

/// An accessory (family 6) or a maintenance contract (family 7): the two share
/// their layout; a contract's Argument and QuantityEditable mean nothing.
struct TAccessoryRecord : TCatalogueRecord {
    QString Label;                 // field 2
    int32_t ExclusionGroup = -1;   // field 6: items of the same group other than -1 exclude one another
    QString Argument;              // field 7: the argument of the description's format
    bool QuantityEditable = false; // field 8
};

/// Fields 1 and 3 of any record.
const TCatalogueRecord &CatalogueRecord(int32_t recordId);
const TPowerModuleRecord &PowerModule(int32_t recordId);
const TInverterCabinetRecord &InverterCabinet(int32_t recordId);
const TBatteryKitRecord &BatteryKit(int32_t recordId);
const TBatteryCabinetRecord &BatteryCabinet(int32_t recordId);
const TEmptyKitRecord &EmptyKit(int32_t recordId);
const TAccessoryRecord &Accessory(int32_t recordId);
