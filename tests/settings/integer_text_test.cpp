#include "settings/integer_text.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class IntegerTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsStoredNumbers_data();
    void readsStoredNumbers();
    void rejectsWhatIsNotANumber_data();
    void rejectsWhatIsNotANumber();
    void messageQuotesTheTextUnchanged_data();
    void messageQuotesTheTextUnchanged();
};

void IntegerTextTest::readsStoredNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << u"5"_s << 5;
    QTest::newRow("zero") << u"0"_s << 0;
    QTest::newRow("negative") << u"-3"_s << -3;
    QTest::newRow("plus sign") << u"+7"_s << 7;
    QTest::newRow("leading blank") << u" 5"_s << 5;
    QTest::newRow("many leading blanks") << u"     12"_s << 12;
    QTest::newRow("leading zeros") << u"000000000000000000000042"_s << 42;
    QTest::newRow("largest") << u"2147483647"_s << 2147483647;
    QTest::newRow("smallest") << u"-2147483648"_s << std::numeric_limits<int>::min();
    QTest::newRow("dollar A") << u"$A"_s << 10;
    QTest::newRow("0x A") << u"0xA"_s << 10;
    QTest::newRow("0X a") << u"0Xa"_s << 10;
    QTest::newRow("x A") << u"xA"_s << 10;
    QTest::newRow("X ff") << u"Xff"_s << 255;
    QTest::newRow("negative hex") << u"-$A"_s << -10;
    QTest::newRow("all bits set") << u"$FFFFFFFF"_s << -1;
    QTest::newRow("sign bit") << u"$80000000"_s << std::numeric_limits<int>::min();
    QTest::newRow("negated sign bit") << u"-$80000000"_s << std::numeric_limits<int>::min();
    QTest::newRow("negated all bits") << u"-0xFFFFFFFF"_s << 1;
    QTest::newRow("eight hex digits with zeros") << u"$0000000F"_s << 15;
    QTest::newRow("blank then sign then hex") << u"  +$7fffffff"_s << 2147483647;
}

void IntegerTextTest::readsStoredNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<qint32> value = tavrin::parseInteger(text);
    QVERIFY(value.has_value());
    QCOMPARE(*value, expected);
}

void IntegerTextTest::rejectsWhatIsNotANumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"   "_s;
    QTest::newRow("sign only") << u"-"_s;
    QTest::newRow("two signs") << u"--5"_s;
    QTest::newRow("blank after sign") << u"- 5"_s;
    QTest::newRow("unit after number") << u"5s"_s;
    QTest::newRow("trailing blank") << u"5 "_s;
    QTest::newRow("tab before") << u"\t5"_s;
    QTest::newRow("full-width digits") << u"５"_s;
    QTest::newRow("key name fallback") << u"shijian2"_s;
    QTest::newRow("decimal point") << u"1.5"_s;
    QTest::newRow("just above the range") << u"2147483648"_s;
    QTest::newRow("just below the range") << u"-2147483649"_s;
    QTest::newRow("long digit run") << QString(5000, u'9');
    QTest::newRow("dollar alone") << u"$"_s;
    QTest::newRow("0x alone") << u"0x"_s;
    QTest::newRow("nine hex digits") << u"$000000001"_s;
    QTest::newRow("not a hex digit") << u"$G"_s;
    QTest::newRow("hex then blank") << u"$A "_s;
    QTest::newRow("double prefix") << u"0x$A"_s;
    QTest::newRow("sign after prefix") << u"$-A"_s;
    QTest::newRow("hex letters without prefix") << u"A"_s;
    QTest::newRow("Arabic-Indic digit") << u"\u0665"_s;
}

void IntegerTextTest::rejectsWhatIsNotANumber()
{
    QFETCH(QString, text);
    QCOMPARE(tavrin::parseInteger(text), std::nullopt);
}

void IntegerTextTest::messageQuotesTheTextUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("word") << u"abc"_s << u"'abc' is not a valid integer value"_s;
    QTest::newRow("empty") << QString() << u"'' is not a valid integer value"_s;
    QTest::newRow("percent placeholders stay") << u"%1 %s"_s << u"'%1 %s' is not a valid integer value"_s;
    QTest::newRow("Chinese") << u"五秒"_s << u"'五秒' is not a valid integer value"_s;
}

void IntegerTextTest::messageQuotesTheTextUnchanged()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tavrin::notValidIntegerMessage(text), expected);
}

QTEST_GUILESS_MAIN(IntegerTextTest)
#include "integer_text_test.moc"
