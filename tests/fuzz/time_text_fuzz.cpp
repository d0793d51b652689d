// Go-to-time texts as anyone may type them, and player texts for any double.
#include "fuzz_support.h"
#include "transcript/time_text.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 kSecondsPerDay = 24 * 3600;

bool isDigits(QStringView text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !text.isEmpty();
}

// MM:SS, or HH:MM:SS from one hour on, with two-digit minutes and seconds below 60.
bool hasClockShape(const QString& text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 2 && parts.size() != 3)
        return false;
    for (const QString& part : parts) {
        if (!isDigits(part) || part.size() < 2)
            return false;
    }
    const QString& minutes = parts[parts.size() - 2];
    const QString& seconds = parts.back();
    if (minutes.size() != 2 || seconds.size() != 2 || minutes.toInt() > 59 || seconds.toInt() > 59)
        return false;
    return parts.size() == 2 || parts[0].toLongLong() > 0;
}

void checkTypedTime(const QString& text)
{
    const std::optional<qint32> seconds = tavrin::parseTimeText(text);
    // Blanks at either end are allowed, so they never change the reading.
    FUZZ_CHECK(tavrin::parseTimeText(u" "_s + text + u"  "_s) == seconds);
    if (!seconds)
        return;
    FUZZ_CHECK(*seconds >= 0 && *seconds < kSecondsPerDay);
    // What the position display shows for that moment goes back to the same moment.
    const QString shown = tavrin::displayTimeText(tavrin::playerTimeText(*seconds));
    FUZZ_CHECK(shown.size() == 8);
    FUZZ_CHECK(tavrin::parseTimeText(shown) == seconds);
}

void checkPlayerTime(double seconds)
{
    const QString text = tavrin::playerTimeText(seconds);
    if (!std::isfinite(seconds) || seconds < 0) {
        FUZZ_CHECK(text == u"00:00"_s);
        return;
    }
    FUZZ_CHECK(hasClockShape(text));
    const QString shown = tavrin::displayTimeText(text);
    FUZZ_CHECK(shown.size() >= 8 && shown.endsWith(text.right(5)));
    if (seconds < kSecondsPerDay)
        FUZZ_CHECK(tavrin::parseTimeText(shown) == qint32(std::floor(seconds)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkTypedTime(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    // Every eight bytes are also a position, NaN and infinities included.
    for (size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
        double seconds = 0;
        std::memcpy(&seconds, data + at, sizeof seconds);
        checkPlayerTime(seconds);
    }
    return 0;
}
