#include "editor/time_word.h"

namespace tavrin {

namespace {

bool isTimeCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u':';
}

} // namespace

TextRange timeRunAt(QStringView line, qsizetype position)
{
    if (position < 0 || position > line.size())
        return {};
    const bool after = position < line.size() && isTimeCharacter(line[position]);
    const bool before = position > 0 && isTimeCharacter(line[position - 1]);
    if (!after && !before)
        return {};
    qsizetype start = position;
    while (start > 0 && isTimeCharacter(line[start - 1]))
        --start;
    qsizetype end = position;
    while (end < line.size() && isTimeCharacter(line[end]))
        ++end;
    return {start, end - start};
}

} // namespace tavrin
