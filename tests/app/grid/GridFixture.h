#pragma once

#include "app/grid/DataGrid.h"
#include "app/grid/DataSource.h"
#include "app/grid/GridGlyphs.h"
#include "data/DataProvider.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "format/ScopedSettings.h"

#include <QApplication>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace tavim::test {

// The application's single catch point, recording what the error box would show.
class ErrorBoxApp : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;

    static inline QString lastError;
};

class RowsProvider : public TDataProvider {
public:
    using TDataProvider::TDataProvider;
    DataPacket getRecords() override { return packet; }
    void reset() override {}
    DataPacket packet;
};

// The listing's result table with its eight fields, filled without a database.
class ListingModule : public TComponent {
public:
    ListingModule();
    // Rows of landlord names; ALUGUEL is 1234.5 times the row number.
    void open(const QStringList& landlords);

    RowsProvider provider;
    TMemTable table;
    TStringField proprietario, imovel, inquilino;
    TFloatField aluguel, taxaAdm, outros;
    TStringField observacoes, situacao;
};

// The main window's seven columns.
std::vector<TColumn> listingColumns();

// A window holding the grid over the listing table and a button to leave it to.
class GridTest : public ::testing::Test {
protected:
    GridTest();
    void SetUp() override;

public:
    void open(const QStringList& landlords) { module->open(landlords); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString& text);
    void click(int windowRow, int column);
    // The glyph in the current row's indicator cell, read from the drawn pixels:
    // "arrow", "edit", "insert" or "none".
    QString glyph(int windowRow = -1);
    QString current(const TField& field) const { return field.displayText(); }
    QString editorText() const;

    ScopedSeparators separators{QChar(','), QChar('.')};
    std::unique_ptr<ListingModule> module = std::make_unique<ListingModule>();
    QWidget window;
    TDataSource source;
    TDataGrid* grid = nullptr;
    QPushButton* button = nullptr;
    int beeps = 0;
    int questions = 0;
    bool answer = true;
};

} // namespace tavim::test
