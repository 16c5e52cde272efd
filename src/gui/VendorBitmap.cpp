#include "VendorBitmap.h"
#include "Vendor.h"

#include <QBuffer>
#include <QImageReader>

bool LoadVendorPictureData(const QString &name, QByteArray &bytes)
{
    QByteArray data;
    if (!LoadVendorBitmapData(name, data))
        return false;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead() || !reader.size().isValid())
        return false;
    bytes = data;
    return true;
}

bool LoadVendorBitmap(const QString &name, QImage &image)
{
    QByteArray bytes;
    if (!LoadVendorBitmapData(name, bytes))
        return false;
    QImage loaded;
    if (!loaded.loadFromData(bytes))
        return false;
    image = loaded;
    return true;
}
