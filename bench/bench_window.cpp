#include "bench_window.h"

#include "editor/transcript_edit.h"

#include <QFile>
#include <QTest>

namespace tavrin::bench {

BenchWindow::BenchWindow()
{
    QFile settings(programFolder.filePath(QStringLiteral("Time.ini")));
    if (!settings.open(QIODevice::WriteOnly)
        || settings.write("[\xCA\xB1\xBC\xE4]\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n") < 0)
        qFatal("cannot write the settings file");
    settings.close();
    TMainForm1::Environment environment;
    environment.desktop = &desktop;
    environment.programFolder = programFolder.path();
    environment.player.audioOutput = QStringLiteral("null");
    window = std::make_unique<TMainForm1>(environment);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the window did not show");
    window->Memo1->setFocus();
}

void BenchWindow::loadRecording(const QString& path)
{
    desktop.filesToChoose = {path};
    window->N8Click();
    if (window->WindowsMediaPlayer1->url() != path)
        qFatal("cannot load %s", qPrintable(path));
    desktop.boxes.clear();
}

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0.0;
}

QString writeShortRecording(const QString& folder)
{
    const QString path = folder + QStringLiteral("/short.wav");
    const int rate = 8000;
    const int samples = rate * 5;
    QByteArray wav("RIFF");
    auto put32 = [&wav](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&wav](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    put32(36 + samples * 2);
    wav.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    wav.append("data");
    put32(samples * 2);
    wav.append(QByteArray(samples * 2, '\0'));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace tavrin::bench
