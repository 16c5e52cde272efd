// Files as a desktop user expects them: the recent list keeps eight names,
// most recent first, through the settings file; each kind of file keeps its
// folder; the suggested name is a safe file name made of reference and
// customer; documents saved again after a change get the next revision.

#include <QtTest>

#include "DesktopFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace {

QStringList Names(const QString &folder, std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list << folder + u'/' + QLatin1String(name);
    return list;
}

QJsonObject Json(const char *text) { return QJsonDocument::fromJson(text).object(); }

} // namespace

class TestDesktopFiles : public QObject {
    Q_OBJECT

private slots:
    void recentList_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QStringList>("after");
        const QString f = QStringLiteral("/offers");
        QTest::newRow("first") << QStringList() << f + "/a.vxcfg" << Names(f, {"a.vxcfg"});
        QTest::newRow("newest first") << Names(f, {"a.vxcfg", "b.vxcfg"}) << f + "/c.vxcfg"
                                      << Names(f, {"c.vxcfg", "a.vxcfg", "b.vxcfg"});
        QTest::newRow("again moves to the head")
            << Names(f, {"a.vxcfg", "b.vxcfg", "c.vxcfg"}) << f + "/x/../c.vxcfg"
            << Names(f, {"c.vxcfg", "a.vxcfg", "b.vxcfg"});
        QTest::newRow("ninth drops the oldest")
            << Names(f, {"1", "2", "3", "4", "5", "6", "7", "8"}) << f + "/9"
            << Names(f, {"9", "1", "2", "3", "4", "5", "6", "7"});
        QTest::newRow("nothing added") << Names(f, {"a"}) << QString() << Names(f, {"a"});
    }

    void recentList()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, added);
        QFETCH(QStringList, after);
        QCOMPARE(AddRecentFile(before, added), after);
    }

    // Through the settings file: the order, the eight, names with blanks at their
    // ends and names a line cannot hold; missing files are left out where shown.
    void recentListKeptInSettings()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("VarnexCfg.ini");
        QStringList list = Names(dir.path(), {" blank at start.vxcfg", "b.vxcfg", "c.vxcfg", "blank at end "});
        list.insert(1, dir.path() + "/line\nbreak.vxcfg");
        QVERIFY(WriteRecentFiles(ini, list));
        const QStringList kept = Names(dir.path(), {" blank at start.vxcfg", "b.vxcfg", "c.vxcfg", "blank at end "});
        QCOMPARE(ReadRecentFiles(ini), kept);
        QFile(kept[1]).open(QIODevice::WriteOnly);
        QCOMPARE(ExistingRecentFiles(ReadRecentFiles(ini)), QStringList{kept[1]});
        QVERIFY(WriteRecentFiles(ini, RemoveRecentFile(kept, kept[0])));
        QCOMPARE(ReadRecentFiles(ini), kept.mid(1));
        QVERIFY(WriteRecentFiles(ini, {}));
        QVERIFY(ReadRecentFiles(ini).isEmpty());
        QVERIFY(!WriteRecentFiles(dir.filePath("no/such/folder/VarnexCfg.ini"), kept));
    }

    void lastFolderPerKind()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("VarnexCfg.ini");
        QVERIFY(QDir(dir.path()).mkpath("pdf folder "));
        QVERIFY(QDir(dir.path()).mkpath("pictures"));
        QVERIFY(ReadLastFolder(ini, TFileKind::Document).isEmpty());
        QVERIFY(WriteLastFolder(ini, TFileKind::Document, dir.filePath("pdf folder /offer.pdf")));
        QVERIFY(WriteLastFolder(ini, TFileKind::Picture, dir.filePath("pictures/layout.bmp")));
        QCOMPARE(ReadLastFolder(ini, TFileKind::Document), dir.filePath("pdf folder "));
        QCOMPARE(ReadLastFolder(ini, TFileKind::Picture), dir.filePath("pictures"));
        QVERIFY(ReadLastFolder(ini, TFileKind::Configuration).isEmpty());
        QVERIFY(ReadLastFolder(ini, TFileKind::BillOfMaterials).isEmpty());
        // A folder since removed is none.
        QVERIFY(QDir(dir.filePath("pictures")).removeRecursively());
        QVERIFY(ReadLastFolder(ini, TFileKind::Picture).isEmpty());

        QCOMPARE(StartFileName(QString(), QString()), QString());
        QCOMPARE(StartFileName("/home/u/offers", QString()), QStringLiteral("/home/u/offers/"));
        QCOMPARE(StartFileName(QString(), "Q-1 ACME"), QStringLiteral("Q-1 ACME"));
        QCOMPARE(StartFileName("/home/u/offers/", "Q-1 ACME"), QStringLiteral("/home/u/offers/Q-1 ACME"));
    }

    void suggestedFileName_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both") << "Q-2024-0007" << "ACME Stadtwerke" << "Q-2024-0007 ACME Stadtwerke";
        QTest::newRow("reference only") << "Q-2024-0007-R2" << "" << "Q-2024-0007-R2";
        QTest::newRow("customer only") << "" << "Müller & Söhne GmbH" << "Müller & Söhne GmbH";
        QTest::newRow("none: as before") << "" << "" << "";
        QTest::newRow("slashes and controls") << "Q/2024\\7" << "A\tB\nC\x01 D:E*F?\"<>|" << "Q 2024 7 A B C D E F";
        QTest::newRow("trimmed, no dots at the ends") << "  ..Q-1.  " << "  ACME.  " << "Q-1 ACME";
        QTest::newRow("dots would be an extension") << "Q-2024.7" << "ACME Ltd. Co" << "Q-2024 7 ACME Ltd Co";
        QTest::newRow("nothing usable") << "///" << "..." << "";
        QTest::newRow("capped") << "Q-1" << QString(200, u'x') << "Q-1 " + QString(76, u'x');
        QTest::newRow("cap keeps whole characters")
            << "" << QString(79, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80") << QString(79, u'a');
    }

    void suggestedFileName()
    {
        QFETCH(QString, reference);
        QFETCH(QString, customer);
        QFETCH(QString, expected);
        TOfferDetails offer;
        offer.Reference = reference;
        offer.Customer = customer;
        QCOMPARE(SuggestedFileName(offer), expected);
        QVERIFY(SuggestedFileName(offer).size() <= kMaxSuggestedNameLength);
    }

    // The revision rule: unchanged configuration, same reference; changed since the
    // last documents of the reference (or of another of its revisions), the next one.
    void documentsReference_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("fingerprint");
        QTest::addColumn<QString>("lastReference");
        QTest::addColumn<QString>("lastFingerprint");
        QTest::addColumn<QString>("expected");
        QTest::newRow("never saved") << "Q-2024-0007" << "A" << "" << "" << "Q-2024-0007";
        QTest::newRow("saved, unchanged") << "Q-2024-0007" << "A" << "Q-2024-0007" << "A" << "Q-2024-0007";
        QTest::newRow("saved, changed") << "Q-2024-0007" << "B" << "Q-2024-0007" << "A" << "Q-2024-0007-R1";
        QTest::newRow("revision saved, changed again")
            << "Q-2024-0007-R1" << "C" << "Q-2024-0007-R1" << "B" << "Q-2024-0007-R2";
        QTest::newRow("older file after a newer revision")
            << "Q-2024-0007" << "A" << "Q-2024-0007-R3" << "D" << "Q-2024-0007-R4";
        QTest::newRow("typed revision above the saved")
            << "Q-2024-0007-R5" << "B" << "Q-2024-0007-R1" << "A" << "Q-2024-0007-R6";
        QTest::newRow("other reference") << "Q-2024-0008" << "B" << "Q-2024-0007" << "A" << "Q-2024-0008";
        QTest::newRow("no reference") << "" << "B" << "" << "A" << "";
    }

    void documentsReference()
    {
        QFETCH(QString, reference);
        QFETCH(QString, fingerprint);
        QFETCH(QString, lastReference);
        QFETCH(QString, lastFingerprint);
        QFETCH(QString, expected);
        QCOMPARE(DocumentsReference(reference, fingerprint, {lastReference, lastFingerprint}), expected);
    }

    void fingerprintLeavesTheReferenceOut()
    {
        const QString a = ConfigurationFingerprint(Json(R"({"loadPower":"10000","offer":{"reference":"Q-1"}})"));
        QCOMPARE(ConfigurationFingerprint(Json(R"({"offer":{"reference":"Q-1-R1"},"loadPower":"10000"})")), a);
        QCOMPARE(ConfigurationFingerprint(Json(R"({"loadPower":"10000"})")), a);
        QVERIFY(ConfigurationFingerprint(Json(R"({"loadPower":"12000","offer":{"reference":"Q-1"}})")) != a);
        QVERIFY(ConfigurationFingerprint(
                    Json(R"({"loadPower":"10000","offer":{"reference":"Q-1","discountPercent":5}})")) != a);
    }

    void savedDocumentsKeptPerBaseReference()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("VarnexCfg.ini");
        QVERIFY(ReadSavedDocuments(ini, "Q-1").IsEmpty());
        QVERIFY(WriteSavedDocuments(ini, {"Q=1|x-R1", "abc"}));
        const TSavedDocuments read = ReadSavedDocuments(ini, "Q=1|x-R3");
        QCOMPARE(read.Reference, QStringLiteral("Q=1|x-R1"));
        QCOMPARE(read.Fingerprint, QStringLiteral("abc"));
        QVERIFY(ReadSavedDocuments(ini, "Q=1|y").IsEmpty());
        QVERIFY(!WriteSavedDocuments(ini, {"line\nbreak", "abc"}));
        QVERIFY(!WriteSavedDocuments(ini, {}));
    }
};

QTEST_GUILESS_MAIN(TestDesktopFiles)
#include "test_desktop_files.moc"
