// Power and module sizing: candidate cabinets and their order, the required
// power, the module count and type, free slots and redundant modules, and the
// small helpers over the result record.

#include "Catalogue.h"
#include "PowerSizing.h"
#include "TestSupport.h"

#include <QtTest>
#include <limits>

namespace {

TRequestParameters Request(bool inputThreePhase, uint8_t outputKind, bool inWatt = false)
{
    TRequestParameters req;
    req.InputThreePhase = inputThreePhase;
    req.OutputKind = outputKind;
    req.OutputLines = outputKind == 2 ? 1 : 3;
    req.LoadPhases = outputKind == 1 ? 3 : 1;
    req.PowerInWatt = inWatt;
    return req;
}

TIntegerArray AllModules() { return ListRecords(kUpsArea, int32_t(TFamily::PowerModule)); }
TIntegerArray AllCabinets() { return ListRecords(kUpsArea, int32_t(TFamily::InverterCabinet)); }

} // namespace

class TestPowerSizing : public QObject {
    Q_OBJECT

private slots:
    void candidateCabinets_data();
    void candidateCabinets();
    void candidatesOrderedByPower();
    void exactOrderingProcedure();
    void identicalSizeLines();
    void requiredPower_data();
    void requiredPower();
    void powerLimit_data();
    void powerLimit();
    void moduleSizing_data();
    void moduleSizing();
    void hugeLoadFindsNoModule();
    void noModuleTheCabinetTakes();
    void freeSlots_data();
    void freeSlots();
    void redundancyLines_data();
    void redundancyLines();
    void applyRedundancy_data();
    void applyRedundancy();
    void resultHelpers();
    void minutesSplitAndJoin_data();
    void minutesSplitAndJoin();
};

void TestPowerSizing::candidateCabinets_data()
{
    QTest::addColumn<bool>("inputThreePhase");
    QTest::addColumn<int>("outputKind");
    QTest::addColumn<TIntegerArray>("expected");
    const TIntegerArray threeLine{10000, 10020, 10040, 10060, 10080, 10100, 10120,
                                  10320, 10340, 10360, 10380, 10400, 10420};
    const TIntegerArray singleLine{10000, 10020, 10040, 10060, 10320, 10340, 10360, 10380, 10440};
    QTest::newRow("three-phase in, three outputs (field 13)") << true << 0 << threeLine;
    QTest::newRow("three-phase in, three-phase out (field 13)") << true << 1 << threeLine;
    QTest::newRow("three-phase in, single out (field 12)") << true << 2 << singleLine;
    QTest::newRow("single in, single out (field 10)") << false << 2 << singleLine;
    QTest::newRow("single in, three outputs (field 11)") << false << 0 << singleLine;
}

void TestPowerSizing::candidateCabinets()
{
    QFETCH(bool, inputThreePhase);
    QFETCH(int, outputKind);
    QFETCH(TIntegerArray, expected);
    QCOMPARE(CandidateCabinets(AllCabinets(), inputThreePhase, uint8_t(outputKind)), expected);
    QVERIFY(CandidateCabinets({}, inputThreePhase, uint8_t(outputKind)).isEmpty());
}

void TestPowerSizing::candidatesOrderedByPower()
{
    // Ascending maximum power in W, equal powers in catalogue order.
    TIntegerArray ids = CandidateCabinets(AllCabinets(), true, 0);
    OrderCandidatesByPower(ids);
    QCOMPARE(ids, (TIntegerArray{10000, 10020, 10320, 10340, 10040, 10060, 10360, 10080, 10380, 10400, 10420, 10100,
                                 10120}));
    ids = CandidateCabinets(AllCabinets(), false, 2);
    OrderCandidatesByPower(ids);
    QCOMPARE(ids, (TIntegerArray{10000, 10020, 10320, 10340, 10040, 10060, 10360, 10380, 10440}));
}

void TestPowerSizing::exactOrderingProcedure()
{
    // The remove-and-insert procedure, not a sort: from 6400, 24000, 24000,
    // 8000, 48000 W it leaves the second 24000 W cabinet after the 8000 W one.
    TIntegerArray ids{10000, 10080, 10400, 10020, 10120};
    OrderCandidatesByPower(ids);
    QCOMPARE(ids, (TIntegerArray{10000, 10080, 10020, 10400, 10120}));
    TIntegerArray one{10120};
    OrderCandidatesByPower(one);
    QCOMPARE(one, TIntegerArray{10120});
    TIntegerArray none;
    OrderCandidatesByPower(none);
    QVERIFY(none.isEmpty());
}

void TestPowerSizing::identicalSizeLines()
{
    // Two different cabinets give the same size line: the chosen line decides the cabinet.
    TIntegerArray ids = CandidateCabinets(AllCabinets(), true, 1);
    OrderCandidatesByPower(ids);
    const qsizetype a = ids.indexOf(10080);
    const qsizetype b = ids.indexOf(10400);
    QVERIFY(a >= 0 && b >= 0);
    for (int32_t field : {17, 18})
        QCOMPARE(CatalogueInt(10080, field), CatalogueInt(10400, field));
    QCOMPARE(CabinetSlots(10080), 9);
    QCOMPARE(CabinetSlots(10400), 9);
    QVERIFY(!CabinetAcceptsModule(10080, 10300) && CabinetAcceptsModule(10400, 10300));

    const TRequestParameters req = Request(true, 1);
    TResultParameters first, second;
    QVERIFY(SizeModules(AllModules(), 10080, 24000, req, first));
    QVERIFY(SizeModules(AllModules(), 10400, 24000, req, second));
    QCOMPARE(first.ModuleRecord, 10200);
    QCOMPARE(second.ModuleRecord, 10300);
}

void TestPowerSizing::requiredPower_data()
{
    QTest::addColumn<int>("load");
    QTest::addColumn<int>("margin");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("10 % margin") << 10000 << 10 << qint64(11000);
    QTest::newRow("no margin") << 10000 << 0 << qint64(10000);
    QTest::newRow("negative margin is none") << 10000 << -5 << qint64(10000);
    QTest::newRow("half rounds to even (0)") << 5 << 10 << qint64(5);
    QTest::newRow("half rounds to even (2)") << 15 << 10 << qint64(17);
    QTest::newRow("half rounds to even (2 again)") << 25 << 10 << qint64(27);
    QTest::newRow("below half") << 1234 << 7 << qint64(1320); // 86.38
    QTest::newRow("full margin") << 8000 << 100 << qint64(16000);
    QTest::newRow("largest load does not wrap") << std::numeric_limits<int32_t>::max() << 100 << qint64(4294967294LL);
    QTest::newRow("zero load") << 0 << 50 << qint64(0);
    QTest::newRow("negative load") << -100 << 10 << qint64(-110);
}

void TestPowerSizing::requiredPower()
{
    QFETCH(int, load);
    QFETCH(int, margin);
    QFETCH(qint64, expected);
    QCOMPARE(RequiredPower(load, margin), expected);
}

void TestPowerSizing::powerLimit_data()
{
    QTest::addColumn<int>("load");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<bool>("within");
    QTest::newRow("at the limit") << 8000 << 0 << 8000 << true;
    QTest::newRow("margin pushes it over") << 8000 << 1 << 8000 << false;
    QTest::newRow("zero load refused") << 0 << 0 << 8000 << false;
    QTest::newRow("negative load refused") << -1 << 0 << 8000 << false;
    QTest::newRow("smallest load") << 1 << 0 << 8000 << true;
    QTest::newRow("largest load with margin") << std::numeric_limits<int32_t>::max() << 100 << 60000 << false;
}

void TestPowerSizing::powerLimit()
{
    QFETCH(int, load);
    QFETCH(int, margin);
    QFETCH(int, maximum);
    QFETCH(bool, within);
    QCOMPARE(PowerWithinLimit(load, RequiredPower(load, margin), maximum), within);
}

void TestPowerSizing::moduleSizing_data()
{
    QTest::addColumn<int>("cabinet");
    QTest::addColumn<qint64>("required");
    QTest::addColumn<bool>("inputThreePhase");
    QTest::addColumn<int>("outputKind");
    QTest::addColumn<bool>("inWatt");
    QTest::addColumn<int>("module");
    QTest::addColumn<int>("l1");
    QTest::addColumn<int>("l2");
    QTest::addColumn<int>("l3");
    // 3 x 2666.66 = 7999.98 rounds to 8000: three modules suffice.
    QTest::newRow("8000 VA on 2666.66 VA modules") << 10000 << qint64(8000) << true << 0 << false << 10180 << 1 << 1 << 1;
    QTest::newRow("8001 VA needs the next three") << 10040 << qint64(8001) << true << 0 << false << 10180 << 2 << 2 << 2;
    QTest::newRow("in W on the W rating") << 10000 << qint64(6400) << true << 1 << true << 10180 << 1 << 1 << 1;
    // Single-phase output from three-phase input: from 3, one at a time.
    QTest::newRow("single output, three-phase input") << 10040 << qint64(10000) << true << 2 << false << 10180 << 2 << 1
                                                     << 1;
    QTest::newRow("single in and out starts at 1") << 10020 << qint64(2000) << false << 2 << false << 10200 << 1 << 0
                                                  << 0;
    QTest::newRow("single in and out, two modules") << 10020 << qint64(3400) << false << 2 << false << 10200 << 1 << 1
                                                   << 0;
    QTest::newRow("three outputs from single input start at 3") << 10020 << qint64(100) << false << 0 << false
                                                               << 10200 << 1 << 1 << 1;
    QTest::newRow("twelve 5 kVA modules") << 10120 << qint64(60000) << true << 1 << false << 10220 << 4 << 4 << 4;
    QTest::newRow("zero load still gives the first count") << 10000 << qint64(0) << true << 0 << false << 10180 << 1
                                                          << 1 << 1;
}

void TestPowerSizing::moduleSizing()
{
    QFETCH(int, cabinet);
    QFETCH(qint64, required);
    QFETCH(bool, inputThreePhase);
    QFETCH(int, outputKind);
    QFETCH(bool, inWatt);
    QFETCH(int, module);
    QFETCH(int, l1);
    QFETCH(int, l2);
    QFETCH(int, l3);
    const TRequestParameters req = Request(inputThreePhase, uint8_t(outputKind), inWatt);
    TResultParameters res;
    res.ModulesL1 = 9; // cleared by the sizing
    res.RedundantL2 = 1; // left alone
    QVERIFY(SizeModules(AllModules(), cabinet, required, req, res));
    QCOMPARE(res.ModuleRecord, module);
    QCOMPARE(res.ModuleVA, CatalogueDecimal(module, 6));
    QCOMPARE(res.ModuleW, CatalogueDecimal(module, 7));
    QCOMPARE(int(res.ModulesL1), l1);
    QCOMPARE(int(res.ModulesL2), l2);
    QCOMPARE(int(res.ModulesL3), l3);
    QCOMPARE(int(res.RedundantL2), 1);
}

void TestPowerSizing::hugeLoadFindsNoModule()
{
    // The count loop ends for any load; a type that cannot carry it is not chosen.
    const TRequestParameters req = Request(true, 2);
    QCOMPARE(ModuleCount(10180, std::numeric_limits<int64_t>::max(), false, true, 2, 1), -1);
    QCOMPARE(ModuleCount(10180, 4294967294LL, false, true, 0, 3), -1);
    QCOMPARE(ModuleCount(10180, 8000, false, true, 2, 0), 3); // no step of 0
    TResultParameters res;
    ResetModuleResult(res);
    QVERIFY(!SizeModules(AllModules(), 10120, 4294967294LL, req, res));
    QCOMPARE(res.ModuleRecord, -1);
    QCOMPARE(TotalModules(res), uint8_t(0));
}

void TestPowerSizing::noModuleTheCabinetTakes()
{
    const TRequestParameters req = Request(true, 0);
    TResultParameters res;
    ResetModuleResult(res);
    QVERIFY(!SizeModules(TIntegerArray{10180, 10220}, 10020, 5000, req, res));
    QVERIFY(!SizeModules(TIntegerArray{}, 10020, 5000, req, res));
    QCOMPARE(res.ModuleRecord, -1);
    // Modules the cabinet does not take are passed over.
    QVERIFY(SizeModules(TIntegerArray{10180, 10220, 10200}, 10020, 5000, req, res));
    QCOMPARE(res.ModuleRecord, 10200);
}

void TestPowerSizing::freeSlots_data()
{
    QTest::addColumn<int>("cabinet");
    QTest::addColumn<int>("module");
    QTest::addColumn<bool>("inputThreePhase");
    QTest::addColumn<int>("outputKind");
    QTest::addColumn<QVector<int>>("used"); // working L1..L3, redundant L1..L3
    QTest::addColumn<QVector<int>>("expected");
    QTest::newRow("full 3-slot cabinet") << 10000 << 10180 << true << 0 << QVector<int>{1, 1, 1, 0, 0, 0}
                                         << QVector<int>{0, 0, 0};
    QTest::newRow("one free per phase") << 10040 << 10180 << true << 1 << QVector<int>{1, 1, 1, 0, 0, 0}
                                        << QVector<int>{1, 1, 1};
    QTest::newRow("redundant modules count") << 10120 << 10220 << true << 0 << QVector<int>{2, 1, 1, 1, 0, 2}
                                             << QVector<int>{1, 3, 1};
    QTest::newRow("over-full phase reads 0") << 10040 << 10180 << true << 2 << QVector<int>{3, 1, 1, 0, 0, 0}
                                             << QVector<int>{0, 1, 1};
    QTest::newRow("no single output on 10080") << 10080 << 10200 << true << 2 << QVector<int>{1, 1, 1, 0, 0, 0}
                                               << QVector<int>{0, 0, 0};
    QTest::newRow("no single input on 10080") << 10080 << 10200 << false << 0 << QVector<int>{1, 1, 1, 0, 0, 0}
                                              << QVector<int>{0, 0, 0};
    QTest::newRow("module the cabinet does not take") << 10040 << 10200 << true << 0
                                                      << QVector<int>{1, 1, 1, 0, 0, 0} << QVector<int>{0, 0, 0};
    QTest::newRow("single in and out on 10440") << 10440 << 10200 << false << 2 << QVector<int>{1, 1, 0, 0, 0, 0}
                                                << QVector<int>{2, 2, 3};
}

void TestPowerSizing::freeSlots()
{
    QFETCH(int, cabinet);
    QFETCH(int, module);
    QFETCH(bool, inputThreePhase);
    QFETCH(int, outputKind);
    QFETCH(QVector<int>, used);
    QFETCH(QVector<int>, expected);
    const TRequestParameters req = Request(inputThreePhase, uint8_t(outputKind));
    TResultParameters res;
    res.InverterRecord = cabinet;
    res.ModuleRecord = module;
    res.ModulesL1 = uint8_t(used[0]);
    res.ModulesL2 = uint8_t(used[1]);
    res.ModulesL3 = uint8_t(used[2]);
    res.RedundantL1 = uint8_t(used[3]);
    res.RedundantL2 = uint8_t(used[4]);
    res.RedundantL3 = uint8_t(used[5]);
    int32_t free[3] = {-9, -9, -9};
    ComputeFreeSlots(req, res, free);
    QCOMPARE((QVector<int>{free[0], free[1], free[2]}), expected);
}

void TestPowerSizing::redundancyLines_data()
{
    QTest::addColumn<int>("outputKind");
    QTest::addColumn<QVector<int>>("free");
    QTest::addColumn<QVector<int>>("lines");
    QTest::newRow("three-phase, one whole set") << 1 << QVector<int>{1, 1, 1} << QVector<int>{1};
    QTest::newRow("three-phase, no whole set") << 1 << QVector<int>{1, 1, 0} << QVector<int>{0};
    QTest::newRow("three-phase, two sets") << 1 << QVector<int>{2, 2, 2} << QVector<int>{2};
    QTest::newRow("single output, every free slot") << 2 << QVector<int>{1, 1, 0} << QVector<int>{2};
    QTest::newRow("per phase") << 0 << QVector<int>{2, 0, 1} << QVector<int>{2, 0, 1};
    QTest::newRow("nothing free") << 2 << QVector<int>{0, 0, 0} << QVector<int>{0};
}

void TestPowerSizing::redundancyLines()
{
    QFETCH(int, outputKind);
    QFETCH(QVector<int>, free);
    QFETCH(QVector<int>, lines);
    const int32_t freeCounts[3] = {free[0], free[1], free[2]};
    const uint8_t outputLines = outputKind == 2 ? 1 : 3;
    QCOMPARE(RedundancyLineCounts(uint8_t(outputKind), outputLines, freeCounts), lines);
    if (outputKind == 1)
        QCOMPARE(RedundancyLineCounts(1, 0, freeCounts), QVector<int32_t>{0});
}

void TestPowerSizing::applyRedundancy_data()
{
    QTest::addColumn<int>("outputKind");
    QTest::addColumn<QVector<int>>("modules");
    QTest::addColumn<QVector<int>>("selected");
    QTest::addColumn<QVector<int>>("redundant");
    QTest::newRow("single output, N + 2 reaches 2, 2, 2") << 2 << QVector<int>{2, 1, 1} << QVector<int>{2}
                                                          << QVector<int>{0, 1, 1};
    QTest::newRow("single output, N + 3 goes on to L1") << 2 << QVector<int>{2, 1, 1} << QVector<int>{3}
                                                        << QVector<int>{1, 1, 1};
    QTest::newRow("single output, N + 1 from 1, 1, 1") << 2 << QVector<int>{1, 1, 1} << QVector<int>{1}
                                                       << QVector<int>{1, 0, 0};
    QTest::newRow("single output, none") << 2 << QVector<int>{2, 1, 1} << QVector<int>{0} << QVector<int>{0, 0, 0};
    QTest::newRow("three-phase, one set") << 1 << QVector<int>{1, 1, 1} << QVector<int>{1} << QVector<int>{1, 1, 1};
    QTest::newRow("per phase") << 0 << QVector<int>{1, 1, 1} << QVector<int>{1, 0, 2} << QVector<int>{1, 0, 2};
    QTest::newRow("missing per-phase entries count 0") << 0 << QVector<int>{1, 1, 1} << QVector<int>{1}
                                                       << QVector<int>{1, 0, 0};
    QTest::newRow("huge index stops at the byte limit") << 2 << QVector<int>{0, 0, 0} << QVector<int>{1000000}
                                                        << QVector<int>{255, 255, 255};
    QTest::newRow("three-phase index beyond a byte") << 1 << QVector<int>{1, 1, 1} << QVector<int>{300}
                                                     << QVector<int>{255, 255, 255};
    QTest::newRow("negative index counts 0") << 1 << QVector<int>{1, 1, 1} << QVector<int>{-1}
                                             << QVector<int>{0, 0, 0};
}

void TestPowerSizing::applyRedundancy()
{
    QFETCH(int, outputKind);
    QFETCH(QVector<int>, modules);
    QFETCH(QVector<int>, selected);
    QFETCH(QVector<int>, redundant);
    TResultParameters res;
    res.ModulesL1 = uint8_t(modules[0]);
    res.ModulesL2 = uint8_t(modules[1]);
    res.ModulesL3 = uint8_t(modules[2]);
    res.RedundantL1 = res.RedundantL2 = res.RedundantL3 = 7; // an earlier choice is replaced
    ApplyRedundancyChoice(uint8_t(outputKind), selected, res);
    QCOMPARE((QVector<int>{res.RedundantL1, res.RedundantL2, res.RedundantL3}), redundant);
}

void TestPowerSizing::resultHelpers()
{
    TResultParameters res;
    res.ModulesL1 = 100;
    res.ModulesL2 = 100;
    res.ModulesL3 = 50;
    res.RedundantL1 = 10;
    QCOMPARE(TotalModules(res), uint8_t(4)); // 260 modulo 256
    const TPhaseTotals totals = PhaseTotals(res);
    QCOMPARE(int(totals.L1), 110);
    QCOMPARE(int(totals.L2), 100);
    QCOMPARE(int(totals.L3), 50);

    ResetModuleResult(res);
    QCOMPARE(res.ModuleRecord, -1);
    QCOMPARE(res.ModuleVA, -1.0f);
    QCOMPARE(res.ModuleW, -1.0f);
    QCOMPARE(TotalModules(res), uint8_t(0));

    // Three 3,4 kVA modules: 9999.99 VA and 7999.98 W, rounded 10000 and 8000.
    res.ModuleVA = CatalogueDecimal(10200, 6);
    res.ModuleW = CatalogueDecimal(10200, 7);
    res.ModulesL1 = res.ModulesL2 = res.ModulesL3 = 1;
    float watt = 0, va = 0;
    ModulePowerTotals(res, watt, va);
    QCOMPARE(va, 3.0f * 3333.33f);
    QCOMPARE(watt, 3.0f * 2666.66f);
    int32_t w = 0, v = 0;
    ModulePowerTotalsRounded(res, w, v);
    QCOMPARE(v, 10000);
    QCOMPARE(w, 8000);
    // One module: halves round to the even neighbour.
    res.ModulesL2 = res.ModulesL3 = 0;
    res.ModuleW = 2.5f;
    res.ModuleVA = 3.5f;
    ModulePowerTotalsRounded(res, w, v);
    QCOMPARE(w, 2);
    QCOMPARE(v, 4);

    TRequestParameters req;
    req.OnlyInverter = true;
    req.EmptyDrawers = true;
    QVERIFY(!OnlyInverterActive(req) && !EmptyDrawersActive(req));
    req.SpecialConfig = true;
    QVERIFY(OnlyInverterActive(req) && EmptyDrawersActive(req));
}

void TestPowerSizing::minutesSplitAndJoin_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("rest");
    QTest::newRow("below an hour") << 59 << 0 << 59;
    QTest::newRow("one hour") << 60 << 1 << 0;
    QTest::newRow("20 hours") << 1200 << 20 << 0;
    QTest::newRow("hours and minutes") << 135 << 2 << 15;
    QTest::newRow("zero") << 0 << 0 << 0;
    QTest::newRow("negative stays minutes") << -30 << 0 << -30;
}

void TestPowerSizing::minutesSplitAndJoin()
{
    QFETCH(int, minutes);
    QFETCH(int, hours);
    QFETCH(int, rest);
    int32_t h = -1, m = -1;
    MinutesSplit(minutes, h, m);
    QCOMPARE(h, hours);
    QCOMPARE(m, rest);
    QCOMPARE(MinutesJoin(h, m), minutes);
}

QTEST_GUILESS_MAIN(TestPowerSizing)
#include "test_power_sizing.moc"
