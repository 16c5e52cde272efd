#include "VendorBitmap.h"
#include "Vendor.h"

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
