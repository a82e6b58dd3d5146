#pragma once

#include <QPicture>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace tavim {
class TBrPrinter;
}

namespace tavim::bench {

double seconds(const std::function<void()>& work);
// The stored pages' drawing calls as pictures, so that a baseline can draw the
// same contents straight onto its own device.
std::vector<QPicture> record(TBrPrinter& store, QSize& size);
// The pictures through QPdfWriter at 1 200 dpi, each scaled to a whole A4 page.
void directPdf(const std::vector<QPicture>& pictures, QSize size, const QString& file);

} // namespace tavim::bench
