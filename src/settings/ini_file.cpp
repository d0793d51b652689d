#include "settings/ini_file.h"

#include <stdexcept>

namespace tavrin {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// First byte of a double-byte (or four-byte) GBK character; the byte after it
// belongs to the same character whatever its value.
bool isLeadByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x81 && u <= 0xFE;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QByteArrayView withoutBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool namesEqual(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Offset of the first "]" in `text` that stands on its own, or -1.
qsizetype closingBracket(QByteArrayView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == ']')
            return i;
        if (isLeadByte(text[i]))
            ++i;
    }
    return -1;
}

// True when the last byte of `name` would take a following byte into its character.
bool endsInsideCharacter(QByteArrayView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isLeadByte(name[i])) {
            if (i + 1 == name.size())
                return true;
            ++i;
        }
    }
    return false;
}

struct Line {
    qsizetype begin = 0;
    qsizetype contentEnd = 0; // where the line break starts
    qsizetype end = 0;        // after the line break
};

Line lineAt(QByteArrayView file, qsizetype begin)
{
    Line line{begin, begin, begin};
    qsizetype p = begin;
    while (p < file.size() && !isLineBreak(file[p]))
        ++p;
    line.contentEnd = p;
    if (p < file.size() && file[p] == '\r')
        ++p;
    if (p < file.size() && file[p] == '\n' && (p == line.contentEnd || file[p - 1] == '\r'))
        ++p;
    line.end = p;
    return line;
}

enum class LineKind {
    Blank,
    Comment,
    Section,
    Entry,
    Other
};

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    QByteArrayView name;      // section name or key
    qsizetype valueBegin = 0; // offset in the file right after "="
};

ParsedLine parseLine(QByteArrayView file, const Line& line)
{
    const QByteArrayView content = file.sliced(line.begin, line.contentEnd - line.begin);
    const QByteArrayView text = withoutBlanks(content);
    if (text.isEmpty())
        return {};
    if (text[0] == ';' || text[0] == '#')
        return {LineKind::Comment, {}, 0};
    if (text[0] == '[') {
        const QByteArrayView inside = text.sliced(1);
        const qsizetype close = closingBracket(inside);
        return {LineKind::Section, withoutBlanks(close < 0 ? inside : inside.first(close)), 0};
    }
    const qsizetype equals = content.indexOf('=');
    if (equals < 0)
        return {LineKind::Other, {}, 0};
    return {LineKind::Entry, withoutBlanks(content.first(equals)), line.begin + equals + 1};
}

struct Location {
    bool sectionFound = false;
    qsizetype insertAt = 0; // where a new entry of the section goes
    bool insertAfterUnbrokenLine = false;
    bool keyFound = false;
    qsizetype valueBegin = 0; // right after "="
    qsizetype valueEnd = 0;   // the line end
};

Location locate(QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    Location found;
    bool inSection = false;
    qsizetype pos = file.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (pos < file.size()) {
        const Line line = lineAt(file, pos);
        const ParsedLine parsed = parseLine(file, line);
        if (parsed.kind == LineKind::Section) {
            if (inSection)
                break; // only the first section of the name counts
            if (namesEqual(parsed.name, section)) {
                inSection = found.sectionFound = true;
                found.insertAt = line.end;
                found.insertAfterUnbrokenLine = line.end == line.contentEnd;
            }
        } else if (inSection && (parsed.kind == LineKind::Entry || parsed.kind == LineKind::Other)) {
            found.insertAt = line.end;
            found.insertAfterUnbrokenLine = line.end == line.contentEnd;
            if (parsed.kind == LineKind::Entry && namesEqual(parsed.name, key)) {
                found.keyFound = true;
                found.valueBegin = parsed.valueBegin;
                found.valueEnd = line.contentEnd;
                return found;
            }
        }
        pos = line.end;
    }
    return found;
}

QByteArrayView lineBreakOf(QByteArrayView file)
{
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] == '\n')
            return "\n";
        if (file[i] == '\r')
            return (i + 1 < file.size() && file[i + 1] == '\n') ? QByteArrayView("\r\n") : QByteArrayView("\r");
    }
    return "\r\n";
}

bool holdsLineBreak(QByteArrayView text)
{
    return text.contains('\r') || text.contains('\n');
}

void refuseBrokenNames(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (holdsLineBreak(value))
        throw std::invalid_argument("an INI value cannot hold a line break");
    if (key.isEmpty() || holdsLineBreak(key) || key.contains('=') || key[0] == '[' || key[0] == ';' || key[0] == '#')
        throw std::invalid_argument("not a usable INI key name");
    if (holdsLineBreak(section) || closingBracket(section) >= 0 || endsInsideCharacter(section))
        throw std::invalid_argument("not a usable INI section name");
}

} // namespace

std::optional<QByteArray> iniValue(QByteArrayView file, QByteArrayView section, QByteArrayView key)
{
    const Location found = locate(file, withoutBlanks(section), withoutBlanks(key));
    if (!found.keyFound)
        return std::nullopt;
    return withoutBlanks(file.sliced(found.valueBegin, found.valueEnd - found.valueBegin)).toByteArray();
}

QByteArray iniWithValue(QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    section = withoutBlanks(section);
    key = withoutBlanks(key);
    refuseBrokenNames(section, key, value);

    const Location found = locate(file, section, key);
    const QByteArrayView lineBreak = lineBreakOf(file);
    QByteArray result;
    result.reserve(file.size() + section.size() + key.size() + value.size() + 16);

    if (found.keyFound) {
        result.append(file.first(found.valueBegin)).append(value).append(file.sliced(found.valueEnd));
        return result;
    }
    if (found.sectionFound) {
        result.append(file.first(found.insertAt));
        if (found.insertAfterUnbrokenLine)
            result.append(lineBreak);
        result.append(key).append('=').append(value).append(lineBreak);
        result.append(file.sliced(found.insertAt));
        return result;
    }
    result.append(file);
    const QByteArrayView content = file.startsWith(kUtf8Bom) ? file.sliced(kUtf8Bom.size()) : file;
    if (!content.isEmpty() && !isLineBreak(content.back()))
        result.append(lineBreak);
    result.append('[').append(section).append(']').append(lineBreak);
    result.append(key).append('=').append(value).append(lineBreak);
    return result;
}

} // namespace tavrin
