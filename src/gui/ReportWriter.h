#pragma once
// The printed and PDF report: the offer document painted on A4 portrait pages
// (margins 10, 10, 10 and 5 mm) in 96-dpi band pixels, the header band with the
// two logos, the title and the version on every page, the blocks below it in
// order, continuing on a new page where a page is full.

#include "OfferDocument.h"
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

/// Paints every page of the document on the device (a QPdfWriter or a QPrinter
/// set to 96 dpi and the report's page layout). Returns the number of pages.
int PaintReport(QPainter &painter, QPagedPaintDevice &device, const TOfferDocument &doc);

/// Writes the report as a PDF file: into a file beside the target, renamed into
/// place once complete. False with a reason when it cannot be written (an
/// existing target that is not a regular file is left alone).
bool WritePdfReport(const TOfferDocument &doc, const QString &fileName, QString &error);

/// Prints the report on the printer as the print dialog set it up (copies,
/// colour, collation, paper source stay as chosen there).
bool PrintReport(const TOfferDocument &doc, QPrinter &printer, QString &error);

/// The report's page layout on a device: A4 portrait, the report's margins, 96 dpi.
void SetReportPageLayout(QPagedPaintDevice &device);
