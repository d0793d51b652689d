#include "controls/rate_spin_box.h"
#include "player/media_player.h"
#include "support/temp_folder.h"
#include "support/wav_file.h"
#include "workbench/transport_controller.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::writeWav;

namespace {

const QString kLayoutCaption = QStringLiteral("播     放");

// The controller on widgets of its own, with no window around it: what it
// needs is what its constructor asks for.
struct StandaloneTransport {
    TempFolder folder;
    QWidget strip;
    QPushButton* playButton = new QPushButton(kLayoutCaption, &strip);
    RateSpinBox* rateBox = new RateSpinBox(&strip);
    QLabel* position = new QLabel(&strip);
    QLabel* duration = new QLabel(&strip);
    QTimer refresh;
    QStringList messages;
    MediaPlayer player{silentPlayer()};
    TransportController transport{TransportWidgets{.playButton = playButton,
                                                   .rateBox = rateBox,
                                                   .position = position,
                                                   .duration = duration,
                                                   .displayRefresh = &refresh,
                                                   .typingArea = &strip},
                                  player, folder.path(), [this](const QString& text) { messages.append(text); }};

    static MediaPlayer::Options silentPlayer()
    {
        MediaPlayer::Options options;
        options.audioOutput = QStringLiteral("null");
        return options;
    }
};

} // namespace

class TransportControllerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingLoadedLeavesTheLastActionAlone();
    void lastActionFollowsThePresses();
};

void TransportControllerTest::nothingLoadedLeavesTheLastActionAlone()
{
    StandaloneTransport standalone;
    standalone.transport.playPause();
    QCOMPARE(standalone.messages, QStringList{QStringLiteral("没有加载音视频文件或格式不正确！")});
    QCOMPARE(standalone.transport.lastAction(), TransportController::LastAction::None);
    QCOMPARE(standalone.playButton->text(), kLayoutCaption);
    QVERIFY(!standalone.refresh.isActive());
}

void TransportControllerTest::lastActionFollowsThePresses()
{
    StandaloneTransport standalone;
    const QString wav = standalone.folder.filePath(QStringLiteral("recording.wav"));
    writeWav(wav, 30.0);
    standalone.player.setUrl(wav);
    using Action = TransportController::LastAction;
    const struct {
        Action action;
        const char* caption;
        int state;
    } presses[] = {{Action::Played, "暂停", PlayStatePlaying},
                   {Action::Paused, "继续", PlayStatePaused},
                   {Action::Played, "暂停", PlayStatePlaying}};
    for (const auto& press : presses) {
        standalone.transport.playPause();
        QCOMPARE(standalone.transport.lastAction(), press.action);
        QCOMPARE(standalone.playButton->text(), QString::fromUtf8(press.caption));
        QCOMPARE(standalone.player.playState(), press.state);
        QVERIFY(standalone.refresh.isActive());
    }
    QVERIFY(standalone.messages.isEmpty());
}

QTEST_MAIN(TransportControllerTest)
#include "transport_controller_test.moc"
