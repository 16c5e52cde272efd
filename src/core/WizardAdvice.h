#pragma once
// What the wizard tells the user beside its choices: the price of each UPS size
// as the item list prices its cabinet and modules and the cheapest size that
// fits, what tells two sizes of the same power and slots apart, why no redundant
// module can be chosen, and which accessory a tick has unticked. Every figure
// comes from the program's one sizing and one item list.

#include "Globals.h"
#include "ItemList.h"
#include "WizardCore.h"

#include <QString>
#include <QStringList>
#include <QVector>

/// The Power page's entries as numbers.
struct TLoadEntry {
    int32_t Load = 0;
    int32_t Margin = 0;
    bool PowerInWatt = false;
};
/// Reads the load and, in debug mode, the safety margin as the Power page reads
/// them; false when either does not read (then no size is advised).
bool ReadLoadEntry(const QString &loadText, const QString &marginText, bool debugMode, bool powerInWatt,
                   TLoadEntry &entry);

/// Makes `size` the chosen UPS size: its power limit (W or VA), slots, cabinet and kit positions.
void ApplySizeLine(const TSizeLine &size, bool powerInWatt, TRequestParameters &request, TResultParameters &result);

/// Sizes the power modules of one size for the load as the Power page's Next
/// does, into copies of the records: false when the load is above the size or
/// no offered module type carries it.
bool SizeForLoad(const TSizeLine &size, const TIntegerArray &offeredModules, const TLoadEntry &load,
                 TRequestParameters &request, TResultParameters &result);

/// One size of the list with its price.
struct TSizePrice {
    bool Fits = false;   // the load fits the size and a module type carries it
    bool Priced = false; // fits, and the open price list gave the cabinet and modules a price
    TCurrency Price = 0; // the item list's total of the cabinet and module rows
    bool Cheapest = false;
};
/// Prices every size that fits the load with the rows BuildCabinetAndModuleRows
/// gives; the first of the lowest prices is the cheapest. Without a price list
/// (or an unreadable one) nothing is priced and nothing is marked.
QVector<TSizePrice> PriceSizeList(const QVector<TSizeLine> &sizes, const TIntegerArray &offeredModules,
                                  const TRequestParameters &request, const TLoadEntry &load,
                                  const TItemListContext &prices);

/// What tells a size apart from the other sizes of the same power and slots, in
/// this order of preference: the battery kits its cabinet holds, its height, its
/// article code, its product code (the first that differs for every one of them);
/// empty for a size without a twin.
QStringList SizeLineDistinctions(const QVector<TSizeLine> &sizes);

/// The size list's lines: "%d kVA - %d kW  (%d %s)", then the distinction in
/// parentheses, then, for a priced size, its price and currency and the mark of
/// the cheapest. `prices` may be empty (no prices).
QStringList SizeLineTexts(const QVector<TSizeLine> &sizes, const QVector<TSizePrice> &prices = {},
                          const QString &currency = QString());

/// Why no redundant module can be chosen on the Redundancy page, after its
/// forward initialisation: one sentence per choice without a line, with the
/// modules this load needs and the slots; when no choice has a line, the first
/// larger size of the list that has room at this load is named. Empty when every
/// choice has a line.
QString RedundancyAdvice(const TRequestParameters &request, const TResultParameters &result,
                         const QVector<int32_t> &lineCounts, const QVector<TSizeLine> &sizes,
                         const TIntegerArray &offeredModules);

/// The note after a click on entry `index` of a tick list: names the entries the
/// click unticked (ticked in `before`, not in `after`), empty when it unticked none.
QString ExclusionNote(const QVector<bool> &before, const TAccessoriesRecord &after, int32_t index);
