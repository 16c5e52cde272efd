#include "WizardCore.h"

#include "Accessories.h"
#include "BatterySizing.h"
#include "Catalogue.h"
#include "CatalogueRecords.h"
#include "Lang.h"
#include "PowerSizing.h"
#include "RequestKeys.h"
#include "TextUtils.h"
#include "Vendor.h"
#include "WizardAdvice.h"

#include <QJsonArray>

namespace {

// Vendor entries that switch the optional pages on.
constexpr int32_t kEntryAdvancedPage = 1;
constexpr int32_t kEntryAccessoriesPage = 2;
constexpr int32_t kEntryContractsPage = 3;
constexpr int32_t kEntryDefaultLoadPercent = 50;

using K = TRequestKeyId;

TPageError Refuse(const char *key, TWizardField field, QList<QVariant> args = {})
{
    TPageError e;
    e.MessageKey = QString::fromLatin1(key);
    e.Args = std::move(args);
    e.Field = field;
    return e;
}

/// Reads a typed whole number within the key's limits; refuses with the page's messages.
bool ReadRanged(const QString &text, K key, TWizardField field, int32_t &value, TPageError &error)
{
    if (!ParseInteger(text, value, false)) {
        error = Refuse("ErrorInvalidNumber", field);
        return false;
    }
    const TRequestKey &limits = RequestKey(key);
    if (!CheckRange(value, limits.Lower, limits.Upper, false)) {
        error = Refuse("ErrorNumberOutOfRange", field, {limits.Lower, limits.Upper});
        return false;
    }
    return true;
}


/// The size list of the cabinets in their list order.
QVector<TSizeLine> MakeSizeList(const TIntegerArray &cabinets)
{
    QVector<TSizeLine> list;
    list.reserve(cabinets.size());
    for (int32_t id : cabinets) {
        const TInverterCabinetRecord &cabinet = InverterCabinet(id);
        TSizeLine line;
        line.VA = cabinet.MaxVA;
        line.W = cabinet.MaxW;
        line.Slots = cabinet.TotalSlots();
        line.RecordId = id;
        list.append(line);
    }
    return list;
}

} // namespace

void ReadOfferedAccessoryLists(TWizardOffer &offer, int32_t languageId)
{
    offer.Accessories = OfferedAccessoryItems(int32_t(TFamily::Accessory), languageId);
    offer.Contracts = OfferedAccessoryItems(int32_t(TFamily::Contract), languageId);
    offer.AccessoryLanguageID = languageId;
    offer.HasAccessoryLists = true;
}

TWizardOffer ReadWizardOffer()
{
    TWizardOffer offer;
    offer.Modules = OfferedUpsItems(int32_t(TFamily::PowerModule));
    offer.Inverters = OfferedUpsItems(int32_t(TFamily::InverterCabinet));
    offer.ModularCabinets = OfferedUpsItems(int32_t(TFamily::ModularBatteryCabinet));
    offer.NonModularCabinets = OfferedUpsItems(int32_t(TFamily::NonModularBatteryCabinet));
    offer.Kits = OfferedUpsItems(int32_t(TFamily::BatteryKit));
    offer.AdvancedEntry = VendorInt(kEntryAdvancedPage, 0) == 1;
    offer.AccessoriesEntry = VendorInt(kEntryAccessoriesPage, 0) == 1;
    offer.ContractsEntry = VendorInt(kEntryContractsPage, 0) == 1;
    for (int input = 0; input < 2; ++input)
        for (int kind = 0; kind < 3; ++kind) {
            TIntegerArray candidates = CandidateCabinets(offer.Inverters, input == 1, uint8_t(kind));
            OrderCandidatesByPower(candidates);
            offer.SizeLists[input][kind] = MakeSizeList(candidates);
            offer.Candidates[input][kind] = std::move(candidates);
        }
    return offer;
}

TWizardCore::TWizardCore(TRequestParameters &request, TResultParameters &result, const TWizardContext &context,
                         TWizardMode mode)
    : TWizardCore(request, result, context, mode, ReadWizardOffer())
{
}

TWizardCore::TWizardCore(TRequestParameters &request, TResultParameters &result, const TWizardContext &context,
                         TWizardMode mode, const TWizardOffer &offer)
    : m_req(request), m_res(result), m_ctx(context), m_mode(mode), m_offer(offer)
{
    m_modules = offer.Modules;
    m_inverters = offer.Inverters;
    m_modularCabinets = offer.ModularCabinets;
    m_nonModularCabinets = offer.NonModularCabinets;
    m_kits = offer.Kits;

    m_pages = {TWizardPage::Phases, TWizardPage::Power, TWizardPage::Redundancy, TWizardPage::Autonomy};
    if (m_ctx.DebugMode || (offer.AdvancedEntry && !m_ctx.HomeMarket))
        m_pages.append(TWizardPage::Advanced);
    if (offer.AccessoriesEntry)
        m_pages.append(TWizardPage::Accessories);
    if (offer.ContractsEntry && m_ctx.HomeMarket)
        m_pages.append(TWizardPage::Contracts);

    // A new configuration starts without modules; editing the autonomy keeps them.
    if (m_mode == TWizardMode::NewConfiguration)
        ResetModuleResult(m_res);
}

// --- Page sequence

TWizardPage TWizardCore::FirstPage() const
{
    return m_mode == TWizardMode::EditAutonomy ? TWizardPage::Autonomy : TWizardPage::Phases;
}

bool TWizardCore::IsLastPage(TWizardPage page) const { return !m_pages.isEmpty() && m_pages.last() == page; }

TWizardPage TWizardCore::NextPage(TWizardPage page) const
{
    const qsizetype i = m_pages.indexOf(page);
    if (i < 0 || i + 1 >= m_pages.size())
        return TWizardPage::None;
    return m_pages[i + 1];
}

TWizardPage TWizardCore::PreviousPage(TWizardPage page) const
{
    // Editing the autonomy never reaches the pages before the Autonomy page.
    const qsizetype i = m_pages.indexOf(page);
    const qsizetype first = m_pages.indexOf(FirstPage());
    if (i <= 0 || i <= first)
        return TWizardPage::None;
    return m_pages[i - 1];
}

bool TWizardCore::BackEnabled(TWizardPage page) const
{
    // PreviousPage already stops at the Autonomy page when editing the autonomy.
    return PreviousPage(page) != TWizardPage::None;
}

// --- Offered choices

bool TWizardCore::SinglePhaseInputOffered() const
{
    for (int32_t id : m_inverters)
        if (InverterCabinet(id).SinglePhaseInput())
            return true;
    return false;
}

bool TWizardCore::SinglePhaseOutputOffered() const
{
    for (int32_t id : m_inverters)
        if (InverterCabinet(id).SinglePhaseOutput())
            return true;
    return false;
}

bool TWizardCore::NonModularCabinetOffered() const { return !m_nonModularCabinets.isEmpty(); }

QStringList TWizardCore::BatteryTypeLines() const
{
    QStringList lines{QStringLiteral("Automatico")};
    for (int32_t kit : m_kits)
        if (BatteryKit(kit).ForModularCabinet)
            lines << BatteryKit(kit).Label;
    return lines;
}

QString TWizardCore::DefaultLoadPercentText() const
{
    QString text;
    if (GetVendorText(kEntryDefaultLoadPercent, text))
        return text;
    return RequestKeyDefaultText(K::LoadPercent);
}

// --- Phases page

void TWizardCore::PhasesNext(bool inputThreePhase, int32_t outputKind)
{
    m_req.InputThreePhase = inputThreePhase;
    switch (outputKind) {
    case 2: // one single-phase output
        m_req.OutputLines = 1;
        m_req.LoadPhases = 1;
        m_req.OutputKind = 2;
        break;
    case 1: // one three-phase output
        m_req.OutputLines = 3;
        m_req.LoadPhases = 3;
        m_req.OutputKind = 1;
        break;
    default: // three independent single-phase outputs
        m_req.OutputLines = 3;
        m_req.LoadPhases = 1;
        m_req.OutputKind = 0;
        break;
    }

    // The candidates and their size list depend on the phase choice only.
    const int input = m_req.InputThreePhase ? 1 : 0;
    m_candidates = m_offer.Candidates[input][m_req.OutputKind];
    m_sizeList = m_offer.SizeLists[input][m_req.OutputKind];
    m_inputs.Recorded[int32_t(TWizardPage::Phases)] = true;
}

QStringList TWizardCore::SizeListTexts() const { return SizeLineTexts(m_sizeList); }

// --- Power page

void TWizardCore::EnterPower() { ResetModuleResult(m_res); }

void TWizardCore::SelectSizeLine(int32_t line, bool powerInWatt)
{
    if (line < 0 || line >= m_sizeList.size())
        return;
    ApplySizeLine(m_sizeList[line], powerInWatt, m_req, m_res);
}

TPageError TWizardCore::PowerNext(const QString &loadText, const QString &marginText, bool powerInWatt,
                                  int32_t sizeLine)
{
    int32_t load = 0;
    if (!ParseInteger(loadText, load, false))
        return Refuse("ErrorInvalidNumber", TWizardField::LoadPower);

    int32_t margin = 0;
    if (m_ctx.DebugMode) {
        TPageError error;
        if (!ReadRanged(marginText, K::MarginPercent, TWizardField::Margin, margin, error))
            return error;
    }

    // Without a size to choose from nothing can be compared with the load.
    if (sizeLine < 0 || sizeLine >= m_sizeList.size())
        return Refuse("ErrorHighPower", TWizardField::None);
    const TSizeLine &size = m_sizeList[sizeLine];
    const int32_t maxPower = powerInWatt ? size.W : size.VA;

    const int64_t required = RequiredPower(load, margin);
    if (!PowerWithinLimit(load, required, maxPower)) {
        // Below the smallest load that can be sized, the message names that one as the lower bound.
        const int32_t smallest = RequestKey(K::LoadPower).Lower;
        const int32_t lower = load < smallest ? smallest : 0;
        return Refuse("ErrorNumberOutOfRange", TWizardField::LoadPower, {lower, maxPower});
    }

    // Work on copies so that a refused page leaves the records as they were.
    TRequestParameters req = m_req;
    TResultParameters res = m_res;
    if (!SizeForLoad(size, m_modules, TLoadEntry{load, margin, powerInWatt}, req, res))
        return Refuse("ErrorHighPower", TWizardField::None);

    m_req = req;
    m_res = res;
    m_inputs.Recorded[int32_t(TWizardPage::Power)] = true;
    m_inputs.LoadText = loadText;
    m_inputs.MarginText = marginText;
    m_inputs.SizeLine = sizeLine;
    return {};
}

// --- Redundancy page

void TWizardCore::EnterRedundancyForward()
{
    m_res.RedundantL1 = 0;
    m_res.RedundantL2 = 0;
    m_res.RedundantL3 = 0;
    ComputeFreeSlots(m_req, m_res, m_free);
}

QString TWizardCore::RedundancyTitleKey() const
{
    return PerPhaseRedundancy() ? QStringLiteral("PagePhaseRedoundanceTitle")
                                : QStringLiteral("PageSystemRedoundanceTitle");
}

int32_t TWizardCore::FreeSlots(int32_t phase) const { return phase >= 0 && phase < 3 ? m_free[phase] : 0; }

QVector<int32_t> TWizardCore::RedundancyLineCounts() const
{
    return ::RedundancyLineCounts(m_req.OutputKind, m_req.OutputLines, m_free);
}

QStringList TWizardCore::RedundancyLineTexts(int32_t count)
{
    QStringList texts{LangWizard(QStringLiteral("SelectionNone"))};
    for (int32_t n = 1; n <= count; ++n)
        texts << QStringLiteral("N + %1").arg(n);
    return texts;
}

void TWizardCore::ApplyRedundancy(const QVector<int32_t> &selected)
{
    // Only the offered lines can be chosen: a selection beyond them would put
    // more modules in the cabinet than it has slots.
    const QVector<int32_t> counts = RedundancyLineCounts();
    QVector<int32_t> lines(counts.size(), 0);
    for (qsizetype i = 0; i < counts.size() && i < selected.size(); ++i)
        lines[i] = qBound(0, selected[i], qMax(0, counts[i]));
    ApplyRedundancyChoice(m_req.OutputKind, lines, m_res);
    m_inputs.Recorded[int32_t(TWizardPage::Redundancy)] = true;
    m_inputs.Redundancy = lines;
}

// --- Autonomy page

QString TWizardCore::AutonomyPercentDescription() const
{
    return FormatText(LangWizard(QStringLiteral("PageAutonomyPowerPercentUsed")),
                      {m_req.LoadPower, m_req.PowerInWatt ? QStringLiteral("W") : QStringLiteral("VA")});
}

TPageError TWizardCore::AutonomyNext(bool inMinutes, const QString &minutesText, const QString &hoursText,
                                     const QString &hoursMinutesText, const QString &percentText, bool modular,
                                     int32_t batteryTypeLine)
{
    TPageError error;
    int32_t value = 0;
    if (inMinutes) {
        if (!ParseInteger(minutesText, value, false))
            return Refuse("ErrorInvalidNumber", TWizardField::Minutes);
    } else {
        int32_t hours = 0, minutes = 0;
        if (!ReadRanged(hoursText, K::AutonomyHours, TWizardField::Hours, hours, error))
            return error;
        if (!ReadRanged(hoursMinutesText, K::AutonomyHoursMinutes, TWizardField::HoursMinutes, minutes, error))
            return error;
        value = MinutesJoin(hours, minutes);
    }
    // The autonomy's limits hold however it was typed; the message names them in minutes and hours.
    const TRequestKey &autonomy = RequestKey(K::AutonomyMinutes);
    if (!InLimits(autonomy, value))
        return Refuse("ErrorAutonmyRequested", inMinutes ? TWizardField::Minutes : TWizardField::HoursMinutes,
                      {autonomy.Lower, RequestKey(K::AutonomyHours).Upper});

    int32_t percent = 0;
    if (!ReadRanged(percentText, K::LoadPercent, TWizardField::Percent, percent, error))
        return error;

    m_req.AutonomyInMinutes = inMinutes;
    m_req.AutonomyRequired = value;
    m_req.AutonomyLoadPercent = percent;
    m_req.ModularBatteryCabinet = modular;
    m_req.BatteryType = batteryTypeLine - 1;

    m_inputs.Recorded[int32_t(TWizardPage::Autonomy)] = true;
    m_inputs.MinutesText = minutesText;
    m_inputs.HoursText = hoursText;
    m_inputs.HoursMinutesText = hoursMinutesText;
    m_inputs.PercentText = percentText;
    return {};
}

// --- Advanced page

TWizardCore::TAdvancedState TWizardCore::AdvancedState() const
{
    TAdvancedState s;
    s.SpecialEnabled = m_req.ModularBatteryCabinet;
    s.ClearSpecial = !m_req.ModularBatteryCabinet;
    s.BatteryGroupVisible = m_ctx.DebugMode;
    s.BatteryChoiceEnabled = m_ctx.DebugMode && m_req.ModularBatteryCabinet;
    return s;
}

TPageError TWizardCore::AdvancedNext(bool special, bool emptyDrawers, bool onlyInverter, int32_t batteryTypeLine)
{
    m_req.SpecialConfig = special;
    m_req.EmptyDrawers = special && emptyDrawers;
    m_req.OnlyInverter = special && onlyInverter;
    m_req.BatteryType = batteryTypeLine - 1;
    m_inputs.Recorded[int32_t(TWizardPage::Advanced)] = true;
    return {};
}

// --- Accessories and contracts

void TWizardCore::FillAccessoryLists()
{
    if (!m_offer.HasAccessoryLists || m_offer.AccessoryLanguageID != m_ctx.LanguageID)
        ReadOfferedAccessoryLists(m_offer, m_ctx.LanguageID);
    m_accessories = MakeAccessoriesRecord(m_offer.Accessories);
    m_allContracts = MakeAccessoriesRecord(m_offer.Contracts);
    m_shownContracts = TAccessoriesRecord{};
    if (m_mode == TWizardMode::EditAutonomy) {
        RestoreAccessoryChoices(m_accessories, m_res.Accessories.Accessories, true);
        RestoreAccessoryChoices(m_allContracts, m_res.Accessories.Contracts, false);
    }
}

bool TWizardCore::ToggleEntry(TAccessoriesRecord &list, int32_t index) { return ToggleAccessoryEntry(list, index); }

void TWizardCore::EnterContractsForward()
{
    const TInverterCabinetRecord &cabinet = InverterCabinet(m_res.InverterRecord);
    m_shownContracts = ContractsForSize(m_allContracts, cabinet.MaxVA, cabinet.MaxW);
}

void TWizardCore::AccessoriesNext()
{
    m_res.Accessories.Accessories = CheckedItems(m_accessories);
    m_inputs.Recorded[int32_t(TWizardPage::Accessories)] = true;
}

void TWizardCore::ContractsNext()
{
    m_res.Accessories.Contracts = CheckedItems(m_shownContracts);
    m_inputs.Recorded[int32_t(TWizardPage::Contracts)] = true;
}

// --- Finish

TPageError TWizardCore::Finish()
{
    TBatteryCandidates candidates;
    candidates.Kits = m_kits;
    candidates.ModularCabinets = m_modularCabinets;
    candidates.NonModularCabinets = m_nonModularCabinets;
    if (!FinishSizing(m_req, m_res, candidates))
        return Refuse("ErrorInternalError", TWizardField::None);
    return {};
}

// --- The request behind the result

QJsonObject TWizardCore::RecordedPageKeys(TWizardPage page) const
{
    // What a page stored is in the records; only the texts as typed are kept apart.
    QJsonObject keys;
    auto record = [&keys](K key, const QJsonValue &value) { keys.insert(RequestKeyName(key), value); };
    switch (page) {
    case TWizardPage::Phases:
        record(K::InputThreePhase, m_req.InputThreePhase);
        record(K::OutputKind, int(m_req.OutputKind));
        break;
    case TWizardPage::Power:
        record(K::LoadPower, m_inputs.LoadText);
        record(K::PowerInWatt, m_req.PowerInWatt);
        record(K::SizeLine, m_inputs.SizeLine);
        if (m_ctx.DebugMode)
            record(K::MarginPercent, m_inputs.MarginText);
        break;
    case TWizardPage::Redundancy:
        if (PerPhaseRedundancy()) {
            QJsonArray perPhase;
            for (int32_t line : m_inputs.Redundancy)
                perPhase.append(line);
            record(K::Redundancy, perPhase);
        } else {
            record(K::Redundancy, m_inputs.Redundancy.value(0));
        }
        break;
    case TWizardPage::Autonomy:
        record(K::AutonomyInMinutes, m_req.AutonomyInMinutes);
        record(K::LoadPercent, m_inputs.PercentText);
        if (m_req.AutonomyInMinutes) {
            record(K::AutonomyMinutes, m_inputs.MinutesText);
        } else {
            record(K::AutonomyHours, m_inputs.HoursText);
            record(K::AutonomyHoursMinutes, m_inputs.HoursMinutesText);
        }
        if (NonModularCabinetOffered())
            record(K::ModularBatteryCabinet, m_req.ModularBatteryCabinet);
        break;
    case TWizardPage::Advanced: {
        const TSpecialConfigChoice special = m_req.OnlyInverter   ? TSpecialConfigChoice::OnlyInverter
                                             : m_req.EmptyDrawers ? TSpecialConfigChoice::EmptyDrawers
                                                                  : TSpecialConfigChoice::None;
        record(K::SpecialConfig, QString(SpecialConfigText(special)));
        if (m_req.BatteryType != RequestKey(K::BatteryType).IntDefault)
            record(K::BatteryType, m_req.BatteryType);
        break;
    }
    case TWizardPage::Accessories: {
        QJsonArray items;
        for (const TGenericAccessory &item : m_res.Accessories.Accessories)
            items.append(QJsonObject{{QLatin1String(kAccessoryRecordKey), item.RecordId},
                                     {QLatin1String(kAccessoryQuantityKey), item.Quantity}});
        record(K::Accessories, items);
        break;
    }
    case TWizardPage::Contracts: {
        QJsonArray items;
        for (const TGenericAccessory &item : m_res.Accessories.Contracts)
            items.append(item.RecordId);
        record(K::Contracts, items);
        break;
    }
    default:
        break;
    }
    return keys;
}

QJsonObject TWizardCore::RecordedRequest(const QJsonObject &before) const
{
    QJsonObject request = before;
    for (const TRequestKey &key : kRequestKeys)
        if (key.Page >= 0 && m_inputs.Recorded[key.Page])
            request.remove(RequestKeyName(key.Id));
    for (int32_t page = 0; page <= int32_t(TWizardPage::Contracts); ++page) {
        if (!m_inputs.Recorded[page])
            continue;
        const QJsonObject keys = RecordedPageKeys(TWizardPage(page));
        for (auto it = keys.begin(); it != keys.end(); ++it)
            request.insert(it.key(), it.value());
    }
    return request;
}
