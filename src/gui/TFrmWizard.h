#pragma once
#include "WizardCore.h"
#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TAccessoryGrid;

/// The wizard's layout preview (70 x 240): paints the current page's picture
/// or the layout of the configuration as far as it is known.
class TWizardPreview : public QWidget {
    Q_OBJECT
public:
    explicit TWizardPreview(QWidget *parent = nullptr);
    void SetPage(TWizardPage page) { m_page = page; }
    TWizardPage Page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TWizardPage m_page = TWizardPage::Phases;
};

/// The sizing wizard. Works on the program-wide RequestParameters and
/// ResultParameters; exec() returns Accepted only through Finish.
class TFrmWizard : public QDialog {
    Q_OBJECT
public:
    explicit TFrmWizard(TWizardMode mode, QWidget *parent = nullptr);
    ~TFrmWizard() override;

    /// Asks for an accessory quantity: caption, prompt, and the text (initial
    /// value in, typed value out). False on Cancel. The default shows a modal
    /// text input box; tests may answer it themselves.
    using TQuantityInput = std::function<bool(QWidget *parent, const QString &caption, const QString &prompt,
                                              QString &text)>;
    void SetQuantityInput(TQuantityInput input);

    /// The page shown.
    TWizardPage CurrentPage() const { return m_page; }
    TWizardCore &Core() { return m_core; }

private:
    void BuildWindow();
    QWidget *BuildPhasesPage();
    QWidget *BuildPowerPage();
    QWidget *BuildRedundancyPage();
    QWidget *BuildAutonomyPage();
    QWidget *BuildAdvancedPage();
    QWidget *BuildAccessoriesPage();
    QWidget *BuildContractsPage();

    void SetCaptions();
    void PrepareStart();
    void ArrangeAutonomyPage(bool compact);
    void RestoreAutonomyControls();

    void EnterPage(TWizardPage page, bool forward);
    void FocusFirstEntry(TWizardPage page);
    void ShowPhaseLabels(bool inputThreePhase, bool outputLines);
    void InitRedundancyPage();
    void InitAutonomyPage();
    void InitAdvancedPage();
    void FillAccessoriesGrid();
    void FillContractsGrid();
    QString PageTitle(TWizardPage page) const;
    bool StorePage(TWizardPage page);
    bool Refused(const TPageError &error);

    // Event handlers, <objectName><Event>; a handler shared by a group's controls
    // takes the group's name.
    void btnNextClick();
    void btnBackClick();
    void optInputThreeChange();
    void grpOutputChange();
    void cmbUpsSizeChange();
    void ShowSizeAdvice();
    void nbkRedundancyChange();
    void optMinutesChange();
    void optModularChange();
    void chkSpecialConfigChange();
    void grdAccessoriesClick(int entry);
    void grdContractsClick(int entry);
    void AskQuantity(int entry);
    int32_t OutputKindChosen() const;
    void RepaintPreview();

    TWizardCore m_core;
    TWizardPage m_page = TWizardPage::Phases;
    TQuantityInput m_quantityInput;

    // Left: layout panel.
    QFrame *pnlLayout = nullptr;
    QGroupBox *grpLayout = nullptr;
    QLabel *lblInput = nullptr;
    QLabel *lblOutput = nullptr;
    QLabel *lblInputL[3] = {};
    QLabel *lblOutputL[3] = {};
    TWizardPreview *pbxPreview = nullptr;

    // Right: title, notebook, command bar.
    QLabel *lblTitle = nullptr;
    QStackedWidget *nbkPages = nullptr;
    QPushButton *btnBack = nullptr;
    QPushButton *btnNext = nullptr;
    QPushButton *btnCancel = nullptr;

    // Phases.
    QGroupBox *grpInput = nullptr;
    QRadioButton *optInputThree = nullptr;
    QRadioButton *optInputSingle = nullptr;
    QGroupBox *grpOutput = nullptr;
    QRadioButton *optOutputThreeFree = nullptr;
    QRadioButton *optOutputThreeLock = nullptr;
    QRadioButton *optOutputSingle = nullptr;

    // Power.
    QFrame *pnlMargin = nullptr;
    QLineEdit *edtMargin = nullptr;
    QGroupBox *grpUpsSize = nullptr;
    QComboBox *cmbUpsSize = nullptr;
    QGroupBox *grpLoadPower = nullptr;
    QLineEdit *edtLoadPower = nullptr;
    QRadioButton *optVA = nullptr;
    QRadioButton *optW = nullptr;

    // Redundancy.
    QStackedWidget *nbkRedundancy = nullptr;
    QWidget *pgRedundancySystem = nullptr;
    QWidget *pgRedundancyPhase = nullptr;
    QComboBox *cmbRedundancySystem = nullptr;
    QLabel *lblRedundancyL[3] = {};
    QComboBox *cmbRedundancyL[3] = {};
    QLabel *lblRedundancyNote = nullptr;

    // Autonomy.
    QGroupBox *grpAutonomy = nullptr;
    QRadioButton *optMinutes = nullptr;
    QLineEdit *edtMinutes = nullptr;
    QRadioButton *optHours = nullptr;
    QLineEdit *edtHours = nullptr;
    QLabel *lblColon = nullptr;
    QLineEdit *edtHoursMinutes = nullptr;
    QGroupBox *grpPercent = nullptr;
    QLineEdit *edtPercent = nullptr;
    QLabel *lblPercentSign = nullptr;
    QLabel *lblPercentDescription = nullptr;
    QGroupBox *grpBatteryCabinet = nullptr;
    QRadioButton *optModular = nullptr;
    QRadioButton *optNotModular = nullptr;

    // Advanced.
    QGroupBox *grpBatteryType = nullptr;
    QComboBox *cmbBatteryType = nullptr;
    QGroupBox *grpSpecialConfig = nullptr;
    QCheckBox *chkSpecialConfig = nullptr;
    QRadioButton *optEmptyDrawers = nullptr;
    QRadioButton *optOnlyInverter = nullptr;

    // Accessories and contracts.
    TAccessoryGrid *grdAccessories = nullptr;
    QLabel *lblAccessoriesNote = nullptr;
    TAccessoryGrid *grdContracts = nullptr;
    QLabel *lblContractsNote = nullptr;
};
