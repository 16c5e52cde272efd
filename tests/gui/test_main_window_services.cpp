// Services the windows share: the save-file dialog, opening web addresses
// and mails, the application title.

#include "TestSupport.h"

#include "WindowServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

const QStringList kDocumentFilters = {
    QStringLiteral("MS Word 2000 (or higher) Document (*.doc)|*.doc"),
    QStringLiteral("PDF Document (*.pdf)|*.pdf"),
};

/// Runs `act` on the next modal file dialog.
void WhenFileDialogAppears(QTimer &timer, std::function<void(QFileDialog *)> act)
{
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&timer, act] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        timer.stop();
        act(dialog);
    });
    timer.start();
}

} // namespace

class TestMainWindowServices : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
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

void TestMainWindowServices::saveDialogReturnsChosenFilterAndName_data()
{
    QTest::addColumn<int>("filter");
    QTest::newRow("Word document") << 1;
    QTest::newRow("PDF document") << 2;
}

void TestMainWindowServices::saveDialogReturnsChosenFilterAndName()
{
    QFETCH(int, filter);
    QTemporaryDir folder;
    const QString wanted = folder.path() + QStringLiteral("/offer.txt");
    QStringList shownFilters;
    bool confirmsOverwrite = false;
    QTimer timer;
    WhenFileDialogAppears(timer, [&](QFileDialog *dialog) {
        shownFilters = dialog->nameFilters();
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectNameFilter(shownFilters.value(filter - 1));
        dialog->selectFile(wanted);
        static_cast<QDialog *>(dialog)->accept();
    });

    QString fileName;
    const int chosen = AskSaveFileName(kDocumentFilters, fileName);
    QCOMPARE(shownFilters, (QStringList{QStringLiteral("MS Word 2000 (or higher) Document (*.doc)"),
                                        QStringLiteral("PDF Document (*.pdf)")}));
    QVERIFY(confirmsOverwrite);
    QCOMPARE(chosen, filter);
    QCOMPARE(fileName, wanted);
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
