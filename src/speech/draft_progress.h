#pragma once

#include <QString>

namespace tavrin {

// How far a draft has come, for its progress display: the part done in
// thousandths, and the words shown beside it.
struct DraftProgress {
    int thousandths = 0;
    QString text;
};

// A length as the draft's words tell it: "42 秒", "3 分 5 秒", "2 小时 10 分".
QString spokenDuration(double seconds);

// `doneSeconds` of a recording of `totalSeconds` (0: its length is not known)
// gone through in `elapsedSeconds`; the time left is told once it can be guessed.
DraftProgress draftProgress(double doneSeconds, double totalSeconds, double elapsedSeconds);

} // namespace tavrin
