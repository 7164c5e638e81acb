#include "RecentFiles.h"

#include <algorithm>
#include <fstream>
#include <span>
#include <string>

#include "host/docx/AtomicFile.h"

namespace paperloom::desk {

RecentFiles::RecentFiles(std::filesystem::path store, std::size_t limit) : store_(std::move(store)), limit_(limit) {
    std::ifstream in(store_);
    std::string line;
    while (items_.size() < limit_ && std::getline(in, line))
        if (!line.empty() && std::find(items_.begin(), items_.end(), line) == items_.end()) items_.emplace_back(line);
}

void RecentFiles::Add(const std::filesystem::path& file) {
    const auto full = std::filesystem::absolute(file).lexically_normal();
    std::erase(items_, full);
    items_.insert(items_.begin(), full);
    if (items_.size() > limit_) items_.resize(limit_);
    Save();
}

void RecentFiles::Remove(const std::filesystem::path& file) {
    std::erase(items_, std::filesystem::absolute(file).lexically_normal());
    Save();
}

void RecentFiles::Save() const {
    std::string text;
    for (const auto& item : items_) text += item.string() + "\n";
    std::error_code ec;
    std::filesystem::create_directories(store_.parent_path(), ec);
    // The list is a convenience: a folder that cannot be written loses it, nothing else.
    try {
        docx::WriteFileAtomically(store_, std::as_bytes(std::span(text.data(), text.size())));
    } catch (...) {
    }
}

}  // namespace paperloom::desk
