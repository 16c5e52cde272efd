#pragma once
// Painting of the cabinet drawing (results page, big scale) and of the
// wizard's preview (small scale). The geometry comes from the core.

#include "Globals.h"
#include "Headless.h"
#include <QImage>
#include <QSize>

class QPainter;

/// The wizard preview for `page` into a paint box of `size` (70 x 240 in the wizard).
void PaintWizardPreview(QPainter &painter, const QSize &size, int32_t page, const TRequestParameters &request,
                        TResultParameters &result);
/// Paints the results drawing into an image of the paint box's size and returns the
/// captured rectangle (the LayoutBitmap).
QImage RenderLayoutBitmap(const TRequestParameters &request, TResultParameters &result, int width = 605,
                          int height = 437);
/// Hooks for the headless mode: adds "layout" to each result and, when
/// `layoutImagePath` is not empty, writes the captured drawing there as PNG.
THeadlessHooks MakeLayoutHooks(const QString &layoutImagePath);
