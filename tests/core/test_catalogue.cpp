// The built-in catalogue: record layout and content, offered lists from the
// real vendor library, curves and the rounding rules of the sizing.

#include "Catalogue.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QtTest>
#include <cmath>

Q_DECLARE_METATYPE(TLookup)

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void init() { UnloadVendorLibrary(); }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void areasEndAtTheFirstRecordWithoutFamily_data();
    void areasEndAtTheFirstRecordWithoutFamily();
    void storedTexts_data();
    void storedTexts();
    void everyRecordInFull_data();
    void everyRecordInFull();
    void familyLists_data();
    void familyLists();
    void numbersReadFromTexts();
    void curveLookup_data();
    void curveLookup();
    void curveTextWithoutPairs();
    void roundUpAboveThreshold_data();
    void roundUpAboveThreshold();
    void roundUpInSinglePrecision();
    void languageLists_data();
    void languageLists();
    void offeredItemsFromTheVendorLibrary();
    void nothingOfferedWithoutLibrary();
};

void TestCatalogue::areasEndAtTheFirstRecordWithoutFamily_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("last");
    QTest::newRow("UPS") << int(kUpsArea) << 25 << 10480;
    QTest::newRow("accessories") << int(kAccessoryArea) << 33 << 20640;
}

void TestCatalogue::areasEndAtTheFirstRecordWithoutFamily()
{
    QFETCH(int, area);
    QFETCH(int, count);
    QFETCH(int, last);
    const TIntegerArray all = ListRecords(area, -1);
    QCOMPARE(all.size(), count);
    QCOMPARE(all.first(), area);
    QCOMPARE(all.last(), last);
    for (qsizetype i = 1; i < all.size(); ++i)
        QCOMPARE(all[i], all[i - 1] + 20);
    QCOMPARE(CatalogueField(last + 20, 0), QString());
    QCOMPARE(CatalogueInt(last + 20, 0), -1);
}

void TestCatalogue::storedTexts_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("94 Ah kit shares the module's code") << 10480 << 1 << "2101";
    QTest::newRow("module 3,4 kVA code") << 10200 << 1 << "2101";
    QTest::newRow("9 slot cabinet names key 2043") << 10080 << 19 << "2043";
    QTest::newRow("second cabinet names key 2043") << 10440 << 19 << "2043";
    QTest::newRow("94 Ah kit without description key") << 10480 << 3 << "";
    QTest::newRow("94 Ah kit label") << 10480 << 2 << "94 Ah";
    QTest::newRow("module label with comma") << 10180 << 2 << "2,7 KVA";
    QTest::newRow("efficiency curve") << 10180 << 10 << "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94";
    QTest::newRow("9 Ah discharge table")
        << 10260 << 11
        << "3;530|5;410|10;268|15;195|20;159|30;112|45;82.1|60;65.7|90;45.2|120;34.9|180;26.0|240;20.0|300;16.5|"
           "360;13.3|600;8.79|1200;4.76|1440;3.97";
    QTest::newRow("94 Ah discharge table")
        << 10480 << 11
        << "5;3895.2|10;2940|15;2239.8|20;1816.2|30;1413.6|45;1128|60;809.4|120;445.2|180;322.2|300;211.8|600;115.8|"
           "1200;60";
    QTest::newRow("threshold") << 10260 << 12 << "0.35";
    QTest::newRow("kit weight") << 10240 << 4 << "14.0";
    QTest::newRow("5 kVA module rating") << 10220 << 6 << "5000.00";
    QTest::newRow("cabinet dimensions") << 10100 << 5 << "414 x 1650 x 628";
    QTest::newRow("cabinet module list") << 10420 << 15 << "10300";
    QTest::newRow("empty field of a module") << 10180 << 5 << "";
    QTest::newRow("field after the last stored one") << 10180 << 19 << "";
    QTest::newRow("battery cabinet without label") << 10140 << 2 << "";
    QTest::newRow("non-modular cabinet family") << 10460 << 0 << "5";
    QTest::newRow("empty kit positions") << 10280 << 6 << "4";
    QTest::newRow("accessory label") << 20200 << 2 << "RCCMD IBM AS/400";
    QTest::newRow("accessory group -1") << 20100 << 6 << "-1";
    QTest::newRow("RCCMD argument") << 20180 << 7 << "50";
    QTest::newRow("last contract") << 20640 << 3 << "ContractsItem_E";
    QTest::newRow("field 20 is the next record's field 0") << 10000 << 20 << "2";
    QTest::newRow("outside both areas") << 30000 << 0 << "";
}

void TestCatalogue::storedTexts()
{
    QFETCH(int, record);
    QFETCH(int, field);
    QFETCH(QString, text);
    QCOMPARE(CatalogueField(record, field), text);
}

void TestCatalogue::everyRecordInFull_data()
{
    // Every record of both areas, field 0 onwards; fields after the last one
    // listed and every "" are texts that are not stored.
    QTest::addColumn<int>("record");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("10000") << 10000 << QStringList{"2", "2001", "3 Slot", "UpsItemInverterCabinetSlot_3", "86", "414 x 1345 x 628", "1", "1", "1", "12", "1", "1", "1", "1", "10", "10180", "2900", "8000", "6400", "2003"};
    QTest::newRow("10020") << 10020 << QStringList{"2", "2011", "3 Slot", "UpsItemInverterCabinetSlot_3", "86", "414 x 1345 x 628", "1", "1", "1", "12", "1", "1", "1", "1", "10", "10200", "2900", "10000", "8000", "2013"};
    QTest::newRow("10040") << 10040 << QStringList{"2", "2021", "6 Slot", "UpsItemInverterCabinetSlot_6", "84", "414 x 1345 x 628", "2", "2", "2", "8", "1", "1", "1", "1", "10", "10180", "3000", "16000", "12800", "2023"};
    QTest::newRow("10060") << 10060 << QStringList{"2", "2031", "6 Slot", "UpsItemInverterCabinetSlot_6", "84", "414 x 1345 x 628", "2", "2", "2", "8", "1", "1", "1", "1", "10", "10200", "3000", "20000", "16000", "2033"};
    QTest::newRow("10080") << 10080 << QStringList{"2", "2041", "9 Slot", "UpsItemInverterCabinetSlot_9", "82", "414 x 1345 x 628", "3", "3", "3", "0", "0", "0", "0", "1", "10", "10200", "3100", "30000", "24000", "2043"};
    QTest::newRow("10100") << 10100 << QStringList{"2", "2051", "9 Slot", "UpsItemInverterCabinetSlot_9", "113", "414 x 1650 x 628", "3", "3", "3", "0", "0", "0", "0", "1", "23", "10220", "3600", "45000", "36000", "2053"};
    QTest::newRow("10120") << 10120 << QStringList{"2", "2061", "12 Slot", "UpsItemInverterCabinetSlot_12", "116", "414 x 1650 x 628", "4", "4", "4", "0", "0", "0", "0", "1", "23", "10220", "3700", "60000", "48000", "2063"};
    QTest::newRow("10140") << 10140 << QStringList{"3", "2071", "", "UpsItemBatteryCabinetModular_16", "80", "414 x 1345 x 628", "16", "1600"};
    QTest::newRow("10160") << 10160 << QStringList{"3", "2081", "", "UpsItemBatteryCabinetModular_20", "95", "414 x 1650 x 628", "20", "1700"};
    QTest::newRow("10180") << 10180 << QStringList{"0", "2091", "2,7 KVA", "UpsItemPowerModule_27", "8.2", "", "2666.66", "2133.33", "3333.33", "2666.66", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "1.5", "700"};
    QTest::newRow("10200") << 10200 << QStringList{"0", "2101", "3,4 kVA", "UpsItemPowerModule_34", "8.2", "", "3333.33", "2666.66", "3333.33", "2666.66", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "1.5", "800"};
    QTest::newRow("10220") << 10220 << QStringList{"0", "2111", "5 kVA", "UpsItemPowerModule_50", "8.4", "", "5000.00", "4000.00", "5000.00", "4000.00", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "2.5", "1100"};
    QTest::newRow("10240") << 10240 << QStringList{"1", "2121", "7,2 Ah", "UpsItemBatteryKit_72", "14.0", "", "60", "7.2", "690", "4020", "1.23", "3;433|5;341|10;223|15;170|20;143|30;106|45;75.1|60;60.1|90;41.3|120;32.0|180;23.8|240;18.3|300;15.1|360;12.1|600;8.04|1200;4.36|1440;3.64", "0.15", "170", "4", "1"};
    QTest::newRow("10260") << 10260 << QStringList{"1", "2131", "9,0 Ah", "UpsItemBatteryKit_90", "14.0", "", "60", "9.0", "799", "4436", "1.23", "3;530|5;410|10;268|15;195|20;159|30;112|45;82.1|60;65.7|90;45.2|120;34.9|180;26.0|240;20.0|300;16.5|360;13.3|600;8.79|1200;4.76|1440;3.97", "0.35", "215", "4", "1"};
    QTest::newRow("10280") << 10280 << QStringList{"4", "2141", "", "UpsItemBatteryKitEmpty", "5.7", "", "4"};
    QTest::newRow("10300") << 10300 << QStringList{"0", "2161", "3,4 kVA", "UpsItemPowerModule_34", "8.4", "", "3333.33", "2666.66", "5000.00", "4000.00", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "2.5", "800"};
    QTest::newRow("10320") << 10320 << QStringList{"2", "2171", "3 Slot", "UpsItemInverterCabinetSlot_3", "116", "414 x 1650 x 628", "1", "1", "1", "16", "1", "1", "1", "1", "23", "10300", "3700", "10000", "8000", "2173"};
    QTest::newRow("10340") << 10340 << QStringList{"2", "2181", "3 Slot", "UpsItemInverterCabinetSlot_3", "116", "414 x 1650 x 628", "1", "1", "1", "16", "1", "1", "1", "1", "23", "10220", "3700", "15000", "12000", "2183"};
    QTest::newRow("10360") << 10360 << QStringList{"2", "2191", "6 Slot", "UpsItemInverterCabinetSlot_6", "113", "414 x 1650 x 628", "2", "2", "2", "12", "1", "1", "1", "1", "23", "10300", "3700", "20000", "16000", "2193"};
    QTest::newRow("10380") << 10380 << QStringList{"2", "2201", "6 Slot", "UpsItemInverterCabinetSlot_6", "110", "414 x 1650 x 628", "2", "2", "2", "0", "1", "1", "1", "1", "23", "10220", "3700", "30000", "24000", "2203"};
    QTest::newRow("10400") << 10400 << QStringList{"2", "2211", "9 Slot", "UpsItemInverterCabinetSlot_9", "116", "414 x 1650 x 628", "3", "3", "3", "0", "0", "0", "0", "1", "23", "10300", "3700", "30000", "24000", "2213"};
    QTest::newRow("10420") << 10420 << QStringList{"2", "2221", "12 Slot", "UpsItemInverterCabinetSlot_12", "116", "414 x 1650 x 628", "4", "4", "4", "0", "0", "0", "0", "1", "23", "10300", "3700", "40000", "32000", "2223"};
    QTest::newRow("10440") << 10440 << QStringList{"2", "2231", "9 Slot", "UpsItemInverterCabinetSlot_9", "82", "414 x 1345 x 628", "3", "3", "3", "0", "1", "1", "1", "0", "10", "10200", "3100", "30000", "24000", "2043"};
    QTest::newRow("10460") << 10460 << QStringList{"5", "2151", "", "UpsItemBatteryCabinetNotModular", "760", "600 x 1635 x 800", "1", "0"};
    QTest::newRow("10480") << 10480 << QStringList{"1", "2101", "94 Ah", "", "0", "", "252", "94.0", "0", "0", "0", "5;3895.2|10;2940|15;2239.8|20;1816.2|30;1413.6|45;1128|60;809.4|120;445.2|180;322.2|300;211.8|600;115.8|1200;60", "0", "0", "1", "0"};
    QTest::newRow("20000") << 20000 << QStringList{"6", "3001", "CS121 SK", "AccessoriesItemCs121", "", "", "0", "1", "0"};
    QTest::newRow("20020") << 20020 << QStringList{"6", "3011", "CS121B SK", "AccessoriesItemCs121B", "", "", "0", "1", "0"};
    QTest::newRow("20040") << 20040 << QStringList{"6", "3111", "CS121M SK", "AccessoriesItemCs121M", "", "", "0", "1", "0"};
    QTest::newRow("20060") << 20060 << QStringList{"6", "3021", "UPS Supervisor RS232", "AccessoriesItemSupervisor", "", "", "0", "1", "0"};
    QTest::newRow("20080") << 20080 << QStringList{"6", "3031", "UPS Supervisor USB", "AccessoriesItemSupervisor", "", "", "0", "1", "0"};
    QTest::newRow("20100") << 20100 << QStringList{"6", "3041", "RCCMD", "AccessoriesItemRccmd", "", "", "-1", "1", "1"};
    QTest::newRow("20120") << 20120 << QStringList{"6", "3051", "RCCMD", "AccessoriesItemRccmd", "", "", "-1", "5", "1"};
    QTest::newRow("20140") << 20140 << QStringList{"6", "3061", "RCCMD", "AccessoriesItemRccmd", "", "", "-1", "10", "1"};
    QTest::newRow("20160") << 20160 << QStringList{"6", "3071", "RCCMD", "AccessoriesItemRccmd", "", "", "-1", "25", "1"};
    QTest::newRow("20180") << 20180 << QStringList{"6", "3081", "RCCMD", "AccessoriesItemRccmd", "", "", "-1", "50", "1"};
    QTest::newRow("20200") << 20200 << QStringList{"6", "3091", "RCCMD IBM AS/400", "AccessoriesItemRccmdAs400", "", "", "-1", "1", "1"};
    QTest::newRow("20220") << 20220 << QStringList{"6", "3101", "Kit IBM AS/400", "AccessoriesItemKitAs400", "", "", "-1", "1", "0"};
    QTest::newRow("20240") << 20240 << QStringList{"7", "4001", "Canone C", "ContractsItem_C", "", "", "0", "1", "0"};
    QTest::newRow("20260") << 20260 << QStringList{"7", "4011", "Canone D", "ContractsItem_D", "", "", "0", "1", "0"};
    QTest::newRow("20280") << 20280 << QStringList{"7", "4021", "Canone E", "ContractsItem_E", "", "", "0", "1", "0"};
    QTest::newRow("20300") << 20300 << QStringList{"7", "4031", "Canone C", "ContractsItem_C", "", "", "1", "1", "0"};
    QTest::newRow("20320") << 20320 << QStringList{"7", "4041", "Canone D", "ContractsItem_D", "", "", "1", "1", "0"};
    QTest::newRow("20340") << 20340 << QStringList{"7", "4051", "Canone E", "ContractsItem_E", "", "", "1", "1", "0"};
    QTest::newRow("20360") << 20360 << QStringList{"7", "4061", "Canone C", "ContractsItem_C", "", "", "2", "1", "0"};
    QTest::newRow("20380") << 20380 << QStringList{"7", "4071", "Canone D", "ContractsItem_D", "", "", "2", "1", "0"};
    QTest::newRow("20400") << 20400 << QStringList{"7", "4081", "Canone E", "ContractsItem_E", "", "", "2", "1", "0"};
    QTest::newRow("20420") << 20420 << QStringList{"7", "4091", "Canone C", "ContractsItem_C", "", "", "3", "1", "0"};
    QTest::newRow("20440") << 20440 << QStringList{"7", "4101", "Canone D", "ContractsItem_D", "", "", "3", "1", "0"};
    QTest::newRow("20460") << 20460 << QStringList{"7", "4111", "Canone E", "ContractsItem_E", "", "", "3", "1", "0"};
    QTest::newRow("20480") << 20480 << QStringList{"7", "4121", "Canone C", "ContractsItem_C", "", "", "4", "1", "0"};
    QTest::newRow("20500") << 20500 << QStringList{"7", "4131", "Canone D", "ContractsItem_D", "", "", "4", "1", "0"};
    QTest::newRow("20520") << 20520 << QStringList{"7", "4141", "Canone E", "ContractsItem_E", "", "", "4", "1", "0"};
    QTest::newRow("20540") << 20540 << QStringList{"7", "4151", "Canone C", "ContractsItem_C", "", "", "5", "1", "0"};
    QTest::newRow("20560") << 20560 << QStringList{"7", "4161", "Canone D", "ContractsItem_D", "", "", "5", "1", "0"};
    QTest::newRow("20580") << 20580 << QStringList{"7", "4171", "Canone E", "ContractsItem_E", "", "", "5", "1", "0"};
    QTest::newRow("20600") << 20600 << QStringList{"7", "4181", "Canone C", "ContractsItem_C", "", "", "6", "1", "0"};
    QTest::newRow("20620") << 20620 << QStringList{"7", "4191", "Canone D", "ContractsItem_D", "", "", "6", "1", "0"};
    QTest::newRow("20640") << 20640 << QStringList{"7", "4201", "Canone E", "ContractsItem_E", "", "", "6", "1", "0"};
}

void TestCatalogue::everyRecordInFull()
{
    QFETCH(int, record);
    QFETCH(QStringList, fields);
    for (int32_t field = 0; field < 20; ++field)
        QVERIFY2(CatalogueField(record, field) == fields.value(field),
                 qPrintable(QStringLiteral("field %1: \"%2\"").arg(field).arg(CatalogueField(record, field))));
}

void TestCatalogue::familyLists_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("family");
    QTest::addColumn<TIntegerArray>("ids");
    QTest::newRow("power modules") << int(kUpsArea) << 0 << TIntegerArray{10180, 10200, 10220, 10300};
    QTest::newRow("battery kits") << int(kUpsArea) << 1 << TIntegerArray{10240, 10260, 10480};
    QTest::newRow("inverter cabinets") << int(kUpsArea) << 2
                                       << TIntegerArray{10000, 10020, 10040, 10060, 10080, 10100, 10120, 10320, 10340,
                                                        10360, 10380, 10400, 10420, 10440};
    QTest::newRow("modular cabinets") << int(kUpsArea) << 3 << TIntegerArray{10140, 10160};
    QTest::newRow("empty kit") << int(kUpsArea) << 4 << TIntegerArray{10280};
    QTest::newRow("non-modular cabinet") << int(kUpsArea) << 5 << TIntegerArray{10460};
    TIntegerArray accessories, contracts;
    for (int32_t id = 20000; id <= 20220; id += 20)
        accessories << id;
    for (int32_t id = 20240; id <= 20640; id += 20)
        contracts << id;
    QTest::newRow("accessories") << int(kAccessoryArea) << 6 << accessories;
    QTest::newRow("contracts") << int(kAccessoryArea) << 7 << contracts;
    QTest::newRow("no accessory in the UPS area") << int(kUpsArea) << 6 << TIntegerArray{};
}

void TestCatalogue::familyLists()
{
    QFETCH(int, area);
    QFETCH(int, family);
    QFETCH(TIntegerArray, ids);
    QCOMPARE(ListRecords(area, family), ids);
}

void TestCatalogue::numbersReadFromTexts()
{
    TRecordingMessageService messages;
    QCOMPARE(CatalogueDecimal(10180, 6), 2666.66f);
    QCOMPARE(CatalogueDecimal(10260, 12), 0.35f);
    QCOMPARE(CatalogueDecimal(10220, 7), 4000.0f);
    QCOMPARE(CatalogueDecimal(10180, 5), 0.0f); // empty text
    QCOMPARE(CatalogueInt(10000, 17), 8000);
    QCOMPARE(CatalogueInt(10000, 5, -7), -7); // dimensions are no integer
    QCOMPARE(CatalogueInt(10240, 7, -7), -7); // "7.2"
    QCOMPARE(CatalogueInt(20100, 6), -1);
    QCOMPARE(CabinetSlots(10120), 12);
    QCOMPARE(CabinetSlots(10000), 3);
    QCOMPARE(CabinetSlots(10500), 0); // no record
    QVERIFY(messages.Messages.isEmpty());
}

void TestCatalogue::curveLookup_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("field");
    QTest::addColumn<TLookup>("direction");
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("expected");
    // Expected values worked out by hand in single precision.
    QTest::newRow("3 min before the 94 Ah table extrapolates") << 10480 << 11 << TLookup::ByX << 3.0f << 4277.28f;
    QTest::newRow("point of the table") << 10240 << 11 << TLookup::ByX << 10.0f << 223.0f;
    QTest::newRow("between two points") << 10240 << 11 << TLookup::ByX << 12.0f << 201.8f;
    QTest::newRow("last point") << 10240 << 11 << TLookup::ByX << 1440.0f << 3.64f;
    QTest::newRow("after the last point") << 10240 << 11 << TLookup::ByX << 1500.0f << -1.0f;
    QTest::newRow("94 Ah ends at 1200 min") << 10480 << 11 << TLookup::ByX << 1201.0f << -1.0f;
    QTest::newRow("by y on a point") << 10240 << 11 << TLookup::ByY << 223.0f << 10.0f;
    QTest::newRow("by y between points") << 10260 << 11 << TLookup::ByY << 252.16707f << 11.084448f;
    QTest::newRow("by y above the first point") << 10240 << 11 << TLookup::ByY << 500.0f << 1.5434783f;
    QTest::newRow("by y below the last point") << 10240 << 11 << TLookup::ByY << 3.0f << -1.0f;
    QTest::newRow("efficiency at no load") << 10180 << 10 << TLookup::ByX << 0.0f << 0.0f;
    QTest::newRow("efficiency at 2 %") << 10180 << 10 << TLookup::ByX << 2.0f << 0.35f;
    QTest::newRow("efficiency at 13.3 %") << 10220 << 10 << TLookup::ByX << 13.333334f << 0.9016667f;
    QTest::newRow("efficiency at full load") << 10300 << 10 << TLookup::ByX << 100.0f << 0.94f;
    QTest::newRow("no curve in the field") << 10180 << 9 << TLookup::ByX << 10.0f << -1.0f;
}

void TestCatalogue::curveLookup()
{
    QFETCH(int, record);
    QFETCH(int, field);
    QFETCH(TLookup, direction);
    QFETCH(float, value);
    QFETCH(float, expected);
    TDatasheetData curve;
    ReadCurve(record, field, curve);
    const float found = CurveLookup(curve, direction, value);
    QVERIFY2(std::fabs(found - expected) <= std::fabs(expected) * 1e-6f + 1e-6f,
             qPrintable(QString::number(double(found), 'g', 9)));
}

void TestCatalogue::curveTextWithoutPairs()
{
    TDatasheetData curve;
    QVERIFY(ReadCurve(10240, 11, curve));
    QCOMPARE(curve.size(), 17);
    QCOMPARE(curve.first().X, 3.0f);
    QCOMPARE(curve.last().Y, 3.64f);
    QVERIFY(!ReadCurve(10240, 5, curve)); // empty field
    QVERIFY(curve.isEmpty());
    QVERIFY(ReadCurveText(QStringLiteral(" 1;2 | x |3,5;4"), curve)); // an item without ";" is no pair
    QCOMPARE(curve.size(), 2);
    QCOMPARE(curve[1].X, 3.5f);
    QCOMPARE(CurveLookup(TDatasheetData{}, TLookup::ByX, 1.0f), -1.0f);
}

void TestCatalogue::roundUpAboveThreshold_data()
{
    QTest::addColumn<float>("threshold");
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("25 blocks, threshold 0.15") << 0.15f << 25 / 20.0f << 2;
    QTest::newRow("25 blocks, threshold 0.35") << 0.35f << 25 / 20.0f << 1;
    QTest::newRow("42 blocks, fraction 0.1") << 0.15f << 42 / 20.0f << 2;
    QTest::newRow("1.35 in single precision is above 0.35") << 0.35f << 27 / 20.0f << 2;
    QTest::newRow("2.15 in single precision is above 0.15") << 0.15f << 43 / 20.0f << 3;
    QTest::newRow("whole value") << 0.0f << 3.0f << 3;
    QTest::newRow("zero") << 0.15f << 0.0f << 0;
    QTest::newRow("any fraction above threshold 0") << 0.0f << 0.1f << 1;
}

void TestCatalogue::roundUpAboveThreshold()
{
    QFETCH(float, threshold);
    QFETCH(float, value);
    QFETCH(int, expected);
    QCOMPARE(RoundUpAboveThreshold(threshold, value), expected);
}

void TestCatalogue::roundUpInSinglePrecision()
{
    // (2 + 0.15) x 20 is 43 in single precision; in double it would be 44.
    const float threshold = CatalogueDecimal(10240, 12);
    QCOMPARE(RoundUp((float(2) + threshold) * 20.0f), 43);
    QCOMPARE(std::ceil((2.0 + double(threshold)) * 20.0), 44.0);
    QCOMPARE(RoundUp((float(1) + CatalogueDecimal(10260, 12)) * 20.0f), 27);
    QCOMPARE(RoundUp(3 * 3333.33f / 10000.0f), 1);
    QCOMPARE(RoundUp(12 * 5000.0f / 10000.0f), 6);
    QCOMPARE(RoundUp(0.0f), 0);
    QCOMPARE(RoundUp(0.0001f), 1);
}

void TestCatalogue::languageLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("admitted");
    QTest::newRow("single 0 admits English") << "0" << 2057 << true;
    QTest::newRow("single 0 admits Italian") << "0" << 1040 << true;
    QTest::newRow("single 0 admits no language") << "0" << -1 << true;
    QTest::newRow("0|1040 admits Italian") << "0|1040" << 1040 << true;
    QTest::newRow("0|1040 does not admit English") << "0|1040" << 2057 << false;
    QTest::newRow("single entry admits its own") << "1040" << 1040 << true;
    QTest::newRow("single entry admits no other") << "1040" << 1031 << false;
    QTest::newRow("several entries") << "1031|1040|3082" << 3082 << true;
    QTest::newRow("blanks around entries") << " 1031 | 1040 " << 1040 << true;
    QTest::newRow("empty list") << "" << 1040 << false;
    QTest::newRow("not a number") << "all" << 1040 << false;
    QTest::newRow("a bad entry matches nothing") << "x|1040" << 1040 << true;
}

void TestCatalogue::languageLists()
{
    QFETCH(QString, list);
    QFETCH(int, language);
    QFETCH(bool, admitted);
    QCOMPARE(LanguageListAdmits(list, language), admitted);
}

void TestCatalogue::offeredItemsFromTheVendorLibrary()
{
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
    QCOMPARE(OfferedUpsItems(int32_t(TFamily::InverterCabinet)), ListRecords(kUpsArea, int32_t(TFamily::InverterCabinet)));
    QCOMPARE(OfferedUpsItems(int32_t(TFamily::PowerModule)), ListRecords(kUpsArea, int32_t(TFamily::PowerModule)));
    // The 94 Ah kit is offered through the module's code 2101.
    QCOMPARE(OfferedUpsItems(int32_t(TFamily::BatteryKit)), (TIntegerArray{10240, 10260, 10480}));
    QCOMPARE(OfferedUpsItems(int32_t(TFamily::ModularBatteryCabinet)), (TIntegerArray{10140, 10160}));
    QCOMPARE(OfferedUpsItems(int32_t(TFamily::NonModularBatteryCabinet)), TIntegerArray{10460});

    // The AS/400 items and every contract are for the Italian edition only.
    const TIntegerArray allAccessories = ListRecords(kAccessoryArea, int32_t(TFamily::Accessory));
    TIntegerArray english = allAccessories;
    english.removeAll(20200);
    english.removeAll(20220);
    QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Accessory), 2057), english);
    QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Accessory), 1040), allAccessories);
    QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Contract), 1040), ListRecords(kAccessoryArea, int32_t(TFamily::Contract)));
    QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Contract), 2057), TIntegerArray{});

    QCOMPARE(ArticleCode(10000), QStringLiteral("QV-IC-03-08"));
    QCOMPARE(ArticleCode(20300), QStringLiteral("QV-MC-C-16"));
    QCOMPARE(ArticleCode(10500), QString()); // no record
}

void TestCatalogue::nothingOfferedWithoutLibrary()
{
    for (int32_t family : {0, 1, 2, 3, 4, 5})
        QVERIFY(OfferedUpsItems(family).isEmpty());
    QVERIFY(OfferedAccessoryItems(int32_t(TFamily::Accessory), 0).isEmpty());
    QVERIFY(OfferedAccessoryItems(int32_t(TFamily::Contract), 1040).isEmpty());
    QCOMPARE(ArticleCode(10000), QString());
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
