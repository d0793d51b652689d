#include "export/transcript_parts.h"

#include "transcript/passage_end.h"
#include "transcript/speaker_labels.h"
#include "transcript/time_marks.h"

#include <algorithm>
#include <set>

namespace tavrin {

namespace {

bool opensAParagraph(QStringView text, qsizetype at)
{
    return at == 0 || text[at - 1] == u'\n';
}

void appendWords(ExportParagraph& paragraph, QStringView words)
{
    if (!words.isEmpty())
        paragraph.append({TextSpan::Kind::Words, words.toString()});
}

ExportParagraph paragraphSpans(QStringView line)
{
    ExportParagraph paragraph;
    qsizetype from = 0;
    for (const TimeMark& mark : findTimeMarks(line)) {
        if (mark.offset < from)
            continue; // shares its opening hyphen with the mark before: shown as part of that one
        appendWords(paragraph, line.mid(from, mark.offset - from));
        paragraph.append({TextSpan::Kind::Mark, line.mid(mark.offset, kTimeMarkLength).toString()});
        from = mark.offset + kTimeMarkLength;
        if (mark.offset == 0) {
            if (const qsizetype label = speakerLabelLength(line, from)) {
                appendWords(paragraph, line.mid(from, 1));
                paragraph.append({TextSpan::Kind::Speaker, line.mid(from + 1, label - 1).toString()});
                from += label;
            }
        }
    }
    appendWords(paragraph, line.mid(from));
    return paragraph;
}

// Each line trimmed, the empty ones left out.
QString cueLines(QStringView words)
{
    if (!words.contains(u'\n'))
        return words.trimmed().toString();
    QStringList lines;
    for (QStringView line : words.split(u'\n')) {
        line = line.trimmed();
        if (!line.isEmpty())
            lines.append(line.toString());
    }
    return lines.join(u'\n');
}

} // namespace

std::vector<ExportParagraph> exportParagraphs(QStringView text)
{
    std::vector<ExportParagraph> paragraphs;
    for (QStringView line : text.split(u'\n'))
        paragraphs.push_back(paragraphSpans(line));
    return paragraphs;
}

std::vector<Cue> exportCues(QStringView text, std::optional<double> duration)
{
    const std::vector<TimeMark> marks = findTimeMarks(text);
    if (marks.empty())
        return {};
    std::set<int> times;
    for (const TimeMark& mark : marks)
        times.insert(mark.seconds);
    const auto endAfter = [&](int start) {
        if (const std::optional<int> end = passageEndSeconds(times, start))
            return double(*end);
        return duration && *duration > start ? *duration : start + kLastCueSeconds;
    };
    std::vector<Cue> cues;
    if (const QString head = cueLines(text.first(marks.front().offset)); !head.isEmpty())
        cues.push_back({0, endAfter(0), QString(), head});
    for (std::size_t i = 0; i < marks.size(); ++i) {
        qsizetype from = marks[i].offset + kTimeMarkLength;
        const qsizetype to = i + 1 < marks.size() ? marks[i + 1].offset : text.size();
        Cue cue{marks[i].seconds, endAfter(marks[i].seconds), QString(), QString()};
        if (opensAParagraph(text, marks[i].offset)) {
            if (const qsizetype label = speakerLabelLength(text, from)) {
                cue.speaker = text.mid(from + 1, label - 2).toString();
                from += label;
            }
        }
        cue.text = cueLines(text.mid(from, std::max<qsizetype>(to - from, 0)));
        cues.push_back(std::move(cue));
    }
    return cues;
}

std::vector<Cue> subtitleCues(std::vector<Cue> cues)
{
    std::erase_if(cues, [](const Cue& cue) { return cue.text.isEmpty(); });
    std::stable_sort(cues.begin(), cues.end(), [](const Cue& a, const Cue& b) { return a.start < b.start; });
    return cues;
}

} // namespace tavrin
