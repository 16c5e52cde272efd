// What the wizard tells beside its choices, on the real vendor library, the
// English language file and the sample price list (a real encrypted file): the
// sizes' prices and the cheapest one, the sizes of the same power told apart,
// the reason no redundant module fits and the accessory a tick unticked.

#include "Accessories.h"
#include "CatalogueRecords.h"
#include "Globals.h"
#include "ItemList.h"
#include "Lang.h"
#include "PriceList.h"
#include "Startup.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "WizardAdvice.h"
#include "WizardCore.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TIds = QList<int32_t>;

/// One wizard run on its own records, up to the Power page.
struct TRun {
    TRequestParameters Request{};
    TResultParameters Result{};
    std::unique_ptr<TWizardCore> Core;

    explicit TRun(int32_t kind, bool threePhaseIn = true)
    {
        Core = std::make_unique<TWizardCore>(Request, Result, TWizardContext{false, false, 1033},
                                             TWizardMode::NewConfiguration);
        Core->PhasesNext(threePhaseIn, kind);
        Core->EnterPower();
    }

    qsizetype LineOf(int32_t cabinet) const
    {
        for (qsizetype i = 0; i < Core->SizeList().size(); ++i)
            if (Core->SizeList()[i].RecordId == cabinet)
                return i;
        return -1;
    }
};

QString Slots() { return LangWizard(QStringLiteral("PowerModulesSlots")); }

QString Full(int modules, int slotCount)
{
    return QStringLiteral("No redundant module fits: at this load the power modules fill every slot of the UPS "
                          "(modules: %1, slots: %2).")
        .arg(modules)
        .arg(slotCount);
}

QString PhaseFull(const char *phase, int modules, int slotCount)
{
    return QStringLiteral("No redundant module fits on %1: at this load the power modules fill every slot there "
                          "(per phase modules: %2, slots: %3).")
        .arg(QLatin1String(phase))
        .arg(modules)
        .arg(slotCount);
}

/// The price list of the Quenvar sample, open for one test.
class TSamplePriceList {
public:
    TSamplePriceList()
    {
        m_saved = SetupData;
        SetupData.DataPath = m_dir.path() + QStringLiteral("/");
        QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), SetupData.DataPath + QLatin1String(kPriceListFileName));
        SetupData.ShowPrices = LoadPriceList();
    }
    ~TSamplePriceList()
    {
        ClosePriceListDatabase();
        PriceList = TPriceList();
        SetupData = m_saved;
    }
    TItemListContext Context() const { return ProgramItemListContext(QVector<TStandardUpsDefinition>{}, SetupData); }

private:
    QTemporaryDir m_dir;
    TSetupData m_saved;
};

} // namespace

class TestWizardAdvice : public QObject {
    Q_OBJECT

private:
    TRecordingMessageService m_messages;

private slots:
    void initTestCase()
    {
        SetupData.ProgramPath = BuiltProgramPath();
        SetupData.LanguageFile = QStringLiteral("English.lng");
        SetupData.LanguageID = 1033;
        SetupData.VendorName = QStringLiteral("Quenvar");
        QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so")));
    }

    void cleanup() { QCOMPARE(m_messages.Texts(), QStringList()); }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    // --- The sizes' prices

    void sizePricesAreTheItemListsCabinetAndModules_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("load");
        QTest::addColumn<bool>("inWatt");
        QTest::addColumn<int32_t>("cheapest");
        QTest::addColumn<QString>("cheapestPrice");
        // 8 kVA: QV-IC-03-08 2700 + 3 x QV-PM-27 1450.
        QTest::newRow("8000 VA, three outputs") << 0 << "8000" << false << 10000 << "7,050.00 ";
        // Above 8 kVA: the 10 kVA of 1345 mm, 3000 + 3 x 1750, before the tall one, 3200 + 3 x 1800.
        QTest::newRow("9000 VA, three outputs") << 0 << "9000" << false << 10020 << "8,250.00 ";
        QTest::newRow("7000 W, three-phase out") << 1 << "7000" << true << 10020 << "8,250.00 ";
        QTest::newRow("25000 VA, single out") << 2 << "25000" << false << -1 << "";
        QTest::newRow("40000 VA, three outputs") << 0 << "40000" << false << -1 << "";
        QTest::newRow("load of 0") << 0 << "0" << false << -1 << "";
    }

    void sizePricesAreTheItemListsCabinetAndModules()
    {
        QFETCH(int, kind);
        QFETCH(QString, load);
        QFETCH(bool, inWatt);
        QFETCH(int32_t, cheapest);
        QFETCH(QString, cheapestPrice);
        const TSamplePriceList prices;
        QVERIFY(PriceList.Loaded);
        TRun run(kind);
        TLoadEntry entry;
        QVERIFY(ReadLoadEntry(load, QString(), false, inWatt, entry));
        const QVector<TSizePrice> advice =
            PriceSizeList(run.Core->SizeList(), run.Core->OfferedModules(), run.Request, entry, prices.Context());
        QCOMPARE(advice.size(), run.Core->SizeList().size());

        // Each size that fits is priced as the item list prices the sizing on that line.
        qsizetype marked = -1, fitting = 0;
        for (qsizetype i = 0; i < advice.size(); ++i) {
            TRun sized(kind);
            const bool fits = sized.Core->PowerNext(load, QStringLiteral("0"), inWatt, int32_t(i)).Ok();
            const QByteArray where = "line " + QByteArray::number(i);
            QVERIFY2(advice[i].Fits == fits && advice[i].Priced == fits, where.constData());
            if (advice[i].Cheapest)
                marked = i;
            if (!fits)
                continue;
            ++fitting;
            const TItemList list = BuildItemList(sized.Request, sized.Result, prices.Context());
            QCOMPARE(list.Rows.at(0).Code, ItemCode(sized.Result.InverterRecord));
            QCOMPARE(list.Rows.at(1).Code, ItemCode(sized.Result.ModuleRecord));
            const TCurrency cabinetAndModules =
                list.Rows.at(0).Price + TCurrency(list.Rows.at(1).Quantity) * list.Rows.at(1).Price;
            QVERIFY2(advice[i].Price == cabinetAndModules, where.constData());
            QVERIFY2(advice[i].Price > 0, where.constData());
        }

        // The first of the lowest prices among the sizes that fit is marked, and only it.
        QCOMPARE(marked >= 0, fitting > 0);
        if (cheapest != -1) {
            QCOMPARE(run.Core->SizeList().at(marked).RecordId, cheapest);
            QCOMPARE(FormatPrice(advice[marked].Price), cheapestPrice);
        }
        for (qsizetype i = 0; i < advice.size() && marked >= 0; ++i) {
            QVERIFY(!advice[i].Fits || advice[i].Price >= advice[marked].Price);
            QVERIFY(i >= marked || !advice[i].Fits || advice[i].Price > advice[marked].Price);
        }

        // The list shows the price after the size and marks the cheapest once.
        const QStringList texts = SizeLineTexts(run.Core->SizeList(), advice, PriceList.Currency);
        const QString mark = QStringLiteral(", ") + LangWizard(QStringLiteral("PagePowerSizeCheapest"));
        QCOMPARE(texts.filter(mark).size(), marked >= 0 ? 1 : 0);
        if (marked >= 0)
            QVERIFY(texts.at(marked).endsWith(FormatPrice(advice[marked].Price) + PriceList.Currency + mark));
    }

    void withoutPriceListNothingIsPriced_data()
    {
        QTest::addColumn<bool>("priceList");
        QTest::addColumn<QString>("load");
        QTest::newRow("no price list") << false << "9000";
        QTest::newRow("price list, load not a number") << true << "9 kVA";
    }

    void withoutPriceListNothingIsPriced()
    {
        QFETCH(bool, priceList);
        QFETCH(QString, load);
        std::unique_ptr<TSamplePriceList> prices;
        if (priceList)
            prices = std::make_unique<TSamplePriceList>();
        TRun run(0);
        TLoadEntry entry;
        QVector<TSizePrice> advice;
        const TItemListContext context = ProgramItemListContext(QVector<TStandardUpsDefinition>{}, SetupData);
        QCOMPARE(bool(context.Prices), priceList);
        if (ReadLoadEntry(load, QString(), false, false, entry))
            advice = PriceSizeList(run.Core->SizeList(), run.Core->OfferedModules(), run.Request, entry, context);
        for (const TSizePrice &size : advice)
            QVERIFY(!size.Priced && !size.Cheapest);
        // The lines are those the wizard always showed.
        QCOMPARE(SizeLineTexts(run.Core->SizeList(), advice, PriceList.Currency), run.Core->SizeListTexts());
        QCOMPARE(run.Core->SizeListTexts().first(), "8 kVA - 6 kW  (3 " + Slots() + ")");
    }

    // --- Sizes of the same power and slots

    void twinSizesAreToldApart_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("threePhaseIn");
        QTest::addColumn<TIds>("cabinets");
        QTest::addColumn<QStringList>("texts");
        const QString s = Slots();
        // The 10 and 20 kVA twins differ in the battery kits they hold, the 30 kVA ones only in height.
        QTest::newRow("three outputs")
            << 0 << true << TIds{10000, 10020, 10320, 10060, 10360, 10080, 10400, 10380}
            << QStringList{"8 kVA - 6 kW  (3 " + s + ")",
                           "10 kVA - 8 kW  (3 " + s + ")  (room for 12 battery kits)",
                           "10 kVA - 8 kW  (3 " + s + ")  (room for 16 battery kits)",
                           "20 kVA - 16 kW  (6 " + s + ")  (room for 8 battery kits)",
                           "20 kVA - 16 kW  (6 " + s + ")  (room for 12 battery kits)",
                           "30 kVA - 24 kW  (9 " + s + ")  (1345 mm high)",
                           "30 kVA - 24 kW  (9 " + s + ")  (1650 mm high)",
                           "30 kVA - 24 kW  (6 " + s + ")"};
        QTest::newRow("single-phase in") << 0 << false << TIds{10020, 10320, 10440}
                                         << QStringList{"10 kVA - 8 kW  (3 " + s + ")  (room for 12 battery kits)",
                                                        "10 kVA - 8 kW  (3 " + s + ")  (room for 16 battery kits)",
                                                        "30 kVA - 24 kW  (9 " + s + ")"};
    }

    void twinSizesAreToldApart()
    {
        QFETCH(int, kind);
        QFETCH(bool, threePhaseIn);
        QFETCH(TIds, cabinets);
        QFETCH(QStringList, texts);
        TRun run(kind, threePhaseIn);
        const QStringList all = run.Core->SizeListTexts();
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
        for (qsizetype i = 0; i < cabinets.size(); ++i) {
            const qsizetype line = run.LineOf(cabinets[i]);
            QVERIFY2(line >= 0, qPrintable(QString::number(cabinets[i])));
            QCOMPARE(all.at(line), texts.at(i));
        }
    }

    void twinsWithNothingElseApartGetTheirCodes()
    {
        // Two cabinets alike but for their codes: the article codes tell them apart.
        const TSizeLine a{10000, 8000, 3, 10020};
        const TSizeLine b{10000, 8000, 3, 10020};
        QCOMPARE(SizeLineDistinctions({a, b}), QStringList({QString(), QString()}));
        const TSizeLine c{30000, 24000, 9, 10080};
        const TSizeLine d{30000, 24000, 9, 10440}; // same height and kits as 10080
        QCOMPARE(SizeLineDistinctions({c, d}), QStringList({ItemCode(10080), ItemCode(10440)}));
        QVERIFY(ItemCode(10080) != ItemCode(10440) && !ItemCode(10440).isEmpty());
    }

    // --- Redundancy

    void redundancyReason_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("load");
        QTest::addColumn<int32_t>("cabinet");
        QTest::addColumn<QStringList>("sentences");
        const QString s = Slots();
        const QString larger = QStringLiteral("The UPS size %1 has room for redundancy at this load.");
        QTest::newRow("3 modules fill 3 slots, a larger size has room")
            << 1 << "8000" << 10020
            << QStringList{Full(3, 3),
                           larger.arg("16 kVA - 12 kW  (6 " + s + ")")};
        QTest::newRow("the largest size full") << 1 << "60000" << 10120
                                               << QStringList{Full(12, 12)};
        QTest::newRow("every phase full")
            << 0 << "10000" << 10040
            << QStringList{PhaseFull("L1, L2, L3", 2, 2),
                           larger.arg("20 kVA - 16 kW  (6 " + s + ")  (room for 8 battery kits)")};
        QTest::newRow("single output full") << 2 << "10000" << 10020
                                            << QStringList{Full(3, 3),
                                                           larger.arg("16 kVA - 12 kW  (6 " + s + ")")};
        QTest::newRow("room left") << 1 << "8000" << 10040 << QStringList{};
    }

    void redundancyReason()
    {
        QFETCH(int, kind);
        QFETCH(QString, load);
        QFETCH(int32_t, cabinet);
        QFETCH(QStringList, sentences);
        TRun run(kind);
        const qsizetype line = run.LineOf(cabinet);
        QVERIFY(line >= 0);
        QVERIFY(run.Core->PowerNext(load, QStringLiteral("0"), false, int32_t(line)).Ok());
        run.Core->EnterRedundancyForward();
        const QVector<int32_t> counts = run.Core->RedundancyLineCounts();
        const QString advice =
            RedundancyAdvice(run.Request, run.Result, counts, run.Core->SizeList(), run.Core->OfferedModules());
        QCOMPARE(advice.split(QLatin1Char('\n'), Qt::SkipEmptyParts), sentences);
        // Whatever it says, a sentence stands exactly where a choice has no line.
        bool anyEmpty = false;
        for (int32_t count : counts)
            anyEmpty = anyEmpty || count <= 0;
        QCOMPARE(!advice.isEmpty(), anyEmpty);
    }

    // --- Accessories

    void exclusionNote_data()
    {
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QString>("note");
        QTest::newRow("a group's second item")
            << QStringList{"CS121 SK"} << "CS121B SK" << "Ticking CS121B SK unticked CS121 SK: they cannot be chosen together.";
        QTest::newRow("the group's first item") << QStringList{} << "CS121 SK" << "";
        QTest::newRow("unticking") << QStringList{"CS121 SK"} << "CS121 SK" << "";
        QTest::newRow("no group") << QStringList{"UPS Supervisor USB"} << "RCCMD" << "";
        QTest::newRow("items without a group stay")
            << QStringList{"CS121 SK", "RCCMD"} << "UPS Supervisor USB"
            << "Ticking UPS Supervisor USB unticked CS121 SK: they cannot be chosen together.";
    }

    void exclusionNote()
    {
        QFETCH(QStringList, ticked);
        QFETCH(QString, click);
        QFETCH(QString, note);
        TRun run(0);
        run.Core->FillAccessoryLists();
        TAccessoriesRecord &list = run.Core->AccessoryList();
        auto entryOf = [&list](const QString &label) {
            for (qsizetype i = 0; i < list.Ids.size(); ++i)
                if (Accessory(list.Ids[i]).Label == label)
                    return int32_t(i);
            return -1;
        };
        for (const QString &label : ticked) {
            QVERIFY(entryOf(label) >= 0);
            list.Checked[entryOf(label)] = true;
        }
        const int32_t entry = entryOf(click);
        QVERIFY(entry >= 0);
        const QVector<bool> before = list.Checked;
        run.Core->ToggleEntry(list, entry);
        QCOMPARE(ExclusionNote(before, list, entry), note);
    }
};

QTEST_GUILESS_MAIN(TestWizardAdvice)
#include "test_wizard_advice.moc"
