#include "files/line_length.h"

#include <algorithm>

namespace tavrin {

qsizetype longestLineLength(QStringView text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        longest = std::max(longest, (end < 0 ? text.size() : end) - start);
        if (end < 0)
            return longest;
        start = end + 1;
    }
}

qsizetype longestUnbrokenRun(QStringView text)
{
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c.unicode() >= 0x2E80 || c.isSpace()) {
            run = 0;
        } else {
            ++run;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

} // namespace tavrin
