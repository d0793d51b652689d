#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace tavrin {

// A speaker label is what the speaker keys write at a paragraph's start: a
// time mark, one blank, a name and a full-width colon ("-00:12:34- 张三：").
inline constexpr int kLongestSpeakerName = 20;

// A name may be 1 to 20 characters, none of them a blank or a punctuation
// mark that ends a name (colons, commas, full stops, quotes).
bool isSpeakerName(QStringView name);
// The label for `name` after the mark `mark` ("-00:12:34-").
QString speakerLabel(QStringView mark, QStringView name);
// The length of " 张三：" when it stands at `at`, just after a mark; 0 when it does not.
qsizetype speakerLabelLength(QStringView text, qsizetype at);
// Where `name` stands in every label of it in `text` (only labels that open a paragraph).
std::vector<qsizetype> speakerNamePositions(QStringView text, QStringView name);

} // namespace tavrin
