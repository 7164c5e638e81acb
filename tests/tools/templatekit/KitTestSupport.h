#pragma once
// Scratch folders and small databases for the template kit's tests.

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace paperloom::templatekit::test {

class ScratchFolder {
public:
    ScratchFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("paperloom-kit-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

inline void RunSql(const std::filesystem::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(database.string().c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + database.string());
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("sql failed: " + message);
}

}  // namespace paperloom::templatekit::test
