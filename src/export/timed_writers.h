#pragma once

#include "export/transcript_parts.h"

#include <QByteArray>
#include <QStringView>

#include <vector>

namespace tavrin {

// The exports that are text, in UTF-8 without a byte-order mark.

// SubRip: numbered cues, "HH:MM:SS,mmm --> HH:MM:SS,mmm", the speaker as "张三：".
QByteArray subRipBytes(const std::vector<Cue>& cues);
// WebVTT: the speaker as a voice span, "<v 张三>", the text escaped as WebVTT asks.
QByteArray webVttBytes(const std::vector<Cue>& cues);
// A table with the header "start,end,speaker,text", a row per cue, quoted as
// RFC 4180 has it (CR LF between rows); times as HH:MM:SS.mmm.
QByteArray cueTableBytes(const std::vector<Cue>& cues);
// The transcript as it is, with LF line breaks.
QByteArray plainTextBytes(QStringView text);

} // namespace tavrin
