#include "host/ui/PrintProcess.h"

#include "host/HostError.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <utility>

extern char** environ;

namespace paperloom::ui {
namespace {

namespace fs = std::filesystem;

constexpr long kPrintFailed = 4198;  // the word processor's "command failed"

host::HostError FileError(const std::string& what, const fs::path& path, int error) {
    return host::HostError(kPrintFailed, "Paperloom.Print",
                           fmt::format("{} {}: {}", what, path.string(), std::strerror(error)));
}

bool IsExecutableFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

// Closes a descriptor however the caller leaves.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The bytes of `source` in a new temporary file inside `folder`; returns its path.
fs::path WriteTemporaryCopy(const fs::path& source, const fs::path& folder) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw FileError("Cannot read", source, errno);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string pattern = (folder / ".paperloom-XXXXXX").string();
    Fd fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) throw FileError("Cannot write into", folder, errno);
    const fs::path temp = pattern;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            throw FileError("Cannot write", temp, error);
        }
        written += static_cast<std::size_t>(n);
    }
    // Readers of the folder get the same permissions an ordinary new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.get(), 0666 & ~mask);
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw FileError("Cannot write", temp, error);
    }
    return temp;
}

}  // namespace

std::optional<fs::path> FindProgram(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (IsExecutableFile(name)) return fs::path(name);
        return std::nullopt;
    }
    const char* path = std::getenv("PATH");
    const std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t colon = std::min(dirs.find(':', start), dirs.size());
        const std::string_view dir = dirs.substr(start, colon - start);
        if (!dir.empty()) {
            const fs::path candidate = fs::path(dir) / name;
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = colon + 1;
    }
    return std::nullopt;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const fs::path& log) {
    return RunProcess(argv, timeout, log, {});
}

ProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const fs::path& log, const std::vector<std::string>& environment) {
    if (argv.empty()) throw std::invalid_argument("RunProcess without a program");
    // Everything the child needs is prepared before fork: after it only exec-safe calls run.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text = *entry;
        const auto replaced = std::find_if(environment.begin(), environment.end(), [&](const std::string& given) {
            const auto eq = given.find('=');
            return eq != std::string::npos && text.starts_with(std::string_view(given).substr(0, eq + 1));
        });
        if (replaced == environment.end()) variables.emplace_back(text);
    }
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    envp.reserve(variables.size() + 1);
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    Fd out(::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (out.get() < 0) throw FileError("Cannot write", log, errno);
    Fd in(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) throw FileError("Cannot read", "/dev/null", errno);

    const pid_t child = ::fork();
    if (child < 0) throw FileError("Cannot start", argv.front(), errno);
    if (child == 0) {
        // A group of its own, so a timeout ends the helpers it starts as well.
        ::setpgid(0, 0);
        ::dup2(in.get(), STDIN_FILENO);
        ::dup2(out.get(), STDOUT_FILENO);
        ::dup2(out.get(), STDERR_FILENO);
        ::execve(args.front(), args.data(), envp.data());
        ::_exit(127);
    }
    ::setpgid(child, child);  // the parent too, in case it asks before the child ran

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::milliseconds(5);
    ProcessResult result;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (done < 0 && errno != EINTR) throw FileError("Cannot wait for", argv.front(), errno);
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
    }
    if (!result.timedOut) ::kill(-child, SIGKILL);  // helpers the program left running
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return result;
}

std::string LogTail(const fs::path& log, std::size_t maxBytes) {
    std::ifstream in(log, std::ios::binary);
    if (!in) return {};
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.size() > maxBytes) text = "..." + text.substr(text.size() - maxBytes);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

void ReplaceFileAtomically(const fs::path& source, const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const fs::path temp = WriteTemporaryCopy(source, folder);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw FileError("Cannot write", target, error);
    }
}

fs::path PublishFileUniquely(const fs::path& source, const fs::path& folder, const std::string& stem) {
    const fs::path temp = WriteTemporaryCopy(source, folder);
    for (int n = 1; n < 10000; ++n) {
        const fs::path candidate = folder / (n == 1 ? stem + ".pdf" : fmt::format("{}-{}.pdf", stem, n));
        // A hard link is made only where no file is: a name taken meanwhile is never replaced.
        if (::link(temp.c_str(), candidate.c_str()) == 0) {
            ::unlink(temp.c_str());
            return candidate;
        }
        if (errno != EEXIST) {
            const int error = errno;
            ::unlink(temp.c_str());
            throw FileError("Cannot write", candidate, error);
        }
    }
    ::unlink(temp.c_str());
    throw FileError("No free file name for", folder / (stem + ".pdf"), EEXIST);
}

std::string SafeFileStem(const std::string& text) {
    std::string stem = text;
    if (stem.size() >= 5) {
        std::string ending = stem.substr(stem.size() - 5);
        for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ending == ".docx") stem.resize(stem.size() - 5);
    }
    for (char& c : stem)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '_';
    while (!stem.empty() && stem.front() == '.') stem.erase(stem.begin());
    return stem.empty() ? std::string("print") : stem;
}

}  // namespace paperloom::ui
