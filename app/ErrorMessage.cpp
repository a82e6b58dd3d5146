#include "app/ErrorMessage.h"

namespace tavim {

QString ErrorBoxText(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    return message + QLatin1Char('.');
}

} // namespace tavim
