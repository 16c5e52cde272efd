// Configuration files in the real main window: saved with Ctrl+S, reopened
// with Ctrl+O or from the command line, recomputed with the price list of the
// program that opens them; a file that cannot be opened changes nothing.

#include "MainWindowTestSupport.h"
#include "PriceList.h"
#include "PriceListMaker.h"

#include <QRegularExpression>
#include <QStackedWidget>
#include <QTableWidget>
#include <QLabel>

namespace {

/// Every cell of both tables and the total, as the results page shows them.
QString ShownTables(TFrmVarnexCfgMain &window)
{
    QStringList cells;
    for (QTableWidget *grid : {window.ItemsGrid(), window.DataGrid()})
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return cells.join(QLatin1Char('|')) + QLatin1Char('|') + Child<QLabel>(window, "lblTotalPrice")->text();
}

QByteArray FileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

/// Saves through Ctrl+S with the dialog answering `fileName`.
void SaveAs(TFrmVarnexCfgMain &window, const QString &fileName)
{
    SetSaveFileNameHook([=](const QStringList &filters, QString &name) {
        if (filters.value(0).endsWith(QLatin1String("|*.vxcfg")))
            name = fileName;
        return filters.value(0).endsWith(QLatin1String("|*.vxcfg")) ? 1 : -1;
    });
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    SetSaveFileNameHook({});
}

/// Opens through Ctrl+O with the dialog answering `fileName`.
void OpenWithShortcut(TFrmVarnexCfgMain &window, const QString &fileName)
{
    SetOpenFileNameHook([=](const QStringList &) { return fileName; });
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    SetOpenFileNameHook({});
}

/// The sample price list with every price multiplied by `factor`.
void WriteScaledPriceList(const QString &target, double factor)
{
    TPriceListContent content;
    QString error;
    QVERIFY2(ReadPriceListCsv(QStringLiteral(VX_SOURCE_DIR "tools/sample/Quenvar"), content, error),
             qPrintable(error));
    for (auto &table : content.Tables)
        for (TPriceRow &row : table.second)
            if (row.Price.typeId() == QMetaType::Double)
                row.Price = row.Price.toDouble() * factor;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QVERIFY2(WritePriceListFile(target, PriceListPassword(QStringLiteral("Quenvar")), content, true, error),
             qPrintable(error));
}

} // namespace

class TestConfigurationFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UseBuiltProgram()); }

    // A wizard run saved, reopened and saved again: the same file, the same tables.
    void savedReopenedAndSavedAgain()
    {
        TWindowWithResults run(true);
        TFrmVarnexCfgMain &window = *run.Window;
        QVERIFY(window.HasConfiguration());
        const QString shown = ShownTables(window);
        const QString first = run.Home.Path() + QStringLiteral("/offer");
        SaveAs(window, first);
        const QByteArray saved = FileBytes(first + QStringLiteral(".vxcfg"));
        QVERIFY2(saved.contains("\"programVersion\": \"" + ProgramVersion().toUtf8() + "\""), saved.constData());
        QVERIFY(saved.contains("\"language\": \"English.lng\""));
        QVERIFY(saved.contains("\"loadPower\": \"10000\""));

        run.Boxes.Messages.clear();
        run.Boxes.Answers = {true};
        OpenWithShortcut(window, first + QStringLiteral(".vxcfg"));
        QCOMPARE(run.Boxes.Messages.size(), 1); // only: replace the configuration on show?
        QCOMPARE(run.Boxes.Messages.first().Kind, QStringLiteral("question"));
        QCOMPARE(window.CurrentPage(), TMainPage::Results);
        QCOMPARE(ShownTables(window), shown);

        const QString second = run.Home.Path() + QStringLiteral("/again.vxcfg");
        SaveAs(window, second);
        QCOMPARE(FileBytes(second), saved);
    }

    // A file opened after the price list changed shows the new prices.
    void reopenedWithTheCurrentPriceList()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        const QString list = home.DataHome() + QStringLiteral("/Varnex Configurator/PriceList.tc");
        const QString file = home.Path() + QStringLiteral("/priced.vxcfg");
        WriteBytes(file, R"({"programVersion": ")" + ProgramVersion().toUtf8() +
                             R"(", "savedOn": "2026-12-01", "loadPower": "9000", "sizeLine": 1})");
        QStringList totals;
        for (double factor : {1.0, 2.0}) {
            WriteScaledPriceList(list, factor);
            TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath(), {file}));
            window.show();
            QTRY_VERIFY(window.FirstIdleDone());
            QTRY_VERIFY(window.HasConfiguration());
            totals << Child<QLabel>(window, "lblTotalPrice")->text();
            window.close();
        }
        QCOMPARE(boxes.Texts(), QStringList());
        auto amount = [](QString text) {
            text.remove(QRegularExpression(QStringLiteral("[^0-9]")));
            return text.toLongLong();
        };
        QVERIFY2(amount(totals[0]) > 0, qPrintable(totals[0]));
        QCOMPARE(amount(totals[1]), 2 * amount(totals[0]));
    }

    // Files that cannot be opened say so and leave the configuration on show;
    // one from a newer program opens and names what it left out.
    void filesThatCannotBeOpened_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray version = ProgramVersion().toUtf8();
        QTest::newRow("empty") << QByteArray() << "is not a configuration of this program, or it is damaged.";
        QTest::newRow("damaged") << QByteArray("{\"programVersion\": \"" + version + "\", \"loadPow")
                                 << "is not a configuration of this program, or it is damaged.";
        QTest::newRow("foreign JSON") << QByteArray("{\"name\": \"a list of something else\"}")
                                      << "is not a configuration of this program, or it is damaged.";
        QTest::newRow("load beyond every size")
            << QByteArray("{\"programVersion\": \"" + version + "\", \"loadPower\": \"9000000\", \"sizeLine\": 0}")
            << "cannot be opened: The value must be between 0 and";
        QTest::newRow("unknown output") << QByteArray("{\"programVersion\": \"" + version + "\", \"outputKind\": 5}")
                                        << "cannot be opened: the value of \"outputKind\" cannot be used.";
    }

    void filesThatCannotBeOpened()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TWindowWithResults run(false);
        TFrmVarnexCfgMain &window = *run.Window;
        const QString shown = ShownTables(window);
        const QJsonObject request = window.ConfigurationRequest();
        const QString file = run.Home.Path() + QStringLiteral("/bad.vxcfg");
        WriteBytes(file, bytes);
        run.Boxes.Messages.clear();
        run.Boxes.Answers = {true};
        QVERIFY(!window.OpenConfigurationFile(file));
        QCOMPARE(run.Boxes.Messages.size(), 1);
        QCOMPARE(run.Boxes.Messages.first().Kind, QStringLiteral("error"));
        QVERIFY2(run.Boxes.Messages.first().Text.contains(message), qPrintable(run.Boxes.Messages.first().Text));
        QVERIFY(run.Boxes.Messages.first().Text.contains(file));
        QCOMPARE(ShownTables(window), shown);
        QCOMPARE(window.ConfigurationRequest(), request);
        QVERIFY(window.HasConfiguration());
    }

    void newerFileOpensWhatItCan()
    {
        TWindowWithResults run(false);
        TFrmVarnexCfgMain &window = *run.Window;
        const QString file = run.Home.Path() + QStringLiteral("/newer.vxcfg");
        WriteBytes(file, R"({"programVersion": "99.0", "savedOn": "2040-01-01", "loadPower": "7000",
                             "sizeLine": 1, "harmonicFilter": true, "contracts": []})");
        run.Boxes.Messages.clear();
        run.Boxes.Answers = {true};
        QVERIFY(window.OpenConfigurationFile(file));
        QCOMPARE(run.Boxes.Messages.size(), 2);
        QCOMPARE(run.Boxes.Messages.last().Kind, QStringLiteral("info"));
        QCOMPARE(run.Boxes.Messages.last().Text,
                 QStringLiteral("This configuration was saved by version 99.0 of the program; this is version %1.\n"
                                "These values were left out: harmonicFilter, contracts")
                     .arg(ProgramVersion()));
        QCOMPARE(RequestParameters.LoadPower, 7000);
        QVERIFY(!window.ConfigurationRequest().contains("harmonicFilter"));
    }

    // Cancel to the question about the unsaved configuration keeps what is on show.
    void declinedReplacementKeepsTheConfiguration()
    {
        TWindowWithResults run(false);
        TFrmVarnexCfgMain &window = *run.Window;
        const QString shown = ShownTables(window);
        const QString file = run.Home.Path() + QStringLiteral("/other.vxcfg");
        WriteBytes(file, R"({"programVersion": "1.0", "loadPower": "7000", "sizeLine": 1})");
        run.Boxes.SaveAnswers = {TSaveAnswer::Cancel};
        QVERIFY(!window.OpenConfigurationFile(file));
        QCOMPARE(run.Boxes.Messages.last().Kind, QStringLiteral("save?"));
        QCOMPARE(ShownTables(window), shown);
    }

    // Saving needs a configuration; opening is always there.
    void availability()
    {
        TTempHome home;
        TRecordingMessageService boxes;
        TFrmVarnexCfgMain window(OptionsFor(BuiltProgramPath()));
        QCOMPARE(Child<QAction>(window, "actSaveConfigurationFile")->text(), QStringLiteral("Save configuration &file..."));
        QVERIFY(!Child<QAction>(window, "actSaveConfigurationFile")->isEnabled());
        QVERIFY(Child<QAction>(window, "actOpenConfigurationFile")->isEnabled());
        QCOMPARE(TFrmVarnexCfgMain::ConfigurationArgument({"/debug", "-platform", "/home/a/b.vxcfg"}),
                 QStringLiteral("/home/a/b.vxcfg"));
        QCOMPARE(TFrmVarnexCfgMain::ConfigurationArgument({"/DEBUG"}), QString());
    }
};

QTEST_MAIN(TestConfigurationFiles)
#include "test_configuration_files.moc"
