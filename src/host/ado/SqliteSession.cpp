#include "host/ado/SqliteSession.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "host/ado/AdoErrors.h"
#include "host/ado/ReadOnlyQuery.h"
#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

constexpr const char* kSqliteSource = "SQLite";

struct StatementCloser {
    void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

bool Contains(const std::string& upper, const char* word) {
    return upper.find(word) != std::string::npos;
}

std::string QuoteIdentifier(std::string_view name) {
    // [Name] and "Name" are already quoted; anything else gets double quotes.
    if (name.size() >= 2 && ((name.front() == '[' && name.back() == ']') ||
                             (name.front() == '"' && name.back() == '"')))
        return std::string(name);
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

bool IsSingleName(std::string_view text) {
    if (text.empty()) return false;
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '('; });
}

bool IsDateType(DataTypeEnum t) {
    return t == DataTypeEnum::adDate || t == DataTypeEnum::adDBDate || t == DataTypeEnum::adDBTime ||
           t == DataTypeEnum::adDBTimeStamp;
}

bool IsExactType(DataTypeEnum t) {
    return t == DataTypeEnum::adNumeric || t == DataTypeEnum::adDecimal || t == DataTypeEnum::adCurrency;
}

std::string_view ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)))
                : std::string_view{};
}

// Value of one cell read by the column's reported type; values the type cannot hold keep
// their stored form rather than being lost.
Variant ReadCell(sqlite3_stmt* stmt, int column, DataTypeEnum type) {
    const int storage = sqlite3_column_type(stmt, column);
    if (storage == SQLITE_NULL) return Variant::Null();
    if (IsDateType(type)) {
        if (storage == SQLITE_TEXT) {
            if (auto d = ParseDateText(ColumnText(stmt, column))) {
                if (type == DataTypeEnum::adDBTime) {
                    d->year = 1899, d->month = 12, d->day = 30, d->hasTime = true;
                }
                return Variant(*d);
            }
        }
        // Numbers in a date column have no agreed epoch; keep them as stored.
    } else if (IsExactType(type)) {
        if (storage == SQLITE_INTEGER) return Variant(Decimal::FromInteger(sqlite3_column_int64(stmt, column)));
        if (auto d = Decimal::TryFromText(ColumnText(stmt, column))) return Variant(std::move(*d));
    } else if (type == DataTypeEnum::adBoolean) {
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Variant(sqlite3_column_double(stmt, column) != 0.0);
        const std::string text = text::ToUpper(ColumnText(stmt, column));
        if (text == "TRUE") return Variant(true);
        if (text == "FALSE") return Variant(false);
    } else if (type == DataTypeEnum::adVarWChar || type == DataTypeEnum::adLongVarWChar) {
        return Variant(ColumnText(stmt, column));
    }
    switch (storage) {
        case SQLITE_INTEGER: return Variant(static_cast<long long>(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT: return Variant(sqlite3_column_double(stmt, column));
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            const auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt, column));
            return Variant(std::string(bytes ? bytes : "", bytes ? size : 0));
        }
        default: return Variant(ColumnText(stmt, column));
    }
}

}  // namespace

DataTypeEnum DataTypeFromDeclaredType(std::string_view declared) {
    const std::string t = text::ToUpper(declared);
    if (t.empty()) return DataTypeEnum::adEmpty;
    // Specific names before SQLite's affinity rules, which would read DATETIME as numeric.
    if (Contains(t, "TIMESTAMP") || Contains(t, "DATETIME")) return DataTypeEnum::adDBTimeStamp;
    if (Contains(t, "DATE")) return DataTypeEnum::adDBDate;
    if (t == "TIME" || t.rfind("TIME(", 0) == 0 || t.rfind("TIME ", 0) == 0) return DataTypeEnum::adDBTime;
    if (Contains(t, "BOOL") || t == "BIT") return DataTypeEnum::adBoolean;
    if (Contains(t, "MONEY") || Contains(t, "CURRENCY")) return DataTypeEnum::adCurrency;
    if (Contains(t, "DECIMAL")) return DataTypeEnum::adDecimal;
    if (Contains(t, "NUMERIC")) return DataTypeEnum::adNumeric;
    if (Contains(t, "BIGINT") || Contains(t, "INT8")) return DataTypeEnum::adBigInt;
    if (Contains(t, "TINYINT")) return DataTypeEnum::adTinyInt;
    if (Contains(t, "SMALLINT") || Contains(t, "INT2")) return DataTypeEnum::adSmallInt;
    if (Contains(t, "INT")) return DataTypeEnum::adInteger;
    if (Contains(t, "CHAR") || Contains(t, "CLOB")) return DataTypeEnum::adVarWChar;
    if (Contains(t, "TEXT")) return DataTypeEnum::adLongVarWChar;
    if (Contains(t, "BLOB") || Contains(t, "BINARY")) return DataTypeEnum::adLongVarBinary;
    if (Contains(t, "REAL") || Contains(t, "FLOA") || Contains(t, "DOUB")) return DataTypeEnum::adDouble;
    return DataTypeEnum::adEmpty;
}

void SqliteSession::Closer::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }

SqliteSession::SqliteSession(const std::string& path, std::chrono::milliseconds lockWait)
    : path_(path), lockWait_(lockWait) {
    const bool memory = path == ":memory:";
    // Without SQLITE_OPEN_CREATE a missing file is an error instead of a new empty database.
    const int flags = SQLITE_OPEN_READWRITE | (memory ? SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY : 0) |
                      SQLITE_OPEN_NOMUTEX;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        const std::string message = raw ? sqlite3_errmsg(raw) : "out of memory";
        ThrowAdoError(errors::kProviderFailed, kSqliteSource,
                      "[SQLite] データベースを開けません: " + path + " (" + message + ")");
    }
    sqlite3_busy_timeout(db_.get(), static_cast<int>(std::clamp<long long>(lockWait_.count(), 0, 86400000)));
    sqlite3_extended_result_codes(db_.get(), 1);
    // A file that is not a database fails on first read; find out now, not at the first query.
    Statement probe;
    sqlite3_stmt* rawProbe = nullptr;
    if (sqlite3_prepare_v2(db_.get(), "SELECT count(*) FROM sqlite_master", -1, &rawProbe, nullptr) != SQLITE_OK) {
        probe.reset(rawProbe);
        const std::string message = sqlite3_errmsg(db_.get());
        ThrowAdoError(errors::kProviderFailed, kSqliteSource,
                      "[SQLite] データベースを開けません: " + path + " (" + message + ")");
    }
    probe.reset(rawProbe);
    struct stat info {};
    if (!memory && ::stat(path.c_str(), &info) == 0) {
        device_ = static_cast<unsigned long long>(info.st_dev);
        inode_ = static_cast<unsigned long long>(info.st_ino);
    }
}

SqliteSession::~SqliteSession() = default;

void SqliteSession::ThrowError(const std::string& context) const {
    const std::string message = db_ ? sqlite3_errmsg(db_.get()) : "out of memory";
    const int code = db_ ? sqlite3_extended_errcode(db_.get()) & 0xff : SQLITE_NOMEM;
    std::string description = "[SQLite] " + message;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        const auto seconds = std::chrono::duration<double>(lockWait_).count();
        description += ": 別のプログラムがデータベースをロックしています。" +
                       std::to_string(static_cast<long>(seconds + 0.5)) + " 秒待ちましたが解除されませんでした";
    }
    if (!context.empty()) description += " (" + context + ")";
    ThrowAdoError(errors::kProviderFailed, kSqliteSource, description);
}

bool SqliteSession::IsUsable() noexcept {
    if (db_ == nullptr || sqlite3_get_autocommit(db_.get()) == 0) return false;
    if (path_ == ":memory:") return true;
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0 && static_cast<unsigned long long>(info.st_dev) == device_ &&
           static_cast<unsigned long long>(info.st_ino) == inode_;
}

ResultSet SqliteSession::Execute(const std::string& statement, CommandTypeEnum commandType) {
    switch (commandType) {
        case CommandTypeEnum::adCmdTable: return Run("SELECT * FROM " + QuoteIdentifier(statement));
        case CommandTypeEnum::adCmdStoredProc:
            ThrowAdoError(errors::kProviderFailed, kSqliteSource,
                          "[SQLite] ストアド プロシージャはありません: " + statement);
        case CommandTypeEnum::adCmdUnknown:
            if (IsSingleName(statement)) return Run("SELECT * FROM " + QuoteIdentifier(statement));
            return Run(statement);
        case CommandTypeEnum::adCmdText: break;
    }
    return Run(statement);
}

ResultSet SqliteSession::Query(const std::string& source, CommandTypeEnum commandType) {
    switch (commandType) {
        case CommandTypeEnum::adCmdTable: return RunReadOnly("SELECT * FROM " + QuoteIdentifier(source));
        case CommandTypeEnum::adCmdStoredProc:
            ThrowAdoError(errors::kProviderFailed, kSqliteSource, "[SQLite] ストアド プロシージャはありません: " + source);
        case CommandTypeEnum::adCmdUnknown:
            if (IsSingleName(source)) return RunReadOnly("SELECT * FROM " + QuoteIdentifier(source));
            return RunReadOnly(source);
        case CommandTypeEnum::adCmdText: break;
    }
    return RunReadOnly(source);
}

namespace {

// Columns without a declaration (expressions) take their type from their first value.
void SettleUndeclaredTypes(ResultSet& result) {
    const std::size_t width = result.columns.size();
    for (std::size_t c = 0; c < width; ++c) {
        auto& info = result.columns[c];
        if (info.type != DataTypeEnum::adEmpty) continue;
        info.type = DataTypeEnum::adVarWChar;
        for (std::size_t r = 0; r < result.RowCount(); ++r) {
            const Variant& v = result.cells[r * width + c];
            if (v.IsNull()) continue;
            if (v.Kind() == VariantKind::Integer) info.type = DataTypeEnum::adBigInt;
            else if (v.Kind() == VariantKind::Double) info.type = DataTypeEnum::adDouble;
            break;
        }
    }
    result.cells.shrink_to_fit();
}

}  // namespace

ResultSet SqliteSession::RunReadOnly(const std::string& sql) {
    const char* tail = sql.c_str();
    const char* const end = sql.c_str() + sql.size();
    Statement stmt;
    // Leading blanks and comments prepare to no statement.
    while (!stmt && tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db_.get(), tail, static_cast<int>(end - tail), &raw, &next);
        stmt.reset(raw);
        if (rc != SQLITE_OK) ThrowError(std::string(tail, end));
        tail = next;
    }
    ResultSet result;
    if (!stmt) return result;  // blank text or a lone comment
    // Whatever follows must prepare to nothing; it is parsed, never run.
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db_.get(), tail, static_cast<int>(end - tail), &raw, &next);
        const Statement further(raw);
        if (rc != SQLITE_OK || further) ThrowSeveralStatements(kSqliteSource);
        tail = next;
    }
    // The parser's own verdict: false for anything that writes to a database file, including
    // PRAGMA journal_mode, VACUUM (INTO) and checkpoints.
    if (sqlite3_stmt_readonly(stmt.get()) == 0) ThrowWritingStatement(kSqliteSource);
    StepInto(stmt.get(), result, sqlite3_column_count(stmt.get()) > 0);
    SettleUndeclaredTypes(result);
    return result;
}

void SqliteSession::StepInto(sqlite3_stmt* stmt, ResultSet& result, bool collect) {
    const int columns = sqlite3_column_count(stmt);
    std::vector<DataTypeEnum> declared;
    if (collect) {
        result.columns.resize(static_cast<std::size_t>(columns));
        declared.resize(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            auto& info = result.columns[static_cast<std::size_t>(c)];
            const char* name = sqlite3_column_name(stmt, c);
            info.name = name ? name : "";
            const char* decl = sqlite3_column_decltype(stmt, c);
            declared[static_cast<std::size_t>(c)] = DataTypeFromDeclaredType(decl ? decl : "");
            info.type = declared[static_cast<std::size_t>(c)];
        }
    }
    int rc = 0;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (!collect) continue;
        if (result.cells.size() == result.cells.capacity())
            result.cells.reserve(
                std::max<std::size_t>(result.cells.size() * 2, static_cast<std::size_t>(columns) * 64));
        for (int c = 0; c < columns; ++c)
            result.cells.push_back(ReadCell(stmt, c, declared[static_cast<std::size_t>(c)]));
    }
    if (rc != SQLITE_DONE) ThrowError(sqlite3_sql(stmt));
}

ResultSet SqliteSession::Run(const std::string& sql) {
    ResultSet result;
    long changes = 0;
    bool changed = false;
    bool haveRows = false;
    const char* tail = sql.c_str();
    const char* const end = sql.c_str() + sql.size();
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        const int prepared = sqlite3_prepare_v2(db_.get(), tail, static_cast<int>(end - tail), &raw, &next);
        Statement stmt(raw);
        if (prepared != SQLITE_OK) ThrowError(std::string(tail, end));
        tail = next;
        if (!stmt) continue;  // blank text or a lone comment
        // The rows of the first statement that returns any; later ones run for their effect.
        const bool collect = sqlite3_column_count(stmt.get()) > 0 && !haveRows;
        haveRows = haveRows || collect;
        const int totalBefore = sqlite3_total_changes(db_.get());
        StepInto(stmt.get(), result, collect);
        if (sqlite3_stmt_readonly(stmt.get()) == 0) {
            changes += sqlite3_total_changes(db_.get()) - totalBefore;
            changed = true;
        }
    }
    SettleUndeclaredTypes(result);
    result.recordsAffected = changed ? changes : -1;
    return result;
}

namespace {

ResultSet MakeSchema(std::initializer_list<std::pair<const char*, DataTypeEnum>> columns) {
    ResultSet out;
    for (const auto& [name, type] : columns) out.columns.push_back(ColumnInfo{name, type});
    return out;
}

}  // namespace

ResultSet SqliteSession::OpenSchema(SchemaEnum schema) {
    switch (schema) {
        case SchemaEnum::adSchemaTables: {
            ResultSet out = MakeSchema({{"TABLE_CATALOG", DataTypeEnum::adVarWChar},
                                        {"TABLE_SCHEMA", DataTypeEnum::adVarWChar},
                                        {"TABLE_NAME", DataTypeEnum::adVarWChar},
                                        {"TABLE_TYPE", DataTypeEnum::adVarWChar}});
            const ResultSet names = Run(
                "SELECT name, upper(type) FROM sqlite_master WHERE type IN ('table','view') "
                "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
            for (std::size_t r = 0; r < names.RowCount(); ++r) {
                out.cells.emplace_back(Variant::NullTag{});
                out.cells.emplace_back(Variant::NullTag{});
                out.cells.push_back(names.At(r, 0));
                out.cells.push_back(names.At(r, 1));
            }
            return out;
        }
        case SchemaEnum::adSchemaColumns: {
            ResultSet out = MakeSchema({{"TABLE_CATALOG", DataTypeEnum::adVarWChar},
                                        {"TABLE_SCHEMA", DataTypeEnum::adVarWChar},
                                        {"TABLE_NAME", DataTypeEnum::adVarWChar},
                                        {"COLUMN_NAME", DataTypeEnum::adVarWChar},
                                        {"ORDINAL_POSITION", DataTypeEnum::adInteger},
                                        {"DATA_TYPE", DataTypeEnum::adSmallInt}});
            const ResultSet columns = Run(
                "SELECT m.name, p.name, p.cid + 1, p.type FROM sqlite_master AS m "
                "JOIN pragma_table_info(m.name) AS p WHERE m.type IN ('table','view') "
                "AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY m.name, p.cid");
            for (std::size_t r = 0; r < columns.RowCount(); ++r) {
                out.cells.emplace_back(Variant::NullTag{});
                out.cells.emplace_back(Variant::NullTag{});
                out.cells.push_back(columns.At(r, 0));
                out.cells.push_back(columns.At(r, 1));
                out.cells.push_back(columns.At(r, 2));
                const auto* declared = columns.At(r, 3).Get<std::string>();
                DataTypeEnum type = DataTypeFromDeclaredType(declared ? *declared : "");
                // Undeclared columns hold any value; report them as variants.
                if (type == DataTypeEnum::adEmpty) type = DataTypeEnum::adVariant;
                out.cells.emplace_back(static_cast<long long>(type));
            }
            return out;
        }
        case SchemaEnum::adSchemaProcedures:
            return MakeSchema({{"PROCEDURE_CATALOG", DataTypeEnum::adVarWChar},
                               {"PROCEDURE_SCHEMA", DataTypeEnum::adVarWChar},
                               {"PROCEDURE_NAME", DataTypeEnum::adVarWChar},
                               {"PROCEDURE_TYPE", DataTypeEnum::adSmallInt}});
        case SchemaEnum::adSchemaProcedureColumns:
            return MakeSchema({{"PROCEDURE_CATALOG", DataTypeEnum::adVarWChar},
                               {"PROCEDURE_SCHEMA", DataTypeEnum::adVarWChar},
                               {"PROCEDURE_NAME", DataTypeEnum::adVarWChar},
                               {"COLUMN_NAME", DataTypeEnum::adVarWChar},
                               {"ORDINAL_POSITION", DataTypeEnum::adInteger},
                               {"DATA_TYPE", DataTypeEnum::adSmallInt}});
    }
    ThrowAdoError(errors::kInvalidArgument, kConnectionSource, "スキーマの種類が不正です。");
}

}  // namespace paperloom::host::ado
