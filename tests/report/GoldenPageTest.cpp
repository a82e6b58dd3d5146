// Page 1 and the summary page of a fixed listing, compared with golden images.
// Regenerate them after an intended change of the layout with
//   TAVIM_UPDATE_GOLDEN=1 build/tests/report/tavim_report_tests --gtest_filter='Golden*'
// and look at the new files before committing them.

#include "ReportFixture.h"

#include "format/LocaleSettings.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

const QString kGoldenDir = QStringLiteral(TAVIM_GOLDEN_DIR);

// Half-size grey images keep the golden files small and forgive nothing that
// a reader would notice.
QImage rendered(const TMetafile& page) {
    QImage image(page.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        page.play(painter, QRectF(QPointF(0, 0), page.size()));
    }
    return image.convertToFormat(QImage::Format_Grayscale8)
        .scaled(page.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The share of pixels whose grey level differs by more than a small step.
double differingShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 1;
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            differing += std::abs(int(pa[x]) - int(pb[x])) > 48;
    }
    return double(differing) / (double(a.width()) * a.height());
}

void compareWithGolden(const QImage& image, const QString& name) {
    const QString path = kGoldenDir + QLatin1Char('/') + name;
    if (qEnvironmentVariableIsSet("TAVIM_UPDATE_GOLDEN")) {
        ASSERT_TRUE(image.save(path)) << qPrintable(path);
        return;
    }
    const QImage golden(path);
    ASSERT_FALSE(golden.isNull()) << "missing " << qPrintable(path);
    const double share = differingShare(image, golden.convertToFormat(QImage::Format_Grayscale8));
    if (share > 0.002)
        image.save(QStringLiteral("actual-") + name);
    EXPECT_LE(share, 0.002) << qPrintable(name) << ": see actual-" << qPrintable(name);
}

TEST(Golden, FirstAndSummaryPages) {
    LocaleSettings::set(QChar(','), QChar('.'));
    ReportRun report(contracts(60, [](int i) {
        return Amounts{1000 + 37.25 * i, 100 + 3.5 * i,
                       i % 3 ? std::optional<double>(12.5 * i) : std::nullopt};
    }));
    report.form.setPeriod(QStringLiteral("FEVEREIRO"), QStringLiteral("2024"));
    const std::vector<TMetafile> pages = report.generate();
    LocaleSettings::reload();
    ASSERT_EQ(pages.size(), 2u);
    compareWithGolden(rendered(pages.front()), QStringLiteral("page-1.png"));
    compareWithGolden(rendered(pages.back()), QStringLiteral("summary.png"));
}

} // namespace
