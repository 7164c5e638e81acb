#pragma once
// A private CUPS scheduler for tests: cupsd in the foreground with its own configuration,
// spool, cache, state and log folders in a temporary folder, listening only on a unix socket
// inside it. Its printers use a backend in its private ServerBin that writes every job into a
// folder of the printer's own (job-<id>.pdf, the job's title beside it in job-<id>.title).
// Clients reach it through the variables Environment() gives (CUPS_SERVER, and a client
// configuration folder of its own), so nothing under /etc is changed or consulted. Stopping
// ends the scheduler and removes the folder; a watchdog process does the same if the test
// process dies without cleaning up.

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace paperloom::test {

class CupsTestServer {
public:
    // True when the scheduler and the client programs it needs (lpadmin, lpstat) are installed.
    static bool Available();

    // Starts the scheduler; throws std::runtime_error with its log when it cannot.
    CupsTestServer();
    ~CupsTestServer();
    CupsTestServer(const CupsTestServer&) = delete;
    CupsTestServer& operator=(const CupsTestServer&) = delete;

    const std::filesystem::path& Directory() const noexcept { return directory_; }
    // The unix socket clients connect to.
    std::filesystem::path Socket() const { return directory_ / "cups.sock"; }

    // The variables a print client needs to use this server and only it: CUPS_SERVER, a client
    // configuration folder without client.conf and lpoptions (CUPS_SERVERROOT), and LPDEST and
    // PRINTER as empty values (to be removed).
    std::map<std::string, std::string> Environment() const;

    // Adds an accepting printer whose jobs land in JobFolder(name); `makeDefault` makes it the
    // server's default printer. Throws with lpadmin's output when it fails.
    void AddPrinter(const std::string& name, bool makeDefault = false) const;
    std::filesystem::path JobFolder(const std::string& printer) const;

    struct Job {
        std::filesystem::path file;
        std::string title;
    };
    // The jobs the printer's backend finished, oldest first, once there are `count` of them or
    // `timeout` has passed (then as many as there are).
    std::vector<Job> WaitForJobs(const std::string& printer, std::size_t count,
                                 std::chrono::seconds timeout = std::chrono::seconds(60)) const;

    // The scheduler's error log, for failure messages.
    std::string Log() const;

private:
    void WriteConfiguration() const;
    void StartWatchdog();
    void Start();
    void Stop() noexcept;
    // Runs a client program against this server with its output appended to `log`.
    int RunClient(const std::vector<std::string>& argv, const std::filesystem::path& log) const;

    std::filesystem::path directory_;
    int schedulerPid_ = -1;
    int watchdogPipe_ = -1;
    int watchdogPid_ = -1;
};

}  // namespace paperloom::test
