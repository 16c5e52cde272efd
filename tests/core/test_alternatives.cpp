// Alternatives in one offer: the keys in which each differs from the main
// request, merged back into whole requests that are sized by the same replay as
// any request, and the comparison of their figures beside the main configuration.

#include "Alternatives.h"
#include "Headless.h"
#include "RequestKeys.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QJsonObject ParseObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad JSON: %s", qPrintable(error.errorString()));
    return doc.object();
}

/// The value of the data sheet row with this name in an answer.
QString SheetValue(const QJsonObject &answer, const QString &name)
{
    for (const QJsonValue &row : answer.value("dataSheet").toArray())
        if (row.toArray().at(0).toString() == name)
            return row.toArray().at(1).toString();
    return QStringLiteral("<none>");
}

/// The comparison row with this label.
QStringList ComparisonRow(const QJsonObject &answer, const QString &label)
{
    for (const QJsonValue &row : answer.value("comparison").toArray())
        if (row.toArray().at(0).toString() == label)
            return row.toVariant().toStringList();
    return {};
}

/// The members in which two answers differ, for the failure message.
QByteArray DifferingMembers(const QJsonObject &a, const QJsonObject &b)
{
    QStringList keys;
    for (const QString &key : a.keys() + b.keys())
        if (a.value(key) != b.value(key) && !keys.contains(key))
            keys << key + QStringLiteral(": ") +
                        QString::fromUtf8(QJsonDocument(QJsonArray{a.value(key), b.value(key)}).toJson(
                            QJsonDocument::Compact));
    return keys.join(QStringLiteral("\n")).toUtf8();
}

} // namespace

class TestAlternatives : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTempHome> m_home;
    THeadlessSession m_session;

    QJsonObject Answer(const QJsonObject &request)
    {
        return ParseObject(SizeRequestText(request, THeadlessHooks(), m_session));
    }

private slots:
    void initTestCase()
    {
        m_home = std::make_unique<TTempHome>();
        QVERIFY(UseBuiltProgram());
        m_session = ReadHeadlessSession();
    }

    void cleanupTestCase()
    {
        UnloadVendorLibrary();
        m_home.reset();
    }

    // An alternative holds only what differs; merged over the main request it
    // gives the whole request back.
    void mergeAndDiffRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("main");
        QTest::addColumn<QByteArray>("full");
        QTest::addColumn<QByteArray>("diff");
        QTest::newRow("one value changed")
            << QByteArray(R"({"loadPower": "10000", "autonomyMinutes": "15"})")
            << QByteArray(R"({"loadPower": "10000", "autonomyMinutes": "30"})")
            << QByteArray(R"({"autonomyMinutes": "30"})");
        QTest::newRow("a key added and one left out")
            << QByteArray(R"({"loadPower": "10000", "accessories": [{"record": 1, "quantity": 1}]})")
            << QByteArray(R"({"loadPower": "10000", "modularBatteryCabinet": false})")
            << QByteArray(R"({"accessories": null, "modularBatteryCabinet": false})");
        QTest::newRow("the same request") << QByteArray(R"({"loadPower": "8000", "redundancy": [1, 0, 0]})")
                                          << QByteArray(R"({"loadPower": "8000", "redundancy": [1, 0, 0]})")
                                          << QByteArray("{}");
        QTest::newRow("the main's alternatives are no difference")
            << QByteArray(R"({"loadPower": "8000", "alternatives": [{"loadPower": "9000"}]})")
            << QByteArray(R"({"loadPower": "9000"})") << QByteArray(R"({"loadPower": "9000"})");
    }

    void mergeAndDiffRoundTrip()
    {
        QFETCH(QByteArray, main);
        QFETCH(QByteArray, full);
        QFETCH(QByteArray, diff);
        const QJsonObject mainRequest = ParseObject(main), fullRequest = ParseObject(full);
        QCOMPARE(DiffAlternative(mainRequest, fullRequest), ParseObject(diff));
        QCOMPARE(MergeAlternative(mainRequest, ParseObject(diff)), fullRequest);
        // Kept in a request and read back, label and keys stay as they were.
        const QVector<TAlternative> kept{{QStringLiteral("Option A"), ParseObject(diff)}};
        QCOMPARE(RequestAlternatives(WithAlternatives(mainRequest, kept)), kept);
    }

    // The wizard gives the main request again: each alternative keeps the values it
    // gave the pages; its other keys stay; swapped with the main, the keys are taken again.
    void rebaseAndSwapKeepEveryWholeRequest()
    {
        const QJsonObject before = ParseObject(
            R"({"loadPower": "10000", "autonomyMinutes": "15", "alternatives": [{"label": "Option A", "ambientTemperature": 30}]})");
        const QJsonObject after = ParseObject(R"({"loadPower": "10000", "autonomyMinutes": "30"})");
        const QJsonObject rebased = RebaseAlternatives(before, after);
        const QVector<TAlternative> kept = RequestAlternatives(rebased);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(MergeAlternative(rebased, kept[0].Keys), MergeAlternative(before, RequestAlternatives(before)[0].Keys));
        const QJsonObject swapped = SwapWithMain(rebased, 0);
        QCOMPARE(MergeAlternative(swapped, {}), MergeAlternative(before, RequestAlternatives(before)[0].Keys));
        QCOMPARE(MergeAlternative(swapped, RequestAlternatives(swapped)[0].Keys), after);
        QCOMPARE(RequestAlternatives(swapped)[0].Label, QStringLiteral("Option A"));
    }

    // Main 15 minutes; A 30 minutes; B the non-modular cabinet: each column
    // holds what the same request sized on its own answers.
    void comparisonMatchesSeparatelySizedRequests()
    {
        const QJsonObject main = ParseObject(R"({"loadPower": "10000", "autonomyMinutes": "15"})");
        const QJsonArray alternatives{QJsonObject{{"autonomyMinutes", "30"}},
                                      QJsonObject{{"label", "Smaller cabinet"}, {"modularBatteryCabinet", false}}};
        QJsonObject request = main;
        request.insert("alternatives", alternatives);
        const QJsonObject answer = Answer(request);
        QVERIFY2(answer.value("ok").toBool(), QJsonDocument(answer).toJson().constData());
        const QJsonArray answers = answer.value("alternatives").toArray();
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers[0].toObject().value("label").toString(), QStringLiteral("Option A"));
        QCOMPARE(answers[1].toObject().value("label").toString(), QStringLiteral("Smaller cabinet"));

        QList<QJsonObject> separate{Answer(main)};
        for (const TAlternative &a : RequestAlternatives(request))
            separate << Answer(MergeAlternative(main, a.Keys));
        for (int i = 0; i < 2; ++i) {
            QJsonObject alone = answers[i].toObject();
            alone.remove("label");
            QVERIFY2(alone == separate[i + 1], DifferingMembers(alone, separate[i + 1]).constData());
        }
        // Three different configurations, so the columns prove something.
        auto result = [&separate](int i, const char *member) -> QJsonValue { return separate[i]["result"].toObject()[member]; };
        QVERIFY(result(0, "BatteryKitCount") != result(1, "BatteryKitCount"));
        QVERIFY(result(0, "BatteryCabinetRecord") != result(2, "BatteryCabinetRecord"));

        const QJsonArray rows = answer.value("comparison").toArray();
        QCOMPARE(rows.size(), ComparisonRowLabels().size());
        for (const QJsonValue &row : rows)
            QCOMPARE(row.toArray().size(), 4);
        for (const char *name : {"Required autonomy", "Available autonomy"}) {
            QStringList expected{QLatin1String(name)};
            for (const QJsonObject &a : separate)
                expected << SheetValue(a, QLatin1String(name));
            QCOMPARE(ComparisonRow(answer, QLatin1String(name)), expected);
        }
        QStringList endOfLife{QStringLiteral("Autonomy at end of battery life")}, slotRow{"Power module slots"};
        for (const QJsonObject &a : separate) {
            endOfLife << QStringLiteral("%1 min").arg(a["autonomyEndOfLife"].toInt());
            slotRow << QString::number(a["result"]["InverterSlots"].toInt());
        }
        QCOMPARE(ComparisonRow(answer, endOfLife[0]), endOfLife);
        QCOMPARE(ComparisonRow(answer, slotRow[0]), slotRow);
        // Without a price list there is no price to compare.
        QCOMPARE(ComparisonRow(answer, QStringLiteral("Net price")), (QStringList{"Net price", "\u2014", "\u2014", "\u2014"}));
    }

    // A bad alternative is refused with its name; the main request's own figures stay.
    void badAlternativesAreRefusedByName_data()
    {
        QTest::addColumn<QByteArray>("alternatives");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("failed");
        QTest::newRow("not a list") << QByteArray(R"({"autonomyMinutes": "30"})")
                                    << "alternatives must be a list" << -1;
        QTest::newRow("five") << QByteArray(R"([{}, {}, {}, {}, {}])") << "an offer holds at most 4" << -1;
        QTest::newRow("not an object") << QByteArray(R"([{}, 3])") << "alternatives[1] is not a request object"
                                       << -1;
        QTest::newRow("label not text") << QByteArray(R"([{"label": 7}])") << "label of alternatives[0]" << -1;
        QTest::newRow("its own language") << QByteArray(R"([{"label": "B", "language": "Deutsch.lng"}])")
                                          << "alternatives[0] \"B\": \"language\" cannot differ" << -1;
        QTest::newRow("autonomy out of range")
            << QByteArray(R"([{}, {"label": "Long", "autonomyMinutes": "5000"}])")
            << "alternatives[1] \"Long\": ErrorAutonmyRequested" << 1;
        QTest::newRow("unknown key") << QByteArray(R"([{"colour": "red"}])")
                                     << "alternatives[0] \"Option A\": Invalid request value: colour" << 0;
    }

    void badAlternativesAreRefusedByName()
    {
        QFETCH(QByteArray, alternatives);
        QFETCH(QString, error);
        QFETCH(int, failed);
        QJsonObject request = ParseObject(R"({"loadPower": "10000"})");
        request.insert("alternatives", QJsonDocument::fromJson("[" + alternatives + "]").array().at(0));
        const QJsonObject answer = Answer(request);
        QCOMPARE(answer.value("ok").toBool(), false);
        QVERIFY2(answer.value("error").toString().contains(error), qPrintable(answer.value("error").toString()));
        QVERIFY(answer.contains("dataSheet"));
        QVERIFY(!answer.contains("comparison"));
        QCOMPARE(answer.value("errorAlternative").toInt(-1), failed);
        if (failed >= 0)
            QCOMPARE(answer["alternatives"][failed]["ok"].toBool(true), false);
    }
};

QTEST_GUILESS_MAIN(TestAlternatives)
#include "test_alternatives.moc"
