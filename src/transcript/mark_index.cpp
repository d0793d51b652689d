#include "transcript/mark_index.h"

#include "transcript/passage_end.h"

#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tavrin {

bool MarkIndex::InTextOrder::operator()(const Paragraph* a, const Paragraph* b) const
{
    // Edits never reorder paragraphs, so this order holds for as long as both exist.
    return a->position() < b->position();
}

bool MarkIndex::InTextOrder::operator()(const Paragraph* a, int position) const
{
    return a->position() < position;
}

bool MarkIndex::InTextOrder::operator()(int position, const Paragraph* b) const
{
    return position < b->position();
}

MarkIndex::Paragraph::Paragraph(std::shared_ptr<MarkIndex> index, const QTextBlock& paragraph,
                                std::vector<TimeMark> marks)
    : index_(std::move(index))
    , paragraph_(paragraph)
    , marks_(std::move(marks))
{
    for (const TimeMark& mark : marks_)
        inTime_.push_back(index_->byTime_.emplace(mark.seconds, this));
    inText_ = index_->byText_.insert(this).first;
}

MarkIndex::Paragraph::~Paragraph()
{
    // By the entries kept: the paragraph may be on its way out of the document,
    // where its position can no longer be asked.
    for (const ByTime::iterator entry : inTime_)
        index_->byTime_.erase(entry);
    index_->byText_.erase(inText_);
}

MarkIndex::MarkIndex(const QTextDocument* document)
    : document_(document)
{
}

void MarkIndex::setMarks(const std::shared_ptr<MarkIndex>& index, QTextBlock paragraph, std::vector<TimeMark> marks)
{
    // The old record goes first: two records of one paragraph cannot both stand in the text's order.
    if (paragraph.userData())
        paragraph.setUserData(nullptr);
    if (!marks.empty())
        paragraph.setUserData(new Paragraph(index, paragraph, std::move(marks)));
}

QList<int> MarkIndex::times() const
{
    QList<int> times;
    for (auto entry = byTime_.begin(); entry != byTime_.end(); entry = byTime_.upper_bound(entry->first))
        times.append(entry->first);
    return times;
}

std::optional<int> MarkIndex::firstTime() const
{
    if (byTime_.empty())
        return std::nullopt;
    return byTime_.begin()->first;
}

int MarkIndex::documentEnd() const
{
    return document_->characterCount() - 1;
}

int MarkIndex::positionOf(MarkAt mark) const
{
    if (!mark.paragraph)
        return 0;
    const qsizetype offset = mark.paragraph->marks()[mark.index].offset;
    return mark.paragraph->position() + int(std::min<qsizetype>(offset, mark.paragraph->length()));
}

int MarkIndex::secondsOf(MarkAt mark) const
{
    return mark.paragraph ? mark.paragraph->marks()[mark.index].seconds : 0;
}

std::optional<MarkIndex::MarkAt> MarkIndex::firstMark() const
{
    if (byText_.empty())
        return std::nullopt;
    return MarkAt{*byText_.begin(), 0};
}

std::optional<MarkIndex::MarkAt> MarkIndex::markAfter(MarkAt mark) const
{
    if (!mark.paragraph)
        return firstMark();
    if (mark.index + 1 < mark.paragraph->marks().size())
        return MarkAt{mark.paragraph, mark.index + 1};
    const auto next = std::next(mark.paragraph->inText_);
    if (next == byText_.end())
        return std::nullopt;
    return MarkAt{*next, 0};
}

// The mark before `mark` in the text; the text before the first mark comes before that one.
std::optional<MarkIndex::MarkAt> MarkIndex::markBefore(MarkAt mark) const
{
    if (!mark.paragraph)
        return std::nullopt;
    if (mark.index > 0)
        return MarkAt{mark.paragraph, mark.index - 1};
    if (mark.paragraph->inText_ == byText_.begin())
        return MarkAt{};
    const Paragraph* previous = *std::prev(mark.paragraph->inText_);
    return MarkAt{previous, previous->marks().size() - 1};
}

MarkIndex::MarkAt MarkIndex::markAtOrBefore(int position) const
{
    auto paragraph = byText_.upper_bound(position);
    while (paragraph != byText_.begin()) {
        --paragraph;
        // Only the paragraph `position` stands in can have all its marks after it.
        for (std::size_t index = (*paragraph)->marks().size(); index-- > 0;) {
            const MarkAt mark{*paragraph, index};
            if (positionOf(mark) <= position)
                return mark;
        }
    }
    return MarkAt{};
}

MarkIndex::MarkAt MarkIndex::firstInTextAt(int seconds) const
{
    const auto [from, to] = byTime_.equal_range(seconds);
    const Paragraph* first = from->second;
    for (auto entry = std::next(from); entry != to; ++entry)
        if (entry->second->position() < first->position())
            first = entry->second;
    const auto& marks = first->marks();
    const auto at =
        std::find_if(marks.begin(), marks.end(), [&](const TimeMark& mark) { return mark.seconds == seconds; });
    return MarkAt{first, std::size_t(at - marks.begin())};
}

Passage MarkIndex::passageOf(MarkAt mark) const
{
    Passage passage;
    passage.start = positionOf(mark);
    const std::optional<MarkAt> next = markAfter(mark);
    passage.end = next ? positionOf(*next) : documentEnd();
    passage.textStart = mark.paragraph ? std::min(passage.start + int(kTimeMarkLength), passage.end) : passage.start;
    passage.seconds = secondsOf(mark);
    passage.endSeconds = passageEndSeconds(byTime_, passage.seconds);
    return passage;
}

bool MarkIndex::headIsEmpty() const
{
    const std::optional<MarkAt> first = firstMark();
    return first ? positionOf(*first) == 0 : documentEnd() == 0;
}

std::optional<Passage> MarkIndex::passageAtTime(double seconds) const
{
    if (byTime_.empty())
        return std::nullopt;
    const double whole = std::isfinite(seconds) ? std::floor(seconds) : 0.0;
    const auto after = byTime_.upper_bound(int(std::clamp(whole, -1.0, double(std::numeric_limits<int>::max()))));
    if (after == byTime_.begin()) {
        if (headIsEmpty())
            return std::nullopt;
        return passageOf(MarkAt{});
    }
    return passageOf(firstInTextAt(std::prev(after)->first));
}

Passage MarkIndex::passageAt(int position) const
{
    return passageOf(markAtOrBefore(position));
}

std::optional<Passage> MarkIndex::passageAfter(int position) const
{
    const std::optional<MarkAt> next = markAfter(markAtOrBefore(position));
    if (!next)
        return std::nullopt;
    return passageOf(*next);
}

std::optional<Passage> MarkIndex::passageBefore(int position) const
{
    const std::optional<MarkAt> previous = markBefore(markAtOrBefore(position));
    if (!previous || (!previous->paragraph && headIsEmpty()))
        return std::nullopt;
    return passageOf(*previous);
}

} // namespace tavrin
