// The runtime curve and the heat figures of sized configurations: the curve
// meets the sizing's own autonomy at the configuration's load and falls as the
// load rises; the heat figures follow the efficiency curve; configurations
// without batteries have no curve and say why.

#include "BatterySizing.h"
#include "Globals.h"
#include "Headless.h"
#include "RuntimeCurve.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

struct TSized {
    TRequestParameters Request;
    TResultParameters Result;
    bool Ok = false;
};

TSized Size(const QByteArray &json)
{
    TSized sized;
    const QJsonObject answer =
        SizeRequestJson(QJsonDocument::fromJson(json).object(), THeadlessHooks(), &sized.Request, &sized.Result);
    sized.Ok = answer.value(QLatin1String("ok")).toBool();
    return sized;
}

} // namespace

class TestRuntimeCurve : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UseBuiltProgram()); }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void curveMeetsTheSizingAndFalls_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("10 kVA at 9000 VA") << QByteArray(R"({"sizeLine": 1, "loadPower": 9000})");
        QTest::newRow("in W, 30 minutes")
            << QByteArray(R"({"sizeLine": 3, "loadPower": 12000, "powerInWatt": true, "autonomyMinutes": 30})");
        QTest::newRow("light load, long autonomy")
            << QByteArray(R"({"sizeLine": 5, "loadPower": 5000, "autonomyMinutes": 120})");
        QTest::newRow("non-modular cabinet, beyond most of the table")
            << QByteArray(R"({"sizeLine": 0, "loadPower": 6000, "modularBatteryCabinet": false})");
        QTest::newRow("half the load backed up")
            << QByteArray(R"({"sizeLine": 8, "loadPower": 30000, "loadPercent": 50})");
    }

    void curveMeetsTheSizingAndFalls()
    {
        QFETCH(QByteArray, request);
        const TSized s = Size(request);
        QVERIFY(s.Ok);
        const TRuntimeCurve curve = ComputeRuntimeCurve(s.Request, s.Result);
        QVERIFY(curve.Available());
        QCOMPARE(curve.Points.size(), 10);
        // At the configuration's own load the curve says what the data sheet says,
        // "beyond the table" exactly when the sizing says -1.
        QCOMPARE(curve.Own.Minutes, s.Result.AutonomyAvailable);
        QCOMPARE(curve.Own.LoadWatts, BackedUpPower(s.Request));
        const float installed = InstalledModulePower(s.Request, s.Result);
        int previous = -1;
        for (int i = 0; i < curve.Points.size(); ++i) {
            const TRuntimePoint &p = curve.Points[i];
            QCOMPARE(p.LoadPercent, 10 * (i + 1));
            QCOMPARE(p.LoadWatts, installed * float(p.LoadPercent) / 100.0f);
            QVERIFY(p.Minutes >= -1);
            if (p.Minutes != -1 && previous != -1)
                QVERIFY2(p.Minutes <= previous, qPrintable(QStringLiteral("at %1 %").arg(p.LoadPercent)));
            if (p.Minutes != -1)
                previous = p.Minutes;
        }
        // The own load lies between the neighbouring points of the curve.
        const int below = curve.Own.LoadPercent / 10 - 1, above = below + 1;
        if (below >= 0 && above < 10 && curve.Points[below].Minutes != -1 &&
            curve.Own.Minutes > s.Request.AutonomyRequired)
            QVERIFY(curve.Own.Minutes <= curve.Points[below].Minutes &&
                    curve.Own.Minutes >= curve.Points[above].Minutes);
    }

    // Worked by hand from the catalogue: kit 10260 (one string of 4 kits, threshold
    // 0.35: 27 blocks) on three 3.4 kVA modules, and kit 10480 (one 94 Ah kit,
    // threshold 0: 20 blocks) on three 2.7 kVA modules; 8000 W installed in both.
    // At 10 % e = 0.88 + 0.04 x 1/8 = 0.885, at 20 % 0.92 + 0.02 x 3/8 = 0.9275,
    // from 25 % on 0.94. Kit 10260 at 10 %: 800 / 0.885 / 27 = 33.48 W a block,
    // between 120 min (34.9 W) and 180 min (26.0 W): 129.6, so 130 min.
    void pointsMatchAHandComputation_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("kit");
        QTest::addColumn<QVector<int>>("minutes"); // at 10, 20, 50 and 100 %
        QTest::newRow("kit 10260") << QByteArray(R"({"sizeLine": 1, "loadPower": 9000})") << 10260
                                   << QVector<int>{130, 63, 20, 8};
        // At 10 %: 45.2 W a block, below the table's last 60 W: beyond the table.
        QTest::newRow("kit 10480") << QByteArray(
                                          R"({"sizeLine": 0, "loadPower": 6000, "modularBatteryCabinet": false})")
                                   << 10480 << QVector<int>{-1, 918, 299, 130};
    }

    void pointsMatchAHandComputation()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, kit);
        QFETCH(QVector<int>, minutes);
        const TSized s = Size(request);
        QVERIFY(s.Ok);
        QCOMPARE(s.Result.BatteryKitRecord, kit);
        const TRuntimeCurve curve = ComputeRuntimeCurve(s.Request, s.Result);
        QCOMPARE(curve.Points.last().LoadWatts, 8000.0f);
        const int at[4] = {0, 1, 4, 9};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(curve.Points[at[i]].Minutes, minutes[i]);
    }

    // On a point of the efficiency curve (17 %: 0.92) and between two (10 %: 0.885).
    void heatOnAndBetweenCurvePoints_data()
    {
        QTest::addColumn<int>("watts");
        QTest::addColumn<double>("efficiency");
        QTest::newRow("on the 17 % point") << 1360 << 0.92;
        QTest::newRow("between 9 % and 17 %") << 800 << 0.885;
        QTest::newRow("on the flat part") << 4000 << 0.94;
    }

    void heatOnAndBetweenCurvePoints()
    {
        QFETCH(int, watts);
        QFETCH(double, efficiency);
        TSized s = Size(R"({"sizeLine": 1, "loadPower": 7000, "powerInWatt": true})");
        QVERIFY(s.Ok);
        s.Request.LoadPower = watts;
        s.Request.AutonomyLoadPercent = 100;
        const THeatFigures heat = ComputeHeatFigures(s.Request, s.Result);
        QVERIFY(heat.Available);
        QVERIFY(qAbs(heat.EfficiencyPercent - efficiency * 100.0) < 0.01);
        const double losses = watts / efficiency - watts;
        QVERIFY2(qAbs(heat.LossesW - losses) < 0.05,
                 qPrintable(QStringLiteral("%1 against %2").arg(heat.LossesW).arg(losses)));
        QVERIFY(qAbs(heat.LossesBtuPerHour() - losses * 3.412142) < 0.2);
        // At full power (about 8000 W) the curve gives 0.94.
        QVERIFY(qAbs(heat.FullLoadLossesW - (8000.0 / 0.94 - 8000.0)) < 0.5);
    }

    void noCurveWithoutBatteries()
    {
        const TSized s = Size(R"({"sizeLine": 1, "specialConfig": "onlyInverter"})");
        QVERIFY(s.Ok);
        const TRuntimeCurve curve = ComputeRuntimeCurve(s.Request, s.Result);
        QVERIFY(!curve.Available());
        QCOMPARE(curve.Absence, TRuntimeCurveAbsence::OnlyInverter);
        QVERIFY(curve.Points.isEmpty());
        TResultParameters noKits = s.Result;
        TRequestParameters plain = s.Request;
        plain.SpecialConfig = false;
        QCOMPARE(ComputeRuntimeCurve(plain, noKits).Absence, TRuntimeCurveAbsence::NoBatteries);
    }

    void heatFollowsTheEfficiencyCurve()
    {
        const TSized s = Size(R"({"sizeLine": 1, "loadPower": 9000})");
        QVERIFY(s.Ok);
        const THeatFigures heat = ComputeHeatFigures(s.Request, s.Result);
        QVERIFY(heat.Available);
        const float load = BackedUpPower(s.Request);
        const float e = ModuleEfficiency(s.Request, s.Result, load);
        QCOMPARE(heat.EfficiencyPercent, e * 100.0f);
        QCOMPARE(heat.LossesW, load / e - load);
        const float full = InstalledModulePower(s.Request, s.Result);
        const float eFull = ModuleEfficiency(s.Request, s.Result, full);
        QCOMPARE(heat.FullLoadLossesW, full / eFull - full);
        QVERIFY(heat.LossesW > 0.0f && heat.LossesW < heat.FullLoadLossesW);
        QCOMPARE(heat.LossesBtuPerHour(), double(heat.LossesW) * 3.412142);
        // A load of 0 has no efficiency to speak of: no figures rather than a division by zero.
        TRequestParameters idle = s.Request;
        idle.LoadPower = 0;
        QVERIFY(!ComputeHeatFigures(idle, s.Result).Available);
    }

    void headlessAnswersCarryBoth()
    {
        const QJsonObject out = SizeRequestJson(
            QJsonDocument::fromJson(R"({"sizeLine": 1, "loadPower": 9000})").object(), THeadlessHooks());
        const QJsonArray points = out.value(QLatin1String("runtimeCurve")).toArray();
        QCOMPARE(points.size(), 10);
        QCOMPARE(points.first().toArray().at(0).toInt(), 10);
        QVERIFY(out.value(QLatin1String("heat")).toObject().contains(QLatin1String("fullLoadLossesBtuPerHour")));
        const QJsonObject inverterOnly = SizeRequestJson(
            QJsonDocument::fromJson(R"({"sizeLine": 1, "specialConfig": "onlyInverter"})").object(), THeadlessHooks());
        QVERIFY(inverterOnly.value(QLatin1String("runtimeCurve")).isNull());
        QCOMPARE(inverterOnly.value(QLatin1String("runtimeCurveMissing")).toString(), QStringLiteral("onlyInverter"));
    }
};

QTEST_GUILESS_MAIN(TestRuntimeCurve)
#include "test_runtime_curve.moc"
