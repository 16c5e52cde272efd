// The end-of-life figures beside the runtime curve: the factors, the curve at
// end of life against hand computations, never above the new batteries' curve,
// less in colder rooms, the warnings, and the headless keys with their refusals.

#include "BatteryLife.h"
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
    QJsonObject Answer;
};

TSized Size(const QByteArray &json)
{
    TSized sized;
    sized.Answer =
        SizeRequestJson(QJsonDocument::fromJson(json).object(), THeadlessHooks(), &sized.Request, &sized.Result);
    return sized;
}

TBatteryEnvironment Environment(int32_t celsius, int32_t ageingHundredths = kDefaultAgeingHundredths)
{
    TBatteryEnvironment env;
    env.AmbientTemperature = celsius;
    env.AgeingHundredths = ageingHundredths;
    return env;
}

// Kit 10260: one string of 4 kits of 9.0 Ah, threshold 0.35: 27 blocks; kit
// 10480: one 94 Ah kit, threshold 0: 20 blocks; 8000 W installed in both.
const char *const kKit10260 = R"({"sizeLine": 1, "loadPower": 9000})";
const char *const kKit10480 = R"({"sizeLine": 0, "loadPower": 6000, "modularBatteryCabinet": false})";

} // namespace

class TestBatteryLife : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UseBuiltProgram()); }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void factorsFollowTheTables_data()
    {
        QTest::addColumn<int>("celsius");
        QTest::addColumn<double>("temperatureFactor");
        QTest::addColumn<int>("lifeShare");
        QTest::newRow("0 degrees") << 0 << 1.30 << 100;
        QTest::newRow("5 degrees, half way to 10") << 5 << 1.205 << 100;
        QTest::newRow("10 degrees") << 10 << 1.11 << 100;
        QTest::newRow("15 degrees") << 15 << 1.075 << 100;
        QTest::newRow("20 degrees") << 20 << 1.04 << 100;
        QTest::newRow("25 degrees") << 25 << 1.00 << 100;
        // Above 25 no credit, and the life halves every 8.3 degrees: 2^(-5/8.3) = 0.659.
        QTest::newRow("30 degrees") << 30 << 1.00 << 66;
        QTest::newRow("33 degrees: 2^(-8/8.3) = 0.513") << 33 << 1.00 << 51;
        QTest::newRow("40 degrees: 2^(-15/8.3) = 0.286") << 40 << 1.00 << 29;
    }

    void factorsFollowTheTables()
    {
        QFETCH(int, celsius);
        QFETCH(double, temperatureFactor);
        QFETCH(int, lifeShare);
        QVERIFY(qAbs(TemperatureFactor(float(celsius)) - temperatureFactor) < 1e-5);
        QCOMPARE(DesignLifeSharePercent(celsius), lifeShare);
    }

    void ageingFactorEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result"); // TDecimalEntry
        QTest::addColumn<int>("hundredths");
        QTest::newRow("point") << "1.25" << int(TDecimalEntry::Ok) << 125;
        QTest::newRow("comma, one decimal") << " 1,3 " << int(TDecimalEntry::Ok) << 130;
        QTest::newRow("whole") << "1" << int(TDecimalEntry::Ok) << 100;
        QTest::newRow("upper bound") << "1.50" << int(TDecimalEntry::Ok) << 150;
        QTest::newRow("above") << "1.51" << int(TDecimalEntry::OutOfRange) << 0;
        QTest::newRow("below") << "0.99" << int(TDecimalEntry::OutOfRange) << 0;
        QTest::newRow("three decimals") << "1.255" << int(TDecimalEntry::Invalid) << 0;
        QTest::newRow("a letter") << "1.2a" << int(TDecimalEntry::Invalid) << 0;
        QTest::newRow("empty") << "" << int(TDecimalEntry::Invalid) << 0;
        QTest::newRow("negative") << "-1.2" << int(TDecimalEntry::Invalid) << 0;
    }

    void ageingFactorEntry()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        QFETCH(int, hundredths);
        int32_t value = 0;
        QCOMPARE(int(ParseAgeingFactor(text, value)), result);
        QCOMPARE(value, hundredths);
    }

    // By hand, the sizing's lookups (efficiency at 10 % 0.885, at 20 % 0.9275,
    // from 25 % on 0.94) with the battery power times 1.25 (25 degrees) or
    // 1.25 x 1.11 = 1.3875 (10 degrees):
    // kit 10260, 10 %, 25 degrees: 800 / 0.885 x 1.25 / 27 = 41.85 W a block, between
    //   90 min (45.2 W) and 120 min (34.9 W): 90 + 30 x 3.35 / 10.3 = 99.8, so 100 (new: 130).
    // kit 10260, 10 %, 10 degrees: 46.45 W, between 60 min (65.7) and 90 min (45.2):
    //   60 + 30 x 19.25 / 20.5 = 88.2, so 88.
    // kit 10260, 100 %, 25 degrees: 8000 / 0.94 x 1.25 / 27 = 394.0 W, between 5 min
    //   (410 W) and 10 min (268 W): 5 + 5 x 16.0 / 142 = 5.56, so 6 (new: 8).
    // kit 10480, 100 %, 25 degrees: 8000 / 0.94 x 1.25 / 20 = 531.9 W, between 60 min
    //   (809.4) and 120 min (445.2): 60 + 60 x 277.5 / 364.2 = 105.7, so 106 (new: 130).
    // kit 10480, 100 %, 10 degrees: 590.4 W: 60 + 60 x 219.0 / 364.2 = 96.1, so 96.
    // kit 10480, 10 %, 10 degrees: 62.7 W, between 600 min (115.8) and 1200 min (60):
    //   600 + 600 x 53.1 / 55.8 = 1170.8, so 1171, where the new batteries are beyond the table.
    void endOfLifeMatchesAHandComputation_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("kit");
        QTest::addColumn<int>("celsius");
        QTest::addColumn<QVector<int>>("minutes"); // at 10, 20, 50 and 100 %
        QTest::newRow("kit 10260, 25 degrees") << QByteArray(kKit10260) << 10260 << 25 << QVector<int>{100, 47, 15, 6};
        QTest::newRow("kit 10260, 10 degrees") << QByteArray(kKit10260) << 10260 << 10 << QVector<int>{88, 42, 13, 5};
        QTest::newRow("kit 10480, 25 degrees") << QByteArray(kKit10480) << 10480 << 25
                                               << QVector<int>{-1, 686, 241, 106};
        QTest::newRow("kit 10480, 10 degrees") << QByteArray(kKit10480) << 10480 << 10
                                               << QVector<int>{1171, 588, 209, 96};
    }

    void endOfLifeMatchesAHandComputation()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, kit);
        QFETCH(int, celsius);
        QFETCH(QVector<int>, minutes);
        const TSized s = Size(request);
        QVERIFY(s.Answer.value(QLatin1String("ok")).toBool());
        QCOMPARE(s.Result.BatteryKitRecord, kit);
        const TRuntimeCurve curve = ComputeRuntimeCurve(s.Request, s.Result, Environment(celsius));
        const int at[4] = {0, 1, 4, 9};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(curve.Points[at[i]].EndOfLifeMinutes, minutes[i]);
    }

    // Over kits, loads and rooms: never above the new batteries, a colder room
    // never gives more, and a short end-of-life autonomy always warns.
    void endOfLifeNeverAboveNewAndLessWhenColder()
    {
        const QByteArray requests[] = {
            kKit10260,
            kKit10480,
            R"({"sizeLine": 3, "loadPower": 12000, "powerInWatt": true, "autonomyMinutes": 30})",
            R"({"sizeLine": 5, "loadPower": 5000, "autonomyMinutes": 120})",
            R"({"sizeLine": 8, "loadPower": 30000, "loadPercent": 50})",
            R"({"sizeLine": 8, "loadPower": 30000, "autonomyMinutes": 5})",
        };
        for (const QByteArray &request : requests) {
            const TSized s = Size(request);
            QVERIFY2(s.Answer.value(QLatin1String("ok")).toBool(), request.constData());
            for (int ageing : {100, 125, 150}) {
                TRuntimeCurve warmer;
                for (int celsius = 40; celsius >= 0; celsius -= 5) {
                    const TRuntimeCurve curve = ComputeRuntimeCurve(s.Request, s.Result, Environment(celsius, ageing));
                    const QString where = QStringLiteral("%1 at %2 degrees, ageing %3")
                                              .arg(QLatin1String(request))
                                              .arg(celsius)
                                              .arg(ageing);
                    auto notAbove = [](int lower, int upper) { return upper == -1 || (lower != -1 && lower <= upper); };
                    QVERIFY2(notAbove(curve.Own.EndOfLifeMinutes, curve.Own.Minutes), qPrintable(where));
                    for (int i = 0; i < curve.Points.size(); ++i) {
                        const TRuntimePoint &p = curve.Points[i];
                        QVERIFY2(notAbove(p.EndOfLifeMinutes, p.Minutes), qPrintable(where));
                        if (!warmer.Points.isEmpty())
                            QVERIFY2(notAbove(p.EndOfLifeMinutes, warmer.Points[i].EndOfLifeMinutes),
                                     qPrintable(where));
                    }
                    const bool short_ =
                        curve.Own.EndOfLifeMinutes != -1 && curve.Own.EndOfLifeMinutes < s.Request.AutonomyRequired;
                    const QStringList warnings = EngineeringWarnings(curve, s.Request.AutonomyRequired, true);
                    QCOMPARE(warnings.size(), int(short_) + int(celsius > 25));
                    warmer = curve;
                }
            }
            // The new batteries at the reference with no ageing: the same figures as today.
            const TRuntimeCurve plain = ComputeRuntimeCurve(s.Request, s.Result, Environment(25, 100));
            QCOMPARE(plain.Own.EndOfLifeMinutes, s.Result.AutonomyAvailable);
            for (const TRuntimePoint &p : plain.Points)
                QCOMPARE(p.EndOfLifeMinutes, p.Minutes);
        }
    }

    // 9000 VA at 80 % on kit 10260: 5760 W, 13 min new; at end of life 6127.7 x
    // 1.25 / 27 = 283.7 W a block, 5 + 5 x 126.3 / 142 = 9.4, so 9 min, short of 10.
    void headlessAnswersCarryTheEndOfLife()
    {
        const QJsonObject plain = Size(kKit10260).Answer;
        QCOMPARE(plain.value(QLatin1String("autonomyEndOfLife")).toInt(), 9);
        const QJsonArray warnings = plain.value(QLatin1String("engineeringWarnings")).toArray();
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings.first().toString().contains(QLatin1String("9 min")));
        const QJsonArray points = plain.value(QLatin1String("runtimeCurve")).toArray();
        QCOMPARE(points.size(), 10);
        QCOMPARE(points.first().toArray().size(), 4);
        QCOMPARE(points.first().toArray().at(3).toInt(), 100);

        const QJsonObject beyond = Size(kKit10480).Answer;
        QVERIFY(beyond.value(QLatin1String("runtimeCurve")).toArray().first().toArray().at(3).isNull());

        const QJsonObject fresh =
            Size(R"({"sizeLine": 1, "loadPower": 9000, "ageingFactor": 1.0, "ambientTemperature": 25})").Answer;
        QCOMPARE(fresh.value(QLatin1String("autonomyEndOfLife")).toInt(), 13);
        QVERIFY(fresh.value(QLatin1String("engineeringWarnings")).toArray().isEmpty());

        const QJsonObject hot = Size(R"({"sizeLine": 1, "loadPower": 9000, "ambientTemperature": 33,
                                         "ageingFactor": 1.1})")
                                    .Answer;
        QVERIFY(hot.value(QLatin1String("ok")).toBool());
        const QJsonArray hotWarnings = hot.value(QLatin1String("engineeringWarnings")).toArray();
        QCOMPARE(hotWarnings.size(), 1);
        QVERIFY(hotWarnings.first().toString().contains(QLatin1String("51 %")));

        const QJsonObject inverterOnly = Size(R"({"sizeLine": 1, "specialConfig": "onlyInverter"})").Answer;
        QVERIFY(inverterOnly.value(QLatin1String("autonomyEndOfLife")).isNull());
        QVERIFY(inverterOnly.value(QLatin1String("engineeringWarnings")).toArray().isEmpty());
    }

    // The inputs change nothing of the offer: item list, data sheet and records as without them.
    void inputsLeaveTheOfferAlone()
    {
        QJsonObject plain = Size(kKit10260).Answer;
        QJsonObject cold = Size(R"({"sizeLine": 1, "loadPower": 9000, "ambientTemperature": 0,
                                    "ageingFactor": 1.5})")
                               .Answer;
        for (const char *key : {"items", "dataSheet", "request", "result", "heat"})
            QCOMPARE(cold.value(QLatin1String(key)), plain.value(QLatin1String(key)));
    }

    void headlessRefusesValuesOutOfRange_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("key");
        QTest::newRow("below 0 degrees") << QByteArray(R"({"ambientTemperature": -1})") << "ambientTemperature";
        QTest::newRow("above 40 degrees") << QByteArray(R"({"ambientTemperature": 41})") << "ambientTemperature";
        QTest::newRow("not whole degrees") << QByteArray(R"({"ambientTemperature": 20.5})") << "ambientTemperature";
        QTest::newRow("degrees as text") << QByteArray(R"({"ambientTemperature": "20"})") << "ambientTemperature";
        QTest::newRow("ageing below 1.00") << QByteArray(R"({"ageingFactor": 0.99})") << "ageingFactor";
        QTest::newRow("ageing above 1.50") << QByteArray(R"({"ageingFactor": 1.51})") << "ageingFactor";
        QTest::newRow("three decimals") << QByteArray(R"({"ageingFactor": 1.255})") << "ageingFactor";
        QTest::newRow("ageing as text") << QByteArray(R"({"ageingFactor": "1.25"})") << "ageingFactor";
    }

    void headlessRefusesValuesOutOfRange()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, key);
        const QJsonObject answer = Size(request).Answer;
        QVERIFY(!answer.value(QLatin1String("ok")).toBool());
        QCOMPARE(answer.value(QLatin1String("error")).toString(), QStringLiteral("Invalid request value: ") + key);
    }
};

QTEST_GUILESS_MAIN(TestBatteryLife)
#include "test_battery_life.moc"
