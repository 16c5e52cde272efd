// The settings reader and writer on any file: input is section, key and value
// (each up to a zero byte) and then the file's bytes. A value written reads back
// exactly; every other key reads as before; a refused write leaves the file as
// it was.

#include "FuzzSupport.h"
#include "IniFile.h"
#include "TextCodec.h"

#include <QStringList>

namespace {

const QStringList kSections = {QStringLiteral("S"), QStringLiteral("Setup"), QString(), QStringLiteral("T")};
const QStringList kKeys = {QStringLiteral("K"), QStringLiteral("A"), QStringLiteral("LanguageFile"),
                           QStringLiteral("k")};

QString Folded(const QString &name)
{
    return TrimBlanksAndControls(name).toCaseFolded();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = SplitInput(data, size, 4);
    const QString section = QString::fromUtf8(parts[0]);
    const QString key = QString::fromUtf8(parts[1]);
    const QString value = QString::fromUtf8(parts[2]);
    const QString file = ScratchFile(QStringLiteral("fuzz.ini"));
    WriteWholeFile(file, parts[3]);

    QStringList sections = kSections, keys = kKeys;
    sections << section;
    keys << key;
    QHash<QString, QString> before;
    for (const QString &s : sections)
        for (const QString &k : keys)
            before.insert(s + u'\x1F' + k, IniReadString(file, s, k, QStringLiteral("\x01missing")));

    const bool written = IniWriteString(file, section, key, value);
    if (!written) {
        FUZZ_CHECK(ReadWholeFile(file) == parts[3]);
        return 0;
    }
    const QString readBack = IniReadString(file, section, key, QStringLiteral("\x01missing"));
    if (readBack != value)
        std::fprintf(stderr, "wrote [%s] read [%s] file [%s]\n", value.toUtf8().toHex(' ').constData(),
                     readBack.toUtf8().toHex(' ').constData(), ReadWholeFile(file).toHex(' ').constData());
    FUZZ_CHECK(readBack == value);
    for (const QString &s : sections)
        for (const QString &k : keys) {
            if (Folded(s) == Folded(section) && Folded(k) == Folded(key))
                continue;
            FUZZ_CHECK(IniReadString(file, s, k, QStringLiteral("\x01missing")) == before.value(s + u'\x1F' + k));
        }
    return 0;
}
