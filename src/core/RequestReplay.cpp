#include "RequestReplay.h"

#include "CatalogueRecords.h"

#include <QJsonArray>
#include <QPair>

#include <cmath>
#include <limits>

namespace {

using K = TRequestKeyId;

/// The exclusion group of an accessory or contract; -1 when it has none.
int32_t ExclusionGroup(int32_t recordId) { return Accessory(recordId).ExclusionGroup; }

/// Ticks the requested entries of a grid list the way a user clicks them; false
/// when an entry is not in the list, named twice, or excluded by one ticked before.
bool TickEntries(TWizardCore &core, TAccessoriesRecord &list, const QVector<QPair<int32_t, int32_t>> &wanted,
                 bool quantities)
{
    for (const auto &[recordId, quantity] : wanted) {
        const qsizetype index = list.Ids.indexOf(recordId);
        if (index < 0 || list.Checked[index])
            return false;
        const int32_t group = ExclusionGroup(recordId);
        if (group != -1)
            for (qsizetype i = 0; i < list.Ids.size(); ++i)
                if (list.Checked[i] && ExclusionGroup(list.Ids[i]) == group)
                    return false;
        const bool editable = core.ToggleEntry(list, int32_t(index));
        if (!list.Checked[index])
            return false;
        if (quantities) {
            if (quantity < 1 || (quantity != 1 && !editable))
                return false;
            list.Quantities[index] = quantity;
        }
    }
    return true;
}

bool Invalid(TPageReplay &replay, K key) { return RefuseKey(replay.Refusal, key); }

} // namespace

// --- Refusals

bool RefuseValue(TRefusal &refusal, const QString &key, int32_t page)
{
    refusal.Error = QStringLiteral("Invalid request value: ") + key;
    refusal.Key = key;
    refusal.Page = page;
    return false;
}

bool RefuseKey(TRefusal &refusal, TRequestKeyId key)
{
    return RefuseValue(refusal, RequestKeyName(key), RequestKey(key).Page);
}

bool RefusePage(TRefusal &refusal, const TPageError &error, TWizardPage page)
{
    refusal.Error = error.MessageKey;
    refusal.MessageKey = error.MessageKey;
    refusal.Args = error.Args;
    refusal.Page = int32_t(page);
    return false;
}

// --- Keys

bool AllKeysKnown(const QJsonObject &request, TRefusal &refusal)
{
    for (auto it = request.begin(); it != request.end(); ++it)
        if (RequestKeyPage(it.key()) == kUnknownRequestKey)
            return RefuseValue(refusal, it.key(), -1);
    return true;
}

bool LeaveOutPagesNotShown(QJsonObject &request, const QList<TWizardPage> &pages, TPagesShown &shown, TRefusal &refusal)
{
    for (const TRequestKey &key : kRequestKeys)
        if (key.Page >= 0 && request.contains(RequestKeyName(key.Id)) && !pages.contains(TWizardPage(key.Page))) {
            if (!shown.Configuration)
                return RefuseKey(refusal, key.Id);
            request.remove(RequestKeyName(key.Id));
            shown.IgnoredKeys << RequestKeyName(key.Id);
        }
    return true;
}

// --- Reading a request

bool TRequestReader::IntOf(const QJsonValue &v, int32_t &value)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) || d < std::numeric_limits<int32_t>::min() ||
        d > std::numeric_limits<int32_t>::max())
        return false;
    value = int32_t(d);
    return true;
}

bool TRequestReader::Bool(TRequestKeyId key, bool &value) const
{
    Q_ASSERT(RequestKey(key).Kind == TRequestKeyKind::Bool);
    const QJsonValue v = Value(key);
    if (v.isUndefined()) {
        value = RequestKey(key).BoolDefault;
        return true;
    }
    if (!v.isBool())
        return false;
    value = v.toBool();
    return true;
}

bool TRequestReader::Int(TRequestKeyId key, int32_t &value) const
{
    Q_ASSERT(RequestKey(key).Kind == TRequestKeyKind::Int || RequestKey(key).Kind == TRequestKeyKind::IntPerPhase);
    const QJsonValue v = Value(key);
    if (v.isUndefined()) {
        value = RequestKey(key).IntDefault;
        return true;
    }
    return IntOf(v, value);
}

bool TRequestReader::Hundredths(TRequestKeyId key, int32_t &value) const
{
    Q_ASSERT(RequestKey(key).Kind == TRequestKeyKind::Hundredths);
    const QJsonValue v = Value(key);
    if (v.isUndefined()) {
        value = RequestKey(key).IntDefault;
        return true;
    }
    if (!v.isDouble())
        return false;
    const double scaled = v.toDouble() * 100.0;
    if (!std::isfinite(scaled) || std::abs(scaled) > 1e9 || std::abs(scaled - std::round(scaled)) > 1e-6)
        return false;
    value = int32_t(std::lround(scaled));
    return true;
}

bool TRequestReader::Int(const char *member, int32_t byDefault, int32_t &value) const
{
    const QJsonValue v = m_o.value(QLatin1String(member));
    if (v.isUndefined()) {
        value = byDefault;
        return true;
    }
    return IntOf(v, value);
}

bool TRequestReader::EditText(TRequestKeyId key, QString &text) const
{
    Q_ASSERT(RequestKey(key).Kind == TRequestKeyKind::EditText);
    const QJsonValue v = Value(key);
    if (v.isUndefined()) {
        text = RequestKeyDefaultText(key);
        return true;
    }
    return EditTextOf(v, text);
}

bool TRequestReader::EditText(TRequestKeyId key, const QString &byDefault, QString &text) const
{
    Q_ASSERT(RequestKey(key).Kind == TRequestKeyKind::EditText);
    const QJsonValue v = Value(key);
    if (v.isUndefined()) {
        text = byDefault;
        return true;
    }
    return EditTextOf(v, text);
}

bool TRequestReader::EditTextOf(const QJsonValue &v, QString &text)
{
    if (v.isString()) {
        text = v.toString();
        return true;
    }
    int32_t n = 0;
    if (!IntOf(v, n))
        return false;
    text = QString::number(n);
    return true;
}

// --- The runtime tab's inputs

bool ReadBatteryEnvironment(const TRequestReader &request, TBatteryEnvironment &env, TRefusal &refusal)
{
    TBatteryEnvironment read;
    if (!request.Int(K::AmbientTemperature, read.AmbientTemperature) ||
        !InLimits(RequestKey(K::AmbientTemperature), read.AmbientTemperature))
        return RefuseKey(refusal, K::AmbientTemperature);
    if (!request.Hundredths(K::AgeingFactor, read.AgeingHundredths) ||
        !InLimits(RequestKey(K::AgeingFactor), read.AgeingHundredths))
        return RefuseKey(refusal, K::AgeingFactor);
    env = read;
    return true;
}

void RecordBatteryEnvironment(QJsonObject &request, const TBatteryEnvironment &env)
{
    const TBatteryEnvironment defaults;
    const QLatin1String temperature = RequestKeyName(K::AmbientTemperature);
    const QLatin1String ageing = RequestKeyName(K::AgeingFactor);
    request.remove(temperature);
    request.remove(ageing);
    if (env.AmbientTemperature != defaults.AmbientTemperature)
        request.insert(temperature, env.AmbientTemperature);
    if (env.AgeingHundredths != defaults.AgeingHundredths)
        request.insert(ageing, double(env.AgeingHundredths) / 100.0);
}

// --- The pages

bool ReplayPhasesPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    bool threePhase = true;
    int32_t kind = 0;
    if (!r.Bool(K::InputThreePhase, threePhase) || (!threePhase && !core.SinglePhaseInputOffered()))
        return Invalid(replay, K::InputThreePhase);
    if (!r.Int(K::OutputKind, kind) || !InLimits(RequestKey(K::OutputKind), kind) ||
        (kind == 2 && !core.SinglePhaseOutputOffered()))
        return Invalid(replay, K::OutputKind);
    core.PhasesNext(threePhase, kind);
    replay.Shown.HasSizeList = true;
    replay.Shown.SizeList = core.SizeList();
    return true;
}

bool ReplayPowerPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    core.EnterPower();
    QString load, margin;
    bool inWatt = false;
    int32_t line = -1;
    if (!r.EditText(K::LoadPower, load))
        return Invalid(replay, K::LoadPower);
    if (!r.Bool(K::PowerInWatt, inWatt))
        return Invalid(replay, K::PowerInWatt);
    // The margin edit is shown only in debug mode; hidden, it keeps its first text.
    const TRequestKey &marginKey = RequestKey(K::MarginPercent);
    if (!r.EditText(K::MarginPercent, margin) || !FitsEdit(marginKey, margin) ||
        (!replay.DebugMode && r.Has(K::MarginPercent) && margin.trimmed() != QLatin1String(marginKey.TextDefault)))
        return Invalid(replay, K::MarginPercent);
    const TRequestKey &lineKey = RequestKey(K::SizeLine);
    if (!r.Int(K::SizeLine, line) || !InLimits(lineKey, line) || line >= core.SizeList().size())
        return Invalid(replay, K::SizeLine);
    if (line == lineKey.IntDefault)
        line = core.DefaultSizeLine();
    core.SelectSizeLine(line, inWatt);
    const TPageError e = core.PowerNext(load, margin, inWatt, line);
    if (!e.Ok())
        return RefusePage(replay.Refusal, e, TWizardPage::Power);
    return true;
}

bool ReplayRedundancyPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    core.EnterRedundancyForward();
    const QVector<int32_t> counts = core.RedundancyLineCounts();
    const TRequestKey &key = RequestKey(K::Redundancy);
    QVector<int32_t> selected(counts.size(), key.IntDefault);
    replay.Shown.HasRedundancy = true;
    replay.Shown.PerPhase = core.PerPhaseRedundancy();
    replay.Shown.RedundancyLines = counts;
    if (core.PerPhaseRedundancy()) {
        if (r.Has(K::Redundancy)) {
            const QJsonValue v = r.Value(K::Redundancy);
            const QJsonArray a = v.toArray();
            if (!v.isArray() || a.size() != counts.size())
                return Invalid(replay, K::Redundancy);
            for (qsizetype i = 0; i < a.size(); ++i)
                if (!TRequestReader::IntOf(a[i], selected[i]) || !InLimits(key, selected[i]) ||
                    selected[i] > counts[i])
                    return Invalid(replay, K::Redundancy);
        }
    } else {
        if (!r.Int(K::Redundancy, selected[0]) || !InLimits(key, selected[0]) || selected[0] > counts.value(0))
            return Invalid(replay, K::Redundancy);
    }
    core.ApplyRedundancy(selected);
    return true;
}

bool ReplayAutonomyPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    bool inMinutes = true, modular = true;
    QString minutes, hours, hoursMinutes, percent;
    if (!r.Bool(K::AutonomyInMinutes, inMinutes))
        return Invalid(replay, K::AutonomyInMinutes);
    if (!r.EditText(K::AutonomyMinutes, minutes))
        return Invalid(replay, K::AutonomyMinutes);
    if (!r.EditText(K::AutonomyHours, hours))
        return Invalid(replay, K::AutonomyHours);
    if (!r.EditText(K::AutonomyHoursMinutes, hoursMinutes))
        return Invalid(replay, K::AutonomyHoursMinutes);
    if (!r.EditText(K::LoadPercent, core.DefaultLoadPercentText(), percent) ||
        (r.Has(K::LoadPercent) && !FitsEdit(RequestKey(K::LoadPercent), percent)))
        return Invalid(replay, K::LoadPercent);
    // The cabinet options are shown only when a non-modular cabinet is offered.
    if (!r.Bool(K::ModularBatteryCabinet, modular) || (!modular && !core.NonModularCabinetOffered()))
        return Invalid(replay, K::ModularBatteryCabinet);
    // The battery type choice sits on the Advanced page, still on its first line here.
    const TPageError e = core.AutonomyNext(inMinutes, minutes, hours, hoursMinutes, percent, modular, 0);
    if (!e.Ok())
        return RefusePage(replay.Refusal, e, TWizardPage::Autonomy);
    return true;
}

bool ReplayAdvancedPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    const TWizardCore::TAdvancedState state = core.AdvancedState();
    const QJsonValue v = r.Value(K::SpecialConfig);
    const QString special = v.isUndefined() ? RequestKeyDefaultText(K::SpecialConfig) : v.toString();
    bool emptyDrawers = false, onlyInverter = false;
    if (special == SpecialConfigText(TSpecialConfigChoice::EmptyDrawers))
        emptyDrawers = true;
    else if (special == SpecialConfigText(TSpecialConfigChoice::OnlyInverter))
        onlyInverter = true;
    else if (special != SpecialConfigText(TSpecialConfigChoice::None) || !(v.isUndefined() || v.isString()))
        return Invalid(replay, K::SpecialConfig);
    const bool ticked = emptyDrawers || onlyInverter;
    if (ticked && !state.SpecialEnabled)
        return Invalid(replay, K::SpecialConfig);
    // The battery type can be chosen only in debug mode, for modular cabinets.
    const TRequestKey &typeKey = RequestKey(K::BatteryType);
    const int32_t kitLines = int32_t(core.BatteryTypeLines().size()) - 1;
    int32_t batteryType = typeKey.IntDefault;
    if (!r.Int(K::BatteryType, batteryType) || !InLimits(typeKey, batteryType) || batteryType >= kitLines ||
        (batteryType != typeKey.IntDefault && !state.BatteryChoiceEnabled))
        return Invalid(replay, K::BatteryType);
    const TPageError e = core.AdvancedNext(ticked, emptyDrawers, onlyInverter, batteryType + 1);
    if (!e.Ok())
        return RefusePage(replay.Refusal, e, TWizardPage::Advanced);
    return true;
}

bool ReplayAccessoriesPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    QVector<QPair<int32_t, int32_t>> wanted;
    if (r.Has(K::Accessories)) {
        const QJsonValue v = r.Value(K::Accessories);
        if (!v.isArray())
            return Invalid(replay, K::Accessories);
        const QLatin1String recordKey(kAccessoryRecordKey), quantityKey(kAccessoryQuantityKey);
        for (const QJsonValue &item : v.toArray()) {
            const QJsonObject o = item.toObject();
            int32_t id = 0, quantity = 1;
            bool keysOk = item.isObject() && o.contains(recordKey);
            for (auto it = o.begin(); keysOk && it != o.end(); ++it)
                keysOk = it.key() == recordKey || it.key() == quantityKey;
            const TRequestReader itemReader(o);
            if (!keysOk || !itemReader.Int(kAccessoryRecordKey, 0, id) ||
                !itemReader.Int(kAccessoryQuantityKey, 1, quantity))
                return Invalid(replay, K::Accessories);
            wanted.append({id, quantity});
        }
    }
    if (!TickEntries(core, core.AccessoryList(), wanted, true))
        return Invalid(replay, K::Accessories);
    core.AccessoriesNext();
    return true;
}

bool ReplayContractsPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    core.EnterContractsForward();
    QVector<QPair<int32_t, int32_t>> wanted;
    if (r.Has(K::Contracts)) {
        const QJsonValue v = r.Value(K::Contracts);
        if (!v.isArray())
            return Invalid(replay, K::Contracts);
        for (const QJsonValue &item : v.toArray()) {
            int32_t id = 0;
            if (!TRequestReader::IntOf(item, id))
                return Invalid(replay, K::Contracts);
            wanted.append({id, 1});
        }
    }
    if (!TickEntries(core, core.ShownContracts(), wanted, false))
        return Invalid(replay, K::Contracts);
    core.ContractsNext();
    return true;
}

bool ReplayPage(TWizardPage page, TPageReplay &replay)
{
    switch (page) {
    case TWizardPage::Phases:
        return ReplayPhasesPage(replay);
    case TWizardPage::Power:
        return ReplayPowerPage(replay);
    case TWizardPage::Redundancy:
        return ReplayRedundancyPage(replay);
    case TWizardPage::Autonomy:
        return ReplayAutonomyPage(replay);
    case TWizardPage::Advanced:
        return ReplayAdvancedPage(replay);
    case TWizardPage::Accessories:
        return ReplayAccessoriesPage(replay);
    case TWizardPage::Contracts:
        return ReplayContractsPage(replay);
    case TWizardPage::None:
        break;
    }
    return true; // no page: nothing to replay
}
