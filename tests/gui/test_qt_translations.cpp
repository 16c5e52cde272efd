// An Italian desktop: Qt's own dialogs (choosing a file, printing) speak
// Italian, as in every other Qt program there, while the program's four
// message boxes keep their English captions and buttons.

#include "MessageBoxWatcher.h"

#include "QtMessageService.h"
#include "QtTranslations.h"
#include "WindowServices.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QtTest>

namespace {

QStringList ButtonTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QDialogButtonBox *box : dialog->findChildren<QDialogButtonBox *>())
        for (const QAbstractButton *button : box->buttons())
            texts << button->text();
    return texts;
}

} // namespace

class TestQtTranslations : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QLocale::system().language(), QLocale::Italian);
        // What the program's start does, for the desktop's language.
        QVERIFY2(InstallQtTranslations(), "qt6-translations-l10n is not installed");
    }

    void fileAndPrintDialogsSpeakTheDesktopsLanguage()
    {
        const std::unique_ptr<QFileDialog> save =
            CreateSaveFileDialog({QStringLiteral("PDF Document (*.pdf)|*.pdf")});
        save->show();
        QVERIFY(QTest::qWaitForWindowExposed(save.get()));
        const QStringList buttons = ButtonTexts(save.get());
        QVERIFY2(buttons.contains(QStringLiteral("Annulla")) && !buttons.contains(QStringLiteral("Cancel")),
                 qPrintable(buttons.join(u',')));
        save->reject();

        QPrinter printer;
        QPrintDialog print(&printer);
        QCOMPARE(print.windowTitle(), QStringLiteral("Stampa"));
    }

    void messageBoxesStayEnglish()
    {
        TQtMessageService service;
        TBoxWatcher info(PressOk);
        service.ShowInfo(QStringLiteral("Il file è stato salvato."));
        QVERIFY(info.Seen.Seen);
        QCOMPARE(info.Seen.Caption, QStringLiteral("Information"));
        QCOMPARE(info.Seen.Buttons, QStringList{QStringLiteral("OK")});

        TBoxWatcher question([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        QVERIFY(!service.AskYesNo(QStringLiteral("Sostituire la configurazione?")));
        QVERIFY(question.Seen.Seen);
        QCOMPARE(question.Seen.Caption, QStringLiteral("Confirm"));
        QCOMPARE(question.Seen.Buttons, (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes")}));
    }

    void anEnglishDesktopLoadsNothing()
    {
        QVERIFY(!InstallQtTranslations(QLocale(QLocale::English, QLocale::UnitedKingdom)));
        QVERIFY(!InstallQtTranslations(QLocale::c()));
    }
};

int main(int argc, char **argv)
{
    // The desktop's language as a session on an Italian desktop sets it, before Qt reads it.
    qputenv("LC_ALL", "it_IT.UTF-8");
    qputenv("LANG", "it_IT.UTF-8");
    qunsetenv("LANGUAGE");
    QApplication app(argc, argv);
    TestQtTranslations test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_qt_translations.moc"
