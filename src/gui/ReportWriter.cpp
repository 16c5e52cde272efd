#include "ReportWriter.h"
#include "DocumentLayout.h"
#include "ProgramFonts.h"
#include "RuntimeChartPainter.h"

#include "SafeFile.h"
#include "VendorBitmap.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>

namespace {

// Band sizes in pixels at 96 dpi: the page's width between the margins.
constexpr int kBandWidth = 718;
constexpr int kHeaderHeight = 73;
constexpr int kLogoWidth = 159;
constexpr int kLogoHeight = 61;
constexpr int kColumnGap = 20;
constexpr int kReportDpi = 96;
// A label's height on the page is the font's height plus 2 pixels, as labels are
// sized on a 96-dpi screen; the next line starts 3 pixels above the label's foot.
constexpr int kLabelExtra = 2;
constexpr int kLineOverlap = 3;
constexpr int kRuntimeChartHeight = 260;
constexpr int kHeadingRoom = 50; // a heading with the space around it
constexpr int kPageNumberPoints = 8;

/// Paints the blocks with a running position (X, Y) on the detail band below the
/// header; a block that does not fit on the page continues on the next one.
/// Every text is wrapped within the band (a table's within its column), so no
/// word is ever drawn outside the margins; each page ends with its number.
class TReportPainter {
public:
    TReportPainter(QPainter &painter, QPagedPaintDevice &device, const TOfferDocument &doc)
        : m_p(painter), m_device(device), m_doc(doc)
    {
        m_pageHeight = device.pageLayout().paintRectPixels(kReportDpi).height();
        m_detailHeight = m_pageHeight - kHeaderHeight - PageNumberHeight();
        LoadVendorBitmap(QStringLiteral("LogoBrand"), m_logoBrand);
        LoadVendorBitmap(QStringLiteral("LogoProduct_2"), m_logoProduct);
    }

    int Paint()
    {
        StartPage();
        if (!m_doc.OfferBlock.Rows.isEmpty()) {
            AddTable(m_doc.OfferBlock, false);
            m_y += 10;
        }
        AddLayoutImage();
        AddHeading(m_doc.ItemsHeading);
        AddTable(m_doc.Items, true);
        if (!m_doc.TotalLine.isEmpty()) {
            m_y += 10;
            AddLabel(m_doc.TotalLine, 8, false);
        }
        for (const QString &line : m_doc.CommercialLines)
            AddLabel(line, 8, false);
        if (!m_doc.UnpricedLine.isEmpty())
            AddLabel(m_doc.UnpricedLine, 8, false);
        AddHeading(m_doc.DataHeading);
        AddTable(m_doc.Data, false);
        AddHeading(m_doc.NotesHeading);
        for (const QString &note : m_doc.Notes)
            AddLabel(note, 7, false);
        if (m_doc.PriceListOpen) {
            m_y += 3;
            for (const QString &line : m_doc.PriceListLines)
                AddLabel(line, 7, false);
        }
        m_y += 3;
        AddLabel(m_doc.DataChanges, 7, false);
        AddRuntimeAnnex();
        AddComparisonPage();
        return m_pages;
    }

private:
    int PageNumberHeight() const { return Metrics(ProgramSansFont(kPageNumberPoints, false)).height() + 4; }
    QFontMetrics Metrics(const QFont &font) const { return QFontMetrics(font, &m_device); }
    int LineStep(const QFont &font) const { return Metrics(font).height() + kLabelExtra - kLineOverlap; }

    /// A new page starts with the header band and ends with its number at the
    /// foot; the detail band begins below the header.
    void StartPage()
    {
        if (m_pages > 0)
            m_device.newPage();
        ++m_pages;
        m_y = 0;
        PaintLogo(m_logoBrand, 0);
        PaintLogo(m_logoProduct, kBandWidth - kLogoWidth);
        PaintCentred(m_doc.Title, 4, ProgramSansFont(18, true));
        PaintCentred(m_doc.Version, 37, ProgramSansFont(16, true));
        const QFont number = ProgramSansFont(kPageNumberPoints, false);
        m_p.setFont(number);
        m_p.drawText(QRect(0, m_pageHeight - Metrics(number).height(), kBandWidth, Metrics(number).height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, QString::number(m_pages));
    }

    void PaintLogo(const QImage &logo, int left)
    {
        if (logo.isNull())
            return;
        const QImage fitted = logo.width() > kLogoWidth || logo.height() > kLogoHeight
                                  ? logo.scaled(kLogoWidth, kLogoHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  : logo;
        m_p.drawImage(QPoint(left + (kLogoWidth - fitted.width()) / 2, (kLogoHeight - fitted.height()) / 2), fitted);
    }

    void PaintCentred(const QString &text, int top, const QFont &font)
    {
        m_p.setFont(font);
        const int height = Metrics(font).height();
        for (const QString &line : WrapText(text, font, &m_device, kBandWidth)) {
            m_p.drawText(QRect(0, top, kBandWidth, height), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
            top += height;
        }
    }

    /// Starts a new page when `height` more pixels do not fit on this one.
    void Reserve(int height)
    {
        if (m_y > 0 && m_y + height > m_detailHeight)
            StartPage();
    }

    /// One line of text, already no wider than `width`, aligned within it.
    void DrawLine(const QString &line, int x, int y, int width, TDocAlign align, const QFont &font)
    {
        m_p.setFont(font);
        const Qt::Alignment flags = (align == TDocAlign::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
        m_p.drawText(QRect(x, kHeaderHeight + y, width, Metrics(font).height()), flags | Qt::TextSingleLine, line);
    }

    /// A text across the band, wrapped onto as many lines as it needs.
    void AddLabel(const QString &text, int pointSize, bool bold)
    {
        const QFont font = ProgramSansFont(pointSize, bold);
        for (const QString &line : WrapText(text.trimmed(), font, &m_device, kBandWidth)) {
            Reserve(Metrics(font).height());
            DrawLine(line, 0, m_y, kBandWidth, TDocAlign::Left, font);
            m_y += LineStep(font);
        }
    }

    /// The runtime chart as vectors with the warnings, then the heat table: an annex on a page of its own.
    void AddRuntimeAnnex()
    {
        if (m_doc.RuntimeHeading.isEmpty())
            return;
        StartPage();
        AddHeading(m_doc.RuntimeHeading);
        if (m_doc.Runtime.Available()) {
            PaintRuntimeChart(m_p, QRectF(0, kHeaderHeight + m_y, kBandWidth, kRuntimeChartHeight), m_doc.Runtime,
                              m_doc.RuntimeTexts, TChartFace::Document);
            m_y += kRuntimeChartHeight;
            // The engineering warnings under the curves.
            for (const QString &warning : m_doc.RuntimeTexts.Warnings) {
                m_y += 4;
                AddLabel(warning, 8, true);
            }
        } else {
            AddLabel(m_doc.RuntimeTexts.Absence, 8, false);
        }
        if (!m_doc.Heat.Rows.isEmpty()) {
            AddHeading(m_doc.HeatHeading);
            AddTable(m_doc.Heat, false);
        }
    }

    /// The alternatives beside the main configuration, on a page of their own.
    void AddComparisonPage()
    {
        if (m_doc.ComparisonHeading.isEmpty())
            return;
        StartPage();
        AddHeading(m_doc.ComparisonHeading);
        AddTable(m_doc.Comparison, true);
    }

    /// A heading stays with at least the first lines of what follows it.
    void AddHeading(const QString &text)
    {
        Reserve(kHeadingRoom + 2 * LineStep(ProgramSansFont(8, false)));
        m_y += 23;
        AddLabel(text, 10, true);
        m_y += 7;
    }

    void AddLayoutImage()
    {
        QImage image = m_doc.Layout;
        if (image.isNull())
            return;
        if (image.width() > kBandWidth || image.height() > m_detailHeight)
            image = image.scaled(kBandWidth, m_detailHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        Reserve(image.height());
        m_p.drawImage(QPoint((kBandWidth - image.width()) / 2, kHeaderHeight + m_y), image);
        m_y += image.height();
    }

    /// The cells of a row, each wrapped within its column.
    QVector<QStringList> WrapRow(const QStringList &cells, const QVector<int> &width, const QFont &font) const
    {
        QVector<QStringList> wrapped;
        for (int c = 0; c < width.size(); ++c)
            wrapped << WrapText(cells.value(c), font, &m_device, width[c]);
        return wrapped;
    }

    /// Paints a wrapped row at the running position; Y moves below its tallest cell.
    void PaintRow(const QVector<QStringList> &row, const QVector<int> &left, const QVector<int> &width,
                  const TDocTable &table, const QFont &font)
    {
        int lines = 0;
        for (int c = 0; c < row.size(); ++c) {
            for (int i = 0; i < row[c].size(); ++i)
                DrawLine(row[c][i], left[c], m_y + i * LineStep(font), width[c], table.Align[c], font);
            lines = std::max(lines, int(row[c].size()));
        }
        m_y += lines * LineStep(font);
    }

    static int RowHeight(const QVector<QStringList> &row, int lineStep)
    {
        int lines = 1;
        for (const QStringList &cell : row)
            lines = std::max(lines, int(cell.size()));
        return lines * lineStep;
    }

    /// Columns side by side, 20 pixels apart, each as wide as its widest text
    /// while the table fits the band; where it does not, the widest columns
    /// share what is left and their texts wrap. A row never breaks across pages;
    /// a new page repeats the column captions.
    void AddTable(const TDocTable &table, bool headings)
    {
        const QFont regular = ProgramSansFont(8, false), bold = ProgramSansFont(8, true);
        QVector<int> natural(table.ColumnCount());
        for (int c = 0; c < table.ColumnCount(); ++c) {
            int w = headings ? TextWidth(table.Headings.value(c), bold, &m_device) : 0;
            for (const QStringList &row : table.Rows)
                w = std::max(w, TextWidth(row.value(c), regular, &m_device));
            natural[c] = w;
        }
        const QVector<int> width = FitColumnWidths(natural, kBandWidth, kColumnGap);
        QVector<int> left(table.ColumnCount());
        for (int c = 1; c < table.ColumnCount(); ++c)
            left[c] = left[c - 1] + width[c - 1] + kColumnGap;
        const QVector<QStringList> captions = headings ? WrapRow(table.Headings, width, bold) : QVector<QStringList>();
        auto paintHeadings = [&] {
            if (!headings)
                return;
            PaintRow(captions, left, width, table, bold);
            m_y += 4;
        };
        const int captionHeight = headings ? RowHeight(captions, LineStep(bold)) + 4 : 0;
        bool first = true;
        for (const QStringList &cells : table.Rows) {
            const QVector<QStringList> row = WrapRow(cells, width, regular);
            const int height = RowHeight(row, LineStep(regular));
            if (first)
                Reserve(captionHeight + height);
            else if (m_y + height > m_detailHeight)
                StartPage();
            if (first || m_y == 0)
                paintHeadings(); // the column captions again on a new page
            first = false;
            PaintRow(row, left, width, table, regular);
        }
        if (first) {
            Reserve(captionHeight);
            paintHeadings();
        }
    }

    QPainter &m_p;
    QPagedPaintDevice &m_device;
    const TOfferDocument &m_doc;
    QImage m_logoBrand, m_logoProduct;
    int m_pageHeight = 0;
    int m_detailHeight = 0;
    int m_y = 0;
    int m_pages = 0;
};

} // namespace

void SetReportPageLayout(QPagedPaintDevice &device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 5),
                                     QPageLayout::Millimeter));
}

int PaintReport(QPainter &painter, QPagedPaintDevice &device, const TOfferDocument &doc)
{
    // Pictures go into the file as they are, never through a lossy compression.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::black);
    return TReportPainter(painter, device, doc).Paint();
}

bool WritePdfReport(const TOfferDocument &doc, const QString &fileName, QString &error)
{
    return WriteFileSafely(
        fileName,
        [&](QIODevice &file) {
            QPdfWriter writer(&file);
            writer.setResolution(kReportDpi);
            writer.setTitle(doc.Title + QStringLiteral(" ") + doc.Version);
            writer.setCreator(doc.Title);
            SetReportPageLayout(writer);
            QPainter painter;
            if (!painter.begin(&writer))
                return false;
            PaintReport(painter, writer, doc);
            return painter.end();
        },
        error);
}

bool PrintReport(const TOfferDocument &doc, QPrinter &printer, QString &error)
{
    printer.setResolution(kReportDpi);
    printer.setDocName(doc.Title + QStringLiteral(" ") + doc.Version);
    SetReportPageLayout(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = QStringLiteral("the printer cannot be started");
        return false;
    }
    PaintReport(painter, printer, doc);
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        error = QStringLiteral("the printer reported an error");
        return false;
    }
    return true;
}
