#include "editor/transcript_edit.h"
#include "support/video_clip.h"
#include "support/window_under_test.h"
#include "video/picture_view.h"
#include "video/video_window.h"
#include "workbench/video_controller.h"

#include <QAction>
#include <QtTest>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowProbe;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 30000;

struct VideoWindowUnderTest : WindowUnderTest {
    explicit VideoWindowUnderTest(const QString& stateFolder)
        : WindowUnderTest(true, u"Time.ini"_qs, QString(), stateFolder)
    {
        show();
    }

    VideoWindow& video() const { return WindowProbe::workbench(*window).video().window(); }

    QString loadVideo(test::Picture picture = test::Picture::Whole)
    {
        const QString path = recordings.filePath(u"访谈.mp4"_qs);
        test::writeColourBlocks(path, picture);
        desktop.filesToChoose = {path};
        ui->N8->trigger();
        desktop.boxes.clear();
        return path;
    }
};

bool redInTheMiddle(VideoWindow& window)
{
    if (!window.view() || !window.view()->isDrawing())
        return false;
    const QImage frame = window.view()->grabPicture();
    const QColor middle = frame.pixelColor(frame.width() / 2, frame.height() / 2);
    return middle.red() > 200 && middle.blue() < 60;
}

} // namespace

class VideoWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensForAPictureAndHandsKeysToTheEditor();
    void audioOnlyOpensNoWindow();
    void keepsItsPlaceBetweenRuns();
    void takesThePicturesShape();
    void aBrokenPictureIsToldInTheWindow();
};

void VideoWindowTest::opensForAPictureAndHandsKeysToTheEditor()
{
    VideoWindowUnderTest window{QString()};
    window.loadVideo();
    VideoWindow& video = window.video();
    QVERIFY(video.isVisible());
    QCOMPARE(video.windowTitle(), u"访谈.mp4"_qs);
    QVERIFY(window.pauseAt(2.0));
    QTRY_VERIFY_WITH_TIMEOUT(redInTheMiddle(video), kWaitMs);

    QTest::keyClick(&video, Qt::Key_A, {});                 // typed into the editor
    QTest::keyClick(video.view()->window(), Qt::Key_B, {}); // into the picture's own window too
    QTRY_COMPARE_WITH_TIMEOUT(window.ui->Memo1->toPlainText(), u"ab"_qs, kWaitMs);
    QTest::keyClick(&video, Qt::Key_Space); // the play key, as in the editor
    QTRY_COMPARE_WITH_TIMEOUT(window.ui->WindowsMediaPlayer1->playState(), int(PlayStatePlaying), kWaitMs);

    video.close(); // hidden; playback goes on and no picture is decoded
    QVERIFY(!video.isVisible());
    QVERIFY(!video.hasPicture());
    QCOMPARE(window.ui->WindowsMediaPlayer1->playState(), int(PlayStatePlaying));
    window.ui->videoWindowAction->trigger();
    QVERIFY(video.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(video.view() && video.view()->isDrawing(), kWaitMs);
}

void VideoWindowTest::audioOnlyOpensNoWindow()
{
    VideoWindowUnderTest window{QString()};
    window.loadVideo();
    QVERIFY(window.video().isVisible());
    window.loadRecording(3.0); // a WAV: the window goes
    QVERIFY(!window.video().isVisible());
    QVERIFY(!window.video().hasPicture());
    window.ui->videoWindowAction->trigger();
    QVERIFY(!window.video().isVisible());
    QCOMPARE(window.desktop.texts(), QStringList{u"这个录音没有画面。"_qs});
}

void VideoWindowTest::keepsItsPlaceBetweenRuns()
{
    TempFolder state;
    QRect placed;
    {
        VideoWindowUnderTest window(state.path());
        window.loadVideo();
        window.video().setGeometry(QRect(120, 90, 400, 300));
        placed = window.video().geometry();
        window.ui->videoOnTopAction->setChecked(true);
        QVERIFY(window.video().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        window.video().close();
    }
    VideoWindowUnderTest restarted(state.path());
    restarted.loadVideo();
    QTRY_COMPARE_WITH_TIMEOUT(restarted.video().geometry().size(), placed.size(), kWaitMs);
    QVERIFY(restarted.video().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void VideoWindowTest::takesThePicturesShape()
{
    VideoWindowUnderTest window{QString()};
    window.loadVideo();
    VideoWindow& video = window.video();
    QTRY_COMPARE_WITH_TIMEOUT(video.size(), QSize(640, 480), kWaitMs); // 4:3, from a 16:9 first size
    video.resize(800, 500);                                            // dragged wider
    QTRY_COMPARE_WITH_TIMEOUT(video.size(), QSize(800, 600), kWaitMs);
    video.resize(800, 300); // dragged lower
    QTRY_COMPARE_WITH_TIMEOUT(video.size(), QSize(400, 300), kWaitMs);
}

void VideoWindowTest::aBrokenPictureIsToldInTheWindow()
{
    VideoWindowUnderTest window{QString()};
    window.loadVideo(test::Picture::Broken);
    VideoWindow& video = window.video();
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QTRY_VERIFY_WITH_TIMEOUT(video.view() && video.view()->isDrawing(), kWaitMs);
    QTest::keyClick(window.ui->Memo1, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!video.problem().isEmpty(), kWaitMs);
    QCOMPARE(video.problem(), u"无法显示画面：视频画面无法解码\n声音照常播放。"_qs);
    // The sound plays on, heard by then for the two seconds the window waited.
    QCOMPARE(player->playState(), int(PlayStatePlaying));
    QVERIFY(player->currentPosition() >= 2.0);
    QVERIFY(window.desktop.boxes.isEmpty());
    QVERIFY(window.ui->Memo1->hasFocus());
}

QTEST_MAIN(VideoWindowTest)
#include "video_window_test.moc"
