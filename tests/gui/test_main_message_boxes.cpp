// The four message boxes as the user sees them: caption, icon, buttons,
// position, and what each way of closing a question answers.

#include "MessageBoxWatcher.h"
#include "TestSupport.h"

#include "QtMessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

class TestMainMessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void noticeBoxes_data();
    void noticeBoxes();
    void questionAnswers_data();
    void questionAnswers();
    void textIsShownAsWritten();
};

void TestMainMessageBoxes::noticeBoxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::newRow("error") << "error" << "Error" << int(QMessageBox::Critical);
    QTest::newRow("warning") << "warning" << "Warning" << int(QMessageBox::Warning);
    QTest::newRow("information") << "info" << "Information" << int(QMessageBox::Information);
}

void TestMainMessageBoxes::noticeBoxes()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    TQtMessageService service;
    TBoxWatcher watcher(PressOk);
    const QString text = QStringLiteral("The file has been saved.");
    if (kind == QLatin1String("error"))
        service.ShowError(text);
    else if (kind == QLatin1String("warning"))
        service.ShowWarning(text);
    else
        service.ShowInfo(text);

    QVERIFY(watcher.Seen.Seen);
    QCOMPARE(watcher.Seen.Caption, caption);
    QCOMPARE(int(watcher.Seen.Icon), icon);
    QCOMPARE(watcher.Seen.Text, text);
    QCOMPARE(watcher.Seen.Buttons, QStringList{QStringLiteral("OK")});
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2((watcher.Seen.Centre - screenCentre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("box centre %1,%2").arg(watcher.Seen.Centre.x()).arg(watcher.Seen.Centre.y())));
}

void TestMainMessageBoxes::questionAnswers_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes pressed") << "yes" << true;
    QTest::newRow("No pressed") << "no" << false;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("close button") << "close" << false;
    QTest::newRow("Enter on the default button") << "enter" << true;
}

void TestMainMessageBoxes::questionAnswers()
{
    QFETCH(QString, how);
    QFETCH(bool, answer);
    TQtMessageService service;
    TBoxWatcher watcher([how](QMessageBox *box) {
        if (how == QLatin1String("yes"))
            box->button(QMessageBox::Yes)->click();
        else if (how == QLatin1String("no"))
            box->button(QMessageBox::No)->click();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (how == QLatin1String("enter"))
            QTest::keyClick(box, Qt::Key_Return);
        else
            box->close();
    });
    const bool result = service.AskYesNo(QStringLiteral("Replace the current configuration?"));
    QVERIFY(watcher.Seen.Seen);
    QCOMPARE(result, answer);
    QCOMPARE(watcher.Seen.Caption, QStringLiteral("Confirm"));
    QCOMPARE(int(watcher.Seen.Icon), int(QMessageBox::Question));
    QCOMPARE(watcher.Seen.Buttons, (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes")}));
}

void TestMainMessageBoxes::textIsShownAsWritten()
{
    // Language texts are plain text: markup-like characters are shown, not interpreted.
    TQtMessageService service;
    TBoxWatcher watcher(PressOk);
    const QString text = QStringLiteral("<b>100%</b> & more\nsecond line");
    service.ShowWarning(text);
    QVERIFY(watcher.Seen.Seen);
    QCOMPARE(watcher.Seen.Text, text);
    QCOMPARE(watcher.Seen.Format, Qt::PlainText);
}

QTEST_MAIN(TestMainMessageBoxes)
#include "test_main_message_boxes.moc"
