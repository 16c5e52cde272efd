#include "Vendor.h"

#include "Globals.h"
#include "Settings.h"
#include "TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <elf.h>

#include <cstring>
#include <memory>

namespace {

// This machine's ELF flavour.
#if Q_PROCESSOR_WORDSIZE == 8
using TElfHeader = Elf64_Ehdr;
using TProgramHeader = Elf64_Phdr;
using TSectionHeader = Elf64_Shdr;
constexpr unsigned char kElfClass = ELFCLASS64;
#else
using TElfHeader = Elf32_Ehdr;
using TProgramHeader = Elf32_Phdr;
using TSectionHeader = Elf32_Shdr;
constexpr unsigned char kElfClass = ELFCLASS32;
#endif
constexpr unsigned char kElfData = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB;
#if defined(__x86_64__) || defined(__i386__)
constexpr quint16 kElfMachine = Q_PROCESSOR_WORDSIZE == 8 ? EM_X86_64 : EM_386;
#elif defined(__aarch64__)
constexpr quint16 kElfMachine = EM_AARCH64;
#elif defined(__arm__)
constexpr quint16 kElfMachine = EM_ARM;
#elif defined(__riscv)
constexpr quint16 kElfMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr quint16 kElfMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr quint16 kElfMachine = EM_S390;
#else
constexpr quint16 kElfMachine = EM_NONE; // not checked
#endif

/// `count` records of `size` bytes at `offset` lie within a file of `fileSize` bytes.
bool WithinFile(quint64 offset, quint64 count, quint64 size, quint64 fileSize)
{
    if (offset > fileSize)
        return false;
    return size == 0 || count <= (fileSize - offset) / size;
}

/// Reads the record at `offset`; false when the file ends before it.
template <typename T> bool ReadRecord(QFile &file, quint64 offset, T &record)
{
    return file.seek(qint64(offset)) &&
           file.read(reinterpret_cast<char *>(&record), qint64(sizeof record)) == qint64(sizeof record);
}

bool CheckElfHeader(const TElfHeader &h, QString &reason)
{
    if (std::memcmp(h.e_ident, ELFMAG, SELFMAG) != 0) {
        reason = QStringLiteral("not an ELF file");
        return false;
    }
    if (h.e_ident[EI_CLASS] != kElfClass || h.e_ident[EI_DATA] != kElfData || h.e_ident[EI_VERSION] != EV_CURRENT ||
        h.e_version != EV_CURRENT || (kElfMachine != EM_NONE && h.e_machine != kElfMachine)) {
        reason = QStringLiteral("made for another kind of machine");
        return false;
    }
    if (h.e_type != ET_DYN) {
        reason = QStringLiteral("not a shared library");
        return false;
    }
    if (h.e_phnum == 0 || h.e_phnum == PN_XNUM || h.e_phentsize != sizeof(TProgramHeader) ||
        (h.e_shoff != 0 && h.e_shentsize != sizeof(TSectionHeader))) {
        reason = QStringLiteral("its headers are damaged");
        return false;
    }
    return true;
}

std::unique_ptr<QLibrary> g_library;
QString g_libraryError;
// Resolved once per load: the sizing asks for vendor texts in its inner loops.
TVendorGetData g_getData = nullptr;
TVendorGetBitmap g_getBitmap = nullptr;

bool IsPlainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

bool LoadVendorLibrary(const QString &programPath, const QString &vendorName)
{
    // The vendor name comes from a settings file: it names a library beside
    // the program, never one somewhere else.
    if (!IsPlainName(vendorName) || programPath.isEmpty()) {
        UnloadVendorLibrary();
        g_libraryError = QStringLiteral("the vendor name is no file name");
        return false;
    }
    return LoadVendorLibraryFile(programPath + vendorName + QStringLiteral(".so"));
}

bool CheckSharedObjectFile(const QString &fileName, QString &reason)
{
    reason.clear();
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("the file cannot be read");
        return false;
    }
    const quint64 fileSize = quint64(file.size());
    TElfHeader header;
    if (!ReadRecord(file, 0, header)) {
        reason = QStringLiteral("not an ELF file");
        return false;
    }
    if (!CheckElfHeader(header, reason))
        return false;
    const QString cutShort = QStringLiteral("the file is cut short");
    if (!WithinFile(header.e_phoff, header.e_phnum, sizeof(TProgramHeader), fileSize)) {
        reason = cutShort;
        return false;
    }
    for (quint64 i = 0; i < header.e_phnum; ++i) {
        TProgramHeader segment;
        if (!ReadRecord(file, header.e_phoff + i * sizeof segment, segment) ||
            !WithinFile(segment.p_offset, segment.p_filesz, 1, fileSize)) {
            reason = cutShort;
            return false;
        }
    }
    if (header.e_shoff != 0) {
        // With 0 sections named in the header, the first section header holds the count.
        quint64 sections = header.e_shnum;
        TSectionHeader first;
        if (sections == 0 && ReadRecord(file, header.e_shoff, first))
            sections = first.sh_size;
        if (!WithinFile(header.e_shoff, qMax<quint64>(sections, 1), sizeof(TSectionHeader), fileSize)) {
            reason = cutShort;
            return false;
        }
    }
    return true;
}

bool LoadVendorLibraryFile(const QString &fileName)
{
    UnloadVendorLibrary();
    // Only the file itself: QLibrary would otherwise try other names beside it.
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.isFile()) {
        g_libraryError = QStringLiteral("the file is missing");
        return false;
    }
    if (!CheckSharedObjectFile(info.absoluteFilePath(), g_libraryError))
        return false;
    auto library = std::make_unique<QLibrary>();
    library->setFileName(info.absoluteFilePath());
    if (!library->load()) {
        g_libraryError = library->errorString();
        return false;
    }
    // A library without GetData is some other library, not a vendor's.
    g_getData = reinterpret_cast<TVendorGetData>(library->resolve("GetData"));
    if (g_getData == nullptr) {
        library->unload();
        g_libraryError = QStringLiteral("it is no vendor library (it has no GetData)");
        return false;
    }
    g_getBitmap = reinterpret_cast<TVendorGetBitmap>(library->resolve("GetBitmap"));
    g_library = std::move(library);
    return true;
}

QString VendorLibraryError() { return g_libraryError; }

void UnloadVendorLibrary()
{
    g_libraryError.clear();
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
