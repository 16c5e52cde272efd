#include "DataSheet.h"

#include "CatalogueRecords.h"
#include "Rounding.h"
#include "IniFile.h"
#include "Lang.h"
#include "Settings.h"
#include "TextUtils.h"

#include <QLocale>

#include <algorithm>

namespace {

// Keys are the program's own literals: looked up without copying them.
QString Key(QStringView key)
{
    return QString::fromRawData(key.data(), key.size());
}
QString Main(QStringView key)
{
    return LangMain(Key(key));
}
QString Commons(QStringView key)
{
    return LangCommons(Key(key));
}
QString YesNo(bool yes)
{
    return Commons(yes ? u"Yes" : u"No");
}

/// The power figures of the three power rows.
struct TPowerFigures {
    int32_t UpsVA = 0, UpsW = 0, MaxVA = 0, MaxW = 0, LoadVA = 0, LoadW = 0;
};

TPowerFigures PowerFigures(const TRequestParameters &q, const TResultParameters &r)
{
    TPowerFigures p;
    const float modules = float(TotalModules(r));
    const float slotCount = float(r.InverterSlots);
    p.UpsVA = RoundEven(modules * r.ModuleVA);
    p.UpsW = RoundEven(modules * r.ModuleW);
    p.MaxVA = RoundEven(slotCount * r.ModuleVA);
    p.MaxW = RoundEven(slotCount * r.ModuleW);
    const int32_t load = q.LoadPower;
    if (q.PowerInWatt) {
        p.LoadW = load;
        p.LoadVA = load == p.UpsW ? p.UpsVA : RoundEven(float(load) / 0.8f);
    } else {
        p.LoadVA = load;
        p.LoadW = load == p.UpsVA ? p.UpsW : RoundEven(float(load) * 0.8f);
    }
    return p;
}

/// "%d VA   (%d W)", or W first when the load was entered in W.
QString PowerValue(bool inWatt, int32_t va, int32_t w)
{
    return inWatt ? FormatArgs(QStringLiteral("%d W   (%d VA)"), w, va)
                  : FormatArgs(QStringLiteral("%d VA   (%d W)"), va, w);
}

QString OverMaxText(const TResultParameters &r, bool inMinutes)
{
    return FormatArgs(Main(u"ResultsDataAutonomyAvailableOverMax"),
                      FormatAutonomy(RoundEven(MaxTableAutonomy(r)), inMinutes));
}

QString AutonomyValue(int32_t minutes, const TResultParameters &r, bool inMinutes)
{
    return minutes == -1 ? OverMaxText(r, inMinutes) : FormatAutonomy(minutes, inMinutes);
}

/// One decimal in the shortest form with the locale's separator, then " Ah".
QString CapacityText(float ah)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(double(ah), 'f', 1);
    const QString zero = locale.decimalPoint() + locale.zeroDigit();
    if (text.endsWith(zero))
        text.chop(zero.size());
    return text + QStringLiteral(" Ah");
}

class TDataSheetBuilder {
public:
    TDataSheetBuilder(const TRequestParameters &q, const TResultParameters &r, const TDataSheetContext &c)
        : m_q(q), m_r(r), m_c(c), m_onlyInverter(OnlyInverterActive(q)), m_emptyDrawers(EmptyDrawersActive(q))
    {
    }

    QVector<TDataRow> Build()
    {
        AddConfigurationRows();
        AddPowerRows();
        AddSpecialRows();
        AddAutonomyRows();
        AddBatteryRows();
        Add(Main(u"ResultsDataPowerExpandible"), YesNo(m_r.InverterSlots > TotalModules(m_r)));
        AddDimensionRows();
        AddWeightRows();
        return std::move(m_rows);
    }

private:
    void Add(const QString &name, const QString &value) { m_rows.append({name, value}); }

    void AddConfigurationRows()
    {
        Add(Main(u"ResultsDataInputConfig"), Commons(m_q.InputThreePhase ? u"ThreePhases" : u"SinglePhase"));
        static const char16_t *const kOutputs[] = {u"PhasesOutputThreeFree", u"PhasesOutputThreeLock",
                                                   u"PhasesOutputSingle"};
        if (m_q.OutputKind <= 2)
            Add(Main(u"ResultsDataOutputConfig"), Commons(kOutputs[m_q.OutputKind]));
    }

    void AddPowerRows()
    {
        const TPowerFigures p = PowerFigures(m_q, m_r);
        const bool w = m_q.PowerInWatt;
        Add(LangWizard(QStringLiteral("PagePowerMaxUpsPower")), PowerValue(w, p.MaxVA, p.MaxW));
        Add(Main(u"ResultsDataPowerUps"), PowerValue(w, p.UpsVA, p.UpsW));
        Add(Main(u"ResultsDataPowerRequired"), PowerValue(w, p.LoadVA, p.LoadW));
        if (m_c.DebugMode)
            Add(QStringLiteral("Margine di sicurezza"), FormatArgs(QStringLiteral("%d %%"), m_q.PowerMarginPercent));
        if (!m_onlyInverter) {
            const double backed = double(int64_t(m_q.LoadPower) * m_q.AutonomyLoadPercent) / 100.0;
            Add(Main(u"ResultsDataPowerPercent"),
                FormatArgs(QStringLiteral("%d %s   (%d %%)"), ClampToInt32(RoundEven64(backed)),
                           QString::fromLatin1(w ? "W" : "VA"), m_q.AutonomyLoadPercent));
        }
    }

    void AddSpecialRows()
    {
        if (m_emptyDrawers)
            Add(Main(u"ResultsDataEmptyDrawers"), Commons(u"Yes"));
        if (m_onlyInverter)
            Add(Main(u"ResultsDataOnlyInverter"), Commons(u"Yes"));
    }

    void AddAutonomyRows()
    {
        if (m_onlyInverter)
            return;
        const bool inMinutes = m_q.AutonomyInMinutes;
        Add(Main(u"ResultsDataAutonomyRequired"), FormatAutonomy(m_q.AutonomyRequired, inMinutes));
        if (m_emptyDrawers)
            return;
        Add(Main(u"ResultsDataAutonomyAvailable"), AutonomyValue(m_r.AutonomyAvailable, m_r, inMinutes));
        if (m_r.StringsSetByPower)
            return;
        const QString name = m_q.ModularBatteryCabinet
                                 ? FormatArgs(Main(u"ResultsDataAutonomyWithMinusKb"), m_r.KitsPerString)
                                 : FormatArgs(Main(u"ResultsDataAutonomyWithMinusCabinet"), 1);
        Add(name, AutonomyValue(m_r.AutonomyMinusOne, m_r, inMinutes));
    }

    void AddBatteryRows()
    {
        if (m_onlyInverter)
            return;
        if (!m_c.HomeMarket || m_c.DebugMode)
            Add(Main(u"ResultsDataBatteryCurrentAvailable"), CapacityText(m_r.BatteryCapacityAh));
        if (m_r.BatteryCabinetCount > 0 && m_r.KitsInLastCabinet > 0)
            Add(Main(u"ResultsDataBatteryKbInLastCabinetParam"),
                FormatArgs(Main(u"ResultsDataBatteryKbInLastCabinetValue"), int32_t(m_r.KitsInLastCabinet),
                           int32_t(m_r.CabinetKitPositions)));
        Add(Main(u"ResultsDataBatteryRechargeTime"), FormatAutonomy(ComputeRechargeMinutes(m_r), false));
    }

    void AddDimensionRows()
    {
        const QString format = QStringLiteral("%d  x  (%s) mm");
        const QString &inverter = InverterCabinet(m_r.InverterRecord).Dimensions;
        if (!m_onlyInverter && m_q.ModularBatteryCabinet) {
            Add(Main(u"ResultsDataDimensionsTotal"), FormatArgs(format, m_r.BatteryCabinetCount + 1, inverter));
            return;
        }
        Add(Main(u"ResultsDataDimensionsInverter"), FormatArgs(format, 1, inverter));
        if (!m_onlyInverter)
            Add(Main(u"ResultsDataDimensionsBattery"),
                FormatArgs(format, m_r.BatteryCabinetCount, BatteryCabinet(m_r.BatteryCabinetRecord).Dimensions));
    }

    void AddWeightRows()
    {
        const TCabinetWeights w = ComputeWeights(m_q, m_r);
        const QString format = QStringLiteral("%d  x  %d Kg");
        if (w.Cabinet == 0 && w.LastCabinet == 0) {
            Add(Main(u"ResultsDataWeightTotal"), FormatArgs(QStringLiteral("%d Kg"), w.Inverter));
            return;
        }
        Add(Main(u"ResultsDataWeightInverterCabinet"), FormatArgs(format, 1, w.Inverter));
        const QString cabinet = Main(u"ResultsDataWeightBatteryCabinet");
        if (w.Cabinet == 0) {
            Add(cabinet, FormatArgs(format, 1, w.LastCabinet));
        } else if (w.LastCabinet == 0) {
            Add(cabinet, FormatArgs(format, m_r.BatteryCabinetCount, w.Cabinet));
        } else {
            Add(cabinet, FormatArgs(format, m_r.BatteryCabinetCount - 1, w.Cabinet));
            Add(Main(u"ResultsDataWeightLastBatteryCabinet"), FormatArgs(format, 1, w.LastCabinet));
        }
    }

    const TRequestParameters &m_q;
    const TResultParameters &m_r;
    const TDataSheetContext &m_c;
    const bool m_onlyInverter;
    const bool m_emptyDrawers;
    QVector<TDataRow> m_rows;
};

/// Weight of one kit in the drawers: an empty kit's share with empty drawers.
float KitWeight(const TRequestParameters &q, const TResultParameters &r)
{
    if (!q.ModularBatteryCabinet || OnlyInverterActive(q))
        return 0.0f;
    if (EmptyDrawersActive(q)) {
        const TEmptyKitRecord &empty = EmptyKit(r.EmptyKitRecord);
        return empty.WeightKg / float(empty.KitPositions);
    }
    return BatteryKit(r.BatteryKitRecord).WeightKg;
}

} // namespace

TDataSheetContext ProgramDataSheetContext(const TSetupData &setup)
{
    return {setup.DebugMode, IsHomeMarket(setup)};
}

QVector<TDataRow> BuildDataSheet(const TRequestParameters &request, const TResultParameters &result,
                                 const TDataSheetContext &context)
{
    const TIniReadScope oneReading;
    return TDataSheetBuilder(request, result, context).Build();
}

QString FormatAutonomy(int32_t minutes, bool inMinutes)
{
    if (inMinutes)
        return FormatArgs(Commons(u"Minutes"), minutes);
    const int32_t hours = minutes < 0 ? 0 : minutes / 60;
    const int32_t rest = minutes < 0 ? minutes : minutes % 60;
    return FormatArgs(Commons(u"HoursAndMinutes"), hours, rest);
}

TCabinetWeights ComputeWeights(const TRequestParameters &q, const TResultParameters &r)
{
    TCabinetWeights w;
    const float kit = KitWeight(q, r);
    const float base =
        InverterCabinet(r.InverterRecord).WeightKg + PowerModule(r.ModuleRecord).WeightKg * float(TotalModules(r));
    if (q.ModularBatteryCabinet) {
        if (r.BatteryKitCount < r.InverterKitPositions) {
            w.Inverter = RoundWithTenthTolerance(base + float(r.BatteryKitCount) * kit);
            return w;
        }
        w.Inverter = RoundWithTenthTolerance(base + float(r.InverterKitPositions) * kit);
    } else {
        w.Inverter = RoundWithTenthTolerance(base);
    }
    if (r.BatteryCabinetCount == 0)
        return w;
    const float cabinet = BatteryCabinet(r.BatteryCabinetRecord).WeightKg;
    if (!q.ModularBatteryCabinet) {
        w.Cabinet = RoundWithTenthTolerance(cabinet);
        return w;
    }
    const float full = float(r.CabinetKitPositions) * kit + cabinet;
    const int64_t positions = int64_t(r.BatteryCabinetCount) * r.CabinetKitPositions;
    // Every cabinet full: the kits outside the inverter fill them exactly once.
    const bool allFull = positions != 0 && (int64_t(r.BatteryKitCount) - r.InverterKitPositions) / positions == 1;
    if (allFull || r.BatteryCabinetCount > 1)
        w.Cabinet = RoundWithTenthTolerance(full);
    if (!allFull)
        w.LastCabinet = RoundWithTenthTolerance(float(r.KitsInLastCabinet) * kit + cabinet);
    return w;
}

int32_t ComputeRechargeMinutes(const TResultParameters &r)
{
    if (r.KitsPerString == 0)
        return 0;
    const float strings = float(r.BatteryKitCount) / float(r.KitsPerString);
    float current = float(TotalModules(r)) * PowerModule(r.ModuleRecord).ChargeCurrentA / strings;
    const float capacity = BatteryKit(r.BatteryKitRecord).CapacityAh;
    current = std::min(current, capacity / 4.0f);
    if (!(current > 0.0f) || !(capacity > 0.0f))
        return 0;
    const float hours = capacity / current;
    return RoundEven((hours * 0.1f + hours) * 60.0f);
}

float MaxTableAutonomy(const TResultParameters &r)
{
    const TDatasheetData &table = BatteryKit(r.BatteryKitRecord).DischargeTable;
    return table.isEmpty() ? 0.0f : table.last().X;
}
