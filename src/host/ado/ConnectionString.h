#pragma once
// Connection strings as "Key=Value;Key=Value": keys compare without regard to case, values may
// be quoted with ' or " (OLE DB style) or braces (ODBC style) to hold ';'.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::host::ado {

class ConnectionString {
public:
    struct Entry {
        std::string key;    // trimmed, as written
        std::string value;  // trimmed, quotes removed (braces kept, ODBC drivers expect them)
    };

    static ConnectionString Parse(std::string_view text);

    std::optional<std::string> Get(std::string_view key) const;
    bool Has(std::string_view key) const { return Get(key).has_value(); }
    const std::vector<Entry>& Entries() const noexcept { return entries_; }

    // The entries written back, without those named in `without` (compared without case).
    std::string Join(const std::vector<std::string_view>& without = {}) const;

private:
    std::vector<Entry> entries_;
};

}  // namespace paperloom::host::ado
