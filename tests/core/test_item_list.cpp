// The bill of materials: the scan of the vendor's standard models, a sizing
// listed as its standard model or as components, empty kits, accessories and
// contracts, and the prices and total in fixed point.

#include "Globals.h"
#include "Headless.h"
#include "ItemList.h"
#include "PriceList.h"
#include "Startup.h"
#include "TestSupport.h"
#include "TextUtils.h"
#include "Vendor.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

/// A vendor library of texts only, for the scan of the standard models.
TVendorTextReader FakeVendor(const QHash<int32_t, QString> &texts)
{
    return [texts](int32_t entry, QString &text) {
        text = texts.value(entry);
        return texts.contains(entry);
    };
}

QHash<int32_t, QString> Definition(int32_t base, const QString &code, const QString &enabled)
{
    return {{base + int32_t(TStandardUpsEntry::Code), code}, {base + int32_t(TStandardUpsEntry::Enabled), enabled}};
}

struct TSized {
    TRequestParameters Request;
    TResultParameters Result;
};

using TRowTexts = QList<QStringList>;

// The description in one line: the language text's line break is dropped.
const QString kContractC = QStringLiteral("Annual maintenance contract: one preventive visit per year, on-site "
                                          "response within 24 working hours, labour and travel included");

TRowTexts Texts(const TItemList &list)
{
    TRowTexts rows;
    for (const TItemRow &row : list.Rows)
        rows << ItemRowCells(row, list.ShowPrices);
    return rows;
}

} // namespace

class TestItemList : public QObject {
    Q_OBJECT

private:
    THeadlessSession m_session;

    TSized Size(const QByteArray &json)
    {
        TSized s;
        const QJsonObject answer =
            SizeRequestJson(QJsonDocument::fromJson(json).object(), {}, &s.Request, &s.Result, &m_session);
        if (!answer.value("ok").toBool())
            qFatal("the request was refused: %s", qPrintable(answer.value("error").toString()));
        return s;
    }

    TItemListContext Context(bool debug = false) const
    {
        TItemListContext context;
        context.DebugMode = debug;
        context.ProductName = QStringLiteral("Varnex");
        context.Standards = m_session.StandardUps;
        return context;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(UseBuiltProgram());
        m_session = ReadHeadlessSession();
        SetCurrencySymbol(QString());
    }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void standardModelsScan()
    {
        // A disabled model is skipped without ending the scan; the first empty code ends it.
        QHash<int32_t, QString> texts;
        texts.insert(Definition(1000, "STD-A", "1"));
        texts.insert(Definition(1020, "STD-B", "0"));
        texts.insert(Definition(1040, "STD-C", "1"));
        texts.insert(Definition(1060, "STD-D", "yes"));
        texts.insert(Definition(1080, "", "1"));
        texts.insert(Definition(1100, "STD-F", "1"));
        QCOMPARE(LoadStandardUpsList(FakeVendor(texts)), (TIntegerArray{1000, 1040}));
        texts.remove(1081); // a missing code ends it as well
        QCOMPARE(LoadStandardUpsList(FakeVendor(texts)), (TIntegerArray{1000, 1040}));
        QCOMPARE(LoadStandardUpsList(FakeVendor({})), TIntegerArray{});
        // The edition's own list: the 60 kVA model is the disabled one.
        QCOMPARE(LoadStandardUpsList(ProgramVendorReader()), (TIntegerArray{1000, 1020, 1040, 1060, 1080, 1100}));
    }

    void standardModelMatch()
    {
        const TSized s =
            Size(R"({"sizeLine": 1, "accessories": [{"record": 20000}, {"record": 20100, "quantity": 4}]})");
        QCOMPARE(
            FindStandardUps(s.Request, s.Result, LoadStandardUpsList(ProgramVendorReader()), ProgramVendorReader()),
            1000);
        TResultParameters result = s.Result;
        result.Accessories.Contracts = {{20240, 3}, {20300, 0}};
        const TItemList list = BuildItemList(s.Request, result, Context());
        QCOMPARE(
            Texts(list),
            (TRowTexts{{" QV-STD-10K",
                        " Varnex 10 kVA modular UPS, 3 x 3.4 kVA modules, 4 x 9 Ah battery kits, "
                        "10 minutes",
                        "1"},
                       {" QV-ACC-CS121",
                        " CS121 SK - SNMP/Web network adapter (slot card), monitoring and shutdown of 1 UPS over "
                        "Ethernet",
                        "1"},
                       {" QV-SW-RCCMD-01", " RCCMD - Remote shutdown software for network clients (licences: 1)", "4"},
                       // A contract is one service, whatever quantity was stored.
                       {" QV-MC-C-10", " Canone C - " + kContractC, "1"},
                       {" QV-MC-C-16", " Canone C - " + kContractC, "1"}}));
        QCOMPARE(list.Rows[0].Group, int(TItemGroup::Standard));
        QCOMPARE(list.Rows[1].Group, int(TItemGroup::Accessories));
        QCOMPARE(list.Rows[3].Group, int(TItemGroup::Contracts));

        // In debug mode its components follow without codes.
        const TItemList debug = BuildItemList(s.Request, result, Context(true));
        QCOMPARE(Texts(debug).mid(0, 4), (TRowTexts{Texts(list)[0],
                                                    {" ", "  - UPS cabinet with 3 power module slots", "1"},
                                                    {" ", "  - Power module 3.4 kVA", "3"},
                                                    {" ", "  - Battery kit 9 Ah", "4"}}));
        QCOMPARE(debug.Rows[1].Group, int(TItemGroup::Components));
    }

    void componentsWithoutMatch_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<TRowTexts>("rows");
        QTest::addColumn<int>("emptyKitRecord");
        QTest::newRow("empty drawers never match a standard model")
            << QByteArray(R"({"sizeLine": 1, "specialConfig": "emptyDrawers"})")
            << TRowTexts{{" QV-IC-03-10", " UPS cabinet with 3 power module slots", "1"},
                         {" QV-PM-34", " Power module 3.4 kVA", "3"},
                         {" QV-BK-EMPTY", " Empty battery kit (drawer without batteries)", "1"}}
            << 10280;
        QTest::newRow("battery cabinets")
            << QByteArray(R"({"sizeLine": 12, "loadPower": 60000})")
            << TRowTexts{{" QV-IC-12-60H", " UPS cabinet with 12 power module slots", "1"},
                         {" QV-PM-50", " Power module 5 kVA", "12"},
                         {" QV-BK-072", " Battery kit 7.2 Ah", "36"},
                         {" QV-BC-20", " Modular battery cabinet for 20 battery kits", "2"}}
            << 0;
        QTest::newRow("only the inverter") << QByteArray(R"({"sizeLine": 1, "specialConfig": "onlyInverter"})")
                                           << TRowTexts{{" QV-IC-03-10", " UPS cabinet with 3 power module slots", "1"},
                                                        {" QV-PM-34", " Power module 3.4 kVA", "3"}}
                                           << 0;
    }

    void componentsWithoutMatch()
    {
        QFETCH(QByteArray, request);
        QFETCH(TRowTexts, rows);
        QFETCH(int, emptyKitRecord);
        TSized s = Size(request);
        const TItemList list = BuildItemList(s.Request, s.Result, Context());
        QCOMPARE(Texts(list), rows);
        QCOMPARE(s.Result.EmptyKitRecord, emptyKitRecord);
        for (const TItemRow &row : list.Rows)
            QCOMPARE(row.Group, int(TItemGroup::Components));
    }

    void emptyKitCount()
    {
        TResultParameters result{};
        result.BatteryKitCount = 10;
        ComputeEmptyKits(result);
        QCOMPARE(result.EmptyKitRecord, 10280);
        QCOMPARE(result.EmptyKitCount, 2); // 10 div 4
    }

    void prices()
    {
        TSized s = Size(R"({"sizeLine": 1, "specialConfig": "emptyDrawers",
                             "accessories": [{"record": 20080}, {"record": 20100, "quantity": 4}]})");
        QStringList asked;
        TItemListContext context = Context();
        context.ShowPrices = true;
        context.Prices = [&asked](const QString &table, const QString &code) -> TCurrency {
            asked << table + ':' + code;
            if (code == QLatin1String("QV-SW-RCCMD-01"))
                return 125000; // 12.50
            if (code == QLatin1String("QV-IC-03-10"))
                return 30000000; // 3000.00
            return -1;
        };
        const TItemList list = BuildItemList(s.Request, s.Result, context);
        QCOMPARE(asked, (QStringList{"Components:QV-IC-03-10", "Components:QV-PM-34", "Components:QV-BK-EMPTY",
                                     "Accessories:QV-ACC-SUP-USB", "Accessories:QV-SW-RCCMD-01"}));
        QStringList prices;
        for (const QStringList &row : Texts(list))
            prices << row.value(3);
        // An unpriced item shows a zero price; 4 x 12.50 adds 50.00.
        QCOMPARE(prices, (QStringList{"3,000.00 ", "0.00 ", "0.00 ", "0.00 ", "12.50 "}));
        QCOMPARE(qlonglong(list.Total), qlonglong(30500000));
        QCOMPARE(qlonglong(s.Result.TotalPrice), qlonglong(30500000));
        QCOMPARE(FormatPrice(list.Total), QStringLiteral("3,050.00 "));

        // Without a price list nothing is looked up and there is no price column.
        TItemListContext none = Context();
        TResultParameters result = s.Result;
        const TItemList unpriced = BuildItemList(s.Request, result, none);
        QVERIFY(!unpriced.PriceListOpen);
        QCOMPARE(qlonglong(result.TotalPrice), qlonglong(0));
        for (const QStringList &row : Texts(unpriced))
            QCOMPARE(row.size(), 3);
    }

    void unpricedItemsAreNamed()
    {
        // A standard model in debug mode: its components have no code and are not
        // named; an item in two rows is named once; the line under the total names them.
        TSized s = Size(R"({"sizeLine": 1, "accessories": [{"record": 20080}, {"record": 20100, "quantity": 4}]})");
        s.Result.Accessories.Accessories.append({20080, 2});
        TItemListContext context = Context(true);
        context.ShowPrices = true;
        context.Prices = [](const QString &, const QString &code) -> std::optional<TCurrency> {
            return code == QLatin1String("QV-STD-10K") ? 10000 : -1;
        };
        const TItemList list = BuildItemList(s.Request, s.Result, context);
        QCOMPARE(list.Rows.first().Code, QStringLiteral("QV-STD-10K"));
        QVERIFY(list.Rows[1].Code.isEmpty() && list.Rows[1].PriceMissing);
        QCOMPARE(list.UnpricedCodes, (QStringList{"QV-ACC-SUP-USB", "QV-SW-RCCMD-01"}));
        QCOMPARE(UnpricedItemsLine(list), QStringLiteral("No price in the price list, not included in the total: "
                                                         "QV-ACC-SUP-USB, QV-SW-RCCMD-01"));
        QCOMPARE(qlonglong(list.Total), qlonglong(10000));

        // Every item priced, or no price list: no line.
        context.Prices = [](const QString &, const QString &) -> std::optional<TCurrency> { return 10000; };
        const TItemList priced = BuildItemList(s.Request, s.Result, context);
        QVERIFY(priced.UnpricedCodes.isEmpty());
        QVERIFY(UnpricedItemsLine(priced).isEmpty());
        QVERIFY(UnpricedItemsLine(BuildItemList(s.Request, s.Result, Context(true))).isEmpty());
    }

    void unreadableListGivesNoPrices()
    {
        // The list cannot be read at the second item: no prices at all rather than
        // zeros, and nothing more is asked of it.
        TSized s = Size(R"({"sizeLine": 1, "specialConfig": "emptyDrawers"})");
        int asked = 0;
        TItemListContext context = Context();
        context.ShowPrices = true;
        context.Prices = [&asked](const QString &, const QString &) -> std::optional<TCurrency> {
            if (++asked == 2)
                return std::nullopt;
            return 10000;
        };
        const TItemList list = BuildItemList(s.Request, s.Result, context);
        QCOMPARE(asked, 2);
        QVERIFY(list.PriceListFailed);
        QVERIFY(!list.PriceListOpen);
        QVERIFY(!list.ShowPrices);
        QVERIFY(list.UnpricedCodes.isEmpty());
        QCOMPARE(qlonglong(list.Total), qlonglong(0));
        QCOMPARE(qlonglong(s.Result.TotalPrice), qlonglong(0));
        QCOMPARE(Texts(list).size(), 3);
        for (const QStringList &row : Texts(list))
            QCOMPARE(row.size(), 3);
    }

    void damagedListNeverGivesAWrongTotal()
    {
        // The sample list with one bit flipped, at places spread over the whole file:
        // the default sizing gets its right total, or no prices at all with the list
        // not valid; never another total.
        QFile sample(QStringLiteral(VX_BUILD_DIR "PriceList.tc"));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray bytes = sample.readAll();
        QTemporaryDir dir;
        const TSetupData saved = SetupData;
        SetupData.DataPath = dir.path() + QStringLiteral("/");
        const QString target = SetupData.DataPath + QLatin1String(kPriceListFileName);
        const TSized s = Size("{}");
        auto build = [&](const QByteArray &file, TResultParameters &result) {
            QFile out(target);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
                qFatal("cannot write %s", qPrintable(target));
            out.close();
            SetupData.ShowPrices = LoadPriceList();
            result = s.Result;
            return BuildItemList(s.Request, result, ProgramItemListContext(m_session.StandardUps, SetupData));
        };
        TResultParameters result;
        const TItemList intact = build(bytes, result);
        QCOMPARE(FormatPrice(intact.Total), QStringLiteral("21,520.00 ")); // 10700 + 3 x 2400 + 8 x 215 + 1900
        const TRowTexts intactRows = Texts(intact);

        constexpr int kPlaces = 240;
        int rightTotal = 0, refusedAtOpen = 0, failedWhileListing = 0;
        for (int i = 0; i < kPlaces; ++i) {
            const qsizetype offset = qsizetype(i) * bytes.size() / kPlaces + i % 11;
            QByteArray damaged = bytes;
            damaged[offset] = char(damaged[offset] ^ (1 << (i % 8)));
            const TItemList list = build(damaged, result);
            const QByteArray where = "byte " + QByteArray::number(offset);
            if (list.PriceListOpen) {
                QVERIFY2(Texts(list) == intactRows, where.constData());
                QVERIFY2(list.Total == intact.Total && result.TotalPrice == intact.Total, where.constData());
                ++rightTotal;
                continue;
            }
            QVERIFY2(!PriceList.Loaded && PriceList.NotValid && PriceListDatabase() == nullptr, where.constData());
            QVERIFY2(!list.ShowPrices && result.TotalPrice == 0, where.constData());
            (SetupData.ShowPrices ? failedWhileListing : refusedAtOpen) += 1;
        }
        ClosePriceListDatabase();
        PriceList = TPriceList();
        SetupData = saved;
        qInfo("%d right totals, %d lists refused at the open, %d failed while listing", rightTotal, refusedAtOpen,
              failedWhileListing);
        QVERIFY(rightTotal > 0);
        QVERIFY(refusedAtOpen > 0);
        QVERIFY(failedWhileListing > 0);
    }

    void totalStaysFixedPoint()
    {
        // Four decimals are kept through the sum; huge amounts saturate instead of wrapping.
        TSized s = Size(
            R"({"sizeLine": 1, "specialConfig": "emptyDrawers", "accessories": [{"record": 20100, "quantity": 3}]})");
        TItemListContext context = Context();
        context.Prices = [](const QString &, const QString &code) -> TCurrency {
            return code == QLatin1String("QV-SW-RCCMD-01") ? 3333 : 1; // 0.3333 and 0.0001
        };
        QCOMPARE(qlonglong(BuildItemList(s.Request, s.Result, context).Total), qlonglong(1 + 3 + 1 + 9999));
        context.Prices = [](const QString &, const QString &) -> TCurrency { return INT64_MAX / 2; };
        QCOMPARE(qlonglong(BuildItemList(s.Request, s.Result, context).Total), qlonglong(INT64_MAX));
    }
};

QTEST_GUILESS_MAIN(TestItemList)
#include "test_item_list.moc"
