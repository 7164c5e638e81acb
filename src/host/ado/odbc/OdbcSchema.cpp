#include "host/ado/odbc/OdbcSchema.h"

#include "host/ado/AdoErrors.h"
#include "host/ado/odbc/OdbcResultReader.h"
#include "host/ado/odbc/OdbcText.h"
#include "host/ado/odbc/OdbcTypes.h"

#include <fmt/format.h>

#include <optional>
#include <string_view>

namespace paperloom::host::ado::odbc {

namespace {

// Picks source columns of an ODBC catalog result (by ordinal, as the ODBC standard fixes them)
// into a new result with the data-access names.
class SchemaBuilder {
public:
    explicit SchemaBuilder(const ResultSet& source) : source_(source) {}

    void Add(std::string name, DataTypeEnum type) { result_.columns.push_back({std::move(name), type}); }
    void Cell(Variant value) { result_.cells.push_back(std::move(value)); }
    // The value of the 1-based ODBC column, Null when the driver returned fewer columns.
    const Variant& Source(std::size_t row, std::size_t ordinal) const {
        static const Variant null = Variant::Null();
        return ordinal <= source_.ColumnCount() ? source_.At(row, ordinal - 1) : null;
    }
    ResultSet Take() { return std::move(result_); }

private:
    const ResultSet& source_;
    ResultSet result_;
};

std::optional<std::int64_t> IntegerOf(const Variant& value) {
    if (const auto* integer = value.Get<std::int64_t>()) return *integer;
    if (const auto* text = value.Get<std::string>()) {
        if (auto number = ParseNumericText(*text)) return static_cast<std::int64_t>(*number);
    }
    return std::nullopt;
}

Variant AdoTypeCode(const Variant& sqlType) {
    const auto code = IntegerOf(sqlType);
    if (!code) return Variant::Null();
    return Variant(static_cast<long long>(AdoTypeFromSqlType(static_cast<SQLSMALLINT>(*code))));
}

// System schemas of PostgreSQL are left out of the lists a user picks from.
bool IsSystemSchema(const Variant& schema, SqlDialect dialect) {
    if (dialect != SqlDialect::PostgreSQL) return false;
    const auto* name = schema.Get<std::string>();
    return name && (*name == "pg_catalog" || *name == "information_schema");
}

ResultSet RunCatalog(const ConnectionHandle& connection, SchemaEnum schema) {
    StatementHandle statement(connection);
    SQLRETURN rc = SQL_ERROR;
    switch (schema) {
        case SchemaEnum::adSchemaTables: {
            WideString types = ToWide("TABLE,VIEW");
            rc = SQLTablesW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0, types.data(),
                            static_cast<SQLSMALLINT>(types.size()));
            break;
        }
        case SchemaEnum::adSchemaProcedures:
            rc = SQLProceduresW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0);
            break;
        case SchemaEnum::adSchemaColumns: {
            WideString all = ToWide("%");
            rc = SQLColumnsW(statement.Get(), nullptr, 0, nullptr, 0, all.data(),
                             static_cast<SQLSMALLINT>(all.size()), all.data(),
                             static_cast<SQLSMALLINT>(all.size()));
            break;
        }
        case SchemaEnum::adSchemaProcedureColumns:
            // No patterns at all: psqlODBC matches nothing for a "%" column pattern.
            rc = SQLProcedureColumnsW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr,
                                      0);
            break;
    }
    statement.Check(rc, "Reading the schema");
    return ReadFirstResult(statement);
}

ResultSet Tables(const ResultSet& source, SqlDialect dialect) {
    SchemaBuilder out(source);
    using enum DataTypeEnum;
    out.Add("TABLE_CATALOG", adVarWChar);
    out.Add("TABLE_SCHEMA", adVarWChar);
    out.Add("TABLE_NAME", adVarWChar);
    out.Add("TABLE_TYPE", adVarWChar);
    out.Add("DESCRIPTION", adVarWChar);
    for (std::size_t row = 0; row < source.RowCount(); ++row) {
        if (IsSystemSchema(out.Source(row, 2), dialect)) continue;
        for (std::size_t ordinal : {1, 2, 3, 4, 5}) out.Cell(out.Source(row, ordinal));
    }
    return out.Take();
}

ResultSet Procedures(const ResultSet& source, SqlDialect dialect) {
    SchemaBuilder out(source);
    using enum DataTypeEnum;
    out.Add("PROCEDURE_CATALOG", adVarWChar);
    out.Add("PROCEDURE_SCHEMA", adVarWChar);
    out.Add("PROCEDURE_NAME", adVarWChar);
    out.Add("PROCEDURE_TYPE", adSmallInt);
    out.Add("DESCRIPTION", adVarWChar);
    for (std::size_t row = 0; row < source.RowCount(); ++row) {
        if (IsSystemSchema(out.Source(row, 2), dialect)) continue;
        out.Cell(out.Source(row, 1));
        out.Cell(out.Source(row, 2));
        out.Cell(out.Source(row, 3));
        // ODBC counts procedure kinds from 0 (unknown), the data-access codes from 1.
        const auto kind = IntegerOf(out.Source(row, 8));
        out.Cell(kind ? Variant(static_cast<long long>(*kind + 1)) : Variant::Null());
        out.Cell(out.Source(row, 7));
    }
    return out.Take();
}

ResultSet Columns(const ResultSet& source, SqlDialect dialect) {
    SchemaBuilder out(source);
    using enum DataTypeEnum;
    out.Add("TABLE_CATALOG", adVarWChar);
    out.Add("TABLE_SCHEMA", adVarWChar);
    out.Add("TABLE_NAME", adVarWChar);
    out.Add("COLUMN_NAME", adVarWChar);
    out.Add("ORDINAL_POSITION", adUnsignedInt);
    out.Add("IS_NULLABLE", adBoolean);
    out.Add("DATA_TYPE", adUnsignedSmallInt);
    out.Add("CHARACTER_MAXIMUM_LENGTH", adUnsignedInt);
    out.Add("NUMERIC_PRECISION", adUnsignedSmallInt);
    out.Add("NUMERIC_SCALE", adSmallInt);
    for (std::size_t row = 0; row < source.RowCount(); ++row) {
        if (IsSystemSchema(out.Source(row, 2), dialect)) continue;
        for (std::size_t ordinal : {1, 2, 3, 4, 17}) out.Cell(out.Source(row, ordinal));
        const auto nullable = IntegerOf(out.Source(row, 11));
        out.Cell(nullable ? Variant(*nullable != SQL_NO_NULLS) : Variant::Null());
        const Variant type = AdoTypeCode(out.Source(row, 5));
        out.Cell(type);
        const auto* code = type.Get<std::int64_t>();
        const bool numeric = code && (*code == static_cast<int>(adNumeric) ||
                                      *code == static_cast<int>(adDouble) ||
                                      *code == static_cast<int>(adSingle));
        out.Cell(numeric ? Variant::Null() : out.Source(row, 7));
        out.Cell(numeric ? out.Source(row, 7) : Variant::Null());
        out.Cell(numeric ? out.Source(row, 9) : Variant::Null());
    }
    return out.Take();
}

ResultSet ProcedureColumns(const ResultSet& source, SqlDialect dialect) {
    SchemaBuilder out(source);
    using enum DataTypeEnum;
    out.Add("PROCEDURE_CATALOG", adVarWChar);
    out.Add("PROCEDURE_SCHEMA", adVarWChar);
    out.Add("PROCEDURE_NAME", adVarWChar);
    out.Add("COLUMN_NAME", adVarWChar);
    out.Add("ORDINAL_POSITION", adUnsignedInt);
    out.Add("IS_NULLABLE", adBoolean);
    out.Add("DATA_TYPE", adUnsignedSmallInt);
    for (std::size_t row = 0; row < source.RowCount(); ++row) {
        if (IsSystemSchema(out.Source(row, 2), dialect)) continue;
        // Columns of the rows a procedure returns, not its input parameters or return value.
        const auto kind = IntegerOf(out.Source(row, 5));
        if (kind && (*kind == SQL_PARAM_INPUT || *kind == SQL_RETURN_VALUE)) continue;
        for (std::size_t ordinal : {1, 2, 3, 4, 18}) out.Cell(out.Source(row, ordinal));
        const auto nullable = IntegerOf(out.Source(row, 12));
        out.Cell(nullable ? Variant(*nullable != SQL_NO_NULLS) : Variant::Null());
        out.Cell(AdoTypeCode(out.Source(row, 6)));
    }
    return out.Take();
}

}  // namespace

ResultSet ReadSchema(const ConnectionHandle& connection, SchemaEnum schema, SqlDialect dialect) {
    switch (schema) {
        case SchemaEnum::adSchemaTables: return Tables(RunCatalog(connection, schema), dialect);
        case SchemaEnum::adSchemaProcedures:
            return Procedures(RunCatalog(connection, schema), dialect);
        case SchemaEnum::adSchemaColumns: return Columns(RunCatalog(connection, schema), dialect);
        case SchemaEnum::adSchemaProcedureColumns:
            return ProcedureColumns(RunCatalog(connection, schema), dialect);
    }
    ThrowAdoError(errors::kInvalidArgument, kConnectionSource,
                  fmt::format("Schema {} is not supported.", static_cast<int>(schema)));
}

}  // namespace paperloom::host::ado::odbc
