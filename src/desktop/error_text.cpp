#include "desktop/error_text.h"

namespace tavrin {

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

} // namespace tavrin
