// The wizard's flow without its window, page by page, on the real vendor
// library and the English language file of the program folder.

#include "Catalogue.h"
#include "Globals.h"
#include "Lang.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "WizardCore.h"

#include <QtTest>

namespace {

using TIds = QList<int32_t>;

/// One wizard run on its own records.
struct TRun {
    TRequestParameters Request{};
    TResultParameters Result{};
    TWizardContext Context;
    std::unique_ptr<TWizardCore> Core;

    explicit TRun(bool debug = false, bool home = false, int32_t languageId = 1033,
                  TWizardMode mode = TWizardMode::NewConfiguration)
    {
        Context.DebugMode = debug;
        Context.HomeMarket = home;
        Context.LanguageID = languageId;
        Core = std::make_unique<TWizardCore>(Request, Result, Context, mode);
    }

    /// Phases and Power pages with the given entries; the refusal of the Power page.
    TPageError ToRedundancy(int32_t kind, const QString &load, int32_t line, bool inWatt = false,
                            bool threePhaseIn = true, const QString &margin = QStringLiteral("0"))
    {
        Core->PhasesNext(threePhaseIn, kind);
        Core->EnterPower();
        Core->SelectSizeLine(line, inWatt);
        const TPageError e = Core->PowerNext(load, margin, inWatt, line);
        if (e.Ok())
            Core->EnterRedundancyForward();
        return e;
    }

    TPageError Autonomy(const QString &minutes, const QString &percent = QStringLiteral("80"), bool modular = true,
                        int32_t batteryLine = 0)
    {
        return Core->AutonomyNext(true, minutes, QStringLiteral("0"), QStringLiteral("10"), percent, modular,
                                  batteryLine);
    }
};

QString SlotsWord() { return LangWizard(QStringLiteral("PowerModulesSlots")); }

} // namespace

class TestWizardCore : public QObject {
    Q_OBJECT

private:
    TRecordingMessageService m_messages;

    static void LoadVendor() { QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so"))); }

private slots:
    void initTestCase()
    {
        SetupData.ProgramPath = BuiltProgramPath();
        SetupData.LanguageFile = QStringLiteral("English.lng");
        SetupData.LanguageID = 1033;
        SetupData.VendorName = QStringLiteral("Quenvar");
        QVERIFY(!LangWizard(QStringLiteral("SelectionNone")).isEmpty());
        LoadVendor();
    }

    void init()
    {
        if (!VendorLibraryLoaded())
            LoadVendor();
        m_messages.Messages.clear();
    }

    // The core reports refusals to its caller and never opens a box itself.
    void cleanup() { QCOMPARE(m_messages.Texts(), QStringList()); }

    void cleanupTestCase() { UnloadVendorLibrary(); }

    // --- Page sequence and navigation

    void pageSequence_data()
    {
        QTest::addColumn<bool>("library");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("home");
        QTest::addColumn<TIds>("numbers");
        QTest::newRow("no vendor entries") << false << false << false << TIds{0, 1, 2, 3};
        QTest::newRow("no vendor entries, home market") << false << false << true << TIds{0, 1, 2, 3};
        QTest::newRow("no vendor entries, debug") << false << true << false << TIds{0, 1, 2, 3, 4};
        QTest::newRow("vendor, export") << true << false << false << TIds{0, 1, 2, 3, 4, 5};
        QTest::newRow("vendor, export, debug") << true << true << false << TIds{0, 1, 2, 3, 4, 5};
        QTest::newRow("vendor, home market") << true << false << true << TIds{0, 1, 2, 3, 5, 6};
        QTest::newRow("vendor, home market, debug") << true << true << true << TIds{0, 1, 2, 3, 4, 5, 6};
    }

    void pageSequence()
    {
        QFETCH(bool, library);
        QFETCH(bool, debug);
        QFETCH(bool, home);
        QFETCH(TIds, numbers);
        if (!library)
            UnloadVendorLibrary();
        QList<TWizardPage> sequence; // the answers' page numbers
        for (int32_t number : numbers)
            sequence << TWizardPage(number);
        TRun run(debug, home);
        const TWizardCore &core = *run.Core;
        QCOMPARE(core.PageSequence(), sequence);
        QCOMPARE(core.FirstPage(), TWizardPage::Phases);

        // Walking forward and back visits the sequence in order and stops at both ends.
        QCOMPARE(core.PreviousPage(sequence.first()), TWizardPage::None);
        QVERIFY(!core.BackEnabled(sequence.first()));
        for (qsizetype i = 0; i + 1 < sequence.size(); ++i) {
            QCOMPARE(core.NextPage(sequence[i]), sequence[i + 1]);
            QCOMPARE(core.PreviousPage(sequence[i + 1]), sequence[i]);
            QVERIFY(core.BackEnabled(sequence[i + 1]));
            QVERIFY(!core.IsLastPage(sequence[i]));
        }
        QVERIFY(core.IsLastPage(sequence.last()));
        QCOMPARE(core.NextPage(sequence.last()), TWizardPage::None);
        // A page outside the sequence leads nowhere.
        if (!sequence.contains(TWizardPage::Advanced))
            QCOMPARE(core.NextPage(TWizardPage::Advanced), TWizardPage::None);
    }

    void editAutonomyStartsOnAutonomyPage()
    {
        TRun run(false, false, 1033, TWizardMode::EditAutonomy);
        const TWizardCore &core = *run.Core;
        QCOMPARE(core.FirstPage(), TWizardPage::Autonomy);
        QVERIFY(!core.BackEnabled(TWizardPage::Autonomy));
        QCOMPARE(core.PreviousPage(TWizardPage::Autonomy), TWizardPage::None);
        QVERIFY(core.BackEnabled(TWizardPage::Advanced));
        QCOMPARE(core.PreviousPage(TWizardPage::Advanced), TWizardPage::Autonomy);
        QCOMPARE(core.NextPage(TWizardPage::Autonomy), TWizardPage::Advanced);
    }

    // --- What the vendor offers

    void offeredChoices()
    {
        TRun run;
        const TWizardCore &core = *run.Core;
        QCOMPARE(core.OfferedModules(), TIds({10180, 10200, 10220, 10300}));
        QCOMPARE(core.OfferedKits(), TIds({10240, 10260, 10480}));
        QCOMPARE(core.OfferedModularCabinets(), TIds({10140, 10160}));
        QCOMPARE(core.OfferedNonModularCabinets(), TIds({10460}));
        QCOMPARE(core.OfferedInverters().size(), 14);
        QVERIFY(core.SinglePhaseInputOffered());
        QVERIFY(core.SinglePhaseOutputOffered());
        QVERIFY(core.NonModularCabinetOffered());
        // Only the kits for modular cabinets are listed, after "Automatico".
        QCOMPARE(core.BatteryTypeLines(), QStringList({"Automatico", "7,2 Ah", "9,0 Ah"}));
        QCOMPARE(core.DefaultLoadPercentText(), QStringLiteral("80"));
    }

    void nothingOfferedWithoutVendorLibrary()
    {
        UnloadVendorLibrary();
        TRun run;
        TWizardCore &core = *run.Core;
        QVERIFY(core.OfferedInverters().isEmpty());
        QVERIFY(!core.SinglePhaseInputOffered());
        QVERIFY(!core.NonModularCabinetOffered());
        QCOMPARE(core.BatteryTypeLines(), QStringList({"Automatico"}));
        QCOMPARE(core.DefaultLoadPercentText(), QStringLiteral("80"));
        core.PhasesNext(true, 0);
        QVERIFY(core.SizeList().isEmpty());
        QCOMPARE(core.DefaultSizeLine(), -1);
        // Without a size the page refuses with ErrorHighPower before any power limit,
        // but a load that is not a number is reported first.
        QCOMPARE(core.PowerNext("0", "0", false, -1).MessageKey, QStringLiteral("ErrorHighPower"));
        QCOMPARE(core.PowerNext("99999999", "0", false, -1).MessageKey, QStringLiteral("ErrorHighPower"));
        QCOMPARE(core.PowerNext("ten", "0", false, -1).MessageKey, QStringLiteral("ErrorInvalidNumber"));
    }

    // --- Phases page: the size list

    void sizeList_data()
    {
        QTest::addColumn<bool>("threePhaseIn");
        QTest::addColumn<int>("kind");
        QTest::addColumn<TIds>("cabinets");
        QTest::addColumn<QStringList>("firstTexts");
        QTest::addColumn<uint8_t>("outputLines");
        QTest::addColumn<uint8_t>("loadPhases");
        const QString w = SlotsWord();
        const TIds threeLine{10000, 10020, 10320, 10340, 10040, 10060, 10360, 10080, 10380, 10400, 10420, 10100, 10120};
        QTest::newRow("3-phase in, three outputs")
            << true << 0 << threeLine
            << QStringList{"8 kVA - 6 kW  (3 " + w + ")", "10 kVA - 8 kW  (3 " + w + ")  (room for 12 battery kits)"}
            << uint8_t(3)
            << uint8_t(1);
        QTest::newRow("3-phase in, 3-phase out") << true << 1 << threeLine << QStringList{"8 kVA - 6 kW  (3 " + w + ")"}
                                                 << uint8_t(3) << uint8_t(3);
        // Field 12: the three-phase-input single-output cabinets, ordered by power in W.
        QTest::newRow("3-phase in, single out")
            << true << 2 << TIds{10000, 10020, 10320, 10340, 10040, 10060, 10360, 10380, 10440}
            << QStringList{"8 kVA - 6 kW  (3 " + w + ")"} << uint8_t(1) << uint8_t(1);
        // Field 11: single-phase input, three-line output.
        QTest::newRow("1-phase in, three outputs")
            << false << 0 << TIds{10000, 10020, 10320, 10340, 10040, 10060, 10360, 10380, 10440}
            << QStringList{"8 kVA - 6 kW  (3 " + w + ")"} << uint8_t(3) << uint8_t(1);
    }

    void sizeList()
    {
        QFETCH(bool, threePhaseIn);
        QFETCH(int, kind);
        QFETCH(TIds, cabinets);
        QFETCH(QStringList, firstTexts);
        QFETCH(uint8_t, outputLines);
        QFETCH(uint8_t, loadPhases);
        TRun run;
        run.Core->PhasesNext(threePhaseIn, kind);
        QCOMPARE(run.Request.InputThreePhase, threePhaseIn);
        QCOMPARE(int(run.Request.OutputKind), kind);
        QCOMPARE(run.Request.OutputLines, outputLines);
        QCOMPARE(run.Request.LoadPhases, loadPhases);
        TIds ids;
        for (const TSizeLine &line : run.Core->SizeList())
            ids << line.RecordId;
        QCOMPARE(ids, cabinets);
        QCOMPARE(run.Core->DefaultSizeLine(), int32_t(cabinets.size() - 1));
        const QStringList texts = run.Core->SizeListTexts();
        QCOMPARE(texts.size(), cabinets.size());
        QCOMPARE(texts.mid(0, firstTexts.size()), firstTexts);
        const TSizeLine &last = run.Core->SizeList().last();
        QCOMPARE(texts.last(), QStringLiteral("%1 kVA - %2 kW  (%3 %4)")
                                   .arg(last.VA / 1000)
                                   .arg(last.W / 1000)
                                   .arg(last.Slots)
                                   .arg(SlotsWord()));
    }

    void sizeLineTextsTruncateToWholeKilo()
    {
        TRun run;
        run.Core->PhasesNext(true, 0);
        // 15000 VA / 12000 W, 3 slots; 45000 VA / 36000 W, 9 slots
        QVERIFY(run.Core->SizeListTexts().contains("15 kVA - 12 kW  (3 " + SlotsWord() + ")"));
        QVERIFY(run.Core->SizeListTexts().contains("45 kVA - 36 kW  (9 " + SlotsWord() + ")"));
    }

    // --- Power page

    void powerRefusals_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QString>("load");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<bool>("inWatt");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("field");
        const int load = int(TWizardField::LoadPower), margin = int(TWizardField::Margin),
                  none = int(TWizardField::None);
        // Line 1 is the 10 kVA / 8 kW cabinet 10020.
        QTest::newRow("load not a number") << false << "abc" << "0" << false << 1 << "ErrorInvalidNumber"
                                           << QVariantList{} << load;
        QTest::newRow("load empty") << false << "" << "0" << false << 1 << "ErrorInvalidNumber" << QVariantList{}
                                    << load;
        QTest::newRow("load with inner blank") << false << "10 000" << "0" << false << 1 << "ErrorInvalidNumber"
                                               << QVariantList{} << load;
        QTest::newRow("margin not a number") << true << "5000" << "x" << false << 1 << "ErrorInvalidNumber"
                                             << QVariantList{} << margin;
        QTest::newRow("margin above 100") << true << "5000" << "101" << false << 1 << "ErrorNumberOutOfRange"
                                          << QVariantList{0, 100} << margin;
        QTest::newRow("margin negative") << true << "5000" << "-1" << false << 1 << "ErrorNumberOutOfRange"
                                         << QVariantList{0, 100} << margin;
        QTest::newRow("load zero") << false << "0" << "0" << false << 1 << "ErrorNumberOutOfRange"
                                   << QVariantList{1, 10000} << load;
        QTest::newRow("load negative, in W") << false << "-5" << "0" << true << 1 << "ErrorNumberOutOfRange"
                                             << QVariantList{1, 8000} << load;
        QTest::newRow("above the size in VA") << false << "10001" << "0" << false << 1 << "ErrorNumberOutOfRange"
                                              << QVariantList{0, 10000} << load;
        QTest::newRow("above the size in W") << false << "8001" << "0" << true << 1 << "ErrorNumberOutOfRange"
                                             << QVariantList{0, 8000} << load;
        // 9100 + Round(910) = 10010 > 10000
        QTest::newRow("margin lifts above the size") << true << "9100" << "10" << false << 1
                                                     << "ErrorNumberOutOfRange" << QVariantList{0, 10000} << load;
        QTest::newRow("huge load") << false << "2147483647" << "0" << false << 1 << "ErrorNumberOutOfRange"
                                   << QVariantList{0, 10000} << load;
        QTest::newRow("no size selected") << false << "5000" << "0" << false << -1 << "ErrorHighPower"
                                          << QVariantList{} << none;
        QTest::newRow("size beyond the list") << false << "5000" << "0" << false << 13 << "ErrorHighPower"
                                              << QVariantList{} << none;
    }

    void powerRefusals()
    {
        QFETCH(bool, debug);
        QFETCH(QString, load);
        QFETCH(QString, margin);
        QFETCH(bool, inWatt);
        QFETCH(int, line);
        QFETCH(QString, key);
        QFETCH(QVariantList, args);
        QFETCH(int, field);
        TRun run(debug);
        run.Core->PhasesNext(true, 0);
        run.Core->EnterPower();
        run.Request.LoadPower = 777;
        const TPageError e = run.Core->PowerNext(load, margin, inWatt, line);
        QVERIFY(!e.Ok());
        QCOMPARE(e.MessageKey, key);
        QCOMPARE(e.Args, args);
        QCOMPARE(int(e.Field), field);
        // A refused page stores nothing.
        QCOMPARE(run.Request.LoadPower, 777);
        QCOMPARE(run.Result.ModuleRecord, -1);
    }

    void powerAccepted_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("threePhaseIn");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("load");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<bool>("inWatt");
        QTest::addColumn<int>("inverter");
        QTest::addColumn<int>("module");
        QTest::addColumn<TIds>("modules");
        QTest::addColumn<int>("marginStored");
        QTest::addColumn<int>("maxPower");
        // 3 x 2666.66 = 7999.98 rounds to 8000: three modules suffice.
        QTest::newRow("8000 VA, 8 kVA cabinet") << false << true << 0 << "8000" << "0" << false << 10000 << 10180
                                                << TIds{1, 1, 1} << 0 << 8000;
        QTest::newRow("load with blanks") << false << true << 0 << "  8000 " << "0" << false << 10000 << 10180
                                          << TIds{1, 1, 1} << 0 << 8000;
        // Hidden margin edit: whatever it holds, the margin is 0.
        QTest::newRow("margin ignored without debug") << false << true << 0 << "10000" << "50" << false << 10020
                                                      << 10200 << TIds{1, 1, 1} << 0 << 10000;
        // R = 10000 + 1000 = 11000 on the 15 kVA cabinet with 5 kVA modules.
        QTest::newRow("10 % margin") << true << true << 0 << "10000" << "10" << false << 10340 << 10220
                                     << TIds{1, 1, 1} << 10 << 15000;
        // Three outputs grow by three: 6 x 3333.33 for 16000 VA.
        QTest::newRow("16000 VA, three outputs") << false << true << 0 << "16000" << "0" << false << 10060 << 10200
                                                 << TIds{2, 2, 2} << 0 << 20000;
        // One single-phase output from a three-phase input starts at 3 and grows by 1.
        QTest::newRow("16000 VA, single output") << false << true << 2 << "16000" << "0" << false << 10060 << 10200
                                                 << TIds{2, 2, 1} << 0 << 20000;
        // Single-phase input and output start at one module: 2 x 2666.66 for 3000 VA.
        QTest::newRow("3000 VA, single in and out") << false << false << 2 << "3000" << "0" << false << 10000
                                                    << 10180 << TIds{1, 1, 0} << 0 << 8000;
        // In W: 6 x 2666.66 W = 15999.96 -> 16000 W on the 20 kVA / 16 kW cabinet.
        QTest::newRow("16000 W") << false << true << 1 << "16000" << "0" << true << 10060 << 10200 << TIds{2, 2, 2}
                                 << 0 << 16000;
    }

    void powerAccepted()
    {
        QFETCH(bool, debug);
        QFETCH(bool, threePhaseIn);
        QFETCH(int, kind);
        QFETCH(QString, load);
        QFETCH(QString, margin);
        QFETCH(bool, inWatt);
        QFETCH(int, inverter);
        QFETCH(int, module);
        QFETCH(TIds, modules);
        QFETCH(int, marginStored);
        QFETCH(int, maxPower);
        TRun run(debug);
        run.Core->PhasesNext(threePhaseIn, kind);
        int line = -1;
        for (qsizetype i = 0; i < run.Core->SizeList().size(); ++i)
            if (run.Core->SizeList()[i].RecordId == inverter)
                line = int(i);
        QVERIFY(line >= 0);
        run.Core->EnterPower();
        const TPageError e = run.Core->PowerNext(load, margin, inWatt, line);
        QVERIFY2(e.Ok(), qPrintable(e.MessageKey));
        QCOMPARE(run.Request.LoadPower, load.trimmed().toInt());
        QCOMPARE(run.Request.PowerInWatt, inWatt);
        QCOMPARE(run.Request.PowerMarginPercent, marginStored);
        QCOMPARE(run.Request.MaxUpsPower, maxPower);
        QCOMPARE(run.Request.MaxUpsSlots, CabinetSlots(inverter));
        QCOMPARE(run.Result.InverterRecord, inverter);
        QCOMPARE(int(run.Result.InverterSlots), CabinetSlots(inverter));
        QCOMPARE(int(run.Result.InverterKitPositions), CatalogueInt(inverter, 9));
        QCOMPARE(run.Result.ModuleRecord, module);
        QCOMPARE(run.Result.ModuleVA, CatalogueDecimal(module, 6));
        QCOMPARE(run.Result.ModuleW, CatalogueDecimal(module, 7));
        QCOMPARE((TIds{run.Result.ModulesL1, run.Result.ModulesL2, run.Result.ModulesL3}), modules);
    }

    void previewTakesTheSizeLine()
    {
        TRun run;
        run.Core->PhasesNext(true, 0);
        run.Core->EnterPower();
        run.Core->SelectSizeLine(4, true); // 16 kVA / 12.8 kW, 6 slots, 8 kit positions
        QCOMPARE(run.Result.InverterRecord, 10040);
        QCOMPARE(run.Request.MaxUpsPower, 12800);
        QCOMPARE(run.Request.MaxUpsSlots, 6);
        QCOMPARE(int(run.Result.InverterSlots), 6);
        QCOMPARE(int(run.Result.InverterKitPositions), 8);
        run.Core->SelectSizeLine(99, false); // nothing to take
        QCOMPARE(run.Result.InverterRecord, 10040);
    }

    // --- Redundancy page

    void redundancy_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("load");
        QTest::addColumn<int>("inverter");
        QTest::addColumn<QString>("titleKey");
        QTest::addColumn<TIds>("free");
        QTest::addColumn<TIds>("lineCounts");
        QTest::addColumn<TIds>("selected");
        QTest::addColumn<TIds>("redundant");
        QTest::addColumn<TIds>("phaseTotals");
        // Three outputs: one choice per phase.
        QTest::newRow("per phase") << 0 << "10000" << 10060 << "PagePhaseRedoundanceTitle" << TIds{1, 1, 1}
                                   << TIds{1, 1, 1} << TIds{1, 0, 1} << TIds{1, 0, 1} << TIds{2, 1, 2};
        // Three-phase output: whole sets of three.
        QTest::newRow("system, one set") << 1 << "10000" << 10060 << "PageSystemRedoundanceTitle" << TIds{1, 1, 1}
                                         << TIds{1} << TIds{1} << TIds{1, 1, 1} << TIds{2, 2, 2};
        QTest::newRow("system, full cabinet") << 1 << "10000" << 10020 << "PageSystemRedoundanceTitle"
                                              << TIds{0, 0, 0} << TIds{0} << TIds{0} << TIds{0, 0, 0}
                                              << TIds{1, 1, 1};
        // 13000 VA single output: 4 modules (2, 1, 1), free 0, 1, 1; two redundant go to L2 then L3.
        QTest::newRow("single output") << 2 << "13000" << 10060 << "PageSystemRedoundanceTitle" << TIds{0, 1, 1}
                                       << TIds{2} << TIds{2} << TIds{0, 1, 1} << TIds{2, 2, 2};
        // A choice beyond the offered lines is held to the last line.
        QTest::newRow("beyond the lines") << 1 << "10000" << 10060 << "PageSystemRedoundanceTitle"
                                          << TIds{1, 1, 1} << TIds{1} << TIds{5} << TIds{1, 1, 1}
                                          << TIds{2, 2, 2};
    }

    void redundancy()
    {
        QFETCH(int, kind);
        QFETCH(QString, load);
        QFETCH(int, inverter);
        QFETCH(QString, titleKey);
        QFETCH(TIds, free);
        QFETCH(TIds, lineCounts);
        QFETCH(TIds, selected);
        QFETCH(TIds, redundant);
        QFETCH(TIds, phaseTotals);
        TRun run;
        run.Core->PhasesNext(true, kind);
        int line = -1;
        for (qsizetype i = 0; i < run.Core->SizeList().size(); ++i)
            if (run.Core->SizeList()[i].RecordId == inverter)
                line = int(i);
        QVERIFY(run.ToRedundancy(kind, load, line).Ok());
        QCOMPARE(run.Core->RedundancyTitleKey(), titleKey);
        QCOMPARE(run.Core->PerPhaseRedundancy(), kind == 0);
        QCOMPARE((TIds{run.Core->FreeSlots(0), run.Core->FreeSlots(1), run.Core->FreeSlots(2)}), free);
        QCOMPARE(run.Core->RedundancyLineCounts(), lineCounts);
        run.Core->ApplyRedundancy(selected);
        QCOMPARE((TIds{run.Result.RedundantL1, run.Result.RedundantL2, run.Result.RedundantL3}), redundant);
        const TPhaseTotals t = PhaseTotals(run.Result);
        QCOMPARE((TIds{t.L1, t.L2, t.L3}), phaseTotals);
        // Choosing "SelectionNone" again takes the redundant modules away.
        run.Core->ApplyRedundancy(TIds(lineCounts.size(), 0));
        QCOMPARE(int(run.Result.RedundantL1 + run.Result.RedundantL2 + run.Result.RedundantL3), 0);
    }

    void redundancyLineTexts()
    {
        const QString none = LangWizard(QStringLiteral("SelectionNone"));
        QCOMPARE(TWizardCore::RedundancyLineTexts(0), QStringList{none});
        QCOMPARE(TWizardCore::RedundancyLineTexts(3), QStringList({none, "N + 1", "N + 2", "N + 3"}));
    }

    void backToPowerRecomputesModulesAndRedundancy()
    {
        TRun run;
        QVERIFY(run.ToRedundancy(1, "10000", 5).Ok()); // 20 kVA, 3 modules, one set free
        run.Core->ApplyRedundancy({1});
        QCOMPARE(TotalModules(run.Result), uint8_t(6));

        // Back to the Power page: entering it drops the module result.
        run.Core->EnterPower();
        QCOMPARE(run.Result.ModuleRecord, -1);
        QCOMPARE(TotalModules(run.Result), uint8_t(0));
        // Forward with a bigger load: modules recomputed, redundancy rebuilt from "SelectionNone".
        QVERIFY(run.Core->PowerNext("16000", "0", false, 5).Ok());
        QCOMPARE((TIds{run.Result.ModulesL1, run.Result.ModulesL2, run.Result.ModulesL3}), TIds({2, 2, 2}));
        run.Core->EnterRedundancyForward();
        QCOMPARE(int(run.Result.RedundantL1 + run.Result.RedundantL2 + run.Result.RedundantL3), 0);
        QCOMPARE(run.Core->RedundancyLineCounts(), TIds{0});
    }

    // --- Autonomy page

    void autonomyRefusals_data()
    {
        QTest::addColumn<bool>("inMinutes");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("hoursMinutes");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("field");
        const int minutes = int(TWizardField::Minutes), hours = int(TWizardField::Hours),
                  hm = int(TWizardField::HoursMinutes), percent = int(TWizardField::Percent);
        const QVariantList limits{3, 20};
        QTest::newRow("minutes not a number") << true << "ten" << "0" << "10" << "80" << "ErrorInvalidNumber"
                                              << QVariantList{} << minutes;
        QTest::newRow("2 minutes") << true << "2" << "0" << "10" << "80" << "ErrorAutonmyRequested" << limits
                                   << minutes;
        QTest::newRow("1201 minutes") << true << "1201" << "0" << "10" << "80" << "ErrorAutonmyRequested"
                                      << limits << minutes;
        QTest::newRow("negative minutes") << true << "-10" << "0" << "10" << "80" << "ErrorAutonmyRequested"
                                          << limits << minutes;
        QTest::newRow("hours not a number") << false << "10" << "h" << "10" << "80" << "ErrorInvalidNumber"
                                            << QVariantList{} << hours;
        QTest::newRow("21 hours") << false << "10" << "21" << "0" << "80" << "ErrorNumberOutOfRange"
                                  << QVariantList{0, 20} << hours;
        QTest::newRow("60 minutes of an hour") << false << "10" << "1" << "60" << "80" << "ErrorNumberOutOfRange"
                                               << QVariantList{0, 59} << hm;
        QTest::newRow("minutes of an hour not a number") << false << "10" << "1" << "" << "80"
                                                         << "ErrorInvalidNumber" << QVariantList{} << hm;
        QTest::newRow("0:02") << false << "10" << "0" << "2" << "80" << "ErrorAutonmyRequested" << limits << hm;
        QTest::newRow("20:01") << false << "10" << "20" << "1" << "80" << "ErrorAutonmyRequested" << limits << hm;
        QTest::newRow("percent 0") << true << "10" << "0" << "10" << "0" << "ErrorNumberOutOfRange"
                                   << QVariantList{1, 100} << percent;
        QTest::newRow("percent 101") << true << "10" << "0" << "10" << "101" << "ErrorNumberOutOfRange"
                                     << QVariantList{1, 100} << percent;
        QTest::newRow("percent not a number") << true << "10" << "0" << "10" << "8o" << "ErrorInvalidNumber"
                                              << QVariantList{} << percent;
    }

    void autonomyRefusals()
    {
        QFETCH(bool, inMinutes);
        QFETCH(QString, minutes);
        QFETCH(QString, hours);
        QFETCH(QString, hoursMinutes);
        QFETCH(QString, percent);
        QFETCH(QString, key);
        QFETCH(QVariantList, args);
        QFETCH(int, field);
        TRun run;
        run.Request.AutonomyRequired = 55;
        const TPageError e = run.Core->AutonomyNext(inMinutes, minutes, hours, hoursMinutes, percent, true, 0);
        QCOMPARE(e.MessageKey, key);
        QCOMPARE(e.Args, args);
        QCOMPARE(int(e.Field), field);
        QCOMPARE(run.Request.AutonomyRequired, 55);
    }

    void autonomyAccepted_data()
    {
        QTest::addColumn<bool>("inMinutes");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("hoursMinutes");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<bool>("modular");
        QTest::addColumn<int>("batteryLine");
        QTest::addColumn<int>("required");
        QTest::addColumn<int>("batteryType");
        QTest::addColumn<int>("percentStored");
        QTest::newRow("3 minutes") << true << "3" << "x" << "x" << "1" << true << 0 << 3 << -1 << 1;
        QTest::newRow("1200 minutes") << true << " 1200 " << "0" << "10" << "100" << false << 0 << 1200 << -1 << 100;
        QTest::newRow("20:00") << false << "x" << "20" << "0" << "80" << true << 2 << 1200 << 1 << 80;
        QTest::newRow("1:30") << false << "10" << "1" << "30" << "50" << true << 1 << 90 << 0 << 50;
    }

    void autonomyAccepted()
    {
        QFETCH(bool, inMinutes);
        QFETCH(QString, minutes);
        QFETCH(QString, hours);
        QFETCH(QString, hoursMinutes);
        QFETCH(QString, percent);
        QFETCH(bool, modular);
        QFETCH(int, batteryLine);
        QFETCH(int, required);
        QFETCH(int, batteryType);
        QFETCH(int, percentStored);
        TRun run;
        QVERIFY(run.Core->AutonomyNext(inMinutes, minutes, hours, hoursMinutes, percent, modular, batteryLine).Ok());
        QCOMPARE(run.Request.AutonomyInMinutes, inMinutes);
        QCOMPARE(run.Request.AutonomyRequired, required);
        QCOMPARE(run.Request.AutonomyLoadPercent, percentStored);
        QCOMPARE(run.Request.ModularBatteryCabinet, modular);
        QCOMPARE(run.Request.BatteryType, batteryType);
    }

    void autonomyPercentDescription()
    {
        TRun run;
        QVERIFY(run.ToRedundancy(0, "7500", 1, true).Ok());
        const QString format = LangWizard(QStringLiteral("PageAutonomyPowerPercentUsed"));
        QVERIFY(format.contains("%d") && format.contains("%s"));
        QString expected = format;
        expected.replace("%d", "7500").replace("%s", "W");
        QCOMPARE(run.Core->AutonomyPercentDescription(), expected);
        run.Request.PowerInWatt = false;
        QVERIFY(run.Core->AutonomyPercentDescription().contains("7500 VA"));
    }

    // --- Advanced page

    void advancedState_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("modular");
        QTest::addColumn<bool>("specialEnabled");
        QTest::addColumn<bool>("groupVisible");
        QTest::addColumn<bool>("choiceEnabled");
        QTest::newRow("modular") << false << true << true << false << false;
        QTest::newRow("non-modular") << false << false << false << false << false;
        QTest::newRow("debug, modular") << true << true << true << true << true;
        QTest::newRow("debug, non-modular") << true << false << false << true << false;
    }

    void advancedState()
    {
        QFETCH(bool, debug);
        QFETCH(bool, modular);
        QFETCH(bool, specialEnabled);
        QFETCH(bool, groupVisible);
        QFETCH(bool, choiceEnabled);
        TRun run(debug);
        QVERIFY(run.Autonomy("10", "80", modular).Ok());
        const TWizardCore::TAdvancedState s = run.Core->AdvancedState();
        QCOMPARE(s.SpecialEnabled, specialEnabled);
        QCOMPARE(s.ClearSpecial, !specialEnabled);
        QCOMPARE(s.BatteryGroupVisible, groupVisible);
        QCOMPARE(s.BatteryChoiceEnabled, choiceEnabled);
    }

    void advancedStores_data()
    {
        QTest::addColumn<bool>("special");
        QTest::addColumn<bool>("emptyDrawers");
        QTest::addColumn<bool>("onlyInverter");
        QTest::addColumn<bool>("storedEmpty");
        QTest::addColumn<bool>("storedOnly");
        // The options count only while the box is ticked.
        QTest::newRow("box clear") << false << true << false << false << false;
        QTest::newRow("empty drawers") << true << true << false << true << false;
        QTest::newRow("inverter only") << true << false << true << false << true;
    }

    void advancedStores()
    {
        QFETCH(bool, special);
        QFETCH(bool, emptyDrawers);
        QFETCH(bool, onlyInverter);
        QFETCH(bool, storedEmpty);
        QFETCH(bool, storedOnly);
        TRun run(true);
        QVERIFY(run.Core->AdvancedNext(special, emptyDrawers, onlyInverter, 2).Ok());
        QCOMPARE(run.Request.SpecialConfig, special);
        QCOMPARE(run.Request.EmptyDrawers, storedEmpty);
        QCOMPARE(run.Request.OnlyInverter, storedOnly);
        QCOMPARE(OnlyInverterActive(run.Request), storedOnly);
        QCOMPARE(run.Request.BatteryType, 1);
    }

    // --- Finish

    void finishTenKva()
    {
        // 10000 VA on the 10 kVA cabinet (3 x 3333.33 VA, 12 kit positions), 80 %, 10 minutes.
        // P = 6400 W, efficiency 0.94, B = 6808.51 W. The 9 Ah kit needs 25 blocks at 268 W
        // (1.25 strings, threshold 0.35: 1 string, cost 860) and beats the 7.2 Ah kit (2
        // strings, 1360). One string already meets the minimum for 10000 VA of modules, so the
        // time is recomputed from B / 27 blocks = 252.17 W: 11.08 minutes.
        TRun run;
        QVERIFY(run.ToRedundancy(0, "10000", 1).Ok());
        run.Core->ApplyRedundancy({0, 0, 0});
        QVERIFY(run.Autonomy("10").Ok());
        QVERIFY(run.Core->AdvancedNext(false, true, false, 0).Ok());
        run.Result.AutonomyMinusOne = 4242; // only one string: left as it was
        QVERIFY(run.Core->Finish().Ok());
        QCOMPARE(run.Result.BatteryKitRecord, 10260);
        QCOMPARE(run.Result.KitsPerString, 4);
        QCOMPARE(run.Result.BatteryKitCount, 4);
        QCOMPARE(run.Result.AutonomyAvailable, 11);
        QCOMPARE(run.Result.AutonomyMinusOne, 4242);
        QVERIFY(run.Result.StringsSetByPower);
        QCOMPARE(run.Result.BatteryCapacityAh, 9.0f);
        QCOMPARE(run.Result.BatteryCabinetRecord, -1);
        QCOMPARE(run.Result.BatteryCabinetCount, 0);
        QCOMPARE(int(run.Result.KitsInLastCabinet), 0);
    }

    void finishNonModular()
    {
        // The same load on one 94 Ah kit in the non-modular cabinet: 2940 W per block at 10
        // minutes gives 2 blocks, one string of one kit; B / 20 = 340.43 W lies between 120
        // minutes (445.2 W) and 180 minutes (322.2 W): 171.1 minutes.
        TRun run;
        QVERIFY(run.ToRedundancy(0, "10000", 1).Ok());
        QVERIFY(run.Autonomy("10", "80", false).Ok());
        QVERIFY(run.Core->Finish().Ok());
        QCOMPARE(run.Result.BatteryKitRecord, 10480);
        QCOMPARE(run.Result.BatteryKitCount, 1);
        QCOMPARE(run.Result.KitsPerString, 1);
        QCOMPARE(run.Result.AutonomyAvailable, 171);
        QVERIFY(run.Result.StringsSetByPower);
        QCOMPARE(run.Result.BatteryCapacityAh, 94.0f);
        QCOMPARE(run.Result.BatteryCabinetRecord, 10460);
        QCOMPARE(run.Result.BatteryCabinetCount, 1);
        QCOMPARE(int(run.Result.CabinetKitPositions), 1);
    }

    void finishOnlyInverterLeavesBatteriesAlone()
    {
        TRun run;
        QVERIFY(run.ToRedundancy(0, "10000", 1).Ok());
        QVERIFY(run.Autonomy("10").Ok());
        QVERIFY(run.Core->AdvancedNext(true, false, true, 0).Ok());
        run.Result.BatteryKitRecord = 12345;
        run.Result.BatteryCabinetCount = 7;
        run.Result.BatteryKitCount = 9;
        run.Result.AutonomyAvailable = 66;
        QVERIFY(run.Core->Finish().Ok());
        QCOMPARE(run.Result.BatteryCabinetCount, 0);
        QCOMPARE(run.Result.BatteryKitCount, 0);
        QCOMPARE(run.Result.BatteryKitRecord, 12345);
        QCOMPARE(run.Result.AutonomyAvailable, 66);
    }

    void finishWithoutPossibleSizingStaysOpen()
    {
        // A battery type beyond the offered kits cannot be sized: Finish refuses and the
        // result keeps what it held.
        TRun run(true);
        QVERIFY(run.ToRedundancy(0, "10000", 1).Ok());
        QVERIFY(run.Autonomy("10").Ok());
        QVERIFY(run.Core->AdvancedNext(false, false, false, 9).Ok());
        run.Result.BatteryKitCount = 31;
        const TPageError e = run.Core->Finish();
        QCOMPARE(e.MessageKey, QStringLiteral("ErrorInternalError"));
        QCOMPARE(run.Result.BatteryKitCount, 31);
    }

    void chosenBatteryType()
    {
        // Debug mode, the 7.2 Ah line: two strings of 4 kits for 30.5 blocks.
        TRun run(true);
        QVERIFY(run.ToRedundancy(0, "10000", 1).Ok());
        QVERIFY(run.Autonomy("10", "80", true, 1).Ok());
        QVERIFY(run.Core->AdvancedNext(false, true, false, 1).Ok());
        QVERIFY(run.Core->Finish().Ok());
        QCOMPARE(run.Result.BatteryKitRecord, 10240);
        QCOMPARE(run.Result.BatteryKitCount, 8);
        QVERIFY(!run.Result.StringsSetByPower);
        // Eight kits fit the twelve positions of the inverter cabinet.
        QCOMPARE(run.Result.BatteryCabinetRecord, -1);
        QCOMPARE(run.Result.BatteryCapacityAh, 14.4f);
    }

    void offerReadOnceGivesTheSameSizing()
    {
        const TWizardOffer offer = ReadWizardOffer();
        for (int kind = 0; kind < 3; ++kind) {
            TRun plain;
            TRequestParameters request{};
            TResultParameters result{};
            TWizardCore shared(request, result, plain.Context, TWizardMode::NewConfiguration, offer);
            QCOMPARE(shared.PageSequence(), plain.Core->PageSequence());
            QVERIFY(plain.ToRedundancy(kind, "14000", 4).Ok());
            shared.PhasesNext(true, kind);
            shared.EnterPower();
            QVERIFY(shared.PowerNext("14000", "0", false, 4).Ok());
            shared.EnterRedundancyForward();
            QVERIFY(plain.Autonomy("30").Ok());
            QVERIFY(shared.AutonomyNext(true, "30", "0", "10", "80", true, 0).Ok());
            QVERIFY(plain.Core->Finish().Ok());
            QVERIFY(shared.Finish().Ok());
            QCOMPARE(result.BatteryKitCount, plain.Result.BatteryKitCount);
            QCOMPARE(result.AutonomyAvailable, plain.Result.AutonomyAvailable);
            QCOMPARE(result.ModuleRecord, plain.Result.ModuleRecord);
            QCOMPARE(result.InverterRecord, plain.Result.InverterRecord);
            QCOMPARE(result.BatteryCabinetRecord, plain.Result.BatteryCabinetRecord);
        }
    }

    // --- Modes and Cancel

    void newConfigurationResetsModules()
    {
        TRequestParameters request{};
        TResultParameters result{};
        result.ModuleRecord = 10200;
        result.ModulesL1 = 3;
        result.RedundantL2 = 1;
        result.BatteryKitCount = 8;
        TWizardCore core(request, result, TWizardContext{}, TWizardMode::NewConfiguration);
        QCOMPARE(result.ModuleRecord, -1);
        QCOMPARE(result.ModuleVA, -1.0f);
        QCOMPARE(TotalModules(result), uint8_t(0));
        QCOMPARE(result.BatteryKitCount, 8);
    }

    void cancelKeepsWhatPassedPagesStored()
    {
        // New configuration cancelled on the Autonomy page: Phases and Power stored, no battery sizing.
        TRun run;
        QVERIFY(run.ToRedundancy(1, "12000", 5).Ok());
        QCOMPARE(run.Request.LoadPower, 12000);
        QCOMPARE(run.Result.InverterRecord, 10060);
        QCOMPARE(run.Result.BatteryKitCount, 0);

        // Editing the autonomy of a finished sizing, cancelled after the Autonomy page.
        TRun first;
        QVERIFY(first.ToRedundancy(0, "10000", 1).Ok());
        QVERIFY(first.Autonomy("10").Ok());
        QVERIFY(first.Core->Finish().Ok());
        const TResultParameters finished = first.Result;
        TWizardCore edit(first.Request, first.Result, first.Context, TWizardMode::EditAutonomy);
        QCOMPARE(first.Result.ModuleRecord, finished.ModuleRecord); // kept, not reset
        QVERIFY(edit.AutonomyNext(false, "10", "1", "0", "80", true, 0).Ok());
        QCOMPARE(first.Request.AutonomyRequired, 60);
        QCOMPARE(first.Request.AutonomyInMinutes, false);
        QCOMPARE(first.Result.BatteryKitCount, finished.BatteryKitCount);
        QCOMPARE(first.Result.AutonomyAvailable, finished.AutonomyAvailable);
        // Finishing instead sizes the batteries for the new time.
        QVERIFY(edit.Finish().Ok());
        QVERIFY(first.Result.AutonomyAvailable >= 60);
        QCOMPARE(first.Result.InverterRecord, finished.InverterRecord);
    }

    // --- Accessories and contracts

    void accessoryListsByLanguage_data()
    {
        QTest::addColumn<int>("languageId");
        QTest::addColumn<TIds>("accessories");
        QTest::addColumn<int>("contracts");
        const TIds common{20000, 20020, 20040, 20060, 20080, 20100, 20120, 20140, 20160, 20180};
        QTest::newRow("English") << 1033 << common << 0;
        QTest::newRow("Italian") << 1040 << (common + TIds{20200, 20220}) << 21;
    }

    void accessoryListsByLanguage()
    {
        QFETCH(int, languageId);
        QFETCH(TIds, accessories);
        QFETCH(int, contracts);
        TRun run(false, languageId == 1040, languageId);
        run.Core->FillAccessoryLists();
        const TAccessoriesRecord &list = run.Core->AccessoryList();
        QCOMPARE(list.Ids, accessories);
        QCOMPARE(list.Checked, QVector<bool>(accessories.size(), false));
        QCOMPARE(list.Quantities, QVector<int32_t>(accessories.size(), 1));
        QCOMPARE(run.Core->AllContracts().Ids.size(), contracts);
        QVERIFY(run.Core->ShownContracts().Ids.isEmpty());
    }

    void accessoryTicks()
    {
        TRun run;
        run.Core->FillAccessoryLists();
        TAccessoriesRecord &list = run.Core->AccessoryList();
        const auto at = [&](int32_t id) { return int32_t(list.Ids.indexOf(id)); };
        QVERIFY(!run.Core->ToggleEntry(list, at(20000))); // CS121 SK, quantity fixed
        QVERIFY(!run.Core->ToggleEntry(list, at(20020))); // CS121B SK unticks CS121 SK
        QVERIFY(!list.Checked[at(20000)]);
        QVERIFY(list.Checked[at(20020)]);
        QVERIFY(run.Core->ToggleEntry(list, at(20100))); // RCCMD: the quantity can be edited
        QVERIFY(run.Core->ToggleEntry(list, at(20120)));
        QVERIFY(list.Checked[at(20100)]);
        list.Quantities[at(20120)] = 4;
        run.Core->AccessoriesNext();
        const TArrayGenericAccessory &stored = run.Result.Accessories.Accessories;
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored[0].RecordId, 20020);
        QCOMPARE(stored[1].RecordId, 20100);
        QCOMPARE(stored[2].RecordId, 20120);
        QCOMPARE(stored[2].Quantity, 4);
        // Unticking and Next again replaces the list.
        QVERIFY(!run.Core->ToggleEntry(list, at(20100)));
        run.Core->AccessoriesNext();
        QCOMPARE(run.Result.Accessories.Accessories.size(), 2);
    }

    void editModeRestoresChoices()
    {
        TRun run(false, true, 1040, TWizardMode::EditAutonomy);
        run.Result.Accessories.Accessories = {{20100, 5}, {20020, 1}, {99999, 2}};
        run.Result.Accessories.Contracts = {{20260, 1}};
        run.Core->FillAccessoryLists();
        const TAccessoriesRecord &list = run.Core->AccessoryList();
        QVERIFY(list.Checked[list.Ids.indexOf(20100)]);
        QCOMPARE(list.Quantities[list.Ids.indexOf(20100)], 5);
        QVERIFY(list.Checked[list.Ids.indexOf(20020)]);
        QCOMPARE(list.Checked.count(true), 2);
        const TAccessoriesRecord &all = run.Core->AllContracts();
        QVERIFY(all.Checked[all.Ids.indexOf(20260)]);
        QCOMPARE(all.Checked.count(true), 1);

        // A new configuration starts with nothing ticked.
        TRun fresh(false, true, 1040);
        fresh.Result.Accessories = run.Result.Accessories;
        fresh.Core->FillAccessoryLists();
        QCOMPARE(fresh.Core->AccessoryList().Checked.count(true), 0);
    }

    void contractsFollowTheSize_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<TIds>("shown");
        QTest::newRow("10 kVA") << 1 << TIds{20240, 20260, 20280};
        QTest::newRow("16 kVA") << 4 << TIds{20300, 20320, 20340};
        QTest::newRow("60 kVA") << 12 << TIds{20600, 20620, 20640};
    }

    void contractsFollowTheSize()
    {
        QFETCH(int, line);
        QFETCH(TIds, shown);
        TRun run(false, true, 1040);
        run.Core->FillAccessoryLists();
        QVERIFY(run.ToRedundancy(0, "5000", line).Ok());
        run.Core->EnterContractsForward();
        QCOMPARE(run.Core->ShownContracts().Ids, shown);
    }

    void contractTicksLostOnReentry()
    {
        TRun run(false, true, 1040, TWizardMode::EditAutonomy);
        run.Result.Accessories.Contracts = {{20240, 1}};
        run.Core->FillAccessoryLists();
        run.Result.InverterRecord = 10020;
        run.Core->EnterContractsForward();
        TAccessoriesRecord &shown = run.Core->ShownContracts();
        QCOMPARE(shown.Checked, QVector<bool>({true, false, false}));
        // Ticking "Canone D" unticks "Canone C" of the same group.
        run.Core->ToggleEntry(shown, 1);
        QCOMPARE(shown.Checked, QVector<bool>({false, true, false}));
        run.Core->ContractsNext();
        QCOMPARE(run.Result.Accessories.Contracts.size(), 1);
        QCOMPARE(run.Result.Accessories.Contracts[0].RecordId, 20260);
        QCOMPARE(run.Result.Accessories.Contracts[0].Quantity, 1);
        // Back and forward again: the page shows the ticks of the opening again.
        run.Core->EnterContractsForward();
        QCOMPARE(run.Core->ShownContracts().Checked, QVector<bool>({true, false, false}));
        // The stored list changes only on Next.
        QCOMPARE(run.Result.Accessories.Contracts[0].RecordId, 20260);
    }
};

QTEST_GUILESS_MAIN(TestWizardCore)
#include "test_wizard_core.moc"
