#include "bench_window.h"

#include "app/first_paint.h"
#include "editor/transcript_edit.h"
#include "support/wav_file.h"

#include <QFile>
#include <QTest>
#include <QTimer>

namespace tavrin::bench {

BenchWindow::BenchWindow(const QString& stateFolder, const MediaPlayer::Options& player)
{
    QFile settings(programFolder.filePath(QStringLiteral("Time.ini")));
    if (!settings.open(QIODevice::WriteOnly)
        || settings.write("[\xCA\xB1\xBC\xE4]\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n") < 0)
        qFatal("cannot write the settings file");
    settings.close();
    TMainForm1::Environment environment;
    environment.desktop = &desktop;
    environment.settingsFolder = programFolder.path();
    environment.player = player;
    environment.stateFolder = stateFolder;
    // The user's cache is not the bench's: every run computes its waveforms afresh.
    environment.waveformCacheFolder = programFolder.filePath(QStringLiteral("waveforms"));
    window = std::make_unique<TMainForm1>(environment);
    ui = &test::WindowProbe::controls(*window);
    // Installed after the window's own, this runs first; what it queues runs after
    // the window's start-up work (recovering unsaved text), so figures exclude it.
    whenFirstPainted(window.get(), [this] { QTimer::singleShot(0, window.get(), [this] { startWorkDone = true; }); });
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()) || !QTest::qWaitFor([this] { return startWorkDone; }, 30000))
        qFatal("the window did not show");
    ui->Memo1->setFocus();
}

void BenchWindow::loadRecording(const QString& path)
{
    desktop.filesToChoose = {path};
    window->N8Click();
    if (ui->WindowsMediaPlayer1->url() != path)
        qFatal("cannot load %s", qPrintable(path));
    desktop.boxes.clear();
}

QString writeShortRecording(const QString& folder)
{
    const QString path = folder + QStringLiteral("/short.wav");
    test::writeWav(path, 5.0);
    return path;
}

} // namespace tavrin::bench
