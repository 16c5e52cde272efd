#pragma once
// The members of a sizing answer as the headless mode writes them: the
// request and result records, the pages shown, the two result tables with
// the offer's figures, the offer details and the runtime and heat figures.

#include "BatteryLife.h"
#include "DataSheet.h"
#include "Globals.h"
#include "ItemList.h"
#include "OfferDetails.h"
#include "RequestReplay.h"

#include <QVector>

class TJsonText;

void WriteRequest(TJsonText &json, const TRequestParameters &q);
void WriteAccessories(TJsonText &json, const char *key, const TArrayGenericAccessory &list);
void WriteResult(TJsonText &json, const TResultParameters &r);
void WritePagesShown(TJsonText &json, const TPagesShown &pages);
/// The two result tables as the results page shows them, in the active language.
void WriteResultTables(TJsonText &json, const TItemList &list, const QVector<TDataRow> &sheet,
                       const TOfferDetails &offer);
/// The offer details as read, with the day the offer ends.
void WriteOffer(TJsonText &json, const TOfferDetails &offer);
/// Beside the offer: the runtime curve (null, with the reason, where there is
/// none) and the heat figures.
void WriteRuntimeAndHeat(TJsonText &json, const TRequestParameters &req, const TResultParameters &res,
                         const TBatteryEnvironment &env);
