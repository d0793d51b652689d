#pragma once

#include <QStringList>

namespace tavrin::test {

// Runs a command-line tool the tests make their inputs with (espeak-ng, ffmpeg,
// python3) to its end; the test run stops, with the tool's message, when it fails.
void runTool(const QString& program, const QStringList& arguments);

// The tests' stand-in for a SenseVoice model (tests/speech/make_sense_voice_like_model.py)
// written into `folder`: `word` while the sound is loud, nothing while it is quiet.
void writeSenseVoiceLikeModel(const QString& folder, bool int8 = false, const QString& word = QStringLiteral("好"));

} // namespace tavrin::test
