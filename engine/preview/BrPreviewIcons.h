#pragma once

#include <QList>
#include <QPixmap>

namespace tavim {

// The preview tool bar's image list, 16 x 16 each, in this order.
enum class TBrPreviewIcon {
    ZoomFit,
    Zoom100,
    ZoomToWidth,
    FirstPage,
    PreviousPage,
    NextPage,
    LastPage,
    PrinterSetup,
    Print,
    LoadReport,
    SaveReport
};
inline constexpr int kPreviewIconCount = 11;

QList<QPixmap> previewImageList();

} // namespace tavim
