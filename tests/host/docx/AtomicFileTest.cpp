// Where a save goes and what an interrupted or failing save leaves: devices and pipes are
// written through and never replaced, links keep pointing where they did, and a save that
// fails or is killed leaves the target as it was and no temporary file for long.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/sysmacros.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <future>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/docx/AtomicFile.h"
#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void Save(const fs::path& target, std::string_view text) {
    WriteFileAtomically(target, std::as_bytes(std::span(text.data(), text.size())));
}

// The message of the PackageError a save throws; "" when it does not throw.
std::string SaveError(const fs::path& target, std::string_view text) {
    try {
        Save(target, text);
    } catch (const PackageError& error) {
        return error.what();
    }
    return {};
}

std::string HostName() {
    char buffer[256] = {};
    ::gethostname(buffer, sizeof buffer - 1);
    return std::string(buffer).substr(0, 32);
}

// Everything a pipe opened without waiting for a writer receives: read until the writer
// that came closes it, or for at most five seconds when none comes.
std::string Drain(int fd) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) continue;
        char buffer[65536];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) bytes.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 && !bytes.empty()) break;  // the writer closed
        else if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));  // no writer yet
    }
    return bytes;
}

// A process id that has certainly ended: a child that exited and was reaped.
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Runs `work` in a child process; its exit status (128 + signal when killed).
template <class Work>
int InChild(Work work) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(work());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("paperloom-atomic-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (mounted_) ::umount2(mounted_->c_str(), MNT_DETACH);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::vector<std::string> Listing(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // A temporary name as an interrupted save of `target` by process `pid` leaves it.
    static std::string TemporaryOf(const std::string& target, pid_t pid) {
        return "." + target + ".paperloom~" + HostName() + "~" + std::to_string(pid) + "~00000000deadbeef.tmp";
    }

    fs::path dir_;
    std::optional<fs::path> mounted_;
};

TEST_F(AtomicFileTest, DevicesAndPipesAreWrittenThroughAndKeptAsTheyAre) {
    // Private device nodes, so a save that replaced them would not take the system's.
    const fs::path null = dir_ / "null";
    const fs::path full = dir_ / "full";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0 &&
        ::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
        // The null device takes the bytes and stays the device.
        struct stat before {};
        ASSERT_EQ(::stat(null.c_str(), &before), 0);
        EXPECT_EQ(SaveError(null, "report bytes"), "");
        struct stat after {};
        ASSERT_EQ(::stat(null.c_str(), &after), 0);
        EXPECT_TRUE(S_ISCHR(after.st_mode));
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_EQ(after.st_ino, before.st_ino);
        // A full device reports the failure instead of claiming success.
        EXPECT_NE(SaveError(full, "report bytes").find("No space left"), std::string::npos);
        EXPECT_TRUE(fs::is_character_file(full));
        fs::remove(null);
        fs::remove(full);
    } else {
        std::cout << "[ NOTE     ] no device nodes can be made here; pipes only\n";
    }

    // A named pipe streams the bytes to its reader and is still a pipe afterwards.
    const fs::path fifo = dir_ / "report.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    auto received = std::async(std::launch::async, [reader] { return Drain(reader); });
    const std::string big(300'000, 'x');  // more than a pipe holds at once
    EXPECT_EQ(SaveError(fifo, big), "");
    EXPECT_EQ(received.get(), big);
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A link to a descriptor of this process (as /dev/stdout is): the pipe behind it gets the bytes.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const fs::path link = dir_ / "stdout.docx";
    fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), link);
    EXPECT_EQ(SaveError(link, "through the pipe"), "");
    ::close(ends[1]);
    std::string piped(64, '\0');
    piped.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(ends[0], piped.data(), piped.size()))));
    ::close(ends[0]);
    EXPECT_EQ(piped, "through the pipe");
    EXPECT_TRUE(fs::is_symlink(link));

    // A socket cannot take a file: refused, left in place.
    const fs::path socketPath = dir_ / "report.sock";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_NE(SaveError(socketPath, "x").find("socket"), std::string::npos);
    EXPECT_TRUE(fs::is_socket(socketPath));
    ::close(sock);
    EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"report.fifo", "report.sock", "stdout.docx"}));
}

TEST_F(AtomicFileTest, LinksKeepPointingWhereTheyDidAndTheirTargetIsReplaced) {
    fs::create_directories(dir_ / "real");
    WriteFile(dir_ / "real" / "report.docx", "old");
    // A relative link to a link to the file.
    fs::create_symlink("real/report.docx", dir_ / "first.docx");
    fs::create_symlink("first.docx", dir_ / "second.docx");
    EXPECT_EQ(SaveError(dir_ / "second.docx", "new"), "");
    EXPECT_EQ(ReadFile(dir_ / "real" / "report.docx"), "new");
    EXPECT_EQ(fs::read_symlink(dir_ / "second.docx"), "first.docx");
    EXPECT_EQ(fs::read_symlink(dir_ / "first.docx"), "real/report.docx");

    // A link to a file not there yet creates that file.
    fs::create_symlink("real/later.docx", dir_ / "later.docx");
    EXPECT_EQ(SaveError(dir_ / "later.docx", "made"), "");
    EXPECT_TRUE(fs::is_symlink(dir_ / "later.docx"));
    EXPECT_EQ(ReadFile(dir_ / "real" / "later.docx"), "made");

    // A loop of links is an error, not a hang or a replaced link.
    fs::create_symlink("loop-b", dir_ / "loop-a");
    fs::create_symlink("loop-a", dir_ / "loop-b");
    EXPECT_NE(SaveError(dir_ / "loop-a", "x").find("symbolic links"), std::string::npos);
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop-a"));
    EXPECT_EQ(Listing(dir_ / "real"), (std::vector<std::string>{"later.docx", "report.docx"}));
}

TEST_F(AtomicFileTest, AFailedWriteLeavesTheTargetAndNoTemporary) {
    const fs::path target = dir_ / "report.docx";
    WriteFile(target, "original");
    // The file size limit makes every write past it fail, as a full disk does.
    const int status = InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
        const std::string error = SaveError(target, std::string(100'000, 'x'));
        return error.find("File too large") != std::string::npos ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "the save did not fail with the reason";
    EXPECT_EQ(ReadFile(target), "original");
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"report.docx"});
}

TEST_F(AtomicFileTest, AFullFileSystemLeavesTheTargetAndNoTemporary) {
    const fs::path small = dir_ / "small";
    fs::create_directories(small);
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    mounted_ = small;
    const fs::path target = small / "report.docx";
    WriteFile(target, "original");
    EXPECT_NE(SaveError(target, std::string(200'000, 'x')).find("No space left"), std::string::npos);
    EXPECT_EQ(ReadFile(target), "original");
    EXPECT_EQ(Listing(small), std::vector<std::string>{"report.docx"});
    // Once the bytes fit, the same file system takes them.
    EXPECT_EQ(SaveError(target, std::string(20'000, 'y')), "");
    EXPECT_EQ(ReadFile(target), std::string(20'000, 'y'));
}

TEST_F(AtomicFileTest, AKilledSaveLeavesTheTargetAndTheNextSaveRemovesItsTemporary) {
    const fs::path target = dir_ / "report.docx";
    WriteFile(target, "original");
    // Killed with the temporary complete and named, just before the rename.
    const int status = InChild([&] {
        SetBeforeRenameHook([](const fs::path&) { ::raise(SIGKILL); });
        Save(target, "never shown");
        return 0;
    });
    EXPECT_EQ(status, 128 + SIGKILL);
    EXPECT_EQ(ReadFile(target), "original");
    EXPECT_EQ(Listing(dir_).size(), 2u) << "the killed save's temporary is there";

    // Temporaries of running processes and of other files are not touched.
    const std::string running = TemporaryOf("report.docx", ::getpid());
    const std::string otherFile = TemporaryOf("other.docx", EndedProcess());
    const std::string ended = TemporaryOf("report.docx", EndedProcess());
    for (const auto& name : {running, otherFile, ended}) WriteFile(dir_ / name, "left");
    EXPECT_EQ(SaveError(target, "second"), "");
    EXPECT_EQ(ReadFile(target), "second");
    std::vector<std::string> expected{running, otherFile, "report.docx"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(dir_), expected);
}

TEST_F(AtomicFileTest, KilledAtAnyMomentTheTargetIsOldOrNewAndNeverPartial) {
    const fs::path target = dir_ / "report.docx";
    const std::string oldBytes(2'000'000, 'o');
    const std::string newBytes(3'000'000, 'n');
    std::mt19937 random(12345);
    for (int round = 0; round < 6; ++round) {
        WriteFile(target, oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Save(target, newBytes);
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20'000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadFile(target);
        EXPECT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ": " << now.size() << " bytes";
        // Whatever the killed save left, the next one cleans up.
        EXPECT_EQ(SaveError(target, "clean"), "");
        EXPECT_EQ(Listing(dir_), std::vector<std::string>{"report.docx"}) << "round " << round;
    }
}

}  // namespace
}  // namespace paperloom::docx
