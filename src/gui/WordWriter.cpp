#include "WordWriter.h"
#include "DocumentLayout.h"
#include "LateLibrary.h"
#include "ProgramFonts.h"
#include "RuntimeChartPainter.h"

#include "SafeFile.h"
#include "VendorBitmap.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <zip.h>

#include <memory>

namespace {

// Sizes: twips (1/20 point) for the page, half-points for fonts, EMU for pictures.
constexpr int kMarginTwips = 849;       // 42.45 pt
constexpr int kHeaderFooterTwips = 708; // 35.375 pt, to the nearest twip
constexpr int kA4WidthTwips = 11906;
constexpr int kA4HeightTwips = 16838;
constexpr int kEmuPerPixel = 9525; // at 96 dpi
constexpr int kTwipsPerPixel = 15;  // at 96 dpi
constexpr int kTextWidthTwips = kA4WidthTwips - 2 * kMarginTwips;
constexpr int kCellMarginTwips = 108; // left and right of every cell's text

const char *const kWordNamespaces =
    R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
    R"( xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing")"
    R"( xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")"
    R"( xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture")";

/// Text for an XML element: markup characters escaped, characters XML cannot hold dropped.
QString Xml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'&')
            out += QLatin1String("&amp;");
        else if (u == u'<')
            out += QLatin1String("&lt;");
        else if (u == u'>')
            out += QLatin1String("&gt;");
        else if (u == u'"')
            out += QLatin1String("&quot;");
        else if (u >= 0x20 || u == u'\t')
            out += c;
    }
    return out;
}

/// The text for a run, each line break it holds a break of the run.
QString WithLineBreaks(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n'))
        lines << Xml(line);
    return lines.join(QStringLiteral(R"(</w:t><w:br/><w:t xml:space="preserve">)"));
}

/// Paragraph formats of the document.
struct TParaFormat {
    int HalfPoints;
    bool Bold;
    const char *Align; // "left", "center", "right"
    int BeforeTwips;
    int AfterTwips;
    bool KeepWithNext = false;
};
constexpr TParaFormat kBody{20, false, "left", 0, 0};
constexpr TParaFormat kSectionTitle{22, true, "left", 360, 40, true};
constexpr TParaFormat kNote{18, false, "left", 0, 0};
constexpr TParaFormat kHeaderTitle{36, true, "center", 0, 0};

/// The width of a text in a paragraph format, in twips, as Arial (or its metric
/// twin) measures it.
int TextTwips(const QString &text, const TParaFormat &f)
{
    // A 1440-dpi picture measures in twips directly.
    static const QImage ruler = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(56693);
        image.setDotsPerMeterY(56693);
        return image;
    }();
    return TextWidth(text, ProgramSansFont(f.HalfPoints / 2.0, f.Bold), &ruler);
}

QString RunProperties(const TParaFormat &f)
{
    return QStringLiteral(R"(<w:rPr><w:rFonts w:ascii="Arial" w:hAnsi="Arial" w:cs="Arial"/>%1<w:sz w:val="%2"/>)"
                          R"(<w:szCs w:val="%2"/></w:rPr>)")
        .arg(f.Bold ? QStringLiteral("<w:b/>") : QString())
        .arg(f.HalfPoints);
}

QString Paragraph(const TParaFormat &f, const QString &text, const char *align = nullptr, const char *extra = "")
{
    return QStringLiteral(R"(<w:p><w:pPr>%5<w:spacing w:before="%1" w:after="%2"/><w:jc w:val="%3"/>%4</w:pPr>)")
               .arg(f.BeforeTwips)
               .arg(f.AfterTwips)
               .arg(QLatin1String(align ? align : f.Align))
               .arg(RunProperties(f),
                    (f.KeepWithNext ? QStringLiteral("<w:keepNext/>") : QString()) + QLatin1String(extra)) +
           (text.isEmpty() ? QString()
                           : QStringLiteral(R"(<w:r>%1<w:t xml:space="preserve">%2</w:t></w:r>)")
                                 .arg(RunProperties(f), WithLineBreaks(text))) +
           QStringLiteral("</w:p>");
}

/// A picture in line with the text, at its size on a 96-dpi screen.
QString InlinePicture(const QString &relationId, const QSize &size, int id, const QString &name)
{
    const qint64 cx = qint64(size.width()) * kEmuPerPixel, cy = qint64(size.height()) * kEmuPerPixel;
    return QStringLiteral(R"(<w:r><w:drawing><wp:inline distT="0" distB="0" distL="0" distR="0">)"
                          R"(<wp:extent cx="%1" cy="%2"/><wp:docPr id="%3" name="%4"/>)"
                          R"(<a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture">)"
                          R"(<pic:pic><pic:nvPicPr><pic:cNvPr id="%3" name="%4"/><pic:cNvPicPr/></pic:nvPicPr>)"
                          R"(<pic:blipFill><a:blip r:embed="%5"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>)"
                          R"(<pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="%1" cy="%2"/></a:xfrm>)"
                          R"(<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>)"
                          R"(</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>)")
        .arg(cx)
        .arg(cy)
        .arg(id)
        .arg(Xml(name), relationId);
}

/// A borderless table with the given column widths in twips.
QString TableStart(bool autoFit, const QVector<int> &widths)
{
    int total = 0;
    for (int w : widths)
        total += w;
    QString xml = QStringLiteral(R"(<w:tbl><w:tblPr><w:tblW w:w="%2" w:type="dxa"/><w:tblBorders>)"
                                 R"(<w:top w:val="nil"/><w:left w:val="nil"/><w:bottom w:val="nil"/>)"
                                 R"(<w:right w:val="nil"/><w:insideH w:val="nil"/><w:insideV w:val="nil"/>)"
                                 R"(</w:tblBorders><w:tblLayout w:type="%1"/>)"
                                 R"(<w:tblCellMar><w:left w:w="%3" w:type="dxa"/><w:right w:w="%3" w:type="dxa"/>)"
                                 R"(</w:tblCellMar><w:tblLook w:val="0000"/></w:tblPr><w:tblGrid>)")
                      .arg(autoFit ? QStringLiteral("autofit") : QStringLiteral("fixed"))
                      .arg(total)
                      .arg(kCellMarginTwips);
    for (int w : widths)
        xml += QStringLiteral(R"(<w:gridCol w:w="%1"/>)").arg(w);
    return xml + QStringLiteral("</w:tblGrid>");
}

QString Cell(const QString &content, int widthTwips, const char *extra = "")
{
    return QStringLiteral(R"(<w:tc><w:tcPr><w:tcW w:w="%1" w:type="dxa"/>%2</w:tcPr>%3</w:tc>)")
        .arg(widthTwips)
        .arg(QLatin1String(extra), content);
}

/// The columns of a content table: code, quantity and price as wide as their
/// widest text, the description (or whichever is widest) what is left of the
/// text width, as the report fits its columns.
QVector<int> ContentColumnWidths(const TDocTable &table)
{
    QVector<int> natural(table.ColumnCount());
    for (int c = 0; c < table.ColumnCount(); ++c) {
        TParaFormat bold = kBody;
        bold.Bold = true;
        int w = table.Headings.isEmpty() ? 0 : TextTwips(table.Headings.value(c), bold);
        for (const QStringList &row : table.Rows)
            w = std::max(w, TextTwips(row.value(c), kBody));
        natural[c] = w + 2 * kCellMarginTwips + 1;
    }
    return FitColumnWidths(natural, kTextWidthTwips, 0);
}

/// A content table: every row of the document table, the first bold when it
/// holds the captions; no row breaks across pages.
QString ContentTable(const TDocTable &table)
{
    const QVector<int> widths = ContentColumnWidths(table);
    QString xml = TableStart(true, widths);
    auto row = [&](const QStringList &cells, bool bold) {
        xml += QStringLiteral("<w:tr><w:trPr><w:cantSplit/>%1</w:trPr>")
                   .arg(bold ? QStringLiteral("<w:tblHeader/>") : QString());
        for (int c = 0; c < table.ColumnCount(); ++c) {
            TParaFormat f = kBody;
            f.Bold = bold;
            xml += Cell(Paragraph(f, cells.value(c), table.Align[c] == TDocAlign::Right ? "right" : "left"), widths[c]);
        }
        xml += QStringLiteral("</w:tr>");
    };
    if (!table.Headings.isEmpty())
        row(table.Headings, true);
    for (const QStringList &cells : table.Rows)
        row(cells, false);
    return xml + QStringLiteral("</w:tbl>");
}

/// The runtime chart's size in the document, in 96-dpi pixels (a text column's width).
QSize RuntimeChartSize() { return {680, 260}; }

/// The chart painted at one and a half times its size: sharper in print than
/// the drawing's pixels, and quick to encode.
QImage RuntimeChartPicture(const TOfferDocument &doc)
{
    constexpr qreal kScale = 1.5;
    const QSize size = RuntimeChartSize();
    QImage image(size * kScale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(kScale, kScale);
    PaintRuntimeChart(painter, QRectF(QPointF(0, 0), QSizeF(size)), doc.Runtime, doc.RuntimeTexts,
                      TChartFace::Document);
    return image;
}

/// Whether the document carries the runtime chart as a picture (not for a
/// configuration without batteries, which has a sentence instead).
bool HasRuntimeChart(const TOfferDocument &doc) { return !doc.RuntimeHeading.isEmpty() && doc.Runtime.Available(); }

/// The runtime curves with the engineering warnings and the heat table, an annex from a new page.
QString RuntimeAnnexXml(const TOfferDocument &doc)
{
    if (doc.RuntimeHeading.isEmpty())
        return QString();
    QString xml = Paragraph(kSectionTitle, doc.RuntimeHeading, nullptr, "<w:pageBreakBefore/>");
    if (HasRuntimeChart(doc))
        xml += QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="center"/></w:pPr>)") +
               InlinePicture(QStringLiteral("rIdRuntime"), RuntimeChartSize(), 2, QStringLiteral("Runtime")) +
               QStringLiteral("</w:p>");
    else
        xml += Paragraph(kBody, doc.RuntimeTexts.Absence);
    if (HasRuntimeChart(doc))
        for (const QString &warning : doc.RuntimeTexts.Warnings)
            xml += Paragraph(kBody, warning);
    if (!doc.Heat.Rows.isEmpty()) {
        xml += Paragraph(kSectionTitle, doc.HeatHeading);
        xml += ContentTable(doc.Heat);
    }
    return xml;
}

/// The alternatives beside the main configuration, from a new page.
QString ComparisonXml(const TOfferDocument &doc)
{
    if (doc.ComparisonHeading.isEmpty())
        return QString();
    return Paragraph(kSectionTitle, doc.ComparisonHeading, nullptr, "<w:pageBreakBefore/>") +
           ContentTable(doc.Comparison);
}

QString DocumentXml(const TOfferDocument &doc, bool withLayout)
{
    QString body;
    if (!doc.OfferBlock.Rows.isEmpty())
        body += ContentTable(doc.OfferBlock);
    if (withLayout)
        body += QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="center"/></w:pPr>)") +
                InlinePicture(QStringLiteral("rIdLayout"), doc.Layout.size(), 1, QStringLiteral("Layout")) +
                QStringLiteral("</w:p>");
    body += Paragraph(kSectionTitle, doc.ItemsHeading);
    body += ContentTable(doc.Items);
    if (doc.PriceListOpen)
        body += Paragraph(kBody, doc.TotalLine);
    for (const QString &line : doc.CommercialLines)
        body += Paragraph(kBody, line);
    if (!doc.UnpricedLine.isEmpty())
        body += Paragraph(kBody, doc.UnpricedLine);
    body += Paragraph(kSectionTitle, doc.DataHeading);
    body += ContentTable(doc.Data);
    body += Paragraph(kSectionTitle, doc.NotesHeading);
    QStringList notes = doc.Notes;
    if (doc.PriceListOpen)
        notes << QString() << doc.PriceListLines;
    notes << QString() << doc.DataChanges;
    for (const QString &note : notes)
        body += Paragraph(kNote, note);
    body += RuntimeAnnexXml(doc);
    body += ComparisonXml(doc);
    body += QStringLiteral(R"(<w:sectPr><w:headerReference w:type="default" r:id="rIdHeader"/>)"
                           R"(<w:footerReference w:type="default" r:id="rIdFooter"/>)"
                           R"(<w:pgSz w:w="%1" w:h="%2"/><w:pgMar w:top="%3" w:right="%3" w:bottom="%3" w:left="%3")"
                           R"( w:header="%4" w:footer="%4" w:gutter="0"/></w:sectPr>)")
                .arg(kA4WidthTwips)
                .arg(kA4HeightTwips)
                .arg(kMarginTwips)
                .arg(kHeaderFooterTwips);
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
           QStringLiteral("<w:document%1><w:body>%2</w:body></w:document>").arg(QLatin1String(kWordNamespaces), body);
}

/// The header: one row of three borderless cells, logos left and right, the
/// title in the middle on one line, in the width the logos leave.
QString HeaderXml(const TOfferDocument &doc, const QImage &brand, const QImage &product)
{
    auto logoWidth = [](const QImage &logo) { return logo.width() * kTwipsPerPixel + 2 * kCellMarginTwips; };
    const int side = std::max(logoWidth(brand), logoWidth(product));
    const QVector<int> widths{side, kTextWidthTwips - 2 * side, side};
    auto logoCell = [&](const QImage &logo, const char *relation, int id, const char *align) {
        const QString picture = logo.isNull()
                                    ? QString()
                                    : InlinePicture(QLatin1String(relation), logo.size(), id, QLatin1String(relation));
        return Cell(
            QStringLiteral(R"(<w:p><w:pPr><w:jc w:val="%1"/></w:pPr>%2</w:p>)").arg(QLatin1String(align), picture),
            side, R"(<w:vAlign w:val="center"/>)");
    };
    QString xml = TableStart(false, widths) + QStringLiteral("<w:tr>");
    xml += logoCell(brand, "rIdLogoBrand", 101, "left");
    xml += Cell(Paragraph(kHeaderTitle, doc.Title + QStringLiteral(" ") + doc.Version), widths[1],
                R"(<w:noWrap/><w:vAlign w:val="center"/>)");
    xml += logoCell(product, "rIdLogoProduct", 102, "right");
    xml += QStringLiteral("</w:tr></w:tbl>") + Paragraph(kBody, QString());
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
           QStringLiteral("<w:hdr%1>%2</w:hdr>").arg(QLatin1String(kWordNamespaces), xml);
}

QString FooterXml()
{
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
           QStringLiteral(R"(<w:ftr%1><w:p><w:pPr><w:jc w:val="center"/>%2</w:pPr>)"
                          R"(<w:fldSimple w:instr=" PAGE "><w:r>%2<w:t>1</w:t></w:r></w:fldSimple></w:p></w:ftr>)")
               .arg(QLatin1String(kWordNamespaces), RunProperties(kBody));
}

/// The relations of a part; the kind follows from the target's name.
QString Relationships(const QList<QPair<QString, QString>> &idAndTarget)
{
    QString xml =
        QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                       R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)");
    for (const auto &[id, target] : idAndTarget) {
        const QString kind = target.startsWith(QLatin1String("media/"))   ? QStringLiteral("image")
                             : target.startsWith(QLatin1String("header")) ? QStringLiteral("header")
                             : target.startsWith(QLatin1String("footer")) ? QStringLiteral("footer")
                                                                          : QStringLiteral("officeDocument");
        xml +=
            QStringLiteral(
                R"(<Relationship Id="%1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/%2" Target="%3"/>)")
                .arg(id, kind, target);
    }
    return xml + QStringLiteral("</Relationships>");
}

const char *const kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Default Extension="png" ContentType="image/png"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/>)"
    R"(<Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/>)"
    R"(</Types>)";

bool Png(const QImage &image, QByteArray &bytes)
{
    QBuffer buffer(&bytes);
    return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
}

/// The libzip functions the package is written with, opened with the first Word document.
#define VX_ZIP_FUNCTIONS(X)                                                                                          \
    X(Open, open) X(Discard, discard) X(Close, close) X(SourceBuffer, source_buffer) X(SourceFree, source_free)     \
    X(FileAdd, file_add) X(SetFileCompression, set_file_compression) X(Strerror, strerror)

struct TZip {
#define VX_ZIP_MEMBER(member, name) decltype(&zip_##name) member = nullptr;
    VX_ZIP_FUNCTIONS(VX_ZIP_MEMBER)
#undef VX_ZIP_MEMBER
    bool Ok = false;
    QString Error;

    bool Bind(TLateLibrary &library)
    {
#define VX_ZIP_BIND(member, name) &&library.Bind(member, "zip_" #name)
        return true VX_ZIP_FUNCTIONS(VX_ZIP_BIND);
#undef VX_ZIP_BIND
    }
};

const TZip &Zip() { return LateFunctions<TZip>("libzip.so.4"); }

struct TZipCloser {
    void operator()(zip_t *zip) const { Zip().Discard(zip); }
};

/// The parts as a zip file, through a temporary file of libzip's own.
bool ZipParts(const QList<QPair<QString, QByteArray>> &parts, QByteArray &package, QString &error)
{
    const TZip &api = Zip();
    if (!api.Ok) {
        error = QStringLiteral("the package cannot be written: ") + api.Error;
        return false;
    }
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path() + QStringLiteral("/package.zip"));
    int code = 0;
    std::unique_ptr<zip_t, TZipCloser> zip(api.Open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!dir.isValid() || !zip) {
        error = QStringLiteral("the package cannot be started");
        return false;
    }
    for (const auto &[name, bytes] : parts) {
        // The bytes stay alive in `parts` until the archive is closed.
        zip_source_t *source = api.SourceBuffer(zip.get(), bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index =
            source ? api.FileAdd(zip.get(), name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            api.SourceFree(source);
            error = QString::fromUtf8(api.Strerror(zip.get()));
            return false;
        }
        // Pictures are compressed already: stored as they are, they cost no second compression.
        if (name.endsWith(QLatin1String(".png")))
            api.SetFileCompression(zip.get(), zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (api.Close(zip.get()) != 0) {
        error = QString::fromUtf8(api.Strerror(zip.get()));
        return false;
    }
    zip.release();
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly) || !ReadAtMost(file, file.size(), package)) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool BuildWordPackage(const TOfferDocument &doc, QByteArray &package, QString &error)
{
    QImage brand, product;
    LoadVendorBitmap(QStringLiteral("LogoBrand"), brand);
    LoadVendorBitmap(QStringLiteral("LogoProduct_2"), product);
    QByteArray layoutPng, brandPng, productPng;
    if ((!doc.Layout.isNull() && !Png(doc.Layout, layoutPng)) || (!brand.isNull() && !Png(brand, brandPng)) ||
        (!product.isNull() && !Png(product, productPng))) {
        error = QStringLiteral("a picture cannot be encoded");
        return false;
    }
    QList<QPair<QString, QString>> documentRelations{{QStringLiteral("rIdHeader"), QStringLiteral("header1.xml")},
                                                     {QStringLiteral("rIdFooter"), QStringLiteral("footer1.xml")}};
    QList<QPair<QString, QString>> headerRelations;
    QList<QPair<QString, QByteArray>> parts{
        {QStringLiteral("[Content_Types].xml"), QByteArray(kContentTypes)},
        {QStringLiteral("_rels/.rels"),
         Relationships({{QStringLiteral("rIdDocument"), QStringLiteral("word/document.xml")}}).toUtf8()},
        {QStringLiteral("word/document.xml"), DocumentXml(doc, !layoutPng.isEmpty()).toUtf8()},
        {QStringLiteral("word/header1.xml"),
         HeaderXml(doc, brandPng.isEmpty() ? QImage() : brand, productPng.isEmpty() ? QImage() : product).toUtf8()},
        {QStringLiteral("word/footer1.xml"), FooterXml().toUtf8()},
    };
    if (HasRuntimeChart(doc)) {
        QByteArray runtimePng;
        if (!Png(RuntimeChartPicture(doc), runtimePng)) {
            error = QStringLiteral("a picture cannot be encoded");
            return false;
        }
        documentRelations << QPair<QString, QString>{QStringLiteral("rIdRuntime"), QStringLiteral("media/runtime.png")};
        parts << QPair<QString, QByteArray>{QStringLiteral("word/media/runtime.png"), runtimePng};
    }
    if (!layoutPng.isEmpty()) {
        documentRelations << QPair<QString, QString>{QStringLiteral("rIdLayout"), QStringLiteral("media/layout.png")};
        parts << QPair<QString, QByteArray>{QStringLiteral("word/media/layout.png"), layoutPng};
    }
    if (!brandPng.isEmpty()) {
        headerRelations << QPair<QString, QString>{QStringLiteral("rIdLogoBrand"),
                                                   QStringLiteral("media/logo_brand.png")};
        parts << QPair<QString, QByteArray>{QStringLiteral("word/media/logo_brand.png"), brandPng};
    }
    if (!productPng.isEmpty()) {
        headerRelations << QPair<QString, QString>{QStringLiteral("rIdLogoProduct"),
                                                   QStringLiteral("media/logo_product.png")};
        parts << QPair<QString, QByteArray>{QStringLiteral("word/media/logo_product.png"), productPng};
    }
    parts << QPair<QString, QByteArray>{QStringLiteral("word/_rels/document.xml.rels"),
                                        Relationships(documentRelations).toUtf8()};
    parts << QPair<QString, QByteArray>{QStringLiteral("word/_rels/header1.xml.rels"),
                                        Relationships(headerRelations).toUtf8()};
    return ZipParts(parts, package, error);
}

TWordResult SaveWordDocument(const TOfferDocument &doc, const QString &fileName, QString &error)
{
    QByteArray package;
    // Without libzip no document can be made; any other failure is one of writing.
    if (!BuildWordPackage(doc, package, error))
        return Zip().Ok ? TWordResult::NotWritten : TWordResult::NotStarted;
    const bool written = WriteFileSafely(
        fileName, [&](QIODevice &file) { return file.write(package) == package.size(); }, error);
    return written ? TWordResult::Saved : TWordResult::NotWritten;
}
