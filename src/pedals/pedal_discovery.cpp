#include "pedals/pedal_discovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrin {

namespace {

std::optional<std::uint16_t> readHexWord(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    bool ok = false;
    const uint value = file.readAll().trimmed().toUInt(&ok, 16);
    if (!ok || value > 0xffff) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace

QStringList inputEventNodes()
{
    const QDir folder(QString::fromLatin1(kInputDeviceFolder));
    QStringList nodes;
    for (const QString& name : folder.entryList({QStringLiteral("event*")}, QDir::System | QDir::NoDotAndDotDot)) {
        nodes.append(folder.filePath(name));
    }
    return nodes;
}

std::optional<UsbId> sysfsUsbId(const QString& eventNode)
{
    const QString name = QFileInfo(eventNode).fileName();
    if (!name.startsWith(QLatin1StringView("event"))) {
        return std::nullopt;
    }
    const QString ids = QStringLiteral("/sys/class/input/%1/device/id/").arg(name);
    const auto vendor = readHexWord(ids + QLatin1StringView("vendor"));
    const auto product = readHexWord(ids + QLatin1StringView("product"));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbId{*vendor, *product};
}

bool isKnownPedalNode(const QString& eventNode)
{
    const auto id = sysfsUsbId(eventNode);
    return id && knownPedalModel(*id).has_value();
}

} // namespace tavrin
