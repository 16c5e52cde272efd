// The main window's offer commands: the dialog "Offer details…" for the
// configuration on show (its details live in the configuration's request, so
// that saving the configuration file keeps them), the reference a new
// configuration takes, the offer's figures on the results page, the offer
// documents saved under the reference's revision, and the bill of materials
// saved as an XLSX workbook or a CSV file.

#include "TFrmVarnexCfgMain.h"

#include "DesktopFiles.h"
#include "OfferDetails.h"
#include "OfferSettings.h"
#include "RequestKeys.h"
#include "ResultExports.h"
#include "ResultGrids.h"
#include "TFrmOfferDetails.h"

#include <QLabel>
#include <QStackedWidget>

TOfferDetails TFrmVarnexCfgMain::CurrentOffer() const
{
    TOfferDetails details;
    const QJsonValue offer = m_configurationRequest.value(RequestKeyName(TRequestKeyId::Offer));
    // The request was read (or recorded) whole: details that no longer read are none.
    if (!offer.isUndefined() && !ReadOfferDetails(offer, details).Ok())
        details = TOfferDetails();
    return details;
}

void TFrmVarnexCfgMain::SetCurrentOffer(const TOfferDetails &details)
{
    if (details.IsEmpty())
        m_configurationRequest.remove(RequestKeyName(TRequestKeyId::Offer));
    else
        m_configurationRequest.insert(RequestKeyName(TRequestKeyId::Offer), OfferDetailsJson(details));
}

void TFrmVarnexCfgMain::AssignNewReference()
{
    // References are made once the sales engineer's contact is set up; until
    // then a new configuration stays a plain one, with the documents it always had.
    if (ReadSalesContact(SetupData.IniFileName).IsEmpty())
        return;
    // No reference when the counter cannot be kept: a number is never given twice.
    const QString reference = TakeNextReference(SetupData.IniFileName, QDate::currentDate());
    if (reference.isEmpty())
        return;
    TOfferDetails details = CurrentOffer();
    details.Reference = reference;
    SetCurrentOffer(details);
}

void TFrmVarnexCfgMain::ShowOfferFigures()
{
    if (lblOfferCaption == nullptr)
        return;
    const TOfferDetails offer = CurrentOffer();
    const QString caption = m_hasConfiguration ? OfferCaption(offer) : QString();
    lblOfferCaption->setText(caption);
    lblOfferCaption->setToolTip(caption);
    lblOfferCaption->setVisible(!caption.isEmpty());
    ::ShowOfferFigures(lblOfferFigures, m_items, offer);
}

void TFrmVarnexCfgMain::actOfferDetailsExecute()
{
    if (!m_hasConfiguration || CurrentPage() != TMainPage::Results)
        return;
    TOfferDetails details = CurrentOffer();
    if (!TFrmOfferDetails::Edit(details, this))
        return;
    SetCurrentOffer(details);
    // Offer details added or cleared: the line total column comes or goes.
    ApplyPriceColumns();
    FillItemGrid(grdItems, m_items);
    ShowOfferFigures();
    UpdateWindowTitle();
}

void TFrmVarnexCfgMain::SaveOfferDocuments()
{
    // The rule of DocumentsReference: documents saved again for the reference from a
    // configuration changed since (offer details but the reference included) carry
    // its next revision, which the configuration then keeps. Printing is no saving.
    const TOfferDetails before = CurrentOffer();
    const QString fingerprint = ConfigurationFingerprint(m_configurationRequest);
    TOfferDetails offer = before;
    offer.Reference = DocumentsReference(
        before.Reference, fingerprint, ReadSavedDocuments(SetupData.IniFileName, before.Reference));
    const QJsonObject request = m_configurationRequest;
    if (offer.Reference != before.Reference)
        SetCurrentOffer(offer);
    if (!SaveOfferDocument(OfferDocument(), SuggestedFileName(offer), this)) {
        // Nothing written: the reference stays as it was.
        m_configurationRequest = request;
        return;
    }
    if (!offer.Reference.isEmpty())
        WriteSavedDocuments(SetupData.IniFileName, TSavedDocuments{offer.Reference, fingerprint});
    ShowOfferFigures();
    UpdateWindowTitle();
}

void TFrmVarnexCfgMain::actSaveBillOfMaterialsExecute()
{
    if (!m_hasConfiguration || CurrentPage() != TMainPage::Results)
        return;
    SaveBillOfMaterials(m_items, CurrentOffer(), this);
}
