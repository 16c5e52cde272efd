#pragma once
// Accessories (family 6) and maintenance contracts (family 7): descriptions,
// the size range a contract covers, and the tick lists behind the two
// wizard grids.

#include "Globals.h"
#include <QString>

/// Description of an accessory or contract record of family `family` (6 or 7).
/// Text = the language text of its DescriptionKey (section "Accessories" for
/// 6, "Contracts" for 7), formatted with one argument (the Argument of an
/// accessory, empty for contracts); when it does not format, the text as it
/// stands. gridForm: "\n" becomes a line break and an accessory's separator is
/// empty; list form: "\n" is removed and the separator is " - ".
/// Result: Label + separator + text.
QString AccessoryText(int32_t recordId, int32_t family, bool gridForm);

/// True when the contract covers a UPS size of maxVA / maxW: vendor keys C+3
/// (minimum "VA|W") and C+4 (maximum "VA|W") with C = its ProductCode; maxVA >= min VA,
/// maxW >= min W, max VA >= maxVA, max W >= maxW. A missing or malformed range
/// (not two integers) does not cover.
bool ContractCovers(int32_t contractRecord, int32_t maxVA, int32_t maxW);

/// A grid list of the ids: nothing ticked, quantities 1.
TAccessoriesRecord MakeAccessoriesRecord(const TIntegerArray &ids);

/// Edit mode: ticks every entry whose id is stored, copying the stored
/// quantity when copyQuantity (accessories), leaving it otherwise.
void RestoreAccessoryChoices(TAccessoriesRecord &list, const TArrayGenericAccessory &stored, bool copyQuantity);

/// The entries of `all` whose contract covers the size, ticks and quantities kept.
TAccessoriesRecord ContractsForSize(const TAccessoriesRecord &all, int32_t maxVA, int32_t maxW);

/// A click on entry `index`: when its ExclusionGroup is not -1 and it is not
/// ticked, unticks every entry of the same group; then toggles it. True when
/// it is now ticked and its quantity is editable (the caller asks for the quantity;
/// for contracts the caller ignores it). An index outside the list changes nothing.
bool ToggleAccessoryEntry(TAccessoriesRecord &list, int32_t index);

/// A typed quantity: the integer value, 0 when the text is not an integer
/// (the caller refuses 0 or less with ErrorInvalidNumber and asks again).
int32_t QuantityFromText(const QString &text);

/// (id, quantity) of every ticked entry, in list order.
TArrayGenericAccessory CheckedItems(const TAccessoriesRecord &list);
