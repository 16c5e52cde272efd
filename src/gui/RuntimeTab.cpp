#include "RuntimeTab.h"
#include "Lang.h"
#include "Messages.h"
#include "ProgramFonts.h"
#include "RuntimeChartPainter.h"
#include "TextUtils.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
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

    auto *inputs = new QHBoxLayout;
    inputs->setContentsMargins(4, 4, 4, 0);
    auto edit = [this, inputs](QLabel *&label, QLineEdit *&field, const char *labelName, const char *editName,
                               int maxLength) {
        label = new QLabel(this);
        label->setObjectName(QLatin1String(labelName));
        label->setFont(ProgramPixelFont(12));
        field = new QLineEdit(this);
        field->setObjectName(QLatin1String(editName));
        field->setFont(ProgramPixelFont(12));
        field->setMaxLength(maxLength);
        field->setFixedWidth(52);
        label->setBuddy(field);
        inputs->addWidget(label);
        inputs->addWidget(field);
        inputs->addSpacing(12);
        connect(field, &QLineEdit::returnPressed, this, [this] { ApplyInputs(); });
    };
    edit(TemperatureLabel, TemperatureEdit, "lblAmbientTemperature", "edtAmbientTemperature", 3);
    edit(AgeingLabel, AgeingEdit, "lblAgeingFactor", "edtAgeingFactor", 4);
    ApplyButton = new QPushButton(this);
    ApplyButton->setObjectName(QStringLiteral("btnRuntimeApply"));
    ApplyButton->setFont(ProgramPixelFont(12));
    connect(ApplyButton, &QPushButton::clicked, this, [this] { ApplyInputs(); });
    inputs->addWidget(ApplyButton);
    inputs->addStretch(1);
    box->addLayout(inputs);

    Chart = new TRuntimeChartView(this);
    Chart->setObjectName(QStringLiteral("pbxRuntimeCurve"));
    Chart->setMinimumHeight(300);
    box->addWidget(Chart, 1);

    Warnings = new QLabel(this);
    Warnings->setObjectName(QStringLiteral("lblEngineeringWarnings"));
    Warnings->setFont(ProgramPixelFont(12, true));
    Warnings->setStyleSheet(QStringLiteral("color: #B02424;"));
    Warnings->setWordWrap(true);
    Warnings->setContentsMargins(4, 0, 4, 0);
    box->addWidget(Warnings);

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

void TRuntimeTab::ShowConfiguration(const TRequestParameters &req, const TResultParameters &res,
                                    const TBatteryEnvironment &env)
{
    m_req = req;
    m_res = res;
    m_env = env;
    TemperatureLabel->setText(LangMain(QStringLiteral("ResultsRuntimeAmbientTemperature")));
    AgeingLabel->setText(LangMain(QStringLiteral("ResultsRuntimeAgeingFactor")));
    ApplyButton->setText(LangMain(QStringLiteral("ResultsRuntimeApply")));
    ShowCurves();
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

void TRuntimeTab::ShowCurves()
{
    TemperatureEdit->setText(QString::number(m_env.AmbientTemperature));
    AgeingEdit->setText(AgeingFactorText(m_env.AgeingHundredths));
    const TRuntimeCurve curve = ComputeRuntimeCurve(m_req, m_res, m_env);
    TRuntimeChartTexts texts = RuntimeChartTexts(curve, m_req.AutonomyInMinutes);
    texts.Warnings = EngineeringWarnings(curve, m_req.AutonomyRequired, m_req.AutonomyInMinutes);
    Chart->SetCurve(curve, texts);
    Warnings->setText(texts.Warnings.join(QLatin1Char('\n')));
    Warnings->setVisible(!texts.Warnings.isEmpty());
    const bool inputs = curve.Available();
    for (QWidget *w : {static_cast<QWidget *>(TemperatureLabel), static_cast<QWidget *>(TemperatureEdit),
                       static_cast<QWidget *>(AgeingLabel), static_cast<QWidget *>(AgeingEdit),
                       static_cast<QWidget *>(ApplyButton)})
        w->setEnabled(inputs);
}

bool TRuntimeTab::ApplyInputs()
{
    TBatteryEnvironment env = m_env;
    if (!ParseInteger(TemperatureEdit->text(), env.AmbientTemperature, true) ||
        !CheckRange(env.AmbientTemperature, kMinAmbientTemperature, kMaxAmbientTemperature, true)) {
        TemperatureEdit->setFocus();
        TemperatureEdit->selectAll();
        return false;
    }
    if (ParseAgeingFactor(AgeingEdit->text(), env.AgeingHundredths) != TDecimalEntry::Ok) {
        ShowError(FormatArgs(LangMessages(QStringLiteral("ErrorDecimalOutOfRange")),
                             AgeingFactorText(kMinAgeingHundredths), AgeingFactorText(kMaxAgeingHundredths)));
        AgeingEdit->setFocus();
        AgeingEdit->selectAll();
        return false;
    }
    const bool changed = env != m_env;
    m_env = env;
    ShowCurves();
    if (changed && EnvironmentChanged)
        EnvironmentChanged(m_env);
    return true;
}
