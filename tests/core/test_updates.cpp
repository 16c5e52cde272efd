// The update check's logic, the update archive and the download: version and
// date comparisons, the check file of a vendor, archives built here with zlib
// (hostile ones too), and downloads from real HTTP servers on 127.0.0.1.

#include "Download.h"
#include "TestSupport.h"
#include "UpdateArchive.h"
#include "UpdateCheck.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
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
QByteArray RawEntry(const QByteArray &folder, const QByteArray &name, const QByteArray &packed, quint32 unpacked)
{
    QByteArray out;
    out.append(char(folder.size())).append(folder).append(char(name.size())).append(name);
    for (quint32 v : {unpacked, quint32(packed.size())})
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    return out + packed;
}

QByteArray Zlib(const QByteArray &data)
{
    // qCompress prefixes four bytes of length to a zlib stream.
    return qCompress(data, 9).mid(4);
}

/// Python's HTTP server on a free port of 127.0.0.1, serving a folder.
class THttpServer {
public:
    explicit THttpServer(const QString &folder)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        m_process.setWorkingDirectory(folder);
        m_process.start("/usr/bin/python3", {"-m", "http.server", QString::number(m_port), "--bind", "127.0.0.1"});
        m_process.waitForStarted();
        for (int i = 0; i < 100; ++i) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(100))
                break;
            QTest::qWait(50);
        }
    }
    ~THttpServer()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    QString Url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path); }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace

class TestUpdates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UseBuiltProgram()); }

    void programVersions_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("newer");
        QTest::newRow("1.20") << "1.20" << true;
        QTest::newRow("1.2") << "1.2" << false;
        QTest::newRow("2.0") << "2.0" << true;
        QTest::newRow("1.19") << "1.19" << false;
        QTest::newRow("1.20.3 reads as 1.0") << "1.20.3" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("2") << "2" << true;
    }

    void programVersions()
    {
        QFETCH(QString, offered);
        QFETCH(bool, newer);
        QCOMPARE(IsNewerProgram(QStringLiteral("1.19"), offered), newer);
    }

    void priceListDates_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("newer");
        QTest::newRow("one day later") << "20270101"
                                       << "20270102" << true;
        QTest::newRow("the same day") << "20270101"
                                      << "20270101" << false;
        QTest::newRow("month 13") << "20270101"
                                  << "20271301" << false;
        QTest::newRow("current unreadable") << "2027-1-1"
                                            << "20270102" << true;
        QTest::newRow("both unreadable") << ""
                                         << "" << false;
        QTest::newRow("earlier") << "20270101"
                                 << "20261231" << false;
        // Only the first eight characters are the date, as wherever a date is shown.
        QTest::newRow("characters after the eighth") << "20270101"
                                                     << "20270102x" << true;
        QTest::newRow("the same day with more after it") << "20270101 old"
                                                         << "20270101" << false;
    }

    void priceListDates()
    {
        QFETCH(QString, current);
        QFETCH(QString, offered);
        QFETCH(bool, newer);
        TPriceList list;
        list.Loaded = true;
        list.ValidityDate = current;
        QCOMPARE(IsNewerPriceList(list, offered), newer);
        list.Loaded = false;
        QVERIFY(!IsNewerPriceList(list, offered));
    }

    void checkFile()
    {
        QCOMPARE(NoticeKey(1040), QStringLiteral("Message_0410"));
        QCOMPARE(NoticeKey(3082), QStringLiteral("Message_0C0A"));
        QCOMPARE(NoticeKey(-1), QStringLiteral("Message_FFFFFFFF"));
        QTemporaryDir dir;
        const QString file = dir.path() + "/VarnexCfgCheck.txt";
        WriteBytes(file, "[Tevoro]\r\nProgramVersion=9.9\r\n"
                         "[quenvar]\r\nprogramversion=  1.20 \r\nProgramDownload=http://127.0.0.1/update/\r\n"
                         "Message_0410=Prima riga\\nseconda riga\r\n39_PriceListDate=20270201\r\n"
                         "39_PriceListDownload=http://127.0.0.1/prices/\r\n");
        TPriceList list;
        TUpdateData data = ReadCheckFile(file, "Quenvar", 1033, list);
        QCOMPARE(data.ProgramVersion, QStringLiteral("1.20"));
        QCOMPARE(data.ProgramDownload, QStringLiteral("http://127.0.0.1/update/"));
        QVERIFY(data.Message.isEmpty());
        QVERIFY(data.PriceListDate.isEmpty()); // no price list open: its keys are not read
        list.Loaded = true;
        list.CountryID = 39;
        data = ReadCheckFile(file, "Quenvar", 1040, list);
        QCOMPARE(data.PriceListDate, QStringLiteral("20270201"));
        QCOMPARE(data.PriceListDownload, QStringLiteral("http://127.0.0.1/prices/"));
        QCOMPARE(UpdateNoticeText(data), QStringLiteral("Prima riga\nseconda riga"));
        QCOMPARE(ReadCheckFile(file, "Obrentix", 1040, list).ProgramVersion, QString());
        QCOMPARE(UpdaterArgument("/opt/Varnex/"), QStringLiteral("PRG_PATH=\"/opt/Varnex/\""));
    }

    void questionText()
    {
        TUpdateData data;
        data.ProgramVersion = "1.20";
        data.PriceListDate = "20270201";
        const QString date = QLocale::system().toString(QDate(2027, 2, 1), QLocale::ShortFormat);
        QCOMPARE(UpdateQuestionText(true, true, data),
                 "Updates are available.\r\n\r\nNew program version: 1.20\r\nNew price list dated " + date +
                     "\r\n\r\nDo you want to download and install the updates now?\r\n");
        QCOMPARE(UpdateQuestionText(false, true, data),
                 "Updates are available.\r\n\r\nNew price list dated " + date +
                     "\r\n\r\nDo you want to download and install the updates now?\r\n");
    }

    void archives_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("files");
        const QByteArray updater = PackUpdateArchive({{"", "Updater.exe", "#!/bin/sh\n"}});
        QTest::newRow("top level and sub-folders")
            << updater + PackUpdateArchive({{"lang\\de", "Deutsch.lng", "x"}, {"lib\\", "a.so", QByteArray(5000, 'a')}})
            << true << QStringList{"Updater.exe", "lang/de/Deutsch.lng", "lib/a.so", "old.txt"};
        QTest::newRow("an existing file is replaced")
            << PackUpdateArchive({{"", "old.txt", "new"}}) << true << QStringList{"old.txt"};
        QTest::newRow("empty archive") << QByteArray() << true << QStringList{"old.txt"};
        QByteArray cut = updater;
        cut.chop(3);
        QTest::newRow("cut short") << cut << false << QStringList{"old.txt"};
        QTest::newRow("damaged stream") << updater +
                                               RawEntry("", "b.bin", QByteArray("\x78\x9c\xff\xff\xff\xff", 6), 10)
                                        << false << QStringList{"old.txt"};
        QTest::newRow("truncated stream")
            << RawEntry("", "b.bin", Zlib(QByteArray(4000, 'z')).left(8), 4000) << false << QStringList{"old.txt"};
        QTest::newRow("inflates beyond its size")
            << RawEntry("", "bomb.bin", Zlib(QByteArray(10 << 20, '\0')), 1024) << false << QStringList{"old.txt"};
        for (const char *folder : {"..", "..\\..\\etc", "a\\..\\..", "\\abs", "/abs", "C:\\Windows", "a\\.\\b"})
            QTest::newRow(qPrintable(QStringLiteral("folder %1").arg(folder)))
                << updater + RawEntry(folder, "x.txt", Zlib("x"), 1) << false << QStringList{"old.txt"};
        for (const char *name : {"..", "..\\x.txt", "a/b.txt", "c:x.txt"})
            QTest::newRow(qPrintable(QStringLiteral("name %1").arg(name)))
                << RawEntry("", name, Zlib("x"), 1) << false << QStringList{"old.txt"};
        QTest::newRow("through a link") << RawEntry("link", "x.txt", Zlib("x"), 1) << false << QStringList{"old.txt"};
    }

    void archives()
    {
        QFETCH(QByteArray, archive);
        QFETCH(bool, ok);
        QFETCH(QStringList, files);
        QTemporaryDir root;
        const QString temp = root.path() + "/Temp", outside = root.path() + "/outside";
        QDir().mkpath(temp);
        QDir().mkpath(outside);
        WriteBytes(temp + "/old.txt", "old");
        QFile::link(outside, temp + "/link");
        const QString file = root.path() + "/VarnexCfgUpdate.z";
        WriteBytes(file, archive);
        QString error;
        QCOMPARE(UnpackUpdateArchive(file, temp, error), ok);
        QCOMPARE(error.isEmpty(), ok);
        QStringList found;
        QDirIterator it(temp, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(temp).relativeFilePath(it.next());
        found.sort();
        QCOMPARE(found, files);
        if (QTest::currentDataTag() == QLatin1String("an existing file is replaced"))
            QCOMPARE(ReadBytes(temp + "/old.txt"), QByteArray("new"));
        if (QTest::currentDataTag() == QLatin1String("top level and sub-folders"))
            QCOMPARE(ReadBytes(temp + "/lib/a.so"), QByteArray(5000, 'a'));
        QVERIFY(QDir(outside).isEmpty());
        QVERIFY(!QFile::exists(root.path() + "/x.txt"));
    }

    void downloads()
    {
        QTemporaryDir served, local;
        WriteBytes(served.path() + "/big.bin", QByteArray(2500000, 'p'));
        const THttpServer server(served.path());
        QList<QPair<qint64, qint64>> reports;
        QString error;
        const QString target = local.path() + "/big.bin";
        QVERIFY2(DownloadFile(
                     server.Url("big.bin"), target,
                     [&](qint64 received, qint64 total) {
                         reports << qMakePair(received, total);
                         return false;
                     },
                     error),
                 qPrintable(error));
        QCOMPARE(QFileInfo(target).size(), qint64(2500000));
        QCOMPARE(reports.last(), qMakePair(qint64(2500000), qint64(2500000)));
        QCOMPARE(reports.last().second / 1024, qint64(2441));

        // A cancel leaves the file there before unchanged; so do a missing file and a refused connection.
        WriteBytes(target, "previous");
        QVERIFY(!DownloadFile(
            server.Url("big.bin"), target, [](qint64 received, qint64) { return received > 0; }, error));
        QCOMPARE(error, QStringLiteral("the download was cancelled"));
        QCOMPARE(ReadBytes(target), QByteArray("previous"));
        QVERIFY(!DownloadFile(server.Url("missing.bin"), target, {}, error));
        QCOMPARE(ReadBytes(target), QByteArray("previous"));
        QVERIFY(!DownloadFile("ftp://127.0.0.1/x", target, {}, error));
        QVERIFY(!DownloadFile("file:///etc/passwd", target, {}, error));
        QCOMPARE(ReadBytes(target), QByteArray("previous"));
        QCOMPARE(QDir(local.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.bin"});
    }

    void silentServerTimesOut()
    {
        // A server that accepts and never answers ends the download after the stall time.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QTemporaryDir local;
        TDownloadOptions options;
        options.StallTimeoutSeconds = 2;
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!DownloadFile(QStringLiteral("http://127.0.0.1:%1/VarnexCfgCheck.txt").arg(silent.serverPort()),
                              local.path() + "/VarnexCfgCheck.txt", {}, error, options));
        QVERIFY(timer.elapsed() < 10000);
        QVERIFY(!QFile::exists(local.path() + "/VarnexCfgCheck.txt"));
        // A port where nothing listens fails at once.
        const quint16 port = silent.serverPort();
        silent.close();
        timer.restart();
        QVERIFY(!DownloadFile(QStringLiteral("http://127.0.0.1:%1/x").arg(port), local.path() + "/x", {}, error));
        QVERIFY(timer.elapsed() < 5000);
    }
};

QTEST_GUILESS_MAIN(TestUpdates)
#include "test_updates.moc"
