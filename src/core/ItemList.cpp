#include "ItemList.h"

#include "Accessories.h"
#include "Catalogue.h"
#include "CatalogueRecords.h"
#include "IniFile.h"
#include "Lang.h"
#include "PriceList.h"
#include "TextUtils.h"
#include "Vendor.h"

#include <limits>

namespace {

int32_t VendorNumber(const TVendorTextReader &vendor, int32_t entry)
{
    QString text;
    int32_t value = 0;
    if (!vendor || !vendor(entry, text) || !TryReadInteger(text, value))
        return TStandardUpsItems::kNotANumber;
    return value;
}

TCurrency SaturatingAdd(TCurrency a, TCurrency b)
{
    TCurrency sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<TCurrency>::max() : std::numeric_limits<TCurrency>::min();
    return sum;
}

TCurrency SaturatingTimes(int32_t quantity, TCurrency price)
{
    TCurrency product = 0;
    if (__builtin_mul_overflow(TCurrency(quantity), price, &product))
        return (quantity < 0) != (price < 0) ? std::numeric_limits<TCurrency>::min()
                                             : std::numeric_limits<TCurrency>::max();
    return product;
}

/// Builds the rows one by one, pricing each as it is added.
class TItemListBuilder {
public:
    TItemListBuilder(TResultParameters &result, const TItemListContext &context) : m_res(result), m_ctx(context)
    {
        m_list.PriceListOpen = bool(context.Prices);
        m_list.ShowPrices = context.ShowPrices;
    }

    void AddItemRow(int32_t group, const QString &code, const QString &description, int32_t quantity)
    {
        TItemRow row{group, code, description, quantity};
        if (m_list.PriceListOpen && !m_list.PriceListFailed) {
            const std::optional<TCurrency> price = m_ctx.Prices(PriceTableName(group), code);
            // A list that cannot be read gives no prices at all, not zeros: the
            // rows are built again without it.
            m_list.PriceListFailed = !price.has_value();
            const TCurrency found = price.value_or(-1);
            row.Priced = true;
            row.PriceMissing = found == -1;
            row.Price = row.PriceMissing ? 0 : found;
            m_list.Total = SaturatingAdd(m_list.Total, SaturatingTimes(quantity, row.Price));
            if (row.PriceMissing && !row.Code.isEmpty() && !m_list.UnpricedCodes.contains(row.Code))
                m_list.UnpricedCodes.append(row.Code);
        }
        m_list.Rows.append(row);
    }

    /// A catalogue record of the UPS area: its description from section "Ups".
    void AddComponent(int32_t recordId, int32_t quantity, bool underStandard)
    {
        const QString description = LangUps(CatalogueRecord(recordId).DescriptionKey);
        if (underStandard)
            AddItemRow(int32_t(TItemGroup::Components), QString(), QStringLiteral(" - ") + description, quantity);
        else
            AddItemRow(int32_t(TItemGroup::Components), ItemCode(recordId), description, quantity);
    }

    TItemList Take()
    {
        m_res.TotalPrice = m_list.Total;
        return std::move(m_list);
    }

private:
    TResultParameters &m_res;
    const TItemListContext &m_ctx;
    TItemList m_list;
};

/// The first two component rows: the inverter cabinet and its power modules.
void AddCabinetAndModules(TItemListBuilder &builder, const TResultParameters &result, bool underStandard)
{
    builder.AddComponent(result.InverterRecord, 1, underStandard);
    builder.AddComponent(result.ModuleRecord, TotalModules(result), underStandard);
}

/// Inverter, modules, kits (or empty kits) and battery cabinets. Under a matched
/// standard model the codes are empty and the kits are always the battery kits.
void AddComponents(TItemListBuilder &builder, const TRequestParameters &request, TResultParameters &result,
                   bool underStandard)
{
    const bool onlyInverter = OnlyInverterActive(request);
    AddCabinetAndModules(builder, result, underStandard);
    if (request.ModularBatteryCabinet && !onlyInverter) {
        if (!EmptyDrawersActive(request) || underStandard) {
            builder.AddComponent(result.BatteryKitRecord, result.BatteryKitCount, underStandard);
        } else {
            ComputeEmptyKits(result);
            builder.AddComponent(result.EmptyKitRecord, result.EmptyKitCount, underStandard);
        }
    }
    if (!onlyInverter && result.BatteryCabinetCount > 0)
        builder.AddComponent(result.BatteryCabinetRecord, result.BatteryCabinetCount, underStandard);
}

} // namespace

TStandardUpsItems ReadStandardUpsItems(int32_t base, const TVendorTextReader &vendor)
{
    TStandardUpsItems items;
    items.ModulesL1 = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::ModulesL1));
    items.ModulesL2 = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::ModulesL2));
    items.ModulesL3 = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::ModulesL3));
    items.ModuleRecord = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::ModuleRecord));
    items.InverterRecord = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::InverterRecord));
    items.KitRecord = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::KitRecord));
    items.KitCount = VendorNumber(vendor, base + int32_t(TStandardUpsEntry::KitCount));
    return items;
}

TIntegerArray LoadStandardUpsList(const TVendorTextReader &vendor)
{
    TIntegerArray list;
    if (!vendor)
        return list;
    for (int64_t base = kStandardUpsFirst; base + int32_t(TStandardUpsEntry::Enabled) <= std::numeric_limits<int32_t>::max();
         base += kStandardUpsStep) {
        QString code;
        if (!vendor(int32_t(base + int32_t(TStandardUpsEntry::Code)), code) || code.isEmpty())
            break;
        QString enabled;
        int32_t flag = 0;
        if (vendor(int32_t(base + int32_t(TStandardUpsEntry::Enabled)), enabled) && TryReadInteger(enabled, flag) && flag == 1)
            list.append(int32_t(base));
    }
    return list;
}

QVector<TStandardUpsDefinition> ReadStandardUpsDefinitions(const TIntegerArray &standardUps,
                                                           const TVendorTextReader &vendor)
{
    QVector<TStandardUpsDefinition> definitions;
    for (int32_t base : standardUps) {
        TStandardUpsDefinition d;
        d.Base = base;
        d.Items = ReadStandardUpsItems(base, vendor);
        if (vendor) {
            vendor(base + int32_t(TStandardUpsEntry::Code), d.Code);
            vendor(base + int32_t(TStandardUpsEntry::Description), d.Description);
        }
        definitions.append(d);
    }
    return definitions;
}

qsizetype FindStandardDefinition(const TRequestParameters &request, const TResultParameters &result,
                                 const QVector<TStandardUpsDefinition> &definitions)
{
    if (EmptyDrawersActive(request) || definitions.isEmpty())
        return -1;
    const TPhaseTotals phases = PhaseTotals(result);
    const bool onlyInverter = OnlyInverterActive(request);
    for (qsizetype i = 0; i < definitions.size(); ++i) {
        const TStandardUpsItems &s = definitions[i].Items;
        if (s.ModulesL1 != phases.L1 || s.ModulesL2 != phases.L2 || s.ModulesL3 != phases.L3 ||
            s.ModuleRecord != result.ModuleRecord || s.InverterRecord != result.InverterRecord)
            continue;
        const bool batteriesMatch =
            onlyInverter ? s.KitRecord == -1
                         : s.KitCount == result.BatteryKitCount && s.KitRecord == result.BatteryKitRecord;
        if (batteriesMatch)
            return i;
    }
    return -1;
}

int32_t FindStandardUps(const TRequestParameters &request, const TResultParameters &result,
                        const TIntegerArray &standardUps, const TVendorTextReader &vendor)
{
    const QVector<TStandardUpsDefinition> definitions = ReadStandardUpsDefinitions(standardUps, vendor);
    const qsizetype i = FindStandardDefinition(request, result, definitions);
    return i < 0 ? -1 : definitions[i].Base;
}

void ComputeEmptyKits(TResultParameters &result)
{
    const TIntegerArray emptyKits = ListRecords(kUpsArea, int32_t(TFamily::EmptyBatteryKit));
    result.EmptyKitRecord = emptyKits.isEmpty() ? 0 : emptyKits.first();
    const int32_t perItem = EmptyKit(result.EmptyKitRecord).KitPositions;
    // A catalogue without the figure gives no empty kits rather than a division by zero.
    result.EmptyKitCount = perItem > 0 ? result.BatteryKitCount / perItem : 0;
}

QString ItemCode(int32_t recordId)
{
    return ArticleCode(recordId);
}

TVendorTextReader ProgramVendorReader()
{
    return [](int32_t entry, QString &text) { return GetVendorText(entry, text); };
}

TItemListContext ProgramItemListContext(const QVector<TStandardUpsDefinition> &standards, const TSetupData &setup)
{
    TItemListContext context;
    context.DebugMode = setup.DebugMode;
    context.ProductName = setup.ProductName;
    context.Standards = standards;
    if (PriceList.Loaded && PriceListDatabase() != nullptr)
        context.Prices = [](const QString &table, const QString &code) { return QueryPrice(table, code); };
    // A list that could no longer be read since the columns were set has no column either.
    context.ShowPrices = setup.ShowPrices && context.Prices;
    return context;
}

TItemListContext ProgramItemListContext(const TIntegerArray &standardUps, const TSetupData &setup)
{
    return ProgramItemListContext(ReadStandardUpsDefinitions(standardUps, ProgramVendorReader()), setup);
}

namespace {

TItemList BuildRows(const TRequestParameters &request, TResultParameters &result, const TItemListContext &context)
{
    TItemListBuilder builder(result, context);
    const qsizetype standard = FindStandardDefinition(request, result, context.Standards);
    if (standard != -1) {
        const TStandardUpsDefinition &d = context.Standards[standard];
        builder.AddItemRow(int32_t(TItemGroup::Standard), d.Code, FormatArgs(d.Description, context.ProductName), 1);
        if (context.DebugMode)
            AddComponents(builder, request, result, true);
    } else {
        AddComponents(builder, request, result, false);
    }
    for (const TGenericAccessory &item : result.Accessories.Accessories)
        builder.AddItemRow(int32_t(TItemGroup::Accessories), ItemCode(item.RecordId),
                           AccessoryText(item.RecordId, int32_t(TFamily::Accessory), false), item.Quantity);
    // A contract is one service whatever quantity was stored for it.
    for (const TGenericAccessory &item : result.Accessories.Contracts)
        builder.AddItemRow(int32_t(TItemGroup::Contracts), ItemCode(item.RecordId), AccessoryText(item.RecordId, int32_t(TFamily::Contract), false),
                           1);
    return builder.Take();
}

} // namespace

TItemList BuildItemList(const TRequestParameters &request, TResultParameters &result, const TItemListContext &context)
{
    const TIniReadScope oneReading;
    TItemList list = BuildRows(request, result, context);
    if (!list.PriceListFailed)
        return list;
    TItemListContext withoutPrices = context;
    withoutPrices.Prices = nullptr;
    withoutPrices.ShowPrices = false;
    list = BuildRows(request, result, withoutPrices);
    list.PriceListFailed = true;
    return list;
}

TItemList BuildCabinetAndModuleRows(const TResultParameters &result, const TItemListContext &context)
{
    const TIniReadScope oneReading;
    TResultParameters sized = result;
    TItemListBuilder builder(sized, context);
    AddCabinetAndModules(builder, sized, false);
    TItemList list = builder.Take();
    if (list.PriceListFailed) {
        // As the whole list: an unreadable price list gives no prices, not zeros.
        TItemListContext withoutPrices = context;
        withoutPrices.Prices = nullptr;
        withoutPrices.ShowPrices = false;
        TItemListBuilder plain(sized, withoutPrices);
        AddCabinetAndModules(plain, sized, false);
        list = plain.Take();
        list.PriceListFailed = true;
    }
    return list;
}

QString UnpricedItemsLine(const TItemList &list)
{
    if (!list.PriceListOpen || list.UnpricedCodes.isEmpty())
        return QString();
    return FormatArgs(LangMain(QStringLiteral("ResultsItemsUnpriced")), list.UnpricedCodes.join(QStringLiteral(", ")));
}

QString FormatPrice(TCurrency amount)
{
    return FormatArgs(QStringLiteral("%m "), qlonglong(amount));
}

QStringList ItemRowCells(const TItemRow &row, bool showPrices)
{
    QStringList cells{QStringLiteral(" ") + row.Code, QStringLiteral(" ") + row.Description,
                      QString::number(row.Quantity)};
    if (showPrices)
        cells << (row.Priced ? FormatPrice(row.Price) : QString());
    return cells;
}
