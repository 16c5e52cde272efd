// The table of request keys against the pages that read and record them, on
// the real vendor library: every key of the table is read by its page's replay
// and written back by the recording, and a key given with its table default
// changes nothing.

#include "Globals.h"
#include "Headless.h"
#include "RequestKeys.h"
#include "RequestReplay.h"
#include "Settings.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "WizardCore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QtTest>

namespace {

QJsonObject ParseObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        qFatal("bad JSON in the test data: %s", qPrintable(error.errorString()));
    return doc.object();
}

/// A value of the JSON type the key's kind is written in.
bool FitsKind(TRequestKeyKind kind, const QJsonValue &v)
{
    switch (kind) {
    case TRequestKeyKind::Bool:
        return v.isBool();
    case TRequestKeyKind::Int:
    case TRequestKeyKind::Hundredths:
        return v.isDouble();
    case TRequestKeyKind::IntPerPhase:
        return v.isDouble() || v.isArray();
    case TRequestKeyKind::EditText:
    case TRequestKeyKind::EnumText:
        return v.isString();
    case TRequestKeyKind::List:
        return v.isArray();
    case TRequestKeyKind::Object:
        return v.isObject();
    }
    return false;
}

/// A request in the form the wizard records it, for a language and debug mode.
struct TRecordingCase {
    const char *Name;
    const char *Language;
    int32_t LanguageId;
    bool Debug;
    const char *Request;
};

const TRecordingCase kRecordingCases[] = {
    {"Italian, debug, minutes, everything ticked", "Italian.lng", 1040, true,
     R"({"inputThreePhase": true, "outputKind": 0, "loadPower": "9000", "powerInWatt": false,
         "marginPercent": "5", "sizeLine": 1, "redundancy": [0, 0, 0], "autonomyInMinutes": true,
         "autonomyMinutes": "15", "loadPercent": "70", "modularBatteryCabinet": true,
         "specialConfig": "emptyDrawers", "batteryType": 0,
         "accessories": [{"record": 20020, "quantity": 1}, {"record": 20100, "quantity": 3}],
         "contracts": [20260]})"},
    {"English, hours, single output, N + 2, non-modular", "English.lng", 1033, false,
     R"({"inputThreePhase": true, "outputKind": 2, "loadPower": "13000", "powerInWatt": false,
         "sizeLine": 5, "redundancy": 2, "autonomyInMinutes": false, "autonomyHours": "1",
         "autonomyHoursMinutes": "30", "loadPercent": "80", "modularBatteryCabinet": false,
         "specialConfig": "none", "accessories": []})"},
};

} // namespace

class TestRequestKeys : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTempHome> m_home;
    THeadlessSession m_session;

    static void UseLanguage(const QString &file, int32_t id)
    {
        SetupData.LanguageFile = file;
        SetupData.LanguageID = id;
    }

    /// The value a request without the key gets, as the key's kind writes it.
    QJsonValue DefaultValue(const TRequestKey &key, const QJsonObject &emptyAnswer, const QString &loadPercent)
    {
        switch (key.Kind) {
        case TRequestKeyKind::Bool:
            return key.BoolDefault;
        case TRequestKeyKind::Int:
            return key.IntDefault;
        case TRequestKeyKind::Hundredths:
            return double(key.IntDefault) / 100.0;
        case TRequestKeyKind::IntPerPhase: {
            // One per phase where the page showed one choice per phase.
            const QJsonValue lines = emptyAnswer.value(QLatin1String("redundancyLines"));
            if (!lines.isArray())
                return key.IntDefault;
            QJsonArray perPhase;
            for (qsizetype i = 0; i < lines.toArray().size(); ++i)
                perPhase.append(key.IntDefault);
            return perPhase;
        }
        case TRequestKeyKind::EditText:
            // The vendor's percentage comes before the table's.
            return key.Id == TRequestKeyId::LoadPercent ? loadPercent : QString::fromLatin1(key.TextDefault);
        case TRequestKeyKind::EnumText:
            return key.TextDefault ? QJsonValue(QString::fromLatin1(key.TextDefault)) : QJsonValue();
        case TRequestKeyKind::List:
            return QJsonArray();
        case TRequestKeyKind::Object:
            return QJsonObject();
        }
        return QJsonValue();
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

    // Debug mode shows the Advanced page; the Italian edition the contracts too.
    void defaultsGiveTheAnswerOfAnEmptyRequest_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("languageId");
        QTest::addColumn<int>("pages");
        QTest::newRow("English, pages 0 to 5") << "English.lng" << 1033 << 6;
        QTest::newRow("Italian, pages 0 to 6") << "Italian.lng" << 1040 << 7;
    }

    void defaultsGiveTheAnswerOfAnEmptyRequest()
    {
        QFETCH(QString, language);
        QFETCH(int, languageId);
        QFETCH(int, pages);
        UseLanguage(language, languageId);
        const QJsonObject empty{{RequestKeyName(TRequestKeyId::DebugMode), true},
                                {RequestKeyName(TRequestKeyId::Language), language}};
        const QByteArray emptyAnswer = SizeRequestText(empty, THeadlessHooks(), m_session);
        const QJsonObject answer = ParseObject(emptyAnswer);
        QVERIFY2(answer.value("ok").toBool(), emptyAnswer.constData());

        TRequestParameters req{};
        TResultParameters res{};
        const TWizardCore core(req, res, TWizardContext{true, IsHomeMarket(SetupData), languageId},
                               TWizardMode::NewConfiguration);
        QCOMPARE(core.PageSequence().size(), pages);
        QJsonObject everyKey = empty;
        for (const TRequestKey &key : kRequestKeys) {
            // A key of a page not shown is refused.
            if (key.Page == kWholeRequest || !core.PageSequence().contains(TWizardPage(key.Page)))
                continue;
            const QJsonValue value = DefaultValue(key, answer, core.DefaultLoadPercentText());
            QVERIFY2(FitsKind(key.Kind, value), key.Name);
            QJsonObject oneKey = empty;
            oneKey.insert(RequestKeyName(key.Id), value);
            everyKey.insert(RequestKeyName(key.Id), value);
            QVERIFY2(SizeRequestText(oneKey, THeadlessHooks(), m_session) == emptyAnswer, key.Name);
        }
        QCOMPARE(SizeRequestText(everyKey, THeadlessHooks(), m_session), emptyAnswer);
        UseLanguage(QStringLiteral("English.lng"), 1033);
    }

    // A request in the form the wizard records it, replayed page by page, is
    // recorded as it was given.
    void everyPageKeyIsReadAndRecorded_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kRecordingCases)); ++i)
            QTest::newRow(kRecordingCases[i].Name) << i;
    }

    void everyPageKeyIsReadAndRecorded()
    {
        QFETCH(int, index);
        const TRecordingCase &test = kRecordingCases[index];
        UseLanguage(QLatin1String(test.Language), test.LanguageId);
        const QJsonObject given = ParseObject(test.Request);

        TRequestParameters req{};
        TResultParameters res{};
        TWizardCore core(req, res, TWizardContext{test.Debug, IsHomeMarket(SetupData), test.LanguageId},
                         TWizardMode::NewConfiguration);
        core.FillAccessoryLists();
        const TRequestReader reader(given);
        TPagesShown shown;
        TRefusal refusal;
        TPageReplay replay{core, reader, test.Debug, shown, refusal};
        for (TWizardPage page : core.PageSequence())
            QVERIFY2(ReplayPage(page, replay), qPrintable(refusal.Error));
        QVERIFY(core.Finish().Ok());

        const QJsonObject recorded = core.RecordedRequest();
        QCOMPARE(recorded, given);
        for (const TRequestKey &key : kRequestKeys)
            if (recorded.contains(RequestKeyName(key.Id)))
                QVERIFY2(FitsKind(key.Kind, recorded.value(RequestKeyName(key.Id))), key.Name);
        UseLanguage(QStringLiteral("English.lng"), 1033);
    }

    // Together the cases above name every key of the pages, and nothing else.
    void recordingCasesNameEveryPageKey()
    {
        QSet<QString> named, pageKeys;
        for (const TRecordingCase &test : kRecordingCases)
            for (const QString &key : ParseObject(test.Request).keys())
                named.insert(key);
        for (const TRequestKey &key : kRequestKeys)
            if (key.Page != kWholeRequest)
                pageKeys.insert(QLatin1String(key.Name));
        QCOMPARE(named, pageKeys);
    }
};

QTEST_GUILESS_MAIN(TestRequestKeys)
#include "test_request_keys.moc"
