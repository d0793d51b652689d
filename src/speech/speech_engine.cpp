#include "speech/speech_engine.h"

#include "libraries/run_time_library.h"

#include <QDir>

namespace tavrin {

namespace {

const QString kReinstall = QStringLiteral("请重新安装本程序；从源码运行时，scripts/setup 会安装它。");

void takeAll(RunTimeLibrary& library, SpeechEngine& e)
{
    // Each member is named as its function, so the name is written once.
#define TAVRIN_TAKE(name) library.take(#name, e.name)
    TAVRIN_TAKE(SherpaOnnxCreateVoiceActivityDetector);
    TAVRIN_TAKE(SherpaOnnxDestroyVoiceActivityDetector);
    TAVRIN_TAKE(SherpaOnnxVoiceActivityDetectorAcceptWaveform);
    TAVRIN_TAKE(SherpaOnnxVoiceActivityDetectorEmpty);
    TAVRIN_TAKE(SherpaOnnxVoiceActivityDetectorFront);
    TAVRIN_TAKE(SherpaOnnxVoiceActivityDetectorPop);
    TAVRIN_TAKE(SherpaOnnxVoiceActivityDetectorFlush);
    TAVRIN_TAKE(SherpaOnnxDestroySpeechSegment);
    TAVRIN_TAKE(SherpaOnnxCreateOfflineRecognizer);
    TAVRIN_TAKE(SherpaOnnxDestroyOfflineRecognizer);
    TAVRIN_TAKE(SherpaOnnxCreateOfflineStream);
    TAVRIN_TAKE(SherpaOnnxDestroyOfflineStream);
    TAVRIN_TAKE(SherpaOnnxAcceptWaveformOffline);
    TAVRIN_TAKE(SherpaOnnxDecodeOfflineStream);
    TAVRIN_TAKE(SherpaOnnxGetOfflineStreamResult);
    TAVRIN_TAKE(SherpaOnnxDestroyOfflineRecognizerResult);
#undef TAVRIN_TAKE
}

} // namespace

QString speechEngineLibraryPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("libsherpa-onnx-c-api.so"));
}

SpeechEngineLoad loadSpeechEngine(const QString& folder)
{
    RunTimeLibrary library({QStringLiteral("语音引擎"), {speechEngineLibraryPath(folder)}, kReinstall});
    SpeechEngineLoad load;
    // The version first: no structure is handed to an engine that lays them out otherwise.
    library.take("SherpaOnnxGetVersionStr", load.engine.SherpaOnnxGetVersionStr);
    if (load.engine.SherpaOnnxGetVersionStr) {
        const QString version = QString::fromUtf8(load.engine.SherpaOnnxGetVersionStr());
        if (version != QLatin1String(kSpeechEngineVersion))
            library.refuse(
                QStringLiteral("的版本是 %1，本程序需要 %2").arg(version, QLatin1String(kSpeechEngineVersion)));
    }
    takeAll(library, load.engine);
    load.problem = library.problem();
    load.loaded = load.problem.isEmpty();
    return load;
}

} // namespace tavrin
