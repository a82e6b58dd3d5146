#pragma once

#include <QString>

namespace tavim {

// The error box's text: a full stop is added when the message ends in a
// character whose code lies above that of ".".
QString ErrorBoxText(const QString& message);

} // namespace tavim
