// The documents a user saves from the results page, read back with real
// readers: the PDF with poppler's tools, the Word document with python-docx
// (and LibreOffice where it is installed), the drawing as a BMP file, the
// clipboard copies, and saves that cannot succeed.

#include "DocumentReaders.h"
#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include "LayoutPaintBox.h"
#include "PriceList.h"
#include "ReportWriter.h"
#include "WindowServices.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

namespace {


} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "poppler-utils missing"); }

    void pdfWithPrices()
    {
        TWindowWithResults w(true);
        QTemporaryDir dir;
        const QString chosen = dir.path() + "/offer.txt"; // the PDF filter sets the extension
        w.Save(2, chosen);
        const QString pdf = dir.path() + "/offer.pdf";
        QCOMPARE(w.Boxes.Texts(), QStringList{"The file " + pdf + " has been saved successfully."});
        QVERIFY(!QFile::exists(chosen));

        const QStringList lines = NonEmptyLines(Run("pdftotext", {"-layout", pdf, "-"}));
        const QStringList expectedInOrder{"Varnex Configurator",
                                          "1.0",
                                          "Bill of materials",
                                          "Code Description Quantity Unit price",
                                          "QV-IC-12-60H UPS cabinet with 12 power module slots 1 10,700.00",
                                          "QV-BC-20 Modular battery cabinet for 20 battery kits 1 1,900.00",
                                          "Total price (EUR): 21,520.00",
                                          "Technical data",
                                          "Input configuration Three-phase",
                                          "Weight of each battery cabinet 1 x 207 Kg",
                                          "Legal notes",
                                          "Price list: Italia",
                                          "Price list valid from 1 Jan 2027",
                                          "Technical data and prices are subject to change without notice.",
                                          "1",
                                          "Runtime and heat",
                                          "Heat and efficiency",
                                          "2"};
        qsizetype at = 0;
        for (const QString &expected : expectedInOrder) {
            const qsizetype found = lines.indexOf(expected, at);
            QVERIFY2(found >= 0, qPrintable("missing or out of order: " + expected + "\n" + lines.join('\n')));
            at = found + 1;
        }
        // The data sheet has no heading row of its own.
        QVERIFY(!lines.contains("Parameter Value"));
        // The runtime block: the chart's own texts (it is drawn as vectors) and the heat table.
        const QString all = lines.join(u'\n').replace(QChar(0xFB01), QStringLiteral("fi")); // the "fi" ligature
        QVERIFY2(all.contains("This configuration: 23 min") && all.contains("Autonomy") && all.contains("100 %"),
                 qPrintable(all));
        QVERIFY(all.contains(QRegularExpression("Efficiency at the backed-up load \\d+\\.\\d %")));
        QVERIFY(all.contains(QRegularExpression("Losses at full installed power \\d+ W \\(\\d+ BTU/h\\)")));

        const QString fonts = Run("pdffonts", {pdf});
        QVERIFY2(fonts.contains("LiberationSans-Bold") || fonts.contains("Arial-Bold"), qPrintable(fonts));
        const QString images = Run("pdfimages", {"-list", pdf});
        QCOMPARE(images.count(QRegularExpression("\\n\\s*1\\s+\\d+\\s+image\\s")), 3); // the drawing and the two logos
        QVERIFY2(!images.contains("jpeg"), qPrintable(images));
        const QString info = Run("pdfinfo", {pdf});
        QVERIFY(info.contains(QRegularExpression("Page size:\\s+59[45](\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")));
        QVERIFY(info.contains(QRegularExpression("Pages:\\s+2\\n"))); // the runtime annex on a page of its own
    }

    void pdfWithoutPrices()
    {
        TWindowWithResults w(false);
        QTemporaryDir dir;
        w.Save(2, dir.path() + "/offer");
        const QStringList lines = NonEmptyLines(Run("pdftotext", {"-layout", dir.path() + "/offer.pdf", "-"}));
        QVERIFY(lines.contains("Code Description Quantity"));
        for (const QString &line : lines)
            QVERIFY2(!line.startsWith("Total price") && !line.startsWith("Price list"), qPrintable(line));
    }

    void longContentContinuesOnAnotherPage()
    {
        TOfferDocument doc;
        doc.Title = QStringLiteral("Varnex Configurator");
        doc.Version = QStringLiteral("1.0");
        doc.ItemsHeading = QStringLiteral("Bill of materials");
        doc.Items.Headings = {"Code", "Description", "Quantity"};
        doc.Items.Align = {TDocAlign::Left, TDocAlign::Left, TDocAlign::Right};
        for (int i = 1; i <= 150; ++i)
            doc.Items.Rows << QStringList{QStringLiteral("QV-%1").arg(i), QStringLiteral("Item %1").arg(i), "1"};
        doc.DataChanges = QStringLiteral("The last line");
        QTemporaryDir dir;
        QString error;
        QVERIFY(WritePdfReport(doc, dir.path() + "/long.pdf", error));
        const QString text = Run("pdftotext", {"-layout", dir.path() + "/long.pdf", "-"});
        QVERIFY(Run("pdfinfo", {dir.path() + "/long.pdf"}).contains(QRegularExpression("Pages:\\s+2\\n")));
        QCOMPARE(text.count("Varnex Configurator"), 2); // the header band on each page
        QCOMPARE(text.count(QRegularExpression("Code\\s+Description\\s+Quantity")), 2);
        QVERIFY(text.contains("QV-150") && text.contains("The last line"));
    }

    void wordDocument()
    {
        TWindowWithResults w(true);
        QTemporaryDir dir;
        w.Save(1, dir.path() + "/offer.txt");
        const QString doc = dir.path() + "/offer.doc";
        QCOMPARE(w.Boxes.Texts(), QStringList{"The file " + doc + " has been saved successfully."});
        int exitCode = -1;
        const QString out = Run("/usr/bin/python3", {VX_SOURCE_DIR "tests/support/read_docx.py", doc}, &exitCode);
        QCOMPARE(exitCode, 0);
        const QJsonObject read = QJsonDocument::fromJson(out.toUtf8()).object();
        const QJsonArray tables = read["tables"].toArray();
        QCOMPARE(tables.size(), 3); // items, data sheet, heat figures
        const QJsonArray items = tables[0].toArray();
        QCOMPARE(items.size(), 5); // the captions and four items
        for (int c = 0; c < 4; ++c)
            QVERIFY(items[0].toArray()[c].toObject()["bold"].toBool());
        for (const QJsonValue &row : items)
            for (int c : {2, 3})
                QCOMPARE(row.toArray()[c].toObject()["align"].toString(), QStringLiteral("right"));
        QCOMPARE(items[1].toArray()[3].toObject()["text"].toString(), QStringLiteral("10,700.00"));
        const QJsonArray data = tables[1].toArray();
        QCOMPARE(data.size(), Child<QTableWidget>(*w.Window, "grdData")->rowCount());
        QCOMPARE(data[0].toArray()[0].toObject()["text"].toString(), QStringLiteral("Input configuration"));
        QVERIFY(!data[0].toArray()[0].toObject()["bold"].toBool());
        QCOMPARE(read["headerCells"].toArray(), (QJsonArray{"", "Varnex Configurator 1.0", ""}));
        QVERIFY(read["footerHasPageField"].toBool());
        QCOMPARE(read["media"].toArray(), (QJsonArray{"word/media/layout.png", "word/media/logo_brand.png",
                                                      "word/media/logo_product.png", "word/media/runtime.png"}));
        QCOMPARE(read["inlineShapes"].toInt(), 2); // the drawing and the runtime chart
        const QJsonArray heat = tables[2].toArray();
        QCOMPARE(heat.size(), 3);
        QCOMPARE(heat[0].toArray()[0].toObject()["text"].toString(), QStringLiteral("Efficiency at the backed-up load"));
        QCOMPARE(read["pageWidthMm"].toInt(), 210);
        QCOMPARE(read["marginsPt"].toArray(), (QJsonArray{42.45, 42.45, 42.45, 42.45}));
        QVERIFY(read["portrait"].toBool());
        QStringList paragraphs;
        for (const QJsonValue &p : read["paragraphs"].toArray())
            paragraphs << p.toString();
        const qsizetype notes = paragraphs.indexOf("Legal notes");
        QVERIFY(notes > 0);
        // The runtime annex follows the notes.
        const qsizetype runtime = paragraphs.indexOf("Runtime and heat");
        QVERIFY(notes > paragraphs.indexOf("Technical data") && runtime > notes &&
                runtime < paragraphs.indexOf("Heat and efficiency"));
        QCOMPARE(paragraphs.mid(notes + 4, 5),
                 (QStringList{"", "Price list: Italia", "Price list valid from 1 Jan 2027", "",
                              "Technical data and prices are subject to change without notice."}));
        QVERIFY(paragraphs.contains("Total price (EUR): 21,520.00"));

        // Where LibreOffice is installed, it opens the document too.
        const QString office = QStandardPaths::findExecutable("soffice");
        if (office.isEmpty()) {
            qInfo("LibreOffice is not installed: the conversion check is skipped");
            return;
        }
        Run(office, {"--headless", "-env:UserInstallation=file://" + dir.path() + "/lo", "--convert-to", "pdf",
                     "--outdir", dir.path() + "/converted", doc});
        QVERIFY(QFile::exists(dir.path() + "/converted/offer.pdf"));
    }

    void unpricedItemNamedAfterTheTotal()
    {
        // The sample list has no price for the USB card: both documents name it right after the total.
        TWindowWithResults w(true, QString(), SavedConfiguration(R"("accessories": [{"record": 20080}])"));
        QTemporaryDir dir;
        w.Save(2, dir.path() + "/offer.pdf");
        w.Save(1, dir.path() + "/offer.doc");
        QCOMPARE(w.Boxes.Messages.size(), 2);
        const QString total = QStringLiteral("Total price (EUR): 21,520.00");
        const QString unpriced = QStringLiteral("No price in the price list, not included in the total: QV-ACC-SUP-USB");

        const QStringList lines = NonEmptyLines(Run("pdftotext", {"-layout", dir.path() + "/offer.pdf", "-"}));
        const qsizetype at = lines.indexOf(total);
        QVERIFY2(at > 0 && lines.value(at + 1) == unpriced, qPrintable(lines.join('\n')));

        int exitCode = -1;
        const QString out =
            Run("/usr/bin/python3", {VX_SOURCE_DIR "tests/support/read_docx.py", dir.path() + "/offer.doc"}, &exitCode);
        QCOMPARE(exitCode, 0);
        QStringList paragraphs;
        for (const QJsonValue &p : QJsonDocument::fromJson(out.toUtf8()).object()["paragraphs"].toArray())
            paragraphs << p.toString();
        const qsizetype wordAt = paragraphs.indexOf(total);
        QVERIFY2(wordAt > 0 && paragraphs.value(wordAt + 1) == unpriced, qPrintable(paragraphs.join('\n')));
    }

    void failedSavesLeaveNothing_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("kind");
        QTest::newRow("PDF on a read-only file system") << 2 << "readonly";
        QTest::newRow("Word on a read-only file system") << 1 << "readonly";
        QTest::newRow("PDF over a folder") << 2 << "folder";
        QTest::newRow("Word over a folder") << 1 << "folder";
    }

    void failedSavesLeaveNothing()
    {
        QFETCH(int, filter);
        QFETCH(QString, kind);
        TWindowWithResults w(false);
        QTemporaryDir dir;
        const QString extension = filter == 1 ? ".doc" : ".pdf";
        QString target = "/proc/offer" + extension;
        if (kind == "folder") {
            target = dir.path() + "/offer" + extension;
            QVERIFY(QDir().mkpath(target + "/inside"));
        }
        w.Save(filter, target);
        QCOMPARE(w.Boxes.Messages.size(), 1);
        QCOMPARE(w.Boxes.Messages[0].Kind, QStringLiteral("error"));
        QCOMPARE(w.Boxes.Messages[0].Text,
                 filter == 1 ? QStringLiteral("An error occurred while creating or saving the Word document.")
                             : "The file " + target + " could not be saved.");
        if (kind == "folder")
            QVERIFY(QFileInfo(target + "/inside").isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void layoutAsBitmap()
    {
        TWindowWithResults w(false);
        QTemporaryDir dir;
        SetSaveFileNameHook([&](const QStringList &filters, QString &name) {
            if (filters != QStringList{"Bitmap image (*.bmp)|*.bmp"})
                return -1;
            name = dir.path() + "/drawing.txt";
            return 1;
        });
        Child<QAction>(*w.Window, "actLayoutSaveToFile")->trigger();
        const QString bmp = dir.path() + "/drawing.bmp";
        QCOMPARE(w.Boxes.Texts(), QStringList{"The file " + bmp + " has been saved successfully."});
        QFile file(bmp);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2), QByteArray("BM"));
        const QImage read(bmp, "BMP");
        QCOMPARE(read.size(), w.Window->PaintGlobalLayout()->LayoutBitmap().size());

        Child<QAction>(*w.Window, "actLayoutCopyToClipBoard")->trigger();
        QCOMPARE(QApplication::clipboard()->image().size(), read.size());
    }

    void tablesToClipboard()
    {
        TWindowWithResults w(true);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        Child<QTabWidget>(*w.Window, "pageControlResult")->setCurrentIndex(0);
        Child<QAction>(*w.Window, "actTableCopyToClipboard")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before")); // the drawing's tab copies nothing
        Child<QTabWidget>(*w.Window, "pageControlResult")->setCurrentIndex(1);
        Child<QAction>(*w.Window, "actTableCopyToClipboard")->trigger();
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("QV-IC-12-60H  -->  UPS cabinet with 12 power module slots  -->  1\r\n"
                                "QV-PM-50  -->  Power module 5 kVA  -->  3\r\n"
                                "QV-BK-090  -->  Battery kit 9 Ah  -->  8\r\n"
                                "QV-BC-20  -->  Modular battery cabinet for 20 battery kits  -->  1\r\n"));
        Child<QTabWidget>(*w.Window, "pageControlResult")->setCurrentIndex(2);
        Child<QAction>(*w.Window, "actTableCopyToClipboard")->trigger();
        QVERIFY(QApplication::clipboard()->text().startsWith("Input configuration  -->  Three-phase\r\n"));
    }

    void headlessExports()
    {
        // Batch offers: one document per accepted request with a pattern, the first alone without.
        TTempHome home;
        QTemporaryDir dir;
        const QString requests = dir.path() + "/requests.json";
        QFile file(requests);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"([{"sizeLine": 1}, {"loadPower": "x"}, {"sizeLine": 12, "loadPower": 60000}])");
        file.close();
        const QString program = BuiltProgramPath() + "VarnexCfg";
        int exitCode = -1;
        const QString out = Run(program,
                                {"--size", requests, "--pdf", dir.path() + "/offer-{n}.pdf", "--doc",
                                 dir.path() + "/offer-{n}.doc", "--bmp", dir.path() + "/single.bmp"},
                                &exitCode);
        QCOMPARE(exitCode, 0);
        const QJsonArray answers = QJsonDocument::fromJson(out.toUtf8()).array();
        QCOMPARE(answers.size(), 3);
        QCOMPARE(answers[0].toObject()["pdf"].toString(), dir.path() + "/offer-1.pdf");
        QCOMPARE(answers[2].toObject()["doc"].toString(), dir.path() + "/offer-2.doc");
        QVERIFY(!answers[1].toObject().contains("pdf"));
        QVERIFY(answers[0].toObject().contains("bmp") && !answers[2].toObject().contains("bmp"));
        QCOMPARE(QDir(dir.path()).entryList({"offer-*", "single.*"}),
                 (QStringList{"offer-1.doc", "offer-1.pdf", "offer-2.doc", "offer-2.pdf", "single.bmp"}));
        const QStringList second = NonEmptyLines(Run("pdftotext", {"-layout", dir.path() + "/offer-2.pdf", "-"}));
        QVERIFY(second.contains("QV-IC-12-60H UPS cabinet with 12 power module slots 1"));

        // The same drawing with or without a font configuration naming the program's fonts.
        QProcess plain;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("FONTCONFIG_FILE");
        plain.setProcessEnvironment(env);
        plain.start(program, {"--size", requests, "--bmp", dir.path() + "/plain.bmp"});
        QVERIFY(plain.waitForFinished(60000));
        QCOMPARE(QImage(dir.path() + "/plain.bmp"), QImage(dir.path() + "/single.bmp"));

        // A folder where the drawing should go is left alone, and the answer says so once.
        QVERIFY(QDir().mkpath(dir.path() + "/drawing.png"));
        const QString folderTarget = Run(program, {"--size", requests, "--layout-image", dir.path() + "/drawing.png"});
        QCOMPARE(folderTarget.count("\"ok\": false"), 2); // the refused request and the one without its image
        QCOMPARE(folderTarget.count("\"ok\""), 3);
        QVERIFY(QFileInfo(dir.path() + "/drawing.png").isDir());

        // A target that cannot be written is said in the answer; nothing half-written stays.
        const QString refused = Run(program, {"--size", requests, "--pdf", "/proc/offer-{n}.pdf"});
        QVERIFY(QJsonDocument::fromJson(refused.toUtf8())
                    .array()[0]
                    .toObject()["pdfError"]
                    .toString()
                    .startsWith("/proc/offer-1.pdf: "));
    }

    void printsOnAPrinter()
    {
        // The queue of the test script prints into PDF files in VX_PRINT_OUT.
        const QString out = qEnvironmentVariable("VX_PRINT_OUT");
        const QPrinterInfo queue = QPrinterInfo::printerInfo(QStringLiteral("VarnexTestPDF"));
        if (out.isEmpty() || queue.isNull())
            QSKIP("no printer queue on this machine (scripts/print-queue.sh sets one up as root): printing is not "
                  "checked");
        const QStringList before = QDir(out).entryList({"*.pdf"}, QDir::Files);
        TWindowWithResults w(true);
        QPrinter printer(queue, QPrinter::HighResolution);
        printer.setCopyCount(1);
        QString error;
        QVERIFY2(PrintReport(w.Window->OfferDocumentForTests(), printer, error), qPrintable(error));
        QStringList printed;
        QTRY_VERIFY_WITH_TIMEOUT((printed = QDir(out).entryList({"*.pdf"}, QDir::Files)).size() > before.size(), 20000);
        QString file;
        for (const QString &name : printed)
            if (!before.contains(name))
                file = out + '/' + name;
        // The same two pages as the PDF: the runtime annex on the second.
        QTRY_VERIFY_WITH_TIMEOUT(Run("pdfinfo", {file}).contains(QRegularExpression("Pages:\\s+2\\n")), 10000);
    }
};

QTEST_MAIN(TestDocuments)
#include "test_documents.moc"
