// Stored step lengths: whatever text a settings file may hold.
#include "fuzz_support.h"
#include "settings/integer_text.h"

#include <QString>

#include <charconv>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// An independent reading of the documented grammar, by the standard library's own
// number conversion: spaces, a sign, then decimals or up to eight hex digits after a marker.
std::optional<qint32> expectedReading(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return std::nullopt;
    }
    QByteArray ascii = text.toLatin1();
    qsizetype pos = 0;
    while (pos < ascii.size() && ascii[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < ascii.size() && (ascii[pos] == '+' || ascii[pos] == '-'))
        negative = ascii[pos++] == '-';
    QByteArrayView rest = QByteArrayView(ascii).sliced(pos);
    int base = 10;
    for (QByteArrayView marker :
         {QByteArrayView("0x"), QByteArrayView("0X"), QByteArrayView("$"), QByteArrayView("x"), QByteArrayView("X")}) {
        if (rest.startsWith(marker)) {
            rest = rest.sliced(marker.size());
            base = 16;
            break;
        }
    }
    if (rest.isEmpty() || (base == 16 && rest.size() > 8) || rest[0] == '+' || rest[0] == '-')
        return std::nullopt;
    const char* const end = rest.data() + rest.size();
    if (base == 16) {
        quint32 bits = 0;
        const auto [stop, error] = std::from_chars(rest.data(), end, bits, 16);
        if (stop != end || error != std::errc())
            return std::nullopt;
        return qint32(negative ? 0u - bits : bits);
    }
    qint64 magnitude = 0;
    const auto [stop, error] = std::from_chars(rest.data(), end, magnitude, 10);
    if (stop != end)
        return std::nullopt;
    const qint64 value = negative ? -magnitude : magnitude;
    if (error != std::errc() || value < std::numeric_limits<qint32>::min()
        || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<qint32> value = tavrin::parseInteger(text);
    FUZZ_CHECK(value == expectedReading(text));
    FUZZ_CHECK(tavrin::parseInteger(u"   "_s + text) == value);
    if (value) {
        // The same number written in each of the accepted forms reads back as itself.
        const quint32 bits = quint32(*value);
        FUZZ_CHECK(tavrin::parseInteger(QString::number(*value)) == value);
        FUZZ_CHECK(tavrin::parseInteger(u"$"_s + QString::number(bits, 16).toUpper()) == value);
        FUZZ_CHECK(tavrin::parseInteger(u"-0x"_s + QString::number(0u - bits, 16)) == value);
    }
    const QString message = tavrin::notValidIntegerMessage(text);
    FUZZ_CHECK(message == u'\'' + text + u"' is not a valid integer value"_s);
    return 0;
}
