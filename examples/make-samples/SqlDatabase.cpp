#include "SqlDatabase.h"

#include <sqlite3.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "OutputFile.h"

namespace paperloom::samples {

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close(db); }
};

std::string ReadScript(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void RunScripts(const std::filesystem::path& database, const std::vector<std::filesystem::path>& scripts) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(database.string().c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DatabaseCloser> db(raw);
    if (opened != SQLITE_OK) throw std::runtime_error("cannot create " + database.string());
    for (const auto& script : scripts) {
        const std::string sql = ReadScript(script);
        char* error = nullptr;
        if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(script.string() + ": " + message);
        }
    }
}

}  // namespace

void BuildDatabase(const std::filesystem::path& database, const std::vector<std::filesystem::path>& scripts,
                   bool overwrite) {
    RefuseToOverwrite(database, overwrite);
    const std::filesystem::path scratch = ScratchNameBeside(database);
    try {
        RunScripts(scratch, scripts);
        std::filesystem::rename(scratch, database);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(scratch, ignored);
        throw;
    }
}

}  // namespace paperloom::samples
