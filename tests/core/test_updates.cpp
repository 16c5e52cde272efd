// The update check's logic, the update archive and the download: version and
// date comparisons, the check file of a vendor, archives built here with zlib
// (hostile ones too), downloads from real HTTP and HTTPS servers on 127.0.0.1
// that stall, drip, send too much and redirect, links and special files where
// a file is to be written, and a full disk (a child process of this test with
// a file size limit).

#include "Download.h"
#include "Globals.h"
#include "TestSupport.h"
#include "UpdateArchive.h"
#include "UpdateCheck.h"
#include "UpdateInstall.h"
#include "UpdateServer.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

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

/// The files of a folder, sub-folders included, links and hidden ones too, relative and sorted.
QStringList FilesIn(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

/// A port of 127.0.0.1 where nothing listens.
quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

/// This test program run as a child with a file size limit (SIGXFSZ ignored, so
/// that a write beyond it fails with EFBIG, as on a full disk); its standard output.
int RunLimitedChild(const QStringList &arguments, qint64 limitBytes, QByteArray &output)
{
    QProcess child;
    child.setChildProcessModifier([limitBytes] {
        const struct rlimit limit = {rlim_t(limitBytes), rlim_t(limitBytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
    });
    child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + arguments);
    if (!child.waitForFinished(60000))
        return -1;
    output = child.readAllStandardOutput();
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

/// The child's work: one download or one unpacking; prints the failure and its detail.
int RunChild(const QStringList &arguments)
{
    bool ok = false;
    QString failure;
    if (arguments.value(0) == QLatin1String("download")) {
        TDownloadError error;
        ok = DownloadFile(arguments.value(1), arguments.value(2), {}, error);
        failure = QString::number(int(error.Failure)) + ' ' + error.Detail;
    } else if (arguments.value(0) == QLatin1String("unpack")) {
        TUnpackError error;
        ok = UnpackUpdateArchive(arguments.value(1), arguments.value(2), error);
        failure = QString::number(int(error.Failure)) + ' ' + error.Detail;
    }
    std::fputs(qPrintable(failure), stdout);
    return ok ? 0 : 1;
}

} // namespace

class TestUpdates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(UseBuiltProgram());
        WriteBytes(m_served.path() + "/big.bin", QByteArray(2500000, 'p'));
        m_http = std::make_unique<TUpdateServer>(m_served.path());
        QVERIFY(m_http->Port() > 0);
        QString certificate, key;
        QVERIFY(MakeTestCertificate(m_certificates.path(), certificate, key));
        m_ca = certificate;
        m_https = std::make_unique<TUpdateServer>(m_served.path(), certificate, key);
        QVERIFY(m_https->Port() > 0);
    }

    void cleanupTestCase()
    {
        m_https.reset();
        m_http.reset();
    }

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
        // Refused on the stated sizes alone, before a byte is written (the streams are not looked at).
        QTest::newRow("stated sizes beyond 1 GiB")
            << updater + RawEntry("", "a.bin", Zlib("a"), 600 << 20) + RawEntry("", "b.bin", Zlib("b"), 600 << 20)
            << false << QStringList{"old.txt"};
        for (const char *folder : {"..", "..\\..\\etc", "a\\..\\..", "\\abs", "/abs", "C:\\Windows", "a\\.\\b"})
            QTest::newRow(qPrintable(QStringLiteral("folder %1").arg(folder)))
                << updater + RawEntry(folder, "x.txt", Zlib("x"), 1) << false << QStringList{"old.txt"};
        for (const char *name : {"..", "..\\x.txt", "a/b.txt", "c:x.txt", ""})
            QTest::newRow(qPrintable(QStringLiteral("name %1").arg(name)))
                << RawEntry("", name, Zlib("x"), 1) << false << QStringList{"old.txt"};
        QTest::newRow("through a link") << updater + RawEntry("link", "x.txt", Zlib("x"), 1) << false
                                        << QStringList{"old.txt"};
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
        TUnpackError error;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(UnpackUpdateArchive(file, temp, error), ok);
        QCOMPARE(error.Detail.isEmpty(), ok);
        QVERIFY(timer.elapsed() < 30000); // refused archives are not unpacked first
        QStringList found = FilesIn(temp);
        found.removeOne("link");
        QCOMPARE(found, files);
        if (QTest::currentDataTag() == QLatin1String("an existing file is replaced"))
            QCOMPARE(ReadBytes(temp + "/old.txt"), QByteArray("new"));
        if (QTest::currentDataTag() == QLatin1String("top level and sub-folders"))
            QCOMPARE(ReadBytes(temp + "/lib/a.so"), QByteArray(5000, 'a'));
        if (QTest::currentDataTag() == QLatin1String("stated sizes beyond 1 GiB"))
            QCOMPARE(error.Failure, TUnpackFailure::TooLarge);
        QVERIFY(QDir(outside).isEmpty());
        QVERIFY(!QFile::exists(root.path() + "/x.txt"));
    }

    void unpackingLimitsAndProgress()
    {
        QTemporaryDir root;
        const QString archive = root.path() + "/VarnexCfgUpdate.z";
        WriteBytes(archive, PackUpdateArchive({{"", "Updater.exe", QByteArray(300000, 'u')}, {"lib", "a.so", "a"}}));
        TUnpackError error;
        // More than the disk has free: refused, nothing written.
        TUnpackLimits limits;
        limits.FreeBytes = 300000;
        QVERIFY(!UnpackUpdateArchive(archive, root.path(), error, {}, limits));
        QCOMPARE(error.Failure, TUnpackFailure::NoSpace);
        QCOMPARE(FilesIn(root.path()), QStringList{"VarnexCfgUpdate.z"});
        // Cancelled half-way: what was unpacked goes again.
        QVERIFY(!UnpackUpdateArchive(archive, root.path(), error, [](qint64 done, qint64) { return done >= 100000; }));
        QCOMPARE(error.Failure, TUnpackFailure::Cancelled);
        QCOMPARE(FilesIn(root.path()), QStringList{"VarnexCfgUpdate.z"});
        QVERIFY(!QFileInfo::exists(root.path() + "/lib"));
        // The reports count up to the stated sizes together.
        QList<QPair<qint64, qint64>> reports;
        QVERIFY(UnpackUpdateArchive(archive, root.path(), error, [&](qint64 done, qint64 total) {
            reports << qMakePair(done, total);
            return false;
        }));
        QVERIFY(reports.size() >= 5);
        QCOMPARE(reports.last(), qMakePair(qint64(300001), qint64(300001)));
        for (qsizetype i = 1; i < reports.size(); ++i)
            QVERIFY(reports[i].first >= reports[i - 1].first);
    }

    void linksAndSpecialFilesAtTheTarget()
    {
        // Planted after start-up: links to a file outside, a pipe and a folder
        // where downloads and unpacked files are to go.
        QTemporaryDir root;
        const QString temp = root.path() + "/Temp", victim = root.path() + "/victim.txt";
        QDir().mkpath(temp + "/PriceList.tc");
        WriteBytes(victim, "victim");
        QVERIFY(QFile::link(victim, temp + "/VarnexCfgUpdate.z"));
        QVERIFY(QFile::link(victim, temp + "/Updater.exe"));
        QCOMPARE(::mkfifo(QFile::encodeName(temp + "/VarnexCfgCheck.txt").constData(), 0600), 0);

        TDownloadError error;
        QVERIFY2(DownloadFile(m_http->Url("big.bin"), temp + "/VarnexCfgUpdate.z", {}, error),
                 qPrintable(error.Detail));
        QVERIFY(!QFileInfo(temp + "/VarnexCfgUpdate.z").isSymLink());
        QCOMPARE(QFileInfo(temp + "/VarnexCfgUpdate.z").size(), qint64(2500000));
        for (const char *name : {"/VarnexCfgCheck.txt", "/PriceList.tc"}) {
            QVERIFY(!DownloadFile(m_http->Url("big.bin"), temp + name, {}, error));
            QCOMPARE(error.Failure, TDownloadFailure::NotSaved);
        }

        const QString archive = root.path() + "/update.z";
        WriteBytes(archive, PackUpdateArchive({{"", "Updater.exe", "#!/bin/sh\n"}}));
        TUnpackError unpackError;
        QVERIFY2(UnpackUpdateArchive(archive, temp, unpackError), qPrintable(unpackError.Detail));
        QVERIFY(!QFileInfo(temp + "/Updater.exe").isSymLink());
        QCOMPARE(ReadBytes(temp + "/Updater.exe"), QByteArray("#!/bin/sh\n"));
        WriteBytes(archive, PackUpdateArchive({{"", "VarnexCfgCheck.txt", "x"}}));
        QVERIFY(!UnpackUpdateArchive(archive, temp, unpackError));
        QCOMPARE(unpackError.Failure, TUnpackFailure::NotSaved);

        QCOMPARE(ReadBytes(victim), QByteArray("victim"));
        QVERIFY(QFileInfo(temp + "/PriceList.tc").isDir());
        struct stat pipe {};
        QVERIFY(::lstat(QFile::encodeName(temp + "/VarnexCfgCheck.txt").constData(), &pipe) == 0 &&
                S_ISFIFO(pipe.st_mode));
        QCOMPARE(FilesIn(temp), (QStringList{"Updater.exe", "VarnexCfgCheck.txt", "VarnexCfgUpdate.z"}));
    }

    void downloadWithProgress()
    {
        QTemporaryDir local;
        QList<QPair<qint64, qint64>> reports;
        TDownloadError error;
        const QString target = local.path() + "/big.bin";
        QVERIFY2(DownloadFile(
                     m_http->Url("big.bin"), target,
                     [&](qint64 received, qint64 total) {
                         reports << qMakePair(received, total);
                         return false;
                     },
                     error),
                 qPrintable(error.Detail));
        QCOMPARE(QFileInfo(target).size(), qint64(2500000));
        QCOMPARE(reports.last(), qMakePair(qint64(2500000), qint64(2500000)));
        QCOMPARE(reports.last().second / 1024, qint64(2441));
        QCOMPARE(FilesIn(local.path()), QStringList{"big.bin"});
    }

    void downloadFailures_data()
    {
        QTest::addColumn<QString>("url"); // {http}, {https}, {closed} stand for the servers (Expand)
        QTest::addColumn<bool>("httpsOnly");
        QTest::addColumn<int>("totalMs");
        QTest::addColumn<int>("stallSeconds");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("trusted"); // the test certificate is trusted
        QTest::addColumn<TDownloadFailure>("failure");
        using F = TDownloadFailure;
        const qint64 gib = qint64(1) << 30, check = kCheckFileMaxBytes;
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("the whole file") << "{http}/big.bin" << false << 0 << 15 << gib << false << true << F::None;
        row("over https") << "{https}/big.bin" << true << 0 << 15 << gib << false << true << F::None;
        row("http redirected to http") << "{http}/redirect/{http}/big.bin" << false << 0 << 15 << gib << false << true
                                       << F::None;
        row("https redirected to https") << "{https}/redirect/{https}/big.bin" << true << 0 << 15 << gib << false
                                         << true << F::None;
        row("not found") << "{http}/missing.bin" << false << 0 << 15 << gib << false << true << F::NotFound;
        row("nothing listens") << "{closed}/x" << false << 0 << 15 << gib << false << true << F::NoConnection;
        row("stalls after its first bytes")
            << "{http}/stall/x" << false << 0 << 1 << gib << false << true << F::TooSlow;
        row("drips for ever") << "{http}/drip/x" << false << 2000 << 15 << gib << false << true << F::TooSlow;
        row("cancelled") << "{http}/stall/x" << false << 0 << 15 << gib << true << true << F::Cancelled;
        row("a check file far too large")
            << "{http}/big/10000000" << false << 0 << 15 << check << false << true << F::Other;
        row("a stated length too large") << "{http}/big.bin" << false << 0 << 15 << check << false << true << F::Other;
        row("http where https is required")
            << "{http}/big.bin" << true << 0 << 15 << gib << false << true << F::NotHttps;
        row("https redirected to http") << "{https}/redirect/{http}/big.bin" << true << 0 << 15 << gib << false << true
                                        << F::NotHttps;
        row("an untrusted certificate") << "{https}/big.bin" << true << 0 << 15 << gib << false << false << F::Other;
        row("a file address") << "file:///etc/passwd" << false << 0 << 15 << gib << false << true << F::Other;
        row("an ftp address") << "ftp://127.0.0.1/x" << false << 0 << 15 << gib << false << true << F::Other;
    }

    void downloadFailures()
    {
        QFETCH(QString, url);
        QFETCH(bool, httpsOnly);
        QFETCH(int, totalMs);
        QFETCH(int, stallSeconds);
        QFETCH(qint64, maxBytes);
        QFETCH(bool, cancel);
        QFETCH(bool, trusted);
        QFETCH(TDownloadFailure, failure);
        TDownloadOptions options;
        options.HttpsOnly = httpsOnly;
        options.TotalTimeoutMs = totalMs;
        options.StallTimeoutSeconds = stallSeconds;
        options.MaxBytes = maxBytes;
        options.CaFile = trusted ? m_ca : QString(); // the system's certificates
        QTemporaryDir local;
        const QString target = local.path() + "/VarnexCfgCheck.txt";
        WriteBytes(target, "previous");
        TDownloadError error;
        QElapsedTimer timer;
        timer.start();
        const bool ok = DownloadFile(
            Expand(url), target, [&](qint64 received, qint64) { return cancel && received > 0; }, error, options);
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(ok, failure == TDownloadFailure::None);
        QCOMPARE(error.Failure, failure);
        QCOMPARE(error.Detail.isEmpty(), ok);
        QCOMPARE(ReadBytes(target), ok ? QByteArray(2500000, 'p') : QByteArray("previous"));
        QCOMPARE(FilesIn(local.path()), QStringList{"VarnexCfgCheck.txt"});
    }

    void failureTexts_data()
    {
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<QString>("notFound");
        QTest::newRow("English") << "English.lng"
                                 << "The file was not found on the update server.";
        QTest::newRow("Deutsch") << "Deutsch.lng"
                                 << "Die Datei wurde auf dem Aktualisierungsserver nicht gefunden.";
        QTest::newRow("Italian") << "Italian.lng"
                                 << QString::fromUtf8("Il file non è stato trovato sul server degli "
                                                      "aggiornamenti.");
        QTest::newRow("Spanish") << "Spanish.lng"
                                 << "El archivo no se ha encontrado en el servidor de actualizaciones.";
    }

    void failureTexts()
    {
        // The language's short text, then libcurl's words; each cause its own text.
        QFETCH(QString, languageFile);
        QFETCH(QString, notFound);
        SetupData.LanguageFile = languageFile;
        const QString detail = QStringLiteral("The requested URL returned error: 404");
        QCOMPARE(DownloadFailureText({TDownloadFailure::NotFound, detail}), notFound + "\n\n" + detail);
        QSet<QString> texts;
        for (TDownloadFailure failure :
             {TDownloadFailure::NotFound, TDownloadFailure::NoConnection, TDownloadFailure::TooSlow,
              TDownloadFailure::Cancelled, TDownloadFailure::NotHttps, TDownloadFailure::NotSaved,
              TDownloadFailure::Other}) {
            const QString text = DownloadFailureText({failure, detail});
            QVERIFY(!text.startsWith(u'\n'));
            texts << text.section(u'\n', 0, 0);
        }
        QCOMPARE(texts.size(), 7);
        SetupData.LanguageFile = QStringLiteral("English.lng");
    }

    void fullDisk_data()
    {
        QTest::addColumn<QString>("work");
        QTest::newRow("download") << "download";
        QTest::newRow("unpacking") << "unpack";
    }

    void fullDisk()
    {
        // The file at the name keeps what it held, no temporary file stays, and the cause is told.
        QFETCH(QString, work);
        QTemporaryDir root;
        const QString archive = root.path() + "/VarnexCfgUpdate.z", temp = root.path() + "/Temp";
        QDir().mkpath(temp);
        WriteBytes(temp + "/big.bin", "previous");
        WriteBytes(archive, PackUpdateArchive({{"", "big.bin", QByteArray(2500000, 'u')}}));
        const QStringList arguments = work == QLatin1String("download")
                                          ? QStringList{work, m_http->Url("big.bin"), temp + "/big.bin"}
                                          : QStringList{work, archive, temp};
        QByteArray output;
        QCOMPARE(RunLimitedChild(arguments, 1000000, output), 1);
        QVERIFY2(output.contains("File too large"), output.constData());
        const int notSaved =
            work == QLatin1String("download") ? int(TDownloadFailure::NotSaved) : int(TUnpackFailure::NotSaved);
        QCOMPARE(output.left(output.indexOf(' ')).toInt(), notSaved);
        QCOMPARE(ReadBytes(temp + "/big.bin"), QByteArray("previous"));
        QCOMPARE(FilesIn(temp), QStringList{"big.bin"});
        // Without the limit the same work succeeds.
        QCOMPARE(RunLimitedChild(arguments, qint64(RLIM_INFINITY), output), 0);
        QCOMPARE(QFileInfo(temp + "/big.bin").size(), qint64(2500000));
    }

    void silentServerTimesOut()
    {
        // A server that accepts and never answers ends the download after the stall time.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QTemporaryDir local;
        TDownloadOptions options;
        options.StallTimeoutSeconds = 2;
        TDownloadError error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!DownloadFile(QStringLiteral("http://127.0.0.1:%1/VarnexCfgCheck.txt").arg(silent.serverPort()),
                              local.path() + "/VarnexCfgCheck.txt", {}, error, options));
        QCOMPARE(error.Failure, TDownloadFailure::TooSlow);
        QVERIFY(timer.elapsed() < 10000);
        QVERIFY(FilesIn(local.path()).isEmpty());
    }

    void checkOverHttps_data()
    {
        QTest::addColumn<QString>("checkUrl");
        QTest::addColumn<QString>("programDownload");
        QTest::addColumn<QStringList>("boxes");
        const QStringList refused{"question",
                                  "The update was refused: its address does not use a secure connection "
                                  "(https).",
                                  "The update could not be completed. Please try again later."};
        QTest::newRow("program at an http address") << "{https}/check.txt"
                                                    << "{http}/program/" << refused;
        QTest::newRow("program redirected to http") << "{https}/check.txt"
                                                    << "{https}/redirect/{http}/program/" << refused;
        QTest::newRow("check file redirected to http") << "{https}/redirect/{http}/check.txt"
                                                       << "{https}/program/" << QStringList();
        // A check at an http address may name one, as the built-in address once was.
        QTest::newRow("all over http") << "{http}/check.txt"
                                       << "{http}/program/" << QStringList{"question"};
    }

    void checkOverHttps()
    {
        QFETCH(QString, checkUrl);
        QFETCH(QString, programDownload);
        QFETCH(QStringList, boxes);
        QTemporaryDir home;
        const QString temp = home.path() + "/Temp/";
        QDir().mkpath(temp);
        QDir().mkpath(m_served.path() + "/program");
        WriteBytes(m_served.path() + "/program/VarnexCfgUpdate.z", PackUpdateArchive({{"", "Updater.exe", "#!"}}));
        WriteBytes(m_served.path() + "/check.txt",
                   ("[Quenvar]\nProgramVersion=9.0\nProgramDownload=" + Expand(programDownload) + "\n").toUtf8());
        TRecordingMessageService recorder;
        recorder.Answers = {true};
        QStringList started;
        TUpdateEnvironment env;
        env.CheckUrl = Expand(checkUrl);
        env.TempPath = temp;
        env.DataPath = env.ProgramPath = home.path() + '/';
        env.VendorName = QStringLiteral("Quenvar");
        env.Version = QStringLiteral("1.0");
        env.Options.CaFile = m_ca;
        env.StartProgram = [&](const QString &program, const QStringList &) {
            started << program;
            return true;
        };
        CheckForUpdates(env);
        QStringList seen;
        for (const TRecordedMessage &m : recorder.Messages)
            seen << (m.Kind == QLatin1String("question") ? m.Kind : m.Text.section(u'\n', 0, 0));
        QCOMPARE(seen, boxes);
        QCOMPARE(started.size(), QTest::currentDataTag() == QLatin1String("all over http") ? 1 : 0);
    }

private:
    /// A row's address with the servers' ports; "{a}/redirect/{b}/rest" is server a's
    /// redirect to server b's root followed by the rest.
    QString Expand(const QString &url) const
    {
        auto root = [this](const QString &token) {
            if (token == QLatin1String("{http}"))
                return m_http->Url(QString());
            if (token == QLatin1String("{https}"))
                return m_https->Url(QString());
            return QStringLiteral("http://127.0.0.1:%1/").arg(ClosedPort());
        };
        static const QRegularExpression redirect(QStringLiteral("^(\\{\\w+\\})/redirect/(\\{\\w+\\})/(.*)$"));
        const QRegularExpressionMatch m = redirect.match(url);
        if (m.hasMatch()) {
            const TUpdateServer &server = m.captured(1) == QLatin1String("{https}") ? *m_https : *m_http;
            return server.RedirectTo(root(m.captured(2))) + m.captured(3);
        }
        static const QRegularExpression plain(QStringLiteral("^(\\{\\w+\\})/(.*)$"));
        const QRegularExpressionMatch p = plain.match(url);
        return p.hasMatch() ? root(p.captured(1)) + p.captured(2) : url;
    }

    QTemporaryDir m_served, m_certificates;
    std::unique_ptr<TUpdateServer> m_http, m_https;
    QString m_ca;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--child") == 0)
        return RunChild(app.arguments().mid(2));
    TestUpdates test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_updates.moc"
