// Files and offers in the window as a desktop user expects them: the title bar
// names the file with an unsaved mark, nothing unsaved is lost without Save /
// Discard / Cancel, the welcome page's recent configurations open with a click,
// the setup dialog's offers tab stores the sales engineer and the reference
// pattern, a new configuration takes a reference that documents saved again
// after a change revise, save dialogs start in their kind's last folder with
// the offer's name, and the item table's line totals and net price are the
// document's to the cent.

#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include "DesktopFiles.h"
#include "OfferSettings.h"
#include "OfferSetupTab.h"
#include "TFrmOfferDetails.h"
#include "TFrmSetup.h"
#include "WindowServices.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QAction *Action(TFrmVarnexCfgMain &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

/// The offer details dialog, answered with a customer and a discount.
void EditOffer(TFrmVarnexCfgMain &window, const QString &customer, const QString &discount)
{
    bool filled = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TFrmOfferDetails *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->edtCustomer->setText(customer);
        dialog->edtDiscount->setText(discount);
        filled = true;
        dialog->accept();
    });
    Action(window, "actOfferDetails")->trigger();
    QVERIFY(filled);
}

/// The save dialogs answered in turn: each call takes the next name; what they were started with is kept.
struct TSaveAnswers {
    QStringList Names;   // the names chosen, "" for Cancel
    QStringList Started; // the names the dialogs started with
    TSaveAnswers()
    {
        SetSaveFileNameHook([this](const QStringList &filters, QString &name) {
            Started << name;
            const QString chosen = Names.isEmpty() ? QString() : Names.takeFirst();
            if (chosen.isEmpty())
                return -1;
            name = chosen;
            return chosen.endsWith(".pdf") && filters.size() > 1 ? 2 : 1;
        });
    }
    ~TSaveAnswers() { SetSaveFileNameHook({}); }
};

QString Reference(TFrmVarnexCfgMain &window)
{
    return window.ConfigurationRequest().value("offer").toObject().value("reference").toString();
}

QString FirstReference() { return QStringLiteral("Q-%1-0001").arg(QDate::currentDate().year()); }

} // namespace

class TestOfferFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UseBuiltProgram()); }

    // The title bar and the questions before unsaved changes are lost.
    void titleAndAskBeforeLosing()
    {
        TWindowWithResults w(true, QString(), QByteArray(), true);
        TFrmVarnexCfgMain &window = *w.Window;
        QVERIFY(window.windowTitle().startsWith("Untitled[*] - "));
        QVERIFY(window.isWindowModified());
        QCOMPARE(Reference(window), FirstReference());
        auto *caption = window.findChild<QLabel *>("lblOfferCaption");
        QVERIFY(caption && !caption->isHidden());
        QCOMPARE(caption->text(), "Reference: " + FirstReference());

        // Saved: the file's name, no mark.
        QTemporaryDir dir;
        {
            TSaveAnswers answers;
            answers.Names << dir.filePath("first.vxcfg");
            Action(window, "actSaveConfigurationFile")->trigger();
            QCOMPARE(answers.Started, QStringList{FirstReference()});
        }
        QVERIFY(window.windowTitle().startsWith("first.vxcfg[*] - "));
        QVERIFY(!window.isWindowModified());

        // A change brings the mark back; New and close ask, and Cancel loses nothing.
        EditOffer(window, "ACME", "5");
        QVERIFY(window.isWindowModified());
        QCOMPARE(caption->text(), "Customer: ACME    Reference: " + FirstReference());
        int wizardRuns = 0;
        window.SetWizardRunner([&](TWizardMode) { return ++wizardRuns > 0; });
        w.Boxes.Messages.clear();
        w.Boxes.SaveAnswers = {TSaveAnswer::Cancel, TSaveAnswer::Cancel};
        Action(window, "actNewConfiguration")->trigger();
        QVERIFY(!window.close());
        QCOMPARE(wizardRuns, 0);
        QVERIFY(window.isVisible());
        QCOMPARE(w.Boxes.Messages.size(), 2);
        for (const TRecordedMessage &m : w.Boxes.Messages)
            QCOMPARE(m.Text, "The configuration has changes that have not been saved. Do you want to save them?");
        QCOMPARE(Reference(window), FirstReference());

        // Save: the dialog, then the new configuration with the next reference.
        w.Boxes.SaveAnswers = {TSaveAnswer::Save};
        {
            TSaveAnswers answers;
            answers.Names << dir.filePath("second.vxcfg");
            Action(window, "actNewConfiguration")->trigger();
            QCOMPARE(answers.Started, QStringList{dir.filePath("first")});
        }
        QCOMPARE(wizardRuns, 1);
        QVERIFY(ReadFileBytes(dir.filePath("second.vxcfg")).contains("\"customer\": \"ACME\""));
        QVERIFY(window.windowTitle().startsWith("Untitled[*] - "));
        QCOMPARE(Reference(window), QStringLiteral("Q-%1-0002").arg(QDate::currentDate().year()));

        // Discard on Open: the file on show, unmarked; then close without a question.
        w.Boxes.Messages.clear();
        w.Boxes.SaveAnswers = {TSaveAnswer::Discard};
        QVERIFY(window.OpenConfigurationFile(dir.filePath("second.vxcfg")));
        QCOMPARE(w.Boxes.Messages.size(), 1);
        QVERIFY(window.windowTitle().startsWith("second.vxcfg[*] - "));
        QVERIFY(!window.isWindowModified());
        QVERIFY(window.close());
        QCOMPARE(w.Boxes.Messages.size(), 1);
    }

    void recentListClickOpens()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        QTemporaryDir dir;
        const QStringList files = {dir.filePath("a.vxcfg"), dir.filePath("gone.vxcfg"), dir.filePath("b.vxcfg")};
        for (const QString &file : {files[0], files[2]}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(SavedConfiguration(R"("loadPower": "9000")"));
        }
        const QString data = home.DataHome() + "/Varnex Configurator/";
        QVERIFY(QDir().mkpath(data));
        QVERIFY(WriteRecentFiles(data + "VarnexCfg.ini", files));
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        window.show();
        QTRY_VERIFY(window.FirstIdleDone());
        // The offer commands do nothing on the welcome page, and are not offered there.
        QVERIFY(!Action(window, "actOfferDetails")->isEnabled());
        QVERIFY(!Action(window, "actSaveBillOfMaterials")->isEnabled());

        auto *list = window.findChild<QListWidget *>("lstRecentConfigurations");
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->count(), 2); // the missing file is not offered
        QCOMPARE(list->item(0)->text(), QStringLiteral("a.vxcfg"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("b.vxcfg"));
        list->scrollToItem(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QTRY_VERIFY(window.HasConfiguration());
        QCOMPARE(window.ConfigurationFileName(), files[2]);
        QVERIFY(window.windowTitle().startsWith("b.vxcfg[*] - "));
        QVERIFY(Action(window, "actOfferDetails")->isEnabled());
        QCOMPARE(ReadRecentFiles(SetupData.IniFileName), (QStringList{files[2], files[0], files[1]}));
        QCOMPARE(list->item(0)->text(), QStringLiteral("b.vxcfg"));

        // A file gone since the list was shown: the message, and it leaves the list.
        QVERIFY(QFile::remove(files[0]));
        boxes.Messages.clear();
        emit list->itemClicked(list->item(1));
        QCOMPARE(boxes.Texts(), QStringList{"The configuration file " + files[0] +
                                            " no longer exists. It has been removed from the recent configurations."});
        QCOMPARE(list->count(), 1);
        QVERIFY(!ReadRecentFiles(SetupData.IniFileName).contains(files[0]));
        window.close();
    }

    void setupTabStores_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("error"); // empty: stored
        QTest::newRow("date and counter") << "OF-{yy}{mm}-{nnn}" << "";
        QTest::newRow("no counter")
            << "OF-{yyyy}" << "The reference pattern \"OF-{yyyy}\" needs exactly one counter, such as {nnnn}.";
        QTest::newRow("two counters")
            << "{nn}-{nnnn}" << "The reference pattern \"{nn}-{nnnn}\" needs exactly one counter, such as {nnnn}.";
    }

    void setupTabStores()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, error);
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        TFrmSetup dialog(&window);
        auto *tab = dialog.findChild<TOfferSetupTab *>("TabOffer");
        QVERIFY(tab);
        QCOMPARE(tab->edtReferencePattern->text(), QString::fromLatin1(kDefaultReferencePattern));
        tab->edtSalesName->setText("  Anna Rossi ");
        tab->edtSalesPhone->setText("+39 02 1234");
        tab->edtSalesEmail->setText("anna@example.com");
        tab->edtSalesCompany->setText("Varnex Italia");
        tab->edtReferencePattern->setText(pattern);
        dialog.cmdOk->click();
        const TSalesContact stored = ReadSalesContact(SetupData.IniFileName);
        if (!error.isEmpty()) {
            QCOMPARE(boxes.Texts(), QStringList{error});
            QVERIFY(dialog.isVisible() || dialog.result() != QDialog::Accepted);
            QCOMPARE(dialog.PageControl->currentWidget(), tab);
            QVERIFY(stored.IsEmpty());
            QCOMPARE(ReadReferencePattern(SetupData.IniFileName), QString::fromLatin1(kDefaultReferencePattern));
        } else {
            QVERIFY(boxes.Texts().isEmpty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(stored, (TSalesContact{"Anna Rossi", "+39 02 1234", "anna@example.com", "Varnex Italia"}));
            QCOMPARE(ReadReferencePattern(SetupData.IniFileName), pattern);
        }
        window.close();
    }

    // Until the sales engineer's contact is set up a new configuration is a plain one:
    // no reference, no offer block, the documents as they always were.
    void noReferenceWithoutSalesEngineer()
    {
        TWindowWithResults w(true);
        TFrmVarnexCfgMain &window = *w.Window;
        QVERIFY(Reference(window).isEmpty());
        QVERIFY(window.findChild<QLabel *>("lblOfferCaption")->isHidden());
        QCOMPARE(window.ItemsGrid()->columnCount(), 4);
        const TOfferDocument doc = window.OfferDocumentForTests();
        QVERIFY(doc.OfferBlock.Rows.isEmpty() && doc.CommercialLines.isEmpty());
        QCOMPARE(doc.Items.ColumnCount(), 4);
        QCOMPARE(ReadReferenceCounter(SetupData.IniFileName), 1); // no number used up
    }

    // The item table's line totals and the lines under the total are the document's.
    void gridFiguresAreTheDocuments()
    {
        TWindowWithResults w(true, QString(), SavedConfiguration(R"("accessories": [{"record": 20080}])"));
        TFrmVarnexCfgMain &window = *w.Window;
        QTableWidget *grid = window.ItemsGrid();
        auto *figures = window.findChild<QLabel *>("lblOfferFigures");
        // No offer details: the page as before, four columns and nothing under the total.
        QCOMPARE(grid->columnCount(), 4);
        QVERIFY(figures && figures->isHidden());
        EditOffer(window, "ACME", "12.5");
        QCOMPARE(grid->columnCount(), 5);
        QCOMPARE(grid->horizontalHeaderItem(4)->text(), QStringLiteral("Line total "));
        QVERIFY(!figures->isHidden());
        const TOfferDocument doc = window.OfferDocumentForTests();
        QCOMPARE(doc.Items.ColumnCount(), 5);
        QCOMPARE(doc.Items.Rows.size(), grid->rowCount());
        for (int r = 0; r < grid->rowCount(); ++r)
            QCOMPARE(grid->item(r, 4)->text().trimmed(), doc.Items.Rows[r][4]);
        QCOMPARE(figures->text().split('\n'), doc.CommercialLines);
        QVERIFY(doc.CommercialLines.value(0).startsWith("Discount (12.5%): -"));
        QVERIFY(doc.CommercialLines.value(1).startsWith("Net price (EUR): "));
    }

    // Documents saved again: unchanged, the same reference; changed since, the next revision.
    // Each save dialog starts in its kind's last folder, with the offer's name.
    void revisionsAndFolders()
    {
        TWindowWithResults w(true, QString(), QByteArray(), true);
        TFrmVarnexCfgMain &window = *w.Window;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("docs"));
        QVERIFY(QDir(dir.path()).mkpath("lists"));
        const QString docs = dir.filePath("docs/"), lists = dir.filePath("lists/");
        const QString ref = FirstReference();
        TSaveAnswers answers;
        answers.Names << docs + "one.pdf" << docs + "two.pdf" << "" << docs + "three.pdf" << lists + "bom.csv";
        Action(window, "actSaveConfiguration")->trigger();
        QCOMPARE(Reference(window), ref);
        Action(window, "actSaveConfiguration")->trigger();
        QCOMPARE(Reference(window), ref); // nothing changed in between
        EditOffer(window, "ACME GmbH", "10");
        Action(window, "actSaveConfiguration")->trigger(); // cancelled: the reference stays
        QCOMPARE(Reference(window), ref);
        Action(window, "actSaveConfiguration")->trigger();
        QCOMPARE(Reference(window), ref + "-R1");
        Action(window, "actSaveBillOfMaterials")->trigger();
        // The name of the revision the documents would get, also when the dialog is cancelled.
        QCOMPARE(answers.Started, (QStringList{ref, docs + ref, docs + ref + "-R1 ACME GmbH",
                                               docs + ref + "-R1 ACME GmbH", ref + "-R1 ACME GmbH"}));
        QVERIFY(QFileInfo(lists + "bom.csv").isFile());
        QCOMPARE(ReadLastFolder(SetupData.IniFileName, TFileKind::BillOfMaterials), dir.filePath("lists"));

        QProcess text;
        text.start("pdftotext", {"-layout", docs + "three.pdf", "-"});
        QVERIFY(text.waitForFinished(60000));
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(ref + "-R1"));
    }
};

QTEST_MAIN(TestOfferFiles)
#include "test_offer_files.moc"
