#include "host/docx/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include <fmt/format.h>

#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

std::string Reason(int error) { return std::strerror(error); }

// The temporary file: closed and removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) {
        const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = folder / fmt::format(".{}.{:016x}.tmp", target.filename().string(), random());
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) return;
            if (errno != EEXIST) break;
        }
        const int error = errno;
        throw PackageError(fmt::format("Cannot save \"{}\": the folder cannot be written ({}).", target.string(),
                                       Reason(error)));
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }

    // Closes the descriptor, reporting a failed close (a late write error on some file systems).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void Commit() { committed_ = true; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    bool committed_ = false;
};

void WriteAll(int fd, std::span<const std::byte> bytes, const std::filesystem::path& target) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            throw PackageError(fmt::format("Cannot save \"{}\": {}.", target.string(), Reason(error)));
        }
        done += static_cast<std::size_t>(n);
    }
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // best effort: the rename itself has already happened
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& requested, std::span<const std::byte> bytes) {
    std::filesystem::path target = requested;
    std::error_code ec;
    // Saving through a symbolic link updates the file it points to, not the link.
    if (std::filesystem::is_symlink(target, ec)) target = std::filesystem::weakly_canonical(target, ec);
    if (ec) target = requested;

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) {
            throw PackageError(fmt::format("Cannot save \"{}\": it is a folder.", target.string()));
        }
        // A file without write permission is read-only even for a user the system would let
        // write it anyway; renaming over it would silently replace it.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0) {
            throw PackageError(fmt::format("Cannot save \"{}\": the file is read-only.", target.string()));
        }
    }

    TemporaryFile temporary(target);
    WriteAll(temporary.fd(), bytes, target);
    if (exists) ::fchmod(temporary.fd(), existing.st_mode & 07777);
    if (::fsync(temporary.fd()) != 0 || temporary.Close() != 0) {
        const int error = errno;
        throw PackageError(fmt::format("Cannot save \"{}\": {}.", target.string(), Reason(error)));
    }
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        const int error = errno;
        throw PackageError(fmt::format("Cannot save \"{}\": {}.", target.string(), Reason(error)));
    }
    temporary.Commit();
    SyncFolder(target.has_parent_path() ? target.parent_path() : ".");
}

}  // namespace paperloom::docx
