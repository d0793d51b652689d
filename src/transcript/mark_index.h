#pragma once

#include "transcript/time_marks.h"

#include <QList>
#include <QTextBlock>
#include <QTextBlockUserData>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QTextDocument;

namespace tavrin {

// A stretch of the transcript that goes with one stretch of the recording: from
// a time mark to the next mark of the text. The text before the first mark is
// a passage too, heard from the recording's start.
struct Passage {
    int start = 0;     // where its mark begins in the document; 0 for the text before the first mark
    int textStart = 0; // where its words begin, just after its mark (at `start` before the first mark)
    int end = 0;       // where the next passage begins, or the end of the text
    int seconds = 0;   // its mark's time; 0 before the first mark
    // Where its sound ends: the next later time a mark of the text stands at;
    // none: at the recording's end.
    std::optional<int> endSeconds;

    bool operator==(const Passage&) const = default;
};

// The time marks of a document, paragraph by paragraph, in the order of the
// text and in the order of time, so that the passage heard at a time and the
// passage under the caret are each a lookup, however long the transcript.
//
// A paragraph's marks are registered while the paragraph holds their record:
// Qt deletes the record with the paragraph, or when the paragraph is read again.
// Between an edit and that reading the record may be a few characters off;
// positions handed out stay inside the document.
class MarkIndex {
public:
    class Paragraph;

    explicit MarkIndex(const QTextDocument* document);

    // Gives `paragraph` the record of `marks` (offsets within the paragraph) in
    // place of the one it had; none when it has no marks.
    static void setMarks(const std::shared_ptr<MarkIndex>& index, QTextBlock paragraph, std::vector<TimeMark> marks);

    // The times the text has marks at, in seconds, each once, in order.
    QList<int> times() const;
    std::optional<int> firstTime() const;
    // The passage heard at `seconds`: the one whose mark is the latest at or
    // before it, the first in the text of several at that time. None when the
    // text has no marks, or the time comes before them all and no text does.
    std::optional<Passage> passageAtTime(double seconds) const;
    // The passage `position` stands in (a position at a mark's opening hyphen
    // is in that mark's passage).
    Passage passageAt(int position) const;
    // The passages before and after the one `position` stands in, in the text.
    std::optional<Passage> passageAfter(int position) const;
    std::optional<Passage> passageBefore(int position) const;

private:
    struct InTextOrder {
        using is_transparent = void;
        bool operator()(const Paragraph* a, const Paragraph* b) const;
        bool operator()(const Paragraph* a, int position) const;
        bool operator()(int position, const Paragraph* b) const;
    };
    using ByTime = std::multimap<int, const Paragraph*>;
    using ByText = std::set<const Paragraph*, InTextOrder>;

    // One mark: its paragraph's record and its place in it; no paragraph: the text before the first mark.
    struct MarkAt {
        const Paragraph* paragraph = nullptr;
        std::size_t index = 0;
    };

    int documentEnd() const;
    int positionOf(MarkAt mark) const;
    int secondsOf(MarkAt mark) const;
    std::optional<MarkAt> firstMark() const;
    std::optional<MarkAt> markAfter(MarkAt mark) const;
    std::optional<MarkAt> markBefore(MarkAt mark) const;
    MarkAt markAtOrBefore(int position) const;
    MarkAt firstInTextAt(int seconds) const;
    Passage passageOf(MarkAt mark) const;
    bool headIsEmpty() const;

    const QTextDocument* document_;
    ByTime byTime_;
    ByText byText_;
};

class MarkIndex::Paragraph : public QTextBlockUserData {
public:
    ~Paragraph() override;

    int position() const { return paragraph_.position(); }
    int length() const { return paragraph_.length() - 1; }
    const std::vector<TimeMark>& marks() const { return marks_; }

private:
    friend class MarkIndex;
    Paragraph(std::shared_ptr<MarkIndex> index, const QTextBlock& paragraph, std::vector<TimeMark> marks);

    std::shared_ptr<MarkIndex> index_;
    QTextBlock paragraph_;
    std::vector<TimeMark> marks_;
    std::vector<ByTime::iterator> inTime_;
    ByText::iterator inText_;
};

} // namespace tavrin
