#pragma once

#include <QFont>

namespace tavim {

// The windows' design font, "MS Sans Serif" 8 point (11 pixels high), is not
// installed here: DejaVu Sans Condensed at the same pixel size has its line
// height (13) and digit width (6), so rows and default widths come out as designed.
QFont UiFont(int pixelSize = 11, bool bold = false);

} // namespace tavim
