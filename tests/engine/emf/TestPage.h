#pragma once

#include "engine/emf/Metafile.h"
#include "engine/emf/MetafileRecorder.h"

#include <QFont>
#include <QImage>
#include <functional>

class QPainter;

namespace tavim::test {

constexpr int kPageWidth = 794;
constexpr int kPageHeight = 1123;

using Painting = std::function<void(QPainter&)>;

QImage blankPage(int width = kPageWidth, int height = kPageHeight);
QFont font(const QString& family, int pixels, bool bold = false);
TMetafile record(const Painting& paint);
// The page as QPainter paints it straight onto an A4 image.
QImage paintedDirectly(const Painting& paint);
// The page recorded, then replayed 1:1 onto an A4 image.
QImage replayed(const TMetafile& page);
int differingPixels(const QImage& a, const QImage& b);

} // namespace tavim::test
