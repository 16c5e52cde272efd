// Accessories and maintenance contracts: descriptions in both forms from the
// real language file, the size range of a contract from the real vendor
// library, and the tick lists behind the wizard grids.

#include "Accessories.h"
#include "Catalogue.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QtTest>

namespace {

TIntegerArray AllAccessories() { return ListRecords(kAccessoryArea, int32_t(TFamily::Accessory)); }

/// The entry of an accessory record in a list of all accessories.
int32_t IndexOf(int32_t recordId) { return int32_t(AllAccessories().indexOf(recordId)); }

} // namespace

class TestAccessories : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void descriptions_data();
    void descriptions();
    void textThatCannotBeFormatted();
    void contractCoversSize_data();
    void contractCoversSize();
    void contractsWithoutLibrary();
    void contractsShownForSize();
    void ticking_data();
    void ticking();
    void tickingOutsideTheList();
    void checkedItemsAndRestore();
    void quantityText_data();
    void quantityText();

private:
    TSetupData m_saved;
};

void TestAccessories::initTestCase()
{
    m_saved = SetupData;
    SetupData.ProgramPath = BuiltProgramPath();
    SetupData.LanguageFile = QStringLiteral("English.lng");
    QVERIFY(QFile::exists(SetupData.ProgramPath + SetupData.LanguageFile));
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
}

void TestAccessories::cleanupTestCase()
{
    UnloadVendorLibrary();
    SetupData = m_saved;
}

void TestAccessories::descriptions_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<bool>("gridForm");
    QTest::addColumn<QString>("expected");
    QTest::newRow("RCCMD grid: label directly followed by the text, line breaks")
        << 20160 << true << "RCCMD\nRemote shutdown software for network clients \n(licences: 25)";
    QTest::newRow("RCCMD list: separator, breaks removed")
        << 20160 << false << "RCCMD - Remote shutdown software for network clients (licences: 25)";
    QTest::newRow("CS121 list") << 20000 << false
                                << "CS121 SK - SNMP/Web network adapter (slot card), monitoring and shutdown of 1 UPS "
                                   "over Ethernet";
    QTest::newRow("AS/400 licence grid") << 20200 << true
                                         << "RCCMD IBM AS/400\nRemote shutdown licence for IBM AS/400 \n(systems: 1)";
    QTest::newRow("contract grid keeps its separator")
        << 20240 << true
        << "Canone C - Annual maintenance contract: one preventive visit per year, \non-site response within 24 "
           "working hours, labour and travel included";
    QTest::newRow("contract list: percent sign formatted")
        << 20640 << false
        << "Canone E - Annual maintenance contract: two preventive visits per year, 24/7 on-site response within 4 "
           "hours, labour, travel and spare parts included, 20% discount on battery replacement";
}

void TestAccessories::descriptions()
{
    QFETCH(int, record);
    QFETCH(bool, gridForm);
    QFETCH(QString, expected);
    QCOMPARE(AccessoryText(record, CatalogueInt(record, 0), gridForm), expected);
}

void TestAccessories::textThatCannotBeFormatted()
{
    // A language file whose text does not match its one argument: label,
    // separator and the text as it stands.
    QTemporaryDir dir;
    QFile file(dir.filePath("Broken.lng"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[LangOptions]\nLanguageName=Broken\nLanguageID=2057\n[Accessories]\n"
               "AccessoriesItemCs121=card %d for\\nUPS\n[Contracts]\nContractsItem_C=plan %s %s\n");
    file.close();
    const TSetupData saved = SetupData;
    SetupData.ProgramPath = dir.path() + "/";
    SetupData.LanguageFile = QStringLiteral("Broken.lng");
    const QString grid = AccessoryText(20000, int32_t(TFamily::Accessory), true);
    const QString list = AccessoryText(20000, int32_t(TFamily::Accessory), false);
    const QString contract = AccessoryText(20240, int32_t(TFamily::Contract), false);
    const QString missing = AccessoryText(20020, int32_t(TFamily::Accessory), false); // key not in the file
    SetupData = saved;
    QCOMPARE(grid, QStringLiteral("CS121 SKcard %d for\nUPS"));
    QCOMPARE(list, QStringLiteral("CS121 SK - card %d forUPS"));
    QCOMPARE(contract, QStringLiteral("Canone C - plan %s %s"));
    QCOMPARE(missing, QStringLiteral("CS121B SK - "));
}

void TestAccessories::contractCoversSize_data()
{
    QTest::addColumn<int>("contract");
    QTest::addColumn<int>("maxVA");
    QTest::addColumn<int>("maxW");
    QTest::addColumn<bool>("covers");
    // 20240: 0 to 10000 VA and 0 to 8000 W; 20300: 10001 to 16000 VA, 8001 to 12800 W.
    QTest::newRow("10 kVA size") << 20240 << 10000 << 8000 << true;
    QTest::newRow("8 kVA size") << 20240 << 8000 << 6400 << true;
    QTest::newRow("16 kVA size is above") << 20240 << 16000 << 12800 << false;
    QTest::newRow("W above alone") << 20240 << 10000 << 8001 << false;
    QTest::newRow("next band covers 16 kVA") << 20300 << 16000 << 12800 << true;
    QTest::newRow("next band covers 15 kVA") << 20300 << 15000 << 12000 << true;
    QTest::newRow("next band starts above 10 kVA") << 20300 << 10000 << 8000 << false;
    QTest::newRow("accessory has no range") << 20000 << 10000 << 8000 << false;
    QTest::newRow("not a record") << 30000 << 10000 << 8000 << false;
}

void TestAccessories::contractCoversSize()
{
    QFETCH(int, contract);
    QFETCH(int, maxVA);
    QFETCH(int, maxW);
    QFETCH(bool, covers);
    QCOMPARE(ContractCovers(contract, maxVA, maxW), covers);
}

void TestAccessories::contractsWithoutLibrary()
{
    UnloadVendorLibrary();
    const bool covers = ContractCovers(20240, 10000, 8000);
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
    QVERIFY(!covers);
}

void TestAccessories::contractsShownForSize()
{
    TAccessoriesRecord all = MakeAccessoriesRecord(ListRecords(kAccessoryArea, int32_t(TFamily::Contract)));
    all.Checked[0] = true;  // 20240, the 10 kVA band
    all.Checked[3] = true;  // 20300, the 16 kVA band
    const TAccessoriesRecord shown = ContractsForSize(all, 10000, 8000);
    QCOMPARE(shown.Ids, (TIntegerArray{20240, 20260, 20280}));
    QCOMPARE(shown.Checked, (QVector<bool>{true, false, false}));
    QCOMPARE(shown.Quantities, (QVector<int32_t>{1, 1, 1}));
    QCOMPARE(ContractsForSize(all, 16000, 12800).Ids, (TIntegerArray{20300, 20320, 20340}));
    QVERIFY(ContractsForSize(all, 90000, 72000).Ids.isEmpty());
}

void TestAccessories::ticking_data()
{
    QTest::addColumn<QVector<int>>("ticked"); // records ticked before the click
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QVector<int>>("after");
    QTest::addColumn<bool>("askQuantity");
    QTest::newRow("RCCMD leaves the other RCCMD rows and asks")
        << QVector<int>{20100, 20140} << 20120 << QVector<int>{20100, 20120, 20140} << true;
    QTest::newRow("CS121B unticks CS121 without asking") << QVector<int>{20000} << 20020 << QVector<int>{20020} << false;
    QTest::newRow("the whole group 0 is unticked")
        << QVector<int>{20000, 20060, 20100} << 20080 << QVector<int>{20080, 20100} << false;
    QTest::newRow("unticking a group item leaves the others") << QVector<int>{20000, 20060} << 20000
                                                            << QVector<int>{20060} << false;
    QTest::newRow("unticking RCCMD does not ask") << QVector<int>{20100} << 20100 << QVector<int>{} << false;
    QTest::newRow("kit AS/400 has a fixed quantity") << QVector<int>{} << 20220 << QVector<int>{20220} << false;
    QTest::newRow("AS/400 licence asks") << QVector<int>{20220} << 20200 << QVector<int>{20200, 20220} << true;
}

void TestAccessories::ticking()
{
    QFETCH(QVector<int>, ticked);
    QFETCH(int, clicked);
    QFETCH(QVector<int>, after);
    QFETCH(bool, askQuantity);
    TAccessoriesRecord list = MakeAccessoriesRecord(AllAccessories());
    for (int id : ticked)
        list.Checked[IndexOf(id)] = true;
    QCOMPARE(ToggleAccessoryEntry(list, IndexOf(clicked)), askQuantity);
    QVector<int> now;
    for (qsizetype i = 0; i < list.Ids.size(); ++i)
        if (list.Checked[i])
            now << list.Ids[i];
    QCOMPARE(now, after);
    QCOMPARE(list.Quantities, QVector<int32_t>(list.Ids.size(), 1));
}

void TestAccessories::tickingOutsideTheList()
{
    TAccessoriesRecord list = MakeAccessoriesRecord(AllAccessories());
    QVERIFY(!ToggleAccessoryEntry(list, -1));
    QVERIFY(!ToggleAccessoryEntry(list, int32_t(list.Ids.size())));
    QVERIFY(!list.Checked.contains(true));
    TAccessoriesRecord empty = MakeAccessoriesRecord({});
    QVERIFY(empty.Ids.isEmpty() && empty.Checked.isEmpty() && empty.Quantities.isEmpty());
    QVERIFY(!ToggleAccessoryEntry(empty, 0));
    QVERIFY(CheckedItems(empty).isEmpty());
}

void TestAccessories::checkedItemsAndRestore()
{
    TAccessoriesRecord list = MakeAccessoriesRecord(AllAccessories());
    list.Checked[IndexOf(20180)] = true;
    list.Quantities[IndexOf(20180)] = 7;
    list.Checked[IndexOf(20000)] = true;
    const TArrayGenericAccessory items = CheckedItems(list);
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0].RecordId, 20000); // list order
    QCOMPARE(items[0].Quantity, 1);
    QCOMPARE(items[1].RecordId, 20180);
    QCOMPARE(items[1].Quantity, 7);

    // Edit mode: stored choices tick their entries; an item no longer offered is dropped.
    TAccessoriesRecord again = MakeAccessoriesRecord(AllAccessories());
    TArrayGenericAccessory stored = items;
    stored.append({20640, 1});
    RestoreAccessoryChoices(again, stored, true);
    QCOMPARE(CheckedItems(again).size(), 2);
    QCOMPARE(again.Quantities[IndexOf(20180)], 7);
    TAccessoriesRecord contracts = MakeAccessoriesRecord({20240, 20260});
    RestoreAccessoryChoices(contracts, {{20260, 5}}, false);
    QCOMPARE(contracts.Checked, (QVector<bool>{false, true}));
    QCOMPARE(contracts.Quantities, (QVector<int32_t>{1, 1}));
}

void TestAccessories::quantityText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("quantity");
    QTest::newRow("number") << "12" << 12;
    QTest::newRow("blanks around") << " 5 " << 5;
    QTest::newRow("letters read as 0") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("decimal") << "2.5" << 0;
}

void TestAccessories::quantityText()
{
    QFETCH(QString, text);
    QFETCH(int, quantity);
    QCOMPARE(QuantityFromText(text), quantity);
}

QTEST_GUILESS_MAIN(TestAccessories)
#include "test_accessories.moc"
