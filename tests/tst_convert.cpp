#include "core/convert.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void integerText_data();
    void integerText();
    void singleText_data();
    void singleText();
    void toInteger16_data();
    void toInteger16();
    void leadingNumber_data();
    void leadingNumber();
    void roundToInteger16_data();
    void roundToInteger16();
    void spanText_data();
    void spanText();
    void spanSeconds_data();
    void spanSeconds();
    void elapsedSeconds_data();
    void elapsedSeconds();
    void dateAndTimeText();
};

void TestConvert::integerText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << " 0";
    QTest::newRow("positive") << 3 << " 3";
    QTest::newRow("negative") << -1 << "-1";
    QTest::newRow("largest") << 32767 << " 32767";
    QTest::newRow("smallest") << -32768 << "-32768";
}

void TestConvert::integerText()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QCOMPARE(Convert::numberText(number), text);
}

void TestConvert::singleText_data()
{
    QTest::addColumn<float>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("percent") << 93.75f << " 93.75";
    QTest::newRow("whole") << 100.0f << " 100";
    QTest::newRow("zero") << 0.0f << " 0";
    QTest::newRow("step") << 6.25f << " 6.25";
    QTest::newRow("tenth stays short") << 0.1f << " 0.1";
    QTest::newRow("negative") << -2.5f << "-2.5";
    QTest::newRow("exponent") << 1e20f << " 1E+20";
}

void TestConvert::singleText()
{
    QFETCH(float, number);
    QFETCH(QString, text);
    QCOMPARE(Convert::numberText(number), text);
}

void TestConvert::toInteger16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("number");
    QTest::newRow("one") << "1" << true << 1;
    QTest::newRow("blanks around") << " 7 " << true << 7;
    QTest::newRow("plus sign") << "+4" << true << 4;
    QTest::newRow("half down to even") << "0.5" << true << 0;
    QTest::newRow("half up to even") << "1.5" << true << 2;
    QTest::newRow("two and a half") << "2.5" << true << 2;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("decimal comma") << "7,5" << true << 8;
    QTest::newRow("exponent") << "1e3" << true << 1000;
    QTest::newRow("largest") << "32767" << true << 32767;
    QTest::newRow("smallest") << "-32768" << true << -32768;
    QTest::newRow("rounds to smallest") << "-32768.4" << true << -32768;
    QTest::newRow("above range") << "32768" << false << 0;
    QTest::newRow("rounds above range") << "32767.5" << false << 0;
    QTest::newRow("huge") << "99999999999" << false << 0;
    QTest::newRow("huge exponent") << "1e10" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blank") << "   " << false << 0;
    QTest::newRow("word") << "abc" << false << 0;
    QTest::newRow("number then word") << "1abc" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("lone point") << "." << false << 0;
    QTest::newRow("nan") << "nan" << false << 0;
    QTest::newRow("infinity") << "inf" << false << 0;
    QTest::newRow("cyrillic") << "пять" << false << 0;
    QTest::newRow("wide digit") << QString(QChar(0xFF11)) << false << 0;
    QTest::newRow("very long") << QString(100000, QLatin1Char('9')) << false << 0;
}

void TestConvert::toInteger16()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, number);
    const std::optional<qint16> result = Convert::toInteger16(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(int(*result), number);
}

void TestConvert::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok"); // the text starts with a number
    QTest::addColumn<double>("number");
    QTest::newRow("number then word") << "1abc" << true << 1.0;
    QTest::newRow("word") << "abc" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("fraction") << "0.5" << true << 0.5;
    QTest::newRow("blanks") << " 7 " << true << 7.0;
    QTest::newRow("negative prefix") << "-3.5x" << true << -3.5;
    QTest::newRow("exponent") << "1e2" << true << 100.0;
    QTest::newRow("bare exponent letter") << "1e" << true << 1.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("comma stops") << "7,5" << true << 7.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
}

void TestConvert::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, number);
    const std::optional<double> result = Convert::leadingNumber(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, number);
}

void TestConvert::roundToInteger16_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rounded");
    QTest::newRow("0.5") << 0.5 << true << 0;
    QTest::newRow("0.6") << 0.6 << true << 1;
    QTest::newRow("1.5") << 1.5 << true << 2;
    QTest::newRow("-0.5") << -0.5 << true << 0;
    QTest::newRow("-1.5") << -1.5 << true << -2;
    QTest::newRow("32767.4") << 32767.4 << true << 32767;
    QTest::newRow("32767.5") << 32767.5 << false << 0;
    QTest::newRow("-32768.5") << -32768.5 << true << -32768;
    QTest::newRow("-32769") << -32769.0 << false << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << 0;
}

void TestConvert::roundToInteger16()
{
    QFETCH(double, number);
    QFETCH(bool, ok);
    QFETCH(int, rounded);
    const std::optional<qint16> result = Convert::roundToInteger16(number);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(int(*result), rounded);
}

void TestConvert::spanText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0:00:00";
    QTest::newRow("five seconds") << qint64(5) << "0:00:05";
    QTest::newRow("one minute") << qint64(60) << "0:01:00";
    QTest::newRow("two minutes seventeen") << qint64(137) << "0:02:17";
    QTest::newRow("one hour") << qint64(3600) << "1:00:00";
    QTest::newRow("ten hours") << qint64(36000) << "10:00:00";
    QTest::newRow("last second of a day") << qint64(86399) << "23:59:59";
}

void TestConvert::spanText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(Convert::spanText(seconds), text);
}

void TestConvert::spanSeconds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("seconds");
    QTest::newRow("sixty in the seconds place") << "0:00:60" << qint64(60);
    QTest::newRow("two minutes") << "0:02:00" << qint64(120);
    QTest::newRow("five minutes") << "0:05:00" << qint64(300);
    QTest::newRow("one hour") << "1:00:00" << qint64(3600);
    QTest::newRow("ten hours") << "10:00:00" << qint64(36000);
    QTest::newRow("two fields") << "1:00" << qint64(-1);
    QTest::newRow("word") << "a:b:c" << qint64(-1);
    QTest::newRow("negative") << "0:-1:00" << qint64(-1);
}

void TestConvert::spanSeconds()
{
    QFETCH(QString, text);
    QFETCH(qint64, seconds);
    const std::optional<qint64> result = Convert::spanSeconds(text);
    QCOMPARE(result.has_value(), seconds >= 0);
    if (result)
        QCOMPARE(*result, seconds);
}

void TestConvert::elapsedSeconds_data()
{
    QTest::addColumn<double>("now");
    QTest::addColumn<double>("start");
    QTest::addColumn<qint64>("seconds");
    const double second = 1.0 / 86400.0;
    QTest::newRow("same moment") << 0.5 << 0.5 << qint64(0);
    QTest::newRow("exact minute") << 0.5 + 60 * second << 0.5 << qint64(60);
    QTest::newRow("just short of a minute") << 0.5 + 59.99 * second << 0.5 << qint64(59);
    QTest::newRow("across midnight") << 30 * second << 1.0 - 30 * second << qint64(60);
    QTest::newRow("eleven hours") << 0.5 + 39600 * second << 0.5 << qint64(39600);
}

void TestConvert::elapsedSeconds()
{
    QFETCH(double, now);
    QFETCH(double, start);
    QFETCH(qint64, seconds);
    QCOMPARE(Convert::elapsedSeconds(now, start), seconds);
}

void TestConvert::dateAndTimeText()
{
    // The tests run in the C locale, where the Russian date form is used.
    QCOMPARE(Convert::dateText(QDate(2026, 12, 7)), QStringLiteral("07.12.2026"));
    QCOMPARE(Convert::timeText(QTime(9, 41, 5)), QStringLiteral("9:41:05"));
    QCOMPARE(Convert::timeText(QTime(23, 0, 0)), QStringLiteral("23:00:00"));
}

QTEST_APPLESS_MAIN(TestConvert)
#include "tst_convert.moc"
