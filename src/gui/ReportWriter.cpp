#include "ReportWriter.h"
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
constexpr int kRuntimeChartHeight = 260;
constexpr int kHeadingRoom = 50; // a heading with the space around it
constexpr int kLineOverlap = 3;

QFont ReportFont(int pointSize, bool bold)
{
    QFont font = ProgramSansFont();
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

/// Paints the blocks with a running position (X, Y) on the detail band below the
/// header; a block that does not fit on the page continues on the next one.
class TReportPainter {
public:
    TReportPainter(QPainter &painter, QPagedPaintDevice &device, const TOfferDocument &doc)
        : m_p(painter), m_device(device), m_doc(doc)
    {
        const QRect paint = device.pageLayout().paintRectPixels(kReportDpi);
        m_detailHeight = paint.height() - kHeaderHeight;
        LoadVendorBitmap(QStringLiteral("LogoBrand"), m_logoBrand);
        LoadVendorBitmap(QStringLiteral("LogoProduct_2"), m_logoProduct);
    }

    int Paint()
    {
        StartPage();
        AddLayoutImage();
        AddHeading(m_doc.ItemsHeading);
        AddTable(m_doc.Items, true);
        if (!m_doc.TotalLine.isEmpty()) {
            m_y += 10;
            AddLabel(m_doc.TotalLine, 8, false);
        }
        if (!m_doc.UnpricedLine.isEmpty())
            AddLabel(m_doc.UnpricedLine, 8, false);
        AddHeading(m_doc.DataHeading);
        AddTable(m_doc.Data, false);
        AddRuntimeBlock();
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
        return m_pages;
    }

private:
    /// A new page starts with the header band; the detail band begins below it.
    void StartPage()
    {
        if (m_pages > 0)
            m_device.newPage();
        ++m_pages;
        m_y = 0;
        PaintLogo(m_logoBrand, 0);
        PaintLogo(m_logoProduct, kBandWidth - kLogoWidth);
        PaintCentred(m_doc.Title, 4, ReportFont(18, true));
        PaintCentred(m_doc.Version, 37, ReportFont(16, true));
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
        const QFontMetrics metrics(font, &m_device);
        m_p.drawText(QRect(0, top, kBandWidth, metrics.height()), Qt::AlignHCenter | Qt::AlignTop, text);
    }

    /// Starts a new page when `height` more pixels do not fit on this one.
    void Reserve(int height)
    {
        if (m_y > 0 && m_y + height > m_detailHeight)
            StartPage();
    }

    void DrawText(const QString &text, int x, int y, int width, TDocAlign align, const QFont &font)
    {
        m_p.setFont(font);
        const QFontMetrics metrics(font, &m_device);
        const Qt::Alignment flags = (align == TDocAlign::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
        m_p.drawText(QRect(x, kHeaderHeight + y, std::max(width, metrics.horizontalAdvance(text)), metrics.height()),
                     flags | Qt::TextSingleLine, text);
    }

    void AddLabel(const QString &text, int pointSize, bool bold)
    {
        const QFont font = ReportFont(pointSize, bold);
        const int height = QFontMetrics(font, &m_device).height();
        Reserve(height);
        DrawText(text.trimmed(), 0, m_y, -1, TDocAlign::Left, font);
        m_y += height + kLabelExtra - kLineOverlap;
    }

    /// The runtime chart as vectors, then the heat table.
    void AddRuntimeBlock()
    {
        if (m_doc.RuntimeHeading.isEmpty())
            return;
        // The heading stays with its chart.
        const int height = m_doc.Runtime.Available() ? kRuntimeChartHeight : 40;
        Reserve(kHeadingRoom + height);
        AddHeading(m_doc.RuntimeHeading);
        PaintRuntimeChart(m_p, QRectF(0, kHeaderHeight + m_y, kBandWidth, height), m_doc.Runtime, m_doc.RuntimeTexts);
        m_y += height;
        if (!m_doc.Heat.Rows.isEmpty()) {
            AddHeading(m_doc.HeatHeading);
            AddTable(m_doc.Heat, false);
        }
    }

    void AddHeading(const QString &text)
    {
        m_y += 23;
        AddLabel(text, 10, true);
        m_y += 7;
    }

    void AddLayoutImage()
    {
        const QImage &image = m_doc.Layout;
        if (image.isNull())
            return;
        Reserve(image.height());
        m_p.drawImage(QPoint((kBandWidth - image.width()) / 2, kHeaderHeight + m_y), image);
        m_y += image.height();
    }

    /// Columns side by side, each 20 pixels after the widest text of the one before;
    /// every line of a row at the same height, page by page.
    void AddTable(const TDocTable &table, bool headings)
    {
        const QFont regular = ReportFont(8, false), bold = ReportFont(8, true);
        const int lineHeight = QFontMetrics(regular, &m_device).height() + kLabelExtra - kLineOverlap;
        QVector<int> left(table.ColumnCount()), width(table.ColumnCount());
        int x = 0;
        for (int c = 0; c < table.ColumnCount(); ++c) {
            int w = headings ? QFontMetrics(bold, &m_device).horizontalAdvance(table.Headings.value(c)) : 0;
            for (const QStringList &row : table.Rows)
                w = std::max(w, QFontMetrics(regular, &m_device).horizontalAdvance(row.value(c)));
            left[c] = x;
            width[c] = w;
            x += w + kColumnGap;
        }
        auto paintHeadings = [&] {
            for (int c = 0; headings && c < table.ColumnCount(); ++c)
                DrawText(table.Headings.value(c), left[c], m_y, width[c], table.Align[c], bold);
            if (headings)
                m_y += QFontMetrics(bold, &m_device).height() + kLabelExtra - kLineOverlap + 4;
        };
        Reserve(2 * lineHeight);
        paintHeadings();
        for (const QStringList &row : table.Rows) {
            if (m_y + lineHeight > m_detailHeight) {
                StartPage();
                paintHeadings(); // the column captions again on the new page
            }
            for (int c = 0; c < table.ColumnCount(); ++c)
                DrawText(row.value(c), left[c], m_y, width[c], table.Align[c], regular);
            m_y += lineHeight;
        }
    }

    QPainter &m_p;
    QPagedPaintDevice &m_device;
    const TOfferDocument &m_doc;
    QImage m_logoBrand, m_logoProduct;
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
