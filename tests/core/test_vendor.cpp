// Loading the vendor library from the program folder and reading its texts
// and pictures; broken or missing libraries must never bring the program down.

#include "Settings.h"
#include "Startup.h"
#include "TestSupport.h"
#include "Vendor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <elf.h>

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
        QTest::newRow("ELF header only") << QByteArray("\x7f" "ELF\x02\x01\x01").leftJustified(64, '\0');
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
        // Any other library loads, but it is no vendor's: nothing is taken from it.
        const QString system = SystemLibraryWithoutGetData();
        if (system.isEmpty())
            QSKIP("no system zlib to stand in for a foreign library");
        TVendorSetup t;
        QVERIFY(QFile::copy(system, t.File(QStringLiteral("Quenvar.so"))));
        QString reason;
        QVERIFY2(CheckSharedObjectFile(t.File(QStringLiteral("Quenvar.so")), reason), qPrintable(reason));
        QVERIFY(!LoadVendorLibrary());
        QVERIFY(VendorLibraryError().contains(QStringLiteral("GetData")));
        QVERIFY(!VendorLibraryLoaded());
        ExpectNothingFound();
    }

    // Only a whole shared object for this machine is handed to the loader: one
    // cut short would be mapped past its end and kill the program.
    void damagedLibraries_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("whole") << "none" << "";
        QTest::newRow("cut to 20,000 bytes") << "cut 20000" << "cut short";
        QTest::newRow("cut after the header") << "cut 64" << "cut short";
        QTest::newRow("cut inside the header") << "cut 40" << "not an ELF file";
        QTest::newRow("cut by one byte") << "cut -1" << "cut short";
        QTest::newRow("cut before the section headers") << "cut sections" << "cut short";
        QTest::newRow("a segment beyond the end") << "segment beyond" << "cut short";
        QTest::newRow("section headers beyond the end") << "sections beyond" << "cut short";
        QTest::newRow("32-bit") << "class 32" << "another kind of machine";
        QTest::newRow("big endian") << "big endian" << "another kind of machine";
        QTest::newRow("another machine") << "machine" << "another kind of machine";
        QTest::newRow("a program, not a library") << "executable" << "not a shared library";
        QTest::newRow("no ELF magic") << "magic" << "not an ELF file";
        QTest::newRow("a text") << "text" << "not an ELF file";
        QTest::newRow("empty") << "empty" << "not an ELF file";
    }

    void damagedLibraries()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        const QString real = BuiltProgramPath() + QStringLiteral("Quenvar.so");
        QVERIFY(QFileInfo::exists(real));
        QByteArray bytes = ReadFileBytes(real);
        const Elf64_Ehdr header = *reinterpret_cast<const Elf64_Ehdr *>(bytes.constData());
        QVERIFY(header.e_shoff > 0 && header.e_shoff < quint64(bytes.size()));
        const QStringList words = damage.split(u' ');
        if (words[0] == "cut") {
            const int at = words[1] == "sections" ? int(header.e_shoff) : words[1].toInt();
            bytes.truncate(at < 0 ? bytes.size() + at : at);
        } else if (damage == "segment beyond") {
            // The last segment with content starts so late that half of it is missing.
            auto *segments = reinterpret_cast<Elf64_Phdr *>(bytes.data() + header.e_phoff);
            for (int i = header.e_phnum - 1; i >= 0; --i)
                if (segments[i].p_filesz > 1) {
                    segments[i].p_offset = quint64(bytes.size()) - segments[i].p_filesz / 2;
                    break;
                }
        } else if (damage == "sections beyond") {
            reinterpret_cast<Elf64_Ehdr *>(bytes.data())->e_shoff = quint64(bytes.size());
        } else if (damage == "class 32") {
            bytes[EI_CLASS] = char(ELFCLASS32);
        } else if (damage == "big endian") {
            bytes[EI_DATA] = char(ELFDATA2MSB);
        } else if (damage == "machine") {
            reinterpret_cast<Elf64_Ehdr *>(bytes.data())->e_machine = header.e_machine == EM_AARCH64 ? EM_X86_64 : EM_AARCH64;
        } else if (damage == "executable") {
            reinterpret_cast<Elf64_Ehdr *>(bytes.data())->e_type = ET_EXEC;
        } else if (damage == "magic") {
            bytes[1] = 'X';
        } else if (damage == "text") {
            bytes = "This is not a library.\n";
        } else if (damage == "empty") {
            bytes.clear();
        }
        TVendorSetup t;
        const QString file = t.File(QStringLiteral("Quenvar.so"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), bytes.size());
        out.close();

        QString why;
        QCOMPARE(CheckSharedObjectFile(file, why), reason.isEmpty());
        QVERIFY2(why.contains(reason), qPrintable(why));
        QCOMPARE(LoadVendorLibrary(), reason.isEmpty());
        QCOMPARE(VendorLibraryLoaded(), reason.isEmpty());
        if (reason.isEmpty()) {
            QVERIFY(!VendorText(101).isEmpty());
        } else {
            QVERIFY2(VendorLibraryError().contains(reason), qPrintable(VendorLibraryError()));
            ExpectNothingFound();
        }
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
