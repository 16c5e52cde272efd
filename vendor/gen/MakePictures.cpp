// Draws every picture of the Quenvar edition and writes them as PNG files
// plus a C++ source that embeds the files in the vendor library.
//
//   QuenvarMakePictures <picture folder> <generated .cpp>
//
// Cabinet and module pictures are clean technical front views whose module
// slots and kit drawers sit exactly where the configurator's drawing tables
// put the modules and kits. The configurator draws them "transparent": the
// colour of the bottom-left pixel is left out, so those pictures carry a key
// colour there that the cabinets themselves never use.

#include <QByteArray>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

// Key colour of the transparent pictures (never a cabinet colour: any body
// pixel that comes out equal to it is nudged).
const QRgb kKey = qRgb(255, 0, 255);

const QColor kBrandBlue(0, 86, 160);
const QColor kBrandOrange(240, 128, 0);
const QColor kOutline(96, 99, 104);
const QColor kRecess(40, 43, 47);
const QColor kRecessFrame(78, 82, 88);

const char *kFont = "DejaVu Sans";

QImage NewCanvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

/// Flattens a drawn picture onto white. Keyed: pixels that are mostly
/// uncovered become the key colour; the rest is blended over white, so edges
/// look right on the white drawing page.
QImage Flatten(const QImage &drawn, bool keyed)
{
    QImage out(drawn.size(), QImage::Format_RGB32);
    const QImage src = drawn.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        QRgb *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(in[x]);
            if (keyed && a < 128) {
                o[x] = kKey;
                continue;
            }
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            QRgb c = qRgb(blend(qRed(in[x])), blend(qGreen(in[x])), blend(qBlue(in[x])));
            if (keyed && c == kKey)
                c = qRgb(254, 0, 254);
            o[x] = c;
        }
    }
    return out;
}

/// An image with real alpha for the logos shown on coloured panels.
QImage KeepAlpha(const QImage &drawn)
{
    return drawn.convertToFormat(QImage::Format_ARGB32);
}

void Frame(QPainter &p, const QRect &r, const QColor &c)
{
    p.save();
    p.setPen(QPen(c, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}

void HLine(QPainter &p, int x1, int x2, int y, const QColor &c)
{
    p.fillRect(QRect(x1, y, x2 - x1 + 1, 1), c);
}

void VLine(QPainter &p, int x, int y1, int y2, const QColor &c)
{
    p.fillRect(QRect(x, y1, 1, y2 - y1 + 1), c);
}

void Dot(QPainter &p, double cx, double cy, double r, const QColor &c)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    QRadialGradient g(cx - r * 0.3, cy - r * 0.3, r * 1.4);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(1, c);
    p.setBrush(g);
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.restore();
}

// ---------------------------------------------------------------------------
// Parts

/// The front of one battery kit drawer (one string of kits), w x h at (x, y).
void PaintKitFront(QPainter &p, const QRect &r)
{
    const double s = r.height() / 48.0;
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(112, 118, 127));
    g.setColorAt(1, QColor(80, 86, 94));
    p.fillRect(r, g);
    Frame(p, r, QColor(34, 37, 41));
    HLine(p, r.left() + 1, r.right() - 1, r.top() + 1, QColor(146, 152, 160));
    VLine(p, r.left() + 1, r.top() + 1, r.bottom() - 1, QColor(128, 134, 142));
    HLine(p, r.left() + 1, r.right() - 1, r.bottom() - 1, QColor(62, 67, 74));

    // Label plate with the brand stripe.
    const QRect plate(r.left() + int(6 * s), r.top() + int(7 * s), std::max(6, int(22 * s)), std::max(4, int(12 * s)));
    p.fillRect(plate, QColor(236, 238, 240));
    p.fillRect(QRect(plate.left(), plate.top(), plate.width(), std::max(1, int(3 * s))), kBrandBlue);
    if (s > 0.8) {
        HLine(p, plate.left() + 2, plate.right() - 4, plate.top() + 6, QColor(150, 150, 150));
        HLine(p, plate.left() + 2, plate.right() - 8, plate.top() + 9, QColor(150, 150, 150));
    }

    // Vent slots at the top right.
    const int vx = r.left() + int(37 * s);
    const int vTop = r.top() + int(7 * s);
    const int vBottom = r.top() + int(19 * s);
    for (int i = 0; i < 6; ++i) {
        const int x = vx + int(i * 4 * s);
        if (x + 1 >= r.right() - int(4 * s))
            break;
        VLine(p, x, vTop, vBottom, QColor(40, 44, 49));
        VLine(p, x + 1, vTop, vBottom, QColor(122, 128, 136));
    }

    // Status LED.
    Dot(p, r.left() + 6 * s + plate.width() + 5 * s, r.top() + 10 * s, std::max(1.0, 1.8 * s), QColor(40, 190, 70));

    // Handle across the lower half.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF handle(r.left() + r.width() / 2.0 - 16 * s, r.top() + 30 * s, 32 * s, 7 * s);
    QLinearGradient hg(handle.topLeft(), handle.bottomLeft());
    hg.setColorAt(0, QColor(232, 234, 237));
    hg.setColorAt(1, QColor(160, 164, 170));
    p.setPen(QPen(QColor(48, 52, 57), 1));
    p.setBrush(hg);
    p.drawRoundedRect(handle, 2.5 * s, 2.5 * s);
    p.restore();

    // Screws.
    const QColor screw(170, 174, 180);
    Dot(p, r.left() + 3.5 * s, r.bottom() - 3.5 * s, std::max(0.8, 1.2 * s), screw);
    Dot(p, r.right() - 3.5 * s, r.bottom() - 3.5 * s, std::max(0.8, 1.2 * s), screw);
}

/// An empty kit drawer bay: dark recess with rails and the rear connector.
void PaintEmptyBay(QPainter &p, const QRect &r)
{
    const double s = r.height() / 48.0;
    p.fillRect(r, kRecess);
    Frame(p, r, QColor(24, 26, 29));
    // Inner shadow at the top, rails on both sides.
    HLine(p, r.left() + 1, r.right() - 1, r.top() + 1, QColor(20, 22, 24));
    const int railY = r.bottom() - std::max(2, int(5 * s));
    HLine(p, r.left() + 2, r.right() - 2, railY, QColor(96, 100, 106));
    VLine(p, r.left() + 2, r.top() + 3, railY, QColor(70, 74, 80));
    VLine(p, r.right() - 2, r.top() + 3, railY, QColor(70, 74, 80));
    // Dashed outline where the drawer goes.
    p.save();
    QPen dash(QColor(110, 115, 122), 1, Qt::DashLine);
    p.setPen(dash);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(r.left() + int(5 * s) + 1, r.top() + int(5 * s) + 1, r.width() - 2 * int(5 * s) - 3,
                     railY - r.top() - int(5 * s) - 3));
    p.restore();
    // Rear connector.
    const QRect con(r.center().x() - int(6 * s), r.top() + r.height() / 2 - int(4 * s), std::max(3, int(12 * s)),
                    std::max(2, int(6 * s)));
    p.fillRect(con, QColor(92, 92, 96));
    Frame(p, con, QColor(30, 30, 32));
}

/// A closed drawer front at small scale (the preview shows no kits).
void PaintClosedBay(QPainter &p, const QRect &r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(120, 126, 134));
    g.setColorAt(1, QColor(92, 98, 106));
    p.fillRect(r, g);
    Frame(p, r, QColor(40, 43, 47));
    HLine(p, r.left() + 1, r.right() - 1, r.top() + 1, QColor(150, 156, 164));
    const QRect handle(r.center().x() - r.width() / 4, r.top() + r.height() * 2 / 3 - 1, r.width() / 2, 2);
    p.fillRect(handle, QColor(214, 216, 220));
    p.fillRect(QRect(r.left() + 3, r.top() + 4, std::max(4, r.width() / 4), std::max(2, r.height() / 5)),
               QColor(228, 230, 232));
}

/// One power module front, drawn from (0, 0); the last row stays empty so
/// that the bottom-left pixel keeps the key colour (the next module of the
/// column overlaps it anyway).
void PaintModule(QPainter &p, int w, int h, const QColor &accent)
{
    const double s = w / 23.0;
    const QRect body(0, 0, w, h - 1);
    QLinearGradient g(body.topLeft(), body.topRight());
    g.setColorAt(0, QColor(78, 84, 92));
    g.setColorAt(0.5, QColor(64, 69, 76));
    g.setColorAt(1, QColor(50, 54, 60));
    p.fillRect(body, g);
    Frame(p, body, QColor(22, 24, 27));
    VLine(p, 1, 1, body.bottom() - 1, QColor(104, 110, 118));
    // Accent bar: blue for the 3.4 kVA module, orange for the 5 kVA one.
    p.fillRect(QRect(1, 1, w - 2, std::max(2, int(3 * s))), accent);
    // Display.
    const int dTop = std::max(4, int(6 * s));
    const QRect lcd(int(3 * s) + 1, dTop, w - 2 * (int(3 * s) + 1), std::max(3, int(6 * s)));
    p.fillRect(lcd.adjusted(-1, -1, 1, 1), QColor(28, 30, 33));
    QLinearGradient lg(lcd.topLeft(), lcd.bottomLeft());
    lg.setColorAt(0, QColor(170, 222, 240));
    lg.setColorAt(1, QColor(110, 180, 210));
    p.fillRect(lcd, lg);
    if (s > 0.8)
        HLine(p, lcd.left() + 2, lcd.right() - 5, lcd.top() + 2, QColor(60, 110, 140));
    // LEDs.
    const double ledY = lcd.bottom() + 4.5 * s;
    Dot(p, w * 0.32, ledY, std::max(0.9, 1.4 * s), QColor(40, 200, 70));
    Dot(p, w * 0.68, ledY, std::max(0.9, 1.4 * s), QColor(250, 190, 30));
    // Vent slots.
    const int vTop = int(ledY + 4 * s);
    const int vBottom = h - 1 - int(12 * s);
    const int step = s > 0.8 ? 3 : 2;
    for (int y = vTop; y <= vBottom; y += step) {
        HLine(p, int(4 * s), w - 1 - int(4 * s), y, QColor(30, 32, 36));
        if (step > 2)
            HLine(p, int(4 * s), w - 1 - int(4 * s), y + 1, QColor(88, 94, 102));
    }
    // Handle.
    const QRect handle(int(5 * s), h - 1 - int(8 * s), w - 2 * int(5 * s), std::max(2, int(3 * s)));
    p.fillRect(handle, QColor(196, 200, 205));
    HLine(p, handle.left(), handle.right(), handle.bottom(), QColor(120, 124, 130));
    // Fixing screws.
    Dot(p, 2.5 * s + 0.5, h - 1 - 3.5 * s, std::max(0.7, 1.0 * s), QColor(150, 154, 160));
    Dot(p, w - 2.5 * s - 0.5, h - 1 - 3.5 * s, std::max(0.7, 1.0 * s), QColor(150, 154, 160));
}

/// Ventilation grille (horizontal slots) over the rectangle.
void PaintGrille(QPainter &p, const QRect &r, int step)
{
    p.fillRect(r, QColor(188, 190, 194));
    Frame(p, r, QColor(140, 143, 148));
    for (int y = r.top() + 3; y <= r.bottom() - 3; y += step) {
        HLine(p, r.left() + 4, r.right() - 4, y, QColor(70, 73, 78));
        if (step > 2)
            HLine(p, r.left() + 4, r.right() - 4, y + 1, QColor(232, 233, 235));
    }
}

/// Bypass and output switch panel of the inverter cabinets without batteries.
void PaintSwitchPanel(QPainter &p, const QRect &r)
{
    p.fillRect(r, QColor(204, 206, 210));
    Frame(p, r, QColor(120, 123, 128));
    const int n = 3;
    const double slotW = r.width() / double(n);
    for (int i = 0; i < n; ++i) {
        const QRectF sw(r.left() + i * slotW + slotW * 0.25, r.top() + r.height() * 0.2, slotW * 0.5, r.height() * 0.6);
        p.fillRect(sw, QColor(60, 63, 68));
        const double ky = (i == 1) ? sw.bottom() - sw.height() * 0.35 : sw.top() + sw.height() * 0.05;
        p.fillRect(QRectF(sw.left() - 1, ky, sw.width() + 2, sw.height() * 0.3), i == 1 ? kBrandOrange : QColor(230, 60, 50));
    }
}

/// The body of every cabinet: frame, side shading, top cap, brand stripe and
/// plinth with recessed feet (so the bottom-left pixel stays uncovered).
/// Returns the inner rectangle usable for the front.
QRect PaintCabinetBody(QPainter &p, int w, int h, bool small)
{
    const int margin = small ? 1 : 2;
    const int plinth = small ? 4 : 6;
    const QRect body(margin, 0, w - 2 * margin, h - plinth);
    QLinearGradient g(body.topLeft(), body.topRight());
    g.setColorAt(0, QColor(232, 233, 235));
    g.setColorAt(0.12, QColor(222, 223, 226));
    g.setColorAt(0.88, QColor(208, 210, 213));
    g.setColorAt(1, QColor(184, 186, 190));
    p.fillRect(body, g);
    Frame(p, body, kOutline);
    // Top cap and brand stripe.
    const int cap = small ? 2 : 3;
    p.fillRect(QRect(body.left(), 0, body.width(), cap), QColor(150, 153, 158));
    p.fillRect(QRect(body.left() + 1, cap, body.width() - 2, small ? 2 : 3), kBrandBlue);
    // Plinth with two feet set in from the sides.
    const QRect base(body.left() + 2, h - plinth, body.width() - 4, plinth);
    p.fillRect(base, QColor(58, 60, 64));
    HLine(p, base.left(), base.right(), base.top(), QColor(90, 92, 96));
    const int foot = small ? 6 : 10;
    p.fillRect(QRect(base.left() + 1, h - 2, foot, 2), QColor(30, 31, 34));
    p.fillRect(QRect(base.right() - foot, h - 2, foot, 2), QColor(30, 31, 34));
    return body.adjusted(1, cap + (small ? 2 : 3), -1, -1);
}

// ---------------------------------------------------------------------------
// Pictures

struct TModuleLook {
    int Width;
    int Height;
};

struct TInverterPicture {
    QString Name;
    int Width;
    int Height;
    bool Small;
    int ModuleTop;
    int ModuleLeft;
    TModuleLook Module; // the module picture that goes in (width, height)
    int Rows;           // slots per phase
    int KitTop;         // big: lowest drawer (0 = no drawers)
    int KitLeft;
    int Drawers; // kit positions / 4
};

/// Module row spacing: neighbouring modules overlap by 2 px (big) or 1 px (small).
int RowStep(const TInverterPicture &c)
{
    return c.Module.Height - (c.Small ? 1 : 2);
}

void PaintModuleSlots(QPainter &p, const TInverterPicture &c)
{
    const int step = RowStep(c);
    const int areaH = (c.Rows - 1) * step + c.Module.Height;
    const int m = c.Small ? 1 : 2;
    const QRect frame(c.ModuleLeft - m, c.ModuleTop - m, 3 * c.Module.Width + 2 * m, areaH + 2 * m);
    p.fillRect(frame, kRecessFrame);
    Frame(p, frame, QColor(50, 53, 58));
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < c.Rows; ++row) {
            const QRect slot(c.ModuleLeft + col * c.Module.Width, c.ModuleTop + row * step, c.Module.Width,
                             c.Module.Height);
            p.fillRect(slot.adjusted(0, 0, 0, -(c.Small ? 1 : 2)), kRecess);
            Frame(p, slot.adjusted(0, 0, 0, -(c.Small ? 1 : 2)), QColor(26, 28, 31));
            // Guide rails and the rear connector of an empty slot.
            if (!c.Small) {
                VLine(p, slot.left() + 2, slot.top() + 3, slot.bottom() - 5, QColor(62, 66, 71));
                VLine(p, slot.right() - 2, slot.top() + 3, slot.bottom() - 5, QColor(62, 66, 71));
                p.fillRect(QRect(slot.center().x() - 3, slot.top() + slot.height() / 2 - 5, 6, 10), QColor(84, 86, 90));
            } else {
                p.fillRect(QRect(slot.center().x() - 2, slot.top() + slot.height() / 2 - 3, 4, 6), QColor(70, 72, 76));
            }
        }
    }
}

void PaintStatusPanel(QPainter &p, int w, int top, int bottom, bool small)
{
    // Control panel above the module slots: LEDs on the left, display in the middle.
    const int h = bottom - top;
    if (h < 4)
        return;
    const int dw = small ? 22 : 30;
    const QRect lcd(w / 2 - dw / 2, top, dw, h);
    p.fillRect(lcd, QColor(36, 42, 50));
    const QRect screen = lcd.adjusted(1, 1, -1, -1);
    QLinearGradient g(screen.topLeft(), screen.bottomLeft());
    g.setColorAt(0, QColor(176, 226, 244));
    g.setColorAt(1, QColor(112, 184, 214));
    p.fillRect(screen, g);
    if (!small) {
        HLine(p, screen.left() + 2, screen.right() - 8, screen.top() + 2, QColor(40, 90, 120));
        HLine(p, screen.left() + 2, screen.right() - 12, screen.top() + 5, QColor(40, 90, 120));
    }
    const double r = small ? 1.0 : 1.6;
    const double cy = top + h / 2.0;
    Dot(p, lcd.left() - (small ? 5 : 8), cy, r, QColor(40, 200, 70));
    Dot(p, lcd.left() - (small ? 9 : 14), cy, r, QColor(40, 200, 70));
    Dot(p, lcd.right() + (small ? 5 : 8), cy, r, QColor(250, 190, 30));
    Dot(p, lcd.right() + (small ? 9 : 14), cy, r, QColor(220, 50, 40));
}

QImage DrawInverterCabinet(const TInverterPicture &c)
{
    QImage image = NewCanvas(c.Width, c.Height);
    QPainter p(&image);
    const QRect inner = PaintCabinetBody(p, c.Width, c.Height, c.Small);
    const int panelTop = inner.top() + (c.Small ? 2 : 3);
    const int panelBottom = c.ModuleTop - (c.Small ? 3 : 5);
    PaintStatusPanel(p, c.Width, panelTop, panelBottom, c.Small);
    PaintModuleSlots(p, c);

    const int moduleBottom = c.ModuleTop + (c.Rows - 1) * RowStep(c) + c.Module.Height + (c.Small ? 1 : 2);
    const int plinth = c.Small ? 4 : 6;
    int lowerTop = moduleBottom + (c.Small ? 3 : 5);
    const int lowerBottom = c.Height - plinth - (c.Small ? 3 : 5);

    if (c.Drawers > 0) {
        if (!c.Small) {
            for (int i = 0; i < c.Drawers; ++i)
                PaintEmptyBay(p, QRect(c.KitLeft, c.KitTop - i * 48, 69, 48));
            lowerTop = c.KitTop + 48 + 5;
        } else {
            // The preview shows the drawers closed, scaled from the big picture.
            const double sy = c.Height / (c.Height == 188 ? 280.0 : 350.0);
            const int bottom = int(std::lround((c.KitTop + 48) * sy));
            const int h = std::min(int(std::lround(48 * sy)), (bottom - moduleBottom - 1) / c.Drawers);
            const QRect span(c.ModuleLeft - 1, 0, 3 * c.Module.Width + 2, 0);
            for (int i = 0; i < c.Drawers; ++i)
                PaintClosedBay(p, QRect(span.left(), bottom - (i + 1) * h, span.width(), h));
            lowerTop = bottom + 3;
        }
    } else if (lowerBottom - lowerTop > 30) {
        // No batteries here: switch panel, then the air outlet.
        const int switchH = c.Small ? 12 : 18;
        PaintSwitchPanel(p, QRect(c.ModuleLeft, lowerTop, 3 * c.Module.Width, switchH));
        lowerTop += switchH + (c.Small ? 3 : 5);
    }
    if (lowerBottom - lowerTop > 6)
        PaintGrille(p, QRect(inner.left() + (c.Small ? 3 : 6), lowerTop, inner.width() - (c.Small ? 6 : 12),
                             lowerBottom - lowerTop),
                    c.Small ? 2 : 4);
    p.end();
    return image;
}

/// The closed cabinet of the wizard's first page: front door with display,
/// word mark and air outlet.
QImage DrawClosedCabinet(int w, int h)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    const QRect inner = PaintCabinetBody(p, w, h, true);
    // Door outline and hinge side.
    const QRect door = inner.adjusted(2, 2, -2, -3);
    Frame(p, door, QColor(150, 153, 158));
    VLine(p, door.right() - 3, door.top() + h / 3, door.top() + h / 3 + 26, QColor(70, 72, 76));
    VLine(p, door.right() - 4, door.top() + h / 3, door.top() + h / 3 + 26, QColor(200, 202, 205));
    // Display and keys.
    PaintStatusPanel(p, w, door.top() + 8, door.top() + 20, true);
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(w / 2 - 11 + i * 6, door.top() + 25, 4, 3), QColor(90, 94, 100));
    // Vertical word mark.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont f(kFont);
    f.setPixelSize(11);
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(f);
    p.setPen(kBrandBlue);
    p.translate(w / 2.0 - 4, door.top() + 150);
    p.rotate(-90);
    p.drawText(QRectF(-60, -8, 120, 16), Qt::AlignCenter, QStringLiteral("VARNEX"));
    p.restore();
    // Orange accent and air outlet.
    p.fillRect(QRect(door.left() + 4, door.top() + 40, 2, 110), kBrandOrange);
    PaintGrille(p, QRect(door.left() + 4, door.bottom() - 40, door.width() - 8, 34), 3);
    p.end();
    return image;
}

QImage DrawModule(int w, int h, const QColor &accent)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    PaintModule(p, w, h, accent);
    p.end();
    return image;
}

QImage DrawKit(int w, int h)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    PaintKitFront(p, QRect(0, 0, w, h));
    p.end();
    return image;
}

struct TBatteryPicture {
    QString Prefix;
    int Width;
    int Height;
    int KitTop;
    int KitLeft;
    int Drawers;
};

QImage DrawModularBatteryCabinet(const TBatteryPicture &c, bool full)
{
    QImage image = NewCanvas(c.Width, c.Height);
    QPainter p(&image);
    const QRect inner = PaintCabinetBody(p, c.Width, c.Height, false);
    const int topDrawer = c.KitTop - (c.Drawers - 1) * 48;
    // Battery isolator above the drawers.
    const int isoTop = inner.top() + 2;
    const int isoH = topDrawer - isoTop - 3;
    if (isoH >= 6) {
        const QRect iso(c.Width / 2 - 14, isoTop, 28, isoH);
        p.fillRect(iso, QColor(200, 202, 206));
        Frame(p, iso, QColor(120, 123, 128));
        p.fillRect(QRect(iso.left() + 4, iso.top() + 2, 8, iso.height() - 4), QColor(60, 63, 68));
        p.fillRect(QRect(iso.left() + 3, iso.top() + 2, 10, std::max(2, iso.height() / 3)), QColor(230, 60, 50));
        Dot(p, iso.right() - 6, iso.center().y() + 0.5, 1.6, full ? QColor(40, 200, 70) : QColor(120, 124, 128));
    }
    // Frame around the drawer column.
    const QRect column(c.KitLeft - 2, topDrawer - 2, 69 + 4, c.Drawers * 48 + 4);
    p.fillRect(column, kRecessFrame);
    Frame(p, column, QColor(50, 53, 58));
    for (int i = 0; i < c.Drawers; ++i) {
        const QRect bay(c.KitLeft, c.KitTop - i * 48, 69, 48);
        if (full)
            PaintKitFront(p, bay);
        else
            PaintEmptyBay(p, bay);
    }
    const int lowerTop = c.KitTop + 48 + 6;
    const int lowerBottom = c.Height - 6 - 5;
    if (lowerBottom - lowerTop > 6)
        PaintGrille(p, QRect(inner.left() + 6, lowerTop, inner.width() - 12, lowerBottom - lowerTop), 4);
    p.end();
    return image;
}

/// The 94 Ah monobloc rack: a wide open frame with shelves; "Full" carries
/// the blocks, "Empty" the bare shelves.
QImage DrawBatteryRack(int w, int h, bool full)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    const QRect inner = PaintCabinetBody(p, w, h, false);
    // Name plate.
    const QRect plate(inner.left() + 6, inner.top() + 3, inner.width() - 12, 12);
    p.fillRect(plate, QColor(240, 241, 243));
    Frame(p, plate, QColor(150, 152, 156));
    p.fillRect(QRect(plate.left() + 1, plate.top() + 1, 5, plate.height() - 2), kBrandBlue);
    {
        p.save();
        p.setRenderHint(QPainter::TextAntialiasing, true);
        QFont f(kFont);
        f.setPixelSize(8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(60, 62, 66));
        p.drawText(plate.adjusted(8, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("94 Ah  VRLA"));
        p.restore();
    }
    // Open rack: dark inside, four uprights, five shelves.
    const QRect rack(inner.left() + 5, plate.bottom() + 5, inner.width() - 10, h - 6 - 6 - (plate.bottom() + 5));
    p.fillRect(rack, QColor(54, 57, 62));
    Frame(p, rack, QColor(30, 32, 35));
    const int shelves = 5;
    const int shelfH = rack.height() / shelves;
    const int blocks = 4;
    for (int s = 0; s < shelves; ++s) {
        const int floorY = rack.top() + (s + 1) * shelfH - 1;
        // Shelf board.
        p.fillRect(QRect(rack.left() + 1, floorY - 3, rack.width() - 2, 4), QColor(150, 154, 160));
        HLine(p, rack.left() + 1, rack.right() - 1, floorY - 3, QColor(196, 199, 204));
        if (!full) {
            // Bare shelf: the cable duct along the back.
            p.fillRect(QRect(rack.left() + 4, floorY - 14, rack.width() - 8, 3), QColor(72, 76, 82));
            continue;
        }
        const int gap = 3;
        const int bw = (rack.width() - 4 - (blocks + 1) * gap) / blocks;
        const int bh = std::min(shelfH - 12, 44);
        for (int b = 0; b < blocks; ++b) {
            const QRect block(rack.left() + 2 + gap + b * (bw + gap), floorY - 3 - bh, bw, bh);
            QLinearGradient g(block.topLeft(), block.topRight());
            g.setColorAt(0, QColor(70, 72, 76));
            g.setColorAt(0.5, QColor(46, 48, 51));
            g.setColorAt(1, QColor(32, 33, 36));
            p.fillRect(block, g);
            Frame(p, block, QColor(18, 18, 20));
            // Lid, terminals and label.
            p.fillRect(QRect(block.left() + 1, block.top() + 1, block.width() - 2, 4), QColor(88, 90, 95));
            p.fillRect(QRect(block.left() + 3, block.top() - 2, 4, 3), QColor(210, 40, 40));
            p.fillRect(QRect(block.right() - 6, block.top() - 2, 4, 3), QColor(40, 40, 44));
            const QRect label(block.left() + 3, block.top() + 12, block.width() - 6, 12);
            p.fillRect(label, QColor(220, 224, 228));
            p.fillRect(QRect(label.left(), label.top(), label.width(), 3), kBrandOrange);
        }
        // Inter-block links.
        p.fillRect(QRect(rack.left() + 8, floorY - 3 - bh - 3, rack.width() - 16, 1), QColor(180, 120, 40));
    }
    // Uprights in front of the shelves.
    VLine(p, rack.left() + 1, rack.top() + 1, rack.bottom() - 1, QColor(120, 124, 130));
    VLine(p, rack.right() - 1, rack.top() + 1, rack.bottom() - 1, QColor(120, 124, 130));
    p.end();
    return image;
}

// ---------------------------------------------------------------------------
// Marks and the welcome picture

/// Text as a path scaled to fill `box` (keeps its aspect ratio; centred).
QPainterPath FittedText(const QString &text, const QRectF &box, bool bold, int letterSpacing = 0)
{
    QFont f(kFont);
    f.setPixelSize(100);
    f.setBold(bold);
    if (letterSpacing)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QRectF b = path.boundingRect();
    const double k = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

/// The Varnex emblem: three module bars in a rounded square.
void PaintVarnexEmblem(QPainter &p, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kBrandBlue.lighter(125));
    g.setColorAt(1, kBrandBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, r.width() * 0.18, r.width() * 0.18);
    const double bw = r.width() * 0.16;
    const double gap = (r.width() - 3 * bw) / 4;
    for (int i = 0; i < 3; ++i) {
        const double top = r.top() + r.height() * (0.22 + 0.1 * (2 - i));
        const QRectF bar(r.left() + gap + i * (bw + gap), top, bw, r.bottom() - r.height() * 0.2 - top);
        p.setBrush(i == 2 ? kBrandOrange : QColor(255, 255, 255));
        p.drawRoundedRect(bar, bw * 0.25, bw * 0.25);
    }
    p.restore();
}

/// The Quenvar emblem: a ring with an orange bolt crossing it.
void PaintQuenvarEmblem(QPainter &p, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double pen = r.width() * 0.14;
    p.setPen(QPen(kBrandBlue, pen, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring = r.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    p.drawArc(ring, 60 * 16, 300 * 16);
    QPainterPath bolt;
    const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
    bolt.moveTo(x + w * 0.56, y + h * 0.12);
    bolt.lineTo(x + w * 0.30, y + h * 0.56);
    bolt.lineTo(x + w * 0.50, y + h * 0.56);
    bolt.lineTo(x + w * 0.40, y + h * 0.92);
    bolt.lineTo(x + w * 0.74, y + h * 0.44);
    bolt.lineTo(x + w * 0.54, y + h * 0.44);
    bolt.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBrandOrange);
    p.drawPath(bolt);
    p.restore();
}

QImage DrawVarnexMark(int w, int h, bool withTagline)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double pad = h * 0.12;
    const double e = h - 2 * pad;
    PaintVarnexEmblem(p, QRectF(pad, pad, e * 0.86, e));
    const double tx = pad + e * 0.86 + h * 0.14;
    const double textH = withTagline ? e * 0.66 : e * 0.8;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 44, 80));
    const QPainterPath word =
        FittedText(QStringLiteral("Varnex"), QRectF(tx, pad, w - tx - pad, textH), true);
    // Left-align the word after the emblem.
    const QRectF wb = word.boundingRect();
    p.drawPath(word.translated(tx - wb.left(), 0));
    if (withTagline) {
        p.setBrush(kBrandBlue);
        const QPainterPath tag = FittedText(QStringLiteral("MODULAR UPS"),
                                            QRectF(tx, pad + textH + e * 0.08, wb.width(), e * 0.26), false, 8);
        p.drawPath(tag.translated(tx - tag.boundingRect().left(), 0));
    }
    p.end();
    return image;
}

QImage DrawQuenvarMark(int w, int h)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double pad = h * 0.12;
    const double e = h - 2 * pad;
    PaintQuenvarEmblem(p, QRectF(pad, pad, e, e));
    const double tx = pad + e + h * 0.14;
    p.setPen(Qt::NoPen);
    p.setBrush(kBrandBlue);
    const QPainterPath word = FittedText(QStringLiteral("Quenvar"), QRectF(tx, pad, w - tx - pad, e * 0.66), true);
    const QRectF wb = word.boundingRect();
    p.drawPath(word.translated(tx - wb.left(), 0));
    p.setBrush(QColor(90, 94, 100));
    const QPainterPath tag = FittedText(QStringLiteral("POWER SYSTEMS"),
                                        QRectF(tx, pad + e * 0.74, wb.width(), e * 0.24), false, 8);
    p.drawPath(tag.translated(tx - tag.boundingRect().left(), 0));
    p.end();
    return image;
}

/// The vendor logo of the about dialog: emblem above the name.
QImage DrawQuenvarLogo(int w, int h)
{
    QImage image = NewCanvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double e = h * 0.50;
    PaintQuenvarEmblem(p, QRectF((w - e) / 2, h * 0.06, e, e));
    p.setPen(Qt::NoPen);
    p.setBrush(kBrandBlue);
    p.drawPath(FittedText(QStringLiteral("Quenvar"), QRectF(w * 0.08, h * 0.60, w * 0.84, h * 0.22), true));
    p.setBrush(QColor(90, 94, 100));
    p.drawPath(FittedText(QStringLiteral("POWER SYSTEMS"), QRectF(w * 0.16, h * 0.85, w * 0.68, h * 0.09), false, 8));
    p.end();
    return image;
}

QImage Opaque(const QImage &drawn)
{
    return Flatten(drawn, false);
}

/// The welcome page: word mark over a line-up of an inverter cabinet and two
/// full battery cabinets on a floor.
QImage DrawWelcome(const TInverterPicture &inverter, const TBatteryPicture &battery)
{
    const int w = 414, h = 424;
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Sky and floor.
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(226, 236, 250));
    sky.setColorAt(0.78, QColor(250, 252, 255));
    sky.setColorAt(1, QColor(255, 255, 255));
    p.fillRect(image.rect(), sky);
    const int floorY = 392;
    QLinearGradient floor(0, floorY, 0, h);
    floor.setColorAt(0, QColor(200, 208, 220));
    floor.setColorAt(1, QColor(238, 242, 248));
    p.fillRect(QRect(0, floorY, w, h - floorY), floor);

    // Word mark and tag line.
    PaintVarnexEmblem(p, QRectF(96, 22, 38, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 44, 80));
    const QPainterPath word = FittedText(QStringLiteral("Varnex"), QRectF(146, 18, 180, 50), true);
    p.drawPath(word.translated(146 - word.boundingRect().left(), 0));
    p.setBrush(kBrandBlue);
    p.drawPath(FittedText(QStringLiteral("MODULAR THREE-PHASE UPS"), QRectF(70, 78, 274, 13), false, 6));

    // The line-up: inverter with modules and kits, then two battery cabinets.
    QImage cabinet = DrawInverterCabinet(inverter);
    {
        QPainter cp(&cabinet);
        const QImage module = DrawModule(inverter.Module.Width, inverter.Module.Height, kBrandBlue);
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < inverter.Rows; ++row)
                cp.drawImage(inverter.ModuleLeft + col * inverter.Module.Width, inverter.ModuleTop + row * RowStep(inverter),
                             module);
        const QImage kit = DrawKit(69, 48);
        for (int i = 0; i < inverter.Drawers; ++i)
            cp.drawImage(inverter.KitLeft, inverter.KitTop - i * 48, kit);
    }
    const QImage full = DrawModularBatteryCabinet(battery, true);
    const int gap = 4;
    const int total = cabinet.width() + 2 * (full.width() + gap);
    int x = (w - total) / 2;
    auto place = [&](const QImage &img) {
        const int top = floorY - img.height();
        // Soft shadow on the floor and a faint reflection.
        QRadialGradient shade(x + img.width() / 2.0, floorY + 2, img.width() * 0.7);
        shade.setColorAt(0, QColor(0, 0, 0, 60));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawEllipse(QPointF(x + img.width() / 2.0, floorY + 2), img.width() * 0.62, 7);
        QImage mirror = img.mirrored(false, true).copy(0, 0, img.width(), h - floorY);
        {
            QPainter mp(&mirror);
            mp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            QLinearGradient fade(0, 0, 0, mirror.height());
            fade.setColorAt(0, QColor(0, 0, 0, 70));
            fade.setColorAt(1, QColor(0, 0, 0, 0));
            mp.fillRect(mirror.rect(), fade);
        }
        p.drawImage(x, floorY, mirror);
        p.drawImage(x, top, img);
        x += img.width() + gap;
    };
    place(cabinet);
    place(full);
    place(full);
    p.end();
    return Flatten(image, false);
}

// ---------------------------------------------------------------------------
// Output

QByteArray PngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 9);
    return bytes;
}

bool WriteSource(const QString &fileName, const std::map<QString, QByteArray> &pictures)
{
    QByteArray out;
    out += "// Generated by QuenvarMakePictures; do not edit.\n";
    out += "#include \"QuenvarEntries.h\"\n\nnamespace {\n\n";
    int n = 0;
    for (const auto &entry : pictures) {
        out += "const unsigned char kPicture" + QByteArray::number(n++) + "[] = { // " + entry.first.toUtf8() + "\n";
        const QByteArray &b = entry.second;
        for (int i = 0; i < b.size(); ++i) {
            out += QByteArray::number(static_cast<unsigned char>(b[i]));
            out += (i % 24 == 23) ? ",\n" : ",";
        }
        out += "\n};\n\n";
    }
    out += "const TVendorPicture kPictures[] = {\n";
    n = 0;
    for (const auto &entry : pictures) {
        out += "    {\"" + entry.first.toUtf8() + "\", kPicture" + QByteArray::number(n) + ", " +
               QByteArray::number(entry.second.size()) + "},\n";
        ++n;
    }
    out += "};\n\n} // namespace\n\n";
    out += "const TVendorPicture *const VendorPictures = kPictures;\n";
    out += "const std::size_t VendorPictureCount = sizeof(kPictures) / sizeof(kPictures[0]);\n";

    // Write only when changed, so an unchanged picture set does not relink.
    QFile existing(fileName);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == out)
        return true;
    existing.close();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(out) == out.size();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <picture folder> <generated .cpp>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString source = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);

    std::map<QString, QImage> images;
    auto keyed = [&](const QString &name, const QImage &drawn) { images[name] = Flatten(drawn, true); };

    // Power modules: big and small; blue accent 3.4 kVA, orange 5 kVA.
    const TModuleLook big34{23, 53}, small34{15, 35}, big50{23, 54}, small50{15, 37};
    keyed("PowerModule_34", DrawModule(big34.Width, big34.Height, kBrandBlue));
    keyed("PowerModuleSmall_34", DrawModule(small34.Width, small34.Height, kBrandBlue));
    keyed("PowerModule_50", DrawModule(big50.Width, big50.Height, kBrandOrange));
    keyed("PowerModuleSmall_50", DrawModule(small50.Width, small50.Height, kBrandOrange));

    // Inverter cabinets. 1345 mm cabinets (280 / 188 px) take the 53 px
    // modules, 1650 mm ones (350 / 239 px) the 54 px ones. Drawers = kit
    // positions / 4 kits per string.
    const QVector<TInverterPicture> inverters = {
        {"InverterCabinet_1_3", 89, 280, false, 23, 11, big34, 1, 172, 11, 3},
        {"InverterCabinet_1_6", 89, 280, false, 20, 11, big34, 2, 172, 11, 2},
        {"InverterCabinet_1_9", 89, 280, false, 21, 11, big34, 3, 0, 0, 0},
        {"InverterCabinet_2_3", 89, 350, false, 22, 11, big50, 1, 238, 11, 4},
        {"InverterCabinet_2_6", 89, 350, false, 22, 11, big50, 2, 238, 11, 3},
        {"InverterCabinet_2_6_no_batt", 89, 350, false, 22, 11, big50, 2, 0, 0, 0},
        {"InverterCabinet_2_9", 89, 350, false, 22, 11, big50, 3, 0, 0, 0},
        {"InverterCabinet_2_12", 89, 350, false, 22, 11, big50, 4, 0, 0, 0},
        {"InverterCabinetSmall_1_3", 60, 188, true, 16, 8, small34, 1, 172, 11, 3},
        {"InverterCabinetSmall_1_6", 60, 188, true, 15, 8, small34, 2, 172, 11, 2},
        {"InverterCabinetSmall_1_9", 60, 188, true, 15, 8, small34, 3, 0, 0, 0},
        {"InverterCabinetSmall_2_3", 60, 239, true, 15, 9, small50, 1, 238, 11, 4},
        {"InverterCabinetSmall_2_6", 60, 239, true, 15, 9, small50, 2, 238, 11, 3},
        {"InverterCabinetSmall_2_6_no_batt", 60, 239, true, 15, 9, small50, 2, 0, 0, 0},
        {"InverterCabinetSmall_2_9", 60, 239, true, 15, 9, small50, 3, 0, 0, 0},
        {"InverterCabinetSmall_2_12", 60, 239, true, 15, 9, small50, 4, 0, 0, 0},
    };
    for (const TInverterPicture &c : inverters)
        keyed(c.Name, DrawInverterCabinet(c));
    images["InverterCabinetSmall_2_Closed"] = Opaque(DrawClosedCabinet(60, 239));

    // Battery cabinets: 16 and 20 positions (4 and 5 drawers of one string).
    const QVector<TBatteryPicture> batteries = {
        {"BatteryCabinet_16_", 89, 280, 172, 12, 4},
        {"BatteryCabinet_20_", 89, 350, 219, 12, 5},
    };
    for (const TBatteryPicture &c : batteries) {
        keyed(c.Prefix + "Full", DrawModularBatteryCabinet(c, true));
        keyed(c.Prefix + "Empty", DrawModularBatteryCabinet(c, false));
    }
    keyed("BatteryCabinet_Yuasa_94_Full", DrawBatteryRack(132, 340, true));
    keyed("BatteryCabinet_Yuasa_94_Empty", DrawBatteryRack(132, 340, false));

    // One string of kits in its drawer; drawn opaque over a drawer bay.
    images["BatteryKb"] = Opaque(DrawKit(69, 48));

    // Marks: the product logo and the vendor logo are shown on coloured
    // panels and keep real transparency; the report header marks are opaque.
    images["LogoProduct"] = KeepAlpha(DrawVarnexMark(159, 58, true));
    images["LogoVendor"] = KeepAlpha(DrawQuenvarLogo(142, 110));
    images["LogoBrand"] = Opaque(DrawQuenvarMark(159, 61));
    images["LogoProduct_2"] = Opaque(DrawVarnexMark(159, 61, true));
    images["WelcomeImage"] = DrawWelcome(inverters[1], batteries[0]);

    std::map<QString, QByteArray> pngs;
    for (const auto &entry : images) {
        const QByteArray bytes = PngBytes(entry.second);
        pngs[entry.first] = bytes;
        QFile file(folder + "/" + entry.first + ".png");
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    if (!WriteSource(source, pngs)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 1;
    }
    return 0;
}
