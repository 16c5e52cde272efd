#include "RuntimeChartPainter.h"
#include "DataSheet.h"
#include "ProgramFonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor kAxis(0x40, 0x40, 0x40);
const QColor kGrid(0xDD, 0xE3, 0xEC);
const QColor kCurve(0x1F, 0x4E, 0x8C);
const QColor kOwn(0xE8, 0x7A, 0x00);
const QColor kEndOfLife(0xB0, 0x24, 0x24);
constexpr double kLeft = 64, kRight = 32, kTop = 30, kBottom = 52;

/// The chart's font at a pixel size in the face it is drawn with.
QFont ChartFont(TChartFace face, int pixelSize, bool bold = false)
{
    if (face == TChartFace::Window)
        return ProgramPixelFont(pixelSize, bold);
    QFont font = ProgramSansFont();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

/// A time step that gives the scale at most six steps.
int32_t TimeStep(int32_t maxMinutes)
{
    for (int32_t step : {1, 2, 5, 10, 15, 30, 60, 120, 240, 480, 960, 1920})
        if (maxMinutes <= step * 6)
            return step;
    return 3840;
}

void PaintAxes(QPainter &p, const TRuntimeChartFrame &f, const TRuntimeCurve &curve, const TRuntimeChartTexts &texts,
               TChartFace face)
{
    p.setFont(ChartFont(face, 11));
    const int32_t step = TimeStep(f.MaxMinutes);
    for (int32_t m = 0; m <= f.MaxMinutes; m += step) {
        const QPointF at = RuntimeChartPosition(f, 0, m);
        p.setPen(QPen(kGrid, 1));
        p.drawLine(QPointF(f.Plot.left(), at.y()), QPointF(f.Plot.right(), at.y()));
        p.setPen(kAxis);
        const QString label = FormatAutonomy(m, texts.InMinutes);
        p.drawText(QRectF(f.Plot.left() - kLeft, at.y() - 8, kLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter, label);
    }
    for (const TRuntimePoint &point : curve.Points) {
        const QPointF at = RuntimeChartPosition(f, point.LoadPercent, 0);
        p.setPen(QPen(kGrid, 1));
        p.drawLine(QPointF(at.x(), f.Plot.top()), QPointF(at.x(), f.Plot.bottom()));
        p.setPen(kAxis);
        p.drawText(QRectF(at.x() - 30, f.Plot.bottom() + 3, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("%1 %").arg(point.LoadPercent));
        p.drawText(QRectF(at.x() - 30, f.Plot.bottom() + 16, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("%1 W").arg(qRound(point.LoadWatts)));
    }
    p.setPen(QPen(kAxis, 1.2));
    p.drawLine(f.Plot.bottomLeft(), f.Plot.bottomRight());
    p.drawLine(f.Plot.bottomLeft(), f.Plot.topLeft());
    p.setFont(ChartFont(face, 12, true));
    p.drawText(QRectF(f.Plot.left(), f.Plot.bottom() + 32, f.Plot.width(), 18), Qt::AlignHCenter, texts.LoadAxis);
    p.drawText(QRectF(f.Plot.left() - kLeft + 4, f.Plot.top() - kTop + 4, 300, 18), Qt::AlignLeft, texts.AutonomyAxis);
}

/// The minutes of one of the two curves at a point.
using TCurveMinutes = int32_t TRuntimePoint::*;

void PaintCurve(QPainter &p, const TRuntimeChartFrame &f, const TRuntimeCurve &curve, const TRuntimeChartTexts &texts,
                TChartFace face, TCurveMinutes minutesOf, const QColor &colour, Qt::PenStyle style)
{
    QPainterPath path;
    bool open = false;
    bool beyondLabelled = false;
    p.setFont(ChartFont(face, 11));
    for (const TRuntimePoint &point : curve.Points) {
        if ((point.*minutesOf) == -1 && minutesOf != &TRuntimePoint::Minutes) {
            open = false; // the new batteries' curve marks it already
            continue;
        }
        if ((point.*minutesOf) == -1) {
            // Beyond the table: a mark at the top of the scale, never a made-up time.
            const QPointF top = RuntimeChartPosition(f, point.LoadPercent, f.MaxMinutes);
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPolygon(QPolygonF({top + QPointF(-5, 6), top + QPointF(5, 6), top + QPointF(0, -2)}));
            if (!beyondLabelled) {
                p.setPen(colour);
                p.drawText(QRectF(top.x() + 8, top.y() - 2, 200, 14), Qt::AlignLeft | Qt::AlignTop, texts.BeyondTable);
                beyondLabelled = true;
            }
            open = false;
            continue;
        }
        const QPointF at = RuntimeChartPosition(f, point.LoadPercent, (point.*minutesOf));
        if (open)
            path.lineTo(at);
        else
            path.moveTo(at);
        open = true;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 2.2, style, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    for (const TRuntimePoint &point : curve.Points)
        if ((point.*minutesOf) != -1)
            p.drawEllipse(RuntimeChartPosition(f, point.LoadPercent, (point.*minutesOf)), 3, 3);
}

/// The legend of the two curves in the plot's top right corner.
void PaintLegend(QPainter &p, const TRuntimeChartFrame &f, const TRuntimeChartTexts &texts, TChartFace face)
{
    p.setFont(ChartFont(face, 11));
    const QFontMetrics fm(p.font());
    const double sample = 26, gap = 6, line = 16;
    const double width = sample + gap + std::max(fm.horizontalAdvance(texts.NewCurve),
                                                 fm.horizontalAdvance(texts.EndOfLifeCurve)) + 12;
    const QRectF box(f.Plot.right() - width - 4, f.Plot.top() + 4, width, 2 * line + 8);
    p.setPen(QPen(kGrid, 1));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box);
    const struct {
        const QString &Text;
        QColor Colour;
        Qt::PenStyle Style;
    } entries[] = {{texts.NewCurve, kCurve, Qt::SolidLine}, {texts.EndOfLifeCurve, kEndOfLife, Qt::DashLine}};
    double y = box.top() + 4;
    for (const auto &entry : entries) {
        const double mid = y + line / 2;
        p.setPen(QPen(entry.Colour, 2.2, entry.Style, Qt::FlatCap));
        p.drawLine(QPointF(box.left() + 6, mid), QPointF(box.left() + 6 + sample, mid));
        p.setPen(kAxis);
        p.drawText(QRectF(box.left() + 6 + sample + gap, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, entry.Text);
        y += line;
    }
}

void PaintOwnLoad(QPainter &p, const TRuntimeChartFrame &f, const TRuntimeCurve &curve, const TRuntimeChartTexts &texts,
                  TChartFace face)
{
    const double minutes = curve.Own.Minutes == -1 ? f.MaxMinutes : curve.Own.Minutes;
    const QPointF at = RuntimeChartPosition(f, OwnLoadPercent(curve), minutes);
    p.setPen(QPen(kOwn, 1, Qt::DashLine));
    p.drawLine(QPointF(at.x(), f.Plot.bottom()), at);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(kOwn);
    p.drawEllipse(at, 6, 6);
    p.setPen(kOwn);
    p.setFont(ChartFont(face, 12, true));
    const QFontMetrics fm(p.font());
    const double width = fm.horizontalAdvance(texts.OwnLoad) + 4;
    const double x = std::min(at.x() + 10, f.Plot.right() - width);
    // Two lines above the mark, where the falling curves leave room: the time now, then at end of life.
    const double y = std::max(at.y() - 37, f.Plot.top() - kTop + 4);
    p.drawText(QRectF(x, y, width, 16), Qt::AlignLeft | Qt::AlignVCenter, texts.OwnLoad);
    // The end-of-life figure at the own load: a ring on its curve, the time under the label.
    if (curve.Own.EndOfLifeMinutes != -1) {
        const QPointF end = RuntimeChartPosition(f, OwnLoadPercent(curve), curve.Own.EndOfLifeMinutes);
        p.setPen(QPen(kEndOfLife, 2));
        p.setBrush(Qt::white);
        p.drawEllipse(end, 4.5, 4.5);
    }
    p.setPen(kEndOfLife);
    p.setFont(ChartFont(face, 11, true));
    const QFontMetrics small(p.font());
    const double endWidth = small.horizontalAdvance(texts.OwnEndOfLife) + 4;
    const double endX = std::min(at.x() + 10, f.Plot.right() - endWidth);
    p.drawText(QRectF(endX, y + 15, endWidth, 15), Qt::AlignLeft | Qt::AlignVCenter, texts.OwnEndOfLife);
}

} // namespace

TRuntimeChartFrame RuntimeChartFrame(const QRectF &area, const TRuntimeCurve &curve)
{
    TRuntimeChartFrame frame;
    frame.Plot = area.adjusted(kLeft, kTop, -kRight, -kBottom);
    int32_t longest = std::max(curve.Own.Minutes, 0);
    for (const TRuntimePoint &point : curve.Points)
        longest = std::max(longest, point.Minutes);
    if (longest <= 0)
        longest = 60;
    const int32_t step = TimeStep(longest);
    frame.MaxMinutes = (longest + step - 1) / step * step;
    return frame;
}

QPointF RuntimeChartPosition(const TRuntimeChartFrame &frame, double loadPercent, double minutes)
{
    return {frame.Plot.left() + frame.Plot.width() * loadPercent / 100.0,
            frame.Plot.bottom() - frame.Plot.height() * minutes / double(frame.MaxMinutes)};
}

double OwnLoadPercent(const TRuntimeCurve &curve)
{
    if (curve.Points.isEmpty() || !(curve.Points.last().LoadWatts > 0.0f))
        return 0.0;
    return std::clamp(double(curve.Own.LoadWatts) / double(curve.Points.last().LoadWatts) * 100.0, 0.0, 100.0);
}

void PaintRuntimeChart(QPainter &painter, const QRectF &area, const TRuntimeCurve &curve,
                       const TRuntimeChartTexts &texts, TChartFace face)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!curve.Available()) {
        painter.setPen(kAxis);
        painter.setFont(ChartFont(face, 12, true));
        painter.drawText(area.adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap, texts.Absence);
        painter.restore();
        return;
    }
    const TRuntimeChartFrame frame = RuntimeChartFrame(area, curve);
    PaintAxes(painter, frame, curve, texts, face);
    PaintCurve(painter, frame, curve, texts, face, &TRuntimePoint::Minutes, kCurve, Qt::SolidLine);
    PaintCurve(painter, frame, curve, texts, face, &TRuntimePoint::EndOfLifeMinutes, kEndOfLife, Qt::DashLine);
    PaintOwnLoad(painter, frame, curve, texts, face);
    PaintLegend(painter, frame, texts, face);
    painter.restore();
}
