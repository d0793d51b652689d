#include "editor/time_word.h"

#include <QtTest>

class TimeWordTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runAroundTheCaret_data();
    void runAroundTheCaret();
};

void TimeWordTest::runAroundTheCaret_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("selected");
    QTest::newRow("inside a mark") << "ab -00:12:34- cd" << 8 << "00:12:34";
    QTest::newRow("on a colon") << "-00:12:34-" << 3 << "00:12:34";
    QTest::newRow("before its first digit") << "-00:12:34-" << 1 << "00:12:34";
    QTest::newRow("after its last digit") << "-00:12:34-" << 9 << "00:12:34";
    QTest::newRow("bare time at line start") << "01:23:54 说话" << 0 << "01:23:54";
    QTest::newRow("bare time at line end") << "说话01:23" << 6 << "01:23";
    QTest::newRow("Chinese around") << "在00:01:05处" << 4 << "00:01:05";
    QTest::newRow("ordinary word") << "hello world" << 2 << "";
    QTest::newRow("hyphen alone") << "a - b" << 2 << "";
    QTest::newRow("full-width digits are no time") << "１２：３４" << 1 << "";
    QTest::newRow("empty line") << "" << 0 << "";
    QTest::newRow("past the end") << "12:00" << 9 << "";
}

void TimeWordTest::runAroundTheCaret()
{
    QFETCH(QString, line);
    QFETCH(int, position);
    QFETCH(QString, selected);
    const tavrin::TextRange run = tavrin::timeRunAt(line, position);
    QCOMPARE(line.mid(run.start, run.length), selected);
}

QTEST_GUILESS_MAIN(TimeWordTest)
#include "time_word_test.moc"
