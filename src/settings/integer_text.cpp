#include "settings/integer_text.h"

#include <limits>

namespace tavrin {

namespace {

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isDecimalDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Length of the hexadecimal marker at the start of `text`, 0 when there is none.
qsizetype hexPrefixLength(QStringView text)
{
    if (text.startsWith(u'$') || text.startsWith(u'x') || text.startsWith(u'X'))
        return 1;
    if (text.startsWith(u"0x") || text.startsWith(u"0X"))
        return 2;
    return 0;
}

std::optional<quint32> parseHexBits(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 bits = 0;
    for (QChar c : digits) {
        const int value = hexDigitValue(c);
        if (value < 0)
            return std::nullopt;
        bits = (bits << 4) | quint32(value);
    }
    return bits;
}

// The magnitude of a decimal run, or nullopt when it is not all digits or exceeds 2^31.
std::optional<quint32> parseDecimalMagnitude(QStringView digits)
{
    constexpr quint64 limit = quint64(1) << 31;
    if (digits.isEmpty())
        return std::nullopt;
    quint64 magnitude = 0;
    for (QChar c : digits) {
        if (!isDecimalDigit(c))
            return std::nullopt;
        magnitude = magnitude * 10 + quint64(c.unicode() - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return quint32(magnitude);
}

} // namespace

std::optional<qint32> parseInteger(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && text[pos] == u' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const QStringView rest = text.mid(pos);

    if (const qsizetype prefix = hexPrefixLength(rest)) {
        const std::optional<quint32> bits = parseHexBits(rest.mid(prefix));
        if (!bits)
            return std::nullopt;
        // The sign applies to the 32-bit pattern, wrapping as the register would.
        const quint32 signedBits = negative ? 0u - *bits : *bits;
        return qint32(signedBits);
    }

    const std::optional<quint32> magnitude = parseDecimalMagnitude(rest);
    if (!magnitude)
        return std::nullopt;
    if (negative)
        return qint32(0u - *magnitude);
    if (*magnitude > quint32(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(*magnitude);
}

QString notValidIntegerMessage(QStringView text)
{
    return QLatin1Char('\'') + text.toString() + QStringLiteral("' is not a valid integer value");
}

} // namespace tavrin
