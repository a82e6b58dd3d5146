#include "engine/export/PngExport.h"

#include "engine/emf/DeviceRounding.h"
#include "engine/export/PngWriter.h"
#include "error/Exception.h"
#include "error/FileError.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace tavim {

namespace {

// Pages handed out one at a time in order, so that the reads walk forward; the
// first failure is kept and ends the handing out.
// Threads: shared by the workers; m_mutex guards the source and the failure.
class PageQueue {
public:
    explicit PageQueue(const TPageSource& pages) : m_pages(pages) {}

    std::optional<std::pair<int, TMetafile>> next() {
        std::lock_guard lock(m_mutex);
        if (m_error)
            return std::nullopt;
        return m_pages();
    }

    void fail(std::exception_ptr error) {
        std::lock_guard lock(m_mutex);
        if (!m_error)
            m_error = std::move(error);
    }

    // After the workers have ended.
    void rethrow() const {
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    const TPageSource& m_pages;
    std::mutex m_mutex;
    std::exception_ptr m_error;
};

// A page image claims its own size: far beyond any paper at 96 dpi (A0 has 14
// million pixels) it is refused rather than drawn on gigabytes, twice over.
constexpr qint64 kMaxPagePixels = qint64(1) << 26;

EFCreateError cannotWrite(const QString& fileName) {
    return EFCreateError(QFileInfo(fileName).absoluteFilePath(),
                         QStringLiteral("The image could not be written."));
}

// A file that fails half-way is removed: no page is left cut short.
void writeFile(const QString& fileName, const QString& shownName, const QByteArray& bytes) {
    if (bytes.isEmpty())
        throw cannotWrite(shownName);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(QFileInfo(shownName).absoluteFilePath(), file.errorString());
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.remove();
        throw EFWriteError::onFile(QFileInfo(shownName).absoluteFilePath(), reason);
    }
}

// One worker's pages, drawn on one image that it reuses while the size stays.
// Threads: owned by its worker; no lock.
class PageDrawer {
public:
    // Null when the page cannot be drawn (too large, no image of its size, or
    // no painter).
    const QImage* draw(const TMetafile& page) {
        if (qint64(page.size().width()) * page.size().height() > kMaxPagePixels)
            return nullptr;
        if (m_image.size() != page.size()) {
            m_image = QImage(page.size(), QImage::Format_RGB32);
            const int dotsPerMeter = qRound(kScreenDpi / 0.0254);
            m_image.setDotsPerMeterX(dotsPerMeter);
            m_image.setDotsPerMeterY(dotsPerMeter);
        }
        if (m_image.isNull())
            return nullptr;
        m_image.fill(Qt::white);
        QPainter painter;
        if (!painter.begin(&m_image))
            return nullptr;
        page.play(painter, QRectF(QPointF(0, 0), page.size()));
        return painter.end() ? &m_image : nullptr;
    }

private:
    QImage m_image;
};

QString pageName(int n) {
    return QStringLiteral("page-%1.png").arg(n, 3, 10, QLatin1Char('0'));
}

void writePages(const QString& folder, const QString& shownFolder, PageQueue& queue) {
    try {
        PageDrawer drawer;
        TPngWriter png;
        while (const auto next = queue.next()) {
            const auto& [n, page] = *next;
            const QString fileName = QDir(folder).filePath(pageName(n));
            const QString shownName = QDir(shownFolder).filePath(pageName(n));
            const QImage* image = drawer.draw(page);
            if (!image)
                throw cannotWrite(shownName);
            writeFile(fileName, shownName, png.encode(*image));
        }
    } catch (...) {
        queue.fail(std::current_exception());
    }
}

} // namespace

void WritePngPages(const TPageSource& pages, const QString& folder, const QString& shownFolder) {
    PageQueue queue(pages);
    {
        std::jthread other([&] { writePages(folder, shownFolder, queue); });
        writePages(folder, shownFolder, queue);
    }
    queue.rethrow();
}

} // namespace tavim
