#include "host/docx/PartName.h"

#include <algorithm>
#include <vector>

#include "host/AsciiText.h"

namespace paperloom::docx::partname {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::string> Segments(std::string_view path) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        out.emplace_back(path.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return out;
}

std::string Join(const std::vector<std::string>& segments) {
    std::string out;
    for (const auto& s : segments) {
        if (!out.empty()) out += '/';
        out += s;
    }
    return out;
}

}  // namespace

std::string Normalize(std::string_view name) {
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    return std::string(name);
}

std::string FoldKey(std::string_view name) {
    // Relationship targets may percent-encode what the zip entry name spells out, or the
    // other way round; both name the same part.
    const std::string normalized = Normalize(name);
    std::string key;
    key.reserve(normalized.size());
    for (std::size_t i = 0; i < normalized.size(); ++i) {
        if (normalized[i] == '%' && i + 2 < normalized.size() && HexValue(normalized[i + 1]) >= 0 &&
            HexValue(normalized[i + 2]) >= 0) {
            key += static_cast<char>(HexValue(normalized[i + 1]) * 16 + HexValue(normalized[i + 2]));
            i += 2;
        } else {
            key += normalized[i];
        }
    }
    return text::ToLower(key);
}

bool Equal(std::string_view a, std::string_view b) { return FoldKey(a) == FoldKey(b); }

std::string RelationshipsPartOf(std::string_view source) {
    const std::string part = Normalize(source);
    const std::string folder = Folder(part);
    return folder + "_rels/" + part.substr(folder.size()) + ".rels";
}

std::string Folder(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string Extension(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    const std::string_view last = slash == std::string_view::npos ? part : part.substr(slash + 1);
    const std::size_t dot = last.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(last.substr(dot + 1));
}

bool IsXmlPartName(std::string_view part) {
    const std::string extension = FoldKey(Extension(part));
    return extension == "xml" || extension == "rels";
}

std::string Resolve(std::string_view sourcePart, std::string_view target) {
    std::string combined;
    if (!target.empty() && target.front() == '/') {
        combined = std::string(target);
    } else {
        combined = Folder(Normalize(sourcePart)) + std::string(target);
    }
    std::vector<std::string> kept;
    for (auto& segment : Segments(combined)) {
        if (segment.empty() || segment == ".") continue;
        if (segment == "..") {
            // Climbing above the package root stays at the root.
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        kept.push_back(std::move(segment));
    }
    return Join(kept);
}

std::string Relative(std::string_view sourcePart, std::string_view part) {
    std::vector<std::string> from = Segments(Folder(Normalize(sourcePart)));
    if (!from.empty() && from.back().empty()) from.pop_back();
    const std::vector<std::string> to = Segments(Normalize(part));

    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common]) ++common;

    std::string out;
    for (std::size_t i = common; i < from.size(); ++i) out += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        out += to[i];
        if (i + 1 < to.size()) out += '/';
    }
    return out;
}

}  // namespace paperloom::docx::partname
