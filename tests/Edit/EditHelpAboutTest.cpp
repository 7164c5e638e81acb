// Help and about of both add-ins. The help buttons and menu entries of the built libraries,
// copied into a folder of their own as an installation lays them out, open the manual in that
// folder through the help service, and nothing when it is missing; the designer's about box
// carries its window title and this build's version. The designer's bookmark button and menu
// entry open the manager, and an error in it shows only its description.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EditDialogTestSupport.h"
#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "Edit/conPLEdit.h"
#include "common/frmPLAboutBox.h"
#include "common/modPLConst.h"
#include "host/HostError.h"

namespace paperloom::edit::test {
namespace {

namespace fs = std::filesystem;

class AddInHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Both add-ins in one folder, as installed: each finds the manual in its own folder.
        fs::copy_file(PAPERLOOM_EDIT_LIBRARY, folder.File("libOsPLEdit.so"));
        fs::copy_file(PAPERLOOM_RUN_LIBRARY, folder.File("libOsPLRun.so"));
        auto edit = EditRegistration();
        edit.libraryPath = folder.File("libOsPLEdit.so");
        edit.loadBehavior = 3;
        host.Registry().Register(edit);
        host.Registry().Register(RunRegistration(folder.File("libOsPLRun.so")));
        host.Startup();
        ASSERT_TRUE(host.StartupErrors().empty());
    }
    void TearDown() override { host.Shutdown(); }

    // Clicks each of the four help controls; the files the help service was asked to open.
    std::vector<fs::path> ClickHelp() {
        const std::size_t before = help->Requests().size();
        auto& bars = host.CommandBars();
        EditMenu(bars)->FindControl("MenuEditHelp")->Execute();
        BarNamed(bars, "Paperloom(開発)")->FindControl("ToolEditHelp")->Execute();
        RunMenu(bars)->FindControl("MenuRunHelp")->Execute();
        BarNamed(bars, "Paperloom(実行)")->FindControl("ToolRunHelp")->Execute();
        return {help->Requests().begin() + static_cast<long>(before), help->Requests().end()};
    }

    paperloom::test::ScratchFolder folder{"paperloom-help"};
    word::test::ScratchConfig config;
    std::ostringstream log;
    std::shared_ptr<ui::HeadlessMessageService> messages = std::make_shared<ui::HeadlessMessageService>(log);
    std::shared_ptr<ui::HeadlessHelpService> help = std::make_shared<ui::HeadlessHelpService>(log);
    ui::ScopedServices services{{messages, help, nullptr, nullptr}};
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
};

TEST_F(AddInHelpTest, BothAddInsOpenTheManualBesideThemAndNothingWithoutIt) {
    EXPECT_TRUE(ClickHelp().empty()) << log.str();

    const fs::path manual = folder.Path() / "help" / "index.html";
    fs::create_directories(manual.parent_path());
    std::ofstream(manual) << "<html><body>目次</body></html>";
    const auto opened = ClickHelp();
    ASSERT_EQ(opened.size(), 4U) << log.str();
    for (const auto& file : opened) EXPECT_EQ(fs::weakly_canonical(file), fs::weakly_canonical(manual));

    fs::remove_all(manual.parent_path());
    EXPECT_TRUE(ClickHelp().empty());
    EXPECT_TRUE(messages->Shown().empty()) << log.str();
}

TEST(EditAbout, ShowsTheDesignersTitleAndTheBuildsVersion) {
    EditDialogHarness harness;
    std::string caption, subTitle, version, product;
    harness.forms.about = [&](const frmPLAboutBox& about) {
        caption = about.strCaption;
        subTitle = about.lblSubTitle;
        version = about.lblVersion;
        product = about.lblProductName;
    };
    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    EditDialogs dialogs;
    EditCommands(host, dialogs).About();  // no document needed
    EXPECT_EQ(caption, "About Ostrander/COM Paperloom 2000");
    EXPECT_EQ(version, std::string("Version ") + PAPERLOOM_PROJECT_VERSION);
    EXPECT_EQ(product, "Paperloom");
    EXPECT_TRUE(subTitle.empty());
}

TEST(EditBookmarkCommand, MenuAndToolbarOpenTheManagerAndAnErrorShowsItsDescriptionOnly) {
    EditDialogHarness harness;
    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    word::COMAddIn instance{host, EditRegistration()};
    const auto edit = std::make_shared<conPLEdit>();
    word::CustomArgs custom;
    edit->OnConnection(host, word::ext_ConnectMode::ext_cm_AfterStartup, instance, custom);
    const auto doc = host.Application().Documents().Add();
    doc->Content().InsertAfter("Total");
    doc->Bookmarks().Add("Total", doc->Range(0, 5));

    std::vector<std::vector<std::string>> lists;
    harness.forms.bookmark = [&](frmPLEBookmark& form) {
        lists.push_back(form.lstBookmark);
        if (lists.size() == 2) throw host::HostError(5941, "Paperloom.Forms", "ウィンドウを開けません");
    };
    EditMenu(host.CommandBars())->FindControl("MenuBookmark")->Execute();
    BarNamed(host.CommandBars(), "Paperloom(開発)")->FindControl("ToolBookmark")->Execute();
    ASSERT_EQ(lists.size(), 2U);
    EXPECT_EQ(lists[0], std::vector<std::string>{"Total"});
    const auto& shown = harness.messages->Shown();
    ASSERT_EQ(shown.size(), 1U) << harness.log.str();
    EXPECT_EQ(shown[0].request.strText, "ウィンドウを開けません");
    EXPECT_EQ(shown[0].request.icon, ui::MessageIcon::Critical);
    EXPECT_EQ(shown[0].request.strTitle, modPLConst::EDIT_APP_TITLE);

    std::string caption;
    harness.forms.about = [&](const frmPLAboutBox& about) { caption = about.strCaption; };
    EditMenu(host.CommandBars())->FindControl("MenuEditAbout")->Execute();
    EXPECT_EQ(caption, "About Ostrander/COM Paperloom 2000");
    edit->OnDisconnection(word::ext_DisconnectMode::ext_dm_HostShutdown, custom);
}

}  // namespace
}  // namespace paperloom::edit::test
