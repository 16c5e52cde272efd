// The vendors' price-list maker: its CSV reader and money reader, the tool's
// two commands run as a vendor would run them, and the sample price list of
// the Quenvar edition against the edition's article codes.

#include "Catalogue.h"
#include "ItemList.h"
#include "PriceList.h"
#include "PriceListMaker.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct TToolRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

/// Runs the tool; `fileSizeLimit` (when not negative) is as far as its files can grow.
TToolRun RunTool(const QStringList &arguments, qint64 fileSizeLimit = -1)
{
    QProcess tool;
    if (fileSizeLimit >= 0)
        LimitFileSize(tool, fileSizeLimit);
    tool.start(QStringLiteral(VX_BUILD_DIR "VarnexPriceList"), arguments);
    tool.waitForFinished(60000);
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

void WriteText(const QString &fileName, const QByteArray &text)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

} // namespace

class TestPriceListMaker : public QObject {
    Q_OBJECT

private slots:
    void csvReader_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("error");
        QTest::newRow("plain, CR LF, no final line end")
            << QByteArray("Item,Price\r\nA,1\r\nB,2") << QList<QStringList>{{"Item", "Price"}, {"A", "1"}, {"B", "2"}}
            << QString();
        QTest::newRow("byte order mark and LF") << QByteArray("\xEF\xBB\xBFItem,Price\nA,1\n")
                                                << QList<QStringList>{{"Item", "Price"}, {"A", "1"}} << QString();
        QTest::newRow("quotes, commas and line breaks inside")
            << QByteArray("\"Q,V\",\"say \"\"hi\"\"\"\n\"two\nlines\",\n")
            << QList<QStringList>{{"Q,V", "say \"hi\""}, {"two\nlines", ""}} << QString();
        QTest::newRow("blank lines are skipped")
            << QByteArray("A,1\n\nB,2\n") << QList<QStringList>{{"A", "1"}, {"B", "2"}} << QString();
        QTest::newRow("unclosed quote") << QByteArray("A,1\nB,\"2\n") << QList<QStringList>{}
                                        << "line 3, column 2: a quoted field is not closed";
        QTest::newRow("text after a closing quote")
            << QByteArray("A,1\n\"B\"x,2\n") << QList<QStringList>{} << "line 2, column 1: text after a closing quote";
        QTest::newRow("quote inside a field") << QByteArray("A,1\nB,1\"2\n") << QList<QStringList>{}
                                              << "line 2, column 2: a quote inside an unquoted field";
        QTest::newRow("not UTF-8") << QByteArray("A,\xE9t\xE9\n") << QList<QStringList>{}
                                   << "the file is not UTF-8 text";
    }

    void csvReader()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, error);
        QList<QStringList> read;
        QString message;
        QCOMPARE(ReadCsv(text, read, message), error.isEmpty());
        QCOMPARE(message, error);
        if (error.isEmpty())
            QCOMPARE(read, rows);
    }

    void moneyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qlonglong>("amount");
        QTest::newRow("whole") << "12" << true << qlonglong(120000);
        QTest::newRow("two decimals") << "12.50" << true << qlonglong(125000);
        QTest::newRow("four decimals") << "0.0001" << true << qlonglong(1);
        QTest::newRow("negative") << "-3.5" << true << qlonglong(-35000);
        QTest::newRow("five decimals") << "1.00001" << false << qlonglong(0);
        QTest::newRow("comma") << "12,50" << false << qlonglong(0);
        QTest::newRow("empty") << "" << false << qlonglong(0);
        QTest::newRow("point only") << "12." << false << qlonglong(0);
        QTest::newRow("letters") << "12a" << false << qlonglong(0);
        QTest::newRow("too large") << "123456789012345" << false << qlonglong(0);
    }

    void moneyText()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qlonglong, amount);
        TCurrency read = 0;
        QCOMPARE(ParseMoneyText(text, read), ok);
        if (ok)
            QCOMPARE(qlonglong(read), amount);
    }

    void badCsvFolders_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("wrong header") << "Components.csv" << QByteArray("Code,Price\nA,1\n")
                                      << "Components.csv, line 1: the header must read \"Item,Price\"";
        QTest::newRow("missing column") << "Accessories.csv" << QByteArray("Item,Price\nA,1\nB\n")
                                        << "Accessories.csv, line 3: 2 columns expected, 1 found";
        QTest::newRow("bad price") << "Standard.csv" << QByteArray("Item,Price\nA,12.5x\n")
                                   << "Standard.csv, line 2, column 2: the price \"12.5x\" is not a number with at "
                                      "most four decimals";
        QTest::newRow("item twice") << "Contracts.csv" << QByteArray("Item,Price\nA,1\nA,2\n")
                                    << "Contracts.csv, line 3, column 1: the item \"A\" is listed twice";
        QTest::newRow("blank item") << "Contracts.csv" << QByteArray("Item,Price\n,1\n")
                                    << "Contracts.csv, line 2, column 1: the item code is empty or has blanks "
                                       "around it";
        QTest::newRow("bad date") << "PriceListInfo.csv"
                                  << QByteArray(
                                         "CountryID,CountryName,Currency,ValidityDate\n39,Italia,EUR,2027-01-01\n")
                                  << "PriceListInfo.csv, line 2, column 4: the date must be YYYYMMDD";
        QTest::newRow("two header rows") << "PriceListInfo.csv"
                                         << QByteArray("CountryID,CountryName,Currency,ValidityDate\n1,A,B,\n2,C,D,\n")
                                         << "PriceListInfo.csv: exactly one row under the header expected";
    }

    void badCsvFolders()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString sample = QStringLiteral(VX_SOURCE_DIR "tools/sample/Quenvar/");
        for (const QString &name : QDir(sample).entryList({"*.csv"}))
            QVERIFY(QFile::copy(sample + name, dir.path() + '/' + name));
        QFile::remove(dir.path() + '/' + file);
        WriteText(dir.path() + '/' + file, text);
        const QString target = dir.path() + "/PriceList.tc";
        const TToolRun run = RunTool({"make", "--vendor", "Quenvar", dir.path(), target});
        QCOMPARE(run.ExitCode, 1);
        QCOMPARE(run.Err.trimmed(), error);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(dir.path()).entryList({"PriceList.tc*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void makeAndList()
    {
        QTemporaryDir dir;
        const QString sample = QStringLiteral(VX_SOURCE_DIR "tools/sample/Quenvar");
        const QString target = dir.path() + "/PriceList.tc";

        TToolRun run = RunTool({"make", "--vendor", "Quenvar", sample, target});
        QCOMPARE(run.ExitCode, 0);
        QVERIFY(TPriceListDatabase::Open(target, PriceListPassword("Quenvar")) != nullptr);

        // An existing file stays as it is unless the vendor asks to replace it.
        const QByteArray before = [&] {
            QFile f(target);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        run = RunTool({"make", "--vendor", "Quenvar", sample, target});
        QCOMPARE(run.ExitCode, 1);
        QVERIFY(run.Err.contains("already exists (give --replace to replace it)"));
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), before);
        QCOMPARE(RunTool({"make", "--vendor", "Quenvar", "--replace", sample, target}).ExitCode, 0);

        run = RunTool({"make", "--vendor", "Nobody", sample, dir.path() + "/Other.tc"});
        QCOMPARE(run.ExitCode, 1);
        QCOMPARE(run.Err.trimmed(),
                 QStringLiteral("Unknown vendor \"Nobody\": the program has no price-list password for it"));

        run = RunTool({"list", "--vendor", "Quenvar", target});
        QCOMPARE(run.ExitCode, 0);
        const QStringList lines = run.Out.split('\n');
        QCOMPARE(lines.mid(0, 3), (QStringList{"[PriceListInfo]", "39\tItalia\tEUR\t20270101", "[Standard]"}));
        QVERIFY(lines.contains("QV-STD-10K\t9800.0000"));
        QVERIFY(lines.contains("[Contracts]"));

        run = RunTool({"list", "--vendor", "Tevoro", target});
        QCOMPARE(run.ExitCode, 1);
        QVERIFY(run.Err.contains("not a price list of vendor \"Tevoro\""));
        QCOMPARE(RunTool({"list", target}).ExitCode, 2); // usage
    }

    // A full disk while the list is made or written: the list there before stays
    // byte for byte, nothing else is left, and the tool says so and fails.
    void fullDiskKeepsTheOldList_data()
    {
        QTest::addColumn<int>("fits"); // bytes of the list that fit; -1 all but the last, -2 half
        QTest::newRow("nothing fits") << 0;
        QTest::newRow("half fits") << -2;
        QTest::newRow("all but a byte fits") << -1;
    }

    void fullDiskKeepsTheOldList()
    {
        QFETCH(int, fits);
        QTemporaryDir dir;
        const QString sample = QStringLiteral(VX_SOURCE_DIR "tools/sample/Quenvar");
        const QString target = dir.path() + "/PriceList.tc";
        QCOMPARE(RunTool({"make", "--vendor", "Quenvar", sample, target}).ExitCode, 0);
        const qint64 size = QFileInfo(target).size();
        const QByteArray before = "the price list of last year";
        WriteText(target, before);

        const TToolRun run = RunTool({"make", "--vendor", "Quenvar", "--replace", sample, target},
                                     fits == -1 ? size - 1 : fits == -2 ? size / 2 : fits);
        QCOMPARE(run.ExitCode, 1);
        QVERIFY2(run.Err.startsWith(target + ": "), qPrintable(run.Err));
        QCOMPARE(ReadFileBytes(target), before);
        QCOMPARE(FolderFiles(dir.path()), QStringList{"PriceList.tc"});
    }

    void sampleListPricesTheEdition()
    {
        // Every article code of the Quenvar edition has a price in the sample
        // list but one, left out to show an unpriced item.
        SetupData = TSetupData();
        QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
        QStringList codes;
        for (int32_t area : {kUpsArea, kAccessoryArea})
            for (int32_t record : ListRecords(area, -1))
                if (!ArticleCode(record).isEmpty())
                    codes << ArticleCode(record);
        for (const TStandardUpsDefinition &d :
             ReadStandardUpsDefinitions(LoadStandardUpsList(ProgramVendorReader()), ProgramVendorReader()))
            codes << d.Code;
        QString code1120;
        GetVendorText(1121, code1120);
        codes << code1120; // the disabled model is priced too
        UnloadVendorLibrary();
        codes.removeDuplicates();
        QVERIFY(codes.size() > 50);

        auto db = TPriceListDatabase::Open(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), PriceListPassword("Quenvar"));
        QVERIFY(db != nullptr);
        QStringList unpriced;
        for (const QString &code : codes) {
            bool found = false;
            for (const QString &table : PriceTableNames())
                found = found || db->QueryPrice(table, code) > 0;
            if (!found)
                unpriced << code;
        }
        QCOMPARE(unpriced, QStringList{"QV-ACC-SUP-USB"});
    }
};

QTEST_GUILESS_MAIN(TestPriceListMaker)
#include "test_price_list_maker.moc"
