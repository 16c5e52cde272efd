// The main window as the user meets it: start-up in a fresh home, the
// "/DEBUG" switch, captions and branding from the real language file and
// vendor library, the early ends, the new-configuration flow and the close.

#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include "Globals.h"
#include "Lang.h"
#include "LayoutPaintBox.h"
#include "Settings.h"
#include "TFrmVarnexCfgMain.h"
#include "TFrmWizard.h"
#include "Vendor.h"
#include "Version.h"
#include "WindowServices.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <stdexcept>

namespace {

const QString kNoLanguage = QStringLiteral("No language files founded. Impossible to continue.");
const QString kFolderError = QStringLiteral("Internal error. Try to uninstall and install again the software.");

QString DataFolder(const TTempHome &home)
{
    return home.DataHome() + QStringLiteral("/Varnex Configurator/");
}

QString IniValue(const TTempHome &home, const QString &key)
{
    return ReadSetting(DataFolder(home) + QStringLiteral("VarnexCfg.ini"), QStringLiteral("Setup"), key, QString());
}

void WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

/// A vendor library that must not be loaded: the real one cut to 20,000 bytes
/// ("cut"), or a library of the system that is no vendor's ("foreign").
QByteArray VendorLibraryStandIn(const QString &kind)
{
    if (kind == QLatin1String("cut"))
        return ReadFileBytes(BuiltProgramPath() + QStringLiteral("Quenvar.so")).left(20000);
    for (const char *name : {"/usr/lib/x86_64-linux-gnu/libz.so.1", "/lib/x86_64-linux-gnu/libz.so.1",
                             "/usr/lib/aarch64-linux-gnu/libz.so.1"})
        if (QFileInfo::exists(QLatin1String(name)))
            return ReadFileBytes(QLatin1String(name));
    return QByteArray();
}

/// A program folder of our own: the program file, and the language file and
/// the vendor library only when asked for.
class TProgramFolder {
public:
    TProgramFolder(bool withLanguage, bool withVendor, const QString &languageName = QStringLiteral("English.lng"))
    {
        const QString built = BuiltProgramPath();
        QFile::copy(built + QStringLiteral("VarnexCfg"), Path() + QStringLiteral("VarnexCfg"));
        if (withLanguage)
            QFile::copy(built + QStringLiteral("English.lng"), Path() + languageName);
        if (withVendor)
            QFile::copy(built + QStringLiteral("Quenvar.so"), Path() + QStringLiteral("Quenvar.so"));
    }
    QString Path() const { return m_dir.path() + QLatin1Char('/'); }

private:
    QTemporaryDir m_dir;
};

bool ButtonShowsEnabled(QPushButton *button)
{
    return button->isEnabled() &&
           button->palette().color(QPalette::Active, QPalette::ButtonText) == QColor(Qt::black);
}

bool ButtonShowsDisabled(QPushButton *button)
{
    return !button->isEnabled() &&
           button->palette().color(QPalette::Disabled, QPalette::ButtonText) == QColor(128, 128, 128);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void firstRunCreatesFoldersAndSecondRecordsProgramPath();
    void startupEmptiesTemporaryFolderOfFilesOnly();
    void debugSwitch_data();
    void debugSwitch();
    // Every command from the keyboard: its shortcut, Alt and its mnemonic, and
    // Enter or Return on the focused button.
    void commandsWorkFromTheKeyboard()
    {
        TWindowWithResults w(false);
        TFrmVarnexCfgMain &window = *w.Window;
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const struct {
            QPushButton *Button;
            QAction *Action;
            QKeySequence Shortcut;
            Qt::Key Mnemonic;
        } commands[] = {
            {Child<QPushButton>(window, "btnNewConfiguration"), Child<QAction>(window, "actNewConfiguration"), QKeySequence("Ctrl+N"), Qt::Key_N},
            {Child<QPushButton>(window, "btnEditAutonomy"), Child<QAction>(window, "actEditAutonomy"), QKeySequence("Ctrl+E"), Qt::Key_E},
            {Child<QPushButton>(window, "btnSaveConfiguration"), Child<QAction>(window, "actSaveConfiguration"), QKeySequence("Ctrl+Shift+S"), Qt::Key_S},
            {Child<QPushButton>(window, "btnPrintConfiguration"), Child<QAction>(window, "actPrintConfiguration"), QKeySequence("Ctrl+P"), Qt::Key_P},
            {Child<QPushButton>(window, "btnSetup"), Child<QAction>(window, "actSetup"), QKeySequence("Ctrl+,"), Qt::Key_T},
            {Child<QPushButton>(window, "btnInfo"), Child<QAction>(window, "actInfoProgram"), QKeySequence("F1"), Qt::Key_A},
        };
        // The result tabs have the focus: the arrow keys walk them.
        QCOMPARE(QApplication::focusWidget(), Child<QTabWidget>(window, "pageControlResult")->tabBar());
        QTest::keyClick(Child<QTabWidget>(window, "pageControlResult")->tabBar(), Qt::Key_Right);
        QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentIndex(), 1);
        QTest::keyClick(Child<QTabWidget>(window, "pageControlResult")->tabBar(), Qt::Key_Left);
        QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentIndex(), 0);
        for (const auto &command : commands) {
            // Count the command instead of opening its dialog.
            QObject::disconnect(command.Action, &QAction::triggered, &window, nullptr);
            int runs = 0;
            const auto counter = connect(command.Action, &QAction::triggered, [&] { ++runs; });
            const QByteArray name = command.Action->objectName().toLatin1();
            QTest::keySequence(&window, command.Shortcut);
            QVERIFY2(runs == 1, name);
            QTest::keyClick(&window, command.Mnemonic, Qt::AltModifier);
            QTRY_VERIFY2(runs == 2, name); // a mnemonic presses the button visibly first
            command.Button->setFocus(Qt::TabFocusReason);
            QTest::keyClick(command.Button, Qt::Key_Return);
            QTRY_VERIFY2(runs == 3, name);
            QTest::keyClick(command.Button, Qt::Key_Enter, Qt::KeypadModifier);
            QTRY_VERIFY2(runs == 4, name);
            QVERIFY(command.Button->toolTip().endsWith(
                QStringLiteral("(") + command.Shortcut.toString(QKeySequence::NativeText) + u')'));
            disconnect(counter);
        }
    }

    void captionsComeFromLanguageFileAndVendorLibrary();
    void productLogoOpensProductPageUnderWaitCursor();
    void unknownLanguageFileRemovesLogoLinkForTheRun();
    void resultCommandsDisabledAtStart();
    void popupMenusCarryTheirCommands();
    void firstIdleRunsOnceAfterStart();
    void noLanguageFileEndsOrderly();
    void missingVendorLibraryEndsOrderly_data();
    void missingVendorLibraryEndsOrderly();
    void realProgramWithDamagedLibraryDoesNotCrash_data();
    void realProgramWithDamagedLibraryDoesNotCrash();
    void dataFolderThatCannotBeCreatedEndsAtOnce();
    void closeClearsClipboardOnlyWhenProgramOwnsIt_data();
    void closeClearsClipboardOnlyWhenProgramOwnsIt();
    void closeReleasesLibraryAndResultLists();
    void newConfigurationFlow();
    void editAutonomyKeepsPageWhenCancelled();
    void wizardFailureCountsAsCancel();
    void realWizardCancelledLeavesWelcomePage();
    void realWizardFinishedShowsResults();
    void setupChangesApplyNewLanguage();
    void languageSwitchOnResultsRedrawsEverything();
    void programWithoutDisplayExplainsAndFails();
};

void TestMainWindow::cleanup()
{
    SetOpenUrlHook(nullptr);
    UnloadVendorLibrary();
    QApplication::clipboard()->clear();
    while (QApplication::overrideCursor() != nullptr)
        QApplication::restoreOverrideCursor();
}

void TestMainWindow::firstRunCreatesFoldersAndSecondRecordsProgramPath()
{
    TTempHome home;
    TRecordingMessageService boxes;
    const QString data = DataFolder(home);
    QVERIFY(!QFileInfo::exists(data));

    {
        TFrmVarnexCfgMain first(OptionsFor(BuiltProgramPath()));
        QCOMPARE(first.StartupResult(), TStartupResult::Running);
        QVERIFY(QFileInfo(data).isDir());
        QVERIFY(QFileInfo(data + QStringLiteral("Temp")).isDir());
        QCOMPARE(SetupData.DataPath, data);
        QCOMPARE(SetupData.TempPath, data + QStringLiteral("Temp/"));
        QCOMPARE(SetupData.ProgramPath, BuiltProgramPath());
        QCOMPARE(SetupData.Version, ProgramVersion());
    }
    // The settings file got its defaults, but the program folder was written
    // before the data folder existed.
    QCOMPARE(IniValue(home, QStringLiteral("CheckUpdates")), QStringLiteral("1"));
    QCOMPARE(IniValue(home, QStringLiteral("LanguageFile")), QStringLiteral("English.lng"));
    QCOMPARE(IniValue(home, QStringLiteral("ProgramPath")), QString());

    {
        TFrmVarnexCfgMain second(OptionsFor(BuiltProgramPath()));
        QCOMPARE(second.StartupResult(), TStartupResult::Running);
    }
    QCOMPARE(IniValue(home, QStringLiteral("ProgramPath")), BuiltProgramPath());

    // Started from elsewhere, the recorded folder follows.
    TProgramFolder moved(true, true);
    {
        TFrmVarnexCfgMain third(OptionsFor(moved.Path()));
        QCOMPARE(third.StartupResult(), TStartupResult::Running);
    }
    QCOMPARE(IniValue(home, QStringLiteral("ProgramPath")), moved.Path());
    QVERIFY(boxes.Messages.isEmpty());
}

void TestMainWindow::startupEmptiesTemporaryFolderOfFilesOnly()
{
    TTempHome home;
    TRecordingMessageService boxes;
    const QString temp = DataFolder(home) + QStringLiteral("Temp/");
    WriteFile(temp + QStringLiteral("VarnexCfgCheck.txt"), "old check");
    WriteFile(temp + QStringLiteral(".hidden"), "hidden");
    WriteFile(temp + QStringLiteral("Update/VarnexCfgUpdate.z"), "kept");

    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    QCOMPARE(window.StartupResult(), TStartupResult::Running);
    QVERIFY(!QFileInfo::exists(temp + QStringLiteral("VarnexCfgCheck.txt")));
    QVERIFY(!QFileInfo::exists(temp + QStringLiteral(".hidden")));
    QVERIFY(QFileInfo(temp + QStringLiteral("Update/VarnexCfgUpdate.z")).isFile());
}

void TestMainWindow::debugSwitch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("debug");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("upper") << QStringList{"/DEBUG"} << true;
    QTest::newRow("lower") << QStringList{"/debug"} << true;
    QTest::newRow("mixed") << QStringList{"/DeBuG"} << true;
    QTest::newRow("one of several") << QStringList{"file.txt", "/Debug", "-x"} << true;
    QTest::newRow("trailing character") << QStringList{"/DEBUGX"} << false;
    QTest::newRow("leading character") << QStringList{"-/DEBUG"} << false;
    QTest::newRow("without slash") << QStringList{"DEBUG"} << false;
    QTest::newRow("with blank") << QStringList{"/DEBUG "} << false;
}

void TestMainWindow::debugSwitch()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, debug);
    TTempHome home;
    TRecordingMessageService boxes;

    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath(), arguments));
    QCOMPARE(SetupData.DebugMode, debug);
    QCOMPARE(window.windowTitle().endsWith(QStringLiteral("   [ DEBUG MODE ]")), debug);
    QCOMPARE(window.windowTitle().contains(QStringLiteral("DEBUG")), debug);
}

void TestMainWindow::captionsComeFromLanguageFileAndVendorLibrary()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    QCOMPARE(window.StartupResult(), TStartupResult::Running);
    QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));

    // Branding from the vendor library: product name 101, caption start 103.
    QCOMPARE(SetupData.ProductName, QStringLiteral("Varnex"));
    QCOMPARE(ApplicationTitle(), QStringLiteral("Varnex Configurator"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Quenvar - Varnex Configurator ") + ProgramVersion());
    QCOMPARE(Child<QLabel>(window, "pnlMainTitle")->text(), QStringLiteral(" Varnex Configurator"));
    // The program's own icon, in the sizes of title bars and task switchers.
    QCOMPARE(window.windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    QVERIFY(!Child<TPictureLabel>(window, "imgWelcome")->Picture().isNull());
    QVERIFY(!Child<TPictureLabel>(window, "imgLogoProduct")->Picture().isNull());
    QVERIFY(Child<TPictureLabel>(window, "imgWelcome")->Picture().width() <= 414 && Child<TPictureLabel>(window, "imgWelcome")->Picture().height() <= 424);
    QCOMPARE(SetupData.WebAddressId, 120);
    QCOMPARE(SetupData.ProductLinkId, 301);

    // Command captions carry one leading space before the language text.
    const struct {
        QPushButton *Button;
        QAction *Action;
        const char *Key;
    } commands[] = {
        {Child<QPushButton>(window, "btnNewConfiguration"), Child<QAction>(window, "actNewConfiguration"), "ButtonNewConfiguration"},
        {Child<QPushButton>(window, "btnEditAutonomy"), Child<QAction>(window, "actEditAutonomy"), "ButtonEditAutonomy"},
        {Child<QPushButton>(window, "btnSaveConfiguration"), Child<QAction>(window, "actSaveConfiguration"), "ButtonSaveConfiguration"},
        {Child<QPushButton>(window, "btnPrintConfiguration"), Child<QAction>(window, "actPrintConfiguration"), "ButtonPrintConfiguration"},
        {Child<QPushButton>(window, "btnSetup"), Child<QAction>(window, "actSetup"), "ButtonSetup"},
        {Child<QPushButton>(window, "btnInfo"), Child<QAction>(window, "actInfoProgram"), "ButtonInfoProgram"},
    };
    for (const auto &command : commands) {
        const QString text = LangMain(QLatin1String(command.Key));
        QVERIFY2(!text.isEmpty(), command.Key);
        QCOMPARE(command.Action->text(), QStringLiteral(" ") + text);
        QCOMPARE(command.Button->text(), QStringLiteral(" ") + text);
    }
    QCOMPARE(Child<QPushButton>(window, "btnNewConfiguration")->text(), QStringLiteral(" &New configuration"));

    // The results page, built when first needed, takes the texts and columns of the start.
    window.EnsureResultsPage();
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->tabText(0), LangMain(QStringLiteral("ResultsLayoutTabTitle")));
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->tabText(1), LangMain(QStringLiteral("ResultsItemsTabTitle")));
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->tabText(2), LangMain(QStringLiteral("ResultsDataTabTitle")));
    QCOMPARE(Child<QAction>(window, "actLayoutCopyToClipBoard")->text(), LangMain(QStringLiteral("ResultsLayoutCopy")));
    QCOMPARE(Child<QAction>(window, "actTableCopyToClipboard")->text(), LangMain(QStringLiteral("ResultsLayoutCopy")));
    QCOMPARE(Child<QAction>(window, "actLayoutSaveToFile")->text(), LangMain(QStringLiteral("ResultsLayoutSaveToFile")));

    // Without a price list: three item columns, no price panel, no price lines.
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 3);
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(0)->text(), LangCommons(QStringLiteral("ItemsTableProductCode")));
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(1)->text(), LangCommons(QStringLiteral("ItemsTableDescription")));
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(2)->text(), LangCommons(QStringLiteral("ItemsTableQuantity")));
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnWidth(1), 389);
    QVERIFY(Child<QWidget>(window, "pnlPriceList")->isHidden());
    QVERIFY(Child<QLabel>(window, "lblTxtTotalPrice")->text().isEmpty());
    QCOMPARE(Child<QTableWidget>(window, "grdData")->columnCount(), 2);
    QCOMPARE(Child<QTableWidget>(window, "grdData")->columnWidth(0), 390);
    QCOMPARE(Child<QTableWidget>(window, "grdData")->columnWidth(1), 210);
    QCOMPARE(Child<QTableWidget>(window, "grdData")->horizontalHeaderItem(0)->text(), LangMain(QStringLiteral("ResultsDataTableParameter")));
    QCOMPARE(Child<QTableWidget>(window, "grdData")->horizontalHeaderItem(1)->text(), LangMain(QStringLiteral("ResultsDataTableValue")));

    // Fixed client area and the fonts of the design.
    QCOMPARE(window.size(), QSize(833, 566));
    QCOMPARE(Child<QPushButton>(window, "btnSetup")->geometry(), QRect(9, 268, 182, 46));
    QCOMPARE(QFontInfo(window.font()).family(), QStringLiteral("Tahoma"));
    QCOMPARE(Child<QLabel>(window, "pnlMainTitle")->font().pixelSize(), 27);
    QVERIFY(Child<QLabel>(window, "pnlMainTitle")->font().bold());
    QVERIFY(boxes.Messages.isEmpty());
}

void TestMainWindow::productLogoOpensProductPageUnderWaitCursor()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStringList opened;
    bool waitCursor = false;
    SetOpenUrlHook([&](const QString &url) {
        opened << url;
        waitCursor = QApplication::overrideCursor() != nullptr &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return true;
    });
    QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(Child<TPictureLabel>(window, "imgLogoProduct"), Qt::LeftButton);
    QCOMPARE(opened, QStringList{VendorText(301)});
    QVERIFY(!opened.constFirst().isEmpty());
    QVERIFY(waitCursor);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    QTest::mouseClick(Child<TPictureLabel>(window, "imgLogoProduct"), Qt::RightButton);
    QCOMPARE(opened.size(), 1);
    window.close();
}

void TestMainWindow::unknownLanguageFileRemovesLogoLinkForTheRun()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TProgramFolder folder(true, true, QStringLiteral("Klingon.lng"));
    WriteFile(DataFolder(home) + QStringLiteral("VarnexCfg.ini"), "[Setup]\r\nLanguageFile=Klingon.lng\r\n");

    TFrmVarnexCfgMain window(OptionsFor(folder.Path()));
    QCOMPARE(window.StartupResult(), TStartupResult::Running);
    QCOMPARE(SetupData.LanguageFile, QStringLiteral("Klingon.lng"));
    QCOMPARE(SetupData.WebAddressId, -1);
    QCOMPARE(SetupData.ProductLinkId, -1);
    QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->cursor().shape(), Qt::ArrowCursor);

    QStringList opened;
    SetOpenUrlHook([&](const QString &url) {
        opened << url;
        return true;
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(Child<TPictureLabel>(window, "imgLogoProduct"), Qt::LeftButton);
    QVERIFY(opened.isEmpty());

    // Switching to a known language brings the link entries back, not the click.
    QVERIFY(QFile::copy(BuiltProgramPath() + QStringLiteral("English.lng"), folder.Path() + QStringLiteral("English.lng")));
    window.ApplySetupChanges(true, QStringLiteral("English.lng"));
    QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));
    QCOMPARE(SetupData.ProductLinkId, 301);
    QTest::mouseClick(Child<TPictureLabel>(window, "imgLogoProduct"), Qt::LeftButton);
    QVERIFY(opened.isEmpty());
    QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->cursor().shape(), Qt::ArrowCursor);
    window.close();
}

void TestMainWindow::resultCommandsDisabledAtStart()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    QCOMPARE(window.CurrentPage(), TMainPage::Welcome);
    QVERIFY(!window.HasConfiguration());
    for (QAction *action : {Child<QAction>(window, "actEditAutonomy"), Child<QAction>(window, "actSaveConfiguration"), Child<QAction>(window, "actPrintConfiguration")})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    for (QAction *action : {Child<QAction>(window, "actNewConfiguration"), Child<QAction>(window, "actSetup"), Child<QAction>(window, "actInfoProgram")})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    for (QPushButton *button : {Child<QPushButton>(window, "btnEditAutonomy"), Child<QPushButton>(window, "btnSaveConfiguration"), Child<QPushButton>(window, "btnPrintConfiguration")})
        QVERIFY2(ButtonShowsDisabled(button), qPrintable(button->objectName()));
    for (QPushButton *button : {Child<QPushButton>(window, "btnNewConfiguration"), Child<QPushButton>(window, "btnSetup"), Child<QPushButton>(window, "btnInfo")})
        QVERIFY2(ButtonShowsEnabled(button), qPrintable(button->objectName()));
}

void TestMainWindow::popupMenusCarryTheirCommands()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    // Each menu's own entries, then the configuration files'; nullptr marks a separator.
    auto entries = [](QMenu *menu) {
        QList<QAction *> list = menu->actions();
        for (QAction *&action : list)
            if (action->isSeparator())
                action = nullptr;
        return list;
    };
    QAction *keep = window.findChild<QAction *>(QStringLiteral("actKeepAlternative"));
    QVERIFY(keep != nullptr);
    QCOMPARE(entries(Child<QMenu>(window, "PopupMenuLayout")),
             (QList<QAction *>{Child<QAction>(window, "actLayoutCopyToClipBoard"), nullptr, Child<QAction>(window, "actLayoutSaveToFile"), keep, nullptr,
                               Child<QAction>(window, "actOpenConfigurationFile"), Child<QAction>(window, "actSaveConfigurationFile")}));
    QCOMPARE(entries(Child<QMenu>(window, "PopupMenuTable")),
             (QList<QAction *>{Child<QAction>(window, "actTableCopyToClipboard"), Child<QAction>(window, "actSaveBillOfMaterials"), Child<QAction>(window, "actOfferDetails"),
                               keep, nullptr, Child<QAction>(window, "actOpenConfigurationFile"), Child<QAction>(window, "actSaveConfigurationFile")}));

    // The table menu knows which of the two grids it was opened on.
    window.SetWizardRunner([](TWizardMode) { return true; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Child<QAction>(window, "actNewConfiguration")->trigger();
    for (QTableWidget *grid : {Child<QTableWidget>(window, "grdData"), Child<QTableWidget>(window, "grdItems")}) {
        Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(grid->parentWidget());
        emit grid->customContextMenuRequested(QPoint(10, 10));
        QTRY_VERIFY(Child<QMenu>(window, "PopupMenuTable")->isVisible());
        QCOMPARE(window.PopupGrid(), grid);
        Child<QMenu>(window, "PopupMenuTable")->close();
    }
    Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(Child<QWidget>(window, "tabResultLayout"));
    emit window.PaintGlobalLayout()->customContextMenuRequested(QPoint(10, 10));
    QTRY_VERIFY(Child<QMenu>(window, "PopupMenuLayout")->isVisible());
    Child<QMenu>(window, "PopupMenuLayout")->close();
    window.close();
}

void TestMainWindow::firstIdleRunsOnceAfterStart()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    QVERIFY(!window.FirstIdleDone());
    QTRY_VERIFY(window.FirstIdleDone());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestMainWindow::noLanguageFileEndsOrderly()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TProgramFolder folder(false, true);

    TFrmVarnexCfgMain window(OptionsFor(folder.Path()));
    QCOMPARE(window.StartupResult(), TStartupResult::EndOnLoopStart);
    QCOMPARE(boxes.Messages.size(), 1);
    QCOMPARE(boxes.Messages.at(0).Kind, QStringLiteral("error"));
    QCOMPARE(boxes.Messages.at(0).Text, kNoLanguage);

    // The later steps still ran: the vendor branding is there, the language
    // texts are empty.
    QVERIFY(VendorLibraryLoaded());
    QCOMPARE(Child<QLabel>(window, "pnlMainTitle")->text(), QStringLiteral(" Varnex Configurator"));
    QCOMPARE(Child<QPushButton>(window, "btnNewConfiguration")->text(), QStringLiteral(" "));
    QVERIFY(!Child<QAction>(window, "actEditAutonomy")->isEnabled());

    // The program ends before any idle work and without the clean-up.
    QTest::qWait(50);
    QVERIFY(!window.FirstIdleDone());
    QVERIFY(!window.CleanedUp());
}

void TestMainWindow::missingVendorLibraryEndsOrderly_data()
{
    QTest::addColumn<QString>("library");
    QTest::newRow("missing") << "missing";
    QTest::newRow("cut to 20,000 bytes") << "cut";
    QTest::newRow("a foreign library without GetData") << "foreign";
}

void TestMainWindow::missingVendorLibraryEndsOrderly()
{
    QFETCH(QString, library);
    TTempHome home;
    TRecordingMessageService boxes;
    TProgramFolder folder(true, false);
    if (library != QLatin1String("missing"))
        WriteFile(folder.Path() + QStringLiteral("Quenvar.so"), VendorLibraryStandIn(library));

    TFrmVarnexCfgMain window(OptionsFor(folder.Path()));
    QCOMPARE(window.StartupResult(), TStartupResult::EndOnLoopStart);
    QCOMPARE(boxes.Messages.size(), 1);
    QCOMPARE(boxes.Messages.at(0).Kind, QStringLiteral("error"));
    const QString expected = ReadSetting(BuiltProgramPath() + QStringLiteral("English.lng"),
                                         QStringLiteral("Messages"), QStringLiteral("ErrorDllNotFound"), QString());
    QVERIFY(!expected.isEmpty());
    QCOMPARE(boxes.Messages.at(0).Text, expected);

    // Captions are set; vendor parts stay empty.
    QCOMPARE(Child<QPushButton>(window, "btnNewConfiguration")->text(), QStringLiteral(" &New configuration"));
    QVERIFY(SetupData.ProductName.isEmpty());
    QVERIFY(Child<TPictureLabel>(window, "imgWelcome")->Picture().isNull());
    QCOMPARE(SetupData.ProductLinkId, 0);
    QTest::qWait(50);
    QVERIFY(!window.FirstIdleDone());
}

void TestMainWindow::realProgramWithDamagedLibraryDoesNotCrash_data()
{
    QTest::addColumn<QString>("library");
    QTest::newRow("cut to 20,000 bytes") << "cut";
    QTest::newRow("a foreign library without GetData") << "foreign";
}

void TestMainWindow::realProgramWithDamagedLibraryDoesNotCrash()
{
    // The real program's window start: the loader never sees the damaged file,
    // so the program is still there, showing its message, where it died before.
    QFETCH(QString, library);
    TTempHome home;
    TProgramFolder folder(true, false);
    WriteFile(folder.Path() + QStringLiteral("Quenvar.so"), VendorLibraryStandIn(library));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(folder.Path() + QStringLiteral("VarnexCfg"), {});
    QVERIFY(program.waitForStarted());
    QVERIFY2(!program.waitForFinished(3000), qPrintable(QStringLiteral("ended with %1, status %2")
                                                         .arg(program.exitCode())
                                                         .arg(program.exitStatus())));
    program.kill();
    program.waitForFinished();
}

void TestMainWindow::dataFolderThatCannotBeCreatedEndsAtOnce()
{
    TTempHome home;
    TRecordingMessageService boxes;
    // A plain file where the data home should be: no folder can be made below it.
    WriteFile(home.DataHome(), "not a folder");

    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath(), {QStringLiteral("/DEBUG")}));
    QCOMPARE(window.StartupResult(), TStartupResult::EndProcess);
    QCOMPARE(boxes.Messages.size(), 1);
    QCOMPARE(boxes.Messages.at(0).Kind, QStringLiteral("error"));
    QCOMPARE(boxes.Messages.at(0).Text, kFolderError);
    // Nothing after the folders ran.
    QVERIFY(!SetupData.DebugMode);
    QVERIFY(SetupData.LanguageFile.isEmpty());
    QVERIFY(!VendorLibraryLoaded());
    QVERIFY(window.windowTitle().isEmpty());
    QTest::qWait(50);
    QVERIFY(!window.FirstIdleDone());
}

void TestMainWindow::closeClearsClipboardOnlyWhenProgramOwnsIt_data()
{
    QTest::addColumn<bool>("ownedByProgram");
    QTest::newRow("this program's copy") << true;
    QTest::newRow("another program's content") << false;
}

void TestMainWindow::closeClearsClipboardOnlyWhenProgramOwnsIt()
{
    QFETCH(bool, ownedByProgram);
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::clipboard()->setText(QStringLiteral("clipboard content"));
    if (!ownedByProgram)
        window.SetClipboardOwnerCheck([] { return false; });

    QVERIFY(window.close());
    QVERIFY(window.CleanedUp());
    QCOMPARE(QApplication::clipboard()->text().isEmpty(), ownedByProgram);
}

void TestMainWindow::closeReleasesLibraryAndResultLists()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(VendorLibraryLoaded());
    ResultParameters.Accessories.Accessories = {{10500, 2}};
    ResultParameters.Accessories.Contracts = {{10700, 1}};

    QVERIFY(window.close());
    QVERIFY(!VendorLibraryLoaded());
    QVERIFY(ResultParameters.Accessories.Accessories.isEmpty());
    QVERIFY(ResultParameters.Accessories.Contracts.isEmpty());
    QVERIFY(window.StandardUpsList().isEmpty());
    QVERIFY(!window.PaintGlobalLayout()->HasLayoutBitmap());
    QVERIFY(boxes.Messages.isEmpty());
}

void TestMainWindow::newConfigurationFlow()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    struct TRun {
        TWizardMode Mode;
        TMainPage PageDuringWizard;
        bool EditEnabledDuringWizard;
    };
    QList<TRun> runs;
    bool answer = true;
    window.SetWizardRunner([&](TWizardMode mode) {
        runs.append({mode, window.CurrentPage(), Child<QAction>(window, "actEditAutonomy")->isEnabled()});
        // The wizard's Finish leaves the hourglass for the results to end.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return answer;
    });

    // First configuration: no question, results on show.
    QTest::mouseClick(Child<QPushButton>(window, "btnNewConfiguration"), Qt::LeftButton);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.at(0).Mode, TWizardMode::NewConfiguration);
    QCOMPARE(runs.at(0).PageDuringWizard, TMainPage::Welcome);
    QVERIFY(!runs.at(0).EditEnabledDuringWizard);
    QVERIFY(boxes.Messages.isEmpty());
    QVERIFY(window.HasConfiguration());
    QCOMPARE(window.CurrentPage(), TMainPage::Results);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentWidget(), Child<QWidget>(window, "tabResultLayout"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    for (QPushButton *button : {Child<QPushButton>(window, "btnEditAutonomy"), Child<QPushButton>(window, "btnSaveConfiguration"), Child<QPushButton>(window, "btnPrintConfiguration")})
        QVERIFY2(ButtonShowsEnabled(button), qPrintable(button->objectName()));

    // The configuration was never saved. Cancel: the question was asked and nothing changed.
    Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(Child<QWidget>(window, "tabResultData"));
    boxes.SaveAnswers = {TSaveAnswer::Cancel};
    Child<QAction>(window, "actNewConfiguration")->trigger();
    QCOMPARE(boxes.Messages.size(), 1);
    QCOMPARE(boxes.Messages.at(0).Kind, QStringLiteral("save?"));
    QCOMPARE(boxes.Messages.at(0).Text, LangMessages(QStringLiteral("QuestSaveChanges")));
    QVERIFY(!boxes.Messages.at(0).Text.isEmpty());
    QCOMPARE(runs.size(), 1);
    QVERIFY(window.HasConfiguration());
    QCOMPARE(window.CurrentPage(), TMainPage::Results);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentWidget(), Child<QWidget>(window, "tabResultData"));
    QVERIFY(Child<QAction>(window, "actSaveConfiguration")->isEnabled());

    // Discarded, then the wizard is cancelled: the old results are gone.
    boxes.SaveAnswers = {TSaveAnswer::Discard};
    answer = false;
    Child<QAction>(window, "actNewConfiguration")->trigger();
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs.at(1).PageDuringWizard, TMainPage::Welcome);
    QVERIFY(!window.HasConfiguration());
    QCOMPARE(window.CurrentPage(), TMainPage::Welcome);
    for (QPushButton *button : {Child<QPushButton>(window, "btnEditAutonomy"), Child<QPushButton>(window, "btnSaveConfiguration"), Child<QPushButton>(window, "btnPrintConfiguration")})
        QVERIFY2(ButtonShowsDisabled(button), qPrintable(button->objectName()));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // Edit autonomy is not available now, and no question comes next time.
    QTest::mouseClick(Child<QPushButton>(window, "btnEditAutonomy"), Qt::LeftButton);
    Child<QAction>(window, "actEditAutonomy")->trigger();
    QCOMPARE(runs.size(), 2);
    answer = true;
    Child<QAction>(window, "actNewConfiguration")->trigger();
    QCOMPARE(boxes.Messages.size(), 2);
    QCOMPARE(runs.size(), 3);
    QVERIFY(window.HasConfiguration());
    window.close();
}

void TestMainWindow::editAutonomyKeepsPageWhenCancelled()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    QList<TWizardMode> modes;
    bool answer = true;
    window.SetWizardRunner([&](TWizardMode mode) {
        modes << mode;
        return answer;
    });
    Child<QAction>(window, "actNewConfiguration")->trigger();
    Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(Child<QWidget>(window, "tabResultItems"));

    answer = false;
    Child<QAction>(window, "actEditAutonomy")->trigger();
    QCOMPARE(modes.last(), TWizardMode::EditAutonomy);
    QCOMPARE(window.CurrentPage(), TMainPage::Results);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentWidget(), Child<QWidget>(window, "tabResultItems"));
    QVERIFY(Child<QAction>(window, "actEditAutonomy")->isEnabled());
    QVERIFY(window.HasConfiguration());

    answer = true;
    QTest::mouseClick(Child<QPushButton>(window, "btnEditAutonomy"), Qt::LeftButton);
    QCOMPARE(modes.size(), 3);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentWidget(), Child<QWidget>(window, "tabResultLayout"));
    QVERIFY(boxes.Messages.isEmpty());
}

void TestMainWindow::wizardFailureCountsAsCancel()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.SetWizardRunner([](TWizardMode) -> bool {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        throw std::runtime_error("sizing failed");
    });
    Child<QAction>(window, "actNewConfiguration")->trigger();
    QVERIFY(!window.HasConfiguration());
    QCOMPARE(window.CurrentPage(), TMainPage::Welcome);
    QVERIFY(!Child<QAction>(window, "actSaveConfiguration")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(boxes.Messages.isEmpty());
}

void TestMainWindow::realWizardCancelledLeavesWelcomePage()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QPointer<TFrmWizard> seen;
    QWidget *seenParent = nullptr;
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, [&] {
        auto *wizard = qobject_cast<TFrmWizard *>(QApplication::activeModalWidget());
        if (wizard == nullptr)
            return;
        seen = wizard;
        seenParent = wizard->parentWidget();
        closer.stop();
        wizard->reject();
    });
    closer.start();
    Child<QAction>(window, "actNewConfiguration")->trigger();

    QVERIFY(seenParent == &window);
    QVERIFY(seen.isNull()); // released after use
    QVERIFY(!window.HasConfiguration());
    QCOMPARE(window.CurrentPage(), TMainPage::Welcome);
    QVERIFY(!Child<QAction>(window, "actEditAutonomy")->isEnabled());
    window.close();
}

void TestMainWindow::realWizardFinishedShowsResults()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ResultParameters = TResultParameters();

    // Next on every page with the wizard's defaults, Finish on the last.
    QStringList firstPages;
    int clicks = 0;
    QPointer<QWidget> current;
    QTimer driver;
    driver.setInterval(20);
    connect(&driver, &QTimer::timeout, [&] {
        auto *wizard = qobject_cast<TFrmWizard *>(QApplication::activeModalWidget());
        if (wizard == nullptr || ++clicks > 30)
            return;
        if (wizard != current) {
            current = wizard;
            auto *pages = wizard->findChild<QStackedWidget *>(QStringLiteral("nbkPages"));
            firstPages << (pages != nullptr && pages->currentWidget() != nullptr ? pages->currentWidget()->objectName()
                                                                                  : QString());
        }
        if (auto *next = wizard->findChild<QPushButton *>(QStringLiteral("btnNext")))
            next->click();
    });
    driver.start();

    Child<QAction>(window, "actNewConfiguration")->trigger();
    QVERIFY(window.HasConfiguration());
    QVERIFY(ResultParameters.InverterRecord != 0);
    QCOMPARE(window.CurrentPage(), TMainPage::Results);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->currentWidget(), Child<QWidget>(window, "tabResultLayout"));
    QVERIFY(Child<QAction>(window, "actPrintConfiguration")->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The drawing is painted once the results show and captured for the exports.
    QTRY_VERIFY(window.PaintGlobalLayout()->HasLayoutBitmap());

    clicks = 0;
    Child<QAction>(window, "actEditAutonomy")->trigger();
    QCOMPARE(firstPages, (QStringList{QStringLiteral("pgPhases"), QStringLiteral("pgAutonomy")}));
    QVERIFY(window.HasConfiguration());
    QCOMPARE(window.CurrentPage(), TMainPage::Results);
    QVERIFY(boxes.Messages.isEmpty());
    window.close();
}

void TestMainWindow::setupChangesApplyNewLanguage()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TProgramFolder folder(true, true);
    WriteFile(folder.Path() + QStringLiteral("Italian.lng"),
              "[LangOptions]\r\nLanguageName=Italiano\r\nLanguageID=1040\r\n"
              "[Main]\r\nButtonNewConfiguration=Nuova configurazione\r\nResultsLayoutTabTitle=Disegno\r\n");
    TFrmVarnexCfgMain window(OptionsFor(folder.Path()));
    QCOMPARE(window.StartupResult(), TStartupResult::Running);
    RequestParameters.SpecialConfig = true;

    window.ApplySetupChanges(false, QStringLiteral("Italian.lng"));
    QCOMPARE(IniValue(home, QStringLiteral("CheckUpdates")), QStringLiteral("0"));
    QCOMPARE(IniValue(home, QStringLiteral("LanguageFile")), QStringLiteral("Italian.lng"));
    QVERIFY(!SetupData.CheckUpdates);
    QCOMPARE(SetupData.LanguageID, 1040);
    QCOMPARE(Child<QPushButton>(window, "btnNewConfiguration")->text(), QStringLiteral(" Nuova configurazione"));
    // A results page built after the switch has the new language.
    window.EnsureResultsPage();
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->tabText(0), QStringLiteral("Disegno"));
    QCOMPARE(SetupData.WebAddressId, 110);
    QCOMPARE(SetupData.ProductLinkId, 300);
    // The home market leaves no special configuration behind.
    QVERIFY(!RequestParameters.SpecialConfig);
    RequestParameters = TRequestParameters();
}

void TestMainWindow::languageSwitchOnResultsRedrawsEverything()
{
    TWindowWithResults w(false);
    TFrmVarnexCfgMain &window = *w.Window;
    const QImage english = Child<TLayoutPaintBox>(window, "paintGlobalLayout")->LayoutBitmap();
    const QString englishItem = Child<QTableWidget>(window, "grdItems")->item(0, 1)->text();
    window.ApplySetupChanges(false, QStringLiteral("Italian.lng"));
    // The drawing's labels are Italian now, like both tables.
    QVERIFY(Child<TLayoutPaintBox>(window, "paintGlobalLayout")->LayoutBitmap() != english);
    QVERIFY(Child<QTableWidget>(window, "grdItems")->item(0, 1)->text() != englishItem);
    window.ApplySetupChanges(false, QStringLiteral("English.lng"));
    QCOMPARE(Child<TLayoutPaintBox>(window, "paintGlobalLayout")->LayoutBitmap(), english);
}

void TestMainWindow::programWithoutDisplayExplainsAndFails()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    program.setProcessEnvironment(environment);
    program.start(BuiltProgramPath() + QStringLiteral("VarnexCfg"), {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);
    QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains(QStringLiteral("no display")));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
