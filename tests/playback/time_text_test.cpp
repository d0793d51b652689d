#include "playback/time_text.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

class TimeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsGoToTimeTexts_data();
    void readsGoToTimeTexts();
    void rejectsWhatIsNoTime_data();
    void rejectsWhatIsNoTime();
    void writesThePlayersTimeText_data();
    void writesThePlayersTimeText();
    void displayShowsHoursAlways_data();
    void displayShowsHoursAlways();
};

void TimeTextTest::readsGoToTimeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");
    QTest::newRow("full time") << u"01:23:54"_s << 5034;
    QTest::newRow("zero") << u"00:00:00"_s << 0;
    QTest::newRow("single digits") << u"1:2:3"_s << 3723;
    QTest::newRow("two digits") << u"01:02:03"_s << 3723;
    QTest::newRow("hours and minutes") << u"01:23"_s << 4980;
    QTest::newRow("lone number is hours") << u"5"_s << 18000;
    QTest::newRow("blanks around") << u"  00:00:10  "_s << 10;
    QTest::newRow("blanks before numbers and separators") << u" 1 : 2 : 3 "_s << 3723;
    QTest::newRow("largest") << u"23:59:59"_s << 86399;
    QTest::newRow("zero milliseconds") << u"00:00:10.000"_s << 10;
    QTest::newRow("short zero milliseconds") << u"00:00:10.0"_s << 10;
    QTest::newRow("leading zeros") << u"0000001:00000:00"_s << 3600;
    QTest::newRow("12 AM") << u"12:00 AM"_s << 0;
    QTest::newRow("1 PM") << u"1 PM"_s << 46800;
    QTest::newRow("12 PM is noon") << u"12:30 PM"_s << 45000;
    QTest::newRow("11 PM") << u"11:59:59 pm"_s << 86399;
    QTest::newRow("marker before") << u"PM 1:00"_s << 46800;
    QTest::newRow("marker without blank") << u"1:00am"_s << 3600;
    QTest::newRow("marker in mixed case") << u"pM 2"_s << 50400;
    QTest::newRow("Chinese morning") << u"上午 9:15"_s << 33300;
    QTest::newRow("Chinese afternoon after") << u"3:00:00下午"_s << 54000;
}

void TimeTextTest::readsGoToTimeTexts()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    const std::optional<qint32> read = tavrin::parseTimeText(text);
    QVERIFY(read.has_value());
    QCOMPARE(*read, seconds);
}

void TimeTextTest::rejectsWhatIsNoTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("hour 24") << u"24:00:00"_s;
    QTest::newRow("minute 60") << u"00:60:00"_s;
    QTest::newRow("second 60") << u"00:00:60"_s;
    QTest::newRow("fraction of a second") << u"00:00:10.5"_s;
    QTest::newRow("one millisecond") << u"00:00:10.001"_s;
    QTest::newRow("milliseconds out of range") << u"00:00:10.1000"_s;
    QTest::newRow("time mark with hyphens") << u"-00:12:34-"_s;
    QTest::newRow("letters") << u"abc"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"   "_s;
    QTest::newRow("full-width digits") << u"０１:２３:５４"_s;
    QTest::newRow("tab is no blank") << u"\t00:00:10"_s;
    QTest::newRow("13 PM") << u"13 PM"_s;
    QTest::newRow("0 AM") << u"0 AM"_s;
    QTest::newRow("two markers") << u"AM 1 PM"_s;
    QTest::newRow("marker alone") << u"AM"_s;
    QTest::newRow("overflowing hours") << u"99999999999999999999:00"_s;
    QTest::newRow("overflowing seconds") << u"00:00:4294967296"_s;
    QTest::newRow("long run of digits") << QString(100000, u'9');
    QTest::newRow("trailing colon") << u"01:"_s;
    QTest::newRow("leading colon") << u":01"_s;
    QTest::newRow("four parts") << u"01:02:03:04"_s;
    QTest::newRow("milliseconds without seconds") << u"01:02.000"_s;
    QTest::newRow("blank inside a number") << u"1 0:00"_s;
    QTest::newRow("date") << u"2024-01-02"_s;
    QTest::newRow("date and time") << u"2024/01/02 01:00:00"_s;
    QTest::newRow("negative") << u"-1"_s;
    QTest::newRow("word after time") << u"01:00 x"_s;
}

void TimeTextTest::rejectsWhatIsNoTime()
{
    QFETCH(QString, text);
    QCOMPARE(tavrin::parseTimeText(text), std::nullopt);
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
    QTest::newRow("99 hours") << 99.0 * 3600 + 59 * 60 + 59 << u"99:59:59"_s;
    QTest::newRow("past 99 hours") << 100.0 * 3600 << u"100:00:00"_s;
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

void TimeTextTest::displayShowsHoursAlways_data()
{
    QTest::addColumn<QString>("playerText");
    QTest::addColumn<QString>("shown");
    QTest::newRow("minutes and seconds") << u"03:25"_s << u"00:03:25"_s;
    QTest::newRow("hours") << u"01:02:03"_s << u"01:02:03"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("long hours") << u"100:00:00"_s << u"100:00:00"_s;
    QTest::newRow("four characters") << u"3:25"_s << u"3:25"_s;
}

void TimeTextTest::displayShowsHoursAlways()
{
    QFETCH(QString, playerText);
    QFETCH(QString, shown);
    QCOMPARE(tavrin::displayTimeText(playerText), shown);
}

QTEST_GUILESS_MAIN(TimeTextTest)
#include "time_text_test.moc"
