#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace tavrin {

// What a drop on the window asks for: a recording to load, a transcript to
// load, or nothing, with the reason told to the user.
struct DroppedFile {
    enum class Kind {
        Recording,
        Transcript,
        Refused,
    };
    Kind kind = Kind::Refused;
    QString path;    // of the file to load
    QString message; // why it was refused
};

// One readable local file is loaded: a ".txt" as the transcript, anything else
// as a recording (the player tells whether it can play it).
DroppedFile decideDrop(const QList<QUrl>& urls);

} // namespace tavrin
