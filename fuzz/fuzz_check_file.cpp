// The update check file from any bytes, with the version and date comparisons:
// input is the program's version, a price list's date, then the file. The
// comparisons are strict orders and the texts built from the file never fail.

#include "FuzzSupport.h"
#include "PriceList.h"
#include "UpdateCheck.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = SplitInput(data, size, 3);
    const QString current = QString::fromUtf8(parts[0]);
    const QString file = ScratchFile(QString::fromLatin1(kCheckFileName));
    WriteWholeFile(file, parts[2]);

    TPriceList list;
    list.Loaded = !parts[1].isEmpty();
    list.CountryID = 39;
    list.ValidityDate = QString::fromUtf8(parts[1]);
    const TUpdateData update = ReadCheckFile(file, QStringLiteral("Quenvar"), 1040, list);

    const bool newerProgram = IsNewerProgram(current, update.ProgramVersion);
    FUZZ_CHECK(!(newerProgram && IsNewerProgram(update.ProgramVersion, current)));
    FUZZ_CHECK(!IsNewerProgram(current, current));
    const bool newerList = IsNewerPriceList(list, update.PriceListDate);
    FUZZ_CHECK(!newerList || list.Loaded);
    TPriceList same = list;
    FUZZ_CHECK(!IsNewerPriceList(same, list.ValidityDate));

    UpdateQuestionText(newerProgram, newerList, update);
    UpdateNoticeText(update);
    return 0;
}
