#include "settings/step_settings.h"

#include "encoding/gbk_codec.h"
#include "files/atomic_file.h"
#include "settings/ini_file.h"
#include "settings/settings_location.h"

#include <QFile>

#include <optional>

#include <stdexcept>

namespace tavrin {

namespace {

// A settings file is a few lines long; anything this large is not ours to read
// on every key press, nor to rewrite.
constexpr qint64 kLargestSettingsFile = 1024 * 1024;

std::optional<QByteArray> readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSettingsFile)
        return std::nullopt;
    QByteArray bytes = file.read(kLargestSettingsFile + 1);
    if (bytes.size() > kLargestSettingsFile || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

[[noreturn]] void unableToWrite(const QString& path)
{
    throw std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString());
}

} // namespace

QString readStepSetting(const QString& settingsFolder, QStringView key)
{
    const QString path = findSettingsFile(settingsFolder);
    if (path.isEmpty())
        return key.toString();
    const std::optional<QByteArray> file = readWhole(path);
    if (!file)
        return key.toString();
    const std::optional<QByteArray> value = iniValue(*file, encodeGbk(kStepSection), encodeGbk(key));
    return value ? decodeGbk(*value) : key.toString();
}

void writeStepSetting(const QString& settingsFolder, QStringView key, QStringView value)
{
    const QString path = settingsFilePath(settingsFolder);
    QByteArray file;
    if (QFile::exists(path)) {
        const std::optional<QByteArray> current = readWhole(path);
        if (!current)
            unableToWrite(path);
        file = *current;
    }
    try {
        writeFileAtomically(path, iniWithValue(file, encodeGbk(kStepSection), encodeGbk(key), encodeGbk(value)));
    } catch (const std::exception&) {
        unableToWrite(path);
    }
}

} // namespace tavrin
