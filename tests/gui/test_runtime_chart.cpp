// The runtime chart as painted: the configuration's own load is marked where
// its load and time put it, the curve's points where theirs do, and the tab
// says why a configuration without batteries has no curve.

#include "MainWindowTestSupport.h"
#include "RuntimeChartPainter.h"
#include "RuntimeTab.h"

#include "RequestKeys.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

namespace {

TRuntimeCurve SampleCurve()
{
    TRuntimeCurve curve;
    const int minutes[10] = {160, 76, 46, 32, -1, 19, 16, 13, 12, 10};
    for (int i = 0; i < 10; ++i)
        curve.Points.append({10 * (i + 1), 1200.0f * float(i + 1), minutes[i]});
    curve.Points[4].Minutes = 25;
    curve.Own = {54, 6480.0f, 23};
    return curve;
}

QImage Paint(const TRuntimeCurve &curve, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TRuntimeChartTexts texts;
    texts.OwnLoad = QStringLiteral("This configuration: 23 min");
    texts.BeyondTable = QStringLiteral("beyond the table");
    texts.Absence = QStringLiteral("No runtime curve");
    PaintRuntimeChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), curve, texts);
    return image;
}

bool Near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) + qAbs(qGreen(a) - b.green()) + qAbs(qBlue(a) - b.blue()) < 60;
}

} // namespace

class TestRuntimeChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadProgramFonts(); }

    void pointsSitWhereTheirFiguresPutThem_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("tab") << QSize(597, 300);
        QTest::newRow("document") << QSize(700, 260);
    }

    void pointsSitWhereTheirFiguresPutThem()
    {
        QFETCH(QSize, size);
        const TRuntimeCurve curve = SampleCurve();
        const QImage image = Paint(curve, size);
        const TRuntimeChartFrame frame = RuntimeChartFrame(QRectF(QPointF(0, 0), QSizeF(size)), curve);
        QCOMPARE(frame.MaxMinutes, 180); // 160 minutes rounded up to the 30-minute steps
        QCOMPARE(OwnLoadPercent(curve), 54.0);
        const QPoint own = RuntimeChartPosition(frame, OwnLoadPercent(curve), curve.Own.Minutes).toPoint();
        QVERIFY2(Near(image.pixel(own), QColor(0xE8, 0x7A, 0x00)), "the own load's mark is orange");
        for (const TRuntimePoint &p : curve.Points) {
            const QPoint at = RuntimeChartPosition(frame, p.LoadPercent, p.Minutes).toPoint();
            QVERIFY2(Near(image.pixel(at), QColor(0x1F, 0x4E, 0x8C)), qPrintable(QString::number(p.LoadPercent)));
        }
        // Above the curve at the lightest load there is nothing but the grid's white.
        const QPoint above = RuntimeChartPosition(frame, 10, 175).toPoint() + QPoint(12, 0);
        QVERIFY(qGray(image.pixel(above)) > 200);
    }

    void beyondTheTableIsMarkedNotDrawn()
    {
        TRuntimeCurve curve = SampleCurve();
        curve.Points[0].Minutes = -1;
        const QSize size(597, 300);
        const QImage image = Paint(curve, size);
        const TRuntimeChartFrame frame = RuntimeChartFrame(QRectF(QPointF(0, 0), QSizeF(size)), curve);
        QCOMPARE(frame.MaxMinutes, 90); // the scale follows the times there are
        // The mark at the top of the scale above 10 %, and no line down from it.
        const QPointF top = RuntimeChartPosition(frame, 10, frame.MaxMinutes);
        QVERIFY(Near(image.pixel((top + QPointF(0, 3)).toPoint()), QColor(0x1F, 0x4E, 0x8C)));
        const QPointF middle = RuntimeChartPosition(frame, 15, 60);
        QVERIFY(qGray(image.pixel(middle.toPoint())) > 200);
    }

    void tabSaysWhyThereIsNoCurve()
    {
        TWindowWithResults w(false);
        TFrmVarnexCfgMain &window = *w.Window;
        QVERIFY(Child<TRuntimeTab>(window, "tabResultRuntime")->Chart->Curve().Available());
        QCOMPARE(Child<TRuntimeTab>(window, "tabResultRuntime")->HeatTable->rowCount(), 3);
        TRequestParameters req = RequestParameters;
        req.SpecialConfig = true;
        req.OnlyInverter = true;
        TResultParameters res = ResultParameters;
        res.BatteryKitCount = 0;
        Child<TRuntimeTab>(window, "tabResultRuntime")->ShowConfiguration(req, res);
        QCOMPARE(Child<TRuntimeTab>(window, "tabResultRuntime")->Chart->Curve().Absence, TRuntimeCurveAbsence::OnlyInverter);
        const QImage shown = Child<TRuntimeTab>(window, "tabResultRuntime")->Chart->grab().toImage();
        QVERIFY(!shown.isNull());
    }

    // The inputs come from the configuration file, are checked as typed (a letter
    // or a value out of range: a message, and nothing changes) and go back into
    // the configuration only when they differ from the defaults.
    void tabTakesTheRoomAndTheAgeing()
    {
        TWindowWithResults w(false, QString(),
                             SavedConfiguration(R"("sizeLine": 1, "loadPower": "9000", "ambientTemperature": 10,
                                                   "ageingFactor": 1.4)"));
        TFrmVarnexCfgMain &window = *w.Window;
        TRuntimeTab &tab = *Child<TRuntimeTab>(window, "tabResultRuntime");
        QCOMPARE(tab.TemperatureEdit->text(), QStringLiteral("10"));
        QCOMPARE(tab.AgeingEdit->text(), QStringLiteral("1.40"));
        QVERIFY(tab.Chart->Curve().Points.first().EndOfLifeMinutes < tab.Chart->Curve().Points.first().Minutes);
        QVERIFY(!tab.Warnings->isHidden());
        tab.resize(760, 560);
        const QImage shown = tab.grab().toImage();
        QVERIFY(!shown.isNull());
        if (!qEnvironmentVariableIsEmpty("VX_RUNTIME_TAB_PICTURE"))
            shown.save(qEnvironmentVariable("VX_RUNTIME_TAB_PICTURE"));

        const TBatteryEnvironment before = tab.Environment();
        const struct {
            const char *Temperature, *Ageing, *Message;
        } refused[] = {{"1x", "1.25", "Please enter a valid whole number."},
                       {"41", "1.25", "The value must be between 0 and 40."},
                       {"20", "1.7", "Please enter a number from 1.00 to 1.50, with at most two decimals."},
                       {"20", "1,2a", "Please enter a number from 1.00 to 1.50, with at most two decimals."}};
        for (const auto &entry : refused) {
            w.Boxes.Messages.clear();
            tab.TemperatureEdit->setText(QLatin1String(entry.Temperature));
            tab.AgeingEdit->setText(QLatin1String(entry.Ageing));
            QVERIFY(!tab.ApplyInputs());
            QCOMPARE(w.Boxes.Texts(), QStringList{QLatin1String(entry.Message)});
            QVERIFY(tab.Environment() == before);
            QCOMPARE(window.ConfigurationRequest().value(QLatin1String("ageingFactor")).toDouble(), 1.4);
        }

        tab.TemperatureEdit->setText(QStringLiteral("30"));
        tab.AgeingEdit->setText(QStringLiteral("1,3"));
        tab.ApplyButton->click();
        QCOMPARE(tab.Environment().AmbientTemperature, 30);
        QCOMPARE(tab.Environment().AgeingHundredths, 130);
        QCOMPARE(window.ConfigurationRequest().value(QLatin1String("ambientTemperature")).toInt(), 30);
        QCOMPARE(window.ConfigurationRequest().value(QLatin1String("ageingFactor")).toDouble(), 1.3);
        QVERIFY(tab.Warnings->text().contains(QStringLiteral("30 \u00b0C")));

        // Back to the defaults: the configuration holds the keys no more, as one saved before them.
        tab.TemperatureEdit->setText(QStringLiteral("25"));
        tab.AgeingEdit->setText(QStringLiteral("1.25"));
        QVERIFY(tab.ApplyInputs());
        QVERIFY(!window.ConfigurationRequest().contains(QLatin1String("ambientTemperature")));
        QVERIFY(!window.ConfigurationRequest().contains(QLatin1String("ageingFactor")));
    }
};

QTEST_MAIN(TestRuntimeChart)
#include "test_runtime_chart.moc"
