// How the documents fit tables and texts into the page's band: column widths
// that never pass the band, and texts wrapped within their column.

#include "DocumentLayout.h"

#include <QFontMetricsF>
#include <QImage>
#include <QtTest>

#include <numeric>

class TestDocumentLayout : public QObject {
    Q_OBJECT

private slots:
    void columnWidths_data()
    {
        QTest::addColumn<QVector<int>>("natural");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("gap");
        QTest::addColumn<QVector<int>>("expected");
        QTest::newRow("fits as it is") << QVector<int>{80, 300, 50, 70} << 718 << 20 << QVector<int>{80, 300, 50, 70};
        QTest::newRow("fits exactly") << QVector<int>{100, 598} << 718 << 20 << QVector<int>{100, 598};
        QTest::newRow("long description takes the rest")
            << QVector<int>{80, 900, 50, 70} << 718 << 20 << QVector<int>{80, 458, 50, 70};
        QTest::newRow("two long columns share") << QVector<int>{400, 30, 500} << 718 << 20
                                                << QVector<int>{324, 30, 324};
        QTest::newRow("left-over pixels to the first") << QVector<int>{500, 500, 500} << 100 << 0
                                                       << QVector<int>{34, 33, 33};
        QTest::newRow("a wide caption counts like a text") << QVector<int>{200, 200, 600} << 718 << 20
                                                            << QVector<int>{200, 200, 278};
        QTest::newRow("no room at all") << QVector<int>{10, 10} << 10 << 20 << QVector<int>{0, 0};
        QTest::newRow("no columns") << QVector<int>{} << 718 << 20 << QVector<int>{};
    }

    void columnWidths()
    {
        QFETCH(QVector<int>, natural);
        QFETCH(int, band);
        QFETCH(int, gap);
        QFETCH(QVector<int>, expected);
        const QVector<int> widths = FitColumnWidths(natural, band, gap);
        QCOMPARE(widths, expected);
        if (!widths.isEmpty() && band >= gap * (widths.size() - 1))
            QVERIFY(std::accumulate(widths.begin(), widths.end(), 0) + gap * (widths.size() - 1) <= band);
        for (int c = 0; c < widths.size(); ++c)
            QVERIFY(widths[c] <= natural[c]);
    }

    void wrappedLinesStayWithinTheirWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("short text") << QStringLiteral("UPS cabinet") << 400;
        QTest::newRow("description") << QStringLiteral("Scheda di comunicazione SNMP per la supervisione remota "
                                                       "dell'UPS tramite rete Ethernet (licenze: 5)")
                                     << 200;
        QTest::newRow("one long word") << QStringLiteral("QV-SW-RCC-0000000000000000000000000000000001") << 60;
        QTest::newRow("narrow column") << QStringLiteral("Menge Stück") << 12;
    }

    void wrappedLinesStayWithinTheirWidth()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QImage device(1, 1, QImage::Format_RGB32); // 96 dpi
        device.setDotsPerMeterX(3780);
        device.setDotsPerMeterY(3780);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(8);
        const QStringList lines = WrapText(text, font, &device, width);
        QVERIFY(!lines.isEmpty());
        for (const QString &line : lines) {
            QVERIFY2(!line.isEmpty(), qPrintable(lines.join('|')));
            QVERIFY2(TextWidth(line, font, &device) <= width || line.size() == 1,
                     qPrintable(line + QStringLiteral(" wider than ") + QString::number(width)));
        }
        // Nothing is lost: the lines hold every character but the blanks they broke at.
        QCOMPARE(lines.join(QString()).remove(u' '), QString(text).remove(u' '));
        if (TextWidth(text, font, &device) <= width)
            QCOMPARE(lines, QStringList{text});
    }

    void emptyTextIsOneEmptyLine()
    {
        QImage device(1, 1, QImage::Format_RGB32);
        QCOMPARE(WrapText(QString(), QFont(), &device, 100), QStringList{QString()});
    }

    void lineBreaksStartNewLines()
    {
        QImage device(1, 1, QImage::Format_RGB32);
        QCOMPARE(WrapText(QStringLiteral("Delivery in May\n\nCrane on site"), QFont(), &device, 1000),
                 (QStringList{"Delivery in May", QString(), "Crane on site"}));
    }
};

QTEST_MAIN(TestDocumentLayout)
#include "test_document_layout.moc"
