#pragma once

#include "transcript/mark_index.h"

#include <QList>
#include <QObject>
#include <QTextCursor>
#include <QTimer>

#include <memory>

class QTextDocument;

namespace tavrin {

// Follows the time marks of the transcript as it is edited, at any size. Each
// paragraph keeps the marks found in it; an edit only notes where it was (a
// keystroke costs nothing more), and shortly after, the paragraphs edited are
// read again, however many keys were typed meanwhile. A whole new text (a
// transcript loaded) is read a slice at a time, so typing never waits for it.
class TimeMarkWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kRescanMs = 300;
    static constexpr int kParagraphsPerSlice = 2000;

    explicit TimeMarkWatcher(QTextDocument* document, QObject* parent = nullptr);

    // The times the text has marks at, in seconds, each once, in order.
    QList<int> marks() const;
    // The marks as last read, and the passages they make.
    const MarkIndex& index() const { return *index_; }
    // Reads what was edited since the last reading at once, rather than shortly after.
    void readEditsNow();

Q_SIGNALS:
    void marksChanged(const QList<int>& seconds);
    // A reading has ended: a mark may have come, gone or moved within its paragraph.
    void indexRead();

private:
    void noteEdit(int position, int added);
    void readSlice();

    QTextDocument* document_;
    // Shared with the paragraphs' records, which take theirs out when a paragraph goes.
    std::shared_ptr<MarkIndex> index_;
    // The stretch still to be read; the cursors move with later edits.
    QTextCursor from_;
    QTextCursor to_;
    bool pending_ = false;
    QTimer rescan_;
    QList<int> told_;
};

} // namespace tavrin
