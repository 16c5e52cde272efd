#include "ResultExports.h"

#include "BomExport.h"
#include "Globals.h"
#include "PriceList.h"

#include "Lang.h"
#include "Messages.h"
#include "ReportWriter.h"
#include "SafeFile.h"
#include "TextUtils.h"
#include "WindowServices.h"
#include "WordWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>

int AskSaveFileNameOfKind(TFileKind kind, const QStringList &filters, const QString &suggestedName,
                          QString &fileName, QWidget *parent)
{
    fileName = StartFileName(ReadLastFolder(SetupData.IniFileName, kind), suggestedName);
    const int filter = AskSaveFileName(filters, fileName, parent);
    if (filter != -1)
        WriteLastFolder(SetupData.IniFileName, kind, fileName);
    return filter;
}

QString AskOpenFileNameOfKind(TFileKind kind, const QStringList &filters, const QString &title, QWidget *parent)
{
    const QString fileName =
        AskOpenFileName(filters, title, parent, ReadLastFolder(SetupData.IniFileName, kind));
    if (!fileName.isEmpty())
        WriteLastFolder(SetupData.IniFileName, kind, fileName);
    return fileName;
}

void ShowFileSaved(const QString &fileName)
{
    ShowInfo(FormatArgs(LangMessages(QStringLiteral("InfoFileSavedOk")), fileName));
}

void ShowFileNotSaved(const QString &fileName)
{
    ShowError(FormatArgs(LangMessages(QStringLiteral("InfoFileSavedKo")), fileName));
}

void CopyLayoutToClipboard(const QImage &layout)
{
    if (!layout.isNull())
        QApplication::clipboard()->setImage(layout);
}

bool WriteLayoutBitmap(const QImage &layout, const QString &fileName, QString &error)
{
    if (layout.isNull()) {
        error = QStringLiteral("there is no drawing");
        return false;
    }
    return WriteFileSafely(
        fileName, [&](QIODevice &file) { return layout.save(&file, "BMP"); }, error);
}

void SaveLayoutToFile(const std::function<QImage()> &capture, const QString &suggestedName, QWidget *parent)
{
    QString fileName;
    if (AskSaveFileNameOfKind(TFileKind::Picture, {QStringLiteral("Bitmap image (*.bmp)|*.bmp")}, suggestedName,
                              fileName, parent) == -1)
        return;
    QString error;
    if (WriteLayoutBitmap(capture(), fileName, error))
        ShowFileSaved(fileName);
    else
        ShowFileNotSaved(fileName);
}

void CopyTableToClipboard(int tabIndex, const TItemList &items, const QVector<TDataRow> &sheet)
{
    if (tabIndex == 1)
        QApplication::clipboard()->setText(ItemListText(items));
    else if (tabIndex == 2)
        QApplication::clipboard()->setText(DataSheetText(sheet));
}

bool SaveOfferDocument(const TOfferDocument &doc, const QString &suggestedName, QWidget *parent)
{
    QString fileName;
    const int filter = AskSaveFileNameOfKind(TFileKind::Document,
                                             {QStringLiteral("MS Word 2000 (or higher) Document (*.doc)|*.doc"),
                                              QStringLiteral("PDF Document (*.pdf)|*.pdf")},
                                             suggestedName, fileName, parent);
    if (filter == -1)
        return false;
    QString error;
    if (filter == 1) {
        TWordResult result;
        {
            const TWaitCursor wait;
            result = SaveWordDocument(doc, fileName, error);
        }
        if (result == TWordResult::Saved)
            ShowFileSaved(fileName);
        else
            ShowError(LangMessages(result == TWordResult::NotStarted ? QStringLiteral("ErrorWordOpen")
                                                                     : QStringLiteral("ErrorWordCompile")));
        return result == TWordResult::Saved;
    }
    bool written = false;
    {
        const TWaitCursor wait;
        written = WritePdfReport(doc, fileName, error);
    }
    // A PDF that could not be written is said so: the user must not take it for saved.
    if (written)
        ShowFileSaved(fileName);
    else
        ShowFileNotSaved(fileName);
    return written;
}

void SaveBillOfMaterials(const TItemList &items, const TOfferDetails &offer, QWidget *parent)
{
    QString fileName;
    const int filter = AskSaveFileNameOfKind(TFileKind::BillOfMaterials,
                                             {QStringLiteral("Excel Workbook (*.xlsx)|*.xlsx"),
                                              QStringLiteral("CSV (comma-separated values) (*.csv)|*.csv")},
                                             SuggestedFileName(offer), fileName, parent);
    if (filter == -1)
        return;
    const TBomLabels labels = ProgramBomLabels(items, offer, PriceList.Currency);
    QString error;
    bool written = false;
    {
        const TWaitCursor wait;
        written = filter == 1 ? WriteBillOfMaterialsXlsx(items, offer, labels, fileName, error)
                              : WriteBillOfMaterialsCsv(items, offer, labels, fileName, error);
    }
    if (written)
        ShowFileSaved(fileName);
    else
        ShowFileNotSaved(fileName);
}

void PrintOfferDocument(const TOfferDocument &doc, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TWaitCursor wait;
    QString error;
    PrintReport(doc, printer, error);
}
