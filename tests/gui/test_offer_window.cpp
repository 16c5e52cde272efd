// The offer in the window: the dialog "Offer details…" takes only details that
// are right (an error box otherwise, and nothing changes), the details reach the
// PDF and the configuration's request, and the item table's menu saves the bill
// of materials as a CSV file.

#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include "TFrmOfferDetails.h"
#include "WindowServices.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestOfferWindow : public QObject {
    Q_OBJECT

private slots:
    void dialogTakesOnlyRightDetails_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("discount");
        QTest::addColumn<QString>("error"); // empty: taken
        QTest::newRow("right") << "2024-02-28" << "12,5" << "";
        QTest::newRow("no date, no discount") << "" << "" << "";
        QTest::newRow("discount above 100")
            << "2024-02-28" << "100.5" << "The discount must be a number from 0 to 100 with at most two decimals.";
        QTest::newRow("three decimals")
            << "2024-02-28" << "1.125" << "The discount must be a number from 0 to 100 with at most two decimals.";
        QTest::newRow("day that does not exist")
            << "2023-02-29" << "5" << "\"2023-02-29\" is not a date: write it as YYYY-MM-DD with a day that exists.";
    }

    void dialogTakesOnlyRightDetails()
    {
        QFETCH(QString, date);
        QFETCH(QString, discount);
        QFETCH(QString, error);
        TTempHome home;
        QVERIFY(UseBuiltProgram());
        TRecordingMessageService boxes;
        TOfferDetails before;
        before.Customer = QStringLiteral("Old customer");
        TFrmOfferDetails dialog(before);
        dialog.edtCustomer->setText(QStringLiteral("ACME"));
        dialog.edtDate->setText(date);
        dialog.edtValidDays->setValue(30);
        dialog.edtDiscount->setText(discount);
        dialog.memNotes->setPlainText(QStringLiteral("Delivery in May"));
        dialog.accept();
        if (!error.isEmpty()) {
            QCOMPARE(boxes.Texts(), QStringList{error});
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(dialog.Details(), before);
            return;
        }
        QVERIFY(boxes.Texts().isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Details().Customer, QStringLiteral("ACME"));
        QCOMPARE(dialog.Details().Discount, discount.isEmpty() ? 0 : 1250);
        QCOMPARE(dialog.lblValidUntil->text(), date.isEmpty() ? QString() : QStringLiteral("29/03/2024"));
    }

    // Through the window: its command opens the dialog, the details reach the PDF
    // and the request a configuration file is saved from.
    void detailsReachTheDocumentsAndTheFile()
    {
        TWindowWithResults w(true);
        auto *command = w.Window->findChild<QAction *>(QStringLiteral("actOfferDetails"));
        QVERIFY(command);
        QCOMPARE(command->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
        bool filled = false;
        QTimer::singleShot(0, [&filled] {
            auto *dialog = qobject_cast<TFrmOfferDetails *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->edtCustomer->setText(QStringLiteral("ACME Stadtwerke"));
            dialog->edtReference->setText(QStringLiteral("Q-2024-0007"));
            dialog->edtDate->setText(QStringLiteral("2024-02-28"));
            dialog->edtValidDays->setValue(30);
            dialog->edtDiscount->setText(QStringLiteral("10"));
            filled = true;
            dialog->accept();
        });
        command->trigger();
        QVERIFY(filled);
        const QJsonObject offer = w.Window->ConfigurationRequest().value("offer").toObject();
        QCOMPARE(offer.value("customer").toString(), QStringLiteral("ACME Stadtwerke"));
        QCOMPARE(offer.value("discountPercent").toDouble(), 10.0);

        QTemporaryDir dir;
        w.Save(2, dir.path() + "/offer.pdf");
        QProcess text;
        text.start("pdftotext", {"-layout", dir.path() + "/offer.pdf", "-"});
        QVERIFY(text.waitForFinished(60000));
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(pdf.contains("Customer ACME Stadtwerke") && pdf.contains("Reference Q-2024-0007") &&
                     pdf.contains("Valid until 29/03/2024") && pdf.contains("Discount (10%):") &&
                     pdf.contains("Net price (EUR):"),
                 qPrintable(pdf));

        // The bill of materials from the item table's menu, as a CSV file.
        auto *save = w.Window->findChild<QAction *>(QStringLiteral("actSaveBillOfMaterials"));
        QVERIFY(save);
        QVERIFY(w.Window->findChild<QMenu *>(QStringLiteral("PopupMenuTable"))->actions().contains(save));
        const QString csv = dir.path() + "/bom.csv";
        SetSaveFileNameHook([csv](const QStringList &, QString &name) {
            name = csv;
            return 2;
        });
        save->trigger();
        QCOMPARE(w.Boxes.Texts().last(), "The file " + csv + " has been saved successfully.");
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "Code,Description,Quantity,Unit price,Line total\r\n"));
        QVERIFY(bytes.contains(",Discount (10%):,,,-"));
    }
};

QTEST_MAIN(TestOfferWindow)
#include "test_offer_window.moc"
