#pragma once
// What the results page hands out: the drawing copied or saved as a bitmap,
// the tables copied as text, the offer saved as a Word document or a PDF file,
// and the printed report. Each takes what is on show and reports its outcome
// through the message boxes.

#include "DesktopFiles.h"
#include "OfferDocument.h"

class QImage;
class QWidget;

/// The info box "saved" or the error box "not saved", with the file name.
void ShowFileSaved(const QString &fileName);
void ShowFileNotSaved(const QString &fileName);

/// The drawing to the clipboard as a picture.
void CopyLayoutToClipboard(const QImage &layout);
/// The save dialog (AskSaveFileName) started in the folder last used for the kind,
/// with the suggested name; the folder of the name chosen is kept for the kind.
int AskSaveFileNameOfKind(TFileKind kind, const QStringList &filters, const QString &suggestedName,
                          QString &fileName, QWidget *parent);
/// The open dialog started in the folder last used for the kind, which it then keeps.
QString AskOpenFileNameOfKind(TFileKind kind, const QStringList &filters, const QString &title, QWidget *parent);

/// Asks for a ".bmp" name and writes the drawing; the picture is taken by `capture`
/// when the name is known. Info or error box with the file name.
void SaveLayoutToFile(const std::function<QImage()> &capture, const QString &suggestedName, QWidget *parent);
/// The table of the tab on show to the clipboard as text: 1 the bill of materials,
/// 2 the data sheet; the drawing's tab (0) copies nothing.
void CopyTableToClipboard(int tabIndex, const TItemList &items, const QVector<TDataRow> &sheet);

/// Asks for a name and writes the Word document (first filter, or a name ending
/// in ".doc") or the PDF file (second filter, or a name ending in ".pdf"); true
/// when the document was written.
bool SaveOfferDocument(const TOfferDocument &doc, const QString &suggestedName, QWidget *parent);
/// Asks for a name and writes the bill of materials as an XLSX workbook (first
/// filter, or a name ending in ".xlsx") or a CSV file (second, or ".csv").
void SaveBillOfMaterials(const TItemList &items, const TOfferDetails &offer, QWidget *parent);
/// The print dialog, then the report on the printer chosen in it.
void PrintOfferDocument(const TOfferDocument &doc, QWidget *parent);

/// Writes the drawing as a BMP file, safely; false with a reason.
bool WriteLayoutBitmap(const QImage &layout, const QString &fileName, QString &error);
