#include "host/docx/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

namespace fs = std::filesystem;

std::atomic<BeforeRenameHook> beforeRenameHook{nullptr};

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void Fail(const fs::path& target, std::string_view why) {
    throw PackageError(fmt::format("Cannot save \"{}\": {}.", target.string(), why));
}

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// Temporary files are named after their target, host and process:
//   .<name>.paperloom~<host>~<pid>~<random>.tmp
// so a later save of the same target recognises the ones a killed process left behind.
class TemporaryName {
public:
    explicit TemporaryName(const fs::path& target)
        // A long file name is shortened so the temporary name stays within the name limit.
        : prefix_("." + target.filename().string().substr(0, 150) + ".paperloom~"), host_(HostName()) {}

    std::string Make(std::uint64_t random) const {
        return fmt::format("{}{}~{}~{:016x}.tmp", prefix_, host_, ::getpid(), random);
    }

    // True for a temporary file of this target made on this host by a process that has ended.
    bool IsStale(std::string_view name) const {
        constexpr std::string_view suffix = ".tmp";
        if (name.size() <= prefix_.size() + suffix.size() || !name.starts_with(prefix_) || !name.ends_with(suffix))
            return false;
        std::string_view rest = name.substr(prefix_.size(), name.size() - prefix_.size() - suffix.size());
        const auto hostEnd = rest.find('~');
        if (hostEnd == std::string_view::npos || rest.substr(0, hostEnd) != host_) return false;
        rest.remove_prefix(hostEnd + 1);
        const auto pidEnd = rest.find('~');
        if (pidEnd == std::string_view::npos) return false;
        pid_t pid = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + pidEnd, pid);
        if (ec != std::errc{} || end != rest.data() + pidEnd || pid <= 0) return false;
        // A process that still runs (or that cannot be asked) keeps its file.
        return ::kill(pid, 0) != 0 && errno == ESRCH;
    }

private:
    static std::string HostName() {
        char buffer[256] = {};
        if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return "localhost";
        std::string host(buffer);
        for (char& c : host)
            if (c == '~' || c == '/') c = '_';
        return host.substr(0, 32);
    }

    std::string prefix_;
    std::string host_;
};

void RemoveStaleTemporaries(const fs::path& target, const TemporaryName& naming) {
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (naming.IsStale(name) && it->is_regular_file(ignored)) fs::remove(it->path(), ignored);
    }
}

// The temporary file: closed, and removed unless it was renamed into place. Where the file
// system allows, it is written without a name (O_TMPFILE), so a process killed while writing
// leaves nothing behind; it gets its name only just before the rename.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& target, const TemporaryName& naming) : target_(target), naming_(naming) {
        fd_ = ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // Naming an unnamed file goes through /proc; without it the file is named from the start.
        if (fd_ >= 0 && ::access("/proc/self/fd", X_OK) == 0) return;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = FolderOf(target) / naming_.Make(random_());
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) return;
            if (errno != EEXIST) break;
        }
        const int error = errno;
        path_.clear();
        Fail(target, fmt::format("the folder cannot be written ({})", Reason(error)));
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }

    // The file's name in the target's folder, linking an unnamed file there first.
    const fs::path& Name() {
        if (!path_.empty()) return path_;
        const std::string self = fmt::format("/proc/self/fd/{}", fd_);
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = FolderOf(target_) / naming_.Make(random_());
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                path_ = std::move(candidate);
                return path_;
            }
            if (errno != EEXIST) break;
        }
        const int error = errno;
        Fail(target_, Reason(error));
    }

    // Closes the descriptor, reporting a failed close (a late write error on some file systems).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void Commit() { committed_ = true; }

private:
    const fs::path& target_;
    const TemporaryName& naming_;
    std::mt19937_64 random_{std::random_device{}()};
    fs::path path_;
    int fd_ = -1;
    bool committed_ = false;
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int Close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

void WriteAll(int fd, std::span<const std::byte> bytes, const fs::path& target) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            Fail(target, Reason(error));
        }
        done += static_cast<std::size_t>(n);
    }
}

void SyncFolder(const fs::path& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());  // best effort: the rename itself has already happened
}

// The path a chain of symbolic links leads to (the link itself when it leads nowhere yet).
fs::path FollowLinks(const fs::path& requested) {
    fs::path path = requested;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(path, ec)) return path;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) return path;
        path = next.is_absolute() ? next : FolderOf(path) / next;
    }
    Fail(requested, "too many levels of symbolic links");
}

}  // namespace

void SetBeforeRenameHook(BeforeRenameHook hook) noexcept { beforeRenameHook = hook; }

struct AtomicFileWriter::Impl {
    fs::path requested;
    fs::path target;
    struct stat existing {};
    bool exists = false;
    std::optional<TemporaryName> naming;
    std::optional<TemporaryFile> temporary;
    // A device or pipe is written through, as it comes.
    std::optional<Descriptor> through;
    bool done = false;
};

AtomicFileWriter::AtomicFileWriter(const fs::path& requested) : impl_(std::make_unique<Impl>()) {
    Impl& d = *impl_;
    d.requested = requested;
    d.exists = ::stat(requested.c_str(), &d.existing) == 0;
    if (d.exists && S_ISDIR(d.existing.st_mode)) Fail(requested, "it is a folder");
    if (d.exists && !S_ISREG(d.existing.st_mode)) {
        if (S_ISBLK(d.existing.st_mode)) Fail(requested, "it is a block device, which is not written");
        if (S_ISSOCK(d.existing.st_mode)) Fail(requested, "it is a socket, which is not written");
        d.through.emplace(::open(requested.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
        if (d.through->get() < 0) {
            const int error = errno;
            Fail(requested, Reason(error));
        }
        d.target = requested;
        return;
    }
    // Saving through a symbolic link updates the file it points to, not the link.
    d.target = FollowLinks(requested);
    // A file without write permission is read-only even for a user the system would let write
    // it anyway; renaming over it would silently replace it.
    if (d.exists &&
        ((d.existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(d.target.c_str(), W_OK) != 0))
        Fail(d.target, "the file is read-only");
    d.naming.emplace(d.target);
    RemoveStaleTemporaries(d.target, *d.naming);
    d.temporary.emplace(d.target, *d.naming);
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::Write(std::span<const std::byte> bytes) {
    Impl& d = *impl_;
    if (d.done) Fail(d.target, "the file was already written");
    WriteAll(d.through ? d.through->get() : d.temporary->fd(), bytes, d.target);
}

void AtomicFileWriter::Commit() {
    Impl& d = *impl_;
    if (d.done) return;
    d.done = true;
    if (d.through) {
        if (d.through->Close() != 0) {
            const int error = errno;
            Fail(d.target, Reason(error));
        }
        return;
    }
    TemporaryFile& temporary = *d.temporary;
    if (d.exists) ::fchmod(temporary.fd(), d.existing.st_mode & 07777);
    if (::fsync(temporary.fd()) != 0) {
        const int error = errno;
        Fail(d.target, Reason(error));
    }
    const fs::path& named = temporary.Name();
    if (temporary.Close() != 0) {
        const int error = errno;
        Fail(d.target, Reason(error));
    }
    if (const BeforeRenameHook hook = beforeRenameHook.load()) hook(named);
    if (::rename(named.c_str(), d.target.c_str()) != 0) {
        const int error = errno;
        Fail(d.target, Reason(error));
    }
    temporary.Commit();
    SyncFolder(FolderOf(d.target));
}

void WriteFileAtomically(const fs::path& requested, std::span<const std::byte> bytes) {
    AtomicFileWriter writer(requested);
    writer.Write(bytes);
    writer.Commit();
}

}  // namespace paperloom::docx
