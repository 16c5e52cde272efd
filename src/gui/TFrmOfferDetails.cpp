#include "TFrmOfferDetails.h"

#include "Lang.h"
#include "Messages.h"
#include "TextCodec.h"
#include "TextUtils.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString MainText(const char *key) { return LangMain(QLatin1String(key)); }

QLineEdit *AddLine(QFormLayout *form, const char *name, const char *labelKey, const QString &text, int maxLength)
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    form->addRow(MainText(labelKey), edit);
    return edit;
}

} // namespace

TFrmOfferDetails::TFrmOfferDetails(const TOfferDetails &details, QWidget *parent)
    : QDialog(parent), m_details(details)
{
    setObjectName(QStringLiteral("FrmOfferDetails"));
    setWindowTitle(WithoutMnemonic(MainText("ResultsOfferDetails")).remove(QStringLiteral("...")).trimmed());
    auto *form = new QFormLayout;
    edtCustomer = AddLine(form, "edtCustomer", "OfferCustomer", details.Customer, 200);
    edtProject = AddLine(form, "edtProject", "OfferProject", details.Project, 200);
    edtReference = AddLine(form, "edtReference", "OfferReference", details.Reference, 60);
    edtDate = AddLine(form, "edtDate", "OfferDate",
                      details.Date.isValid() ? details.Date.toString(Qt::ISODate) : QString(), 10);
    edtDate->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
    edtValidDays = new QSpinBox;
    edtValidDays->setObjectName(QStringLiteral("edtValidDays"));
    edtValidDays->setRange(0, kMaxValidDays);
    edtValidDays->setValue(details.ValidDays);
    form->addRow(MainText("OfferValidDays"), edtValidDays);
    lblValidUntil = new QLabel;
    lblValidUntil->setObjectName(QStringLiteral("lblValidUntil"));
    form->addRow(MainText("OfferValidUntil"), lblValidUntil);
    edtDiscount = AddLine(form, "edtDiscount", "OfferDiscount", DiscountText(details.Discount), 6);
    memNotes = new QPlainTextEdit(details.Notes);
    memNotes->setObjectName(QStringLiteral("memNotes"));
    memNotes->setFixedHeight(80);
    form->addRow(MainText("OfferNotes"), memNotes);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("btnsOfferDetails"));
    buttons->button(QDialogButtonBox::Cancel)->setText(LangCommons(QStringLiteral("ButtonCancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &TFrmOfferDetails::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFrmOfferDetails::reject);
    auto *box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(buttons);
    setMinimumWidth(460);

    connect(edtDate, &QLineEdit::textChanged, this, &TFrmOfferDetails::ShowValidUntil);
    connect(edtValidDays, &QSpinBox::valueChanged, this, &TFrmOfferDetails::ShowValidUntil);
    ShowValidUntil();
}

void TFrmOfferDetails::ShowValidUntil()
{
    TOfferDetails shown;
    ParseOfferDate(edtDate->text().trimmed(), shown.Date);
    shown.ValidDays = edtValidDays->value();
    const QDate until = shown.ValidUntil();
    lblValidUntil->setText(until.isValid() ? until.toString(MainText("OfferDateFormat")) : QString());
}

bool TFrmOfferDetails::ReadFields(TOfferDetails &details) const
{
    TOfferDetails read;
    read.Customer = edtCustomer->text().trimmed();
    read.Project = edtProject->text().trimmed();
    read.Reference = edtReference->text().trimmed();
    read.ValidDays = edtValidDays->value();
    read.Notes = memNotes->toPlainText().trimmed();
    TOfferError error = ParseOfferDate(edtDate->text().trimmed(), read.Date);
    if (error.Ok() && !edtDiscount->text().trimmed().isEmpty())
        error = ParseDiscountText(edtDiscount->text(), read.Discount);
    if (!error.Ok()) {
        const TOfferMessage message = OfferErrorMessage(error);
        ShowError(FormatText(LangMessages(message.Key), message.Args));
        return false;
    }
    details = read;
    return true;
}

void TFrmOfferDetails::accept()
{
    if (ReadFields(m_details))
        QDialog::accept();
}

bool TFrmOfferDetails::Edit(TOfferDetails &details, QWidget *parent)
{
    TFrmOfferDetails dialog(details, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    details = dialog.Details();
    return true;
}
