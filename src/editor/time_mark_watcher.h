#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

class QTextDocument;

namespace tavrin {

// Follows the time marks of the transcript as it is edited. A change only
// starts a short timer (a keystroke costs nothing more); when it runs out the
// text is read once for its marks, however many keys were typed meanwhile, so
// the marks are at most kRescanMs behind the text even while typing goes on.
class TimeMarkWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kRescanMs = 300;

    explicit TimeMarkWatcher(QTextDocument* document, QObject* parent = nullptr);

    // The marks' times in seconds, in the order of the text.
    const QList<int>& marks() const { return marks_; }

Q_SIGNALS:
    void marksChanged(const QList<int>& seconds);

private:
    void rescan();

    QTextDocument* document_;
    QTimer rescan_;
    QList<int> marks_;
};

} // namespace tavrin
