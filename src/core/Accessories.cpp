#include "Accessories.h"
#include "Catalogue.h"
#include "CatalogueRecords.h"
#include "Lang.h"
#include "TextUtils.h"
#include "Vendor.h"

namespace {

/// A vendor range "VA|W": exactly two integers.
bool ReadRange(int32_t key, int32_t &va, int32_t &w)
{
    QString text;
    if (!GetVendorText(key, text))
        return false;
    const QStringList parts = SplitBar(text);
    return parts.size() == 2 && ParseInteger(parts[0], va, false) && ParseInteger(parts[1], w, false);
}

} // namespace

QString AccessoryText(int32_t recordId, int32_t family, bool gridForm)
{
    const TAccessoryRecord &item = Accessory(recordId);
    const bool accessory = family == int32_t(TFamily::Accessory);
    const QString &key = item.DescriptionKey;
    const QString text = ApplyLineBreaks(accessory ? LangAccessories(key) : LangContracts(key), gridForm);
    const QString separator = accessory && gridForm ? QString() : QStringLiteral(" - ");
    const QString argument = accessory ? item.Argument : QString();
    QString formatted;
    // A text without a placeholder ignores the argument, as a format with a
    // surplus argument does; a text that cannot be formatted stays as it is.
    if (!TryFormatText(text, {argument}, formatted) && !TryFormatText(text, {}, formatted))
        formatted = text;
    return item.Label + separator + formatted;
}

bool ContractCovers(int32_t contractRecord, int32_t maxVA, int32_t maxW)
{
    const int32_t code = Accessory(contractRecord).ProductCode;
    if (code == -1)
        return false;
    int32_t minRangeVA = 0, minRangeW = 0, maxRangeVA = 0, maxRangeW = 0;
    if (!ReadRange(code + 3, minRangeVA, minRangeW) || !ReadRange(code + 4, maxRangeVA, maxRangeW))
        return false;
    return maxVA >= minRangeVA && maxW >= minRangeW && maxRangeVA >= maxVA && maxRangeW >= maxW;
}

TAccessoriesRecord MakeAccessoriesRecord(const TIntegerArray &ids)
{
    TAccessoriesRecord list;
    list.Ids = ids;
    list.Checked = QVector<bool>(ids.size(), false);
    list.Quantities = QVector<int32_t>(ids.size(), 1);
    return list;
}

void RestoreAccessoryChoices(TAccessoriesRecord &list, const TArrayGenericAccessory &stored, bool copyQuantity)
{
    for (const TGenericAccessory &item : stored) {
        const qsizetype i = list.Ids.indexOf(item.RecordId);
        if (i < 0)
            continue;
        list.Checked[i] = true;
        if (copyQuantity)
            list.Quantities[i] = item.Quantity;
    }
}

TAccessoriesRecord ContractsForSize(const TAccessoriesRecord &all, int32_t maxVA, int32_t maxW)
{
    TAccessoriesRecord shown;
    for (qsizetype i = 0; i < all.Ids.size(); ++i) {
        if (!ContractCovers(all.Ids[i], maxVA, maxW))
            continue;
        shown.Ids.append(all.Ids[i]);
        shown.Checked.append(all.Checked.value(i, false));
        shown.Quantities.append(all.Quantities.value(i, 1));
    }
    return shown;
}

bool ToggleAccessoryEntry(TAccessoriesRecord &list, int32_t index)
{
    if (index < 0 || index >= list.Ids.size() || index >= list.Checked.size())
        return false;
    const TAccessoryRecord &item = Accessory(list.Ids[index]);
    if (item.ExclusionGroup != -1 && !list.Checked[index]) {
        for (qsizetype j = 0; j < list.Ids.size() && j < list.Checked.size(); ++j)
            if (Accessory(list.Ids[j]).ExclusionGroup == item.ExclusionGroup)
                list.Checked[j] = false;
    }
    list.Checked[index] = !list.Checked[index];
    return list.Checked[index] && item.QuantityEditable;
}

int32_t QuantityFromText(const QString &text)
{
    int32_t value = 0;
    return ParseInteger(text, value, false) ? value : 0;
}

TArrayGenericAccessory CheckedItems(const TAccessoriesRecord &list)
{
    TArrayGenericAccessory items;
    for (qsizetype i = 0; i < list.Ids.size() && i < list.Checked.size(); ++i)
        if (list.Checked[i])
            items.append({list.Ids[i], list.Quantities.value(i, 1)});
    return items;
}
