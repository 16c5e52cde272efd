#include "LayoutGeometry.h"
#include "CatalogueRecords.h"
#include "Lang.h"
#include "TextUtils.h"

#include <algorithm>

QVector<TBitmapInverter> BitmapInverters;
QVector<TBitmapBattery> BitmapBatteries;
QVector<TBitmapModule> BitmapModules;
TBitmapKb BitmapKb;
TLayoutBounds LayoutBounds;

void AddBitmapInverter(const QString &code, const QString &bigName, int32_t bigHeight, int32_t kitTop,
                       int32_t kitLeft, int32_t bigModuleTop, int32_t bigModuleLeft, const QString &smallName,
                       int32_t smallWidth, int32_t smallHeight, int32_t smallModuleTop, int32_t smallModuleLeft)
{
    TBitmapInverter row;
    row.Code = code;
    row.Big.Name = bigName;
    row.Big.Height = bigHeight;
    row.Big.KitTop = kitTop;
    row.Big.KitLeft = kitLeft;
    row.Big.ModuleTop = bigModuleTop;
    row.Big.ModuleLeft = bigModuleLeft;
    row.Small.Name = smallName;
    row.Small.Width = smallWidth;
    row.Small.Height = smallHeight;
    row.Small.ModuleTop = smallModuleTop;
    row.Small.ModuleLeft = smallModuleLeft;
    BitmapInverters.append(row);
}

void AddBitmapBattery(const QString &code, const QString &namePrefix, int32_t height, int32_t width, int32_t kitTop,
                      int32_t kitLeft)
{
    TBitmapBattery row;
    row.Code = code;
    row.NamePrefix = namePrefix;
    row.Height = height;
    row.Width = width;
    row.KitTop = kitTop;
    row.KitLeft = kitLeft;
    BitmapBatteries.append(row);
}

void AddBitmapModule(const QString &code, const QString &bigName, int32_t bigWidth, int32_t bigHeight,
                     const QString &smallName, int32_t smallWidth, int32_t smallHeight)
{
    TBitmapModule row;
    row.Code = code;
    row.Big.Name = bigName;
    row.Big.Width = bigWidth;
    row.Big.Height = bigHeight;
    row.Small.Name = smallName;
    row.Small.Width = smallWidth;
    row.Small.Height = smallHeight;
    BitmapModules.append(row);
}

void BuildDrawingTables()
{
    ClearDrawingTables();

    // Cabinets of one module row (1_x) are 280 high, of two rows (2_x) 350; the
    // 9- and 12-slot cabinets and the one without batteries have no kit positions.
    AddBitmapInverter("2001", "InverterCabinet_1_3", 280, 172, 11, 23, 11, "InverterCabinetSmall_1_3", 60, 188, 16, 8);
    AddBitmapInverter("2011", "InverterCabinet_1_3", 280, 172, 11, 23, 11, "InverterCabinetSmall_1_3", 60, 188, 16, 8);
    AddBitmapInverter("2021", "InverterCabinet_1_6", 280, 172, 11, 20, 11, "InverterCabinetSmall_1_6", 60, 188, 15, 8);
    AddBitmapInverter("2031", "InverterCabinet_1_6", 280, 172, 11, 20, 11, "InverterCabinetSmall_1_6", 60, 188, 15, 8);
    AddBitmapInverter("2041", "InverterCabinet_1_9", 280, 0, 0, 21, 11, "InverterCabinetSmall_1_9", 60, 188, 15, 8);
    AddBitmapInverter("2231", "InverterCabinet_1_9", 280, 0, 0, 21, 11, "InverterCabinetSmall_1_9", 60, 188, 15, 8);
    AddBitmapInverter("2171", "InverterCabinet_2_3", 350, 238, 11, 22, 11, "InverterCabinetSmall_2_3", 60, 239, 15, 9);
    AddBitmapInverter("2181", "InverterCabinet_2_3", 350, 238, 11, 22, 11, "InverterCabinetSmall_2_3", 60, 239, 15, 9);
    AddBitmapInverter("2191", "InverterCabinet_2_6", 350, 238, 11, 22, 11, "InverterCabinetSmall_2_6", 60, 239, 15, 9);
    AddBitmapInverter("2201", "InverterCabinet_2_6_no_batt", 350, 0, 0, 22, 11, "InverterCabinetSmall_2_6_no_batt", 60,
                      239, 15, 9);
    AddBitmapInverter("2211", "InverterCabinet_2_9", 350, 0, 0, 22, 11, "InverterCabinetSmall_2_9", 60, 239, 15, 9);
    AddBitmapInverter("2051", "InverterCabinet_2_9", 350, 0, 0, 22, 11, "InverterCabinetSmall_2_9", 60, 239, 15, 9);
    AddBitmapInverter("2221", "InverterCabinet_2_12", 350, 0, 0, 22, 11, "InverterCabinetSmall_2_12", 60, 239, 15, 9);
    AddBitmapInverter("2061", "InverterCabinet_2_12", 350, 0, 0, 22, 11, "InverterCabinetSmall_2_12", 60, 239, 15, 9);

    AddBitmapBattery("2071", "BatteryCabinet_16_", 280, 89, 172, 12);
    AddBitmapBattery("2081", "BatteryCabinet_20_", 350, 89, 219, 12);
    AddBitmapBattery("2151", "BatteryCabinet_Yuasa_94_", 340, 132, 0, 0);

    AddBitmapModule("2091", "PowerModule_34", 23, 53, "PowerModuleSmall_34", 15, 35);
    AddBitmapModule("2101", "PowerModule_34", 23, 53, "PowerModuleSmall_34", 15, 35);
    AddBitmapModule("2111", "PowerModule_50", 23, 54, "PowerModuleSmall_50", 15, 37);
    AddBitmapModule("2161", "PowerModule_50", 23, 54, "PowerModuleSmall_50", 15, 37);

    BitmapKb.Name = "BatteryKb";
    BitmapKb.Width = 69;
    BitmapKb.Height = 48;
}

void ClearDrawingTables()
{
    BitmapInverters.clear();
    BitmapBatteries.clear();
    BitmapModules.clear();
    BitmapKb = TBitmapKb();
}

void EnsureDrawingTables()
{
    if (BitmapInverters.isEmpty() || BitmapBatteries.isEmpty() || BitmapModules.isEmpty() || BitmapKb.Name.isEmpty())
        BuildDrawingTables();
}

namespace {

template <typename T> int32_t FindByCode(const QVector<T> &table, const QString &code)
{
    for (int32_t i = 0; i < table.size(); ++i)
        if (table[i].Code == code)
            return i;
    return -1;
}

// An item without a record (-1) or without a code never matches a row.
QString RecordCode(int32_t record)
{
    if (record < 0)
        return QString();
    return CatalogueRecord(record).ProductCodeText;
}

} // namespace

int32_t FindBitmapInverter(const QString &code) { return code.isEmpty() ? -1 : FindByCode(BitmapInverters, code); }
int32_t FindBitmapBattery(const QString &code) { return code.isEmpty() ? -1 : FindByCode(BitmapBatteries, code); }
int32_t FindBitmapModule(const QString &code) { return code.isEmpty() ? -1 : FindByCode(BitmapModules, code); }
int32_t FindBitmapInverterRecord(int32_t inverterRecord) { return FindBitmapInverter(RecordCode(inverterRecord)); }
int32_t FindBitmapBatteryRecord(int32_t batteryCabinetRecord)
{
    return FindBitmapBattery(RecordCode(batteryCabinetRecord));
}
int32_t FindBitmapModuleRecord(int32_t moduleRecord) { return FindBitmapModule(RecordCode(moduleRecord)); }

int32_t LayoutFullCabinets(const TRequestParameters &request, TResultParameters &result)
{
    const bool onlyInverter = OnlyInverterActive(request);
    if (!request.ModularBatteryCabinet) {
        // One non-modular cabinet per kit; such cabinets leave the inverter's drawers empty.
        result.InverterKitPositions = 0;
        if (onlyInverter)
            return 0;
        return int32_t(uint8_t(result.BatteryKitCount & 0xFF));
    }
    const int32_t count = result.BatteryCabinetCount;
    if (onlyInverter || count == 0 || (count == 1 && result.KitsInLastCabinet > 0))
        return 0;
    return result.KitsInLastCabinet > 0 ? count - 1 : count;
}

void LayoutPositions(const TRequestParameters &request, const TResultParameters &result, int32_t width,
                     int32_t &inverterX, int32_t &fullX, int32_t &partialX)
{
    inverterX = 0;
    fullX = 0;
    partialX = 0;
    if (OnlyInverterActive(request) || result.BatteryCabinetCount == 0) {
        inverterX = (width - kInverterBigWidth) / 2 - 10;
    } else if (result.KitsInLastCabinet > 0) {
        if (result.BatteryCabinetCount > 1) {
            inverterX = 82;
            fullX = (width - kInverterBigWidth) / 2;
            partialX = 430;
        } else {
            inverterX = 150;
            partialX = 348;
        }
    } else {
        inverterX = 150;
        fullX = 348;
    }
}

int32_t CenteredLabelX(int32_t left, int32_t right, int32_t textWidth)
{
    return left + ((right - left) - textWidth) / 2; // C++ division truncates toward zero
}

namespace {

void AddLabel(TLayoutDrawing &d, const TTextMeasure &measure, const QString &text, int32_t left, int32_t right,
              int32_t y, bool setLeft)
{
    const QSize size = measure ? measure(text) : QSize(0, 0);
    TLayoutLabel label;
    label.Text = text;
    label.X = CenteredLabelX(left, right, size.width());
    label.Y = y;
    label.Size = size;
    d.Labels.append(label);
    if (setLeft)
        d.Bounds.Left = label.X;
    d.Bounds.Right = label.X + size.width();
    d.Bounds.Bottom = y + size.height();
}

// Neighbouring modules overlap by `overlap` pixels.
void AddModuleColumn(TLayoutDrawing &d, const QString &name, int32_t width, int32_t height, int32_t overlap,
                     int32_t count, int32_t x, int32_t y)
{
    for (int32_t i = 0; i < count; ++i) {
        d.Pictures.append({name, QRect(x, y, width, height), true});
        y += height - overlap;
    }
}

void AddModuleColumns(TLayoutDrawing &d, const TResultParameters &result, bool big, int32_t x, int32_t y)
{
    const int32_t row = FindBitmapModuleRecord(result.ModuleRecord);
    if (row < 0)
        return;
    const TBitmapModule &m = BitmapModules[row];
    const QString name = big ? m.Big.Name : m.Small.Name;
    const int32_t w = big ? m.Big.Width : m.Small.Width;
    const int32_t h = big ? m.Big.Height : m.Small.Height;
    const int32_t overlap = big ? 2 : 1;
    const TPhaseTotals p = PhaseTotals(result);
    AddModuleColumn(d, name, w, h, overlap, p.L1, x, y);
    AddModuleColumn(d, name, w, h, overlap, p.L2, x + w, y);
    AddModuleColumn(d, name, w, h, overlap, p.L3, x + 2 * w, y);
}

// Kit pictures stacked upwards from (x, y), one per string of kits.
void AddKitStack(TLayoutDrawing &d, int32_t count, int32_t x, int32_t y)
{
    for (int32_t i = 0; i < count; ++i)
        d.Pictures.append({BitmapKb.Name, QRect(x, y - i * BitmapKb.Height, BitmapKb.Width, BitmapKb.Height), false});
}

void AddBigInverter(TLayoutDrawing &d, const TRequestParameters &request, const TResultParameters &result,
                    const TTextMeasure &measure)
{
    const int32_t x = d.InverterX;
    const int32_t row = FindBitmapInverterRecord(result.InverterRecord);
    // Without a drawing row the cabinet has no height: it "stands" on the floor line
    // and only its label is written.
    int32_t y0 = kLayoutFloorY;
    int32_t height = 0;
    if (row >= 0) {
        const TBitmapInverterBig &b = BitmapInverters[row].Big;
        height = b.Height;
        y0 = kLayoutFloorY - b.Height;
        d.Pictures.append({b.Name, QRect(x, y0, kInverterBigWidth, b.Height), true});
    }
    d.Bounds.Top = y0;
    if (row >= 0) {
        const TBitmapInverterBig &b = BitmapInverters[row].Big;
        AddModuleColumns(d, result, true, x + b.ModuleLeft, y0 + b.ModuleTop);
        if (!OnlyInverterActive(request) && result.KitsPerString > 0) {
            const int32_t strings = result.InverterKitPositions / result.KitsPerString;
            if (strings > 0) {
                const int32_t needed = result.BatteryKitCount / result.KitsPerString;
                const int32_t count = needed != 0 ? std::min(strings, needed) : strings;
                AddKitStack(d, count, x + b.KitLeft, y0 + b.KitTop);
            }
        }
    }
    const QString text = FormatText(LangMain("ResultsLayoutInverter"), {int(result.InverterSlots)});
    AddLabel(d, measure, text, x, x + kInverterBigWidth, y0 + height + 20, true);
}

// The full-cabinet picture (`partial` false) or the partly filled last cabinet.
void AddBatteryCabinet(TLayoutDrawing &d, const TResultParameters &result, const TTextMeasure &measure, bool partial)
{
    const int32_t x = partial ? d.PartialX : d.FullX;
    const int32_t row = FindBitmapBatteryRecord(result.BatteryCabinetRecord);
    // The label of a cabinet without a drawing row is centred over a standard cabinet width.
    int32_t width = kInverterBigWidth;
    if (row >= 0) {
        const TBitmapBattery &b = BitmapBatteries[row];
        width = b.Width;
        const int32_t top = kLayoutFloorY - b.Height;
        d.Pictures.append({b.NamePrefix + (partial ? "Empty" : "Full"), QRect(x, top, b.Width, b.Height), true});
        d.Bounds.Top = std::min(d.Bounds.Top, top);
        if (partial && result.KitsPerString > 0)
            AddKitStack(d, result.KitsInLastCabinet / result.KitsPerString, x + b.KitLeft, top + b.KitTop);
    }
    const int32_t count = partial ? 1 : d.FullCabinets;
    const QString text = FormatText(LangMain("ResultsLayoutBattery"), {int(count)});
    AddLabel(d, measure, text, x, x + width, kLayoutBatteryLabelY, false);
}

} // namespace

TLayoutDrawing BuildLayoutDrawing(const TRequestParameters &request, TResultParameters &result, int32_t width,
                                  const TTextMeasure &measure)
{
    EnsureDrawingTables();
    TLayoutDrawing d;
    d.FullCabinets = LayoutFullCabinets(request, result);
    LayoutPositions(request, result, width, d.InverterX, d.FullX, d.PartialX);
    AddBigInverter(d, request, result, measure);
    if (d.FullCabinets > 0)
        AddBatteryCabinet(d, result, measure, false);
    if (!OnlyInverterActive(request) && result.KitsInLastCabinet > 0)
        AddBatteryCabinet(d, result, measure, true);
    return d;
}

QRect LayoutCaptureRect(const TLayoutDrawing &drawing)
{
    const TLayoutBounds &b = drawing.Bounds;
    QRect area;
    if (b.Right > b.Left && b.Bottom > b.Top)
        area = QRect(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    // Pictures wider than their labels (and the inverter's picture left of its label)
    // would otherwise be cut off in copies and documents.
    for (const TLayoutPicture &p : drawing.Pictures)
        area = area.united(p.Rect);
    if (area.isNull())
        return QRect();
    return area.adjusted(-kLayoutCaptureMargin, -kLayoutCaptureMargin, kLayoutCaptureMargin, kLayoutCaptureMargin);
}

TLayoutDrawing BuildSmallInverterDrawing(const TResultParameters &result, int32_t x, int32_t boxHeight)
{
    EnsureDrawingTables();
    TLayoutDrawing d;
    d.InverterX = x;
    const int32_t row = FindBitmapInverterRecord(result.InverterRecord);
    if (row < 0)
        return d;
    const TBitmapInverterSmall &s = BitmapInverters[row].Small;
    const int32_t y0 = (boxHeight - s.Height) / 2;
    d.Pictures.append({s.Name, QRect(x, y0, kInverterSmallWidth, s.Height), true});
    AddModuleColumns(d, result, false, x + s.ModuleLeft, y0 + s.ModuleTop);
    return d;
}

TLayoutDrawing BuildWizardPreviewDrawing(int32_t page, const TResultParameters &result, const QSize &box)
{
    EnsureDrawingTables();
    const int32_t x = (box.width() - kInverterSmallWidth) / 2;
    TLayoutDrawing d;
    d.InverterX = x;
    if (page == 0) {
        // The closed cabinet is a finished picture without a key colour: drawn as it is.
        const int32_t height = 239;
        d.Pictures.append({"InverterCabinetSmall_2_Closed",
                           QRect(x, (box.height() - height) / 2, kInverterSmallWidth, height), false});
    } else if (page == 1) {
        const int32_t row = FindBitmapInverterRecord(result.InverterRecord);
        if (row >= 0) {
            const TBitmapInverterSmall &s = BitmapInverters[row].Small;
            d.Pictures.append({s.Name, QRect(x, (box.height() - s.Height) / 2, kInverterSmallWidth, s.Height), true});
        }
    } else if (page >= 2 && page <= 6) {
        d = BuildSmallInverterDrawing(result, x, box.height());
    }
    return d;
}
