// The price-list maker's CSV reader on any bytes: it reads or names the line
// and column of the fault; what it reads, written back as CSV, reads the same.

#include "FuzzSupport.h"
#include "PriceListMaker.h"

namespace {

QByteArray ToCsv(const QList<QStringList> &rows)
{
    QByteArray out;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString cell : row)
            cells << u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
        out += cells.join(u',').toUtf8() + "\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QStringList> rows;
    QString error;
    if (!ReadCsv(bytes, rows, error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    QList<QStringList> again;
    FUZZ_CHECK(ReadCsv(ToCsv(rows), again, error));
    FUZZ_CHECK(again == rows);
    TCurrency amount = 0;
    for (const QStringList &row : rows)
        for (const QString &cell : row)
            ParseMoneyText(cell, amount);
    return 0;
}
