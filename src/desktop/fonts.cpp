#include "desktop/fonts.h"

#include <fontconfig/fontconfig.h>

namespace tavrin {

QFont interfaceFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Sans Serif")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont editorFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Serif")});
    font.setPixelSize(29);
    return font;
}

FontConfigurationReader::FontConfigurationReader()
    : thread_([] { FcInit(); })
{
}

FontConfigurationReader::~FontConfigurationReader()
{
    wait();
}

void FontConfigurationReader::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace tavrin
