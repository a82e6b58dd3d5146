// A run of the listing's layout to page images saved to a report file, against
// the same fills, texts and lines painted straight onto QImage pages in this
// run (goal: the engine at most half the direct time); then the peak resident
// size of runs of 1 000 and 10 000 rows, each in a process of its own.
// Usage: tavim-bench-band [ROWS] (default 10 000).
#include "data/DataProvider.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "engine/band/BandReport.h"
#include "engine/band/BrBand.h"
#include "engine/band/BrDBText.h"
#include "engine/band/BrLabel.h"
#include "engine/band/BrShape.h"
#include "engine/band/BrSysData.h"
#include "engine/store/BrPrinter.h"
#include "format/LocaleSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace tavim;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 10'000;
constexpr int kRowsPerPage = 52;

class Provider : public TDataProvider {
public:
    using TDataProvider::TDataProvider;
    DataPacket getRecords() override { return packet; }
    DataPacket packet;
};

struct Column {
    const char* field;
    int left;
    int width;
    TBrAlignment alignment;
};

const Column kColumns[] = {
    {"PROPRIETARIO", 50, 160, TBrAlignment::taLeftJustify},
    {"INQUILINO", 429, 153, TBrAlignment::taLeftJustify},
    {"IMOVEL", 218, 209, TBrAlignment::taLeftJustify},
    {"OBSERVACOES", 691, 59, TBrAlignment::taRightJustify},
    {"ALUGUEL", 584, 37, TBrAlignment::taRightJustify},
    {"TAXA_ADM", 622, 34, TBrAlignment::taRightJustify},
    {"OUTROS", 657, 34, TBrAlignment::taRightJustify},
    {"CODIGO", 5, 42, TBrAlignment::taLeftJustify},
};

QFont narrow(int points, bool bold) {
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// The rows the listing would show: names, addresses and amounts.
class Data : public TComponent {
public:
    explicit Data(int rows)
        : TComponent(nullptr, "dmd"), provider(this, "dsp"), table(this, "cds") {
        table.setProviderName("dsp");
        for (const char* name : {"PROPRIETARIO", "IMOVEL", "INQUILINO", "OBSERVACOES"}) {
            texts.push_back(std::make_unique<TStringField>(this, table, name, 60));
            provider.packet.columns.push_back({name, FieldKind::String, 60});
        }
        for (const char* name : {"ALUGUEL", "TAXA_ADM", "OUTROS"}) {
            auto field = std::make_unique<TFloatField>(this, table, name);
            field->setDisplayFormat("###,##0.00");
            money.push_back(std::move(field));
            provider.packet.columns.push_back({name, FieldKind::Float, 0});
        }
        for (int i = 0; i < rows; ++i) {
            provider.packet.rows.push_back({QStringLiteral("JOSE DA SILVA PEREIRA %1").arg(i),
                                            QStringLiteral("RUA DAS FLORES %1 APTO 12").arg(i),
                                            QStringLiteral("MARIA APARECIDA SOUZA %1").arg(i),
                                            QStringLiteral("OK"), 1000.0 + i, 100.0 + i % 50,
                                            double(i % 7)});
        }
        table.open();
    }
    Provider provider;
    TMemTable table;
    std::vector<std::unique_ptr<TStringField>> texts;
    std::vector<std::unique_ptr<TFloatField>> money;
};

// The listing's bands with a representative share of its controls.
class Form : public TComponent {
public:
    explicit Form(TMemTable& table)
        : TComponent(nullptr, "frm"), report(this, "relatorio"),
          header(report, "Titulo", TBrBandType::rbPageHeader),
          detail(report, "detalhe", TBrBandType::rbDetail),
          footer(report, "rodape", TBrBandType::rbPageFooter),
          summary(report, "Sumario", TBrBandType::rbSummary) {
        report.DataSet = &table;
        report.Options.FirstPageHeader = true;
        report.Options.LastPageFooter = true;
        report.Page.Values = {
            100.0L, 2970.0L, 130.0L, 2100.0L, 26.45833333333333L, 13.22916666666667L, 0.0L};
        header.setPixelSize(96, 779);
        detail.setPixelSize(17, 779);
        footer.setPixelSize(49, 779);
        summary.setPixelSize(273, 779);
        addLabel(header, 47, 1, 716, 19, "TAMBRI IMOVEIS LTDA", QFont("Arial", 11, QFont::Bold),
                 TBrAlignment::taCenter);
        addLabel(header, 47, 36, 716, 19, "Referente ao Mes de Janeiro de 2005", QFont("Arial", 9),
                 TBrAlignment::taCenter);
        auto page = std::make_unique<TBrSysData>(header, "sData");
        page->Text = "Pagina ";
        page->Font = QFont("Arial", 8);
        page->Alignment = TBrAlignment::taRightJustify;
        page->setPixelBounds(689, 1, 74, 17);
        controls.push_back(std::move(page));
        for (const Column& c : kColumns)
            addLabel(header, c.left, 77, c.width, 14, c.field, narrow(6, true), c.alignment);
        addLine(header, 2, 74, 775, 1);
        addLine(header, 2, 93, 776, 1);
        for (const Column& c : kColumns) {
            auto text = std::make_unique<TBrDBText>(detail, c.field);
            text->DataSet = &table;
            text->DataField = c.field;
            text->Font = narrow(6, false);
            text->Charset = ANSI_CHARSET;
            text->AutoSize = false;
            text->Alignment = c.alignment;
            text->setPixelBounds(c.left, -1, c.width, 14);
            controls.push_back(std::move(text));
        }
        addLine(detail, 0, 14, 779, 1);
        addLine(footer, 0, -1, 776, 2);
        addLabel(footer, 510, 2, 74, 14, "Total da pagina:", narrow(6, true),
                 TBrAlignment::taRightJustify);
        addLine(footer, 0, 16, 778, 2);
        addLabel(summary, 268, 72, 147, 16, "Valor Total do Aluguel:", narrow(8, true),
                 TBrAlignment::taRightJustify);
        addLabel(summary, 260, 218, 252, 17, "RAUL TEODORO VASCONCELOS BRAGA", narrow(10, true),
                 TBrAlignment::taCenter);
    }

    TBandReport report;
    TBrBand header;
    TBrBand detail;
    TBrBand footer;
    TBrBand summary;

private:
    void addLabel(TBrBand& band, int left, int top, int width, int height, const QString& text,
                  const QFont& font, TBrAlignment alignment) {
        auto label = std::make_unique<TBrLabel>(band, text);
        label->Font = font;
        label->AutoSize = false;
        label->Alignment = alignment;
        label->setPixelBounds(left, top, width, height);
        label->setCaption(text);
        controls.push_back(std::move(label));
    }
    void addLine(TBrBand& band, int left, int top, int width, int height) {
        auto line = std::make_unique<TBrShape>(band, "line");
        line->Shape = TBrShapeType::brsHorLine;
        line->setPixelBounds(left, top, width, height);
        controls.push_back(std::move(line));
    }
    std::vector<std::unique_ptr<TBrPrintable>> controls;
};

struct Timing {
    double total = 0; // seconds
    double first = 0; // seconds to the first finished page
    int pages = 0;
};

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Generation as the preview runs it, then Save to `file` (none: no save).
Timing engineRun(int rows, const QString& file = {}) {
    Data data(rows);
    Form form(data.table);
    Timing t;
    const auto start = Clock::now();
    form.report.PreviewHook = [&](TBrPrinter& store) {
        while (!form.report.idle()) {
            // Page 1 is finished once page 2 has begun.
            if (t.first == 0 && store.pageCount() > 1)
                t.first = since(start);
            QCoreApplication::processEvents();
            QThread::usleep(100);
        }
        t.pages = store.pageCount();
        if (!file.isEmpty())
            store.save(file);
    };
    form.report.ShowPreview();
    t.total = since(start);
    return t;
}

// The same output straight onto page-sized images: the white fills, the
// texts at their places and the rule lines, without measuring or breaking.
Timing directRun(int rows) {
    Data data(rows);
    const QFont detailFont = narrow(6, false);
    const QFont headFont = narrow(6, true);
    const QFont title("Arial", 11, QFont::Bold);
    const auto start = Clock::now();
    Timing t;
    auto px = [](int tenths) { return qRound(tenths * 96 / 254.0); };
    QImage page;
    QPainter painter;
    int row = 0;
    TMemTable& table = data.table;
    table.FirstRow();
    auto text = [&](int left, int top, int width, const QString& s, TBrAlignment a) {
        painter.fillRect(QRect(left, top, width, 14), Qt::white);
        const int flags = Qt::AlignTop | Qt::TextDontClip |
                          (a == TBrAlignment::taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
        const int x = a == TBrAlignment::taRightJustify ? left + width : left;
        painter.drawText(QRect(x, top, 0, 0), flags, s);
    };
    while (row < rows || t.pages == 0) {
        page = QImage(794, 1123, QImage::Format_ARGB32_Premultiplied);
        page.setDotsPerMeterX(3780);
        page.setDotsPerMeterY(3780);
        page.fill(Qt::white);
        painter.begin(&page);
        ++t.pages;
        int y = px(130);
        painter.setFont(title);
        text(57, y + 1, 716, "TAMBRI IMOVEIS LTDA", TBrAlignment::taLeftJustify);
        painter.setFont(headFont);
        for (const Column& c : kColumns)
            text(10 + c.left, y + 77, c.width, c.field, c.alignment);
        painter.drawLine(12, y + 74, 787, y + 74);
        painter.drawLine(12, y + 93, 788, y + 93);
        y = px(384);
        painter.setFont(detailFont);
        for (int i = 0; i < kRowsPerPage && row < rows; ++i, ++row) {
            for (const Column& c : kColumns) {
                const TField* field = table.findField(c.field);
                text(10 + c.left, y - 1, c.width, field ? field->displayText() : QString(),
                     c.alignment);
            }
            painter.drawLine(10, y + 14, 789, y + 14);
            table.MoveRows(1);
            y += 17;
        }
        painter.setFont(headFont);
        text(520, px(2740) + 2, 74, "Total da pagina:", TBrAlignment::taRightJustify);
        painter.drawLine(10, px(2740) - 1, 786, px(2740) - 1);
        painter.end();
        if (t.pages == 1)
            t.first = since(start);
    }
    t.total = since(start);
    return t;
}

// The high-water mark of this process image: unlike getrusage's figure it
// does not carry over the parent's peak across fork and exec.
long peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    LocaleSettings::set(QChar(','), QChar('.'));
    if (argc == 3 && QByteArray(argv[1]) == "--rss") {
        const Timing t = engineRun(QByteArray(argv[2]).toInt());
        std::printf("%d %ld\n", t.pages, peakRssKb());
        return 0;
    }
    const int rows = argc == 2 ? std::max(1, QByteArray(argv[1]).toInt()) : kRows;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString file = dir.filePath(QStringLiteral("bench.brp"));
    engineRun(200); // warm the font caches
    const Timing engine = engineRun(rows, file);
    const Timing direct = directRun(rows);
    std::printf("band engine, %d rows saved to a file: %d pages, %.1f pages/s, first page after "
                "%.1f ms, %lld bytes\n",
                rows, engine.pages, engine.pages / engine.total, engine.first * 1000,
                static_cast<long long>(QFile(file).size()));
    std::printf("direct QPainter onto QImage pages:  %d pages, %.1f pages/s, first page after "
                "%.1f ms\n",
                direct.pages, direct.pages / direct.total, direct.first * 1000);
    std::printf("ratio (engine time / direct time): %.2f (goal at most 0.50); first page %.2f\n",
                engine.total / direct.total, engine.first / direct.first);
    for (const int rows : {1'000, kRows}) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--rss", QString::number(rows)});
        child.waitForFinished(-1);
        const QList<QByteArray> out = child.readAllStandardOutput().trimmed().split(' ');
        std::printf("peak RSS at %5d rows: %s kB (%s pages)\n", rows, out.value(1).constData(),
                    out.value(0).constData());
    }
    return 0;
}
