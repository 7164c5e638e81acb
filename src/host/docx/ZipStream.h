#pragma once
// Writing a zip container front to back, for packages too large to hold: one part's bytes are
// deflated on a second thread while they are still being made, and the container is written
// to its file in one pass at the end.
//
// Written here on zlib rather than through libzip: libzip writes an archive only when it is
// closed, pulling every entry from a source it then compresses itself, so it cannot take an
// entry that was compressed earlier, piece by piece, while the document was being built.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace paperloom::docx {
class AtomicFileWriter;
}

namespace paperloom::docx::zip {

// The bytes of one part deflated as they come, on a thread of its own, into an unnamed
// temporary file. Append hands a piece over and returns at once (at most a few pieces wait,
// so a fast producer is held back instead of queueing the document in memory). The deflated
// stream stays open until Finish, so the pieces form one entry with the text that comes last.
class DeflatedSpill {
public:
    // `target`: the file the part is for, named in errors.
    explicit DeflatedSpill(const std::filesystem::path& target = {});
    ~DeflatedSpill();
    DeflatedSpill(const DeflatedSpill&) = delete;
    DeflatedSpill& operator=(const DeflatedSpill&) = delete;

    // Throws PackageError once a write has failed (disk full), so a long build stops early.
    void Append(std::string piece);
    // Deflates `last` and ends the stream; waits for the thread. Throws PackageError when a
    // write failed at any point.
    void Finish(std::string_view last);

    // After Finish: the uncompressed size and CRC-32 of everything appended, and the deflated
    // bytes (raw deflate, no header), read from the temporary file in order.
    std::uint64_t Size() const;
    std::uint32_t Crc() const;
    std::uint64_t DeflatedSize() const;
    std::FILE* DeflatedFile() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Writes entries one after the other, then the central directory. Entries above 4 GiB, and
// offsets past it, get zip64 records (or every entry, with `forceZip64`, for tests).
class StreamWriter {
public:
    explicit StreamWriter(AtomicFileWriter& out, bool forceZip64 = false);
    ~StreamWriter();
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;

    // A whole entry, deflated here. mtime -1: the zip format's earliest date.
    void Add(std::string_view name, std::string_view data, std::time_t mtime = -1);
    // An entry made of `head` (deflated here), then the spill's bytes (which end the stream).
    void AddSpilled(std::string_view name, std::string_view head, DeflatedSpill& spill, std::time_t mtime = -1);
    // The central directory and end records.
    void Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace paperloom::docx::zip
