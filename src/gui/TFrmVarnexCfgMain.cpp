#include "TFrmVarnexCfgMain.h"

#include "DesktopFiles.h"
#include "OfferSettings.h"
#include "ProgramFonts.h"
#include "NavButton.h"

#include "IniFile.h"
#include "Lang.h"
#include "LayoutGeometry.h"
#include "LayoutPaintBox.h"
#include "Messages.h"
#include "PriceList.h"
#include "ResultExports.h"
#include "RequestReplay.h"
#include "ResultGrids.h"
#include "ComparisonTab.h"
#include "RuntimeTab.h"
#include "Settings.h"
#include "Startup.h"
#include "TFrmAbout.h"
#include "TFrmSetup.h"
#include "TFrmWizard.h"
#include "FirstPaint.h"
#include "UpdateRunner.h"
#include "Version.h"
#include "TextUtils.h"
#include "Vendor.h"
#include "VendorBitmap.h"
#include "WindowServices.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

namespace {

const char *const kDebugSuffix = "   [ DEBUG MODE ]";

const QColor kGradientTop(133, 176, 248);
const QColor kTitleBand(18, 48, 120);
const QColor kDisabledCaption(128, 128, 128);
const QColor kTotalPriceBack(236, 233, 216);

/// A panel filled top to bottom from light blue to white, as the command
/// column and both notebook pages are.
class TGradientPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0.0, kGradientTop);
        gradient.setColorAt(1.0, Qt::white);
        painter.fillRect(rect(), gradient);
    }
};

void ConfigureGrid(QTableWidget *grid)
{
    grid->setFont(ProgramPixelFont(12));
    grid->horizontalHeader()->setFont(ProgramPixelFont(13));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(22);
    MakeColumnsResizable(grid);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
}

void SetColumnTitle(QTableWidget *grid, int column, const QString &text,
                    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    grid->setHorizontalHeaderItem(column, item);
}

/// The link entries of the about dialog and of the product logo, by the
/// active language file's name.
void LinkIdsOf(const QString &languageFile, int32_t &webAddressId, int32_t &productLinkId)
{
    static const struct {
        const char *File;
        int32_t Web;
        int32_t Product;
    } kLinks[] = {
        {"Italian.lng", 110, 300},
        {"English.lng", 120, 301},
        {"Deutsch.lng", 130, 302},
        {"Spanish.lng", 140, 303},
    };
    for (const auto &link : kLinks) {
        if (languageFile == QLatin1String(link.File)) {
            webAddressId = link.Web;
            productLinkId = link.Product;
            return;
        }
    }
    webAddressId = -1;
    productLinkId = -1;
}


} // namespace

TFrmVarnexCfgMain::TFrmVarnexCfgMain(const TStartupOptions &options, QWidget *parent) : QWidget(parent)
{
    BuildWindow();
    Startup(options);
}

TFrmVarnexCfgMain::~TFrmVarnexCfgMain() = default;

TMainPage TFrmVarnexCfgMain::CurrentPage() const { return TMainPage(MainNotebook->currentIndex()); }

// ---------------------------------------------------------------------------
// Window

void TFrmVarnexCfgMain::BuildWindow()
{
    setObjectName(QStringLiteral("FrmVarnexCfgMain"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(833, 566);
    setWindowIcon(ProgramIcon());
    setFont(ProgramFont(8, false));
    QPalette back = palette();
    back.setColor(QPalette::Window, Qt::white);
    setPalette(back);
    setAutoFillBackground(true);

    auto makeAction = [this](const char *name, void (TFrmVarnexCfgMain::*handler)(), const QKeySequence &keys = {}) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        addAction(action); // its shortcut works anywhere in the window
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // The six commands' shortcuts; Ctrl+S and Ctrl+O are the configuration files'.
    actNewConfiguration = makeAction("actNewConfiguration", &TFrmVarnexCfgMain::actNewConfigurationExecute,
                                     QKeySequence(Qt::CTRL | Qt::Key_N));
    actEditAutonomy = makeAction("actEditAutonomy", &TFrmVarnexCfgMain::actEditAutonomyExecute,
                                 QKeySequence(Qt::CTRL | Qt::Key_E));
    actSaveConfiguration = makeAction("actSaveConfiguration", &TFrmVarnexCfgMain::actSaveConfigurationExecute,
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    actPrintConfiguration = makeAction("actPrintConfiguration", &TFrmVarnexCfgMain::actPrintConfigurationExecute,
                                       QKeySequence(Qt::CTRL | Qt::Key_P));
    actSetup = makeAction("actSetup", &TFrmVarnexCfgMain::actSetupExecute, QKeySequence(Qt::CTRL | Qt::Key_Comma));
    actInfoProgram = makeAction("actInfoProgram", &TFrmVarnexCfgMain::actInfoProgramExecute, QKeySequence(Qt::Key_F1));
    actLayoutCopyToClipBoard =
        makeAction("actLayoutCopyToClipBoard", &TFrmVarnexCfgMain::actLayoutCopyToClipBoardExecute);
    actLayoutSaveToFile = makeAction("actLayoutSaveToFile", &TFrmVarnexCfgMain::actLayoutSaveToFileExecute);
    actTableCopyToClipboard =
        makeAction("actTableCopyToClipboard", &TFrmVarnexCfgMain::actTableCopyToClipboardExecute);
    actSaveConfigurationFile = makeAction("actSaveConfigurationFile",
                                          &TFrmVarnexCfgMain::actSaveConfigurationFileExecute,
                                          QKeySequence(Qt::CTRL | Qt::Key_S));
    actOpenConfigurationFile = makeAction("actOpenConfigurationFile",
                                          &TFrmVarnexCfgMain::actOpenConfigurationFileExecute,
                                          QKeySequence(Qt::CTRL | Qt::Key_O));
    actOfferDetails = makeAction("actOfferDetails", &TFrmVarnexCfgMain::actOfferDetailsExecute,
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    actSaveBillOfMaterials = makeAction("actSaveBillOfMaterials", &TFrmVarnexCfgMain::actSaveBillOfMaterialsExecute);
    actKeepAlternative = makeAction("actKeepAlternative", &TFrmVarnexCfgMain::actKeepAlternativeExecute,
                                    QKeySequence(Qt::CTRL | Qt::Key_K));

    pnlMainTitle = new QLabel(this);
    pnlMainTitle->setObjectName(QStringLiteral("pnlMainTitle"));
    pnlMainTitle->setGeometry(0, 0, 833, 61);
    pnlMainTitle->setAutoFillBackground(true);
    QPalette titlePalette = pnlMainTitle->palette();
    titlePalette.setColor(QPalette::Window, kTitleBand);
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    pnlMainTitle->setPalette(titlePalette);
    QFont titleFont = ProgramSansFont();
    titleFont.setPixelSize(27);
    titleFont.setBold(true);
    pnlMainTitle->setFont(titleFont);
    pnlMainTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    pnlComandi = new TGradientPanel(this);
    pnlComandi->setObjectName(QStringLiteral("pnlComandi"));
    pnlComandi->setGeometry(0, 61, 204, 505);
    BuildCommandColumn(pnlComandi);

    MainNotebook = new QStackedWidget(this);
    MainNotebook->setObjectName(QStringLiteral("MainNotebook"));
    MainNotebook->setGeometry(204, 61, 629, 505);
    auto *welcome = new TGradientPanel(MainNotebook);
    welcome->setObjectName(QStringLiteral("Welcome"));
    auto *results = new TGradientPanel(MainNotebook);
    results->setObjectName(QStringLiteral("Results"));
    MainNotebook->addWidget(welcome);
    MainNotebook->addWidget(results);
    BuildWelcomePage(welcome);
    // The results page is built once the window is up (EnsureResultsPage): its
    // tables and tabs are a sixth of the start's work, and nothing shows them before.
    m_resultsPage = results;
    BuildPopupMenus();

    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QPushButton *TFrmVarnexCfgMain::AddCommandButton(QWidget *parent, const QString &name, int y, QAction *action)
{
    auto *button = new TNavButton(parent);
    button->setObjectName(name);
    button->setGeometry(9, y, 182, 46);
    button->setFont(ProgramFont(10, true));
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    auto sync = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setToolTip(WithoutMnemonic(action->text()).trimmed() + QStringLiteral("  (") +
                           action->shortcut().toString(QKeySequence::NativeText) + u')');
    };
    connect(action, &QAction::changed, button, sync);
    sync();
    return button;
}

void TFrmVarnexCfgMain::BuildCommandColumn(QWidget *parent)
{
    btnNewConfiguration = AddCommandButton(parent, QStringLiteral("btnNewConfiguration"), 20, actNewConfiguration);
    btnEditAutonomy = AddCommandButton(parent, QStringLiteral("btnEditAutonomy"), 76, actEditAutonomy);
    btnSaveConfiguration =
        AddCommandButton(parent, QStringLiteral("btnSaveConfiguration"), 144, actSaveConfiguration);
    btnPrintConfiguration =
        AddCommandButton(parent, QStringLiteral("btnPrintConfiguration"), 200, actPrintConfiguration);
    btnSetup = AddCommandButton(parent, QStringLiteral("btnSetup"), 268, actSetup);
    btnInfo = AddCommandButton(parent, QStringLiteral("btnInfo"), 336, actInfoProgram);
    for (QPushButton *button : {btnNewConfiguration, btnEditAutonomy, btnSaveConfiguration, btnPrintConfiguration,
                                btnSetup, btnInfo})
        SetNavButtonEnabled(button, true);

    imgLogoProduct = new TPictureLabel(parent);
    imgLogoProduct->setObjectName(QStringLiteral("imgLogoProduct"));
    imgLogoProduct->setGeometry(20, 428, 159, 58);
    imgLogoProduct->setAlignment(Qt::AlignCenter);
    imgLogoProduct->setCursor(Qt::PointingHandCursor);
    imgLogoProduct->installEventFilter(this);
}

void TFrmVarnexCfgMain::BuildWelcomePage(QWidget *page)
{
    pnlWelcomeFrame = new QFrame(page);
    pnlWelcomeFrame->setObjectName(QStringLiteral("pnlWelcomeFrame"));
    pnlWelcomeFrame->setGeometry(99, 32, 430, 440);
    pnlWelcomeFrame->setFrameShape(QFrame::Box);
    pnlWelcomeFrame->setLineWidth(1);
    QPalette framePalette = pnlWelcomeFrame->palette();
    framePalette.setColor(QPalette::Window, Qt::white);
    framePalette.setColor(QPalette::WindowText, QColor(160, 160, 160));
    pnlWelcomeFrame->setPalette(framePalette);
    pnlWelcomeFrame->setAutoFillBackground(true);

    imgWelcome = new TPictureLabel(pnlWelcomeFrame);
    imgWelcome->setObjectName(QStringLiteral("imgWelcome"));
    imgWelcome->setGeometry(8, 8, 414, 424);
    imgWelcome->setAlignment(Qt::AlignCenter);
    BuildRecentList(page);
}

void TFrmVarnexCfgMain::BuildPopupMenus()
{
    PopupMenuLayout = new QMenu(this);
    PopupMenuLayout->setObjectName(QStringLiteral("PopupMenuLayout"));
    PopupMenuLayout->addAction(actLayoutCopyToClipBoard);
    PopupMenuLayout->addSeparator();
    PopupMenuLayout->addAction(actLayoutSaveToFile);
    PopupMenuLayout->addAction(actKeepAlternative);
    PopupMenuLayout->addSeparator();
    PopupMenuLayout->addAction(actOpenConfigurationFile);
    PopupMenuLayout->addAction(actSaveConfigurationFile);

    PopupMenuTable = new QMenu(this);
    PopupMenuTable->setObjectName(QStringLiteral("PopupMenuTable"));
    PopupMenuTable->addAction(actTableCopyToClipboard);
    PopupMenuTable->addAction(actSaveBillOfMaterials);
    PopupMenuTable->addAction(actOfferDetails);
    PopupMenuTable->addAction(actKeepAlternative);
    PopupMenuTable->addSeparator();
    PopupMenuTable->addAction(actOpenConfigurationFile);
    PopupMenuTable->addAction(actSaveConfigurationFile);
}

void TFrmVarnexCfgMain::EnsureResultsPage()
{
    if (pageControlResult != nullptr)
        return;
    BuildResultsPage(m_resultsPage);
    ApplyPriceColumns();
    ApplyResultsPageTexts();
}

void TFrmVarnexCfgMain::BuildResultsPage(QWidget *page)
{
    pageControlResult = new QTabWidget(page);
    pageControlResult->setObjectName(QStringLiteral("pageControlResult"));
    pageControlResult->setGeometry(8, 17, 613, 471);
    pageControlResult->tabBar()->setFont(ProgramFont(10, true));
    // Above the tabs, on the right: whom the offer is for and its reference.
    lblOfferCaption = new QLabel(page);
    lblOfferCaption->setObjectName(QStringLiteral("lblOfferCaption"));
    lblOfferCaption->setGeometry(8, 0, 613, 17);
    lblOfferCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblOfferCaption->setTextFormat(Qt::PlainText);
    lblOfferCaption->setFont(ProgramFont(8, true));
    lblOfferCaption->hide();

    BuildLayoutTab();
    BuildItemsTab();
    BuildDataTab();
    for (QTableWidget *grid : {grdItems, grdData}) {
        connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint &pos) {
            m_popupGrid = grid;
            PopupMenuTable->popup(grid->viewport()->mapToGlobal(pos));
        });
    }

    pageControlResult->addTab(tabResultLayout, QString());
    pageControlResult->addTab(tabResultItems, QString());
    pageControlResult->addTab(tabResultData, QString());
    tabResultRuntime = new TRuntimeTab;
    // The runtime inputs belong to the configuration: saved with it, kept when the autonomy is edited.
    tabResultRuntime->EnvironmentChanged = [this](const TBatteryEnvironment &env) {
        RecordBatteryEnvironment(m_configurationRequest, env);
        UpdateWindowTitle();
    };
    pageControlResult->addTab(tabResultRuntime, QString());
    BuildComparisonTab();
}

void TFrmVarnexCfgMain::BuildLayoutTab()
{
    tabResultLayout = new QWidget;
    tabResultLayout->setObjectName(QStringLiteral("tabResultLayout"));
    tabResultLayout->setAutoFillBackground(true);
    QPalette white = tabResultLayout->palette();
    white.setColor(QPalette::Window, Qt::white);
    tabResultLayout->setPalette(white);
    auto *layoutBox = new QVBoxLayout(tabResultLayout);
    layoutBox->setContentsMargins(0, 0, 0, 0);
    paintGlobalLayout = new TLayoutPaintBox(tabResultLayout);
    paintGlobalLayout->setObjectName(QStringLiteral("paintGlobalLayout"));
    paintGlobalLayout->setContextMenuPolicy(Qt::CustomContextMenu);
    layoutBox->addWidget(paintGlobalLayout);

    connect(paintGlobalLayout, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenuLayout->popup(paintGlobalLayout->mapToGlobal(pos)); });
}

void TFrmVarnexCfgMain::BuildItemsTab()
{
    tabResultItems = new QWidget;
    tabResultItems->setObjectName(QStringLiteral("tabResultItems"));
    auto *itemsBox = new QVBoxLayout(tabResultItems);
    itemsBox->setContentsMargins(0, 0, 0, 0);
    itemsBox->setSpacing(0);
    grdItems = new QTableWidget(tabResultItems);
    grdItems->setObjectName(QStringLiteral("grdItems"));
    ConfigureGrid(grdItems);
    InstallItemGridPainter(grdItems);
    itemsBox->addWidget(grdItems);

    pnlPriceList = new QWidget(tabResultItems);
    pnlPriceList->setObjectName(QStringLiteral("pnlPriceList"));
    // 52 pixels high; the line naming unpriced items makes it taller when shown.
    pnlPriceList->setMinimumHeight(52);
    pnlPriceList->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *priceGrid = new QGridLayout(pnlPriceList);
    priceGrid->setContentsMargins(6, 4, 6, 4);
    lblPriceListCountry = new QLabel(pnlPriceList);
    lblPriceListCountry->setObjectName(QStringLiteral("lblPriceListCountry"));
    lblPriceListDate = new QLabel(pnlPriceList);
    lblPriceListDate->setObjectName(QStringLiteral("lblPriceListDate"));
    lblTxtTotalPrice = new QLabel(pnlPriceList);
    lblTxtTotalPrice->setObjectName(QStringLiteral("lblTxtTotalPrice"));
    lblTxtTotalPrice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTotalPrice = new QLabel(pnlPriceList);
    lblTotalPrice->setObjectName(QStringLiteral("lblTotalPrice"));
    lblTotalPrice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTotalPrice->setFrameShape(QFrame::Box);
    lblTotalPrice->setMinimumWidth(110);
    lblTotalPrice->setFont(ProgramFont(8, true));
    lblTotalPrice->setAutoFillBackground(true);
    QPalette totalPalette = lblTotalPrice->palette();
    totalPalette.setColor(QPalette::Window, kTotalPriceBack);
    lblTotalPrice->setPalette(totalPalette);
    lblUnpricedItems = new QLabel(pnlPriceList);
    lblUnpricedItems->setObjectName(QStringLiteral("lblUnpricedItems"));
    lblUnpricedItems->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblUnpricedItems->setWordWrap(true);
    lblUnpricedItems->hide();
    priceGrid->addWidget(lblPriceListCountry, 0, 0);
    priceGrid->addWidget(lblPriceListDate, 1, 0);
    priceGrid->addWidget(lblTxtTotalPrice, 0, 1);
    priceGrid->addWidget(lblTotalPrice, 0, 2);
    priceGrid->addWidget(lblUnpricedItems, 2, 0, 1, 3);
    lblOfferFigures = new QLabel(pnlPriceList);
    lblOfferFigures->setObjectName(QStringLiteral("lblOfferFigures"));
    lblOfferFigures->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblOfferFigures->hide();
    priceGrid->addWidget(lblOfferFigures, 3, 0, 1, 3);
    priceGrid->setColumnStretch(0, 1);
    for (QLabel *label :
         {lblPriceListCountry, lblPriceListDate, lblTxtTotalPrice, lblTotalPrice, lblUnpricedItems, lblOfferFigures})
        label->setTextFormat(Qt::PlainText);
    itemsBox->addWidget(pnlPriceList);
}

void TFrmVarnexCfgMain::BuildDataTab()
{
    tabResultData = new QWidget;
    tabResultData->setObjectName(QStringLiteral("tabResultData"));
    auto *dataBox = new QVBoxLayout(tabResultData);
    dataBox->setContentsMargins(0, 0, 0, 0);
    grdData = new QTableWidget(tabResultData);
    grdData->setObjectName(QStringLiteral("grdData"));
    ConfigureGrid(grdData);
    grdData->setColumnCount(2);
    grdData->setColumnWidth(0, 390);
    grdData->setColumnWidth(1, 210);
    InstallDataSheetPainter(grdData);
    dataBox->addWidget(grdData);
}

// ---------------------------------------------------------------------------
// Start-up

void TFrmVarnexCfgMain::Startup(const TStartupOptions &options)
{
    TStartupInput input;
    input.ProgramFileName =
        options.ProgramFileName.isEmpty() ? QCoreApplication::applicationFilePath() : options.ProgramFileName;
    input.Arguments = options.Arguments ? *options.Arguments : QCoreApplication::arguments().mid(1);

    ScaleFormToScreen(this);
    m_updateCheckUrl = options.UpdateCheckUrl;
    m_updateCheckTimeLimitMs = options.UpdateCheckTimeLimitMs;
    const TStartupFindings found = RunStartup(input);
    for (const QString &error : found.Errors)
        ShowError(error);
    m_startupResult = found.Result;
    if (found.Result == TStartupResult::EndProcess)
        return;
    m_startConfiguration = ConfigurationArgument(input.Arguments);
    m_standardUpsList = found.StandardUpsList;
    SetPriceColumns(found.PriceListLoaded);
    ApplyLanguageTexts();
    ApplyBranding();
    BuildDrawingTables();
    MainNotebook->setCurrentIndex(int(TMainPage::Welcome));
    SetResultActionsEnabled(false);
    AtFirstIdleAfterPaint(this, [this] { OnFirstIdle(); });
    m_hasConfiguration = false;
}

void TFrmVarnexCfgMain::OnFirstIdle()
{
    // A start-up that asked to end leaves before any idle work.
    if (m_firstIdleDone || m_startupResult != TStartupResult::Running)
        return;
    m_firstIdleDone = true;
    // The start-up benchmark times the program up to here.
    if (!qEnvironmentVariableIsEmpty("VARNEX_QUIT_AT_FIRST_IDLE")) {
        ReportFirstIdle();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    EnsureResultsPage();
    WarnInvalidPriceList();
    if (!m_startConfiguration.isEmpty())
        OpenConfigurationFile(m_startConfiguration);
    if (SetupData.CheckUpdates) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CheckForUpdates();
        QApplication::restoreOverrideCursor();
    }
}

void TFrmVarnexCfgMain::LoadPriceList()
{
    SetPriceColumns(::LoadPriceList());
}

void TFrmVarnexCfgMain::WarnInvalidPriceList()
{
    ::WarnInvalidPriceList();
}

void TFrmVarnexCfgMain::PriceListTurnedNotValid()
{
    // As a list that did not open: no price column, no panel, and the warning once,
    // when the results are on show.
    SetPriceColumns(false);
    ApplyPricePanelTexts(PricePanel());
    QTimer::singleShot(0, this, &TFrmVarnexCfgMain::WarnInvalidPriceList);
}

void TFrmVarnexCfgMain::CheckForUpdates()
{
    TUpdateEnvironment env = UpdateEnvironment();
    env.ReloadPriceList = [this] {
        LoadPriceList();
        ApplyLanguageTexts();
        if (CurrentPage() == TMainPage::Results)
            FillItemList();
    };
    // No other command while the check and its downloads run, by button or shortcut
    // (the window goes on handling events meanwhile); the progress dialog stays usable.
    pnlComandi->setEnabled(false);
    MainNotebook->setEnabled(false);
    QList<QPair<QAction *, bool>> commands;
    for (QAction *action : actions()) {
        commands.append({action, action->isEnabled()});
        action->setEnabled(false);
    }
    m_updateRunning = true;
    RunUpdateCheckWithProgress(env, this, [this] { return m_closeWanted; });
    m_updateRunning = false;
    for (const auto &[action, enabled] : std::as_const(commands))
        action->setEnabled(enabled);
    pnlComandi->setEnabled(true);
    MainNotebook->setEnabled(true);
    // A close asked for meanwhile stopped the download; now the window can go.
    if (m_closeWanted)
        QTimer::singleShot(0, this, &QWidget::close);
}

TUpdateEnvironment TFrmVarnexCfgMain::UpdateEnvironment() const
{
    TUpdateEnvironment env;
    env.CheckUrl = m_updateCheckUrl.isEmpty() ? UpdateCheckUrl() : m_updateCheckUrl;
    if (m_updateCheckTimeLimitMs > 0)
        env.CheckTimeLimitMs = m_updateCheckTimeLimitMs;
    env.TempPath = SetupData.TempPath;
    env.DataPath = SetupData.DataPath;
    env.ProgramPath = SetupData.ProgramPath;
    env.VendorName = SetupData.VendorName;
    env.LanguageID = SetupData.LanguageID;
    env.Version = SetupData.Version;
    env.StartProgram = m_startProgram;
    return env;
}

// ---------------------------------------------------------------------------
// Texts and branding

void TFrmVarnexCfgMain::ApplyLanguageTexts()
{
    const QString space = QStringLiteral(" ");
    actNewConfiguration->setText(space + LangMain(QStringLiteral("ButtonNewConfiguration")));
    actEditAutonomy->setText(space + LangMain(QStringLiteral("ButtonEditAutonomy")));
    actSaveConfiguration->setText(space + LangMain(QStringLiteral("ButtonSaveConfiguration")));
    actPrintConfiguration->setText(space + LangMain(QStringLiteral("ButtonPrintConfiguration")));
    actInfoProgram->setText(space + LangMain(QStringLiteral("ButtonInfoProgram")));
    actSetup->setText(space + LangMain(QStringLiteral("ButtonSetup")));

    actLayoutCopyToClipBoard->setText(LangMain(QStringLiteral("ResultsLayoutCopy")));
    actLayoutSaveToFile->setText(LangMain(QStringLiteral("ResultsLayoutSaveToFile")));
    actTableCopyToClipboard->setText(LangMain(QStringLiteral("ResultsLayoutCopy")));
    actOpenConfigurationFile->setText(LangMain(QStringLiteral("ResultsConfigurationOpen")));
    actSaveConfigurationFile->setText(LangMain(QStringLiteral("ResultsConfigurationSave")));
    actOfferDetails->setText(LangMain(QStringLiteral("ResultsOfferDetails")));
    actSaveBillOfMaterials->setText(LangMain(QStringLiteral("ResultsItemsSave")));
    FillRecentList();
    actKeepAlternative->setText(LangMain(QStringLiteral("ButtonKeepAlternative")));
    if (pageControlResult != nullptr)
        ApplyResultsPageTexts();
}

void TFrmVarnexCfgMain::ApplyItemColumnTitles()
{
    const QString space = QStringLiteral(" ");
    SetColumnTitle(grdItems, 0, LangCommons(QStringLiteral("ItemsTableProductCode")));
    SetColumnTitle(grdItems, 1, LangCommons(QStringLiteral("ItemsTableDescription")));
    SetColumnTitle(grdItems, 2, LangCommons(QStringLiteral("ItemsTableQuantity")), Qt::AlignCenter);
    if (SetupData.ShowPrices && grdItems->columnCount() > 3)
        SetColumnTitle(grdItems, 3, LangCommons(QStringLiteral("ItemsTablePrice")) + space,
                       Qt::AlignRight | Qt::AlignVCenter);
    if (SetupData.ShowPrices && grdItems->columnCount() > 4)
        SetColumnTitle(grdItems, 4, LangCommons(QStringLiteral("ItemsTableLineTotal")) + space,
                       Qt::AlignRight | Qt::AlignVCenter);
}

void TFrmVarnexCfgMain::ApplyResultsPageTexts()
{
    pageControlResult->setTabText(pageControlResult->indexOf(tabResultLayout),
                                  LangMain(QStringLiteral("ResultsLayoutTabTitle")));
    pageControlResult->setTabText(pageControlResult->indexOf(tabResultItems),
                                  LangMain(QStringLiteral("ResultsItemsTabTitle")));
    pageControlResult->setTabText(pageControlResult->indexOf(tabResultData),
                                  LangMain(QStringLiteral("ResultsDataTabTitle")));
    pageControlResult->setTabText(pageControlResult->indexOf(tabResultRuntime),
                                  LangMain(QStringLiteral("ResultsRuntimeTabTitle")));
    pageControlResult->setTabText(pageControlResult->indexOf(tabResultComparison),
                                  LangMain(QStringLiteral("ResultsComparisonTabTitle")));

    ApplyItemColumnTitles();

    // The price list's country, date and currency lines are empty while no
    // price list is open.
    ApplyPricePanelTexts(PricePanel());

    SetColumnTitle(grdData, 0, LangMain(QStringLiteral("ResultsDataTableParameter")));
    SetColumnTitle(grdData, 1, LangMain(QStringLiteral("ResultsDataTableValue")));
}

void TFrmVarnexCfgMain::ApplyBranding()
{
    QString productName;
    GetVendorText(101, productName);
    SetupData.ProductName = productName;

    const QString title = ProductTitle(SetupData.ProductName);
    SetApplicationTitle(title);

    QString captionStart;
    GetVendorText(103, captionStart);
    QString caption = FormatText(QStringLiteral("%s - %s %s"), {captionStart, title, SetupData.Version});
    if (SetupData.DebugMode)
        caption += QLatin1String(kDebugSuffix);
    m_caption = caption;
    UpdateWindowTitle();

    pnlMainTitle->setText(QStringLiteral(" ") + title);

    // The pictures are decoded when first painted, after the start.
    QByteArray welcome;
    LoadVendorPictureData(QStringLiteral("WelcomeImage"), welcome);
    imgWelcome->SetPictureData(welcome);

    QByteArray logo;
    const bool logoLoaded = LoadVendorPictureData(QStringLiteral("LogoProduct"), logo) ||
                            LoadVendorPictureData(QStringLiteral("LogoVendor"), logo);
    imgLogoProduct->SetPictureData(logo);

    if (logoLoaded) {
        LinkIdsOf(SetupData.LanguageFile, SetupData.WebAddressId, SetupData.ProductLinkId);
        if (SetupData.ProductLinkId == -1) {
            // Once gone, the logo's link stays gone for the rest of the run.
            m_logoClickRemoved = true;
            imgLogoProduct->setCursor(Qt::ArrowCursor);
        }
    }
}

bool TFrmVarnexCfgMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgLogoProduct && event->type() == QEvent::MouseButtonRelease && !m_logoClickRemoved) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && imgLogoProduct->rect().contains(mouse->position().toPoint())) {
            imgLogoProductClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmVarnexCfgMain::imgLogoProductClick()
{
    if (m_logoClickRemoved)
        return;
    QString link;
    if (GetVendorText(SetupData.ProductLinkId, link) && !link.isEmpty())
        OpenWebLink(link);
}

// ---------------------------------------------------------------------------
// Commands and their availability

void TFrmVarnexCfgMain::SetResultActionsEnabled(bool enabled)
{
    actEditAutonomy->setEnabled(enabled);
    actSaveConfiguration->setEnabled(enabled);
    actPrintConfiguration->setEnabled(enabled);
    actSaveConfigurationFile->setEnabled(enabled);
    // The offer's commands act on the results on show only.
    actOfferDetails->setEnabled(enabled);
    actSaveBillOfMaterials->setEnabled(enabled);
    SetNavButtonEnabled(btnEditAutonomy, enabled);
    SetNavButtonEnabled(btnSaveConfiguration, enabled);
    SetNavButtonEnabled(btnPrintConfiguration, enabled);
    UpdateKeepAlternative(enabled);
}

void TFrmVarnexCfgMain::SetNavButtonEnabled(QPushButton *button, bool enabled)
{
    button->setEnabled(enabled);
    QPalette palette = button->palette();
    const QColor colour = enabled ? QColor(Qt::black) : kDisabledCaption;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::ButtonText, colour);
    button->setPalette(palette);
}

void TFrmVarnexCfgMain::SetPriceColumns(bool show)
{
    SetupData.ShowPrices = show;
    if (pageControlResult != nullptr)
        ApplyPriceColumns();
}

void TFrmVarnexCfgMain::ApplyPriceColumns()
{
    const bool show = SetupData.ShowPrices;
    // The line totals belong to an offer: a configuration without offer
    // details keeps the four columns of the price list.
    const int columns = !show ? 3 : CurrentOffer().IsEmpty() ? 4 : 5;
    if (grdItems->columnCount() != columns) {
        static const QList<int> widths[] = {{110, 389, 100}, {100, 323, 80, 95}, {95, 258, 60, 90, 95}};
        grdItems->setColumnCount(columns);
        for (int c = 0; c < columns; ++c)
            grdItems->setColumnWidth(c, widths[columns - 3].at(c));
        ApplyItemColumnTitles();
    }
    pnlPriceList->setVisible(show);
}

void TFrmVarnexCfgMain::actNewConfigurationExecute()
{
    if (!MayReplaceConfiguration())
        return;
    MainNotebook->setCurrentIndex(int(TMainPage::Welcome));
    SetResultActionsEnabled(false);
    m_fileName.clear();
    m_savedRequest = QJsonObject();
    if (RunWizard(TWizardMode::NewConfiguration)) {
        m_hasConfiguration = true;
        AssignNewReference();
        ShowResults();
    } else {
        m_hasConfiguration = false;
        FillRecentList();
    }
    UpdateWindowTitle();
}

void TFrmVarnexCfgMain::actEditAutonomyExecute()
{
    if (RunWizard(TWizardMode::EditAutonomy))
        ShowResults();
}

bool TFrmVarnexCfgMain::RunWizard(TWizardMode mode)
{
    bool finished = false;
    try {
        if (m_wizardRunner) {
            finished = m_wizardRunner(mode);
        } else {
            std::unique_ptr<TFrmWizard> wizard(new TFrmWizard(mode, this));
            finished = wizard->exec() == QDialog::Accepted;
            // Editing the autonomy keeps what the earlier pages were given; the
            // alternatives keep what they gave the pages.
            if (finished)
                m_configurationRequest = RebaseAlternatives(
                    m_configurationRequest, wizard->Core().RecordedRequest(mode == TWizardMode::EditAutonomy
                                                                              ? m_configurationRequest
                                                                              : QJsonObject()));
        }
    } catch (...) {
        finished = false;
    }
    // A wizard that ended without a result must not leave the hourglass behind.
    if (!finished) {
        while (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    }
    return finished;
}

void TFrmVarnexCfgMain::ShowResults()
{
    FillResultTabs();
    pageControlResult->setCurrentWidget(tabResultLayout);
    MainNotebook->setCurrentIndex(int(TMainPage::Results));
    SetResultActionsEnabled(true);
    // The arrow keys then walk the result tabs at once.
    pageControlResult->tabBar()->setFocus(Qt::OtherFocusReason);
    UpdateWindowTitle();
    while (QApplication::overrideCursor() != nullptr)
        QApplication::restoreOverrideCursor();
}

void TFrmVarnexCfgMain::FillResultTabs()
{
    EnsureResultsPage();
    // Every tab is built from one reading of the language file.
    const TIniReadScope oneReading;
    // The drawing first: it settles the inverter's kit positions the weights read.
    paintGlobalLayout->CaptureLayout();
    paintGlobalLayout->update();
    FillItemList();
    FillDataSheet();
    tabResultRuntime->ShowConfiguration(RequestParameters, ResultParameters, ConfigurationEnvironment());
    FillComparison();
}

TBatteryEnvironment TFrmVarnexCfgMain::ConfigurationEnvironment() const
{
    // Checked when the configuration was replayed; defaults for anything else.
    TBatteryEnvironment env;
    TRefusal refusal;
    if (!ReadBatteryEnvironment(TRequestReader(m_configurationRequest), env, refusal))
        env = TBatteryEnvironment();
    return env;
}

void TFrmVarnexCfgMain::FillItemList()
{
    m_items = BuildItemList(RequestParameters, ResultParameters, ProgramItemListContext(m_standardUpsList, SetupData));
    // The list can also have turned unreadable before, while the wizard priced its sizes.
    if (m_items.PriceListFailed || (SetupData.ShowPrices && !m_items.PriceListOpen))
        PriceListTurnedNotValid();
    ApplyPriceColumns();
    FillItemGrid(grdItems, m_items);
    ShowTotalPrice(PricePanel(), m_items);
    ShowOfferFigures();
}

void TFrmVarnexCfgMain::FillDataSheet()
{
    m_sheet = BuildDataSheet(RequestParameters, ResultParameters, ProgramDataSheetContext(SetupData));
    FillDataGrid(grdData, m_sheet);
}

TPricePanel TFrmVarnexCfgMain::PricePanel() const
{
    return {lblPriceListCountry, lblPriceListDate, lblTxtTotalPrice, lblTotalPrice, lblUnpricedItems};
}

void TFrmVarnexCfgMain::actSaveConfigurationExecute()
{
    SaveConfiguration();
}

void TFrmVarnexCfgMain::actPrintConfigurationExecute()
{
    PrintConfiguration();
}

void TFrmVarnexCfgMain::actSetupExecute()
{
    bool checkUpdates = SetupData.CheckUpdates;
    QString languageFile = SetupData.LanguageFile;
    if (RunSetupDialog(checkUpdates, languageFile))
        ApplySetupChanges(checkUpdates, languageFile);
}

void TFrmVarnexCfgMain::ApplySetupChanges(bool checkUpdates, const QString &languageFile)
{
    SetupData.CheckUpdates = checkUpdates;
    WriteCheckUpdates(checkUpdates);
    WriteLanguageFile(languageFile);
    SelectLanguage();
    ApplyLanguageTexts();
    ApplyBranding();
    if (IsHomeMarket())
        RequestParameters.SpecialConfig = false;
    // The drawing's labels follow the new language too: an offer never mixes two.
    if (CurrentPage() == TMainPage::Results)
        FillResultTabs();
}

void TFrmVarnexCfgMain::actInfoProgramExecute()
{
    RunAboutDialog();
}

// The dialogs behind Setup and Information, the documents behind Save and Print.

bool TFrmVarnexCfgMain::RunSetupDialog(bool &checkUpdates, QString &languageFile)
{
    TFrmSetup dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    checkUpdates = dialog.CheckUpdates();
    languageFile = dialog.ChosenLanguageFile();
    return true;
}

void TFrmVarnexCfgMain::RunAboutDialog()
{
    TFrmAbout dialog(this);
    dialog.exec();
}

TOfferDocument TFrmVarnexCfgMain::OfferDocument()
{
    // The documents show the drawing as it is painted now.
    EnsureResultsPage();
    paintGlobalLayout->CaptureLayout();
    TOfferDocument doc =
        BuildOfferDocument(m_items, m_sheet, paintGlobalLayout->LayoutBitmap(), ApplicationTitle(), SetupData.Version);
    AddOfferBlock(doc, m_items, CurrentOffer(), ReadSalesContact(SetupData.IniFileName));
    AddRuntimeBlock(doc, RequestParameters, ResultParameters, tabResultRuntime->Environment());
    AddComparisonBlock(doc, m_comparison);
    return doc;
}

void TFrmVarnexCfgMain::SaveConfiguration()
{
    SaveOfferDocuments();
}

void TFrmVarnexCfgMain::PrintConfiguration()
{
    PrintOfferDocument(OfferDocument(), this);
}

void TFrmVarnexCfgMain::actLayoutCopyToClipBoardExecute()
{
    EnsureResultsPage();
    CopyLayoutToClipboard(paintGlobalLayout->LayoutBitmap());
}

void TFrmVarnexCfgMain::actLayoutSaveToFileExecute()
{
    EnsureResultsPage();
    SaveLayoutToFile(
        [this] {
            paintGlobalLayout->CaptureLayout();
            paintGlobalLayout->update();
            return paintGlobalLayout->LayoutBitmap();
        },
        SuggestedFileName(CurrentOffer()), this);
}

void TFrmVarnexCfgMain::actTableCopyToClipboardExecute()
{
    EnsureResultsPage();
    CopyTableToClipboard(pageControlResult->currentIndex(), m_items, m_sheet);
}

// ---------------------------------------------------------------------------
// Close

void TFrmVarnexCfgMain::closeEvent(QCloseEvent *event)
{
    if (m_updateRunning) {
        m_closeWanted = true;
        event->ignore();
        return;
    }
    // Unsaved changes are saved, discarded or the window stays.
    if (!m_cleanedUp && !ConfirmLosingChanges()) {
        event->ignore();
        return;
    }
    if (!m_cleanedUp)
        CleanUpOnClose();
    event->accept();
}

bool TFrmVarnexCfgMain::ClipboardOwnedByProgram() const
{
    if (m_clipboardOwnerCheck)
        return m_clipboardOwnerCheck();
    if (QApplication::clipboard()->ownsClipboard())
        return true;
    // Without a window system the clipboard lives inside this process only:
    // whatever it holds was put there by this program.
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void TFrmVarnexCfgMain::CleanUpOnClose()
{
    m_cleanedUp = true;
    m_standardUpsList.clear();
    ClearDrawingTables();
    ResultParameters.Accessories.Accessories.clear();
    ResultParameters.Accessories.Contracts.clear();
    if (paintGlobalLayout != nullptr)
        paintGlobalLayout->FreeLayoutBitmap();
    // Another program's content on the clipboard is the user's data: only
    // what this program put there goes with it.
    if (ClipboardOwnedByProgram())
        QApplication::clipboard()->clear();
    UnloadVendorLibrary();
    ClosePriceListDatabase();
}

void TFrmVarnexCfgMain::ClosePriceListDatabase()
{
    if (PriceList.Loaded)
        ::ClosePriceListDatabase();
}
