#pragma once
// The two tables of the results page: the bill of materials with its price
// panel, and the data sheet with its alternating row colours. The rows come
// from the core; these functions only put them into the grids.

#include "DataSheet.h"
#include "ItemList.h"
#include "OfferDetails.h"

class QLabel;
class QTableWidget;

/// The light blue of every odd data-sheet row.
constexpr int kDataSheetOddRed = 219, kDataSheetOddGreen = 232, kDataSheetOddBlue = 253;

/// Code cells grey with white bold text, quantities centred, prices right-aligned;
/// with a fifth column and a price list, each priced row's line total (quantity × unit price).
void FillItemGrid(QTableWidget *grid, const TItemList &list);
/// Name and value cells; the grid paints them with the row colours.
void FillDataGrid(QTableWidget *grid, const QVector<TDataRow> &rows);
/// Installs the data sheet's cell painter (white and light blue rows, text at 2, 2).
void InstallDataSheetPainter(QTableWidget *grid);
/// Installs the bill of materials' cell painter (a cut code or description keeps its beginning and end).
void InstallItemGridPainter(QTableWidget *grid);
/// The user may widen a column by dragging its heading's divider, or fit it to its longest
/// text by double-clicking the divider; a text cut by its column ends in "…" and its cell's
/// tool tip holds it whole.
void MakeColumnsResizable(QTableWidget *grid);

/// The labels of the price panel under the bill of materials.
struct TPricePanel {
    QLabel *Country = nullptr;
    QLabel *Date = nullptr;
    QLabel *TotalCaption = nullptr;
    QLabel *Total = nullptr;
    QLabel *Unpriced = nullptr; // under the total: the items the list has no price for
};
/// Country, date and currency lines of the open price list; all empty without one.
void ApplyPricePanelTexts(const TPricePanel &panel);
/// The total as the list shows prices, empty without a price list, and under it
/// the line naming the unpriced items, shown only when there are some.
void ShowTotalPrice(const TPricePanel &panel, const TItemList &list);
/// Under the total: the offer's discount, net price and yearly share, as the documents
/// show them; hidden without offer details or price list.
void ShowOfferFigures(QLabel *label, const TItemList &list, const TOfferDetails &offer);
/// "Customer: … Reference: …" of the offer on show; empty without either.
QString OfferCaption(const TOfferDetails &offer);
