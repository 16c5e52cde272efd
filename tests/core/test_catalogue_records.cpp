// The catalogue records by family: each named member holds the field the
// family's layout gives it, for real records of every family, and an id that
// is no record reads the defaults.

#include "CatalogueRecords.h"

#include <QtTest>

class TestCatalogueRecords : public QObject {
    Q_OBJECT

private slots:
    void powerModules_data();
    void powerModules();
    void inverterCabinets_data();
    void inverterCabinets();
    void batteryKits_data();
    void batteryKits();
    void batteryCabinetsAndEmptyKit();
    void accessoriesAndContracts_data();
    void accessoriesAndContracts();
    void noRecordReadsTheDefaults_data();
    void noRecordReadsTheDefaults();
};

void TestCatalogueRecords::powerModules_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<float>>("figures"); // kg, VA, W, curve VA, curve W, A, cost
    QTest::newRow("2,7 kVA") << 10180 << 2091 << "UpsItemPowerModule_27"
                             << QList<float>{8.2f, 2666.66f, 2133.33f, 3333.33f, 2666.66f, 1.5f, 700.0f};
    QTest::newRow("5 kVA") << 10220 << 2111 << "UpsItemPowerModule_50"
                           << QList<float>{8.4f, 5000.0f, 4000.0f, 5000.0f, 4000.0f, 2.5f, 1100.0f};
    QTest::newRow("3,4 kVA counted, 5 kVA on the curve")
        << 10300 << 2161 << "UpsItemPowerModule_34"
        << QList<float>{8.4f, 3333.33f, 2666.66f, 5000.0f, 4000.0f, 2.5f, 800.0f};
}

void TestCatalogueRecords::powerModules()
{
    QFETCH(int, record);
    QFETCH(int, code);
    QFETCH(QString, key);
    QFETCH(QList<float>, figures);
    const TPowerModuleRecord &m = PowerModule(record);
    QCOMPARE(m.ProductCode, code);
    QCOMPARE(m.ProductCodeText, QString::number(code));
    QCOMPARE(m.DescriptionKey, key);
    const QList<float> read{m.WeightKg,     m.RatingVA,       m.RatingW,   m.CurveRatingVA,
                            m.CurveRatingW, m.ChargeCurrentA, m.CostWeight};
    QCOMPARE(read, figures);
    QCOMPARE(m.EfficiencyCurve.size(), 6);
    QCOMPARE(m.EfficiencyCurve[2].X, 9.0f);
    QCOMPARE(m.EfficiencyCurve[2].Y, 0.88f);
}

void TestCatalogueRecords::inverterCabinets_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("slotsPerPhase");
    QTest::addColumn<int>("kitPositions");
    QTest::addColumn<QString>("phases"); // fields 10 to 13
    QTest::addColumn<TIntegerArray>("modules");
    QTest::addColumn<QList<int>>("limits"); // VA, W, preferred cabinet key
    QTest::addColumn<float>("weight");
    QTest::addColumn<QString>("dimensions");
    QTest::newRow("3 slot") << 10000 << 1 << 12 << "1111" << TIntegerArray{10180} << QList<int>{8000, 6400, 2003}
                            << 86.0f << "414 x 1345 x 628";
    QTest::newRow("9 slot, three-phase only") << 10080 << 3 << 0 << "0001" << TIntegerArray{10200}
                                              << QList<int>{30000, 24000, 2043} << 82.0f << "414 x 1345 x 628";
    QTest::newRow("9 slot, every combination but three-phase to three lines")
        << 10440 << 3 << 0 << "1110" << TIntegerArray{10200} << QList<int>{30000, 24000, 2043} << 82.0f
        << "414 x 1345 x 628";
    QTest::newRow("12 slot") << 10420 << 4 << 0 << "0001" << TIntegerArray{10300} << QList<int>{40000, 32000, 2223}
                             << 116.0f << "414 x 1650 x 628";
}

void TestCatalogueRecords::inverterCabinets()
{
    QFETCH(int, record);
    QFETCH(int, slotsPerPhase);
    QFETCH(int, kitPositions);
    QFETCH(QString, phases);
    QFETCH(TIntegerArray, modules);
    QFETCH(QList<int>, limits);
    QFETCH(float, weight);
    QFETCH(QString, dimensions);
    const TInverterCabinetRecord &c = InverterCabinet(record);
    QCOMPARE(QList<int>({c.Slots[0], c.Slots[1], c.Slots[2]}), QList<int>(3, slotsPerPhase));
    QCOMPARE(c.TotalSlots(), 3 * slotsPerPhase);
    QCOMPARE(c.KitPositions, kitPositions);
    const auto flags = [](std::initializer_list<bool> list) {
        QString text;
        for (bool f : list)
            text += f ? u'1' : u'0';
        return text;
    };
    QCOMPARE(flags({c.SingleInSingleOut, c.SingleInThreeLineOut, c.ThreeInSingleOut, c.ThreeInThreeLineOut}), phases);
    const bool singleIn = false, threeIn = true, singleOut = true, threeLines = false;
    QCOMPARE(flags({c.Supports(singleIn, singleOut), c.Supports(singleIn, threeLines), c.Supports(threeIn, singleOut),
                    c.Supports(threeIn, threeLines)}),
             phases);
    QCOMPARE(c.ModuleTypes, modules);
    QVERIFY(c.Accepts(modules.first()));
    QVERIFY(!c.Accepts(10240));
    QCOMPARE(QList<int>({c.MaxVA, c.MaxW, c.PreferredCabinetKey}), limits);
    QCOMPARE(c.WeightKg, weight);
    QCOMPARE(c.Dimensions, dimensions);
}

void TestCatalogueRecords::batteryKits_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<float>>("figures"); // kg, Ah, threshold, cost
    QTest::addColumn<int>("kitsPerString");
    QTest::addColumn<bool>("modular");
    QTest::addColumn<int>("tablePoints");
    QTest::newRow("7,2 Ah") << 10240 << "7,2 Ah" << "UpsItemBatteryKit_72" << QList<float>{14.0f, 7.2f, 0.15f, 170.0f}
                            << 4 << true << 17;
    QTest::newRow("9,0 Ah") << 10260 << "9,0 Ah" << "UpsItemBatteryKit_90" << QList<float>{14.0f, 9.0f, 0.35f, 215.0f}
                            << 4 << true << 17;
    QTest::newRow("94 Ah, for the non-modular cabinet")
        << 10480 << "94 Ah" << "" << QList<float>{0.0f, 94.0f, 0.0f, 0.0f} << 1 << false << 12;
}

void TestCatalogueRecords::batteryKits()
{
    QFETCH(int, record);
    QFETCH(QString, label);
    QFETCH(QString, key);
    QFETCH(QList<float>, figures);
    QFETCH(int, kitsPerString);
    QFETCH(bool, modular);
    QFETCH(int, tablePoints);
    const TBatteryKitRecord &k = BatteryKit(record);
    QCOMPARE(k.Label, label);
    QCOMPARE(k.DescriptionKey, key);
    QCOMPARE(QList<float>({k.WeightKg, k.CapacityAh, k.RoundThreshold, k.CostWeight}), figures);
    QCOMPARE(k.KitsPerString, kitsPerString);
    QCOMPARE(k.ForModularCabinet, modular);
    QCOMPARE(k.DischargeTable.size(), tablePoints);
}

void TestCatalogueRecords::batteryCabinetsAndEmptyKit()
{
    const TBatteryCabinetRecord &modular = BatteryCabinet(10160);
    QCOMPARE(modular.ProductCodeText, QStringLiteral("2081"));
    QCOMPARE(modular.DescriptionKey, QStringLiteral("UpsItemBatteryCabinetModular_20"));
    QCOMPARE(modular.WeightKg, 95.0f);
    QCOMPARE(modular.Dimensions, QStringLiteral("414 x 1650 x 628"));
    QCOMPARE(modular.KitPositions, 20);
    QCOMPARE(modular.CostWeight, 1700.0f);

    const TBatteryCabinetRecord &single = BatteryCabinet(10460);
    QCOMPARE(single.ProductCode, 2151);
    QCOMPARE(single.WeightKg, 760.0f);
    QCOMPARE(single.Dimensions, QStringLiteral("600 x 1635 x 800"));
    QCOMPARE(single.KitPositions, 1);
    QCOMPARE(single.CostWeight, 0.0f);

    const TEmptyKitRecord &empty = EmptyKit(10280);
    QCOMPARE(empty.ProductCode, 2141);
    QCOMPARE(empty.DescriptionKey, QStringLiteral("UpsItemBatteryKitEmpty"));
    QCOMPARE(empty.WeightKg, 5.7f);
    QCOMPARE(empty.KitPositions, 4);
}

void TestCatalogueRecords::accessoriesAndContracts_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("editable");
    QTest::newRow("CS121") << 20000 << 3001 << "CS121 SK" << "AccessoriesItemCs121" << 0 << "1" << false;
    QTest::newRow("RCCMD 50") << 20180 << 3081 << "RCCMD" << "AccessoriesItemRccmd" << -1 << "50" << true;
    QTest::newRow("last contract") << 20640 << 4201 << "Canone E" << "ContractsItem_E" << 6 << "1" << false;
}

void TestCatalogueRecords::accessoriesAndContracts()
{
    QFETCH(int, record);
    QFETCH(int, code);
    QFETCH(QString, label);
    QFETCH(QString, key);
    QFETCH(int, group);
    QFETCH(QString, argument);
    QFETCH(bool, editable);
    const TAccessoryRecord &a = Accessory(record);
    QCOMPARE(a.ProductCode, code);
    QCOMPARE(a.Label, label);
    QCOMPARE(a.DescriptionKey, key);
    QCOMPARE(a.ExclusionGroup, group);
    QCOMPARE(a.Argument, argument);
    QCOMPARE(a.QuantityEditable, editable);
}

void TestCatalogueRecords::noRecordReadsTheDefaults_data()
{
    QTest::addColumn<int>("record");
    QTest::newRow("-1") << -1;
    QTest::newRow("0") << 0;
    QTest::newRow("after the UPS area") << 10500;
    QTest::newRow("after the accessory area") << 20660;
}

void TestCatalogueRecords::noRecordReadsTheDefaults()
{
    QFETCH(int, record);
    const TCatalogueRecord &item = CatalogueRecord(record);
    QCOMPARE(item.ProductCode, -1);
    QVERIFY(item.ProductCodeText.isEmpty() && item.DescriptionKey.isEmpty());

    const TPowerModuleRecord &m = PowerModule(record);
    QCOMPARE(QList<float>({m.RatingVA, m.RatingW, m.CurveRatingVA, m.CostWeight, m.ChargeCurrentA}),
             QList<float>(5, 0.0f));
    QVERIFY(m.EfficiencyCurve.isEmpty());

    const TInverterCabinetRecord &c = InverterCabinet(record);
    QCOMPARE(QList<int>({c.TotalSlots(), c.KitPositions, c.MaxVA, c.MaxW, c.PreferredCabinetKey}),
             QList<int>({0, 0, 0, 0, -1}));
    QVERIFY(!c.SinglePhaseInput() && !c.SinglePhaseOutput() && !c.Supports(true, false));
    QVERIFY(c.ModuleTypes.isEmpty());

    const TBatteryKitRecord &k = BatteryKit(record);
    QCOMPARE(k.KitsPerString, 0);
    QVERIFY(!k.ForModularCabinet && k.DischargeTable.isEmpty());
    QCOMPARE(BatteryCabinet(record).KitPositions, 0);
    QCOMPARE(EmptyKit(record).KitPositions, 0);

    const TAccessoryRecord &a = Accessory(record);
    QCOMPARE(a.ExclusionGroup, -1);
    QVERIFY(!a.QuantityEditable && a.Label.isEmpty());
}

QTEST_GUILESS_MAIN(TestCatalogueRecords)
#include "test_catalogue_records.moc"
