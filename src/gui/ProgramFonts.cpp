#include "ProgramFonts.h"

#include <QFile>
#include <QFontDatabase>

namespace {

const char *const kRegularFamily = "Tahoma";
const char *const kBoldFamily = "DejaVu Sans Condensed";

QString BoldFamily()
{
    static const QString family = QFontDatabase::hasFamily(QLatin1String(kBoldFamily))
                                      ? QString::fromLatin1(kBoldFamily)
                                      : QString::fromLatin1(kRegularFamily);
    return family;
}

} // namespace

void LoadProgramFonts()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(tahoma))
        QFontDatabase::addApplicationFont(tahoma);
}

QFont ProgramFont(int pointSize, bool bold)
{
    QFont font(bold ? BoldFamily() : QString::fromLatin1(kRegularFamily));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QFont ProgramPixelFont(int pixelSize, bool bold)
{
    QFont font(bold ? BoldFamily() : QString::fromLatin1(kRegularFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont ProgramBold(const QFont &font)
{
    QFont bold = font;
    if (bold.family() == QLatin1String(kRegularFamily))
        bold.setFamily(BoldFamily());
    bold.setBold(true);
    return bold;
}

QString ProgramSansFamily()
{
    static const QString family = [] {
        for (const char *name : {"Arial", "Liberation Sans"})
            if (QFontDatabase::hasFamily(QLatin1String(name)))
                return QString::fromLatin1(name);
        return QStringLiteral("Arial");
    }();
    return family;
}
