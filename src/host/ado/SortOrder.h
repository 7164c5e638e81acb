#pragma once
// Sort texts ("Date ASC, Qty DESC") parsed into keys and applied to row numbers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/ado/Provider.h"

namespace paperloom::host::ado {

struct SortKey {
    std::string field;
    bool descending = false;
    std::size_t columnIndex = 0;  // set by Bind
};

class SortOrder {
public:
    // Keys separated by ","; each a field name (optionally in []) and ASC or DESC (default ASC).
    // Throws HostError 3001 on bad text. An empty or blank text gives no keys.
    static SortOrder Parse(std::string_view text);

    // Throws HostError 3265 for a field the columns do not have.
    void Bind(const std::vector<ColumnInfo>& columns);

    // Stable sort of row numbers of `rows`; Null first in ascending order, last in descending.
    void Apply(const ResultSet& rows, std::vector<std::uint32_t>& order) const;

    bool Empty() const noexcept { return keys_.empty(); }
    const std::vector<SortKey>& Keys() const noexcept { return keys_; }

private:
    std::vector<SortKey> keys_;
};

}  // namespace paperloom::host::ado
