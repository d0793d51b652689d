#pragma once

#include "speech/word_times.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

// What the draft's helper process tells the window, one line each on its output.
struct DraftEvent {
    enum class Kind {
        Started,
        Progress,
        Utterance,
        Finished,
        Failed
    };

    Kind kind = Kind::Progress;
    // Started: the recording's length (0: not known); Progress: the sound gone
    // through so far; Utterance: where it starts.
    double seconds = 0;
    double endSeconds = 0; // Utterance: where it ends
    QString text{};        // Utterance: its words (none without a model); Failed: what went wrong
    // Utterance: where each word of `text` starts, in order; estimated when the
    // model gave no times and they were spread over the utterance.
    std::vector<WordTime> words{};
    bool wordsEstimated = false;

    friend bool operator==(const DraftEvent&, const DraftEvent&) = default;
};

// One line of JSON, ended by a line feed.
QByteArray encodeDraftEvent(const DraftEvent& event);
// Nothing for a line that is not an event (the engine's own lines go elsewhere,
// but a line is never trusted to be one).
std::optional<DraftEvent> decodeDraftEvent(QByteArrayView line);

} // namespace tavrin
