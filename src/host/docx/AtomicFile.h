#pragma once
// Replaces a file's contents all at once: the bytes go to a temporary file in the target's
// folder, which is flushed and then renamed over the target. A failure at any step leaves
// the target as it was and removes the temporary file.

#include <cstddef>
#include <filesystem>
#include <span>

namespace paperloom::docx {

// Throws PackageError when the target is read-only, is a folder, or cannot be written.
void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::byte> bytes);

}  // namespace paperloom::docx
