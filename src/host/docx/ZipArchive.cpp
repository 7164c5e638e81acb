#include "host/docx/ZipArchive.h"

#include <zip.h>

#include <cassert>
#include <cstring>
#include <memory>
#include <unordered_set>

#include <fmt/format.h>

#include "host/docx/PartName.h"

namespace paperloom::docx::zip {
namespace {

struct ArchiveCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
struct SourceFreer {
    void operator()(zip_source_t* src) const { zip_source_free(src); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;
using SourcePtr = std::unique_ptr<zip_source_t, SourceFreer>;
using FilePtr = std::unique_ptr<zip_file_t, FileCloser>;

// Keeps a zip_error_t initialised and finalised.
class ZipError {
public:
    ZipError() { zip_error_init(&error_); }
    ~ZipError() { zip_error_fini(&error_); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;
    zip_error_t* get() { return &error_; }
    std::string Text() { return zip_error_strerror(&error_); }

private:
    zip_error_t error_;
};

// DOS time cannot go below 1980; this is what such entries read back as.
constexpr std::time_t kDosEpochLocal = 315532800;  // 1980-01-01 UTC

bool LooksLikeCompoundFile(std::span<const std::byte> bytes) {
    static constexpr unsigned char kMagic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return bytes.size() >= sizeof kMagic && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0;
}

std::string NotAPackage(std::span<const std::byte> bytes, const std::string& detail) {
    if (bytes.empty()) return "The file is empty; it is not a .docx package.";
    if (LooksLikeCompoundFile(bytes)) {
        return "The file is not a .docx package: it is an encrypted document or a legacy binary "
               "word-processor file.";
    }
    return fmt::format("The file is not a .docx package (damaged or not a zip archive): {}.", detail);
}

std::string ReadEntry(zip_t* za, zip_uint64_t index, const std::string& name, zip_uint64_t size) {
    FilePtr file(zip_fopen_index(za, index, 0));
    if (!file) {
        throw PackageError(fmt::format("The package entry \"{}\" cannot be read: {}.", name,
                                       zip_strerror(za)));
    }
    std::string data(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const zip_int64_t n = zip_fread(file.get(), data.data() + done, data.size() - done);
        if (n < 0) {
            throw PackageError(fmt::format("The package entry \"{}\" is damaged: {}.", name,
                                           zip_file_strerror(file.get())));
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done != data.size()) {
        throw PackageError(fmt::format("The package entry \"{}\" is shorter than its header says.", name));
    }
    // Reading past the declared size must find nothing: more data means a lying header.
    char extra = 0;
    const zip_int64_t more = zip_fread(file.get(), &extra, 1);
    if (more != 0) {
        throw PackageError(fmt::format("The package entry \"{}\" is damaged or larger than its header says.",
                                       name));
    }
    zip_file_t* raw = file.release();
    if (zip_fclose(raw) != 0) {
        throw PackageError(fmt::format("The package entry \"{}\" is damaged (checksum mismatch).", name));
    }
    return data;
}

}  // namespace

std::vector<Entry> Read(std::span<const std::byte> bytes, const PackageLimits& limits) {
    if (bytes.empty()) throw PackageError(NotAPackage(bytes, ""));

    ZipError error;
    SourcePtr source(zip_source_buffer_create(bytes.data(), bytes.size(), 0, error.get()));
    if (!source) throw PackageError(NotAPackage(bytes, error.Text()));
    ArchivePtr archive(zip_open_from_source(source.get(), ZIP_RDONLY, error.get()));
    if (!archive) throw PackageError(NotAPackage(bytes, error.Text()));
    source.release();  // the archive owns it now

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0) throw PackageError(NotAPackage(bytes, zip_strerror(archive.get())));
    if (static_cast<std::uint64_t>(count) > limits.maxEntries) {
        throw PackageError(fmt::format("The package holds {} entries; at most {} are accepted.", count,
                                       limits.maxEntries));
    }

    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    std::unordered_set<std::string> seen;
    std::uint64_t total = 0;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), i, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
            throw PackageError(fmt::format("Entry {} of the package is damaged: {}.", i,
                                           zip_strerror(archive.get())));
        }
        std::string name = partname::Normalize(st.name);
        if (!name.empty() && name.back() == '/') continue;  // directory entry
        if (name.empty()) throw PackageError(fmt::format("Entry {} of the package has no name.", i));
        if (!seen.insert(partname::FoldKey(name)).second) {
            throw PackageError(fmt::format("The package holds more than one entry named \"{}\".", name));
        }
        if (!(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE)) {
            throw PackageError(fmt::format("The package entry \"{}\" has no size.", name));
        }
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            throw PackageError(fmt::format("The package entry \"{}\" is encrypted.", name));
        }
        if ((st.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(st.comp_method, 0)) {
            throw PackageError(fmt::format("The package entry \"{}\" uses an unsupported compression method ({}).",
                                           name, st.comp_method));
        }
        if (st.size > limits.maxEntrySize) {
            throw PackageError(fmt::format("The package entry \"{}\" is {} bytes; at most {} are accepted.",
                                           name, st.size, limits.maxEntrySize));
        }
        if (partname::IsXmlPartName(name) && st.size > limits.maxXmlPartSize) {
            throw PackageError(fmt::format("The XML part \"{}\" is {} bytes; at most {} ({} MiB) are accepted for "
                                           "one XML part.",
                                           name, st.size, limits.maxXmlPartSize, limits.maxXmlPartSize >> 20));
        }
        // Tiny entries compress far beyond any ratio without being a threat.
        constexpr std::uint64_t kRatioFloor = 1u << 20;
        if (st.size >= kRatioFloor && st.size / std::max<std::uint64_t>(st.comp_size, 1) > limits.maxCompressionRatio) {
            throw PackageError(fmt::format("The package entry \"{}\" expands {} times; this looks like a zip bomb.",
                                           name, st.size / std::max<std::uint64_t>(st.comp_size, 1)));
        }
        total += st.size;
        if (total > limits.maxTotalSize) {
            throw PackageError(fmt::format("The package expands to more than {} bytes.", limits.maxTotalSize));
        }
        Entry entry;
        entry.data = ReadEntry(archive.get(), i, name, st.size);
        entry.name = std::move(name);
        entry.mtime = (st.valid & ZIP_STAT_MTIME) ? st.mtime : kNoTime;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::byte> Write(std::span<const EntryView> entries) {
    ZipError error;
    SourcePtr out(zip_source_buffer_create(nullptr, 0, 0, error.get()));
    if (!out) throw PackageError("Cannot create the package in memory: " + error.Text() + ".");
    ArchivePtr archive(zip_open_from_source(out.get(), ZIP_TRUNCATE, error.get()));
    if (!archive) throw PackageError("Cannot create the package in memory: " + error.Text() + ".");
    zip_source_keep(out.get());  // read back after the archive is closed

    for (const EntryView& entry : entries) {
        // The package hands over part names without the leading slash, none empty.
        assert(!entry.name.empty() && entry.name.front() != '/');
        SourcePtr data(zip_source_buffer(archive.get(), entry.data.data(), entry.data.size(), 0));
        if (!data) throw PackageError(fmt::format("Cannot add \"{}\" to the package: {}.", entry.name,
                                                  zip_strerror(archive.get())));
        const std::string name(entry.name);
        const zip_int64_t index = zip_file_add(archive.get(), name.c_str(), data.get(), ZIP_FL_ENC_UTF_8);
        if (index < 0) throw PackageError(fmt::format("Cannot add \"{}\" to the package: {}.", entry.name,
                                                      zip_strerror(archive.get())));
        data.release();  // the archive owns it now
        const auto idx = static_cast<zip_uint64_t>(index);
        const std::time_t mtime = entry.mtime == kNoTime ? kDosEpochLocal : entry.mtime;
        if (zip_set_file_compression(archive.get(), idx, ZIP_CM_DEFLATE, 0) != 0 ||
            zip_file_set_mtime(archive.get(), idx, mtime, 0) != 0) {
            throw PackageError(fmt::format("Cannot add \"{}\" to the package: {}.", entry.name,
                                           zip_strerror(archive.get())));
        }
    }
    zip_t* raw = archive.release();
    if (zip_close(raw) != 0) {
        const std::string why = zip_strerror(raw);
        zip_discard(raw);
        throw PackageError("Cannot write the package: " + why + ".");
    }

    if (zip_source_open(out.get()) != 0) throw PackageError("Cannot read back the written package.");
    std::vector<std::byte> bytes;
    zip_source_seek(out.get(), 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(out.get());
    zip_source_seek(out.get(), 0, SEEK_SET);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        const zip_int64_t n = zip_source_read(out.get(), bytes.data(), bytes.size());
        if (n != size) {
            zip_source_close(out.get());
            throw PackageError("Cannot read back the written package.");
        }
    }
    zip_source_close(out.get());
    return bytes;
}

}  // namespace paperloom::docx::zip
