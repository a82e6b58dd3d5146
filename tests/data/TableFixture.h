#pragma once

#include "data/DataProvider.h"
#include "data/Field.h"
#include "data/MemTable.h"

#include <QStringList>
#include <functional>

namespace tavim::test {

// Serves a fixed packet, as the query's provider would.
class PacketProvider : public TDataProvider {
public:
    using TDataProvider::TDataProvider;
    DataPacket getRecords() override {
        ++fetches;
        return packet;
    }
    void reset() override { ++resets; }

    DataPacket packet;
    int fetches = 0;
    int resets = 0;
};

// Records the table's notices as short words ("reload", "scroll 1", "field NOME").
class RecordingView : public TableView {
public:
    explicit RecordingView(int rows = 1) : rows(rows) {}
    int wantedRows() const override { return rows; }
    void tableNotice(TableNotice notice, int distance, const TField* field) override;

    int rows;
    QStringList log;
    std::function<void()> onCollectEdits;
};

// A module with a result table of two fields: NOME (text, 10) and VALOR (money).
class TableModule : public TComponent {
public:
    explicit TableModule(const QStringList& names = {});
    void load(const QStringList& names);
    // The stored names in order, walked from the first row.
    QStringList contents();

    PacketProvider provider;
    TMemTable table;
    TStringField nome;
    TFloatField valor;
};

} // namespace tavim::test
