#pragma once
// The main window: start-up sequence, welcome and results pages, the
// commands and their availability, the hand-over to the wizard and the
// clean-up at close.

#include "PictureLabel.h"
class TRuntimeTab;
class TComparisonTab;
struct THeadlessSession;
#include "DataSheet.h"
#include "Globals.h"
#include "ItemList.h"
#include "OfferDocument.h"
#include "Startup.h"
#include "WizardCore.h"
#include <QJsonObject>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableWidget;
class TLayoutPaintBox;
struct TPricePanel;

/// The main window's two pages, in the order of its page stack.
enum class TMainPage { Welcome = 0, Results = 1 };

/// Where the start-up takes the program file and command line from; the
/// defaults are the running executable and its real command line.
struct TStartupOptions {
    QString ProgramFileName;                // empty: the running executable
    std::optional<QStringList> Arguments;   // without the program name; none: the real command line
    QString UpdateCheckUrl;                 // empty: VARNEX_UPDATE_CHECK_URL, else the built-in address
    int UpdateCheckTimeLimitMs = 0;         // 0: the check's own limit (tests shorten it)
};

class TFrmVarnexCfgMain : public QWidget {
    Q_OBJECT
public:
    /// Runs the start-up (RunStartup) and shows its messages; check StartupResult() afterwards.
    explicit TFrmVarnexCfgMain(const TStartupOptions &options = {}, QWidget *parent = nullptr);
    ~TFrmVarnexCfgMain() override;

    TStartupResult StartupResult() const { return m_startupResult; }
    TMainPage CurrentPage() const;
    bool HasConfiguration() const { return m_hasConfiguration; }
    bool FirstIdleDone() const { return m_firstIdleDone; }
    bool CleanedUp() const { return m_cleanedUp; }
    const TIntegerArray &StandardUpsList() const { return m_standardUpsList; }

    /// The configuration file named on the command line (opened at the first idle moment), or empty.
    static QString ConfigurationArgument(const QStringList &arguments);

    /// Reads and replays a configuration file onto the results page; on any
    /// fault a message, and what is on show stays.
    bool OpenConfigurationFile(const QString &fileName);
    /// The request behind the configuration on show, as a configuration file holds it.
    const QJsonObject &ConfigurationRequest() const { return m_configurationRequest; }
    /// The configuration file on show (opened or saved last), or empty.
    QString ConfigurationFileName() const { return m_fileName; }
    /// A configuration on show whose request differs from the file it came from or was saved to.
    bool ConfigurationModified() const;

    void ApplyLanguageTexts();
    void ApplyBranding();
    void SetResultActionsEnabled(bool enabled);
    void SetNavButtonEnabled(QPushButton *button, bool enabled);
    /// Four columns and the price panel with a price list, else three columns and no panel.
    void SetPriceColumns(bool show);
    /// Builds the results page the first time it is needed (at the latest at the first idle moment).
    void EnsureResultsPage();

    /// Runs the wizard modally; true only when it closed through Finish.
    bool RunWizard(TWizardMode mode);
    /// Replaces the wizard dialog (tests); an empty function restores the real one.
    using TWizardRunner = std::function<bool(TWizardMode)>;
    void SetWizardRunner(TWizardRunner runner) { m_wizardRunner = std::move(runner); }

    void ShowResults();
    /// The drawing, both tables and the runtime tab of the records, in the active language.
    void FillResultTabs();
    void FillItemList();
    /// The runtime inputs the configuration on show holds (defaults when it holds none).
    TBatteryEnvironment ConfigurationEnvironment() const;
    void FillDataSheet();

    /// What the setup dialog's OK changes: update check, language, every text.
    void ApplySetupChanges(bool checkUpdates, const QString &languageFile);

    /// Decides whether the clipboard holds this program's content (tests replace it).
    using TClipboardOwnerCheck = std::function<bool()>;
    void SetClipboardOwnerCheck(TClipboardOwnerCheck check) { m_clipboardOwnerCheck = std::move(check); }

    /// The grid a table popup menu was opened on (grdItems or grdData).
    QTableWidget *PopupGrid() const { return m_popupGrid; }
    TLayoutPaintBox *PaintGlobalLayout()
    {
        EnsureResultsPage();
        return paintGlobalLayout;
    }
    QTableWidget *ItemsGrid()
    {
        EnsureResultsPage();
        return grdItems;
    }
    QTableWidget *DataGrid()
    {
        EnsureResultsPage();
        return grdData;
    }
    /// The address of the update check and the way the updater is started (tests).
    void SetUpdateCheck(const QString &url, std::function<bool(const QString &, const QStringList &)> start)
    {
        m_updateCheckUrl = url;
        m_startProgram = std::move(start);
    }
    void RunUpdateCheck() { CheckForUpdates(); }
    /// The offer document the save and print commands hand out (tests).
    TOfferDocument OfferDocumentForTests() { return OfferDocument(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildWindow();
    void BuildCommandColumn(QWidget *parent);
    void BuildWelcomePage(QWidget *page);
    void BuildResultsPage(QWidget *page);
    void BuildLayoutTab();
    void BuildItemsTab();
    void BuildDataTab();
    void BuildPopupMenus();
    void ApplyResultsPageTexts();
    void ApplyPriceColumns();
    void ApplyItemColumnTitles();
    QPushButton *AddCommandButton(QWidget *parent, const QString &name, int y, QAction *action);
    void Startup(const TStartupOptions &options);

    void OnFirstIdle();
    void CleanUpOnClose();
    TPricePanel PricePanel() const;
    bool ClipboardOwnedByProgram() const;

    // Start-up steps served by other parts of the program.
    void LoadPriceList();
    void WarnInvalidPriceList();
    void PriceListTurnedNotValid();
    void CheckForUpdates();
    void ClosePriceListDatabase();
    struct TUpdateEnvironment UpdateEnvironment() const;

    // Commands.
    void actNewConfigurationExecute();
    void actEditAutonomyExecute();
    void actSaveConfigurationExecute();
    void actPrintConfigurationExecute();
    void actSetupExecute();
    void actInfoProgramExecute();
    void actLayoutCopyToClipBoardExecute();
    void actLayoutSaveToFileExecute();
    void actTableCopyToClipboardExecute();
    void actSaveConfigurationFileExecute();
    void actOpenConfigurationFileExecute();
    // The offer's own commands (OfferCommands.cpp).
    void actOfferDetailsExecute();
    void actSaveBillOfMaterialsExecute();
    /// The offer details of the configuration on show, kept in its request.
    TOfferDetails CurrentOffer() const;
    void SetCurrentOffer(const TOfferDetails &details);
    /// A new configuration's reference from the pattern and counter of the settings.
    void AssignNewReference();
    /// The customer and reference above the tabs, the commercial lines under the total.
    void ShowOfferFigures();
    /// Saves the PDF or Word document, with the next revision of the reference when
    /// documents were saved for it from another configuration (DocumentsReference).
    void SaveOfferDocuments();

    // Files as a desktop user expects them (ConfigurationFiles.cpp).
    void BuildRecentList(QWidget *page);
    void FillRecentList();
    void OpenRecentFile(QListWidgetItem *item);
    void RememberConfigurationFile(const QString &fileName);
    /// The title bar: the file's name (or "Untitled") with the unsaved mark, then the caption.
    void UpdateWindowTitle();
    /// Before the configuration on show is replaced: Save / Discard / Cancel when it
    /// has unsaved changes, else whether to replace it; true to go on.
    bool MayReplaceConfiguration();
    /// Asks Save / Discard / Cancel when unsaved changes would be lost; true to go on.
    bool ConfirmLosingChanges();
    /// The save dialog and the file; true when the configuration was saved.
    bool SaveConfigurationFile();
    // The alternatives of the offer (AlternativeCommands.cpp).
    void actKeepAlternativeExecute();
    void BuildComparisonTab();
    void FillComparison();
    void SetAlternatives(const QVector<TAlternative> &alternatives);
    void UseAlternativeAsMain(int index);
    void UpdateKeepAlternative(bool resultsOnShow);
    /// Why the alternatives of a request cannot be sized, or empty.
    QString AlternativesFault(const QJsonObject &request);
    const THeadlessSession &AlternativeSession();
    void imgLogoProductClick();

    // Dialogs and documents served by other parts of the program.
    bool RunSetupDialog(bool &checkUpdates, QString &languageFile);
    void RunAboutDialog();
    void SaveConfiguration();
    void PrintConfiguration();
    /// The offer document of the configuration on show.
    TOfferDocument OfferDocument();

    TStartupResult m_startupResult = TStartupResult::Running;
    bool m_hasConfiguration = false;
    bool m_firstIdleDone = false;
    bool m_cleanedUp = false;
    bool m_logoClickRemoved = false;
    TIntegerArray m_standardUpsList;
    TWizardRunner m_wizardRunner;
    TClipboardOwnerCheck m_clipboardOwnerCheck;
    QTableWidget *m_popupGrid = nullptr;
    QString m_updateCheckUrl; // empty: VARNEX_UPDATE_CHECK_URL, else the built-in address
    int m_updateCheckTimeLimitMs = 0;
    bool m_updateRunning = false;
    bool m_closeWanted = false;
    std::function<bool(const QString &, const QStringList &)> m_startProgram;
    TItemList m_items;           // the bill of materials on show
    QVector<TDataRow> m_sheet;   // the data sheet on show
    QJsonObject m_configurationRequest; // the request behind it
    QString m_startConfiguration;       // named on the command line
    QWidget *m_resultsPage = nullptr;   // its content built by EnsureResultsPage
    QString m_fileName;                 // the configuration file on show, or empty
    QJsonObject m_savedRequest;         // the request as that file holds it
    QString m_caption;                  // the title bar's text after the file's name
    QLabel *lblOfferCaption = nullptr;  // customer and reference, above the result tabs
    QLabel *lblOfferFigures = nullptr;  // discount, net price and yearly share, under the total
    QWidget *pnlRecentConfigurations = nullptr;
    QListWidget *lstRecentConfigurations = nullptr;
    TComparison m_comparison;           // the main configuration beside its alternatives
    std::shared_ptr<THeadlessSession> m_alternativeSession; // read when first needed
    TComparisonTab *tabResultComparison = nullptr;
    QAction *actKeepAlternative = nullptr;

    // Controls and actions, named as the program knows them; each one's
    // objectName is its member name (tests find them by it).
    QLabel *pnlMainTitle = nullptr;
    QWidget *pnlComandi = nullptr;
    QPushButton *btnNewConfiguration = nullptr;
    QPushButton *btnEditAutonomy = nullptr;
    QPushButton *btnSaveConfiguration = nullptr;
    QPushButton *btnPrintConfiguration = nullptr;
    QPushButton *btnSetup = nullptr;
    QPushButton *btnInfo = nullptr;
    TPictureLabel *imgLogoProduct = nullptr;
    QStackedWidget *MainNotebook = nullptr;
    QFrame *pnlWelcomeFrame = nullptr;
    TPictureLabel *imgWelcome = nullptr;
    QTabWidget *pageControlResult = nullptr;
    QWidget *tabResultLayout = nullptr;
    QWidget *tabResultItems = nullptr;
    TRuntimeTab *tabResultRuntime = nullptr;
    QWidget *tabResultData = nullptr;
    TLayoutPaintBox *paintGlobalLayout = nullptr;
    QTableWidget *grdItems = nullptr;
    QWidget *pnlPriceList = nullptr;
    QLabel *lblPriceListCountry = nullptr;
    QLabel *lblPriceListDate = nullptr;
    QLabel *lblTxtTotalPrice = nullptr;
    QLabel *lblTotalPrice = nullptr;
    QLabel *lblUnpricedItems = nullptr;
    QTableWidget *grdData = nullptr;
    QMenu *PopupMenuLayout = nullptr;
    QMenu *PopupMenuTable = nullptr;

    QAction *actNewConfiguration = nullptr;
    QAction *actEditAutonomy = nullptr;
    QAction *actSaveConfiguration = nullptr;
    QAction *actPrintConfiguration = nullptr;
    QAction *actSetup = nullptr;
    QAction *actInfoProgram = nullptr;
    QAction *actLayoutCopyToClipBoard = nullptr;
    QAction *actLayoutSaveToFile = nullptr;
    QAction *actTableCopyToClipboard = nullptr;
    QAction *actSaveConfigurationFile = nullptr;
    QAction *actOpenConfigurationFile = nullptr;
    QAction *actOfferDetails = nullptr;
    QAction *actSaveBillOfMaterials = nullptr;
};
