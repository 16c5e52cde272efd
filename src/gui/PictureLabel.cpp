#include "PictureLabel.h"

#include <QImage>
#include <QPixmap>

void TPictureLabel::SetPictureData(const QByteArray &bytes)
{
    clear();
    m_pending = bytes;
    update();
}

QPixmap TPictureLabel::Picture()
{
    Decode();
    return pixmap();
}

void TPictureLabel::paintEvent(QPaintEvent *event)
{
    Decode();
    QLabel::paintEvent(event);
}

void TPictureLabel::Decode()
{
    if (m_pending.isEmpty())
        return;
    const QImage image = QImage::fromData(m_pending);
    m_pending.clear();
    if (image.isNull())
        return;
    QPixmap picture = QPixmap::fromImage(image);
    if (picture.width() > width() || picture.height() > height())
        picture = picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(picture);
}
