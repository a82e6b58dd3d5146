#include "ReportFixture.h"

#include "engine/band/BrCanvas.h"
#include "engine/band/BrDBText.h"
#include "engine/band/BrFonts.h"
#include "engine/band/BrLabel.h"
#include "engine/band/BrScreenText.h"
#include "engine/band/BrShape.h"
#include "engine/band/BrSysData.h"
#include "engine/band/BrUnits.h"
#include "error/Exception.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

QFont narrow(int points, bool bold = false) {
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// A report band to hang controls on, and a 96-dpi page to print them onto.
struct Sheet {
    Sheet() : image(800, 120, QImage::Format_ARGB32_Premultiplied) {
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::gray);
    }
    void print(TBrPrintable& control) {
        QPainter painter(&image);
        TBrPainterCanvas canvas(painter, 96, 96);
        control.print(canvas, 0, 0);
    }
    // The bounding box of dark pixels; empty when there are none.
    QRect ink() const {
        QRect box;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 100)
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }
    QRgb at(int x, int y) const { return image.pixel(x, y); }

    TBandReport report{nullptr, "relatorio"};
    TBrBand band{report, "detalhe", TBrBandType::rbDetail};
    QImage image;
};

void setUp(TBrLabel& l, int left, int width, TBrAlignment alignment, const QString& caption) {
    l.Font = narrow(6);
    l.AutoSize = false;
    l.Alignment = alignment;
    l.setPixelBounds(left, 10, width, 14);
    l.setCaption(caption);
}

struct BreakCase {
    const char* name;
    const char* text;
    int width;
    QStringList lines;
};

TEST(LineBreaking, ArialNarrowSixPoint) {
    ensureReportFont("Arial Narrow");
    const BreakCase cases[] = {
        {"fits", "1.234,56", 37, {"1.234,56"}},
        {"one word too wide keeps a narrower prefix", "123.456.789,01", 37, {"123.456.78"}},
        {"negative number breaks after the minus", "-1.234.567,89", 37, {"-", "1.234.567,8"}},
        {"words fill the line",
         "JOSE DA SILVA PEREIRA DOS SANTOS OLIVEIRA MACHADO E SOUZA",
         160,
         {"JOSE DA SILVA PEREIRA DOS SANTOS OLIVEIRA ", "MACHADO E SOUZA"}},
        {"carriage return starts a line", "PRIMEIRA\rSEGUNDA", 100, {"PRIMEIRA", "SEGUNDA"}},
        {"line feeds vanish", "AB\nCD", 100, {"ABCD"}},
        {"hyphen is a break", "AAAA-BBBB", 30, {"AAAA-", "BBBB"}},
        {"long word after a short one is cut at its end", "A WWWWWWWW", 20, {"A ", "WWW"}},
        {"nothing fits a control of width 0", "ABC DEF", 0, {"", ""}},
        {"empty text is one empty line", "", 37, {""}},
        {"empty pieces stay lines", "A\r\rB", 37, {"A", "", "B"}},
    };
    TBrScreenText text(narrow(6));
    // One list for every case, as a control keeps it: each break replaces it.
    QStringList lines;
    for (const BreakCase& c : cases) {
        text.breakLines(c.text, false, c.width, lines);
        EXPECT_EQ(lines, c.lines) << c.name;
        text.breakLines(c.text, true, c.width, lines);
        EXPECT_EQ(lines, QString(c.text).remove('\n').split('\r')) << c.name << " (auto-sized)";
    }
}

TEST(Fonts, ArialNarrowResolvesToTheNarrowFace) {
    ensureReportFont("Arial Narrow");
    ensureReportFont("Arial");
    EXPECT_EQ(QFontInfo(narrow(6)).family(), "Liberation Sans Narrow");
    EXPECT_EQ(QFontInfo(QFont("Arial")).family(), "Liberation Sans");
    EXPECT_EQ(TBrScreenText(narrow(6)).width(""), 1);
}

TEST(Fonts, MissingFamilyTakesItsSubstituteOrFails) {
    ensureFontFamily("Tavim Absent Sans", "Liberation Sans");
    EXPECT_EQ(QFontInfo(QFont("Tavim Absent Sans")).family(), "Liberation Sans");
    try {
        ensureFontFamily("Tavim Absent Narrow", "Tavim Absent Substitute");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), "The report font \"Tavim Absent Narrow\" is not installed, nor "
                               "its substitute \"Tavim Absent Substitute\"");
    }
}

TEST(AutoSize, KeepsTheEdgeItsAlignmentNames) {
    Sheet s;
    TBrScreenText text(narrow(6, true));
    for (const QString caption : {"ALUGUEL", "A", "ALUGUEL DE MUITOS MESES"}) {
        TBrLabel right(s.band, "rpAluguel");
        right.Font = narrow(6, true);
        right.Alignment = TBrAlignment::taRightJustify;
        right.setPixelBounds(592, 77, 33, 5);
        right.setCaption(caption);
        const int wide = text.width(caption);
        EXPECT_NEAR(double(right.left() + right.width()), 625 * 254.0 / 96, 1e-9) << caption;
        EXPECT_EQ(toScreenPixels(right.width()), wide) << caption;
        EXPECT_EQ(toScreenPixels(right.height()), text.lineHeight() + 1) << caption;

        TBrLabel left(s.band, "rpLocador");
        left.Font = narrow(6, true);
        left.setPixelBounds(51, 77, 35, 30);
        left.setCaption(caption);
        EXPECT_EQ(toScreenPixels(left.left()), 51);
        EXPECT_EQ(toScreenPixels(left.width()), wide);
        EXPECT_EQ(toScreenPixels(left.height()), 30) << "a taller control keeps its height";

        TBrLabel centre(s.band, "rpCentro");
        centre.Font = narrow(6, true);
        centre.Alignment = TBrAlignment::taCenter;
        centre.setPixelBounds(100, 0, 41, 14);
        centre.setCaption(caption);
        // Half the growth, divided as integers (towards zero).
        EXPECT_EQ(toScreenPixels(centre.left()), 100 - (wide - 41) / 2) << caption;
    }
}

TEST(Printing, RightAlignedNumberEndsAtTheBoxEdge) {
    Sheet s;
    TBrLabel l(s.band, "dtAluguel");
    setUp(l, 584, 37, TBrAlignment::taRightJustify, "1.234,56");
    s.print(l);
    const QRect ink = s.ink();
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.right(), 584 + 37 - 3);
    EXPECT_LE(ink.right(), 584 + 37 - 1);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.bottom(), 10 + 14);
}

TEST(Printing, OnlyLinesThatFitTheHeightPrint) {
    struct Case {
        const char* text;
        TBrAlignment alignment;
        int maxInkWidth; // of the first line's text
    };
    const Case cases[] = {
        {"-1.234.567,89", TBrAlignment::taRightJustify, 3},
        {"AB\rCDEFGH", TBrAlignment::taLeftJustify, 12},
    };
    for (const Case& c : cases) {
        Sheet s;
        TBrLabel l(s.band, "dtOutros");
        setUp(l, 300, 37, c.alignment, c.text);
        ASSERT_EQ(l.lines().size(), 2) << c.text;
        s.print(l);
        const QRect ink = s.ink();
        EXPECT_LE(ink.width(), c.maxInkWidth) << c.text;
        EXPECT_LE(ink.bottom(), 10 + 10) << c.text << ": no second line";
    }
}

TEST(Printing, NullFieldPrintsOnlyTheWhiteFill) {
    RowsModule data(1);
    data.provider.packet.rows[0][1] = Value{};
    data.table.open();
    ASSERT_TRUE(data.aluguel.isNull());
    Sheet s;
    TBrDBText text(s.band, "dtAluguel");
    text.DataSet = &data.table;
    text.DataField = "ALUGUEL";
    text.AutoSize = false;
    text.setPixelBounds(584, 10, 37, 14);
    text.prepare();
    s.print(text);
    EXPECT_TRUE(s.ink().isEmpty());
    EXPECT_EQ(s.at(584, 10), qRgb(255, 255, 255));
    EXPECT_EQ(s.at(584 + 36, 10 + 13), qRgb(255, 255, 255));
    EXPECT_EQ(s.at(584 + 37, 10 + 14), QColor(Qt::gray).rgb()) << "right and bottom edge excluded";
    EXPECT_EQ(s.at(583, 10), QColor(Qt::gray).rgb());
}

// A field whose text cannot be read.
class BrokenField : public TStringField {
public:
    using TStringField::TStringField;
    QString displayTextOf(const Value&) const override { throw Exception("unreadable"); }
};

TEST(DataText, ResolvesItsFieldForTheRunOnly) {
    RowsModule data(2);
    BrokenField broken(&data, data.table, "BROKEN", 5);
    data.provider.packet.columns.push_back({"BROKEN", FieldKind::String, 5});
    for (RowValues& row : data.provider.packet.rows)
        row.push_back(QString("x"));
    data.table.open();
    struct Case {
        const char* field;
        QString printed;
    };
    const Case cases[] = {{"PROPRIETARIO", "Locador 1"}, {"CODIGO", ""}, {"BROKEN", ""}};
    for (const Case& c : cases) {
        Sheet s;
        TBrDBText text(s.band, "dt");
        text.DataSet = &data.table;
        text.DataField = c.field;
        text.Font = narrow(6);
        text.AutoSize = true;
        text.setPixelBounds(0, 0, 10, 14);
        text.prepare();
        s.print(text);
        EXPECT_EQ(text.lines(), QStringList{c.printed}) << c.field;
        text.unprepare();
        EXPECT_EQ(text.caption(), c.field);
        s.print(text);
        EXPECT_EQ(text.lines(), QStringList{""}) << c.field << " after the run";
    }
}

TEST(Shapes, LineAndRectangleCoverTheirDevicePixels) {
    Sheet s;
    TBrShape line(s.band, "BrShape3");
    line.Shape = TBrShapeType::brsHorLine;
    line.setPixelBounds(10, 20, 100, 2);
    s.print(line);
    EXPECT_EQ(qGray(s.at(10, 21)), 0);
    EXPECT_EQ(qGray(s.at(109, 21)), 0);
    EXPECT_EQ(s.at(110, 21), QColor(Qt::gray).rgb()) << "the end point is not set";
    EXPECT_EQ(s.at(50, 20), QColor(Qt::gray).rgb());
    EXPECT_EQ(s.at(50, 22), QColor(Qt::gray).rgb());

    TBrShape box(s.band, "BrShape7");
    box.setPixelBounds(200, 30, 50, 40);
    s.print(box);
    EXPECT_EQ(qGray(s.at(200, 30)), 0);
    EXPECT_EQ(qGray(s.at(249, 69)), 0);
    EXPECT_EQ(s.at(225, 50), qRgb(255, 255, 255)) << "white brush inside";
    EXPECT_EQ(s.at(250, 50), QColor(Qt::gray).rgb());
    EXPECT_EQ(s.at(225, 70), QColor(Qt::gray).rgb());
}

TEST(PageNumber, CountsThePagesOfTheRun) {
    RowsModule data(89);
    data.table.open();
    TraceReport form(&data.table);
    TBrSysData page(form.header, "sData");
    page.Text = "Pagina ";
    page.Alignment = TBrAlignment::taRightJustify;
    page.Font = narrow(8);
    QStringList seen;
    form.header.AfterPrint = [&](TBrBand&, bool) { seen << page.lines().value(0); };
    form.report.ShowPreview();
    EXPECT_EQ(seen, (QStringList{"Pagina 1", "Pagina 2", "Pagina 3"}));
}

} // namespace
