#include "transcript/speaker_labels.h"

#include "transcript/time_marks.h"

#include <algorithm>

namespace tavrin {

namespace {

constexpr QStringView kNameEnds = u"：:，,。；;！!？?、“”\"";

bool mayStandInAName(QChar c)
{
    return !c.isSpace() && !kNameEnds.contains(c);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\u3000';
}

} // namespace

bool isSpeakerName(QStringView name)
{
    return !name.isEmpty() && name.size() <= kLongestSpeakerName
        && std::all_of(name.begin(), name.end(), mayStandInAName);
}

QString speakerLabel(QStringView mark, QStringView name)
{
    return mark.toString() + u' ' + name.toString() + u'：';
}

qsizetype speakerLabelLength(QStringView text, qsizetype at)
{
    if (at >= text.size() || !isBlank(text[at]))
        return 0;
    qsizetype end = at + 1;
    while (end < text.size() && end - at - 1 <= kLongestSpeakerName && mayStandInAName(text[end]))
        ++end;
    const qsizetype nameLength = end - at - 1;
    if (nameLength == 0 || nameLength > kLongestSpeakerName || end >= text.size() || text[end] != u'：')
        return 0;
    return end + 1 - at;
}

std::vector<qsizetype> speakerNamePositions(QStringView text, QStringView name)
{
    std::vector<qsizetype> positions;
    for (const TimeMark& mark : findTimeMarks(text)) {
        if (mark.offset > 0 && text[mark.offset - 1] != u'\n')
            continue;
        const qsizetype after = mark.offset + kTimeMarkLength;
        const qsizetype label = speakerLabelLength(text, after);
        if (label == name.size() + 2 && text.sliced(after + 1, name.size()) == name)
            positions.push_back(after + 1);
    }
    return positions;
}

} // namespace tavrin
