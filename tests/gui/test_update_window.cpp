// The update check as the main window runs it, against a real HTTP server on
// 127.0.0.1: a notice, newer program and price list (the list replaced and
// reopened, the archive unpacked, the updater started with its argument), a
// server that is down, and a cancelled download. Also the setup and about
// dialogs the same window opens.

#include "MainWindowTestSupport.h"
#include "OfferDocument.h"
#include "TestSupport.h"

#include "Globals.h"
#include "PriceList.h"
#include "PriceListMaker.h"
#include "Settings.h"
#include "TFrmAbout.h"
#include "TFrmSetup.h"
#include "TFrmUpdater.h"
#include "UpdateArchive.h"
#include "UpdateCheck.h"
#include "WindowServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

namespace {

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

/// tests/support/update_server.py serving a folder.
class TUpdateServer {
public:
    explicit TUpdateServer(const QString &folder)
    {
        m_process.start("/usr/bin/python3", {VX_SOURCE_DIR "tests/support/update_server.py", folder});
        m_process.waitForReadyRead(10000);
        m_port = m_process.readLine().trimmed().toInt();
    }
    ~TUpdateServer()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    QString Url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path); }

private:
    QProcess m_process;
    int m_port = 0;
};

/// A fresh home with the sample price list (Italia, 1 Jan 2027) and the window started in it.
struct TUpdateSetting {
    TTempHome Home;
    QTemporaryDir Served;
    TRecordingMessageService Boxes;
    std::unique_ptr<TFrmVarnexCfgMain> Window;
    QStringList Started;

    TUpdateSetting()
    {
        const QString data = Home.DataHome() + "/Varnex Configurator/";
        QDir().mkpath(data);
        QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), data + "PriceList.tc");
        WriteBytes(data + "VarnexCfg.ini", "[Setup]\nCheckUpdates=0\n");
        Window = std::make_unique<TFrmVarnexCfgMain>(OptionsFor(BuiltProgramPath()));
        QTRY_VERIFY(Window->FirstIdleDone());
    }
    ~TUpdateSetting() { Window->close(); }

    void Check(const QString &url)
    {
        Window->SetUpdateCheck(url, [this](const QString &program, const QStringList &arguments) {
            Started << program << arguments;
            return QFileInfo(program).isFile();
        });
        Window->RunUpdateCheck();
    }
};

} // namespace

class TestUpdateWindow : public QObject {
    Q_OBJECT

private slots:
    void notice()
    {
        TUpdateSetting s;
        WriteBytes(s.Served.path() + "/VarnexCfgCheck.txt",
                   "[Quenvar]\nProgramVersion=9.0\nMessage_0409=Maintenance tonight.\\nBack tomorrow.\n");
        const TUpdateServer server(s.Served.path());
        s.Check(server.Url("VarnexCfgCheck.txt"));
        QCOMPARE(s.Boxes.Texts(), QStringList{"Maintenance tonight.\nBack tomorrow."});
        QVERIFY(s.Started.isEmpty());
    }

    void newerProgramAndPriceList()
    {
        TUpdateSetting s;
        const QString served = s.Served.path();
        WriteBytes(served + "/VarnexCfgCheck.txt",
                   ("[Quenvar]\nProgramVersion=1.20\nProgramDownload=" + QString("http://127.0.0.1:%1/program/") +
                    "\n39_PriceListDate=20270201\n39_PriceListDownload=http://127.0.0.1:%1/prices/\n")
                       .toUtf8());
        // The new list of the same vendor, from another country name.
        TPriceListContent content;
        QString error;
        QVERIFY(ReadPriceListCsv(VX_SOURCE_DIR "tools/sample/Quenvar", content, error));
        content.InfoRows[0][1] = QStringLiteral("Italia (nuovo)");
        QDir().mkpath(served + "/prices");
        QVERIFY(
            WritePriceListFile(served + "/prices/PriceList.tc", PriceListPassword("Quenvar"), content, true, error));
        // The updater: a script that writes the arguments it was started with beside itself.
        const QByteArray updater = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/started.txt\"\n";
        WriteBytes(served + "/program/VarnexCfgUpdate.z",
                   PackUpdateArchive({{"", "Updater.exe", updater}, {"lang", "Deutsch.lng", "[LangOptions]\n"}}));
        const TUpdateServer server(served);
        // The port is known now: write it into the check file.
        QFile check(served + "/VarnexCfgCheck.txt");
        QVERIFY(check.open(QIODevice::ReadOnly));
        const QByteArray text = check.readAll().replace("%1", QByteArray::number(QUrl(server.Url("")).port()));
        check.close();
        WriteBytes(served + "/VarnexCfgCheck.txt", text);

        s.Boxes.Answers = {true};
        s.Window->SetUpdateCheck(server.Url("VarnexCfgCheck.txt"), {}); // the real, detached start
        s.Window->RunUpdateCheck();
        const QString date = QLocale::system().toString(QDate(2027, 2, 1), QLocale::ShortFormat);
        QCOMPARE(s.Boxes.Messages[0].Kind, QStringLiteral("question"));
        QCOMPARE(s.Boxes.Messages[0].Text,
                 "Updates are available.\r\n\r\nNew program version: 1.20\r\nNew price list dated " + date +
                     "\r\n\r\nDo you want to download and install the updates now?\r\n");
        QCOMPARE(s.Boxes.Messages[1].Text, QStringLiteral("The price list has been updated successfully."));
        QCOMPARE(s.Boxes.Messages.size(), 2);
        QVERIFY(PriceList.Loaded);
        QCOMPARE(PriceList.CountryName, QStringLiteral("Italia (nuovo)"));
        QCOMPARE(s.Window->lblPriceListCountry->text(), QStringLiteral("Price list: Italia (nuovo)"));
        const QString temp = SetupData.TempPath;
        QTRY_VERIFY(QFileInfo(temp + "started.txt").size() > 0);
        QFile started(temp + "started.txt");
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(started.readAll(), ("PRG_PATH=\"" + SetupData.ProgramPath + "\"\n").toUtf8());
        QVERIFY(QFileInfo(temp + "Updater.exe").isExecutable());
        QVERIFY(QFile::exists(temp + "lang/Deutsch.lng"));
        QVERIFY(!QFile::exists(temp + "VarnexCfgUpdate.z"));
        QVERIFY(!QFile::exists(temp + "VarnexCfgCheck.txt"));
    }

    void archivesThatCannotBeInstalled_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::newRow("no updater in it") << PackUpdateArchive({{"", "readme.txt", "x"}});
        QTest::newRow("empty archive") << QByteArray();
        QTest::newRow("a traversal attempt") << PackUpdateArchive({{"..\\..", "Updater.exe", "#!/bin/sh\n"}});
    }

    void archivesThatCannotBeInstalled()
    {
        QFETCH(QByteArray, archive);
        TUpdateSetting s;
        const TUpdateServer server(s.Served.path());
        WriteBytes(s.Served.path() + "/program/VarnexCfgUpdate.z", archive);
        WriteBytes(s.Served.path() + "/VarnexCfgCheck.txt",
                   ("[Quenvar]\nProgramVersion=2.0\nProgramDownload=" + server.Url("program/") + "\n").toUtf8());
        s.Boxes.Answers = {true};
        s.Check(server.Url("VarnexCfgCheck.txt"));
        QCOMPARE(s.Boxes.Texts().mid(1), QStringList{"The update could not be completed. Please try again later."});
        // The top-level files are gone; nothing landed outside the temporary folder.
        QCOMPARE(QDir(SetupData.TempPath).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(!QFile::exists(QDir(SetupData.TempPath + "../..").absolutePath() + "/Updater.exe"));
    }

    void serverDownSaysNothing()
    {
        TUpdateSetting s;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        s.Check(QStringLiteral("http://127.0.0.1:%1/VarnexCfgCheck.txt").arg(port));
        QVERIFY(s.Boxes.Messages.isEmpty());
        QVERIFY(PriceList.Loaded);
    }

    void cancelledDownloadKeepsTheOldList()
    {
        TUpdateSetting s;
        const TUpdateServer server(s.Served.path());
        // The list's download sends a little, then nothing: the user cancels it.
        WriteBytes(
            s.Served.path() + "/VarnexCfgCheck.txt",
            ("[Quenvar]\n39_PriceListDate=20270201\n39_PriceListDownload=" + server.Url("stall/") + "\n").toUtf8());
        s.Boxes.Answers = {true};
        QTimer canceller;
        canceller.setInterval(200);
        QString status;
        connect(&canceller, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<TFrmUpdater *>(w); dialog && dialog->isVisible()) {
                    status = dialog->lblDownload->text();
                    dialog->cmdCancel->click();
                }
        });
        canceller.start();
        s.Check(server.Url("VarnexCfgCheck.txt"));
        QCOMPARE(status, QStringLiteral("Received 0 KB of 2441 KB"));
        QCOMPARE(s.Boxes.Texts().mid(1), (QStringList{"The update was cancelled.",
                                                      "The update could not be completed. Please try again later."}));
        QVERIFY(PriceList.Loaded);
        QCOMPARE(PriceList.CountryName, QStringLiteral("Italia"));
        QVERIFY(PriceListDatabase() != nullptr);
    }

    void setupDialog()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        TFrmSetup dialog(&window);
        QStringList names;
        for (const TLanguageEntry &entry : dialog.Languages())
            names << entry.Name + '=' + entry.FileName;
        QCOMPARE(names, (QStringList{"Deutsch=Deutsch.lng", "English=English.lng",
                                     QString::fromUtf8("Español=Spanish.lng"), "Italiano=Italian.lng"}));
        QCOMPARE(dialog.cmbLanguage->currentText(), QStringLiteral("English"));
        QVERIFY(dialog.chkCheckUpdates->isChecked());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Settings"));
        dialog.cmbLanguage->setCurrentIndex(3);
        dialog.chkCheckUpdates->setChecked(false);
        dialog.cmdOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenLanguageFile(), QStringLiteral("Italian.lng"));
        QVERIFY(!dialog.CheckUpdates());
        window.close();
    }

    void languageSwitchRefillsTheResults()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        window.show();
        QTRY_VERIFY(window.FirstIdleDone());
        RunWizardWithDefaults(window);
        QCOMPARE(window.grdData->item(0, 0)->text(), QStringLiteral("Input configuration"));
        window.ApplySetupChanges(false, QStringLiteral("Italian.lng"));
        QCOMPARE(window.grdData->item(0, 0)->text(), QStringLiteral("Configurazione di ingresso"));
        QCOMPARE(window.grdItems->horizontalHeaderItem(1)->text(), QStringLiteral("Descrizione"));
        QCOMPARE(ReadSetting(SetupData.IniFileName, "Setup", "LanguageFile", QString()), QStringLiteral("Italian.lng"));
        window.close();
    }

    void setupListsEveryNamedLanguage()
    {
        // Two files with one name both appear; a file without a name does not; Cancel changes nothing.
        TTempHome home;
        TRecordingMessageService boxes;
        QTemporaryDir program;
        const QString folder = program.path() + '/';
        for (const char *file : {"VarnexCfg", "Quenvar.so", "English.lng"})
            QFile::copy(BuiltProgramPath() + file, folder + file);
        QFile::copy(BuiltProgramPath() + "English.lng", folder + "British.lng");
        WriteBytes(folder + "Nameless.lng", "[LangOptions]\nLanguageID=1033\n");
        TFrmVarnexCfgMain window(OptionsFor(folder));
        TFrmSetup dialog(&window);
        QStringList files;
        for (const TLanguageEntry &entry : dialog.Languages())
            files << entry.Name + '=' + entry.FileName;
        QCOMPARE(files, (QStringList{"English=British.lng", "English=English.lng"}));
        QCOMPARE(dialog.cmbLanguage->currentIndex(), 1); // the active file's own entry
        dialog.cmbLanguage->setCurrentIndex(0);
        dialog.chkCheckUpdates->setChecked(false);
        dialog.cmdCancel->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));
        QVERIFY(SetupData.CheckUpdates);
        window.close();
    }

    void aboutDialog()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        TFrmAbout dialog(&window);
        QCOMPARE(dialog.lblPublisher->text(), QStringLiteral("Quenvar Power Systems S.p.A."));
        QCOMPARE(dialog.lblProduct->text(), QStringLiteral("Varnex Configurator"));
        QVERIFY(dialog.lblVersion->text().startsWith("Version 1.0.0.1"));
        QCOMPARE(dialog.lblNote->text().split("\r\n").size(), 5); // three notes, an empty line, data changes
        TPriceList list;
        list.Loaded = true;
        list.CountryName = "Italia";
        list.ValidityDate = "20271340"; // not a date: its line stays, empty
        QCOMPARE(LegalNotesText(list).split("\r\n").mid(3),
                 (QStringList{"", "Price list: Italia", "", "",
                              "Technical data and prices are subject to change without notice."}));
        // The word typed in lower case; a wrong letter means starting again from the first.
        for (const char *c : {"v", "o", "x", "l", "t", "a"})
            dialog.TypeCharacter(QString::fromLatin1(c));
        QVERIFY(boxes.Messages.isEmpty()); // the rest after the wrong letter does not complete it
        QCOMPARE(dialog.TypedWord(), QStringLiteral("LTA"));
        for (const char *c : {"x", "v", "o", "l", "t", "a"})
            dialog.TypeCharacter(QString::fromLatin1(c));
        QCOMPARE(boxes.Texts(), QStringList{QString::fromUtf8(TFrmAbout::kCredits)});
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
        window.close();
    }
};

QTEST_MAIN(TestUpdateWindow)
#include "test_update_window.moc"
