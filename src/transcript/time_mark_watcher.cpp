#include "transcript/time_mark_watcher.h"

#include "transcript/time_marks.h"

#include <QTextBlock>
#include <QTextDocument>

namespace tavrin {

TimeMarkWatcher::TimeMarkWatcher(QTextDocument* document, QObject* parent)
    : QObject(parent)
    , document_(document)
    , index_(std::make_shared<MarkIndex>(document))
    , from_(document)
    , to_(document)
{
    rescan_.setSingleShot(true);
    rescan_.setInterval(kRescanMs);
    connect(&rescan_, &QTimer::timeout, this, &TimeMarkWatcher::readSlice);
    // QTextDocument tells where it changed only once it has a layout; an
    // editor's document has its own already.
    document_->documentLayout();
    connect(document_, &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { noteEdit(position, added); });
    noteEdit(0, document_->characterCount());
    readEditsNow(); // what is there already is known from the start
}

QList<int> TimeMarkWatcher::marks() const
{
    return index_->times();
}

void TimeMarkWatcher::readEditsNow()
{
    while (pending_)
        readSlice();
    rescan_.stop();
}

void TimeMarkWatcher::noteEdit(int position, int added)
{
    const int end = std::min(position + added, document_->characterCount() - 1);
    if (!pending_ || position < from_.position())
        from_.setPosition(position);
    if (!pending_ || end > to_.position())
        to_.setPosition(end);
    pending_ = true;
    if (!rescan_.isActive())
        rescan_.start();
}

void TimeMarkWatcher::readSlice()
{
    if (!pending_)
        return; // read already, by a slice before
    QTextBlock paragraph = document_->findBlock(from_.position());
    const QTextBlock last = document_->findBlock(to_.position());
    for (int read = 0; paragraph.isValid() && read < kParagraphsPerSlice; ++read) {
        MarkIndex::setMarks(index_, paragraph, findTimeMarks(paragraph.text()));
        if (paragraph == last) {
            pending_ = false;
            break;
        }
        paragraph = paragraph.next();
    }
    if (pending_ && paragraph.isValid()) {
        from_.setPosition(paragraph.position()); // the first not read yet
        QTimer::singleShot(0, this, [this] {
            if (pending_ && !rescan_.isActive())
                readSlice();
        });
    } else {
        pending_ = false;
    }
    if (!pending_) {
        Q_EMIT indexRead();
        QList<int> now = marks();
        if (now != told_) {
            told_ = std::move(now);
            Q_EMIT marksChanged(told_);
        }
    }
}

} // namespace tavrin
