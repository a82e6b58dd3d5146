// Widths, glyph advances and recorded fonts are kept per thread for the run;
// a page printed with them warm must be the page printed with them cold.

#include "ReportFixture.h"

#include "engine/band/BrCanvas.h"
#include "engine/band/BrDBText.h"
#include "engine/band/BrLabel.h"
#include "engine/band/BrShape.h"
#include "engine/band/BrSysData.h"
#include "engine/emf/Metafile.h"
#include "engine/emf/MetafileRecorder.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

using namespace tavim;
using namespace tavim::test;

namespace {

QFont sized(const char* family, int points, bool bold = false) {
    QFont font(QString::fromUtf8(family));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

TEST(Caches, AWarmPageIsTheColdPageByteForByte) {
    RowsModule data(12);
    data.table.open();
    TBandReport report{nullptr, "relatorio"};
    TBrBand band{report, "detalhe", TBrBandType::rbDetail};
    std::vector<std::unique_ptr<TBrCustomLabel>> texts;
    const auto text = [&](std::unique_ptr<TBrCustomLabel> t, int left, int width,
                          TBrAlignment alignment, const QFont& font) {
        t->Font = font;
        t->AutoSize = false;
        t->Alignment = alignment;
        t->setPixelBounds(left, 0, width, 30);
        texts.push_back(std::move(t));
        return texts.back().get();
    };
    // Repeated on every row.
    text(std::make_unique<TBrLabel>(band, "fixed"), 0, 60, TBrAlignment::taLeftJustify,
         sized("Arial Narrow", 6, true))
        ->setCaption("Total da página:");
    // Long, broken into lines and cut.
    text(std::make_unique<TBrLabel>(band, "long"), 300, 90, TBrAlignment::taCenter,
         sized("Arial", 9))
        ->setCaption("Avenida Presidente Juscelino Kubitschek de Oliveira, conjunto 1024-B");
    // Unique on every row, and an amount.
    for (const auto& [field, left, alignment] :
         {std::tuple{"PROPRIETARIO", 70, TBrAlignment::taLeftJustify},
          std::tuple{"ALUGUEL", 200, TBrAlignment::taRightJustify}}) {
        auto data_text = std::make_unique<TBrDBText>(band, field);
        data_text->DataSet = &data.table;
        data_text->DataField = field;
        data_text->Charset = ANSI_CHARSET;
        text(std::move(data_text), left, 37, alignment, sized("Arial Narrow", 6))->prepare();
    }
    auto page = std::make_unique<TBrSysData>(band, "sData");
    page->Text = "Pagina ";
    text(std::move(page), 700, 74, TBrAlignment::taRightJustify, sized("Arial", 8));
    TBrShape line(band, "rule");
    line.Shape = TBrShapeType::brsHorLine;
    line.setPixelBounds(0, 32, 779, 1);

    const auto printPage = [&] {
        TMetafileRecorder recorder(QSize(794, 1123));
        {
            QPainter painter(recorder.device());
            TBrPainterCanvas canvas(painter, 96, 96);
            data.table.FirstRow();
            for (int row = 0; row < 12; ++row) {
                const long double top = row * 34 * 254.0L / 96;
                for (const auto& t : texts)
                    t->print(canvas, 0, top);
                line.print(canvas, 0, top);
                data.table.MoveRows(1);
            }
        }
        return recorder.finish().bytes();
    };
    // A thread of its own starts with empty caches.
    QByteArray cold;
    QByteArray warm;
    std::thread worker([&] {
        cold = printPage();
        warm = printPage();
    });
    worker.join();
    EXPECT_GT(cold.size(), 5000);
    EXPECT_TRUE(cold == warm) << cold.size() << " and " << warm.size() << " bytes";
    EXPECT_TRUE(printPage() == cold) << "on another thread with its own caches";
}

} // namespace
