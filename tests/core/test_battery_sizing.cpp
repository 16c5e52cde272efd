// Battery and autonomy sizing: placement of kits in cabinets, evaluation of a
// kit, the minimum strings for the module power, every result field of Finish
// and the cases where no sizing can be made. Expected figures were worked out
// by hand in single precision.

#include "BatterySizing.h"
#include "Catalogue.h"
#include "PowerSizing.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QtTest>
#include <cmath>

namespace {

const TIntegerArray kModularCabinets{10140, 10160};
const TIntegerArray kNonModularCabinets{10460};
const TIntegerArray kOfferedKits{10240, 10260, 10480};

TBatteryCandidates Candidates()
{
    TBatteryCandidates c;
    c.Kits = kOfferedKits;
    c.ModularCabinets = kModularCabinets;
    c.NonModularCabinets = kNonModularCabinets;
    return c;
}

TRequestParameters Request(int32_t load, bool inWatt, int32_t percent, int32_t minutes, bool modular)
{
    TRequestParameters req;
    req.LoadPower = load;
    req.PowerInWatt = inWatt;
    req.AutonomyLoadPercent = percent;
    req.AutonomyRequired = minutes;
    req.ModularBatteryCabinet = modular;
    req.InputThreePhase = true;
    req.OutputKind = 0;
    req.OutputLines = 3;
    req.BatteryType = -1;
    return req;
}

/// A result after the power pages: cabinet and modules sized for the load.
TResultParameters PowerResult(const TRequestParameters &req, int32_t cabinet)
{
    TResultParameters res;
    ResetModuleResult(res);
    res.InverterRecord = cabinet;
    res.InverterSlots = uint8_t(CabinetSlots(cabinet));
    res.InverterKitPositions = uint8_t(CatalogueInt(cabinet, 9, 0));
    const bool sized = SizeModules(ListRecords(kUpsArea, int32_t(TFamily::PowerModule)), cabinet,
                                   RequiredPower(req.LoadPower, req.PowerMarginPercent), req, res);
    if (!sized)
        qFatal("module sizing failed");
    return res;
}

/// Marks every battery field so that a field left unchanged can be seen.
void MarkBatteryFields(TResultParameters &res)
{
    res.BatteryCabinetRecord = 777;
    res.BatteryCabinetCount = 777;
    res.CabinetKitPositions = 77;
    res.KitsInLastCabinet = 77;
    res.BatteryKitRecord = 777;
    res.BatteryKitCount = 777;
    res.AutonomyAvailable = 777;
    res.StringsSetByPower = false;
    res.AutonomyMinusOne = 777;
    res.BatteryCapacityAh = 777.0f;
    res.KitsPerString = 777;
}

bool SameBatteryFields(const TResultParameters &a, const TResultParameters &b)
{
    return a.BatteryCabinetRecord == b.BatteryCabinetRecord && a.BatteryCabinetCount == b.BatteryCabinetCount &&
           a.CabinetKitPositions == b.CabinetKitPositions && a.KitsInLastCabinet == b.KitsInLastCabinet &&
           a.BatteryKitRecord == b.BatteryKitRecord && a.BatteryKitCount == b.BatteryKitCount &&
           a.AutonomyAvailable == b.AutonomyAvailable && a.StringsSetByPower == b.StringsSetByPower &&
           a.AutonomyMinusOne == b.AutonomyMinusOne && a.BatteryCapacityAh == b.BatteryCapacityAh &&
           a.KitsPerString == b.KitsPerString && a.InverterKitPositions == b.InverterKitPositions;
}

bool Near(float a, float b) { return std::fabs(a - b) <= 1e-4f * std::max(1.0f, std::fabs(b)); }

} // namespace

class TestBatterySizing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void cabinetPlacement_data();
    void cabinetPlacement();
    void preferredCabinetFromTheVendor();
    void backedUpPowerAndEfficiency_data();
    void backedUpPowerAndEfficiency();
    void stringRounding_data();
    void stringRounding();
    void kitBeyondItsTable();
    void realisticSizing();
    void sixStringsForTwelve5kVAModules();
    void nonModularSingleKit();
    void chosenBatteryType_data();
    void chosenBatteryType();
    void noSizingIsInvented_data();
    void noSizingIsInvented();
    void onlyInverterShortCut();
    void finishRereadsInverterKitPositions();
    void autonomyNeverBelowRequirement_data();
    void autonomyNeverBelowRequirement();
};

void TestBatterySizing::initTestCase()
{
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
}

void TestBatterySizing::cabinetPlacement_data()
{
    QTest::addColumn<int>("kits");
    QTest::addColumn<bool>("modular");
    QTest::addColumn<int>("inverterPositions");
    QTest::addColumn<TIntegerArray>("candidates");
    QTest::addColumn<int>("preferred");
    QTest::addColumn<QVector<int>>("expected"); // record, count, positions, last
    QTest::newRow("8 kits fit the 12 positions of the inverter") << 8 << true << 12 << kModularCabinets << 10140
                                                               << QVector<int>{-1, 0, 0, 0};
    QTest::newRow("20 kits, 8 in the inverter, 16-position cabinet") << 20 << true << 8 << kModularCabinets << 10140
                                                                    << QVector<int>{10140, 1, 16, 12};
    QTest::newRow("preferred 20-position cabinet") << 20 << true << 8 << kModularCabinets << 10160
                                                  << QVector<int>{10160, 1, 20, 12};
    QTest::newRow("no preference takes the first") << 20 << true << 8 << kModularCabinets << -1
                                                  << QVector<int>{10140, 1, 16, 12};
    QTest::newRow("preference not among the candidates") << 20 << true << 8 << TIntegerArray{10160} << 10140
                                                        << QVector<int>{10160, 1, 20, 12};
    QTest::newRow("full cabinets leave no last") << 40 << true << 8 << kModularCabinets << 10140
                                                << QVector<int>{10140, 2, 16, 0};
    QTest::newRow("exactly the inverter's positions") << 12 << true << 12 << kModularCabinets << 10140
                                                     << QVector<int>{-1, 0, 0, 0};
    QTest::newRow("non-modular ignores the inverter's positions") << 3 << false << 12 << kNonModularCabinets << 10140
                                                                 << QVector<int>{10460, 3, 1, 0};
    QTest::newRow("empty candidate list places no cabinet") << 20 << true << 0 << TIntegerArray{} << -1
                                                           << QVector<int>{-1, 0, 0, 0};
    QTest::newRow("a candidate without positions is passed over") << 5 << true << 0 << TIntegerArray{10180, 10160}
                                                                 << 10180 << QVector<int>{10160, 1, 20, 5};
    QTest::newRow("no kits") << 0 << false << 0 << kNonModularCabinets << -1 << QVector<int>{-1, 0, 0, 0};
}

void TestBatterySizing::cabinetPlacement()
{
    QFETCH(int, kits);
    QFETCH(bool, modular);
    QFETCH(int, inverterPositions);
    QFETCH(TIntegerArray, candidates);
    QFETCH(int, preferred);
    QFETCH(QVector<int>, expected);
    const TCabinetPlacement p = PlaceKits(kits, modular, inverterPositions, candidates, preferred);
    QCOMPARE((QVector<int>{p.Record, p.Count, p.Positions, p.Last}), expected);
}

void TestBatterySizing::preferredCabinetFromTheVendor()
{
    QCOMPARE(PreferredCabinet(10020), 10140);
    QCOMPARE(PreferredCabinet(10120), 10160);
    QCOMPARE(PreferredCabinet(10080), PreferredCabinet(10440)); // both name key 2043
    QCOMPARE(PreferredCabinet(10500), -1);                      // no record
    UnloadVendorLibrary();
    QCOMPARE(PreferredCabinet(10020), -1);
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
}

void TestBatterySizing::backedUpPowerAndEfficiency_data()
{
    QTest::addColumn<int>("load");
    QTest::addColumn<bool>("inWatt");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("cabinet");
    QTest::addColumn<float>("power");
    QTest::addColumn<float>("efficiency");
    QTest::newRow("10000 VA at 80 %") << 10000 << false << 80 << 10020 << 6400.0f << 0.94f;
    QTest::newRow("8000 W at 80 %") << 8000 << true << 80 << 10020 << 6400.0f << 0.94f;
    // 6400 W on twelve 4000 W modules is 13.3 %: between 9 % and 17 % of the curve.
    QTest::newRow("light load on twelve modules") << 60000 << false << 13 << 10120 << 6240.0f << 0.90f;
    QTest::newRow("1 VA at 1 %") << 1 << false << 1 << 10020 << 0.008f << 0.0000007f;
}

void TestBatterySizing::backedUpPowerAndEfficiency()
{
    QFETCH(int, load);
    QFETCH(bool, inWatt);
    QFETCH(int, percent);
    QFETCH(int, cabinet);
    QFETCH(float, power);
    QFETCH(float, efficiency);
    const TRequestParameters req = Request(load, inWatt, percent, 10, true);
    const TResultParameters res = PowerResult(req, cabinet);
    const float p = BackedUpPower(req);
    QVERIFY2(Near(p, power), qPrintable(QString::number(double(p), 'g', 9)));
    const float e = ModuleEfficiency(req, res, p);
    QVERIFY2(std::fabs(e - efficiency) < 0.0001f, qPrintable(QString::number(double(e), 'g', 9)));
}

void TestBatterySizing::stringRounding_data()
{
    QTest::addColumn<int>("kit");
    QTest::addColumn<float>("batteryPower");
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("strings");
    QTest::addColumn<float>("available");
    QTest::addColumn<float>("minusOne");
    QTest::addColumn<float>("cost");
    // 10 minutes: 223 W per block for the 7,2 Ah kit, 268 W for the 9 Ah kit.
    QTest::newRow("25 blocks, threshold 0.15: 2 strings") << 10240 << 5675.0f << 25 << 2 << 22.979258f << 8.994104f
                                                         << 1360.0f;
    QTest::newRow("25 blocks, threshold 0.35: 1 string") << 10260 << 6800.0f << 25 << 1 << 11.106037f << -1.0f
                                                        << 860.0f;
    // 42 blocks are 2 strings; the autonomy is read for (2 + 0.15) x 20 = 43 blocks.
    QTest::newRow("42 blocks: 2 strings, 43 blocks") << 10240 << 9416.0f << 42 << 2 << 10.379552f << 3.5132327f
                                                    << 1360.0f;
    QTest::newRow("too little power still makes one string") << 10240 << 10.0f << 0 << 1 << -1.0f << -1.0f << 680.0f;
}

void TestBatterySizing::stringRounding()
{
    QFETCH(int, kit);
    QFETCH(float, batteryPower);
    QFETCH(int, units);
    QFETCH(int, strings);
    QFETCH(float, available);
    QFETCH(float, minusOne);
    QFETCH(float, cost);
    TKitContext ctx;
    ctx.BatteryPower = batteryPower;
    ctx.Modular = true;
    ctx.InverterKitPositions = 12;
    ctx.Cabinets = &kModularCabinets;
    ctx.PreferredCabinet = 10140;
    TAutonomyDataRecord rec;
    QVERIFY(EvaluateKit(kit, 10.0f, ctx, rec));
    QCOMPARE(rec.UnitsNeeded, units);
    QCOMPARE(rec.Strings, strings);
    QVERIFY2(Near(rec.AutonomyAvailable, available), qPrintable(QString::number(double(rec.AutonomyAvailable), 'g', 9)));
    QVERIFY2(Near(rec.AutonomyMinusOne, minusOne), qPrintable(QString::number(double(rec.AutonomyMinusOne), 'g', 9)));
    QCOMPARE(rec.Cost, cost);
    QCOMPARE(rec.KitAh, CatalogueDecimal(kit, 7));
    QCOMPARE(rec.RoundThreshold, CatalogueDecimal(kit, 12));
}

void TestBatterySizing::kitBeyondItsTable()
{
    TKitContext ctx;
    ctx.BatteryPower = 5000.0f;
    ctx.Cabinets = &kModularCabinets;
    TAutonomyDataRecord rec;
    rec.Strings = 5;
    QVERIFY(!EvaluateKit(10240, 1500.0f, ctx, rec)); // the table ends at 1440 minutes
    QCOMPARE(rec.UnitPower, -1.0f);
    QCOMPARE(rec.Strings, 5); // the rest is left as it was
    QVERIFY(!EvaluateKit(10480, 1201.0f, ctx, rec));
    QVERIFY(EvaluateKit(10480, 3.0f, ctx, rec)); // before the first point: extrapolated
}

void TestBatterySizing::realisticSizing()
{
    // 10000 VA on the 10 kVA cabinet 10020 (three 3,4 kVA modules), 80 %, 10 minutes:
    // P 6400 W, efficiency 0.94, B 6808.51 W. The 9 Ah kit needs 25 blocks, one
    // string (cost 860 against 1360 for two strings of 7,2 Ah). One string is also
    // the minimum for 10000 VA of modules: re-evaluated at 11 minutes, still one.
    const TRequestParameters req = Request(10000, false, 80, 10, true);
    TResultParameters res = PowerResult(req, 10020);
    QCOMPARE(TotalModules(res), uint8_t(3));
    MarkBatteryFields(res);
    QVERIFY(FinishSizing(req, res, Candidates()));
    QCOMPARE(res.BatteryKitRecord, 10260);
    QCOMPARE(res.KitsPerString, 4);
    QCOMPARE(res.BatteryKitCount, 4);
    QCOMPARE(res.BatteryCapacityAh, 9.0f);
    QCOMPARE(res.AutonomyAvailable, 11);
    QVERIFY(res.StringsSetByPower);
    QCOMPARE(res.AutonomyMinusOne, 777); // one string: not recomputed
    QCOMPARE(res.BatteryCabinetRecord, -1);
    QCOMPARE(res.BatteryCabinetCount, 0);
    QCOMPARE(int(res.CabinetKitPositions), 0);
    QCOMPARE(int(res.KitsInLastCabinet), 0);
    QCOMPARE(int(res.InverterKitPositions), 12);
}

void TestBatterySizing::sixStringsForTwelve5kVAModules()
{
    // Twelve 5 kVA modules need round up (60000 / 10000) = 6 strings. The 9 Ah
    // kit alone would need one; the six strings last 74.36 minutes, five 59.42.
    const TRequestParameters req = Request(10000, false, 80, 10, true);
    TResultParameters res = PowerResult(req, 10120);
    res.ModulesL1 = res.ModulesL2 = res.ModulesL3 = 4; // the 60 kVA cabinet filled
    MarkBatteryFields(res);
    QVERIFY(FinishSizing(req, res, Candidates()));
    QCOMPARE(res.BatteryKitRecord, 10260);
    QVERIFY(res.StringsSetByPower);
    QCOMPARE(res.BatteryKitCount, 24);
    QCOMPARE(res.BatteryKitCount / res.KitsPerString, 6);
    QCOMPARE(res.BatteryCapacityAh, 54.0f);
    QCOMPARE(res.AutonomyAvailable, 74);
    QCOMPARE(res.AutonomyMinusOne, 59);
    // No kit positions in 10120; its preferred cabinet holds 20 kits.
    QCOMPARE(res.BatteryCabinetRecord, 10160);
    QCOMPARE(res.BatteryCabinetCount, 2);
    QCOMPARE(int(res.CabinetKitPositions), 20);
    QCOMPARE(int(res.KitsInLastCabinet), 4);
}

void TestBatterySizing::nonModularSingleKit()
{
    // One 94 Ah kit is one string of one kit: the string count counts as set.
    const TRequestParameters req = Request(10000, false, 80, 10, false);
    TResultParameters res = PowerResult(req, 10020);
    MarkBatteryFields(res);
    QVERIFY(FinishSizing(req, res, Candidates()));
    QCOMPARE(res.BatteryKitRecord, 10480);
    QCOMPARE(res.KitsPerString, 1);
    QCOMPARE(res.BatteryKitCount, 1);
    QVERIFY(res.StringsSetByPower);
    QCOMPARE(res.AutonomyAvailable, 171);
    QCOMPARE(res.AutonomyMinusOne, 777);
    QCOMPARE(res.BatteryCapacityAh, 94.0f);
    QCOMPARE(res.BatteryCabinetRecord, 10460);
    QCOMPARE(res.BatteryCabinetCount, 1);
    QCOMPARE(int(res.CabinetKitPositions), 1);
    QCOMPARE(int(res.KitsInLastCabinet), 0);

    // A longer time needs more kits: no longer set by the single kit.
    TRequestParameters longer = req;
    longer.AutonomyRequired = 600;
    QVERIFY(FinishSizing(longer, res, Candidates()));
    QVERIFY(res.BatteryKitCount > 1);
    QVERIFY(!res.StringsSetByPower);
    QCOMPARE(res.BatteryCabinetCount, res.BatteryKitCount);
    QCOMPARE(res.BatteryKitCount, 3);
    QVERIFY(res.AutonomyMinusOne < 600);
}

void TestBatterySizing::chosenBatteryType_data()
{
    QTest::addColumn<TIntegerArray>("kits");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::newRow("second of the offered list") << kOfferedKits << 1 << 10260;
    QTest::newRow("dearer kit when chosen") << kOfferedKits << 0 << 10240;
    QTest::newRow("index into a shorter offer") << TIntegerArray{10260, 10480} << 0 << 10260;
}

void TestBatterySizing::chosenBatteryType()
{
    QFETCH(TIntegerArray, kits);
    QFETCH(int, index);
    QFETCH(int, expected);
    TRequestParameters req = Request(10000, false, 80, 10, true);
    req.BatteryType = index;
    TResultParameters res = PowerResult(req, 10020);
    TBatteryCandidates candidates = Candidates();
    candidates.Kits = kits;
    QVERIFY(FinishSizing(req, res, candidates));
    QCOMPARE(res.BatteryKitRecord, expected);
}

void TestBatterySizing::noSizingIsInvented_data()
{
    QTest::addColumn<TIntegerArray>("kits");
    QTest::addColumn<bool>("modular");
    QTest::addColumn<int>("batteryType");
    QTest::addColumn<int>("load");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("noModules");
    QTest::newRow("no modular kit offered") << TIntegerArray{10480} << true << -1 << 10000 << 10 << false;
    QTest::newRow("no non-modular kit offered") << TIntegerArray{10240, 10260} << false << -1 << 10000 << 10 << false;
    QTest::newRow("no kit offered") << TIntegerArray{} << true << -1 << 10000 << 10 << false;
    QTest::newRow("no table reaches the time") << kOfferedKits << false << -1 << 10000 << 1300 << false;
    QTest::newRow("chosen kit cannot give the time") << kOfferedKits << true << 0 << 10000 << 1500 << false;
    QTest::newRow("chosen index outside the list") << kOfferedKits << true << 3 << 10000 << 10 << false;
    QTest::newRow("negative index other than automatic") << kOfferedKits << true << -2 << 10000 << 10 << false;
    QTest::newRow("zero load: efficiency 0") << kOfferedKits << true << -1 << 0 << 10 << false;
    QTest::newRow("negative load") << kOfferedKits << true << -1 << -500 << 10 << false;
    QTest::newRow("no installed modules") << kOfferedKits << true << -1 << 10000 << 10 << true;
}

void TestBatterySizing::noSizingIsInvented()
{
    QFETCH(TIntegerArray, kits);
    QFETCH(bool, modular);
    QFETCH(int, batteryType);
    QFETCH(int, load);
    QFETCH(int, minutes);
    QFETCH(bool, noModules);
    TRequestParameters req = Request(10000, false, 80, minutes, modular);
    req.BatteryType = batteryType;
    TResultParameters res = PowerResult(req, 10020);
    req.LoadPower = load;
    if (noModules)
        res.ModulesL1 = res.ModulesL2 = res.ModulesL3 = 0;
    MarkBatteryFields(res);
    const TResultParameters before = res;
    TBatteryCandidates candidates = Candidates();
    candidates.Kits = kits;
    QVERIFY(!FinishSizing(req, res, candidates));
    QVERIFY(SameBatteryFields(res, before));
}

void TestBatterySizing::onlyInverterShortCut()
{
    TRequestParameters req = Request(10000, false, 80, 10, true);
    req.SpecialConfig = true;
    req.OnlyInverter = true;
    TResultParameters res = PowerResult(req, 10020);
    MarkBatteryFields(res);
    res.InverterKitPositions = 3;
    QVERIFY(FinishSizing(req, res, Candidates()));
    QCOMPARE(res.BatteryCabinetCount, 0);
    QCOMPARE(res.BatteryKitCount, 0);
    // Every other battery field keeps the earlier sizing's value.
    TResultParameters expected = res;
    MarkBatteryFields(expected);
    expected.BatteryCabinetCount = 0;
    expected.BatteryKitCount = 0;
    expected.InverterKitPositions = 3;
    QVERIFY(SameBatteryFields(res, expected));

    // Only inverter without the special configuration box is an ordinary sizing.
    req.SpecialConfig = false;
    QVERIFY(FinishSizing(req, res, Candidates()));
    QCOMPARE(res.BatteryKitRecord, 10260);
}

void TestBatterySizing::finishRereadsInverterKitPositions()
{
    // The drawing may have set the positions to 0; Finish reads field 9 again.
    const TRequestParameters req = Request(10000, false, 80, 10, true);
    TResultParameters res = PowerResult(req, 10020);
    res.InverterKitPositions = 0;
    QVERIFY(FinishSizing(req, res, Candidates()));
    QCOMPARE(int(res.InverterKitPositions), 12);
    QCOMPARE(res.BatteryCabinetRecord, -1);
    // SizeBatteries alone takes the positions as given: 4 kits need a cabinet.
    res.InverterKitPositions = 0;
    QVERIFY(SizeBatteries(req, res, Candidates()));
    QCOMPARE(res.BatteryCabinetRecord, 10140);
    QCOMPARE(int(res.KitsInLastCabinet), 4);
}

void TestBatterySizing::autonomyNeverBelowRequirement_data()
{
    QTest::addColumn<int>("cabinet");
    QTest::addColumn<bool>("modular");
    QTest::newRow("10 kVA, modular") << 10020 << true;
    QTest::newRow("20 kVA, modular") << 10060 << true;
    QTest::newRow("60 kVA, modular") << 10120 << true;
    QTest::newRow("40 kVA 3,4 kVA modules, modular") << 10420 << true;
    QTest::newRow("20 kVA, non-modular") << 10060 << false;
}

void TestBatterySizing::autonomyNeverBelowRequirement()
{
    QFETCH(int, cabinet);
    QFETCH(bool, modular);
    const int32_t maximum = CatalogueInt(cabinet, 17);
    for (int32_t load = 500; load <= maximum; load += maximum / 7) {
        for (int32_t percent : {1, 50, 80, 100}) {
            for (int32_t minutes : {3, 4, 7, 10, 11, 30, 59, 60, 61, 120, 600, 1200}) {
                const TRequestParameters req = Request(load, false, percent, minutes, modular);
                TResultParameters res = PowerResult(req, cabinet);
                MarkBatteryFields(res);
                const QString where = QStringLiteral("load %1, %2 %, %3 min").arg(load).arg(percent).arg(minutes);
                QVERIFY2(FinishSizing(req, res, Candidates()), qPrintable(where));
                QVERIFY2(res.AutonomyAvailable == -1 || res.AutonomyAvailable >= minutes, qPrintable(where));
                QVERIFY2(res.BatteryKitCount == res.KitsPerString * (res.BatteryKitCount / res.KitsPerString),
                         qPrintable(where));
                if (res.BatteryKitCount > res.KitsPerString)
                    QVERIFY2(res.AutonomyMinusOne != minutes, qPrintable(where));
                else
                    QVERIFY2(res.AutonomyMinusOne == 777, qPrintable(where));
                if (modular) {
                    const int32_t strings = res.BatteryKitCount / res.KitsPerString;
                    QVERIFY2(strings >= RoundUp(float(TotalModules(res)) * res.ModuleVA / 10000.0f), qPrintable(where));
                }
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestBatterySizing)
#include "test_battery_sizing.moc"
