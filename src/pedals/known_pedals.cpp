#include "pedals/known_pedals.h"

namespace tavrin {

namespace {

int hexDigitValue(QChar digit)
{
    if (digit >= u'0' && digit <= u'9') {
        return digit.unicode() - u'0';
    }
    if (digit >= u'a' && digit <= u'f') {
        return digit.unicode() - u'a' + 10;
    }
    if (digit >= u'A' && digit <= u'F') {
        return digit.unicode() - u'A' + 10;
    }
    return -1;
}

std::optional<std::uint16_t> parseHexWord(QStringView digits)
{
    std::uint16_t value = 0;
    for (QChar digit : digits) {
        const int nibble = hexDigitValue(digit);
        if (nibble < 0) {
            return std::nullopt;
        }
        value = static_cast<std::uint16_t>(value * 16 + nibble);
    }
    return value;
}

} // namespace

std::optional<UsbId> parseUsbId(QStringView text)
{
    if (text.size() != 9 || text[4] != u':') {
        return std::nullopt;
    }
    const auto vendor = parseHexWord(text.first(4));
    const auto product = parseHexWord(text.sliced(5));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbId{*vendor, *product};
}

QString usbIdText(UsbId id)
{
    return QStringLiteral("%1:%2").arg(id.vendor, 4, 16, QLatin1Char('0')).arg(id.product, 4, 16, QLatin1Char('0'));
}

const QList<KnownPedal>& knownPedals()
{
    // Each ID as a public source reports it for the model; the rule file
    // data/70-tavrin-pedals.rules holds one line for each entry.
    static const QList<KnownPedal> pedals{
        // lsusb "05f3:00ff PI Engineering, Inc. VEC Footpedal":
        // https://github.com/rvaiya/keyd/issues/591,
        // https://github.com/pqrs-org/Karabiner-Elements/issues/3877 (VEC USB Footpedal, IN-USB-3)
        {"05f3:00ff", "VEC Infinity IN-USB-2/IN-USB-3"},
        // Play mode; the programming mode's 05f3:0232 is no pedal:
        // https://github.com/Dicklesworthstone/savant-elite/blob/main/RE_FINDINGS.md
        {"05f3:030c", "Kinesis Savant Elite"},
        // "3-pedal Foot control ACC2310/2320", "4-pedal Foot control ACC2330":
        // https://github.com/GoogleChromeLabs/dictation_support/blob/main/src/dictation_device_manager.ts
        {"0911:1844", "Philips ACC2310/ACC2320"},
        {"0911:091a", "Philips ACC2330"},
        // The footswitch tool's table of PCsensor devices:
        // https://github.com/rgerganov/footswitch/blob/master/README.md
        {"0c45:7403", "PCsensor FootSwitch"},
        {"0c45:7404", "PCsensor FootSwitch"},
        {"413d:2107", "PCsensor FootSwitch"},
        {"3553:b001", "PCsensor FootSwitch"},
        // Sold as iKKEGOL; same table, and https://github.com/rgerganov/footswitch/issues/65
        {"1a86:e026", "iKKEGOL FootSwitch"},
    };
    return pedals;
}

std::optional<QString> knownPedalModel(UsbId id)
{
    for (const KnownPedal& pedal : knownPedals()) {
        if (parseUsbId(QString::fromLatin1(pedal.usbId)) == id) {
            return QString::fromUtf8(pedal.model);
        }
    }
    return std::nullopt;
}

} // namespace tavrin
