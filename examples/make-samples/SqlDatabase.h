#pragma once
// A SQLite database made from SQL script files, written beside its target and renamed over it
// only when every script ran, so a failed build never leaves a half-filled database behind.

#include <filesystem>
#include <vector>

namespace paperloom::samples {

// Runs the scripts in order into a new database at `database`. An existing file is replaced
// only with `overwrite`; otherwise std::runtime_error, as for any failing script.
void BuildDatabase(const std::filesystem::path& database, const std::vector<std::filesystem::path>& scripts,
                   bool overwrite);

}  // namespace paperloom::samples
