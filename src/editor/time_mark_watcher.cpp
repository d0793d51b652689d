#include "editor/time_mark_watcher.h"

#include "editor/time_marks.h"

#include <QTextBlock>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace tavrin {

namespace {

// The marks of one paragraph, counted while the paragraph holds this record:
// Qt deletes it with the paragraph, or when the paragraph is read again.
class ParagraphMarks : public QTextBlockUserData {
public:
    ParagraphMarks(std::shared_ptr<std::map<int, int>> counts, std::vector<int> seconds)
        : counts_(std::move(counts))
        , seconds_(std::move(seconds))
    {
        for (const int at : seconds_)
            ++(*counts_)[at];
    }

    ~ParagraphMarks() override
    {
        for (const int at : seconds_) {
            const auto count = counts_->find(at);
            if (--count->second == 0)
                counts_->erase(count);
        }
    }

private:
    std::shared_ptr<std::map<int, int>> counts_;
    std::vector<int> seconds_;
};

} // namespace

TimeMarkWatcher::TimeMarkWatcher(QTextDocument* document, QObject* parent)
    : QObject(parent)
    , document_(document)
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
    while (pending_)
        readSlice(); // what is there already is known from the start
    rescan_.stop();
}

QList<int> TimeMarkWatcher::marks() const
{
    QList<int> times;
    times.reserve(qsizetype(counts_->size()));
    for (const auto& [at, count] : *counts_)
        times.append(at);
    return times;
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
        std::vector<int> seconds;
        for (const TimeMark& mark : findTimeMarks(paragraph.text()))
            seconds.push_back(mark.seconds);
        // A paragraph with none and no record keeps none: nothing to count.
        if (!seconds.empty() || paragraph.userData())
            paragraph.setUserData(seconds.empty() ? nullptr : new ParagraphMarks(counts_, std::move(seconds)));
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
        QList<int> now = marks();
        if (now != told_) {
            told_ = std::move(now);
            Q_EMIT marksChanged(told_);
        }
    }
}

} // namespace tavrin
