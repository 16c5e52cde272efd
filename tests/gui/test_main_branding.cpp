// The main window's branding and layout in detail: the link entries chosen by
// the exact language file name, the price column title, the caption after a
// second branding, and the positions and sizes of the window's parts.

#include "MainWindowTestSupport.h"
#include "RuntimeTab.h"
#include "TestSupport.h"

#include "Globals.h"
#include "Lang.h"
#include "TFrmVarnexCfgMain.h"
#include "Vendor.h"
#include "Version.h"
#include "WindowServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

namespace {

void WriteSettings(const TTempHome &home, const QByteArray &bytes)
{
    const QString folder = home.DataHome() + QStringLiteral("/Varnex Configurator/");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("VarnexCfg.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

/// A program folder holding the program file, the vendor library and the
/// English language file under the given name.
class TProgramFolder {
public:
    explicit TProgramFolder(const QString &languageName)
    {
        const QString built = BuiltProgramPath();
        QFile::copy(built + QStringLiteral("VarnexCfg"), Path() + QStringLiteral("VarnexCfg"));
        QFile::copy(built + QStringLiteral("English.lng"), Path() + languageName);
        QFile::copy(built + QStringLiteral("Quenvar.so"), Path() + QStringLiteral("Quenvar.so"));
    }
    QString Path() const { return m_dir.path() + QLatin1Char('/'); }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestMainBranding : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void linkEntriesFollowLanguageFileNameExactly_data();
    void linkEntriesFollowLanguageFileNameExactly();
    void priceColumnTitleCarriesOneTrailingSpace();
    void debugCaptionAppearsOnceAfterSecondBranding();
    void windowPartsSitWhereDesigned();
};

void TestMainBranding::cleanup()
{
    SetOpenUrlHook(nullptr);
    UnloadVendorLibrary();
    SetupData.ShowPrices = false;
    while (QApplication::overrideCursor() != nullptr)
        QApplication::restoreOverrideCursor();
}

void TestMainBranding::linkEntriesFollowLanguageFileNameExactly_data()
{
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<int>("webAddressId");
    QTest::addColumn<int>("productLinkId");
    QTest::newRow("Italian") << "Italian.lng" << 110 << 300;
    QTest::newRow("English") << "English.lng" << 120 << 301;
    QTest::newRow("Deutsch") << "Deutsch.lng" << 130 << 302;
    QTest::newRow("Spanish") << "Spanish.lng" << 140 << 303;
    QTest::newRow("lower case") << "italian.lng" << -1 << -1;
    QTest::newRow("upper case") << "ENGLISH.LNG" << -1 << -1;
    QTest::newRow("other language") << "French.lng" << -1 << -1;
}

void TestMainBranding::linkEntriesFollowLanguageFileNameExactly()
{
    QFETCH(QString, languageFile);
    QFETCH(int, webAddressId);
    QFETCH(int, productLinkId);
    TTempHome home;
    TRecordingMessageService boxes;
    TProgramFolder folder(languageFile);
    WriteSettings(home, "[Setup]\r\nLanguageFile=" + languageFile.toLatin1() + "\r\n");

    TFrmVarnexCfgMain window(OptionsFor(folder.Path()));
    QCOMPARE(window.StartupResult(), TStartupResult::Running);
    QCOMPARE(SetupData.LanguageFile, languageFile);
    QVERIFY(!Child<TPictureLabel>(window, "imgLogoProduct")->Picture().isNull());
    QCOMPARE(SetupData.WebAddressId, webAddressId);
    QCOMPARE(SetupData.ProductLinkId, productLinkId);

    QStringList opened;
    SetOpenUrlHook([&](const QString &url) {
        opened << url;
        return true;
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(Child<TPictureLabel>(window, "imgLogoProduct"), Qt::LeftButton);
    if (productLinkId == -1) {
        QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(opened.isEmpty());
    } else {
        QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(opened, QStringList{VendorText(productLinkId)});
    }
    QVERIFY(boxes.Messages.isEmpty());
    window.close();
}

void TestMainBranding::priceColumnTitleCarriesOneTrailingSpace()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    // The results page is built when first needed, with the columns and titles set before.
    QVERIFY(window.findChild<QTableWidget *>(QStringLiteral("grdItems")) == nullptr);
    window.SetPriceColumns(true);
    window.EnsureResultsPage();
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 4);
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(3)->text(), LangCommons(QStringLiteral("ItemsTablePrice")) + u' ');
    window.SetPriceColumns(false);
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 3);

    window.SetPriceColumns(true);
    window.ApplyLanguageTexts();
    QVERIFY(SetupData.ShowPrices);
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 4);
    const QString price = LangCommons(QStringLiteral("ItemsTablePrice"));
    QVERIFY(!price.isEmpty());
    QVERIFY(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(3) != nullptr);
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(3)->text(), price + QStringLiteral(" "));
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(0)->text(), LangCommons(QStringLiteral("ItemsTableProductCode")));
    // Without offer details no line total column.
    const int widths[] = {100, 323, 80, 95};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnWidth(c), widths[c]);
    QVERIFY(!Child<QWidget>(window, "pnlPriceList")->isHidden());

    window.SetPriceColumns(false);
    window.ApplyLanguageTexts();
    QVERIFY(!SetupData.ShowPrices);
    QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 3);
    QVERIFY(Child<QWidget>(window, "pnlPriceList")->isHidden());
}

void TestMainBranding::debugCaptionAppearsOnceAfterSecondBranding()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath(), {QStringLiteral("/Debug")}));
    const QString expected =
        QStringLiteral("Quenvar - Varnex Configurator ") + ProgramVersion() + QStringLiteral("   [ DEBUG MODE ]");
    QCOMPARE(window.windowTitle(), expected);

    window.ApplySetupChanges(true, QStringLiteral("English.lng"));
    QCOMPARE(window.windowTitle(), expected);
    QCOMPARE(Child<QLabel>(window, "pnlMainTitle")->text(), QStringLiteral(" Varnex Configurator"));
    QCOMPARE(ApplicationTitle(), QStringLiteral("Varnex Configurator"));
}

void TestMainBranding::windowPartsSitWhereDesigned()
{
    TTempHome home;
    TRecordingMessageService boxes;
    TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.size(), QSize(833, 566));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);

    QCOMPARE(Child<QLabel>(window, "pnlMainTitle")->geometry(), QRect(0, 0, 833, 61));
    QCOMPARE(Child<QWidget>(window, "pnlComandi")->geometry(), QRect(0, 61, 204, 505));
    const struct {
        QPushButton *Button;
        int Y;
    } buttons[] = {
        {Child<QPushButton>(window, "btnNewConfiguration"), 20}, {Child<QPushButton>(window, "btnEditAutonomy"), 76}, {Child<QPushButton>(window, "btnSaveConfiguration"), 144},
        {Child<QPushButton>(window, "btnPrintConfiguration"), 200}, {Child<QPushButton>(window, "btnSetup"), 268}, {Child<QPushButton>(window, "btnInfo"), 336},
    };
    for (const auto &entry : buttons) {
        QCOMPARE(entry.Button->parentWidget(), Child<QWidget>(window, "pnlComandi"));
        QCOMPARE(entry.Button->geometry(), QRect(9, entry.Y, 182, 46));
    }
    QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->parentWidget(), Child<QWidget>(window, "pnlComandi"));
    QCOMPARE(Child<TPictureLabel>(window, "imgLogoProduct")->geometry(), QRect(20, 428, 159, 58));
    QVERIFY(Child<TPictureLabel>(window, "imgLogoProduct")->Picture().width() <= 159 && Child<TPictureLabel>(window, "imgLogoProduct")->Picture().height() <= 58);

    QCOMPARE(Child<QStackedWidget>(window, "MainNotebook")->geometry(), QRect(204, 61, 629, 505));
    QCOMPARE(Child<QStackedWidget>(window, "MainNotebook")->count(), 2);
    QCOMPARE(Child<TPictureLabel>(window, "imgWelcome")->size(), QSize(414, 424));
    // Built at the first idle moment, before anyone can ask for it.
    QTRY_VERIFY(window.FirstIdleDone());
    QVERIFY(Child<QTabWidget>(window, "pageControlResult") != nullptr);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->size(), QSize(613, 471));
    // The three tabs of the offer, then the runtime curve and heat figures beside
    // it, then the comparison with the offer's alternatives.
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->count(), 5);
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->widget(0), Child<QWidget>(window, "tabResultLayout"));
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->widget(1), Child<QWidget>(window, "tabResultItems"));
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->widget(2), Child<QWidget>(window, "tabResultData"));
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->widget(3), static_cast<QWidget *>(Child<TRuntimeTab>(window, "tabResultRuntime")));
    QCOMPARE(Child<QTabWidget>(window, "pageControlResult")->widget(4)->objectName(), QStringLiteral("tabResultComparison"));

    // Centred on the screen.
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((window.geometry().center() - screenCentre).manhattanLength() <= 4);
    window.close();
}

QTEST_MAIN(TestMainBranding)
#include "test_main_branding.moc"
