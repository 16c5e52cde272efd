#pragma once
// The data sheet of a sizing: parameter / value rows in the active language,
// built from the two records and the catalogue. The results grid and the
// documents only show them.

#include "Globals.h"
#include <QString>
#include <QVector>

struct TDataRow {
    QString Name;
    QString Value;
};

struct TDataSheetContext {
    bool DebugMode = false;
    bool HomeMarket = false;
};
/// The settings' debug mode and home market.
TDataSheetContext ProgramDataSheetContext(const TSetupData &setup);

/// Every row whose condition holds, in order. Reads EmptyKitRecord, which the
/// item list sets: build the item list first.
QVector<TDataRow> BuildDataSheet(const TRequestParameters &request, const TResultParameters &result,
                                 const TDataSheetContext &context);

/// Commons/Minutes with the minutes, or Commons/HoursAndMinutes with hours and
/// the rest (a negative input gives 0 hours and the input as minutes).
QString FormatAutonomy(int32_t minutes, bool inMinutes);

struct TCabinetWeights {
    int32_t Inverter = 0;
    int32_t Cabinet = 0;     // each full battery cabinet
    int32_t LastCabinet = 0; // the partly filled last one
};
TCabinetWeights ComputeWeights(const TRequestParameters &request, const TResultParameters &result);
/// Charge time plus 10 %, in minutes; 0 when the sizing has no strings or no charging current.
int32_t ComputeRechargeMinutes(const TResultParameters &result);
/// The longest autonomy the battery kit's discharge table covers, in minutes; 0 without a table.
float MaxTableAutonomy(const TResultParameters &result);
