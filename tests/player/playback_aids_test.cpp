#include "controls/player_controls.h"
#include "controls/seek_bar.h"
#include "controls/time_box.h"
#include "dialogs/playback_options_dialog.h"
#include "editor/transcript_edit.h"
#include "player/passage_loop.h"
#include "settings/playback_options.h"
#include "support/window_under_test.h"
#include "workbench/passage_follower.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::shippedSettings;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 20000;
// GBK of the section name 播放.
const QByteArray kPlaybackHeader = QByteArray("[\xB2\xA5\xB7\xC5]\r\n");
const QString kTooShort = QStringLiteral("循环段太短：起点和终点至少要相隔0.5秒。请播放到更远处再按F7。");

void writeOptions(WindowUnderTest& window, const QByteArray& entries)
{
    window.programFolder.write(QStringLiteral("Time.ini"), shippedSettings() + kPlaybackHeader + entries);
}

void press(WindowUnderTest& window, Qt::Key key)
{
    QTest::keyClick(window.ui->Memo1, key);
}

// The loop key pressed with playback paused at `seconds`.
bool pressLoopKeyAt(WindowUnderTest& window, double seconds)
{
    if (!window.pauseAt(seconds))
        return false;
    press(window, Qt::Key_F7);
    return true;
}

SeekBar* seekBar(WindowUnderTest& window)
{
    return window.ui->PlayerControls1->findChild<SeekBar*>();
}

// Waits until playback has gone back to the loop's start `rounds` times. Right
// after libmpv's loop the position it reports runs behind by its sound buffer,
// so a return is a jump back of more than half the loop, landing near its start.
bool loopsRound(MediaPlayer* player, double start, double end, int rounds)
{
    int returned = 0;
    double last = player->currentPosition();
    return QTest::qWaitFor(
        [&] {
            const double position = player->currentPosition();
            if (position < last - (end - start) / 2 && position < start + 0.3 && position > start - 1.0)
                ++returned;
            last = position;
            return returned >= rounds;
        },
        kWaitMs);
}

// Resumed without a back-step, the position is libmpv's, which may have moved
// on a little or, just after the start, lag by its sound buffer.
bool resumedFrom(MediaPlayer* player, double seconds)
{
    return std::abs(player->currentPosition() - seconds) < 0.5;
}

} // namespace

class PlaybackAidsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backStepValues_data();
    void backStepValues();
    void loopKeyDecisions_data();
    void loopKeyDecisions();

    void backStepOnResume_data();
    void backStepOnResume();
    void markWhilePausedIsThePausePosition();
    void stepsAndGoingToATimeAreUntouched();
    void damagedBackStepIsToldOnce();

    void loopKeyThreePresses();
    void tooShortLoopIsRefused();
    void loopAcrossTheEnd();
    void jumpOutOfTheLoopEndsIt_data();
    void jumpOutOfTheLoopEndsIt();
    void backStepStaysInsideTheLoop();

    void dialogSavesAndTheNextStartReadsIt();
};

void PlaybackAidsTest::backStepValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds"); // -1: refused
    const struct {
        const char* text;
        double seconds;
    } rows[] = {{"0", 0.0},  {"0.5", 0.5}, {" 2 ", 2.0}, {"10", 10.0}, {"10.5", -1}, {"-0.5", -1},
                {"1.3", -1}, {"abc", -1},  {"", -1},     {"2,5", -1},  {"inf", -1},  {"nan", -1}};
    for (const auto& row : rows)
        QTest::newRow(row.text) << QString::fromUtf8(row.text) << row.seconds;
}

void PlaybackAidsTest::backStepValues()
{
    QFETCH(QString, text);
    QFETCH(double, seconds);
    const std::optional<double> parsed = parseResumeBackStep(text);
    QCOMPARE(parsed.value_or(-1.0), seconds);
    if (parsed)
        QCOMPARE(parseResumeBackStep(resumeBackStepText(*parsed)), parsed);
}

void PlaybackAidsTest::loopKeyDecisions_data()
{
    QTest::addColumn<double>("marked"); // -1: nothing marked
    QTest::addColumn<bool>("looping");
    QTest::addColumn<double>("position");
    QTest::addColumn<LoopKeyAction>("action");
    QTest::newRow("first press") << -1.0 << false << 5.0 << LoopKeyAction::MarkStart;
    QTest::newRow("second press") << 5.0 << false << 8.0 << LoopKeyAction::SetLoop;
    QTest::newRow("just long enough") << 5.0 << false << 5.5 << LoopKeyAction::SetLoop;
    QTest::newRow("0.2 s") << 5.0 << false << 5.2 << LoopKeyAction::RefuseTooShort;
    QTest::newRow("same place") << 5.0 << false << 5.0 << LoopKeyAction::RefuseTooShort;
    QTest::newRow("stepped back before the start") << 5.0 << false << 2.0 << LoopKeyAction::SetLoop;
    QTest::newRow("third press") << -1.0 << true << 6.0 << LoopKeyAction::EndLoop;
}

void PlaybackAidsTest::loopKeyDecisions()
{
    QFETCH(double, marked);
    QFETCH(bool, looping);
    QFETCH(double, position);
    QFETCH(LoopKeyAction, action);
    const std::optional<double> start = marked < 0 ? std::nullopt : std::optional<double>(marked);
    QCOMPARE(decideLoopKey(start, looping, position), action);
}

void PlaybackAidsTest::backStepOnResume_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<double>("pausedAt");
    QTest::addColumn<double>("resumedAt");
    QTest::newRow("none set") << QByteArray() << 10.0 << 10.0;
    QTest::newRow("0 s") << QByteArray("resumeBackStep=0\r\n") << 10.0 << 10.0;
    QTest::newRow("2 s") << QByteArray("resumeBackStep=2\r\n") << 10.0 << 8.0;
    QTest::newRow("10 s") << QByteArray("resumeBackStep=10\r\n") << 15.0 << 5.0;
    QTest::newRow("half seconds") << QByteArray("resumeBackStep=1.5\r\n") << 10.0 << 8.5;
    QTest::newRow("near the start") << QByteArray("resumeBackStep=2\r\n") << 1.0 << 0.0;
}

void PlaybackAidsTest::backStepOnResume()
{
    QFETCH(QByteArray, entries);
    QFETCH(double, pausedAt);
    QFETCH(double, resumedAt);
    WindowUnderTest window;
    writeOptions(window, entries);
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    // Opened and not yet played: the first play starts where it is.
    press(window, Qt::Key_Space);
    QVERIFY(resumedFrom(player, 0.0));
    QVERIFY(window.pauseAt(pausedAt));
    press(window, Qt::Key_Space);
    QCOMPARE(player->playState(), int(PlayStatePlaying));
    QVERIFY(resumedFrom(player, resumedAt));
    // Pausing again leaves the position where playback was.
    QVERIFY(QTest::qWaitFor([&] { return player->currentPosition() > resumedAt + 0.2; }, kWaitMs));
    press(window, Qt::Key_Space);
    const double paused = player->currentPosition();
    QVERIFY(paused > resumedAt);
    QVERIFY(QTest::qWaitFor([&] { return player->currentPosition() == paused; }, kWaitMs));
    QVERIFY(window.desktop.texts().isEmpty());
}

void PlaybackAidsTest::markWhilePausedIsThePausePosition()
{
    WindowUnderTest window;
    writeOptions(window, "resumeBackStep=2\r\n");
    QVERIFY(window.show());
    window.loadRecording(60.0);
    QVERIFY(window.pauseAt(12.0));
    press(window, Qt::Key_Space);
    press(window, Qt::Key_Space); // paused again at 10 and a little
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    const double paused = player->currentPosition();
    QVERIFY(paused >= 10.0 && paused < 11.0);
    window->Timer1Timer();
    press(window, Qt::Key_F8);
    QCOMPARE(window.ui->Memo1->toPlainText(), QStringLiteral("-00:00:10-"));
    QCOMPARE(player->currentPosition(), paused);
}

void PlaybackAidsTest::stepsAndGoingToATimeAreUntouched()
{
    WindowUnderTest window;
    writeOptions(window, "resumeBackStep=2\r\n");
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QVERIFY(window.pauseAt(10.0));
    press(window, Qt::Key_F9); // the shipped step back is 3 s
    QCOMPARE(player->currentPosition(), 7.0);
    QVERIFY(window.pauseAt(10.0));
    window.ui->Edit3->setText(QStringLiteral("00:00:20"));
    window->Label9Click();
    QCOMPARE(player->currentPosition(), 20.0);
    // After the step, a pause and a resume step back as always.
    QVERIFY(window.pauseAt(30.0));
    press(window, Qt::Key_Space);
    QCOMPARE(player->currentPosition(), 28.0);
}

void PlaybackAidsTest::damagedBackStepIsToldOnce()
{
    WindowUnderTest window;
    writeOptions(window, "resumeBackStep=2s\r\n");
    QVERIFY(window.show());
    // Read once the window is up, for the listening aids: told then, and only then.
    QTRY_COMPARE_WITH_TIMEOUT(window.desktop.texts().size(), 1, kWaitMs);
    const QString told = window.desktop.texts().first();
    QVERIFY2(told.contains(QStringLiteral("resumeBackStep")) && told.contains(QStringLiteral("“2s”")),
             qPrintable(told));
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    for (int round = 0; round < 2; ++round) {
        QVERIFY(window.pauseAt(10.0));
        press(window, Qt::Key_Space);
        QVERIFY(resumedFrom(player, 10.0));
    }
    QVERIFY(window.desktop.texts().isEmpty());
}

void PlaybackAidsTest::loopKeyThreePresses()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    SeekBar* bar = seekBar(window);
    QVERIFY(pressLoopKeyAt(window, 5.0));
    QVERIFY(!player->loop());
    QCOMPARE(bar->loopStart(), std::optional<int>(50));
    QCOMPARE(bar->loopEnd(), std::nullopt);

    QVERIFY(pressLoopKeyAt(window, 6.5));
    QVERIFY(player->loop());
    QCOMPARE(player->loop()->start, 5.0);
    QCOMPARE(player->loop()->end, 6.5);
    QCOMPARE(player->currentPosition(), 5.0); // set at its end, the loop goes round at once
    QCOMPARE(bar->loopEnd(), std::optional<int>(65));
    QCOMPARE(bar->accessibleDescription(), QStringLiteral("循环播放 00:05 至 00:06"));

    // A go-to-time inside the loop keeps it, and playback comes round twice.
    window.ui->Edit3->setText(QStringLiteral("00:00:06"));
    window->Label9Click();
    QVERIFY(player->loop());
    QVERIFY(loopsRound(player, 5.0, 6.5, 2));

    press(window, Qt::Key_F7);
    QVERIFY(!player->loop());
    QCOMPARE(bar->loopStart(), std::nullopt);
    QVERIFY(QTest::qWaitFor([&] { return player->currentPosition() > 7.0; }, kWaitMs));
    QVERIFY(window.desktop.texts().isEmpty());
}

void PlaybackAidsTest::tooShortLoopIsRefused()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QVERIFY(pressLoopKeyAt(window, 5.0));
    QVERIFY(pressLoopKeyAt(window, 5.2));
    QCOMPARE(window.desktop.texts(), QStringList{kTooShort});
    QVERIFY(!player->loop());
    // The start stays marked: a press further on sets the loop from it.
    QVERIFY(pressLoopKeyAt(window, 7.0));
    QVERIFY(player->loop());
    QCOMPARE(player->loop()->start, 5.0);
}

void PlaybackAidsTest::loopAcrossTheEnd()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(4.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QVERIFY(pressLoopKeyAt(window, 2.5));
    press(window, Qt::Key_Space);
    // Played to the end, the end is the loop's end.
    QVERIFY(QTest::qWaitFor([&] { return player->playState() == PlayStateStopped; }, kWaitMs));
    press(window, Qt::Key_F7);
    QVERIFY(player->loop());
    QCOMPARE(player->loop()->end, 4.0);
    press(window, Qt::Key_Space);
    QVERIFY(resumedFrom(player, 2.5));
    QVERIFY(loopsRound(player, 2.5, 4.0, 2));
    QVERIFY(player->loop());
}

void PlaybackAidsTest::jumpOutOfTheLoopEndsIt_data()
{
    QTest::addColumn<double>("loopEnd"); // the loop runs from 5 s
    QTest::addColumn<QString>("jump");   // a key, or a time typed into the time box
    QTest::addColumn<double>("landing");
    QTest::newRow("F12 past its end") << 8.0 << u"F12"_qs << 10.0;
    QTest::newRow("F9 before its start") << 8.0 << u"F9"_qs << 2.0;
    // libmpv goes round from the loop's end at once: landing there is leaving it.
    QTest::newRow("F12 onto its very end") << 10.0 << u"F12"_qs << 10.0;
    QTest::newRow("a time typed at its very end") << 10.0 << u"00:00:10"_qs << 10.0;
}

// Every jump out of a loop ends it: playback goes on from where it landed,
// never pulled back into the loop, and the seek bar shows no loop.
void PlaybackAidsTest::jumpOutOfTheLoopEndsIt()
{
    QFETCH(double, loopEnd);
    QFETCH(QString, jump);
    QFETCH(double, landing);
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QVERIFY(pressLoopKeyAt(window, 5.0));
    QVERIFY(pressLoopKeyAt(window, loopEnd));
    QVERIFY(player->loop());
    if (jump == u"F12"_qs) {
        press(window, Qt::Key_F12); // 5 s on
    } else if (jump == u"F9"_qs) {
        press(window, Qt::Key_F9); // 3 s back
    } else {
        window.ui->Edit3->setText(jump);
        window->Label9Click();
    }
    QVERIFY(!player->loop());
    QCOMPARE(seekBar(window)->loopEnd(), std::nullopt);
    QVERIFY(QTest::qWaitFor([&] { return player->currentPosition() > landing + 0.3; }, kWaitMs));
    // The first press after it marks a new start.
    press(window, Qt::Key_F7);
    QVERIFY(!player->loop());
    QVERIFY(seekBar(window)->loopStart() > int(landing * 10));
}

void PlaybackAidsTest::backStepStaysInsideTheLoop()
{
    WindowUnderTest window;
    writeOptions(window, "resumeBackStep=2\r\n");
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QVERIFY(pressLoopKeyAt(window, 5.0));
    QVERIFY(pressLoopKeyAt(window, 9.0));
    QVERIFY(window.pauseAt(6.0));
    press(window, Qt::Key_Space);
    QCOMPARE(player->currentPosition(), 5.0);
    QVERIFY(player->loop());
}

void PlaybackAidsTest::dialogSavesAndTheNextStartReadsIt()
{
    QByteArray stored;
    {
        WindowUnderTest window;
        writeOptions(window, "noiseReduction=yes\r\n");
        QVERIFY(window.show());
        PlaybackOptionsDialog* dialog = &tavrin::test::WindowProbe::playbackOptionsDialog(*window);
        dialog->open();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // The damaged value is told once, and shown as off.
        QTRY_COMPARE_WITH_TIMEOUT(window.desktop.texts().size(), 1, kWaitMs);
        QVERIFY(window.desktop.texts().first().contains(QStringLiteral("noiseReduction")));
        QVERIFY(!dialog->noiseReduction->isChecked());
        dialog->resumeBackStep->setValue(2.5);
        QCOMPARE(dialog->wordLead->value(), 0.5); // none stored: half a second
        dialog->wordLead->setValue(1.5);
        dialog->voiceBand->setChecked(true);
        dialog->followPlayback->setChecked(true);
        // Tried at once, as the sound's options are.
        QVERIFY(tavrin::test::WindowProbe::workbench(*window).passageFollower().isOn());
        QTest::mouseClick(dialog->saveButton, Qt::LeftButton);
        QVERIFY(dialog->isHidden());
        QCOMPARE(window.desktop.texts().last(), QStringLiteral("更改设置成功!"));
        stored = tavrin::test::TempFolder::read(window.programFolder.filePath(QStringLiteral("Time.ini")));
        // The rest of the file is as it was.
        QVERIFY(stored.startsWith(shippedSettings() + kPlaybackHeader));
    }
    WindowUnderTest restarted;
    restarted.programFolder.write(QStringLiteral("Time.ini"), stored);
    QVERIFY(restarted.show());
    PlaybackOptionsDialog* dialog = &tavrin::test::WindowProbe::playbackOptionsDialog(*restarted);
    dialog->open();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->resumeBackStep->value(), 2.5);
    QCOMPARE(dialog->wordLead->value(), 1.5);
    QVERIFY(dialog->voiceBand->isChecked() && dialog->followPlayback->isChecked());
    QVERIFY(!dialog->volumeBoost->isChecked() && !dialog->noiseReduction->isChecked());
    QVERIFY(restarted.desktop.texts().isEmpty());
    QVERIFY(tavrin::test::WindowProbe::workbench(*restarted).passageFollower().isOn());
    dialog->reject();
    restarted.loadRecording(60.0);
    QVERIFY(restarted.pauseAt(10.0));
    press(restarted, Qt::Key_Space);
    QCOMPARE(restarted.ui->WindowsMediaPlayer1->currentPosition(), 7.5);
}

QTEST_MAIN(PlaybackAidsTest)
#include "playback_aids_test.moc"
