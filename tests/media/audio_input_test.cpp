// A recording opened for decoding: a length its header tells beyond belief is
// taken as not told, only a regular file is opened, and a file's name is never
// read as another of FFmpeg's protocols.
#include "media/audio_input.h"
#include "support/hostile_recordings.h"
#include "support/temp_folder.h"
#include "support/wav_file.h"
#include "support/within.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

constexpr int kPromptlyMs = 10000;

// What AudioInput::open made of `path`: -1 when it opened nothing, else the length.
// The work owns its copies, since a blocked open outlives the call.
bool openWithin(const QString& path, double* duration)
{
    auto result = std::make_shared<double>(-2);
    const bool returned = returnsWithin(kPromptlyMs, [path, result] {
        const std::atomic<bool> goOn{false};
        const std::optional<AudioInput> input = AudioInput::open(path, goOn);
        *result = input ? input->durationSeconds : -1;
    });
    *duration = *result;
    return returned;
}

} // namespace

class AudioInputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aLengthBeyondBeliefIsNotTold_data();
    void aLengthBeyondBeliefIsNotTold();
    void onlyARegularFileIsOpened_data();
    void onlyARegularFileIsOpened();
    void aNameIsNeverTakenForAnotherProtocol();

private:
    TempFolder folder_;
};

void AudioInputTest::aLengthBeyondBeliefIsNotTold_data()
{
    QTest::addColumn<double>("claimed");
    QTest::addColumn<double>("told");
    QTest::newRow("five seconds, as they are") << 5.0 << 5.0;
    QTest::newRow("ten hours") << 36000.0 << 36000.0;
    QTest::newRow("1e13 seconds") << 9e12 << 0.0;
    QTest::newRow("just beyond the longest believed") << kLongestBelievableSeconds + 3600 << 0.0;
}

void AudioInputTest::aLengthBeyondBeliefIsNotTold()
{
    QFETCH(double, claimed);
    QFETCH(double, told);
    const QString path = writeLyingLengthRecording(folder_.path(), 5.0, claimed);
    double duration = 0;
    QVERIFY(openWithin(path, &duration));
    QVERIFY2(std::abs(duration - told) < 0.01, qPrintable(QString::number(duration)));
}

void AudioInputTest::onlyARegularFileIsOpened_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a named pipe, which would block the open") << QStringLiteral("pipe");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("not there") << QStringLiteral("missing");
    QTest::newRow("a link to a recording, named by the user: followed") << QStringLiteral("link");
}

void AudioInputTest::onlyARegularFileIsOpened()
{
    QFETCH(QString, kind);
    const QString path = folder_.filePath(kind + QStringLiteral(".wav"));
    if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("link")) {
        writeWav(folder_.filePath(QStringLiteral("target.wav")), 2.0);
        QVERIFY(QFile::link(folder_.filePath(QStringLiteral("target.wav")), path));
    }
    double duration = 0;
    QVERIFY2(openWithin(path, &duration), "the open blocked");
    if (kind == QLatin1String("link"))
        QVERIFY(std::abs(duration - 2.0) < 0.01);
    else
        QCOMPARE(duration, -1.0);
}

// FFmpeg reads "pipe:0" as the standard input and "http:..." as a web address:
// a file of such a name, given relative to the working folder, is still the file.
void AudioInputTest::aNameIsNeverTakenForAnotherProtocol()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder_.path()));
    writeWav(folder_.filePath(QStringLiteral("pipe:0")), 3.0);
    double duration = 0;
    const bool returned = openWithin(QStringLiteral("pipe:0"), &duration);
    QDir::setCurrent(before);
    QVERIFY2(returned, "the open blocked");
    QVERIFY2(std::abs(duration - 3.0) < 0.01, qPrintable(QString::number(duration)));
}

QTEST_GUILESS_MAIN(AudioInputTest)
#include "audio_input_test.moc"
