// The data sheet of whole sizings, replayed through the wizard's core with the
// real vendor library and language files. The expected rows are worked out
// by hand from the catalogue (weights: inverter + modules + kits in the
// drawers, rounded up unless the first decimal is 0; recharge: the module
// charging current shared by the strings, at most a quarter of the kit's
// capacity, plus 10 %).

#include "DataSheet.h"
#include "Globals.h"
#include "Headless.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

using TRows = QList<QStringList>;

QJsonObject Request(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

TRows SheetOf(const QJsonObject &answer)
{
    TRows rows;
    for (const QJsonValue &row : answer.value("dataSheet").toArray())
        rows << QStringList{row.toArray().at(0).toString(), row.toArray().at(1).toString()};
    return rows;
}

const TRows kTenKvaHead{{"Input configuration", "Three-phase"},
                        {"Output configuration", "Three independent single-phase outputs"},
                        {"Maximum UPS power", "10000 VA   (8000 W)"},
                        {"Installed UPS power", "10000 VA   (8000 W)"}};

} // namespace

class TestDataSheet : public QObject {
    Q_OBJECT

private:
    THeadlessSession m_session;

private slots:
    void initTestCase()
    {
        QVERIFY(UseBuiltProgram());
        m_session = ReadHeadlessSession();
    }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void wholeSheets_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<TRows>("rows");

        // 4 kits of 9 Ah fit the inverter's 12 drawers: one weight row, 86 + 3 x 8.2 + 4 x 14 = 166.6.
        QTest::newRow("kits all in the inverter cabinet")
            << QByteArray(R"({"sizeLine": 1})")
            << kTenKvaHead + TRows{{"Required power", "10000 VA   (8000 W)"},
                                   {"Load backed by the batteries", "8000 VA   (80 %)"},
                                   {"Required autonomy", "10 min"},
                                   {"Available autonomy", "11 min"},
                                   {"Battery capacity", "9 Ah"},
                                   {"Battery recharge time", "4 h 24 min"},
                                   {"Expandable system", "No"},
                                   {"Overall dimensions (W x H x D)", "1  x  (414 x 1345 x 628) mm"},
                                   {"Weight", "167 Kg"}};

        QTest::newRow("only the inverter")
            << QByteArray(R"({"sizeLine": 1, "specialConfig": "onlyInverter"})")
            << kTenKvaHead + TRows{{"Required power", "10000 VA   (8000 W)"},
                                   {"Inverter only (without batteries)", "Yes"},
                                   {"Expandable system", "No"},
                                   {"Dimensions of the UPS cabinet (W x H x D)", "1  x  (414 x 1345 x 628) mm"},
                                   {"Weight", "111 Kg"}};

        // W entry: W first; 7000 W is not the installed power, so 7000 / 0.8 VA; 10 % of it in W.
        // 700 W is 8.75 % of the modules: efficiency 0.871, 803.7 W from one string of 7.2 Ah
        // kits held to the minimum for the module power: 803.7 / 23 blocks = 34.9 W, 110.5 minutes.
        QTest::newRow("load in W") << QByteArray(
                                          R"({"sizeLine": 1, "loadPower": 7000, "powerInWatt": true, "loadPercent": 10,
                              "autonomyInMinutes": false, "autonomyHours": 1, "autonomyHoursMinutes": 30})")
                                   << TRows{{"Input configuration", "Three-phase"},
                                            {"Output configuration", "Three independent single-phase outputs"},
                                            {"Maximum UPS power", "8000 W   (10000 VA)"},
                                            {"Installed UPS power", "8000 W   (10000 VA)"},
                                            {"Required power", "7000 W   (8750 VA)"},
                                            {"Load backed by the batteries", "700 W   (10 %)"},
                                            {"Required autonomy", "1 h 30 min"},
                                            {"Available autonomy", "1 h 51 min"},
                                            {"Battery capacity", "7.2 Ah"},
                                            {"Battery recharge time", "4 h 24 min"},
                                            {"Expandable system", "No"},
                                            {"Overall dimensions (W x H x D)", "1  x  (414 x 1345 x 628) mm"},
                                            {"Weight", "167 Kg"}};

        // 36 kits of 7.2 Ah beside a 12-slot cabinet without drawers: 20 + 16 in two cabinets.
        // Inverter 116 + 12 x 8.4 = 216.8; full cabinet 95 + 20 x 14 = 375; last 95 + 16 x 14 = 319.
        // Recharge: 12 x 2.5 A over 9 strings, at most 7.2 / 4 = 1.8 A: 4 h + 10 %.
        QTest::newRow("two battery cabinets, the last one partly filled")
            << QByteArray(R"({"sizeLine": 12, "loadPower": 60000})")
            << TRows{{"Input configuration", "Three-phase"},
                     {"Output configuration", "Three independent single-phase outputs"},
                     {"Maximum UPS power", "60000 VA   (48000 W)"},
                     {"Installed UPS power", "60000 VA   (48000 W)"},
                     {"Required power", "60000 VA   (48000 W)"},
                     {"Load backed by the batteries", "48000 VA   (80 %)"},
                     {"Required autonomy", "10 min"},
                     {"Available autonomy", "10 min"},
                     {"Autonomy with one battery string fewer (4 kits)", "9 min"},
                     {"Battery capacity", "64.8 Ah"},
                     {"Battery kits in the last cabinet", "16 of 20"},
                     {"Battery recharge time", "4 h 24 min"},
                     {"Expandable system", "No"},
                     {"Overall dimensions (W x H x D)", "3  x  (414 x 1650 x 628) mm"},
                     {"Weight of the UPS cabinet", "1  x  217 Kg"},
                     {"Weight of each battery cabinet", "1  x  375 Kg"},
                     {"Weight of the last battery cabinet", "1  x  319 Kg"}};

        // The 94 Ah cabinet's table ends at 1200 minutes: a small load lasts longer.
        // Recharge: 4.5 A over two strings for 94 Ah, 41.78 h + 10 % = 2757.3 minutes.
        QTest::newRow("beyond the discharge table, non-modular")
            << QByteArray(R"({"sizeLine": 1, "loadPower": 3000, "modularBatteryCabinet": false,
                              "autonomyMinutes": 1200})")
            << kTenKvaHead + TRows{{"Required power", "3000 VA   (2400 W)"},
                                   {"Load backed by the batteries", "2400 VA   (80 %)"},
                                   {"Required autonomy", "1200 min"},
                                   {"Available autonomy", "over 1200 min"},
                                   {"Autonomy with 1 battery cabinet fewer", "744 min"},
                                   {"Battery capacity", "188 Ah"},
                                   {"Battery recharge time", "45 h 57 min"},
                                   {"Expandable system", "No"},
                                   {"Dimensions of the UPS cabinet (W x H x D)", "1  x  (414 x 1345 x 628) mm"},
                                   {"Dimensions of the battery cabinets (W x H x D)", "2  x  (600 x 1635 x 800) mm"},
                                   {"Weight of the UPS cabinet", "1  x  111 Kg"},
                                   {"Weight of each battery cabinet", "2  x  760 Kg"}};

        // Empty drawers: no available autonomy; the weights use an empty kit's share, 5.7 / 4 per drawer.
        QTest::newRow("empty drawers") << QByteArray(R"({"sizeLine": 1, "specialConfig": "emptyDrawers"})")
                                       << kTenKvaHead +
                                              TRows{{"Required power", "10000 VA   (8000 W)"},
                                                    {"Load backed by the batteries", "8000 VA   (80 %)"},
                                                    {"Empty battery drawers", "Yes"},
                                                    {"Required autonomy", "10 min"},
                                                    {"Battery capacity", "9 Ah"},
                                                    {"Battery recharge time", "4 h 24 min"},
                                                    {"Expandable system", "No"},
                                                    {"Overall dimensions (W x H x D)", "1  x  (414 x 1345 x 628) mm"},
                                                    {"Weight", "117 Kg"}};
    }

    void wholeSheets()
    {
        QFETCH(QByteArray, request);
        QFETCH(TRows, rows);
        const QJsonObject answer = SizeRequestJson(Request(request), {}, nullptr, nullptr, &m_session);
        QVERIFY2(answer.value("ok").toBool(), qPrintable(answer.value("error").toString()));
        QCOMPARE(SheetOf(answer), rows);
    }

    void homeMarketCapacityRow()
    {
        // The Italian edition of the home vendor leaves out the battery capacity, unless in debug mode,
        // which adds the safety margin too.
        const TRows plain = SheetOf(SizeRequestJson(Request(R"({"sizeLine": 1, "language": "Italian.lng"})"), {},
                                                    nullptr, nullptr, &m_session));
        const TRows debug =
            SheetOf(SizeRequestJson(Request(R"({"sizeLine": 1, "language": "Italian.lng", "debugMode": true})"), {},
                                    nullptr, nullptr, &m_session));
        QCOMPARE(plain.size(), 12);
        QCOMPARE(debug.size(), 14);
        QCOMPARE(debug[5], (QStringList{"Margine di sicurezza", "0 %"}));
        QCOMPARE(debug[9], (QStringList{QString::fromUtf8("Capacità delle batterie"), "9 Ah"}));
        QCOMPARE(debug.mid(0, 5) + debug.mid(6, 3) + debug.mid(10), plain);
    }

    void autonomyTexts_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("inMinutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("minutes") << 90 << true << "90 min";
        QTest::newRow("hours and minutes") << 90 << false << "1 h 30 min";
        QTest::newRow("whole hours") << 120 << false << "2 h 0 min";
        QTest::newRow("negative") << -5 << false << "0 h -5 min";
    }

    void autonomyTexts()
    {
        QFETCH(int, minutes);
        QFETCH(bool, inMinutes);
        QFETCH(QString, text);
        QCOMPARE(FormatAutonomy(minutes, inMinutes), text);
    }

    void inconsistentRecordsDoNotDivideByZero()
    {
        // A result without strings or drawer counts gives 0 instead of a division by zero.
        TRequestParameters q{};
        q.ModularBatteryCabinet = true;
        TResultParameters r{};
        r.InverterRecord = 10020;
        r.ModuleRecord = 10200;
        r.ModulesL1 = 1;
        r.BatteryKitRecord = 10260;
        r.BatteryKitCount = 20;
        r.BatteryCabinetCount = 1;
        r.BatteryCabinetRecord = 10140;
        QCOMPARE(ComputeRechargeMinutes(r), 0);
        const TCabinetWeights w = ComputeWeights(q, r);
        QCOMPARE(w.Inverter, 95); // 86 + 8.2: no drawers in the cabinet
        QCOMPARE(w.LastCabinet, 80);
        QCOMPARE(w.Cabinet, 0);
    }
};

QTEST_GUILESS_MAIN(TestDataSheet)
#include "test_data_sheet.moc"
