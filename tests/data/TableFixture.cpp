#include "TableFixture.h"
#include "format/LocaleSettings.h"

#include <gtest/gtest.h>

namespace tavim::test {

void RecordingView::tableNotice(TableNotice notice, int distance, const TField* field) {
    switch (notice) {
    case TableNotice::Settle:
        log << "settle";
        break;
    case TableNotice::CollectEdits:
        log << "collect";
        if (onCollectEdits)
            onCollectEdits();
        break;
    case TableNotice::RowsReloaded:
        log << "reload";
        break;
    case TableNotice::Scrolled:
        log << QStringLiteral("scroll %1").arg(distance);
        break;
    case TableNotice::FieldChanged:
        log << QStringLiteral("field %1").arg(field ? field->fieldName() : QString());
        break;
    case TableNotice::RowChanged:
        log << "row";
        break;
    case TableNotice::StateChanged:
        log << "state";
        break;
    case TableNotice::OpenedOrClosed:
        log << "open/close";
        break;
    case TableNotice::Suspending:
        log << "suspend";
        break;
    }
}

TableModule::TableModule(const QStringList& names)
    : TComponent(nullptr, "dmd"), provider(this, "dspTavim"), table(this, "cdsTavim"),
      nome(this, table, "NOME", 10), valor(this, table, "VALOR") {
    table.setProviderName("dspTavim");
    valor.setDisplayFormat("###,##0.00");
    load(names);
}

void TableModule::load(const QStringList& names) {
    provider.packet.columns = {{"NOME", FieldKind::String, 10}, {"VALOR", FieldKind::Float, 0}};
    provider.packet.rows.clear();
    for (int i = 0; i < names.size(); ++i)
        provider.packet.rows.push_back({names[i], double(i + 1)});
}

QStringList TableModule::contents() {
    QStringList out;
    table.FirstRow();
    while (table.rowCount() > 0) {
        out << nome.asString();
        table.MoveRows(1);
        if (table.eof())
            break;
    }
    return out;
}

} // namespace tavim::test

namespace {
// The data tests read and write money as a Brazilian clerk does.
class BrazilianSeparators : public ::testing::Environment {
public:
    void SetUp() override { tavim::LocaleSettings::set(QChar(','), QChar('.')); }
};
const auto* const kSeparators = ::testing::AddGlobalTestEnvironment(new BrazilianSeparators);
} // namespace
