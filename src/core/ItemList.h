#pragma once
// The bill of materials of a sizing: a matched standard UPS model or its
// components, then the accessories and the contracts, each row priced from
// the price list when one is open. The rows and the total are computed here;
// the results grid and the documents only show them.

#include "Globals.h"
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

/// The vendor's text of an entry; false when it has none (GetVendorText in the program).
using TVendorTextReader = std::function<bool(int32_t entry, QString &text)>;
/// The unit price of an item code in a price table, -1 when it has none; no value
/// when the price list cannot be read (it then no longer counts as open).
using TPriceLookup = std::function<std::optional<TCurrency>(const QString &table, const QString &code)>;

/// Vendor entries of a standard UPS definition with base S.
enum class TStandardUpsEntry : int32_t {
    Code = 1,
    Description = 2,
    ModulesL1 = 3,
    ModulesL2 = 4,
    ModulesL3 = 5,
    ModuleRecord = 6,
    InverterRecord = 7,
    KitCount = 9,
    KitRecord = 10,
    Enabled = 11,
};
constexpr int32_t kStandardUpsFirst = 1000;
constexpr int32_t kStandardUpsStep = 20;

/// The seven numbers of one standard definition; a text that is not an integer
/// reads as kNotANumber, which matches nothing.
struct TStandardUpsItems {
    static constexpr int32_t kNotANumber = INT32_MIN;
    int32_t ModulesL1 = kNotANumber;
    int32_t ModulesL2 = kNotANumber;
    int32_t ModulesL3 = kNotANumber;
    int32_t ModuleRecord = kNotANumber;
    int32_t InverterRecord = kNotANumber;
    int32_t KitRecord = kNotANumber; // -1: without batteries
    int32_t KitCount = kNotANumber;
};
TStandardUpsItems ReadStandardUpsItems(int32_t base, const TVendorTextReader &vendor);

/// Bases of the enabled definitions, ascending; the first empty code ends the list.
TIntegerArray LoadStandardUpsList(const TVendorTextReader &vendor);
/// One enabled definition with everything the item list reads of it.
struct TStandardUpsDefinition {
    int32_t Base = -1;
    TStandardUpsItems Items;
    QString Code;
    QString Description; // a format with the product name as its one "%s"
};
QVector<TStandardUpsDefinition> ReadStandardUpsDefinitions(const TIntegerArray &standardUps,
                                                           const TVendorTextReader &vendor);

/// The base of the first definition the sizing matches, -1 when none.
int32_t FindStandardUps(const TRequestParameters &request, const TResultParameters &result,
                        const TIntegerArray &standardUps, const TVendorTextReader &vendor);
/// The index of the first matching definition, -1 when none.
qsizetype FindStandardDefinition(const TRequestParameters &request, const TResultParameters &result,
                                 const QVector<TStandardUpsDefinition> &definitions);
/// EmptyKitRecord (the first empty-kit record) and EmptyKitCount of `result`.
void ComputeEmptyKits(TResultParameters &result);
/// The vendor's code of a catalogue record, empty when it has none.
QString ItemCode(int32_t recordId);

struct TItemRow {
    int32_t Group = 0; // TItemGroup
    QString Code;
    QString Description;
    int32_t Quantity = 0;
    /// Priced only while a price list is open; a missing price counts as 0.
    bool Priced = false;
    TCurrency Price = 0;
    /// Priced, but the list has no price for the item (its 0 is no price).
    bool PriceMissing = false;
};

struct TItemList {
    QVector<TItemRow> Rows;
    TCurrency Total = 0;
    bool PriceListOpen = false;
    bool ShowPrices = false;
    /// The codes the open price list has no price for, each once, in row order;
    /// rows without a code (a standard model's components) are not named.
    QStringList UnpricedCodes;
    /// The price list could not be read while the list was built: the list was
    /// built again without prices, as without a price list.
    bool PriceListFailed = false;
};

/// Everything the list is built from besides the two records.
struct TItemListContext {
    bool DebugMode = false;
    QString ProductName;
    QVector<TStandardUpsDefinition> Standards;
    TPriceLookup Prices; // empty: no price list open
    bool ShowPrices = false;
};
/// The program's context: the settings' debug mode, product name and price column,
/// the vendor library's definitions and the open price list.
TItemListContext ProgramItemListContext(const TIntegerArray &standardUps, const TSetupData &setup);
TItemListContext ProgramItemListContext(const QVector<TStandardUpsDefinition> &standards, const TSetupData &setup);
/// GetVendorText of the loaded vendor library.
TVendorTextReader ProgramVendorReader();

/// The rows in order and the total; sets EmptyKitRecord and EmptyKitCount (with
/// empty drawers) and TotalPrice of `result`.
TItemList BuildItemList(const TRequestParameters &request, TResultParameters &result, const TItemListContext &context);

/// The rows the list gives the sizing's inverter cabinet and power modules, by
/// their codes and priced as BuildItemList prices them; no standard model, batteries,
/// accessories or contracts. `result` is left as it is.
TItemList BuildCabinetAndModuleRows(const TResultParameters &result, const TItemListContext &context);

/// Main/ResultsItemsUnpriced naming the unpriced codes, comma-separated; empty when
/// every item is priced or no price list is open.
QString UnpricedItemsLine(const TItemList &list);

/// An amount as the list shows it: "%m " (money without symbol once a price list is open).
QString FormatPrice(TCurrency amount);
/// The grid cells of a row: " " + code, " " + description, quantity and, when
/// prices are shown, the price.
QStringList ItemRowCells(const TItemRow &row, bool showPrices);
