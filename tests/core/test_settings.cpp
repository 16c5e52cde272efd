// Settings file, data folders and the small file routines of the start-up.

#include "IniFile.h"
#include "Settings.h"
#include "TestSupport.h"
#include "Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

void WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(name));
    f.write(bytes);
}

QByteArray ReadFile(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A fresh home with the data folder created, the way the second start finds it.
struct TPreparedHome {
    TTempHome Home;
    TRecordingMessageService Messages;
    TPreparedHome()
    {
        SetupData = TSetupData();
        ComputePaths(SetupData);
        QDir().mkpath(SetupData.DataPath);
    }
    ~TPreparedHome() { SetupData = TSetupData(); }
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void pathsLieInTheDataHome()
    {
        TTempHome home;
        TSetupData s;
        s.DataPath = s.TempPath = s.IniFileName = QStringLiteral("stale");
        ComputePaths(s);
        const QString data = home.DataHome() + QStringLiteral("/Varnex Configurator/");
        QCOMPARE(s.DataPath, data);
        QCOMPARE(s.TempPath, data + QStringLiteral("Temp/"));
        QCOMPARE(s.IniFileName, data + QStringLiteral("VarnexCfg.ini"));
        QVERIFY(!QFileInfo::exists(home.DataHome())); // nothing created
    }

    void ensureFolderCreatesMissingParents()
    {
        TTempHome home;
        TRecordingMessageService messages;
        TSetupData s;
        ComputePaths(s);
        QVERIFY(!QFileInfo::exists(home.DataHome()));
        QVERIFY(EnsureFolder(s.DataPath));
        QVERIFY(EnsureFolder(s.TempPath));
        QVERIFY(QFileInfo(s.TempPath).isDir());
        QVERIFY(EnsureFolder(s.TempPath)); // already there
        QVERIFY(messages.Messages.isEmpty());
    }

    void ensureFolderFailsWithTheFixedText_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("a file where the parent should be") << "blocker/Varnex Configurator/";
        QTest::newRow("a file where the folder should be") << "blocker/";
        QTest::newRow("below a file, deeper") << "blocker/a/b/c/";
        QTest::newRow("empty name") << "";
    }

    void ensureFolderFailsWithTheFixedText()
    {
        QFETCH(QString, relative);
        TTempHome home;
        TRecordingMessageService messages;
        // Running as root ignores permissions, so a regular file blocks the way.
        WriteFile(home.Path() + QStringLiteral("/blocker"), "not a folder");
        const QString folder = relative.isEmpty() ? QString() : home.Path() + u'/' + relative;
        QVERIFY(!EnsureFolder(folder));
        QCOMPARE(messages.Messages.size(), 1);
        QCOMPARE(messages.Messages[0].Kind, QStringLiteral("error"));
        QCOMPARE(messages.Messages[0].Text,
                 QStringLiteral("Internal error. Try to uninstall and install again the software."));
    }

    void readSettingTrimsAndDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value") << QByteArray("[Setup]\nK=  v  \n") << "v";
        QTest::newRow("blank") << QByteArray("[Setup]\nK=   \n") << "def";
        QTest::newRow("empty") << QByteArray("[Setup]\nK=\n") << "def";
        QTest::newRow("quoted blanks") << QByteArray("[Setup]\nK=\"  \"\n") << "def";
        QTest::newRow("quoted padded") << QByteArray("[Setup]\nK=\" v \"\n") << "v";
        QTest::newRow("missing") << QByteArray("[Setup]\n") << "def";
    }

    void readSettingTrimsAndDefaults()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TPreparedHome p;
        WriteFile(SetupData.IniFileName, content);
        QCOMPARE(ReadSetting(SetupData.IniFileName, "Setup", "K", "def"), expected);
    }

    void checkUpdates_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("expected");
        QTest::newRow("0 is off") << QByteArray("[Setup]\nCheckUpdates=0\n") << false;
        QTest::newRow("1 is on") << QByteArray("[Setup]\nCheckUpdates=1\n") << true;
        QTest::newRow("2 is on") << QByteArray("[Setup]\nCheckUpdates=2\n") << true;
        QTest::newRow("-1 is on") << QByteArray("[Setup]\nCheckUpdates=-1\n") << true;
        QTest::newRow("yes is not a number: on") << QByteArray("[Setup]\nCheckUpdates=yes\n") << true;
        QTest::newRow("0x10 is on") << QByteArray("[Setup]\nCheckUpdates=0x10\n") << true;
        QTest::newRow("0x0 is off") << QByteArray("[Setup]\nCheckUpdates=0x0\n") << false;
        QTest::newRow("blanks around 0: off") << QByteArray("[Setup]\nCheckUpdates=  0  \n") << false;
        QTest::newRow("quoted 0: off") << QByteArray("[Setup]\nCheckUpdates=\"0\"\n") << false;
        QTest::newRow("00 is off") << QByteArray("[Setup]\nCheckUpdates=00\n") << false;
        QTest::newRow("0.0 is not a number: on") << QByteArray("[Setup]\nCheckUpdates=0.0\n") << true;
        QTest::newRow("0x alone: on") << QByteArray("[Setup]\nCheckUpdates=0x\n") << true;
        QTest::newRow("too big for 32 bits: on") << QByteArray("[Setup]\nCheckUpdates=99999999999\n") << true;
        QTest::newRow("empty: on") << QByteArray("[Setup]\nCheckUpdates=\n") << true;
        QTest::newRow("other case of the key") << QByteArray("[SETUP]\ncheckupdates=0\n") << false;
    }

    void checkUpdates()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, expected);
        TPreparedHome p;
        WriteFile(SetupData.IniFileName, content);
        QCOMPARE(ReadCheckUpdates(), expected);
        QCOMPARE(ReadFile(SetupData.IniFileName), content); // a present key is never rewritten
    }

    void missingCheckUpdatesIsWrittenAsOne()
    {
        TPreparedHome p;
        WriteFile(SetupData.IniFileName, "[Setup]\nLanguageFile=English.lng\n");
        QVERIFY(ReadCheckUpdates());
        QCOMPARE(ReadFile(SetupData.IniFileName), QByteArray("[Setup]\nLanguageFile=English.lng\nCheckUpdates=1\n"));

        QVERIFY(WriteCheckUpdates(false));
        QVERIFY(!ReadCheckUpdates());
        QVERIFY(WriteCheckUpdates(true));
        QCOMPARE(IniReadString(SetupData.IniFileName, "Setup", "CheckUpdates", QString()), QStringLiteral("1"));
    }

    void missingSettingsFileIsCreated()
    {
        TPreparedHome p;
        QVERIFY(ReadCheckUpdates());
        QCOMPARE(ReadFile(SetupData.IniFileName), QByteArray("[Setup]\nCheckUpdates=1\n"));
    }

    void writesFailSilentlyWithoutTheDataFolder()
    {
        TTempHome home;
        TRecordingMessageService messages;
        SetupData = TSetupData();
        ComputePaths(SetupData);
        SetupData.ProgramPath = QStringLiteral("/opt/varnex/");
        // The very first start: no data folder yet.
        RecordProgramPath();
        QVERIFY(!WriteSetting("Setup", "K", "v"));
        QVERIFY(!WriteLanguageFile(QStringLiteral("English.lng")));
        QVERIFY(ReadCheckUpdates());
        QVERIFY(!QFileInfo::exists(SetupData.DataPath));
        QVERIFY(messages.Messages.isEmpty());
        // The second start stores the program folder.
        QVERIFY(EnsureFolder(SetupData.DataPath));
        RecordProgramPath();
        QCOMPARE(IniReadString(SetupData.IniFileName, "Setup", "ProgramPath", QString()),
                 QStringLiteral("/opt/varnex/"));
        SetupData = TSetupData();
    }

    void programPathIsRecordedWhenItDiffers_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("missing") << QByteArray("[Setup]\nCheckUpdates=1\n") << true;
        QTest::newRow("same") << QByteArray("[Setup]\nProgramPath=/opt/varnex/\n") << false;
        QTest::newRow("same with blanks") << QByteArray("[Setup]\nProgramPath=  /opt/varnex/ \n") << false;
        QTest::newRow("other case") << QByteArray("[Setup]\nProgramPath=/opt/Varnex/\n") << true;
        QTest::newRow("other folder") << QByteArray("[Setup]\nProgramPath=/usr/local/varnex/\n") << true;
    }

    void programPathIsRecordedWhenItDiffers()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, rewritten);
        TPreparedHome p;
        SetupData.ProgramPath = QStringLiteral("/opt/varnex/");
        WriteFile(SetupData.IniFileName, content);
        RecordProgramPath();
        QCOMPARE(ReadFile(SetupData.IniFileName) != content, rewritten);
        QCOMPARE(IniReadString(SetupData.IniFileName, "Setup", "ProgramPath", QString()).trimmed(),
                 QStringLiteral("/opt/varnex/"));
    }

    void vendorName_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << QByteArray("[Setup]\n") << "Quenvar";
        QTest::newRow("blank") << QByteArray("[Setup]\nVendorName=   \n") << "Quenvar";
        QTest::newRow("other") << QByteArray("[Setup]\nVendorName= Other \n") << "Other";
        QTest::newRow("other section") << QByteArray("[Main]\nVendorName=Other\n") << "Quenvar";
    }

    void vendorName()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TPreparedHome p;
        WriteFile(SetupData.IniFileName, content);
        ReadVendorName();
        QCOMPARE(SetupData.VendorName, expected);
    }

    void homeMarket_data()
    {
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<int>("languageId");
        QTest::addColumn<bool>("expected");
        QTest::newRow("Quenvar, Italian") << "Quenvar" << 1040 << true;
        QTest::newRow("other case") << "quenvar" << 1040 << false;
        QTest::newRow("English") << "Quenvar" << 1033 << false;
        QTest::newRow("no language") << "Quenvar" << -1 << false;
        QTest::newRow("other vendor") << "Other" << 1040 << false;
    }

    void homeMarket()
    {
        QFETCH(QString, vendor);
        QFETCH(int, languageId);
        QFETCH(bool, expected);
        TSetupData s;
        s.VendorName = vendor;
        s.LanguageID = languageId;
        QCOMPARE(IsHomeMarket(s), expected);
        SetupData = s;
        QCOMPARE(IsHomeMarket(), expected);
        SetupData = TSetupData();
    }

    void trailingSeparator_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("added") << "/a/b" << "/a/b/";
        QTest::newRow("kept") << "/a/b/" << "/a/b/";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("empty stays empty") << "" << "";
    }

    void trailingSeparator()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(IncludeTrailingBackslash(in), out);
    }

    void folderFilesListAndDeletion()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QStringList names{QStringLiteral("stale")};
        QVERIFY(!ListFolderFiles(folder, names));
        QVERIFY(names.isEmpty());

        WriteFile(folder + QStringLiteral("update.txt"), "x");
        WriteFile(folder + QStringLiteral(".hidden"), "x");
        WriteFile(folder + QStringLiteral("with space.z"), "x");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("sub/deeper")));
        WriteFile(folder + QStringLiteral("sub/inner.txt"), "x");
        WriteFile(folder + QStringLiteral("readonly.txt"), "x");
        QVERIFY(QFile::setPermissions(folder + QStringLiteral("readonly.txt"), QFileDevice::ReadOwner));

        QVERIFY(ListFolderFiles(folder, names));
        names.sort();
        QCOMPARE(names, (QStringList{".hidden", "readonly.txt", "update.txt", "with space.z"}));

        DeleteFolderFiles(folder);
        QVERIFY(ListFolderFiles(folder, names));
        QCOMPARE(names, QStringList{QStringLiteral("readonly.txt")}); // read-only files stay
        QVERIFY(QFileInfo(folder + QStringLiteral("sub/deeper")).isDir());
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("sub/inner.txt")));

        QVERIFY(!ListFolderFiles(folder + QStringLiteral("missing/"), names));
        DeleteFolderFiles(folder + QStringLiteral("missing/")); // nothing to do, no crash
        DeleteFolderFiles(QString());
    }

    void fileVersion()
    {
        const QString program = QCoreApplication::applicationFilePath();
        QCOMPARE(FileVersionText(program, false),
                 QStringLiteral("%1.%2").arg(VX_VERSION_MAJOR).arg(VX_VERSION_MINOR));
        QCOMPARE(FileVersionText(program, true), QStringLiteral("%1.%2.%3.%4")
                                                     .arg(VX_VERSION_MAJOR)
                                                     .arg(VX_VERSION_MINOR)
                                                     .arg(VX_VERSION_RELEASE)
                                                     .arg(VX_VERSION_BUILD));
        QCOMPARE(FileVersionText(program, true).count(u'.'), 3);
        QCOMPARE(FileVersionText(QString(), false), QString());
        QCOMPARE(FileVersionText(QStringLiteral("/no/such/program"), true), QString());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
