#include "helper_runs.h"

#include "support/child_run.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace tavrin::test {

HelperRun runHelper(const QString& engineFolder, const QString& recording, const QString& modelFolder)
{
    QProcess helper;
    QStringList arguments{QStringLiteral("--engine"), engineFolder};
    if (!modelFolder.isEmpty())
        arguments << QStringLiteral("--model") << modelFolder;
    helper.start(QStringLiteral(TAVRIN_DRAFT_HELPER), arguments << recording);
    HelperRun run;
    if (!helper.waitForFinished(kHelperWaitMs))
        return run;
    run.status = helper.exitStatus();
    run.exitCode = helper.exitCode();
    run.errors = helper.readAllStandardError();
    if (!run.errors.isEmpty())
        qDebug("the helper's error output: %s", run.errors.constData());
    while (helper.canReadLine()) {
        const QByteArray line = helper.readLine();
        const std::optional<DraftEvent> event = decodeDraftEvent(line);
        if (!event)
            qWarning("not an event: %s", line.constData());
        else
            run.events.push_back(*event);
    }
    return run;
}

std::vector<DraftEvent> ofKind(const std::vector<DraftEvent>& events, DraftEvent::Kind kind)
{
    std::vector<DraftEvent> found;
    std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                 [&](const DraftEvent& event) { return event.kind == kind; });
    return found;
}

QString engineWithModel(const QTemporaryDir& folder, const QByteArray& model)
{
    const QDir real(QStringLiteral(TAVRIN_SPEECH_ENGINE));
    for (const char* library : {"libsherpa-onnx-c-api.so", "libonnxruntime.so"})
        QFile::link(real.filePath(QLatin1String(library)), folder.filePath(QLatin1String(library)));
    QFile file(folder.filePath(QStringLiteral("silero_vad.onnx")));
    if (!file.open(QIODevice::WriteOnly) || file.write(model) != model.size())
        qFatal("cannot write the model");
    return folder.path();
}

QByteArray realModelStart(qint64 bytes)
{
    QFile model(QDir(QStringLiteral(TAVRIN_SPEECH_ENGINE)).filePath(QStringLiteral("silero_vad.onnx")));
    if (!model.open(QIODevice::ReadOnly))
        qFatal("the voice detector's model is missing: run scripts/setup");
    return model.read(bytes);
}

bool isPlainText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8.decode(bytes));
    return !utf8.hasError() && std::none_of(bytes.begin(), bytes.end(), [](char c) {
        return (uchar(c) < 0x20 && c != '\n' && c != '\r' && c != '\t') || c == 0x7f;
    });
}

double peakMemoryOn(const QString& recording)
{
    return runToEnd(QStringLiteral(TAVRIN_DRAFT_HELPER),
                    {QStringLiteral("--engine"), QStringLiteral(TAVRIN_SPEECH_ENGINE), recording})
        .peakResidentMiB;
}

} // namespace tavrin::test
