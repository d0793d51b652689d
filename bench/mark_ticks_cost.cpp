// What keeping the seek bar's mark ticks current adds to a keystroke: typing
// at the end of a 1 MB transcript holding 5,000 time marks, with the marks
// followed and without, in one run on the same text.
#include "measure.h"

#include "editor/transcript_edit.h"
#include "transcript/time_mark_watcher.h"
#include "transcript/time_marks.h"

#include <QApplication>
#include <QKeyEvent>

#include <memory>

namespace tavrin::bench {

namespace {

constexpr int kMarks = 5000;
constexpr qsizetype kTextChars = 512 * 1024; // 1 MB in GBK, two bytes a character

QString transcriptWithMarks()
{
    const QString line = QStringLiteral("我们今天讨论的是录音整理的工作流程，请大家按顺序发言。");
    QString text;
    text.reserve(kTextChars + 64);
    for (int mark = 0; text.size() < kTextChars; ++mark) {
        if (mark < kMarks)
            text += QStringLiteral("-%1:%2:%3-")
                        .arg(mark / 3600, 2, 10, QLatin1Char('0'))
                        .arg(mark / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(mark % 60, 2, 10, QLatin1Char('0'));
        text += line + u'\n';
    }
    return text;
}

// Each keystroke timed from the key to the event loop being idle again; the
// keys are paced as a fast typist's, so the rescans fall among them as they would.
std::vector<double> typeAtTheEnd(TranscriptEdit& editor, int keystrokes)
{
    editor.moveCursor(QTextCursor::End);
    std::vector<double> times;
    for (int i = 0; i < keystrokes; ++i) {
        times.push_back(millisecondsOf([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("字"));
            QApplication::sendEvent(&editor, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("字"));
            QApplication::sendEvent(&editor, &release);
            QCoreApplication::processEvents();
        }));
        settle(20);
    }
    return times;
}

} // namespace

int runMarkTicksCost(int keystrokes)
{
    const QString text = transcriptWithMarks();
    TranscriptEdit editor;
    editor.resize(900, 600);
    editor.setPlainText(text);
    editor.show();
    settle(200);

    // In turns, so that whatever else the machine does falls on both alike.
    std::vector<double> plain;
    std::vector<double> followed;
    std::unique_ptr<TimeMarkWatcher> watcher;
    for (int turn = 0; turn < 8; ++turn) {
        const bool following = turn % 2 == 1;
        watcher.reset(following ? new TimeMarkWatcher(editor.document()) : nullptr);
        if (watcher && watcher->marks().size() != kMarks)
            return 1;
        const std::vector<double> times = typeAtTheEnd(editor, keystrokes / 8);
        std::vector<double>& into = following ? followed : plain;
        into.insert(into.end(), times.begin(), times.end());
    }
    watcher.reset();

    std::vector<double> rescans;
    for (int i = 0; i < 20; ++i)
        rescans.push_back(millisecondsOf([&] { findTimeMarks(editor.toPlainText()); }));
    report("keystroke median, marks not followed", median(plain));
    report("keystroke median, marks followed", median(followed));
    report("keystroke p95, marks not followed", percentile95(plain));
    report("keystroke p95, marks followed", percentile95(followed));
    report("one reading of the marks", median(rescans));
    return 0;
}

} // namespace tavrin::bench
