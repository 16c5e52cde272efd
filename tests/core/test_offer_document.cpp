// What the offer documents and the clipboard copies say: the blocks in order
// with and without a price list, empty cells kept level, the plain-text tables
// with their CR LF line ends, and the file names the save commands write.

#include "Headless.h"
#include "OfferDocument.h"
#include "PriceList.h"
#include "TestSupport.h"
#include "TextUtils.h"
#include "Vendor.h"

#include <QJsonDocument>
#include <QtTest>

class TestOfferDocument : public QObject {
    Q_OBJECT

private:
    THeadlessSession m_session;

    /// The tables of a whole sizing; prices from a lookup when given.
    void Tables(const QByteArray &json, const TPriceLookup &prices, TItemList &list, QVector<TDataRow> &sheet)
    {
        TRequestParameters request;
        TResultParameters result;
        SizeRequestJson(QJsonDocument::fromJson(json).object(), {}, &request, &result, &m_session);
        TItemListContext context;
        context.ProductName = QStringLiteral("Varnex");
        context.Standards = m_session.StandardUps;
        context.Prices = prices;
        context.ShowPrices = bool(prices);
        list = BuildItemList(request, result, context);
        sheet = BuildDataSheet(request, result, {});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(UseBuiltProgram());
        SetupData.Version = QStringLiteral("1.0");
        m_session = ReadHeadlessSession();
        SetCurrencySymbol(QString());
    }
    void cleanupTestCase() { UnloadVendorLibrary(); }

    void blocksWithAndWithoutPrices()
    {
        TItemList list;
        QVector<TDataRow> sheet;
        Tables(R"({"sizeLine": 12, "loadPower": 60000})", {}, list, sheet);
        TOfferDocument doc =
            BuildOfferDocument(list, sheet, QImage(10, 10, QImage::Format_RGB32), "Varnex Configurator",
                               SetupData.Version);
        QCOMPARE(doc.Title, QStringLiteral("Varnex Configurator"));
        QCOMPARE(doc.Version, QStringLiteral("1.0"));
        QCOMPARE(doc.ItemsHeading, QStringLiteral("Bill of materials"));
        QCOMPARE(doc.Items.Headings, (QStringList{"Code", "Description", "Quantity"}));
        QCOMPARE(doc.Items.Align, (QVector<TDocAlign>{TDocAlign::Left, TDocAlign::Left, TDocAlign::Right}));
        QCOMPARE(doc.Items.Rows.first(), (QStringList{"QV-IC-12-60H", "UPS cabinet with 12 power module slots", "1"}));
        QVERIFY(doc.TotalLine.isEmpty());
        QVERIFY(doc.PriceListLines.isEmpty());
        QCOMPARE(doc.DataHeading, QStringLiteral("Technical data"));
        QVERIFY(doc.Data.Headings.isEmpty());
        QCOMPARE(doc.Data.Rows.size(), sheet.size());
        QCOMPARE(doc.Data.Rows[2], (QStringList{"Maximum UPS power", "60000 VA   (48000 W)"}));
        QCOMPARE(doc.NotesHeading, QStringLiteral("Legal notes"));
        QCOMPARE(doc.Notes.size(), 3);
        QCOMPARE(doc.DataChanges, QStringLiteral("Technical data and prices are subject to change without notice."));

        PriceList.Currency = QStringLiteral("EUR");
        PriceList.CountryName = QStringLiteral("Italia");
        PriceList.ValidityDate = QStringLiteral("20271340"); // no valid date: an empty date line
        Tables(R"({"sizeLine": 12, "loadPower": 60000})",
               [](const QString &, const QString &) -> TCurrency { return 125000; }, list, sheet);
        doc = BuildOfferDocument(list, sheet, QImage(), "Varnex Configurator", SetupData.Version);
        QCOMPARE(doc.Items.Headings.last(), QStringLiteral("Unit price"));
        QCOMPARE(doc.Items.Align.last(), TDocAlign::Right);
        QCOMPARE(doc.Items.Rows.first().last(), QStringLiteral("12.50"));
        // 1 + 12 + 36 + 2 items at 12.50
        QCOMPARE(doc.TotalLine, QStringLiteral("Total price (EUR): 637.50"));
        QCOMPARE(doc.PriceListLines, (QStringList{"Price list: Italia", ""}));
        PriceList = TPriceList();
    }

    void debugComponentsKeepTheirEmptyCodes()
    {
        // The components under a standard model have no code: the cell stays, empty.
        TItemList list;
        QVector<TDataRow> sheet;
        Tables(R"({"sizeLine": 1})", {}, list, sheet);
        TItemListContext context;
        context.DebugMode = true;
        context.Standards = m_session.StandardUps;
        TRequestParameters request;
        TResultParameters result;
        SizeRequestJson(QJsonDocument::fromJson(R"({"sizeLine": 1})").object(), {}, &request, &result, &m_session);
        list = BuildItemList(request, result, context);
        const TOfferDocument doc = BuildOfferDocument(list, sheet, QImage(), QString(), SetupData.Version);
        QCOMPARE(doc.Items.Rows.size(), 4);
        QCOMPARE(doc.Items.Rows[1], (QStringList{"", "- UPS cabinet with 3 power module slots", "1"}));
        QCOMPARE(doc.Items.Rows[3], (QStringList{"", "- Battery kit 9 Ah", "4"}));
    }

    void tablesAsText()
    {
        TItemList list;
        QVector<TDataRow> sheet;
        Tables(R"({"sizeLine": 1, "specialConfig": "emptyDrawers", "accessories": [{"record": 20100, "quantity": 4}]})",
               [](const QString &, const QString &) -> TCurrency { return 10000; }, list, sheet);
        QCOMPARE(
            ItemListText(list),
            QStringLiteral("QV-IC-03-10  -->  UPS cabinet with 3 power module slots  -->  1\r\n"
                           "QV-PM-34  -->  Power module 3.4 kVA  -->  3\r\n"
                           "QV-BK-EMPTY  -->  Empty battery kit (drawer without batteries)  -->  1\r\n"
                           "QV-SW-RCCMD-01  -->  RCCMD - Remote shutdown software for network clients (licences: 1)"
                           "  -->  4\r\n"));
        const QString text = DataSheetText(sheet);
        QVERIFY(
            text.startsWith(QStringLiteral("Input configuration  -->  Three-phase\r\nOutput configuration  -->  ")));
        QVERIFY(text.endsWith(QStringLiteral("Weight  -->  117 Kg\r\n")));
        QCOMPARE(text.count(QStringLiteral("\r\n")), sheet.size());
        QCOMPARE(text.count(u'\n'), sheet.size());
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("result");
        QTest::newRow("other extension") << "/tmp/offer.txt"
                                         << ".doc"
                                         << "/tmp/offer.doc";
        QTest::newRow("no extension") << "/tmp/offer"
                                      << ".pdf"
                                      << "/tmp/offer.pdf";
        QTest::newRow("dots in the folder") << "/tmp/v1.2/offer"
                                            << ".bmp"
                                            << "/tmp/v1.2/offer.bmp";
        QTest::newRow("two dots") << "/tmp/offer.v2.doc"
                                  << ".pdf"
                                  << "/tmp/offer.v2.pdf";
        QTest::newRow("hidden name") << "/tmp/.offer"
                                     << ".pdf"
                                     << "/tmp/.offer.pdf";
        QTest::newRow("already right") << "offer.pdf"
                                       << ".pdf"
                                       << "offer.pdf";
    }

    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QFETCH(QString, result);
        QCOMPARE(WithExtension(name, extension), result);
        QCOMPARE(NumberedFileName(QStringLiteral("offer-{n}.pdf"), 3), QStringLiteral("offer-3.pdf"));
        QCOMPARE(NumberedFileName(QStringLiteral("offer.pdf"), 3), QStringLiteral("offer.pdf"));
    }
};

QTEST_GUILESS_MAIN(TestOfferDocument)
#include "test_offer_document.moc"
