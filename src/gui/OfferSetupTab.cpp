#include "OfferSetupTab.h"

#include "Lang.h"
#include "Messages.h"
#include "OfferSettings.h"
#include "TextUtils.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QLineEdit *AddLine(QFormLayout *form, const char *name, const char *labelKey, const QString &text)
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(200);
    auto *label = new QLabel(LangSetup(QLatin1String(labelKey)));
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}

} // namespace

TOfferSetupTab::TOfferSetupTab(const QString &iniFile, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabOffer"));
    const TSalesContact contact = ReadSalesContact(iniFile);
    auto *form = new QFormLayout(this);
    form->setContentsMargins(8, 8, 8, 8);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    edtSalesName = AddLine(form, "edtSalesName", "SetupSalesName", contact.Name);
    edtSalesPhone = AddLine(form, "edtSalesPhone", "SetupSalesPhone", contact.Phone);
    edtSalesEmail = AddLine(form, "edtSalesEmail", "SetupSalesEmail", contact.Email);
    edtSalesCompany = AddLine(form, "edtSalesCompany", "SetupSalesCompany", contact.Company);
    edtReferencePattern =
        AddLine(form, "edtReferencePattern", "SetupReferencePattern", ReadReferencePattern(iniFile));
    edtReferencePattern->setMaxLength(60);
    lblReferencePatternHint = new QLabel(LangSetup(QStringLiteral("SetupReferencePatternHint")));
    lblReferencePatternHint->setObjectName(QStringLiteral("lblReferencePatternHint"));
    lblReferencePatternHint->setTextFormat(Qt::PlainText);
    lblReferencePatternHint->setWordWrap(true);
    form->addRow(QString(), lblReferencePatternHint);
}

bool TOfferSetupTab::Store(const QString &iniFile)
{
    const QString pattern = edtReferencePattern->text().trimmed();
    TOfferError refused = CheckReferencePattern(pattern);
    if (!refused.Ok()) {
        const TOfferMessage message = OfferErrorMessage(refused);
        ShowError(FormatArgs(LangMessages(message.Key), pattern));
        edtReferencePattern->setFocus();
        edtReferencePattern->selectAll();
        return false;
    }
    bool written = false;
    WriteReferencePattern(iniFile, pattern, written);
    WriteSalesContact(iniFile, TSalesContact{edtSalesName->text().trimmed(), edtSalesPhone->text().trimmed(),
                                             edtSalesEmail->text().trimmed(), edtSalesCompany->text().trimmed()});
    return true;
}
