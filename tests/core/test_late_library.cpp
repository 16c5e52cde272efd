// Libraries opened when first needed: a missing library or function is told
// with a reason, never a crash, and a table is bound once.

#include "LateLibrary.h"

#include <QtTest>
#include <zlib.h>

namespace {

struct TZlib {
    decltype(&zlibVersion) Version = nullptr;
    decltype(&crc32) Crc32 = nullptr;
    bool Ok = false;
    QString Error;
    static inline int Binds = 0;

    bool Bind(TLateLibrary &library)
    {
        ++Binds;
        return library.Bind(Version, "zlibVersion") && library.Bind(Crc32, "crc32");
    }
};

struct TMissing {
    decltype(&zlibVersion) Version = nullptr;
    bool Ok = false;
    QString Error;
    bool Bind(TLateLibrary &library) { return library.Bind(Version, "zlibVersion"); }
};

} // namespace

class TestLateLibrary : public QObject {
    Q_OBJECT

private slots:
    void boundOnceAndCallable()
    {
        const TZlib &first = LateFunctions<TZlib>("libz.so.1");
        const TZlib &again = LateFunctions<TZlib>("libz.so.1");
        QVERIFY2(first.Ok, qPrintable(first.Error));
        QCOMPARE(&first, &again);
        QCOMPARE(TZlib::Binds, 1);
        QCOMPARE(QByteArray(first.Version()), QByteArray(zlibVersion()));
        QCOMPARE(first.Crc32(0, reinterpret_cast<const Bytef *>("abc"), 3), 0x352441c2UL);
    }

    void missingLibraryAndFunctionAreReported()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("libvarnex-missing.so.7 cannot be used: .+"));
        const TMissing &missing = LateFunctions<TMissing>("libvarnex-missing.so.7");
        QVERIFY(!missing.Ok);
        QVERIFY(missing.Version == nullptr);
        QVERIFY(!missing.Error.isEmpty());

        TLateLibrary zlib("libz.so.1");
        void (*absent)() = nullptr;
        QVERIFY(!zlib.Bind(absent, "varnex_no_such_function"));
        QVERIFY(zlib.Error().contains("varnex_no_such_function"));
    }
};

QTEST_GUILESS_MAIN(TestLateLibrary)
#include "test_late_library.moc"
