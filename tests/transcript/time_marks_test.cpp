#include "transcript/time_mark_watcher.h"
#include "transcript/time_marks.h"

#include <QSignalSpy>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace tavrin;

class TimeMarksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void marksInText_data();
    void marksInText();
    void marksWrittenAreReadBack_data();
    void marksWrittenAreReadBack();
    void watcherFollowsEdits();
    void watcherReadsALoadedTextInSlices();
};

void TimeMarksTest::marksInText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("offsets");
    QTest::addColumn<QList<int>>("seconds");
    // clang-format off
    QTest::newRow("alone") << u"-00:12:34-"_qs << QList<int>{0} << QList<int>{754};
    QTest::newRow("next to Chinese") << u"他说-01:00:05-我们"_qs << QList<int>{2} << QList<int>{3605};
    QTest::newRow("line start and end") << u"-00:00:01-开始\n结束-00:00:59-"_qs << QList<int>{0, 15}
                                        << QList<int>{1, 59};
    QTest::newRow("two written one after the other") << u"-00:00:01--00:00:02-"_qs << QList<int>{0, 10}
                                                     << QList<int>{1, 2};
    QTest::newRow("sharing a hyphen") << u"-00:00:01-00:00:02-"_qs << QList<int>{0, 9} << QList<int>{1, 2};
    QTest::newRow("after a lone hyphen") << u"--00:00:03-"_qs << QList<int>{1} << QList<int>{3};
    QTest::newRow("99 hours is a time") << u"-99:59:59-"_qs << QList<int>{0} << QList<int>{99 * 3600 + 3599};
    QTest::newRow("not: minutes and seconds past 59") << u"-99:99:99- -00:60:00- -00:00:60-"_qs << QList<int>{}
                                                      << QList<int>{};
    QTest::newRow("not: no closing hyphen") << u"-00:12:34"_qs << QList<int>{} << QList<int>{};
    QTest::newRow("not: one digit") << u"-0:12:34- -00:1:34-"_qs << QList<int>{} << QList<int>{};
    QTest::newRow("not: full-width digits or colons") << u"-００:12:34- -00：12:34-"_qs << QList<int>{}
                                                      << QList<int>{};
    QTest::newRow("not: a plain time") << u"00:12:34"_qs << QList<int>{} << QList<int>{};
    QTest::newRow("cut short at the end") << u"文 -00:12:3"_qs << QList<int>{} << QList<int>{};
    // clang-format on
}

void TimeMarksTest::marksInText()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, offsets);
    QFETCH(QList<int>, seconds);
    QList<int> foundOffsets;
    QList<int> foundSeconds;
    for (const TimeMark& mark : findTimeMarks(text)) {
        foundOffsets.append(int(mark.offset));
        foundSeconds.append(mark.seconds);
    }
    QCOMPARE(foundOffsets, offsets);
    QCOMPARE(foundSeconds, seconds);
}

// Typed into, a mark shows within the rescan time; many keys make one rescan.
void TimeMarksTest::marksWrittenAreReadBack_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("read");
    QTest::newRow("the start") << 0.0 << 0;
    QTest::newRow("a fraction is cut, not rounded") << 59.9 << 59;
    QTest::newRow("below an hour") << 3599.5 << 3599;
    QTest::newRow("an hour") << 3600.0 << 3600;
    QTest::newRow("the last time two digits of hours hold") << 99 * 3600 + 3599.0 << 99 * 3600 + 3599;
}

void TimeMarksTest::marksWrittenAreReadBack()
{
    // What the mark key and the first draft write is what the passages, the seek
    // bar's ticks and the exports read.
    QFETCH(double, seconds);
    QFETCH(int, read);
    const QString mark = timeMarkAt(seconds);
    QCOMPARE(mark.size(), kTimeMarkLength);
    const std::vector<TimeMark> found = findTimeMarks(QStringLiteral("文") + mark + QStringLiteral("字"));
    QCOMPARE(found.size(), std::size_t(1));
    QCOMPARE(found.front(), (TimeMark{1, read}));
}

void TimeMarksTest::watcherFollowsEdits()
{
    QTextDocument document(u"开头 -00:00:07- "_qs);
    TimeMarkWatcher watcher(&document);
    QCOMPARE(watcher.marks(), QList<int>{7});
    QSignalSpy changed(&watcher, &TimeMarkWatcher::marksChanged);
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    for (const QChar typed : u"-00:01:00-"_qs)
        cursor.insertText(QString(typed));
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(watcher.marks(), (QList<int>{7, 60}));
    QCOMPARE(changed.last().first().value<QList<int>>(), (QList<int>{7, 60}));
    // Text typed that is no mark changes nothing.
    cursor.insertText(u"文字"_qs);
    QVERIFY(!changed.wait(TimeMarkWatcher::kRescanMs * 3));
    cursor.setPosition(3);
    cursor.deleteChar();
    QVERIFY(changed.wait(5000));
    QCOMPARE(watcher.marks(), QList<int>{60});
}

// More paragraphs than one slice reads: all are counted, the old text's marks
// go with it, and a paragraph deleted takes its marks away.
void TimeMarksTest::watcherReadsALoadedTextInSlices()
{
    const auto marksEachSecond = [](int count) {
        QString text;
        for (int second = 0; second < count; ++second)
            text += QStringLiteral("第%1段-%2:%3:%4-\n")
                        .arg(second)
                        .arg(second / 3600, 2, 10, QLatin1Char('0'))
                        .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(second % 60, 2, 10, QLatin1Char('0'));
        return text;
    };
    const int paragraphs = TimeMarkWatcher::kParagraphsPerSlice * 2 + 7;
    QTextDocument document(marksEachSecond(paragraphs));
    TimeMarkWatcher watcher(&document);
    QCOMPARE(watcher.marks().size(), paragraphs);

    QSignalSpy changed(&watcher, &TimeMarkWatcher::marksChanged);
    document.setPlainText(marksEachSecond(paragraphs + 100) + QStringLiteral("-10:00:00-"));
    QVERIFY(changed.wait(5000));
    QCOMPARE(watcher.marks().size(), paragraphs + 101);
    QCOMPARE(watcher.marks().last(), 36000);

    document.setPlainText(QStringLiteral("-00:00:05-\n-00:00:09-\n"));
    QVERIFY(changed.wait(5000));
    QCOMPARE(watcher.marks(), (QList<int>{5, 9}));
    QTextCursor firstLine(&document);
    firstLine.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    firstLine.removeSelectedText();
    QVERIFY(changed.wait(5000));
    QCOMPARE(watcher.marks(), QList<int>{9});
}

QTEST_MAIN(TimeMarksTest)
#include "time_marks_test.moc"
