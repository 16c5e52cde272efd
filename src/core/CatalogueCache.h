#pragma once
// Allocation-free catalogue reads for the record readers: every text, number
// and curve is read once and kept for the whole run (the catalogue is part of
// the program and never changes).

#include "Globals.h"
#include "Rounding.h"

/// The stored text with this id; a shared empty text when none is stored.
const QString &CatalogueText(int32_t textId);
/// Field read as a curve, kept after the first read; empty when no pair was read.
const TDatasheetData &CatalogueCurve(int32_t recordId, int32_t field);

