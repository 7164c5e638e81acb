// Help and about of both add-ins. The help buttons and menu entries of the built libraries,
// copied into a folder of their own as an installation lays them out, open the manual in that
// folder through the help service, and nothing when it is missing; the designer's about box
// carries its window title and this build's version.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EditDialogTestSupport.h"
#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "common/frmPLAboutBox.h"

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

}  // namespace
}  // namespace paperloom::edit::test
