#include "NavButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>

void TNavButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.state &= ~QStyle::State_HasFocus; // the style's own mark is too faint; ours follows
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    style()->drawItemText(&painter, CaptionRect(), kTextFlags, palette(), isEnabled(), text(), QPalette::NoRole);
    if (hasFocus()) {
        QPen pen(palette().color(QPalette::Active, QPalette::Highlight), 2);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 2, 2);
    }
}

void TNavButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}
