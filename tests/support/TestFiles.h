#pragma once
// Scratch folders and SQLite scripts for the test suites: every suite builds the files and
// databases it uses in a folder of its own that goes away with the test.

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace paperloom::test {

class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view prefix = "paperloom-test") {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                (std::string(prefix) + "-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path File(const std::string& name) const { return path_ / name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out << bytes;
    }

private:
    std::filesystem::path path_;
};

// Runs a script against the SQLite file, creating it when missing; throws with SQLite's message.
inline void RunSqlite(const std::filesystem::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.string().c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + path.string());
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("sql failed: " + message);
}

}  // namespace paperloom::test
