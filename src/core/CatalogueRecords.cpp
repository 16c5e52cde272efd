#include "CatalogueRecords.h"
#include "Catalogue.h"
#include "CatalogueCache.h"
#include "CatalogueData.h"
#include "TextUtils.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace {

/// Records read on first use: a slot for each record of the two areas, a map
/// for any other id (no record, or one that does not start a record).
template <typename TRecord> class TRecordCache {
public:
    using TReader = void (*)(int32_t, TRecord &);

    explicit TRecordCache(TReader read) : m_read(read), m_records(size_t(kUpsRecordCount + kAccessoryRecordCount)) {}

    const TRecord &Get(int32_t recordId)
    {
        const int64_t slot = Slot(recordId);
        if (slot >= 0) {
            std::optional<TRecord> &entry = m_records[size_t(slot)];
            if (!entry)
                entry = Read(recordId);
            return *entry;
        }
        auto it = m_others.find(recordId);
        if (it == m_others.end())
            it = m_others.emplace(recordId, Read(recordId)).first;
        return it->second;
    }

private:
    TRecord Read(int32_t recordId) const
    {
        TRecord record;
        m_read(recordId, record);
        return record;
    }

    static int64_t Slot(int32_t recordId)
    {
        const auto inArea = [recordId](int32_t area, int32_t count) {
            const int64_t offset = int64_t(recordId) - area;
            return offset >= 0 && offset % kCatalogueFields == 0 && offset / kCatalogueFields < count
                       ? offset / kCatalogueFields
                       : int64_t(-1);
        };
        const int64_t ups = inArea(kUpsArea, kUpsRecordCount);
        if (ups >= 0)
            return ups;
        const int64_t accessory = inArea(kAccessoryArea, kAccessoryRecordCount);
        return accessory >= 0 ? kUpsRecordCount + accessory : -1;
    }

    TReader m_read;
    std::vector<std::optional<TRecord>> m_records;
    std::unordered_map<int32_t, TRecord> m_others;
};

/// The field's "|" list, the items that read as integers.
TIntegerArray IntegerList(int32_t recordId, int32_t field)
{
    TIntegerArray list;
    for (const QString &item : SplitBar(CatalogueField(recordId, field))) {
        int32_t value = 0;
        if (ParseInteger(item, value, false))
            list.append(value);
    }
    return list;
}

// One reader per family: the only place that knows the field numbers.

void ReadCommon(int32_t id, TCatalogueRecord &r)
{
    r.ProductCode = CatalogueInt(id, 1, -1);
    r.ProductCodeText = CatalogueField(id, 1);
    r.DescriptionKey = CatalogueField(id, 3);
}

void ReadPowerModule(int32_t id, TPowerModuleRecord &r)
{
    ReadCommon(id, r);
    r.WeightKg = CatalogueDecimal(id, 4);
    r.RatingVA = CatalogueDecimal(id, 6);
    r.RatingW = CatalogueDecimal(id, 7);
    r.CurveRatingVA = CatalogueDecimal(id, 8);
    r.CurveRatingW = CatalogueDecimal(id, 9);
    r.EfficiencyCurve = CatalogueCurve(id, 10);
    r.ChargeCurrentA = CatalogueDecimal(id, 11);
    r.CostWeight = CatalogueDecimal(id, 12);
}

void ReadInverterCabinet(int32_t id, TInverterCabinetRecord &r)
{
    ReadCommon(id, r);
    r.WeightKg = CatalogueDecimal(id, 4);
    r.Dimensions = CatalogueField(id, 5);
    for (int32_t phase = 0; phase < 3; ++phase)
        r.Slots[phase] = CatalogueInt(id, 6 + phase, 0);
    r.KitPositions = CatalogueInt(id, 9, 0);
    r.SingleInSingleOut = CatalogueFlag(id, 10);
    r.SingleInThreeLineOut = CatalogueFlag(id, 11);
    r.ThreeInSingleOut = CatalogueFlag(id, 12);
    r.ThreeInThreeLineOut = CatalogueFlag(id, 13);
    r.ModuleTypes = IntegerList(id, 15);
    r.MaxVA = CatalogueInt(id, 17, 0);
    r.MaxW = CatalogueInt(id, 18, 0);
    r.PreferredCabinetKey = CatalogueInt(id, 19, -1);
}

void ReadBatteryKit(int32_t id, TBatteryKitRecord &r)
{
    ReadCommon(id, r);
    r.Label = CatalogueField(id, 2);
    r.WeightKg = CatalogueDecimal(id, 4);
    r.CapacityAh = CatalogueDecimal(id, 7);
    r.DischargeTable = CatalogueCurve(id, 11);
    r.RoundThreshold = CatalogueDecimal(id, 12);
    r.CostWeight = CatalogueDecimal(id, 13);
    r.KitsPerString = CatalogueInt(id, 14, 0);
    r.ForModularCabinet = CatalogueFlag(id, 15);
}

void ReadBatteryCabinet(int32_t id, TBatteryCabinetRecord &r)
{
    ReadCommon(id, r);
    r.WeightKg = CatalogueDecimal(id, 4);
    r.Dimensions = CatalogueField(id, 5);
    r.KitPositions = CatalogueInt(id, 6, 0);
    r.CostWeight = CatalogueDecimal(id, 7);
}

void ReadEmptyKit(int32_t id, TEmptyKitRecord &r)
{
    ReadCommon(id, r);
    r.WeightKg = CatalogueDecimal(id, 4);
    r.KitPositions = CatalogueInt(id, 6, 0);
}

void ReadAccessory(int32_t id, TAccessoryRecord &r)
{
    ReadCommon(id, r);
    r.Label = CatalogueField(id, 2);
    r.ExclusionGroup = CatalogueInt(id, 6, -1);
    r.Argument = CatalogueField(id, 7);
    r.QuantityEditable = CatalogueFlag(id, 8);
}

} // namespace

bool TInverterCabinetRecord::Supports(bool inputThreePhase, bool singleOutput) const
{
    if (inputThreePhase)
        return singleOutput ? ThreeInSingleOut : ThreeInThreeLineOut;
    return singleOutput ? SingleInSingleOut : SingleInThreeLineOut;
}

const TCatalogueRecord &CatalogueRecord(int32_t recordId)
{
    static TRecordCache<TCatalogueRecord> cache(ReadCommon);
    return cache.Get(recordId);
}

const TPowerModuleRecord &PowerModule(int32_t recordId)
{
    static TRecordCache<TPowerModuleRecord> cache(ReadPowerModule);
    return cache.Get(recordId);
}

const TInverterCabinetRecord &InverterCabinet(int32_t recordId)
{
    static TRecordCache<TInverterCabinetRecord> cache(ReadInverterCabinet);
    return cache.Get(recordId);
}

const TBatteryKitRecord &BatteryKit(int32_t recordId)
{
    static TRecordCache<TBatteryKitRecord> cache(ReadBatteryKit);
    return cache.Get(recordId);
}

const TBatteryCabinetRecord &BatteryCabinet(int32_t recordId)
{
    static TRecordCache<TBatteryCabinetRecord> cache(ReadBatteryCabinet);
    return cache.Get(recordId);
}

const TEmptyKitRecord &EmptyKit(int32_t recordId)
{
    static TRecordCache<TEmptyKitRecord> cache(ReadEmptyKit);
    return cache.Get(recordId);
}

const TAccessoryRecord &Accessory(int32_t recordId)
{
    static TRecordCache<TAccessoryRecord> cache(ReadAccessory);
    return cache.Get(recordId);
}
