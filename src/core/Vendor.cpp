#include "Vendor.h"

#include "Globals.h"
#include "Settings.h"
#include "TextCodec.h"

#include <QFileInfo>
#include <QLibrary>

#include <memory>

namespace {

std::unique_ptr<QLibrary> g_library;
// Resolved once per load: the sizing asks for vendor texts in its inner loops.
TVendorGetData g_getData = nullptr;
TVendorGetBitmap g_getBitmap = nullptr;

bool IsPlainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

bool LoadVendorLibrary()
{
    ReadVendorName();
    // The vendor name comes from a settings file: it names a library beside
    // the program, never one somewhere else.
    if (!IsPlainName(SetupData.VendorName) || SetupData.ProgramPath.isEmpty()) {
        UnloadVendorLibrary();
        return false;
    }
    return LoadVendorLibraryFile(SetupData.ProgramPath + SetupData.VendorName + QStringLiteral(".so"));
}

bool LoadVendorLibraryFile(const QString &fileName)
{
    UnloadVendorLibrary();
    // Only the file itself: QLibrary would otherwise try other names beside it.
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.isFile())
        return false;
    auto library = std::make_unique<QLibrary>();
    library->setFileName(info.absoluteFilePath());
    if (!library->load())
        return false;
    g_getData = reinterpret_cast<TVendorGetData>(library->resolve("GetData"));
    g_getBitmap = reinterpret_cast<TVendorGetBitmap>(library->resolve("GetBitmap"));
    g_library = std::move(library);
    return true;
}

void UnloadVendorLibrary()
{
    g_getData = nullptr;
    g_getBitmap = nullptr;
    if (g_library) {
        g_library->unload();
        g_library.reset();
    }
}

bool VendorLibraryLoaded() { return g_library && g_library->isLoaded(); }

bool GetVendorText(int32_t entry, QString &text)
{
    text.clear();
    if (!g_getData || !VendorLibraryLoaded())
        return false;
    const char *value = nullptr;
    if (!g_getData(entry, &value))
        return false;
    if (value)
        text = TrimBlanksAndControls(DecodeText8Bit(QByteArray(value)));
    return true;
}

QString VendorText(int32_t entry)
{
    QString text;
    GetVendorText(entry, text);
    return text;
}

int32_t VendorInt(int32_t entry, int32_t def)
{
    QString text;
    int32_t value = 0;
    if (GetVendorText(entry, text) && TryReadInteger(text, value))
        return value;
    return def;
}

bool LoadVendorBitmapData(const QString &name, QByteArray &bytes)
{
    bytes.clear();
    if (!g_getBitmap || !VendorLibraryLoaded() || name.isEmpty())
        return false;
    const QByteArray key = name.toUtf8();
    const unsigned char *data = nullptr;
    int32_t size = 0;
    if (!g_getBitmap(key.constData(), &data, &size) || !data || size <= 0)
        return false;
    // The library owns its bytes; the picture keeps a copy of its own.
    bytes = QByteArray(reinterpret_cast<const char *>(data), size);
    return true;
}
