// The Quenvar vendor library as the program meets it: the real Quenvar.so from
// the program folder, read through the program's own vendor access.

#include "Accessories.h"
#include "BatterySizing.h"
#include "Catalogue.h"
#include "Globals.h"
#include "PowerSizing.h"
#include "TestSupport.h"
#include "Vendor.h"
#include "VendorBitmap.h"

#include <QLibrary>
#include <QMap>
#include <QSet>
#include <QUrl>
#include <QtTest>

namespace {

struct TCatalogueItem {
    int32_t Record;
    int32_t Code;
};

// Every product of the built-in catalogue with its product code (field 1).
const QVector<TCatalogueItem> kUpsItems = {
    {10000, 2001}, {10020, 2011}, {10040, 2021}, {10060, 2031}, {10080, 2041}, {10100, 2051}, {10120, 2061},
    {10140, 2071}, {10160, 2081}, {10180, 2091}, {10200, 2101}, {10220, 2111}, {10240, 2121}, {10260, 2131},
    {10280, 2141}, {10300, 2161}, {10320, 2171}, {10340, 2181}, {10360, 2191}, {10380, 2201}, {10400, 2211},
    {10420, 2221}, {10440, 2231}, {10460, 2151}, {10480, 2101},
};
const QVector<TCatalogueItem> kAccessoryItems = {
    {20000, 3001}, {20020, 3011}, {20040, 3111}, {20060, 3021}, {20080, 3031}, {20100, 3041},
    {20120, 3051}, {20140, 3061}, {20160, 3071}, {20180, 3081}, {20200, 3091}, {20220, 3101},
};
QVector<TCatalogueItem> ContractItems()
{
    QVector<TCatalogueItem> items;
    for (int k = 0; k < 21; ++k)
        items.append({20240 + 20 * k, 4001 + 10 * k});
    return items;
}

// Inverter cabinets and the vendor key named by their field 19, with the
// cabinet height in mm (field 5).
struct TInverterKey {
    int32_t Record;
    int32_t Key;
    int32_t HeightMm;
};
const QVector<TInverterKey> kPreferredKeys = {
    {10000, 2003, 1345}, {10020, 2013, 1345}, {10040, 2023, 1345}, {10060, 2033, 1345}, {10080, 2043, 1345},
    {10100, 2053, 1650}, {10120, 2063, 1650}, {10320, 2173, 1650}, {10340, 2183, 1650}, {10360, 2193, 1650},
    {10380, 2203, 1650}, {10400, 2213, 1650}, {10420, 2223, 1650}, {10440, 2043, 1345},
};

// The UPS sizes of the catalogue (maximum VA / W of the inverter cabinets).
const QVector<QPair<int32_t, int32_t>> kSizes = {
    {8000, 6400},   {10000, 8000},  {15000, 12000}, {16000, 12800}, {20000, 16000},
    {30000, 24000}, {40000, 32000}, {45000, 36000}, {60000, 48000},
};

enum TPictureKind { Keyed, Opaque, Alpha };

QString Text(int32_t entry)
{
    QString text;
    GetVendorText(entry, text);
    return text;
}

bool Found(int32_t entry)
{
    QString text;
    return GetVendorText(entry, text);
}

QImage Picture(const QString &name)
{
    QImage image;
    if (!LoadVendorBitmap(name, image))
        return QImage();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QRgb BottomLeft(const QImage &image)
{
    return image.pixel(0, image.height() - 1);
}

bool IsDark(QRgb c)
{
    return qGray(c) < 70;
}

bool IsCabinetBody(QRgb c)
{
    return qGray(c) > 170 && qAbs(qRed(c) - qBlue(c)) < 30;
}

int32_t FirstInteger(const QString &text)
{
    bool ok = false;
    const int32_t v = text.trimmed().toInt(&ok);
    return ok ? v : INT32_MIN;
}

} // namespace

class TestQuenvar : public QObject {
    Q_OBJECT

private:
    TRecordingMessageService m_messages;
    QLibrary m_direct;
    TVendorGetData m_getData = nullptr;
    TVendorGetBitmap m_getBitmap = nullptr;

private slots:
    void initTestCase();
    void cleanupTestCase();

    void onlyTheTwoFunctionsAreExported();
    void fixedEntries_data();
    void fixedEntries();
    void webAddresses_data();
    void webAddresses();
    void missingEntries_data();
    void missingEntries();

    void everyCatalogueItemIsOffered();
    void articleCodesAreDistinct();
    void offeredListsFollowTheLanguage();
    void noKeyServesTwoRoles();
    void preferredCabinetMatchesTheInverterHeight();
    void contractBandsCoverEachSizeOnce();

    void standardDefinitionsReferToTheCatalogue();
    void standardDefinitionsMatchTheSizing_data();
    void standardDefinitionsMatchTheSizing();

    void picturesDecodeAtTheirSize_data();
    void picturesDecodeAtTheirSize();
    void inverterSlotsLineUp_data();
    void inverterSlotsLineUp();
    void batteryCabinetDrawersLineUp_data();
    void batteryCabinetDrawersLineUp();
    void missingPictures();
};

void TestQuenvar::initTestCase()
{
    const QString file = BuiltProgramPath() + QStringLiteral("Quenvar.so");
    QVERIFY2(LoadVendorLibraryFile(file), qPrintable(file));
    QVERIFY(VendorLibraryLoaded());
    m_direct.setFileName(file);
    QVERIFY2(m_direct.load(), qPrintable(m_direct.errorString()));
    m_getData = reinterpret_cast<TVendorGetData>(m_direct.resolve("GetData"));
    m_getBitmap = reinterpret_cast<TVendorGetBitmap>(m_direct.resolve("GetBitmap"));
    QVERIFY(m_getData);
    QVERIFY(m_getBitmap);
}

void TestQuenvar::cleanupTestCase()
{
    UnloadVendorLibrary();
    m_direct.unload();
    // Reading the catalogue never raised a message box.
    QCOMPARE(m_messages.Texts(), QStringList());
}

void TestQuenvar::onlyTheTwoFunctionsAreExported()
{
    // The data tables stay inside the library.
    QVERIFY(!m_direct.resolve("VendorEntries"));
    QVERIFY(!m_direct.resolve("VendorPictures"));
}

void TestQuenvar::fixedEntries_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("expected"); // empty: any non-empty text

    QTest::newRow("advanced page") << 1 << "1";
    QTest::newRow("accessories page") << 2 << "1";
    QTest::newRow("contracts page") << 3 << "1";
    QTest::newRow("autonomy load percent") << 50 << "80";
    QTest::newRow("product name") << 101 << "Varnex";
    QTest::newRow("publisher") << 102 << "";
    QTest::newRow("caption") << 103 << "Quenvar";
    QTest::newRow("mail") << 104 << "info@quenvar.example.com";
    QTest::newRow("rights") << 105 << "";
}

void TestQuenvar::fixedEntries()
{
    QFETCH(int, entry);
    QFETCH(QString, expected);
    QString text;
    QVERIFY(GetVendorText(entry, text));
    QVERIFY(!text.isEmpty());
    if (!expected.isEmpty())
        QCOMPARE(text, expected);
    if (entry == 105) {
        // UTF-8 in the library, read back as one copyright sign.
        QVERIFY2(text.startsWith(QChar(0x00A9)), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Quenvar")));
    }
}

void TestQuenvar::webAddresses_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("productPage");
    QTest::addColumn<QString>("language");
    QTest::newRow("Italian") << 110 << 300 << "/it/";
    QTest::newRow("English") << 120 << 301 << "/en/";
    QTest::newRow("German") << 130 << 302 << "/de/";
    QTest::newRow("Spanish") << 140 << 303 << "/es/";
}

void TestQuenvar::webAddresses()
{
    QFETCH(int, shown);
    QFETCH(int, productPage);
    QFETCH(QString, language);
    auto reserved = [](const QUrl &url) {
        const QString host = url.host();
        for (const char *domain : {"example.com", "example.org", "example.net"}) {
            const QString d = QString::fromLatin1(domain);
            if (host == d || host.endsWith(QLatin1Char('.') + d))
                return true;
        }
        return false;
    };
    QString head, tail;
    QVERIFY(GetVendorText(shown, head));
    QVERIFY(GetVendorText(shown + 1, tail));
    QVERIFY(!head.isEmpty());
    QVERIFY(!tail.isEmpty());
    const QUrl site(head + tail, QUrl::StrictMode);
    QVERIFY2(site.isValid() && site.scheme() == QStringLiteral("https"), qPrintable(site.toString()));
    QVERIFY2(reserved(site), qPrintable(site.host()));
    QCOMPARE(site.path(), language);

    QString page;
    QVERIFY(GetVendorText(productPage, page));
    const QUrl product(page, QUrl::StrictMode);
    QVERIFY2(product.isValid() && product.scheme() == QStringLiteral("https"), qPrintable(page));
    QVERIFY2(reserved(product), qPrintable(product.host()));
    QVERIFY(product.path().startsWith(language));
}

void TestQuenvar::missingEntries_data()
{
    QTest::addColumn<int>("entry");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("lowest") << int(INT32_MIN);
    QTest::newRow("highest") << int(INT32_MAX);
    QTest::newRow("unused standard field S+8") << 1008;
    QTest::newRow("after the last standard definition") << 1141;
    QTest::newRow("after the last contract") << 4206;
    QTest::newRow("inverter has no contract range") << 2004;
    QTest::newRow("module has no language list") << 2093;
}

void TestQuenvar::missingEntries()
{
    QFETCH(int, entry);
    QString text = QStringLiteral("stale");
    QVERIFY(!GetVendorText(entry, text));
    QVERIFY(text.isEmpty());

    // The library itself answers with false and a valid empty text.
    const char *raw = nullptr;
    QVERIFY(!m_getData(entry, &raw));
    QVERIFY(raw != nullptr);
    QCOMPARE(raw[0], '\0');
}

void TestQuenvar::everyCatalogueItemIsOffered()
{
    // The hard-coded list is the catalogue's: nothing more, nothing less.
    QSet<int32_t> listed;
    for (const auto &list : {kUpsItems, kAccessoryItems, ContractItems()})
        for (const TCatalogueItem &item : list) {
            QCOMPARE(CatalogueInt(item.Record, 1), item.Code);
            listed.insert(item.Record);
        }
    QSet<int32_t> catalogue;
    for (int32_t r : ListRecords(kUpsArea, -1))
        catalogue.insert(r);
    for (int32_t r : ListRecords(kAccessoryArea, -1))
        catalogue.insert(r);
    QCOMPARE(catalogue, listed);

    for (const auto &list : {kUpsItems, kAccessoryItems, ContractItems()})
        for (const TCatalogueItem &item : list) {
            QString flag;
            QVERIFY2(GetVendorText(item.Code + 1, flag), qPrintable(QString::number(item.Code)));
            QCOMPARE(flag, QStringLiteral("1"));
            QVERIFY2(!ArticleCode(item.Record).isEmpty(), qPrintable(QString::number(item.Record)));
        }

    // Every UPS family is offered whole.
    for (int32_t family = int32_t(TFamily::PowerModule); family <= int32_t(TFamily::NonModularBatteryCabinet); ++family)
        QCOMPARE(OfferedUpsItems(family), ListRecords(kUpsArea, family));
}

void TestQuenvar::articleCodesAreDistinct()
{
    // One article code per product code; the 94 Ah kit shares the module's.
    QMap<QString, int32_t> owner;
    for (const auto &list : {kUpsItems, kAccessoryItems, ContractItems()})
        for (const TCatalogueItem &item : list) {
            const QString code = Text(item.Code);
            QVERIFY2(code.startsWith(QStringLiteral("QV-")), qPrintable(code));
            QVERIFY(!code.contains(QLatin1Char(' ')));
            if (owner.contains(code))
                QVERIFY2(owner.value(code) == item.Code, qPrintable(code));
            owner.insert(code, item.Code);
        }
    QCOMPARE(ArticleCode(10480), ArticleCode(10200));
}

void TestQuenvar::offeredListsFollowTheLanguage()
{
    const TIntegerArray accessories = ListRecords(kAccessoryArea, int32_t(TFamily::Accessory));
    const TIntegerArray contracts = ListRecords(kAccessoryArea, int32_t(TFamily::Contract));

    // The Italian edition sells everything.
    QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Accessory), 1040), accessories);
    QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Contract), 1040), contracts);

    // Elsewhere: no AS/400 items and no maintenance contracts.
    TIntegerArray withoutAs400;
    for (int32_t r : accessories)
        if (r != 20200 && r != 20220)
            withoutAs400.append(r);
    for (int32_t language : {1033, 1031, 1034, 2057}) {
        QCOMPARE(OfferedAccessoryItems(int32_t(TFamily::Accessory), language), withoutAs400);
        QVERIFY(OfferedAccessoryItems(int32_t(TFamily::Contract), language).isEmpty());
    }
}

void TestQuenvar::noKeyServesTwoRoles()
{
    QMap<int32_t, QString> roles;
    QStringList clashes;
    auto claim = [&](int32_t key, const QString &role) {
        if (roles.contains(key) && roles.value(key) != role)
            clashes << QStringLiteral("%1: %2 / %3").arg(key).arg(roles.value(key), role);
        roles.insert(key, role);
    };

    for (int32_t key : {1, 2, 3, 50, 101, 102, 103, 104, 105, 110, 111, 120, 121, 130, 131, 140, 141, 300, 301, 302, 303})
        claim(key, QStringLiteral("fixed"));

    int32_t s = 1000;
    for (; !Text(s + 1).isEmpty(); s += 20)
        for (int32_t field = 1; field <= 11; ++field)
            claim(s + field, QStringLiteral("standard %1").arg(s));
    claim(s + 1, QStringLiteral("end of standard definitions"));

    QSet<int32_t> codes;
    for (const TCatalogueItem &item : kUpsItems)
        codes.insert(item.Code);
    for (int32_t c : codes) {
        claim(c, QStringLiteral("article code %1").arg(c));
        claim(c + 1, QStringLiteral("offer flag %1").arg(c));
    }
    for (const TCatalogueItem &item : kAccessoryItems) {
        claim(item.Code, QStringLiteral("article code %1").arg(item.Code));
        claim(item.Code + 1, QStringLiteral("offer flag %1").arg(item.Code));
        claim(item.Code + 2, QStringLiteral("languages %1").arg(item.Code));
    }
    for (const TCatalogueItem &item : ContractItems()) {
        claim(item.Code, QStringLiteral("article code %1").arg(item.Code));
        claim(item.Code + 1, QStringLiteral("offer flag %1").arg(item.Code));
        claim(item.Code + 2, QStringLiteral("languages %1").arg(item.Code));
        claim(item.Code + 3, QStringLiteral("contract minimum %1").arg(item.Code));
        claim(item.Code + 4, QStringLiteral("contract maximum %1").arg(item.Code));
    }
    for (const TInverterKey &k : kPreferredKeys) {
        QCOMPARE(CatalogueInt(k.Record, 19), k.Key);
        claim(k.Key, QStringLiteral("preferred cabinet"));
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));

    // Every entry the library holds has one of these roles; S+8 stays empty.
    QStringList strays;
    const char *text = nullptr;
    for (int32_t key = -100; key <= 100000; ++key)
        if (m_getData(key, &text) && !roles.contains(key))
            strays << QString::number(key);
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char(' '))));
}

void TestQuenvar::preferredCabinetMatchesTheInverterHeight()
{
    const TIntegerArray modular = ListRecords(kUpsArea, int32_t(TFamily::ModularBatteryCabinet));
    for (const TInverterKey &k : kPreferredKeys) {
        QVERIFY(CatalogueField(k.Record, 5).contains(QStringLiteral(" x %1 x ").arg(k.HeightMm)));
        const int32_t cabinet = PreferredCabinet(k.Record);
        QVERIFY2(modular.contains(cabinet), qPrintable(QString::number(k.Record)));
        QVERIFY2(CatalogueField(cabinet, 5).contains(QStringLiteral(" x %1 x ").arg(k.HeightMm)),
                 qPrintable(QStringLiteral("%1 -> %2").arg(k.Record).arg(cabinet)));
        QCOMPARE(cabinet, k.HeightMm == 1345 ? 10140 : 10160);
    }
}

void TestQuenvar::contractBandsCoverEachSizeOnce()
{
    // The sizes: the list above and every inverter cabinet of the catalogue.
    QVector<QPair<int32_t, int32_t>> sizes = kSizes;
    for (int32_t r : ListRecords(kUpsArea, int32_t(TFamily::InverterCabinet))) {
        const QPair<int32_t, int32_t> size(CatalogueInt(r, 17), CatalogueInt(r, 18));
        QVERIFY2(kSizes.contains(size), qPrintable(QString::number(r)));
    }

    const TIntegerArray contracts = ListRecords(kAccessoryArea, int32_t(TFamily::Contract));
    QMap<int32_t, int> sizesPerGroup;
    for (const auto &size : sizes) {
        // For each kind of contract (label C, D, E), exactly one group covers the size.
        QMap<QString, QList<int32_t>> covering;
        for (int32_t r : contracts)
            if (ContractCovers(r, size.first, size.second))
                covering[CatalogueField(r, 2)].append(CatalogueInt(r, 6));
        QCOMPARE(covering.keys(), QStringList({"Canone C", "Canone D", "Canone E"}));
        for (const auto &groups : covering) {
            QCOMPARE(groups.size(), 1);
            QCOMPARE(groups.first(), covering.first().first());
        }
        ++sizesPerGroup[covering.first().first()];
    }
    // Every group serves at least one size.
    QCOMPARE(sizesPerGroup.keys(), QList<int32_t>({0, 1, 2, 3, 4, 5, 6}));

    // Sizes between the catalogue's fall in exactly one band, too.
    for (int32_t va = 1000; va <= 60000; va += 500) {
        int covered = 0;
        for (int32_t r : contracts)
            if (CatalogueField(r, 2) == QStringLiteral("Canone C") && ContractCovers(r, va, va * 8 / 10))
                ++covered;
        QVERIFY2(covered == 1, qPrintable(QString::number(va)));
    }
}

void TestQuenvar::standardDefinitionsReferToTheCatalogue()
{
    int enabled = 0, disabled = 0, inverterOnly = 0;
    QSet<QString> codes;
    int32_t s = 1000;
    for (; !Text(s + 1).isEmpty(); s += 20) {
        const QString where = QStringLiteral("S=%1").arg(s);
        const QString code = Text(s + 1);
        QVERIFY2(!codes.contains(code), qPrintable(where));
        codes.insert(code);

        // One string argument (the product name) and no other placeholder.
        const QString description = Text(s + 2);
        QCOMPARE(description.count(QStringLiteral("%s")), 1);
        QCOMPARE(description.count(QLatin1Char('%')), 1);
        QVERIFY(QString::asprintf(qPrintable(description), "Varnex").startsWith(QStringLiteral("Varnex ")));

        const int32_t module = FirstInteger(Text(s + 6));
        const int32_t inverter = FirstInteger(Text(s + 7));
        const int32_t kit = FirstInteger(Text(s + 10));
        const int32_t kitCount = FirstInteger(Text(s + 9));
        QVERIFY2(ListRecords(kUpsArea, int32_t(TFamily::PowerModule)).contains(module), qPrintable(where));
        QVERIFY2(ListRecords(kUpsArea, int32_t(TFamily::InverterCabinet)).contains(inverter), qPrintable(where));
        QVERIFY2(CabinetAcceptsModule(inverter, module), qPrintable(where));
        for (int phase = 0; phase < 3; ++phase) {
            const int32_t n = FirstInteger(Text(s + 3 + phase));
            QVERIFY2(n >= 1 && n <= CatalogueInt(inverter, 6 + phase), qPrintable(where));
        }
        QVERIFY2(!Found(s + 8), qPrintable(where));
        if (kit == -1) {
            ++inverterOnly;
            QCOMPARE(kitCount, 0);
        } else {
            QVERIFY2(ListRecords(kUpsArea, int32_t(TFamily::BatteryKit)).contains(kit), qPrintable(where));
            QCOMPARE(CatalogueInt(kit, 15), 1); // a kit for modular cabinets
            QVERIFY2(kitCount > 0 && kitCount % CatalogueInt(kit, 14) == 0, qPrintable(where));
        }
        const QString flag = Text(s + 11);
        QVERIFY(flag == QStringLiteral("1") || flag == QStringLiteral("0"));
        (flag == QStringLiteral("1") ? enabled : disabled)++;
    }
    QCOMPARE(s, 1140);
    QVERIFY(enabled >= 5);
    QCOMPARE(disabled, 1);
    QCOMPARE(inverterOnly, 1);
}

void TestQuenvar::standardDefinitionsMatchTheSizing_data()
{
    QTest::addColumn<int>("s");
    // Each definition with batteries is what the wizard sizes for the size's
    // full load in VA, three-phase input, three single-phase outputs, 10
    // minutes at 80 %, modular cabinet, automatic battery choice.
    for (int s : {1000, 1020, 1040, 1060, 1080, 1120})
        QTest::newRow(qPrintable(QStringLiteral("S=%1").arg(s))) << s;
}

void TestQuenvar::standardDefinitionsMatchTheSizing()
{
    QFETCH(int, s);
    const int32_t inverter = FirstInteger(Text(s + 7));

    TRequestParameters req;
    req.LoadPower = CatalogueInt(inverter, 17);
    req.MaxUpsPower = req.LoadPower;
    req.PowerInWatt = false;
    req.InputThreePhase = true;
    req.OutputKind = 0;
    req.OutputLines = 3;
    req.LoadPhases = 1;
    req.AutonomyRequired = 10;
    req.AutonomyInMinutes = true;
    req.AutonomyLoadPercent = 80;
    req.ModularBatteryCabinet = true;
    req.BatteryType = -1;

    TResultParameters res;
    res.InverterRecord = inverter;
    res.InverterKitPositions = uint8_t(CatalogueInt(inverter, 9));
    QVERIFY(SizeModules(OfferedUpsItems(int32_t(TFamily::PowerModule)), inverter, RequiredPower(req.LoadPower, 0), req, res));

    TBatteryCandidates candidates;
    candidates.Kits = OfferedUpsItems(int32_t(TFamily::BatteryKit));
    candidates.ModularCabinets = OfferedUpsItems(int32_t(TFamily::ModularBatteryCabinet));
    candidates.NonModularCabinets = OfferedUpsItems(int32_t(TFamily::NonModularBatteryCabinet));
    QVERIFY(FinishSizing(req, res, candidates));

    QCOMPARE(int(res.ModulesL1), FirstInteger(Text(s + 3)));
    QCOMPARE(int(res.ModulesL2), FirstInteger(Text(s + 4)));
    QCOMPARE(int(res.ModulesL3), FirstInteger(Text(s + 5)));
    QCOMPARE(res.ModuleRecord, FirstInteger(Text(s + 6)));
    QCOMPARE(res.BatteryKitRecord, FirstInteger(Text(s + 10)));
    QCOMPARE(res.BatteryKitCount, FirstInteger(Text(s + 9)));
}

void TestQuenvar::picturesDecodeAtTheirSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("kind");

    for (const char *n : {"InverterCabinet_1_3", "InverterCabinet_1_6", "InverterCabinet_1_9"})
        QTest::newRow(n) << n << 89 << 280 << int(Keyed);
    for (const char *n : {"InverterCabinet_2_3", "InverterCabinet_2_6", "InverterCabinet_2_6_no_batt",
                          "InverterCabinet_2_9", "InverterCabinet_2_12"})
        QTest::newRow(n) << n << 89 << 350 << int(Keyed);
    for (const char *n : {"InverterCabinetSmall_1_3", "InverterCabinetSmall_1_6", "InverterCabinetSmall_1_9"})
        QTest::newRow(n) << n << 60 << 188 << int(Keyed);
    for (const char *n : {"InverterCabinetSmall_2_3", "InverterCabinetSmall_2_6", "InverterCabinetSmall_2_6_no_batt",
                          "InverterCabinetSmall_2_9", "InverterCabinetSmall_2_12"})
        QTest::newRow(n) << n << 60 << 239 << int(Keyed);
    QTest::newRow("InverterCabinetSmall_2_Closed") << "InverterCabinetSmall_2_Closed" << 60 << 239 << int(Opaque);
    QTest::newRow("BatteryCabinet_16_Full") << "BatteryCabinet_16_Full" << 89 << 280 << int(Keyed);
    QTest::newRow("BatteryCabinet_16_Empty") << "BatteryCabinet_16_Empty" << 89 << 280 << int(Keyed);
    QTest::newRow("BatteryCabinet_20_Full") << "BatteryCabinet_20_Full" << 89 << 350 << int(Keyed);
    QTest::newRow("BatteryCabinet_20_Empty") << "BatteryCabinet_20_Empty" << 89 << 350 << int(Keyed);
    QTest::newRow("BatteryCabinet_Yuasa_94_Full") << "BatteryCabinet_Yuasa_94_Full" << 132 << 340 << int(Keyed);
    QTest::newRow("BatteryCabinet_Yuasa_94_Empty") << "BatteryCabinet_Yuasa_94_Empty" << 132 << 340 << int(Keyed);
    QTest::newRow("PowerModule_34") << "PowerModule_34" << 23 << 53 << int(Keyed);
    QTest::newRow("PowerModuleSmall_34") << "PowerModuleSmall_34" << 15 << 35 << int(Keyed);
    QTest::newRow("PowerModule_50") << "PowerModule_50" << 23 << 54 << int(Keyed);
    QTest::newRow("PowerModuleSmall_50") << "PowerModuleSmall_50" << 15 << 37 << int(Keyed);
    QTest::newRow("BatteryKb") << "BatteryKb" << 69 << 48 << int(Opaque);
    QTest::newRow("WelcomeImage") << "WelcomeImage" << 414 << 424 << int(Opaque);
    QTest::newRow("LogoProduct") << "LogoProduct" << 159 << 58 << int(Alpha);
    QTest::newRow("LogoVendor") << "LogoVendor" << 142 << 110 << int(Alpha);
    QTest::newRow("LogoBrand") << "LogoBrand" << 159 << 61 << int(Opaque);
    QTest::newRow("LogoProduct_2") << "LogoProduct_2" << 159 << 61 << int(Opaque);
}

void TestQuenvar::picturesDecodeAtTheirSize()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, kind);

    const QImage image = Picture(name);
    QVERIFY2(!image.isNull(), qPrintable(name));
    QCOMPARE(image.size(), QSize(width, height));

    // Something is drawn: more than a handful of colours.
    QSet<QRgb> colours;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() > 8, qPrintable(name));

    if (kind == Keyed) {
        // The key colour of the bottom-left pixel is not a colour of the
        // drawing: no pixel of the centre column of the body carries it.
        const QRgb key = BottomLeft(image);
        QCOMPARE(qAlpha(key), 255);
        const int bodyBottom = height - (width > 30 ? 7 : 3);
        for (int y = 0; y < bodyBottom; ++y)
            QVERIFY2(image.pixel(width / 2, y) != key, qPrintable(QStringLiteral("%1 at y %2").arg(name).arg(y)));
        // The four corners of a cabinet or module front stay outside it below.
        QCOMPARE(image.pixel(width - 1, height - 1), key);
    } else if (kind == Opaque) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                QVERIFY(qAlpha(image.pixel(x, y)) == 255);
    } else {
        // Logos on coloured panels: transparent around the mark.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(BottomLeft(image)), 0);
    }
}

void TestQuenvar::inverterSlotsLineUp_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("moduleTop");
    QTest::addColumn<int>("moduleLeft");
    QTest::addColumn<int>("moduleWidth");
    QTest::addColumn<int>("moduleHeight");
    QTest::addColumn<int>("rows");    // slots per phase (catalogue fields 6/7/8)
    QTest::addColumn<int>("kitTop");  // lowest kit drawer (big pictures)
    QTest::addColumn<int>("kitLeft");
    QTest::addColumn<int>("drawers"); // kit positions (field 9) / 4

    // Big scale: modules overlap by 2 px, small scale by 1 px.
    QTest::newRow("1_3") << "InverterCabinet_1_3" << 23 << 11 << 23 << 53 << 1 << 172 << 11 << 3;
    QTest::newRow("1_6") << "InverterCabinet_1_6" << 20 << 11 << 23 << 53 << 2 << 172 << 11 << 2;
    QTest::newRow("1_9") << "InverterCabinet_1_9" << 21 << 11 << 23 << 53 << 3 << 0 << 0 << 0;
    QTest::newRow("2_3") << "InverterCabinet_2_3" << 22 << 11 << 23 << 54 << 1 << 238 << 11 << 4;
    QTest::newRow("2_6") << "InverterCabinet_2_6" << 22 << 11 << 23 << 54 << 2 << 238 << 11 << 3;
    QTest::newRow("2_6_no_batt") << "InverterCabinet_2_6_no_batt" << 22 << 11 << 23 << 54 << 2 << 0 << 0 << 0;
    QTest::newRow("2_9") << "InverterCabinet_2_9" << 22 << 11 << 23 << 54 << 3 << 0 << 0 << 0;
    QTest::newRow("2_12") << "InverterCabinet_2_12" << 22 << 11 << 23 << 54 << 4 << 0 << 0 << 0;
    QTest::newRow("small 1_3") << "InverterCabinetSmall_1_3" << 16 << 8 << 15 << 35 << 1 << 0 << 0 << 0;
    QTest::newRow("small 1_6") << "InverterCabinetSmall_1_6" << 15 << 8 << 15 << 35 << 2 << 0 << 0 << 0;
    QTest::newRow("small 1_9") << "InverterCabinetSmall_1_9" << 15 << 8 << 15 << 35 << 3 << 0 << 0 << 0;
    QTest::newRow("small 2_3") << "InverterCabinetSmall_2_3" << 15 << 9 << 15 << 37 << 1 << 0 << 0 << 0;
    QTest::newRow("small 2_6") << "InverterCabinetSmall_2_6" << 15 << 9 << 15 << 37 << 2 << 0 << 0 << 0;
    QTest::newRow("small 2_6_no_batt") << "InverterCabinetSmall_2_6_no_batt" << 15 << 9 << 15 << 37 << 2 << 0 << 0
                                       << 0;
    QTest::newRow("small 2_9") << "InverterCabinetSmall_2_9" << 15 << 9 << 15 << 37 << 3 << 0 << 0 << 0;
    QTest::newRow("small 2_12") << "InverterCabinetSmall_2_12" << 15 << 9 << 15 << 37 << 4 << 0 << 0 << 0;
}

void TestQuenvar::inverterSlotsLineUp()
{
    QFETCH(QString, name);
    QFETCH(int, moduleTop);
    QFETCH(int, moduleLeft);
    QFETCH(int, moduleWidth);
    QFETCH(int, moduleHeight);
    QFETCH(int, rows);
    QFETCH(int, kitTop);
    QFETCH(int, kitLeft);
    QFETCH(int, drawers);

    const QImage image = Picture(name);
    QVERIFY(!image.isNull());
    const bool small = image.width() == 60;
    const int step = moduleHeight - (small ? 1 : 2);
    const QRgb key = BottomLeft(image);

    // An empty slot (dark recess) under every module position of the three
    // phase columns.
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < rows; ++row) {
            const int x = moduleLeft + col * moduleWidth;
            const int y = moduleTop + row * step;
            for (const QPoint &at : {QPoint(x + 4, y + 5), QPoint(x + moduleWidth - 5, y + moduleHeight - 6)}) {
                const QRgb c = image.pixel(at);
                QVERIFY2(IsDark(c) && c != key,
                         qPrintable(QStringLiteral("%1 slot %2/%3 at %4,%5").arg(name).arg(col).arg(row).arg(at.x()).arg(at.y())));
            }
        }
    // Light cabinet body beside the three columns and above the first row.
    const int areaBottom = moduleTop + (rows - 1) * step + moduleHeight;
    for (int y = moduleTop + 2; y < areaBottom - 2; y += 3) {
        QVERIFY2(IsCabinetBody(image.pixel(moduleLeft - 4, y)), qPrintable(QStringLiteral("%1 left y %2").arg(name).arg(y)));
        QVERIFY2(IsCabinetBody(image.pixel(moduleLeft + 3 * moduleWidth + 3, y)),
                 qPrintable(QStringLiteral("%1 right y %2").arg(name).arg(y)));
    }
    // No slot row below the last one when no drawers follow.
    if (drawers == 0 && !small)
        QVERIFY2(!IsDark(image.pixel(moduleLeft + 4, areaBottom + 4)), qPrintable(name));

    // Kit drawer bays: one kit picture (69 x 48) per string, going up.
    for (int i = 0; i < drawers; ++i) {
        const int top = kitTop - i * 48;
        for (const QPoint &at : {QPoint(kitLeft + 10, top + 24), QPoint(kitLeft + 58, top + 12)})
            QVERIFY2(IsDark(image.pixel(at)), qPrintable(QStringLiteral("%1 drawer %2").arg(name).arg(i)));
        // The bay's frame is exactly the kit picture's outline.
        QVERIFY(!IsCabinetBody(image.pixel(kitLeft, top + 24)));
        QVERIFY(!IsCabinetBody(image.pixel(kitLeft + 68, top + 24)));
    }
    if (drawers > 0) {
        // Below the lowest drawer: the cabinet again, no further bay.
        QVERIFY(!IsDark(image.pixel(kitLeft + 10, kitTop + 48 + 8)));
    }
}

void TestQuenvar::batteryCabinetDrawersLineUp_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("kitTop");
    QTest::addColumn<int>("kitLeft");
    QTest::addColumn<int>("drawers"); // kit positions (field 6) / 4
    QTest::newRow("16 positions") << "BatteryCabinet_16_" << 172 << 12 << 4;
    QTest::newRow("20 positions") << "BatteryCabinet_20_" << 219 << 12 << 5;
}

void TestQuenvar::batteryCabinetDrawersLineUp()
{
    QFETCH(QString, prefix);
    QFETCH(int, kitTop);
    QFETCH(int, kitLeft);
    QFETCH(int, drawers);

    const QImage empty = Picture(prefix + QStringLiteral("Empty"));
    const QImage full = Picture(prefix + QStringLiteral("Full"));
    const QImage kit = Picture(QStringLiteral("BatteryKb"));
    QVERIFY(!empty.isNull() && !full.isNull() && !kit.isNull());

    for (int i = 0; i < drawers; ++i) {
        const int top = kitTop - i * 48;
        // The full cabinet shows the kit picture in every bay, pixel for pixel.
        QCOMPARE(full.copy(kitLeft, top, 69, 48), kit.convertToFormat(QImage::Format_ARGB32));
        // The empty one shows an empty bay there, different from a kit.
        QVERIFY(IsDark(empty.pixel(kitLeft + 10, top + 24)));
        QVERIFY(empty.copy(kitLeft, top, 69, 48) != full.copy(kitLeft, top, 69, 48));
    }
    // Only as many bays as strings: above the top one and below the lowest
    // one the two pictures are the same cabinet.
    const int above = kitTop - drawers * 48 - 4;
    QCOMPARE(empty.copy(0, 0, 89, above), full.copy(0, 0, 89, above).convertToFormat(empty.format()));
    const int below = kitTop + 48 + 4;
    QVERIFY(!IsDark(empty.pixel(kitLeft + 10, below + 4)));
}

void TestQuenvar::missingPictures()
{
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QImage before = image;
    for (const char *name : {"NoSuchPicture", "batterykb", "BatteryKb ", "BatteryCabinet_16_", "LogoProduct_3", ""}) {
        QVERIFY2(!LoadVendorBitmap(QString::fromLatin1(name), image), name);
        QCOMPARE(image, before);
        const unsigned char *bytes = reinterpret_cast<const unsigned char *>("x");
        int32_t size = 7;
        QVERIFY(!m_getBitmap(name, &bytes, &size));
        QVERIFY(bytes == nullptr);
        QCOMPARE(size, 0);
    }
    const unsigned char *bytes = nullptr;
    int32_t size = 0;
    QVERIFY(!m_getBitmap(nullptr, &bytes, &size));

    // A picture that exists is a PNG file.
    QVERIFY(m_getBitmap("BatteryKb", &bytes, &size));
    QVERIFY(size > 8);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes), 8), QByteArray("\x89PNG\r\n\x1a\n", 8));
}

QTEST_MAIN(TestQuenvar)
#include "test_quenvar.moc"
