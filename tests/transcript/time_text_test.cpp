#include "transcript/time_text.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

class TimeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsGoToTimeTexts_data();
    void readsGoToTimeTexts();
    void writesThePlayersTimeText_data();
    void writesThePlayersTimeText();
    void displayShowsHoursAlways();
};

void TimeTextTest::readsGoToTimeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint32>>("seconds");
    const auto row = [](const char* name, const QString& text, std::optional<qint32> seconds) {
        QTest::newRow(name) << text << seconds;
    };
    const std::optional<qint32> fails;
    row("full time", u"01:23:54"_s, 5034);
    row("zero", u"00:00:00"_s, 0);
    row("single digits", u"1:2:3"_s, 3723);
    row("two digits", u"01:02:03"_s, 3723);
    row("hours and minutes", u"01:23"_s, 4980);
    row("lone number is hours", u"5"_s, 18000);
    row("blanks around", u"  00:00:10  "_s, 10);
    row("blanks before numbers and separators", u" 1 : 2 : 3 . 0 "_s, 3723);
    row("largest", u"23:59:59"_s, 86399);
    row("zero milliseconds", u"00:00:10.000"_s, 10);
    row("12 AM", u"12:00 AM"_s, 0);
    row("1 PM", u"1 PM"_s, 46800);
    row("12 PM is noon", u"12:30 pm"_s, 45000);
    row("marker before, no blank", u"PM1:00"_s, 46800);
    row("Chinese morning marker", u"上午 9:15"_s, 33300);
    row("Chinese afternoon marker after", u"3:00:00下午"_s, 54000);

    row("hour 24", u"24:00:00"_s, fails);
    row("minute 60", u"00:60:00"_s, fails);
    row("second 60", u"00:00:60"_s, fails);
    row("fraction of a second", u"00:00:10.5"_s, fails);
    row("milliseconds out of range", u"00:00:10.1000"_s, fails);
    row("time mark with hyphens", u"-00:12:34-"_s, fails);
    row("letters", u"abc"_s, fails);
    row("empty", QString(), fails);
    row("blanks only", u"   "_s, fails);
    row("full-width digits", u"０１:２３:５４"_s, fails);
    row("tab is no blank", u"\t00:00:10"_s, fails);
    row("13 PM", u"13 PM"_s, fails);
    row("0 AM", u"0 AM"_s, fails);
    row("two markers", u"AM 1 PM"_s, fails);
    row("overflowing digit run", u"00:00:4294967296"_s, fails);
    row("endless digits", QString(100000, u'9'), fails);
    row("trailing colon", u"01:"_s, fails);
    row("four parts", u"01:02:03:04"_s, fails);
    row("milliseconds without seconds", u"01:02.000"_s, fails);
    row("blank inside a number", u"1 0:00"_s, fails);
    row("date and time", u"2024/01/02 01:00:00"_s, fails);
}

void TimeTextTest::readsGoToTimeTexts()
{
    QFETCH(QString, text);
    QFETCH(std::optional<qint32>, seconds);
    QCOMPARE(tavrin::parseTimeText(text), seconds);
}

void TimeTextTest::writesThePlayersTimeText_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << 0.0 << u"00:00"_s;
    QTest::newRow("rounded down") << 59.999 << u"00:59"_s;
    QTest::newRow("minutes") << 205.4 << u"03:25"_s;
    QTest::newRow("just below an hour") << 3599.9 << u"59:59"_s;
    QTest::newRow("one hour") << 3600.0 << u"01:00:00"_s;
    QTest::newRow("hours") << 3723.0 << u"01:02:03"_s;
    QTest::newRow("past 99 hours") << 100.0 * 3600 + 1 << u"100:00:01"_s;
    QTest::newRow("negative") << -3.0 << u"00:00"_s;
    QTest::newRow("NaN") << std::nan("") << u"00:00"_s;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << u"00:00"_s;
}

void TimeTextTest::writesThePlayersTimeText()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(tavrin::playerTimeText(seconds), text);
}

void TimeTextTest::displayShowsHoursAlways()
{
    QCOMPARE(tavrin::displayTimeText(u"03:25"_s), u"00:03:25"_s);
    QCOMPARE(tavrin::displayTimeText(u"01:02:03"_s), u"01:02:03"_s);
    QCOMPARE(tavrin::displayTimeText(QString()), QString());
    QCOMPARE(tavrin::displayTimeText(u"3:25"_s), u"3:25"_s);
}

QTEST_GUILESS_MAIN(TimeTextTest)
#include "time_text_test.moc"
