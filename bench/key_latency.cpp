// From a key pressed in the editor to the player having taken the command,
// against libmpv driven directly on the same recording.
#include "bench_keys.h"
#include "busy_waveform.h"

#include "controls/rate_spin_box.h"
#include "editor/transcript_edit.h"
#include "player/libmpv_loader.h"
#include "speech/draft_process.h"
#include "waveform/waveform_builder.h"

#include <QTest>

namespace tavrin::bench {

namespace {

void stepKey(BenchWindow& window, const char* figure, int key, double step, int repetitions)
{
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    std::vector<double> times;
    double worstMiss = 0.0;
    for (int i = 0; i < repetitions; ++i) {
        const double from = 4000.0 + 37.0 * i;
        pauseAt(player, from);
        double landed = NAN;
        times.push_back(keyToSeek(window, key, landed));
        const double miss = std::abs(landed - (from + step)) * 1000.0;
        worstMiss = std::isnan(miss) ? miss : std::max(worstMiss, miss); // a landing never reported shows
    }
    report((std::string(figure) + " median").c_str(), median(times));
    report((std::string(figure) + " p95").c_str(), percentile95(times));
    report((std::string(figure) + " landing off target").c_str(), worstMiss);
}

// libmpv alone: a handle on the same file, commands sent and events awaited directly.
struct DirectLibMpv {
    const LibMpv& mpv = loadLibMpv();
    mpv_handle* handle = mpv.create();

    explicit DirectLibMpv(const QString& recording)
    {
        mpv.setOptionString(handle, "ao", "null");
        mpv.setOptionString(handle, "vid", "no");
        mpv.setOptionString(handle, "vo", "null");
        mpv.setOptionString(handle, "keep-open", "yes");
        mpv.setOptionString(handle, "hr-seek", "yes");
        mpv.setOptionString(handle, "pause", "yes");
        mpv.initialize(handle);
        mpv.observeProperty(handle, 1, "pause", MPV_FORMAT_FLAG);
        const QByteArray file = recording.toUtf8();
        const char* load[] = {"loadfile", file.constData(), nullptr};
        mpv.command(handle, load);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
    }

    ~DirectLibMpv() { mpv.terminateDestroy(handle); }

    void waitFor(mpv_event_id wanted)
    {
        for (;;) {
            const mpv_event* event = mpv.waitEvent(handle, 10.0);
            if (event->event_id == wanted || event->event_id == MPV_EVENT_NONE)
                return;
        }
    }

    double seek(double seconds)
    {
        const QByteArray target = QByteArray::number(seconds, 'f', 3);
        const char* args[] = {"seek", target.constData(), "absolute+exact", nullptr};
        return millisecondsOf([&] {
            mpv.command(handle, args);
            waitFor(MPV_EVENT_PLAYBACK_RESTART);
        });
    }

    double setPause(bool pause)
    {
        int flag = pause ? 1 : 0;
        return millisecondsOf([&] {
            mpv.setProperty(handle, "pause", MPV_FORMAT_FLAG, &flag);
            waitFor(MPV_EVENT_PROPERTY_CHANGE);
        });
    }
};

} // namespace

// The window's own keys with a waveform computing beside them, against the same
// keys just before, from the same state, with none computing.
void whileTheWaveformComputes(BenchWindow& window, const QString& recording, int repetitions)
{
    report("keystroke median, no waveform computing", median(typing(window, repetitions * 4)));
    stepKey(window, "F9 step back, no waveform computing", Qt::Key_F9, -3.0, repetitions);
    {
        BusyWaveform busy(window, recording);
        settle(300); // past its first quick pass
        stepKey(window, "F9 step back while a waveform computes", Qt::Key_F9, -3.0, repetitions);
        report("keystroke median, a waveform computing", median(typing(window, repetitions * 4)));
    }
}

// The same with the first draft's helper drafting `speech` beside them.
void whileTheDraftRuns(BenchWindow& window, const QString& speech, int repetitions)
{
    report("keystroke median, no draft running", median(typing(window, repetitions * 4)));
    stepKey(window, "F9 step back, no draft running", Qt::Key_F9, -3.0, repetitions);
    DraftProcess draft({programFile(QStringLiteral("tavrin-draft")), programFile(QStringLiteral("speech-engine"))});
    bool running = false;
    QObject::connect(&draft, &DraftProcess::progressed, [&] { running = true; });
    DraftRequest marksAlone;
    marksAlone.recording = speech;
    draft.start(marksAlone);
    if (!QTest::qWaitFor([&] { return running; }, 30000))
        qFatal("the draft did not start");
    stepKey(window, "F9 step back while a draft runs", Qt::Key_F9, -3.0, repetitions);
    report("keystroke median, a draft running", median(typing(window, repetitions * 4)));
    if (!draft.isRunning())
        qFatal("the draft ended before the keys were measured: give it a longer recording");
    draft.cancel();
}

int runKeyLatency(const QString& recording, int repetitions, const QString& speech)
{
    BenchWindow window;
    window.loadRecording(recording);
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    // The window's own waveform of the recording done, so that the figures below are of an idle program.
    if (!QTest::qWaitFor([&] { return test::WindowProbe::waveforms(*window.window).envelope().isComplete(); }, 60000))
        qFatal("the window's waveform was not done within a minute");

    std::vector<double> toggles;
    for (int i = 0; i < repetitions * 2; ++i)
        toggles.push_back(millisecondsUntil(player, &MediaPlayer::pausedChanged, [&] {
            pressKey(window.ui->Memo1, Qt::Key_Space, {}, QStringLiteral(" "));
        }));
    report("Space play/pause median", median(toggles));
    report("Space play/pause p95", percentile95(toggles));
    player->pause();

    stepKey(window, "F9 step back", Qt::Key_F9, -3.0, repetitions);
    stepKey(window, "F12 step forward", Qt::Key_F12, 5.0, repetitions);

    std::vector<double> marks;
    for (int i = 0; i < repetitions; ++i)
        marks.push_back(millisecondsOf([&] { pressKey(window.ui->Memo1, Qt::Key_F8); }));
    report("F8 time mark median", median(marks));

    std::vector<double> rates;
    for (int i = 0; i < repetitions; ++i) {
        window.ui->RzSpinEdit1->setTenths(10);
        player->setRate(1.0);
        settle(20);
        rates.push_back(millisecondsUntil(player, &MediaPlayer::rateChanged,
                                          [&] { pressKey(window.ui->Memo1, Qt::Key_Up, Qt::ControlModifier); }));
    }
    report("Ctrl+Up rate median", median(rates));
    window.ui->RzSpinEdit1->setTenths(10); // back at 1.0, as the figures before
    player->setRate(1.0);
    whileTheWaveformComputes(window, recording, repetitions);
    if (!speech.isEmpty())
        whileTheDraftRuns(window, speech, repetitions);

    DirectLibMpv direct(recording);
    std::vector<double> seeks;
    std::vector<double> pauses;
    for (int i = 0; i < repetitions; ++i) {
        seeks.push_back(direct.seek(4000.0 + 37.0 * i));
        pauses.push_back(direct.setPause(i % 2 != 0));
    }
    report("direct libmpv seek median", median(seeks));
    report("direct libmpv pause median", median(pauses));
    return 0;
}

} // namespace tavrin::bench
