#include "playback/media_player.h"
#include "playback/video_view.h"
#include "support/temp_folder.h"
#include "support/video_clip.h"
#include "support/wav_file.h"

#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;

namespace {

constexpr int kWaitMs = 30000;

QString writeColourBlocks(const TempFolder& folder)
{
    const QString path = folder.filePath(QStringLiteral("blocks.mp4"));
    test::writeColourBlocks(path);
    return path;
}

MediaPlayer::Options silent()
{
    MediaPlayer::Options options;
    options.audioOutput = QStringLiteral("null");
    return options;
}

QColor middleOf(VideoView& view)
{
    const QImage frame = view.grabFramebuffer();
    return frame.pixelColor(frame.width() / 2, frame.height() / 2);
}

bool seekTo(MediaPlayer& player, double seconds)
{
    QSignalSpy restarted(&player, &MediaPlayer::playbackRestarted);
    player.setCurrentPosition(seconds);
    return restarted.count() > 0 || restarted.wait(kWaitMs);
}

} // namespace

class VideoViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aRecordingTellsWhetherItHasAPicture();
    void thePictureFollowsThePosition();
};

void VideoViewTest::aRecordingTellsWhetherItHasAPicture()
{
    TempFolder folder;
    const QString sound = folder.filePath(QStringLiteral("sound.wav"));
    test::writeWav(sound, 3.0);
    MediaPlayer player(silent());
    QSignalSpy told(&player, &MediaPlayer::videoChanged);
    player.setUrl(writeColourBlocks(folder));
    QVERIFY(player.hasVideo());
    player.setUrl(sound);
    QVERIFY(!player.hasVideo());
    QCOMPARE(told.count(), 2);
    QCOMPARE(told.first().first().toBool(), true);
    QCOMPARE(told.last().first().toBool(), false);
}

// Drawn by Mesa's software OpenGL on the test's own X display: red in the
// first block, blue after a seek into the second, and no picture decoded once
// the view is gone.
void VideoViewTest::thePictureFollowsThePosition()
{
    TempFolder folder;
    MediaPlayer player(silent());
    player.setUrl(writeColourBlocks(folder));
    QVERIFY(seekTo(player, 2.0));
    auto view = std::make_unique<VideoView>(player);
    QSignalSpy failed(view.get(), &VideoView::cannotDraw);
    view->resize(320, 240);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QTRY_VERIFY_WITH_TIMEOUT(view->isDrawing(), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(middleOf(*view).red() > 200 && middleOf(*view).blue() < 60, kWaitMs);
    QVERIFY(seekTo(player, 7.0));
    QTRY_VERIFY_WITH_TIMEOUT(middleOf(*view).blue() > 200 && middleOf(*view).red() < 60, kWaitMs);
    QVERIFY(failed.isEmpty());
    view.reset();
    QVERIFY(seekTo(player, 3.0)); // plays on as sound alone
}

QTEST_MAIN(VideoViewTest)
#include "video_view_test.moc"
