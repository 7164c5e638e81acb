// The private PostgreSQL server of the test programs: reachable only on the loopback address,
// and gone with its folder after the owner ends, even when the owner is killed.
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace paperloom::test {
namespace {

bool Listening(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

template <class Condition>
bool WaitFor(Condition condition) {
    for (int i = 0; i < 300; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

TEST(PgTestServer, ListensOnLoopbackOnlyAndLeavesNothingBehind) {
    if (!PgTestServer::FindBinDir()) GTEST_SKIP() << "PostgreSQL is not installed";
    std::filesystem::path folder;
    int port = 0;
    {
        PgTestServer server;
        folder = server.Directory();
        port = server.Port();
        EXPECT_TRUE(Listening(port));
        const std::string settings = [&] {
            std::ifstream in(folder / "data" / "postgresql.auto.conf");
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
        EXPECT_NE(settings.find("listen_addresses = '127.0.0.1'"), std::string::npos);
        server.RunSql("CREATE TABLE t (名前 text); INSERT INTO t VALUES ('テスト');");
        EXPECT_THROW(server.RunSql("SELECT * FROM missing_table"), std::runtime_error);
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_FALSE(Listening(port));
}

TEST(PgTestServer, KilledOwnerStillStopsTheServer) {
    if (!PgTestServer::FindBinDir()) GTEST_SKIP() << "PostgreSQL is not installed";
    int channel[2];
    ASSERT_EQ(pipe2(channel, O_CLOEXEC), 0);  // the server must not hold the channel open
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        try {
            const PgTestServer server;
            const std::string report = server.Directory().string() + "\n" +
                                       std::to_string(server.Port()) + "\n";
            if (write(channel[1], report.data(), report.size()) < 0) _exit(2);
            raise(SIGKILL);  // before the server's destructor could clean up
        } catch (...) {
            _exit(1);
        }
    }
    close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not start a server";
    const auto newline = report.find('\n');
    ASSERT_NE(newline, std::string::npos);
    const std::filesystem::path folder = report.substr(0, newline);
    const int port = std::stoi(report.substr(newline + 1));
    EXPECT_TRUE(WaitFor([&] { return !std::filesystem::exists(folder); })) << folder;
    EXPECT_TRUE(WaitFor([&] { return !Listening(port); }));
}

TEST(OdbcTestConfig, DataSourceKeepsItsFirstDefinition) {
    auto& config = SharedOdbcTestConfig();
    config.AddSqliteDataSource("PaperloomOnce", config.Directory() / "once.db");
    EXPECT_NO_THROW(config.AddSqliteDataSource("PaperloomOnce", config.Directory() / "once.db"));
    EXPECT_THROW(config.AddSqliteDataSource("PaperloomOnce", config.Directory() / "other.db"),
                 std::logic_error);
    std::ifstream ini(config.Directory() / "odbc.ini");
    const std::string text(std::istreambuf_iterator<char>(ini), {});
    EXPECT_NE(text.find("[PaperloomOnce]"), std::string::npos);
    EXPECT_EQ(text.find("other.db"), std::string::npos);
}

}  // namespace
}  // namespace paperloom::test
