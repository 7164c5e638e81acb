// Criteria, filter and sort texts are parsed, bound and evaluated against a few rows of every
// value kind; the statement adapter rewrites the same text for each dialect.

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/HostError.h"
#include "host/ado/Criteria.h"
#include "host/ado/SortOrder.h"
#include "host/ado/StatementAdapter.h"

using namespace paperloom::host::ado;

namespace {

ResultSet MakeRows() {
    ResultSet rows;
    rows.columns = {{"Name", DataTypeEnum::adVarWChar}, {"Qty", DataTypeEnum::adInteger},
                    {"Day", DataTypeEnum::adDBTimeStamp}, {"Price", DataTypeEnum::adNumeric},
                    {"Ratio", DataTypeEnum::adDouble},   {"Paid", DataTypeEnum::adBoolean}};
    const Variant values[] = {
        Variant("Apple"), Variant(5), Variant(DateTime::Timestamp(2024, 1, 5, 9, 0, 0)),
        Variant(Decimal::FromText("120.5")), Variant(0.25), Variant(true),
        Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
        Variant("りんご"), Variant(-7), Variant(DateTime::Date(1899, 12, 30)),
        Variant(Decimal::FromText("-0.001")), Variant(1e300), Variant(false)};
    for (const auto& v : values) rows.cells.push_back(v);
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ResultSet rows = MakeRows();
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        switch (data[0] % 4) {
            case 0: {
                Criteria c = Criteria::ParseFind(text);
                c.Bind(rows.columns);
                for (std::size_t r = 0; r < rows.RowCount(); ++r) (void)c.Matches(&rows.cells[r * rows.ColumnCount()]);
                break;
            }
            case 1: {
                Criteria c = Criteria::ParseFilter(text);
                c.Bind(rows.columns);
                for (std::size_t r = 0; r < rows.RowCount(); ++r) (void)c.Matches(&rows.cells[r * rows.ColumnCount()]);
                break;
            }
            case 2: {
                SortOrder order = SortOrder::Parse(text);
                order.Bind(rows.columns);
                std::vector<std::uint32_t> view = {0, 1, 2};
                order.Apply(rows, view);
                break;
            }
            default:
                for (auto dialect : {SqlDialect::SQLite, SqlDialect::PostgreSQL, SqlDialect::GenericOdbc})
                    (void)AdaptStatement(text, dialect);
                break;
        }
    } catch (const paperloom::host::HostError&) {
        // Rejected text is the expected outcome for most inputs.
    }
    return 0;
}
