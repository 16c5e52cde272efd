#include "RuntimeTab.h"
#include "Lang.h"
#include "ProgramFonts.h"
#include "RuntimeChartPainter.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>

void TRuntimeChartView::SetCurve(const TRuntimeCurve &curve, const TRuntimeChartTexts &texts)
{
    m_curve = curve;
    m_texts = texts;
    update();
}

void TRuntimeChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PaintRuntimeChart(painter, QRectF(rect()), m_curve, m_texts);
}

TRuntimeTab::TRuntimeTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tabResultRuntime"));
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(4);
    Chart = new TRuntimeChartView(this);
    Chart->setObjectName(QStringLiteral("pbxRuntimeCurve"));
    Chart->setMinimumHeight(300);
    box->addWidget(Chart, 1);

    HeatTitle = new QLabel(this);
    HeatTitle->setObjectName(QStringLiteral("lblHeatTitle"));
    HeatTitle->setFont(ProgramPixelFont(13, true));
    HeatTitle->setContentsMargins(4, 2, 4, 0);
    box->addWidget(HeatTitle);

    HeatTable = new QTableWidget(this);
    HeatTable->setObjectName(QStringLiteral("grdHeat"));
    HeatTable->setFont(ProgramPixelFont(12));
    HeatTable->setColumnCount(2);
    HeatTable->setColumnWidth(0, 390);
    HeatTable->setColumnWidth(1, 210);
    HeatTable->horizontalHeader()->hide();
    HeatTable->verticalHeader()->hide();
    HeatTable->verticalHeader()->setDefaultSectionSize(22);
    HeatTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HeatTable->setSelectionMode(QAbstractItemView::NoSelection);
    HeatTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HeatTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HeatTable->setFixedHeight(3 * 22 + 4);
    box->addWidget(HeatTable);
}

void TRuntimeTab::ShowConfiguration(const TRequestParameters &req, const TResultParameters &res)
{
    const TRuntimeCurve curve = ComputeRuntimeCurve(req, res);
    Chart->SetCurve(curve, RuntimeChartTexts(curve, req.AutonomyInMinutes));
    HeatTitle->setText(LangMain(QStringLiteral("ResultsHeatTitle")));
    const QVector<TDataRow> rows = HeatTableRows(ComputeHeatFigures(req, res));
    HeatTable->clearContents();
    HeatTable->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 2; ++c) {
            auto *item = new QTableWidgetItem(c == 0 ? rows[r].Name : rows[r].Value);
            item->setToolTip(item->text());
            HeatTable->setItem(r, c, item);
        }
    }
    HeatTitle->setVisible(!rows.isEmpty());
    HeatTable->setVisible(!rows.isEmpty());
}
