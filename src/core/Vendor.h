#pragma once
// The vendor library: ProgramPath + VendorName + ".so", exporting the C functions
//   bool GetData(int32_t entry, const char **text);
//   bool GetBitmap(const char *name, const unsigned char **bytes, int32_t *size);
// (PNG or BMP bytes, owned by the library).

#include <QByteArray>
#include <QString>

extern "C" {
typedef bool (*TVendorGetData)(int32_t entry, const char **text);
typedef bool (*TVendorGetBitmap)(const char *name, const unsigned char **bytes, int32_t *size);
}

/// Loads `vendorName` + ".so" from the program folder; the name must be a plain file name.
bool LoadVendorLibrary(const QString &programPath, const QString &vendorName);
/// Loads a library file by full name (tests, tools): only a whole shared object
/// for this machine (CheckSharedObjectFile) that exports GetData.
bool LoadVendorLibraryFile(const QString &fileName);
/// Why the last load failed, in a few words; empty after a load that worked.
QString VendorLibraryError();
/// True when the file is a whole ELF shared object for this machine: its header
/// names this machine's class, byte order and architecture and a shared object,
/// and every segment of its program headers, and its section header table, lie
/// within the file. The loader maps a file cut short without checking and the
/// program dies on the first page past its end. False with the reason.
bool CheckSharedObjectFile(const QString &fileName, QString &reason);
void UnloadVendorLibrary();
bool VendorLibraryLoaded();
/// Empties `text`; false when no library, no GetData or no entry; else the trimmed text.
bool GetVendorText(int32_t entry, QString &text);
/// The vendor text, empty when missing.
QString VendorText(int32_t entry);
/// The vendor text read as an integer; `def` when missing or not an integer.
int32_t VendorInt(int32_t entry, int32_t def);
/// The picture's file bytes (PNG or BMP); false when no library or no such picture.
bool LoadVendorBitmapData(const QString &name, QByteArray &bytes);
