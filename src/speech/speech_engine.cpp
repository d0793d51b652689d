#include "speech/speech_engine.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace tavrin {

namespace {

template <typename Function> bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

bool resolveAll(void* library, SpeechEngine& e)
{
    // Each member is named as its function, so the name is written once.
#define TAVRIN_RESOLVE(name) resolve(library, #name, e.name)
    return TAVRIN_RESOLVE(SherpaOnnxCreateVoiceActivityDetector)
        && TAVRIN_RESOLVE(SherpaOnnxDestroyVoiceActivityDetector)
        && TAVRIN_RESOLVE(SherpaOnnxVoiceActivityDetectorAcceptWaveform)
        && TAVRIN_RESOLVE(SherpaOnnxVoiceActivityDetectorEmpty) && TAVRIN_RESOLVE(SherpaOnnxVoiceActivityDetectorFront)
        && TAVRIN_RESOLVE(SherpaOnnxVoiceActivityDetectorPop) && TAVRIN_RESOLVE(SherpaOnnxVoiceActivityDetectorFlush)
        && TAVRIN_RESOLVE(SherpaOnnxDestroySpeechSegment) && TAVRIN_RESOLVE(SherpaOnnxCreateOfflineRecognizer)
        && TAVRIN_RESOLVE(SherpaOnnxDestroyOfflineRecognizer) && TAVRIN_RESOLVE(SherpaOnnxCreateOfflineStream)
        && TAVRIN_RESOLVE(SherpaOnnxDestroyOfflineStream) && TAVRIN_RESOLVE(SherpaOnnxAcceptWaveformOffline)
        && TAVRIN_RESOLVE(SherpaOnnxDecodeOfflineStream) && TAVRIN_RESOLVE(SherpaOnnxGetOfflineStreamResult)
        && TAVRIN_RESOLVE(SherpaOnnxDestroyOfflineRecognizerResult);
#undef TAVRIN_RESOLVE
}

SpeechEngineLoad refused(const QString& problem)
{
    SpeechEngineLoad load;
    load.problem = problem;
    return load;
}

} // namespace

QString speechEngineLibraryPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("libsherpa-onnx-c-api.so"));
}

SpeechEngineLoad loadSpeechEngine(const QString& folder)
{
    const QString path = speechEngineLibraryPath(folder);
    if (!QFile::exists(path))
        return refused(QStringLiteral("找不到语音引擎（%1）。请重新安装本程序；从源码运行时，scripts/setup 会安装它。")
                           .arg(QDir::toNativeSeparators(path)));
    void* library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return refused(QStringLiteral("语音引擎无法加载（%1）：%2").arg(path, QString::fromLocal8Bit(dlerror())));
    SpeechEngineLoad load;
    if (!resolve(library, "SherpaOnnxGetVersionStr", load.engine.SherpaOnnxGetVersionStr))
        return refused(QStringLiteral("语音引擎不完整（%1）：缺少版本信息。").arg(path));
    const QString version = QString::fromUtf8(load.engine.SherpaOnnxGetVersionStr());
    if (version != QLatin1String(kSpeechEngineVersion))
        return refused(QStringLiteral("语音引擎的版本是 %1，本程序需要 %2。请重新安装本程序。")
                           .arg(version, QLatin1String(kSpeechEngineVersion)));
    if (!resolveAll(library, load.engine))
        return refused(QStringLiteral("语音引擎不完整（%1）：缺少所需的函数。").arg(path));
    load.loaded = true;
    return load;
}

} // namespace tavrin
