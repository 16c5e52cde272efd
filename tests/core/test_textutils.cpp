// Number entry, catalogue decimals, the weight rounding, bar lists, dates and
// the one text formatter that every language text with placeholders goes through.

#include "Lang.h"
#include "TestSupport.h"
#include "TextUtils.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <limits>

namespace {

// Bit-exact comparison: the sizing depends on the very float that is read.
bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

class TestTextUtils : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_program;

private slots:
    void initTestCase()
    {
        QFile f(m_program.filePath(QStringLiteral("English.lng")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[LangOptions]\nLanguageName=English\nLanguageID=1033\n"
                "[Messages]\nErrorInvalidNumber=Not a whole number.\n"
                "ErrorNumberOutOfRange=The number must lie between %d and %d.\n"
                "ErrorInternalError=Internal error.\n");
        f.close();
        SetupData = TSetupData();
        SetupData.ProgramPath = m_program.path() + u'/';
        SetupData.LanguageFile = QStringLiteral("English.lng");
    }

    void cleanupTestCase() { SetupData = TSetupData(); }

    void defaultCurrencySymbolIsTheLocales()
    {
        QCOMPARE(CurrencySymbol(), QLocale::system().currencySymbol());
    }

    void parseInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << "42" << true << 42;
        QTest::newRow("blanks around") << "  42  " << true << 42;
        QTest::newRow("tab and newline around") << "\t42\n" << true << 42;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("minus") << "-7" << true << -7;
        QTest::newRow("leading zeros") << "007" << true << 7;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << true << int(std::numeric_limits<int32_t>::min());
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("too small") << "-2147483649" << false << 0;
        QTest::newRow("far too large") << "99999999999999999999999" << false << 0;
        QTest::newRow("inner blank") << "4 2" << false << 0;
        QTest::newRow("decimal point") << "4.2" << false << 0;
        QTest::newRow("decimal comma") << "4,2" << false << 0;
        QTest::newRow("group separator") << "4,200" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blank") << "   " << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("two signs") << "--4" << false << 0;
        QTest::newRow("blank after sign") << "- 4" << false << 0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("\xD9\xA4\xD9\xA2") << false << 0;
    }

    void parseInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, number);
        TRecordingMessageService messages;
        int32_t value = -99;
        QCOMPARE(ParseInteger(text, value, false), ok);
        if (ok)
            QCOMPARE(value, number);
        QVERIFY(messages.Messages.isEmpty());
        QCOMPARE(ParseInteger(text, value, true), ok);
        if (ok) {
            QVERIFY(messages.Messages.isEmpty());
        } else {
            QCOMPARE(messages.Messages.size(), 1);
            QCOMPARE(messages.Messages[0].Kind, QStringLiteral("error"));
            QCOMPARE(messages.Messages[0].Text, QStringLiteral("Not a whole number."));
        }
    }

    void checkRange_data()
    {
        QTest::addColumn<qlonglong>("value");
        QTest::addColumn<qlonglong>("lower");
        QTest::addColumn<qlonglong>("upper");
        QTest::addColumn<bool>("ok");
        QTest::newRow("inside") << 5LL << 1LL << 10LL << true;
        QTest::newRow("lower bound") << 1LL << 1LL << 10LL << true;
        QTest::newRow("upper bound") << 10LL << 1LL << 10LL << true;
        QTest::newRow("below") << 0LL << 1LL << 10LL << false;
        QTest::newRow("above") << 11LL << 1LL << 10LL << false;
        QTest::newRow("negative bounds") << -5LL << -10LL << -1LL << true;
        QTest::newRow("beyond 32 bits") << 5000000000LL << 0LL << 2147483647LL << false;
        QTest::newRow("empty range") << 5LL << 10LL << 1LL << false;
    }

    void checkRange()
    {
        QFETCH(qlonglong, value);
        QFETCH(qlonglong, lower);
        QFETCH(qlonglong, upper);
        QFETCH(bool, ok);
        TRecordingMessageService messages;
        QCOMPARE(CheckRange(value, lower, upper, false), ok);
        QVERIFY(messages.Messages.isEmpty());
        QCOMPARE(CheckRange(value, lower, upper, true), ok);
        if (ok) {
            QVERIFY(messages.Messages.isEmpty());
        } else {
            QCOMPARE(messages.Messages.size(), 1);
            QCOMPARE(messages.Messages[0].Kind, QStringLiteral("error"));
            QCOMPARE(messages.Messages[0].Text,
                     QStringLiteral("The number must lie between %1 and %2.").arg(lower).arg(upper));
        }
    }

    void parseDecimal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("expected");
        QTest::addColumn<bool>("readable");
        QTest::newRow("0.35") << "0.35" << 0.35f << true;
        QTest::newRow("0,35") << "0,35" << 0.35f << true;
        QTest::newRow("1.23456 rounds to four decimals") << "1.23456" << 1.2346f << true;
        QTest::newRow("1.23454 rounds down") << "1.23454" << 1.2345f << true;
        QTest::newRow("tie to even, up") << "1.23455" << 1.2346f << true;
        QTest::newRow("tie to even, down") << "1.23445" << 1.2344f << true;
        QTest::newRow("just above the tie") << "1.234450001" << 1.2345f << true;
        QTest::newRow("carry into the whole part") << "0.99999" << 1.0f << true;
        QTest::newRow("2666.66") << "2666.66" << 2666.66f << true;
        QTest::newRow("3333.33") << "3333.33" << 3333.33f << true;
        QTest::newRow("8.2") << "8.2" << 8.2f << true;
        QTest::newRow("8.04") << "8.04" << 8.04f << true;
        QTest::newRow("blanks around") << "  75.1 " << 75.1f << true;
        QTest::newRow("integer") << "4277" << 4277.0f << true;
        QTest::newRow("negative") << "-1.5" << -1.5f << true;
        QTest::newRow("plus") << "+1.5" << 1.5f << true;
        QTest::newRow("no whole digits") << ".5" << 0.5f << true;
        QTest::newRow("no decimal digits") << "5." << 5.0f << true;
        QTest::newRow("negative tie to even") << "-0.00005" << 0.0f << true;
        QTest::newRow("empty") << "" << 0.0f << false;
        QTest::newRow("blank") << "   " << 0.0f << false;
        QTest::newRow("letters") << "abc" << 0.0f << false;
        QTest::newRow("two commas") << "1,2,3" << 0.0f << false;
        QTest::newRow("exponent") << "1e3" << 0.0f << false;
        QTest::newRow("beyond the money range") << "99999999999999999999" << 0.0f << false;
        QTest::newRow("just beyond the money range") << "922337203685477,9999" << 0.0f << false;
    }

    void parseDecimal()
    {
        QFETCH(QString, text);
        QFETCH(float, expected);
        QFETCH(bool, readable);
        TRecordingMessageService messages;
        float value = -1.0f;
        QCOMPARE(TryParseDecimal(text, value), readable);
        QVERIFY2(SameFloat(value, expected), qPrintable(QString::number(value, 'g', 9)));
        QVERIFY2(SameFloat(ParseDecimal(text), expected), qPrintable(text));
        // Texts without a point that cannot be read give 0 silently.
        QVERIFY(messages.Messages.isEmpty());
    }

    void unreadableDecimalWithPointIsReportedOncePerText()
    {
        TRecordingMessageService messages;
        QCOMPARE(ParseDecimal(QStringLiteral("1.2.3")), 0.0f);
        QCOMPARE(ParseDecimal(QStringLiteral("1.2.3")), 0.0f);
        QCOMPARE(ParseDecimal(QStringLiteral("12.5 kg")), 0.0f);
        QCOMPARE(ParseDecimal(QStringLiteral(".")), 0.0f);
        QCOMPARE(messages.Texts(), QStringList(3, QStringLiteral("Internal error.")));
        for (const TRecordedMessage &m : messages.Messages)
            QCOMPARE(m.Kind, QStringLiteral("error"));
        float value = 1.0f;
        QVERIFY(!TryParseDecimal(QStringLiteral("4.5.6"), value)); // never reports
        QCOMPARE(value, 0.0f);
        QCOMPARE(messages.Messages.size(), 3);
    }

    void roundWithTenthTolerance_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("12.0") << 12.0f << 12;
        QTest::newRow("12.05") << 12.05f << 12;
        QTest::newRow("12.09") << 12.09f << 12;
        QTest::newRow("12.1") << 12.1f << 13;
        QTest::newRow("12.5") << 12.5f << 13;
        QTest::newRow("12.95") << 12.95f << 13;
        QTest::newRow("85.05") << 85.05f << 85;
        QTest::newRow("85.1") << 85.1f << 86;
        QTest::newRow("12.0999") << 12.0999f << 12;
        QTest::newRow("0") << 0.0f << 0;
        QTest::newRow("0.05") << 0.05f << 0;
        QTest::newRow("0.5") << 0.5f << 1;
        QTest::newRow("just below a whole number") << 12.99999f << 13;
        // Single-precision sums leave traces below the fourth decimal: still whole.
        QTest::newRow("whole with a float trace") << 168.00002f << 168;
        QTest::newRow("86 + 10 x 8.2") << (86.0f + 8.2f * 10.0f) << 168;
        QTest::newRow("110.6") << (86.0f + 8.2f * 3.0f) << 111;
        QTest::newRow("large") << 1234567.0f << 1234567;
        // Beyond 32 bits the result saturates.
        QTest::newRow("beyond 32 bits") << 3e9f << int(std::numeric_limits<int32_t>::max());
        QTest::newRow("far below") << -1e20f << int(std::numeric_limits<int32_t>::min());
    }

    void roundWithTenthTolerance()
    {
        QFETCH(float, value);
        QFETCH(int, expected);
        QCOMPARE(RoundWithTenthTolerance(value), expected);
    }

    void splitBar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("a|b") << "a|b" << QStringList{"a", "b"};
        QTest::newRow("a||b") << "a||b" << QStringList{"a", "", "b"};
        QTest::newRow("a|") << "a|" << QStringList{"a"};
        QTest::newRow("|a") << "|a" << QStringList{"", "a"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("blanks around x") << "  x  " << QStringList{"x"};
        QTest::newRow("blank") << "   " << QStringList{};
        QTest::newRow("no bar") << "1040" << QStringList{"1040"};
        QTest::newRow("items trimmed") << " 0 | 1040 " << QStringList{"0", "1040"};
        QTest::newRow("blank last part dropped") << "a|  " << QStringList{"a"};
        QTest::newRow("bar alone") << "|" << QStringList{""};
        QTest::newRow("curve") << "0;0|4;0.70" << QStringList{"0;0", "4;0.70"};
    }

    void splitBar()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        QCOMPARE(SplitBar(text), parts);
    }

    void formatDate8_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("plain") << "20240115" << QDate(2024, 1, 15);
        QTest::newRow("leap day") << "20240229" << QDate(2024, 2, 29);
        QTest::newRow("29 February, no leap year") << "20230229" << QDate();
        QTest::newRow("31 February") << "20240231" << QDate();
        QTest::newRow("31 February, other year") << "19990231" << QDate();
        QTest::newRow("four digits") << "2024" << QDate();
        QTest::newRow("six digits") << "202401" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("month 13") << "20241301" << QDate();
        QTest::newRow("day 0") << "20240100" << QDate();
        QTest::newRow("year 0") << "00000101" << QDate();
        QTest::newRow("letters") << "2024ab01" << QDate();
        QTest::newRow("characters after the eighth ignored") << "20240115xyz" << QDate(2024, 1, 15);
        QTest::newRow("blank inside") << "2024 115" << QDate();
    }

    void formatDate8()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const QString expected = date.isValid() ? QLocale::system().toString(date, QLocale::ShortFormat) : QString();
        QCOMPARE(FormatDate8(text), expected);
        if (date.isValid())
            QVERIFY(!expected.isEmpty());
    }

    void formatText_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected");

        QTest::newRow("one %s") << "File %s saved." << QVariantList{"/tmp/a.doc"} << true << "File /tmp/a.doc saved.";
        QTest::newRow("two %d") << "%d VA   (%d W)" << QVariantList{8000, 6400} << true << "8000 VA   (6400 W)";
        QTest::newRow("%d %s %%") << "%d %s   (%d %%)" << QVariantList{12, "min", 80} << true << "12 min   (80 %)";
        QTest::newRow("only %%") << "100%%" << QVariantList{} << true << "100%";
        QTest::newRow("no placeholder") << "Plain" << QVariantList{} << true << "Plain";
        QTest::newRow("empty") << "" << QVariantList{} << true << "";
        QTest::newRow("%s of a number") << "%s" << QVariantList{5} << true << "5";
        QTest::newRow("%s of a decimal") << "%s" << QVariantList{1.5} << true << "1.5";
        QTest::newRow("%s of an empty text") << "[%s]" << QVariantList{""} << true << "[]";
        QTest::newRow("%s holding a percent") << "%s%%" << QVariantList{"%d"} << true << "%d%";
        QTest::newRow("%d negative 64-bit") << "%d" << QVariantList{qlonglong(-5000000000LL)} << true
                                            << "-5000000000";
        QTest::newRow("%d unsigned") << "%d" << QVariantList{4000000000U} << true << "4000000000";
        QTest::newRow("%d no group separator") << "%d" << QVariantList{1234567} << true << "1234567";
        QTest::newRow("adjacent") << "%d%s%d" << QVariantList{1, "-", 2} << true << "1-2";

        QTest::newRow("too few") << "%d and %d" << QVariantList{1} << false << "";
        QTest::newRow("none given") << "%s" << QVariantList{} << false << "";
        QTest::newRow("too many") << "%s" << QVariantList{"a", "b"} << false << "";
        QTest::newRow("arguments for a plain text") << "Plain" << QVariantList{"a"} << false << "";
        QTest::newRow("text for %d") << "%d" << QVariantList{"5"} << false << "";
        QTest::newRow("decimal for %d") << "%d" << QVariantList{1.5} << false << "";
        QTest::newRow("Boolean for %d") << "%d" << QVariantList{true} << false << "";
        QTest::newRow("no value for %s") << "%s" << QVariantList{QVariant()} << false << "";
        QTest::newRow("text for %m") << "%m" << QVariantList{"12"} << false << "";
        QTest::newRow("lone percent at the end") << "50%" << QVariantList{} << false << "";
        QTest::newRow("lone percent with argument") << "%s 50%" << QVariantList{"a"} << false << "";
        QTest::newRow("unknown %x") << "%x" << QVariantList{1} << false << "";
        QTest::newRow("width %5d") << "%5d" << QVariantList{1} << false << "";
        QTest::newRow("precision %.2f") << "%.2f" << QVariantList{1.5} << false << "";
        QTest::newRow("percent blank") << "50% off" << QVariantList{} << false << "";
        QTest::newRow("index %0:s") << "%0:s" << QVariantList{"a"} << false << "";
        QTest::newRow("capital %S") << "%S" << QVariantList{"a"} << false << "";
    }

    void formatText()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, args);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        QString out = QStringLiteral("stale");
        QCOMPARE(TryFormatText(format, args, out), ok);
        QCOMPARE(out, expected);
        QCOMPARE(FormatText(format, args), ok ? expected : format);
    }

    void money_data()
    {
        QTest::addColumn<qlonglong>("amount");
        QTest::addColumn<QString>("expected"); // in the C locale, no symbol
        QTest::newRow("zero") << 0LL << "0.00";
        QTest::newRow("one") << 10000LL << "1.00";
        QTest::newRow("cents") << 12300LL << "1.23";
        QTest::newRow("below half a cent") << 12349LL << "1.23";
        QTest::newRow("half a cent") << 12350LL << "1.24";
        QTest::newRow("negative half a cent") << -12350LL << "-1.24";
        QTest::newRow("thousands") << 12345678LL << "1,234.57";
        QTest::newRow("millions") << 12345678900LL << "1,234,567.89";
        QTest::newRow("rounding carries") << 99999999LL << "10,000.00";
    }

    void money()
    {
        QFETCH(qlonglong, amount);
        QFETCH(QString, expected);
        const QLocale locale = QLocale::system();
        if (locale.decimalPoint() != QStringLiteral(".") || locale.groupSeparator() != QStringLiteral(","))
            QSKIP("amounts are checked in the C locale of the test run");
        SetCurrencySymbol(QString());
        QCOMPARE(FormatMoney(amount), expected);
        QCOMPARE(FormatText(QStringLiteral("%m "), {QVariant::fromValue<TCurrency>(amount)}), expected + u' ');
        // A plain int argument is money too, where the amount fits one.
        const qlonglong whole = amount / 10000 * 10000;
        if (whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max())
            QCOMPARE(FormatText(QStringLiteral("%m"), {int(whole)}), FormatMoney(TCurrency(whole)));
    }

    void moneyAtTheEdges()
    {
        SetCurrencySymbol(QString());
        QVERIFY(!FormatMoney(std::numeric_limits<TCurrency>::max()).isEmpty());
        QVERIFY(FormatMoney(std::numeric_limits<TCurrency>::min()).contains(QLocale::system().negativeSign()));
    }

    void moneyWithASymbol()
    {
        SetCurrencySymbol(QStringLiteral("EUR"));
        QCOMPARE(CurrencySymbol(), QStringLiteral("EUR"));
        const QString shown = FormatMoney(10000);
        QVERIFY2(shown.contains(QStringLiteral("EUR")), qPrintable(shown));
        QVERIFY2(shown.contains(QLocale::system().toString(1) + QLocale::system().decimalPoint() + QStringLiteral("00")),
                 qPrintable(shown));
        SetCurrencySymbol(QString());
        QCOMPARE(CurrencySymbol(), QString());
        QVERIFY(!FormatMoney(10000).contains(QStringLiteral("EUR")));
    }

    void readInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "1040" << true << 1040;
        QTest::newRow("negative") << "-1" << true << -1;
        QTest::newRow("hexadecimal") << "0x410" << true << 1040;
        QTest::newRow("capital X") << "0X1F" << true << 31;
        QTest::newRow("negative hexadecimal") << "-0x10" << true << -16;
        QTest::newRow("full 32-bit pattern") << "0xFFFFFFFF" << true << -1;
        QTest::newRow("beyond 32 bits") << "0x100000000" << false << 0;
        QTest::newRow("bad hex digit") << "0x1G" << false << 0;
        QTest::newRow("0x alone") << "0x" << false << 0;
        QTest::newRow("blanks are not trimmed here") << " 1" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("decimal beyond 32 bits") << "2147483648" << false << 0;
    }

    void readInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int32_t read = 12345;
        QCOMPARE(TryReadInteger(text, read), ok);
        if (ok)
            QCOMPARE(read, value);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("abc") << "abc";
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9") << QString::fromUtf8("caf\xC3\xA9");
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9") << QString::fromUtf8("caf\xC3\xA9");
        QTest::newRow("Windows-1252 high") << QByteArray("\x80\x8A\x9F") << QString::fromUtf8("\xE2\x82\xAC\xC5\xA0\xC5\xB8");
        QTest::newRow("truncated UTF-8") << QByteArray("a\xC3") << QString::fromUtf8("a\xC3\x83");
        QTest::newRow("empty") << QByteArray() << "";
    }

    void codePages()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(DecodeText8Bit(bytes), text);
    }

    void windows1252RoundTrip()
    {
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        QByteArray back;
        QVERIFY(EncodeWindows1252(DecodeText8Bit(all), back));
        QCOMPARE(back, all);
        QVERIFY(!EncodeWindows1252(QString::fromUtf8("\xCE\xB1"), back));
        QVERIFY(back.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "test_textutils.moc"
