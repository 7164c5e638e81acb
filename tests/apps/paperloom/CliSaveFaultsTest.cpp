// The program's saves meeting faults: a write that fails part way, a full disk, and the program
// killed at any moment. Each time the existing output stays as it was, the failure is reported
// with a non-zero status, and no temporary file outlives the next save.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/time.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "CliTestSupport.h"

namespace paperloom::cli::test {
namespace {

constexpr int kOrders = 30;

// Limits of the child process, set by the test before it runs the program.
rlim_t fileSizeLimit = RLIM_INFINITY;
long killAfterMicroseconds = 0;

void LimitFileSize() {
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of killing
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// The timer outlives the exec; its signal ends the program wherever it is.
void KillLater() {
    itimerval timer{};
    timer.it_value.tv_sec = killAfterMicroseconds / 1'000'000;
    timer.it_value.tv_usec = killAfterMicroseconds % 1'000'000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

class CliSaveFaults : public ::testing::Test {
protected:
    void SetUp() override {
        // A print document of some size even compressed: notes of random digits.
        std::string sql = "CREATE TABLE Orders (Id INTEGER, Shop TEXT, Qty INTEGER, Note TEXT);"
                          "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);";
        for (int id = 1; id <= kOrders; ++id)
            sql += "INSERT INTO Orders VALUES (" + std::to_string(id) + ", 'S', " + std::to_string(id) + ", 'note" +
                   std::to_string(id) + " ' || hex(randomblob(500)));INSERT INTO Lines VALUES (" +
                   std::to_string(id) + ", 'item', 10);";
        RunSql(scratch_ / "shop.db", sql);
        MakeShopTemplate(scratch_ / "order.docx");
        // The first run registers the add-in, so later runs write nothing but their output.
        const CliResult first = Run({"document", "order.docx", "-o", "reference.docx"});
        ASSERT_EQ(first.exitCode, 0) << first.err;
        reference_ = ReadFile(scratch_ / "reference.docx");
    }
    void TearDown() override {
        if (mounted_) ::umount2(mounted_->c_str(), MNT_DETACH);
    }
    CliResult Run(const std::vector<std::string>& args, void (*inChild)() = nullptr) {
        return RunCli(scratch_.Path(), args, {}, inChild);
    }
    // Names in a folder that are neither the expected files nor the runner's own output.
    static std::vector<std::string> Leftovers(const fs::path& folder, const std::vector<std::string>& expected) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end()) names.push_back(name);
        }
        return names;
    }

    Scratch scratch_;
    std::string reference_;
    std::optional<fs::path> mounted_;
};

const std::vector<std::string> kFolder{"shop.db",   "order.docx", "reference.docx", "out.docx",
                                       ".cli-out",  ".cli-err",   "config"};

TEST_F(CliSaveFaults, AWriteThatFailsLeavesTheOutputAsItWasAndSaysWhy) {
    std::ofstream(scratch_ / "out.docx") << "the previous report";
    fileSizeLimit = reference_.size() / 2;
    const CliResult result = Run({"document", "order.docx", "-o", "out.docx"}, LimitFileSize);
    EXPECT_EQ(result.exitCode, 2) << result.out;
    EXPECT_NE(result.err.find("Cannot save"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("File too large"), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("document:"), std::string::npos) << "no success reported: " << result.out;
    EXPECT_EQ(ReadFile(scratch_ / "out.docx"), "the previous report");
    EXPECT_EQ(Leftovers(scratch_.Path(), kFolder), std::vector<std::string>{});
}

TEST_F(CliSaveFaults, AFullDiskLeavesTheOutputAsItWasAndSaysWhy) {
    const fs::path small = scratch_ / "small";
    fs::create_directories(small);
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    mounted_ = small;
    ASSERT_GT(reference_.size(), 8192u) << "the document must not fit into the space left";
    std::ofstream(small / "out.docx") << "the previous report";
    std::ofstream(small / "filler") << std::string(52 * 1024, 'f');

    const CliResult result = Run({"document", "order.docx", "-o", (small / "out.docx").string()});
    EXPECT_EQ(result.exitCode, 2) << result.out;
    EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
    EXPECT_EQ(ReadFile(small / "out.docx"), "the previous report");
    EXPECT_EQ(Leftovers(small, {"out.docx", "filler"}), std::vector<std::string>{});
}

TEST_F(CliSaveFaults, KilledAtAnyMomentTheOutputIsTheOldOrTheNewDocumentAndTheNextSaveCleansUp) {
    // How long a whole run takes; kills fall throughout it, most towards the save at its end.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Run({"document", "order.docx", "-o", "timed.docx"}).exitCode, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    fs::remove(scratch_ / "timed.docx");
    for (const double share : {0.3, 0.7, 0.85, 0.95, 1.0, 1.1}) {
        std::ofstream(scratch_ / "out.docx") << "the previous report";
        killAfterMicroseconds = std::max<long>(1, static_cast<long>(static_cast<double>(whole.count()) * share));
        const CliResult killed = Run({"document", "order.docx", "-o", "out.docx"}, KillLater);
        const std::string now = ReadFile(scratch_ / "out.docx");
        // Killed before the rename: the old bytes; after it (or not killed at all): a whole document.
        if (now != "the previous report") {
            EXPECT_NE(DocumentText(scratch_ / "out.docx").find("note" + std::to_string(kOrders) + " "), std::string::npos)
                << "exit " << killed.exitCode << ", " << now.size() << " bytes";
        }
        // The next save leaves nothing of the killed one behind.
        ASSERT_EQ(Run({"show", "order.docx", "-o", "out.docx"}).exitCode, 0);
        EXPECT_EQ(Leftovers(scratch_.Path(), kFolder), std::vector<std::string>{}) << "killed after " << share;
    }

    // A temporary a killed save left between writing and renaming (named after its process,
    // which has ended) goes with the next save of the same output.
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string stale =
        ".out.docx.paperloom~" + std::string(host).substr(0, 32) + "~" + std::to_string(ended) + "~0123456789abcdef.tmp";
    std::ofstream(scratch_ / stale) << "half a document";
    ASSERT_EQ(Run({"show", "order.docx", "-o", "out.docx"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(scratch_ / stale));
}

}  // namespace
}  // namespace paperloom::cli::test
