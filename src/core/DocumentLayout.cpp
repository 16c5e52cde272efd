#include "DocumentLayout.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

QVector<int> FitColumnWidths(const QVector<int> &natural, int bandWidth, int gap)
{
    const int count = int(natural.size());
    QVector<int> widths = natural;
    if (count == 0)
        return widths;
    int room = std::max(0, bandWidth - gap * (count - 1));
    if (std::accumulate(natural.begin(), natural.end(), 0) <= room)
        return widths;
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return natural[a] < natural[b]; });
    for (int k = 0; k < count; ++k) {
        const int left = count - k;
        const int share = room / left;
        if (natural[order[k]] <= share) {
            room -= natural[order[k]];
            continue;
        }
        // This column and every wider one share what is left; the first ones
        // take the pixels the division leaves over.
        for (int j = k; j < count; ++j)
            widths[order[j]] = share + (j - k < room % left ? 1 : 0);
        break;
    }
    return widths;
}

QStringList WrapText(const QString &text, const QFont &font, const QPaintDevice *device, int width)
{
    if (text.isEmpty())
        return {QString()};
    // A line break the text holds (notes typed on several lines) starts a new line.
    if (text.contains(u'\n')) {
        QStringList lines;
        for (const QString &paragraph : text.split(u'\n'))
            lines << WrapText(paragraph, font, device, width);
        return lines;
    }
    // A text that fits stays whole: the layout below measures a shade wider.
    if (TextWidth(text, font, device) <= width)
        return {text};
    QTextLayout layout(text, font, const_cast<QPaintDevice *>(device));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

int TextWidth(const QString &text, const QFont &font, const QPaintDevice *device)
{
    return int(std::ceil(QFontMetricsF(font, const_cast<QPaintDevice *>(device)).horizontalAdvance(text)));
}
