// The headless sizing mode of the real program: VarnexCfg --size FILE, run as
// a separate process in a private home, with the vendor library and language
// files of the program folder.

#include "Configuration.h"
#include "Globals.h"
#include "Headless.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <unistd.h>

namespace {

struct TRunOutput {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
    QJsonDocument Doc;
};

const QStringList kRequestFields{"MaxUpsPower",         "LoadPower",        "PowerInWatt",      "PowerMarginPercent",
                                 "AutonomyLoadPercent", "MaxUpsSlots",      "OutputLines",      "LoadPhases",
                                 "InputThreePhase",     "OutputKind",       "AutonomyRequired", "AutonomyInMinutes",
                                 "ModularBatteryCabinet", "SpecialConfig",  "EmptyDrawers",     "OnlyInverter",
                                 "BatteryType"};

const QStringList kResultFields{
    "ModuleRecord",      "ModuleVA",          "ModuleW",          "ModulesL1",          "ModulesL2",
    "ModulesL3",         "RedundantL1",       "RedundantL2",      "RedundantL3",        "InverterRecord",
    "InverterSlots",     "InverterKitPositions", "BatteryCabinetRecord", "BatteryCabinetCount",
    "CabinetKitPositions", "KitsInLastCabinet", "BatteryKitRecord", "BatteryKitCount", "AutonomyAvailable",
    "StringsSetByPower", "AutonomyMinusOne",  "BatteryCapacityAh", "KitsPerString",     "EmptyKitRecord",
    "EmptyKitCount",     "Accessories",       "TotalPrice"};

/// Every key of `expected` has the same value in `actual` (objects compared the same way).
bool ContainsSubset(const QJsonValue &actual, const QJsonValue &expected, const QString &path, QString &why)
{
    if (expected.isObject()) {
        if (!actual.isObject()) {
            why = path + " is not an object";
            return false;
        }
        const QJsonObject a = actual.toObject(), e = expected.toObject();
        for (auto it = e.begin(); it != e.end(); ++it)
            if (!ContainsSubset(a.value(it.key()), it.value(), path + "." + it.key(), why))
                return false;
        return true;
    }
    if (actual != expected) {
        why = QStringLiteral("%1: got %2, expected %3")
                  .arg(path, QString::fromUtf8(QJsonDocument(QJsonArray{actual}).toJson(QJsonDocument::Compact)),
                       QString::fromUtf8(QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact)));
        return false;
    }
    return true;
}

QJsonObject ParseObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad JSON in the test data: %s", qPrintable(error.errorString()));
    return doc.object();
}

} // namespace

class TestHeadless : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTempHome> m_home;
    int m_fileCount = 0;

    TRunOutput Run(const QByteArray &requestFileText, const QStringList &extra = {})
    {
        const QString file = m_home->Path() + QStringLiteral("/request%1.json").arg(++m_fileCount);
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(requestFileText) != requestFileText.size())
            qFatal("cannot write %s", qPrintable(file));
        f.close();
        return RunArgs(QStringList{"--size", file} + extra);
    }

    QString RequestFile(const QByteArray &requestFileText)
    {
        const QString file = m_home->Path() + QStringLiteral("/request%1.json").arg(++m_fileCount);
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(requestFileText) != requestFileText.size())
            qFatal("cannot write %s", qPrintable(file));
        return file;
    }

    /// Runs the program (or another one) with `setUp` applied to its process first.
    TRunOutput RunArgs(const QStringList &args, const std::function<void(QProcess &)> &setUp = {},
                       const QString &program = BuiltProgramPath() + QStringLiteral("VarnexCfg"))
    {
        TRunOutput r;
        QProcess p;
        if (setUp)
            setUp(p);
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.ExitCode = p.exitCode();
        r.Out = p.readAllStandardOutput();
        r.Err = p.readAllStandardError();
        r.Doc = QJsonDocument::fromJson(r.Out);
        return r;
    }

    /// Sizes one request object; fails the test when the program does not answer with an object.
    QJsonObject Size(const QByteArray &request)
    {
        const TRunOutput r = Run(request);
        if (r.ExitCode != 0 || !r.Doc.isObject())
            qWarning("exit %d, stderr: %s", r.ExitCode, r.Err.constData());
        return r.Doc.object();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(BuiltProgramPath() + "VarnexCfg"));
        m_home = std::make_unique<TTempHome>();
        // The program finds its own runtime folder, so that standard error holds only its messages.
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void cleanupTestCase() { m_home.reset(); }

    // --- Whole sizings

    void wholeSizings_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");

        // 10000 VA on the 10 kVA cabinet (three 3333.33 VA modules, 12 kit positions), 80 %,
        // 10 minutes: P = 6400 W, efficiency 0.94 (80 % of the module power), B = 6808.51 W.
        // 9 Ah kit: 25 blocks at 268 W = 1.25 strings, threshold 0.35 -> 1 string of 4 kits
        // (cost 860, against 2 strings of 7.2 Ah at 1360). One string meets the minimum for
        // 10 kVA of modules, so the time is taken again from B / 27 blocks = 252.17 W,
        // between 10 (268 W) and 15 minutes (195 W): 11.08 -> 11 minutes. 4 kits in 12
        // positions: no battery cabinet.
        const QByteArray tenKvaResult = R"("ModuleRecord": 10200, "ModulesL1": 1, "ModulesL2": 1, "ModulesL3": 1,
            "RedundantL1": 0, "RedundantL2": 0, "RedundantL3": 0, "InverterRecord": 10020, "InverterSlots": 3,
            "InverterKitPositions": 12, "BatteryKitRecord": 10260, "KitsPerString": 4, "BatteryKitCount": 4,
            "BatteryCabinetRecord": -1, "BatteryCabinetCount": 0, "CabinetKitPositions": 0, "KitsInLastCabinet": 0,
            "AutonomyAvailable": 11, "StringsSetByPower": true, "AutonomyMinusOne": 0, "BatteryCapacityAh": 9,
            "EmptyKitRecord": 0, "EmptyKitCount": 0, "TotalPrice": 0,
            "Accessories": {"Accessories": [], "Contracts": []})";
        QTest::newRow("10 kVA, VA, 10 min")
            << QByteArray(R"({"sizeLine": 1})")
            << R"({"ok": true, "redundancyLines": [0, 0, 0],
                 "request": {"MaxUpsPower": 10000, "LoadPower": 10000, "PowerInWatt": false, "PowerMarginPercent": 0,
                   "AutonomyLoadPercent": 80, "MaxUpsSlots": 3, "OutputLines": 3, "LoadPhases": 1,
                   "InputThreePhase": true, "OutputKind": 0, "AutonomyRequired": 10, "AutonomyInMinutes": true,
                   "ModularBatteryCabinet": true, "SpecialConfig": false, "EmptyDrawers": false,
                   "OnlyInverter": false, "BatteryType": -1},
                 "result": {)" + tenKvaResult + "}}";
        // 8000 W is the same load: rated in W, 3 x 2666.66 W = 7999.98 -> 8000.
        QTest::newRow("8000 W") << QByteArray(R"({"sizeLine": 1, "loadPower": 8000, "powerInWatt": true})")
                                << R"({"ok": true, "request": {"MaxUpsPower": 8000, "PowerInWatt": true},
                                      "result": {)" + tenKvaResult + "}}";
        QTest::newRow("three-phase output")
            << QByteArray(R"({"sizeLine": 1, "outputKind": 1})")
            << R"({"ok": true, "redundancyLines": 0, "request": {"OutputKind": 1, "OutputLines": 3, "LoadPhases": 3},
                  "result": {)" + tenKvaResult + "}}";
        QTest::newRow("single-phase output")
            << QByteArray(R"({"sizeLine": 1, "outputKind": 2})")
            << R"({"ok": true, "redundancyLines": 0, "request": {"OutputKind": 2, "OutputLines": 1, "LoadPhases": 1},
                  "result": {)" + tenKvaResult + "}}";
        QTest::newRow("empty drawers")
            << QByteArray(R"({"sizeLine": 1, "specialConfig": "emptyDrawers"})")
            << R"({"ok": true, "request": {"SpecialConfig": true, "EmptyDrawers": true, "OnlyInverter": false},
                  "result": {)" +
                   QByteArray(tenKvaResult).replace(R"("EmptyKitRecord": 0, "EmptyKitCount": 0)",
                                                    R"("EmptyKitRecord": 10280, "EmptyKitCount": 1)") +
                   "}}";

        // The same load on the non-modular cabinet: the 94 Ah kit gives 2940 W per block at 10
        // minutes, 2 blocks: one string of one kit. B / 20 = 340.43 W lies between 120 (445.2 W)
        // and 180 minutes (322.2 W): 171.1 -> 171 minutes. One kit: strings set by power.
        QTest::newRow("non-modular cabinet")
            << QByteArray(R"({"sizeLine": 1, "modularBatteryCabinet": false})")
            << QByteArray(R"({"ok": true, "request": {"ModularBatteryCabinet": false},
                 "result": {"BatteryKitRecord": 10480, "KitsPerString": 1, "BatteryKitCount": 1,
                   "BatteryCabinetRecord": 10460, "BatteryCabinetCount": 1, "CabinetKitPositions": 1,
                   "KitsInLastCabinet": 0, "AutonomyAvailable": 171, "StringsSetByPower": true,
                   "BatteryCapacityAh": 94}})");

        // Defaults: the largest size, 60 kVA with three 5 kVA modules and no kit positions.
        // Three 5 kVA modules need round up(1.5) = 2 strings: u = B / 47 blocks = 144.86 W gives
        // 23.0 minutes (between 20 and 30 minutes); at 23 minutes 144.9 W per block, 46 blocks,
        // 2.3 strings -> 2 strings of the 9 Ah kit, 8 kits in one 20-position cabinet (the
        // cabinet's preferred one). One string fewer: B / 27 = 252.17 W, 11 minutes.
        QTest::newRow("defaults, 60 kVA")
            << QByteArray("{}")
            << QByteArray(R"({"ok": true, "redundancyLines": [3, 3, 3],
                 "request": {"MaxUpsPower": 60000, "MaxUpsSlots": 12, "LoadPower": 10000},
                 "result": {"InverterRecord": 10120, "ModuleRecord": 10220, "ModuleVA": 5000, "ModuleW": 4000,
                   "ModulesL1": 1, "ModulesL2": 1, "ModulesL3": 1, "BatteryKitRecord": 10260, "BatteryKitCount": 8,
                   "BatteryCabinetRecord": 10160, "BatteryCabinetCount": 1, "CabinetKitPositions": 20,
                   "KitsInLastCabinet": 8, "AutonomyAvailable": 23, "AutonomyMinusOne": 11,
                   "StringsSetByPower": true, "BatteryCapacityAh": 18}})");

        // Per-phase redundancy on the 20 kVA cabinet (two slots per phase, 8 kit positions):
        // five modules of 3333.33 VA need 2 strings; 8 kits fill the inverter's positions.
        QTest::newRow("redundancy per phase")
            << QByteArray(R"({"sizeLine": 5, "redundancy": [1, 0, 1]})")
            << QByteArray(R"({"ok": true, "redundancyLines": [1, 1, 1],
                 "result": {"InverterRecord": 10060, "ModulesL1": 1, "ModulesL2": 1, "ModulesL3": 1,
                   "RedundantL1": 1, "RedundantL2": 0, "RedundantL3": 1, "BatteryKitCount": 8,
                   "BatteryCabinetRecord": -1, "BatteryCabinetCount": 0, "AutonomyAvailable": 23,
                   "StringsSetByPower": true}})");
        // Single output: 13000 VA needs four modules (2, 1, 1); two redundant go to L2 and L3.
        QTest::newRow("redundancy, single output")
            << QByteArray(R"({"sizeLine": 5, "outputKind": 2, "loadPower": 13000, "redundancy": 2})")
            << QByteArray(R"({"ok": true, "redundancyLines": 2,
                 "result": {"ModulesL1": 2, "ModulesL2": 1, "ModulesL3": 1,
                   "RedundantL1": 0, "RedundantL2": 1, "RedundantL3": 1}})");

        // Debug mode: the 7.2 Ah line, 30 blocks -> 2 strings of 4 kits, 17 minutes; and the margin.
        // 14.4 Ah is the float 14.3999996, printed with the digits that give that float back.
        QTest::newRow("battery type 7.2 Ah")
            << QByteArray(R"({"sizeLine": 1, "debugMode": true, "batteryType": 0})")
            << QByteArray(R"({"ok": true, "request": {"BatteryType": 0},
                 "result": {"BatteryKitRecord": 10240, "BatteryKitCount": 8, "StringsSetByPower": false,
                   "AutonomyAvailable": 17, "BatteryCabinetRecord": -1, "BatteryCapacityAh": 14.3999996}})");
        QTest::newRow("margin in debug mode")
            << QByteArray(R"({"sizeLine": 1, "debugMode": true, "marginPercent": 10, "loadPower": 9000})")
            << QByteArray(R"({"ok": true, "request": {"PowerMarginPercent": 10, "LoadPower": 9000},
                 "result": {"ModulesL1": 1, "ModulesL2": 1, "ModulesL3": 1}})");
        QTest::newRow("hours and minutes")
            << QByteArray(R"({"sizeLine": 1, "autonomyInMinutes": false, "autonomyHours": 1,
                              "autonomyHoursMinutes": 30, "loadPercent": 50})")
            << QByteArray(R"({"ok": true, "request": {"AutonomyRequired": 90, "AutonomyInMinutes": false,
                              "AutonomyLoadPercent": 50}})");
        QTest::newRow("typed texts") << QByteArray(R"({"sizeLine": 1, "loadPower": " 9000 ", "autonomyMinutes": "15"})")
                                     << QByteArray(R"({"ok": true, "request": {"LoadPower": 9000, "AutonomyRequired": 15}})");

        // Only the inverter: no batteries counted, nothing else of the batteries computed.
        QTest::newRow("only inverter")
            << QByteArray(R"({"sizeLine": 1, "specialConfig": "onlyInverter"})")
            << QByteArray(R"({"ok": true, "request": {"SpecialConfig": true, "OnlyInverter": true, "EmptyDrawers": false},
                 "result": {"BatteryKitCount": 0, "BatteryCabinetCount": 0, "BatteryKitRecord": 0,
                   "AutonomyAvailable": 0, "ModuleRecord": 10200}})");

        // Italian edition: accessories (in list order) and the contracts of the 10 kVA band.
        QTest::newRow("accessories and contracts")
            << QByteArray(R"({"language": "Italian.lng", "sizeLine": 1,
                              "accessories": [{"record": 20100, "quantity": 3}, {"record": 20020}, {"record": 20220}],
                              "contracts": [20260]})")
            << QByteArray(R"({"ok": true, "result": {"Accessories": {
                   "Accessories": [{"RecordId": 20020, "Quantity": 1}, {"RecordId": 20100, "Quantity": 3},
                                   {"RecordId": 20220, "Quantity": 1}],
                   "Contracts": [{"RecordId": 20260, "Quantity": 1}]}}})");
    }

    void wholeSizings()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        const TRunOutput r = Run(request);
        QCOMPARE(r.ExitCode, 0);
        QVERIFY2(r.Err.isEmpty(), r.Err.constData());
        QVERIFY(r.Doc.isObject());
        const QJsonObject out = r.Doc.object();
        QString why;
        QVERIFY2(ContainsSubset(out, ParseObject(expected), "", why), qPrintable(why));
        QVERIFY(!out.contains("error"));
        // Every field of both records is printed under its own name.
        const QStringList requestKeys = out["request"].toObject().keys();
        QCOMPARE(QSet<QString>(requestKeys.begin(), requestKeys.end()),
                 QSet<QString>(kRequestFields.begin(), kRequestFields.end()));
        const QStringList resultKeys = out["result"].toObject().keys();
        QCOMPARE(QSet<QString>(resultKeys.begin(), resultKeys.end()),
                 QSet<QString>(kResultFields.begin(), kResultFields.end()));
    }

    void sizeListAndFloats()
    {
        const QJsonObject out = Size(R"({"sizeLine": 0, "loadPower": 8000})");
        const QJsonArray sizes = out["sizeList"].toArray();
        QCOMPARE(sizes.size(), 13);
        QCOMPARE(sizes.first().toArray(), (QJsonArray{8000, 6400, 3, 10000}));
        QCOMPARE(sizes.last().toArray(), (QJsonArray{60000, 48000, 12, 10120}));
        for (qsizetype i = 1; i < sizes.size(); ++i)
            QVERIFY(sizes[i].toArray()[1].toInt() >= sizes[i - 1].toArray()[1].toInt());
        // Ratings come back as the very same single-precision values.
        const QJsonObject result = out["result"].toObject();
        QVERIFY(float(result["ModuleVA"].toDouble()) == 2666.66f);
        QVERIFY(float(result["ModuleW"].toDouble()) == 2133.33f);
    }

    // --- Refusals

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("page");
        QTest::addColumn<QVariantList>("args");
        // Page refusals carry the message key and its numbers.
        QTest::newRow("load not a number") << QByteArray(R"({"loadPower": "abc"})") << "ErrorInvalidNumber" << 1
                                           << QVariantList{};
        QTest::newRow("load zero") << QByteArray(R"({"loadPower": 0})") << "ErrorNumberOutOfRange" << 1
                                   << QVariantList{1, 60000};
        QTest::newRow("load above the size") << QByteArray(R"({"sizeLine": 1, "loadPower": 10001})")
                                             << "ErrorNumberOutOfRange" << 1 << QVariantList{0, 10000};
        QTest::newRow("margin above 100") << QByteArray(R"({"debugMode": true, "marginPercent": 101})")
                                          << "ErrorNumberOutOfRange" << 1 << QVariantList{0, 100};
        QTest::newRow("2 minutes") << QByteArray(R"({"autonomyMinutes": 2})") << "ErrorAutonmyRequested" << 3
                                   << QVariantList{3, 20};
        QTest::newRow("21 hours") << QByteArray(R"({"autonomyInMinutes": false, "autonomyHours": 21})")
                                  << "ErrorNumberOutOfRange" << 3 << QVariantList{0, 20};
        QTest::newRow("percent 0") << QByteArray(R"({"loadPercent": 0})") << "ErrorNumberOutOfRange" << 3
                                   << QVariantList{1, 100};
        // Values the wizard could not produce name their key.
        QTest::newRow("size line beyond the list") << QByteArray(R"({"sizeLine": 13})")
                                                   << "Invalid request value: sizeLine" << 1 << QVariantList{};
        QTest::newRow("size line as text") << QByteArray(R"({"sizeLine": "1"})") << "Invalid request value: sizeLine"
                                           << 1 << QVariantList{};
        QTest::newRow("size line with a fraction") << QByteArray(R"({"sizeLine": 1.5})")
                                                   << "Invalid request value: sizeLine" << 1 << QVariantList{};
        QTest::newRow("load as boolean") << QByteArray(R"({"loadPower": true})") << "Invalid request value: loadPower"
                                         << 1 << QVariantList{};
        QTest::newRow("margin without debug") << QByteArray(R"({"marginPercent": 10})")
                                              << "Invalid request value: marginPercent" << 1 << QVariantList{};
        QTest::newRow("output kind 3") << QByteArray(R"({"outputKind": 3})") << "Invalid request value: outputKind"
                                       << 0 << QVariantList{};
        QTest::newRow("per-phase redundancy as number") << QByteArray(R"({"redundancy": 1})")
                                                        << "Invalid request value: redundancy" << 2 << QVariantList{};
        QTest::newRow("redundancy beyond the lines") << QByteArray(R"({"outputKind": 1, "sizeLine": 1, "redundancy": 1})")
                                                     << "Invalid request value: redundancy" << 2 << QVariantList{};
        QTest::newRow("redundancy of two phases") << QByteArray(R"({"redundancy": [1, 1]})")
                                                  << "Invalid request value: redundancy" << 2 << QVariantList{};
        QTest::newRow("battery type without debug") << QByteArray(R"({"batteryType": 0})")
                                                    << "Invalid request value: batteryType" << 4 << QVariantList{};
        QTest::newRow("battery type beyond the kits") << QByteArray(R"({"debugMode": true, "batteryType": 2})")
                                                      << "Invalid request value: batteryType" << 4 << QVariantList{};
        QTest::newRow("battery type, non-modular")
            << QByteArray(R"({"debugMode": true, "batteryType": 1, "modularBatteryCabinet": false})")
            << "Invalid request value: batteryType" << 4 << QVariantList{};
        QTest::newRow("battery type, advanced page not offered")
            << QByteArray(R"({"language": "Italian.lng", "batteryType": -1})") << "Invalid request value: batteryType"
            << 4 << QVariantList{};
        QTest::newRow("percent of four characters") << QByteArray(R"({"loadPercent": 1000})")
                                                    << "Invalid request value: loadPercent" << 3 << QVariantList{};
        QTest::newRow("unknown special configuration") << QByteArray(R"({"specialConfig": "bogus"})")
                                                       << "Invalid request value: specialConfig" << 4
                                                       << QVariantList{};
        QTest::newRow("special configuration, non-modular")
            << QByteArray(R"({"specialConfig": "onlyInverter", "modularBatteryCabinet": false})")
            << "Invalid request value: specialConfig" << 4 << QVariantList{};
        QTest::newRow("advanced page not offered at home")
            << QByteArray(R"({"language": "Italian.lng", "specialConfig": "emptyDrawers"})")
            << "Invalid request value: specialConfig" << 4 << QVariantList{};
        QTest::newRow("accessory of another language") << QByteArray(R"({"accessories": [{"record": 20200}]})")
                                                       << "Invalid request value: accessories" << 5 << QVariantList{};
        QTest::newRow("fixed quantity") << QByteArray(R"({"accessories": [{"record": 20000, "quantity": 2}]})")
                                        << "Invalid request value: accessories" << 5 << QVariantList{};
        QTest::newRow("quantity 0") << QByteArray(R"({"accessories": [{"record": 20100, "quantity": 0}]})")
                                    << "Invalid request value: accessories" << 5 << QVariantList{};
        QTest::newRow("two of one group") << QByteArray(R"({"accessories": [{"record": 20000}, {"record": 20020}]})")
                                          << "Invalid request value: accessories" << 5 << QVariantList{};
        QTest::newRow("accessory named twice") << QByteArray(R"({"accessories": [{"record": 20100}, {"record": 20100}]})")
                                               << "Invalid request value: accessories" << 5 << QVariantList{};
        QTest::newRow("accessory with unknown key")
            << QByteArray(R"({"accessories": [{"record": 20100, "qty": 2}]})") << "Invalid request value: accessories"
            << 5 << QVariantList{};
        QTest::newRow("contracts page not offered") << QByteArray(R"({"contracts": [20240]})")
                                                    << "Invalid request value: contracts" << 6 << QVariantList{};
        QTest::newRow("contract of another size") << QByteArray(R"({"language": "Italian.lng", "contracts": [20240]})")
                                                  << "Invalid request value: contracts" << 6 << QVariantList{};
        QTest::newRow("unknown key") << QByteArray(R"({"loadpower": 5000})") << "Invalid request value: loadpower"
                                     << -1 << QVariantList{};
        QTest::newRow("unknown language") << QByteArray(R"({"language": "Klingon.lng"})")
                                          << "Invalid request value: language" << -1 << QVariantList{};
        QTest::newRow("language outside the program folder") << QByteArray(R"({"language": "../bin/English.lng"})")
                                                             << "Invalid request value: language" << -1
                                                             << QVariantList{};
        QTest::newRow("debug mode as text") << QByteArray(R"({"debugMode": "yes"})")
                                            << "Invalid request value: debugMode" << -1 << QVariantList{};
        // Offer details are refused whole, with the message the offer dialog shows.
        QTest::newRow("offer discount above 100") << QByteArray(R"({"offer": {"discountPercent": 100.01}})")
                                                  << "ErrorOfferDiscount" << -1 << QVariantList{};
        QTest::newRow("offer discount of three decimals") << QByteArray(R"({"offer": {"discountPercent": "1.005"}})")
                                                          << "ErrorOfferDiscount" << -1 << QVariantList{};
        QTest::newRow("offer date that does not exist") << QByteArray(R"({"offer": {"date": "2023-02-29"}})")
                                                        << "ErrorOfferDate" << -1 << QVariantList{"2023-02-29"};
        QTest::newRow("offer validity negative") << QByteArray(R"({"offer": {"validDays": -1}})")
                                                 << "ErrorOfferValidDays" << -1 << QVariantList{0, 3650};
        QTest::newRow("offer member unknown") << QByteArray(R"({"offer": {"price": 1}})") << "ErrorOfferValue" << -1
                                              << QVariantList{"price"};
        QTest::newRow("offer as text") << QByteArray(R"({"offer": "ACME"})") << "ErrorOfferValue" << -1
                                       << QVariantList{"offer"};
    }

    void refusals()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, error);
        QFETCH(int, page);
        QFETCH(QVariantList, args);
        const TRunOutput r = Run(request);
        QCOMPARE(r.ExitCode, 0);
        QVERIFY2(r.Err.isEmpty(), r.Err.constData());
        const QJsonObject out = r.Doc.object();
        QCOMPARE(out["ok"], QJsonValue(false));
        QCOMPARE(out["error"].toString(), error);
        QCOMPARE(out["errorPage"].toInt(-2), page);
        if (error.startsWith("Error")) {
            QCOMPARE(out["errorArgs"].toArray().toVariantList(), args);
            QVERIFY(!out["message"].toString().isEmpty());
        }
    }

    // --- Arrays

    void arrayRequestsAreIndependent()
    {
        const QByteArray tenKva = R"({"sizeLine": 1})";
        const QJsonObject alone = Size(tenKva);
        QCOMPARE(alone["ok"], QJsonValue(true));

        const TRunOutput r = Run("[" + tenKva + "," + tenKva + R"(, {"sizeLine": 1, "specialConfig": "onlyInverter"},)" +
                                 tenKva + R"(, {"loadPower": "x"}, )" + tenKva + "]");
        QCOMPARE(r.ExitCode, 0);
        QVERIFY(r.Doc.isArray());
        const QJsonArray all = r.Doc.array();
        QCOMPARE(all.size(), 6);
        QCOMPARE(all[0].toObject(), alone);
        QCOMPARE(all[1].toObject(), alone);
        QCOMPARE(all[2].toObject()["result"].toObject()["BatteryKitCount"].toInt(-1), 0);
        // Nothing of the only-inverter request or of a refused one carries over.
        QCOMPARE(all[3].toObject(), alone);
        QCOMPARE(all[4].toObject()["error"].toString(), QStringLiteral("ErrorInvalidNumber"));
        QCOMPARE(all[5].toObject(), alone);
    }

    void languageOfOneRequestOnly()
    {
        // Contracts exist for the Italian edition only; the next request is English again.
        const TRunOutput r = Run(R"([{"language": "Italian.lng", "sizeLine": 1, "contracts": [20240]},
                                     {"sizeLine": 1, "contracts": [20240]}])");
        const QJsonArray all = r.Doc.array();
        QCOMPARE(all.size(), 2);
        QCOMPARE(all[0].toObject()["ok"], QJsonValue(true));
        QCOMPARE(all[1].toObject()["error"].toString(), QStringLiteral("Invalid request value: contracts"));
    }

    // --- In the program's own process

    void hooksExtendFinishedResultsOnly()
    {
        SetupData.ProgramPath = BuiltProgramPath();
        SetupData.LanguageFile = QStringLiteral("English.lng");
        SetupData.LanguageID = 1033;
        SetupData.VendorName = QStringLiteral("Quenvar");
        QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + QStringLiteral("Quenvar.so")));
        int calls = 0;
        THeadlessHooks hooks;
        hooks.ExtendResult = [&](const TRequestParameters &q, TResultParameters &r, QJsonObject &out) {
            ++calls;
            out["layout"] = QJsonObject{{"inverter", r.InverterRecord}, {"load", q.LoadPower}};
        };
        TRequestParameters request;
        TResultParameters result;
        request.AutonomyRequired = 999; // overwritten: each request starts from zero-filled records
        result.Accessories.Accessories = {{20100, 4}};
        QJsonObject out = SizeRequestJson(ParseObject(R"({"sizeLine": 1, "loadPower": 9000})"), hooks, &request, &result);
        QCOMPARE(out["ok"], QJsonValue(true));
        QCOMPARE(calls, 1);
        QCOMPARE(out["layout"].toObject()["inverter"].toInt(), 10020);
        QCOMPARE(out["layout"].toObject()["load"].toInt(), 9000);
        QCOMPARE(request.AutonomyRequired, 10);
        QCOMPARE(result.BatteryKitCount, 4);
        QVERIFY(result.Accessories.Accessories.isEmpty());

        out = SizeRequestJson(ParseObject(R"({"loadPower": -1})"), hooks, &request, &result);
        QCOMPARE(out["ok"], QJsonValue(false));
        QCOMPARE(calls, 1);
        QVERIFY(!out.contains("layout"));
        QCOMPARE(result.BatteryKitCount, 0);
        // The language of the settings is in force again after a request that named its own.
        SizeRequestJson(ParseObject(R"({"language": "Italian.lng"})"), hooks);
        QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));
        QCOMPARE(SetupData.LanguageID, 1033);
        UnloadVendorLibrary();
    }


    // A configuration file keeps its offer details; one without them opens as before.
    void configurationKeepsTheOffer()
    {
        QVERIFY(UseBuiltProgram());
        const QJsonObject request = ParseObject(R"({"sizeLine": 1, "offer": {"customer": "ACME, Plant 2",
            "reference": "Q-2024-0007", "date": "2024-02-28", "validDays": 30, "discountPercent": 5.25}})");
        const QByteArray text = ConfigurationText(request, "1.0", QDate(2024, 2, 28));
        const QJsonObject saved = QJsonDocument::fromJson(text).object();
        TRequestParameters req{};
        TResultParameters res{};
        const TConfigurationReplay replay = ReplayConfiguration(saved, req, res);
        QVERIFY2(replay.Ok, qPrintable(replay.Message));
        QCOMPARE(replay.Offer.Customer, QStringLiteral("ACME, Plant 2"));
        QCOMPARE(replay.Offer.Discount, 525);
        QCOMPARE(replay.Offer.ValidUntil(), QDate(2024, 3, 29));
        QCOMPARE(ConfigurationText(replay.Request, "1.0", QDate(2024, 2, 28)), text);

        QJsonObject plain = saved;
        plain.remove("offer");
        const TConfigurationReplay without = ReplayConfiguration(plain, req, res);
        QVERIFY(without.Ok);
        QVERIFY(without.Offer.IsEmpty());
        QVERIFY(!without.Request.contains("offer"));

        // Offer details that cannot be right: a message, and the records stay as they were.
        QJsonObject bad = saved;
        bad["offer"] = QJsonObject{{"date", "2023-02-29"}};
        const int32_t loadBefore = req.LoadPower;
        req.LoadPower = 4711;
        const TConfigurationReplay refused = ReplayConfiguration(bad, req, res);
        QVERIFY(!refused.Ok);
        QVERIFY2(refused.Message.contains("2023-02-29"), qPrintable(refused.Message));
        QCOMPARE(req.LoadPower, 4711);
        req.LoadPower = loadBefore;
        UnloadVendorLibrary();
    }

    // --- The result tables, with and without the price list of the data folder

    void resultTables()
    {
        const QString priceList = m_home->DataHome() + QStringLiteral("/Varnex Configurator/PriceList.tc");
        QFile::remove(priceList);
        const QByteArray request = R"({"sizeLine": 1, "modularBatteryCabinet": false,
                                       "accessories": [{"record": 20100, "quantity": 4}]})";
        QJsonObject out = Size(request);
        QCOMPARE(out["ok"], QJsonValue(true));
        const QJsonValue none;
        const QJsonArray expectedItems{QJsonArray{"QV-IC-03-10", "UPS cabinet with 3 power module slots", 1, none, none},
                                       QJsonArray{"QV-PM-34", "Power module 3.4 kVA", 3, none, none},
                                       QJsonArray{"QV-BC-YU94", "Non-modular battery cabinet (94 Ah)", 1, none, none},
                                       QJsonArray{"QV-SW-RCCMD-01",
                                                  "RCCMD - Remote shutdown software for network clients (licences: 1)",
                                                  4, none, none}};
        QCOMPARE(out["items"].toArray(), expectedItems);
        QCOMPARE(out["totalPrice"], QJsonValue());
        // Without a price list there is nothing to discount, whatever the offer says.
        QCOMPARE(out["discountPercent"], none);
        QCOMPARE(out["netPrice"], none);
        QVERIFY(out.contains("netPrice"));
        QVERIFY(!out.contains("offer"));
        QVERIFY(!out.contains("unpricedItems"));
        QVERIFY(!out.contains("priceListNotValid"));
        QCOMPARE(out["dataSheet"].toArray().first(), QJsonValue(QJsonArray{"Input configuration", "Three-phase"}));
        QCOMPARE(out["dataSheet"].toArray().last(),
                 QJsonValue(QJsonArray{"Weight of each battery cabinet", "1  x  760 Kg"}));
        // The records as the results page leaves them: no drawers beside a non-modular cabinet.
        QCOMPARE(out["result"].toObject()["InverterKitPositions"].toInt(-1), 0);

        // The sample price list of the build, installed as a user installs it.
        QDir().mkpath(QFileInfo(priceList).absolutePath());
        QVERIFY(QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), priceList));
        out = Size(request);
        QStringList prices, lineTotals;
        for (const QJsonValue &row : out["items"].toArray()) {
            prices << row.toArray().at(3).toString();
            lineTotals << row.toArray().at(4).toString();
        }
        QCOMPARE(prices, (QStringList{"3,000.00", "1,750.00", "3,900.00", "180.00"}));
        QCOMPARE(lineTotals, (QStringList{"3,000.00", "5,250.00", "3,900.00", "720.00"}));
        QCOMPARE(out["totalPrice"].toString(), QStringLiteral("12,870.00")); // 3000 + 3 x 1750 + 3900 + 4 x 180
        QCOMPARE(out["discountPercent"], QJsonValue(0));
        QCOMPARE(out["netPrice"].toString(), QStringLiteral("12,870.00"));
        // An offer's discount: 12.5 % of 12,870.00 is 1,608.75.
        QJsonObject offered = Size(R"({"sizeLine": 1, "modularBatteryCabinet": false,
                                       "accessories": [{"record": 20100, "quantity": 4}],
                                       "offer": {"customer": "ACME", "date": "2024-02-28", "validDays": 30,
                                                 "discountPercent": 12.5}})");
        QCOMPARE(offered["discountPercent"], QJsonValue(12.5));
        QCOMPARE(offered["netPrice"].toString(), QStringLiteral("11,261.25"));
        QCOMPARE(offered["totalPrice"].toString(), QStringLiteral("12,870.00"));
        QCOMPARE(offered["offer"].toObject()["validUntil"].toString(), QStringLiteral("2024-03-29"));
        QCOMPARE(out["result"].toObject()["TotalPrice"].toDouble(), 12870.0);
        QCOMPARE(out["unpricedItems"], QJsonValue(QJsonArray()));

        // The one item the sample list has no price for: a zero price, named.
        out = Size(R"({"sizeLine": 1, "modularBatteryCabinet": false,
                       "accessories": [{"record": 20080}, {"record": 20100, "quantity": 4}]})");
        QCOMPARE(out["ok"], QJsonValue(true));
        const QJsonArray usb = out["items"].toArray().at(3).toArray();
        QCOMPARE(usb.at(0), QJsonValue("QV-ACC-SUP-USB"));
        QCOMPARE(usb.at(3), QJsonValue("0.00"));
        QCOMPARE(out["totalPrice"].toString(), QStringLiteral("12,870.00"));
        QCOMPARE(out["unpricedItems"], QJsonValue(QJsonArray{"QV-ACC-SUP-USB"}));

        // A page that only the price query reads is damaged: that answer and every
        // later one carry no prices, and say why.
        const QByteArray damaged = SampleListDamagedFor("Components", "QV-PM-34");
        QVERIFY(!damaged.isEmpty());
        QFile::remove(priceList);
        QFile damagedFile(priceList);
        QVERIFY(damagedFile.open(QIODevice::WriteOnly));
        damagedFile.write(damaged);
        damagedFile.close();
        const TRunOutput twice = Run("[" + request + "," + request + "]");
        QCOMPARE(twice.ExitCode, 0);
        for (const QJsonValue &answer : twice.Doc.array()) {
            const QJsonObject o = answer.toObject();
            QCOMPARE(o["items"].toArray(), expectedItems);
            QCOMPARE(o["totalPrice"], QJsonValue());
            QCOMPARE(o["result"].toObject()["TotalPrice"].toDouble(), 0.0);
            QVERIFY(!o.contains("unpricedItems"));
            QCOMPARE(o["priceListNotValid"], QJsonValue(true));
        }
        QVERIFY(twice.Err.isEmpty());

        // A file that does not open: no prices, as without a list, and no message on the way.
        QFile::remove(priceList);
        QFile broken(priceList);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a price list");
        broken.close();
        const TRunOutput r = Run(request);
        QCOMPARE(r.ExitCode, 0);
        QCOMPARE(r.Doc.object()["totalPrice"], QJsonValue());
        QCOMPARE(r.Doc.object()["priceListNotValid"], QJsonValue(true));
        QVERIFY(r.Err.isEmpty());
        QFile::remove(priceList);
    }

    void answersStreamAsOneArray()
    {
        // Many requests: one valid JSON array, in order, each answer complete.
        QByteArray requests = "[";
        for (int i = 0; i < 300; ++i)
            requests += (i ? "," : "") + QByteArray(R"({"sizeLine": 1, "loadPower": )") + QByteArray::number(5000 + i) + "}";
        requests += "]";
        const TRunOutput r = Run(requests);
        QCOMPARE(r.ExitCode, 0);
        const QJsonArray all = r.Doc.array();
        QCOMPARE(all.size(), 300);
        for (int i = 0; i < 300; i += 37)
            QCOMPARE(all[i].toObject()["request"].toObject()["LoadPower"].toInt(), 5000 + i);
        QCOMPARE(Run("[]").Doc, QJsonDocument(QJsonArray()));
        QCOMPARE(Run(" \xEF\xBB\xBF[ ]").ExitCode, 2); // a byte order mark only at the very start
        QCOMPARE(Run("\xEF\xBB\xBF [ ] ").Doc, QJsonDocument(QJsonArray()));
    }

    // --- Files and arguments

    void unreadableInput_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("malformed") << QByteArray(R"({"sizeLine": 1,)");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("not JSON") << QByteArray("sizeLine=1");
        QTest::newRow("a bare number") << QByteArray("42");
        // The whole file is checked before the first answer is written.
        QTest::newRow("broken after good requests") << QByteArray(R"([{"sizeLine": 1}, {"sizeLine": 1}, {"sizeLine": ])");
        QTest::newRow("trailing comma") << QByteArray(R"([{"sizeLine": 1},])");
        QTest::newRow("unclosed array") << QByteArray(R"([{"sizeLine": 1})");
        QTest::newRow("garbage after the array") << QByteArray(R"([{"sizeLine": 1}] x)");
        QTest::newRow("missing separator") << QByteArray(R"([{"sizeLine": 1} {"sizeLine": 1}])");
        // Elements that are not objects end the run at once, however many follow.
        QTest::newRow("a number among the requests") << QByteArray(R"([{"sizeLine": 1}, 7, {"sizeLine": 1}])");
        QTest::newRow("an array among the requests") << QByteArray(R"([[{"sizeLine": 1}]])");
        QTest::newRow("millions of bare numbers") << "[" + QByteArray("1,").repeated(3'000'000) + "1]";
    }

    void unreadableInput()
    {
        QFETCH(QByteArray, text);
        const TRunOutput r = Run(text);
        QCOMPARE(r.ExitCode, 2);
        QVERIFY(r.Out.isEmpty());
        QVERIFY(!r.Err.isEmpty());
    }

    void missingFileAndArguments()
    {
        TRunOutput r = RunArgs({"--size", m_home->Path() + "/no-such-request.json"});
        QCOMPARE(r.ExitCode, 2);
        QVERIFY(r.Err.contains("no-such-request.json"));
        QVERIFY(r.Out.isEmpty());
        r = RunArgs({"--size"});
        QCOMPARE(r.ExitCode, 2);
        QVERIFY(r.Err.contains("Usage"));
    }

    // --- Exit statuses

    void helpPrintsTheUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("alone") << QStringList{"--help"};
        QTest::newRow("with a configuration file") << QStringList{"offer.vxcfg", "--help"};
        QTest::newRow("with --size") << QStringList{"--size", "request.json", "--help"};
    }

    void helpPrintsTheUsage()
    {
        // No window and no display needed: the usage, and done.
        QFETCH(QStringList, args);
        const TRunOutput r = RunArgs(args, [](QProcess &p) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                environment.remove(QLatin1String(name));
            p.setProcessEnvironment(environment);
        });
        QCOMPARE(r.ExitCode, 0);
        QVERIFY(r.Out.startsWith("Usage: VarnexCfg"));
        QVERIFY(r.Out.contains("--size REQUEST.json") && r.Out.contains("Exit status"));
        QCOMPARE(r.Err, QByteArray());
    }

    void emptyFileNamesAreUsageErrors_data()
    {
        QTest::addColumn<QString>("option");
        for (const char *option : {"--size", "--pdf", "--doc", "--bmp", "--layout-image"})
            QTest::newRow(option) << QString::fromLatin1(option);
    }

    void emptyFileNamesAreUsageErrors()
    {
        QFETCH(QString, option);
        QStringList args{"--size", RequestFile(R"({"sizeLine": 1})")};
        if (option == "--size")
            args[1].clear();
        else
            args << option << QString();
        const TRunOutput r = RunArgs(args);
        QCOMPARE(r.ExitCode, 2);
        QVERIFY(r.Out.isEmpty());
        QVERIFY2(r.Err.contains("The option " + option.toUtf8() + " needs a file name."), r.Err.constData());
        QVERIFY(r.Err.contains("Usage"));
    }

    void answersThatCannotBeWrittenFail_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("a full device") << "/dev/full";
        QTest::newRow("a closed output") << "closed";
        QTest::newRow("a pipe nobody reads") << "broken pipe";
    }

    void answersThatCannotBeWrittenFail()
    {
        QFETCH(QString, output);
        const QString requests = RequestFile("[" + QByteArray(R"({"sizeLine": 1},)").repeated(20) + R"({"sizeLine": 1}])");
        const TRunOutput r = RunArgs({"--size", requests}, [output](QProcess &p) {
            if (output == "/dev/full") {
                p.setStandardOutputFile(output);
                return;
            }
            p.setChildProcessModifier([output] {
                if (output == "closed") {
                    ::close(STDOUT_FILENO);
                    return;
                }
                int ends[2];
                if (::pipe(ends) == 0) {
                    ::close(ends[0]);
                    ::dup2(ends[1], STDOUT_FILENO);
                    ::close(ends[1]);
                }
            });
        });
        QCOMPARE(r.ExitCode, 1);
        QVERIFY2(r.Err.startsWith("Cannot write the answers: "), r.Err.constData());
        QCOMPARE(r.Err.count('\n'), 1);
    }

    // A vendor library cut short (or no vendor's at all) is refused before the
    // loader maps it: the run ends with the reason instead of a crash.
    void damagedVendorLibraryEndsTheRun_data()
    {
        QTest::addColumn<int>("cutTo");
        QTest::addColumn<QString>("reason");
        QTest::newRow("cut to 20,000 bytes") << 20000 << "the file is cut short";
        QTest::newRow("a foreign library") << -1 << "it has no GetData";
    }

    void damagedVendorLibraryEndsTheRun()
    {
        QFETCH(int, cutTo);
        QFETCH(QString, reason);
        QTemporaryDir program;
        for (const QString &name : QDir(BuiltProgramPath()).entryList({"VarnexCfg", "*.lng"}, QDir::Files))
            QVERIFY(QFile::copy(BuiltProgramPath() + name, program.filePath(name)));
        QByteArray library = ReadFileBytes(BuiltProgramPath() + "Quenvar.so");
        if (cutTo > 0)
            library.truncate(cutTo);
        else
            library = ReadFileBytes(QFileInfo(QStringLiteral("/usr/lib/x86_64-linux-gnu/libz.so.1")).exists()
                                        ? QStringLiteral("/usr/lib/x86_64-linux-gnu/libz.so.1")
                                        : QStringLiteral("/lib/x86_64-linux-gnu/libz.so.1"));
        QFile file(program.filePath("Quenvar.so"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(library) == library.size());
        file.close();
        const TRunOutput r =
            RunArgs({"--size", RequestFile(R"({"sizeLine": 1})")}, {}, program.filePath("VarnexCfg"));
        QCOMPARE(r.ExitCode, 2); // -1 when it crashed
        QVERIFY(r.Out.isEmpty());
        QVERIFY2(r.Err.contains("The vendor library Quenvar.so cannot be loaded") && r.Err.contains(reason.toUtf8()),
                 r.Err.constData());
    }

    // A full disk while a document or picture is written: the file there before
    // stays byte for byte, nothing half-written is left, the answer and standard
    // error name the file, and the run fails.
    void documentsOnAFullDisk_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("answerKey");
        QTest::addColumn<int>("fits"); // bytes of the document that fit; -1 all but the last, -2 half
        for (const auto &[option, key] : {std::pair{"--pdf", "pdfError"}, std::pair{"--doc", "docError"},
                                          std::pair{"--bmp", "bmpError"}, std::pair{"--layout-image", "error"}})
            for (const int fits : {0, -2, -1})
                QTest::addRow("%s, %s", option, fits == 0 ? "nothing fits" : fits == -2 ? "half fits" : "all but a byte fits")
                    << QString::fromLatin1(option) << QString::fromLatin1(key) << fits;
    }

    void documentsOnAFullDisk()
    {
        QFETCH(QString, option);
        QFETCH(QString, answerKey);
        QFETCH(int, fits);
        const QString request = RequestFile(R"({"sizeLine": 5, "loadPower": 18000})");
        QTemporaryDir dir;
        const QString target = dir.filePath(option == "--layout-image" ? QStringLiteral("offer.png") : "offer." + option.mid(2));
        // The size the document has when it can be written.
        const QString probe = dir.filePath("probe");
        QCOMPARE(RunArgs({"--size", request, option, probe}).ExitCode, 0);
        const qint64 size = QFileInfo(probe).size();
        QVERIFY(size > 100 && QFile::remove(probe));

        const QByteArray before = "the offer saved last week";
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(before) == before.size());
        old.close();
        const qint64 limit = fits == -1 ? size - 1 : fits == -2 ? size / 2 : fits;
        const TRunOutput r =
            RunArgs({"--size", request, option, target}, [limit](QProcess &p) { LimitFileSize(p, limit); });
        QCOMPARE(r.ExitCode, 1);
        QCOMPARE(ReadFileBytes(target), before);
        QCOMPARE(FolderFiles(dir.path()), QStringList{QFileInfo(target).fileName()});
        // One line, naming the file and why.
        QCOMPARE(r.Err.count('\n'), 1);
        QVERIFY2(r.Err.startsWith("Cannot write ") && r.Err.contains("\"" + target.toUtf8() + "\": "), r.Err.constData());
        const QJsonObject answer = r.Doc.object();
        QVERIFY2(answer.value(answerKey).toString().contains(target), r.Out.constData());
        QVERIFY(!answer.contains(option.mid(2)) && !answer.contains("layoutImage"));
    }
};

QTEST_GUILESS_MAIN(TestHeadless)
#include "test_headless.moc"
