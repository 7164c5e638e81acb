#pragma once
// Splits a fuzz input into pieces at 0x01 bytes, so one input can carry several strings.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace paperloom::fuzz {

inline std::vector<std::string> Pieces(const std::uint8_t* data, std::size_t size, std::size_t count) {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x01 && pieces.size() < count) {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(static_cast<char>(data[i]));
        }
    }
    pieces.resize(count);
    return pieces;
}

// Fails loudly: the fuzzer reports the input.
inline void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace paperloom::fuzz
