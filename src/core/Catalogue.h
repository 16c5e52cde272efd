#pragma once
// The built-in product catalogue: records of 20 consecutive texts, field n of a
// record is the text with id record + n. UPS area from 10000, accessory area
// from 20000, step 20; an area ends at the first record whose field 0 is not
// an integer.

#include "Globals.h"
#include <QString>

constexpr int32_t kUpsArea = 10000;
constexpr int32_t kAccessoryArea = 20000;

enum class TFamily : int32_t {
    PowerModule = 0,
    BatteryKit = 1,
    InverterCabinet = 2,
    ModularBatteryCabinet = 3,
    EmptyBatteryKit = 4,
    NonModularBatteryCabinet = 5,
    Accessory = 6,
    Contract = 7,
};

/// The module slots of an inverter cabinet record on L1, L2 and L3 together.
int32_t CabinetSlots(int32_t inverterRecord);

// The field readers, for the record readers of CatalogueRecords.h, which name
// every field; the rest of the program reads records through those.

/// The stored text of field `field` of the record, empty when not stored.
QString CatalogueField(int32_t recordId, int32_t field);
/// Field read as an integer; `def` when it is not one.
int32_t CatalogueInt(int32_t recordId, int32_t field, int32_t def = -1);
/// A flag field: true when it reads "1".
bool CatalogueFlag(int32_t recordId, int32_t field);
/// Field read with ParseDecimal (ErrorInternalError once per unreadable text, 0).
float CatalogueDecimal(int32_t recordId, int32_t field);
/// Record ids of the area, all families (-1) or one, ascending.
TIntegerArray ListRecords(int32_t areaStart, int32_t family);
/// UPS-area records of the family whose vendor key C + 1 reads exactly "1".
TIntegerArray OfferedUpsItems(int32_t family);
/// Accessory-area records of the family offered for the language `languageId`.
TIntegerArray OfferedAccessoryItems(int32_t family, int32_t languageId);
/// The language test of an accessory's vendor key C + 2: one entry admits
/// every language when it is 0, else its own; more entries admit the ones
/// they list; no entry admits nothing, an entry that is not an integer matches nothing.
bool LanguageListAdmits(const QString &list, int32_t languageId);
/// The vendor's article code (vendor key = the record's ProductCode), empty when missing.
QString ArticleCode(int32_t recordId);
/// Pairs of the field's curve; true when at least one pair was read.
bool ReadCurve(int32_t recordId, int32_t field, TDatasheetData &curve);
bool ReadCurveText(const QString &text, TDatasheetData &curve);

enum class TLookup { ByX, ByY };
/// Interpolated value, extrapolated before the first point, -1 when no point qualifies.
float CurveLookup(const TDatasheetData &curve, TLookup direction, float value);
/// Trunc(v) + 1 when the fraction of v is strictly above t, else Trunc(v).
int32_t RoundUpAboveThreshold(float threshold, float value);
/// The smallest integer not below a non-negative value.
int32_t RoundUp(float value);
