#pragma once
// Reading and writing the zip container of a package, with the limits that keep a hostile
// file from exhausting memory.

#include <cstddef>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/docx/Package.h"

namespace paperloom::docx::zip {

// Entries written without a known time get the zip format's earliest date, which keeps
// repeated saves of the same content byte-identical.
inline constexpr std::time_t kNoTime = -1;

struct Entry {
    std::string name;      // as stored, leading slash removed
    std::string data;      // uncompressed bytes
    std::time_t mtime = kNoTime;
};

struct EntryView {
    std::string_view name;
    std::string_view data;
    std::time_t mtime = kNoTime;
};

// Reads every file entry (directory entries are dropped). Throws PackageError when the bytes
// are not a zip, an entry is damaged, encrypted or exceeds the limits, or two entries share
// a name (compared without regard to case).
std::vector<Entry> Read(std::span<const std::byte> bytes, const PackageLimits& limits);

// Writes the entries, in the given order, deflated.
std::vector<std::byte> Write(std::span<const EntryView> entries);

}  // namespace paperloom::docx::zip
