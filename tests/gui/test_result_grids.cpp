// The results page as a user meets it after a wizard run: the bill of
// materials with and without the price list, the price panel, the data sheet
// and its row colours, the price-list warning at the first idle moment, and
// texts cut by their columns, and columns widened or fitted by the user.

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
#include <QPaintEngine>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
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

/// What a widget draws, text by text, in its own coordinates.
class TTextRecorder : public QPaintDevice {
public:
    struct TDrawn {
        QPointF At;    // start of the baseline
        qreal Width;   // advance of the text
        QString Text;
    };
    explicit TTextRecorder(QSize size) : m_size(size), m_engine(this) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    QList<TDrawn> Drawn;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return m_size.width() * 254 / 960;
        case PdmHeightMM:
            return m_size.height() * 254 / 960;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class TEngine : public QPaintEngine {
    public:
        explicit TEngine(TTextRecorder *owner) : QPaintEngine(AllFeatures), m_owner(owner) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath &) override {}
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            m_owner->Drawn.append({painter()->transform().map(p), item.width(), item.text()});
        }
        Type type() const override { return User; }

    private:
        TTextRecorder *m_owner;
    };
    QSize m_size;
    mutable TEngine m_engine;
};

struct TShownText {
    QString Text;
    qreal Right = 0; // where the drawn text ends, in the viewport
};

/// The text each visible cell of `grid` shows, by row and column, as its painting draws it.
QMap<QPair<int, int>, TShownText> ShownTexts(QTableWidget *grid)
{
    TTextRecorder recorder(grid->viewport()->size());
    grid->viewport()->render(&recorder);
    QMap<QPair<int, int>, TShownText> shown;
    for (const TTextRecorder::TDrawn &drawn : recorder.Drawn) {
        // The baseline lies inside the cell, a little above its foot.
        const QModelIndex index = grid->indexAt((drawn.At + QPointF(1, -2)).toPoint());
        if (!index.isValid())
            continue;
        TShownText &cell = shown[{index.row(), index.column()}];
        cell.Text += drawn.Text;
        cell.Right = std::max(cell.Right, drawn.At.x() + drawn.Width);
    }
    return shown;
}

/// The point on the divider at the right end of `column`'s heading.
QPoint DividerOf(const QHeaderView *header, int column)
{
    return {header->sectionViewportPosition(column) + header->sectionSize(column) - 1, header->height() / 2};
}

struct TCutCell {
    QString Drawn;     // what the cell shows
    bool Overruns;     // drawn beyond the cell's right edge (and so clipped there)
    QString Text;      // what it holds
    QString ToolTip;
};

/// The cells of `column` whose text is not drawn whole inside the cell, as painted after
/// scrolling the column into view.
QList<TCutCell> CutCells(QTableWidget *grid, int column)
{
    grid->scrollTo(grid->model()->index(0, column));
    const QMap<QPair<int, int>, TShownText> shown = ShownTexts(grid);
    QList<TCutCell> cut;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QTableWidgetItem *item = grid->item(row, column);
        if (item == nullptr)
            continue;
        const TShownText cell = shown.value({row, column});
        const int right = grid->visualRect(grid->model()->index(row, column)).right() + 1;
        const bool overruns = cell.Right > right + 0.5;
        if (cell.Text != item->text() || overruns)
            cut.append({cell.Text, overruns, item->text(), item->toolTip()});
    }
    return cut;
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
        // Without offer details the four columns of the price list.
        QCOMPARE(HeaderTexts(Child<QTableWidget>(window, "grdItems")),
                 (QStringList{"Code", "Description", "Quantity", "Unit price "}));
        QCOMPARE(ColumnWidths(Child<QTableWidget>(window, "grdItems")), (QList<int>{100, 323, 80, 95}));
        QCOMPARE(GridTexts(Child<QTableWidget>(window, "grdItems")),
                 (QList<QStringList>{{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1", "10,700.00 "},
                                     {" QV-PM-50", " Power module 5 kVA", "3", "2,400.00 "},
                                     {" QV-BK-090", " Battery kit 9 Ah", "8", "215.00 "},
                                     {" QV-BC-20", " Modular battery cabinet for 20 battery kits", "1", "1,900.00 "}}));
        QTableWidgetItem *code = Child<QTableWidget>(window, "grdItems")->item(0, 0);
        QCOMPARE(code->background().color(), QColor(128, 128, 128));
        QCOMPARE(code->foreground().color(), QColor(Qt::white));
        QVERIFY(code->font().bold());
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->item(0, 2)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->item(0, 3)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));

        QVERIFY(Child<QWidget>(window, "pnlPriceList")->isVisibleTo(Child<QWidget>(window, "tabResultItems")));
        QCOMPARE(Child<QLabel>(window, "lblPriceListCountry")->text(), QStringLiteral("Price list: Italia"));
        QCOMPARE(Child<QLabel>(window, "lblPriceListDate")->text(),
                 "Price list valid from " + QLocale::system().toString(QDate(2027, 1, 1), QLocale::ShortFormat));
        QCOMPARE(Child<QLabel>(window, "lblTxtTotalPrice")->text(), QStringLiteral("Total price (EUR):"));
        QCOMPARE(Child<QLabel>(window, "lblTotalPrice")->text(), QStringLiteral("21,520.00 ")); // 10700 + 3 x 2400 + 8 x 215 + 1900
        QCOMPARE(qlonglong(ResultParameters.TotalPrice), qlonglong(215200000));

        // The data sheet: parameter and value, white and light blue rows from light blue.
        const QList<QStringList> sheet = GridTexts(Child<QTableWidget>(window, "grdData"));
        QCOMPARE(sheet.first(), (QStringList{"Input configuration", "Three-phase"}));
        // One battery cabinet, partly filled: 95 + 8 x 14 kg.
        QCOMPARE(sheet.last(), (QStringList{"Weight of each battery cabinet", "1  x  207 Kg"}));
        QCOMPARE(sheet.size(), 15);
        Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(Child<QWidget>(window, "tabResultData"));
        QTest::qWait(50);
        const QImage image = Child<QTableWidget>(window, "grdData")->viewport()->grab().toImage();
        const int x = Child<QTableWidget>(window, "grdData")->columnWidth(0) - 4;
        const QColor blue(kDataSheetOddRed, kDataSheetOddGreen, kDataSheetOddBlue);
        for (int row = 0; row < 4; ++row) {
            const int y = Child<QTableWidget>(window, "grdData")->rowViewportPosition(row) + 4;
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
        QCOMPARE(HeaderTexts(Child<QTableWidget>(window, "grdItems")), (QStringList{"Code", "Description", "Quantity"}));
        QCOMPARE(ColumnWidths(Child<QTableWidget>(window, "grdItems")), (QList<int>{110, 389, 100}));
        QCOMPARE(GridTexts(Child<QTableWidget>(window, "grdItems")).first(),
                 (QStringList{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1"}));
        QVERIFY(!Child<QWidget>(window, "pnlPriceList")->isVisibleTo(Child<QWidget>(window, "tabResultItems")));
        QCOMPARE(qlonglong(ResultParameters.TotalPrice), qlonglong(0));
        QVERIFY(boxes.Messages.isEmpty());
        window.close();
    }

    void unpricedItemNamedUnderTheTotal()
    {
        // The sample list has no price for the USB card: it shows 0.00 and is named under the total.
        TWindowWithResults w(true, QString(), SavedConfiguration(R"("accessories": [{"record": 20080}])"));
        TFrmVarnexCfgMain &window = *w.Window;
        Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(Child<QWidget>(window, "tabResultItems"));
        const QStringList usb = GridTexts(Child<QTableWidget>(window, "grdItems")).last();
        QCOMPARE(usb.first(), QStringLiteral(" QV-ACC-SUP-USB"));
        QCOMPARE(usb.last(), QStringLiteral("0.00 "));
        QCOMPARE(Child<QLabel>(window, "lblTotalPrice")->text(), QStringLiteral("21,520.00 "));
        QTRY_VERIFY(Child<QLabel>(window, "lblUnpricedItems")->isVisible());
        QCOMPARE(Child<QLabel>(window, "lblUnpricedItems")->text(),
                 QStringLiteral("No price in the price list, not included in the total: QV-ACC-SUP-USB"));
        // Under the total, whole, inside the panel and the tab.
        const QRect total = Child<QLabel>(window, "lblTotalPrice")->geometry();
        const QRect line = Child<QLabel>(window, "lblUnpricedItems")->geometry();
        QVERIFY(line.top() >= total.bottom());
        QVERIFY(Child<QWidget>(window, "pnlPriceList")->rect().contains(line));
        QVERIFY(Child<QWidget>(window, "tabResultItems")->rect().contains(Child<QWidget>(window, "pnlPriceList")->geometry()));
        QVERIFY(line.height() >= Child<QLabel>(window, "lblUnpricedItems")->heightForWidth(line.width()));
        QVERIFY(w.Boxes.Messages.isEmpty());

        // A configuration whose items are all priced has no such line.
        w.Boxes.Answers = {true};
        RunWizardWithDefaults(window);
        QVERIFY(!Child<QLabel>(window, "lblUnpricedItems")->isVisible());
        QVERIFY(Child<QLabel>(window, "lblUnpricedItems")->text().isEmpty());
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
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 4);
        RunWizardWithDefaults(window);
        QTRY_COMPARE(boxes.Messages.size(), 1);
        QCOMPARE(boxes.Messages[0].Kind, QStringLiteral("warning"));
        QCOMPARE(boxes.Messages[0].Text, QStringLiteral("The price list cannot be opened. Prices will not be shown."));
        QCOMPARE(HeaderTexts(Child<QTableWidget>(window, "grdItems")), (QStringList{"Code", "Description", "Quantity"}));
        QCOMPARE(GridTexts(Child<QTableWidget>(window, "grdItems")).first(),
                 (QStringList{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1"}));
        QVERIFY(!Child<QWidget>(window, "pnlPriceList")->isVisibleTo(Child<QWidget>(window, "tabResultItems")));
        QCOMPARE(qlonglong(ResultParameters.TotalPrice), qlonglong(0));
        const TOfferDocument doc = window.OfferDocumentForTests();
        QVERIFY(!doc.PriceListOpen && doc.TotalLine.isEmpty() && doc.Items.ColumnCount() == 3);

        // The next configuration is listed without prices and without another word.
        boxes.Answers = {true};
        RunWizardWithDefaults(window);
        QTest::qWait(50);
        QCOMPARE(boxes.Texts().filter(QStringLiteral("price list")).size(), 1);
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 3);
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
        QVERIFY(!Child<QWidget>(window, "pnlPriceList")->isVisibleTo(Child<QWidget>(window, "tabResultItems")));
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->columnCount(), 3);
        window.close();
    }

    void cutTextsAndFittedColumns_data()
    {
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<int>("cutCodes");
        QTest::addColumn<int>("cutDescriptions");
        QTest::addColumn<int>("cutSheetValues");
        // The five licence codes and descriptions; the sheet's output arrangement.
        QTest::newRow("English") << "English.lng" << 5 << 5 << 1;
        QTest::newRow("Deutsch") << "Deutsch.lng" << 5 << 5 << 1;
        QTest::newRow("Italian") << "Italian.lng" << 5 << 5 << 0;
        QTest::newRow("Spanish") << "Spanish.lng" << 5 << 5 << 1;
    }

    void cutTextsAndFittedColumns()
    {
        QFETCH(QString, languageFile);
        QFETCH(int, cutCodes);
        QFETCH(int, cutDescriptions);
        QFETCH(int, cutSheetValues);
        TWindowWithResults w(true, languageFile);
        TFrmVarnexCfgMain &window = *w.Window;
        // Every licence size of the network shutdown software: codes and descriptions that differ at their ends.
        ResultParameters.Accessories.Accessories = {{20100, 1}, {20120, 1}, {20140, 1}, {20160, 1}, {20180, 1}};
        window.ShowResults();

        struct TColumn {
            QTableWidget *Grid;
            int Column;
            int Cut;
        };
        const QList<TColumn> columns{{Child<QTableWidget>(window, "grdItems"), 0, cutCodes},
                                     {Child<QTableWidget>(window, "grdItems"), 1, cutDescriptions},
                                     {Child<QTableWidget>(window, "grdItems"), 2, 0},
                                     {Child<QTableWidget>(window, "grdItems"), 3, 0},
                                     {Child<QTableWidget>(window, "grdData"), 0, 0},
                                     {Child<QTableWidget>(window, "grdData"), 1, cutSheetValues}};
        QCOMPARE(ColumnWidths(Child<QTableWidget>(window, "grdItems")), (QList<int>{100, 323, 80, 95}));
        QCOMPARE(ColumnWidths(Child<QTableWidget>(window, "grdData")), (QList<int>{390, 210}));
        QSet<QString> shownCodes;
        for (const TColumn &c : columns) {
            Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(c.Grid->parentWidget());
            const QList<TCutCell> cut = CutCells(c.Grid, c.Column);
            QCOMPARE(cut.size(), c.Cut);
            for (const TCutCell &cell : cut) {
                // Cut where the column ends, with "…" for what is missing, and whole in the tool tip.
                QVERIFY2(cell.Drawn.contains(QChar(0x2026)) && !cell.Overruns, qPrintable(cell.Drawn));
                QCOMPARE(cell.ToolTip, cell.Text.trimmed());
                if (c.Grid == Child<QTableWidget>(window, "grdItems") && c.Column == 0)
                    shownCodes << cell.Drawn;
            }
        }
        QCOMPARE(shownCodes.size(), cutCodes); // the cut codes still tell the licences apart

        // A double click on a heading's divider fits its column to the longest text.
        for (const TColumn &c : columns) {
            Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(c.Grid->parentWidget());
            QHeaderView *header = c.Grid->horizontalHeader();
            const int before = header->sectionSize(c.Column);
            c.Grid->scrollTo(c.Grid->model()->index(0, c.Column));
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, DividerOf(header, c.Column));
            if (c.Cut > 0)
                QVERIFY2(header->sectionSize(c.Column) > before, qPrintable(c.Grid->objectName()));
            const QList<TCutCell> cut = CutCells(c.Grid, c.Column);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.isEmpty() ? QString() : cut.first().Drawn));
        }
    }

    void dragWidensAColumn()
    {
        TWindowWithResults w(true);
        TFrmVarnexCfgMain &window = *w.Window;
        Child<QTabWidget>(window, "pageControlResult")->setCurrentWidget(Child<QWidget>(window, "tabResultData"));
        QTableWidget *grid = Child<QTableWidget>(window, "grdData");
        QHeaderView *header = grid->horizontalHeader();
        QVERIFY(!grid->horizontalScrollBar()->isVisible());
        const QPoint divider = DividerOf(header, 0);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
        QTest::mouseMove(header->viewport(), divider + QPoint(40, 0));
        QTest::mouseMove(header->viewport(), divider + QPoint(80, 0));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(80, 0));
        QCOMPARE(ColumnWidths(grid), (QList<int>{470, 210}));
        // The value column moved beyond the grid's edge is reached by scrolling.
        QTRY_VERIFY(grid->horizontalScrollBar()->isVisible());
        QVERIFY(grid->horizontalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(TestResultGrids)
#include "test_result_grids.moc"
