#pragma once
// Scratch folders and small databases for the template kit's tests.

#include "support/TestFiles.h"
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/TestFiles.h"

namespace paperloom::templatekit::test {

class ScratchFolder : public paperloom::test::ScratchFolder {
public:
    ScratchFolder() : paperloom::test::ScratchFolder("paperloom-kit") {}
};

inline void RunSql(const std::filesystem::path& database, const std::string& sql) {
    paperloom::test::RunSqlite(database, sql);
}

}  // namespace paperloom::templatekit::test
