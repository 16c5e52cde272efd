#include "RequestReplay.h"

#include "Catalogue.h"

#include <QJsonArray>
#include <QPair>

#include <cmath>
#include <limits>

namespace {

// The margin and percentage edits hold at most three characters.
constexpr int kShortEditLength = 3;

/// The group (field 6) of an accessory or contract; -1 when it has none.
int32_t ExclusionGroup(int32_t recordId) { return CatalogueInt(recordId, 6, -1); }

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

bool Invalid(TPageReplay &replay, const char *key, int32_t page)
{
    return RefuseValue(replay.Refusal, QLatin1String(key), page);
}

} // namespace

// --- Refusals

bool RefuseValue(TRefusal &refusal, const QString &key, int32_t page)
{
    refusal.Error = QStringLiteral("Invalid request value: ") + key;
    refusal.Key = key;
    refusal.Page = page;
    return false;
}

bool RefusePage(TRefusal &refusal, const TPageError &error, int32_t page)
{
    refusal.Error = error.MessageKey;
    refusal.MessageKey = error.MessageKey;
    refusal.Args = error.Args;
    refusal.Page = page;
    return false;
}

// --- Reading a request

bool TRequestReader::Bool(const char *key, bool def, bool &value) const
{
    const QJsonValue v = m_o.value(QLatin1String(key));
    if (v.isUndefined()) {
        value = def;
        return true;
    }
    if (!v.isBool())
        return false;
    value = v.toBool();
    return true;
}

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

bool TRequestReader::Int(const char *key, int32_t def, int32_t &value) const
{
    const QJsonValue v = m_o.value(QLatin1String(key));
    if (v.isUndefined()) {
        value = def;
        return true;
    }
    return IntOf(v, value);
}

bool TRequestReader::EditText(const char *key, const QString &def, QString &text) const
{
    const QJsonValue v = m_o.value(QLatin1String(key));
    if (v.isUndefined()) {
        text = def;
        return true;
    }
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

// --- The pages

bool ReplayPhasesPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    bool threePhase = true;
    int32_t kind = 0;
    if (!r.Bool("inputThreePhase", true, threePhase) || (!threePhase && !core.SinglePhaseInputOffered()))
        return Invalid(replay, "inputThreePhase", PagePhases);
    if (!r.Int("outputKind", 0, kind) || kind < 0 || kind > 2 || (kind == 2 && !core.SinglePhaseOutputOffered()))
        return Invalid(replay, "outputKind", PagePhases);
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
    if (!r.EditText("loadPower", QStringLiteral("10000"), load))
        return Invalid(replay, "loadPower", PagePower);
    if (!r.Bool("powerInWatt", false, inWatt))
        return Invalid(replay, "powerInWatt", PagePower);
    // The margin edit is shown only in debug mode; hidden, it holds its "0".
    if (!r.EditText("marginPercent", QStringLiteral("0"), margin) || margin.size() > kShortEditLength ||
        (!replay.DebugMode && r.Has("marginPercent") && margin.trimmed() != QLatin1String("0")))
        return Invalid(replay, "marginPercent", PagePower);
    if (!r.Int("sizeLine", -1, line) || line < -1 || line >= core.SizeList().size())
        return Invalid(replay, "sizeLine", PagePower);
    if (line == -1)
        line = core.DefaultSizeLine();
    core.SelectSizeLine(line, inWatt);
    const TPageError e = core.PowerNext(load, margin, inWatt, line);
    if (!e.Ok())
        return RefusePage(replay.Refusal, e, PagePower);
    return true;
}

bool ReplayRedundancyPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    core.EnterRedundancyForward();
    const QVector<int32_t> counts = core.RedundancyLineCounts();
    QVector<int32_t> selected(counts.size(), 0);
    replay.Shown.HasRedundancy = true;
    replay.Shown.PerPhase = core.PerPhaseRedundancy();
    replay.Shown.RedundancyLines = counts;
    if (core.PerPhaseRedundancy()) {
        if (r.Has("redundancy")) {
            const QJsonValue v = r.Value("redundancy");
            const QJsonArray a = v.toArray();
            if (!v.isArray() || a.size() != counts.size())
                return Invalid(replay, "redundancy", PageRedundancy);
            for (qsizetype i = 0; i < a.size(); ++i)
                if (!TRequestReader::IntOf(a[i], selected[i]) || selected[i] < 0 || selected[i] > counts[i])
                    return Invalid(replay, "redundancy", PageRedundancy);
        }
    } else {
        if (!r.Int("redundancy", 0, selected[0]) || selected[0] < 0 || selected[0] > counts.value(0))
            return Invalid(replay, "redundancy", PageRedundancy);
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
    if (!r.Bool("autonomyInMinutes", true, inMinutes))
        return Invalid(replay, "autonomyInMinutes", PageAutonomy);
    if (!r.EditText("autonomyMinutes", QStringLiteral("10"), minutes))
        return Invalid(replay, "autonomyMinutes", PageAutonomy);
    if (!r.EditText("autonomyHours", QStringLiteral("0"), hours))
        return Invalid(replay, "autonomyHours", PageAutonomy);
    if (!r.EditText("autonomyHoursMinutes", QStringLiteral("10"), hoursMinutes))
        return Invalid(replay, "autonomyHoursMinutes", PageAutonomy);
    if (!r.EditText("loadPercent", core.DefaultLoadPercentText(), percent) ||
        (r.Has("loadPercent") && percent.size() > kShortEditLength))
        return Invalid(replay, "loadPercent", PageAutonomy);
    // The cabinet options are shown only when a non-modular cabinet is offered.
    if (!r.Bool("modularBatteryCabinet", true, modular) || (!modular && !core.NonModularCabinetOffered()))
        return Invalid(replay, "modularBatteryCabinet", PageAutonomy);
    // The battery type choice sits on the Advanced page, still on its first line here.
    const TPageError e = core.AutonomyNext(inMinutes, minutes, hours, hoursMinutes, percent, modular, 0);
    if (!e.Ok())
        return RefusePage(replay.Refusal, e, PageAutonomy);
    return true;
}

bool ReplayAdvancedPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    const TWizardCore::TAdvancedState state = core.AdvancedState();
    const QJsonValue v = r.Value("specialConfig");
    const QString special = v.isUndefined() ? QStringLiteral("none") : v.toString();
    bool emptyDrawers = false, onlyInverter = false;
    if (special == QLatin1String("emptyDrawers"))
        emptyDrawers = true;
    else if (special == QLatin1String("onlyInverter"))
        onlyInverter = true;
    else if (special != QLatin1String("none") || !(v.isUndefined() || v.isString()))
        return Invalid(replay, "specialConfig", PageAdvanced);
    const bool ticked = emptyDrawers || onlyInverter;
    if (ticked && !state.SpecialEnabled)
        return Invalid(replay, "specialConfig", PageAdvanced);
    // The battery type can be chosen only in debug mode, for modular cabinets.
    const int32_t kitLines = int32_t(core.BatteryTypeLines().size()) - 1;
    int32_t batteryType = -1;
    if (!r.Int("batteryType", -1, batteryType) || batteryType < -1 || batteryType >= kitLines ||
        (batteryType != -1 && !state.BatteryChoiceEnabled))
        return Invalid(replay, "batteryType", PageAdvanced);
    const TPageError e = core.AdvancedNext(ticked, emptyDrawers, onlyInverter, batteryType + 1);
    if (!e.Ok())
        return RefusePage(replay.Refusal, e, PageAdvanced);
    return true;
}

bool ReplayAccessoriesPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    QVector<QPair<int32_t, int32_t>> wanted;
    if (r.Has("accessories")) {
        const QJsonValue v = r.Value("accessories");
        if (!v.isArray())
            return Invalid(replay, "accessories", PageAccessories);
        for (const QJsonValue &item : v.toArray()) {
            const QJsonObject o = item.toObject();
            int32_t id = 0, quantity = 1;
            bool keysOk = item.isObject() && o.contains(QLatin1String("record"));
            for (auto it = o.begin(); keysOk && it != o.end(); ++it)
                keysOk = it.key() == QLatin1String("record") || it.key() == QLatin1String("quantity");
            const TRequestReader itemReader(o);
            if (!keysOk || !itemReader.Int("record", 0, id) || !itemReader.Int("quantity", 1, quantity))
                return Invalid(replay, "accessories", PageAccessories);
            wanted.append({id, quantity});
        }
    }
    if (!TickEntries(core, core.AccessoryList(), wanted, true))
        return Invalid(replay, "accessories", PageAccessories);
    core.AccessoriesNext();
    return true;
}

bool ReplayContractsPage(TPageReplay &replay)
{
    const TRequestReader &r = replay.Request;
    TWizardCore &core = replay.Core;
    core.EnterContractsForward();
    QVector<QPair<int32_t, int32_t>> wanted;
    if (r.Has("contracts")) {
        const QJsonValue v = r.Value("contracts");
        if (!v.isArray())
            return Invalid(replay, "contracts", PageContracts);
        for (const QJsonValue &item : v.toArray()) {
            int32_t id = 0;
            if (!TRequestReader::IntOf(item, id))
                return Invalid(replay, "contracts", PageContracts);
            wanted.append({id, 1});
        }
    }
    if (!TickEntries(core, core.ShownContracts(), wanted, false))
        return Invalid(replay, "contracts", PageContracts);
    core.ContractsNext();
    return true;
}

bool ReplayPage(int32_t page, TPageReplay &replay)
{
    switch (page) {
    case PagePhases:
        return ReplayPhasesPage(replay);
    case PagePower:
        return ReplayPowerPage(replay);
    case PageRedundancy:
        return ReplayRedundancyPage(replay);
    case PageAutonomy:
        return ReplayAutonomyPage(replay);
    case PageAdvanced:
        return ReplayAdvancedPage(replay);
    case PageAccessories:
        return ReplayAccessoriesPage(replay);
    case PageContracts:
        return ReplayContractsPage(replay);
    default:
        return true;
    }
}
