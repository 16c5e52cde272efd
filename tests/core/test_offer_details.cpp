// Offer details: what a sales engineer types or a request holds is taken as
// given or refused whole, references follow their pattern and revisions, and
// the commercial figures are exact to the cent.

#include <QtTest>

#include "OfferDetails.h"
#include "OfferSettings.h"
#include "PriceList.h"

#include <QJsonDocument>
#include <QTemporaryDir>

#include <limits>

namespace {

QJsonValue Json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray("[") + text + "]").array().at(0);
}

/// Money in units of the price list: 12.5 is 125000.
constexpr TCurrency Money(double amount) { return TCurrency(amount * 10000 + (amount >= 0 ? 0.5 : -0.5)); }

TItemRow Row(int32_t group, int32_t quantity, TCurrency price, bool priced = true)
{
    TItemRow row;
    row.Group = group;
    row.Code = QStringLiteral("C%1").arg(group);
    row.Quantity = quantity;
    row.Priced = priced;
    row.Price = price;
    return row;
}

TItemList List(const QVector<TItemRow> &rows, bool open = true)
{
    TItemList list;
    list.Rows = rows;
    list.PriceListOpen = open;
    for (const TItemRow &row : rows)
        list.Total += LineTotal(row);
    return list;
}

} // namespace

class TestOfferDetails : public QObject {
    Q_OBJECT

private slots:
    void discountText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1: refused
        QTest::newRow("whole") << "12" << 1200;
        QTest::newRow("one decimal, point") << "12.5" << 1250;
        QTest::newRow("two decimals, comma") << "7,25" << 725;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("hundred") << "100" << 10000;
        QTest::newRow("hundred with zeros") << "100.00" << 10000;
        QTest::newRow("blanks around") << " 3.1 " << 310;
        QTest::newRow("above hundred") << "100.01" << -1;
        QTest::newRow("three decimals") << "1.125" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("not a number") << "ten" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("thousands separator") << "1.000,5" << -1;
    }

    void discountText()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        TBasisPoints discount = 4242;
        const TOfferError e = ParseDiscountText(text, discount);
        QCOMPARE(e.Ok(), expected != -1);
        QCOMPARE(discount, expected == -1 ? 4242 : expected);
        if (expected == -1)
            QCOMPARE(e.Fault, TOfferFault::DiscountOutOfRange);
    }

    void discountShown_data()
    {
        QTest::addColumn<int>("discount");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole") << 1200 << "12";
        QTest::newRow("half") << 1250 << "12.5";
        QTest::newRow("hundredths") << 25 << "0.25";
        QTest::newRow("tenth and hundredth") << 1205 << "12.05";
        QTest::newRow("all") << 10000 << "100";
    }

    void discountShown()
    {
        QFETCH(int, discount);
        QFETCH(QString, shown);
        QCOMPARE(DiscountText(discount), shown);
    }

    void offerFromRequest_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("validUntil");
        QTest::addColumn<int>("discount");
        QTest::newRow("everything") << R"({"customer": "ACME", "project": "Plant 2", "reference": "Q-2024-0007",
            "date": "2024-02-28", "validDays": 30, "discountPercent": 12.34, "notes": "Delivery in May"})"
                                    << int(TOfferFault::None) << "2024-03-29" << 1234;
        QTest::newRow("discount as text") << R"({"discountPercent": "5,5"})" << int(TOfferFault::None) << ""
                                          << 550;
        QTest::newRow("empty object") << "{}" << int(TOfferFault::None) << "" << 0;
        QTest::newRow("leap day") << R"({"date": "2024-02-29", "validDays": 1})" << int(TOfferFault::None)
                                  << "2024-03-01" << 0;
        QTest::newRow("no leap day") << R"({"date": "2023-02-29"})" << int(TOfferFault::DateInvalid) << "" << 0;
        QTest::newRow("month 13") << R"({"date": "2024-13-01"})" << int(TOfferFault::DateInvalid) << "" << 0;
        QTest::newRow("other date form") << R"({"date": "28.02.2024"})" << int(TOfferFault::DateInvalid) << ""
                                         << 0;
        QTest::newRow("date as number") << R"({"date": 20240228})" << int(TOfferFault::DateInvalid) << "" << 0;
        QTest::newRow("discount above 100") << R"({"discountPercent": 100.5})"
                                            << int(TOfferFault::DiscountOutOfRange) << "" << 0;
        QTest::newRow("negative discount") << R"({"discountPercent": -2})" << int(TOfferFault::DiscountOutOfRange)
                                           << "" << 0;
        QTest::newRow("three decimals") << R"({"discountPercent": 2.125})"
                                        << int(TOfferFault::DiscountOutOfRange) << "" << 0;
        QTest::newRow("discount as bool") << R"({"discountPercent": true})"
                                          << int(TOfferFault::DiscountOutOfRange) << "" << 0;
        QTest::newRow("validity fraction") << R"({"validDays": 1.5})" << int(TOfferFault::ValidDaysOutOfRange)
                                           << "" << 0;
        QTest::newRow("validity too long") << R"({"validDays": 3651})" << int(TOfferFault::ValidDaysOutOfRange)
                                           << "" << 0;
        QTest::newRow("customer as number") << R"({"customer": 7})" << int(TOfferFault::NotText) << "" << 0;
        QTest::newRow("unknown member") << R"({"price": 7})" << int(TOfferFault::UnknownMember) << "" << 0;
        QTest::newRow("not an object") << R"("ACME")" << int(TOfferFault::NotAnObject) << "" << 0;
    }

    void offerFromRequest()
    {
        QFETCH(QString, json);
        QFETCH(int, fault);
        QFETCH(QString, validUntil);
        QFETCH(int, discount);
        TOfferDetails before;
        before.Customer = QStringLiteral("unchanged");
        TOfferDetails details = before;
        const TOfferError e = ReadOfferDetails(Json(json.toUtf8().constData()), details);
        QCOMPARE(int(e.Fault), fault);
        if (!e.Ok()) {
            QCOMPARE(details, before); // a refusal changes nothing
            return;
        }
        QCOMPARE(details.ValidUntil().toString(Qt::ISODate), validUntil);
        QCOMPARE(details.Discount, discount);
        // Written back, the key reads as the same details.
        TOfferDetails again;
        QVERIFY(ReadOfferDetails(OfferDetailsJson(details), again).Ok());
        QCOMPARE(again, details);
        QCOMPARE(details.IsEmpty(), json == QLatin1String("{}"));
    }

    void references_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("counter");
        QTest::addColumn<QString>("reference"); // empty: the pattern is refused
        QTest::newRow("default") << kDefaultReferencePattern << 7 << "Q-2024-0007";
        QTest::newRow("counter wider than its place") << kDefaultReferencePattern << 123456 << "Q-2024-123456";
        QTest::newRow("date parts") << "{yy}{mm}{dd}/{nn}" << 3 << "240228/03";
        QTest::newRow("counter alone") << "{n}" << 12 << "12";
        QTest::newRow("without counter") << "Q-{yyyy}" << 1 << "";
        QTest::newRow("two counters") << "{nn}-{nn}" << 1 << "";
        QTest::newRow("empty") << "" << 1 << "";
    }

    void references()
    {
        QFETCH(QString, pattern);
        QFETCH(int, counter);
        QFETCH(QString, reference);
        const TOfferError e = CheckReferencePattern(pattern);
        QCOMPARE(e.Ok(), !reference.isEmpty());
        if (!e.Ok())
            QCOMPARE(e.Fault, TOfferFault::PatternWithoutCounter);
        QCOMPARE(FormatReference(pattern, counter, QDate(2024, 2, 28)), reference);
    }

    void revisions_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("base");
        QTest::newRow("first") << "Q-2024-0007" << "Q-2024-0007-R1" << "Q-2024-0007";
        QTest::newRow("second") << "Q-2024-0007-R1" << "Q-2024-0007-R2" << "Q-2024-0007";
        QTest::newRow("tenth") << "Q-2024-0007-R9" << "Q-2024-0007-R10" << "Q-2024-0007";
        QTest::newRow("R inside") << "Q-R1-0007" << "Q-R1-0007-R1" << "Q-R1-0007";
        QTest::newRow("empty") << "" << "-R1" << "";
    }

    void revisions()
    {
        QFETCH(QString, reference);
        QFETCH(QString, next);
        QFETCH(QString, base);
        QCOMPARE(NextRevision(reference), next);
        QCOMPARE(BaseReference(reference), base);
    }

    // Net price = total less the discount, the discount rounded to the cent.
    void figures_data()
    {
        QTest::addColumn<QVector<TItemRow>>("rows");
        QTest::addColumn<int>("discount");
        QTest::addColumn<QVector<TCurrency>>("lineTotals");
        QTest::addColumn<TCurrency>("discountAmount");
        QTest::addColumn<TCurrency>("netPrice");
        QTest::addColumn<TCurrency>("yearly");
        QTest::newRow("no discount") << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 2, Money(1000.5))} << 0
                                     << QVector<TCurrency>{Money(2001)} << TCurrency(0) << Money(2001)
                                     << TCurrency(0);
        QTest::newRow("a tiny discount rounds to nothing")
            << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 1, Money(0.5))} << 1 // 0.01 % of 0.50 = 0.00005
            << QVector<TCurrency>{Money(0.5)} << TCurrency(0) << Money(0.5) << TCurrency(0);
        QTest::newRow("to the cent") << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 3, Money(333.3333))} << 1234
                                     << QVector<TCurrency>{Money(999.9999)} << Money(123.40) << Money(876.5999)
                                     << TCurrency(0);
        QTest::newRow("exact half") << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 1, Money(0.5))} << 1000
                                    << QVector<TCurrency>{Money(0.5)} << Money(0.05) << Money(0.45) << TCurrency(0);
        QTest::newRow("rounding half up") << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 1, Money(0.25))} << 1000
                                          << QVector<TCurrency>{Money(0.25)} << Money(0.03) << Money(0.22)
                                          << TCurrency(0);
        QTest::newRow("everything off") << QVector<TItemRow>{Row(int32_t(TItemGroup::Accessories), 4, Money(12.5))} << 10000
                                        << QVector<TCurrency>{Money(50)} << Money(50) << TCurrency(0)
                                        << TCurrency(0);
        QTest::newRow("contracts yearly")
            << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 1, Money(9000)), Row(int32_t(TItemGroup::Contracts), 1, Money(450)),
                                 Row(int32_t(TItemGroup::Contracts), 1, Money(120.25))}
            << 500 << QVector<TCurrency>{Money(9000), Money(450), Money(120.25)} << Money(478.51)
            << Money(9091.74) << Money(570.25);
        QTest::newRow("missing price counts nothing")
            << QVector<TItemRow>{Row(int32_t(TItemGroup::Accessories), 5, 0), Row(int32_t(TItemGroup::Components), 2, Money(10))} << 0
            << QVector<TCurrency>{0, Money(20)} << TCurrency(0) << Money(20) << TCurrency(0);
        QTest::newRow("saturates") << QVector<TItemRow>{Row(int32_t(TItemGroup::Components), 3, std::numeric_limits<TCurrency>::max() / 2)}
                                   << 0 << QVector<TCurrency>{std::numeric_limits<TCurrency>::max()}
                                   << TCurrency(0) << std::numeric_limits<TCurrency>::max() << TCurrency(0);
    }

    void figures()
    {
        QFETCH(QVector<TItemRow>, rows);
        QFETCH(int, discount);
        QFETCH(QVector<TCurrency>, lineTotals);
        QFETCH(TCurrency, discountAmount);
        QFETCH(TCurrency, netPrice);
        QFETCH(TCurrency, yearly);
        TItemList list = List(rows);
        list.Total = 0;
        for (TCurrency t : lineTotals)
            list.Total = t > std::numeric_limits<TCurrency>::max() - list.Total ? std::numeric_limits<TCurrency>::max()
                                                                                : list.Total + t;
        const TOfferFigures f = ComputeOfferFigures(list, discount);
        QVERIFY(f.Priced);
        QCOMPARE(f.LineTotals, lineTotals);
        QCOMPARE(f.DiscountAmount, discountAmount);
        QCOMPARE(f.DiscountAmount % 100, TCurrency(0)); // whole cents
        QCOMPARE(f.NetPrice, netPrice);
        QCOMPARE(f.YearlyTotal, yearly);
        QCOMPARE(f.HasContracts, yearly != 0);
    }

    void figuresWithoutPriceList()
    {
        const TOfferFigures f = ComputeOfferFigures(List({Row(int32_t(TItemGroup::Components), 2, 0, false)}, false), 1000);
        QVERIFY(!f.Priced);
        QCOMPARE(f.LineTotals, QVector<TCurrency>{0});
        QCOMPARE(f.NetPrice, TCurrency(0));
    }
    // The settings: a new reference counts on, a pattern without a counter is
    // refused and leaves the one set; the contact reads back as written.
    void settings()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString ini = dir.filePath(QStringLiteral("VarnexCfg.ini"));
        const QDate day(2025, 1, 3);
        QCOMPARE(ReadReferencePattern(ini), QString::fromLatin1(kDefaultReferencePattern));
        QCOMPARE(TakeNextReference(ini, day), QStringLiteral("Q-2025-0001"));
        QCOMPARE(TakeNextReference(ini, day), QStringLiteral("Q-2025-0002"));

        bool written = false;
        QVERIFY(WriteReferencePattern(ini, QStringLiteral("OFF/{yy}/{nnn}"), written).Ok());
        QVERIFY(written);
        const TOfferError refused = WriteReferencePattern(ini, QStringLiteral("OFF/{yy}"), written);
        QCOMPARE(refused.Fault, TOfferFault::PatternWithoutCounter);
        QVERIFY(!written);
        QCOMPARE(ReadReferencePattern(ini), QStringLiteral("OFF/{yy}/{nnn}"));
        QCOMPARE(TakeNextReference(ini, day), QStringLiteral("OFF/25/003"));
        QCOMPARE(ReadReferenceCounter(ini), 4);

        const TSalesContact contact{QStringLiteral("Anna Müller"), QStringLiteral("+49 89 1234"),
                                    QStringLiteral("anna@example.com"), QStringLiteral("Varnex GmbH")};
        QVERIFY(ReadSalesContact(ini).IsEmpty());
        QVERIFY(WriteSalesContact(ini, contact));
        QCOMPARE(ReadSalesContact(ini), contact);

        // A settings file that cannot be written gives no reference rather than one twice.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("folder.ini"))));
        QCOMPARE(TakeNextReference(dir.filePath(QStringLiteral("folder.ini")), day), QString());
    }
};

QTEST_GUILESS_MAIN(TestOfferDetails)
#include "test_offer_details.moc"
