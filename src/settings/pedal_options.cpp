#include "settings/pedal_options.h"

#include "settings/settings_file.h"

#include <optional>

namespace tavrin {

namespace {

// The words stored for the roles and modes: plain ASCII, so a hand-edited file
// in any encoding reads the same.
struct RoleWord {
    PedalRole role;
    QStringView word;
};

constexpr RoleWord kRoleWords[] = {
    {PedalRole::None, u"none"},
    {PedalRole::Back, u"back"},
    {PedalRole::Play, u"play"},
    {PedalRole::Forward, u"forward"},
    {PedalRole::PreviousPassage, u"previous"},
    {PedalRole::NextPassage, u"next"},
};

constexpr QStringView kPedalKeys[kPedalCount] = {kLeftPedalKey, kMiddlePedalKey, kRightPedalKey};
constexpr int kLargestKeyCode = 0x2ff; // KEY_MAX of the kernel's input codes
constexpr QStringView kHoldWord = u"hold";
constexpr QStringView kToggleWord = u"toggle";

QString damagedValue(QStringView key, QStringView value, const QString& expected)
{
    return damagedSettingText(kPedalSection, key, value, expected);
}

std::optional<PedalRole> parseRole(QStringView text)
{
    for (const RoleWord& entry : kRoleWords) {
        if (text.trimmed() == entry.word)
            return entry.role;
    }
    return std::nullopt;
}

QString roleWord(PedalRole role)
{
    for (const RoleWord& entry : kRoleWords) {
        if (entry.role == role)
            return entry.word.toString();
    }
    return QStringLiteral("none");
}

std::optional<PedalPlayMode> parsePlayMode(QStringView text)
{
    if (text.trimmed() == kHoldWord)
        return PedalPlayMode::HoldToPlay;
    if (text.trimmed() == kToggleWord)
        return PedalPlayMode::Toggle;
    return std::nullopt;
}

} // namespace

std::optional<QList<int>> parsePedalKeys(QStringView text)
{
    QList<int> keys;
    if (text.trimmed().isEmpty())
        return keys;
    for (const QStringView part : text.split(u',')) {
        bool ok = false;
        const int code = part.trimmed().toInt(&ok);
        if (!ok || code < 1 || code > kLargestKeyCode || keys.contains(code))
            return std::nullopt;
        keys.append(code);
    }
    if (keys.size() > kPedalCount)
        return std::nullopt;
    return keys;
}

QString pedalKeysText(const QList<int>& keys)
{
    QStringList parts;
    for (const int code : keys)
        parts << QString::number(code);
    return parts.join(u',');
}

StoredPedalOptions readPedalOptions(const QString& settingsFolder)
{
    const QList<std::optional<QString>> texts = readSettingValues(
        settingsFolder, kPedalSection,
        {kPedalDeviceKey, kPedalPlayModeKey, kLeftPedalKey, kMiddlePedalKey, kRightPedalKey, kPedalKeysKey});
    StoredPedalOptions stored;
    if (texts[0])
        stored.options.devicePath = texts[0]->trimmed();
    if (const std::optional<QString>& text = texts[1]) {
        if (const auto mode = parsePlayMode(*text))
            stored.options.playMode = *mode;
        else
            stored.problems << damagedValue(
                kPedalPlayModeKey, *text,
                QStringLiteral("应为hold（按住播放）或toggle（按一下播放/暂停）。现按hold处理。"));
    }
    for (int pedal = 0; pedal < kPedalCount; ++pedal) {
        const std::optional<QString>& text = texts[pedal + 2];
        if (!text)
            continue;
        if (const auto role = parseRole(*text))
            stored.options.roles[pedal] = *role;
        else
            stored.problems << damagedValue(
                kPedalKeys[pedal], *text,
                QStringLiteral("应为back（后退）、play（播放）、forward（前进）、previous（上一段）、next（下一段）"
                               "或none（不用）。现按%1处理。")
                    .arg(roleWord(stored.options.roles[pedal])));
    }
    if (const std::optional<QString>& text = texts[5]) {
        if (const auto keys = parsePedalKeys(*text))
            stored.options.pedalKeys = *keys;
        else
            stored.problems << damagedValue(kPedalKeysKey, *text,
                                            QStringLiteral("应为一到三个用逗号隔开的按键码（1到767），从左踏板起。"
                                                           "现按踏板自己的按钮处理。"));
    }
    return stored;
}

void writePedalOptions(const QString& settingsFolder, const PedalOptions& options)
{
    SettingValues values{
        {kPedalDeviceKey.toString(), options.devicePath},
        {kPedalPlayModeKey.toString(),
         (options.playMode == PedalPlayMode::Toggle ? kToggleWord : kHoldWord).toString()},
    };
    for (int pedal = 0; pedal < kPedalCount; ++pedal)
        values.append({kPedalKeys[pedal].toString(), roleWord(options.roles[pedal])});
    values.append({kPedalKeysKey.toString(), pedalKeysText(options.pedalKeys)});
    writeSettingValues(settingsFolder, kPedalSection, values);
}

} // namespace tavrin
