#include "CupsTestServer.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>

extern char** environ;

namespace fs = std::filesystem;

namespace paperloom::test {

namespace {

bool RunningAsRoot() { return ::geteuid() == 0; }

// Administration programs live in sbin, which a user's PATH may leave out.
std::optional<fs::path> FindTool(const std::string& name) {
    std::vector<fs::path> folders;
    if (const char* path = std::getenv("PATH")) {
        std::stringstream dirs(path);
        for (std::string dir; std::getline(dirs, dir, ':');)
            if (!dir.empty()) folders.emplace_back(dir);
    }
    for (const char* extra : {"/usr/sbin", "/sbin", "/usr/bin"}) folders.emplace_back(extra);
    for (const auto& folder : folders)
        if (::access((folder / name).c_str(), X_OK) == 0) return folder / name;
    return std::nullopt;
}

// The scheduler runs its backends through this helper from its ServerBin.
std::optional<fs::path> FindCupsExec() {
    for (const char* candidate : {"/usr/lib/cups/daemon/cups-exec", "/usr/libexec/cups/daemon/cups-exec"})
        if (::access(candidate, X_OK) == 0) return fs::path(candidate);
    return std::nullopt;
}

fs::path Tool(const std::string& name) {
    if (auto found = FindTool(name)) return *found;
    throw std::runtime_error(name + " is not installed");
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The folder the server's folder goes into. As root the backend runs as the `lp` user, which
// must reach its job folders; the socket path must stay under the 107-byte limit.
fs::path ServerParentFolder() {
    std::error_code ec;
    fs::path folder = fs::temp_directory_path(ec);
    if (ec || folder.string().size() > 60) return "/tmp";
    if (RunningAsRoot()) {
        for (fs::path part = folder; part != part.root_path(); part = part.parent_path()) {
            const auto permissions = fs::status(part, ec).permissions();
            if (ec || (permissions & fs::perms::others_exec) == fs::perms::none) return "/tmp";
        }
    }
    return folder;
}

struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
};

struct SpawnAttributes {
    posix_spawnattr_t attributes;
    SpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

// argv or envp for exec: pointers into `texts`, ending in nullptr.
std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// This process's environment with `changes` applied (an empty value removes the variable).
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!changes.contains(name)) result.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (!value.empty()) result.push_back(name + "=" + value);
    return result;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The backend: the device URI "jobfolder:DIR" names the folder a job goes to. The job's file
// is written under a temporary name and renamed, so a reader never sees half a job.
constexpr const char* kBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct jobfolder "Unknown" "Job folder"'; exit 0; fi
dir=${DEVICE_URI#jobfolder:}
umask 022
out="$dir/job-$1"
if [ $# -ge 6 ]; then cat "$6" > "$out.part" || exit 1; else cat > "$out.part" || exit 1; fi
printf '%s' "$3" > "$out.title" || exit 1
mv "$out.part" "$out.pdf"
)";

long JobNumber(const fs::path& file) {
    const std::string stem = file.stem().string();  // job-<id>
    try {
        return std::stol(stem.substr(4));
    } catch (const std::exception&) {
        return -1;
    }
}

}  // namespace

bool CupsTestServer::Available() {
    return FindTool("cupsd") && FindTool("lpadmin") && FindTool("lpstat") && FindCupsExec();
}

CupsTestServer::CupsTestServer() {
    std::string pattern = (ServerParentFolder() / "paperloom-cups-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    directory_ = pattern;
    try {
        fs::permissions(directory_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
        for (const char* sub : {"etc", "client", "home", "spool/tmp", "cache", "state", "log", "bin/backend",
                                "bin/daemon", "jobs"})
            fs::create_directories(directory_ / sub);
        const auto cupsExec = FindCupsExec();
        if (!cupsExec) throw std::runtime_error("cups-exec is not installed");
        fs::create_symlink(*cupsExec, directory_ / "bin/daemon/cups-exec");
        WriteFile(directory_ / "bin/backend/jobfolder", kBackend);
        fs::permissions(directory_ / "bin/backend/jobfolder", fs::perms::owner_all | fs::perms::group_read |
                                                                  fs::perms::group_exec | fs::perms::others_read |
                                                                  fs::perms::others_exec);
        WriteConfiguration();
        StartWatchdog();
        Start();
    } catch (...) {
        Stop();
        throw;
    }
}

CupsTestServer::~CupsTestServer() { Stop(); }

void CupsTestServer::WriteConfiguration() const {
    const fs::path& d = directory_;
    std::ostringstream files;
    files << "ServerRoot " << (d / "etc").string() << "\n"
          << "RequestRoot " << (d / "spool").string() << "\n"
          << "TempDir " << (d / "spool/tmp").string() << "\n"
          << "CacheDir " << (d / "cache").string() << "\n"
          << "StateDir " << (d / "state").string() << "\n"
          << "ServerBin " << (d / "bin").string() << "\n"
          << "DataDir /usr/share/cups\n"
          << "ErrorLog " << (d / "log/error_log").string() << "\n"
          << "AccessLog " << (d / "log/access_log").string() << "\n"
          << "PageLog " << (d / "log/page_log").string() << "\n"
          << "Printcap " << (d / "printcap").string() << "\n"
          << "FileDevice No\n"
          << "Sandboxing Relaxed\n";
    if (!RunningAsRoot()) {
        // A scheduler started by a user runs everything as that user.
        const passwd* user = ::getpwuid(::geteuid());
        const group* userGroup = ::getgrgid(::getegid());
        if (user == nullptr || userGroup == nullptr) throw std::runtime_error("no name for the current user or group");
        files << "User " << user->pw_name << "\nGroup " << userGroup->gr_name << "\nSystemGroup " << userGroup->gr_name
              << "\n";
    }
    WriteFile(d / "etc/cups-files.conf", files.str());

    // Only the socket in the folder; every operation allowed, since only this test reaches it.
    WriteFile(d / "etc/cupsd.conf", "Listen " + Socket().string() +
                                        "\n"
                                        "Browsing No\n"
                                        "WebInterface No\n"
                                        "LogLevel info\n"
                                        "DefaultAuthType None\n"
                                        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                        "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n"
                                        "  </Limit>\n</Policy>\n");
}

void CupsTestServer::StartWatchdog() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    watchdogPipe_ = fds[1];
    SpawnActions files;
    posix_spawn_file_actions_adddup2(&files.actions, fds[0], 0);
    posix_spawn_file_actions_addopen(&files.actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&files.actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&files.actions, "/");
    SpawnAttributes attributes;
    posix_spawnattr_setflags(&attributes.attributes, POSIX_SPAWN_SETSID);
    // When the pipe closes (this process stopped the server or died): end the scheduler named
    // in the folder's pid file, wait a little for it, and remove the folder.
    std::vector<std::string> argv{
        "/bin/sh", "-c",
        "trap '' INT TERM HUP; read ignored; pid=$(cat \"$1/scheduler.pid\" 2>/dev/null); "
        "if [ -n \"$pid\" ]; then kill \"$pid\" 2>/dev/null; n=0; "
        "while kill -0 \"$pid\" 2>/dev/null && [ $n -lt 50 ]; do sleep 0.1; n=$((n+1)); done; "
        "kill -9 \"$pid\" 2>/dev/null; fi; rm -rf \"$1\"",
        "cups-watchdog", directory_.string()};
    auto pointers = Pointers(argv);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, "/bin/sh", &files.actions, &attributes.attributes, pointers.data(), environ);
    ::close(fds[0]);
    if (error != 0) throw std::system_error(error, std::generic_category(), "watchdog");
    watchdogPid_ = pid;
}

void CupsTestServer::Start() {
    SpawnActions files;
    posix_spawn_file_actions_addopen(&files.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files.actions, 1, (directory_ / "log/cupsd.out").c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files.actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&files.actions, directory_.c_str());
    std::vector<std::string> argv{Tool("cupsd").string(), "-f", "-c", (directory_ / "etc/cupsd.conf").string(),
                                  "-s", (directory_ / "etc/cups-files.conf").string()};
    auto pointers = Pointers(argv);
    std::vector<std::string> env = EnvironmentWith(Environment());
    auto envp = Pointers(env);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, pointers[0], &files.actions, nullptr, pointers.data(), envp.data());
    if (error != 0) throw std::system_error(error, std::generic_category(), "cannot start cupsd");
    schedulerPid_ = pid;
    WriteFile(directory_ / "scheduler.pid", std::to_string(pid) + "\n");

    // Ready once the scheduler answers on its socket.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const fs::path probeLog = directory_ / "log/probe.log";
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(schedulerPid_, &status, WNOHANG) == schedulerPid_) {
            schedulerPid_ = -1;
            throw std::runtime_error("cupsd stopped at start:\n" + Log());
        }
        if (fs::exists(Socket())) {
            fs::remove(probeLog);
            if (RunClient({Tool("lpstat").string(), "-r"}, probeLog) == 0 &&
                ReadFile(probeLog).find("scheduler is running") != std::string::npos)
                return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw std::runtime_error("cupsd did not answer within 30 seconds:\n" + Log());
}

void CupsTestServer::Stop() noexcept {
    if (schedulerPid_ > 0) {
        ::kill(schedulerPid_, SIGTERM);
        WaitFor(schedulerPid_);
        schedulerPid_ = -1;
    }
    if (watchdogPipe_ >= 0) {
        ::close(watchdogPipe_);  // the watchdog now removes the folder
        watchdogPipe_ = -1;
        WaitFor(watchdogPid_);
        watchdogPid_ = -1;
    }
    std::error_code ec;
    if (!directory_.empty()) fs::remove_all(directory_, ec);
}

std::map<std::string, std::string> CupsTestServer::Environment() const {
    return {{"CUPS_SERVER", Socket().string()},
            {"CUPS_SERVERROOT", (directory_ / "client").string()},
            {"HOME", (directory_ / "home").string()},
            {"LPDEST", ""},
            {"PRINTER", ""}};
}

int CupsTestServer::RunClient(const std::vector<std::string>& argvIn, const fs::path& log) const {
    SpawnActions files;
    posix_spawn_file_actions_addopen(&files.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files.actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files.actions, 1, 2);
    std::vector<std::string> argv = argvIn;
    auto pointers = Pointers(argv);
    std::vector<std::string> env = EnvironmentWith(Environment());
    env.emplace_back("LC_ALL=C");
    auto envp = Pointers(env);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, pointers[0], &files.actions, nullptr, pointers.data(), envp.data());
    if (error != 0) throw std::system_error(error, std::generic_category(), "cannot start " + argv[0]);
    return WaitFor(pid);
}

fs::path CupsTestServer::JobFolder(const std::string& printer) const { return directory_ / "jobs" / printer; }

void CupsTestServer::AddPrinter(const std::string& name, bool makeDefault) const {
    const fs::path jobs = JobFolder(name);
    fs::create_directories(jobs);
    // The backend runs as another user when the scheduler runs as root.
    fs::permissions(jobs, fs::perms::all);
    const fs::path log = directory_ / "log/lpadmin.log";
    fs::remove(log);
    // A raw queue: the PDF reaches the backend as it was sent.
    if (RunClient({Tool("lpadmin").string(), "-p", name, "-E", "-v", "jobfolder:" + jobs.string(), "-m", "raw"}, log) !=
        0)
        throw std::runtime_error("lpadmin could not add " + name + ":\n" + ReadFile(log) + Log());
    if (makeDefault && RunClient({Tool("lpadmin").string(), "-d", name}, log) != 0)
        throw std::runtime_error("lpadmin could not make " + name + " the default:\n" + ReadFile(log) + Log());
}

std::vector<CupsTestServer::Job> CupsTestServer::WaitForJobs(const std::string& printer, std::size_t count,
                                                             std::chrono::seconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(JobFolder(printer), ec))
            if (entry.path().extension() == ".pdf") files.push_back(entry.path());
        if (files.size() >= count || std::chrono::steady_clock::now() >= deadline) {
            std::sort(files.begin(), files.end(),
                      [](const fs::path& a, const fs::path& b) { return JobNumber(a) < JobNumber(b); });
            std::vector<Job> jobs;
            for (const auto& file : files) jobs.push_back({file, ReadFile(fs::path(file).replace_extension(".title"))});
            return jobs;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::string CupsTestServer::Log() const {
    return ReadFile(directory_ / "log/cupsd.out") + ReadFile(directory_ / "log/error_log");
}

}  // namespace paperloom::test
