// Every text of every window fits its control, in each of the four languages,
// measured with the fonts the program uses: the main window on each result
// tab, each wizard page, the settings and the about window.

#include "CaptionFit.h"
#include "Lang.h"
#include "MainWindowTestSupport.h"
#include "TFrmAbout.h"
#include "TFrmSetup.h"

#include <QTabWidget>

class TestCaptionFit : public QObject {
    Q_OBJECT

    static void ExpectNoneClipped(const QWidget &window, const QString &where)
    {
        const QList<TClippedCaption> clipped = FindClippedCaptions(&window);
        QVERIFY2(clipped.isEmpty(), qPrintable(where + u'\n' + DescribeClippedCaptions(&window, clipped)));
    }

private slots:
    void initTestCase() { LoadProgramFonts(); }

    void everyTextFits_data()
    {
        QTest::addColumn<QString>("languageFile");
        for (const char *file : {"English.lng", "Deutsch.lng", "Italian.lng", "Spanish.lng"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void everyTextFits()
    {
        QFETCH(QString, languageFile);
        TTempHome home;
        TRecordingMessageService boxes;
        const QString data = home.DataHome() + QStringLiteral("/Varnex Configurator/");
        QDir().mkpath(data);
        QFile settings(data + QStringLiteral("VarnexCfg.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Setup]\r\nCheckUpdates=0\r\nLanguageFile=" + languageFile.toLatin1() + "\r\n");
        settings.close();

        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.FirstIdleDone());
        QCOMPARE(SetupData.LanguageFile, languageFile);
        ExpectNoneClipped(window, QStringLiteral("welcome page"));
        RunWizardWithDefaults(window);
        for (int tab = 0; tab < Child<QTabWidget>(window, "pageControlResult")->count(); ++tab) {
            Child<QTabWidget>(window, "pageControlResult")->setCurrentIndex(tab);
            ExpectNoneClipped(window, QStringLiteral("results tab %1").arg(tab));
        }

        TFrmWizard wizard(TWizardMode::NewConfiguration);
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        auto *next = wizard.findChild<QPushButton *>(QStringLiteral("btnNext"));
        for (int guard = 0; guard < 8; ++guard) {
            ExpectNoneClipped(wizard, QStringLiteral("wizard page %1").arg(int32_t(wizard.CurrentPage())));
            const TWizardPage page = wizard.CurrentPage();
            if (next->text() == LangWizard(QStringLiteral("ButtonFinish")))
                break;
            next->click();
            QVERIFY(wizard.CurrentPage() != page);
        }
        wizard.reject();

        TFrmSetup setup;
        setup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&setup));
        for (QTabWidget *tabs : setup.findChildren<QTabWidget *>())
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setCurrentIndex(tab);
                ExpectNoneClipped(setup, QStringLiteral("settings tab %1").arg(tab));
            }
        setup.close();

        TFrmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        ExpectNoneClipped(about, QStringLiteral("about"));
        about.close();
        window.close();
    }
};

QTEST_MAIN(TestCaptionFit)
#include "test_caption_fit.moc"
