#include "host/ado/SortOrder.h"

#include <algorithm>

#include "host/ado/AdoErrors.h"
#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

[[noreturn]] void ThrowBadSort(std::string_view text) {
    ThrowAdoError(errors::kInvalidArgument, kRecordsetSource,
                  "並べ替えの指定が不正です: " + std::string(text));
}

}  // namespace

SortOrder SortOrder::Parse(std::string_view text) {
    SortOrder out;
    if (text::Trim(text).empty()) return out;
    std::size_t start = 0;
    while (start <= text.size()) {
        // Split at commas outside brackets.
        std::size_t end = start;
        bool inBracket = false;
        while (end < text.size() && (inBracket || text[end] != ',')) {
            if (text[end] == '[') inBracket = true;
            if (text[end] == ']') inBracket = false;
            ++end;
        }
        std::string_view part = text::Trim(text.substr(start, end - start));
        if (part.empty()) ThrowBadSort(text);
        SortKey key;
        std::string_view rest;
        if (part.front() == '[') {
            const auto close = part.find(']');
            if (close == std::string_view::npos) ThrowBadSort(text);
            key.field = std::string(part.substr(1, close - 1));
            rest = text::Trim(part.substr(close + 1));
        } else {
            std::size_t nameEnd = 0;
            while (nameEnd < part.size() && !IsBlank(part[nameEnd])) ++nameEnd;
            key.field = std::string(part.substr(0, nameEnd));
            rest = text::Trim(part.substr(nameEnd));
        }
        if (key.field.empty()) ThrowBadSort(text);
        if (!rest.empty()) {
            if (CompareTextNoCase(rest, "DESC") == 0) {
                key.descending = true;
            } else if (CompareTextNoCase(rest, "ASC") != 0) {
                ThrowBadSort(text);
            }
        }
        out.keys_.push_back(std::move(key));
        start = end + 1;
    }
    return out;
}

void SortOrder::Bind(const std::vector<ColumnInfo>& columns) {
    for (auto& key : keys_) {
        const auto it = std::find_if(columns.begin(), columns.end(), [&](const ColumnInfo& c) {
            return CompareTextNoCase(c.name, key.field) == 0;
        });
        if (it == columns.end())
            ThrowAdoError(errors::kItemNotFound, kRecordsetSource,
                          "要求された名前、または序数に対応する項目がコレクションで見つかりません。: " +
                              key.field);
        key.columnIndex = static_cast<std::size_t>(it - columns.begin());
    }
}

void SortOrder::Apply(const ResultSet& rows, std::vector<std::uint32_t>& order) const {
    if (keys_.empty()) return;
    const std::size_t width = rows.ColumnCount();
    const Variant* cells = rows.cells.data();
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (const auto& key : keys_) {
            const auto c = CompareForSort(cells[a * width + key.columnIndex],
                                          cells[b * width + key.columnIndex]);
            if (c != 0) return key.descending ? c > 0 : c < 0;
        }
        return false;
    });
}

}  // namespace paperloom::host::ado
