#include "player/media_player.h"
#include "support/temp_folder.h"
#include "support/video_clip.h"
#include "support/wav_file.h"
#include "video/software_video_view.h"
#include "video/video_view.h"

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

QColor middleOf(PictureView& view)
{
    const QImage frame = view.grabPicture();
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
    void thePictureFollowsThePosition_data();
    void thePictureFollowsThePosition();
    void softwareOpenGlIsKnown_data();
    void softwareOpenGlIsKnown();
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

void VideoViewTest::thePictureFollowsThePosition_data()
{
    QTest::addColumn<bool>("software");
    QTest::newRow("OpenGL") << false;
    QTest::newRow("libmpv's software renderer") << true;
}

// Drawn on the test's own X display (through Mesa's software OpenGL, or by
// libmpv's software renderer): red in the first block, blue after a seek into
// the second, and no picture decoded once the view is gone.
void VideoViewTest::thePictureFollowsThePosition()
{
    QFETCH(bool, software);
    TempFolder folder;
    MediaPlayer player(silent());
    player.setUrl(writeColourBlocks(folder));
    QVERIFY(seekTo(player, 2.0));
    std::unique_ptr<PictureView> view(software ? static_cast<PictureView*>(new SoftwareVideoView(player))
                                               : new VideoView(player));
    QSignalSpy failed(&view->notices(), &PictureNotices::cannotDraw);
    view->window()->resize(320, 240);
    view->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    QTRY_VERIFY_WITH_TIMEOUT(view->isDrawing(), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(middleOf(*view).red() > 200 && middleOf(*view).blue() < 60, kWaitMs);
    QVERIFY(seekTo(player, 7.0));
    QTRY_VERIFY_WITH_TIMEOUT(middleOf(*view).blue() > 200 && middleOf(*view).red() < 60, kWaitMs);
    QVERIFY(failed.isEmpty());
    view.reset();
    QVERIFY(seekTo(player, 3.0)); // plays on as sound alone
}

void VideoViewTest::softwareOpenGlIsKnown_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");
    QTest::newRow("Mesa's llvmpipe") << u"llvmpipe (LLVM 15.0.6, 256 bits)"_qs << true;
    QTest::newRow("Mesa's softpipe") << u"softpipe"_qs << true;
    QTest::newRow("Mesa's classic swrast") << u"Mesa X11 swrast"_qs << true;
    QTest::newRow("Windows' own") << u"GDI Generic Software Rasterizer"_qs << true;
    QTest::newRow("Intel") << u"Mesa Intel(R) UHD Graphics 620 (KBL GT2)"_qs << false;
    QTest::newRow("AMD, built with LLVM too")
        << u"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)"_qs << false;
    QTest::newRow("NVIDIA") << u"NVIDIA GeForce GTX 1650/PCIe/SSE2"_qs << false;
}

void VideoViewTest::softwareOpenGlIsKnown()
{
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    QCOMPARE(isSoftwareRenderer(renderer.toUtf8()), software);
}

QTEST_MAIN(VideoViewTest)
#include "video_view_test.moc"
