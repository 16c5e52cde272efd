// The wizard dialog driven as a user drives it: clicks on options, buttons and
// grid cells, keys in edits and choices; the real vendor library and language
// files of the program folder.

#include "AccessoryGrid.h"
#include "Lang.h"
#include "PriceList.h"
#include "Settings.h"
#include "Startup.h"
#include "TFrmWizard.h"
#include "TestSupport.h"
#include "TextUtils.h"
#include "Vendor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

enum class TMarket { Export, Home };

void SetMarket(TMarket market, bool debug)
{
    SetupData.ProgramPath = BuiltProgramPath();
    SetupData.VendorName = QStringLiteral("Quenvar");
    SetupData.LanguageFile = market == TMarket::Home ? QStringLiteral("Italian.lng") : QStringLiteral("English.lng");
    SetupData.LanguageID = market == TMarket::Home ? 1040 : 1033;
    SetupData.DebugMode = debug;
}

template <typename T> T *Child(QWidget &w, const char *name)
{
    T *child = w.findChild<T *>(QLatin1String(name));
    if (!child)
        qWarning("no control %s", name);
    return child;
}

QPushButton *Button(QWidget &w, const char *name) { return Child<QPushButton>(w, name); }

void ClickNext(QWidget &w) { QTest::mouseClick(Button(w, "btnNext"), Qt::LeftButton); }
void ClickBack(QWidget &w) { QTest::mouseClick(Button(w, "btnBack"), Qt::LeftButton); }

/// Clicks an option or box on its indicator, where a user clicks.
void ClickOption(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

/// Replaces the text of an edit by typing, as a user does after selecting all.
void TypeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

/// Chooses a line of a closed choice with the arrow keys.
void ChooseLine(QComboBox *combo, int index)
{
    combo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

int LineStartingWith(QComboBox *combo, const QString &start)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(start))
            return i;
    return -1;
}

/// The entries of a grid whose description starts with the label line `label`.
QList<int> EntriesLabelled(TAccessoryGrid *grid, const QString &label)
{
    QList<int> entries;
    for (int i = 0; i < grid->EntryCount(); ++i)
        if (grid->DescriptionText(i).section(QLatin1Char('\n'), 0, 0) == label)
            entries << i;
    return entries;
}

QPoint CheckCell(TAccessoryGrid *grid, int entry)
{
    grid->scrollTo(grid->model()->index(entry, 0));
    return grid->CheckCellCentre(entry);
}

void ClickCheckCell(TAccessoryGrid *grid, int entry, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(grid->viewport(), button, Qt::NoModifier, CheckCell(grid, entry));
}

QString Msg(const char *key, const QList<QVariant> &args = {})
{
    return FormatText(LangMessages(QLatin1String(key)), args);
}

} // namespace

class TestWizard : public QObject {
    Q_OBJECT

private:
    TRecordingMessageService m_messages;

    /// Walks with Next until `page` shows; fails on a refusal.
    bool GoTo(TFrmWizard &w, TWizardPage page)
    {
        for (int guard = 0; guard < 8 && w.CurrentPage() != page; ++guard) {
            const TWizardPage before = w.CurrentPage();
            ClickNext(w);
            if (w.CurrentPage() == before)
                return false;
        }
        return w.CurrentPage() == page;
    }

    void Show(TFrmWizard &w)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

private slots:
    void initTestCase()
    {
        SetMarket(TMarket::Export, false);
        QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so")));
    }

    void init()
    {
        SetMarket(TMarket::Export, false);
        if (!VendorLibraryLoaded())
            QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so")));
        RequestParameters = TRequestParameters{};
        ResultParameters = TResultParameters{};
        m_messages.Messages.clear();
        m_messages.Answers.clear();
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void cleanupTestCase() { UnloadVendorLibrary(); }

    // A default run: Next on every page, Finish on the last; run modally as the main window does.
    void defaultRunFinishesModally()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        QCOMPARE(w.size(), QSize(542, 367));
        QCOMPARE(w.windowTitle(), WithoutMnemonic(LangMain("ButtonNewConfiguration")));
        QList<int32_t> visited;
        QStringList nextLabels;
        QTimer::singleShot(0, &w, [&] {
            for (int guard = 0; guard < 8 && w.isVisible(); ++guard) {
                visited << int32_t(w.CurrentPage());
                nextLabels << Button(w, "btnNext")->text();
                ClickNext(w);
            }
        });
        QCOMPARE(w.exec(), int(QDialog::Accepted));
        QCOMPARE(visited, (QList<int32_t>{0, 1, 2, 3, 4, 5}));
        // The hourglass stays until the main window has shown the results.
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCOMPARE(nextLabels.last(), LangWizard("ButtonFinish"));
        QCOMPARE(nextLabels.first(), LangWizard("ButtonNext"));
        QVERIFY(m_messages.Messages.isEmpty());

        QCOMPARE(RequestParameters.InputThreePhase, true);
        QCOMPARE(int(RequestParameters.OutputKind), 0);
        QCOMPARE(RequestParameters.LoadPower, 10000);
        QCOMPARE(RequestParameters.PowerInWatt, false);
        QCOMPARE(RequestParameters.AutonomyRequired, 10);
        QCOMPARE(RequestParameters.AutonomyInMinutes, true);
        QCOMPARE(RequestParameters.AutonomyLoadPercent, 80);
        QCOMPARE(RequestParameters.ModularBatteryCabinet, true);
        QCOMPARE(RequestParameters.BatteryType, -1);
        QCOMPARE(RequestParameters.SpecialConfig, false);
        QVERIFY(ResultParameters.InverterRecord > 0);
        QVERIFY(TotalModules(ResultParameters) >= 3);
        QVERIFY(ResultParameters.BatteryKitRecord > 0);
        QVERIFY(ResultParameters.BatteryKitCount > 0);
        QVERIFY(ResultParameters.AutonomyAvailable == -1 || ResultParameters.AutonomyAvailable >= 10);
        QVERIFY(ResultParameters.Accessories.Accessories.isEmpty());
    }

    void captionsAndLayout()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QCOMPARE(Child<QLabel>(w, "lblTitle")->text(), LangWizard("PagePhasesTitle"));
        QCOMPARE(Child<QGroupBox>(w, "grpLayout")->title(), " " + LangWizard("PowerLayoutTitle") + " ");
        QCOMPARE(Child<QGroupBox>(w, "grpInput")->title(), " " + LangWizard("Input") + " ");
        QCOMPARE(Child<QRadioButton>(w, "optInputThree")->text(), " " + LangCommons("ThreePhases"));
        QCOMPARE(Child<QRadioButton>(w, "optOutputThreeLock")->text(), " " + LangCommons("PhasesOutputThreeLock"));
        QCOMPARE(Button(w, "btnCancel")->text(), LangCommons("ButtonCancel"));
        QCOMPARE(Button(w, "btnBack")->text(), LangWizard("ButtonBack"));
        QVERIFY(!Button(w, "btnBack")->isEnabled());
        QCOMPARE(Child<QWidget>(w, "pbxPreview")->size(), QSize(70, 240));
        QCOMPARE(Child<QWidget>(w, "pnlLayout")->width(), 154);
        QCOMPARE(Child<QGroupBox>(w, "grpBatteryType")->title(), QStringLiteral(" Tipo Batterie "));
        QCOMPARE(Child<QLineEdit>(w, "edtMargin")->maxLength(), 3);
        QCOMPARE(Child<QLineEdit>(w, "edtPercent")->maxLength(), 3);
        QCOMPARE(Child<QLineEdit>(w, "edtLoadPower")->text(), QStringLiteral("10000"));
        QCOMPARE(Child<QLabel>(w, "lblContractsNote")->text(),
                 QStringLiteral("I Contratti di Manutenzione possono essere utilizzati esclusivamente con UPS "
                                "installati in Italia"));
        // The Quenvar edition offers a non-modular cabinet: compact autonomy page.
        QVERIFY(!Child<QGroupBox>(w, "grpBatteryCabinet")->isHidden());
        QCOMPARE(Child<QRadioButton>(w, "optHours")->y(), 26);
        QCOMPARE(Child<QRadioButton>(w, "optMinutes")->y(), 26);
        QCOMPARE(Child<QLineEdit>(w, "edtMinutes")->y(), 47);
        QCOMPARE(Child<QLineEdit>(w, "edtHours")->y(), 47);
        QCOMPARE(Child<QGroupBox>(w, "grpAutonomy")->height(), 88);
        QCOMPARE(Child<QGroupBox>(w, "grpPercent")->geometry().top(), 107);
        QCOMPARE(Child<QGroupBox>(w, "grpPercent")->height(), 68);
        QCOMPARE(Child<QLineEdit>(w, "edtPercent")->y(), 30);
        // The battery type choice: "Automatico" and the modular kits.
        auto *types = Child<QComboBox>(w, "cmbBatteryType");
        QVERIFY(types->count() >= 2);
        QCOMPARE(types->itemText(0), QStringLiteral("Automatico"));
        QCOMPARE(types->currentIndex(), 0);
    }

    void phaseLabelsFollowOptions()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        const QString single = LangCommons("SinglePhase");
        auto labels = [&](const char *a, const char *b, const char *c) {
            return QStringList{Child<QLabel>(w, a)->text(), Child<QLabel>(w, b)->text(), Child<QLabel>(w, c)->text()};
        };
        QCOMPARE(labels("lblInputL1", "lblInputL2", "lblInputL3"), (QStringList{"L1", "L2", "L3"}));
        QCOMPARE(labels("lblOutputL1", "lblOutputL2", "lblOutputL3"), (QStringList{"L1", "L2", "L3"}));
        ClickOption(Child<QRadioButton>(w, "optInputSingle"));
        QCOMPARE(labels("lblInputL1", "lblInputL2", "lblInputL3"), (QStringList{"", single, ""}));
        ClickOption(Child<QRadioButton>(w, "optOutputSingle"));
        QCOMPARE(labels("lblOutputL1", "lblOutputL2", "lblOutputL3"), (QStringList{"", single, ""}));
        // The two single-phase texts never run together on one line.
        auto *input = Child<QLabel>(w, "lblInputL2");
        auto *output = Child<QLabel>(w, "lblOutputL2");
        const QFontMetrics fm(input->font());
        const int inputEnd = input->x() + fm.horizontalAdvance(single);
        const int outputStart = output->geometry().right() - fm.horizontalAdvance(single);
        QVERIFY(output->y() != input->y() || outputStart - inputEnd >= 12);
        ClickOption(Child<QRadioButton>(w, "optOutputThreeLock"));
        QCOMPARE(labels("lblOutputL1", "lblOutputL2", "lblOutputL3"), (QStringList{"L1", "L2", "L3"}));
        QCOMPARE(output->y(), input->y());
        ClickOption(Child<QRadioButton>(w, "optInputThree"));
        QCOMPARE(labels("lblInputL1", "lblInputL2", "lblInputL3"), (QStringList{"L1", "L2", "L3"}));
    }

    void outputKinds_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("threePhaseInput");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("loadPhases");
        QTest::addColumn<bool>("perPhase");
        QTest::newRow("three independent outputs") << "optInputThree" << "optOutputThreeFree" << true << 0 << 3 << 1 << true;
        QTest::newRow("three-phase output") << "optInputThree" << "optOutputThreeLock" << true << 1 << 3 << 3 << false;
        QTest::newRow("single-phase output") << "optInputThree" << "optOutputSingle" << true << 2 << 1 << 1 << false;
        QTest::newRow("single in, single out") << "optInputSingle" << "optOutputSingle" << false << 2 << 1 << 1 << false;
        QTest::newRow("single in, three-phase out") << "optInputSingle" << "optOutputThreeLock" << false << 1 << 3 << 3 << false;
    }

    void outputKinds()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(bool, threePhaseInput);
        QFETCH(int, kind);
        QFETCH(int, lines);
        QFETCH(int, loadPhases);
        QFETCH(bool, perPhase);

        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        ClickOption(w.findChild<QRadioButton *>(input));
        ClickOption(w.findChild<QRadioButton *>(output));
        QVERIFY(GoTo(w, TWizardPage::Redundancy));
        QCOMPARE(int(RequestParameters.OutputKind), kind);
        QCOMPARE(int(RequestParameters.OutputLines), lines);
        QCOMPARE(int(RequestParameters.LoadPhases), loadPhases);
        QCOMPARE(RequestParameters.InputThreePhase, threePhaseInput);

        auto *inner = Child<QStackedWidget>(w, "nbkRedundancy");
        QCOMPARE(inner->currentWidget()->objectName(),
                 perPhase ? QStringLiteral("pgRedundancyPhase") : QStringLiteral("pgRedundancySystem"));
        QCOMPARE(Child<QLabel>(w, "lblTitle")->text(),
                 LangWizard(perPhase ? "PagePhaseRedoundanceTitle" : "PageSystemRedoundanceTitle"));
        if (perPhase)
            QCOMPARE(Child<QLabel>(w, "lblRedundancyL2")->text(),
                     FormatText(LangWizard("PageRedoundanceOutputPhase"), {QStringLiteral("L2")}));
        auto *first = Child<QComboBox>(w, perPhase ? "cmbRedundancyL1" : "cmbRedundancySystem");
        QCOMPARE(first->itemText(0), LangWizard("SelectionNone"));
        QCOMPARE(first->currentIndex(), 0);

        QVERIFY(GoTo(w, TWizardPage::Accessories));
        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(m_messages.Messages.isEmpty());
        QVERIFY(ResultParameters.BatteryKitCount > 0);
    }

    void loadUnit_data()
    {
        QTest::addColumn<bool>("watt");
        QTest::newRow("VA") << false;
        QTest::newRow("W") << true;
    }

    void loadUnit()
    {
        QFETCH(bool, watt);
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Power));
        auto *size = Child<QComboBox>(w, "cmbUpsSize");
        QCOMPARE(size->currentIndex(), size->count() - 1);
        TypeInto(Child<QLineEdit>(w, "edtLoadPower"), QStringLiteral("8000"));
        ClickOption(Child<QRadioButton>(w, watt ? "optW" : "optVA"));
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
        const TSizeLine line = w.Core().SizeList().at(size->currentIndex());
        QCOMPARE(RequestParameters.PowerInWatt, watt);
        QCOMPARE(RequestParameters.LoadPower, 8000);
        QCOMPARE(RequestParameters.MaxUpsPower, watt ? line.W : line.VA);
        ClickNext(w);
        QCOMPARE(Child<QLabel>(w, "lblPercentDescription")->text(),
                 FormatText(LangWizard("PageAutonomyPowerPercentUsed"),
                            {8000, watt ? QStringLiteral("W") : QStringLiteral("VA")}));
    }

    // Keys alone walk the wizard: the page's number has the focus, Enter is Next,
    // Alt and the mnemonic go back.
    void keyboardOnly()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(w.CurrentPage(), TWizardPage::Power);
        auto *load = Child<QLineEdit>(w, "edtLoadPower");
        QCOMPARE(QApplication::focusWidget(), load);
        QCOMPARE(load->selectedText(), QStringLiteral("10000"));
        QTest::keyClicks(load, QStringLiteral("7500"));
        QTest::keyClick(load, Qt::Key_Return);
        QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
        QCOMPARE(RequestParameters.LoadPower, 7500);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        QCOMPARE(QApplication::focusWidget(), Child<QLineEdit>(w, "edtMinutes"));
        QTest::keyClick(&w, Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(w.CurrentPage(), TWizardPage::Redundancy);
    }

    // The preview follows the size choice at once; the unit options wait for Next.
    void sizeChoiceTakesEffectAtOnce()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Power));
        auto *size = Child<QComboBox>(w, "cmbUpsSize");
        QVERIFY(size->count() > 2);
        QVERIFY(size->isEnabled());
        const QVector<TSizeLine> lines = w.Core().SizeList();
        QCOMPARE(ResultParameters.InverterRecord, lines.last().RecordId);
        QCOMPARE(RequestParameters.MaxUpsPower, lines.last().VA);
        auto *preview = Child<QWidget>(w, "pbxPreview");
        const QImage largest = preview->grab().toImage();
        ChooseLine(size, 0);
        QCOMPARE(size->currentIndex(), 0);
        const QImage smallest = preview->grab().toImage();
        QVERIFY(smallest != largest); // the picture of the other cabinet
        QCOMPARE(ResultParameters.InverterRecord, lines.first().RecordId);
        QCOMPARE(RequestParameters.MaxUpsPower, lines.first().VA);
        QCOMPARE(RequestParameters.MaxUpsSlots, lines.first().Slots);
        ClickOption(Child<QRadioButton>(w, "optW"));
        QCOMPARE(RequestParameters.MaxUpsPower, lines.first().VA);
        QCOMPARE(preview->grab().toImage(), smallest);
        QCOMPARE(size->itemText(0),
                 QStringLiteral("%1 kVA - %2 kW  (%3 %4)")
                     .arg(lines.first().VA / 1000)
                     .arg(lines.first().W / 1000)
                     .arg(lines.first().Slots)
                     .arg(LangWizard("PowerModulesSlots")));
    }

    void powerRefusals_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QString>("load");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("messageKey");
        QTest::addColumn<bool>("limitArgs");
        QTest::newRow("letters") << false << "10k" << "" << "edtLoadPower" << "ErrorInvalidNumber" << false;
        QTest::newRow("empty") << false << "" << "" << "edtLoadPower" << "ErrorInvalidNumber" << false;
        QTest::newRow("over the limit") << false << "99999999" << "" << "edtLoadPower" << "ErrorNumberOutOfRange" << true;
        QTest::newRow("margin letters") << true << "10000" << "x" << "edtMargin" << "ErrorInvalidNumber" << false;
        QTest::newRow("margin over 100") << true << "10000" << "101" << "edtMargin" << "ErrorNumberOutOfRange" << false;
    }

    void powerRefusals()
    {
        QFETCH(bool, debug);
        QFETCH(QString, load);
        QFETCH(QString, margin);
        QFETCH(QString, edit);
        QFETCH(QString, messageKey);
        QFETCH(bool, limitArgs);
        SetupData.DebugMode = debug;

        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Power));
        QCOMPARE(!Child<QWidget>(w, "pnlMargin")->isHidden(), debug);
        TypeInto(Child<QLineEdit>(w, "edtLoadPower"), load);
        if (debug)
            TypeInto(Child<QLineEdit>(w, "edtMargin"), margin);
        Button(w, "btnNext")->setFocus();
        ClickNext(w);

        QCOMPARE(w.CurrentPage(), TWizardPage::Power);
        QList<QVariant> args;
        if (messageKey == QLatin1String("ErrorNumberOutOfRange"))
            args = limitArgs ? QList<QVariant>{0, RequestParameters.MaxUpsPower} : QList<QVariant>{0, 100};
        QCOMPARE(m_messages.Texts(), QStringList{FormatText(LangMessages(messageKey), args)});
        QCOMPARE(m_messages.Messages.first().Kind, QStringLiteral("error"));
        QTRY_VERIFY(w.findChild<QLineEdit *>(edit)->hasFocus());
        QVERIFY(w.isVisible());
    }

    // A margin of 10 % makes 10000 VA need 11000 VA: refused by a 10 kVA size.
    void marginRaisesTheRequiredPower()
    {
        SetupData.DebugMode = true;
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Power));
        auto *size = Child<QComboBox>(w, "cmbUpsSize");
        const int tenKva = LineStartingWith(size, QStringLiteral("10 kVA - 8 kW"));
        QVERIFY(tenKva >= 0);
        ChooseLine(size, tenKva);
        TypeInto(Child<QLineEdit>(w, "edtMargin"), QStringLiteral("1000")); // three characters at most
        QCOMPARE(Child<QLineEdit>(w, "edtMargin")->text(), QStringLiteral("100"));
        TypeInto(Child<QLineEdit>(w, "edtMargin"), QStringLiteral("10"));
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Power);
        QCOMPARE(m_messages.Texts(), QStringList{Msg("ErrorNumberOutOfRange", {0, 10000})});
        m_messages.Messages.clear();
        TypeInto(Child<QLineEdit>(w, "edtMargin"), QStringLiteral("0"));
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
        QVERIFY(m_messages.Messages.isEmpty());
    }

    void autonomyRefusals_data()
    {
        QTest::addColumn<bool>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("hoursText");
        QTest::addColumn<QString>("hoursMinutes");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("message");
        QTest::newRow("minutes letters") << false << "ten" << "" << "" << "80" << "edtMinutes" << Msg("ErrorInvalidNumber");
        QTest::newRow("minutes too few") << false << "2" << "" << "" << "80" << "edtMinutes" << Msg("ErrorAutonmyRequested", {3, 20});
        QTest::newRow("minutes too many") << false << "1201" << "" << "" << "80" << "edtMinutes" << Msg("ErrorAutonmyRequested", {3, 20});
        QTest::newRow("hours over 20") << true << "" << "21" << "0" << "80" << "edtHours" << Msg("ErrorNumberOutOfRange", {0, 20});
        QTest::newRow("hour minutes over 59") << true << "" << "1" << "60" << "80" << "edtHoursMinutes" << Msg("ErrorNumberOutOfRange", {0, 59});
        QTest::newRow("20 h 1 min") << true << "" << "20" << "1" << "80" << "edtHoursMinutes" << Msg("ErrorAutonmyRequested", {3, 20});
        QTest::newRow("percent 0") << false << "10" << "" << "" << "0" << "edtPercent" << Msg("ErrorNumberOutOfRange", {1, 100});
        QTest::newRow("percent letters") << false << "10" << "" << "" << "x" << "edtPercent" << Msg("ErrorInvalidNumber");
    }

    void autonomyRefusals()
    {
        QFETCH(bool, hours);
        QFETCH(QString, minutes);
        QFETCH(QString, hoursText);
        QFETCH(QString, hoursMinutes);
        QFETCH(QString, percent);
        QFETCH(QString, edit);
        QFETCH(QString, message);
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Autonomy));
        if (hours) {
            ClickOption(Child<QRadioButton>(w, "optHours"));
            QVERIFY(!Child<QLineEdit>(w, "edtMinutes")->isEnabled());
            QVERIFY(Child<QLineEdit>(w, "edtHours")->isEnabled());
            TypeInto(Child<QLineEdit>(w, "edtHours"), hoursText);
            TypeInto(Child<QLineEdit>(w, "edtHoursMinutes"), hoursMinutes);
        } else {
            TypeInto(Child<QLineEdit>(w, "edtMinutes"), minutes);
        }
        TypeInto(Child<QLineEdit>(w, "edtPercent"), percent);
        Button(w, "btnNext")->setFocus();
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        QCOMPARE(m_messages.Texts(), QStringList{message});
        QTRY_VERIFY(w.findChild<QLineEdit *>(edit)->hasFocus());
    }

    void pageSequence_data()
    {
        QTest::addColumn<bool>("home");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QList<int32_t>>("pages");
        QTest::newRow("export") << false << false << QList<int32_t>{0, 1, 2, 3, 4, 5};
        QTest::newRow("export, debug") << false << true << QList<int32_t>{0, 1, 2, 3, 4, 5};
        QTest::newRow("home market") << true << false << QList<int32_t>{0, 1, 2, 3, 5, 6};
        QTest::newRow("home market, debug") << true << true << QList<int32_t>{0, 1, 2, 3, 4, 5, 6};
    }

    void pageSequence()
    {
        QFETCH(bool, home);
        QFETCH(bool, debug);
        QFETCH(QList<int32_t>, pages);
        SetMarket(home ? TMarket::Home : TMarket::Export, debug);
        QCOMPARE(IsHomeMarket(), home);

        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        auto *notebook = Child<QStackedWidget>(w, "nbkPages");
        QList<int32_t> visited;
        for (int guard = 0; guard < 8 && w.isVisible(); ++guard) {
            const int32_t page = int32_t(w.CurrentPage());
            visited << page;
            QCOMPARE(notebook->currentIndex(), page);
            const bool last = page == pages.last();
            QCOMPARE(Button(w, "btnNext")->text(), LangWizard(last ? "ButtonFinish" : "ButtonNext"));
            QCOMPARE(Button(w, "btnBack")->isEnabled(), page != pages.first());
            if (page == int32_t(TWizardPage::Advanced))
                QCOMPARE(!Child<QGroupBox>(w, "grpBatteryType")->isHidden(), debug);
            ClickNext(w);
        }
        QCOMPARE(visited, pages);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(m_messages.Messages.isEmpty());
    }

    // Without a vendor library nothing is offered: no optional page, no size to choose.
    void withoutVendorLibrary()
    {
        UnloadVendorLibrary();
        {
            TFrmWizard w(TWizardMode::EditAutonomy);
            Show(w);
            QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
            QCOMPARE(Button(w, "btnNext")->text(), LangWizard("ButtonFinish"));
            QVERIFY(!Button(w, "btnBack")->isEnabled());
            // No non-modular cabinet: the roomy layout without the cabinet group.
            QVERIFY(Child<QGroupBox>(w, "grpBatteryCabinet")->isHidden());
            QCOMPARE(Child<QRadioButton>(w, "optHours")->y(), 30);
            QCOMPARE(Child<QLineEdit>(w, "edtHoursMinutes")->y(), 55);
            QCOMPARE(Child<QGroupBox>(w, "grpAutonomy")->height(), 109);
            QCOMPARE(Child<QGroupBox>(w, "grpPercent")->geometry().top(), 140);
            QCOMPARE(Child<QGroupBox>(w, "grpPercent")->height(), 85);
            QCOMPARE(Child<QLineEdit>(w, "edtPercent")->y(), 36);
        }
        {
            TFrmWizard w(TWizardMode::NewConfiguration);
            Show(w);
            ClickNext(w);
            QCOMPARE(w.CurrentPage(), TWizardPage::Power);
            QCOMPARE(Child<QComboBox>(w, "cmbUpsSize")->count(), 0);
            QVERIFY(!Child<QComboBox>(w, "cmbUpsSize")->isEnabled());
            ClickNext(w);
            QCOMPARE(w.CurrentPage(), TWizardPage::Power);
            QCOMPARE(m_messages.Texts(), QStringList{Msg("ErrorHighPower")});
        }
        QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so")));
    }

    // Coming back to the Autonomy page going forward starts its entries afresh.
    void autonomyBackAndForwardResets()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Autonomy));
        QCOMPARE(Child<QLineEdit>(w, "edtMinutes")->text(), QStringLiteral("10"));
        QCOMPARE(Child<QLineEdit>(w, "edtPercent")->text(), QStringLiteral("80"));
        ClickOption(Child<QRadioButton>(w, "optHours"));
        TypeInto(Child<QLineEdit>(w, "edtHours"), QStringLiteral("2"));
        TypeInto(Child<QLineEdit>(w, "edtHoursMinutes"), QStringLiteral("30"));
        TypeInto(Child<QLineEdit>(w, "edtPercent"), QStringLiteral("55"));
        ClickOption(Child<QRadioButton>(w, "optNotModular"));

        ClickBack(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        QVERIFY(Child<QRadioButton>(w, "optMinutes")->isChecked());
        QCOMPARE(Child<QLineEdit>(w, "edtMinutes")->text(), QStringLiteral("10"));
        QVERIFY(Child<QLineEdit>(w, "edtMinutes")->isEnabled());
        QCOMPARE(Child<QLineEdit>(w, "edtHours")->text(), QStringLiteral("0"));
        QCOMPARE(Child<QLineEdit>(w, "edtHoursMinutes")->text(), QStringLiteral("10"));
        QVERIFY(!Child<QLineEdit>(w, "edtHours")->isEnabled());
        QVERIFY(Child<QRadioButton>(w, "optModular")->isChecked());
        QCOMPARE(Child<QLineEdit>(w, "edtPercent")->text(), QStringLiteral("55")); // keeps its text

        // Going back from the Advanced page does not reset it.
        TypeInto(Child<QLineEdit>(w, "edtMinutes"), QStringLiteral("25"));
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Advanced);
        QCOMPARE(RequestParameters.AutonomyRequired, 25);
        ClickBack(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        QCOMPARE(Child<QLineEdit>(w, "edtMinutes")->text(), QStringLiteral("25"));
    }

    // Back to the Power page and forward again: modules sized again, redundancy from "none".
    void powerBackAndForwardRebuildsRedundancy()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Redundancy));
        auto *l1 = Child<QComboBox>(w, "cmbRedundancyL1");
        auto *l2 = Child<QComboBox>(w, "cmbRedundancyL2");
        QCOMPARE(l1->count(), 1 + w.Core().FreeSlots(0));
        QVERIFY(l1->count() > 2);
        ChooseLine(l1, 2);
        ChooseLine(l2, 1);
        QCOMPARE(l1->currentText(), QStringLiteral("N + 2"));
        QCOMPARE(int(ResultParameters.RedundantL1), 2); // at once, before Next
        QCOMPARE(int(ResultParameters.RedundantL2), 1);

        ClickBack(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Power);
        QCOMPARE(TotalModules(ResultParameters), uint8_t(0)); // the Power page starts the modules afresh
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
        QCOMPARE(l1->currentIndex(), 0);
        QCOMPARE(l1->currentText(), LangWizard("SelectionNone"));
        QCOMPARE(l2->currentIndex(), 0);
        QCOMPARE(int(ResultParameters.RedundantL1), 0);
        QCOMPARE(int(ResultParameters.RedundantL2), 0);
        QVERIFY(TotalModules(ResultParameters) >= 3);

        // Back to the Redundancy page from the Autonomy page keeps the choices.
        ChooseLine(l1, 1);
        ClickNext(w);
        ClickBack(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
        QCOMPARE(l1->currentIndex(), 1);
        QCOMPARE(int(ResultParameters.RedundantL1), 1);
    }

    // Edit autonomy: opens on the Autonomy page with the stored values, never goes before it.
    void editAutonomyRestoresAndFinishes()
    {
        {
            TFrmWizard w(TWizardMode::NewConfiguration);
            Show(w);
            QVERIFY(GoTo(w, TWizardPage::Autonomy));
            ClickOption(Child<QRadioButton>(w, "optHours"));
            TypeInto(Child<QLineEdit>(w, "edtHours"), QStringLiteral("1"));
            TypeInto(Child<QLineEdit>(w, "edtHoursMinutes"), QStringLiteral("35"));
            TypeInto(Child<QLineEdit>(w, "edtPercent"), QStringLiteral("60"));
            QVERIFY(GoTo(w, TWizardPage::Accessories));
            auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
            const QList<int> cs121 = EntriesLabelled(grid, QStringLiteral("CS121 SK"));
            QCOMPARE(cs121.size(), 1);
            ClickCheckCell(grid, cs121.first());
            ClickNext(w);
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        QCOMPARE(RequestParameters.AutonomyRequired, 95);
        QCOMPARE(RequestParameters.AutonomyInMinutes, false);
        const int32_t inverter = ResultParameters.InverterRecord;
        const uint8_t modules = TotalModules(ResultParameters);

        TFrmWizard w(TWizardMode::EditAutonomy);
        Show(w);
        QCOMPARE(w.windowTitle(), WithoutMnemonic(LangMain("ButtonEditAutonomy")));
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        QCOMPARE(Child<QLabel>(w, "lblTitle")->text(), LangWizard("PageAutonomyTitle"));
        QVERIFY(!Button(w, "btnBack")->isEnabled());
        QVERIFY(Child<QRadioButton>(w, "optHours")->isChecked());
        QCOMPARE(Child<QLineEdit>(w, "edtHours")->text(), QStringLiteral("1"));
        QCOMPARE(Child<QLineEdit>(w, "edtHoursMinutes")->text(), QStringLiteral("35"));
        QCOMPARE(Child<QLineEdit>(w, "edtMinutes")->text(), QStringLiteral("95"));
        QVERIFY(!Child<QLineEdit>(w, "edtMinutes")->isEnabled());
        QCOMPARE(Child<QLineEdit>(w, "edtPercent")->text(), QStringLiteral("60"));
        QVERIFY(Child<QRadioButton>(w, "optModular")->isChecked());
        QCOMPARE(Child<QLabel>(w, "lblPercentDescription")->text(),
                 FormatText(LangWizard("PageAutonomyPowerPercentUsed"), {10000, QStringLiteral("VA")}));
        QCOMPARE(Child<QLabel>(w, "lblOutputL2")->text(), QStringLiteral("L2"));
        ClickBack(w); // disabled: nothing happens
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);

        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Advanced);
        QVERIFY(Button(w, "btnBack")->isEnabled());
        ClickBack(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        QVERIFY(!Button(w, "btnBack")->isEnabled());
        // Back does not reset the page; type a new autonomy.
        QVERIFY(Child<QRadioButton>(w, "optHours")->isChecked());
        ClickOption(Child<QRadioButton>(w, "optMinutes"));
        TypeInto(Child<QLineEdit>(w, "edtMinutes"), QStringLiteral("30"));
        ClickNext(w);
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Accessories);
        auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
        const int cs121 = EntriesLabelled(grid, QStringLiteral("CS121 SK")).first();
        QVERIFY(grid->IsChecked(cs121)); // the stored accessory is ticked again
        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(RequestParameters.AutonomyRequired, 30);
        QCOMPARE(RequestParameters.AutonomyInMinutes, true);
        QCOMPARE(ResultParameters.InverterRecord, inverter);
        QCOMPARE(TotalModules(ResultParameters), modules);
        QCOMPARE(ResultParameters.Accessories.Accessories.size(), 1);
    }

    // Cancel keeps what the pages passed with Next stored, without sizing the batteries.
    void cancelKeepsStoredPages()
    {
        {
            TFrmWizard w(TWizardMode::NewConfiguration);
            Show(w);
            QVERIFY(GoTo(w, TWizardPage::Accessories));
            ClickNext(w);
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        const TResultParameters sized = ResultParameters;

        TFrmWizard w(TWizardMode::EditAutonomy);
        Show(w);
        TypeInto(Child<QLineEdit>(w, "edtMinutes"), QStringLiteral("240"));
        TypeInto(Child<QLineEdit>(w, "edtPercent"), QStringLiteral("100"));
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Advanced);
        QTest::mouseClick(Button(w, "btnCancel"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
        QCOMPARE(RequestParameters.AutonomyRequired, 240);
        QCOMPARE(RequestParameters.AutonomyLoadPercent, 100);
        QCOMPARE(ResultParameters.BatteryKitCount, sized.BatteryKitCount);
        QCOMPARE(ResultParameters.AutonomyAvailable, sized.AutonomyAvailable);
        QCOMPARE(ResultParameters.BatteryKitRecord, sized.BatteryKitRecord);
    }

    void escapeCancels()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        ClickNext(w);
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(int(RequestParameters.OutputLines), 3); // the Phases page was stored
    }

    // The Advanced page: special configuration only with modular cabinets.
    void advancedPageFollowsCabinetKind()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Autonomy));
        ClickOption(Child<QRadioButton>(w, "optNotModular"));
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Advanced);
        auto *special = Child<QCheckBox>(w, "chkSpecialConfig");
        QVERIFY(!special->isEnabled());
        QVERIFY(!special->isChecked());
        QVERIFY(Child<QRadioButton>(w, "optEmptyDrawers")->isChecked());

        ClickBack(w);
        ClickOption(Child<QRadioButton>(w, "optModular"));
        ClickNext(w);
        QVERIFY(special->isEnabled());
        QVERIFY(!Child<QRadioButton>(w, "optOnlyInverter")->isEnabled());
        ClickOption(special);
        QVERIFY(special->isChecked());
        QVERIFY(Child<QRadioButton>(w, "optOnlyInverter")->isEnabled());
        ClickOption(Child<QRadioButton>(w, "optOnlyInverter"));
        ClickNext(w);
        QCOMPARE(RequestParameters.SpecialConfig, true);
        QCOMPARE(RequestParameters.OnlyInverter, true);
        QCOMPARE(RequestParameters.EmptyDrawers, false);
        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(ResultParameters.BatteryKitCount, 0);
        QCOMPARE(ResultParameters.BatteryCabinetCount, 0);
    }

    // Editing the autonomy shows the special configuration as it was stored,
    // with its options enabled after the box, and keeps it through Finish.
    void editAutonomyRestoresSpecialConfiguration()
    {
        {
            TFrmWizard w(TWizardMode::NewConfiguration);
            Show(w);
            QVERIFY(GoTo(w, TWizardPage::Advanced));
            ClickOption(Child<QCheckBox>(w, "chkSpecialConfig"));
            ClickOption(Child<QRadioButton>(w, "optOnlyInverter"));
            QVERIFY(GoTo(w, TWizardPage::Accessories));
            ClickNext(w);
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        QCOMPARE(RequestParameters.SpecialConfig, true);
        QCOMPARE(RequestParameters.OnlyInverter, true);

        TFrmWizard w(TWizardMode::EditAutonomy);
        Show(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Autonomy);
        auto *special = Child<QCheckBox>(w, "chkSpecialConfig");
        auto *onlyInverter = Child<QRadioButton>(w, "optOnlyInverter");
        auto *emptyDrawers = Child<QRadioButton>(w, "optEmptyDrawers");
        QVERIFY(special->isChecked());
        QVERIFY(onlyInverter->isChecked());
        QVERIFY(!emptyDrawers->isChecked());
        QVERIFY(onlyInverter->isEnabled());
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Advanced);
        QVERIFY(special->isEnabled());
        QVERIFY(special->isChecked());
        QVERIFY(onlyInverter->isChecked());
        QVERIFY(onlyInverter->isEnabled());
        QVERIFY(GoTo(w, TWizardPage::Accessories));
        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(RequestParameters.SpecialConfig, true);
        QCOMPARE(RequestParameters.OnlyInverter, true);
        QCOMPARE(RequestParameters.EmptyDrawers, false);
        QCOMPARE(ResultParameters.BatteryKitCount, 0);
        QVERIFY(m_messages.Messages.isEmpty());
    }

    // The battery type (debug mode): stored with the page, restored when the
    // autonomy is edited, started afresh when the cabinet kind changes.
    void batteryTypeChoice()
    {
        SetupData.DebugMode = true;
        {
            TFrmWizard w(TWizardMode::NewConfiguration);
            Show(w);
            QVERIFY(GoTo(w, TWizardPage::Advanced));
            auto *types = Child<QComboBox>(w, "cmbBatteryType");
            QVERIFY(!Child<QGroupBox>(w, "grpBatteryType")->isHidden());
            QVERIFY(types->isEnabled());
            ChooseLine(types, 1);
            ClickBack(w);
            ClickOption(Child<QRadioButton>(w, "optNotModular"));
            QCOMPARE(types->currentIndex(), 0);
            ClickOption(Child<QRadioButton>(w, "optModular"));
            ClickNext(w);
            QCOMPARE(w.CurrentPage(), TWizardPage::Advanced);
            ChooseLine(types, 1);
            QVERIFY(GoTo(w, TWizardPage::Accessories));
            QCOMPARE(RequestParameters.BatteryType, 0);
            ClickNext(w);
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(ResultParameters.BatteryKitRecord, w.Core().OfferedKits().at(0));
        }
        TFrmWizard w(TWizardMode::EditAutonomy);
        Show(w);
        QCOMPARE(Child<QComboBox>(w, "cmbBatteryType")->currentIndex(), 1);
    }

    void centredOnTheMainWindow()
    {
        QWidget main;
        main.setGeometry(50, 40, 620, 480); // within the 800 x 600 offscreen screen
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TFrmWizard w(TWizardMode::NewConfiguration, &main);
        Show(w);
        const QPoint offset = w.geometry().center() - main.geometry().center();
        QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2,
                 qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    // One of a group unticks the others of its group; no quantity question for them.
    void accessoryGroupTicks()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        int questions = 0;
        w.SetQuantityInput([&](QWidget *, const QString &, const QString &, QString &) {
            ++questions;
            return false;
        });
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Accessories));
        auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
        QVERIFY(!grid->horizontalHeader()->isHidden());
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), LangCommons("ItemsTableDescription"));
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), LangCommons("ItemsTableQuantity"));
        QCOMPARE(grid->columnWidth(0), 22);
        QCOMPARE(grid->columnWidth(1), 250);
        QCOMPARE(grid->columnWidth(2), 55);
        const int cs121 = EntriesLabelled(grid, QStringLiteral("CS121 SK")).value(0, -1);
        const int cs121b = EntriesLabelled(grid, QStringLiteral("CS121B SK")).value(0, -1);
        QVERIFY(cs121 >= 0 && cs121b >= 0);
        QVERIFY(grid->DescriptionText(cs121).contains(QLatin1Char('\n'))); // wraps on its line breaks
        QVERIFY(grid->rowHeight(cs121) > grid->DefaultRowHeight());
        QCOMPARE(grid->QuantityText(cs121), QStringLiteral("1"));

        // The check box: the default row height shrunk by 2 on each side, centred in its cell.
        const QRect box = grid->CheckBoxRect(cs121);
        const QRect cell = grid->visualRect(grid->model()->index(cs121, 0));
        QCOMPARE(box.width(), grid->DefaultRowHeight() - 4);
        QCOMPARE(box.height(), grid->DefaultRowHeight() - 4);
        QVERIFY(qAbs(box.center().y() - cell.center().y()) <= 1);
        const QImage unticked = grid->viewport()->grab(box).toImage();

        ClickCheckCell(grid, cs121);
        QVERIFY(grid->IsChecked(cs121));
        QVERIFY(grid->viewport()->grab(box).toImage() != unticked);
        ClickCheckCell(grid, cs121b);
        QVERIFY(grid->IsChecked(cs121b));
        QVERIFY(!grid->IsChecked(cs121));
        // Unticking one of a group leaves the others as they are.
        ClickCheckCell(grid, cs121b);
        QVERIFY(!grid->IsChecked(cs121b));
        QVERIFY(!grid->IsChecked(cs121));
        QCOMPARE(questions, 0);

        // Clicks that do not count: another button, the description cell,
        // a press on one check cell released on another.
        ClickCheckCell(grid, cs121, Qt::RightButton);
        ClickCheckCell(grid, cs121, Qt::MiddleButton);
        QVERIFY(!grid->IsChecked(cs121));
        const QPoint description = grid->visualRect(grid->model()->index(cs121, 1)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, description);
        QVERIFY(!grid->IsChecked(cs121));
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CheckCell(grid, cs121));
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, description);
        QVERIFY(!grid->IsChecked(cs121));
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, description);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CheckCell(grid, cs121));
        QVERIFY(!grid->IsChecked(cs121));

        ClickCheckCell(grid, cs121);
        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        const TArrayGenericAccessory stored = ResultParameters.Accessories.Accessories;
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().RecordId, w.Core().AccessoryList().Ids.at(cs121));
        QCOMPARE(stored.first().Quantity, 1);
    }

    // With the sample price list: the sizes' prices follow the typed load and the cheapest
    // fitting one is marked; a full cabinet says why no redundant module fits; a tick
    // that unticks another of its group names it.
    void adviceOnThePages()
    {
        QTemporaryDir dir;
        const TSetupData saved = SetupData;
        SetupData.DataPath = dir.path() + QStringLiteral("/");
        QVERIFY(QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"),
                            SetupData.DataPath + QLatin1String(kPriceListFileName)));
        SetupData.ShowPrices = LoadPriceList();
        QVERIFY(SetupData.ShowPrices);
        {
            TFrmWizard w(TWizardMode::NewConfiguration);
            Show(w);
            QVERIFY(GoTo(w, TWizardPage::Power));
            auto *size = Child<QComboBox>(w, "cmbUpsSize");
            auto *load = Child<QLineEdit>(w, "edtLoadPower");
            const QString cheapest = QStringLiteral(", ") + LangWizard("PagePowerSizeCheapest");
            TypeInto(load, QStringLiteral("9000"));
            const int tenKva = LineStartingWith(size, QStringLiteral("10 kVA - 8 kW"));
            QVERIFY(tenKva >= 0);
            QCOMPARE(size->itemText(tenKva), "10 kVA - 8 kW  (3 " + LangWizard("PowerModulesSlots") +
                                                 ")  (room for 12 battery kits)  \u2013  8,250.00 EUR" + cheapest);
            QVERIFY(size->itemText(tenKva + 1).contains(QStringLiteral("(room for 16 battery kits)  \u2013  8,600.00 EUR")));
            QVERIFY(!size->itemText(0).contains(QStringLiteral("EUR"))); // 8 kVA: too small for 9000 VA
            // Another load moves the mark; a load that is no number leaves the list without prices.
            TypeInto(load, QStringLiteral("8000"));
            QVERIFY(size->itemText(0).endsWith(QStringLiteral("7,050.00 EUR") + cheapest));
            QVERIFY(!size->itemText(tenKva).endsWith(cheapest));
            TypeInto(load, QStringLiteral("8 kVA"));
            for (int i = 0; i < size->count(); ++i)
                QVERIFY(!size->itemText(i).contains(QStringLiteral("EUR")));

            // 8000 VA on the 10 kVA cabinet: three modules fill its three slots.
            TypeInto(load, QStringLiteral("8000"));
            ChooseLine(size, tenKva);
            ClickNext(w);
            QCOMPARE(w.CurrentPage(), TWizardPage::Redundancy);
            auto *note = Child<QLabel>(w, "lblRedundancyNote");
            QVERIFY(note->isVisible());
            QVERIFY(note->text().startsWith(QStringLiteral("No redundant module fits on L1, L2, L3: at this load the power "
                                                           "modules fill every slot there (per phase modules: 1, slots: 1).")));
            QCOMPARE(size->toolTip(), size->currentText());
            QVERIFY(note->text().contains(QStringLiteral("The UPS size 16 kVA - 12 kW")));
            QVERIFY(!Child<QComboBox>(w, "cmbRedundancyL1")->isEnabled());
            // A cabinet with room says nothing.
            ClickBack(w);
            ChooseLine(size, LineStartingWith(size, QStringLiteral("16 kVA")));
            ClickNext(w);
            QVERIFY(note->text().isEmpty());

            QVERIFY(GoTo(w, TWizardPage::Accessories));
            auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
            auto *unticked = Child<QLabel>(w, "lblAccessoriesNote");
            const int cs121 = EntriesLabelled(grid, QStringLiteral("CS121 SK")).value(0, -1);
            const int cs121b = EntriesLabelled(grid, QStringLiteral("CS121B SK")).value(0, -1);
            ClickCheckCell(grid, cs121);
            QVERIFY(unticked->text().isEmpty());
            ClickCheckCell(grid, cs121b);
            QCOMPARE(unticked->text(),
                     QStringLiteral("Ticking CS121B SK unticked CS121 SK: they cannot be chosen together."));
            QVERIFY(unticked->isVisible());
            ClickCheckCell(grid, cs121b);
            QVERIFY(unticked->text().isEmpty());
        }
        ClosePriceListDatabase();
        PriceList = TPriceList();
        SetupData = saved;
    }

    // Without entries a grid shows one empty row (under the heading) that ticks nothing.
    void gridWithoutEntries_data()
    {
        QTest::addColumn<bool>("withQuantity");
        QTest::newRow("accessories") << true;
        QTest::newRow("contracts") << false;
    }

    void gridWithoutEntries()
    {
        QFETCH(bool, withQuantity);
        TAccessoryGrid grid(withQuantity);
        grid.resize(360, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy clicks(&grid, &TAccessoryGrid::EntryClicked);
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.EntryCount(), 0);
        QCOMPARE(grid.columnCount(), withQuantity ? 3 : 2);
        QCOMPARE(grid.horizontalHeader()->isHidden(), !withQuantity);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.CheckCellCentre(0));
        QCOMPARE(clicks.count(), 0);

        grid.SetEntries({QStringLiteral("A"), QString(), QStringLiteral("C")}, {false, true, false},
                        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        QCOMPARE(grid.rowCount(), 3); // an empty description keeps its own row
        QVERIFY(grid.IsChecked(1));
        QCOMPARE(grid.DescriptionText(2), QStringLiteral("C"));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.CheckCellCentre(2));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.first().first().toInt(), 2);
        QVERIFY(!grid.IsChecked(2)); // the grid only reports; the wizard decides the tick
    }

    // The keyboard reaches the ticks too: the space bar on the current row.
    void spaceBarTicksTheCurrentEntry()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Accessories));
        auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
        const int cs121 = EntriesLabelled(grid, QStringLiteral("CS121 SK")).value(0, -1);
        QVERIFY(cs121 >= 0);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(cs121, 1)).center());
        QVERIFY(!grid->IsChecked(cs121));
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(grid->IsChecked(cs121));
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(!grid->IsChecked(cs121));
    }

    // Group -1 items ask for a quantity; 0 and letters are refused and asked again.
    void accessoryQuantityQuestion()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        QStringList answers{QStringLiteral("0"), QStringLiteral("abc"), QStringLiteral("05")};
        QStringList initial, captions, prompts;
        bool cancel = false;
        w.SetQuantityInput([&](QWidget *, const QString &caption, const QString &prompt, QString &text) {
            initial << text;
            captions << caption;
            prompts << prompt;
            if (cancel || answers.isEmpty())
                return false;
            text = answers.takeFirst();
            return true;
        });
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Accessories));
        auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
        const QList<int> rccmd = EntriesLabelled(grid, QStringLiteral("RCCMD"));
        QCOMPARE(rccmd.size(), 5);

        ClickCheckCell(grid, rccmd.at(0));
        QCOMPARE(initial, (QStringList{"1", "1", "1"}));
        QCOMPARE(captions.first(), QStringLiteral("RCCMD"));
        QCOMPARE(prompts.first(), LangCommons("ItemsTableQuantity"));
        QCOMPARE(m_messages.Texts(), (QStringList{Msg("ErrorInvalidNumber"), Msg("ErrorInvalidNumber")}));
        QVERIFY(grid->IsChecked(rccmd.at(0)));
        QCOMPARE(grid->QuantityText(rccmd.at(0)), QStringLiteral("05")); // the typed text
        QCOMPARE(w.Core().AccessoryList().Quantities.at(rccmd.at(0)), 5);

        // A second one of group -1 leaves the first ticked; Cancel keeps it ticked at 1.
        initial.clear();
        cancel = true;
        ClickCheckCell(grid, rccmd.at(2));
        QCOMPARE(initial, QStringList{"1"});
        QVERIFY(grid->IsChecked(rccmd.at(0)));
        QVERIFY(grid->IsChecked(rccmd.at(2)));
        QCOMPARE(grid->QuantityText(rccmd.at(2)), QStringLiteral("1"));

        // Unticking asks nothing; ticking again starts from the quantity kept.
        initial.clear();
        ClickCheckCell(grid, rccmd.at(0));
        QVERIFY(!grid->IsChecked(rccmd.at(0)));
        QVERIFY(initial.isEmpty());
        ClickCheckCell(grid, rccmd.at(0));
        QCOMPARE(initial, QStringList{"5"});

        // Quantities survive going back and forth.
        ClickBack(w);
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Accessories);
        QVERIFY(grid->IsChecked(rccmd.at(0)));
        QCOMPARE(grid->QuantityText(rccmd.at(0)), QStringLiteral("5"));

        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        const TAccessoriesRecord &list = w.Core().AccessoryList();
        const TArrayGenericAccessory stored = ResultParameters.Accessories.Accessories;
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(0).RecordId, list.Ids.at(rccmd.at(0)));
        QCOMPARE(stored.at(0).Quantity, 5);
        QCOMPARE(stored.at(1).RecordId, list.Ids.at(rccmd.at(2)));
        QCOMPARE(stored.at(1).Quantity, 1);
    }

    // The real modal input box: letters refused, asked again from the current quantity, then 7.
    void accessoryQuantityRealInputBox()
    {
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Accessories));
        auto *grid = Child<TAccessoryGrid>(w, "grdAccessories");
        const int entry = EntriesLabelled(grid, QStringLiteral("RCCMD")).value(1, -1);
        QVERIFY(entry >= 0);

        QStringList seen; // title, label, initial text of every box
        const QStringList typed{QStringLiteral("x"), QStringLiteral("7")};
        int answered = 0;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!box || box->property("answered").toBool() || answered >= typed.size())
                return;
            box->setProperty("answered", true);
            auto *edit = box->findChild<QLineEdit *>();
            auto *label = box->findChild<QLabel *>();
            seen << box->windowTitle() << (label ? label->text() : QString()) << (edit ? edit->text() : QString());
            if (edit) {
                edit->selectAll();
                QTest::keyClicks(edit, typed.at(answered));
            }
            ++answered;
            auto *buttons = box->findChild<QDialogButtonBox *>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        poll.start();
        ClickCheckCell(grid, entry);
        poll.stop();

        QCOMPARE(answered, 2);
        QCOMPARE(seen, (QStringList{"RCCMD", LangCommons("ItemsTableQuantity"), "1", "RCCMD",
                                    LangCommons("ItemsTableQuantity"), "1"}));
        QCOMPARE(m_messages.Texts(), QStringList{Msg("ErrorInvalidNumber")});
        QVERIFY(grid->IsChecked(entry));
        QCOMPARE(grid->QuantityText(entry), QStringLiteral("7"));
        QCOMPARE(w.Core().AccessoryList().Quantities.at(entry), 7);
    }

    void contractsOnlyHomeMarketBySize_data()
    {
        QTest::addColumn<QString>("sizeLine");
        QTest::addColumn<QList<int32_t>>("contracts");
        QTest::newRow("10 kVA") << "10 kVA - 8 kW" << QList<int32_t>{20240, 20260, 20280};
        QTest::newRow("16 kVA") << "16 kVA - 12 kW" << QList<int32_t>{20300, 20320, 20340};
    }

    void contractsOnlyHomeMarketBySize()
    {
        QFETCH(QString, sizeLine);
        QFETCH(QList<int32_t>, contracts);
        SetMarket(TMarket::Home, false);
        TFrmWizard w(TWizardMode::NewConfiguration);
        Show(w);
        QVERIFY(GoTo(w, TWizardPage::Power));
        auto *size = Child<QComboBox>(w, "cmbUpsSize");
        const int line = LineStartingWith(size, sizeLine);
        QVERIFY(line >= 0);
        ChooseLine(size, line);
        TypeInto(Child<QLineEdit>(w, "edtLoadPower"), QStringLiteral("6000"));
        QVERIFY(GoTo(w, TWizardPage::Contracts));
        QCOMPARE(Child<QLabel>(w, "lblTitle")->text(), LangWizard("PageContractsTitle"));
        auto *grid = Child<TAccessoryGrid>(w, "grdContracts");
        QVERIFY(grid->horizontalHeader()->isHidden());
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(grid->columnWidth(1), 321);
        QCOMPARE(QList<int32_t>(w.Core().ShownContracts().Ids.begin(), w.Core().ShownContracts().Ids.end()),
                 contracts);
        QCOMPARE(grid->EntryCount(), int(contracts.size()));
        QVERIFY(grid->DescriptionText(0).startsWith(QStringLiteral("Canone C - ")));

        // Ticks on the contracts page are lost going back and forward.
        ClickCheckCell(grid, 0);
        QVERIFY(grid->IsChecked(0));
        ClickBack(w);
        ClickNext(w);
        QCOMPARE(w.CurrentPage(), TWizardPage::Contracts);
        QVERIFY(!grid->IsChecked(0));

        ClickCheckCell(grid, 1);
        ClickCheckCell(grid, 2); // same group: replaces the tick of entry 1
        QVERIFY(!grid->IsChecked(1));
        QVERIFY(grid->IsChecked(2));
        ClickNext(w);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        const TArrayGenericAccessory stored = ResultParameters.Accessories.Contracts;
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().RecordId, contracts.at(2));
        QCOMPARE(stored.first().Quantity, 1);
    }
};

QTEST_MAIN(TestWizard)
#include "test_wizard.moc"
