// The one text formatter with any text and any arguments: the format, then
// arguments separated by zero bytes, each led by its kind ('d' a whole number,
// 'm' money, 'f' a decimal, anything else text). Never reads past the
// arguments; a refused text comes back unchanged; a text without '%' is itself.

#include "FuzzSupport.h"
#include "TextUtils.h"

#include <QVariant>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = SplitInput(data, size, 9);
    const QString format = QString::fromUtf8(parts[0]);
    QList<QVariant> args;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray &part = parts[i];
        if (part.isEmpty())
            break;
        const QByteArray rest = part.mid(1);
        switch (part[0]) {
        case 'd':
            args << QVariant(rest.toInt());
            break;
        case 'm':
            args << QVariant::fromValue(TCurrency(rest.toLongLong()));
            break;
        case 'f':
            args << QVariant(rest.toDouble());
            break;
        default:
            args << QVariant(QString::fromUtf8(rest));
            break;
        }
    }
    QString out;
    const bool ok = TryFormatText(format, args, out);
    if (!ok)
        FUZZ_CHECK(out.isEmpty() && FormatText(format, args) == format);
    if (!format.contains(u'%'))
        FUZZ_CHECK(ok == args.isEmpty() && (!ok || out == format));
    return 0;
}
