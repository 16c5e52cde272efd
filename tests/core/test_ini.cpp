// The INI reader and writer behave as the Windows profile functions do for the
// settings, language and check files.

#include "IniFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

#include <sys/stat.h>

/// The bytes of a string literal, NUL bytes inside it included (not the final one).
template <size_t N> QByteArray LiteralBytes(const char (&text)[N]) { return QByteArray(text, qsizetype(N - 1)); }

class TestIni : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString NewFileName() { return m_dir.filePath(QStringLiteral("file%1.ini").arg(++m_counter)); }

    QString WriteBytes(const QByteArray &bytes)
    {
        const QString name = NewFileName();
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        f.write(bytes);
        return name;
    }

    static QByteArray ReadBytes(const QString &name) { return ReadFileBytes(name); }

private slots:
    void readRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QString def = QStringLiteral("<def>");
        QTest::newRow("plain") << QByteArray("[Setup]\nKey=value\n") << "Setup" << "Key" << "value";
        QTest::newRow("section and key ignore case") << QByteArray("[SeTuP]\nlAnGuAgEfIlE=x.lng\n") << "setup"
                                                     << "LANGUAGEFILE" << "x.lng";
        QTest::newRow("value trimmed") << QByteArray("[S]\nK=   spaced  \t\n") << "S" << "K" << "spaced";
        QTest::newRow("blanks around key and header") << QByteArray("  [ S ]  \n   K   =v\n") << "S" << "K" << "v";
        QTest::newRow("one pair of quotes removed") << QByteArray("[S]\nK=\"  quoted  \"\n") << "S" << "K"
                                                    << "  quoted  ";
        QTest::newRow("only the outer pair") << QByteArray("[S]\nK=\"\"x\"\"\n") << "S" << "K" << "\"x\"";
        QTest::newRow("lone quote kept") << QByteArray("[S]\nK=\"open\n") << "S" << "K" << "\"open";
        QTest::newRow("single quote character") << QByteArray("[S]\nK=\"\n") << "S" << "K" << "\"";
        QTest::newRow("inner quotes kept") << QByteArray("[S]\nK=a \"b\" c\n") << "S" << "K" << "a \"b\" c";
        QTest::newRow("equals sign in value") << QByteArray("[S]\nK=a=b\n") << "S" << "K" << "a=b";
        QTest::newRow("empty value is empty, not default") << QByteArray("[S]\nK=\n") << "S" << "K" << "";
        QTest::newRow("missing key") << QByteArray("[S]\nK=v\n") << "S" << "Other" << def;
        QTest::newRow("missing section") << QByteArray("[S]\nK=v\n") << "T" << "K" << def;
        QTest::newRow("key of the next section not seen") << QByteArray("[S]\n[T]\nK=v\n") << "S" << "K" << def;
        QTest::newRow("duplicate key: first") << QByteArray("[S]\nK=first\nK=second\n") << "S" << "K" << "first";
        QTest::newRow("duplicate key other case: first") << QByteArray("[S]\nk=first\nK=second\n") << "S" << "K"
                                                         << "first";
        QTest::newRow("duplicate section: first only")
            << QByteArray("[S]\nA=1\n[T]\nX=0\n[s]\nB=2\nA=3\n") << "S" << "A" << "1";
        QTest::newRow("duplicate section: second never read")
            << QByteArray("[S]\nA=1\n[T]\nX=0\n[s]\nB=2\n") << "S" << "B" << def;
        QTest::newRow("CRLF") << QByteArray("[S]\r\nK=v\r\nL=w\r\n") << "S" << "K" << "v";
        QTest::newRow("no final newline") << QByteArray("[S]\nK=last") << "S" << "K" << "last";
        QTest::newRow("CRLF, no final newline") << QByteArray("[S]\r\nK=last") << "S" << "K" << "last";
        QTest::newRow("comment line") << QByteArray("[S]\n;K=commented\nK=real\n") << "S" << "K" << "real";
        QTest::newRow("indented comment line") << QByteArray("[S]\n   ;K=commented\n") << "S" << "K" << def;
        QTest::newRow("semicolon inside a value stays") << QByteArray("[S]\nK=a;b\n") << "S" << "K" << "a;b";
        QTest::newRow("line without equals sign") << QByteArray("[S]\nK\n") << "S" << "K" << def;
        QTest::newRow("key before any section") << QByteArray("K=v\n[S]\n") << "S" << "K" << def;
        QTest::newRow("unclosed header is no header")
            << QByteArray("[Setup\nK=v\n") << "Setup" << "K" << def;
        QTest::newRow("after an unclosed header, the section before")
            << QByteArray("[A]\n[Setup\nK=v\n") << "A" << "K" << "v";
        QTest::newRow("header runs to the last bracket") << QByteArray("[a]b]\nK=v\n") << "a]b" << "K" << "v";
        QTest::newRow("text after the header ignored") << QByteArray("[S] ; note\nK=v\n") << "S" << "K" << "v";
        QTest::newRow("Windows-1252 letter") << QByteArray("[S]\nK=perch\xE8\n") << "S" << "K"
                                             << QString::fromUtf8("perch\xC3\xA8");
        QTest::newRow("Windows-1252 euro and quotes")
            << QByteArray("[S]\nK=\x80 \x93x\x94\n") << "S" << "K" << QString::fromUtf8("\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
        QTest::newRow("UTF-8 letter") << QByteArray("[S]\nK=perch\xC3\xA8\n") << "S" << "K"
                                      << QString::fromUtf8("perch\xC3\xA8");
        QTest::newRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF[S]\nK=v\n") << "S" << "K" << "v";
        QTest::newRow("Windows-1252 section name") << QByteArray("[Caf\xE9]\nK=v\n")
                                                   << QString::fromUtf8("Caf\xC3\xA9") << "K" << "v";
        QTest::newRow("non-ASCII names ignore case") << QByteArray("[\xC3\x89T\xC3\x89]\nK=v\n")
                                                     << QString::fromUtf8("\xC3\xA9t\xC3\xA9") << "k" << "v";
        // CR, LF and CRLF each end a line.
        QTest::newRow("lone CR ends a line") << QByteArray("[S]\rA=1\rK=v\r") << "S" << "K" << "v";
        QTest::newRow("lone CR: the value ends there") << QByteArray("[S]\rK=v\rL=w") << "S" << "K" << "v";
        QTest::newRow("lone CR: the next key is its own") << QByteArray("[S]\rK=v\rL=w") << "S" << "L" << "w";
        QTest::newRow("LF CR is two line ends") << QByteArray("[S]\n\rK=v\n\r") << "S" << "K" << "v";
        QTest::newRow("mixed line ends") << QByteArray("[S]\r\nA=1\rB=2\nK=v") << "S" << "K" << "v";
        QTest::newRow("CR before a section") << QByteArray("[S]\rK=v\r[T]\rK=w\r") << "T" << "K" << "w";
        // A value is a zero-terminated text: a NUL ends it.
        QTest::newRow("NUL ends a value") << LiteralBytes("[S]\nK=abc\0def\n") << "S" << "K" << "abc";
        QTest::newRow("NUL after blanks") << LiteralBytes("[S]\nK=  ab \0 x\n") << "S" << "K" << "ab";
        QTest::newRow("NUL inside quotes") << LiteralBytes("[S]\nK=\"ab\0cd\"\n") << "S" << "K" << "\"ab";
        QTest::newRow("NUL first: empty") << LiteralBytes("[S]\nK=\0x\n") << "S" << "K" << "";
        // A UTF-16 byte order mark makes the file UTF-16.
        const QString text = QString::fromUtf8("[S]\r\nA=caf\xC3\xA9\r\nK=perch\xC3\xA8 \xCE\xB1\r\n");
        const QString expected = QString::fromUtf8("perch\xC3\xA8 \xCE\xB1");
        QTest::newRow("UTF-16 little endian") << Utf16Bytes(text, false) << "S" << "K" << expected;
        QTest::newRow("UTF-16 big endian") << Utf16Bytes(text, true) << "S" << "K" << expected;
        QTest::newRow("UTF-16 with lone CR") << Utf16Bytes(QStringLiteral("[S]\rA=1\rK=v\r"), false) << "S" << "K"
                                             << "v";
        QTest::newRow("UTF-16 NUL ends a value") << Utf16Bytes(QStringLiteral("[S]\nK=ab") + QChar(0) + "cd\n", true)
                                                 << "S" << "K" << "ab";
        QTest::newRow("UTF-16 names ignore case") << Utf16Bytes(QStringLiteral("[setup]\nlanguagefile=x.lng"), false)
                                                  << "Setup" << "LanguageFile" << "x.lng";
    }

    void readRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString name = WriteBytes(content);
        QCOMPARE(IniReadString(name, section, key, QStringLiteral("<def>")), expected);
        QCOMPARE(IniKeyExists(name, section, key), expected != QStringLiteral("<def>"));
    }

    void valuesAreCutAt2047Characters_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("quoted");
        QTest::addColumn<int>("expected");
        QTest::newRow("2046") << 2046 << false << 2046;
        QTest::newRow("2047") << 2047 << false << 2047;
        QTest::newRow("2048") << 2048 << false << 2047;
        QTest::newRow("5000") << 5000 << false << 2047;
        QTest::newRow("quoted 2047") << 2047 << true << 2047;
        QTest::newRow("quoted 3000") << 3000 << true << 2047;
    }

    void valuesAreCutAt2047Characters()
    {
        QFETCH(int, length);
        QFETCH(bool, quoted);
        QFETCH(int, expected);
        QByteArray value(length, 'x');
        value[0] = 'a';
        if (quoted)
            value = '"' + value + '"';
        const QString name = WriteBytes("[S]\nK=" + value + "\n");
        const QString read = IniReadString(name, QStringLiteral("S"), QStringLiteral("K"), QString());
        QCOMPARE(read.size(), expected);
        QVERIFY(read.startsWith(u'a'));
    }

    void missingOrUnusableFilesGiveTheDefault()
    {
        const QString def = QStringLiteral("fallback");
        QCOMPARE(IniReadString(m_dir.filePath(QStringLiteral("none.ini")), "S", "K", def), def);
        QCOMPARE(IniReadString(QString(), "S", "K", def), def);
        QCOMPARE(IniReadString(m_dir.path(), "S", "K", def), def); // a folder
        QCOMPARE(IniReadString(WriteBytes(QByteArray()), "S", "K", def), def);
        QCOMPARE(IniReadString(WriteBytes(LiteralBytes("\x00\x01\xFF\xFE garbage")), "S", "K", def), def);
        QVERIFY(!IniKeyExists(m_dir.filePath(QStringLiteral("none.ini")), "S", "K"));
    }

    void writeChangesOneLineAndKeepsTheRest_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray rest = "; settings\n\n[Other]\nA = 1 ; spaced\n\n";
        QTest::newRow("replace value")
            << QByteArray(rest + "[Setup]\nCheckUpdates=1\nX=\"q\"\n") << "Setup" << "CheckUpdates" << "0"
            << QByteArray(rest + "[Setup]\nCheckUpdates=0\nX=\"q\"\n");
        QTest::newRow("replace keeps the file's key spelling")
            << QByteArray("[setup]\n  checkupdates = 1  \n") << "Setup" << "CheckUpdates" << "0"
            << QByteArray("[setup]\ncheckupdates=0\n");
        QTest::newRow("replace in CRLF file")
            << QByteArray("[S]\r\nK=old\r\nL=x\r\n") << "S" << "K" << "new"
            << QByteArray("[S]\r\nK=new\r\nL=x\r\n");
        QTest::newRow("replace last line without newline")
            << QByteArray("[S]\nK=old") << "S" << "K" << "new" << QByteArray("[S]\nK=new");
        QTest::newRow("replace first of duplicates")
            << QByteArray("[S]\nK=1\nK=2\n[s]\nK=3\n") << "S" << "K" << "9"
            << QByteArray("[S]\nK=9\nK=2\n[s]\nK=3\n");
        QTest::newRow("add key after the section's last line")
            << QByteArray("[S]\nA=1\n\n[T]\nB=2\n") << "S" << "K" << "v"
            << QByteArray("[S]\nA=1\nK=v\n\n[T]\nB=2\n");
        QTest::newRow("add key to last section without newline")
            << QByteArray("[S]\nA=1") << "S" << "K" << "v" << QByteArray("[S]\nA=1\nK=v\n");
        QTest::newRow("add key to CRLF section")
            << QByteArray("[S]\r\nA=1\r\n[T]\r\n") << "S" << "K" << "v"
            << QByteArray("[S]\r\nA=1\r\nK=v\r\n[T]\r\n");
        QTest::newRow("add key to empty section")
            << QByteArray("[S]\n[T]\n") << "S" << "K" << "v" << QByteArray("[S]\nK=v\n[T]\n");
        QTest::newRow("add section")
            << QByteArray("[T]\nB=2\n") << "S" << "K" << "v" << QByteArray("[T]\nB=2\n[S]\nK=v\n");
        QTest::newRow("add section after a last line without newline")
            << QByteArray("[T]\r\nB=2") << "S" << "K" << "v" << QByteArray("[T]\r\nB=2\r\n[S]\r\nK=v\r\n");
        QTest::newRow("add section after an unclosed header")
            << QByteArray("[S\nK=old\n") << "S" << "K" << "v" << QByteArray("[S\nK=old\n[S]\nK=v\n");
        QTest::newRow("empty value") << QByteArray("[S]\nK=v\n") << "S" << "K" << ""
                                     << QByteArray("[S]\nK=\n");
        QTest::newRow("new file") << QByteArray() << "Setup" << "LanguageFile" << "English.lng"
                                  << QByteArray("[Setup]\nLanguageFile=English.lng\n");
        QTest::newRow("Windows-1252 file stays Windows-1252")
            << QByteArray("[S]\nA=caf\xE9\nK=x\n") << "S" << "K" << QString::fromUtf8("perch\xC3\xA8")
            << QByteArray("[S]\nA=caf\xE9\nK=perch\xE8\n");
        QTest::newRow("UTF-8 file stays UTF-8")
            << QByteArray("[S]\nA=caf\xC3\xA9\n") << "S" << "K" << QString::fromUtf8("perch\xC3\xA8")
            << QByteArray("[S]\nA=caf\xC3\xA9\nK=perch\xC3\xA8\n");
        QTest::newRow("byte order mark kept")
            << QByteArray("\xEF\xBB\xBF[S]\nK=1\n") << "S" << "K" << "2" << QByteArray("\xEF\xBB\xBF[S]\nK=2\n");
        QTest::newRow("replace in CR file")
            << QByteArray("[S]\rK=old\rL=x\r") << "S" << "K" << "new" << QByteArray("[S]\rK=new\rL=x\r");
        // Read as one line, the key after a lone CR was lost when the line was rewritten.
        QTest::newRow("replace keeps the key after a lone CR")
            << QByteArray("[Setup]\rLanguageFile=x.lng\rCheckUpdates=0\r") << "Setup" << "LanguageFile"
            << "Deutsch.lng" << QByteArray("[Setup]\rLanguageFile=Deutsch.lng\rCheckUpdates=0\r");
        QTest::newRow("add key to CR section")
            << QByteArray("[S]\rA=1\r[T]\r") << "S" << "K" << "v" << QByteArray("[S]\rA=1\rK=v\r[T]\r");
        QTest::newRow("add section after a last line without CR")
            << QByteArray("[T]\rB=2") << "S" << "K" << "v" << QByteArray("[T]\rB=2\r[S]\rK=v\r");
        QTest::newRow("add section after a final CR")
            << QByteArray("[T]\rB=2\r") << "S" << "K" << "v" << QByteArray("[T]\rB=2\r[S]\rK=v\r");
        QTest::newRow("replace a value cut by a NUL")
            << LiteralBytes("[S]\nK=a\0b\nL=1\n") << "S" << "K" << "new" << QByteArray("[S]\nK=new\nL=1\n");
        const QString utf16Before = QString::fromUtf8("[Setup]\r\nCheckUpdates=0\r\nA=caf\xC3\xA9\r\n");
        const QString utf16After =
            QString::fromUtf8("[Setup]\r\nCheckUpdates=0\r\nA=caf\xC3\xA9\r\nLanguageFile=Espa\xC3\xB1ol.lng\r\n");
        for (const bool big : {false, true}) {
            QTest::addRow("UTF-16 %s file stays UTF-16", big ? "big endian" : "little endian")
                << Utf16Bytes(utf16Before, big) << "Setup" << "LanguageFile" << QString::fromUtf8("Espa\xC3\xB1ol.lng")
                << Utf16Bytes(utf16After, big);
            QTest::addRow("UTF-16 %s new section", big ? "big endian" : "little endian")
                << Utf16Bytes(QStringLiteral("[T]\r\nB=2"), big) << "S" << "K" << "v"
                << Utf16Bytes(QStringLiteral("[T]\r\nB=2\r\n[S]\r\nK=v\r\n"), big);
        }
    }

    void writeChangesOneLineAndKeepsTheRest()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString name = before.isEmpty() ? NewFileName() : WriteBytes(before);
        QVERIFY(IniWriteString(name, section, key, value));
        QCOMPARE(ReadBytes(name), after);
        QCOMPARE(IniReadString(name, section, key, QStringLiteral("<def>")), value);
    }

    // Whatever the file's other lines hold, a value reads back exactly as written
    // and the other lines read as before.
    void writtenValuesReadBackExactly_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("value");
        const QByteArray legacy = "[S]\nA=caf\xE9\n";
        const QByteArray utf8 = "[S]\nA=caf\xC3\xA9\n";
        const QString greek = QString::fromUtf8("\xCE\xB1\xCE\xB2");
        const QString mojibake = QString::fromUtf8("\xC3\x83\xC2\xA9"); // "Ã©" is C3 A9 in Windows-1252
        const QString nbsp = QString::fromUtf8("100\xC2\xA0VA\xE2\x80\xAF");
        for (const auto &[name, bytes] : {std::pair{"legacy file", legacy}, std::pair{"utf-8 file", utf8}}) {
            QTest::addRow("%s: outside Windows-1252", name) << bytes << greek;
            QTest::addRow("%s: Windows-1252 bytes that form UTF-8", name) << bytes << mojibake;
            QTest::addRow("%s: non-breaking spaces kept", name) << bytes << nbsp;
            QTest::addRow("%s: blanks at the ends", name) << bytes << QStringLiteral("  two blanks ");
            QTest::addRow("%s: quoted", name) << bytes << QStringLiteral("\"quoted\"");
            QTest::addRow("%s: a lone quote", name) << bytes << QStringLiteral("\"");
            QTest::addRow("%s: empty", name) << bytes << QString();
        }
    }

    void writtenValuesReadBackExactly()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        const QString name = WriteBytes(before);
        QVERIFY(IniWriteString(name, "S", "K", value));
        QCOMPARE(IniReadString(name, "S", "K", QStringLiteral("<def>")), value);
        QCOMPARE(IniReadString(name, "S", "A", QString()), QString::fromUtf8("caf\xC3\xA9"));
        QVERIFY(IniWriteString(name, "S", "A", value));
        QCOMPARE(IniReadString(name, "S", "A", QStringLiteral("<def>")), value);
    }

    void namesAndValuesKeepNonBreakingSpaces()
    {
        const QString name = WriteBytes("[S]\nK=\xC2\xA0:\xC2\xA0\n");
        QCOMPARE(IniReadString(name, "S", "K", QString()), QString::fromUtf8("\xC2\xA0:\xC2\xA0"));
    }

    void valuesTooLongToReadBackAreRefused()
    {
        const QString name = WriteBytes("[S]\nK=old\n");
        QVERIFY(!IniWriteString(name, "S", "K", QString(2048, u'x')));
        QCOMPARE(IniReadString(name, "S", "K", QString()), QStringLiteral("old"));
    }

    void writeIsAtomicAndLeavesNoTemporaryFile()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("VarnexCfg.ini"));
        for (int i = 0; i < 5; ++i)
            QVERIFY(IniWriteString(name, "Setup", QStringLiteral("K%1").arg(i), QString::number(i)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("VarnexCfg.ini")});
        for (int i = 0; i < 5; ++i)
            QCOMPARE(IniReadString(name, "Setup", QStringLiteral("K%1").arg(i), QString()), QString::number(i));
    }

    // A disk that fills up while the new file is written: the old file stays
    // byte for byte, nothing else is left beside it, and the write says it failed.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("fits"); // bytes of the new file that fit; -1: all but the last one

        // Larger than the lock beside it, so that the writing of the file itself fails.
        QByteArray settings = "[Setup]\r\nCheckUpdates=0\r\nLanguageFile=Deutsch.lng\r\n[Recent]\r\n";
        for (int i = 0; i < 40; ++i)
            settings += "File" + QByteArray::number(i) + "=/home/user/offers/offer-" + QByteArray::number(i) + ".vxcfg\r\n";
        for (const int fits : {0, 600, -1}) {
            const QByteArray room = fits < 0 ? "all but a byte fits" : QByteArray::number(fits) + " bytes fit";
            QTest::addRow("change a value, %s", room.constData()) << settings << "Setup" << "CheckUpdates" << fits;
            QTest::addRow("add a key, %s", room.constData()) << settings << "Setup" << "ProgramPath" << fits;
            QTest::addRow("add a section, %s", room.constData()) << settings << "Other" << "Key" << fits;
        }
        QTest::newRow("new file, nothing fits") << QByteArray() << "Setup" << "CheckUpdates" << 0;
    }

    void fullDiskKeepsTheOldFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(int, fits);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("VarnexCfg.ini"));
        const QString value = QStringLiteral("/opt/varnex-configurator/lib/varnex-configurator/");
        // The size the new file would have.
        const QString probe = dir.filePath(QStringLiteral("probe.ini"));
        if (!before.isEmpty()) {
            QVERIFY(QFile::copy(WriteBytes(before), probe));
            QVERIFY(QFile::copy(probe, name));
        }
        QVERIFY(IniWriteString(probe, section, key, value));
        const qint64 size = QFileInfo(probe).size();
        QVERIFY(QFile::remove(probe));

        bool written = true;
        {
            const TFileSizeLimit full(fits < 0 ? size - 1 : fits);
            written = IniWriteString(name, section, key, value);
        }
        QVERIFY(!written);
        QCOMPARE(ReadBytes(name), before.isEmpty() ? QByteArray("<missing>") : before);
        QCOMPARE(FolderFiles(dir.path()), before.isEmpty() ? QStringList() : QStringList{"VarnexCfg.ini"});
        // With room again, the same write goes through.
        QVERIFY(IniWriteString(name, section, key, value));
        QCOMPARE(IniReadString(name, section, key, QString()), value);
    }

    // Programs started together each add keys of their own (as starts do, one
    // read-modify-write at a time): every key of every writer is in the file.
    void concurrentWritersKeepEveryKey()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("VarnexCfg.ini"));
        const QString go = dir.filePath(QStringLiteral("go"));
        constexpr int kWriters = 4, kRounds = 30;
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.push_back(std::make_unique<QProcess>());
            writers.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            writers.back()->start(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--write-keys"), name, go, QStringLiteral("Writer%1Key").arg(w),
                                   QString::number(kRounds)});
            QVERIFY(writers.back()->waitForStarted());
        }
        QFile(go).open(QIODevice::WriteOnly); // all of them at once
        for (auto &writer : writers) {
            QVERIFY(writer->waitForFinished(120000));
            QCOMPARE(writer->exitCode(), 0);
        }
        for (int w = 0; w < kWriters; ++w)
            for (int r = 0; r < kRounds; ++r)
                QCOMPARE(IniReadString(name, QStringLiteral("Setup"), QStringLiteral("Writer%1Key%2").arg(w).arg(r),
                                       QStringLiteral("<lost>")),
                         QString::number(r));
        QCOMPARE(FolderFiles(dir.path()), (QStringList{"VarnexCfg.ini", "go"}));
    }

    void writeIntoMissingFolderFails()
    {
        const QString name = m_dir.filePath(QStringLiteral("no/such/folder/VarnexCfg.ini"));
        QVERIFY(!IniWriteString(name, "Setup", "K", "v"));
        QVERIFY(!QFileInfo::exists(name));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("no"))));
        QVERIFY(!IniWriteString(QString(), "Setup", "K", "v"));
    }

    void lineBreaksCannotAddLines_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("LF in value") << "S" << "K" << "x\nVendorName=Other";
        QTest::newRow("CR in value") << "S" << "K" << "x\rY=1";
        QTest::newRow("line break in key") << "S" << "K\nL" << "v";
        QTest::newRow("line break in section") << "S]\n[T" << "K" << "v";
        QTest::newRow("equals sign in key") << "S" << "K=L" << "v";
        QTest::newRow("empty key") << "S" << "  " << "v";
        QTest::newRow("comment key") << "S" << ";K" << "v";
        QTest::newRow("bracket in section") << "S]x" << "K" << "v";
    }

    void lineBreaksCannotAddLines()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before = "[S]\nK=old\n";
        const QString name = WriteBytes(before);
        QVERIFY(!IniWriteString(name, section, key, value));
        QCOMPARE(ReadBytes(name), before);
    }

    void changesShowAtTheNextRead()
    {
        const QString name = WriteBytes("[S]\nK=1\n");
        QCOMPARE(IniReadString(name, "S", "K", QString()), QStringLiteral("1"));
        // Same size, rewritten in place right away: the next read must see it.
        for (int i = 2; i <= 9; ++i) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.write(QStringLiteral("[S]\nK=%1\n").arg(i).toLatin1());
            f.close();
            QCOMPARE(IniReadString(name, "S", "K", QString()), QString::number(i));
        }
        QVERIFY(QFile::remove(name));
        QCOMPARE(IniReadString(name, "S", "K", QStringLiteral("gone")), QStringLiteral("gone"));
        QVERIFY(IniWriteString(name, "S", "K", "new"));
        QCOMPARE(IniReadString(name, "S", "K", QString()), QStringLiteral("new"));
    }

    void writeKeepsThePermissions()
    {
        const QString name = WriteBytes("[S]\nK=1\n");
        QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(IniWriteString(name, "S", "K", "2"));
        QCOMPARE(QFile::permissions(name) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
    }

    void onlyRegularFilesAreReadOrReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a pipe") << "fifo";
        QTest::newRow("a link to a pipe") << "link to fifo";
        QTest::newRow("a folder") << "folder";
    }

    void onlyRegularFilesAreReadOrReplaced()
    {
        // Nothing blocks, nothing is replaced: the write is refused and the read finds nothing.
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString target = dir.path() + "/VarnexCfg.ini";
        const QString fifo = dir.path() + "/pipe";
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        if (kind == "fifo")
            QVERIFY(QFile::rename(fifo, target));
        else if (kind == "link to fifo")
            QVERIFY(QFile::link(fifo, target));
        else
            QVERIFY(QDir().mkpath(target));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!IniWriteString(target, "Setup", "LanguageFile", "English.lng"));
        QCOMPARE(IniReadString(target, "Setup", "LanguageFile", "none"), QStringLiteral("none"));
        QVERIFY(timer.elapsed() < 5000);
        const QFileInfo info(target);
        QVERIFY(kind == "folder" ? info.isDir() : (kind == "fifo" ? !info.isSymLink() : info.isSymLink()));
        QVERIFY(!info.isFile());
    }

    void writeThroughALinkKeepsTheLink()
    {
        QTemporaryDir dir;
        const QString real = dir.path() + "/real.ini", link = dir.path() + "/VarnexCfg.ini";
        QVERIFY(IniWriteString(real, "Setup", "CheckUpdates", "1"));
        QVERIFY(QFile::link(real, link));
        QVERIFY(IniWriteString(link, "Setup", "LanguageFile", "Italian.lng"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(IniReadString(real, "Setup", "LanguageFile", QString()), QStringLiteral("Italian.lng"));
        QCOMPARE(IniReadString(real, "Setup", "CheckUpdates", QString()), QStringLiteral("1"));
    }
};

namespace {

/// A writer of concurrentWritersKeepEveryKey: once `go` exists, writes
/// <prefix>0=0, <prefix>1=1, ... to the file, one write a round.
int WriteKeys(const QString &fileName, const QString &go, const QString &prefix, int rounds)
{
    while (!QFileInfo::exists(go))
        QThread::usleep(200);
    for (int r = 0; r < rounds; ++r)
        if (!IniWriteString(fileName, QStringLiteral("Setup"), prefix + QString::number(r), QString::number(r)))
            return 1;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 6 && args[1] == QLatin1String("--write-keys"))
        return WriteKeys(args[2], args[3], args[4], args[5].toInt());
    TestIni test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_ini.moc"
