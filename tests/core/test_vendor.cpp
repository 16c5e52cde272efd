// Loading the vendor library from the program folder and reading its texts
// and pictures; broken or missing libraries must never bring the program down.

#include "Settings.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A program folder of the test's own and a private home without settings.
struct TVendorSetup {
    TTempHome Home;
    QTemporaryDir Program;
    TVendorSetup()
    {
        UnloadVendorLibrary();
        SetupData = TSetupData();
        SetupData.ProgramPath = Program.path() + u'/';
        ComputePaths(SetupData);
        QDir().mkpath(SetupData.DataPath);
    }
    ~TVendorSetup()
    {
        UnloadVendorLibrary();
        SetupData = TSetupData();
    }
    QString File(const QString &name) const { return SetupData.ProgramPath + name; }
    void Settings(const QByteArray &content) const
    {
        QFile f(SetupData.IniFileName);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }
};

QString SystemLibraryWithoutGetData()
{
    for (const char *name : {"/lib/x86_64-linux-gnu/libz.so.1", "/usr/lib/x86_64-linux-gnu/libz.so.1",
                             "/lib/aarch64-linux-gnu/libz.so.1", "/usr/lib/libz.so.1"}) {
        if (QFileInfo::exists(QString::fromLatin1(name)))
            return QString::fromLatin1(name);
    }
    return QString();
}

void ExpectNothingFound()
{
    QString text = QStringLiteral("stale");
    QVERIFY(!GetVendorText(101, text));
    QCOMPARE(text, QString());
    QCOMPARE(VendorText(101), QString());
    QCOMPARE(VendorInt(50, -7), -7);
    QByteArray bytes("stale");
    QVERIFY(!LoadVendorBitmapData(QStringLiteral("WelcomeImage"), bytes));
    QVERIFY(bytes.isEmpty());
}

} // namespace

class TestVendor : public QObject {
    Q_OBJECT

private slots:
    void missingLibrary()
    {
        TVendorSetup t;
        QVERIFY(!LoadVendorLibrary());
        QCOMPARE(SetupData.VendorName, QStringLiteral("Quenvar"));
        QVERIFY(!VendorLibraryLoaded());
        ExpectNothingFound();
        QVERIFY(!LoadVendorLibraryFile(QString()));
        QVERIFY(!LoadVendorLibraryFile(t.Program.path())); // a folder
    }

    void fileThatIsNoLibrary_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("This is not a library.\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated ELF header") << QByteArray("\x7f" "ELF\x02\x01\x01", 7);
    }

    void fileThatIsNoLibrary()
    {
        QFETCH(QByteArray, content);
        TVendorSetup t;
        QFile f(t.File(QStringLiteral("Quenvar.so")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QVERIFY(!LoadVendorLibrary());
        QVERIFY(!VendorLibraryLoaded());
        ExpectNothingFound();
    }

    void libraryWithoutGetData()
    {
        const QString system = SystemLibraryWithoutGetData();
        if (system.isEmpty())
            QSKIP("no system zlib to stand in for a foreign library");
        TVendorSetup t;
        QVERIFY(QFile::copy(system, t.File(QStringLiteral("Quenvar.so"))));
        QVERIFY(LoadVendorLibrary()); // it loads, but answers nothing
        QVERIFY(VendorLibraryLoaded());
        ExpectNothingFound();
        UnloadVendorLibrary();
        QVERIFY(!VendorLibraryLoaded());
    }

    void vendorNameChoosesTheFile()
    {
        const QString real = BuiltProgramPath() + QStringLiteral("Quenvar.so");
        if (!QFileInfo::exists(real))
            QSKIP("the vendor library is not built");
        TVendorSetup t;
        QVERIFY(QFile::copy(real, t.File(QStringLiteral("Other.so"))));
        t.Settings("[Setup]\nVendorName=Other\n");
        QVERIFY(LoadVendorLibrary());
        QCOMPARE(SetupData.VendorName, QStringLiteral("Other"));

        // Blank names fall back to the default, which is not there.
        t.Settings("[Setup]\nVendorName=   \n");
        QVERIFY(!LoadVendorLibrary());
        QVERIFY(!VendorLibraryLoaded());
    }

    void vendorNameNeverLeavesTheProgramFolder_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("parent folder") << QByteArray("../lib/Quenvar");
        QTest::newRow("absolute") << QByteArray("/tmp/Quenvar");
        QTest::newRow("backslash") << QByteArray("..\\Quenvar");
        QTest::newRow("dot dot") << QByteArray("..");
    }

    void vendorNameNeverLeavesTheProgramFolder()
    {
        QFETCH(QByteArray, name);
        const QString real = BuiltProgramPath() + QStringLiteral("Quenvar.so");
        if (!QFileInfo::exists(real))
            QSKIP("the vendor library is not built");
        TVendorSetup t;
        // A library that would be found if the name were followed out of the folder.
        QDir(t.Program.path()).mkpath(QStringLiteral("lib"));
        QVERIFY(QFile::copy(real, t.Program.path() + QStringLiteral("/lib/Quenvar.so")));
        QDir(t.Program.path()).mkpath(QStringLiteral("inner"));
        SetupData.ProgramPath = t.Program.path() + QStringLiteral("/inner/");
        t.Settings("[Setup]\nVendorName=" + name + "\n");
        QVERIFY(!LoadVendorLibrary());
        QVERIFY(!VendorLibraryLoaded());
    }

    void realLibraryAnswers()
    {
        TTempHome home;
        UnloadVendorLibrary();
        SetupData = TSetupData();
        SetupData.ProgramPath = BuiltProgramPath();
        ComputePaths(SetupData);
        QVERIFY2(LoadVendorLibrary(), "the vendor library of the program folder must load");
        QVERIFY(VendorLibraryLoaded());

        QString text = QStringLiteral("stale");
        QVERIFY(!GetVendorText(-123456, text));
        QCOMPARE(text, QString());
        QVERIFY(!GetVendorText(987654321, text));
        QCOMPARE(VendorInt(987654321, 42), 42);

        if (!GetVendorText(101, text))
            QSKIP("the vendor library does not answer the product name yet");
        QVERIFY(!text.isEmpty());
        QCOMPARE(text, text.trimmed());
        QCOMPARE(VendorText(101), text);
        QCOMPARE(VendorInt(101, -9), -9); // a name is no number

        QByteArray bytes;
        if (LoadVendorBitmapData(QStringLiteral("WelcomeImage"), bytes)) {
            QVERIFY(bytes.startsWith("\x89PNG") || bytes.startsWith("BM"));
        }
        QVERIFY(!LoadVendorBitmapData(QStringLiteral("NoSuchPicture"), bytes));
        QVERIFY(bytes.isEmpty());
        QVERIFY(!LoadVendorBitmapData(QString(), bytes));

        // Loading again replaces the library; unloading ends every answer.
        QVERIFY(LoadVendorLibrary());
        QVERIFY(GetVendorText(101, text));
        UnloadVendorLibrary();
        QVERIFY(!GetVendorText(101, text));
        QVERIFY(text.isEmpty());
        UnloadVendorLibrary(); // twice is harmless
        SetupData = TSetupData();
    }
};

QTEST_GUILESS_MAIN(TestVendor)
#include "test_vendor.moc"
