#pragma once

#include <QStringView>

namespace tavrin {

// What a double-click selects in the editor. A time such as 00:12:34 is one
// word, so that a double-click anywhere on a time mark -00:12:34- selects the
// time alone: a run of ASCII digits and colons. Elsewhere the editor's own
// word rule holds.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The run of digits and colons that touches `position` (a caret position in
// `line`, so the characters on both sides count), or an empty range when
// neither neighbour is a digit or a colon.
TextRange timeRunAt(QStringView line, qsizetype position);

} // namespace tavrin
