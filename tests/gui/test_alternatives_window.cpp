// Alternatives in the main window: "Keep as alternative", the comparison tab
// with its columns and commands (remove, move, rename, use as main), the
// configuration file that keeps them and the documents that show them.

#include "ComparisonTab.h"
#include "MainWindowTestSupport.h"
#include "TestSupport.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

const QByteArray kConfiguration = SavedConfiguration(
    R"("loadPower": "10000", "autonomyMinutes": "15", )"
    R"("alternatives": [{"label": "Option A", "autonomyMinutes": "30"},)"
    R"( {"label": "Option B", "modularBatteryCabinet": false}])");

} // namespace

class TestAlternativesWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TWindowWithResults> m_w;

    TFrmVarnexCfgMain &Window() { return *m_w->Window; }
    template <typename T> T *Child(const char *name)
    {
        T *child = Window().findChild<T *>(QLatin1String(name));
        if (child == nullptr)
            qWarning("no child %s", name);
        return child;
    }
    QTableWidget *Grid() { return Child<QTableWidget>("grdComparison"); }

    QStringList Headings()
    {
        QStringList headings;
        for (int c = 0; c < Grid()->columnCount(); ++c)
            headings << Grid()->horizontalHeaderItem(c)->text();
        return headings;
    }
    /// The grid's row with this label (the row's heading), the label first.
    QStringList Row(const QString &label)
    {
        for (int r = 0; r < Grid()->rowCount(); ++r) {
            if (Grid()->verticalHeaderItem(r)->text() != label)
                continue;
            QStringList cells{label};
            for (int c = 0; c < Grid()->columnCount(); ++c)
                cells << Grid()->item(r, c)->text();
            return cells;
        }
        return {};
    }
    QStringList Labels()
    {
        QStringList labels;
        for (const TAlternative &a : RequestAlternatives(Window().ConfigurationRequest()))
            labels << a.Label;
        return labels;
    }
    void Click(const char *button, int alternative)
    {
        Child<TComparisonTab>("tabResultComparison")->SelectAlternative(alternative);
        Child<QPushButton>(button)->click();
    }
    /// The required autonomy the data sheet on show gives.
    QString RequiredOnShow()
    {
        auto *data = Window().DataGrid();
        for (int r = 0; r < data->rowCount(); ++r)
            if (data->item(r, 0)->text().trimmed() == QLatin1String("Required autonomy"))
                return data->item(r, 1)->text().trimmed();
        return {};
    }

private slots:
    void init() { m_w = std::make_unique<TWindowWithResults>(false, QString(), kConfiguration); }
    void cleanup() { m_w.reset(); }

    // The file's alternatives open beside the main configuration, and are saved again as they were.
    void comparisonTabShowsTheFileAlternatives()
    {
        QCOMPARE(Headings(), (QStringList{"Main configuration", "Option A", "Option B"}));
        QCOMPARE(Row("Required autonomy"), (QStringList{"Required autonomy", "15 min", "30 min", "15 min"}));
        const QStringList available = Row("Available autonomy");
        QCOMPARE(available.size(), 4);
        QVERIFY(available[1] != available[2] && available[1] != available[3]);

        // The documents from the window carry the same comparison page.
        const TOfferDocument doc = Window().OfferDocumentForTests();
        QCOMPARE(doc.ComparisonHeading, QStringLiteral("Comparison"));
        QCOMPARE(doc.Comparison.Headings, QStringList{QString()} + Headings());
        QVERIFY(doc.Comparison.Rows.contains(available));

        // Saved and opened again: the same request, alternatives and all.
        const QString file = m_w->Home.Path() + "/again.vxcfg";
        SetSaveFileNameHook([&](const QStringList &, QString &name) {
            name = file;
            return 1;
        });
        Child<QAction>("actSaveConfigurationFile")->trigger();
        SetSaveFileNameHook({});
        const QJsonObject saved = QJsonDocument::fromJson(ReadFileBytes(file)).object();
        QCOMPARE(saved.value("alternatives").toArray().size(), 2);
        const QJsonObject before = Window().ConfigurationRequest();
        m_w->Boxes.Answers << true; // replace the configuration on show
        QVERIFY(Window().OpenConfigurationFile(file));
        QCOMPARE(Window().ConfigurationRequest(), before);
        QCOMPARE(Headings().size(), 3);
    }

    void commandsOfTheComparisonTab()
    {
        // Rename, then move right and left again.
        auto *tab = Child<TComparisonTab>("tabResultComparison");
        tab->AskLabel = [](QString &label) {
            label = QStringLiteral("  Half an hour ");
            return true;
        };
        QVERIFY(!Window().isWindowModified()); // as the file holds it
        Click("btnAlternativeRename", 0);
        QCOMPARE(Labels(), (QStringList{"Half an hour", "Option B"}));
        QVERIFY(Window().isWindowModified()); // the title bar marks the change unsaved
        QCOMPARE(Headings().mid(1), Labels());
        Click("btnAlternativeRight", 0);
        QCOMPARE(Labels(), (QStringList{"Option B", "Half an hour"}));
        QCOMPARE(tab->SelectedAlternative(), 1);
        QCOMPARE(Row("Required autonomy"), (QStringList{"Required autonomy", "15 min", "15 min", "30 min"}));
        Click("btnAlternativeLeft", 1);
        QCOMPARE(Labels(), (QStringList{"Half an hour", "Option B"}));

        // Use as main: the 30 minutes go on show, the 15 minutes take the alternative's place.
        QCOMPARE(RequiredOnShow(), QStringLiteral("15 min"));
        Click("btnAlternativeUseAsMain", 0);
        QCOMPARE(RequiredOnShow(), QStringLiteral("30 min"));
        QCOMPARE(Labels(), (QStringList{"Half an hour", "Option B"}));
        QCOMPARE(Row("Required autonomy"), (QStringList{"Required autonomy", "30 min", "15 min", "15 min"}));
        // Option B still differs from the main only in its cabinet: the autonomy came with the new main.
        const QJsonObject optionB = RequestAlternatives(Window().ConfigurationRequest())[1].Keys;
        QCOMPARE(optionB.value("autonomyMinutes").toString(), QStringLiteral("15"));
        QCOMPARE(optionB.value("modularBatteryCabinet").toBool(true), false);

        // Remove one; keep the configuration on show until the offer is full.
        Click("btnAlternativeRemove", 1);
        QCOMPARE(Labels(), QStringList{"Half an hour"});
        auto *keep = Child<QAction>("actKeepAlternative");
        QVERIFY(keep->isEnabled());
        keep->trigger();
        QCOMPARE(Labels(), (QStringList{"Half an hour", "Option A"}));
        QCOMPARE(Row("Required autonomy").last(), QStringLiteral("30 min"));
        keep->trigger();
        keep->trigger();
        QCOMPARE(Labels(), (QStringList{"Half an hour", "Option A", "Option B", "Option C"}));
        QVERIFY(!keep->isEnabled());
        QVERIFY(!Child<QPushButton>("btnKeepAlternative")->isEnabled());
        // Called however the command is reached, it says why nothing is kept.
        m_w->Boxes.Messages.clear();
        keep->setEnabled(true);
        keep->trigger();
        QCOMPARE(Labels().size(), 4);
        QCOMPARE(m_w->Boxes.Texts(),
                 QStringList{"An offer holds at most 4 alternatives. Please remove one first."});
    }

    // An alternative that cannot be sized: the file is not opened, and says which.
    void badAlternativeKeepsWhatIsOnShow()
    {
        const QJsonObject before = Window().ConfigurationRequest();
        const QString file = m_w->Home.Path() + "/bad.vxcfg";
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(SavedConfiguration(R"("alternatives": [{"label": "Far too long", "autonomyMinutes": "5000"}])"));
        f.close();
        m_w->Boxes.Messages.clear();
        QVERIFY(!Window().OpenConfigurationFile(file));
        QCOMPARE(Window().ConfigurationRequest(), before);
        QCOMPARE(m_w->Boxes.Messages.size(), 1);
        QVERIFY2(m_w->Boxes.Messages[0].Text.contains("The alternative \"Far too long\" cannot be sized"),
                 qPrintable(m_w->Boxes.Messages[0].Text));
    }
};

QTEST_MAIN(TestAlternativesWindow)
#include "test_alternatives_window.moc"
