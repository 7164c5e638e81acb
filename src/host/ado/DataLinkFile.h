#pragma once
// Data link files: a text file (UTF-16 with byte-order mark, as the platform's editor writes
// it, or UTF-8) with an "[oledb]" header, comment lines starting with ';', and the connection
// string on its own line.

#include <filesystem>
#include <string>
#include <string_view>

namespace paperloom::host::ado {

// The connection string held in the file. Throws HostError when the file cannot be read or
// has no "[oledb]" header or no connection string.
std::string ReadDataLinkFile(const std::filesystem::path& path);

// The same from the file's bytes (for tests and fuzzing); `name` appears in error messages.
std::string ParseDataLinkText(std::string_view bytes, const std::string& name);

// The bytes of a data link file holding `connectionString`: UTF-16 little endian with a
// byte-order mark, the "[oledb]" header and a comment line, as the platform's editor writes
// it. Throws HostError for a string with a line break or a NUL (the file holds one line).
std::string MakeDataLinkText(std::string_view connectionString);

// Text in UTF-16 (little or big endian by its byte-order mark, little without one) as UTF-8.
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace paperloom::host::ado
