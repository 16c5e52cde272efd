#pragma once
// What the offer documents say: the printed and PDF report and the Word
// document carry the same blocks in the same order, built here once from the
// two result tables and the captured drawing. The writers only turn this
// content into their format. Also the plain-text copies of the two tables.

#include "Alternatives.h"
#include "DataSheet.h"
#include "ItemList.h"
#include "OfferDetails.h"
#include "OfferSettings.h"
#include "PriceList.h"
#include "RuntimeCurve.h"
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

enum class TDocAlign { Left, Center, Right };

/// A table of trimmed cell texts; every row has one cell per column (an empty
/// cell stays, so that every line of the table stays level with its row).
struct TDocTable {
    QStringList Headings; // empty: no heading row
    QList<QStringList> Rows;
    QVector<TDocAlign> Align; // one per column
    int ColumnCount() const { return int(Align.size()); }
};

struct TOfferDocument {
    QString Title;   // the application title
    QString Version; // "major.minor"
    QImage Layout;   // the captured drawing
    /// Under the header on page 1: customer, project, reference, dates and the
    /// sales engineer's contact, label and value a row; no rows without offer details.
    TDocTable OfferBlock;
    QString ItemsHeading;
    TDocTable Items;
    QString TotalLine; // empty without a price list
    QString UnpricedLine; // after the total line: the items without a price; empty when none
    /// After the total line, with offer details and a price list: the discount,
    /// the net price and the yearly share of the contracts.
    QStringList CommercialLines;
    QString DataHeading;
    TDocTable Data; // without heading row
    // After the data sheet, beside the offer: the runtime curve and the heat table
    // (no block when RuntimeHeading is empty).
    QString RuntimeHeading;
    TRuntimeCurve Runtime;
    TRuntimeChartTexts RuntimeTexts;
    QString HeatHeading;
    TDocTable Heat; // without heading row; no rows without heat figures
    // After the annex, on a page of its own: the alternatives beside the main
    // configuration (no page when ComparisonHeading is empty).
    QString ComparisonHeading;
    TDocTable Comparison; // the first column the rows' labels
    QString NotesHeading;
    QStringList Notes;          // the three legal notes
    QStringList PriceListLines; // country and date lines, with a price list
    QString DataChanges;
    bool PriceListOpen = false;
};

/// The content of the offer for the tables on show, the drawing and the active
/// language; the title is the application title, the version the program's ("major.minor").
TOfferDocument BuildOfferDocument(const TItemList &items, const QVector<TDataRow> &sheet, const QImage &layout,
                                  const QString &title, const QString &version);

/// Adds the runtime curves (new and at end of life in `env`), the engineering
/// warnings and the heat block of the records to the document, in the active language.
void AddRuntimeBlock(TOfferDocument &doc, const TRequestParameters &req, const TResultParameters &res,
                     const TBatteryEnvironment &env = TBatteryEnvironment());

/// Adds the comparison page of an offer with alternatives, in the active
/// language; nothing for an empty comparison (the document stays as it was).
void AddComparisonBlock(TOfferDocument &doc, const TComparison &comparison);

/// Adds what an offer with details shows: the offer block, the line total column
/// and the commercial lines. Nothing for empty details (the document stays as it was).
void AddOfferBlock(TOfferDocument &doc, const TItemList &items, const TOfferDetails &offer,
                   const TSalesContact &contact);
/// The lines under the total of a priced list, as documents and window show them:
/// the discount (percent and amount) when one is set, the net price, and the yearly
/// share when contracts are on the list. None without a price list.
QStringList CommercialLines(const TOfferFigures &figures);
/// The same for the list and offer details on show; none without details or price list.
QStringList OfferCommercialLines(const TItemList &items, const TOfferDetails &offer);
/// The offer block's rows: label and value, rows without a value left out.
QList<QStringList> OfferBlockRows(const TOfferDetails &offer, const TSalesContact &contact);

/// The about box's notes: the three legal notes, with a price list an empty line and its
/// country and date lines, then an empty line and the data-changes note; CR LF breaks.
QString LegalNotesText(const TPriceList &list);

/// The bill of materials as plain text: "code  -->  description  -->  quantity" a line, CR LF after each.
QString ItemListText(const TItemList &items);
/// The data sheet as plain text: "parameter  -->  value" a line, CR LF after each.
QString DataSheetText(const QVector<TDataRow> &sheet);

/// The name's extension with its dot (".doc"), or empty; a dot that starts the name is part of it.
QString FileExtension(const QString &fileName);
/// The name with its extension replaced by (or extended with) `extension` (".doc", ".pdf", ".bmp").
QString WithExtension(const QString &fileName, const QString &extension);
/// Expands "{n}" in a file name pattern with the number; a name without it is returned as it is.
QString NumberedFileName(const QString &pattern, int number);
