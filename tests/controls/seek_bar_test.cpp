#include "controls/player_controls.h"
#include "controls/seek_bar.h"
#include "editor/transcript_edit.h"
#include "support/window_under_test.h"

#include <QtTest>

#include <cmath>

using namespace tavrin;
using tavrin::test::TempFolder;
using tavrin::test::WindowUnderTest;

namespace {

constexpr int kWaitMs = 20000;

SeekBar* seekBar(WindowUnderTest& window)
{
    return window.ui->PlayerControls1->findChild<SeekBar*>();
}

QPoint pointAt(SeekBar* bar, double seconds)
{
    return {bar->pixelOf(int(std::lround(seconds * SeekBar::kUnitsPerSecond))), bar->height() / 2};
}

} // namespace

class SeekBarTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clickPlaysFromThere_data();
    void clickPlaysFromThere();
    void ticksFollowTheTextAndTakeCaretAndPlayback();
    void waveformShowsWhereTheSoundIs();
};

void SeekBarTest::clickPlaysFromThere_data()
{
    QTest::addColumn<double>("fraction");
    QTest::newRow("a quarter") << 0.25;
    QTest::newRow("three quarters") << 0.75;
    QTest::newRow("the start") << 0.0;
}

void SeekBarTest::clickPlaysFromThere()
{
    QFETCH(double, fraction);
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(80.0);
    SeekBar* bar = seekBar(window);
    QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() > 0, kWaitMs);
    QVERIFY(window.pauseAt(40.0));
    QTest::mouseClick(bar, Qt::LeftButton, {}, pointAt(bar, 80.0 * fraction));
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    // One pixel of the bar is a fraction of a second of this recording.
    const double pixel = 80.0 / bar->width();
    QTRY_VERIFY2_WITH_TIMEOUT(std::abs(player->currentPosition() - 80.0 * fraction) <= 2 * pixel + 0.1,
                              qPrintable(QString::number(player->currentPosition())), kWaitMs);
}

void SeekBarTest::ticksFollowTheTextAndTakeCaretAndPlayback()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    window.loadRecording(120.0);
    TranscriptEdit* editor = window.ui->Memo1;
    editor->setPlainText(QStringLiteral("开头-00:00:30-第一段\n-00:01:30-第二段 -99:99:99- -00:00:30-"));
    SeekBar* bar = seekBar(window);
    QTRY_COMPARE_WITH_TIMEOUT(bar->markTicks(), (QList<int>{30, 90}), kWaitMs);
    // Typed in, a mark gets its tick.
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral("-00:01:00-"));
    QTRY_COMPARE_WITH_TIMEOUT(bar->markTicks(), (QList<int>{30, 60, 90}), kWaitMs);

    editor->moveCursor(QTextCursor::Start);
    QTest::mouseClick(bar, Qt::LeftButton, {}, pointAt(bar, 90.0));
    QCOMPARE(editor->textCursor().selectedText(), QStringLiteral("00:01:30"));
    QCOMPARE(editor->textCursor().selectionStart(), 17);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(player->currentPosition() - 90.0) < 0.5, kWaitMs);
    QVERIFY(window.desktop.texts().isEmpty());
    // Two marks at 30 s: picked again, the tick walks on to the next.
    QTest::mouseClick(bar, Qt::LeftButton, {}, pointAt(bar, 30.0));
    QCOMPARE(editor->textCursor().selectionStart(), 42);
    editor->moveCursor(QTextCursor::Start);
    QTest::mouseClick(bar, Qt::LeftButton, {}, pointAt(bar, 30.0));
    QCOMPARE(editor->textCursor().selectionStart(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(player->currentPosition() - 30.0) < 0.5, kWaitMs);
}

// Silence but for a loud tone from 10 s to 12 s: the bar is drawn only there.
void SeekBarTest::waveformShowsWhereTheSoundIs()
{
    WindowUnderTest window;
    QVERIFY(window.show());
    constexpr int kRate = 8000;
    QByteArray samples;
    for (int i = 0; i < 20 * kRate; ++i) {
        const bool loud = i >= 10 * kRate && i < 12 * kRate;
        tavrin::test::appendSample(samples, loud ? qint16(20000 * std::sin(i * 0.7)) : qint16(0));
    }
    const QString path = window.recordings.filePath(QStringLiteral("tone.wav"));
    TempFolder::writeAt(path, tavrin::test::wavHeader(kRate, 1, quint32(samples.size())) + samples);
    window.desktop.filesToChoose = {path};
    window.ui->N8->trigger();
    SeekBar* bar = seekBar(window);
    QTRY_VERIFY_WITH_TIMEOUT(bar->envelope().isComplete(), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() > 0, kWaitMs);
    const QImage picture = bar->grab().toImage();
    const QColor background = bar->palette().color(QPalette::Base);
    const auto drawnIn = [&](double seconds) {
        const int x = pointAt(bar, seconds).x();
        int drawn = 0;
        for (int y = 0; y < picture.height(); ++y)
            drawn += picture.pixelColor(x, y) != background;
        return drawn;
    };
    QVERIFY2(drawnIn(11.0) > picture.height() / 2, qPrintable(QString::number(drawnIn(11.0))));
    for (const double silent : {5.0, 8.0, 14.0, 18.0})
        QCOMPARE(drawnIn(silent), 0);
}

QTEST_MAIN(SeekBarTest)
#include "seek_bar_test.moc"
