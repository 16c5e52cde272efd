#include "OfferDocument.h"

#include "Lang.h"
#include "PriceList.h"
#include "TextCodec.h"
#include "TextUtils.h"

namespace {

TDocTable ItemsTable(const TItemList &items)
{
    TDocTable table;
    table.Headings = QStringList{LangCommons(QStringLiteral("ItemsTableProductCode")),
                                 LangCommons(QStringLiteral("ItemsTableDescription")),
                                 LangCommons(QStringLiteral("ItemsTableQuantity"))};
    table.Align = {TDocAlign::Left, TDocAlign::Left, TDocAlign::Right};
    if (items.ShowPrices) {
        table.Headings << LangCommons(QStringLiteral("ItemsTablePrice"));
        table.Align << TDocAlign::Right;
    }
    for (QString &heading : table.Headings)
        heading = TrimBlanksAndControls(heading);
    for (const TItemRow &row : items.Rows) {
        QStringList cells;
        for (const QString &cell : ItemRowCells(row, items.ShowPrices))
            cells << TrimBlanksAndControls(cell);
        table.Rows << cells;
    }
    return table;
}

TDocTable DataTable(const QVector<TDataRow> &sheet)
{
    TDocTable table;
    table.Align = {TDocAlign::Left, TDocAlign::Left};
    for (const TDataRow &row : sheet)
        table.Rows << QStringList{TrimBlanksAndControls(row.Name), TrimBlanksAndControls(row.Value)};
    return table;
}

} // namespace

TOfferDocument BuildOfferDocument(const TItemList &items, const QVector<TDataRow> &sheet, const QImage &layout,
                                  const QString &title, const QString &version)
{
    TOfferDocument doc;
    doc.Title = title;
    doc.Version = version;
    doc.Layout = layout;
    doc.ItemsHeading = LangMain(QStringLiteral("ResultsItemsTabTitle"));
    doc.Items = ItemsTable(items);
    doc.PriceListOpen = items.PriceListOpen;
    if (items.PriceListOpen)
        doc.TotalLine = TrimBlanksAndControls(FormatArgs(LangMain(QStringLiteral("ResultsItemsTotalPrice")), PriceList.Currency) +
                                 QStringLiteral(" ") + FormatPrice(items.Total));
    doc.UnpricedLine = TrimBlanksAndControls(UnpricedItemsLine(items));
    doc.DataHeading = LangMain(QStringLiteral("ResultsDataTabTitle"));
    doc.Data = DataTable(sheet);
    doc.NotesHeading = LangCommons(QStringLiteral("LegalNotesTitle"));
    for (const char *key : {"LegalNotes_1", "LegalNotes_2", "LegalNotes_3"})
        doc.Notes << LangCommons(QLatin1String(key));
    if (items.PriceListOpen)
        doc.PriceListLines = {PriceListCountryLine(PriceList), PriceListDateLine(PriceList)};
    doc.DataChanges = LangCommons(QStringLiteral("LegalNotesDataChanges"));
    return doc;
}

QString LegalNotesText(const TPriceList &list)
{
    QStringList lines;
    for (const char *key : {"LegalNotes_1", "LegalNotes_2", "LegalNotes_3"})
        lines << LangCommons(QLatin1String(key));
    if (list.Loaded)
        lines << QString() << PriceListCountryLine(list) << PriceListDateLine(list);
    lines << QString() << LangCommons(QStringLiteral("LegalNotesDataChanges"));
    return lines.join(QStringLiteral("\r\n"));
}

QString ItemListText(const TItemList &items)
{
    QString text;
    for (const TItemRow &row : items.Rows) {
        const QStringList cells = ItemRowCells(row, false);
        text += FormatArgs(QStringLiteral("%s  -->  %s  -->  %s"), TrimBlanksAndControls(cells[0]), TrimBlanksAndControls(cells[1]),
                           TrimBlanksAndControls(cells[2])) +
                QStringLiteral("\r\n");
    }
    return text;
}

QString DataSheetText(const QVector<TDataRow> &sheet)
{
    QString text;
    for (const TDataRow &row : sheet)
        text +=
            FormatArgs(QStringLiteral("%s  -->  %s"), TrimBlanksAndControls(row.Name), TrimBlanksAndControls(row.Value)) + QStringLiteral("\r\n");
    return text;
}

QString FileExtension(const QString &fileName)
{
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A dot that starts the name (".offer") is part of the name, not an extension.
    return dot > slash + 1 ? fileName.mid(dot) : QString();
}

QString WithExtension(const QString &fileName, const QString &extension)
{
    return fileName.left(fileName.size() - FileExtension(fileName).size()) + extension;
}

QString NumberedFileName(const QString &pattern, int number)
{
    QString name = pattern;
    return name.replace(QStringLiteral("{n}"), QString::number(number));
}

QList<QStringList> OfferBlockRows(const TOfferDetails &offer, const TSalesContact &contact)
{
    const QString format = LangMain(QStringLiteral("OfferDateFormat"));
    auto date = [&format](const QDate &d) { return d.isValid() ? d.toString(format) : QString(); };
    QStringList contactParts;
    for (const QString &part : {contact.Name, contact.Company, contact.Phone, contact.Email})
        if (!part.isEmpty())
            contactParts << part;
    const QList<QPair<const char *, QString>> rows{
        {"OfferCustomer", offer.Customer},
        {"OfferProject", offer.Project},
        {"OfferReference", offer.Reference},
        {"OfferDate", date(offer.Date)},
        {"OfferValidUntil", date(offer.ValidUntil())},
        {"OfferSalesContact", contactParts.join(QStringLiteral(", "))},
        {"OfferNotes", offer.Notes},
    };
    QList<QStringList> table;
    for (const auto &[key, value] : rows) {
        // The notes keep the lines they were typed on; a break elsewhere is a blank.
        const bool lines = qstrcmp(key, "OfferNotes") == 0;
        QString text = QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        if (!lines)
            text.replace(u'\n', u' ');
        QStringList kept;
        for (const QString &line : text.split(u'\n'))
            if (!line.trimmed().isEmpty())
                kept << line.trimmed();
        if (!kept.isEmpty())
            table << QStringList{TrimBlanksAndControls(LangMain(QLatin1String(key))), kept.join(u'\n')};
    }
    return table;
}

void AddOfferBlock(TOfferDocument &doc, const TItemList &items, const TOfferDetails &offer,
                   const TSalesContact &contact)
{
    if (offer.IsEmpty())
        return;
    doc.OfferBlock = TDocTable();
    doc.OfferBlock.Align = {TDocAlign::Left, TDocAlign::Left};
    doc.OfferBlock.Rows = OfferBlockRows(offer, contact);
    if (!items.PriceListOpen)
        return;
    const TOfferFigures figures = ComputeOfferFigures(items, offer.Discount);
    if (items.ShowPrices) {
        doc.Items.Headings << TrimBlanksAndControls(LangCommons(QStringLiteral("ItemsTableLineTotal")));
        doc.Items.Align << TDocAlign::Right;
        for (qsizetype i = 0; i < doc.Items.Rows.size(); ++i)
            doc.Items.Rows[i] << (items.Rows[i].Priced ? TrimBlanksAndControls(FormatPrice(figures.LineTotals[i]))
                                                       : QString());
    }
    doc.CommercialLines = CommercialLines(figures);
}

QStringList CommercialLines(const TOfferFigures &figures)
{
    QStringList lines;
    if (!figures.Priced)
        return lines;
    if (figures.Discount > 0)
        lines << TrimBlanksAndControls(
            FormatArgs(LangMain(QStringLiteral("ResultsItemsDiscount")), DiscountText(figures.Discount)) +
            QStringLiteral(" -") + FormatPrice(figures.DiscountAmount));
    lines << TrimBlanksAndControls(FormatArgs(LangMain(QStringLiteral("ResultsItemsNetPrice")), PriceList.Currency) +
                                   QStringLiteral(" ") + FormatPrice(figures.NetPrice));
    if (figures.HasContracts)
        lines << TrimBlanksAndControls(
            FormatArgs(LangMain(QStringLiteral("ResultsItemsYearly")), FormatPrice(figures.YearlyTotal)));
    return lines;
}

QStringList OfferCommercialLines(const TItemList &items, const TOfferDetails &offer)
{
    if (offer.IsEmpty() || !items.PriceListOpen)
        return {};
    return CommercialLines(ComputeOfferFigures(items, offer.Discount));
}

void AddRuntimeBlock(TOfferDocument &doc, const TRequestParameters &req, const TResultParameters &res,
                     const TBatteryEnvironment &env)
{
    doc.Runtime = ComputeRuntimeCurve(req, res, env);
    doc.RuntimeTexts = RuntimeChartTexts(doc.Runtime, req.AutonomyInMinutes);
    doc.RuntimeTexts.Warnings = EngineeringWarnings(doc.Runtime, req.AutonomyRequired, req.AutonomyInMinutes);
    doc.RuntimeHeading = LangMain(QStringLiteral("ResultsRuntimeTabTitle"));
    doc.HeatHeading = LangMain(QStringLiteral("ResultsHeatTitle"));
    doc.Heat = TDocTable();
    doc.Heat.Align = {TDocAlign::Left, TDocAlign::Left};
    for (const TDataRow &row : HeatTableRows(ComputeHeatFigures(req, res)))
        doc.Heat.Rows << QStringList{TrimBlanksAndControls(row.Name), TrimBlanksAndControls(row.Value)};
}
