#include "PgTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace paperloom::test {

namespace {

// PostgreSQL refuses to run as root; then its tools run as the postgres system user.
bool RunningAsRoot() { return geteuid() == 0; }

fs::path RunuserPath() {
    for (const char* candidate : {"/usr/sbin/runuser", "/sbin/runuser", "/usr/bin/runuser"})
        if (fs::exists(candidate)) return candidate;
    return "runuser";
}

std::vector<std::string> AsServerUser(std::vector<std::string> argv) {
    if (!RunningAsRoot()) return argv;
    std::vector<std::string> wrapped{RunuserPath().string(), "-u", "postgres", "--"};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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

std::vector<char*> ArgvPointers(std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (auto& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs a program to completion with its output appended to `log`; returns its exit status.
int Run(std::vector<std::string> argv, const fs::path& workingDir, const fs::path& log) {
    SpawnActions files;
    posix_spawn_file_actions_addopen(&files.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files.actions, 1, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files.actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&files.actions, workingDir.c_str());
    auto pointers = ArgvPointers(argv);
    pid_t pid = 0;
    const int error =
        posix_spawnp(&pid, pointers[0], &files.actions, nullptr, pointers.data(), environ);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "cannot start " + argv[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    if (!ok) throw std::runtime_error("no free loopback port");
    return ntohs(address.sin_port);
}

// Rough version order of "/usr/lib/postgresql/<n>": numeric where it can be.
int VersionOf(const fs::path& folder) {
    try {
        return std::stoi(folder.filename().string());
    } catch (const std::exception&) {
        return -1;
    }
}

// Where the server's folder goes. The postgres user must be able to reach it, and the socket
// path inside it must stay under the 107-byte limit of unix sockets.
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

}  // namespace

std::optional<fs::path> PgTestServer::FindBinDir() {
    std::vector<fs::path> candidates;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        const fs::path bin = entry.path() / "bin";
        if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl") && fs::exists(bin / "psql"))
            candidates.push_back(entry.path());
    }
    if (candidates.empty()) return std::nullopt;
    std::sort(candidates.begin(), candidates.end(),
              [](const fs::path& a, const fs::path& b) { return VersionOf(a) < VersionOf(b); });
    return candidates.back() / "bin";
}

PgTestServer::PgTestServer() {
    const auto bin = FindBinDir();
    if (!bin) throw std::runtime_error("PostgreSQL is not installed (no /usr/lib/postgresql/*/bin)");
    bin_ = *bin;

    std::string pattern = (ServerParentFolder() / "paperloom-pg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    directory_ = pattern;
    data_ = directory_ / "data";
    try {
        if (RunningAsRoot()) {
            const passwd* account = getpwnam("postgres");
            if (account == nullptr)
                throw std::runtime_error("running as root but there is no postgres system user");
            if (chown(directory_.c_str(), account->pw_uid, account->pw_gid) != 0)
                throw std::system_error(errno, std::generic_category(), "chown");
        }
        Start();
    } catch (...) {
        Stop();
        throw;
    }
}

PgTestServer::~PgTestServer() { Stop(); }

void PgTestServer::Start() {
    const fs::path log = directory_ / "setup.log";
    const int initdb = Run(AsServerUser({(bin_ / "initdb").string(), "-D", data_.string(), "-U",
                                         kUser, "-A", "trust", "-E", "UTF8", "--locale=C",
                                         "--no-sync", "--no-instructions"}),
                           directory_, log);
    if (initdb != 0) throw std::runtime_error("initdb failed:\n" + ReadFile(log));

    // From here on a watchdog stops the server and removes the folder if this process dies.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    watchdogPipe_ = fds[1];
    {
        SpawnActions files;
        posix_spawn_file_actions_adddup2(&files.actions, fds[0], 0);
        posix_spawn_file_actions_addopen(&files.actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&files.actions, 1, 2);
        posix_spawn_file_actions_addchdir_np(&files.actions, "/");
        SpawnAttributes attributes;
        posix_spawnattr_setflags(&attributes.attributes, POSIX_SPAWN_SETSID);
        std::vector<std::string> argv{
            "/bin/sh", "-c",
            "trap '' INT TERM HUP; read ignored; "
            "if [ -n \"$4\" ]; then \"$4\" -u postgres -- \"$1\" -D \"$2\" -m immediate -w stop; "
            "else \"$1\" -D \"$2\" -m immediate -w stop; fi; rm -rf \"$3\"",
            "pg-watchdog", (bin_ / "pg_ctl").string(), data_.string(), directory_.string(),
            RunningAsRoot() ? RunuserPath().string() : std::string()};
        auto pointers = ArgvPointers(argv);
        pid_t pid = 0;
        const int error = posix_spawn(&pid, "/bin/sh", &files.actions, &attributes.attributes,
                                      pointers.data(), environ);
        close(fds[0]);
        if (error != 0) throw std::system_error(error, std::generic_category(), "watchdog");
        watchdogPid_ = pid;
    }

    std::string lastLog;
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreeLoopbackPort();
        {
            std::ofstream conf(data_ / "postgresql.auto.conf", std::ios::trunc);
            conf << "listen_addresses = '" << kHost << "'\n"
                 << "port = " << port_ << "\n"
                 << "unix_socket_directories = '" << directory_.string() << "'\n"
                 << "fsync = off\nsynchronous_commit = off\nfull_page_writes = off\n"
                 << "max_connections = 40\nshared_buffers = 16MB\n"
                 << "lc_messages = 'C'\n";
        }
        const fs::path serverLog = directory_ / "server.log";
        const int started =
            Run(AsServerUser({(bin_ / "pg_ctl").string(), "-D", data_.string(), "-l",
                              serverLog.string(), "-w", "-t", "60", "start"}),
                directory_, log);
        if (started == 0) {
            RunSql(std::string("CREATE DATABASE ") + kDatabase + " ENCODING 'UTF8' TEMPLATE template0");
            return;
        }
        lastLog = ReadFile(log) + ReadFile(serverLog);
        // The port may have been taken between probing and binding; stop leftovers and retry.
        Run(AsServerUser({(bin_ / "pg_ctl").string(), "-D", data_.string(), "-m", "immediate",
                          "-w", "stop"}),
            directory_, log);
    }
    throw std::runtime_error("the PostgreSQL test server did not start:\n" + lastLog);
}

void PgTestServer::Stop() noexcept {
    if (watchdogPipe_ >= 0) {
        close(watchdogPipe_);  // the watchdog now stops the server and removes the folder
        watchdogPipe_ = -1;
        int status = 0;
        while (waitpid(watchdogPid_, &status, 0) < 0 && errno == EINTR) {
        }
        watchdogPid_ = -1;
    }
    std::error_code ec;
    if (!directory_.empty() && fs::exists(data_ / "postmaster.pid", ec)) {
        try {
            Run(AsServerUser({(bin_ / "pg_ctl").string(), "-D", data_.string(), "-m",
                              "immediate", "-w", "stop"}),
                "/", "/dev/null");
        } catch (...) {
        }
    }
    if (!directory_.empty()) fs::remove_all(directory_, ec);
}

void PgTestServer::RunSql(const std::string& sql) const {
    static int counter = 0;
    const fs::path script = directory_ / ("script-" + std::to_string(++counter) + ".sql");
    const fs::path log = directory_ / ("script-" + std::to_string(counter) + ".log");
    {
        std::ofstream out(script, std::ios::binary | std::ios::trunc);
        out << sql << "\n";
    }
    const bool creatingDatabase = sql.rfind("CREATE DATABASE", 0) == 0;
    const int status = Run({(bin_ / "psql").string(), "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h",
                            kHost, "-p", std::to_string(port_), "-U", kUser, "-d",
                            creatingDatabase ? "postgres" : kDatabase, "-f", script.string()},
                           directory_, log);
    if (status != 0) throw std::runtime_error("psql failed:\n" + ReadFile(log));
}

std::string PgTestServer::OdbcAttributes() const {
    return std::string("Servername=") + kHost + ";Port=" + std::to_string(port_) +
           ";Database=" + kDatabase + ";UID=" + kUser + ";BoolsAsChar=0";
}

PgTestServer* SharedPgTestServer() {
    static std::unique_ptr<PgTestServer> server;
    if (!server && PgTestServer::FindBinDir()) server = std::make_unique<PgTestServer>();
    return server.get();
}

}  // namespace paperloom::test
