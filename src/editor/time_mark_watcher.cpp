#include "editor/time_mark_watcher.h"

#include "editor/time_marks.h"

#include <QTextDocument>

namespace tavrin {

TimeMarkWatcher::TimeMarkWatcher(QTextDocument* document, QObject* parent)
    : QObject(parent)
    , document_(document)
{
    rescan_.setSingleShot(true);
    rescan_.setInterval(kRescanMs);
    connect(&rescan_, &QTimer::timeout, this, &TimeMarkWatcher::rescan);
    connect(document_, &QTextDocument::contentsChanged, this, [this] {
        if (!rescan_.isActive())
            rescan_.start();
    });
    rescan();
}

void TimeMarkWatcher::rescan()
{
    const QString text = document_->toPlainText();
    QList<int> marks;
    for (const TimeMark& mark : findTimeMarks(text))
        marks.append(mark.seconds);
    if (marks != marks_) {
        marks_ = std::move(marks);
        Q_EMIT marksChanged(marks_);
    }
}

} // namespace tavrin
