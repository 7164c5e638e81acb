#pragma once
// Character-wise views of UTF-8 text. The add-ins count characters where they slice text
// ("the first and last characters", "one character at a time"); a Japanese character must
// count as one, never as its three bytes.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::utf8 {

// The text split into characters (code points), each as its own UTF-8 piece. An ill-formed
// sequence becomes a piece of its own, so nothing is lost and joining gives the text back.
std::vector<std::string_view> Characters(std::string_view text);

// Number of characters (code points) in the text.
std::size_t Length(std::string_view text);

// The text without its first and last characters; "" when it has fewer than two.
std::string WithoutFirstAndLast(std::string_view text);

}  // namespace paperloom::utf8
