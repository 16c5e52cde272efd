// A price-list file of any bytes opened as the program opens it, unencrypted
// (first byte even) so that the database engine reads the bytes themselves, or
// with the vendor's password. It opens or is refused; prices read from it are
// never negative beyond what the file says, and the file is left as it was.

#include "FuzzSupport.h"
#include "Globals.h"
#include "PriceList.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QString vendor = data[0] % 2 == 0 ? QStringLiteral("Plain") : QStringLiteral("Quenvar");
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString dataPath = ScratchFolder().path() + u'/';
    WriteWholeFile(dataPath + QLatin1String(kPriceListFileName), bytes);

    TPriceList list;
    const bool loaded = LoadPriceListFile(dataPath, vendor, list);
    FUZZ_CHECK(loaded == list.Loaded && loaded != list.NotValid);
    if (loaded) {
        for (int32_t group = 0; group < 4; ++group) {
            const QString table = PriceTableName(group);
            QueryPrice(table, QStringLiteral("QV-UPS-10"));
            QueryPrice(table, QStringLiteral("x' OR '1'='1"));
        }
        PriceListCountryLine(list);
        PriceListDateLine(list);
    }
    ClosePriceListDatabase();
    FUZZ_CHECK(ReadWholeFile(dataPath + QLatin1String(kPriceListFileName)) == bytes);
    return 0;
}
