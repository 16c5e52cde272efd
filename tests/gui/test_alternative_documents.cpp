// A request with alternatives, sized by VarnexCfg --size: three answers and a
// comparison, and the PDF and Word document with a comparison page after the
// main offer and its annex, in each language. Read back with poppler and python3-docx.

#include "DocumentReaders.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

/// The value of the data sheet row at `index` of an answer (the available autonomy is the 8th row here).
QString SheetValue(const QJsonObject &answer, const QString &name)
{
    for (const QJsonValue &row : answer.value("dataSheet").toArray())
        if (row.toArray().at(0).toString() == name)
            return row.toArray().at(1).toString();
    return QStringLiteral("<none>");
}

int PdfPages(const QString &pdf)
{
    for (const QString &line : Run("pdfinfo", {pdf}).split(u'\n'))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

QString PdfPage(const QString &pdf, int page)
{
    return Run("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

const QByteArray kMain = R"("loadPower": "10000", "autonomyMinutes": "15")";
const QByteArray kAlternatives =
    R"("alternatives": [{"autonomyMinutes": "30"}, {"label": "Cab-94", "modularBatteryCabinet": false}])";

} // namespace

class TestAlternativeDocuments : public QObject {
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
    }

    void cleanupTestCase() { m_home.reset(); }

    void comparisonPageInEachLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("mainColumn");
        QTest::addColumn<QString>("firstOption");
        QTest::newRow("English") << "English.lng" << "Comparison" << "Main configuration" << "Option A";
        QTest::newRow("Deutsch") << "Deutsch.lng" << "Vergleich" << "Hauptkonfiguration" << "Option A";
        QTest::newRow("Italian") << "Italian.lng" << "Confronto" << "Configurazione principale" << "Opzione A";
        QTest::newRow("Spanish") << "Spanish.lng" << "Comparación" << "Configuración principal" << "Opción A";
    }

    void comparisonPageInEachLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, heading);
        QFETCH(QString, mainColumn);
        QFETCH(QString, firstOption);
        QTemporaryDir dir;
        const QByteArray lang = "\"language\": \"" + language.toUtf8() + "\", ";
        const QJsonObject answer = ExportDocuments("{" + lang + kMain + ", " + kAlternatives + "}", dir.path(), "offer");
        QVERIFY2(answer.value("ok").toBool(), qPrintable(QJsonDocument(answer).toJson()));
        const QJsonObject plain = ExportDocuments("{" + lang + kMain + "}", dir.path(), "plain");
        QVERIFY(plain.value("ok").toBool());

        // Three answers: the main one and one per alternative, each in the same form.
        const QJsonArray alternatives = answer.value("alternatives").toArray();
        QCOMPARE(alternatives.size(), 2);
        QCOMPARE(alternatives[0]["label"].toString(), firstOption);
        QCOMPARE(alternatives[1]["label"].toString(), QStringLiteral("Cab-94"));
        for (const QJsonValue &a : alternatives)
            QVERIFY(a["ok"].toBool() && a["dataSheet"].isArray() && a["result"].isObject());
        const QJsonArray rows = answer.value("comparison").toArray();
        QCOMPARE(rows.size(), 14);
        // With a price list every configuration has a total and a net price.
        for (int row : {12, 13})
            for (int column = 1; column < 4; ++column)
                QVERIFY(rows[row][column].toString().contains("EUR"));
        QCOMPARE(rows[12][1].toString(), answer["totalPrice"].toString() + " EUR");

        // The available autonomy of each configuration, side by side.
        const QString available = rows[7][0].toString();
        QStringList expected{available, SheetValue(answer, available)};
        for (const QJsonValue &a : alternatives)
            expected << SheetValue(a.toObject(), available);
        QCOMPARE(rows[7].toVariant().toStringList(), expected);
        QCOMPARE(expected.size(), 4);
        QVERIFY(expected[1] != expected[2] && expected[2] != expected[3]);

        // The PDF: the main offer's pages as without alternatives, then the comparison page.
        const QString pdf = dir.path() + "/offer.pdf";
        const int pages = PdfPages(dir.path() + "/plain.pdf");
        QCOMPARE(PdfPages(pdf), pages + 1);
        for (int page = 1; page <= pages; ++page)
            QCOMPARE(PdfPage(pdf, page), PdfPage(dir.path() + "/plain.pdf", page));
        const QStringList last = NonEmptyLines(PdfPage(pdf, pages + 1));
        QVERIFY2(last.contains(heading), qPrintable(last.join('\n')));
        QVERIFY2(last.contains(QStringList{mainColumn, firstOption, "Cab-94"}.join(' ')), qPrintable(last.join('\n')));
        QVERIFY2(last.contains(expected.join(' ')), qPrintable(last.join('\n')));

        // The Word document: the comparison is its last table, under the heading.
        const QJsonObject docx = ReadWordDocument(dir.path() + "/offer.doc");
        const QJsonArray table = docx["tables"].toArray().last().toArray();
        QCOMPARE(table.size(), 15);
        QStringList captions, autonomy;
        for (const QJsonValue &cell : table[0].toArray())
            captions << cell["text"].toString();
        for (const QJsonValue &cell : table[8].toArray())
            autonomy << cell["text"].toString();
        QCOMPARE(captions, (QStringList{QString(), mainColumn, firstOption, "Cab-94"}));
        QCOMPARE(autonomy, expected);
        QVERIFY(docx["paragraphs"].toVariant().toStringList().contains(heading) ||
                QJsonDocument(docx).toJson().contains(heading.toUtf8()));
        QCOMPARE(ReadWordDocument(dir.path() + "/plain.doc")["tables"].toArray().size(),
                 docx["tables"].toArray().size() - 1);
    }
};

QTEST_GUILESS_MAIN(TestAlternativeDocuments)
#include "test_alternative_documents.moc"
