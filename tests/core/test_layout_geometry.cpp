// The cabinet drawing without a window: drawing tables, positions on the
// 605-pixel paint box, floor line, module columns, kit stacks, labels, bounds
// and the captured rectangle, and the wizard preview.

#include "Globals.h"
#include "LayoutGeometry.h"
#include "TestSupport.h"

#include <QtTest>

namespace {

// Catalogue records of the built-in catalogue used below.
constexpr int32_t kInverter13 = 10000;   // "2001", 1_3, kit positions
constexpr int32_t kInverter19 = 10080;   // "2041", 1_9, no kit positions
constexpr int32_t kInverter23 = 10320;   // "2171", 2_3, height 350
constexpr int32_t kBattery16 = 10140;    // "2071", 16 kits, height 280
constexpr int32_t kBattery20 = 10160;    // "2081", 20 kits, height 350
constexpr int32_t kBatteryYuasa = 10460; // "2151", non-modular, 132 x 340
constexpr int32_t kModule34 = 10200;     // "2101", 23 x 53 / 15 x 35
constexpr int32_t kModule50 = 10220;     // "2111", 23 x 54 / 15 x 37

// Every character 7 pixels wide, 15 high: enough to check the centring rule.
QSize FakeMeasure(const QString &text) { return QSize(7 * text.size(), 15); }

QVector<TLayoutPicture> PicturesNamed(const TLayoutDrawing &d, const QString &name)
{
    QVector<TLayoutPicture> found;
    for (const TLayoutPicture &p : d.Pictures)
        if (p.Name == name)
            found.append(p);
    return found;
}

struct TScenario {
    TRequestParameters Request;
    TResultParameters Result;
};

// A modular installation: 2_3 inverter with 3/3/3 modules and 16-kit cabinets.
TScenario ModularScenario(int32_t cabinets, uint8_t kitsInLast)
{
    TScenario s;
    s.Request.ModularBatteryCabinet = true;
    s.Result.InverterRecord = kInverter23;
    s.Result.InverterSlots = 3;
    s.Result.InverterKitPositions = 0;
    s.Result.ModuleRecord = kModule34;
    s.Result.ModulesL1 = s.Result.ModulesL2 = s.Result.ModulesL3 = 1;
    s.Result.BatteryCabinetRecord = kBattery16;
    s.Result.BatteryCabinetCount = cabinets;
    s.Result.KitsInLastCabinet = kitsInLast;
    s.Result.KitsPerString = 4;
    s.Result.BatteryKitCount = (cabinets - (kitsInLast > 0 ? 1 : 0)) * 16 + kitsInLast;
    return s;
}

} // namespace

class TestLayoutGeometry : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void tablesHoldTheFixedRowsInOrder();
    void tableRows_data();
    void tableRows();
    void buildingTwiceDoesNotDoubleRows();
    void lookUps_data();
    void lookUps();

    void positions_data();
    void positions();
    void twoCabinetsSecondPartlyFilled();
    void cabinetsStandOnTheFloorLine();
    void moduleColumns_data();
    void moduleColumns();
    void inverterKits_data();
    void inverterKits();
    void partialCabinetKits_data();
    void partialCabinetKits();
    void centredLabelX_data();
    void centredLabelX();
    void labelsAndBounds();
    void nonModularCabinets();
    void itemsWithoutDrawingRow();
    void captureCoversPicturesAndLabels();

    void previewPages_data();
    void previewPages();
    void previewModulesAtSmallScale();
    void previewLeavesLayoutBoundsAlone();
};

void TestLayoutGeometry::initTestCase()
{
    SetupData.ProgramPath = BuiltProgramPath();
    SetupData.LanguageFile = "English.lng";
}

void TestLayoutGeometry::init() { BuildDrawingTables(); }

void TestLayoutGeometry::tablesHoldTheFixedRowsInOrder()
{
    const QStringList inverterCodes{"2001", "2011", "2021", "2031", "2041", "2231", "2171",
                                    "2181", "2191", "2201", "2211", "2051", "2221", "2061"};
    QStringList codes;
    for (const auto &row : BitmapInverters)
        codes << row.Code;
    QCOMPARE(codes, inverterCodes);

    codes.clear();
    for (const auto &row : BitmapBatteries)
        codes << row.Code;
    QCOMPARE(codes, QStringList({"2071", "2081", "2151"}));

    codes.clear();
    for (const auto &row : BitmapModules)
        codes << row.Code;
    QCOMPARE(codes, QStringList({"2091", "2101", "2111", "2161"}));

    QCOMPARE(BitmapKb.Name, QString("BatteryKb"));
    QCOMPARE(BitmapKb.Width, 69);
    QCOMPARE(BitmapKb.Height, 48);

    ClearDrawingTables();
    QVERIFY(BitmapInverters.isEmpty());
    QVERIFY(BitmapBatteries.isEmpty());
    QVERIFY(BitmapModules.isEmpty());
    QVERIFY(BitmapKb.Name.isEmpty());
    QCOMPARE(FindBitmapInverter("2001"), -1);
}

void TestLayoutGeometry::tableRows_data()
{
    QTest::addColumn<QString>("code");
    // big name, height, kit top, kit left, module top, module left, small name, width, height, module top, left
    QTest::addColumn<QString>("bigName");
    QTest::addColumn<QList<int>>("big");
    QTest::addColumn<QString>("smallName");
    QTest::addColumn<QList<int>>("small");

    QTest::newRow("2001") << "2001" << "InverterCabinet_1_3" << QList<int>{280, 172, 11, 23, 11}
                          << "InverterCabinetSmall_1_3" << QList<int>{60, 188, 16, 8};
    QTest::newRow("2031 repeats 2021") << "2031" << "InverterCabinet_1_6" << QList<int>{280, 172, 11, 20, 11}
                                       << "InverterCabinetSmall_1_6" << QList<int>{60, 188, 15, 8};
    QTest::newRow("2231 repeats 2041") << "2231" << "InverterCabinet_1_9" << QList<int>{280, 0, 0, 21, 11}
                                       << "InverterCabinetSmall_1_9" << QList<int>{60, 188, 15, 8};
    QTest::newRow("2181 repeats 2171") << "2181" << "InverterCabinet_2_3" << QList<int>{350, 238, 11, 22, 11}
                                       << "InverterCabinetSmall_2_3" << QList<int>{60, 239, 15, 9};
    QTest::newRow("2201") << "2201" << "InverterCabinet_2_6_no_batt" << QList<int>{350, 0, 0, 22, 11}
                          << "InverterCabinetSmall_2_6_no_batt" << QList<int>{60, 239, 15, 9};
    QTest::newRow("2051 repeats 2211") << "2051" << "InverterCabinet_2_9" << QList<int>{350, 0, 0, 22, 11}
                                       << "InverterCabinetSmall_2_9" << QList<int>{60, 239, 15, 9};
    QTest::newRow("2061 repeats 2221") << "2061" << "InverterCabinet_2_12" << QList<int>{350, 0, 0, 22, 11}
                                       << "InverterCabinetSmall_2_12" << QList<int>{60, 239, 15, 9};
}

void TestLayoutGeometry::tableRows()
{
    QFETCH(QString, code);
    QFETCH(QString, bigName);
    QFETCH(QList<int>, big);
    QFETCH(QString, smallName);
    QFETCH(QList<int>, small);
    const int32_t row = FindBitmapInverter(code);
    QVERIFY(row >= 0);
    const TBitmapInverter &r = BitmapInverters[row];
    QCOMPARE(r.Big.Name, bigName);
    QCOMPARE((QList<int>{r.Big.Height, r.Big.KitTop, r.Big.KitLeft, r.Big.ModuleTop, r.Big.ModuleLeft}), big);
    QCOMPARE(r.Small.Name, smallName);
    QCOMPARE((QList<int>{r.Small.Width, r.Small.Height, r.Small.ModuleTop, r.Small.ModuleLeft}), small);
}

void TestLayoutGeometry::buildingTwiceDoesNotDoubleRows()
{
    BuildDrawingTables();
    QCOMPARE(BitmapInverters.size(), 14);
    QCOMPARE(BitmapBatteries.size(), 3);
    QCOMPARE(BitmapModules.size(), 4);

    const TBitmapBattery &yuasa = BitmapBatteries[2];
    QCOMPARE(yuasa.NamePrefix, QString("BatteryCabinet_Yuasa_94_"));
    QCOMPARE((QList<int>{yuasa.Height, yuasa.Width, yuasa.KitTop, yuasa.KitLeft}), (QList<int>{340, 132, 0, 0}));
    const TBitmapBattery &b20 = BitmapBatteries[1];
    QCOMPARE((QList<int>{b20.Height, b20.Width, b20.KitTop, b20.KitLeft}), (QList<int>{350, 89, 219, 12}));
    const TBitmapModule &m50 = BitmapModules[3];
    QCOMPARE(m50.Big.Name, QString("PowerModule_50"));
    QCOMPARE((QList<int>{m50.Big.Width, m50.Big.Height, m50.Small.Width, m50.Small.Height}),
             (QList<int>{23, 54, 15, 37}));
    QCOMPARE(m50.Small.Name, QString("PowerModuleSmall_50"));
}

void TestLayoutGeometry::lookUps_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("expected");

    QTest::newRow("inverter first row") << "inverter" << kInverter13 << 0;
    QTest::newRow("inverter 2_3") << "inverter" << kInverter23 << 6;
    QTest::newRow("inverter 2061 last row") << "inverter" << 10120 << 13;
    QTest::newRow("battery cabinet as inverter") << "inverter" << kBattery16 << -1;
    QTest::newRow("no inverter") << "inverter" << -1 << -1;
    QTest::newRow("battery 16") << "battery" << kBattery16 << 0;
    QTest::newRow("battery non-modular") << "battery" << kBatteryYuasa << 2;
    QTest::newRow("no battery cabinet") << "battery" << -1 << -1;
    QTest::newRow("module 2,7 kVA") << "module" << 10180 << 0;
    QTest::newRow("module 5 kVA") << "module" << kModule50 << 2;
    QTest::newRow("module 2161") << "module" << 10300 << 3;
    QTest::newRow("no module") << "module" << -1 << -1;
    QTest::newRow("record beyond the catalogue") << "module" << 99980 << -1;
}

void TestLayoutGeometry::lookUps()
{
    QFETCH(QString, table);
    QFETCH(int, record);
    QFETCH(int, expected);
    if (table == "inverter")
        QCOMPARE(FindBitmapInverterRecord(record), expected);
    else if (table == "battery")
        QCOMPARE(FindBitmapBatteryRecord(record), expected);
    else
        QCOMPARE(FindBitmapModuleRecord(record), expected);
    QCOMPARE(FindBitmapModule(QString()), -1);
    QCOMPARE(FindBitmapModule(" 2091"), -1); // exact text comparison
}

void TestLayoutGeometry::positions_data()
{
    QTest::addColumn<bool>("onlyInverter");
    QTest::addColumn<int>("cabinets");
    QTest::addColumn<int>("kitsInLast");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("fullCabinets");
    QTest::addColumn<int>("inverterX");
    QTest::addColumn<int>("fullX");
    QTest::addColumn<int>("partialX");

    QTest::newRow("two, second partly filled") << false << 2 << 8 << 605 << 1 << 82 << 258 << 430;
    QTest::newRow("five, last partly filled") << false << 5 << 4 << 605 << 4 << 82 << 258 << 430;
    QTest::newRow("one partly filled") << false << 1 << 8 << 605 << 0 << 150 << 0 << 348;
    QTest::newRow("one full") << false << 1 << 0 << 605 << 1 << 150 << 348 << 0;
    QTest::newRow("three full") << false << 3 << 0 << 605 << 3 << 150 << 348 << 0;
    QTest::newRow("only inverter") << true << 2 << 8 << 605 << 0 << 248 << 0 << 0;
    QTest::newRow("no battery cabinet") << false << 0 << 0 << 605 << 0 << 248 << 0 << 0;
    QTest::newRow("odd width rounds toward zero") << false << 2 << 8 << 600 << 1 << 82 << 255 << 430;
    QTest::newRow("narrow box, inverter alone") << false << 0 << 0 << 60 << 0 << -24 << 0 << 0;
}

void TestLayoutGeometry::positions()
{
    QFETCH(bool, onlyInverter);
    QFETCH(int, cabinets);
    QFETCH(int, kitsInLast);
    QFETCH(int, width);
    QFETCH(int, fullCabinets);
    QFETCH(int, inverterX);
    QFETCH(int, fullX);
    QFETCH(int, partialX);

    TScenario s = ModularScenario(cabinets, uint8_t(kitsInLast));
    s.Request.SpecialConfig = onlyInverter;
    s.Request.OnlyInverter = onlyInverter;
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, width, FakeMeasure);
    QCOMPARE(d.FullCabinets, fullCabinets);
    QCOMPARE(d.InverterX, inverterX);
    QCOMPARE(d.FullX, fullX);
    QCOMPARE(d.PartialX, partialX);

    // Exactly the cabinets that exist are drawn, each with one label.
    QCOMPARE(PicturesNamed(d, "BatteryCabinet_16_Full").size(), fullCabinets > 0 ? 1 : 0);
    const bool partial = !onlyInverter && kitsInLast > 0 && cabinets > 0;
    QCOMPARE(PicturesNamed(d, "BatteryCabinet_16_Empty").size(), partial ? 1 : 0);
    QCOMPARE(d.Labels.size(), 1 + (fullCabinets > 0 ? 1 : 0) + (partial ? 1 : 0));
    const QVector<TLayoutPicture> inverter = PicturesNamed(d, "InverterCabinet_2_3");
    QCOMPARE(inverter.size(), 1);
    QCOMPARE(inverter[0].Rect.left(), inverterX);
    if (fullCabinets > 0)
        QCOMPARE(PicturesNamed(d, "BatteryCabinet_16_Full")[0].Rect.left(), fullX);
    if (partial)
        QCOMPARE(PicturesNamed(d, "BatteryCabinet_16_Empty")[0].Rect.left(), partialX);
    if (onlyInverter || cabinets == 0)
        QVERIFY(PicturesNamed(d, "BatteryKb").isEmpty());
}

void TestLayoutGeometry::twoCabinetsSecondPartlyFilled()
{
    TScenario s = ModularScenario(2, 8);
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    QCOMPARE(d.Labels.size(), 3);
    // Inverter, full cabinets, partial cabinet: both battery labels say 1.
    QVERIFY(d.Labels[0].Text.contains("3"));
    QVERIFY(!d.Labels[0].Text.contains('%'));
    QVERIFY(d.Labels[1].Text.contains("1"));
    QCOMPARE(d.Labels[1].Text, d.Labels[2].Text);
    QVERIFY(!d.Labels[1].Text.contains('%'));
    QCOMPARE(d.Labels[1].Y, kLayoutBatteryLabelY);
    QCOMPARE(d.Labels[2].Y, kLayoutBatteryLabelY);
    // Each label is centred under its own cabinet.
    const int w = d.Labels[1].Size.width();
    QCOMPARE(d.Labels[1].X, 258 + (89 - w) / 2);
    QCOMPARE(d.Labels[2].X, 430 + (89 - w) / 2);

    // Three full cabinets: the one picture is labelled with the count.
    TScenario four = ModularScenario(4, 8);
    const TLayoutDrawing d4 = BuildLayoutDrawing(four.Request, four.Result, kLayoutBoxWidth, FakeMeasure);
    QVERIFY(d4.Labels[1].Text.contains("3"));
    QVERIFY(!d4.Labels[1].Text.contains("1"));
    QVERIFY(d4.Labels[2].Text.contains("1"));
}

void TestLayoutGeometry::cabinetsStandOnTheFloorLine()
{
    TScenario s = ModularScenario(2, 8);
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    for (const char *name : {"InverterCabinet_2_3", "BatteryCabinet_16_Full", "BatteryCabinet_16_Empty"}) {
        const QVector<TLayoutPicture> p = PicturesNamed(d, name);
        QCOMPARE(p.size(), 1);
        QCOMPARE(p[0].Rect.top() + p[0].Rect.height(), kLayoutFloorY);
        QVERIFY(p[0].Transparent);
    }
    QCOMPARE(PicturesNamed(d, "InverterCabinet_2_3")[0].Rect, QRect(82, 28, 89, 350));
    QCOMPARE(PicturesNamed(d, "BatteryCabinet_16_Full")[0].Rect, QRect(258, 98, 89, 280));
    // The inverter is the tallest: the drawing starts at its top.
    QCOMPARE(d.Bounds.Top, 28);

    // A 1_3 inverter (280) beside 20-kit cabinets (350): the battery cabinet is the top.
    s.Result.InverterRecord = kInverter13;
    s.Result.BatteryCabinetRecord = kBattery20;
    const TLayoutDrawing d2 = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    QCOMPARE(PicturesNamed(d2, "InverterCabinet_1_3")[0].Rect, QRect(82, 98, 89, 280));
    QCOMPARE(PicturesNamed(d2, "BatteryCabinet_20_Empty")[0].Rect, QRect(430, 28, 89, 350));
    QCOMPARE(d2.Bounds.Top, 28);
    // The inverter label sits 20 pixels below the floor line like the battery labels.
    QCOMPARE(d2.Labels[0].Y, 398);
}

void TestLayoutGeometry::moduleColumns_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<QList<int>>("counts"); // working L1..L3, then redundant L1..L3
    QTest::addColumn<int>("step");

    QTest::newRow("3/3/3 at 53") << kModule34 << QList<int>{3, 3, 3, 0, 0, 0} << 51;
    QTest::newRow("2+1 redundant per phase") << kModule34 << QList<int>{2, 2, 2, 1, 1, 1} << 51;
    QTest::newRow("3/3/3 at 54") << kModule50 << QList<int>{3, 3, 3, 0, 0, 0} << 52;
    QTest::newRow("single-phase output, 4 modules on L1") << kModule50 << QList<int>{3, 0, 0, 1, 0, 0} << 52;
}

void TestLayoutGeometry::moduleColumns()
{
    QFETCH(int, module);
    QFETCH(QList<int>, counts);
    QFETCH(int, step);

    TScenario s = ModularScenario(2, 8);
    s.Result.ModuleRecord = module;
    s.Result.ModulesL1 = uint8_t(counts[0]);
    s.Result.ModulesL2 = uint8_t(counts[1]);
    s.Result.ModulesL3 = uint8_t(counts[2]);
    s.Result.RedundantL1 = uint8_t(counts[3]);
    s.Result.RedundantL2 = uint8_t(counts[4]);
    s.Result.RedundantL3 = uint8_t(counts[5]);
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);

    const QString name = module == kModule34 ? "PowerModule_34" : "PowerModule_50";
    const int height = module == kModule34 ? 53 : 54;
    // Module origin of the 2_3 cabinet at x = 82: (82 + 11, 28 + 22).
    const int x0 = 82 + 11;
    const int top = 28 + 22;
    QVector<QRect> expected;
    for (int phase = 0; phase < 3; ++phase)
        for (int i = 0; i < counts[phase] + counts[phase + 3]; ++i)
            expected << QRect(x0 + phase * 23, top + i * step, 23, height);
    QVector<QRect> actual;
    for (const TLayoutPicture &p : PicturesNamed(d, name)) {
        QVERIFY(p.Transparent);
        actual << p.Rect;
    }
    QCOMPARE(actual, expected);

    // Modules are drawn after their cabinet so they lie on top of it.
    QCOMPARE(d.Pictures.first().Name, QString("InverterCabinet_2_3"));
}

void TestLayoutGeometry::inverterKits_data()
{
    QTest::addColumn<bool>("onlyInverter");
    QTest::addColumn<int>("kitPositions");
    QTest::addColumn<int>("kitsPerString");
    QTest::addColumn<int>("kitCount");
    QTest::addColumn<int>("expectedKits");

    // A = positions div kits per string, no more than B = kit count div kits per string unless B = 0.
    QTest::newRow("A 3, B 2") << false << 12 << 4 << 8 << 2;
    QTest::newRow("A 3, B 10") << false << 12 << 4 << 40 << 3;
    QTest::newRow("A 3, B 0") << false << 12 << 4 << 0 << 3;
    QTest::newRow("A 1 of 6 positions, strings of 4") << false << 6 << 4 << 8 << 1;
    QTest::newRow("A 0: fewer positions than a string") << false << 3 << 4 << 8 << 0;
    QTest::newRow("no kit positions") << false << 0 << 4 << 8 << 0;
    QTest::newRow("only inverter") << true << 12 << 4 << 8 << 0;
    QTest::newRow("no kits per string") << false << 12 << 0 << 8 << 0;
}

void TestLayoutGeometry::inverterKits()
{
    QFETCH(bool, onlyInverter);
    QFETCH(int, kitPositions);
    QFETCH(int, kitsPerString);
    QFETCH(int, kitCount);
    QFETCH(int, expectedKits);

    TScenario s = ModularScenario(1, 0);
    s.Request.SpecialConfig = onlyInverter;
    s.Request.OnlyInverter = onlyInverter;
    s.Result.InverterRecord = kInverter13;
    s.Result.InverterKitPositions = uint8_t(kitPositions);
    s.Result.KitsPerString = kitsPerString;
    s.Result.BatteryKitCount = kitCount;
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);

    // The 1_3 cabinet stands at x = 150, top 98; kit origin (150 + 11, 98 + 172).
    const QVector<TLayoutPicture> kits = PicturesNamed(d, "BatteryKb");
    QCOMPARE(kits.size(), expectedKits);
    for (int i = 0; i < kits.size(); ++i) {
        QCOMPARE(kits[i].Rect, QRect(161, 270 - 48 * i, 69, 48));
        QVERIFY(!kits[i].Transparent);
    }
    // The modular rule leaves the kit positions as they are.
    QCOMPARE(int(s.Result.InverterKitPositions), kitPositions);
}

void TestLayoutGeometry::partialCabinetKits_data()
{
    QTest::addColumn<int>("battery");
    QTest::addColumn<int>("kitsInLast");
    QTest::addColumn<int>("kitsPerString");
    QTest::addColumn<QVector<QRect>>("expected");

    // Partial cabinet at x = 430 (two cabinets): kits from (430 + 12, 378 - height + kit top) upwards.
    QTest::newRow("16-kit cabinet, 8 kits in strings of 4")
        << kBattery16 << 8 << 4 << QVector<QRect>{QRect(442, 270, 69, 48), QRect(442, 222, 69, 48)};
    QTest::newRow("20-kit cabinet, 12 kits in strings of 4")
        << kBattery20 << 12 << 4
        << QVector<QRect>{QRect(442, 247, 69, 48), QRect(442, 199, 69, 48), QRect(442, 151, 69, 48)};
    QTest::newRow("fewer kits than a string") << kBattery16 << 3 << 4 << QVector<QRect>{};
    QTest::newRow("no kits per string") << kBattery16 << 8 << 0 << QVector<QRect>{};
}

void TestLayoutGeometry::partialCabinetKits()
{
    QFETCH(int, battery);
    QFETCH(int, kitsInLast);
    QFETCH(int, kitsPerString);
    QFETCH(QVector<QRect>, expected);

    TScenario s = ModularScenario(2, uint8_t(kitsInLast));
    s.Result.BatteryCabinetRecord = battery;
    s.Result.KitsPerString = kitsPerString;
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    QVector<QRect> actual;
    for (const TLayoutPicture &p : PicturesNamed(d, "BatteryKb"))
        actual << p.Rect;
    QCOMPARE(actual, expected);
    // Kits are drawn after the empty cabinet, on top of it.
    if (!expected.isEmpty())
        QCOMPARE(d.Pictures.last().Name, QString("BatteryKb"));
}

void TestLayoutGeometry::centredLabelX_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<int>("expected");

    QTest::newRow("even gap") << 82 << 171 << 49 << 102;
    QTest::newRow("odd gap truncates") << 0 << 89 << 50 << 19;
    QTest::newRow("text wider than cabinet, toward zero") << 0 << 89 << 100 << -5;
    QTest::newRow("text wider by an even amount") << 430 << 519 << 101 << 424;
    QTest::newRow("wide cabinet") << 258 << 390 << 77 << 285;
}

void TestLayoutGeometry::centredLabelX()
{
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, textWidth);
    QFETCH(int, expected);
    QCOMPARE(CenteredLabelX(left, right, textWidth), expected);
}

void TestLayoutGeometry::labelsAndBounds()
{
    TScenario s = ModularScenario(2, 8);
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    const TLayoutLabel &inverter = d.Labels[0];
    QCOMPARE(inverter.Y, 28 + 350 + 20);
    QCOMPARE(inverter.Size, FakeMeasure(inverter.Text));
    QCOMPARE(inverter.X, 82 + (89 - inverter.Size.width()) / 2);
    const TLayoutLabel &last = d.Labels[2];
    // Left from the inverter label alone, Right and Bottom from the last label drawn.
    QCOMPARE(d.Bounds.Left, inverter.X);
    QCOMPARE(d.Bounds.Top, 28);
    QCOMPARE(d.Bounds.Right, last.X + last.Size.width());
    QCOMPARE(d.Bounds.Bottom, kLayoutBatteryLabelY + 15);

    // A label wider than its cabinet lies partly left of it: truncation toward zero.
    const TTextMeasure wide = [](const QString &) { return QSize(100, 14); };
    TScenario alone = ModularScenario(0, 0);
    const TLayoutDrawing d2 = BuildLayoutDrawing(alone.Request, alone.Result, kLayoutBoxWidth, wide);
    QCOMPARE(d2.Labels.size(), 1);
    QCOMPARE(d2.Labels[0].X, 248 - 5);
    QCOMPARE(d2.Bounds, (TLayoutBounds{243, 28, 343, 398 + 14}));
}

void TestLayoutGeometry::nonModularCabinets()
{
    TScenario s = ModularScenario(1, 0);
    s.Request.ModularBatteryCabinet = false;
    s.Result.InverterRecord = kInverter13;
    s.Result.InverterKitPositions = 12;
    s.Result.BatteryCabinetRecord = kBatteryYuasa;
    s.Result.BatteryCabinetCount = 1;
    s.Result.KitsInLastCabinet = 0;
    s.Result.KitsPerString = 1;
    s.Result.BatteryKitCount = 2;
    TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    QCOMPARE(d.FullCabinets, 2);
    QCOMPARE(int(s.Result.InverterKitPositions), 0);
    QVERIFY(PicturesNamed(d, "BatteryKb").isEmpty());
    const QVector<TLayoutPicture> full = PicturesNamed(d, "BatteryCabinet_Yuasa_94_Full");
    QCOMPARE(full.size(), 1);
    QCOMPARE(full[0].Rect, QRect(348, 38, 132, 340));
    QVERIFY(d.Labels[1].Text.contains("2"));
    QCOMPARE(d.Labels[1].X, 348 + (132 - d.Labels[1].Size.width()) / 2);

    // The count is the low 8 bits of the kit count.
    s.Result.BatteryKitCount = 258;
    QCOMPARE(LayoutFullCabinets(s.Request, s.Result), 2);
    s.Result.BatteryKitCount = 256;
    QCOMPARE(LayoutFullCabinets(s.Request, s.Result), 0);

    // Modular cabinets keep the inverter's kit positions.
    TScenario m = ModularScenario(2, 0);
    m.Result.InverterKitPositions = 12;
    QCOMPARE(LayoutFullCabinets(m.Request, m.Result), 2);
    QCOMPARE(int(m.Result.InverterKitPositions), 12);
}

void TestLayoutGeometry::itemsWithoutDrawingRow()
{
    // No drawing row for the inverter or the modules: no picture, labels and geometry stay.
    TScenario s = ModularScenario(2, 8);
    s.Result.InverterRecord = kBattery20; // not an inverter cabinet: no row
    s.Result.ModuleRecord = -1;
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    for (const TLayoutPicture &p : d.Pictures)
        QVERIFY2(p.Name.startsWith("Battery"), qPrintable(p.Name));
    QCOMPARE(d.Labels.size(), 3);
    QCOMPARE(d.Labels[0].Y, 398);
    QCOMPARE(d.Bounds.Left, d.Labels[0].X);
    QCOMPARE(d.Bounds.Top, 98); // the battery cabinets' top

    // No drawing row for the battery cabinet: labels centred over a standard width.
    TScenario b = ModularScenario(2, 8);
    b.Result.BatteryCabinetRecord = kInverter19;
    const TLayoutDrawing d2 = BuildLayoutDrawing(b.Request, b.Result, kLayoutBoxWidth, FakeMeasure);
    QVERIFY(PicturesNamed(d2, "BatteryKb").isEmpty());
    QCOMPARE(d2.Labels.size(), 3);
    QCOMPARE(d2.Labels[2].X, 430 + (89 - d2.Labels[2].Size.width()) / 2);
    QCOMPARE(d2.Bounds.Top, 28);
}

void TestLayoutGeometry::captureCoversPicturesAndLabels()
{
    TScenario s = ModularScenario(2, 8);
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, FakeMeasure);
    const QRect capture = LayoutCaptureRect(d);
    for (const TLayoutPicture &p : d.Pictures)
        QVERIFY2(capture.contains(p.Rect.adjusted(-5, -5, 5, 5)), qPrintable(p.Name));
    for (const TLayoutLabel &l : d.Labels)
        QVERIFY(capture.contains(QRect(QPoint(l.X, l.Y), l.Size).adjusted(-5, -5, 5, 5)));
    // Exactly the union grown by 5: the inverter picture (82) lies left of its label.
    QVERIFY(d.Bounds.Left > 82);
    QCOMPARE(capture.left(), 77);
    QCOMPARE(capture.top(), 23);
    QCOMPARE(capture.left() + capture.width(), qMax(519, d.Bounds.Right) + 5);
    QCOMPARE(capture.top() + capture.height(), d.Bounds.Bottom + 5);

    // The non-modular cabinet's right edge is kept, and so is a label wider than it.
    TScenario n = ModularScenario(1, 0);
    n.Request.ModularBatteryCabinet = false;
    n.Result.BatteryCabinetRecord = kBatteryYuasa;
    n.Result.BatteryKitCount = 1;
    const TLayoutDrawing dn = BuildLayoutDrawing(n.Request, n.Result, kLayoutBoxWidth, FakeMeasure);
    QCOMPARE(LayoutCaptureRect(dn).left() + LayoutCaptureRect(dn).width(), qMax(348 + 132, dn.Bounds.Right) + 5);

    QVERIFY(LayoutCaptureRect(TLayoutDrawing()).isNull());
}

void TestLayoutGeometry::previewPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("inverter");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");

    QTest::newRow("page 0 closed cabinet") << 0 << kInverter13 << QSize(70, 240) << "InverterCabinetSmall_2_Closed"
                                           << QRect(5, 0, 60, 239);
    QTest::newRow("page 0 in a larger box") << 0 << -1 << QSize(100, 300) << "InverterCabinetSmall_2_Closed"
                                            << QRect(20, 30, 60, 239);
    QTest::newRow("page 1 small cabinet centred") << 1 << kInverter13 << QSize(70, 240) << "InverterCabinetSmall_1_3"
                                                  << QRect(5, 26, 60, 188);
    QTest::newRow("page 1 two-row cabinet") << 1 << kInverter23 << QSize(70, 240) << "InverterCabinetSmall_2_3"
                                            << QRect(5, 0, 60, 239);
    QTest::newRow("page 3 configuration") << 3 << kInverter13 << QSize(70, 240) << "InverterCabinetSmall_1_3"
                                          << QRect(5, 26, 60, 188);
    QTest::newRow("page 6 configuration") << 6 << kInverter23 << QSize(70, 240) << "InverterCabinetSmall_2_3"
                                          << QRect(5, 0, 60, 239);
}

void TestLayoutGeometry::previewPages()
{
    QFETCH(int, page);
    QFETCH(int, inverter);
    QFETCH(QSize, box);
    QFETCH(QString, name);
    QFETCH(QRect, rect);

    TScenario s = ModularScenario(2, 8);
    s.Result.InverterRecord = inverter;
    s.Result.InverterKitPositions = 12;
    const TLayoutDrawing d = BuildWizardPreviewDrawing(page, s.Result, box);
    QVERIFY(!d.Pictures.isEmpty());
    QCOMPARE(d.Pictures[0].Name, name);
    QCOMPARE(d.Pictures[0].Rect, rect);
    // The closed cabinet is opaque; cabinets with modules have a key colour.
    QCOMPARE(d.Pictures[0].Transparent, page != 0);
    // The first two pages show the cabinet only.
    if (page < 2)
        QCOMPARE(d.Pictures.size(), 1);
    QVERIFY(d.Labels.isEmpty());
    QVERIFY(PicturesNamed(d, "BatteryKb").isEmpty());

    QVERIFY(BuildWizardPreviewDrawing(7, s.Result, box).Pictures.isEmpty());
    s.Result.InverterRecord = -1;
    QVERIFY(BuildWizardPreviewDrawing(1, s.Result, box).Pictures.isEmpty());
    QVERIFY(BuildWizardPreviewDrawing(2, s.Result, box).Pictures.isEmpty());
}

void TestLayoutGeometry::previewModulesAtSmallScale()
{
    TScenario s = ModularScenario(2, 8);
    s.Result.InverterRecord = kInverter13;
    s.Result.ModuleRecord = kModule50;
    s.Result.ModulesL1 = 2;
    s.Result.RedundantL1 = 1;
    s.Result.ModulesL2 = 2;
    s.Result.ModulesL3 = 0;
    const TLayoutDrawing d = BuildWizardPreviewDrawing(2, s.Result, QSize(70, 240));
    // Small 1_3 cabinet at (5, 26); module origin (5 + 8, 26 + 16); 15 x 37 modules overlapping by 1.
    QVector<QRect> actual;
    for (const TLayoutPicture &p : PicturesNamed(d, "PowerModuleSmall_50"))
        actual << p.Rect;
    const QVector<QRect> expected{QRect(13, 42, 15, 37), QRect(13, 78, 15, 37), QRect(13, 114, 15, 37),
                                  QRect(28, 42, 15, 37), QRect(28, 78, 15, 37)};
    QCOMPARE(actual, expected);
}

void TestLayoutGeometry::previewLeavesLayoutBoundsAlone()
{
    const TLayoutBounds marker{1, 2, 3, 4};
    LayoutBounds = marker;
    TScenario s = ModularScenario(2, 8);
    for (int page = 0; page <= 6; ++page)
        BuildWizardPreviewDrawing(page, s.Result, QSize(70, 240));
    QCOMPARE(LayoutBounds, marker);

    // Tables emptied at close are built again on demand.
    ClearDrawingTables();
    QCOMPARE(BuildWizardPreviewDrawing(2, s.Result, QSize(70, 240)).Pictures.first().Name,
             QString("InverterCabinetSmall_2_3"));
}

QTEST_GUILESS_MAIN(TestLayoutGeometry)
#include "test_layout_geometry.moc"
