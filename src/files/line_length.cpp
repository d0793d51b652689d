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

} // namespace tavrin
