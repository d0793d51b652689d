// Following the sound in a long transcript: the window thread's cost per
// position the player tells, keystrokes while following, and the next-passage
// key against F9, both from the key to the player's seek.
#include "bench_keys.h"

#include "editor/transcript_edit.h"
#include "support/window_probe.h"
#include "transcript/text_times_watcher.h"
#include "transcript/time_text.h"
#include "workbench/passage_follower.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tavrin::bench {

namespace {

constexpr int kMarks = 5000;
constexpr int kSecondsApart = 2;
constexpr double kUpdateSeconds = 0.05; // libmpv tells the position about this often while playing

// About a megabyte in GBK: a mark every two seconds of the recording, and its words.
QString markedTranscript()
{
    const QString words = QStringLiteral("我们今天主要谈一谈这个项目的进展情况，还有下一步的安排。").repeated(3);
    QString text;
    for (int mark = 0; mark < kMarks; ++mark)
        text += u'-' + displayTimeText(playerTimeText(mark * kSecondsApart)) + u'-' + words + u'\n';
    return text;
}

// The follower's time for each position of `updates` positions told from `from` on.
std::vector<double> followingCost(PassageFollower& follower, double from, int updates, std::vector<double>& atAChange)
{
    std::vector<double> times;
    for (int i = 0; i < updates; ++i) {
        const std::optional<Passage> before = follower.shownPassage();
        const double spent = millisecondsOf([&] { follower.follow(from + i * kUpdateSeconds); });
        times.push_back(spent);
        if (follower.shownPassage() != before)
            atAChange.push_back(spent);
        if (i % 20 == 0)
            settle(1); // the repaints it asked for, as between two positions
    }
    return times;
}

// Every character of every passage's words a drafted word of its own, spread over its two seconds.
std::vector<TextTimes::Stretch> everyWordTimed(const QTextDocument& document)
{
    std::vector<TextTimes::Stretch> words;
    for (int mark = 0; mark < kMarks; ++mark) {
        const QTextBlock paragraph = document.findBlockByNumber(mark);
        const int count = paragraph.length() - 1 - 10;
        for (int i = 0; i < count; ++i)
            words.push_back(
                {paragraph.position() + 10 + i, 1, mark * kSecondsApart + double(i) * kSecondsApart / count});
    }
    return words;
}

void putCaretAtPassage(BenchWindow& window, int mark)
{
    QTextCursor caret = window.ui->Memo1->textCursor();
    caret.setPosition(window.ui->Memo1->document()->findBlockByNumber(mark).position() + 12);
    window.ui->Memo1->setTextCursor(caret);
}

// A key to the player's seek from `repetitions` places, each one a passage apart.
std::vector<double> keyToSeekFromPassages(BenchWindow& window, int key, int repetitions)
{
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        const int mark = 2000 + 37 * i;
        pauseAt(window.ui->WindowsMediaPlayer1, mark * kSecondsApart + 1.0);
        putCaretAtPassage(window, mark);
        double landed = NAN;
        times.push_back(keyToSeek(window, key, landed));
    }
    return times;
}

} // namespace

int runPassageCost(const QString& recording, int repetitions)
{
    BenchWindow window;
    window.loadRecording(recording);
    window.ui->Memo1->setPlainText(markedTranscript());
    PassageFollower& follower = test::WindowProbe::workbench(*window.window).passageFollower();
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;

    // In turns, as the typed text grows and every keystroke lays out a longer line.
    player->play();
    std::vector<double> plain;
    std::vector<double> following;
    for (int round = 0; round < repetitions; ++round) {
        follower.setOn(round % 2 != 0);
        std::vector<double>& into = follower.isOn() ? following : plain;
        const std::vector<double> typed = typing(window, 8);
        into.insert(into.end(), typed.begin(), typed.end());
    }
    report("keystroke median, playing, not following", median(plain));
    report("keystroke median, playing, following", median(following));
    follower.setOn(true);
    player->pause();

    std::vector<double> atAChange;
    const std::vector<double> updates = followingCost(follower, 4000.0, 4000, atAChange);
    report("following, per position update median", median(updates));
    report("following, per position update p95", percentile95(updates));
    report("following, at a passage change median", median(atAChange));

    test::WindowProbe::workbench(*window.window).textTimes().add(everyWordTimed(*window.ui->Memo1->document()));
    std::vector<double> atAPassage;
    const std::vector<double> wordUpdates = followingCost(follower, 2000.0, 4000, atAPassage);
    report("following word by word, per position update median", median(wordUpdates));
    report("following word by word, per position update p95", percentile95(wordUpdates));

    const std::vector<double> next = keyToSeekFromPassages(window, Qt::Key_F3, repetitions);
    const std::vector<double> back = keyToSeekFromPassages(window, Qt::Key_F9, repetitions);
    report("F3 next passage p95", percentile95(next));
    report("F3 next passage median", median(next));
    report("F9 step back, same places, p95", percentile95(back));
    return 0;
}

} // namespace tavrin::bench
