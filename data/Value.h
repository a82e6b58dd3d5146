#pragma once

#include <QString>
#include <QtGlobal>
#include <variant>
#include <vector>

namespace tavim {

// Kinds of column and field. The names are those the type-mismatch message shows.
enum class FieldKind {
    Unknown,
    String,
    SmallInt,
    Integer,
    LargeInt,
    Float,
    BCD,
    Date,
    Time,
    DateTime,
    Blob,
    Memo,
    Boolean,
};

QString fieldKindName(FieldKind kind);

struct ColumnDesc {
    QString name;
    FieldKind kind = FieldKind::Unknown;
    int size = 0; // characters for String, 0 otherwise
};

// One cell: null, text, a floating value (also dates, as TDateTime), or an integer.
using Value = std::variant<std::monostate, QString, double, qint64>;

inline bool isNull(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

using RowValues = std::vector<Value>;

// What a provider hands to a result table: the column descriptions, then every row.
struct DataPacket {
    std::vector<ColumnDesc> columns;
    std::vector<RowValues> rows;
};

} // namespace tavim
