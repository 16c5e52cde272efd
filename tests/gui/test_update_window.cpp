// The update check as the main window runs it, against real HTTP servers on
// 127.0.0.1: a notice, newer program and price list (the list replaced and
// reopened, the archive unpacked, the updater started with its argument), a
// server that is down, one that stalls for ever while the window goes on
// painting and closes at once, a cancelled download, a downloaded list that
// does not open, hostile archives, and the error texts in the user's language.
// Also the setup dialog the same window opens.

#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include "Globals.h"
#include "PriceList.h"
#include "PriceListMaker.h"
#include "Settings.h"
#include "TFrmSetup.h"
#include "TFrmUpdater.h"
#include "UpdateArchive.h"
#include "UpdateCheck.h"
#include "UpdateServer.h"
#include "WindowServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
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

QByteArray ReadBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

/// A raw archive entry, for entries the packer would never make.
QByteArray RawEntry(const QByteArray &name, const QByteArray &packed, quint32 unpacked)
{
    QByteArray out;
    out.append(char(0)).append(char(name.size())).append(name);
    for (quint32 v : {unpacked, quint32(packed.size())})
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    return out + packed;
}

/// Sets an environment variable for the object's lifetime.
class TEnvironmentVariable {
public:
    TEnvironmentVariable(const char *name, const QString &value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~TEnvironmentVariable()
    {
        if (m_old.isEmpty())
            qunsetenv(m_name);
        else
            qputenv(m_name, m_old);
    }

private:
    const char *m_name;
    QByteArray m_old;
};

/// A server on 127.0.0.1 that takes connections and never answers.
struct TStalledServer {
    QTcpServer Server;
    qint64 ConnectedAtMs = -1; // on the test's clock

    explicit TStalledServer(const QElapsedTimer &clock)
    {
        Server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&Server, &QTcpServer::newConnection, [this, &clock] {
            while (Server.nextPendingConnection() != nullptr) {
                // kept open, unread, by the server
            }
            if (ConnectedAtMs < 0)
                ConnectedAtMs = clock.elapsed();
        });
    }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/VarnexCfgCheck.txt").arg(Server.serverPort()); }
};

/// Counts a widget's paint events and notes when the first came.
class TPaintWatch : public QObject {
public:
    TPaintWatch(QWidget *widget, const QElapsedTimer &clock) : m_clock(clock) { widget->installEventFilter(this); }
    int Count = 0;
    qint64 FirstMs = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && ++Count == 1)
            FirstMs = m_clock.elapsed();
        return false;
    }

private:
    const QElapsedTimer &m_clock;
};

/// Notes how often the window had been painted when its commands were first
/// disabled: the moment the update check starts.
class TCheckStartWatch : public QObject {
public:
    TCheckStartWatch(QWidget *commands, const TPaintWatch &paints, const QElapsedTimer &clock)
        : m_commands(commands), m_paints(paints), m_clock(clock)
    {
        commands->installEventFilter(this);
    }
    int PaintsAtStart = -1;
    qint64 StartMs = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange && !m_commands->isEnabled() && PaintsAtStart < 0) {
            PaintsAtStart = m_paints.Count;
            StartMs = m_clock.elapsed();
        }
        return false;
    }

private:
    QWidget *m_commands;
    const TPaintWatch &m_paints;
    const QElapsedTimer &m_clock;
};

/// A started window that checks for updates at a server that never answers.
struct TStalledCheck {
    QElapsedTimer Clock;
    TTempHome Home;
    TRecordingMessageService Boxes;
    TStalledServer Server{Clock};
    TEnvironmentVariable Address{"VARNEX_UPDATE_CHECK_URL", Server.Url()};
    std::unique_ptr<TFrmVarnexCfgMain> Window;
    std::unique_ptr<TPaintWatch> Paints;
    std::unique_ptr<TCheckStartWatch> CheckStart;

    explicit TStalledCheck(int timeLimitMs)
    {
        Clock.start();
        TStartupOptions options = OptionsFor(BuiltProgramPath());
        options.UpdateCheckUrl.clear(); // the environment's address, as a vendor's staging server is given
        options.UpdateCheckTimeLimitMs = timeLimitMs;
        Window = std::make_unique<TFrmVarnexCfgMain>(options);
        Paints = std::make_unique<TPaintWatch>(Child<QLabel>(*Window, "pnlMainTitle"), Clock);
        CheckStart = std::make_unique<TCheckStartWatch>(Child<QWidget>(*Window, "pnlComandi"), *Paints, Clock);
    }
};

/// The visible update progress dialog, or null.
TFrmUpdater *ProgressDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<TFrmUpdater *>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

/// A fresh home with the sample price list (Italia, 1 Jan 2027) and the window started in it.
struct TUpdateSetting {
    TTempHome Home;
    QTemporaryDir Served;
    TRecordingMessageService Boxes;
    std::unique_ptr<TFrmVarnexCfgMain> Window;
    QStringList Started;

    explicit TUpdateSetting(const QByteArray &languageFile = "English.lng")
    {
        const QString data = Home.DataHome() + "/Varnex Configurator/";
        QDir().mkpath(data);
        QFile::copy(QStringLiteral(VX_BUILD_DIR "PriceList.tc"), data + "PriceList.tc");
        WriteBytes(data + "VarnexCfg.ini", "[Setup]\nCheckUpdates=0\nLanguageFile=" + languageFile + "\n");
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

        // Links planted in the temporary folder after start-up: written over, never through.
        const QString victim = s.Home.Path() + "/victim.txt";
        WriteBytes(victim, "victim");
        for (const char *name : {"VarnexCfgCheck.txt", "PriceList.tc", "VarnexCfgUpdate.z", "Updater.exe"})
            QVERIFY(QFile::link(victim, SetupData.TempPath + name));

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
        QCOMPARE(Child<QLabel>(*s.Window, "lblPriceListCountry")->text(), QStringLiteral("Price list: Italia (nuovo)"));
        const QString temp = SetupData.TempPath;
        QTRY_VERIFY(QFileInfo(temp + "started.txt").size() > 0);
        QFile started(temp + "started.txt");
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(started.readAll(), ("PRG_PATH=\"" + SetupData.ProgramPath + "\"\n").toUtf8());
        QVERIFY(QFileInfo(temp + "Updater.exe").isExecutable());
        QVERIFY(QFile::exists(temp + "lang/Deutsch.lng"));
        QVERIFY(!QFile::exists(temp + "VarnexCfgUpdate.z"));
        QVERIFY(!QFile::exists(temp + "VarnexCfgCheck.txt"));
        QCOMPARE(ReadBytes(victim), QByteArray("victim"));
        QVERIFY(!QFileInfo(temp + "Updater.exe").isSymLink());
    }

    void archivesThatCannotBeInstalled_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::newRow("no updater in it") << PackUpdateArchive({{"", "readme.txt", "x"}});
        QTest::newRow("empty archive") << QByteArray();
        QTest::newRow("a traversal attempt") << PackUpdateArchive({{"..\\..", "Updater.exe", "#!/bin/sh\n"}});
        // 2 GiB stated, honestly or not, from a few bytes: refused before anything is written.
        QTest::newRow("stated sizes of 2 GiB")
            << PackUpdateArchive({{"", "Updater.exe", "#!/bin/sh\n"}}) +
                   RawEntry("a.bin", qCompress(QByteArray(1 << 20, '\0')).mid(4), 1u << 30) +
                   RawEntry("b.bin", qCompress(QByteArray(1 << 20, '\0')).mid(4), 1u << 30);
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
            if (TFrmUpdater *dialog = ProgressDialog()) {
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

    void stalledCheckKeepsTheWindowAlive()
    {
        // The check's server never answers. The window is painted before the check
        // asks, goes on handling events and painting while it waits, and the check
        // gives up silently after its time (shortened here from the program's 20 s).
        TStalledCheck c(3000);
        TFrmVarnexCfgMain &window = *c.Window;
        int ticksDuringCheck = 0, paintsAtFirstTick = -1, paintsAtLastTick = -1;
        int wizardRuns = 0;
        window.SetWizardRunner([&](TWizardMode) { return ++wizardRuns, false; });
        QTimer ticker;
        ticker.setInterval(50);
        connect(&ticker, &QTimer::timeout, [&] {
            if (c.Server.ConnectedAtMs >= 0 && !Child<QWidget>(window, "pnlComandi")->isEnabled()) {
                ++ticksDuringCheck;
                paintsAtLastTick = c.Paints->Count;
                if (paintsAtFirstTick < 0)
                    paintsAtFirstTick = c.Paints->Count;
                Child<QAction>(window, "actNewConfiguration")->trigger(); // as its shortcut would: nothing while the check runs
            }
            Child<QLabel>(window, "pnlMainTitle")->update();
        });
        ticker.start();
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.FirstIdleDone(), 30000); // returns once the check has ended
        const qint64 endedMs = c.Clock.elapsed();
        QVERIFY(c.Server.ConnectedAtMs >= 0);
        QVERIFY2(c.CheckStart->PaintsAtStart >= 1, "the check started before the window was painted");
        QVERIFY2(c.Paints->FirstMs < 5000, qPrintable(QString::number(c.Paints->FirstMs)));
        QVERIFY2(ticksDuringCheck >= 10, qPrintable(QString::number(ticksDuringCheck)));
        QVERIFY2(paintsAtLastTick - paintsAtFirstTick >= 5,
                 qPrintable(QStringLiteral("%1 to %2").arg(paintsAtFirstTick).arg(paintsAtLastTick)));
        // Ended by the check's own limit: before the 15 s stall limit would have.
        const qint64 checkMs = endedMs - c.Server.ConnectedAtMs;
        QVERIFY2(checkMs >= 2500 && checkMs < 12000, qPrintable(QString::number(checkMs)));
        QVERIFY(c.Boxes.Messages.isEmpty());
        // Now the commands work, by button and shortcut; the result commands stay off.
        QCOMPARE(wizardRuns, 0);
        QVERIFY(Child<QWidget>(window, "pnlComandi")->isEnabled());
        Child<QPushButton>(window, "btnNewConfiguration")->click();
        Child<QAction>(window, "actNewConfiguration")->trigger();
        QCOMPARE(wizardRuns, 2);
        QVERIFY(!Child<QAction>(window, "actEditAutonomy")->isEnabled());
        window.close();
    }

    void closeEndsTheCheckAtOnce()
    {
        // With the program's own 20 s limit: a close request ends the waiting check at once.
        TStalledCheck c(0);
        TFrmVarnexCfgMain &window = *c.Window;
        qint64 closeAskedMs = -1;
        connect(&c.Server.Server, &QTcpServer::newConnection, &window, [&] {
            QTimer::singleShot(300, &window, [&] {
                closeAskedMs = c.Clock.elapsed();
                window.close();
            });
        });
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.CleanedUp(), 30000);
        QVERIFY(closeAskedMs >= 0 && c.CheckStart->StartMs >= 0);
        // From the check's start to the window's end, far below the check's 20 s.
        const qint64 checkToEndMs = c.Clock.elapsed() - c.CheckStart->StartMs;
        QVERIFY2(checkToEndMs < 5000, qPrintable(QString::number(checkToEndMs)));
        QVERIFY(!window.isVisible());
        QVERIFY(c.Boxes.Messages.isEmpty());
    }

    void closeDuringADownloadGivesOneBox()
    {
        TUpdateSetting s;
        const TUpdateServer server(s.Served.path());
        WriteBytes(s.Served.path() + "/VarnexCfgCheck.txt",
                   ("[Quenvar]\n39_PriceListDate=20270201\n39_PriceListDownload=" + server.Url("stall/") +
                    "\nProgramVersion=9.0\nProgramDownload=" + server.Url("program/") + "\n")
                       .toUtf8());
        s.Boxes.Answers = {true};
        QTimer closer;
        closer.setInterval(200);
        connect(&closer, &QTimer::timeout, [&] {
            if (ProgressDialog() != nullptr)
                s.Window->close();
        });
        closer.start();
        s.Check(server.Url("VarnexCfgCheck.txt"));
        // No word of the cause, and no program download after it.
        QCOMPARE(s.Boxes.Texts().mid(1), QStringList{"The update could not be completed. Please try again later."});
        QTRY_VERIFY(s.Window->CleanedUp());
        QVERIFY(s.Started.isEmpty());
    }

    void errorTextsInTheUsersLanguage_data()
    {
        QTest::addColumn<QByteArray>("languageFile");
        QTest::addColumn<QString>("download"); // the price list's address; {server} and {closed} stand for ports
        QTest::addColumn<QString>("cause");    // the first box begins so
        QTest::addColumn<QString>("failed");
        QTest::newRow("Deutsch, not found")
            << QByteArray("Deutsch.lng") << "{server}/missing/"
            << "Die Datei wurde auf dem Aktualisierungsserver nicht gefunden.\n\nThe requested URL returned error: 404"
            << QString::fromUtf8("Die Aktualisierung konnte nicht abgeschlossen werden. Bitte versuchen Sie es "
                                 "später erneut.");
        QTest::newRow("Italiano, no connection")
            << QByteArray("Italian.lng") << "{closed}/"
            << QString::fromUtf8("Impossibile collegarsi al server degli aggiornamenti, oppure la connessione si è "
                                 "interrotta.\n\nFailed to connect to 127.0.0.1 port")
            << QString::fromUtf8("Impossibile completare l'aggiornamento. Riprovare più tardi.");
        QTest::newRow("English, no address at all") << QByteArray("English.lng") << ""
                                                    << "The download failed.\n\n"
                                                    << "The update could not be completed. Please try again later.";
    }

    void errorTextsInTheUsersLanguage()
    {
        QFETCH(QByteArray, languageFile);
        QFETCH(QString, download);
        QFETCH(QString, cause);
        QFETCH(QString, failed);
        TUpdateSetting s(languageFile);
        const TUpdateServer server(s.Served.path());
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const QString closed = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        download.replace("{server}", server.Url("").chopped(1)).replace("{closed}", closed);
        WriteBytes(s.Served.path() + "/VarnexCfgCheck.txt",
                   ("[Quenvar]\n39_PriceListDate=20270201\n39_PriceListDownload=" + download + "\n").toUtf8());
        s.Boxes.Answers = {true};
        s.Check(server.Url("VarnexCfgCheck.txt"));
        const QStringList texts = s.Boxes.Texts();
        QCOMPARE(texts.size(), 3);
        QVERIFY2(texts[1].startsWith(cause), qPrintable(texts[1]));
        QCOMPARE(texts[2], failed);
        QVERIFY(PriceList.Loaded);
    }

    void downloadedListThatDoesNotOpenIsNotInstalled_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not a database") << "garbage";
        QTest::newRow("another vendor's password") << "password";
        QTest::newRow("no header row") << "header";
    }

    void downloadedListThatDoesNotOpenIsNotInstalled()
    {
        QFETCH(QString, kind);
        TUpdateSetting s;
        const QString served = s.Served.path();
        QDir().mkpath(served + "/prices");
        TPriceListContent content;
        QString error;
        QVERIFY(ReadPriceListCsv(VX_SOURCE_DIR "tools/sample/Quenvar", content, error));
        if (kind == QLatin1String("garbage"))
            WriteBytes(served + "/prices/PriceList.tc", QByteArray(8192, 'g'));
        if (kind == QLatin1String("header"))
            content.InfoRows.clear();
        if (kind != QLatin1String("garbage"))
            QVERIFY(WritePriceListFile(served + "/prices/PriceList.tc",
                                       kind == QLatin1String("password") ? QStringLiteral("Another1")
                                                                         : PriceListPassword("Quenvar"),
                                       content, true, error));
        const TUpdateServer server(served);
        WriteBytes(
            served + "/VarnexCfgCheck.txt",
            ("[Quenvar]\n39_PriceListDate=20270201\n39_PriceListDownload=" + server.Url("prices/") + "\n").toUtf8());
        const QString installed = SetupData.DataPath + "PriceList.tc";
        const QByteArray before = ReadBytes(installed);
        s.Boxes.Answers = {true, false};
        s.Check(server.Url("VarnexCfgCheck.txt"));
        QCOMPARE(s.Boxes.Texts().mid(1),
                 (QStringList{"The downloaded price list cannot be opened. The price list in use is kept.",
                              "The update could not be completed. Please try again later."}));
        // The working list stays open and in place, and the next check offers the update again.
        QVERIFY(PriceList.Loaded);
        QCOMPARE(PriceList.CountryName, QStringLiteral("Italia"));
        QVERIFY(PriceListDatabase() != nullptr);
        QCOMPARE(ReadBytes(installed), before);
        QVERIFY(!QFile::exists(SetupData.TempPath + "PriceList.tc"));
        s.Check(server.Url("VarnexCfgCheck.txt"));
        QCOMPARE(s.Boxes.Messages.size(), 4);
        QCOMPARE(s.Boxes.Messages[3].Kind, QStringLiteral("question"));
    }

    void unpackingShowsInTheDialog()
    {
        TUpdateSetting s;
        const QString served = s.Served.path();
        WriteBytes(served + "/program/VarnexCfgUpdate.z",
                   PackUpdateArchive({{"", "Updater.exe", "#!/bin/sh\n"}, {"", "data.bin", QByteArray(30 << 20, 0)}}));
        const TUpdateServer server(served);
        WriteBytes(served + "/VarnexCfgCheck.txt",
                   ("[Quenvar]\nProgramVersion=2.0\nProgramDownload=" + server.Url("program/") + "\n").toUtf8());
        s.Boxes.Answers = {true};
        QStringList unpacking;
        QTimer watcher;
        watcher.setInterval(0);
        connect(&watcher, &QTimer::timeout, [&] {
            if (TFrmUpdater *dialog = ProgressDialog())
                if (dialog->lblDownload->text().startsWith("Unpacked"))
                    unpacking << dialog->lblDownload->text();
        });
        watcher.start();
        s.Check(server.Url("VarnexCfgCheck.txt"));
        QVERIFY(!unpacking.isEmpty());
        QVERIFY2(QRegularExpression("^Unpacked \\d+ KB of 30720 KB$").match(unpacking.last()).hasMatch(),
                 qPrintable(unpacking.last()));
        QCOMPARE(s.Boxes.Messages.size(), 1);
        QCOMPARE(s.Started.value(0), SetupData.TempPath + "Updater.exe");
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
        QCOMPARE(Child<QTableWidget>(window, "grdData")->item(0, 0)->text(), QStringLiteral("Input configuration"));
        window.ApplySetupChanges(false, QStringLiteral("Italian.lng"));
        QCOMPARE(Child<QTableWidget>(window, "grdData")->item(0, 0)->text(), QStringLiteral("Configurazione di ingresso"));
        QCOMPARE(Child<QTableWidget>(window, "grdItems")->horizontalHeaderItem(1)->text(), QStringLiteral("Descrizione"));
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
};

QTEST_MAIN(TestUpdateWindow)
#include "test_update_window.moc"
