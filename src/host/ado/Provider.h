#pragma once
// The boundary between the data-access objects and a database engine. A provider session is
// one open login to one database; Connection routes a connection string to a session and
// Recordset works on the ResultSet a session returns.

#include <cstddef>
#include <string>
#include <vector>

#include "host/ado/DataTypes.h"
#include "host/ado/Variant.h"

namespace paperloom::host::ado {

struct ColumnInfo {
    std::string name;
    DataTypeEnum type = DataTypeEnum::adVariant;
    long definedSize = 0;  // characters or bytes; 0 when unknown
    int precision = 0;
    int numericScale = 0;
    bool nullable = true;
};

// A fetched result: row-major cells, columns.size() per row, in one allocation.
struct ResultSet {
    std::vector<ColumnInfo> columns;
    std::vector<Variant> cells;
    long recordsAffected = -1;  // -1 when the statement does not report it

    std::size_t ColumnCount() const noexcept { return columns.size(); }
    std::size_t RowCount() const noexcept {
        return columns.empty() ? 0 : cells.size() / columns.size();
    }
    const Variant& At(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
};

// Statement idioms differ per database; the adapter rewrites by this.
enum class SqlDialect { SQLite, PostgreSQL, GenericOdbc };

class ProviderSession {
public:
    virtual ~ProviderSession() = default;
    ProviderSession() = default;
    ProviderSession(const ProviderSession&) = delete;
    ProviderSession& operator=(const ProviderSession&) = delete;

    // Runs a statement (adCmdText), reads a whole table (adCmdTable), calls a procedure
    // (adCmdStoredProc) or guesses (adCmdUnknown). Throws HostError with the database's message
    // in the description when the database rejects it.
    virtual ResultSet Execute(const std::string& statement, CommandTypeEnum commandType) = 0;

    // Execute for a record source that is only read (what a report opens): one statement at
    // most (anything but blanks and comments after it is refused) and nothing that changes the
    // database; such statements are refused with HostError kNotAllowed and leave the database
    // as it was.
    virtual ResultSet Query(const std::string& source, CommandTypeEnum commandType) = 0;

    // Schema lists, without restrictions:
    //   adSchemaTables: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE ("TABLE"/"VIEW")
    //   adSchemaProcedures: PROCEDURE_CATALOG, PROCEDURE_SCHEMA, PROCEDURE_NAME, PROCEDURE_TYPE
    //   adSchemaColumns: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION,
    //                    DATA_TYPE (a DataTypeEnum code, integer)
    //   adSchemaProcedureColumns: PROCEDURE_CATALOG, PROCEDURE_SCHEMA, PROCEDURE_NAME,
    //                    COLUMN_NAME, ORDINAL_POSITION, DATA_TYPE
    virtual ResultSet OpenSchema(SchemaEnum schema) = 0;

    virtual SqlDialect Dialect() const noexcept = 0;

    // False once the session has lost its database (the pool then discards it).
    virtual bool IsUsable() noexcept = 0;
};

}  // namespace paperloom::host::ado
