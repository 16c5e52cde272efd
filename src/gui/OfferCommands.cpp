// The main window's offer commands: the dialog "Offer details…" for the
// configuration on show (its details live in the configuration's request, so
// that saving the configuration file keeps them) and the bill of materials
// saved as an XLSX workbook or a CSV file.

#include "TFrmVarnexCfgMain.h"

#include "OfferDetails.h"
#include "RequestKeys.h"
#include "ResultExports.h"
#include "TFrmOfferDetails.h"

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

void TFrmVarnexCfgMain::actOfferDetailsExecute()
{
    if (CurrentPage() != TMainPage::Results)
        return;
    TOfferDetails details = CurrentOffer();
    if (!TFrmOfferDetails::Edit(details, this))
        return;
    if (details.IsEmpty())
        m_configurationRequest.remove(RequestKeyName(TRequestKeyId::Offer));
    else
        m_configurationRequest.insert(RequestKeyName(TRequestKeyId::Offer), OfferDetailsJson(details));
}

void TFrmVarnexCfgMain::actSaveBillOfMaterialsExecute()
{
    if (CurrentPage() != TMainPage::Results)
        return;
    SaveBillOfMaterials(m_items, CurrentOffer(), this);
}
