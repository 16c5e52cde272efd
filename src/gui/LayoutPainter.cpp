#include "LayoutPainter.h"
#include "ProgramFonts.h"
#include "SafeFile.h"
#include "VendorBitmap.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QJsonArray>
#include <QHash>
#include <QPainter>

#include <optional>
#include <QTextStream>

#include <memory>

QFont LayoutFont()
{
    return ProgramPixelFont(12, true);
}

TTextMeasure LayoutTextMeasure(const QFont &font)
{
    // The same few labels come back drawing after drawing: each is measured once.
    const QFontMetrics metrics(font);
    auto measured = std::make_shared<QHash<QString, QSize>>();
    return [metrics, measured](const QString &text) {
        const auto it = measured->constFind(text);
        if (it != measured->constEnd())
            return *it;
        const QSize size(metrics.horizontalAdvance(text), metrics.height());
        if (measured->size() < 1024)
            measured->insert(text, size);
        return size;
    };
}

bool LoadPicture(QImage &picture, int width, int height, bool transparent, const QString &name)
{
    if (width <= 0 || height <= 0)
        return false;
    QImage source;
    if (!LoadVendorBitmap(name, source) || source.isNull())
        return false;
    source = source.convertToFormat(QImage::Format_ARGB32);

    // Cut or extend, never scale. An extension takes the background colour of a
    // transparent picture (so it stays see-through) and white otherwise.
    QImage sized(width, height, QImage::Format_ARGB32);
    sized.fill(transparent ? source.pixel(0, source.height() - 1) : qRgb(255, 255, 255));
    {
        QPainter p(&sized);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, source);
    }

    if (transparent) {
        const QRgb key = sized.pixel(0, height - 1) & RGB_MASK;
        for (int y = 0; y < height; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(sized.scanLine(y));
            for (int x = 0; x < width; ++x)
                if ((line[x] & RGB_MASK) == key)
                    line[x] = 0;
        }
    }
    picture = sized;
    return true;
}

void PaintLayoutDrawing(QPainter &painter, const TLayoutDrawing &drawing, const QFont &font)
{
    // A picture missing from the vendor library is left out; the rest of the drawing stays.
    for (const TLayoutPicture &item : drawing.Pictures) {
        QImage picture;
        if (LoadPicture(picture, item.Rect.width(), item.Rect.height(), item.Transparent, item.Name))
            painter.drawImage(item.Rect.topLeft(), picture);
    }
    if (drawing.Labels.isEmpty())
        return;
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    for (const TLayoutLabel &label : drawing.Labels)
        painter.drawText(QPoint(label.X, label.Y + metrics.ascent()), label.Text);
    painter.restore();
}

QImage CaptureLayoutDrawing(const TLayoutDrawing &drawing, const QFont &font)
{
    const QRect area = LayoutCaptureRect(drawing);
    if (area.isEmpty())
        return QImage();
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    PaintLayoutDrawing(painter, drawing, font);
    return image;
}

void PaintWizardPreview(QPainter &painter, const QSize &size, TWizardPage page, const TRequestParameters &,
                        TResultParameters &result)
{
    PaintLayoutDrawing(painter, BuildWizardPreviewDrawing(int32_t(page), result, size));
}

QImage RenderLayoutBitmap(const TRequestParameters &request, TResultParameters &result, int width, int height)
{
    // The cabinets stand on a fixed floor line, so the box height moves nothing;
    // the capture is drawn into its own image and is never cut by the box.
    Q_UNUSED(height);
    const QFont font = LayoutFont();
    const TLayoutDrawing drawing = BuildLayoutDrawing(request, result, width, LayoutTextMeasure(font));
    LayoutBounds = drawing.Bounds;
    return CaptureLayoutDrawing(drawing, font);
}

THeadlessHooks MakeLayoutHooks(const QString &layoutImagePath,
                               const std::function<void(const QString &message)> &writeFailed)
{
    // One image file: the first successful request of a run writes it.
    auto imageWritten = std::make_shared<bool>(false);
    // The font and its metrics are looked up once for all the requests of a run.
    struct TMeasuring {
        QFont Font;
        TTextMeasure Measure;
    };
    auto measuring = std::make_shared<std::optional<TMeasuring>>();
    THeadlessHooks hooks;
    hooks.ExtendResult = [layoutImagePath, imageWritten, measuring, writeFailed](
                             const TRequestParameters &request, TResultParameters &result, QJsonObject &json) {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            // Text metrics need the window system's fonts; without them no bounds can be measured.
            json["layoutError"] = QStringLiteral("The layout needs a graphical application object");
            return;
        }
        if (!*measuring)
            measuring->emplace(TMeasuring{LayoutFont(), LayoutTextMeasure(LayoutFont())});
        const QFont &font = (*measuring)->Font;
        const TLayoutDrawing drawing = BuildLayoutDrawing(request, result, kLayoutBoxWidth, (*measuring)->Measure);
        LayoutBounds = drawing.Bounds;

        QJsonObject layout;
        layout["fullCabinets"] = drawing.FullCabinets;
        layout["inverterX"] = drawing.InverterX;
        layout["fullX"] = drawing.FullX;
        layout["partialX"] = drawing.PartialX;
        layout["bounds"] = QJsonArray{drawing.Bounds.Left, drawing.Bounds.Top, drawing.Bounds.Right,
                                      drawing.Bounds.Bottom};
        json["layout"] = layout;

        if (layoutImagePath.isEmpty() || *imageWritten)
            return;
        *imageWritten = true;
        const QImage image = CaptureLayoutDrawing(drawing, font);
        // Encoded first, so that a write that fails is told once, here, and not
        // also by the encoder on standard error.
        QByteArray png;
        QBuffer buffer(&png);
        QString error;
        // Written beside the target and renamed into place; a device or a folder there is left alone.
        bool written = false;
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
            error = QStringLiteral("the image could not be encoded");
        else
            written = WriteFileSafely(
                layoutImagePath, [&](QIODevice &file) { return file.write(png) == png.size(); }, error);
        if (written) {
            json["layoutImage"] = layoutImagePath;
            return;
        }
        // Nothing half-written is left behind, and the failure is not reported as success.
        const QString message = QStringLiteral("Cannot write the layout image \"%1\": %2").arg(layoutImagePath, error);
        if (writeFailed)
            writeFailed(message);
        else
            QTextStream(stderr) << message << Qt::endl;
        json["ok"] = false;
        json["error"] = message;
        json["errorPage"] = -1;
    };
    return hooks;
}
