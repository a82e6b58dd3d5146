#include "Recorded.h"

#include "engine/store/BrPrinter.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <chrono>

namespace tavim::bench {

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<QPicture> record(TBrPrinter& store, QSize& size) {
    std::vector<QPicture> pictures(std::size_t(store.pageCount()));
    for (int n = 1; n <= store.pageCount(); ++n) {
        const auto page = store.getPage(n);
        size = page->size();
        QPainter painter(&pictures[std::size_t(n - 1)]);
        page->play(painter, QRectF(QPointF(0, 0), page->size()));
    }
    return pictures;
}

void directPdf(const std::vector<QPicture>& pictures, QSize size, const QString& file) {
    QPdfWriter pdf(file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(1200);
    QPainter painter(&pdf);
    painter.scale(double(pdf.width()) / size.width(), double(pdf.height()) / size.height());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (i > 0)
            pdf.newPage();
        painter.drawPicture(0, 0, pictures[i]);
    }
}

} // namespace tavim::bench
