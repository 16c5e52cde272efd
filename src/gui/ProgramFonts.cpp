#include "ProgramFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace {

const char *const kRegularFamily = "Tahoma";
const char *const kBoldFamily = "DejaVu Sans Condensed";

/// The bold face, or Tahoma where it is missing. The choice is left to the font
/// database when the font is first drawn or measured: asking for a family at
/// once would read the whole font list before the window is up.
void SetBoldFamilies(QFont &font)
{
    font.setFamilies({QString::fromLatin1(kBoldFamily), QString::fromLatin1(kRegularFamily)});
}

/// Tahoma, or the bold face, at the default size.
QFont ProgramFace(bool bold)
{
    QFont font(QString::fromLatin1(kRegularFamily));
    if (bold)
        SetBoldFamilies(font);
    font.setBold(bold);
    return font;
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
    QFont font = ProgramFace(bold);
    font.setPointSize(pointSize);
    return font;
}

QFont ProgramPixelFont(int pixelSize, bool bold)
{
    QFont font = ProgramFace(bold);
    font.setPixelSize(pixelSize);
    return font;
}

QFont ProgramBold(const QFont &font)
{
    QFont bold = font;
    if (bold.family() == QLatin1String(kRegularFamily))
        SetBoldFamilies(bold);
    bold.setBold(true);
    return bold;
}

QFont ProgramSansFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    return font;
}

QFont ProgramSansFont(qreal pointSize, bool bold)
{
    QFont font = ProgramSansFont();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
