// The per-user add-in registry: where it lives, what it keeps, and that a file it cannot read
// is reported and left alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "AddInTestSupport.h"
#include "host/HostError.h"
#include "host/word/addins/AddInRegistry.h"

namespace paperloom::word::test {
namespace {

AddInRegistration RunAddIn(const std::filesystem::path& path = "/opt/paperloom/libOsPLRun.so") {
    return {"OsPLRun.conPLRun", path, "Paperloom 実行", "ｱﾄﾞｲﾝ ﾌﾟﾛｼﾞｪｸﾄ ﾃﾝﾌﾟﾚｰﾄ", 3};
}
AddInRegistration EditAddIn() {
    return {"OsPLEdit.conPLEdit", "/opt/paperloom/libOsPLEdit.so", "Paperloom 開発", "ｱﾄﾞｲﾝ & <テンプレート>", 16};
}

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvVar() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(AddInRegistry, ConfigFolderFollowsTheOverrideThenXdgThenHome) {
    EnvVar home("HOME", "/home/someone");
    {
        EnvVar dir("PAPERLOOM_CONFIG_DIR", "/tmp/pl-config");
        EnvVar xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(UserConfigFolder(), "/tmp/pl-config");
    }
    EnvVar dir("PAPERLOOM_CONFIG_DIR", nullptr);
    {
        EnvVar xdg("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(UserConfigFolder(), "/xdg/paperloom");
    }
    {
        EnvVar xdg("XDG_CONFIG_HOME", "relative/ignored");
        EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/paperloom");
    }
}

TEST(AddInRegistry, RoundTripReplaceAndUnregister) {
    ScratchConfig config;
    AddInRegistry registry(config.File("sub/addins.xml"));
    EXPECT_TRUE(registry.List().empty());  // no file yet

    registry.Register(RunAddIn());
    registry.Register(EditAddIn());
    // Read back by a second object over the same file: every field, Japanese and markup intact.
    AddInRegistry again(config.File("sub/addins.xml"));
    ASSERT_EQ(again.List(), (std::vector<AddInRegistration>{RunAddIn(), EditAddIn()}));
    EXPECT_EQ(again.Find("osplrun.CONPLRUN"), RunAddIn());
    EXPECT_FALSE(again.Find("Other.Thing"));

    // Registering a known ProgID (any letter case) replaces it in place.
    auto moved = RunAddIn("/usr/lib/libOsPLRun.so");
    moved.progId = "OSPLRUN.conplrun";
    again.Register(moved);
    ASSERT_EQ(registry.List().size(), 2u);
    EXPECT_EQ(registry.List()[0], moved);

    EXPECT_TRUE(registry.Unregister("OsPLEdit.conPLEdit"));
    EXPECT_FALSE(registry.Unregister("OsPLEdit.conPLEdit"));
    EXPECT_EQ(registry.List(), std::vector<AddInRegistration>{moved});

    // Only the registry and its lock file are left: the atomic write leaves no temporary behind.
    EXPECT_EQ(FileNames(config.File("sub")), (std::vector<std::string>{"addins.xml", "addins.xml.lock"}));
}

TEST(AddInRegistry, RefusesIncompleteEntries) {
    ScratchConfig config;
    AddInRegistry registry(config.File("addins.xml"));
    auto blank = RunAddIn();
    blank.progId = "  ";
    EXPECT_THROW(registry.Register(blank), host::HostError);
    auto noPath = RunAddIn();
    noPath.libraryPath.clear();
    EXPECT_THROW(registry.Register(noPath), host::HostError);
    EXPECT_FALSE(std::filesystem::exists(config.File("addins.xml")));
}

TEST(AddInRegistry, AnUnreadableFileIsReportedAndNeverOverwritten) {
    ScratchConfig config;
    const auto file = config.File("addins.xml");
    for (const std::string& bad : {std::string("<addins><addin progId=\"A\""),                      // cut short
                                  std::string("<other/>"),                                          // wrong root
                                  std::string("<addins><addin progId=\"A\" path=\"/a\" loadBehavior=\"x\"/></addins>"),
                                  std::string("<addins><addin path=\"/a\"/></addins>")}) {
        WriteText(file, bad);
        AddInRegistry registry(file);
        try {
            registry.List();
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const host::HostError& error) {
            EXPECT_NE(error.Description().find(file.string()), std::string::npos) << error.Description();
        }
        EXPECT_THROW(registry.Register(RunAddIn()), host::HostError);
        EXPECT_THROW(registry.Unregister("A"), host::HostError);
        EXPECT_EQ(ReadText(file), bad);
    }
}

TEST(AddInRegistry, EnsureRegisteredWritesOnlyWhenMissingOrMoved) {
    ScratchConfig config;
    const auto library = config.File("libOsPLRun.so");
    WriteText(library, "not really a library");
    AddInRegistry registry(config.File("addins.xml"));

    EXPECT_TRUE(EnsureRegistered(registry, RunAddIn(library)));
    // The user's own load behaviour survives: the same library is not registered again.
    auto tuned = RunAddIn(library);
    tuned.loadBehavior = 2;
    registry.Register(tuned);
    EXPECT_FALSE(EnsureRegistered(registry, RunAddIn(library)));
    EXPECT_FALSE(EnsureRegistered(registry, RunAddIn(config.Path() / "." / "libOsPLRun.so")));
    EXPECT_EQ(registry.Find("OsPLRun.conPLRun")->loadBehavior, 2);

    // A registration naming another library is replaced.
    EXPECT_TRUE(EnsureRegistered(registry, RunAddIn("/elsewhere/libOsPLRun.so")));
    EXPECT_EQ(registry.Find("OsPLRun.conPLRun")->libraryPath, "/elsewhere/libOsPLRun.so");

    // The per-user form honours the configuration override.
    EnvVar dir("PAPERLOOM_CONFIG_DIR", config.File("user").c_str());
    EXPECT_TRUE(EnsureRegistered(EditAddIn()));
    EXPECT_EQ(AddInRegistry::ForCurrentUser().List(), std::vector<AddInRegistration>{EditAddIn()});
}

}  // namespace
}  // namespace paperloom::word::test
