#pragma once
// The runtime curve drawn with QPainter, the same for the results tab, the PDF
// (as vectors) and the Word document (as a picture): autonomy over the load in
// percent and watts of the installed power, the configuration's own load
// marked, loads beyond the battery table shown as such.

#include "RuntimeCurve.h"

#include <QPointF>
#include <QRectF>

class QPainter;

/// Where the curve's axes lie in an area, and the highest time of the scale.
struct TRuntimeChartFrame {
    QRectF Plot;
    int32_t MaxMinutes = 60;
};

TRuntimeChartFrame RuntimeChartFrame(const QRectF &area, const TRuntimeCurve &curve);
/// The chart position of a load in percent and a time in minutes.
QPointF RuntimeChartPosition(const TRuntimeChartFrame &frame, double loadPercent, double minutes);
/// The configuration's own load in percent of the installed power (unrounded).
double OwnLoadPercent(const TRuntimeCurve &curve);

/// The face the chart's texts are drawn with: the windows' own, or the documents' Arial.
enum class TChartFace { Window, Document };

void PaintRuntimeChart(QPainter &painter, const QRectF &area, const TRuntimeCurve &curve,
                       const TRuntimeChartTexts &texts, TChartFace face = TChartFace::Window);
