// A database server that stops answering ends in an error within the configured limit instead
// of a program that hangs: a statement waiting on a lock another session holds, and a login to
// a server whose postmaster is frozen (SIGSTOP).
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace paperloom::host::ado {
namespace {

using Clock = std::chrono::steady_clock;

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (previous_) ::setenv(name_, previous_->c_str(), 1);
        else ::unsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

// Stops a process until the object goes, whatever the test does meanwhile.
class FrozenProcess {
public:
    explicit FrozenProcess(pid_t pid) : pid_(pid) { frozen_ = ::kill(pid_, SIGSTOP) == 0; }
    ~FrozenProcess() {
        if (frozen_) ::kill(pid_, SIGCONT);
    }
    FrozenProcess(const FrozenProcess&) = delete;
    FrozenProcess& operator=(const FrozenProcess&) = delete;
    bool Frozen() const noexcept { return frozen_; }

private:
    pid_t pid_;
    bool frozen_ = false;
};

struct Failure {
    std::string description;
    double seconds = 0;
};

template <class Action>
std::optional<Failure> TimedFailure(Action action) {
    const auto started = Clock::now();
    try {
        action();
    } catch (const HostError& error) {
        return Failure{error.Description(), std::chrono::duration<double>(Clock::now() - started).count()};
    }
    return std::nullopt;
}

class OdbcFaults : public ::testing::Test {
protected:
    void SetUp() override {
        auto& config = test::SharedOdbcTestConfig();
        if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
        server_ = test::SharedPgTestServer();
        if (!server_) GTEST_SKIP() << "PostgreSQL is not installed";
        config_ = &config;
        SessionPool::Instance().Clear();
    }
    void TearDown() override { SessionPool::Instance().Clear(); }

    test::PgTestServer* server_ = nullptr;
    test::OdbcTestConfig* config_ = nullptr;
};

TEST_F(OdbcFaults, AStatementWaitingOnALockEndsAtTheQueryLimit) {
    config_->AddPgDataSource("PaperloomPgLocked", *server_);
    server_->RunSql("DROP TABLE IF EXISTS locked; CREATE TABLE locked (id int); INSERT INTO locked VALUES (1);");
    const ScopedEnvironment limit("PAPERLOOM_QUERY_TIMEOUT", "2");

    // Another session holds the table until it closes.
    Connection holder;
    holder.Open("PaperloomPgLocked");
    holder.Execute("BEGIN; LOCK TABLE locked IN ACCESS EXCLUSIVE MODE");

    auto reader = std::make_shared<Connection>();
    reader->Open("DSN=PaperloomPgLocked;Pooling=No");
    const auto failure = TimedFailure([&] {
        Recordset rs;
        rs.Open("SELECT * FROM locked", reader);
    });
    ASSERT_TRUE(failure) << "the read waited for the lock and succeeded";
    EXPECT_LT(failure->seconds, 10.0);
    EXPECT_GE(failure->seconds, 1.5);
    EXPECT_NE(failure->description.find("PAPERLOOM_QUERY_TIMEOUT"), std::string::npos) << failure->description;

    // Once the lock is gone the same connection reads again.
    holder.Close();
    SessionPool::Instance().Clear();
    Recordset rs;
    rs.Open("SELECT * FROM locked", reader);
    EXPECT_EQ(rs.RecordCount(), 1);
}

TEST_F(OdbcFaults, ALoginToAFrozenServerEndsAtTheLoginLimit) {
    config_->AddPgDataSource("PaperloomPgFrozen", *server_);
    std::ifstream pidFile(server_->Directory() / "data" / "postmaster.pid");
    pid_t postmaster = 0;
    ASSERT_TRUE(pidFile >> postmaster) << "no postmaster.pid";
    const ScopedEnvironment limit("PAPERLOOM_LOGIN_TIMEOUT", "2");

    std::optional<Failure> failure;
    {
        const FrozenProcess frozen(postmaster);
        ASSERT_TRUE(frozen.Frozen());
        failure = TimedFailure([] {
            Connection connection;
            connection.Open("PaperloomPgFrozen");
        });
    }
    ASSERT_TRUE(failure) << "logged in to a frozen server";
    EXPECT_LT(failure->seconds, 10.0);
    EXPECT_NE(failure->description.find("PAPERLOOM_LOGIN_TIMEOUT"), std::string::npos) << failure->description;

    // Thawed, the server takes logins again.
    Connection connection;
    EXPECT_NO_THROW(connection.Open("PaperloomPgFrozen"));
}

}  // namespace
}  // namespace paperloom::host::ado
