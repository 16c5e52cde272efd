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
    QVERIFY(!window.imgLogoProduct->Picture().isNull());
    QCOMPARE(SetupData.WebAddressId, webAddressId);
    QCOMPARE(SetupData.ProductLinkId, productLinkId);

    QStringList opened;
    SetOpenUrlHook([&](const QString &url) {
        opened << url;
        return true;
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.imgLogoProduct, Qt::LeftButton);
    if (productLinkId == -1) {
        QCOMPARE(window.imgLogoProduct->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(opened.isEmpty());
    } else {
        QCOMPARE(window.imgLogoProduct->cursor().shape(), Qt::PointingHandCursor);
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
    QVERIFY(window.grdItems == nullptr);
    window.SetPriceColumns(true);
    window.EnsureResultsPage();
    QCOMPARE(window.grdItems->columnCount(), 5);
    QCOMPARE(window.grdItems->horizontalHeaderItem(3)->text(), LangCommons(QStringLiteral("ItemsTablePrice")) + u' ');
    QCOMPARE(window.grdItems->horizontalHeaderItem(4)->text(),
             LangCommons(QStringLiteral("ItemsTableLineTotal")) + u' ');
    window.SetPriceColumns(false);
    QCOMPARE(window.grdItems->columnCount(), 3);

    window.SetPriceColumns(true);
    window.ApplyLanguageTexts();
    QVERIFY(SetupData.ShowPrices);
    QCOMPARE(window.grdItems->columnCount(), 5);
    const QString price = LangCommons(QStringLiteral("ItemsTablePrice"));
    QVERIFY(!price.isEmpty());
    QVERIFY(window.grdItems->horizontalHeaderItem(3) != nullptr);
    QCOMPARE(window.grdItems->horizontalHeaderItem(3)->text(), price + QStringLiteral(" "));
    QCOMPARE(window.grdItems->horizontalHeaderItem(0)->text(), LangCommons(QStringLiteral("ItemsTableProductCode")));
    // The fifth column holds the line totals.
    const int widths[] = {95, 258, 60, 90, 95};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(window.grdItems->columnWidth(c), widths[c]);
    QVERIFY(!window.pnlPriceList->isHidden());

    window.SetPriceColumns(false);
    window.ApplyLanguageTexts();
    QVERIFY(!SetupData.ShowPrices);
    QCOMPARE(window.grdItems->columnCount(), 3);
    QVERIFY(window.pnlPriceList->isHidden());
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
    QCOMPARE(window.pnlMainTitle->text(), QStringLiteral(" Varnex Configurator"));
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

    QCOMPARE(window.pnlMainTitle->geometry(), QRect(0, 0, 833, 61));
    QCOMPARE(window.pnlComandi->geometry(), QRect(0, 61, 204, 505));
    const struct {
        QPushButton *Button;
        int Y;
    } buttons[] = {
        {window.btnNewConfiguration, 20}, {window.btnEditAutonomy, 76}, {window.btnSaveConfiguration, 144},
        {window.btnPrintConfiguration, 200}, {window.btnSetup, 268}, {window.btnInfo, 336},
    };
    for (const auto &entry : buttons) {
        QCOMPARE(entry.Button->parentWidget(), window.pnlComandi);
        QCOMPARE(entry.Button->geometry(), QRect(9, entry.Y, 182, 46));
    }
    QCOMPARE(window.imgLogoProduct->parentWidget(), window.pnlComandi);
    QCOMPARE(window.imgLogoProduct->geometry(), QRect(20, 428, 159, 58));
    QVERIFY(window.imgLogoProduct->Picture().width() <= 159 && window.imgLogoProduct->Picture().height() <= 58);

    QCOMPARE(window.MainNotebook->geometry(), QRect(204, 61, 629, 505));
    QCOMPARE(window.MainNotebook->count(), 2);
    QCOMPARE(window.imgWelcome->size(), QSize(414, 424));
    // Built at the first idle moment, before anyone can ask for it.
    QTRY_VERIFY(window.FirstIdleDone());
    QVERIFY(window.pageControlResult != nullptr);
    QCOMPARE(window.pageControlResult->size(), QSize(613, 471));
    // The three tabs of the offer, then the runtime curve and heat figures beside
    // it, then the comparison with the offer's alternatives.
    QCOMPARE(window.pageControlResult->count(), 5);
    QCOMPARE(window.pageControlResult->widget(0), window.tabResultLayout);
    QCOMPARE(window.pageControlResult->widget(1), window.tabResultItems);
    QCOMPARE(window.pageControlResult->widget(2), window.tabResultData);
    QCOMPARE(window.pageControlResult->widget(3), static_cast<QWidget *>(window.tabResultRuntime));
    QCOMPARE(window.pageControlResult->widget(4)->objectName(), QStringLiteral("tabResultComparison"));

    // Centred on the screen.
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY((window.geometry().center() - screenCentre).manhattanLength() <= 4);
    window.close();
}

QTEST_MAIN(TestMainBranding)
#include "test_main_branding.moc"
