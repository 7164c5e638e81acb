#pragma once
// The parts of a new blank document: one empty paragraph on an A4 portrait page, default
// styles for Japanese text, settings, fonts, web settings and document properties.

#include <string>
#include <utility>
#include <vector>

namespace paperloom::docx::blank {

// Part name and bytes, in the order they are written.
std::vector<std::pair<std::string, std::string>> Parts();

}  // namespace paperloom::docx::blank
