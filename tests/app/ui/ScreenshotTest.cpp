// The main window with a generated listing, rendered to a PNG and checked by
// pixels: the arrow glyph, the title row and the column lines.

#include "UiTestSupport.h"

#include "app/FrmTavim.h"
#include "app/Program.h"
#include "app/grid/DataGrid.h"
#include "app/grid/GridGlyphs.h"
#include "data/DataModCad.h"

#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

bool dark(const QColor& c) {
    return c.lightness() < 100;
}

TEST(Screenshot, MainWindowWithAListing) {
    const FixedClock clock(QDate(2024, 3, 15));
    TProgram program(clock);
    program.showMainWindow(StartState::Normal);
    shownErrors().clear();
    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    ASSERT_TRUE(shownErrors().isEmpty()) << qPrintable(shownErrors().join("\n"));
    ASSERT_GT(dmdCadastro->cdsTavim.rowCount(), 10);

    const QImage window = frmTavim->grab().toImage();
    const QString png = QDir::current().filePath(QStringLiteral("main-window.png"));
    ASSERT_TRUE(window.save(png)) << qPrintable(png);

    const TDataGrid& grid = *frmTavim->dbgDados;
    const QPoint origin = grid.viewport()->mapTo(frmTavim, QPoint(0, 0));
    auto at = [&](int x, int y) { return window.pixelColor(origin + QPoint(x, y)); };

    EXPECT_EQ(grid.rowHeight(), 17);
    EXPECT_EQ(grid.titleHeight(), 17);

    // The arrow glyph of the first row: right edge 2 pixels inside the 11-pixel
    // indicator cell, centred in the 17-pixel row below the title and its line.
    const GlyphRows& arrow = glyphRows(GridGlyph::Arrow);
    const int glyphTop = 17 + 1 + (17 - kGlyphHeight) / 2;
    const int glyphLeft = 11 - 2 - kGlyphWidth;
    for (int y = 0; y < kGlyphHeight; ++y)
        for (int x = 0; x < kGlyphWidth; ++x)
            EXPECT_EQ(at(glyphLeft + x, glyphTop + y) == Qt::black, arrow[size_t(y)][x] == '#')
                << x << "," << y;

    // Column widths as declared (ALUGUEL and OUTROS from the default-width rule),
    // each followed by a 1-pixel line that runs down through the data rows.
    const int widths[] = {280, 300, 280, 64, 60, 64, 100};
    int left = 12;
    const int dataRowMiddle = 17 + 1 + 8;
    for (std::size_t c = 0; c < std::size(widths); ++c) {
        EXPECT_EQ(grid.columns()[c].width(), widths[c]) << c;
        left += widths[c];
        if (left >= grid.viewport()->width())
            break;
        EXPECT_TRUE(dark(at(left, dataRowMiddle)) ||
                    at(left, dataRowMiddle) != at(left - 1, dataRowMiddle))
            << "line after column " << c;
        EXPECT_EQ(at(left - 1, dataRowMiddle + 5), at(left - 2, dataRowMiddle + 5)) << c;
        left += 1;
    }

    // The title row is the fixed colour with a dark title text ("Locador") in it;
    // the first data cell below it is the window colour.
    const QColor fixed = grid.palette().color(QPalette::Button);
    EXPECT_EQ(at(200, 8), fixed);
    bool titleText = false;
    for (int x = 12; x < 60; ++x)
        for (int y = 2; y < 15; ++y)
            titleText = titleText || dark(at(x, y));
    EXPECT_TRUE(titleText);
    EXPECT_EQ(at(250, dataRowMiddle + 7), grid.palette().color(QPalette::Base));
}

} // namespace
