#pragma once
// How the offer documents fit their tables and texts into a band of fixed
// width: columns as wide as their widest text while the table fits, the widest
// ones narrowed to an equal share of what is left where it does not, and text
// wrapped onto further lines within a column, never beyond it.

#include <QFont>
#include <QStringList>
#include <QVector>

class QPaintDevice;

/// The width of each column, given the width of each column's widest text, on a
/// band of `bandWidth` with `gap` between neighbouring columns. While the texts
/// fit they keep their widths; otherwise every column narrower than an equal
/// share of the room left keeps its width and the wider ones share the rest
/// equally. The widths and gaps never add up to more than the band.
QVector<int> FitColumnWidths(const QVector<int> &natural, int bandWidth, int gap);

/// The lines of `text` wrapped within `width` in the font as measured on the
/// device (word boundaries first, inside a word only where one word is wider
/// than the line). An empty text is one empty line.
QStringList WrapText(const QString &text, const QFont &font, const QPaintDevice *device, int width);

/// The advance of the text in the font on the device, rounded up.
int TextWidth(const QString &text, const QFont &font, const QPaintDevice *device);
