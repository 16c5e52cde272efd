#pragma once
#include <QImage>
#include <QString>

/// The named picture of the vendor library; false when no library is loaded
/// or the picture is missing or unreadable (the image is then left as it was).
bool LoadVendorBitmap(const QString &name, QImage &image);
