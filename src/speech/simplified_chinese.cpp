#include "speech/simplified_chinese.h"

#include <opencc/opencc.h>

namespace tavrin {

namespace {

const opencc_t kNotOpened = reinterpret_cast<opencc_t>(-1);

} // namespace

std::unique_ptr<SimplifiedChinese> SimplifiedChinese::create(QString* problem)
{
    const opencc_t converter = opencc_open("t2s.json");
    if (converter == kNotOpened) {
        *problem = QStringLiteral("繁体转简体无法使用（OpenCC：%1）。请安装 libopencc1.1。")
                       .arg(QString::fromUtf8(opencc_error()));
        return nullptr;
    }
    return std::unique_ptr<SimplifiedChinese>(new SimplifiedChinese(converter));
}

SimplifiedChinese::SimplifiedChinese(void* converter)
    : converter_(converter)
{
}

SimplifiedChinese::~SimplifiedChinese()
{
    opencc_close(static_cast<opencc_t>(converter_));
}

QString SimplifiedChinese::convert(const QString& text) const
{
    const QByteArray utf8 = text.toUtf8();
    char* converted =
        opencc_convert_utf8(static_cast<opencc_t>(converter_), utf8.constData(), std::size_t(utf8.size()));
    if (!converted)
        return text; // a text OpenCC cannot take stays as the model wrote it
    const QString result = QString::fromUtf8(converted);
    opencc_convert_utf8_free(converted);
    return result;
}

} // namespace tavrin
