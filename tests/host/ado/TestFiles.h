#pragma once
// Scratch folders and SQLite files for the data-access tests.

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include "support/TestFiles.h"

namespace paperloom::host::ado::testing {

// File names come back as text here: the tests build connection strings from them.
class ScratchFolder : public paperloom::test::ScratchFolder {
public:
    ScratchFolder() : paperloom::test::ScratchFolder("paperloom-ado") {}
    std::string File(const std::string& name) const { return (Path() / name).string(); }
};

using paperloom::test::RunSqlite;

// The text as a data link file: UTF-16LE with byte-order mark and CRLF lines.
inline std::string Utf16DataLink(const std::string& asciiConnectionString) {
    const std::string text =
        "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n" + asciiConnectionString + "\r\n";
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

}  // namespace paperloom::host::ado::testing
