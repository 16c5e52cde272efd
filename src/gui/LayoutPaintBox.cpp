#include "LayoutPaintBox.h"
#include "LayoutPainter.h"

#include <QPainter>

TLayoutPaintBox::TLayoutPaintBox(QWidget *parent) : QWidget(parent)
{
    setObjectName("paintGlobalLayout");
    setFont(LayoutFont());
    setMinimumSize(kLayoutBoxWidth, kLayoutBoxHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void TLayoutPaintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const TLayoutDrawing drawing =
        BuildLayoutDrawing(RequestParameters, ResultParameters, kLayoutBoxWidth, LayoutTextMeasure(font()));
    LayoutBounds = drawing.Bounds;
    PaintLayoutDrawing(painter, drawing, font());
    // The capture is rendered, not copied from the screen: where the window
    // stands and what covers it do not matter.
    m_layoutBitmap = CaptureLayoutDrawing(drawing, font());
}

void TLayoutPaintBox::CaptureLayout()
{
    const TLayoutDrawing drawing =
        BuildLayoutDrawing(RequestParameters, ResultParameters, kLayoutBoxWidth, LayoutTextMeasure(font()));
    LayoutBounds = drawing.Bounds;
    m_layoutBitmap = CaptureLayoutDrawing(drawing, font());
}
