#include "settings/integer_text.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class IntegerTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsStoredNumbers_data();
    void readsStoredNumbers();
    void messageQuotesTheTextUnchanged();
};

void IntegerTextTest::readsStoredNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint32>>("expected");
    const auto row = [](const char* name, const QString& text, std::optional<qint32> expected) {
        QTest::newRow(name) << text << expected;
    };
    const std::optional<qint32> fails;
    row("plain", u"5"_s, 5);
    row("zero", u"0"_s, 0);
    row("negative", u"-3"_s, -3);
    row("plus sign", u"+7"_s, 7);
    row("leading blanks", u"  5"_s, 5);
    row("leading zeros", u"000000000000000000000042"_s, 42);
    row("largest", u"2147483647"_s, 2147483647);
    row("smallest", u"-2147483648"_s, std::numeric_limits<qint32>::min());
    row("dollar", u"$A"_s, 10);
    row("x", u"xa"_s, 10);
    row("X", u"XA"_s, 10);
    row("0x", u"0xA"_s, 10);
    row("0X", u"0Xff"_s, 255);
    row("negative hex", u"-$A"_s, -10);
    row("all bits set", u"$FFFFFFFF"_s, -1);
    row("negated sign bit", u"-$80000000"_s, std::numeric_limits<qint32>::min());

    row("empty", QString(), fails);
    row("blanks only", u"   "_s, fails);
    row("sign only", u"-"_s, fails);
    row("blank after sign", u"- 5"_s, fails);
    row("unit after number", u"5s"_s, fails);
    row("trailing blank", u"5 "_s, fails);
    row("tab is no blank", u"\t5"_s, fails);
    row("full-width digit", u"５"_s, fails);
    row("just above the range", u"2147483648"_s, fails);
    row("just below the range", u"-2147483649"_s, fails);
    row("endless digits", QString(5000, u'9'), fails);
    row("dollar alone", u"$"_s, fails);
    row("0x alone", u"0x"_s, fails);
    row("nine hex digits", u"$000000001"_s, fails);
    row("not a hex digit", u"$G"_s, fails);
    row("hex letter without prefix", u"A"_s, fails);
}

void IntegerTextTest::readsStoredNumbers()
{
    QFETCH(QString, text);
    QFETCH(std::optional<qint32>, expected);
    QCOMPARE(tavrin::parseInteger(text), expected);
}

void IntegerTextTest::messageQuotesTheTextUnchanged()
{
    QCOMPARE(tavrin::notValidIntegerMessage(u"abc"), u"'abc' is not a valid integer value"_s);
    QCOMPARE(tavrin::notValidIntegerMessage(u""), u"'' is not a valid integer value"_s);
    QCOMPARE(tavrin::notValidIntegerMessage(u"%1 %s"), u"'%1 %s' is not a valid integer value"_s);
}

QTEST_GUILESS_MAIN(IntegerTextTest)
#include "integer_text_test.moc"
