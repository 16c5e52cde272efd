#include "OfferDocument.h"

#include "Lang.h"
#include "PriceList.h"
#include "TextUtils.h"

namespace {

/// Leading and trailing blanks and control characters removed (not other spaces).
QString TrimCell(const QString &text)
{
    auto blank = [](QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0x7F; };
    qsizetype begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

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
        heading = TrimCell(heading);
    for (const TItemRow &row : items.Rows) {
        QStringList cells;
        for (const QString &cell : ItemRowCells(row, items.ShowPrices))
            cells << TrimCell(cell);
        table.Rows << cells;
    }
    return table;
}

TDocTable DataTable(const QVector<TDataRow> &sheet)
{
    TDocTable table;
    table.Align = {TDocAlign::Left, TDocAlign::Left};
    for (const TDataRow &row : sheet)
        table.Rows << QStringList{TrimCell(row.Name), TrimCell(row.Value)};
    return table;
}

} // namespace

TOfferDocument BuildOfferDocument(const TItemList &items, const QVector<TDataRow> &sheet, const QImage &layout,
                                  const QString &title)
{
    TOfferDocument doc;
    doc.Title = title;
    doc.Version = SetupData.Version;
    doc.Layout = layout;
    doc.ItemsHeading = LangMain(QStringLiteral("ResultsItemsTabTitle"));
    doc.Items = ItemsTable(items);
    doc.PriceListOpen = items.PriceListOpen;
    if (items.PriceListOpen)
        doc.TotalLine = TrimCell(FormatArgs(LangMain(QStringLiteral("ResultsItemsTotalPrice")), PriceList.Currency) +
                                 QStringLiteral(" ") + FormatPrice(items.Total));
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
        text += FormatArgs(QStringLiteral("%s  -->  %s  -->  %s"), TrimCell(cells[0]), TrimCell(cells[1]),
                           TrimCell(cells[2])) +
                QStringLiteral("\r\n");
    }
    return text;
}

QString DataSheetText(const QVector<TDataRow> &sheet)
{
    QString text;
    for (const TDataRow &row : sheet)
        text +=
            FormatArgs(QStringLiteral("%s  -->  %s"), TrimCell(row.Name), TrimCell(row.Value)) + QStringLiteral("\r\n");
    return text;
}

QString WithExtension(const QString &fileName, const QString &extension)
{
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    // A dot that starts the name (".offer") is part of the name, not an extension.
    if (dot > slash + 1)
        return fileName.left(dot) + extension;
    return fileName + extension;
}

QString NumberedFileName(const QString &pattern, int number)
{
    QString name = pattern;
    return name.replace(QStringLiteral("{n}"), QString::number(number));
}
