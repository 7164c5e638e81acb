#pragma once
// The shared sample documents, when the folder is present.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace paperloom::docx::testing {

inline std::filesystem::path CorpusDir(const char* kind) {
    return std::filesystem::path(PAPERLOOM_SHARED_DIR) / "corpus" / kind;
}

inline std::vector<std::filesystem::path> CorpusFiles(const char* kind) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(CorpusDir(kind), ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Describes the first difference between two XML trees, or returns "" when they are equal.
inline std::string XmlDifference(const pugi::xml_node& a, const pugi::xml_node& b, const std::string& where = "") {
    const std::string here = where + "/" + a.name();
    if (a.type() != b.type()) return here + ": node types differ";
    if (std::string_view(a.name()) != b.name()) return here + ": names differ (" + b.name() + ")";
    if (std::string_view(a.value()) != b.value()) return here + ": values differ";
    auto aa = a.attributes_begin();
    auto ba = b.attributes_begin();
    for (; aa != a.attributes_end() && ba != b.attributes_end(); ++aa, ++ba) {
        if (std::string_view(aa->name()) != ba->name() || std::string_view(aa->value()) != ba->value()) {
            return here + ": attribute " + aa->name() + " differs";
        }
    }
    if ((aa == a.attributes_end()) != (ba == b.attributes_end())) return here + ": attribute counts differ";
    pugi::xml_node ac = a.first_child();
    pugi::xml_node bc = b.first_child();
    for (; ac && bc; ac = ac.next_sibling(), bc = bc.next_sibling()) {
        if (std::string diff = XmlDifference(ac, bc, here); !diff.empty()) return diff;
    }
    if (ac || bc) return here + ": child counts differ";
    return {};
}

}  // namespace paperloom::docx::testing
