#pragma once

#include "export/transcript_parts.h"

#include <QByteArray>
#include <QStringView>

#include <vector>

namespace tavrin {

// The exports that are text, in UTF-8 without a byte-order mark.

// The subtitles' text can never end a cue or open one: each cue's lines are
// written without control characters and without empty ones (CR breaks a line
// as LF does), and no line holds "-->".

// SubRip: numbered cues, "HH:MM:SS,mmm --> HH:MM:SS,mmm", the speaker as "张三：".
// SubRip has no escapes: a run of hyphens before '>' is written as one ("--->" as "->").
QByteArray subRipBytes(const std::vector<Cue>& cues);
// WebVTT: the speaker as a voice span, "<v 张三>", the text escaped as WebVTT
// asks ('&', '<' and '>' as character references).
QByteArray webVttBytes(const std::vector<Cue>& cues);
// A table with the header "start,end,speaker,text", a row per cue, quoted as
// RFC 4180 has it (CR LF between rows); times as HH:MM:SS.mmm. A speaker or
// text that opens with '=', '+', '-', '@', a tab or CR opens with an
// apostrophe before it, so that spreadsheets take it as text, not a formula;
// the times are never taken so and stay as they are.
QByteArray cueTableBytes(const std::vector<Cue>& cues);
// The transcript as it is, with LF line breaks.
QByteArray plainTextBytes(QStringView text);

} // namespace tavrin
