#include "TFrmSetup.h"
#include "OfferSetupTab.h"

#include <QLineEdit>
#include "ProgramFonts.h"
#include "TextUtils.h"

#include "Globals.h"
#include "WindowServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace {

/// A tab page with the framed area of 262 x 81 that holds its one control.
QWidget *FramedPage(QWidget *control)
{
    auto *page = new QWidget;
    auto *frame = new QFrame(page);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(4, 4, 262, 81);
    control->setParent(frame);
    control->setGeometry(16, 24, 241, control->sizeHint().height());
    return page;
}

} // namespace

TFrmSetup::TFrmSetup(QWidget *parent) : QDialog(parent)
{
    ScaleFormToScreen(this);
    setObjectName(QStringLiteral("FrmSetup"));
    // Wide and high enough for the offers' tab; the other tabs keep their framed area.
    setFixedSize(420, 300);
    setFont(ProgramFont(8));
    setWindowTitle(WithoutMnemonic(LangMain(QStringLiteral("ButtonSetup"))));

    chkCheckUpdates = new QCheckBox(QStringLiteral(" ") + LangSetup(QStringLiteral("SetupCheckUpdates")));
    chkCheckUpdates->setObjectName(QStringLiteral("chkCheckUpdates"));
    chkCheckUpdates->setChecked(SetupData.CheckUpdates);
    cmbLanguage = new QComboBox;
    cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    cmbLanguage->setEditable(false);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setGeometry(8, 8, 404, 239);
    PageControl->tabBar()->setFont(ProgramFont(10));
    TabUpdates = FramedPage(chkCheckUpdates);
    TabLanguages = FramedPage(cmbLanguage);
    PageControl->addTab(TabUpdates, LangSetup(QStringLiteral("SetupPageUpdates")));
    PageControl->addTab(TabLanguages, LangSetup(QStringLiteral("SetupPageLanguages")));
    TabOffer = new TOfferSetupTab(SetupData.IniFileName);
    PageControl->addTab(TabOffer, LangSetup(QStringLiteral("SetupPageOffer")));
    PageControl->setCurrentIndex(0);

    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(256, 262, 75, 25);
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(LangCommons(QStringLiteral("ButtonCancel")), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(337, 262, 75, 25);
    connect(cmdOk, &QPushButton::clicked, this, &TFrmSetup::cmdOkClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(PageControl, chkCheckUpdates);
    setTabOrder(chkCheckUpdates, cmbLanguage);
    setTabOrder(cmbLanguage, TabOffer->edtSalesName);
    setTabOrder(TabOffer->edtSalesName, TabOffer->edtSalesPhone);
    setTabOrder(TabOffer->edtSalesPhone, TabOffer->edtSalesEmail);
    setTabOrder(TabOffer->edtSalesEmail, TabOffer->edtSalesCompany);
    setTabOrder(TabOffer->edtSalesCompany, TabOffer->edtReferencePattern);
    setTabOrder(TabOffer->edtReferencePattern, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    LanguageList();
    m_chosenFile = SetupData.LanguageFile;
    chkCheckUpdates->setFocus();
}

bool TFrmSetup::CheckUpdates() const
{
    return chkCheckUpdates->isChecked();
}

void TFrmSetup::LanguageList()
{
    m_languages = ListLanguages(SetupData.ProgramPath);
    const QString active = LangOptions(QStringLiteral("LanguageName"));
    for (const TLanguageEntry &entry : m_languages)
        cmbLanguage->addItem(entry.Name);
    cmbLanguage->setCurrentIndex(-1);
    // The entry of the active language file, else the first with its name.
    for (qsizetype i = 0; i < m_languages.size(); ++i)
        if (m_languages[i].FileName == SetupData.LanguageFile) {
            cmbLanguage->setCurrentIndex(int(i));
            return;
        }
    for (qsizetype i = 0; i < m_languages.size(); ++i)
        if (m_languages[i].Name.compare(active, Qt::CaseInsensitive) == 0) {
            cmbLanguage->setCurrentIndex(int(i));
            return;
        }
}

void TFrmSetup::cmdOkClick()
{
    // A pattern refused keeps the dialog open on its tab, with nothing stored.
    if (!TabOffer->Store(SetupData.IniFileName)) {
        PageControl->setCurrentWidget(TabOffer);
        return;
    }
    // With nothing chosen the active language stays.
    const int index = cmbLanguage->currentIndex();
    if (index >= 0 && index < m_languages.size())
        m_chosenFile = m_languages[index].FileName;
    accept();
}
