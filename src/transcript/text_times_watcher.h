#pragma once

#include "transcript/text_times.h"

#include <QObject>

class QTextDocument;

namespace tavrin {

// The times of a document's drafted characters, told of every change to the
// document as it happens, so that they stay on the characters they belong to.
class TextTimesWatcher : public QObject {
    Q_OBJECT
public:
    explicit TextTimesWatcher(QTextDocument* document, QObject* parent = nullptr);

    const TextTimes& times() const { return times_; }
    // Times for characters just written (a drafted paragraph), in text order.
    void add(const std::vector<TextTimes::Stretch>& stretches) { times_.add(stretches); }

private:
    TextTimes times_;
};

} // namespace tavrin
