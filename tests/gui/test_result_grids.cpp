// The results page as a user meets it after a wizard run: the bill of
// materials with and without the price list, the price panel, the data sheet
// and its row colours, and the price-list warning at the first idle moment.

#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include "Globals.h"
#include "OfferDocument.h"
#include "PriceList.h"
#include "ResultGrids.h"
#include "TFrmVarnexCfgMain.h"
#include "TFrmWizard.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

QString PriceListPath(const TTempHome &home)
{
    return home.DataHome() + QStringLiteral("/Varnex Configurator/PriceList.tc");
}

void InstallFile(const QString &target, const QByteArray *bytes)
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    if (bytes == nullptr) {
        QVERIFY(QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), target));
        return;
    }
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(*bytes);
}

QList<QStringList> GridTexts(const QTableWidget *grid)
{
    QList<QStringList> rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        rows << cells;
    }
    return rows;
}

QStringList HeaderTexts(const QTableWidget *grid)
{
    QStringList titles;
    for (int c = 0; c < grid->columnCount(); ++c)
        titles << grid->horizontalHeaderItem(c)->text();
    return titles;
}

QList<int> ColumnWidths(const QTableWidget *grid)
{
    QList<int> widths;
    for (int c = 0; c < grid->columnCount(); ++c)
        widths << grid->columnWidth(c);
    return widths;
}

} // namespace

class TestResultGrids : public QObject {
    Q_OBJECT

private slots:
    void init() { ResultParameters = TResultParameters(); }

    void withThePriceList()
    {
        TWindowWithResults w(true);
        TFrmVarnexCfgMain &window = *w.Window;
        TRecordingMessageService &boxes = w.Boxes;
        QVERIFY(window.HasConfiguration());

        // The defaults: 10000 VA on the largest cabinet, three 5 kVA modules, 8 kits in a battery cabinet.
        QCOMPARE(HeaderTexts(window.grdItems), (QStringList{"Code", "Description", "Quantity", "Unit price "}));
        QCOMPARE(ColumnWidths(window.grdItems), (QList<int>{100, 323, 80, 95}));
        QCOMPARE(GridTexts(window.grdItems),
                 (QList<QStringList>{{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1", "10,700.00 "},
                                     {" QV-PM-50", " Power module 5 kVA", "3", "2,400.00 "},
                                     {" QV-BK-090", " Battery kit 9 Ah", "8", "215.00 "},
                                     {" QV-BC-20", " Modular battery cabinet for 20 battery kits", "1", "1,900.00 "}}));
        QTableWidgetItem *code = window.grdItems->item(0, 0);
        QCOMPARE(code->background().color(), QColor(128, 128, 128));
        QCOMPARE(code->foreground().color(), QColor(Qt::white));
        QVERIFY(code->font().bold());
        QCOMPARE(window.grdItems->item(0, 2)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(window.grdItems->item(0, 3)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));

        QVERIFY(window.pnlPriceList->isVisibleTo(window.tabResultItems));
        QCOMPARE(window.lblPriceListCountry->text(), QStringLiteral("Price list: Italia"));
        QCOMPARE(window.lblPriceListDate->text(),
                 "Price list valid from " + QLocale::system().toString(QDate(2027, 1, 1), QLocale::ShortFormat));
        QCOMPARE(window.lblTxtTotalPrice->text(), QStringLiteral("Total price (EUR):"));
        QCOMPARE(window.lblTotalPrice->text(), QStringLiteral("21,520.00 ")); // 10700 + 3 x 2400 + 8 x 215 + 1900
        QCOMPARE(qlonglong(ResultParameters.TotalPrice), qlonglong(215200000));

        // The data sheet: parameter and value, white and light blue rows from light blue.
        const QList<QStringList> sheet = GridTexts(window.grdData);
        QCOMPARE(sheet.first(), (QStringList{"Input configuration", "Three-phase"}));
        // One battery cabinet, partly filled: 95 + 8 x 14 kg.
        QCOMPARE(sheet.last(), (QStringList{"Weight of each battery cabinet", "1  x  207 Kg"}));
        QCOMPARE(sheet.size(), 15);
        window.pageControlResult->setCurrentWidget(window.tabResultData);
        QTest::qWait(50);
        const QImage image = window.grdData->viewport()->grab().toImage();
        const int x = window.grdData->columnWidth(0) - 4;
        const QColor blue(kDataSheetOddRed, kDataSheetOddGreen, kDataSheetOddBlue);
        for (int row = 0; row < 4; ++row) {
            const int y = window.grdData->rowViewportPosition(row) + 4;
            QCOMPARE(image.pixelColor(x * image.devicePixelRatio(), y * image.devicePixelRatio()),
                     row % 2 == 0 ? blue : QColor(Qt::white));
        }
        QVERIFY(boxes.Messages.isEmpty());
        window.close();
        QVERIFY(PriceListDatabase() == nullptr); // closed with the window
    }

    void withoutAPriceList()
    {
        TWindowWithResults w(false);
        TFrmVarnexCfgMain &window = *w.Window;
        TRecordingMessageService &boxes = w.Boxes;
        QCOMPARE(HeaderTexts(window.grdItems), (QStringList{"Code", "Description", "Quantity"}));
        QCOMPARE(ColumnWidths(window.grdItems), (QList<int>{110, 389, 100}));
        QCOMPARE(GridTexts(window.grdItems).first(),
                 (QStringList{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1"}));
        QVERIFY(!window.pnlPriceList->isVisibleTo(window.tabResultItems));
        QCOMPARE(qlonglong(ResultParameters.TotalPrice), qlonglong(0));
        QVERIFY(boxes.Messages.isEmpty());
        window.close();
    }

    void unpricedItemNamedUnderTheTotal()
    {
        // The sample list has no price for the USB card: it shows 0.00 and is named under the total.
        TWindowWithResults w(true, SavedConfiguration(R"("accessories": [{"record": 20080}])"));
        TFrmVarnexCfgMain &window = *w.Window;
        window.pageControlResult->setCurrentWidget(window.tabResultItems);
        const QStringList usb = GridTexts(window.grdItems).last();
        QCOMPARE(usb.first(), QStringLiteral(" QV-ACC-SUP-USB"));
        QCOMPARE(usb.last(), QStringLiteral("0.00 "));
        QCOMPARE(window.lblTotalPrice->text(), QStringLiteral("21,520.00 "));
        QTRY_VERIFY(window.lblUnpricedItems->isVisible());
        QCOMPARE(window.lblUnpricedItems->text(),
                 QStringLiteral("No price in the price list, not included in the total: QV-ACC-SUP-USB"));
        // Under the total, whole, inside the panel and the tab.
        const QRect total = window.lblTotalPrice->geometry();
        const QRect line = window.lblUnpricedItems->geometry();
        QVERIFY(line.top() >= total.bottom());
        QVERIFY(window.pnlPriceList->rect().contains(line));
        QVERIFY(window.tabResultItems->rect().contains(window.pnlPriceList->geometry()));
        QVERIFY(line.height() >= window.lblUnpricedItems->heightForWidth(line.width()));
        QVERIFY(w.Boxes.Messages.isEmpty());

        // A configuration whose items are all priced has no such line.
        w.Boxes.Answers = {true};
        RunWizardWithDefaults(window);
        QVERIFY(!window.lblUnpricedItems->isVisible());
        QVERIFY(window.lblUnpricedItems->text().isEmpty());
    }

    void listDamagedWhileListingWarnsOnce()
    {
        // The list opens, but a page the prices of this configuration are on is damaged:
        // no prices and no total, as without a list, and the warning once.
        TTempHome home;
        const QByteArray damaged = SampleListDamagedFor(QStringLiteral("Components"), QStringLiteral("QV-PM-50"));
        QVERIFY(!damaged.isEmpty());
        InstallFile(PriceListPath(home), &damaged);
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        window.show();
        QTRY_VERIFY(window.FirstIdleDone());
        QVERIFY(boxes.Messages.isEmpty()); // the list opened
        QCOMPARE(window.grdItems->columnCount(), 4);
        RunWizardWithDefaults(window);
        QTRY_COMPARE(boxes.Messages.size(), 1);
        QCOMPARE(boxes.Messages[0].Kind, QStringLiteral("warning"));
        QCOMPARE(boxes.Messages[0].Text, QStringLiteral("The price list cannot be opened. Prices will not be shown."));
        QCOMPARE(HeaderTexts(window.grdItems), (QStringList{"Code", "Description", "Quantity"}));
        QCOMPARE(GridTexts(window.grdItems).first(),
                 (QStringList{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1"}));
        QVERIFY(!window.pnlPriceList->isVisibleTo(window.tabResultItems));
        QCOMPARE(qlonglong(ResultParameters.TotalPrice), qlonglong(0));
        const TOfferDocument doc = window.OfferDocumentForTests();
        QVERIFY(!doc.PriceListOpen && doc.TotalLine.isEmpty() && doc.Items.ColumnCount() == 3);

        // The next configuration is listed without prices and without another word.
        boxes.Answers = {true};
        RunWizardWithDefaults(window);
        QTest::qWait(50);
        QCOMPARE(boxes.Texts().filter(QStringLiteral("price list")).size(), 1);
        QCOMPARE(window.grdItems->columnCount(), 3);
        window.close();
    }

    void unreadableListWarnsOnceWhenIdle()
    {
        TTempHome home;
        const QByteArray junk("this is no price list");
        InstallFile(PriceListPath(home), &junk);
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        QVERIFY(boxes.Messages.isEmpty()); // nothing while starting
        window.show();
        QTRY_VERIFY(window.FirstIdleDone());
        QCOMPARE(boxes.Messages.size(), 1);
        QCOMPARE(boxes.Messages[0].Kind, QStringLiteral("warning"));
        QCOMPARE(boxes.Messages[0].Text, QStringLiteral("The price list cannot be opened. Prices will not be shown."));
        QVERIFY(!window.pnlPriceList->isVisibleTo(window.tabResultItems));
        QCOMPARE(window.grdItems->columnCount(), 3);
        window.close();
    }
};

QTEST_MAIN(TestResultGrids)
#include "test_result_grids.moc"
