#pragma once

#include <QString>

namespace tavrin {

// A recognition model as the speech engine's published archives hold it.
struct RecognitionModel {
    enum class Kind {
        SenseVoice,
        Paraformer,
        Whisper
    };
    Kind kind = Kind::SenseVoice;
    QString model;   // SenseVoice and Paraformer: the one model file
    QString encoder; // Whisper
    QString decoder; // Whisper
    QString tokens;
};

struct ModelFolder {
    bool usable = false;
    RecognitionModel model;
    QString problem; // in Chinese, naming what is missing, when not usable
};

// Recognises the model in `folder` by its files: Whisper by its encoder, decoder
// and tokens (*-encoder.onnx, *-decoder.onnx, *-tokens.txt); otherwise one model
// (model.int8.onnx, else model.onnx) with tokens.txt, Paraformer when the folder's
// name says so (as the published archives' names do), SenseVoice else. The
// quantised files are taken first where both are there. The files taken are
// checked as far as they can be before the engine reads them (model_files.h).
ModelFolder inspectModelFolder(const QString& folder);

} // namespace tavrin
