#include "controls/rate_spin_box.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 15000;
const QByteArray kSection = QByteArray("[\xCA\xB1\xBC\xE4]");
const QString kNothingLoaded = QStringLiteral("没有加载音视频文件或格式不正确！");

void writeSteps(WindowUnderTest& window, const QByteArray& entries)
{
    window.programFolder.write(QStringLiteral("Time.ini"), kSection + "\r\n" + entries);
}

} // namespace

class TransportCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void playPauseWithoutRecording();
    void playPauseCaptions();
    void steps_data();
    void steps();
    void stepLengthIsReadAtEveryPress();
    void quickPressesAddUp();
    void displayTexts_data();
    void displayTexts();
    void rateFollowsTheBox();
    void rateStepFromTheKeyboard_data();
    void rateStepFromTheKeyboard();
};

void TransportCommandsTest::playPauseWithoutRecording()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
    QCOMPARE(window.desktop.texts(), QStringList{kNothingLoaded});
    QCOMPARE(window.desktop.boxes.first().caption, QStringLiteral("Tavrin录音整理"));
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("播     放"));
    QVERIFY(!window.ui->Timer1->isActive());
    QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
}

void TransportCommandsTest::playPauseCaptions()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    window.ui->Timer1->stop(); // so that only the button switches it on below
    const struct {
        const char* caption;
        int state;
    } presses[] = {
        {"暂停", PlayStatePlaying}, {"继续", PlayStatePaused}, {"暂停", PlayStatePlaying}, {"继续", PlayStatePaused}};
    for (const auto& press : presses) {
        window.ui->Edit4->setFocus();
        QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
        QCOMPARE(window.ui->BitBtn4->text(), QString::fromUtf8(press.caption));
        QCOMPARE(player->playState(), press.state);
        QVERIFY(window.ui->Timer1->isActive());
        QCOMPARE(QApplication::focusWidget(), window.ui->Memo1);
    }
    // Paused by the button, then F9: playback resumes earlier, the caption stays.
    QVERIFY(window.pauseAt(10.0));
    QTest::mouseClick(window.ui->BitBtn7, Qt::LeftButton);
    QCOMPARE(player->currentPosition(), 7.0);
    QCOMPARE(player->playState(), int(PlayStatePlaying));
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("继续"));
    QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
    QCOMPARE(player->playState(), int(PlayStatePaused));
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("继续"));
    QTest::mouseClick(window.ui->BitBtn4, Qt::LeftButton);
    QCOMPARE(window.ui->BitBtn4->text(), QStringLiteral("暂停"));
}

void TransportCommandsTest::steps_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<bool>("back"); // F9, else F12
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to"); // where playback goes; -1: nowhere
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("F9 by 3") << QByteArray("shijian2=3\r\n") << true << 10.0 << 7.0 << QString();
    QTest::newRow("F9 past the start") << QByteArray("shijian2=5\r\n") << true << 3.0 << 0.0 << QString();
    QTest::newRow("F9 negative moves forward") << QByteArray("shijian2=-5\r\n") << true << 10.0 << 15.0 << QString();
    QTest::newRow("F9 zero stays") << QByteArray("shijian2=0\r\n") << true << 10.0 << 10.0 << QString();
    QTest::newRow("F12 by 5") << QByteArray("shijian1=5\r\n") << false << 10.0 << 15.0 << QString();
    QTest::newRow("F12 leading blank") << QByteArray("shijian1= 5\r\n") << false << 10.0 << 15.0 << QString();
    QTest::newRow("F12 hexadecimal") << QByteArray("shijian1=$A\r\n") << false << 10.0 << 20.0 << QString();
    QTest::newRow("F12 past the end") << QByteArray("shijian1=100\r\n") << false << 10.0 << 60.0 << QString();
    QTest::newRow("F12 not a number") << QByteArray("shijian1=5s\r\n") << false << 10.0 << -1.0
                                      << "'5s' is not a valid integer value.";
    QTest::newRow("F12 key missing") << QByteArray("shijian2=3\r\n") << false << 10.0 << -1.0
                                     << "'shijian1' is not a valid integer value.";
    QTest::newRow("F9 emptied") << QByteArray("shijian2=\r\n") << true << 10.0 << -1.0
                                << "'' is not a valid integer value.";
    QTest::newRow("F9 full-width digits") << QByteArray("shijian2=\xA3\xB3\r\n") << true << 10.0 << -1.0
                                          << QStringLiteral("'３' is not a valid integer value.");
    // clang-format on
}

void TransportCommandsTest::steps()
{
    QFETCH(QByteArray, entries);
    QFETCH(bool, back);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, message);
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    writeSteps(window, entries);
    QVERIFY(window.pauseAt(from));
    const QString caption = window.ui->BitBtn4->text();
    const bool timerOn = window.ui->Timer1->isActive();

    QTest::mouseClick(back ? window.ui->BitBtn7 : window.ui->BitBtn2, Qt::LeftButton);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    if (to < 0) {
        QCOMPARE(window.desktop.texts(), QStringList{message});
        QCOMPARE(window.desktop.boxes.first().icon, BoxIcon::Stop);
        QCOMPARE(player->currentPosition(), from);
        QCOMPARE(player->playState(), int(PlayStatePaused));
    } else {
        QVERIFY(window.desktop.boxes.isEmpty());
        QCOMPARE(player->currentPosition(), to);
        QTRY_VERIFY_WITH_TIMEOUT(player->playState() == PlayStatePlaying || player->currentPosition() == 60.0, kWaitMs);
    }
    QCOMPARE(window.ui->BitBtn4->text(), caption);
    QCOMPARE(window.ui->Timer1->isActive(), timerOn);
}

void TransportCommandsTest::stepLengthIsReadAtEveryPress()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    QVERIFY(window.pauseAt(20.0));
    window->BitBtn7Click(); // shipped: 3
    QCOMPARE(window.ui->WindowsMediaPlayer1->currentPosition(), 17.0);
    writeSteps(window, "shijian2=10\r\n"); // changed by another program meanwhile
    QVERIFY(window.pauseAt(17.0));
    window->BitBtn7Click();
    QCOMPARE(window.ui->WindowsMediaPlayer1->currentPosition(), 7.0);
}

void TransportCommandsTest::quickPressesAddUp()
{
    // Pressing F9 again before the player has caught up rewinds further, not
    // from a position the player has already left.
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(60.0);
    QVERIFY(window.pauseAt(40.0));
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    // Where each seek landed, read as it lands: playback goes on from there at once,
    // by however much a busy machine lets it before a later look.
    QList<double> landings;
    connect(player, &MediaPlayer::playbackRestarted, this, [&] { landings.append(player->currentPosition()); });
    for (int press = 0; press < 5; ++press)
        window->runCommand([&] { window->BitBtn7Click(); });
    QCOMPARE(player->currentPosition(), 25.0);
    QTRY_VERIFY_WITH_TIMEOUT(!landings.isEmpty() && landings.last() < 26.0, kWaitMs);
    QVERIFY2(landings.last() >= 25.0, qPrintable(QString::number(landings.last())));
}

void TransportCommandsTest::displayTexts_data()
{
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("position");
    QTest::addColumn<QString>("lengthText");
    QTest::addColumn<QString>("positionText");
    // clang-format off
    QTest::newRow("below an hour") << 205.0 << 123.0 << "00:03:25" << "00:02:03";
    QTest::newRow("above an hour") << 7200.0 << 3723.0 << "02:00:00" << "01:02:03";
    // clang-format on
}

void TransportCommandsTest::displayTexts()
{
    QFETCH(double, length);
    QFETCH(double, position);
    QFETCH(QString, lengthText);
    QFETCH(QString, positionText);
    WindowUnderTest window;
    QVERIFY(window.show());
    QCOMPARE(window.ui->Label1->text(), QStringLiteral("00:00:00"));
    window.loadRecording(length, QStringLiteral("long.wav"));
    QVERIFY(window.ui->Timer1->isActive());
    QVERIFY(window.pauseAt(position));
    QSignalSpy tick(window.ui->Timer1, &QTimer::timeout);
    QVERIFY(tick.wait(3000)); // the display refreshes once a second
    QCOMPARE(window.ui->Label6->text(), lengthText);
    QCOMPARE(window.ui->Label1->text(), positionText);
}

void TransportCommandsTest::rateFollowsTheBox()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(20.0);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    window.ui->RzSpinEdit1->setFocus();
    QTest::keyClick(window.ui->RzSpinEdit1, Qt::Key_Up);
    QCOMPARE(player->rate(), 1.1);
    QTest::keyClick(window.ui->RzSpinEdit1, Qt::Key_PageUp);
    QCOMPARE(player->rate(), 2.0);
    QTest::keyClick(window.ui->RzSpinEdit1, Qt::Key_PageDown);
    QCOMPARE(player->rate(), 1.0);
    QTest::keyClick(window.ui->RzSpinEdit1, Qt::Key_PageDown);
    QCOMPARE(player->rate(), 0.1);
    // The rate belongs to the run, not to the recording.
    window.loadRecording(10.0, QStringLiteral("other.wav"));
    QCOMPARE(player->rate(), 0.1);
    QCOMPARE(window.ui->RzSpinEdit1->value(), 0.1);
    QVERIFY(window.desktop.boxes.isEmpty());
}

void TransportCommandsTest::rateStepFromTheKeyboard_data()
{
    QTest::addColumn<int>("startTenths");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<double>("rate");
    // clang-format off
    QTest::newRow("five up from 1.0") << 10 << QList<int>(5, 1) << 1.5;
    QTest::newRow("ten up from 1.0 end at 2.0") << 10 << QList<int>(10, 1) << 2.0;
    QTest::newRow("up at 2.0 keeps 2.0") << 20 << QList<int>{1} << 2.0;
    QTest::newRow("down at 0.1 keeps 0.1") << 1 << QList<int>{-1} << 0.1;
    QTest::newRow("down and up") << 10 << QList<int>{-1, -1, 1} << 0.9;
    // clang-format on
}

void TransportCommandsTest::rateStepFromTheKeyboard()
{
    QFETCH(int, startTenths);
    QFETCH(QList<int>, steps);
    QFETCH(double, rate);
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(20.0);
    window.ui->RzSpinEdit1->setTenths(startTenths);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    player->setRate(1.7); // so that the step's own write shows, even where the box keeps its value
    for (int step : steps)
        window->stepRate(step);
    QCOMPARE(window.ui->RzSpinEdit1->value(), rate);
    QCOMPARE(window.ui->RzSpinEdit1->text(), QString::number(rate, 'f', 1));
    QCOMPARE(player->rate(), rate);
    QVERIFY(window.desktop.boxes.isEmpty());
}

QTEST_MAIN(TransportCommandsTest)
#include "transport_commands_test.moc"
