// The built libOsPLRun.so loaded the way a host loads it: registered by ProgID, connected at
// start-up, reached only through the COM add-in's Object and its Controller, late-bound.

#include <gtest/gtest.h>

#include "conPLRunTestSupport.h"
#include "host/HostError.h"

namespace paperloom::run::test {
namespace {

const std::filesystem::path kRunLibrary = PAPERLOOM_RUN_LIBRARY;

class OsPLRunLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        templatePath = SaveBodyTemplate(folder.File("report.docx"), ShopTemplateBody(), ShopSettings());
        word::AddInRegistry(config.File("addins.xml")).Register(RunRegistration(kRunLibrary));
    }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    std::filesystem::path templatePath;
};

TEST_F(OsPLRunLibraryTest, StartupConnectsItAndTheControllerWorksLateBound) {
    word::AddInHost host(std::make_shared<word::Application>(), config.Path());
    auto report = host.Application().Documents().Open(templatePath);
    host.Startup();
    ASSERT_TRUE(host.StartupErrors().empty()) << host.StartupErrors().front();
    auto& addIn = host.COMAddIns().Item("OsPLRun.conPLRun");
    ASSERT_TRUE(addIn.Connect());
    EXPECT_EQ(addIn.FriendlyName(), "Paperloom 実行");
    // The template open before start-up was bound and filled by the library's own code.
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));

    const auto controller = word::Invoke(addIn.Object(), "Controller").AsDispatch();
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(word::Invoke(controller, "GetHeaderFilter", {report}).AsString(), "");
    word::Invoke(controller, "SetHeaderFilter", {report, "Qty > 4"});
    word::Invoke(controller, "SetHeaderSort", {report, "Qty DESC"});
    word::Invoke(controller, "ReopenHeader", {report});
    word::Invoke(controller, "UpdateView", {report});
    // The stored order (Id) keeps precedence over the added sort; the filter leaves Ids 1, 3, 4.
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));
    EXPECT_EQ(word::Invoke(controller, "GetHeaderSort", {report}).AsString(), "Qty DESC");
    word::Invoke(addIn.Object(), "MoveRecord", {report, 2L});
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "3"}));
    word::Invoke(addIn.Object(), "MoveRecord", {report, 0L});
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));

    // A print document made by the library is a document of the host's application.
    {
        const auto printDoc = word::Invoke(controller, "CreatePrintDoc", {report, false}).AsDocument();
        ASSERT_NE(printDoc, nullptr);
        EXPECT_EQ(host.Application().Documents().Item(printDoc->Name()), printDoc);
    }

    // The library's errors reach the host with their number.
    try {
        word::Invoke(controller, "NoSuchMethod", {report});
        ADD_FAILURE() << "unknown member accepted";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 438);
    }

    // Its menu and toolbar are on the host's bars and are kept after shutdown.
    EXPECT_EQ(Tags(RunMenu(host.CommandBars())), kMenuTags);
    host.Shutdown();
    EXPECT_FALSE(addIn.Connect());
    EXPECT_NE(word::test::ReadText(config.File("commandbars.xml")).find("Paperloom(実行)"), std::string::npos);
}

TEST_F(OsPLRunLibraryTest, ARestartReusesTheSavedMenuAndUnloadingRemovesIt) {
    {
        word::AddInHost host(std::make_shared<word::Application>(), config.Path());
        host.Startup();
    }
    word::AddInHost host(std::make_shared<word::Application>(), config.Path());
    host.Startup();
    auto& bars = host.CommandBars();
    EXPECT_EQ(Tags(RunMenu(bars)), kMenuTags);
    EXPECT_EQ(Tags(bars.Item("Paperloom(実行)")), kToolTags);
    EXPECT_EQ(CountBarsNamed(bars, "Paperloom(実行)"), 1);
    EXPECT_EQ(bars.Item("Tools")->FindControl("Paperloom")->CommandBar()->Controls().Count(), 1);

    // Clicking a button of the connected add-in reaches it without loading anything again.
    EXPECT_NO_THROW(RunMenu(bars)->FindControl("MenuHeadFirst")->Execute());

    host.COMAddIns().Item("OsPLRun.conPLRun").SetConnect(false);
    EXPECT_EQ(bars.Item("Tools")->FindControl("Paperloom"), nullptr);
    EXPECT_EQ(bars.Find("Paperloom(実行)"), nullptr);
    // Connected again, its menu and toolbar come back.
    host.COMAddIns().Item("OsPLRun.conPLRun").SetConnect(true);
    EXPECT_EQ(Tags(RunMenu(bars)), kMenuTags);
}

}  // namespace
}  // namespace paperloom::run::test
