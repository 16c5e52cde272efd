#include "LayoutPaintBox.h"
#include <QPainter>

TLayoutPaintBox::TLayoutPaintBox(QWidget *parent) : QWidget(parent) { setObjectName("paintGlobalLayout"); }

void TLayoutPaintBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
}
