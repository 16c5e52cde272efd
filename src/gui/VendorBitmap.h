#pragma once
#include <QImage>
#include <QString>

/// The named picture of the vendor library; false when no library is loaded
/// or the picture is missing or unreadable (the image is then left as it was).
bool LoadVendorBitmap(const QString &name, QImage &image);
/// The named picture's encoded bytes, when the library has it in a format that
/// can be read (only its header is looked at); otherwise false and `bytes` unchanged.
bool LoadVendorPictureData(const QString &name, QByteArray &bytes);
