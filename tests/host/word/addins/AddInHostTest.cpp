// The host's side of add-ins: loading a library through the registry, connect and disconnect
// modes, the published object, start-up and shutdown, loading on demand from a button, and
// command bars that outlive a run of the host.

#include <gtest/gtest.h>

#include <cstdlib>

#include "AddInTestSupport.h"
#include "host/HostError.h"
#include "host/word/addins/AddInHost.h"

namespace paperloom::word::test {
namespace {

const std::filesystem::path kTestAddIn = PAPERLOOM_TEST_ADDIN_LIBRARY;

long ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

class AddInHostTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("PAPERLOOM_TEST_ADDIN_LOG", log.c_str(), 1); }
    void TearDown() override { ::unsetenv("PAPERLOOM_TEST_ADDIN_LOG"); }

    void Register(const std::string& progId, long loadBehavior, const std::filesystem::path& library = kTestAddIn) {
        AddInRegistry(config.File("addins.xml")).Register({progId, library, progId, "test", loadBehavior});
    }
    std::vector<std::string> Log() const { return ReadLines(log); }

    ScratchConfig config;
    std::filesystem::path log = config.File("log.txt");
};

TEST_F(AddInHostTest, StartupConnectsLoadBehaviourThreeAndShutdownDisconnectsWithModeZero) {
    Register("Paperloom.TestAddIn", 3);
    Register("Paperloom.Other", 2, config.File("never-loaded.so"));  // not at start-up
    {
        AddInHost host(std::make_shared<Application>(), config.Path());
        host.Startup();
        EXPECT_TRUE(host.StartupErrors().empty());
        auto& addIn = host.COMAddIns().Item("paperloom.testaddin");
        EXPECT_TRUE(addIn.Connect());
        EXPECT_FALSE(host.COMAddIns().Item(2).Connect());
        EXPECT_EQ(addIn.Description(), "test");
        host.Application().Documents().Add();
        EXPECT_EQ(Invoke(addIn.Object(), "Documents").AsLong(), 1);
        host.Shutdown();
        EXPECT_FALSE(addIn.Connect());
        EXPECT_TRUE(addIn.Object() == nullptr);
    }
    EXPECT_EQ(Log(), (std::vector<std::string>{"Paperloom.TestAddIn connect 1", "startup-complete",
                                               "begin-shutdown", "disconnect 0"}));
}

TEST_F(AddInHostTest, ConnectPropertyLoadsAndUnloadsAsTheUser) {
    Register("Paperloom.TestAddIn", 9);  // on demand: not at start-up
    AddInHost host(std::make_shared<Application>(), config.Path());
    host.Startup();
    auto& addIn = host.COMAddIns().Item(1);
    EXPECT_FALSE(addIn.Connect());
    addIn.SetConnect(true);
    addIn.SetConnect(true);  // already connected: nothing happens
    EXPECT_NE(addIn.Object(), nullptr);
    addIn.SetConnect(false);
    EXPECT_EQ(addIn.Object(), nullptr);
    host.Shutdown();  // nothing left to disconnect
    EXPECT_EQ(Log(), (std::vector<std::string>{"Paperloom.TestAddIn connect 0", "disconnect 1"}));
}

TEST_F(AddInHostTest, AButtonOfADisconnectedAddInLoadsItBeforeTheClick) {
    Register("Paperloom.TestAddIn", 9);
    AddInHost host(std::make_shared<Application>(), config.Path());
    host.Startup();
    host.COMAddIns().Item(1).SetConnect(true);
    host.COMAddIns().Item(1).SetConnect(false);
    const auto button = host.CommandBars().FindControl("TestAddIn");
    ASSERT_NE(button, nullptr);
    button->Execute();
    EXPECT_TRUE(host.COMAddIns().Item(1).Connect());
    EXPECT_EQ(Log().back(), "click");
}

TEST_F(AddInHostTest, FailuresAreClearAndLeaveTheAddInDisconnected) {
    Register("Paperloom.FailingAddIn", 3);
    Register("OsPLEdit.conPLEdit", 16, config.File("libOsPLEdit.so"));  // not built yet
    Register("Paperloom.NotALibrary", 3, config.File("log.txt"));
    WriteText(log, "");
    AddInHost host(std::make_shared<Application>(), config.Path());
    host.Startup();
    ASSERT_EQ(host.StartupErrors().size(), 3u);
    EXPECT_NE(host.StartupErrors()[0].find("refused to connect"), std::string::npos);
    EXPECT_NE(host.StartupErrors()[1].find("libOsPLEdit.so was not found"), std::string::npos);
    EXPECT_NE(host.StartupErrors()[2].find("cannot be loaded"), std::string::npos);
    for (const auto& addIn : host.COMAddIns()) {
        EXPECT_FALSE(addIn->Connect());
        EXPECT_EQ(addIn->Object(), nullptr);
    }
    EXPECT_EQ(ErrorOf([&] { host.COMAddIns().Item("OsPLEdit.conPLEdit").SetConnect(true); }), 53);
    EXPECT_EQ(ErrorOf([&] { host.COMAddIns().Item("Paperloom.FailingAddIn").SetConnect(true); }), 1004);
    // A load-on-first-start add-in that failed keeps its load behaviour.
    EXPECT_EQ(host.Registry().Find("OsPLEdit.conPLEdit")->loadBehavior, 16);
    EXPECT_EQ(ErrorOf([&] { host.COMAddIns().Item("Not.There"); }), 5941);
}

TEST_F(AddInHostTest, ARelativeLibraryPathIsAFileNotANameForTheLoaderToSearch) {
    // A bare file name given to the loader is looked for in the system's library folders
    // only; the registered file in the current folder is meant.
    std::filesystem::copy_file(kTestAddIn, config.File("libmyaddin.so"));
    Register("Paperloom.TestAddIn", 9, "libmyaddin.so");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(config.Path());
    AddInHost host(std::make_shared<Application>(), config.Path());
    host.Startup();
    EXPECT_EQ(ErrorOf([&] { host.COMAddIns().Item(1).SetConnect(true); }), 0);
    EXPECT_TRUE(host.COMAddIns().Item(1).Connect());
    std::filesystem::current_path(previous);
}

TEST_F(AddInHostTest, FirstStartConnectsLoadBehaviourSixteenOnceThenOnDemand) {
    Register("Paperloom.TestAddIn", 16);
    {
        AddInHost host(std::make_shared<Application>(), config.Path());
        host.Startup();
        EXPECT_TRUE(host.COMAddIns().Item(1).Connect());
    }
    EXPECT_EQ(AddInRegistry(config.File("addins.xml")).Find("Paperloom.TestAddIn")->loadBehavior, 9);
    AddInHost host(std::make_shared<Application>(), config.Path());
    host.Startup();
    EXPECT_FALSE(host.COMAddIns().Item(1).Connect());
}

TEST_F(AddInHostTest, CommandBarsSurviveARestartAndABadFileIsSetAside) {
    {
        AddInHost host(std::make_shared<Application>(), config.Path());
        host.Startup();
        auto bar = host.CommandBars().Add("Kept");
        bar->Controls().Add(cbr::controlButton)->SetTag("K");
        bar->Controls().Add(cbr::controlButton, 0, true)->SetTag("Gone");
        host.CommandBars().Add("Temporary", cbr::barTop, true);
    }  // the destructor shuts down and saves
    {
        AddInHost host(std::make_shared<Application>(), config.Path());
        host.Startup();
        const auto bar = host.CommandBars().Item("Kept");
        EXPECT_EQ(bar->Controls().Count(), 1);
        EXPECT_NE(bar->FindControl("K"), nullptr);
        EXPECT_EQ(host.CommandBars().Find("Temporary"), nullptr);
        host.Shutdown();
    }
    WriteText(config.File("commandbars.xml"), "<commandbars><bar");
    {
        AddInHost host(std::make_shared<Application>(), config.Path());
        host.Startup();
        ASSERT_EQ(host.StartupErrors().size(), 1u);
        EXPECT_NE(host.StartupErrors()[0].find("commandbars.xml"), std::string::npos);
        EXPECT_EQ(host.CommandBars().Find("Kept"), nullptr);  // built-in bars only
        host.Shutdown();
    }
    EXPECT_EQ(ReadText(config.File("commandbars.xml.bad")), "<commandbars><bar");
    AddInHost host(std::make_shared<Application>(), config.Path());
    host.Startup();
    EXPECT_TRUE(host.StartupErrors().empty());
}

}  // namespace
}  // namespace paperloom::word::test
