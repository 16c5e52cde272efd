// The painted cabinet drawing with the real vendor library and fonts: the
// pictures the tables name, transparency, module and kit pixels, the captured
// image, the results paint box, the wizard preview and the headless output.

#include "Globals.h"
#include "ProgramFonts.h"
#include "Headless.h"
#include "LayoutGeometry.h"
#include "LayoutPaintBox.h"
#include "LayoutPainter.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "VendorBitmap.h"

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QJsonArray>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int32_t kInverter13 = 10000; // "2001", 1_3
constexpr int32_t kInverter23 = 10320; // "2171", 2_3, height 350
constexpr int32_t kBattery16 = 10140;  // "2071"
constexpr int32_t kModule34 = 10200;   // "2101", big 23 x 53
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kKey = 0xFFFF00FF; // the vendor's key colour of transparent pictures

struct TScenario {
    TRequestParameters Request;
    TResultParameters Result;
};

// Two 16-kit battery cabinets, the second with two strings of 4 kits; 2_3
// inverter with 3/3/3 modules of 3.4 kVA.
TScenario TwoCabinets()
{
    TScenario s;
    s.Request.ModularBatteryCabinet = true;
    s.Result.InverterRecord = kInverter23;
    s.Result.InverterSlots = 9;
    s.Result.ModuleRecord = kModule34;
    s.Result.ModulesL1 = s.Result.ModulesL2 = s.Result.ModulesL3 = 3;
    s.Result.BatteryCabinetRecord = kBattery16;
    s.Result.BatteryCabinetCount = 2;
    s.Result.KitsInLastCabinet = 8;
    s.Result.KitsPerString = 4;
    s.Result.BatteryKitCount = 24;
    return s;
}

QPoint Centre(const QRect &r) { return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2); }

bool HasDarkPixel(const QImage &image, const QRect &area)
{
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

} // namespace

class TestLayoutPainter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void labelFontIsTahomaBold12();
    void vendorHasEveryPictureAtTableSize();
    void pictureIsCutOrExtendedNotScaled();
    void renderedDrawingPixels();
    void capturedImageCoversThePictures();
    void paintBoxPaintsAndCaptures();
    void drawsWithoutBuiltTables();
    void withoutVendorLibraryOnlyLabels();
    void wizardPreviewPages_data();
    void wizardPreviewPages();
    void headlessLayoutKeys();
    void headlessImageWriteFailure();
    void headlessSizingCarriesTheLayout();

private:
    TTempHome m_home;
};

void TestLayoutPainter::initTestCase()
{
    SetupData.ProgramPath = BuiltProgramPath();
    SetupData.LanguageFile = "English.lng";
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));
}

void TestLayoutPainter::cleanupTestCase() { UnloadVendorLibrary(); }

void TestLayoutPainter::init() { BuildDrawingTables(); }

namespace {

/// Dark pixels of the text drawn in black on white.
int InkOf(const QFont &font, const QString &text)
{
    QImage image(400, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(4, 28, text);
    painter.end();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    return ink;
}

} // namespace

void TestLayoutPainter::labelFontIsTahomaBold12()
{
    const QFont font = LayoutFont();
    QCOMPARE(font.pixelSize(), 12);
    QVERIFY(font.bold());
    QCOMPARE(QFontInfo(ProgramFont(8)).family(), QString("Tahoma"));
    QCOMPARE(QFontInfo(ProgramFont(10, true)).family(), QString("DejaVu Sans Condensed"));
    QCOMPARE(QFontInfo(ProgramBold(ProgramFont(8))).family(), QString("DejaVu Sans Condensed"));
    QCOMPARE(QFontInfo(font).family(), QString("DejaVu Sans Condensed"));
    QVERIFY(QStringList({"Arial", "Liberation Sans"}).contains(QFontInfo(ProgramSansFont()).family()));
    // Bold text carries clearly more ink than regular text, on every path's font.
    const QString text = QStringLiteral("Battery cabinet x 2  New configuration");
    for (int size : {8, 10}) {
        const int regular = InkOf(ProgramFont(size), text), bold = InkOf(ProgramFont(size, true), text);
        QVERIFY2(bold > regular * 13 / 10, qPrintable(QStringLiteral("%1 pt: %2 against %3").arg(size).arg(bold).arg(regular)));
    }
    QVERIFY(InkOf(font, text) > InkOf(ProgramPixelFont(12), text) * 13 / 10);
}

void TestLayoutPainter::vendorHasEveryPictureAtTableSize()
{
    QList<QPair<QString, QSize>> pictures;
    for (const TBitmapInverter &r : BitmapInverters) {
        pictures.append({r.Big.Name, QSize(kInverterBigWidth, r.Big.Height)});
        pictures.append({r.Small.Name, QSize(r.Small.Width, r.Small.Height)});
    }
    for (const TBitmapBattery &r : BitmapBatteries) {
        pictures.append({r.NamePrefix + "Full", QSize(r.Width, r.Height)});
        pictures.append({r.NamePrefix + "Empty", QSize(r.Width, r.Height)});
    }
    for (const TBitmapModule &r : BitmapModules) {
        pictures.append({r.Big.Name, QSize(r.Big.Width, r.Big.Height)});
        pictures.append({r.Small.Name, QSize(r.Small.Width, r.Small.Height)});
    }
    pictures.append({BitmapKb.Name, QSize(BitmapKb.Width, BitmapKb.Height)});
    pictures.append({"InverterCabinetSmall_2_Closed", QSize(60, 239)});
    for (const auto &p : pictures) {
        QImage image;
        QVERIFY2(LoadVendorBitmap(p.first, image), qPrintable(p.first));
        QCOMPARE(image.size(), p.second);
    }
}

void TestLayoutPainter::pictureIsCutOrExtendedNotScaled()
{
    QImage original;
    QVERIFY(LoadVendorBitmap("PowerModule_34", original));
    original = original.convertToFormat(QImage::Format_ARGB32);

    QImage cut;
    QVERIFY(LoadPicture(cut, 10, 20, false, "PowerModule_34"));
    QCOMPARE(cut.size(), QSize(10, 20));
    for (const QPoint &pt : {QPoint(0, 0), QPoint(9, 19), QPoint(5, 10)})
        QCOMPARE(cut.pixel(pt), original.pixel(pt));

    QImage extended;
    QVERIFY(LoadPicture(extended, 40, 60, false, "BatteryKb"));
    QCOMPARE(extended.size(), QSize(40, 60));
    QImage kb;
    QVERIFY(LoadVendorBitmap("BatteryKb", kb));
    QCOMPARE(extended.pixel(20, 20), kb.convertToFormat(QImage::Format_ARGB32).pixel(20, 20));

    // Transparent: the key colour (bottom-left) goes, other colours stay opaque.
    QImage module;
    QVERIFY(LoadPicture(module, 23, 53, true, "PowerModule_34"));
    QCOMPARE(original.pixel(0, 52), kKey);
    QCOMPARE(qAlpha(module.pixel(0, 52)), 0);
    QCOMPARE(module.pixel(11, 26), original.pixel(11, 26));
    QCOMPARE(qAlpha(module.pixel(11, 26)), 255);
    // An extension of a transparent picture is see-through as well.
    QImage wider;
    QVERIFY(LoadPicture(wider, 40, 53, true, "PowerModule_34"));
    QCOMPARE(qAlpha(wider.pixel(35, 26)), 0);

    QImage none;
    QVERIFY(!LoadPicture(none, 10, 10, true, "NoSuchPicture"));
    QVERIFY(none.isNull());
}

void TestLayoutPainter::renderedDrawingPixels()
{
    TScenario s = TwoCabinets();
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, LayoutTextMeasure(LayoutFont()));
    const QImage image = RenderLayoutBitmap(s.Request, s.Result);
    const QPoint origin = LayoutCaptureRect(d).topLeft();
    QCOMPARE(LayoutBounds, d.Bounds);
    QCOMPARE(LayoutBounds.Top, 28);
    auto at = [&](const QPoint &p) { return image.pixel(p - origin); };

    // Every module: its own colour where its picture is opaque, on top of the cabinet.
    QImage module;
    QVERIFY(LoadPicture(module, 23, 53, true, "PowerModule_34"));
    int modules = 0;
    for (const TLayoutPicture &p : d.Pictures) {
        if (p.Name != "PowerModule_34")
            continue;
        ++modules;
        const QRgb c = at(Centre(p.Rect));
        QVERIFY(c != kWhite);
        QVERIFY(c != kKey);
        QCOMPARE(c, module.pixel(Centre(p.Rect) - p.Rect.topLeft()));
    }
    QCOMPARE(modules, 9);

    // The kits of the partly filled cabinet are opaque pictures: even their bottom-left pixel shows.
    QImage kb;
    QVERIFY(LoadPicture(kb, 69, 48, false, "BatteryKb"));
    for (const QRect &r : {QRect(442, 270, 69, 48), QRect(442, 222, 69, 48)}) {
        QCOMPARE(at(Centre(r)), kb.pixel(34, 24));
        QCOMPARE(at(r.bottomLeft()), kb.pixel(0, 47));
        QVERIFY(at(Centre(r)) != kWhite);
    }

    // Where a cabinet picture holds the key colour, the white background shows through.
    QImage cabinet;
    QVERIFY(LoadVendorBitmap("InverterCabinet_2_3", cabinet));
    cabinet = cabinet.convertToFormat(QImage::Format_RGB32);
    int keyed = 0;
    for (int y = 0; y < cabinet.height(); ++y)
        for (int x = 0; x < cabinet.width(); ++x)
            if (cabinet.pixel(x, y) == kKey && (x < 11 || y < 22 || y > 22 + 3 * 51 + 2)) {
                QCOMPARE(at(QPoint(82 + x, 28 + y)), kWhite);
                ++keyed;
            }
    QVERIFY(keyed > 0);
    // ... and nowhere in the captured image is the key colour left.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(image.pixel(x, y) != kKey);

    // The labels are written in black below the floor line.
    for (const TLayoutLabel &l : d.Labels)
        QVERIFY(HasDarkPixel(image, QRect(QPoint(l.X, l.Y) - origin, l.Size)));
}

void TestLayoutPainter::capturedImageCoversThePictures()
{
    TScenario s = TwoCabinets();
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, LayoutTextMeasure(LayoutFont()));
    const QImage image = RenderLayoutBitmap(s.Request, s.Result);
    const QRect capture = LayoutCaptureRect(d);
    QCOMPARE(image.size(), capture.size());
    // The inverter's left edge lies left of its label: the capture still starts 5 pixels before it.
    QVERIFY(LayoutBounds.Left > 82);
    QCOMPARE(capture.left(), 77);
    QCOMPARE(capture.top(), 23);
    // The partly filled cabinet's right edge (519) is inside, with the margin.
    QVERIFY(capture.right() >= 519 + 4);
    // Margins are white.
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(image.pixel(x, 0), kWhite);
        QCOMPARE(image.pixel(x, image.height() - 1), kWhite);
    }
    // The inverter cabinet's leftmost visible column is in the image, left of its label.
    QImage cabinet;
    QVERIFY(LoadVendorBitmap("InverterCabinet_2_3", cabinet));
    cabinet = cabinet.convertToFormat(QImage::Format_RGB32);
    int firstColumn = -1;
    for (int x = 0; x < cabinet.width() && firstColumn < 0; ++x)
        for (int y = 0; y < cabinet.height() && firstColumn < 0; ++y)
            if (cabinet.pixel(x, y) != kKey)
                firstColumn = x;
    QVERIFY(firstColumn >= 0);
    QVERIFY(82 + firstColumn < LayoutBounds.Left);
    bool painted = false;
    for (int y = 5; y < 5 + 350 && !painted; ++y)
        painted = image.pixel(5 + firstColumn, y) != kWhite;
    QVERIFY(painted);
}

void TestLayoutPainter::paintBoxPaintsAndCaptures()
{
    TScenario s = TwoCabinets();
    RequestParameters = s.Request;
    ResultParameters = s.Result;
    TLayoutPaintBox box;
    QCOMPARE(box.objectName(), QString("paintGlobalLayout"));
    box.resize(kLayoutBoxWidth, kLayoutBoxHeight);
    QVERIFY(!box.HasLayoutBitmap());
    LayoutBounds = TLayoutBounds{};

    const QImage screen = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(box.HasLayoutBitmap());
    QCOMPARE(LayoutBounds.Top, 28);
    const QImage expected = RenderLayoutBitmap(s.Request, s.Result);
    QCOMPARE(box.LayoutBitmap().convertToFormat(QImage::Format_RGB32), expected);

    // What the paint box shows is what was captured, at the capture's place.
    TScenario t = TwoCabinets();
    const TLayoutDrawing d = BuildLayoutDrawing(t.Request, t.Result, kLayoutBoxWidth, LayoutTextMeasure(LayoutFont()));
    const QRect capture = LayoutCaptureRect(d);
    QCOMPARE(screen.copy(capture), expected);
    QCOMPARE(screen.pixel(2, 2), kWhite);

    // Recapturing without a paint event gives the same bitmap; freeing empties it.
    box.FreeLayoutBitmap();
    box.CaptureLayout();
    QCOMPARE(box.LayoutBitmap().convertToFormat(QImage::Format_RGB32), expected);
    box.FreeLayoutBitmap();
    QVERIFY(!box.HasLayoutBitmap());
}

void TestLayoutPainter::drawsWithoutBuiltTables()
{
    TScenario s = TwoCabinets();
    const QImage built = RenderLayoutBitmap(s.Request, s.Result);
    ClearDrawingTables();
    TScenario t = TwoCabinets();
    QCOMPARE(RenderLayoutBitmap(t.Request, t.Result), built);
}

void TestLayoutPainter::withoutVendorLibraryOnlyLabels()
{
    TScenario s = TwoCabinets();
    const TLayoutDrawing d = BuildLayoutDrawing(s.Request, s.Result, kLayoutBoxWidth, LayoutTextMeasure(LayoutFont()));
    UnloadVendorLibrary();
    const QImage image = RenderLayoutBitmap(s.Request, s.Result);
    QVERIFY(LoadVendorLibraryFile(BuiltProgramPath() + "Quenvar.so"));

    // Same geometry, no pictures: module and kit places are white, the labels are there.
    const QPoint origin = LayoutCaptureRect(d).topLeft();
    QCOMPARE(image.size(), LayoutCaptureRect(d).size());
    for (const TLayoutPicture &p : d.Pictures)
        QCOMPARE(image.pixel(Centre(p.Rect) - origin), kWhite);
    for (const TLayoutLabel &l : d.Labels)
        QVERIFY(HasDarkPixel(image, QRect(QPoint(l.X, l.Y) - origin, l.Size)));
}

void TestLayoutPainter::wizardPreviewPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QPoint>("inside");  // a point of the cabinet or a module
    QTest::addColumn<QPoint>("outside"); // a point the preview leaves alone

    // 70 x 240 box; the 1_3 small cabinet (60 x 188) stands at (5, 26).
    QTest::newRow("page 0 closed cabinet") << 0 << QPoint(35, 120) << QPoint(2, 120);
    QTest::newRow("page 1 cabinet") << 1 << QPoint(35, 120) << QPoint(35, 10);
    QTest::newRow("page 2 configuration") << 2 << QPoint(13 + 7, 42 + 17) << QPoint(35, 10);
    QTest::newRow("page 5 configuration") << 5 << QPoint(13 + 7, 42 + 17) << QPoint(67, 120);
}

void TestLayoutPainter::wizardPreviewPages()
{
    QFETCH(int, page);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);

    TScenario s = TwoCabinets();
    s.Result.InverterRecord = kInverter13;
    s.Result.InverterKitPositions = 12;
    const TLayoutBounds marker{1, 2, 3, 4};
    LayoutBounds = marker;
    const QRgb background = qRgb(200, 210, 220);
    QImage image(70, 240, QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter p(&image);
        PaintWizardPreview(p, image.size(), TWizardPage(page), s.Request, s.Result);
    }
    QVERIFY(image.pixel(inside) != background);
    QVERIFY(image.pixel(inside) != kKey);
    QCOMPARE(image.pixel(outside), background);
    // No labels, no bounds at small scale; the key colour is never painted.
    QCOMPARE(LayoutBounds, marker);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(image.pixel(x, y) != kKey);
    if (page >= 2) {
        QImage module;
        QVERIFY(LoadPicture(module, 15, 35, true, "PowerModuleSmall_34"));
        QCOMPARE(image.pixel(inside), module.pixel(7, 17));
    }
}

void TestLayoutPainter::headlessLayoutKeys()
{
    QTemporaryDir dir;
    const QString png = dir.filePath("layout.png");
    const THeadlessHooks hooks = MakeLayoutHooks(png);
    QVERIFY(hooks.ExtendResult);

    TScenario s = TwoCabinets();
    QJsonObject json{{"ok", true}};
    hooks.ExtendResult(s.Request, s.Result, json);
    QCOMPARE(json.value("ok").toBool(), true);
    const QJsonObject layout = json.value("layout").toObject();
    QCOMPARE(layout.value("fullCabinets").toInt(), 1);
    QCOMPARE(layout.value("inverterX").toInt(), 82);
    QCOMPARE(layout.value("fullX").toInt(), 258);
    QCOMPARE(layout.value("partialX").toInt(), 430);
    const QJsonArray bounds = layout.value("bounds").toArray();
    QCOMPARE(bounds.size(), 4);
    QCOMPARE(bounds[0].toInt(), LayoutBounds.Left);
    QCOMPARE(bounds[1].toInt(), 28);
    QCOMPARE(bounds[2].toInt(), LayoutBounds.Right);
    QCOMPARE(bounds[3].toInt(), 398 + QFontMetrics(LayoutFont()).height());

    QImage written;
    QVERIFY(written.load(png, "PNG"));
    TScenario t = TwoCabinets();
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), RenderLayoutBitmap(t.Request, t.Result));
    QCOMPARE(json.value("layoutImage").toString(), png);

    // Only one image per run: a second request does not overwrite it.
    QVERIFY(QFile::remove(png));
    TScenario alone = TwoCabinets();
    alone.Request.SpecialConfig = alone.Request.OnlyInverter = true;
    QJsonObject second{{"ok", true}};
    hooks.ExtendResult(alone.Request, alone.Result, second);
    QCOMPARE(second.value("layout").toObject().value("inverterX").toInt(), 248);
    QCOMPARE(second.value("layout").toObject().value("fullCabinets").toInt(), 0);
    QVERIFY(!QFileInfo::exists(png));

    // Without an image path nothing is written, the keys are there.
    QJsonObject third{{"ok", true}};
    TScenario u = TwoCabinets();
    MakeLayoutHooks(QString()).ExtendResult(u.Request, u.Result, third);
    QVERIFY(third.contains("layout"));
    QVERIFY(!third.contains("layoutImage"));
    QCOMPARE(third.value("ok").toBool(), true);
}

void TestLayoutPainter::headlessImageWriteFailure()
{
    QTemporaryDir dir;
    const QString png = dir.filePath("missing-folder/layout.png");
    TScenario s = TwoCabinets();
    QJsonObject json{{"ok", true}};
    MakeLayoutHooks(png).ExtendResult(s.Request, s.Result, json);
    QCOMPARE(json.value("ok").toBool(), false);
    QVERIFY(json.value("error").toString().contains(png));
    QVERIFY(json.contains("layout"));
    QVERIFY(!QFileInfo::exists(png));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestLayoutPainter::headlessSizingCarriesTheLayout()
{
    // A 6-slot cabinet with two full 16-kit battery cabinets, through the wizard's pages.
    QTemporaryDir dir;
    const QString png = dir.filePath("layout.png");
    TResultParameters final;
    const QJsonObject out = SizeRequestJson(
        QJsonObject{{"sizeLine", 5}, {"loadPower", 18000}, {"autonomyMinutes", 60}}, MakeLayoutHooks(png), nullptr,
        &final);
    QVERIFY2(out.value("ok").toBool(), qPrintable(out.value("error").toString()));
    QCOMPARE(final.BatteryCabinetCount, 2);
    QCOMPARE(int(final.KitsInLastCabinet), 0);
    const QJsonObject layout = out.value("layout").toObject();
    QCOMPARE(layout.value("fullCabinets").toInt(), 2);
    QCOMPARE(layout.value("inverterX").toInt(), 150);
    QCOMPARE(layout.value("fullX").toInt(), 348);
    QCOMPARE(layout.value("partialX").toInt(), 0);
    QCOMPARE(layout.value("bounds").toArray().at(1).toInt(), 378 - 280);
    QImage written;
    QVERIFY(written.load(png, "PNG"));
    QVERIFY(written.width() >= 89 * 2);
}

QTEST_MAIN(TestLayoutPainter)
#include "test_layout_painter.moc"
