#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace tavrin {

// A stretch of a paragraph as the exports show it: words, a time mark, or the
// name of who speaks.
struct TextSpan {
    enum class Kind {
        Words,
        Mark,
        Speaker
    };
    Kind kind = Kind::Words;
    QString text; // as written: a mark "-00:12:34-", a speaker "张三：" (the blank before it is words)

    bool operator==(const TextSpan&) const = default;
};

using ExportParagraph = QList<TextSpan>;

// The transcript's paragraphs ('\n' apart), each cut into spans that, put
// together again, are the paragraph as written. A speaker is named by a label
// that opens a paragraph, as the speaker keys write it (transcript/speaker_labels.h).
std::vector<ExportParagraph> exportParagraphs(QStringView text);

// What a timed export shows for one passage: from its mark to the next.
struct Cue {
    int start = 0;   // seconds
    double end = 0;  // seconds, after `start`
    QString speaker; // empty: none named
    QString text;    // the passage's words, its lines '\n' apart, none of them empty
};

// When the recording's length is not known, or a last mark lies past it, the last cue lasts this long.
inline constexpr double kLastCueSeconds = 5.0;

// One cue per passage, in the order of the text: the text before the first mark
// from 00:00:00, each mark's passage up to the next mark of the text. A cue
// ends at the next later time a mark stands at (so marks out of order still
// give each cue a length), the last one at the recording's end (`duration`,
// when known and later) or kLastCueSeconds on. None when the text has no marks.
std::vector<Cue> exportCues(QStringView text, std::optional<double> duration);

// Cues in the order of time (of two at one time, the first in the text first),
// without those that hold no words: what subtitles show.
std::vector<Cue> subtitleCues(std::vector<Cue> cues);

} // namespace tavrin
