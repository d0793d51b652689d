#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace tavrin {

// A USB device's vendor and product numbers, as lsusb shows them ("05f3:00ff").
struct UsbId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;

    friend bool operator==(const UsbId&, const UsbId&) = default;
};

// "vvvv:pppp" with exactly four hexadecimal digits on each side (either case);
// nullopt for anything else.
std::optional<UsbId> parseUsbId(QStringView text);

// The ID again in lsusb's lower-case form, as udev rules compare it.
QString usbIdText(UsbId id);

struct KnownPedal {
    const char* usbId; // "vvvv:pppp"
    const char* model;
};

// The transcription foot pedals found and opened without being named.
const QList<KnownPedal>& knownPedals();

// The model for an ID in the table, or nullopt for a device not in it.
std::optional<QString> knownPedalModel(UsbId id);

} // namespace tavrin
