#pragma once
// The bill of materials for the customer's own tools: a CSV file (UTF-8 with a
// byte-order mark, comma, RFC 4180 quoting, a point as decimal separator) and
// an XLSX workbook whose prices are numbers with a money format and whose
// totals are formulas, so that a changed quantity changes them.

#include "ItemList.h"
#include "OfferDetails.h"

#include <QString>
#include <QStringList>
#include <QVector>

/// The texts of the export in the active language.
struct TBomLabels {
    QStringList Headings; // code, description, quantity, unit price, line total
    QString Total;        // "Total price (EUR):"
    QString Discount;     // "Discount (12.5%):", empty without a discount
    QString NetPrice;     // "Net price (EUR):"
};
/// The labels for `items` and `offer` from the active language file.
TBomLabels ProgramBomLabels(const TItemList &items, const TOfferDetails &offer, const QString &currency);

/// An amount with a point and at least two decimals, as many as it has (at most four).
QString PlainAmount(TCurrency amount);
/// One CSV field, quoted when it holds a comma, a quote, a line break or outer blanks.
QString CsvField(const QString &text);

/// The CSV file's bytes: headings, a row per item, then the total (and, with a
/// discount, the discount and the net price); the price columns only with prices shown.
QByteArray BillOfMaterialsCsv(const TItemList &items, const TOfferDetails &offer, const TBomLabels &labels);

/// Writes the workbook to `fileName` through WriteFileSafely; false with a reason.
bool WriteBillOfMaterialsXlsx(const TItemList &items, const TOfferDetails &offer, const TBomLabels &labels,
                              const QString &fileName, QString &error);
/// Writes the CSV file the same way.
bool WriteBillOfMaterialsCsv(const TItemList &items, const TOfferDetails &offer, const TBomLabels &labels,
                             const QString &fileName, QString &error);
