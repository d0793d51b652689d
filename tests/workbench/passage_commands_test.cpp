#include "editor/transcript_edit.h"
#include "files/transcript_codec.h"
#include "support/window_under_test.h"
#include "transcript/text_times_watcher.h"
#include "workbench/passage_follower.h"

#include <QScrollBar>
#include <QtTest>

using namespace tavrin;
using tavrin::test::WindowProbe;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 20000;
constexpr double kRecordingSeconds = 20.0;
// Four passages, at 2, 5, 9 and 14 s.
const QString kFourPassages = u"-00:00:02-一一\n-00:00:05-二二\n-00:00:09-三三\n-00:00:14-四四"_qs;

int wordsOf(int passage)
{
    return passage * 13 + 10; // each paragraph is a mark, two words and a line break
}

struct PassageWindow : WindowUnderTest {
    MediaPlayer* player = nullptr;
    TranscriptEdit* editor = nullptr;
    QString recording;

    explicit PassageWindow(const QString& text = kFourPassages)
    {
        show();
        recording = loadRecording(kRecordingSeconds);
        player = ui->WindowsMediaPlayer1;
        editor = ui->Memo1;
        editor->setPlainText(text);
        editor->setFocus();
    }

    void putCaret(int position)
    {
        QTextCursor caret = editor->textCursor();
        caret.setPosition(position);
        editor->setTextCursor(caret);
    }

    bool playingNear(double seconds)
    {
        return QTest::qWaitFor(
            [&] {
                return player->playState() == PlayStatePlaying && std::abs(player->currentPosition() - seconds) < 0.5;
            },
            kWaitMs);
    }

    PassageFollower& follower() { return WindowProbe::workbench(*window).passageFollower(); }
};

} // namespace

class PassageCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysWalkThePassages_data();
    void keysWalkThePassages();
    void hearAgainPlaysFromTheMark();
    void loopHoldsThePassage_data();
    void loopHoldsThePassage();
    void passageLoopGoesWithTheWalk_data();
    void passageLoopGoesWithTheWalk();
    void aLoopKeyLoopIsLeftByTheWalk();
    void highlightLeavesTheTextAlone();
    void viewFollowsUntilTheUserTypes();
    void theDraftedWordHeardIsShownWithinItsPassage();
};

void PassageCommandsTest::keysWalkThePassages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<int>("caretAfter"); // -1: where it was
    QTest::addColumn<double>("position");
    const QList<int> twiceNext{Qt::Key_F3, Qt::Key_F3};
    QTest::newRow("next twice, paused: the third") << kFourPassages << 0 << twiceNext << false << wordsOf(2) << 9.0;
    QTest::newRow("next twice, playing on: the third") << kFourPassages << 0 << twiceNext << true << wordsOf(2) << 9.0;
    QTest::newRow("previous from inside the third: the second")
        << kFourPassages << wordsOf(2) + 1 << QList<int>{Qt::Key_F2} << false << wordsOf(1) << 5.0;
    QTest::newRow("previous from the first: nothing before it")
        << kFourPassages << 4 << QList<int>{Qt::Key_F2} << false << -1 << 0.0;
    QTest::newRow("next from the last: nothing after it")
        << kFourPassages << wordsOf(3) << QList<int>{Qt::Key_F3} << false << -1 << 0.0;
    QTest::newRow("from the text before the first mark")
        << u"标题\n-00:00:03-一"_qs << 1 << QList<int>{Qt::Key_F3} << false << 13 << 3.0;
    QTest::newRow("a mark past the recording's end: at its end")
        << u"-00:00:02-一\n-00:01:00-二"_qs << 0 << QList<int>{Qt::Key_F3} << false << 22 << kRecordingSeconds;
}

// The passage keys move the caret to the words and playback to the mark, and
// leave playing or pausing as it was.
void PassageCommandsTest::keysWalkThePassages()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QList<int>, keys);
    QFETCH(bool, playing);
    QFETCH(int, caretAfter);
    QFETCH(double, position);
    PassageWindow window(text);
    window.putCaret(caret);
    if (playing) {
        window.player->setCurrentPosition(0.0);
        window.player->play();
    }
    for (const int key : keys)
        QTest::keyClick(window.editor, Qt::Key(key));
    QCOMPARE(window.editor->textCursor().position(), caretAfter < 0 ? caret : caretAfter);
    QCOMPARE(window.editor->toPlainText(), text);
    if (playing)
        QVERIFY(window.playingNear(position));
    else
        QTRY_COMPARE_WITH_TIMEOUT(window.player->currentPosition(), position, kWaitMs);
    QCOMPARE(window.player->playState() == PlayStatePlaying, playing);
    QVERIFY(window.desktop.boxes.isEmpty());
}

void PassageCommandsTest::hearAgainPlaysFromTheMark()
{
    PassageWindow window;
    QVERIFY(window.pauseAt(7.5));
    window.putCaret(wordsOf(1) + 1); // in the second passage's words
    QTest::keyClick(window.editor, Qt::Key_F4);
    QVERIFY(window.playingNear(5.0));
    QCOMPARE(window.editor->textCursor().position(), wordsOf(1) + 1);
}

void PassageCommandsTest::loopHoldsThePassage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<double>("start"); // -1: refused
    QTest::addColumn<double>("end");
    QTest::newRow("the second passage") << kFourPassages << wordsOf(1) << 5.0 << 9.0;
    QTest::newRow("the last: to the recording's end") << kFourPassages << wordsOf(3) + 2 << 14.0 << kRecordingSeconds;
    QTest::newRow("before the first mark: from the start") << u"标题-00:00:03-"_qs << 1 << 0.0 << 3.0;
    QTest::newRow("a mark at the recording's end: refused") << u"-00:00:20-尾"_qs << 5 << -1.0 << -1.0;
}

void PassageCommandsTest::loopHoldsThePassage()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(double, start);
    QFETCH(double, end);
    PassageWindow window(text);
    window.putCaret(caret);
    QTest::keyClick(window.editor, Qt::Key_F6);
    if (start < 0) {
        QVERIFY(!window.player->loop());
        QCOMPARE(window.desktop.boxes.size(), 1);
        return;
    }
    QVERIFY(window.desktop.boxes.isEmpty());
    QVERIFY(window.player->loop());
    QCOMPARE(window.player->loop()->start, start);
    QCOMPARE(window.player->loop()->end, end);
    QVERIFY(window.playingNear(start));
    QTest::keyClick(window.editor, Qt::Key_F6); // again: the loop ends, playback goes on
    QVERIFY(!window.player->loop());
    QCOMPARE(window.player->playState(), int(PlayStatePlaying));
}

void PassageCommandsTest::passageLoopGoesWithTheWalk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");       // where the passage is looped
    QTest::addColumn<int>("caretBefore"); // where the caret is put then; -1: left
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<double>("start"); // of the loop after the keys; -1: none
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("position");
    const QList<int> next{Qt::Key_F3};
    QTest::newRow("next: the next passage looped") << kFourPassages << wordsOf(1) << -1 << next << 9.0 << 14.0 << 9.0;
    QTest::newRow("previous: the previous passage looped")
        << kFourPassages << wordsOf(2) << -1 << QList<int>{Qt::Key_F2} << 5.0 << 9.0 << 5.0;
    QTest::newRow("next twice: the last, to the recording's end")
        << kFourPassages << wordsOf(1) << -1 << QList<int>{Qt::Key_F3, Qt::Key_F3} << 14.0 << kRecordingSeconds << 14.0;
    QTest::newRow("heard again in another passage: that one looped")
        << kFourPassages << wordsOf(0) << wordsOf(3) << QList<int>{Qt::Key_F4} << 14.0 << kRecordingSeconds << 14.0;
    QTest::newRow("heard again in the looped passage: from its mark")
        << kFourPassages << wordsOf(1) << -1 << QList<int>{Qt::Key_F4} << 5.0 << 9.0 << 5.0;
    QTest::newRow("next to a passage past the end: the loop ends")
        << u"-00:00:02-一一\n-00:00:05-二二\n-00:00:30-三三"_qs << wordsOf(1) << -1 << next << -1.0 << -1.0
        << kRecordingSeconds;
}

// Walking from a looped passage loops the passage walked to: the loop and the
// position never disagree, so playback is never pulled back to the passage left.
void PassageCommandsTest::passageLoopGoesWithTheWalk()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, caretBefore);
    QFETCH(QList<int>, keys);
    QFETCH(double, start);
    QFETCH(double, end);
    QFETCH(double, position);
    PassageWindow window(text);
    window.putCaret(caret);
    QTest::keyClick(window.editor, Qt::Key_F6);
    QVERIFY(window.player->loop());
    if (caretBefore >= 0)
        window.putCaret(caretBefore);
    for (const int key : keys)
        QTest::keyClick(window.editor, Qt::Key(key));
    if (start < 0) {
        QVERIFY(!window.player->loop());
    } else {
        QVERIFY(window.player->loop());
        QCOMPARE(window.player->loop()->start, start);
        QCOMPARE(window.player->loop()->end, end);
    }
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(window.player->currentPosition() - position) < 0.5, kWaitMs);
    if (start >= 0) {
        // Heard on inside the passage walked to.
        QVERIFY(window.playingNear(position + 0.6));
        QVERIFY(window.player->currentPosition() >= start);
    }
    QVERIFY(window.desktop.boxes.isEmpty());
}

// A loop the loop key marked is not a passage's: walked out of, it ends.
void PassageCommandsTest::aLoopKeyLoopIsLeftByTheWalk()
{
    PassageWindow window;
    QVERIFY(window.pauseAt(5.5));
    QTest::keyClick(window.editor, Qt::Key_F7);
    QVERIFY(window.pauseAt(8.0));
    QTest::keyClick(window.editor, Qt::Key_F7);
    QVERIFY(window.player->loop());
    window.putCaret(wordsOf(1));
    QTest::keyClick(window.editor, Qt::Key_F3);
    QVERIFY(!window.player->loop());
    QTRY_COMPARE_WITH_TIMEOUT(window.player->currentPosition(), 9.0, kWaitMs);
}

// The passage heard is shown beside the text, never in it: the text, its undo
// steps, the caret, the selection and the bytes saved are as without it.
void PassageCommandsTest::highlightLeavesTheTextAlone()
{
    PassageWindow window;
    QTextCursor selection = window.editor->textCursor();
    selection.setPosition(1);
    selection.setPosition(4, QTextCursor::KeepAnchor);
    window.editor->setTextCursor(selection);
    const int undoSteps = window.editor->document()->availableUndoSteps();
    const int revision = window.editor->document()->revision();

    window.follower().setOn(true);
    QVERIFY(window.pauseAt(10.0));
    QTRY_VERIFY_WITH_TIMEOUT(window.follower().shownPassage(), kWaitMs);
    QCOMPARE(window.follower().shownPassage()->start, wordsOf(2) - 10);
    const QList<QTextEdit::ExtraSelection> shown = window.editor->extraSelections();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().cursor.selectionStart(), wordsOf(2) - 10);
    QCOMPARE(shown.first().cursor.selectionEnd(), wordsOf(3) - 10);

    QCOMPARE(window.editor->toPlainText(), kFourPassages);
    QCOMPARE(window.editor->document()->availableUndoSteps(), undoSteps);
    QCOMPARE(window.editor->document()->revision(), revision);
    QCOMPARE(window.editor->textCursor().selectionStart(), 1);
    QCOMPARE(window.editor->textCursor().selectionEnd(), 4);
    QVERIFY(window.editor->document()->isUndoAvailable() == (undoSteps > 0));
    window.transcriptController().save();
    QCOMPARE(test::TempFolder::read(window.recording + u".txt"_qs), encodeTranscript(kFourPassages));

    window.follower().setOn(false);
    QVERIFY(window.editor->extraSelections().isEmpty());
}

// Far down a long transcript, the passage heard is scrolled into sight; once
// the user types, the view stays where the user has it until playback starts again.
void PassageCommandsTest::viewFollowsUntilTheUserTypes()
{
    QString text;
    for (int second = 0; second < 18; ++second)
        text += QStringLiteral("-00:00:%1-第%1段\n\n\n\n\n\n").arg(second, 2, 10, QLatin1Char('0'));
    PassageWindow window(text);
    const auto inSight = [&](int position) {
        QTextCursor at(window.editor->document());
        at.setPosition(position);
        return window.editor->viewport()->rect().contains(window.editor->cursorRect(at));
    };
    window.follower().setOn(true);
    QVERIFY(window.pauseAt(16.2));
    QTRY_VERIFY_WITH_TIMEOUT(window.follower().shownPassage() && window.follower().shownPassage()->seconds == 16,
                             kWaitMs);
    QVERIFY(inSight(window.follower().shownPassage()->start));

    QTest::keyClick(window.editor, Qt::Key_A); // typed at the caret, at the top
    const int scrolled = window.editor->verticalScrollBar()->value();
    QVERIFY(window.pauseAt(1.5));
    QTRY_VERIFY_WITH_TIMEOUT(window.follower().shownPassage()->seconds == 1, kWaitMs);
    QVERIFY(window.pauseAt(12.0));
    QTRY_VERIFY_WITH_TIMEOUT(window.follower().shownPassage()->seconds == 12, kWaitMs);
    QCOMPARE(window.editor->verticalScrollBar()->value(), scrolled);
    QVERIFY(!inSight(window.follower().shownPassage()->start));

    window.player->play();
    QTRY_VERIFY_WITH_TIMEOUT(inSight(window.follower().shownPassage()->start), kWaitMs);
}

// Within the passage heard, the drafted word whose time has come is shown a
// shade deeper; typed text between the words takes none.
void PassageCommandsTest::theDraftedWordHeardIsShownWithinItsPassage()
{
    PassageWindow window;
    const int third = wordsOf(2); // 三三, the passage from 9 s
    WindowProbe::workbench(*window.window).textTimes().add({{third, 1, 9.5}, {third + 1, 1, 11.0}});
    window.follower().setOn(true);
    struct Moment {
        double seconds;
        int word; // -1: none
    };
    for (const Moment moment : {Moment{9.2, -1}, Moment{10.0, third}, Moment{12.5, third + 1}, Moment{10.5, third}}) {
        QVERIFY(window.pauseAt(moment.seconds));
        QTRY_VERIFY_WITH_TIMEOUT(window.follower().shownPassage() && window.follower().shownPassage()->seconds == 9,
                                 kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(window.follower().shownWord() ? window.follower().shownWord()->at : -1, moment.word,
                                  kWaitMs);
        const QList<QTextEdit::ExtraSelection> shown = window.editor->extraSelections();
        QCOMPARE(shown.size(), moment.word < 0 ? 1 : 2);
        if (moment.word >= 0) {
            QCOMPARE(shown.last().cursor.selectionStart(), moment.word);
            QCOMPARE(shown.last().cursor.selectionEnd(), moment.word + 1);
        }
    }
    // The next passage: its own words, none here.
    QVERIFY(window.pauseAt(15.0));
    QTRY_VERIFY_WITH_TIMEOUT(window.follower().shownPassage() && window.follower().shownPassage()->seconds == 14,
                             kWaitMs);
    QVERIFY(!window.follower().shownWord());
    QCOMPARE(window.editor->extraSelections().size(), 1);
}

QTEST_MAIN(PassageCommandsTest)
#include "passage_commands_test.moc"
