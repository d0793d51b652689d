// Editing a settings file of any bytes: input is "section\0key\0other key\0value\0file".
#include "fuzz_support.h"
#include "settings/ini_file.h"

#include <QByteArray>

#include <stdexcept>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView withoutBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool holdsLineBreak(QByteArrayView text)
{
    return text.contains('\r') || text.contains('\n');
}

bool isLeadByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x81 && u <= 0xFE;
}

// The refusals the header lists, for the names as the writer trims them.
bool refusalIsDocumented(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    section = withoutBlanks(section);
    key = withoutBlanks(key);
    const bool badKey = key.isEmpty() || holdsLineBreak(key) || key.contains('=') || key.front() == '['
        || key.front() == ';' || key.front() == '#';
    const bool badSection =
        holdsLineBreak(section) || section.contains(']') || (!section.isEmpty() && isLeadByte(section.back()));
    return holdsLineBreak(value) || badKey || badSection;
}

// What of `before` is missing from `after` once their common start and end are set aside.
QByteArrayView removedBytes(QByteArrayView before, QByteArrayView after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype start = 0;
    while (start < shorter && before[start] == after[start])
        ++start;
    qsizetype end = 0;
    while (end < shorter - start && before[before.size() - 1 - end] == after[after.size() - 1 - end])
        ++end;
    return before.sliced(start, before.size() - start - end);
}

// Two names that differ even when ASCII letters are folded, and so under any
// comparison the reader may use.
bool surelyDifferentNames(QByteArrayView a, QByteArrayView b)
{
    return withoutBlanks(a).toByteArray().toLower() != withoutBlanks(b).toByteArray().toLower();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<QByteArrayView> parts = tavrin::fuzz::splitInput(data, size, 5);
    const QByteArrayView section = parts[0], key = parts[1], otherKey = parts[2], value = parts[3], file = parts[4];

    if (const std::optional<QByteArray> read = tavrin::iniValue(file, section, key))
        FUZZ_CHECK(!holdsLineBreak(*read) && withoutBlanks(*read) == *read);

    QByteArray edited;
    try {
        edited = tavrin::iniWithValue(file, section, key, value);
    } catch (const std::invalid_argument&) {
        FUZZ_CHECK(refusalIsDocumented(section, key, value));
        return 0;
    }
    // The next read sees the write.
    FUZZ_CHECK(tavrin::iniValue(edited, section, key) == withoutBlanks(value).toByteArray());
    // At most the rest of one line was replaced: no other line lost a byte.
    FUZZ_CHECK(!holdsLineBreak(removedBytes(file, edited)));
    // Other entries of the section read as before.
    if (surelyDifferentNames(key, otherKey))
        FUZZ_CHECK(tavrin::iniValue(edited, section, otherKey) == tavrin::iniValue(file, section, otherKey));
    // Writing the same again changes nothing.
    FUZZ_CHECK(tavrin::iniWithValue(edited, section, key, value) == edited);
    return 0;
}
