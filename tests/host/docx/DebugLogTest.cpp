// The trace of swallowed errors: off unless asked for, and one line per error with its kind.

#include "host/DebugLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace paperloom::debuglog {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DebugLogTest, OffWithoutATarget) {
    DebugLog none(nullptr);
    DebugLog empty("");
    EXPECT_FALSE(none.Enabled());
    EXPECT_FALSE(empty.Enabled());
    try {
        throw std::runtime_error("x");
    } catch (...) {
        none.Swallowed("here");  // nothing to write to, and nothing thrown
    }
}

TEST(DebugLogTest, AppendsOneLinePerSwallowedError) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("paperloom-debuglog-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".log");
    std::filesystem::remove(path);
    {
        std::ofstream(path) << "earlier\n";
        DebugLog log(path.c_str());
        ASSERT_TRUE(log.Enabled());
        try {
            throw host::HostError(5825, "Paperloom.Word", "Object has been deleted.");
        } catch (...) {
            log.Swallowed("Closing views");
        }
        try {
            throw std::runtime_error("disk full");
        } catch (const std::exception&) {
            log.Swallowed("Pool return");
        }
        try {
            throw 42;
        } catch (...) {
            log.Swallowed("Odd");
        }
        log.Swallowed("Outside a handler");
    }
    EXPECT_EQ(ReadAll(path),
              "earlier\n"
              "paperloom: error ignored in Closing views: error 5825 from Paperloom.Word: Object has been deleted.\n"
              "paperloom: error ignored in Pool return: disk full\n"
              "paperloom: error ignored in Odd: an exception of an unknown type\n"
              "paperloom: error ignored in Outside a handler: (no exception)\n");
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace paperloom::debuglog
