#include "settings/settings_file.h"

#include "encoding/gbk_codec.h"
#include "files/atomic_file.h"
#include "settings/ini_file.h"
#include "settings/settings_location.h"

#include <QFile>

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

std::optional<QString> readSettingValue(const QString& settingsFolder, QStringView section, QStringView key)
{
    return readSettingValues(settingsFolder, section, {key}).constFirst();
}

QList<std::optional<QString>> readSettingValues(const QString& settingsFolder, QStringView section,
                                                const QList<QStringView>& keys)
{
    QList<std::optional<QString>> values(keys.size());
    const QString path = findSettingsFile(settingsFolder);
    const std::optional<QByteArray> file = path.isEmpty() ? std::nullopt : readWhole(path);
    if (!file)
        return values;
    const QByteArray sectionName = encodeGbk(section);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (const std::optional<QByteArray> value = iniValue(*file, sectionName, encodeGbk(keys[i])))
            values[i] = decodeGbk(*value);
    }
    return values;
}

std::optional<bool> parseSettingFlag(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed == u"1")
        return true;
    if (trimmed == u"0")
        return false;
    return std::nullopt;
}

QString damagedSettingText(QStringView section, QStringView key, QStringView value, const QString& expected)
{
    return QStringLiteral("设置文件 Time.ini 的[%1]中，%2 的值“%3”无效：%4")
        .arg(section.toString(), key.toString(), value.toString(), expected);
}

void writeSettingValues(const QString& settingsFolder, QStringView section, const SettingValues& values)
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
        const QByteArray sectionName = encodeGbk(section);
        for (const auto& [key, value] : values)
            file = iniWithValue(file, sectionName, encodeGbk(key), encodeGbk(value));
        // The user may have linked the file from elsewhere (a folder of dotfiles): a link of their own is followed.
        writeFileAtomically(path, file, LinkRule::FollowOwn);
    } catch (const std::exception&) {
        unableToWrite(path);
    }
}

} // namespace tavrin
