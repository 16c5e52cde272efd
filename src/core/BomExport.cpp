#include "BomExport.h"

#include "Lang.h"
#include "SafeFile.h"
#include "TextUtils.h"

#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <memory>

namespace {

QString ItemText(const QString &text) { return TrimBlanksAndControls(text); }

double AsNumber(TCurrency amount) { return double(amount) / 10000.0; }

struct TWorkbookCloser {
    void operator()(lxw_workbook *workbook) const
    {
        if (workbook)
            workbook_close(workbook);
    }
};

/// The rows under the items: label and amount.
QVector<QPair<QString, TCurrency>> TotalRows(const TOfferFigures &figures, const TBomLabels &labels)
{
    QVector<QPair<QString, TCurrency>> rows{{labels.Total, figures.Total}};
    if (figures.Discount > 0) {
        rows.append({labels.Discount, -figures.DiscountAmount});
        rows.append({labels.NetPrice, figures.NetPrice});
    }
    return rows;
}

/// Fills the sheet; false when libxlsxwriter refuses a cell.
bool FillSheet(lxw_workbook *book, lxw_worksheet *sheet, const TItemList &items, const TOfferFigures &figures,
               const TBomLabels &labels)
{
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *money = workbook_add_format(book);
    format_set_num_format(money, "#,##0.00");
    lxw_format *boldMoney = workbook_add_format(book);
    format_set_num_format(boldMoney, "#,##0.00");
    format_set_bold(boldMoney);
    const int columns = items.ShowPrices ? 5 : 3;
    bool ok = true;
    auto check = [&ok](lxw_error e) { ok = ok && e == LXW_NO_ERROR; };
    for (int c = 0; c < columns; ++c)
        check(worksheet_write_string(sheet, 0, lxw_col_t(c), labels.Headings.value(c).toUtf8().constData(), bold));
    check(worksheet_set_column(sheet, 0, 0, 18, nullptr));
    check(worksheet_set_column(sheet, 1, 1, 60, nullptr));
    check(worksheet_set_column(sheet, 2, 4, 14, nullptr));
    lxw_row_t r = 1;
    for (qsizetype i = 0; i < items.Rows.size(); ++i, ++r) {
        const TItemRow &row = items.Rows[i];
        check(worksheet_write_string(sheet, r, 0, ItemText(row.Code).toUtf8().constData(), nullptr));
        check(worksheet_write_string(sheet, r, 1, ItemText(row.Description).toUtf8().constData(), nullptr));
        check(worksheet_write_number(sheet, r, 2, row.Quantity, nullptr));
        if (!items.ShowPrices || !row.Priced)
            continue;
        check(worksheet_write_number(sheet, r, 3, AsNumber(row.Price), money));
        const QByteArray formula = QStringLiteral("=C%1*D%1").arg(r + 1).toUtf8();
        check(worksheet_write_formula_num(sheet, r, 4, formula.constData(), money, AsNumber(figures.LineTotals[i])));
    }
    if (!items.ShowPrices || !items.PriceListOpen)
        return ok;
    const lxw_row_t firstItem = 2, lastItem = r; // 1-based rows of the items
    const lxw_row_t totalRow = ++r;              // one row left empty
    const QVector<QPair<QString, TCurrency>> totals = TotalRows(figures, labels);
    const QString sum = items.Rows.isEmpty() ? QStringLiteral("=0")
                                             : QStringLiteral("=SUM(E%1:E%2)").arg(firstItem).arg(lastItem);
    const QString discount = QStringLiteral("=-ROUND(E%1*%2/100,2)").arg(totalRow + 1).arg(DiscountText(figures.Discount));
    const QString net = QStringLiteral("=E%1+E%2").arg(totalRow + 1).arg(totalRow + 2);
    const QStringList formulas{sum, discount, net};
    for (qsizetype i = 0; i < totals.size(); ++i, ++r) {
        check(worksheet_write_string(sheet, r, 1, totals[i].first.toUtf8().constData(), bold));
        check(worksheet_write_formula_num(sheet, r, 4, formulas[i].toUtf8().constData(), boldMoney,
                                          AsNumber(totals[i].second)));
    }
    return ok;
}

} // namespace

TBomLabels ProgramBomLabels(const TItemList &items, const TOfferDetails &offer, const QString &currency)
{
    Q_UNUSED(items);
    TBomLabels labels;
    for (const char *key : {"ItemsTableProductCode", "ItemsTableDescription", "ItemsTableQuantity", "ItemsTablePrice",
                            "ItemsTableLineTotal"})
        labels.Headings << TrimBlanksAndControls(LangCommons(QLatin1String(key)));
    labels.Total = TrimBlanksAndControls(FormatArgs(LangMain(QStringLiteral("ResultsItemsTotalPrice")), currency));
    if (offer.Discount > 0)
        labels.Discount = TrimBlanksAndControls(
            FormatArgs(LangMain(QStringLiteral("ResultsItemsDiscount")), DiscountText(offer.Discount)));
    labels.NetPrice = TrimBlanksAndControls(FormatArgs(LangMain(QStringLiteral("ResultsItemsNetPrice")), currency));
    return labels;
}

QString PlainAmount(TCurrency amount)
{
    const bool negative = amount < 0;
    const quint64 units = negative ? quint64(0) - quint64(amount) : quint64(amount);
    QString fraction = QString::number(units % 10000).rightJustified(4, u'0');
    while (fraction.size() > 2 && fraction.endsWith(u'0'))
        fraction.chop(1);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(units / 10000) + u'.' + fraction;
}

QString CsvField(const QString &text)
{
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r') ||
                       text != text.trimmed();
    if (!quote)
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QByteArray BillOfMaterialsCsv(const TItemList &items, const TOfferDetails &offer, const TBomLabels &labels)
{
    const TOfferFigures figures = ComputeOfferFigures(items, offer.Discount);
    const int columns = items.ShowPrices ? 5 : 3;
    QList<QStringList> lines;
    lines << labels.Headings.mid(0, columns);
    for (qsizetype i = 0; i < items.Rows.size(); ++i) {
        const TItemRow &row = items.Rows[i];
        QStringList cells{ItemText(row.Code), ItemText(row.Description), QString::number(row.Quantity)};
        if (items.ShowPrices)
            cells << (row.Priced ? PlainAmount(row.Price) : QString())
                  << (row.Priced ? PlainAmount(figures.LineTotals[i]) : QString());
        lines << cells;
    }
    if (items.ShowPrices && items.PriceListOpen)
        for (const auto &[label, amount] : TotalRows(figures, labels))
            lines << QStringList{QString(), label, QString(), QString(), PlainAmount(amount)};
    QString text;
    for (const QStringList &cells : lines) {
        QStringList fields;
        for (const QString &cell : cells)
            fields << CsvField(cell);
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool WriteBillOfMaterialsCsv(const TItemList &items, const TOfferDetails &offer, const TBomLabels &labels,
                             const QString &fileName, QString &error)
{
    const QByteArray bytes = BillOfMaterialsCsv(items, offer, labels);
    return WriteFileSafely(
        fileName, [&bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); }, error);
}

bool WriteBillOfMaterialsXlsx(const TItemList &items, const TOfferDetails &offer, const TBomLabels &labels,
                              const QString &fileName, QString &error)
{
    // libxlsxwriter writes a file of its own: into a private folder first, then
    // copied to the target the safe way.
    QTemporaryDir dir;
    if (!dir.isValid()) {
        error = dir.errorString();
        return false;
    }
    const QString temp = dir.filePath(QStringLiteral("bom.xlsx"));
    lxw_workbook_options options{};
    const QByteArray tmpdir = QFile::encodeName(dir.path());
    options.tmpdir = const_cast<char *>(tmpdir.constData());
    std::unique_ptr<lxw_workbook, TWorkbookCloser> book(
        workbook_new_opt(QFile::encodeName(temp).constData(), &options));
    lxw_worksheet *sheet = book ? workbook_add_worksheet(book.get(), nullptr) : nullptr;
    if (!sheet || !FillSheet(book.get(), sheet, items, ComputeOfferFigures(items, offer.Discount), labels)) {
        error = QStringLiteral("the workbook cannot be made");
        return false;
    }
    if (const lxw_error closed = workbook_close(book.release()); closed != LXW_NO_ERROR) {
        error = QString::fromUtf8(lxw_strerror(closed));
        return false;
    }
    QFile made(temp);
    QByteArray bytes;
    if (!made.open(QIODevice::ReadOnly) || !ReadAtMost(made, qint64(1) << 30, bytes)) {
        error = made.errorString();
        return false;
    }
    return WriteFileSafely(
        fileName, [&bytes](QIODevice &out) { return out.write(bytes) == bytes.size(); }, error);
}
