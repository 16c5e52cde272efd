#include "ResultGrids.h"
#include "ProgramFonts.h"

#include "Lang.h"
#include "OfferDetails.h"
#include "OfferDocument.h"
#include "PriceList.h"
#include "TextUtils.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

const QColor kCodeBack(128, 128, 128);
const QColor kOddRow(kDataSheetOddRed, kDataSheetOddGreen, kDataSheetOddBlue);

enum class TItemColumn { Code = 0, Description = 1, Quantity = 2, Price = 3, LineTotal = 4 };

constexpr int Index(TItemColumn column) { return int(column); }

QTableWidgetItem *Cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled);
    // A text longer than its column can still be read whole.
    item->setToolTip(text.trimmed());
    return item;
}

/// Rows 1, 3, 5 ... of the sheet (grid rows 0, 2, 4 ...) are light blue, the others white;
/// the text starts 2 pixels inside the cell and ends in "…" where the column is too narrow.
class TDataSheetDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int sheetRow = index.row() + 1;
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, sheetRow % 2 == 1 ? kOddRow : QColor(Qt::white));
        painter->setFont(option.font);
        painter->setPen(Qt::black);
        const QRect text = option.rect.adjusted(2, 2, 0, 0);
        const QString shown =
            QFontMetrics(option.font).elidedText(index.data().toString(), option.textElideMode, text.width());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
        painter->restore();
    }
};

/// Items of one family differ at their ends ("QV-SW-RCCMD-05", "... (licences: 5)"): a cut code
/// or description keeps its beginning and its end, quantities and prices their beginning.
class TItemGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == Index(TItemColumn::Code) || index.column() == Index(TItemColumn::Description))
            option->textElideMode = Qt::ElideMiddle;
    }
};

} // namespace

void FillItemGrid(QTableWidget *grid, const TItemList &list)
{
    grid->clearContents();
    grid->setRowCount(std::max<qsizetype>(1, list.Rows.size()));
    const QFont codeFont = ProgramBold(grid->font());
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    // The line totals as the documents compute them.
    const bool lineTotals = list.PriceListOpen && grid->columnCount() > Index(TItemColumn::LineTotal);
    const TOfferFigures figures = ComputeOfferFigures(list, 0);
    for (qsizetype r = 0; r < list.Rows.size(); ++r) {
        const QStringList cells = ItemRowCells(list.Rows[r], list.ShowPrices);
        const int row = int(r);
        QTableWidgetItem *code = Cell(cells[Index(TItemColumn::Code)], left);
        code->setBackground(kCodeBack);
        code->setForeground(Qt::white);
        code->setFont(codeFont);
        grid->setItem(row, Index(TItemColumn::Code), code);
        grid->setItem(row, Index(TItemColumn::Description), Cell(cells[Index(TItemColumn::Description)], left));
        grid->setItem(row, Index(TItemColumn::Quantity), Cell(cells[Index(TItemColumn::Quantity)], Qt::AlignCenter));
        if (cells.size() > Index(TItemColumn::Price) && grid->columnCount() > Index(TItemColumn::Price))
            grid->setItem(row, Index(TItemColumn::Price), Cell(cells[Index(TItemColumn::Price)], right));
        if (lineTotals)
            grid->setItem(row, Index(TItemColumn::LineTotal),
                          Cell(list.Rows[r].Priced ? FormatPrice(figures.LineTotals[r]) : QString(), right));
    }
}

void FillDataGrid(QTableWidget *grid, const QVector<TDataRow> &rows)
{
    grid->clearContents();
    grid->setRowCount(std::max<qsizetype>(1, rows.size()));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        grid->setItem(int(r), 0, Cell(rows[r].Name, left));
        grid->setItem(int(r), 1, Cell(rows[r].Value, left));
    }
}

void InstallDataSheetPainter(QTableWidget *grid)
{
    grid->setItemDelegate(new TDataSheetDelegate(grid));
}

void InstallItemGridPainter(QTableWidget *grid)
{
    grid->setItemDelegate(new TItemGridDelegate(grid));
}

void MakeColumnsResizable(QTableWidget *grid)
{
    QHeaderView *header = grid->horizontalHeader();
    // Dragging a divider widens a column; a double click on it fits the column to its longest text.
    header->setSectionResizeMode(QHeaderView::Interactive);
    grid->setTextElideMode(Qt::ElideRight);
    // Columns widened beyond the grid are reached by scrolling.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void ApplyPricePanelTexts(const TPricePanel &panel)
{
    if (!PriceList.Loaded) {
        panel.Country->clear();
        panel.Date->clear();
        panel.TotalCaption->clear();
        return;
    }
    panel.Country->setText(PriceListCountryLine(PriceList));
    panel.Date->setText(PriceListDateLine(PriceList));
    panel.TotalCaption->setText(FormatText(LangMain(QStringLiteral("ResultsItemsTotalPrice")), {PriceList.Currency}));
}

void ShowOfferFigures(QLabel *label, const TItemList &list, const TOfferDetails &offer)
{
    const QString lines = OfferCommercialLines(list, offer).join(u'\n');
    label->setText(lines);
    label->setVisible(!lines.isEmpty());
}

QString OfferCaption(const TOfferDetails &offer)
{
    QStringList parts;
    if (!offer.Customer.isEmpty())
        parts << LangMain(QStringLiteral("OfferCustomer")) + QStringLiteral(": ") + offer.Customer;
    if (!offer.Reference.isEmpty())
        parts << LangMain(QStringLiteral("OfferReference")) + QStringLiteral(": ") + offer.Reference;
    return parts.join(QStringLiteral("    "));
}

void ShowTotalPrice(const TPricePanel &panel, const TItemList &list)
{
    panel.Total->setText(list.PriceListOpen ? FormatPrice(list.Total) : QString());
    const QString unpriced = UnpricedItemsLine(list);
    panel.Unpriced->setText(unpriced);
    panel.Unpriced->setToolTip(unpriced);
    panel.Unpriced->setVisible(!unpriced.isEmpty());
}
