// The window-less start-up: which steps run, what it finds and which messages
// it hands back, for a fresh home and for each way the start can go wrong.

#include "Lang.h"
#include "PriceList.h"
#include "Settings.h"
#include "Startup.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kNoLanguage = QStringLiteral("No language files founded. Impossible to continue.");
const QString kFolderError = QStringLiteral("Internal error. Try to uninstall and install again the software.");

/// A program folder of links to the built program file, and to its English
/// language file and vendor library when asked for.
class TProgramFolder {
public:
    TProgramFolder(bool withLanguage, bool withVendor)
    {
        const QString built = BuiltProgramPath();
        QFile::link(built + QStringLiteral("VarnexCfg"), Path() + QStringLiteral("VarnexCfg"));
        if (withLanguage)
            QFile::link(built + QStringLiteral("English.lng"), Path() + QStringLiteral("English.lng"));
        if (withVendor)
            QFile::link(built + QStringLiteral("Quenvar.so"), Path() + QStringLiteral("Quenvar.so"));
    }
    QString Path() const { return m_dir.path() + QLatin1Char('/'); }

private:
    QTemporaryDir m_dir;
};

void WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
}

QString DllNotFound()
{
    return ReadSetting(BuiltProgramPath() + QStringLiteral("English.lng"), QStringLiteral("Messages"),
                       QStringLiteral("ErrorDllNotFound"), QString());
}

} // namespace

Q_DECLARE_METATYPE(TStartupResult)

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void findsAndReports_data();
    void findsAndReports();
    void emptiesTemporaryFolderAndReadsSettings();
};

void TestStartup::cleanup()
{
    ClosePriceListDatabase();
    UnloadVendorLibrary();
    SetupData = TSetupData();
}

void TestStartup::findsAndReports_data()
{
    QTest::addColumn<bool>("language");
    QTest::addColumn<bool>("vendor");
    QTest::addColumn<QString>("home");      // "fresh", "file" (no folder can be made), "sample" or "damaged" price list
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("window");       // the window's start, else the headless one
    QTest::addColumn<TStartupResult>("result");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<bool>("libraryLoaded");
    QTest::addColumn<bool>("prices");
    QTest::addColumn<bool>("debug");

    const QStringList none;
    const QStringList debug{QStringLiteral("/Debug")};
    using R = TStartupResult;
    QTest::newRow("fresh home") << true << true << "fresh" << none << true << R::Running << none << true << false
                                << false;
    QTest::newRow("/DEBUG") << true << true << "fresh" << debug << true << R::Running << none << true << false
                            << true;
    QTest::newRow("sample price list") << true << true << "sample" << none << true << R::Running << none << true
                                       << true << false;
    // The warning about it comes at the first idle moment, not from the start-up.
    QTest::newRow("damaged price list") << true << true << "damaged" << none << true << R::Running << none << true
                                        << false << false;
    QTest::newRow("no language file: the later steps still run")
        << false << true << "fresh" << none << true << R::EndOnLoopStart << QStringList{kNoLanguage} << true
        << false << false;
    QTest::newRow("no language file, headless: nothing later")
        << false << true << "fresh" << none << false << R::EndOnLoopStart << QStringList{kNoLanguage} << false
        << false << false;
    QTest::newRow("no vendor library") << true << false << "fresh" << none << true << R::EndOnLoopStart
                                       << QStringList{DllNotFound()} << false << false << false;
    QTest::newRow("neither: the library's message has no language")
        << false << false << "fresh" << none << true << R::EndOnLoopStart << QStringList{kNoLanguage, QString()}
        << false << false << false;
    QTest::newRow("data folder cannot be made") << true << true << "file" << debug << true << R::EndProcess
                                                << QStringList{kFolderError} << false << false << false;
    QTest::newRow("headless ignores /DEBUG") << true << true << "fresh" << debug << false << R::Running << none
                                             << true << false << false;
}

void TestStartup::findsAndReports()
{
    QFETCH(bool, language);
    QFETCH(bool, vendor);
    QFETCH(QString, home);
    QFETCH(QStringList, arguments);
    QFETCH(bool, window);
    TTempHome tempHome;
    TRecordingMessageService boxes;
    TProgramFolder folder(language, vendor);
    const QString data = tempHome.DataHome() + QStringLiteral("/Varnex Configurator/");
    if (home == QLatin1String("file"))
        WriteFile(tempHome.DataHome(), "not a folder");
    if (home == QLatin1String("sample"))
        WriteFile(data + QStringLiteral("PriceList.tc"), ReadFileBytes(QStringLiteral(VX_BUILD_DIR "PriceList.tc")));
    if (home == QLatin1String("damaged"))
        WriteFile(data + QStringLiteral("PriceList.tc"), "no database at all");

    TStartupInput input;
    input.ProgramFileName = folder.Path() + QStringLiteral("VarnexCfg");
    input.Arguments = arguments;
    input.PrepareDataFolders = window;
    input.StopAtFirstFault = !window;
    const TStartupFindings found = RunStartup(input);

    QTEST(found.Result, "result");
    QTEST(found.Errors, "errors");
    QVERIFY2(boxes.Messages.isEmpty(), "the start-up shows nothing itself");
    QTEST(found.VendorLibraryLoaded, "libraryLoaded");
    QCOMPARE(VendorLibraryLoaded(), found.VendorLibraryLoaded);
    QTEST(found.PriceListLoaded, "prices");
    QCOMPARE(SetupData.ShowPrices, found.PriceListLoaded);
    QCOMPARE(PriceList.NotValid, home == QLatin1String("damaged"));
    QTEST(SetupData.DebugMode, "debug");
    QCOMPARE(SetupData.ProgramPath, folder.Path());
    QCOMPARE(SetupData.Version, QStringLiteral("%1.%2").arg(VX_VERSION_MAJOR).arg(VX_VERSION_MINOR));
    QCOMPARE(found.LanguageFound, !SetupData.LanguageFile.isEmpty());
    if (found.Result == TStartupResult::EndProcess) {
        QVERIFY(SetupData.LanguageFile.isEmpty());
        return;
    }
    QCOMPARE(found.LanguageFound, language);
    // Only the window's start makes the data folders.
    QCOMPARE(QFileInfo(data + QStringLiteral("Temp")).isDir(), window);
    QCOMPARE(SetupData.ProductName.isEmpty(), !found.VendorLibraryLoaded);
    QCOMPARE(found.StandardUpsList.isEmpty(), !found.VendorLibraryLoaded);
}

void TestStartup::emptiesTemporaryFolderAndReadsSettings()
{
    TTempHome home;
    TProgramFolder folder(true, true);
    const QString data = home.DataHome() + QStringLiteral("/Varnex Configurator/");
    WriteFile(data + QStringLiteral("Temp/old.txt"), "old");
    WriteFile(data + QStringLiteral("Temp/Update/kept.z"), "kept");
    WriteFile(data + QStringLiteral("VarnexCfg.ini"), "[Setup]\r\nCheckUpdates=0\r\n");

    TStartupInput input;
    input.ProgramFileName = folder.Path() + QStringLiteral("VarnexCfg");
    const TStartupFindings found = RunStartup(input);
    QCOMPARE(found.Result, TStartupResult::Running);
    QVERIFY(!QFileInfo::exists(data + QStringLiteral("Temp/old.txt")));
    QVERIFY(QFileInfo::exists(data + QStringLiteral("Temp/Update/kept.z")));
    QVERIFY(!SetupData.CheckUpdates);
    QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));
    QCOMPARE(ReadSetting(SetupData.IniFileName, QStringLiteral("Setup"), QStringLiteral("ProgramPath"), QString()),
             folder.Path());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
