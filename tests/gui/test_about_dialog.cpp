// The about dialog as a user meets it: vendor texts and links, the legal notes
// whole in every language with a price list open, and the hidden word typed
// on the keyboard.

#include "CaptionFit.h"
#include "MainWindowTestSupport.h"
#include "OfferDocument.h"
#include "TestSupport.h"

#include "Globals.h"
#include "PriceList.h"
#include "ProgramFonts.h"
#include "TFrmAbout.h"
#include "WindowServices.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

void InstallSamplePriceList(const TTempHome &home)
{
    const QString list = home.DataHome() + QStringLiteral("/Varnex Configurator/PriceList.tc");
    QDir().mkpath(QFileInfo(list).absolutePath());
    QFile::remove(list);
    QVERIFY(QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), list));
}

/// The separator lines of the dialog, top to bottom.
QList<QRect> SeparatorLines(const QWidget &dialog)
{
    QList<QRect> lines;
    for (const QFrame *frame : dialog.findChildren<QFrame *>())
        if (frame->frameShape() == QFrame::HLine)
            lines << frame->geometry();
    std::sort(lines.begin(), lines.end(), [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    return lines;
}

} // namespace

class TestAboutDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadProgramFonts(); }

    void vendorTextsAndLinks()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        TFrmAbout dialog(&window);
        QCOMPARE(dialog.lblPublisher->text(), QStringLiteral("Quenvar Power Systems S.p.A."));
        QCOMPARE(dialog.lblProduct->text(), QStringLiteral("Varnex Configurator"));
        QVERIFY(dialog.lblVersion->text().startsWith("Version 1.0.0.1"));
        QCOMPARE(dialog.lblNote->text().split("\r\n").size(), 5); // three notes, an empty line, data changes
        // Without a price list the notes keep the designed size.
        QCOMPARE(dialog.size(), QSize(494, 362));
        TPriceList list;
        list.Loaded = true;
        list.CountryName = "Italia";
        list.ValidityDate = "20271340"; // not a date: its line stays, empty
        QCOMPARE(LegalNotesText(list).split("\r\n").mid(3),
                 (QStringList{"", "Price list: Italia", "", "",
                              "Technical data and prices are subject to change without notice."}));
        QStringList opened;
        SetOpenUrlHook([&](const QString &url) {
            opened << url;
            return true;
        });
        dialog.OpenVendorWebLink();
        // The link needs both entries: 105 exists, 106 does not.
        SetupData.WebAddressId = 105;
        dialog.OpenVendorWebLink();
        SetupData.WebAddressId = -1;
        dialog.OpenVendorWebLink();
        SetOpenUrlHook({});
        QCOMPARE(opened, QStringList{"https://www.quenvar.example.com/en/"});
        QVERIFY(boxes.Messages.isEmpty());
        window.close();
    }

    void notesFitWithAPriceList_data()
    {
        QTest::addColumn<QString>("languageFile");
        for (const char *file : {"English.lng", "Deutsch.lng", "Italian.lng", "Spanish.lng"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void notesFitWithAPriceList()
    {
        QFETCH(QString, languageFile);
        TTempHome home;
        TRecordingMessageService boxes;
        WriteLanguageSetting(home, languageFile);
        InstallSamplePriceList(home);
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        QCOMPARE(SetupData.LanguageFile, languageFile);
        QVERIFY(PriceList.Loaded);

        TFrmAbout dialog(&window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Three notes, an empty line, country and date, an empty line, data changes.
        const QStringList lines = dialog.lblNote->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines[4].contains(QStringLiteral("Italia")));
        QVERIFY(!lines[5].isEmpty());

        // Every line, wrapped as the label wraps it, lies inside the label...
        const QLabel *note = dialog.lblNote;
        const QRect needed = note->fontMetrics().boundingRect(QRect(0, 0, note->contentsRect().width(), 100000),
                                                              Qt::TextWordWrap, note->text());
        QVERIFY2(needed.height() <= note->contentsRect().height(),
                 qPrintable(QStringLiteral("the notes need %1 px, have %2")
                                .arg(needed.height())
                                .arg(note->contentsRect().height())));
        const QString clipped = DescribeClippedCaptions(&dialog, FindClippedCaptions(&dialog));
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped));
        // ... the label above the lower line, the line above OK, OK inside the dialog.
        const QList<QRect> separators = SeparatorLines(dialog);
        QCOMPARE(separators.size(), 2);
        QVERIFY(note->geometry().bottom() < separators[1].top());
        QVERIFY(separators[1].bottom() < dialog.btnOk->geometry().top());
        QVERIFY(dialog.rect().contains(dialog.btnOk->geometry()));
        QVERIFY(dialog.rect().contains(note->geometry()));
        QVERIFY(boxes.Messages.isEmpty());
        dialog.close();
        window.close();
    }

    void typedWordShowsTheCredits()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        TFrmAbout dialog(&window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QWidget *focused = QApplication::focusWidget();
        QCOMPARE(focused, static_cast<QWidget *>(dialog.btnOk));
        const QStringList credits{QString::fromUtf8(TFrmAbout::kCredits)};

        // Typed where the keys go, to the focused OK button, in lower case.
        QTest::keyClicks(focused, QStringLiteral("volta"));
        QCOMPARE(boxes.Texts(), credits);
        QCOMPARE(dialog.TypedWord(), QString());

        // A wrong letter discards what was typed: the rest does not complete the word.
        boxes.Messages.clear();
        QTest::keyClicks(focused, QStringLiteral("voxlta"));
        QVERIFY(boxes.Messages.isEmpty());
        QCOMPARE(dialog.TypedWord(), QStringLiteral("LTA"));

        // Starting again from the first letter; keys sent to the dialog itself count once too.
        QTest::keyClicks(&dialog, QStringLiteral("xVOLTA"));
        QCOMPARE(boxes.Texts(), credits);
        QVERIFY(dialog.isVisible()); // letters do not close it
        dialog.close();
        window.close();
    }
};

QTEST_MAIN(TestAboutDialog)
#include "test_about_dialog.moc"
