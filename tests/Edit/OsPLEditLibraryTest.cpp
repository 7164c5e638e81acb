// The built design-time add-in loaded through the registry as a host loads it: connected once at
// the next start, beside the run-time library, and unloaded by the user.

#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "host/word/addins/AddInHost.h"

namespace paperloom::edit::test {
namespace {

TEST(OsPLEditLibraryTest, ConnectsAtTheNextStartThenOnDemandAndUnloadsBesideTheRunTime) {
    word::test::ScratchConfig config;
    {
        word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
        auto edit = EditRegistration();
        edit.libraryPath = PAPERLOOM_EDIT_LIBRARY;
        host.Registry().Register(edit);
        host.Registry().Register(RunRegistration(PAPERLOOM_RUN_LIBRARY));
        host.Startup();
        EXPECT_TRUE(host.StartupErrors().empty());
        auto& designer = host.COMAddIns().Item("OsPLEdit.conPLEdit");
        ASSERT_TRUE(designer.Connect());
        EXPECT_EQ(host.Registry().Find("OsPLEdit.conPLEdit")->loadBehavior, 9);  // on demand from now on
        ASSERT_NE(EditMenu(host.CommandBars()), nullptr);
        EXPECT_EQ(Tags(EditMenu(host.CommandBars())), kEditMenuTags);

        designer.SetConnect(false);  // the user unloads it
        EXPECT_EQ(EditMenu(host.CommandBars()), nullptr);
        EXPECT_EQ(BarNamed(host.CommandBars(), "Paperloom(開発)"), nullptr);
        EXPECT_EQ(Tags(RunMenu(host.CommandBars())), kMenuTags);
        host.Shutdown();
    }
    {
        // The next start leaves it unloaded until one of its buttons is used; none is left, so
        // the user connects it from the add-in list, and its menu comes back.
        word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
        host.Startup();
        auto& designer = host.COMAddIns().Item("OsPLEdit.conPLEdit");
        EXPECT_FALSE(designer.Connect());
        designer.SetConnect(true);
        EXPECT_EQ(Tags(EditMenu(host.CommandBars())), kEditMenuTags);
        host.Shutdown();  // menu and toolbar stay for the next start
    }
    // Next start: a kept button loads the designer on demand, which finds its controls again.
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    host.Startup();
    host.Application().Documents().Add();
    auto& designer = host.COMAddIns().Item("OsPLEdit.conPLEdit");
    ASSERT_FALSE(designer.Connect());
    ASSERT_NE(EditMenu(host.CommandBars()), nullptr);
    EditMenu(host.CommandBars())->FindControl("MenuHeadBind")->Execute();
    EXPECT_TRUE(designer.Connect());
    EXPECT_EQ(Tags(EditMenu(host.CommandBars())), kEditMenuTags);
    EXPECT_EQ(Tags(BarNamed(host.CommandBars(), "Paperloom(開発)")), kEditToolTags);
    EXPECT_EQ(CountBarsNamed(host.CommandBars(), "Paperloom(開発)"), 1);
    host.Shutdown();
}

}  // namespace
}  // namespace paperloom::edit::test
