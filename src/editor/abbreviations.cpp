#include "editor/abbreviations.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

bool isCodeCharacter(QChar c)
{
    return c.unicode() < 0x80 && c.isLetterOrNumber();
}

bool isCode(QStringView code)
{
    return !code.isEmpty() && std::all_of(code.begin(), code.end(), isCodeCharacter);
}

} // namespace

QList<Abbreviation> parseAbbreviations(QStringView lines, QStringList* problems)
{
    QList<Abbreviation> abbreviations;
    for (QStringView line : lines.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QStringView code = equals < 0 ? QStringView() : line.first(equals).trimmed();
        const QStringView text = equals < 0 ? QStringView() : line.sliced(equals + 1).trimmed();
        if (!isCode(code) || text.isEmpty()) {
            if (problems)
                problems->append(u"“%1”不是缩写：应写成 缩写=全称，缩写只用英文字母和数字。"_s.arg(line));
            continue;
        }
        abbreviations.append({code.toString(), text.toString()});
    }
    return abbreviations;
}

QString abbreviationLines(const QList<Abbreviation>& abbreviations)
{
    QStringList lines;
    for (const Abbreviation& abbreviation : abbreviations)
        lines.append(abbreviation.code + u'=' + abbreviation.text);
    return lines.join(u'\n');
}

std::optional<AbbreviationFound> abbreviationBefore(QStringView before, const QList<Abbreviation>& abbreviations)
{
    std::optional<AbbreviationFound> found;
    for (const Abbreviation& abbreviation : abbreviations) {
        const qsizetype length = abbreviation.code.size();
        if (!before.endsWith(abbreviation.code) || (found && found->length >= length))
            continue;
        const qsizetype start = before.size() - length;
        if (start > 0 && isCodeCharacter(before[start - 1]))
            continue; // inside a longer word: "bzs" holds no "zs"
        found = AbbreviationFound{length, abbreviation.text};
    }
    return found;
}

} // namespace tavrin
