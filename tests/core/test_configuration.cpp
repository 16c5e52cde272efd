// Configuration files: the request the wizard's pages accepted, saved with the
// program version and the date, and reopened by replaying it through the same
// pages on the real vendor library.

#include "Configuration.h"
#include "DataSheet.h"
#include "Globals.h"
#include "Headless.h"
#include "ItemList.h"
#include "LayoutGeometry.h"
#include "OfferDocument.h"
#include "Settings.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "WizardCore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QtTest>
#include <functional>

namespace {

/// The bill of materials and the data sheet as the results page shows them.
QString Tables(TRequestParameters req, TResultParameters res)
{
    LayoutFullCabinets(req, res);
    return ItemListText(BuildItemList(req, res, ProgramItemListContext(TIntegerArray{}, SetupData))) + QLatin1Char('\n') +
           DataSheetText(BuildDataSheet(req, res, ProgramDataSheetContext(SetupData)));
}

/// One wizard run the way a user clicks through it; false when a page refused.
using TSteps = std::function<bool(TWizardCore &)>;

struct TWizardCase {
    const char *Name;
    bool Debug;
    const char *LanguageFile;
    int32_t LanguageId;
    TSteps Steps;
};

/// Phases and Power pages; line -1 is the default (largest) size.
bool Power(TWizardCore &core, int32_t kind, const QString &load, int32_t line, bool inWatt = false,
           const QString &margin = QStringLiteral("0"))
{
    core.PhasesNext(true, kind);
    if (line == -1)
        line = core.DefaultSizeLine();
    core.EnterPower();
    core.SelectSizeLine(line, inWatt);
    const TPageError e = core.PowerNext(load, margin, inWatt, line);
    if (!e.Ok()) {
        qWarning("power page: %s", qPrintable(e.MessageKey));
        return false;
    }
    core.EnterRedundancyForward();
    return true;
}

/// The first accessory that takes a quantity, ticked with `quantity`; false when none does.
bool TickAccessoryWithQuantity(TWizardCore &core, int32_t quantity)
{
    TAccessoriesRecord &list = core.AccessoryList();
    for (int32_t i = 0; i < list.Ids.size(); ++i) {
        if (core.ToggleEntry(list, i)) {
            list.Quantities[i] = quantity;
            return true;
        }
        core.ToggleEntry(list, i);
    }
    return false;
}

/// The pages after the autonomy: advanced (when shown), accessories, contracts, Finish.
bool Rest(TWizardCore &core, const QString &special = QStringLiteral("none"), int32_t batteryLine = 0,
          const std::function<void()> &accessories = {}, const std::function<void()> &contracts = {})
{
    const QList<TWizardPage> &pages = core.PageSequence();
    if (pages.contains(TWizardPage::Advanced) &&
        !core.AdvancedNext(special != QLatin1String("none"), special == QLatin1String("emptyDrawers"),
                           special == QLatin1String("onlyInverter"), batteryLine)
             .Ok())
        return false;
    if (pages.contains(TWizardPage::Accessories)) {
        if (accessories)
            accessories();
        core.AccessoriesNext();
    }
    if (pages.contains(TWizardPage::Contracts)) {
        core.EnterContractsForward();
        if (contracts)
            contracts();
        core.ContractsNext();
    }
    return core.Finish().Ok();
}

QString WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
    return fileName;
}

} // namespace

class TestConfiguration : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTempHome> m_home;

    void UseLanguage(const char *file, int32_t id, bool debug)
    {
        SetupData.LanguageFile = QLatin1String(file);
        SetupData.LanguageID = id;
        SetupData.DebugMode = debug;
    }

private slots:
    void initTestCase()
    {
        m_home = std::make_unique<TTempHome>();
        QVERIFY(UseBuiltProgram());
        SetupData.Version = QStringLiteral("1.4");
    }

    void cleanupTestCase()
    {
        UnloadVendorLibrary();
        m_home.reset();
    }

    // What the pages accepted, replayed, gives the same records and tables: in
    // every wizard path, and after editing the autonomy over an earlier request.
    void recordedRequestReplaysToTheSameConfiguration()
    {
        const TWizardCase cases[] = {
            {"defaults", false, "English.lng", 1033,
             [](TWizardCore &c) {
                 if (!Power(c, 0, QStringLiteral("10000"), -1))
                     return false;
                 c.ApplyRedundancy({0, 0, 0});
                 return c.AutonomyNext(true, QStringLiteral("10"), {}, {}, QStringLiteral("80"), true, 0).Ok() &&
                        Rest(c);
             }},
            {"single-phase output in W, N+1, 1 h 30, empty drawers, two accessories", false, "English.lng", 1033,
             [](TWizardCore &c) {
                 if (!Power(c, 2, QStringLiteral("8000"), 1, true))
                     return false;
                 c.ApplyRedundancy({1});
                 return c.AutonomyNext(false, {}, QStringLiteral("1"), QStringLiteral("30"), QStringLiteral("60"),
                                       true, 0)
                            .Ok() &&
                        Rest(c, QStringLiteral("emptyDrawers"), 0, [&c] {
                            QVERIFY(TickAccessoryWithQuantity(c, 3));
                            c.ToggleEntry(c.AccessoryList(), int32_t(c.AccessoryList().Ids.size()) - 1);
                        });
             }},
            {"per-phase redundancy, non-modular cabinet", false, "English.lng", 1033,
             [](TWizardCore &c) {
                 if (!Power(c, 0, QStringLiteral("20000"), -1))
                     return false;
                 c.ApplyRedundancy({1, 0, 2});
                 return c.AutonomyNext(true, QStringLiteral("25"), {}, {}, QStringLiteral("100"), false, 0).Ok() &&
                        Rest(c);
             }},
            {"inverter only", false, "English.lng", 1033,
             [](TWizardCore &c) {
                 return Power(c, 1, QStringLiteral("9000"), 1) &&
                        c.AutonomyNext(true, QStringLiteral("10"), {}, {}, QStringLiteral("80"), true, 0).Ok() &&
                        Rest(c, QStringLiteral("onlyInverter"));
             }},
            {"debug mode: margin and a chosen battery type", true, "English.lng", 1033,
             [](TWizardCore &c) {
                 return Power(c, 0, QStringLiteral("9000"), -1, false, QStringLiteral("10")) &&
                        c.AutonomyNext(true, QStringLiteral("15"), {}, {}, QStringLiteral("80"), true, 2).Ok() &&
                        Rest(c, QStringLiteral("none"), 2);
             }},
            {"Italian home market with a contract", false, "Italian.lng", 1040,
             [](TWizardCore &c) {
                 return Power(c, 0, QStringLiteral("15000"), -1) &&
                        c.AutonomyNext(true, QStringLiteral("12"), {}, {}, QStringLiteral("80"), true, 0).Ok() &&
                        Rest(c, QStringLiteral("none"), 0, {},
                             [&c] { c.ToggleEntry(c.ShownContracts(), int32_t(c.ShownContracts().Ids.size()) - 1); });
             }},
        };
        for (const TWizardCase &test : cases) {
            UseLanguage(test.LanguageFile, test.LanguageId, test.Debug);
            const TWizardContext context{test.Debug, IsHomeMarket(SetupData), test.LanguageId};
            TRequestParameters req{};
            TResultParameters res{};
            TWizardCore core(req, res, context, TWizardMode::NewConfiguration);
            core.FillAccessoryLists();
            QVERIFY2(test.Steps(core), test.Name);
            const QJsonObject recorded = core.RecordedRequest();
            QCOMPARE(recorded.value("accessories").toArray().size(), res.Accessories.Accessories.size());
            if (QByteArray(test.Name).contains("accessories")) {
                QCOMPARE(res.Accessories.Accessories.size(), 2);
                QCOMPARE(res.Accessories.Accessories.first().Quantity, 3);
            }
            QCOMPARE(res.Accessories.Contracts.size(), QByteArray(test.Name).contains("contract") ? 1 : 0);

            TRequestParameters replayedReq{};
            TResultParameters replayedRes{};
            const TConfigurationReplay replay = ReplayConfiguration(recorded, replayedReq, replayedRes);
            QVERIFY2(replay.Ok, qPrintable(QString::fromLatin1(test.Name) + QStringLiteral(": ") + replay.Message));
            QVERIFY2(replay.IgnoredKeys.isEmpty(), test.Name);
            QCOMPARE(replayedRes.AutonomyAvailable, res.AutonomyAvailable);
            QCOMPARE(replayedRes.Accessories.Accessories.size(), res.Accessories.Accessories.size());
            QCOMPARE(replayedRes.Accessories.Contracts.size(), res.Accessories.Contracts.size());
            QCOMPARE(Tables(replayedReq, replayedRes), Tables(req, res));

            // Editing the autonomy keeps the earlier pages' keys and replaces the rest.
            TWizardCore edit(req, res, context, TWizardMode::EditAutonomy);
            edit.FillAccessoryLists();
            QVERIFY(edit.AutonomyNext(true, QStringLiteral("40"), {}, {}, QStringLiteral("50"),
                                      req.ModularBatteryCabinet, 0)
                        .Ok());
            QVERIFY(Rest(edit, req.OnlyInverter ? QStringLiteral("onlyInverter")
                                                : req.EmptyDrawers ? QStringLiteral("emptyDrawers")
                                                                   : QStringLiteral("none"),
                         req.BatteryType + 1));
            const QJsonObject edited = edit.RecordedRequest(recorded);
            QCOMPARE(edited.value("loadPower"), recorded.value("loadPower"));
            QCOMPARE(edited.value("autonomyMinutes").toString(), QStringLiteral("40"));
            TRequestParameters editedReq{};
            TResultParameters editedRes{};
            QVERIFY2(ReplayConfiguration(edited, editedReq, editedRes).Ok, test.Name);
            QCOMPARE(Tables(editedReq, editedRes), Tables(req, res));
        }
        UseLanguage("English.lng", 1033, false);
    }

    // Saved, reopened and saved again: the same bytes; version and date first.
    void savedReopenedAndSavedAgainIsTheSameFile()
    {
        const QJsonObject request{{"loadPower", "8000"}, {"powerInWatt", true}, {"sizeLine", 1},
                                  {"redundancy", QJsonArray{0, 1, 0}}, {"autonomyInMinutes", true},
                                  {"autonomyMinutes", "10"}, {"loadPercent", "80"},
                                  {"accessories", QJsonArray{QJsonObject{{"record", 20000}, {"quantity", 2}}}},
                                  {"specialConfig", "none"}, {"language", "English.lng"}};
        const QByteArray text = ConfigurationText(request, QStringLiteral("1.4"), QDate(2026, 12, 9));
        QVERIFY(text.startsWith("{\n    \"programVersion\": \"1.4\",\n    \"savedOn\": \"2026-12-09\",\n"));
        QVERIFY(text.indexOf("\"language\"") < text.indexOf("\"loadPower\""));
        QVERIFY(text.indexOf("\"specialConfig\"") < text.indexOf("\"accessories\""));
        const QString file = WriteFile(m_home->Path() + "/saved.vxcfg", text);
        const TOpenedConfiguration opened = ReadConfigurationFile(file, QStringLiteral("1.4"));
        QCOMPARE(int(opened.Fault), int(TConfigurationFault::None));
        QCOMPARE(opened.Keys.Request, request);
        QVERIFY(!opened.Newer);
        QCOMPARE(ConfigurationText(opened.Keys.Request, opened.Keys.ProgramVersion,
                                   QDate::fromString(opened.Keys.SavedOn, Qt::ISODate)),
                 text);
    }

    // Damaged, empty, foreign and odd files are told apart from configurations;
    // one from a newer program opens with what this one knows.
    void filesThatAreNotConfigurations_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("fault");
        const int none = int(TConfigurationFault::None), damaged = int(TConfigurationFault::NotConfiguration);
        QTest::newRow("empty") << QByteArray() << damaged;
        QTest::newRow("blank lines") << QByteArray("\n \r\n\t") << damaged;
        QTest::newRow("cut off") << QByteArray("{\"programVersion\": \"1.4\", \"loadPo") << damaged;
        QTest::newRow("an array") << QByteArray("[{\"programVersion\": \"1.4\"}]") << damaged;
        QTest::newRow("a bare request") << QByteArray("{\"loadPower\": 9000}") << damaged;
        QTest::newRow("a number as version") << QByteArray("{\"programVersion\": 1.4}") << damaged;
        QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << damaged;
        QTest::newRow("too large") << QByteArray("{\"programVersion\": \"1.4\", \"x\": \"") +
                                          QByteArray(kMaxConfigurationBytes, 'a') + "\"}"
                                   << damaged;
        QTest::newRow("nothing but a version") << QByteArray("{\"programVersion\": \"1.4\"}") << none;
    }

    void filesThatAreNotConfigurations()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, fault);
        const QString file = WriteFile(m_home->Path() + "/odd.vxcfg", bytes);
        QCOMPARE(int(ReadConfigurationFile(file, QStringLiteral("1.4")).Fault), fault);
    }

    void unreadableTargets()
    {
        for (const QString &name : {m_home->Path() + "/missing.vxcfg", m_home->Path(), QStringLiteral("/dev/zero")}) {
            const TOpenedConfiguration opened = ReadConfigurationFile(name, QStringLiteral("1.4"));
            QVERIFY2(opened.Fault == TConfigurationFault::Unreadable, qPrintable(name));
            QVERIFY(!opened.Detail.isEmpty());
        }
    }

    void newerProgramOpensWhatItKnows()
    {
        const QString file = WriteFile(m_home->Path() + "/newer.vxcfg", R"({"programVersion": "9.0",
            "savedOn": "2031-02-30", "loadPower": "9000", "sizeLine": 1, "harmonicFilter": true,
            "contracts": [17], "powerFactor": 0.9})");
        const TOpenedConfiguration opened = ReadConfigurationFile(file, QStringLiteral("1.4"));
        QCOMPARE(int(opened.Fault), int(TConfigurationFault::None));
        QVERIFY(opened.Newer);
        QCOMPARE(opened.Keys.IgnoredKeys, QStringList({"harmonicFilter", "powerFactor", "savedOn"}));
        // The English edition shows no contracts page: the contracts are left out, the rest is sized.
        TRequestParameters req{};
        TResultParameters res{};
        const TConfigurationReplay replay = ReplayConfiguration(opened.Keys.Request, req, res);
        QVERIFY2(replay.Ok, qPrintable(replay.Message));
        QCOMPARE(replay.IgnoredKeys, QStringList{"contracts"});
        QCOMPARE(req.LoadPower, 9000);
        QVERIFY(!replay.Request.contains("contracts"));
    }

    // A value this program cannot use refuses the whole file and leaves the records.
    void refusedValueLeavesTheRecords()
    {
        TRequestParameters req{};
        req.LoadPower = 4321;
        TResultParameters res{};
        for (const QJsonObject &request : {QJsonObject{{"outputKind", 7}}, QJsonObject{{"loadPower", "999999"}}}) {
            const TConfigurationReplay replay = ReplayConfiguration(request, req, res);
            QVERIFY(!replay.Ok);
            QVERIFY(!replay.Message.isEmpty());
            QCOMPARE(req.LoadPower, 4321);
        }
        QCOMPARE(ReplayConfiguration(QJsonObject{{"outputKind", 7}}, req, res).Message,
                 QStringLiteral("the value of \"outputKind\" cannot be used."));
    }

    // VarnexCfg --size reads the same file: the tables of the request it holds,
    // and the keys it left out; a bare request still refuses an unknown key.
    void headlessSizesAConfigurationFile()
    {
        const QByteArray request = R"("loadPower": "9000", "sizeLine": 1, "autonomyMinutes": "20")";
        const QString bare = WriteFile(m_home->Path() + "/bare.json", "{" + request + "}");
        const QString saved = WriteFile(m_home->Path() + "/saved.vxcfg",
                                        R"({"programVersion": "1.4", "savedOn": "2026-12-09", "cableLength": 12, )" +
                                            request + "}");
        const QString unknown = WriteFile(m_home->Path() + "/unknown.json", "{\"cableLength\": 12, " + request + "}");
        auto size = [](const QString &file) {
            QProcess program;
            program.start(BuiltProgramPath() + QStringLiteral("VarnexCfg"), {QStringLiteral("--size"), file});
            if (!program.waitForFinished(60000))
                qFatal("--size did not finish");
            return QJsonDocument::fromJson(program.readAllStandardOutput()).object();
        };
        const QJsonObject fromBare = size(bare), fromSaved = size(saved);
        QVERIFY(fromSaved.value("ok").toBool());
        QCOMPARE(fromSaved.value("ignoredKeys").toArray(), QJsonArray{"cableLength"});
        QVERIFY(!fromBare.contains("ignoredKeys"));
        for (const char *key : {"items", "dataSheet", "result", "request", "runtimeCurve"})
            QCOMPARE(fromSaved.value(key), fromBare.value(key));
        QCOMPARE(size(unknown).value("error").toString(), QStringLiteral("Invalid request value: cableLength"));
    }
};

QTEST_GUILESS_MAIN(TestConfiguration)
#include "test_configuration.moc"
