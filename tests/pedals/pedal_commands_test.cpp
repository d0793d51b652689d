#include "dialogs/pedal_options_dialog.h"
#include "editor/transcript_edit.h"
#include "pedals/pedal_source.h"
#include "support/window_under_test.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <linux/input.h>
#include <unistd.h>

#include <cmath>

using namespace tavrin;
using tavrin::test::shippedSettings;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 20000;
// The key codes of a three-pedal device, left to right.
const QList<int> kPedalCodes{BTN_0, BTN_1, BTN_2};
enum Pedal {
    Left,
    Middle,
    Right
};

// A pedal device of the test's: what is written to it comes out of the window's pedal source.
class PipedPedal {
public:
    explicit PipedPedal(WindowUnderTest& window, const QList<int>& codes = kPedalCodes)
        : codes_(codes)
    {
        int ends[2];
        if (pipe(ends) != 0)
            qFatal("no pipe");
        writeEnd_ = ends[1];
        window.pedalSource().addEventStream(ends[0], codes);
    }
    ~PipedPedal() { unplug(); }

    void press(Pedal pedal) { send(codes_[pedal], 1); }
    void release(Pedal pedal) { send(codes_[pedal], 0); }
    void pressKey(int code) { send(code, 1); }
    void releaseKey(int code) { send(code, 0); }
    void unplug()
    {
        if (writeEnd_ >= 0)
            close(writeEnd_);
        writeEnd_ = -1;
    }

private:
    void send(int code, int value)
    {
        const input_event events[] = {{{}, EV_KEY, quint16(code), value}, {{}, EV_SYN, SYN_REPORT, 0}};
        if (write(writeEnd_, events, sizeof events) != sizeof events)
            qFatal("the pedal's pipe took no events");
    }

    QList<int> codes_;
    int writeEnd_ = -1;
};

bool playing(WindowUnderTest& window)
{
    return window.ui->WindowsMediaPlayer1->playState() == PlayStatePlaying;
}

bool waitPlaying(WindowUnderTest& window, bool wanted)
{
    return QTest::qWaitFor([&] { return playing(window) == wanted; }, kWaitMs);
}

double position(WindowUnderTest& window)
{
    return window.ui->WindowsMediaPlayer1->currentPosition();
}

// The section 脚踏板 in GBK, then the 播放 section with a back-step of 2 s.
QByteArray settingsWith(const QByteArray& pedalEntries)
{
    return shippedSettings() + QByteArray("[\xBD\xC5\xCC\xA4\xB0\xE5]\r\n") + pedalEntries
        + QByteArray("[\xB2\xA5\xB7\xC5]\r\nresumeBackStep=2\r\n");
}

struct Ready {
    WindowUnderTest window;
    explicit Ready(const QByteArray& pedalEntries = {})
    {
        window.programFolder.write(QStringLiteral("Time.ini"), settingsWith(pedalEntries));
        if (!window.show())
            qFatal("the window did not show");
        window.loadRecording(120.0);
    }
};

} // namespace

class PedalCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void holdToPlayStepsBackOnEveryPress();
    void toggleModeAndSwappedRoles();
    void stepRepeatsWhileHeld_data();
    void stepRepeatsWhileHeld();
    void aFailingStepIsToldOnceWhileHeld();
    void twoPlayPedalsHeldTogether();
    void pulledOutWhileHeldLeavesPlaybackPaused();
    void keyboardLikePedalByItsNamedKeys();
    void nothingLoadedIsToldAsByTheButton();
    void dialogLightsThePedalAndSavesTheRoles();
    void passagePedalsMoveOncePerPress();
};

void PedalCommandsTest::holdToPlayStepsBackOnEveryPress()
{
    Ready ready;
    WindowUnderTest& window = ready.window;
    PipedPedal pedal(window);
    QVERIFY(window.pauseAt(30.0));
    pedal.press(Middle);
    QVERIFY(waitPlaying(window, true));
    QVERIFY2(std::abs(position(window) - 28.0) < 0.5, qPrintable(QString::number(position(window))));
    QVERIFY(QTest::qWaitFor([&] { return position(window) > 28.6; }, kWaitMs));
    pedal.release(Middle);
    QVERIFY(waitPlaying(window, false));
    const double paused = position(window);
    // Pressed again, the last two seconds are heard again.
    pedal.press(Middle);
    QVERIFY(waitPlaying(window, true));
    QVERIFY2(std::abs(position(window) - (paused - 2.0)) < 0.5, qPrintable(QString::number(position(window))));
    QVERIFY(window.desktop.texts().isEmpty());
    // The caption tells what the last press did, as after the button.
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("暂停"));
}

void PedalCommandsTest::toggleModeAndSwappedRoles()
{
    Ready ready("playMode=toggle\r\nleftPedal=play\r\nmiddlePedal=none\r\n");
    WindowUnderTest& window = ready.window;
    PipedPedal pedal(window);
    QVERIFY(window.pauseAt(30.0));
    pedal.press(Middle); // no role
    pedal.press(Left);
    pedal.release(Left);
    QVERIFY(waitPlaying(window, true));
    pedal.press(Left);
    QVERIFY(waitPlaying(window, false));
    pedal.release(Left);
    pedal.release(Middle);
    // Let go, nothing changes in this mode; the next press plays again.
    pedal.press(Left);
    QVERIFY(waitPlaying(window, true));
}

void PedalCommandsTest::stepRepeatsWhileHeld_data()
{
    QTest::addColumn<int>("pedal");
    QTest::addColumn<double>("step"); // seconds of one step, signed, as the shipped settings have them
    QTest::newRow("back") << int(Left) << -3.0;
    QTest::newRow("forward") << int(Right) << 5.0;
}

// Held, the step is taken at once and again every 0.4 s; let go, it stops.
void PedalCommandsTest::stepRepeatsWhileHeld()
{
    QFETCH(int, pedal);
    QFETCH(double, step);
    Ready ready;
    WindowUnderTest& window = ready.window;
    PipedPedal device(window);
    QVERIFY(window.pauseAt(60.0));
    // A step is a jump of the position by about its length; playing moves it far less between two looks.
    int steps = 0;
    double last = position(window);
    const auto countSteps = [&] {
        const double now = position(window);
        if (std::abs(now - last - step) < 1.0)
            ++steps;
        last = now;
    };
    device.press(Pedal(pedal));
    QVERIFY(QTest::qWaitFor(
        [&] {
            countSteps();
            return steps >= 3;
        },
        kWaitMs));
    device.release(Pedal(pedal));
    // Plays on from there, with no step more.
    const double letGo = position(window);
    QVERIFY(QTest::qWaitFor(
        [&] {
            countSteps();
            return position(window) > letGo + 1.5;
        },
        kWaitMs));
    QCOMPARE(steps, 3);
    QVERIFY(playing(window));
}

// The step back's length is damaged: held, its message comes once, while the
// forward pedal held beside it steps on and on.
void PedalCommandsTest::aFailingStepIsToldOnceWhileHeld()
{
    WindowUnderTest window;
    window.programFolder.write(QStringLiteral("Time.ini"),
                               QByteArray("[\xCA\xB1\xBC\xE4]\r\nshijian1=5\r\nshijian2=abc\r\n"));
    QVERIFY(window.show());
    window.loadRecording(120.0);
    PipedPedal pedal(window);
    QVERIFY(window.pauseAt(30.0));
    pedal.press(Left);
    QTRY_COMPARE_WITH_TIMEOUT(window.desktop.texts().size(), 1, kWaitMs);
    double last = position(window);
    int steps = 0;
    pedal.press(Right);
    QVERIFY(QTest::qWaitFor(
        [&] {
            const double now = position(window);
            if (std::abs(now - last - 5.0) < 1.0)
                ++steps;
            last = now;
            return steps >= 4;
        },
        kWaitMs));
    pedal.release(Right);
    pedal.release(Left);
    QCOMPARE(window.desktop.texts().size(), 1);
}

void PedalCommandsTest::twoPlayPedalsHeldTogether()
{
    Ready ready;
    WindowUnderTest& window = ready.window;
    PipedPedal first(window);
    PipedPedal second(window);
    QVERIFY(window.pauseAt(30.0));
    first.press(Middle);
    QVERIFY(waitPlaying(window, true));
    second.press(Middle);
    first.release(Middle);
    // Still held by the second: it plays on.
    QVERIFY(QTest::qWaitFor([&] { return position(window) > 29.5; }, kWaitMs));
    QVERIFY(playing(window));
    second.release(Middle);
    QVERIFY(waitPlaying(window, false));
}

void PedalCommandsTest::pulledOutWhileHeldLeavesPlaybackPaused()
{
    Ready ready;
    WindowUnderTest& window = ready.window;
    PipedPedal pedal(window);
    QVERIFY(QTest::qWaitFor([&] { return window.pedalSource().devicePaths().size() == 1; }, kWaitMs));
    QVERIFY(window.pauseAt(30.0));
    pedal.press(Middle);
    QVERIFY(waitPlaying(window, true));
    pedal.unplug();
    QVERIFY(waitPlaying(window, false));
    QVERIFY(QTest::qWaitFor([&] { return window.pedalSource().devicePaths().isEmpty(); }, kWaitMs));
    QVERIFY(window.desktop.texts().isEmpty());
}

// A footswitch that reports a whole keyboard: its pedals are the keys named in the settings.
void PedalCommandsTest::keyboardLikePedalByItsNamedKeys()
{
    Ready ready("pedalKeys=48,30,46\r\n"); // B, A, C
    WindowUnderTest& window = ready.window;
    QList<int> keyboard;
    for (int code = KEY_ESC; code <= KEY_SPACE; ++code)
        keyboard.append(code);
    PipedPedal pedal(window, keyboard);
    QVERIFY(window.pauseAt(30.0));
    pedal.pressKey(KEY_ESC); // the lowest code, no pedal now
    pedal.pressKey(KEY_A);   // the middle pedal
    QVERIFY(waitPlaying(window, true));
    pedal.releaseKey(KEY_A);
    QVERIFY(waitPlaying(window, false));
    pedal.releaseKey(KEY_ESC);
    QVERIFY(window.desktop.texts().isEmpty());
}

void PedalCommandsTest::nothingLoadedIsToldAsByTheButton()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    PipedPedal pedal(window);
    pedal.press(Middle);
    QTRY_COMPARE_WITH_TIMEOUT(window.desktop.texts().size(), 1, kWaitMs);
    pedal.release(Middle);
    window.ui->BitBtn4->click();
    QTRY_COMPARE_WITH_TIMEOUT(window.desktop.texts().size(), 2, kWaitMs);
    QCOMPARE(window.desktop.texts()[0], window.desktop.texts()[1]);
}

void PedalCommandsTest::dialogLightsThePedalAndSavesTheRoles()
{
    Ready ready;
    WindowUnderTest& window = ready.window;
    PipedPedal pedal(window);
    PedalOptionsDialog* dialog = &tavrin::test::WindowProbe::pedalOptionsDialog(*window);
    bool lit = false;
    bool played = false;
    bool unlit = false;
    // The dialog is modal: the pedal lights its field and plays nothing.
    QTimer::singleShot(0, dialog, [&] {
        pedal.press(Right);
        lit = QTest::qWaitFor([&] { return dialog->testRow[Right]->accessibleDescription() == u"踩下"; }, kWaitMs);
        played = playing(window);
        pedal.release(Right);
        unlit = QTest::qWaitFor([&] { return dialog->testRow[Right]->accessibleDescription() == u"松开"; }, kWaitMs);
        dialog->toggle->setChecked(true);
        dialog->roles[Right]->setCurrentIndex(dialog->roles[Right]->findText(QStringLiteral("播放")));
        dialog->saveButton->click();
    });
    window.ui->pedalOptionsAction->trigger();
    QVERIFY(lit);
    QVERIFY(unlit);
    QVERIFY(!played);
    QCOMPARE(window.desktop.texts(), QStringList{QStringLiteral("更改设置成功!")});
    const PedalOptions saved = readPedalOptions(window.programPath).options;
    QCOMPARE(saved.playMode, PedalPlayMode::Toggle);
    QCOMPARE(saved.roles[Right], PedalRole::Play);
    // In use at once: the right pedal now toggles.
    QVERIFY(window.pauseAt(30.0));
    pedal.press(Right);
    pedal.release(Right);
    QVERIFY(waitPlaying(window, true));
}

// The passage roles, chosen in the dialog: the caret and playback go together.
void PedalCommandsTest::passagePedalsMoveOncePerPress()
{
    Ready ready;
    WindowUnderTest& window = ready.window;
    PipedPedal pedal(window);
    PedalOptionsDialog* dialog = &tavrin::test::WindowProbe::pedalOptionsDialog(*window);
    QTimer::singleShot(0, dialog, [&] {
        dialog->roles[Left]->setCurrentIndex(dialog->roles[Left]->findText(QStringLiteral("上一段")));
        dialog->roles[Right]->setCurrentIndex(dialog->roles[Right]->findText(QStringLiteral("下一段")));
        dialog->saveButton->click();
    });
    window.ui->pedalOptionsAction->trigger();
    QCOMPARE(readPedalOptions(window.programPath).options.roles[Right], PedalRole::NextPassage);
    window.desktop.boxes.clear();
    window.ui->Memo1->setPlainText(QStringLiteral("-00:00:10-a\n-00:00:20-b\n-00:00:30-c"));
    const auto caret = [&] { return window.ui->Memo1->textCursor().position(); };

    pedal.press(Right);
    QTRY_COMPARE_WITH_TIMEOUT(caret(), 22, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(position(window), 20.0, kWaitMs);
    pedal.release(Right);
    pedal.press(Left);
    pedal.release(Left);
    QTRY_COMPARE_WITH_TIMEOUT(caret(), 10, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(position(window), 10.0, kWaitMs);

    // A passage looped, the loop goes with the pedals from passage to passage.
    QTest::keyClick(window.ui->Memo1, Qt::Key_F6);
    pedal.press(Right);
    pedal.release(Right);
    QTRY_COMPARE_WITH_TIMEOUT(caret(), 22, kWaitMs);
    const MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QVERIFY(player->loop());
    QCOMPARE(player->loop()->start, 20.0);
    QCOMPARE(player->loop()->end, 30.0);
    QTRY_VERIFY_WITH_TIMEOUT(position(window) > 20.5, kWaitMs);
    pedal.press(Left);
    pedal.release(Left);
    QTRY_COMPARE_WITH_TIMEOUT(caret(), 10, kWaitMs);
    QVERIFY(player->loop());
    QCOMPARE(player->loop()->start, 10.0);
    QCOMPARE(player->loop()->end, 20.0);
    QVERIFY(window.desktop.texts().isEmpty());
}

QTEST_MAIN(PedalCommandsTest)
#include "pedal_commands_test.moc"
