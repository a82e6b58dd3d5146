#include "GridFixture.h"

#include "app/grid/CellEditor.h"
#include "error/Exception.h"

#include <QTest>

namespace tavim::test {

bool ErrorBoxApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception& e) {
        lastError = e.message();
        return false;
    }
}

ListingModule::ListingModule()
    : TComponent(nullptr, "dmdCadastro"), provider(this, "dspTavim"), table(this, "cdsTavim"),
      proprietario(this, table, "PROPRIETARIO", 50), imovel(this, table, "IMOVEL", 90),
      inquilino(this, table, "INQUILINO", 50), aluguel(this, table, "ALUGUEL"),
      taxaAdm(this, table, "TAXA_ADM"), outros(this, table, "OUTROS"),
      observacoes(this, table, "OBSERVACOES", 50), situacao(this, table, "SITUACAO", 20) {
    table.setProviderName("dspTavim");
    for (TFloatField* f : {&aluguel, &taxaAdm, &outros})
        f->setDisplayFormat("###,##0.00");
}

void ListingModule::open(const QStringList& landlords) {
    provider.packet.columns = {
        {"PROPRIETARIO", FieldKind::String, 50}, {"IMOVEL", FieldKind::String, 90},
        {"INQUILINO", FieldKind::String, 50},    {"ALUGUEL", FieldKind::Float, 0},
        {"TAXA_ADM", FieldKind::Float, 0},       {"OUTROS", FieldKind::Float, 0},
        {"OBSERVACOES", FieldKind::String, 50},  {"SITUACAO", FieldKind::String, 20},
    };
    provider.packet.rows.clear();
    for (int i = 0; i < landlords.size(); ++i)
        provider.packet.rows.push_back(
            {landlords[i], Value{}, Value{}, 1234.5 * (i + 1), 10.0, Value{}, Value{}, Value{}});
    table.close();
    table.open();
}

std::vector<TColumn> listingColumns() {
    const QFont title = TDataGrid::substituteFont(true);
    std::vector<TColumn> columns = {
        {"PROPRIETARIO", "Locador", Alignment::Left, 280},
        {"IMOVEL", "Imóvel", Alignment::Left, 300},
        {"INQUILINO", "Locatário", Alignment::Left, 280},
        {"ALUGUEL", "Aluguel", Alignment::Center},
        {"TAXA_ADM", "Taxa Adm.", Alignment::Center, 60},
        {"OUTROS", "Outros", Alignment::Center},
        {"OBSERVACOES", "Observações", Alignment::Left, 100},
    };
    for (TColumn& c : columns)
        c.setTitleFont(title);
    return columns;
}

GridTest::GridTest() {
    grid = new TDataGrid(&window);
    button = new QPushButton("+", &window);
    grid->setGeometry(3, 16, 806, 442);
    button->setGeometry(3, 0, 20, 16);
    window.resize(812, 461);
}

void GridTest::SetUp() {
    ErrorBoxApp::lastError.clear();
    grid->setColumns(listingColumns());
    source.setDataSet(&module->table);
    grid->setDataSource(&source);
    grid->setBeep([this] { ++beeps; });
    grid->setConfirmDelete([this] {
        ++questions;
        return answer;
    });
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
}

void GridTest::key(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : grid, Qt::Key(key), modifiers);
}

void GridTest::type(const QString& text) {
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClicks(target ? target : grid, QString(c));
    }
}

void GridTest::click(int windowRow, int column) {
    const QRect cell = grid->cellRect(windowRow, column);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString GridTest::glyph(int windowRow) {
    if (windowRow < 0)
        windowRow = module->table.active() ? module->table.windowActive() : 0;
    const QImage image = grid->viewport()->grab().toImage();
    const int top = grid->titleHeight() + 1 + windowRow * (grid->rowHeight() + 1) +
                    (grid->rowHeight() - kGlyphHeight) / 2;
    const int left = TDataGrid::kIndicatorWidth - 2 - kGlyphWidth;
    auto drawn = [&](const GlyphRows* rows) {
        for (int y = 0; y < kGlyphHeight; ++y) {
            for (int x = 0; x < kGlyphWidth; ++x) {
                const bool set = rows && (*rows)[size_t(y)][x] == '#';
                if ((image.pixelColor(left + x, top + y) == Qt::black) != set)
                    return false;
            }
        }
        return true;
    };
    const std::pair<GridGlyph, const char*> kinds[] = {
        {GridGlyph::Arrow, "arrow"}, {GridGlyph::Edit, "edit"}, {GridGlyph::Insert, "insert"}};
    for (const auto& [kind, name] : kinds) {
        if (drawn(&glyphRows(kind)))
            return name;
    }
    return drawn(nullptr) ? "none" : "garbled";
}

QString GridTest::editorText() const {
    return grid->editorShown() ? grid->editor()->text() : QStringLiteral("<closed>");
}

} // namespace tavim::test
