#pragma once
// Replaces a file's contents all at once: the bytes go to a temporary file in the target's
// folder, which is flushed and then renamed over the target. A failure at any step leaves
// the target as it was and removes the temporary file.
//
// A character device, FIFO or pipe (/dev/null, a named pipe, /dev/stdout) is written through
// instead: it cannot be replaced, and renaming over it would put a regular file in its place.
// A symbolic link keeps pointing where it did; the file it leads to is replaced.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>

namespace paperloom::docx {

// Throws PackageError when the target is read-only, is a folder, a block device or a socket,
// or cannot be written.
void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::byte> bytes);

// The same for bytes that come in pieces (a large document written while it is made): they go
// to the temporary file as they come, and Commit puts it in place. A writer destroyed without
// Commit leaves the target as it was and removes its temporary file.
class AtomicFileWriter {
public:
    // Refuses the target at once (a folder, a read-only file, a block device ...).
    explicit AtomicFileWriter(const std::filesystem::path& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::span<const std::byte> bytes);
    void Commit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Called with the named temporary file after it is complete and before it is renamed over the
// target; tests stop the process there to prove an interrupted save loses nothing. nullptr
// (the default) calls nothing.
using BeforeRenameHook = void (*)(const std::filesystem::path& temporary);
void SetBeforeRenameHook(BeforeRenameHook hook) noexcept;

}  // namespace paperloom::docx
