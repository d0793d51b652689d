#include "settings/step_settings.h"

#include "settings/settings_file.h"

namespace tavrin {

QString readStepSetting(const QString& settingsFolder, QStringView key)
{
    return readSettingValue(settingsFolder, kStepSection, key).value_or(key.toString());
}

void writeStepSetting(const QString& settingsFolder, QStringView key, QStringView value)
{
    writeSettingValues(settingsFolder, kStepSection, {{key.toString(), value.toString()}});
}

} // namespace tavrin
