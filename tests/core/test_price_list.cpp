// The price-list store on real SQLCipher files made by the vendors' maker:
// which files open, for which vendor, what the header and the price queries
// read, and the one warning for a file that does not open.

#include "PriceList.h"
#include "PriceListMaker.h"
#include "Settings.h"
#include "Startup.h"
#include "TestSupport.h"
#include "TextUtils.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <optional>

namespace {

/// The sample content: a header row and one priced item per table.
TPriceListContent SampleContent()
{
    TPriceListContent content;
    content.InfoRows = {{qlonglong(39), QStringLiteral("Italia"), QStringLiteral("EUR"), QStringLiteral("20270101")}};
    for (const QString &table : PriceTableNames())
        content.Tables.append({table, {{QStringLiteral("QV-") + table, QVariant(12.5)}}});
    return content;
}

QString Make(const QString &fileName, const QString &password, const TPriceListContent &content)
{
    QString error;
    if (!WritePriceListFile(fileName, password, content, true, error))
        qFatal("cannot make %s: %s", qPrintable(fileName), qPrintable(error));
    return fileName;
}

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

/// A price as the tests compare it; a query without an answer as the lowest number.
constexpr qlonglong kNoAnswer = std::numeric_limits<qlonglong>::min();
qlonglong Answer(const std::optional<TCurrency> &price)
{
    return price ? qlonglong(*price) : kNoAnswer;
}

/// Runs SQL on a price list with the command-line engine; its messages, empty when all went well.
QByteArray RunSql(const QString &fileName, const QString &password, const QString &sql)
{
    QProcess engine;
    engine.start(QStringLiteral("sqlcipher"), {fileName});
    if (!engine.waitForStarted())
        return "not started";
    engine.write(QStringLiteral("PRAGMA key='%1';\n%2\n").arg(password, sql).toUtf8());
    engine.closeWriteChannel();
    engine.waitForFinished();
    return engine.readAllStandardError() + engine.readAllStandardOutput();
}

} // namespace

class TestPriceList : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString DataPath() const { return m_dir.path() + QStringLiteral("/data/"); }
    QString Target() const { return DataPath() + QLatin1String(kPriceListFileName); }

private slots:
    void init()
    {
        QDir(DataPath()).removeRecursively();
        QDir().mkpath(DataPath());
        ClosePriceListDatabase();
        SetupData = TSetupData();
        SetupData.ProgramPath = BuiltProgramPath();
        SetupData.LanguageFile = QStringLiteral("English.lng");
        SetupData.DataPath = DataPath();
        SetupData.VendorName = QStringLiteral("Quenvar");
        SetCurrencySymbol(QStringLiteral("$"));
    }
    void cleanup() { ClosePriceListDatabase(); }

    void passwordsByVendor()
    {
        // Each built-in vendor has its own password of the agreed length; names match exactly.
        const QList<QPair<QString, int>> vendors{{"Quenvar", 13}, {"Tevoro", 7}, {"Mirsalta", 11}, {"Obrentix", 12}};
        QSet<QString> seen;
        for (const auto &[vendor, length] : vendors) {
            const QString password = PriceListPassword(vendor);
            QCOMPARE(password.size(), length);
            QVERIFY(password.contains(QRegularExpression("[a-z]")) && password.contains(QRegularExpression("[A-Z]")) &&
                    password.contains(QRegularExpression("[0-9]")));
            seen.insert(password);
        }
        QCOMPARE(seen.size(), 4);
        QVERIFY(PriceListPassword(QStringLiteral("quenvar")).isEmpty());
        QVERIFY(PriceListPassword(QStringLiteral("Other")).isEmpty());
    }

    void openStates_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("notValid");
        QTest::newRow("missing") << "missing"
                                 << "Quenvar" << false << false;
        QTest::newRow("the vendor's own file") << "good"
                                               << "Quenvar" << true << false;
        QTest::newRow("another vendor's password") << "good"
                                                   << "Tevoro" << false << true;
        QTest::newRow("vendor without a password, encrypted file") << "good"
                                                                   << "Other" << false << true;
        QTest::newRow("vendor without a password, plain file") << "plain"
                                                               << "Other" << true << false;
        QTest::newRow("empty file") << "empty"
                                    << "Quenvar" << false << true;
        QTest::newRow("not a database") << "text"
                                        << "Quenvar" << false << true;
        QTest::newRow("truncated") << "truncated"
                                   << "Quenvar" << false << true;
        QTest::newRow("a folder") << "folder"
                                  << "Quenvar" << false << true;
        QTest::newRow("a dangling link") << "link"
                                         << "Quenvar" << false << true;
        QTest::newRow("huge garbage") << "huge"
                                      << "Quenvar" << false << true;
    }

    void openStates()
    {
        QFETCH(QString, kind);
        QFETCH(QString, vendor);
        QFETCH(bool, loaded);
        QFETCH(bool, notValid);
        const QString quenvar = PriceListPassword(QStringLiteral("Quenvar"));
        if (kind == "good") {
            Make(Target(), quenvar, SampleContent());
        } else if (kind == "plain") {
            Make(Target(), QString(), SampleContent());
        } else if (kind == "empty") {
            WriteBytes(Target(), QByteArray());
        } else if (kind == "text") {
            WriteBytes(Target(), QByteArray("Item;Price\nQV-1;12\n").repeated(200));
        } else if (kind == "truncated") {
            Make(m_dir.path() + "/whole.tc", quenvar, SampleContent());
            QFile whole(m_dir.path() + "/whole.tc");
            QVERIFY(whole.open(QIODevice::ReadOnly));
            WriteBytes(Target(), whole.read(700));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(Target()));
        } else if (kind == "link") {
            QVERIFY(QFile::link(m_dir.path() + "/nowhere.tc", Target()));
        } else if (kind == "huge") {
            QFile file(Target());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, '\x5a'));
            QVERIFY(file.resize(qint64(512) << 20)); // sparse: 512 MiB that read as zeros
        }
        SetupData.VendorName = vendor;
        TRecordingMessageService boxes;
        QCOMPARE(LoadPriceList(), loaded);
        QCOMPARE(PriceList.Loaded, loaded);
        QCOMPARE(PriceList.NotValid, notValid);
        QCOMPARE(PriceListDatabase() != nullptr, loaded);
        // Opened: money shows without a symbol; the list's currency is shown beside the total.
        QCOMPARE(CurrencySymbol(), loaded ? QString() : QStringLiteral("$"));
        QVERIFY(boxes.Messages.isEmpty()); // nothing is said while starting
        QCOMPARE(WarnInvalidPriceList(), notValid);
        QCOMPARE(boxes.Messages.size(), notValid ? 1 : 0);
        if (notValid)
            QCOMPARE(boxes.Messages[0].Text,
                     QStringLiteral("The price list cannot be opened. Prices will not be shown."));
        QVERIFY(!WarnInvalidPriceList()); // once only
        QCOMPARE(boxes.Messages.size(), notValid ? 1 : 0);
    }

    void headerReads_data()
    {
        QTest::addColumn<bool>("withTable");
        QTest::addColumn<QVariantList>("row");
        QTest::addColumn<int>("country");
        QTest::addColumn<QString>("countryLine");
        QTest::addColumn<QString>("dateLine");
        const QString date = QLocale::system().toString(QDate(2027, 1, 1), QLocale::ShortFormat);
        QTest::newRow("full header") << true << QVariantList{qlonglong(39), "Italia", "EUR", "20270101"} << 39
                                     << "Price list: Italia"
                                     << "Price list valid from " + date;
        QTest::newRow("empty PriceListInfo") << true << QVariantList{} << -1 << "Price list: "
                                             << "";
        QTest::newRow("no PriceListInfo table") << false << QVariantList{} << -1 << "Price list: "
                                                << "";
        QTest::newRow("invalid date") << true << QVariantList{qlonglong(49), "Deutschland", "EUR", "20271340"} << 49
                                      << "Price list: Deutschland"
                                      << "";
        QTest::newRow("nulls and a text country number")
            << true << QVariantList{"34", QVariant(), QVariant(), QVariant()} << 34 << "Price list: "
            << "";
    }

    void headerReads()
    {
        QFETCH(bool, withTable);
        QFETCH(QVariantList, row);
        QFETCH(int, country);
        QFETCH(QString, countryLine);
        QFETCH(QString, dateLine);
        TPriceListContent content = SampleContent();
        content.HasInfoTable = withTable;
        content.InfoRows = row.isEmpty() ? QList<QVariantList>{} : QList<QVariantList>{row};
        Make(Target(), PriceListPassword("Quenvar"), content);
        QVERIFY(LoadPriceList());
        QCOMPARE(PriceList.CountryID, country);
        QCOMPARE(PriceListCountryLine(PriceList), countryLine);
        QCOMPARE(PriceListDateLine(PriceList), dateLine);
        QVERIFY(!PriceList.NotValid);
    }

    void headerColumnsMissing_data()
    {
        // A header table of the vendor's own making: a column it lacks is an empty
        // field (or -1), never the column's name.
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("values");
        QTest::addColumn<int>("country");
        QTest::addColumn<QString>("countryName");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("validityDate");
        QTest::newRow("no CountryName, no Currency")
            << "CountryID INTEGER, ValidityDate TEXT" << "39, '20270101'" << 39 << "" << "" << "20270101";
        QTest::newRow("only the country name") << "CountryName TEXT" << "'Italia'" << -1 << "Italia" << "" << "";
        QTest::newRow("no CountryID") << "CountryName TEXT, Currency TEXT, ValidityDate TEXT"
                                      << "'Italia', 'EUR', '20270101'" << -1 << "Italia" << "EUR" << "20270101";
    }

    void headerColumnsMissing()
    {
        QFETCH(QString, columns);
        QFETCH(QString, values);
        QFETCH(int, country);
        QFETCH(QString, countryName);
        QFETCH(QString, currency);
        QFETCH(QString, validityDate);
        TPriceListContent content = SampleContent();
        content.HasInfoTable = false;
        const QString password = PriceListPassword("Quenvar");
        Make(Target(), password, content);
        QCOMPARE(RunSql(Target(), password,
                        QStringLiteral("CREATE TABLE PriceListInfo (%1);\nINSERT INTO PriceListInfo VALUES (%2);")
                            .arg(columns, values)),
                 QByteArray());
        QVERIFY(LoadPriceList());
        QCOMPARE(PriceList.CountryID, country);
        QCOMPARE(PriceList.CountryName, countryName);
        QCOMPARE(PriceList.Currency, currency);
        QCOMPARE(PriceList.ValidityDate, validityDate);
        QCOMPARE(PriceListCountryLine(PriceList), "Price list: " + countryName);
        QVERIFY(!PriceList.NotValid);
        // The prices are read as from any other list.
        QCOMPARE(Answer(QueryPrice("Components", "QV-Components")), qlonglong(125000));
    }

    void damagedPageIsNoPrice()
    {
        // A page that only the price query reads: no answer rather than "no price",
        // and from then on the list is not valid, with the warning once.
        const QByteArray damaged = SampleListDamagedFor("Components", "QV-PM-50");
        QVERIFY2(!damaged.isEmpty(), "no damaged place found that only the price query meets");
        WriteBytes(Target(), damaged);
        TRecordingMessageService boxes;
        QVERIFY(LoadPriceList());
        QCOMPARE(PriceList.CountryName, QStringLiteral("Italia"));
        QCOMPARE(Answer(QueryPrice("Components", "QV-PM-50")), kNoAnswer);
        QVERIFY(!PriceList.Loaded);
        QVERIFY(PriceList.NotValid);
        QVERIFY(PriceList.CountryName.isEmpty());
        QVERIFY(PriceListDatabase() == nullptr);
        // Closed: nothing more is asked of the file.
        QCOMPARE(Answer(QueryPrice("Components", "QV-PM-50")), qlonglong(-1));
        QVERIFY(boxes.Messages.isEmpty());
        QVERIFY(WarnInvalidPriceList());
        QVERIFY(!WarnInvalidPriceList());
        QCOMPARE(boxes.Texts(), QStringList{"The price list cannot be opened. Prices will not be shown."});
    }

    void priceQueries_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("code");
        QTest::addColumn<qlonglong>("price");
        QTest::newRow("priced") << "Components"
                                << "QV-PM-34" << qlonglong(17500000);
        QTest::newRow("first of two rows") << "Components"
                                           << "QV-TWICE" << qlonglong(100000);
        QTest::newRow("missing item") << "Components"
                                      << "QV-NONE" << qlonglong(-1);
        QTest::newRow("code with a quote, as written") << "Accessories"
                                                       << "QV-O'BRIEN" << qlonglong(4200);
        QTest::newRow("crafted code changes nothing") << "Accessories"
                                                      << "x' OR '1'='1" << qlonglong(-1);
        QTest::newRow("integer price") << "Standard"
                                       << "QV-STD" << qlonglong(120000);
        QTest::newRow("four decimals") << "Standard"
                                       << "QV-TINY" << qlonglong(1);
        QTest::newRow("text price") << "Contracts"
                                    << "QV-TEXT" << qlonglong(-1);
        QTest::newRow("null price") << "Contracts"
                                    << "QV-NULL" << qlonglong(-1);
        QTest::newRow("table missing from the file") << "Missing"
                                                     << "QV-PM-34" << qlonglong(-1);
        QTest::newRow("no table name") << ""
                                       << "QV-PM-34" << qlonglong(-1);
        QTest::newRow("table name with a quote") << "Compo\"nents"
                                                 << "QV-PM-34" << qlonglong(-1);
    }

    void priceQueries()
    {
        QFETCH(QString, table);
        QFETCH(QString, code);
        QFETCH(qlonglong, price);
        TPriceListContent content;
        content.InfoRows = {{qlonglong(39), "Italia", "EUR", "20270101"}};
        content.Tables = {
            {"Standard", {{"QV-STD", qlonglong(12)}, {"QV-TINY", 0.0001}}},
            {"Components", {{"QV-PM-34", 1750.0}, {"QV-TWICE", 10.0}, {"QV-TWICE", 20.0}}},
            {"Accessories", {{"QV-O'BRIEN", 0.42}}},
            {"Contracts", {{"QV-TEXT", QStringLiteral("12.50")}, {"QV-NULL", QVariant()}}},
        };
        Make(Target(), PriceListPassword("Quenvar"), content);
        QVERIFY(LoadPriceList());
        QCOMPARE(Answer(QueryPrice(table, code)), price);
        // The prepared query serves the next lookup as well.
        QCOMPARE(Answer(QueryPrice(table, code)), price);
        ClosePriceListDatabase();
        QCOMPARE(Answer(QueryPrice(table, code)), qlonglong(-1));
    }

    void heldWhileOpen()
    {
        // While the program has the list open, another program cannot change it.
        Make(Target(), PriceListPassword("Quenvar"), SampleContent());
        QVERIFY(LoadPriceList());
        QCOMPARE(Answer(QueryPrice("Components", "QV-Components")), qlonglong(125000));
        auto runWriter = [&] {
            return RunSql(Target(), PriceListPassword("Quenvar"), QStringLiteral("UPDATE Components SET Price = 1;"));
        };
        QVERIFY2(runWriter().contains("locked"), "a writer got through while the list was open");
        QCOMPARE(Answer(QueryPrice("Components", "QV-Components")), qlonglong(125000));
        ClosePriceListDatabase();
        QCOMPARE(runWriter(), QByteArray());
        QVERIFY(LoadPriceList());
        QCOMPARE(Answer(QueryPrice("Components", "QV-Components")), qlonglong(10000));
    }
};

QTEST_GUILESS_MAIN(TestPriceList)
#include "test_price_list.moc"
