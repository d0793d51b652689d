#include "export/transcript_parts.h"
#include "transcript/mark_index.h"
#include "transcript/time_mark_watcher.h"
#include "transcript/time_marks.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace tavrin;

namespace {

constexpr int kHead = -1; // the text before the first mark
constexpr int kNone = -2; // no passage

const QString kInOrder = u"前言\n-00:00:05-甲\n-00:00:10-乙\n-00:00:20-丙"_qs;
const QString kTwoInAParagraph = u"-00:00:05-甲-00:00:10-乙"_qs;
const QString kSameSecond = u"-00:00:05-甲\n-00:00:05-乙\n-00:00:09-丙"_qs;
const QString kOutOfOrder = u"-00:00:30-甲\n-00:00:10-乙\n-00:00:40-丙\n-00:00:20-丁"_qs;
const QString kNoMarks = u"只有文字"_qs;

// Which passage `passage` is: kNone, kHead, or the number of its mark in the text.
int which(const QString& text, const std::optional<Passage>& passage)
{
    if (!passage)
        return kNone;
    const std::vector<TimeMark> marks = findTimeMarks(text);
    for (std::size_t number = 0; number < marks.size(); ++number)
        if (marks[number].offset == passage->start && passage->textStart > passage->start)
            return int(number);
    return passage->start == 0 && passage->textStart == 0 ? kHead : kNone - 1;
}

} // namespace

class PassagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passageHeardAtATime_data();
    void passageHeardAtATime();
    void passagesAroundTheCaret_data();
    void passagesAroundTheCaret();
    void whereAPassageEnds_data();
    void whereAPassageEnds();
    void theExportsEndEachPassageWhereTheLoopDoes_data();
    void theExportsEndEachPassageWhereTheLoopDoes();
    void marksEditedAway();
    void staleRecordsStayInsideTheText();
    void aMarkTypedEarlierAtTheSameSecond();
};

void PassagesTest::passageHeardAtATime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("passage");
    const auto row = [](const char* name, const QString& text, double seconds, int passage) {
        QTest::newRow(name) << text << seconds << passage;
    };
    row("before the first mark: the text before it", kInOrder, 4.99, kHead);
    row("at the first mark", kInOrder, 5.0, 0);
    row("just before the next", kInOrder, 9.999, 0);
    row("at the next", kInOrder, 10.0, 1);
    row("the last, to the end", kInOrder, 1e9, 2);
    row("not a number: the start", kInOrder, qQNaN(), kHead);
    row("before the first mark, nothing before it", kTwoInAParagraph, 1.0, kNone);
    row("two marks in a paragraph: the second", kTwoInAParagraph, 12.0, 1);
    row("two at one second: the first in the text", kSameSecond, 6.0, 0);
    row("after the two", kSameSecond, 9.0, 2);
    row("out of order: by time, not by text", kOutOfOrder, 15.0, 1);
    row("out of order: the fourth in the text", kOutOfOrder, 25.0, 3);
    row("out of order: the first in the text", kOutOfOrder, 35.0, 0);
    row("out of order: the latest", kOutOfOrder, 45.0, 2);
    row("out of order: before them all", kOutOfOrder, 5.0, kNone);
    row("no marks at all", kNoMarks, 3.0, kNone);
}

void PassagesTest::passageHeardAtATime()
{
    QFETCH(QString, text);
    QFETCH(double, seconds);
    QFETCH(int, passage);
    QTextDocument document(text);
    TimeMarkWatcher watcher(&document);
    QCOMPARE(which(text, watcher.index().passageAtTime(seconds)), passage);
}

void PassagesTest::passagesAroundTheCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const auto row = [](const char* name, const QString& text, int caret, int at, int before, int after) {
        QTest::newRow(name) << text << caret << at << before << after;
    };
    const int secondMark = int(kInOrder.indexOf(u"-00:00:10-"));
    row("in the text before the first mark", kInOrder, 1, kHead, kNone, 0);
    row("on the first mark's hyphen", kInOrder, 3, 0, kHead, 1);
    row("just before the second mark", kInOrder, secondMark - 1, 0, kHead, 1);
    row("inside the second mark", kInOrder, secondMark + 4, 1, 0, 2);
    row("at the end: the last", kInOrder, int(kInOrder.size()), 2, 1, kNone);
    row("first passage, nothing before its mark", kTwoInAParagraph, 0, 0, kNone, 1);
    row("second mark of a paragraph", kTwoInAParagraph, 13, 1, 0, kNone);
    row("the second of two at one second", kSameSecond, 14, 1, 0, 2);
    row("out of order: by the text", kOutOfOrder, 12, 1, 0, 2);
    row("no marks: all one passage", kNoMarks, 2, kHead, kNone, kNone);
}

void PassagesTest::passagesAroundTheCaret()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, at);
    QFETCH(int, before);
    QFETCH(int, after);
    QTextDocument document(text);
    TimeMarkWatcher watcher(&document);
    const MarkIndex& index = watcher.index();
    QCOMPARE(which(text, index.passageAt(caret)), at);
    QCOMPARE(which(text, index.passageBefore(caret)), before);
    QCOMPARE(which(text, index.passageAfter(caret)), after);
}

void PassagesTest::whereAPassageEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("endSeconds"); // -1: the recording's end
    const auto row = [](const char* name, const QString& text, int caret, int end, int endSeconds) {
        QTest::newRow(name) << text << caret << end << endSeconds;
    };
    row("the text before the first mark", kInOrder, 0, 3, 5);
    row("a passage: to the next mark", kInOrder, 4, int(kInOrder.indexOf(u"-00:00:10-")), 10);
    row("the last: to the end of the text and the recording", kInOrder, int(kInOrder.size()), int(kInOrder.size()), -1);
    row("two at one second: the sound goes on to the next later", kSameSecond, 0, 12, 9);
    row("out of order: to the next later time", kOutOfOrder, 0, 12, 40);
    row("out of order, last in the text", kOutOfOrder, int(kOutOfOrder.size()), int(kOutOfOrder.size()), 30);
    row("marks sharing a hyphen", u"-00:00:01-00:00:02-"_qs, 0, 9, 2);
}

void PassagesTest::whereAPassageEnds()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, end);
    QFETCH(int, endSeconds);
    QTextDocument document(text);
    TimeMarkWatcher watcher(&document);
    const Passage passage = watcher.index().passageAt(caret);
    QCOMPARE(passage.end, end);
    QVERIFY(passage.textStart <= passage.end);
    QCOMPARE(passage.endSeconds.value_or(-1), endSeconds);
}

void PassagesTest::theExportsEndEachPassageWhereTheLoopDoes_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("in order") << kInOrder;
    QTest::newRow("two in a paragraph") << kTwoInAParagraph;
    QTest::newRow("two at one second") << kSameSecond;
    QTest::newRow("out of order") << kOutOfOrder;
}

void PassagesTest::theExportsEndEachPassageWhereTheLoopDoes()
{
    // A subtitle shows a passage for as long as the passage keys play and loop it.
    QFETCH(QString, text);
    constexpr double kLength = 100;
    QTextDocument document(text);
    TimeMarkWatcher watcher(&document);
    const std::vector<TimeMark> marks = findTimeMarks(text);
    std::vector<Cue> cues = exportCues(text, kLength);
    QVERIFY(cues.size() >= marks.size());
    cues.erase(cues.begin(), cues.end() - qsizetype(marks.size())); // the text before the first mark
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Passage passage = watcher.index().passageAt(int(marks[i].offset));
        QCOMPARE(cues[i].start, passage.seconds);
        QCOMPARE(cues[i].end, double(passage.endSeconds.value_or(kLength)));
    }
}

// The passage being heard loses its mark: the one before takes its place and
// its text; a paragraph deleted whole takes its marks with it at once.
void PassagesTest::marksEditedAway()
{
    QTextDocument document(kInOrder);
    TimeMarkWatcher watcher(&document);
    QCOMPARE(which(kInOrder, watcher.index().passageAtTime(12.0)), 1);

    QTextCursor cursor(&document);
    cursor.setPosition(int(kInOrder.indexOf(u"-00:00:10-")) + 2);
    cursor.deleteChar(); // "-0:00:10-" is no mark
    watcher.readEditsNow();
    const QString edited = document.toPlainText();
    const std::optional<Passage> heard = watcher.index().passageAtTime(12.0);
    QCOMPARE(which(edited, heard), 0);
    QCOMPARE(heard->end, int(edited.indexOf(u"-00:00:20-")));
    QCOMPARE(heard->endSeconds, std::optional<int>(20));

    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    cursor.removeSelectedText(); // the last paragraph, unread yet
    QCOMPARE(watcher.index().times(), (QList<int>{5}));
    QCOMPARE(watcher.index().passageAtTime(25.0)->end, document.characterCount() - 1);
}

// Typed into before the reading, a record is a little off; what it gives stays
// in the text, and the reading puts it right.
void PassagesTest::staleRecordsStayInsideTheText()
{
    QTextDocument document(u"-00:00:05-甲乙丙丁戊己庚辛"_qs);
    TimeMarkWatcher watcher(&document);
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    const std::optional<Passage> stale = watcher.index().passageAtTime(6.0);
    const int end = document.characterCount() - 1;
    QVERIFY(stale && stale->start <= end && stale->textStart <= end && stale->end <= end);
    watcher.readEditsNow();
    QVERIFY(!watcher.index().passageAtTime(6.0));
    cursor.insertText(u"前面-00:00:05-后面"_qs);
    watcher.readEditsNow();
    QCOMPARE(watcher.index().passageAtTime(6.0)->start, 4);
}

// Heard at a time two marks share, the first in the text, whichever was typed first.
void PassagesTest::aMarkTypedEarlierAtTheSameSecond()
{
    QTextDocument document(u"甲\n-00:00:05-乙"_qs);
    TimeMarkWatcher watcher(&document);
    QTextCursor(&document).insertText(u"-00:00:05-"_qs);
    watcher.readEditsNow();
    QCOMPARE(watcher.index().passageAtTime(5.0)->start, 0);
}

QTEST_MAIN(PassagesTest)
#include "passages_test.moc"
