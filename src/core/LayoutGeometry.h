#pragma once
// The cabinet drawing without a window: the drawing tables (picture names,
// sizes and the offsets of modules and kits inside each cabinet picture) and
// the geometry of the results drawing and of the wizard preview as display
// lists. The windows only paint what these lists say; text widths come in
// through a measuring callback because the core has no fonts.

#include "Globals.h"
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>

struct TBitmapInverterBig {
    QString Name;           // picture resource name; the picture is 89 wide
    int32_t Height = 0;
    int32_t KitTop = 0;
    int32_t KitLeft = 0;
    int32_t ModuleTop = 0;
    int32_t ModuleLeft = 0;
};

struct TBitmapInverterSmall {
    QString Name;
    int32_t Width = 0;      // always 60
    int32_t Height = 0;
    int32_t ModuleTop = 0;
    int32_t ModuleLeft = 0;
};

struct TBitmapInverter {
    QString Code;           // catalogue field 1 of the inverter cabinet
    TBitmapInverterBig Big;
    TBitmapInverterSmall Small;
};

struct TBitmapBattery {
    QString Code;           // catalogue field 1 of the battery cabinet
    QString NamePrefix;     // pictures NamePrefix + "Full" and NamePrefix + "Empty"
    int32_t Height = 0;
    int32_t Width = 0;
    int32_t KitTop = 0;
    int32_t KitLeft = 0;
};

struct TBitmapModuleBig {
    QString Name;
    int32_t Width = 0;
    int32_t Height = 0;
};

struct TBitmapModuleSmall {
    QString Name;
    int32_t Width = 0;
    int32_t Height = 0;
};

struct TBitmapModule {
    QString Code;           // catalogue field 1 of the power module
    TBitmapModuleBig Big;
    TBitmapModuleSmall Small;
};

struct TBitmapKb {
    QString Name;
    int32_t Width = 0;
    int32_t Height = 0;
};

extern QVector<TBitmapInverter> BitmapInverters;
extern QVector<TBitmapBattery> BitmapBatteries;
extern QVector<TBitmapModule> BitmapModules;
extern TBitmapKb BitmapKb;

/// Fills the drawing tables with their fixed rows (empties them first, so a
/// second call does not double the rows).
void BuildDrawingTables();
/// Empties the drawing tables.
void ClearDrawingTables();
/// Builds the tables when they are empty (painting before start-up or after close).
void EnsureDrawingTables();

/// Grows the table by one row and sets all its fields.
void AddBitmapInverter(const QString &code, const QString &bigName, int32_t bigHeight, int32_t kitTop,
                       int32_t kitLeft, int32_t bigModuleTop, int32_t bigModuleLeft, const QString &smallName,
                       int32_t smallWidth, int32_t smallHeight, int32_t smallModuleTop, int32_t smallModuleLeft);
void AddBitmapBattery(const QString &code, const QString &namePrefix, int32_t height, int32_t width, int32_t kitTop,
                      int32_t kitLeft);
void AddBitmapModule(const QString &code, const QString &bigName, int32_t bigWidth, int32_t bigHeight,
                     const QString &smallName, int32_t smallWidth, int32_t smallHeight);

/// Row index of the first row whose Code is exactly `code`; -1 when none.
int32_t FindBitmapInverter(const QString &code);
int32_t FindBitmapBattery(const QString &code);
int32_t FindBitmapModule(const QString &code);
/// The same by catalogue record id (compares with the record's field 1).
int32_t FindBitmapInverterRecord(int32_t inverterRecord);
int32_t FindBitmapBatteryRecord(int32_t batteryCabinetRecord);
int32_t FindBitmapModuleRecord(int32_t moduleRecord);

/// The floor line of the results drawing: every cabinet's bottom edge.
constexpr int32_t kLayoutFloorY = 378;
/// Labels of the battery cabinets are written at this top.
constexpr int32_t kLayoutBatteryLabelY = 398;
/// Width of every big inverter cabinet picture.
constexpr int32_t kInverterBigWidth = 89;
/// Width the small inverter painter uses.
constexpr int32_t kInverterSmallWidth = 60;
/// The results paint box: the drawing is laid out for this width.
constexpr int32_t kLayoutBoxWidth = 605;
constexpr int32_t kLayoutBoxHeight = 437;
/// Margin added around the drawn area when it is captured.
constexpr int32_t kLayoutCaptureMargin = 5;

/// What the big-scale drawing covered, as the painters extend it; Right and
/// Bottom are exclusive (x + width, y + height).
struct TLayoutBounds {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TLayoutBounds &o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

/// The bounds of the last big-scale drawing painted (results page, capture, headless).
extern TLayoutBounds LayoutBounds;

/// One picture to draw: resource name, top-left corner and the size it is cut
/// or extended to (never scaled).
struct TLayoutPicture {
    QString Name;
    QRect Rect;
    bool Transparent = true; // the picture's bottom-left pixel colour is not drawn
};

/// One label: text written with its top-left corner at (X, Y); Size is the measured text.
struct TLayoutLabel {
    QString Text;
    int32_t X = 0;
    int32_t Y = 0;
    QSize Size;
};

/// Width and height of a text in the drawing's font (bold Tahoma, 12 pixels).
using TTextMeasure = std::function<QSize(const QString &)>;

/// A drawing as a list of pictures (in drawing order) and labels.
struct TLayoutDrawing {
    int32_t FullCabinets = 0; // F: how many cabinets the full-cabinet picture stands for
    int32_t InverterX = 0;
    int32_t FullX = 0;
    int32_t PartialX = 0;
    QVector<TLayoutPicture> Pictures;
    QVector<TLayoutLabel> Labels;
    TLayoutBounds Bounds;     // LayoutBounds after painting (big scale only)
};

/// Full-cabinet count F. With the non-modular battery cabinet F is the low
/// 8 bits of BatteryKitCount, and InverterKitPositions of `result` is set to 0
/// so that no kits are drawn in the inverter cabinet.
int32_t LayoutFullCabinets(const TRequestParameters &request, TResultParameters &result);
/// The x positions of the inverter, the full-cabinet picture and the partial cabinet
/// for a paint box `width` pixels wide.
void LayoutPositions(const TRequestParameters &request, const TResultParameters &result, int32_t width,
                     int32_t &inverterX, int32_t &fullX, int32_t &partialX);
/// left + ((right - left) - textWidth) / 2, truncating toward zero.
int32_t CenteredLabelX(int32_t left, int32_t right, int32_t textWidth);

/// The results drawing for a paint box `width` pixels wide (applies the
/// non-modular rule to `result`). Label texts come from section Main of the
/// language file. Items without a drawing row draw no picture; labels stay.
TLayoutDrawing BuildLayoutDrawing(const TRequestParameters &request, TResultParameters &result, int32_t width,
                                  const TTextMeasure &measure);
/// The rectangle to capture: the bounds and every picture, grown by the margin.
QRect LayoutCaptureRect(const TLayoutDrawing &drawing);

/// The inverter cabinet at small scale (no kits, no label, no bounds) with its
/// left edge at x, vertically centred in a paint box of `boxHeight`.
TLayoutDrawing BuildSmallInverterDrawing(const TResultParameters &result, int32_t x, int32_t boxHeight);
/// The wizard preview of `page` (0 closed cabinet, 1 the selected cabinet, 2..6 the configuration).
TLayoutDrawing BuildWizardPreviewDrawing(int32_t page, const TResultParameters &result, const QSize &box);
