#include "LayoutPainter.h"
#include <QPainter>

void PaintWizardPreview(QPainter &, const QSize &, int32_t, const TRequestParameters &, TResultParameters &) {}

QImage RenderLayoutBitmap(const TRequestParameters &, TResultParameters &, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

THeadlessHooks MakeLayoutHooks(const QString &) { return {}; }
