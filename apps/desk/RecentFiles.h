#pragma once
// The files opened or saved last, newest first, kept in a text file of the configuration
// folder (one path a line) so the next run offers them again.

#include <cstddef>
#include <filesystem>
#include <vector>

namespace paperloom::desk {

class RecentFiles {
public:
    explicit RecentFiles(std::filesystem::path store, std::size_t limit = 9);

    // Moves the file to the top (a file listed already moves up) and saves the list.
    void Add(const std::filesystem::path& file);
    // Drops a file that no longer opens and saves the list.
    void Remove(const std::filesystem::path& file);
    const std::vector<std::filesystem::path>& Items() const noexcept { return items_; }

private:
    void Save() const;

    std::filesystem::path store_;
    std::size_t limit_;
    std::vector<std::filesystem::path> items_;
};

}  // namespace paperloom::desk
