// The offer a customer receives, in each of the four languages, with every
// accessory the edition offers (and, in Italy, a maintenance contract): every
// word of every page lies within the page's margins, every price on show is in
// the document, and each page ends with its number. The PDF is read back with
// poppler, the print-out is painted through the printer path (and, where the
// test script set up its queue, printed), the Word document is read with
// python-docx and laid out by LibreOffice.

#include "DocumentReaders.h"
#include "MainWindowTestSupport.h"
#include "ReportWriter.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

constexpr double kMmToPt = 72.0 / 25.4;
constexpr double kPixel = 0.75; // points

struct TWord {
    QString Text;
    double Left, Top, Right, Bottom;
};

struct TPage {
    double Width = 0, Height = 0;
    QList<TWord> Words;
};

/// The words of every page with their boxes in points, as poppler reads them.
QList<TPage> ReadPages(const QString &pdf)
{
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<TPage> pages;
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                       R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.append({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (!pages.isEmpty()) {
            QString text = m.captured(7);
            text.replace(QStringLiteral("&amp;"), QStringLiteral("&")).replace(QStringLiteral("&lt;"), QStringLiteral("<"));
            text.replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&quot;"), QStringLiteral("\""));
            pages.last().Words.append({text, m.captured(3).toDouble(), m.captured(4).toDouble(),
                                       m.captured(5).toDouble(), m.captured(6).toDouble()});
        }
    }
    return pages;
}

/// Every word within the margins (left, right, top, bottom in points), give or take
/// one pixel of the report's 96-dpi grid (its margins are whole pixels).
void ExpectWithinMargins(const QList<TPage> &pages, double left, double right, double top, double bottom,
                         const QString &what)
{
    QVERIFY2(!pages.isEmpty(), qPrintable(what + ": no pages"));
    for (int p = 0; p < pages.size(); ++p)
        for (const TWord &w : pages[p].Words)
            QVERIFY2(w.Left >= left - kPixel && w.Right <= pages[p].Width - right + kPixel && w.Top >= top - kPixel &&
                         w.Bottom <= pages[p].Height - bottom + kPixel,
                     qPrintable(QStringLiteral("%1, page %2: \"%3\" at x %4..%5, y %6..%7")
                                    .arg(what)
                                    .arg(p + 1)
                                    .arg(w.Text)
                                    .arg(w.Left)
                                    .arg(w.Right)
                                    .arg(w.Top)
                                    .arg(w.Bottom)));
}

/// The lowest word of each page is its number, centred on the page.
void ExpectPageNumbers(const QList<TPage> &pages, const QString &what)
{
    for (int p = 0; p < pages.size(); ++p) {
        const TWord *lowest = nullptr;
        for (const TWord &w : pages[p].Words)
            if (lowest == nullptr || w.Bottom > lowest->Bottom)
                lowest = &w;
        QVERIFY2(lowest && lowest->Text == QString::number(p + 1), qPrintable(what + ": no page number at the foot"));
        QVERIFY(qAbs((lowest->Left + lowest->Right) / 2 - pages[p].Width / 2) < 3);
    }
}

QStringList AllWords(const QList<TPage> &pages)
{
    QStringList words;
    for (const TPage &page : pages)
        for (const TWord &w : page.Words)
            words << w.Text;
    return words;
}

/// Every price of the item table and the total are words of the document.
void ExpectPrices(const QList<TPage> &pages, const TOfferDocument &doc, const QString &what)
{
    const QStringList words = AllWords(pages);
    QVERIFY(doc.Items.ColumnCount() == 4 && !doc.Items.Rows.isEmpty());
    for (const QStringList &row : doc.Items.Rows)
        QVERIFY2(words.contains(row[3]), qPrintable(what + ": missing price " + row[3] + " of " + row[0]));
    for (const QStringList &row : doc.Items.Rows)
        QVERIFY2(words.contains(row[0]), qPrintable(what + ": missing code " + row[0]));
    const QString total = doc.TotalLine.section(u' ', -1);
    QVERIFY2(words.contains(total), qPrintable(what + ": missing total " + total));
}

/// The save command, answered with a file type (1 Word, 2 PDF) and a name.
void SaveOffer(TFrmVarnexCfgMain &window, int filter, const QString &fileName)
{
    SetSaveFileNameHook([&](const QStringList &, QString &name) {
        name = fileName;
        return filter;
    });
    Child<QAction>(window, "actSaveConfiguration")->trigger();
    SetSaveFileNameHook({});
}

void WriteFile(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestOfferPages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "poppler-utils missing"); }

    void everyLanguage_data()
    {
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<QByteArray>("choices");
        // One accessory of each group the edition offers there (the first group's
        // members exclude each other), the licences three times.
        const QByteArray accessories = R"("accessories": [{"record": 20000}, {"record": 20100, "quantity": 3},
            {"record": 20120}, {"record": 20140}, {"record": 20160}, {"record": 20180})";
        QTest::newRow("English") << "English.lng" << accessories + "]";
        QTest::newRow("German") << "Deutsch.lng" << accessories + "]";
        QTest::newRow("Spanish") << "Spanish.lng" << accessories + "]";
        QTest::newRow("Italian") << "Italian.lng"
                                 << accessories + R"(, {"record": 20200}, {"record": 20220}], "contracts": [20360])";
    }

    void everyLanguage()
    {
        QFETCH(QString, languageFile);
        QFETCH(QByteArray, choices);
        TTempHome home;
        TRecordingMessageService boxes;
        const QString data = home.DataHome() + QStringLiteral("/Varnex Configurator/");
        WriteFile(data + "VarnexCfg.ini", "[Setup]\r\nCheckUpdates=0\r\nLanguageFile=" + languageFile.toLatin1() + "\r\n");
        QVERIFY(QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), data + "PriceList.tc"));
        const QString configuration = home.Path() + "/offer.vxcfg";
        WriteFile(configuration, R"({"programVersion": ")" + ProgramVersion().toUtf8() + R"(", "sizeLine": 6, )" +
                                     choices + "}");

        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath(), {configuration}));
        window.show();
        QTRY_VERIFY(window.FirstIdleDone());
        QTRY_VERIFY(window.HasConfiguration());
        QCOMPARE(boxes.Texts(), QStringList());
        const TOfferDocument doc = window.OfferDocumentForTests();
        QCOMPARE(doc.Items.Rows.size(), languageFile == "Italian.lng" ? 12 : 9);

        // The PDF as the save command writes it.
        const QString pdf = home.Path() + "/offer.pdf";
        SaveOffer(window, 2, pdf);
        QVERIFY2(QFile::exists(pdf), qPrintable(boxes.Texts().join('\n')));
        const QList<TPage> pages = ReadPages(pdf);
        QCOMPARE(pages.size(), 2); // the offer, and the runtime annex on a page of its own
        ExpectWithinMargins(pages, 10 * kMmToPt, 10 * kMmToPt, 10 * kMmToPt, 5 * kMmToPt, "PDF");
        ExpectPageNumbers(pages, "PDF");
        ExpectPrices(pages, doc, "PDF");
        QVERIFY(AllWords(pages.mid(0, 1)).contains(doc.DataChanges.section(u' ', -1))); // the notes on page 1
        QVERIFY(AllWords(pages.mid(1)).contains(doc.RuntimeHeading.section(u' ', 0, 0)));

        // The print-out: the printer path painting on a PDF device.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(home.Path() + "/printed.pdf");
        QString error;
        QVERIFY2(PrintReport(doc, printer, error), qPrintable(error));
        const QList<TPage> printed = ReadPages(home.Path() + "/printed.pdf");
        QCOMPARE(printed.size(), pages.size());
        ExpectWithinMargins(printed, 10 * kMmToPt, 10 * kMmToPt, 10 * kMmToPt, 5 * kMmToPt, "print-out");
        ExpectPageNumbers(printed, "print-out");
        ExpectPrices(printed, doc, "print-out");

        // The Word document: content columns fitted to their texts, the title on one line.
        const QString word = home.Path() + "/offer.doc";
        SaveOffer(window, 1, word);
        const QJsonObject read = ReadWordDocument(word);
        const QJsonArray widths = read["tableWidths"].toArray()[0].toArray();
        QCOMPARE(widths.size(), 4);
        int sum = 0;
        for (const QJsonValue &w : widths)
            sum += w.toInt();
        QVERIFY(sum <= 11906 - 2 * 849);
        QVERIFY2(widths[1].toInt() > widths[0].toInt() && widths[1].toInt() > widths[3].toInt(),
                 qPrintable(QJsonDocument(widths).toJson(QJsonDocument::Compact)));
        QVERIFY(read["headerTitleNoWrap"].toBool() && read["rowsKeptWhole"].toBool());
        for (const QJsonValue &p : read["paragraphFlags"].toArray()) {
            const QString text = p["text"].toString();
            if (text == doc.ItemsHeading || text == doc.DataHeading || text == doc.NotesHeading)
                QVERIFY2(p["keepNext"].toBool(), qPrintable(text));
            QCOMPARE(p["pageBreakBefore"].toBool(), text == doc.RuntimeHeading);
        }

        const QString office = QStandardPaths::findExecutable("soffice");
        if (office.isEmpty()) {
            qInfo("LibreOffice is not installed: the Word document's pages are not checked");
        } else {
            Run(office, {"--headless", "-env:UserInstallation=file://" + home.Path() + "/lo", "--convert-to", "pdf",
                         "--outdir", home.Path() + "/converted", word});
            const QList<TPage> wordPages = ReadPages(home.Path() + "/converted/offer.pdf");
            ExpectWithinMargins(wordPages, 42.45, 42.45, 0, 0, "Word");
            ExpectPrices(wordPages, doc, "Word");
            QVERIFY(AllWords(wordPages).contains(doc.Title.section(u' ', -1) + "")); // the header title
        }

        // The printer queue of the test script prints the same pages.
        const QString out = qEnvironmentVariable("VX_PRINT_OUT");
        const QPrinterInfo queue = QPrinterInfo::printerInfo(QStringLiteral("VarnexTestPDF"));
        if (out.isEmpty() || queue.isNull())
            return;
        const QStringList before = QDir(out).entryList({"*.pdf"}, QDir::Files);
        QPrinter real(queue, QPrinter::HighResolution);
        QVERIFY2(PrintReport(doc, real, error), qPrintable(error));
        QStringList now;
        QTRY_VERIFY_WITH_TIMEOUT((now = QDir(out).entryList({"*.pdf"}, QDir::Files)).size() > before.size(), 20000);
        for (const QString &name : now)
            if (!before.contains(name))
                QTRY_VERIFY_WITH_TIMEOUT(Run("pdfinfo", {out + '/' + name})
                                             .contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages.size()))),
                                         10000);
    }

    // Without batteries the runtime annex is a sentence of text, whole, not a picture of one.
    void inverterOnlyAnnexIsText()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        const QString configuration = home.Path() + "/inverter.vxcfg";
        WriteFile(configuration, R"({"programVersion": ")" + ProgramVersion().toUtf8() +
                                     R"(", "sizeLine": 6, "specialConfig": "onlyInverter"})");
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath(), {configuration}));
        window.show();
        QTRY_VERIFY(window.FirstIdleDone());
        QTRY_VERIFY(window.HasConfiguration());
        const TOfferDocument doc = window.OfferDocumentForTests();
        QVERIFY(!doc.Runtime.Available() && !doc.RuntimeTexts.Absence.isEmpty());
        QString error;
        QVERIFY(WritePdfReport(doc, home.Path() + "/inverter.pdf", error));
        const QList<TPage> pages = ReadPages(home.Path() + "/inverter.pdf");
        QCOMPARE(pages.size(), 2);
        QStringList annex;
        for (const TWord &w : pages[1].Words)
            annex << w.Text;
        QVERIFY2(annex.join(u' ').contains(doc.RuntimeTexts.Absence.simplified()), qPrintable(annex.join(u' ')));

        const QString word = home.Path() + "/inverter.doc";
        SaveOffer(window, 1, word);
        const QJsonObject read = ReadWordDocument(word);
        QVERIFY(!read["media"].toArray().contains("word/media/runtime.png"));
        QCOMPARE(read["inlineShapes"].toInt(), 1); // the drawing only
        QStringList paragraphs;
        for (const QJsonValue &p : read["paragraphs"].toArray())
            paragraphs << p.toString();
        QVERIFY(paragraphs.contains(doc.RuntimeTexts.Absence));
    }
};

QTEST_MAIN(TestOfferPages)
#include "test_offer_pages.moc"
