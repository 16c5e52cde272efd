#include "WizardAdvice.h"

#include "Catalogue.h"
#include "CatalogueRecords.h"
#include "Lang.h"
#include "PowerSizing.h"
#include "RequestKeys.h"
#include "TextCodec.h"
#include "TextUtils.h"

#include <QSet>
#include <functional>

namespace {

using K = TRequestKeyId;

/// One way of telling sizes apart: the text it gives a cabinet, empty when it has none.
using TDescriber = std::function<QString(int32_t cabinet)>;

QString KitRoomText(int32_t cabinet)
{
    return FormatArgs(LangWizard(QStringLiteral("PagePowerSizeKits")), InverterCabinet(cabinet).KitPositions);
}

QString HeightText(int32_t cabinet)
{
    // "width x height x depth" in mm.
    const QStringList parts = InverterCabinet(cabinet).Dimensions.split(QLatin1Char('x'));
    int32_t height = 0;
    if (parts.size() != 3 || !TryReadInteger(parts.at(1).trimmed(), height))
        return QString();
    return FormatArgs(LangWizard(QStringLiteral("PagePowerSizeHeight")), height);
}

QString ArticleCodeText(int32_t cabinet) { return ItemCode(cabinet); }

QString ProductCodeText(int32_t cabinet) { return CatalogueRecord(cabinet).ProductCodeText; }

/// True when the describer gives every cabinet of the group a text of its own.
bool TellsApart(const TDescriber &describe, const QVector<int32_t> &cabinets)
{
    QSet<QString> seen;
    for (int32_t cabinet : cabinets) {
        const QString text = describe(cabinet);
        if (text.isEmpty() || seen.contains(text))
            return false;
        seen.insert(text);
    }
    return true;
}

bool SamePowerAndSlots(const TSizeLine &a, const TSizeLine &b)
{
    return a.VA == b.VA && a.W == b.W && a.Slots == b.Slots;
}

/// The size's line without distinction or price.
QString PlainSizeText(const TSizeLine &line, const QString &slotsWord)
{
    return FormatText(QStringLiteral("%d kVA - %d kW  (%d %s)"), {line.VA / 1000, line.W / 1000, line.Slots, slotsWord});
}

TLoadEntry StoredLoad(const TRequestParameters &request)
{
    return TLoadEntry{request.LoadPower, request.PowerMarginPercent, request.PowerInWatt};
}

/// The first size after the chosen cabinet's that leaves a redundant line at this load, -1 when none.
qsizetype LargerSizeWithRoom(const TRequestParameters &request, const TResultParameters &result,
                             const QVector<TSizeLine> &sizes, const TIntegerArray &offeredModules)
{
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < sizes.size() && chosen < 0; ++i)
        if (sizes[i].RecordId == result.InverterRecord)
            chosen = i;
    if (chosen < 0)
        return -1;
    for (qsizetype i = chosen + 1; i < sizes.size(); ++i) {
        TRequestParameters req = request;
        TResultParameters res = result;
        ResetModuleResult(res);
        if (!SizeForLoad(sizes[i], offeredModules, StoredLoad(request), req, res))
            continue;
        int32_t free[3] = {0, 0, 0};
        ComputeFreeSlots(req, res, free);
        for (int32_t count : RedundancyLineCounts(req.OutputKind, req.OutputLines, free))
            if (count > 0)
                return i;
    }
    return -1;
}

} // namespace

bool ReadLoadEntry(const QString &loadText, const QString &marginText, bool debugMode, bool powerInWatt,
                   TLoadEntry &entry)
{
    TLoadEntry read;
    read.PowerInWatt = powerInWatt;
    if (!ParseInteger(loadText, read.Load, false))
        return false;
    if (debugMode) {
        const TRequestKey &limits = RequestKey(K::MarginPercent);
        if (!ParseInteger(marginText, read.Margin, false) || !CheckRange(read.Margin, limits.Lower, limits.Upper, false))
            return false;
    }
    entry = read;
    return true;
}

void ApplySizeLine(const TSizeLine &size, bool powerInWatt, TRequestParameters &request, TResultParameters &result)
{
    request.PowerInWatt = powerInWatt;
    request.MaxUpsPower = powerInWatt ? size.W : size.VA;
    request.MaxUpsSlots = size.Slots;
    result.InverterRecord = size.RecordId;
    result.InverterSlots = uint8_t(size.Slots);
    result.InverterKitPositions = uint8_t(InverterCabinet(size.RecordId).KitPositions);
}

bool SizeForLoad(const TSizeLine &size, const TIntegerArray &offeredModules, const TLoadEntry &load,
                 TRequestParameters &request, TResultParameters &result)
{
    const int32_t maxPower = load.PowerInWatt ? size.W : size.VA;
    const int64_t required = RequiredPower(load.Load, load.Margin);
    if (!PowerWithinLimit(load.Load, required, maxPower))
        return false;
    TRequestParameters req = request;
    req.LoadPower = load.Load;
    req.PowerMarginPercent = load.Margin;
    TResultParameters res = result;
    ApplySizeLine(size, load.PowerInWatt, req, res);
    if (!SizeModules(offeredModules, size.RecordId, required, req, res))
        return false;
    request = req;
    result = res;
    return true;
}

QVector<TSizePrice> PriceSizeList(const QVector<TSizeLine> &sizes, const TIntegerArray &offeredModules,
                                  const TRequestParameters &request, const TLoadEntry &load,
                                  const TItemListContext &prices)
{
    QVector<TSizePrice> list(sizes.size());
    qsizetype cheapest = -1;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        TRequestParameters req = request;
        TResultParameters res{};
        ResetModuleResult(res);
        list[i].Fits = SizeForLoad(sizes[i], offeredModules, load, req, res);
        if (!list[i].Fits || !prices.Prices)
            continue;
        const TItemList rows = BuildCabinetAndModuleRows(res, prices);
        if (rows.PriceListFailed)
            return QVector<TSizePrice>(sizes.size()); // no prices at all, as in the item list
        list[i].Priced = true;
        list[i].Price = rows.Total;
        if (cheapest < 0 || rows.Total < list[cheapest].Price)
            cheapest = i;
    }
    if (cheapest >= 0)
        list[cheapest].Cheapest = true;
    return list;
}

QStringList SizeLineDistinctions(const QVector<TSizeLine> &sizes)
{
    const TDescriber describers[] = {KitRoomText, HeightText, ArticleCodeText, ProductCodeText};
    QStringList distinctions;
    for (qsizetype i = 0; i < sizes.size(); ++i)
        distinctions << QString();
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        QVector<qsizetype> twins;
        QVector<int32_t> cabinets;
        for (qsizetype j = 0; j < sizes.size(); ++j)
            if (SamePowerAndSlots(sizes[i], sizes[j])) {
                twins << j;
                cabinets << sizes[j].RecordId;
            }
        if (twins.size() < 2 || twins.first() != i)
            continue; // no twin, or told apart with the first of its twins
        for (const TDescriber &describe : describers) {
            if (!TellsApart(describe, cabinets))
                continue;
            for (qsizetype t = 0; t < twins.size(); ++t)
                distinctions[twins[t]] = describe(cabinets[t]);
            break;
        }
    }
    return distinctions;
}

QStringList SizeLineTexts(const QVector<TSizeLine> &sizes, const QVector<TSizePrice> &prices, const QString &currency)
{
    const QString slotsWord = LangWizard(QStringLiteral("PowerModulesSlots"));
    const QString cheapestWord = LangWizard(QStringLiteral("PagePowerSizeCheapest"));
    const QStringList distinctions = SizeLineDistinctions(sizes);
    QStringList texts;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        QString text = PlainSizeText(sizes[i], slotsWord);
        if (!distinctions[i].isEmpty())
            text += QStringLiteral("  (") + distinctions[i] + QLatin1Char(')');
        const TSizePrice price = prices.value(i);
        if (price.Priced) {
            text += QStringLiteral("  \u2013  ") + (FormatPrice(price.Price) + currency).trimmed();
            if (price.Cheapest)
                text += QStringLiteral(", ") + cheapestWord;
        }
        texts << text.trimmed();
    }
    return texts;
}

QString RedundancyAdvice(const TRequestParameters &request, const TResultParameters &result,
                         const QVector<int32_t> &lineCounts, const QVector<TSizeLine> &sizes,
                         const TIntegerArray &offeredModules)
{
    const TInverterCabinetRecord &cabinet = InverterCabinet(result.InverterRecord);
    QStringList sentences;
    if (lineCounts.size() == 3) {
        // One sentence for the full phases of the same modules and slots, naming them together.
        const char *phases[3] = {"L1", "L2", "L3"};
        const int32_t modules[3] = {result.ModulesL1, result.ModulesL2, result.ModulesL3};
        bool told[3] = {false, false, false};
        for (int k = 0; k < 3; ++k) {
            if (lineCounts[k] > 0 || told[k])
                continue;
            QStringList names;
            for (int j = k; j < 3; ++j)
                if (lineCounts[j] <= 0 && modules[j] == modules[k] && cabinet.Slots[j] == cabinet.Slots[k]) {
                    names << QString::fromLatin1(phases[j]);
                    told[j] = true;
                }
            sentences << FormatText(LangWizard(QStringLiteral("PageRedundancyPhaseFull")),
                                    {names.join(QStringLiteral(", ")), modules[k], cabinet.Slots[k]});
        }
    } else if (!lineCounts.isEmpty() && lineCounts.first() <= 0) {
        sentences << FormatText(LangWizard(QStringLiteral("PageRedundancyFull")),
                                {int32_t(TotalModules(result)), cabinet.TotalSlots()});
    }
    if (sentences.isEmpty())
        return QString();

    bool anyLine = false;
    for (int32_t count : lineCounts)
        anyLine = anyLine || count > 0;
    if (!anyLine) {
        const qsizetype larger = LargerSizeWithRoom(request, result, sizes, offeredModules);
        if (larger >= 0)
            sentences << FormatText(LangWizard(QStringLiteral("PageRedundancyLargerSize")),
                                    {SizeLineTexts(sizes).at(larger)});
    }
    return sentences.join(QLatin1Char('\n'));
}

QString ExclusionNote(const QVector<bool> &before, const TAccessoriesRecord &after, int32_t index)
{
    if (index < 0 || index >= after.Ids.size() || !after.Checked.value(index))
        return QString();
    QStringList unticked;
    for (qsizetype i = 0; i < after.Ids.size(); ++i)
        if (i != index && before.value(i) && !after.Checked.value(i))
            unticked << Accessory(after.Ids.at(i)).Label;
    if (unticked.isEmpty())
        return QString();
    return FormatText(LangWizard(QStringLiteral("PageAccessoriesUnticked")),
                      {Accessory(after.Ids.at(index)).Label, unticked.join(QStringLiteral(", "))});
}
