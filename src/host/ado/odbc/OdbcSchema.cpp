#include "host/ado/odbc/OdbcSchema.h"

#include "host/ado/AdoErrors.h"
#include "host/ado/odbc/OdbcResultReader.h"
#include "host/ado/odbc/OdbcText.h"
#include "host/ado/odbc/OdbcTypes.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <vector>
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

// Procedures and procedure columns of one schema (a search pattern), or of all schemas.
SQLRETURN CallProcedureCatalog(const StatementHandle& statement, SchemaEnum schema,
                               const std::optional<std::string>& schemaPattern) {
    const bool columns = schema == SchemaEnum::adSchemaProcedureColumns;
    // No other patterns: psqlODBC matches nothing for a "%" column pattern.
    if (!schemaPattern)
        return columns ? SQLProcedureColumnsW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0,
                                              nullptr, 0)
                       : SQLProceduresW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0);
    if (statement.Mode() == TextMode::Wide) {
        WideString pattern = ToWide(*schemaPattern);
        const auto length = static_cast<SQLSMALLINT>(pattern.size());
        return columns ? SQLProcedureColumnsW(statement.Get(), nullptr, 0, pattern.data(), length,
                                              nullptr, 0, nullptr, 0)
                       : SQLProceduresW(statement.Get(), nullptr, 0, pattern.data(), length,
                                        nullptr, 0);
    }
    std::string pattern = *schemaPattern;
    auto* text = reinterpret_cast<SQLCHAR*>(pattern.data());
    const auto length = static_cast<SQLSMALLINT>(pattern.size());
    return columns ? SQLProcedureColumns(statement.Get(), nullptr, 0, text, length, nullptr, 0,
                                         nullptr, 0)
                   : SQLProcedures(statement.Get(), nullptr, 0, text, length, nullptr, 0);
}

ResultSet RunCatalog(const ConnectionHandle& connection, SchemaEnum schema,
                     const std::optional<std::string>& schemaPattern = std::nullopt) {
    StatementHandle statement(connection);
    SQLRETURN rc = SQL_ERROR;
    switch (schema) {
        case SchemaEnum::adSchemaTables: {
            WideString types = ToWide("TABLE,VIEW");
            rc = SQLTablesW(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0, types.data(),
                            static_cast<SQLSMALLINT>(types.size()));
            break;
        }
        case SchemaEnum::adSchemaColumns: {
            WideString all = ToWide("%");
            rc = SQLColumnsW(statement.Get(), nullptr, 0, nullptr, 0, all.data(),
                             static_cast<SQLSMALLINT>(all.size()), all.data(),
                             static_cast<SQLSMALLINT>(all.size()));
            break;
        }
        case SchemaEnum::adSchemaProcedures:
        case SchemaEnum::adSchemaProcedureColumns:
            rc = CallProcedureCatalog(statement, schema, schemaPattern);
            break;
    }
    statement.Check(rc, "Reading the schema");
    return ReadFirstResult(statement);
}

std::string CatalogInfoText(const ConnectionHandle& connection, SQLUSMALLINT infoType) {
    std::array<SQLWCHAR, 32> buffer{};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection.Get(), infoType, buffer.data(),
                                   static_cast<SQLSMALLINT>(sizeof buffer), &bytes)))
        return {};
    const auto units = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(bytes, 0)) /
                                                 sizeof(SQLWCHAR),
                                             buffer.size() - 1);
    return FromWide(buffer.data(), units);
}

// The user schemas of a PostgreSQL database, as exact search patterns. Its own schemas hold
// thousands of functions; asking per user schema keeps the procedure lists quick, which
// matters because detail tables look up their key type in them for every record.
std::vector<std::string> UserSchemaPatterns(const ConnectionHandle& connection) {
    StatementHandle statement(connection);
    WideString all = ToWide(SQL_ALL_SCHEMAS);
    SQLWCHAR none = 0;
    statement.Check(SQLTablesW(statement.Get(), &none, 0, all.data(),
                               static_cast<SQLSMALLINT>(all.size()), &none, 0, &none, 0),
                    "Listing the schemas");
    const ResultSet schemas = ReadFirstResult(statement);
    const std::string escape = CatalogInfoText(connection, SQL_SEARCH_PATTERN_ESCAPE);
    std::vector<std::string> patterns;
    for (std::size_t row = 0; row < schemas.RowCount() && schemas.ColumnCount() >= 2; ++row) {
        const auto* name = schemas.At(row, 1).Get<std::string>();
        if (!name || name->rfind("pg_", 0) == 0 || *name == "information_schema") continue;
        std::string pattern;
        for (char c : *name) {
            if (!escape.empty() && (c == '_' || c == '%' || escape.find(c) != std::string::npos))
                pattern += escape;
            pattern += c;
        }
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

ResultSet RunProcedureCatalog(const ConnectionHandle& connection, SchemaEnum schema,
                              SqlDialect dialect) {
    if (dialect != SqlDialect::PostgreSQL) return RunCatalog(connection, schema);
    ResultSet all;
    bool first = true;
    for (const auto& pattern : UserSchemaPatterns(connection)) {
        ResultSet part = RunCatalog(connection, schema, pattern);
        if (first) {
            all = std::move(part);
            first = false;
        } else if (part.ColumnCount() == all.ColumnCount()) {
            all.cells.insert(all.cells.end(), std::make_move_iterator(part.cells.begin()),
                             std::make_move_iterator(part.cells.end()));
        }
    }
    // Without a user schema the driver still describes the list's columns.
    return first ? RunCatalog(connection, schema, std::string("-")) : all;
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
            return Procedures(RunProcedureCatalog(connection, schema, dialect), dialect);
        case SchemaEnum::adSchemaColumns: return Columns(RunCatalog(connection, schema), dialect);
        case SchemaEnum::adSchemaProcedureColumns:
            return ProcedureColumns(RunProcedureCatalog(connection, schema, dialect), dialect);
    }
    ThrowAdoError(errors::kInvalidArgument, kConnectionSource,
                  fmt::format("Schema {} is not supported.", static_cast<int>(schema)));
}

}  // namespace paperloom::host::ado::odbc
