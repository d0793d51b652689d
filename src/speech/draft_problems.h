#pragma once

#include "speech/speech_audio.h"

#include <QString>

namespace tavrin {

// What the draft's helper tells, in Chinese, of a recording it cannot go through
// whole. Each is empty when there is nothing to tell.

// Why `path` cannot be read as a recording at all: it is not there, or it is not a
// regular file (a named pipe would block the helper, a device never end).
QString recordingProblem(const QString& path);

// Why the draft of `path` does not cover the whole recording although it was read:
// none of its sound could be taken, or some of it could not.
QString coverageProblem(const SpeechAudioOutcome& outcome, const QString& path);

} // namespace tavrin
