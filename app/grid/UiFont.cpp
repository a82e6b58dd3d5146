#include "app/grid/UiFont.h"

namespace tavim {

QFont UiFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace tavim
