#include "TFrmWizard.h"
#include "ProgramFonts.h"

#include "Accessories.h"
#include "AccessoryGrid.h"
#include "Catalogue.h"
#include "CatalogueRecords.h"
#include "Lang.h"
#include "LayoutPainter.h"
#include "Messages.h"
#include "PriceList.h"
#include "RequestKeys.h"
#include "Settings.h"
#include "TextUtils.h"
#include "WindowServices.h"
#include "WizardAdvice.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace {

using K = TRequestKeyId;

// The design is laid out at 96 pixels per inch.
constexpr int kClientWidth = 542;
constexpr int kClientHeight = 367;
constexpr int kLayoutPanelWidth = 154;

const QString kMarginCaption = QStringLiteral("Margine di sicurezza:");
const QString kBatteryTypeCaption = QStringLiteral(" Tipo Batterie ");
const QString kContractsNote =
    QStringLiteral("I Contratti di Manutenzione possono essere utilizzati esclusivamente con UPS installati in Italia");

/// A group caption: one blank before and after the text.
QString Framed(const QString &text)
{
    return QLatin1Char(' ') + text + QLatin1Char(' ');
}
/// An option caption: one blank before the text.
QString Spaced(const QString &text)
{
    return QLatin1Char(' ') + text;
}

template <typename T> T *Make(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

bool DefaultQuantityInput(QWidget *parent, const QString &caption, const QString &prompt, QString &text)
{
    bool ok = false;
    const QString typed = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
    if (ok)
        text = typed;
    return ok;
}

/// Ticks the option a request without the key gets.
void CheckDefault(K key, QRadioButton *whenTrue, QRadioButton *whenFalse)
{
    (RequestKey(key).BoolDefault ? whenTrue : whenFalse)->setChecked(true);
}

/// An edit as a request without the key finds it.
void SetDefaultText(K key, QLineEdit *edit)
{
    edit->setText(RequestKeyDefaultText(key));
}

void FillChoice(QComboBox *combo, const QStringList &lines)
{
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(lines);
    combo->setCurrentIndex(lines.isEmpty() ? -1 : 0);
    combo->setEnabled(lines.size() > 1);
}

} // namespace

// ---------------------------------------------------------------------------
// Preview

TWizardPreview::TWizardPreview(QWidget *parent) : QWidget(parent) {}

void TWizardPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintWizardPreview(painter, size(), m_page, RequestParameters, ResultParameters);
}

// ---------------------------------------------------------------------------
// Window

TFrmWizard::TFrmWizard(TWizardMode mode, QWidget *parent)
    : QDialog(parent), m_core(RequestParameters, ResultParameters,
                              TWizardContext{SetupData.DebugMode, IsHomeMarket(), SetupData.LanguageID}, mode),
      m_quantityInput(DefaultQuantityInput)
{
    setObjectName(QStringLiteral("FrmWizard"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(ProgramFont(8));
    setFixedSize(kClientWidth, kClientHeight);
    ScaleFormToScreen(this);

    BuildWindow();
    SetCaptions();
    PrepareStart();
}

TFrmWizard::~TFrmWizard() = default;

void TFrmWizard::SetQuantityInput(TQuantityInput input)
{
    m_quantityInput = input ? std::move(input) : TQuantityInput(DefaultQuantityInput);
}

void TFrmWizard::BuildWindow()
{
    // Left: the layout panel with the phase labels and the preview.
    pnlLayout = Make<QFrame>(this, "pnlLayout", 0, 0, kLayoutPanelWidth, kClientHeight);
    grpLayout = Make<QGroupBox>(pnlLayout, "grpLayout", 8, 8, 138, 351);
    lblInput = Make<QLabel>(grpLayout, "lblInput", 6, 20, 62, 14);
    lblOutput = Make<QLabel>(grpLayout, "lblOutput", 70, 20, 62, 14);
    lblOutput->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const char *inputNames[3] = {"lblInputL1", "lblInputL2", "lblInputL3"};
    const char *outputNames[3] = {"lblOutputL1", "lblOutputL2", "lblOutputL3"};
    for (int i = 0; i < 3; ++i) {
        lblInputL[i] = Make<QLabel>(grpLayout, inputNames[i], 6, 38 + i * 14, 62, 14);
        lblOutputL[i] = Make<QLabel>(grpLayout, outputNames[i], 70, 38 + i * 14, 62, 14);
        lblOutputL[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    pbxPreview = Make<TWizardPreview>(grpLayout, "pbxPreview", 34, 94, 70, 240);

    // Right: title, pages, commands.
    lblTitle = Make<QLabel>(this, "lblTitle", kLayoutPanelWidth + 8, 8, kClientWidth - kLayoutPanelWidth - 16, 26);
    lblTitle->setFont(ProgramFont(10, true));
    auto *line = Make<QFrame>(this, "bvlTitle", kLayoutPanelWidth + 8, 36, kClientWidth - kLayoutPanelWidth - 16, 2);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    nbkPages = Make<QStackedWidget>(this, "nbkPages", kLayoutPanelWidth, 42, kClientWidth - kLayoutPanelWidth, 282);
    nbkPages->addWidget(BuildPhasesPage());
    nbkPages->addWidget(BuildPowerPage());
    nbkPages->addWidget(BuildRedundancyPage());
    nbkPages->addWidget(BuildAutonomyPage());
    nbkPages->addWidget(BuildAdvancedPage());
    nbkPages->addWidget(BuildAccessoriesPage());
    nbkPages->addWidget(BuildContractsPage());

    auto *bar = Make<QFrame>(this, "bvlCommands", kLayoutPanelWidth + 8, 326, kClientWidth - kLayoutPanelWidth - 16, 2);
    bar->setFrameShape(QFrame::HLine);
    bar->setFrameShadow(QFrame::Sunken);
    btnBack = Make<QPushButton>(this, "btnBack", 290, 334, 75, 25);
    btnNext = Make<QPushButton>(this, "btnNext", 369, 334, 75, 25);
    btnCancel = Make<QPushButton>(this, "btnCancel", 457, 334, 75, 25);
    btnNext->setDefault(true);
    connect(btnNext, &QPushButton::clicked, this, &TFrmWizard::btnNextClick);
    connect(btnBack, &QPushButton::clicked, this, &TFrmWizard::btnBackClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget *TFrmWizard::BuildPhasesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgPhases"));
    grpInput = Make<QGroupBox>(page, "grpInput", 10, 4, 368, 76);
    optInputThree = Make<QRadioButton>(grpInput, "optInputThree", 14, 22, 340, 20);
    optInputSingle = Make<QRadioButton>(grpInput, "optInputSingle", 14, 46, 340, 20);
    CheckDefault(K::InputThreePhase, optInputThree, optInputSingle);

    grpOutput = Make<QGroupBox>(page, "grpOutput", 10, 88, 368, 100);
    optOutputThreeFree = Make<QRadioButton>(grpOutput, "optOutputThreeFree", 14, 22, 340, 20);
    optOutputThreeLock = Make<QRadioButton>(grpOutput, "optOutputThreeLock", 14, 46, 340, 20);
    optOutputSingle = Make<QRadioButton>(grpOutput, "optOutputSingle", 14, 70, 340, 20);
    QRadioButton *outputKinds[] = {optOutputThreeFree, optOutputThreeLock, optOutputSingle};
    outputKinds[RequestKey(K::OutputKind).IntDefault]->setChecked(true);

    connect(optInputThree, &QRadioButton::toggled, this, &TFrmWizard::optInputThreeChange);
    for (QRadioButton *opt : {optOutputThreeFree, optOutputThreeLock, optOutputSingle})
        connect(opt, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                grpOutputChange();
        });
    return page;
}

QWidget *TFrmWizard::BuildPowerPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgPower"));
    grpUpsSize = Make<QGroupBox>(page, "grpUpsSize", 10, 4, 368, 58);
    cmbUpsSize = Make<QComboBox>(grpUpsSize, "cmbUpsSize", 14, 24, 340, 22);

    grpLoadPower = Make<QGroupBox>(page, "grpLoadPower", 10, 70, 368, 58);
    edtLoadPower = Make<QLineEdit>(grpLoadPower, "edtLoadPower", 14, 24, 90, 22);
    SetDefaultText(K::LoadPower, edtLoadPower);
    optVA = Make<QRadioButton>(grpLoadPower, "optVA", 120, 25, 60, 20);
    optW = Make<QRadioButton>(grpLoadPower, "optW", 186, 25, 60, 20);
    optVA->setText(QStringLiteral("VA"));
    optW->setText(QStringLiteral("W"));
    CheckDefault(K::PowerInWatt, optW, optVA);

    pnlMargin = Make<QFrame>(page, "pnlMargin", 10, 136, 368, 30);
    auto *lblMargin = Make<QLabel>(pnlMargin, "lblMargin", 4, 6, 130, 18);
    lblMargin->setText(kMarginCaption);
    edtMargin = Make<QLineEdit>(pnlMargin, "edtMargin", 136, 4, 40, 22);
    edtMargin->setMaxLength(RequestKey(K::MarginPercent).MaxLength);
    SetDefaultText(K::MarginPercent, edtMargin);
    auto *lblMarginPercent = Make<QLabel>(pnlMargin, "lblMarginPercent", 180, 6, 20, 18);
    lblMarginPercent->setText(QStringLiteral("%"));

    connect(cmbUpsSize, qOverload<int>(&QComboBox::currentIndexChanged), this, &TFrmWizard::cmbUpsSizeChange);
    // The sizes' prices follow the load as it is typed.
    connect(edtLoadPower, &QLineEdit::textChanged, this, &TFrmWizard::ShowSizeAdvice);
    connect(edtMargin, &QLineEdit::textChanged, this, &TFrmWizard::ShowSizeAdvice);
    connect(optW, &QRadioButton::toggled, this, &TFrmWizard::ShowSizeAdvice);
    // A line longer than the closed choice can be read whole in its tip.
    connect(cmbUpsSize, &QComboBox::currentTextChanged, cmbUpsSize, &QComboBox::setToolTip);
    return page;
}

QWidget *TFrmWizard::BuildRedundancyPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgRedundancy"));
    nbkRedundancy = Make<QStackedWidget>(page, "nbkRedundancy", 10, 4, 368, 110);

    pgRedundancySystem = new QWidget;
    pgRedundancySystem->setObjectName(QStringLiteral("pgRedundancySystem"));
    cmbRedundancySystem = Make<QComboBox>(pgRedundancySystem, "cmbRedundancySystem", 14, 14, 200, 22);
    connect(cmbRedundancySystem, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TFrmWizard::nbkRedundancyChange);

    pgRedundancyPhase = new QWidget;
    pgRedundancyPhase->setObjectName(QStringLiteral("pgRedundancyPhase"));
    const char *labelNames[3] = {"lblRedundancyL1", "lblRedundancyL2", "lblRedundancyL3"};
    const char *choiceNames[3] = {"cmbRedundancyL1", "cmbRedundancyL2", "cmbRedundancyL3"};
    for (int i = 0; i < 3; ++i) {
        lblRedundancyL[i] = Make<QLabel>(pgRedundancyPhase, labelNames[i], 14, 16 + i * 32, 180, 18);
        cmbRedundancyL[i] = Make<QComboBox>(pgRedundancyPhase, choiceNames[i], 200, 14 + i * 32, 150, 22);
        lblRedundancyL[i]->setBuddy(cmbRedundancyL[i]);
        connect(cmbRedundancyL[i], qOverload<int>(&QComboBox::currentIndexChanged), this,
                &TFrmWizard::nbkRedundancyChange);
    }
    nbkRedundancy->addWidget(pgRedundancySystem);
    nbkRedundancy->addWidget(pgRedundancyPhase);
    lblRedundancyNote = Make<QLabel>(page, "lblRedundancyNote", 24, 120, 340, 150);
    lblRedundancyNote->setWordWrap(true);
    lblRedundancyNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return page;
}

QWidget *TFrmWizard::BuildAutonomyPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgAutonomy"));
    grpAutonomy = Make<QGroupBox>(page, "grpAutonomy", 10, 8, 368, 88);
    optMinutes = Make<QRadioButton>(grpAutonomy, "optMinutes", 14, 26, 170, 20);
    edtMinutes = Make<QLineEdit>(grpAutonomy, "edtMinutes", 34, 47, 50, 21);
    optHours = Make<QRadioButton>(grpAutonomy, "optHours", 190, 26, 170, 20);
    edtHours = Make<QLineEdit>(grpAutonomy, "edtHours", 210, 47, 40, 21);
    lblColon = Make<QLabel>(grpAutonomy, "lblColon", 253, 47, 8, 21);
    lblColon->setText(QStringLiteral(":"));
    lblColon->setAlignment(Qt::AlignCenter);
    edtHoursMinutes = Make<QLineEdit>(grpAutonomy, "edtHoursMinutes", 264, 47, 40, 21);
    CheckDefault(K::AutonomyInMinutes, optMinutes, optHours);

    grpPercent = Make<QGroupBox>(page, "grpPercent", 10, 107, 368, 68);
    edtPercent = Make<QLineEdit>(grpPercent, "edtPercent", 14, 30, 40, 21);
    edtPercent->setMaxLength(RequestKey(K::LoadPercent).MaxLength);
    SetDefaultText(K::LoadPercent, edtPercent);
    lblPercentSign = Make<QLabel>(grpPercent, "lblPercentSign", 58, 30, 14, 21);
    lblPercentSign->setText(QStringLiteral("%"));
    lblPercentDescription = Make<QLabel>(grpPercent, "lblPercentDescription", 80, 22, 278, 38);
    lblPercentDescription->setWordWrap(true);
    lblPercentDescription->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    grpBatteryCabinet = Make<QGroupBox>(page, "grpBatteryCabinet", 10, 183, 368, 72);
    optModular = Make<QRadioButton>(grpBatteryCabinet, "optModular", 14, 22, 340, 20);
    optNotModular = Make<QRadioButton>(grpBatteryCabinet, "optNotModular", 14, 46, 340, 20);
    CheckDefault(K::ModularBatteryCabinet, optModular, optNotModular);

    connect(optMinutes, &QRadioButton::toggled, this, &TFrmWizard::optMinutesChange);
    connect(optModular, &QRadioButton::toggled, this, &TFrmWizard::optModularChange);
    optMinutesChange();
    return page;
}

QWidget *TFrmWizard::BuildAdvancedPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgAdvanced"));
    grpBatteryType = Make<QGroupBox>(page, "grpBatteryType", 10, 4, 368, 58);
    grpBatteryType->setTitle(kBatteryTypeCaption);
    cmbBatteryType = Make<QComboBox>(grpBatteryType, "cmbBatteryType", 14, 24, 250, 22);

    grpSpecialConfig = Make<QGroupBox>(page, "grpSpecialConfig", 10, 70, 368, 100);
    chkSpecialConfig = Make<QCheckBox>(grpSpecialConfig, "chkSpecialConfig", 14, 22, 340, 20);
    optEmptyDrawers = Make<QRadioButton>(grpSpecialConfig, "optEmptyDrawers", 34, 46, 320, 20);
    optOnlyInverter = Make<QRadioButton>(grpSpecialConfig, "optOnlyInverter", 34, 70, 320, 20);
    optEmptyDrawers->setChecked(true);
    connect(chkSpecialConfig, &QCheckBox::toggled, this, &TFrmWizard::chkSpecialConfigChange);
    chkSpecialConfigChange();
    return page;
}

QWidget *TFrmWizard::BuildAccessoriesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgAccessories"));
    grdAccessories = new TAccessoryGrid(true, page);
    grdAccessories->setObjectName(QStringLiteral("grdAccessories"));
    grdAccessories->setGeometry(10, 4, qMin(368, grdAccessories->FittingWidth()), 232);
    lblAccessoriesNote = Make<QLabel>(page, "lblAccessoriesNote", 10, 240, 368, 38);
    lblAccessoriesNote->setWordWrap(true);
    lblAccessoriesNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(grdAccessories, &TAccessoryGrid::EntryClicked, this, &TFrmWizard::grdAccessoriesClick);
    return page;
}

QWidget *TFrmWizard::BuildContractsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("pgContracts"));
    grdContracts = new TAccessoryGrid(false, page);
    grdContracts->setObjectName(QStringLiteral("grdContracts"));
    grdContracts->setGeometry(10, 4, qMin(368, grdContracts->FittingWidth()), 226);
    lblContractsNote = Make<QLabel>(page, "lblContractsNote", 10, 236, 368, 40);
    lblContractsNote->setWordWrap(true);
    lblContractsNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblContractsNote->setText(kContractsNote);
    connect(grdContracts, &TAccessoryGrid::EntryClicked, this, &TFrmWizard::grdContractsClick);
    return page;
}

// ---------------------------------------------------------------------------
// Showing the dialog

void TFrmWizard::SetCaptions()
{
    setWindowTitle(WithoutMnemonic(LangMain(m_core.Mode() == TWizardMode::EditAutonomy
                                                ? QStringLiteral("ButtonEditAutonomy")
                                                : QStringLiteral("ButtonNewConfiguration"))));
    grpLayout->setTitle(Framed(LangWizard(QStringLiteral("PowerLayoutTitle"))));
    lblInput->setText(LangWizard(QStringLiteral("Input")));
    lblOutput->setText(LangWizard(QStringLiteral("Output")));
    btnBack->setText(LangWizard(QStringLiteral("ButtonBack")));
    btnNext->setText(LangWizard(QStringLiteral("ButtonNext")));
    btnCancel->setText(LangCommons(QStringLiteral("ButtonCancel")));

    grpInput->setTitle(Framed(LangWizard(QStringLiteral("Input"))));
    optInputThree->setText(Spaced(LangCommons(QStringLiteral("ThreePhases"))));
    optInputSingle->setText(Spaced(LangCommons(QStringLiteral("SinglePhase"))));
    grpOutput->setTitle(Framed(LangWizard(QStringLiteral("Output"))));
    optOutputThreeFree->setText(Spaced(LangCommons(QStringLiteral("PhasesOutputThreeFree"))));
    optOutputThreeLock->setText(Spaced(LangCommons(QStringLiteral("PhasesOutputThreeLock"))));
    optOutputSingle->setText(Spaced(LangCommons(QStringLiteral("PhasesOutputSingle"))));

    grpLoadPower->setTitle(Framed(LangWizard(QStringLiteral("PagePowerLoadPower"))));
    grpUpsSize->setTitle(Framed(LangWizard(QStringLiteral("PagePowerMaxUpsPower"))));

    const QString phaseFormat = LangWizard(QStringLiteral("PageRedoundanceOutputPhase"));
    const char *phases[3] = {"L1", "L2", "L3"};
    for (int i = 0; i < 3; ++i)
        lblRedundancyL[i]->setText(FormatText(phaseFormat, {QString::fromLatin1(phases[i])}));

    grpAutonomy->setTitle(Framed(LangWizard(QStringLiteral("PageAutonomyAutonomy"))));
    optMinutes->setText(Spaced(LangWizard(QStringLiteral("PageAutonomyMinutesOption"))));
    optHours->setText(Spaced(LangWizard(QStringLiteral("PageAutonomyHoursOption"))));
    grpPercent->setTitle(Framed(LangWizard(QStringLiteral("PageAutonomyPowerPercent"))));
    grpBatteryCabinet->setTitle(Framed(LangWizard(QStringLiteral("PageAutonomyBatteryCabinet"))));
    optModular->setText(Spaced(LangWizard(QStringLiteral("PageAutonomyModular"))));
    optNotModular->setText(Spaced(LangWizard(QStringLiteral("PageAutonomyNotModular"))));

    grpSpecialConfig->setTitle(Framed(LangWizard(QStringLiteral("PageAdvancedSpecialCfg"))));
    chkSpecialConfig->setText(Spaced(LangWizard(QStringLiteral("PageAdvancedEnableSpecialCfg"))));
    optEmptyDrawers->setText(Spaced(LangWizard(QStringLiteral("PageAdvancedEmptyDrawers"))));
    optOnlyInverter->setText(Spaced(LangWizard(QStringLiteral("PageAdvancedOnlyInverter"))));

    grdAccessories->SetHeadings(LangCommons(QStringLiteral("ItemsTableDescription")),
                                LangCommons(QStringLiteral("ItemsTableQuantity")));
}

void TFrmWizard::PrepareStart()
{
    optInputSingle->setVisible(m_core.SinglePhaseInputOffered());
    optOutputSingle->setVisible(m_core.SinglePhaseOutputOffered());

    {
        const QSignalBlocker block(cmbBatteryType);
        cmbBatteryType->clear();
        cmbBatteryType->addItems(m_core.BatteryTypeLines());
        cmbBatteryType->setCurrentIndex(0);
    }

    if (m_core.Mode() == TWizardMode::EditAutonomy) {
        RestoreAutonomyControls();
    } else {
        ResetModuleResult(ResultParameters);
        edtPercent->setText(m_core.DefaultLoadPercentText());
        optInputThreeChange();
        grpOutputChange();
    }

    m_core.FillAccessoryLists();
    ArrangeAutonomyPage(m_core.NonModularCabinetOffered());
    EnterPage(m_core.FirstPage(), false);
}

void TFrmWizard::RestoreAutonomyControls()
{
    const TRequestParameters &q = RequestParameters;
    ShowPhaseLabels(q.InputThreePhase, q.OutputKind != 2);
    lblPercentDescription->setText(m_core.AutonomyPercentDescription());

    (q.AutonomyInMinutes ? optMinutes : optHours)->setChecked(true);
    optMinutesChange();
    int32_t hours = 0, minutes = 0;
    MinutesSplit(q.AutonomyRequired, hours, minutes);
    edtMinutes->setText(QString::number(q.AutonomyRequired));
    edtHours->setText(QString::number(hours));
    edtHoursMinutes->setText(QString::number(minutes));
    edtPercent->setText(QString::number(q.AutonomyLoadPercent));
    (q.ModularBatteryCabinet ? optModular : optNotModular)->setChecked(true);
    // A stored type outside the list falls back to the automatic choice.
    const int line = q.BatteryType + 1;
    cmbBatteryType->setCurrentIndex(line >= 0 && line < cmbBatteryType->count() ? line : 0);
    chkSpecialConfig->setChecked(q.SpecialConfig);
    if (q.OnlyInverter)
        optOnlyInverter->setChecked(true);
    else if (q.EmptyDrawers)
        optEmptyDrawers->setChecked(true);
    chkSpecialConfigChange();
}

void TFrmWizard::ArrangeAutonomyPage(bool compact)
{
    // Compact when the battery cabinet group is shown below, roomy otherwise.
    const int optionTop = compact ? 26 : 30;
    const int editTop = compact ? 47 : 55;
    const int autonomyHeight = compact ? 88 : 109;
    const int percentEditTop = compact ? 30 : 36;
    const int percentTop = compact ? 107 : 140;
    const int percentHeight = compact ? 68 : 85;

    grpBatteryCabinet->setVisible(compact);
    optHours->move(optHours->x(), optionTop);
    optMinutes->move(optMinutes->x(), optionTop);
    edtMinutes->move(edtMinutes->x(), editTop);
    edtHours->move(edtHours->x(), editTop);
    lblColon->move(lblColon->x(), editTop);
    edtHoursMinutes->move(edtHoursMinutes->x(), editTop);
    grpAutonomy->resize(grpAutonomy->width(), autonomyHeight);
    grpPercent->setGeometry(grpPercent->x(), percentTop, grpPercent->width(), percentHeight);
    edtPercent->move(edtPercent->x(), percentEditTop);
    lblPercentSign->move(lblPercentSign->x(), percentEditTop);
    lblPercentDescription->move(lblPercentDescription->x(), percentEditTop - 8);
}

// ---------------------------------------------------------------------------
// Pages

QString TFrmWizard::PageTitle(TWizardPage page) const
{
    switch (page) {
    case TWizardPage::Phases:
        return LangWizard(QStringLiteral("PagePhasesTitle"));
    case TWizardPage::Power:
        return LangWizard(QStringLiteral("PagePowerTitle"));
    case TWizardPage::Redundancy:
        return LangWizard(nbkRedundancy->currentWidget() == pgRedundancyPhase
                              ? QStringLiteral("PagePhaseRedoundanceTitle")
                              : QStringLiteral("PageSystemRedoundanceTitle"));
    case TWizardPage::Autonomy:
        return LangWizard(QStringLiteral("PageAutonomyTitle"));
    case TWizardPage::Advanced:
        return LangWizard(QStringLiteral("PageAdvancedTitle"));
    case TWizardPage::Accessories:
        return LangWizard(QStringLiteral("PageAccessoriesTitle"));
    case TWizardPage::Contracts:
        return LangWizard(QStringLiteral("PageContractsTitle"));
    case TWizardPage::None:
        break;
    }
    return QString();
}

void TFrmWizard::EnterPage(TWizardPage page, bool forward)
{
    if (page < TWizardPage::Phases || page > TWizardPage::Contracts)
        return;
    m_page = page;
    switch (page) {
    case TWizardPage::Power:
        pnlMargin->setVisible(SetupData.DebugMode);
        m_core.EnterPower();
        // The preview follows the size line chosen, before Next.
        m_core.SelectSizeLine(cmbUpsSize->currentIndex(), optW->isChecked());
        break;
    case TWizardPage::Redundancy:
        if (forward)
            InitRedundancyPage();
        break;
    case TWizardPage::Autonomy:
        chkSpecialConfigChange();
        if (forward)
            InitAutonomyPage();
        break;
    case TWizardPage::Advanced:
        if (forward)
            InitAdvancedPage();
        break;
    case TWizardPage::Accessories:
        if (forward)
            FillAccessoriesGrid();
        break;
    case TWizardPage::Contracts:
        if (forward)
            FillContractsGrid();
        break;
    default:
        break;
    }

    lblTitle->setText(PageTitle(page));
    nbkPages->setCurrentIndex(int32_t(page));
    btnNext->setText(
        LangWizard(m_core.IsLastPage(page) ? QStringLiteral("ButtonFinish") : QStringLiteral("ButtonNext")));
    btnBack->setEnabled(m_core.BackEnabled(page));
    FocusFirstEntry(page);
    RepaintPreview();
}

void TFrmWizard::FocusFirstEntry(TWizardPage page)
{
    // The tick grids take Space on their first entry; Enter still means Next.
    TAccessoryGrid *grid = page == TWizardPage::Accessories ? grdAccessories : page == TWizardPage::Contracts ? grdContracts : nullptr;
    if (grid && grid->EntryCount() > 0) {
        grid->setFocus(Qt::OtherFocusReason);
        grid->setCurrentCell(0, 0);
        return;
    }
    // The number the page asks for takes the keys at once; Enter still means Next.
    QLineEdit *entry = page == TWizardPage::Power ? edtLoadPower : page == TWizardPage::Autonomy ? edtMinutes : nullptr;
    if (entry && !entry->isEnabled())
        entry = edtHours;
    if (entry && entry->isEnabled()) {
        entry->setFocus(Qt::OtherFocusReason);
        entry->selectAll();
    }
}

void TFrmWizard::InitRedundancyPage()
{
    m_core.EnterRedundancyForward();
    const QVector<int32_t> counts = m_core.RedundancyLineCounts();
    if (m_core.PerPhaseRedundancy()) {
        for (int i = 0; i < 3; ++i)
            FillChoice(cmbRedundancyL[i], TWizardCore::RedundancyLineTexts(i < counts.size() ? counts.at(i) : 0));
        nbkRedundancy->setCurrentWidget(pgRedundancyPhase);
    } else {
        FillChoice(cmbRedundancySystem, TWizardCore::RedundancyLineTexts(counts.isEmpty() ? 0 : counts.at(0)));
        nbkRedundancy->setCurrentWidget(pgRedundancySystem);
    }
    lblRedundancyNote->setText(
        RedundancyAdvice(m_core.Request(), m_core.Result(), counts, m_core.SizeList(), m_core.OfferedModules()));
}

void TFrmWizard::InitAutonomyPage()
{
    CheckDefault(K::AutonomyInMinutes, optMinutes, optHours);
    SetDefaultText(K::AutonomyMinutes, edtMinutes);
    SetDefaultText(K::AutonomyHours, edtHours);
    SetDefaultText(K::AutonomyHoursMinutes, edtHoursMinutes);
    optMinutesChange();
    lblPercentDescription->setText(m_core.AutonomyPercentDescription());
    CheckDefault(K::ModularBatteryCabinet, optModular, optNotModular);
}

void TFrmWizard::InitAdvancedPage()
{
    const TWizardCore::TAdvancedState state = m_core.AdvancedState();
    if (state.ClearSpecial)
        chkSpecialConfig->setChecked(false);
    chkSpecialConfig->setEnabled(state.SpecialEnabled);
    if (!optEmptyDrawers->isChecked() && !optOnlyInverter->isChecked())
        optEmptyDrawers->setChecked(true);
    chkSpecialConfigChange();
    grpBatteryType->setVisible(state.BatteryGroupVisible);
    grpBatteryType->setEnabled(state.BatteryGroupVisible);
    cmbBatteryType->setEnabled(state.BatteryChoiceEnabled);
}

void TFrmWizard::FillAccessoriesGrid()
{
    const TAccessoriesRecord &list = m_core.AccessoryList();
    QStringList descriptions, quantities;
    for (int i = 0; i < list.Ids.size(); ++i) {
        descriptions << AccessoryText(list.Ids.at(i), int32_t(TFamily::Accessory), true);
        quantities << QString::number(i < list.Quantities.size() ? list.Quantities.at(i) : 1);
    }
    grdAccessories->SetEntries(descriptions, list.Checked, quantities);
    lblAccessoriesNote->clear();
}

void TFrmWizard::FillContractsGrid()
{
    m_core.EnterContractsForward();
    const TAccessoriesRecord &shown = m_core.ShownContracts();
    QStringList descriptions;
    for (int32_t id : shown.Ids)
        descriptions << AccessoryText(id, int32_t(TFamily::Contract), true);
    grdContracts->SetEntries(descriptions, shown.Checked);
}

bool TFrmWizard::Refused(const TPageError &error)
{
    if (error.Ok())
        return false;
    ShowError(FormatText(LangMessages(error.MessageKey), error.Args));
    QLineEdit *edit = nullptr;
    switch (error.Field) {
    case TWizardField::LoadPower:
        edit = edtLoadPower;
        break;
    case TWizardField::Margin:
        edit = edtMargin;
        break;
    case TWizardField::Minutes:
        edit = edtMinutes;
        break;
    case TWizardField::Hours:
        edit = edtHours;
        break;
    case TWizardField::HoursMinutes:
        edit = edtHoursMinutes;
        break;
    case TWizardField::Percent:
        edit = edtPercent;
        break;
    case TWizardField::None:
        break;
    }
    if (edit && edit->isEnabled()) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return true;
}

bool TFrmWizard::StorePage(TWizardPage page)
{
    switch (page) {
    case TWizardPage::Phases: {
        m_core.PhasesNext(optInputThree->isChecked(), OutputKindChosen());
        const QStringList lines = m_core.SizeListTexts();
        const QSignalBlocker block(cmbUpsSize);
        cmbUpsSize->clear();
        cmbUpsSize->addItems(lines);
        cmbUpsSize->setCurrentIndex(m_core.DefaultSizeLine());
        cmbUpsSize->setEnabled(lines.size() > 1);
        ShowSizeAdvice();
        return true;
    }
    case TWizardPage::Power:
        if (Refused(m_core.PowerNext(edtLoadPower->text(), edtMargin->text(), optW->isChecked(),
                                     cmbUpsSize->currentIndex())))
            return false;
        RepaintPreview();
        return true;
    case TWizardPage::Redundancy:
        nbkRedundancyChange();
        return true;
    case TWizardPage::Autonomy:
        return !Refused(m_core.AutonomyNext(optMinutes->isChecked(), edtMinutes->text(), edtHours->text(),
                                            edtHoursMinutes->text(), edtPercent->text(), optModular->isChecked(),
                                            cmbBatteryType->currentIndex()));
    case TWizardPage::Advanced: {
        const bool special = chkSpecialConfig->isChecked();
        return !Refused(m_core.AdvancedNext(special, special && optEmptyDrawers->isChecked(),
                                            special && optOnlyInverter->isChecked(), cmbBatteryType->currentIndex()));
    }
    case TWizardPage::Accessories:
        m_core.AccessoriesNext();
        return true;
    case TWizardPage::Contracts:
        m_core.ContractsNext();
        return true;
    case TWizardPage::None:
        break;
    }
    return false;
}

void TFrmWizard::btnNextClick()
{
    if (!StorePage(m_page))
        return;
    if (m_core.IsLastPage(m_page)) {
        // The battery sizing runs under the hourglass; the main window puts the
        // arrow back once it has shown the results.
        const bool sizing = !OnlyInverterActive(RequestParameters);
        if (sizing)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        const TPageError error = m_core.Finish();
        if (!error.Ok() && sizing)
            QApplication::restoreOverrideCursor();
        if (Refused(error))
            return;
        accept();
        return;
    }
    EnterPage(m_core.NextPage(m_page), true);
}

void TFrmWizard::btnBackClick()
{
    if (!m_core.BackEnabled(m_page))
        return;
    const TWizardPage previous = m_core.PreviousPage(m_page);
    if (previous == TWizardPage::None)
        return;
    EnterPage(previous, false);
}

// ---------------------------------------------------------------------------
// Control events

void TFrmWizard::optInputThreeChange()
{
    ShowPhaseLabels(optInputThree->isChecked(), !optOutputSingle->isChecked());
}

void TFrmWizard::grpOutputChange()
{
    optInputThreeChange();
}

void TFrmWizard::ShowPhaseLabels(bool inputThreePhase, bool outputLines)
{
    const char *phases[3] = {"L1", "L2", "L3"};
    const QString single = LangCommons(QStringLiteral("SinglePhase"));
    for (int i = 0; i < 3; ++i) {
        lblInputL[i]->setText(inputThreePhase ? QString::fromLatin1(phases[i]) : i == 1 ? single : QString());
        lblOutputL[i]->setText(outputLines ? QString::fromLatin1(phases[i]) : i == 1 ? single : QString());
    }
    // Two single-phase texts side by side would read as one phrase: the
    // output's then sits one line lower, still under its heading.
    constexpr int kMinGap = 12;
    const QFontMetrics fm(lblInputL[1]->font());
    const int gap = lblOutputL[1]->geometry().right() - lblInputL[1]->x() - fm.horizontalAdvance(lblInputL[1]->text()) -
                    fm.horizontalAdvance(lblOutputL[1]->text());
    const bool apart = !inputThreePhase && !outputLines && gap < kMinGap;
    lblOutputL[1]->move(lblOutputL[1]->x(), lblOutputL[apart ? 2 : 0]->y() + (apart ? 0 : 14));
}

int32_t TFrmWizard::OutputKindChosen() const
{
    if (optOutputSingle->isChecked())
        return 2;
    if (optOutputThreeLock->isChecked())
        return 1;
    return 0;
}

void TFrmWizard::cmbUpsSizeChange()
{
    if (m_page != TWizardPage::Power)
        return;
    m_core.SelectSizeLine(cmbUpsSize->currentIndex(), optW->isChecked());
    RepaintPreview();
}

void TFrmWizard::ShowSizeAdvice()
{
    // With a price list every size that fits the load shows the price of its
    // cabinet and modules, and the cheapest is marked; the lines keep their order.
    QVector<TSizePrice> prices;
    const TItemListContext context = ProgramItemListContext(QVector<TStandardUpsDefinition>{}, SetupData);
    TLoadEntry load;
    if (context.ShowPrices &&
        ReadLoadEntry(edtLoadPower->text(), edtMargin->text(), SetupData.DebugMode, optW->isChecked(), load))
        prices = PriceSizeList(m_core.SizeList(), m_core.OfferedModules(), m_core.Request(), load, context);
    const QStringList lines = SizeLineTexts(m_core.SizeList(), prices, PriceList.Currency);
    int widest = cmbUpsSize->width();
    const QFontMetrics metrics(cmbUpsSize->view()->font());
    for (int i = 0; i < lines.size() && i < cmbUpsSize->count(); ++i) {
        cmbUpsSize->setItemText(i, lines.at(i));
        widest = qMax(widest, metrics.horizontalAdvance(lines.at(i)) + 24);
    }
    cmbUpsSize->view()->setMinimumWidth(widest);
}

void TFrmWizard::nbkRedundancyChange()
{
    QVector<int32_t> selected;
    if (m_core.PerPhaseRedundancy()) {
        for (QComboBox *combo : cmbRedundancyL)
            selected << qMax(0, combo->currentIndex());
    } else {
        selected << qMax(0, cmbRedundancySystem->currentIndex());
    }
    m_core.ApplyRedundancy(selected);
    RepaintPreview();
}

void TFrmWizard::optMinutesChange()
{
    const bool minutes = optMinutes->isChecked();
    edtMinutes->setEnabled(minutes);
    edtHours->setEnabled(!minutes);
    lblColon->setEnabled(!minutes);
    edtHoursMinutes->setEnabled(!minutes);
}

void TFrmWizard::optModularChange()
{
    // Another cabinet kind than the stored one starts the battery type afresh.
    if (optModular->isChecked() != RequestParameters.ModularBatteryCabinet)
        cmbBatteryType->setCurrentIndex(0);
}

void TFrmWizard::chkSpecialConfigChange()
{
    const bool on = chkSpecialConfig->isChecked();
    optEmptyDrawers->setEnabled(on);
    optOnlyInverter->setEnabled(on);
}

void TFrmWizard::grdAccessoriesClick(int entry)
{
    TAccessoriesRecord &list = m_core.AccessoryList();
    if (entry < 0 || entry >= list.Ids.size())
        return;
    const QVector<bool> before = list.Checked;
    const bool askQuantity = m_core.ToggleEntry(list, entry);
    grdAccessories->SetChecked(list.Checked);
    lblAccessoriesNote->setText(ExclusionNote(before, list, entry));
    if (askQuantity)
        AskQuantity(entry);
}

void TFrmWizard::grdContractsClick(int entry)
{
    TAccessoriesRecord &list = m_core.ShownContracts();
    if (entry < 0 || entry >= list.Ids.size())
        return;
    m_core.ToggleEntry(list, entry);
    grdContracts->SetChecked(list.Checked);
}

void TFrmWizard::AskQuantity(int entry)
{
    TAccessoriesRecord &list = m_core.AccessoryList();
    const QString caption = Accessory(list.Ids.at(entry)).Label;
    const QString prompt = LangCommons(QStringLiteral("ItemsTableQuantity"));
    for (;;) {
        // Every question starts from the current quantity.
        QString text = QString::number(list.Quantities.at(entry));
        if (!m_quantityInput(this, caption, prompt, text))
            return; // stays ticked with its previous quantity
        const int32_t quantity = QuantityFromText(text);
        if (quantity <= 0) {
            ShowError(LangMessages(QStringLiteral("ErrorInvalidNumber")));
            continue;
        }
        list.Quantities[entry] = quantity;
        grdAccessories->SetQuantityText(entry, text);
        return;
    }
}

void TFrmWizard::RepaintPreview()
{
    pbxPreview->SetPage(m_page);
    pbxPreview->update();
}
