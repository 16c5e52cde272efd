// Choice of the language file, text lookup and the language list, on a
// program folder of the test's own and on the program folder of the build.

#include "IniFile.h"
#include "Lang.h"
#include "Settings.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(name));
    f.write(bytes);
}

// A program folder with language files and a data folder with a settings file.
struct TLanguageSetup {
    TTempHome Home;
    TRecordingMessageService Messages;
    QTemporaryDir Program;

    TLanguageSetup()
    {
        SetupData = TSetupData();
        SetupData.LanguageID = -1;
        SetupData.ProgramPath = Program.path() + u'/';
        ComputePaths(SetupData);
        QDir().mkpath(SetupData.DataPath);
    }
    ~TLanguageSetup() { SetupData = TSetupData(); }

    void Language(const QString &fileName, const QByteArray &content)
    {
        WriteFile(SetupData.ProgramPath + fileName, content);
    }
    void Settings(const QByteArray &content) { WriteFile(SetupData.IniFileName, content); }
    QString StoredLanguageFile() const
    {
        return IniReadString(SetupData.IniFileName, "Setup", "LanguageFile", QStringLiteral("<none>"));
    }
};

const QByteArray kEnglish = "[LangOptions]\nLanguageName=English\nLanguageID=1033\n[Main]\nButtonSetup=Setup\n";
const QByteArray kItalian = "[LangOptions]\nLanguageName=Italiano\nLanguageID=1040\n[Main]\nButtonSetup=Opzioni\n";

} // namespace

class TestLang : public QObject {
    Q_OBJECT

private slots:
    void selectLanguage_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<int>("languageId");
        QTest::addColumn<QString>("stored");

        const QStringList both{"English.lng", "Italian.lng"};
        QTest::newRow("setting names an existing file")
            << QByteArray("[Setup]\nLanguageFile=Italian.lng\n") << both << true << "Italian.lng" << 1040
            << "Italian.lng";
        QTest::newRow("setting with blanks")
            << QByteArray("[Setup]\nLanguageFile=  Italian.lng  \n") << both << true << "Italian.lng" << 1040
            << "Italian.lng";
        QTest::newRow("deleted file: English written back")
            << QByteArray("[Setup]\nLanguageFile=Deutsch.lng\n") << both << true << "English.lng" << 1033
            << "English.lng";
        QTest::newRow("no setting: English written back") << QByteArray("[Setup]\nCheckUpdates=1\n") << both
                                                          << true << "English.lng" << 1033 << "English.lng";
        QTest::newRow("no settings file: English written") << QByteArray() << both << true << "English.lng"
                                                           << 1033 << "English.lng";
        QTest::newRow("no English, no usable setting")
            << QByteArray("[Setup]\nLanguageFile=Deutsch.lng\n") << QStringList{"Italian.lng"} << false << ""
            << -1 << "Deutsch.lng";
        QTest::newRow("a folder is no language file")
            << QByteArray("[Setup]\nLanguageFile=sub\n") << QStringList{"Italian.lng"} << false << "" << -1
            << "sub";
        QTest::newRow("no files at all") << QByteArray() << QStringList() << false << "" << -1 << "<none>";
    }

    void selectLanguage()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, files);
        QFETCH(bool, result);
        QFETCH(QString, languageFile);
        QFETCH(int, languageId);
        QFETCH(QString, stored);
        TLanguageSetup t;
        QDir(t.Program.path()).mkdir(QStringLiteral("sub"));
        if (files.contains(QStringLiteral("English.lng")))
            t.Language(QStringLiteral("English.lng"), kEnglish);
        if (files.contains(QStringLiteral("Italian.lng")))
            t.Language(QStringLiteral("Italian.lng"), kItalian);
        if (!settings.isEmpty())
            t.Settings(settings);
        SetupData.LanguageFile = QStringLiteral("stale.lng");
        SetupData.LanguageID = 7;

        QCOMPARE(SelectLanguage(), result);
        QCOMPARE(SetupData.LanguageFile, languageFile);
        QCOMPARE(SetupData.LanguageID, languageId);
        QCOMPARE(t.StoredLanguageFile(), stored);
        QVERIFY(t.Messages.Messages.isEmpty());
    }

    void languageId_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<int>("expected");
        QTest::newRow("1040") << QByteArray("LanguageID=1040\n") << 1040;
        QTest::newRow("1040 and blanks") << QByteArray("LanguageID=1040  \n") << 1040;
        QTest::newRow("quoted") << QByteArray("LanguageID=\" 1040 \"\n") << 1040;
        QTest::newRow("hexadecimal") << QByteArray("LanguageID=0x410\n") << 1040;
        QTest::newRow("negative") << QByteArray("LanguageID=-5\n") << -5;
        QTest::newRow("text") << QByteArray("LanguageID=Italian\n") << -1;
        QTest::newRow("decimal point") << QByteArray("LanguageID=1040.0\n") << -1;
        QTest::newRow("inner blank") << QByteArray("LanguageID=10 40\n") << -1;
        QTest::newRow("empty") << QByteArray("LanguageID=\n") << -1;
        QTest::newRow("missing") << QByteArray("LanguageName=X\n") << -1;
        QTest::newRow("too big") << QByteArray("LanguageID=4294967296\n") << -1;
    }

    void languageId()
    {
        QFETCH(QByteArray, options);
        QFETCH(int, expected);
        TLanguageSetup t;
        t.Language(QStringLiteral("English.lng"), "[LangOptions]\n" + options);
        QVERIFY(SelectLanguage());
        QCOMPARE(SetupData.LanguageID, expected);
    }

    void homeMarketFollowsTheLanguage()
    {
        TLanguageSetup t;
        t.Language(QStringLiteral("English.lng"), kEnglish);
        t.Language(QStringLiteral("Italian.lng"), "[LangOptions]\nLanguageName=Italiano\nLanguageID=1040   \n");
        t.Settings("[Setup]\nLanguageFile=Italian.lng\n");
        QVERIFY(SelectLanguage());
        ReadVendorName();
        QCOMPARE(SetupData.VendorName, QStringLiteral("Quenvar"));
        QVERIFY(IsHomeMarket());
        QVERIFY(WriteLanguageFile(QStringLiteral("English.lng")));
        QVERIFY(SelectLanguage());
        QVERIFY(!IsHomeMarket());
    }

    // A file with a UTF-16 byte order mark is read as UTF-16 and written back so:
    // the texts, the language's number, and the fall-back written to the settings.
    void utf16Files_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little endian") << false;
        QTest::newRow("big endian") << true;
    }

    void utf16Files()
    {
        QFETCH(bool, bigEndian);
        TLanguageSetup t;
        t.Language(QStringLiteral("English.lng"),
                   Utf16Bytes(QString::fromUtf8(kEnglish) + QString::fromUtf8("[Commons]\r\nYes=S\xC3\xAC\r\n"),
                              bigEndian));
        t.Settings(Utf16Bytes(QStringLiteral("[Setup]\r\nLanguageFile=Deutsch.lng\r\nCheckUpdates=0\r\n"), bigEndian));
        QVERIFY(SelectLanguage());
        QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));
        QCOMPARE(SetupData.LanguageID, 1033);
        QCOMPARE(LangMain(QStringLiteral("ButtonSetup")), QStringLiteral("Setup"));
        QCOMPARE(LangCommons(QStringLiteral("Yes")), QString::fromUtf8("S\xC3\xAC"));
        QCOMPARE(ListLanguages(SetupData.ProgramPath).value(0).Name, QStringLiteral("English"));
        QCOMPARE(ReadFileBytes(SetupData.IniFileName),
                 Utf16Bytes(QStringLiteral("[Setup]\r\nLanguageFile=English.lng\r\nCheckUpdates=0\r\n"), bigEndian));
        QVERIFY(!ReadCheckUpdates());
    }

    void lookupBeforeAnyLanguageIsEmpty()
    {
        TLanguageSetup t;
        QCOMPARE(LangMain(QStringLiteral("ButtonSetup")), QString());
    }

    void lookupForms()
    {
        TLanguageSetup t;
        t.Language(QStringLiteral("English.lng"),
                   "[LangOptions]\nLanguageName=English\n"
                   "[Messages]\nInfoFileSavedOk=   File %s saved.   \nQuoted=\" x \"\nUnit=\t\xC2\xA0:\xE2\x80\xAF%d\xC2\xA0VA\xC2\xA0\r\n"
                   "[main]\nbuttonsetup=Setup\n[Wizard]\nButtonNext=Next\n[Setup]\nSetupPageUpdates=Updates\n"
                   "[Commons]\nYes=Yes\n[Ups]\nUpsItemBatteryKitEmpty=Empty kit\n"
                   "[Accessories]\nAccessoriesItemRccmd=RCCMD %s\n[Contracts]\nContractsItem_C=C\n");
        QVERIFY(SelectLanguage());
        QCOMPARE(LangMessages(QStringLiteral("InfoFileSavedOk")), QStringLiteral("File %s saved."));
        QCOMPARE(LangMessages(QStringLiteral("Quoted")), QStringLiteral("x"));
        // Only blanks and controls are trimmed: translators' non-breaking spaces stay.
        QCOMPARE(LangMessages(QStringLiteral("Unit")), QString::fromUtf8("\xC2\xA0:\xE2\x80\xAF%d\xC2\xA0VA\xC2\xA0"));
        QCOMPARE(LangMain(QStringLiteral("ButtonSetup")), QStringLiteral("Setup"));
        QCOMPARE(LangWizard(QStringLiteral("ButtonNext")), QStringLiteral("Next"));
        QCOMPARE(LangSetup(QStringLiteral("SetupPageUpdates")), QStringLiteral("Updates"));
        QCOMPARE(LangCommons(QStringLiteral("Yes")), QStringLiteral("Yes"));
        QCOMPARE(LangUps(QStringLiteral("UpsItemBatteryKitEmpty")), QStringLiteral("Empty kit"));
        QCOMPARE(LangAccessories(QStringLiteral("AccessoriesItemRccmd")), QStringLiteral("RCCMD %s"));
        QCOMPARE(LangContracts(QStringLiteral("ContractsItem_C")), QStringLiteral("C"));
        QCOMPARE(LangOptions(QStringLiteral("LanguageName")), QStringLiteral("English"));
        QCOMPARE(LangText(QStringLiteral("Main"), QStringLiteral("Missing")), QString());
        QCOMPARE(LangText(QStringLiteral("NoSection"), QStringLiteral("ButtonSetup")), QString());
        // Only the section named is searched.
        QCOMPARE(LangWizard(QStringLiteral("ButtonSetup")), QString());
    }

    void changesToTheFileShowAtTheNextLookup()
    {
        TLanguageSetup t;
        t.Language(QStringLiteral("English.lng"), "[Main]\nButtonSetup=One\n");
        QVERIFY(SelectLanguage());
        QCOMPARE(LangMain(QStringLiteral("ButtonSetup")), QStringLiteral("One"));
        t.Language(QStringLiteral("English.lng"), "[Main]\nButtonSetup=Two\n"); // same size, at once
        QCOMPARE(LangMain(QStringLiteral("ButtonSetup")), QStringLiteral("Two"));
        QVERIFY(QFile::remove(SetupData.ProgramPath + QStringLiteral("English.lng")));
        QCOMPARE(LangMain(QStringLiteral("ButtonSetup")), QString());
    }

    void languageList()
    {
        QTemporaryDir program;
        const QString folder = program.path() + u'/';
        WriteFile(folder + QStringLiteral("English.lng"), "[LangOptions]\nLanguageName=English\n");
        WriteFile(folder + QStringLiteral("Italian.lng"), "[LangOptions]\nLanguageName=italiano\n");
        WriteFile(folder + QStringLiteral("Deutsch.lng"), "[LangOptions]\nLanguageName=  Deutsch  \n");
        WriteFile(folder + QStringLiteral("Spanish.lng"), "[LangOptions]\nLanguageName=Espa\xF1ol\n");
        WriteFile(folder + QStringLiteral("NoName.lng"), "[LangOptions]\nLanguageID=1036\n");
        WriteFile(folder + QStringLiteral("Blank.lng"), "[LangOptions]\nLanguageName=   \n");
        WriteFile(folder + QStringLiteral("Other.txt"), "[LangOptions]\nLanguageName=Other\n");
        QDir().mkpath(folder + QStringLiteral("Folder.lng"));

        const QList<TLanguageEntry> list = ListLanguages(folder);
        QStringList names, files;
        for (const TLanguageEntry &e : list) {
            names << e.Name;
            files << e.FileName;
        }
        QCOMPARE(names, (QStringList{"Deutsch", "English", QString::fromUtf8("Espa\xC3\xB1ol"), "italiano"}));
        QCOMPARE(files, (QStringList{"Deutsch.lng", "English.lng", "Spanish.lng", "Italian.lng"}));
        QVERIFY(ListLanguages(folder + QStringLiteral("missing/")).isEmpty());
        QVERIFY(ListLanguages(QString()).isEmpty());
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("multi");
        QTest::addColumn<QString>("single");
        QTest::newRow("one") << "RCCMD licence\\nfor 5 servers" << "RCCMD licence\nfor 5 servers"
                             << "RCCMD licencefor 5 servers";
        QTest::newRow("two and at the ends") << "\\na\\nb\\n" << "\na\nb\n" << "ab";
        QTest::newRow("none") << "plain" << "plain" << "plain";
        QTest::newRow("backslash alone stays") << "a\\b\\" << "a\\b\\" << "a\\b\\";
        QTest::newRow("capital N is no break") << "a\\Nb" << "a\\Nb" << "a\\Nb";
        QTest::newRow("double backslash") << "a\\\\nb" << "a\\\nb" << "a\\b";
    }

    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, multi);
        QFETCH(QString, single);
        QCOMPARE(ApplyLineBreaks(text, true), multi);
        QCOMPARE(ApplyLineBreaks(text, false), single);
    }

    void programFolderOfTheBuild()
    {
        // The language files installed beside the program.
        TTempHome home;
        SetupData = TSetupData();
        SetupData.ProgramPath = BuiltProgramPath();
        ComputePaths(SetupData);
        QDir().mkpath(SetupData.DataPath);
        QVERIFY2(QFileInfo::exists(BuiltProgramPath() + QStringLiteral("English.lng")),
                 qPrintable(BuiltProgramPath()));
        QVERIFY(SelectLanguage());
        QCOMPARE(SetupData.LanguageFile, QStringLiteral("English.lng"));
        QVERIFY(SetupData.LanguageID > 0);
        QVERIFY(!LangOptions(QStringLiteral("LanguageName")).isEmpty());
        bool english = false;
        for (const TLanguageEntry &e : ListLanguages(BuiltProgramPath())) {
            QVERIFY(!e.Name.isEmpty());
            english = english || e.FileName == QStringLiteral("English.lng");
        }
        QVERIFY(english);
        SetupData = TSetupData();
    }
};

QTEST_GUILESS_MAIN(TestLang)
#include "test_lang.moc"
