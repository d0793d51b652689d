#pragma once

#include "speech/sherpa_c_api.h"

#include <QString>

namespace tavrin {

// The version whose structures sherpa_c_api.h lays out; any other is refused.
inline constexpr char kSpeechEngineVersion[] = "1.13.8";

// The engine's functions, resolved at run time and named as the library names them.
struct SpeechEngine {
    decltype(&::SherpaOnnxGetVersionStr) SherpaOnnxGetVersionStr;
    decltype(&::SherpaOnnxCreateVoiceActivityDetector) SherpaOnnxCreateVoiceActivityDetector;
    decltype(&::SherpaOnnxDestroyVoiceActivityDetector) SherpaOnnxDestroyVoiceActivityDetector;
    decltype(&::SherpaOnnxVoiceActivityDetectorAcceptWaveform) SherpaOnnxVoiceActivityDetectorAcceptWaveform;
    decltype(&::SherpaOnnxVoiceActivityDetectorEmpty) SherpaOnnxVoiceActivityDetectorEmpty;
    decltype(&::SherpaOnnxVoiceActivityDetectorFront) SherpaOnnxVoiceActivityDetectorFront;
    decltype(&::SherpaOnnxVoiceActivityDetectorPop) SherpaOnnxVoiceActivityDetectorPop;
    decltype(&::SherpaOnnxVoiceActivityDetectorFlush) SherpaOnnxVoiceActivityDetectorFlush;
    decltype(&::SherpaOnnxDestroySpeechSegment) SherpaOnnxDestroySpeechSegment;
    decltype(&::SherpaOnnxCreateOfflineRecognizer) SherpaOnnxCreateOfflineRecognizer;
    decltype(&::SherpaOnnxDestroyOfflineRecognizer) SherpaOnnxDestroyOfflineRecognizer;
    decltype(&::SherpaOnnxCreateOfflineStream) SherpaOnnxCreateOfflineStream;
    decltype(&::SherpaOnnxDestroyOfflineStream) SherpaOnnxDestroyOfflineStream;
    decltype(&::SherpaOnnxAcceptWaveformOffline) SherpaOnnxAcceptWaveformOffline;
    decltype(&::SherpaOnnxDecodeOfflineStream) SherpaOnnxDecodeOfflineStream;
    decltype(&::SherpaOnnxGetOfflineStreamResult) SherpaOnnxGetOfflineStreamResult;
    decltype(&::SherpaOnnxDestroyOfflineRecognizerResult) SherpaOnnxDestroyOfflineRecognizerResult;
};

struct SpeechEngineLoad {
    SpeechEngine engine{};
    bool loaded = false;
    QString problem; // in Chinese, for the user, when not loaded
};

// The engine's library file in `folder`.
QString speechEngineLibraryPath(const QString& folder);

// Opens the engine in `folder` (it stays loaded for the rest of the run) and
// checks its version before any of its structures is handed to it.
SpeechEngineLoad loadSpeechEngine(const QString& folder);

} // namespace tavrin
