#pragma once
// Painting of the cabinet drawing (results page, big scale) and of the
// wizard's preview (small scale). The geometry comes from the core.

#include "Globals.h"
#include "Headless.h"
#include "LayoutGeometry.h"
#include "WizardCore.h"
#include <QFont>
#include <QImage>
#include <QSize>

class QPainter;

/// The wizard preview for `page` into a paint box of `size` (70 x 240 in the wizard).
void PaintWizardPreview(QPainter &painter, const QSize &size, TWizardPage page, const TRequestParameters &request,
                        TResultParameters &result);
/// Paints the results drawing into an image of the paint box's size and returns the
/// captured rectangle (the LayoutBitmap).
QImage RenderLayoutBitmap(const TRequestParameters &request, TResultParameters &result, int width = 605,
                          int height = 437);
/// Hooks for the headless mode: adds "layout" to each result and, when
/// `layoutImagePath` is not empty, writes the captured drawing there as PNG.
/// An image that cannot be written is told to `writeFailed` with a message
/// naming the file and the reason (on standard error without one).
THeadlessHooks MakeLayoutHooks(const QString &layoutImagePath,
                               const std::function<void(const QString &message)> &writeFailed = {});

/// The drawing's label font: Tahoma, bold, 12 pixels high.
QFont LayoutFont();
/// Text width and height in `font` (QFontMetrics: needs a QGuiApplication).
TTextMeasure LayoutTextMeasure(const QFont &font);
/// The named vendor picture cut or extended (not scaled) to width x height; when
/// `transparent`, every pixel of the bottom-left pixel's colour becomes transparent.
/// False when the picture cannot be loaded.
bool LoadPicture(QImage &picture, int width, int height, bool transparent, const QString &name);
/// Draws the pictures in order (those that cannot be loaded are left out), then the labels
/// in `font` in black.
void PaintLayoutDrawing(QPainter &painter, const TLayoutDrawing &drawing, const QFont &font = LayoutFont());
/// The captured drawing: LayoutCaptureRect of the drawing on white.
QImage CaptureLayoutDrawing(const TLayoutDrawing &drawing, const QFont &font = LayoutFont());
