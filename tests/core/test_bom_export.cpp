// The bill of materials as CSV and XLSX: every item is there, amounts are exact,
// and the workbook's totals are formulas over its numbers. The CSV is parsed
// back by a reader of RFC 4180; the workbook is read with python3-openpyxl.

#include <QtTest>

#include "BomExport.h"
#include "PriceList.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

TItemRow Row(int32_t group, const QString &code, const QString &description, int32_t quantity, TCurrency price)
{
    TItemRow row;
    row.Group = group;
    row.Code = code;
    row.Description = description;
    row.Quantity = quantity;
    row.Priced = true;
    row.Price = price;
    return row;
}

TItemList SampleList()
{
    TItemList list;
    list.PriceListOpen = list.ShowPrices = true;
    list.Rows = {Row(int32_t(TItemGroup::Components), " QV-IC-03-10", " UPS cabinet, 3 slots", 1, 30000000),
                 Row(int32_t(TItemGroup::Components), " QV-PM-34", " Power module \"3.4 kVA\"", 3, 17500000),
                 Row(int32_t(TItemGroup::Accessories), " QV-SW", " Software\nfor clients", 4, 1803333)};
    for (const TItemRow &row : list.Rows)
        list.Total += LineTotal(row);
    return list;
}

TBomLabels Labels()
{
    return TBomLabels{{"Code", "Description", "Quantity", "Unit price", "Line total"},
                      "Total price (EUR):", "Discount (10%):", "Net price (EUR):"};
}

/// RFC 4180: fields separated by commas, quoted fields may hold commas, quotes (doubled) and line breaks.
QList<QStringList> ParseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class TestBomExport : public QObject {
    Q_OBJECT

private slots:
    void amounts_data()
    {
        QTest::addColumn<qlonglong>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 17500000LL << "1750.00";
        QTest::newRow("four decimals") << 3333333LL << "333.3333";
        QTest::newRow("three decimals") << 12345LL << "1.2345";
        QTest::newRow("cents") << 1234500LL << "123.45";
        QTest::newRow("zero") << 0LL << "0.00";
        QTest::newRow("negative") << -16087500LL << "-1608.75";
    }

    void amounts()
    {
        QFETCH(qlonglong, amount);
        QFETCH(QString, text);
        QCOMPARE(PlainAmount(amount), text);
    }

    void csvParsedBack()
    {
        TOfferDetails offer;
        offer.Discount = 1000;
        const QByteArray bytes = BillOfMaterialsCsv(SampleList(), offer, Labels());
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = ParseCsv(QString::fromUtf8(bytes.mid(3)));
        const QList<QStringList> expected{
            {"Code", "Description", "Quantity", "Unit price", "Line total"},
            {"QV-IC-03-10", "UPS cabinet, 3 slots", "1", "3000.00", "3000.00"},
            {"QV-PM-34", "Power module \"3.4 kVA\"", "3", "1750.00", "5250.00"},
            {"QV-SW", "Software\nfor clients", "4", "180.3333", "721.3332"},
            {"", "Total price (EUR):", "", "", "8971.3332"},
            {"", "Discount (10%):", "", "", "-897.13"},
            {"", "Net price (EUR):", "", "", "8074.2032"},
        };
        QCOMPARE(rows, expected);

        // Without prices: the three columns the grid has.
        TItemList unpriced = SampleList();
        unpriced.PriceListOpen = unpriced.ShowPrices = false;
        const QList<QStringList> plain = ParseCsv(QString::fromUtf8(BillOfMaterialsCsv(unpriced, {}, Labels()).mid(3)));
        QCOMPARE(plain.size(), 4);
        QCOMPARE(plain[1], (QStringList{"QV-IC-03-10", "UPS cabinet, 3 slots", "1"}));
    }

    void xlsxReadBack()
    {
        if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
            QSKIP("python3-openpyxl is not installed");
        QTemporaryDir dir;
        const QString file = dir.filePath("bom.xlsx");
        TOfferDetails offer;
        offer.Discount = 1000;
        QString error;
        QVERIFY2(WriteBillOfMaterialsXlsx(SampleList(), offer, Labels(), file, error), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"bom.xlsx"});
        const char *script = R"(
import json, sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps([[c.value for c in row] for row in ws.iter_rows()] + [[ws["D2"].number_format]]))
)";
        QProcess p;
        p.start("/usr/bin/python3", {"-c", script, file});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        QCOMPARE(rows[0].toArray().toVariantList(),
                 (QVariantList{"Code", "Description", "Quantity", "Unit price", "Line total"}));
        QCOMPARE(rows[2].toArray().toVariantList(), (QVariantList{"QV-PM-34", "Power module \"3.4 kVA\"", 3, 1750, "=C3*D3"}));
        QCOMPARE(rows[3].toArray()[3].toDouble(), 180.3333);
        QCOMPARE(rows[5].toArray()[4].toString(), QStringLiteral("=SUM(E2:E4)"));
        QCOMPARE(rows[6].toArray()[4].toString(), QStringLiteral("=-ROUND(E6*10/100,2)"));
        QCOMPARE(rows[7].toArray()[4].toString(), QStringLiteral("=E6+E7"));
        QCOMPARE(rows[7].toArray()[1].toString(), QStringLiteral("Net price (EUR):"));
        QCOMPARE(rows.last().toArray()[0].toString(), QStringLiteral("#,##0.00"));
    }

    void unwritableTargetKeepsNothing()
    {
        QString error;
        QVERIFY(!WriteBillOfMaterialsXlsx(SampleList(), {}, Labels(), "/proc/bom.xlsx", error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!WriteBillOfMaterialsCsv(SampleList(), {}, Labels(), "/proc/bom.csv", error));
    }
};

QTEST_GUILESS_MAIN(TestBomExport)
#include "test_bom_export.moc"
