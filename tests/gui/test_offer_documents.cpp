// The offer details of a request reach the PDF and the Word document written by
// VarnexCfg --size: the offer block on page 1, line totals, discount and net
// price, in each language; without offer details the documents are those of a
// plain configuration. Read back with poppler and python3-docx.

#include "DocumentReaders.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kOffer = "\"offer\": {\"customer\": \"ACME Stadtwerke\", \"project\": \"Rechenzentrum Nord\", "
                          "\"reference\": \"Q-2024-0007\", \"date\": \"2024-02-28\", \"validDays\": 30, "
                          "\"discountPercent\": 12.5, \"notes\": \"Delivery in May\\nCrane on site\"}";

} // namespace

class TestOfferDocuments : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTempHome> m_home;

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "poppler-utils missing");
        m_home = std::make_unique<TTempHome>();
        const QString data = m_home->DataHome() + "/Varnex Configurator";
        QVERIFY(QDir().mkpath(data));
        QVERIFY(QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), data + "/PriceList.tc"));
        // The sales engineer's contact, as the setup dialog keeps it.
        QVERIFY(WriteBytes(data + "/VarnexCfg.ini", "[Offer]\nSalesName=Anna Weber\nSalesPhone=+49 89 123456\n"
                                                   "SalesEmail=anna.weber@example.com\nSalesCompany=Varnex GmbH\n"));
    }

    void cleanupTestCase() { m_home.reset(); }

    void offerInEachLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("pdfLines"); // in this order on page 1
        QTest::addColumn<QString>("netLine");
        QTest::newRow("English") << "English.lng"
                                 << QStringList{"Customer ACME Stadtwerke", "Project / site Rechenzentrum Nord",
                                                "Reference Q-2024-0007", "Date 28/02/2024",
                                                "Valid until 29/03/2024",
                                                "Your contact Anna Weber, Varnex GmbH, +49 89 123456, "
                                                "anna.weber@example.com",
                                                "Notes Delivery in May", "Crane on site"}
                                 << "Net price (EUR): 11,261.25";
        QTest::newRow("Deutsch") << "Deutsch.lng"
                                 << QStringList{"Kunde ACME Stadtwerke", "Projekt / Standort Rechenzentrum Nord",
                                                "Angebotsnummer Q-2024-0007", "Datum 28.02.2024",
                                                "Gültig bis 29.03.2024"}
                                 << "Nettopreis (EUR):";
        QTest::newRow("Italian") << "Italian.lng"
                                 << QStringList{"Cliente ACME Stadtwerke", "Riferimento offerta Q-2024-0007",
                                                "Data 28/02/2024", "Valida fino al 29/03/2024"}
                                 << "Prezzo netto (EUR):";
        QTest::newRow("Spanish") << "Spanish.lng"
                                 << QStringList{"Cliente ACME Stadtwerke", "Referencia de la oferta Q-2024-0007",
                                                "Fecha 28/02/2024", "Válida hasta 29/03/2024"}
                                 << "Precio neto (EUR):";
    }

    void offerInEachLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, pdfLines);
        QFETCH(QString, netLine);
        QTemporaryDir dir;
        const QByteArray request = "{\"language\": \"" + language.toUtf8() +
                                   "\", \"sizeLine\": 1, \"modularBatteryCabinet\": false, "
                                   "\"accessories\": [{\"record\": 20100, \"quantity\": 4}], " + kOffer + "}";
        const QJsonObject answer = ExportDocuments(request, dir.path(), "offer");
        QVERIFY2(answer.value("ok").toBool(), qPrintable(QJsonDocument(answer).toJson()));

        const QString pdf = dir.path() + "/offer.pdf";
        const QStringList page1 = NonEmptyLines(Run("pdftotext", {"-layout", "-f", "1", "-l", "1", pdf, "-"}));
        qsizetype at = 0;
        for (const QString &line : pdfLines) {
            const qsizetype found = page1.indexOf(line, at);
            QVERIFY2(found >= 0, qPrintable(line + " not in order in\n" + page1.join('\n')));
            at = found + 1;
        }
        // The block comes under the header, before the bill of materials.
        QVERIFY(page1.indexOf(pdfLines.first()) < 4);
        const QString text = page1.join('\n');
        QVERIFY2(text.contains(netLine), qPrintable(text));
        if (language == "English.lng") {
            // Line totals beside the unit prices, then the discount and the net price.
            QVERIFY2(page1.contains("QV-PM-34 Power module 3.4 kVA 3 1,750.00 5,250.00"), qPrintable(text));
            QVERIFY(page1.contains("Discount (12.5%): -1,608.75"));
            QVERIFY(page1.indexOf("Total price (EUR): 12,870.00") < page1.indexOf("Net price (EUR): 11,261.25"));
        }

        const QJsonObject docx = ReadWordDocument(dir.path() + "/offer.doc");
        const QJsonArray tables = docx["tables"].toArray();
        QVERIFY(tables.size() >= 3);
        // The first table of the body is the offer block, the bill of materials then has a line total column.
        const QJsonArray block = tables[0].toArray();
        QCOMPARE(block[0].toArray()[1].toObject()["text"].toString(), QStringLiteral("ACME Stadtwerke"));
        QCOMPARE(block[2].toArray()[1].toObject()["text"].toString(), QStringLiteral("Q-2024-0007"));
        // Notes typed on two lines keep their break.
        QCOMPARE(block.last().toArray()[1].toObject()["text"].toString(), QStringLiteral("Delivery in May\nCrane on site"));
        const QJsonArray items = tables[1].toArray();
        QCOMPARE(items[0].toArray().size(), 5);
        QCOMPARE(items[2].toArray()[4].toObject()["text"].toString(), QStringLiteral("5,250.00"));
        const QString body = QString::fromUtf8(QJsonDocument(docx).toJson());
        QVERIFY(body.contains(netLine));
    }

    // Headless exports of the bill of materials: one file per accepted request with {n}.
    void billOfMaterialsExports()
    {
        QTemporaryDir dir;
        const QString requests = dir.path() + "/requests.json";
        QVERIFY(WriteBytes(requests, "[{\"sizeLine\": 1, \"modularBatteryCabinet\": false, "
                                    "\"accessories\": [{\"record\": 20100, \"quantity\": 4}], " + kOffer +
                                        "}, {\"loadPower\": \"x\"}, {\"sizeLine\": 5}]"));
        int exitCode = -1;
        const QString out = Run(BuiltProgramPath() + "VarnexCfg",
                                {"--size", requests, "--xlsx", dir.path() + "/bom-{n}.xlsx", "--csv",
                                 dir.path() + "/bom-{n}.csv"},
                                &exitCode);
        QCOMPARE(exitCode, 0);
        const QJsonArray answers = QJsonDocument::fromJson(out.toUtf8()).array();
        QCOMPARE(answers[0].toObject()["xlsx"].toString(), dir.path() + "/bom-1.xlsx");
        QCOMPARE(answers[2].toObject()["csv"].toString(), dir.path() + "/bom-2.csv");
        QCOMPARE(QDir(dir.path()).entryList({"bom-*"}),
                 (QStringList{"bom-1.csv", "bom-1.xlsx", "bom-2.csv", "bom-2.xlsx"}));

        QFile csv(dir.path() + "/bom-1.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{"Code,Description,Quantity,Unit price,Line total",
                                     "QV-IC-03-10,UPS cabinet with 3 power module slots,1,3000.00,3000.00",
                                     "QV-PM-34,Power module 3.4 kVA,3,1750.00,5250.00",
                                     "QV-BC-YU94,Non-modular battery cabinet (94 Ah),1,3900.00,3900.00",
                                     "QV-SW-RCCMD-01,RCCMD - Remote shutdown software for network clients (licences: 1),"
                                     "4,180.00,720.00",
                                     ",Total price (EUR):,,,12870.00", ",Discount (12.5%):,,,-1608.75",
                                     ",Net price (EUR):,,,11261.25"}));

        if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0)
            QSKIP("python3-openpyxl is not installed");
        const QString values = Run("/usr/bin/python3",
                                   {"-c",
                                    "import json, sys, openpyxl\n"
                                    "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                    "print(json.dumps([[c.value for c in row] for row in ws.iter_rows()]))\n",
                                    dir.path() + "/bom-1.xlsx"});
        const QJsonArray rows = QJsonDocument::fromJson(values.toUtf8()).array();
        QCOMPARE(rows.size(), 9); // captions, four items, an empty row, total, discount, net price
        QCOMPARE(rows[2].toArray().toVariantList(),
                 (QVariantList{"QV-PM-34", "Power module 3.4 kVA", 3, 1750, "=C3*D3"}));
        QCOMPARE(rows[6].toArray()[4].toString(), QStringLiteral("=SUM(E2:E5)"));
        QCOMPARE(rows[8].toArray()[1].toString(), QStringLiteral("Net price (EUR):"));
    }

    // Empty offer details give exactly the documents of a request without them.
    void withoutDetailsTheDocumentsOfToday()
    {
        QTemporaryDir dir;
        const QByteArray plain = R"({"sizeLine": 1, "modularBatteryCabinet": false})";
        const QByteArray empty = R"({"sizeLine": 1, "modularBatteryCabinet": false, "offer": {}})";
        QVERIFY(ExportDocuments(plain, dir.path(), "plain").value("ok").toBool());
        QVERIFY(ExportDocuments(empty, dir.path(), "empty").value("ok").toBool());
        const QString plainText = Run("pdftotext", {"-layout", dir.path() + "/plain.pdf", "-"});
        QCOMPARE(Run("pdftotext", {"-layout", dir.path() + "/empty.pdf", "-"}), plainText);
        QVERIFY(!plainText.contains("Customer") && !plainText.contains("Net price"));
        QCOMPARE(ReadWordDocument(dir.path() + "/empty.doc"), ReadWordDocument(dir.path() + "/plain.doc"));
        QCOMPARE(ReadWordDocument(dir.path() + "/plain.doc")["tables"].toArray()[0].toArray()[0].toArray().size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestOfferDocuments)
#include "test_offer_documents.moc"
