// Services the windows share: the save-file dialog, opening web addresses
// and mails, the application title.

#include "TestSupport.h"

#include "WindowServices.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

const QStringList kDocumentFilters = {
    QStringLiteral("MS Word 2000 (or higher) Document (*.doc)|*.doc"),
    QStringLiteral("PDF Document (*.pdf)|*.pdf"),
};

/// Runs `act` on the modal file dialog, again on every tick until it has closed:
/// a dialog still setting itself up may ignore the first answer.
void WhenFileDialogAppears(QTimer &timer, std::function<void(QFileDialog *)> act)
{
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [act] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        act(dialog);
    });
    timer.start();
}

} // namespace

class TestMainWindowServices : public QObject {
    Q_OBJECT

private slots:
    // The icon the windows draw is the one the desktop entry installs: every
    // size of the files, pixel for pixel within a rasteriser's rounding.
    void drawnIconMatchesTheInstalledFiles()
    {
        for (int size : {16, 32, 48, 128, 256}) {
            const QImage file =
                QImage(QStringLiteral(VX_SOURCE_DIR "resources/icons/varnex-configurator-%1.png").arg(size))
                    .convertToFormat(QImage::Format_ARGB32);
            const QImage drawn = PaintProgramIcon(size).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(drawn.size(), file.size());
            qint64 difference = 0;
            int worst = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QRgb a = drawn.pixel(x, y), b = file.pixel(x, y);
                    const int d = qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))),
                                       qMax(qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))));
                    difference += d;
                    worst = qMax(worst, d);
                }
            const double mean = double(difference) / (size * size);
            QVERIFY2(mean < 2.0, qPrintable(QStringLiteral("%1 px: mean difference %2, worst %3").arg(size).arg(mean).arg(worst)));
        }
        QCOMPARE(ProgramIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    }

    void cleanup();
    void nameWrittenForTheNameTyped_data();
    void nameWrittenForTheNameTyped();
    void saveDialogReturnsChosenFilterAndName_data();
    void saveDialogReturnsChosenFilterAndName();
    void cancelledSaveDialogReturnsMinusOne();
    void webLinkAndMailOpenUnderWaitCursor();
};

void TestMainWindowServices::cleanup()
{
    SetOpenUrlHook(nullptr);
    SetSaveFileNameHook(nullptr);
}

void TestMainWindowServices::nameWrittenForTheNameTyped_data()
{
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expectedFilter");
    QTest::addColumn<QString>("expectedName");
    const QStringList bitmap{QStringLiteral("Bitmap image (*.bmp)|*.bmp")};
    const QStringList configuration{QStringLiteral("Varnex configuration (*.vxcfg)|*.vxcfg")};
    QTest::newRow("Word, no extension") << kDocumentFilters << 1 << "/o/offer" << 1 << "/o/offer.doc";
    QTest::newRow("Word, another extension") << kDocumentFilters << 1 << "/o/offer.txt" << 1 << "/o/offer.doc";
    QTest::newRow("Word, its own") << kDocumentFilters << 1 << "/o/offer.doc" << 1 << "/o/offer.doc";
    QTest::newRow("Word, .pdf: the PDF") << kDocumentFilters << 1 << "/o/offer.pdf" << 2 << "/o/offer.pdf";
    QTest::newRow("Word, .PDF: the PDF") << kDocumentFilters << 1 << "/o/offer.PDF" << 2 << "/o/offer.pdf";
    QTest::newRow("PDF, .doc: Word") << kDocumentFilters << 2 << "/o/offer.doc" << 1 << "/o/offer.doc";
    QTest::newRow("PDF, no extension") << kDocumentFilters << 2 << "/o/offer" << 2 << "/o/offer.pdf";
    QTest::newRow("PDF, two dots") << kDocumentFilters << 2 << "/o/offer.v2.doc" << 1 << "/o/offer.v2.doc";
    QTest::newRow("a dot starts the name") << kDocumentFilters << 2 << "/o/.offer" << 2 << "/o/.offer.pdf";
    QTest::newRow("a dot in the folder") << kDocumentFilters << 1 << "/o.pdf/offer" << 1 << "/o.pdf/offer.doc";
    QTest::newRow("bitmap, .pdf") << bitmap << 1 << "/o/drawing.pdf" << 1 << "/o/drawing.bmp";
    QTest::newRow("configuration, no extension") << configuration << 1 << "/o/offer" << 1 << "/o/offer.vxcfg";
}

void TestMainWindowServices::nameWrittenForTheNameTyped()
{
    QFETCH(QStringList, filters);
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(int, expectedFilter);
    QFETCH(QString, expectedName);
    QCOMPARE(ResolveSaveFileName(filters, filter, typed), expectedFilter);
    QCOMPARE(typed, expectedName);
}

void TestMainWindowServices::saveDialogReturnsChosenFilterAndName_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("name");
    QTest::newRow("Word document") << 1 << "offer.doc";
    QTest::newRow("PDF document") << 2 << "offer.pdf";
}

void TestMainWindowServices::saveDialogReturnsChosenFilterAndName()
{
    QFETCH(int, filter);
    QTemporaryDir folder;
    const QString wanted = folder.path() + QStringLiteral("/offer.txt");

    // The dialog as AskSaveFileName shows it, answered without a modal run:
    // a real modal file dialog loads its folder view in the background and
    // may reset a name chosen before that finishes.
    const std::unique_ptr<QFileDialog> dialog = CreateSaveFileDialog(kDocumentFilters);
    QCOMPARE(dialog->nameFilters(), (QStringList{QStringLiteral("MS Word 2000 (or higher) Document (*.doc)"),
                                                 QStringLiteral("PDF Document (*.pdf)")}));
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    // The dialog does not ask about the name as typed: AskSaveFileName asks about the name written.
    QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(dialog->isSizeGripEnabled());
    dialog->selectFile(wanted);
    dialog->selectNameFilter(dialog->nameFilters().value(filter - 1));
    dialog->selectFile(wanted);

    QString fileName;
    QCOMPARE(SaveFileDialogChoice(*dialog, fileName), filter);
    QCOMPARE(fileName, wanted);

    // A name in a folder that does not exist is no choice: the dialog stays.
    dialog->selectFile(QDir::tempPath() + QStringLiteral("/no-such-folder-for-offers/offer.pdf"));
    fileName = QStringLiteral("untouched");
    QCOMPARE(SaveFileDialogChoice(*dialog, fileName), -1);
    QCOMPARE(fileName, QStringLiteral("untouched"));
}

void TestMainWindowServices::cancelledSaveDialogReturnsMinusOne()
{
    QTimer timer;
    WhenFileDialogAppears(timer, [](QFileDialog *dialog) { dialog->reject(); });
    QString fileName = QStringLiteral("untouched");
    QCOMPARE(AskSaveFileName(kDocumentFilters, fileName), -1);
    QCOMPARE(fileName, QStringLiteral("untouched"));
}

void TestMainWindowServices::webLinkAndMailOpenUnderWaitCursor()
{
    QStringList opened;
    QList<bool> waiting;
    SetOpenUrlHook([&](const QString &url) {
        opened << url;
        waiting << (QApplication::overrideCursor() != nullptr &&
                    QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return true;
    });
    QVERIFY(OpenWebLink(QStringLiteral("https://www.quenvar.example.com/en/")));
    QVERIFY(SendMailTo(QStringLiteral("sales@quenvar.example.com")));
    QCOMPARE(opened, (QStringList{QStringLiteral("https://www.quenvar.example.com/en/"),
                                  QStringLiteral("mailto:sales@quenvar.example.com")}));
    QCOMPARE(waiting, (QList<bool>{true, true}));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(TestMainWindowServices)
#include "test_main_window_services.moc"
