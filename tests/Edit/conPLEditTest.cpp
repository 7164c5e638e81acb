// The design-time add-in shell connected in process: its submenu inside the shared popup and its
// toolbar, found by tag and completed in place; unloading beside the run-time add-in versus
// shutdown; the buttons wired to their commands.

#include <gtest/gtest.h>

#include <set>

#include "EditTestSupport.h"
#include "Edit/conPLEdit.h"
#include "Run/conPLRun.h"
#include "host/word/addins/Bitmap.h"

namespace paperloom::edit::test {
namespace {

using word::ext_ConnectMode;
using word::ext_DisconnectMode;

class ConPLEditTest : public ::testing::Test {
protected:
    void Connect() {
        edit = std::make_shared<conPLEdit>();
        word::CustomArgs custom;
        edit->OnConnection(host, ext_ConnectMode::ext_cm_AfterStartup, editInst, custom);
    }
    void Disconnect(ext_DisconnectMode mode) {
        word::CustomArgs custom;
        edit->OnDisconnection(mode, custom);
    }
    void ConnectRunTime() {
        run = std::make_shared<conPLRun>();
        word::CustomArgs custom;
        run->OnConnection(host, ext_ConnectMode::ext_cm_AfterStartup, runInst, custom);
    }
    void DisconnectRunTime(ext_DisconnectMode mode) {
        word::CustomArgs custom;
        run->OnDisconnection(mode, custom);
        runInst.SetObject(nullptr);
    }
    word::CommandBars& Bars() { return host.CommandBars(); }
    std::shared_ptr<word::CommandBarControl> Popup() { return Bars().Item("Tools")->FindControl("Paperloom"); }

    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    word::COMAddIn editInst{host, EditRegistration()};
    word::COMAddIn runInst{host, RunRegistration()};
    std::shared_ptr<conPLEdit> edit;
    std::shared_ptr<conPLRun> run;
    TestEditForms forms;
    ScopedEditForms scoped{&forms};
};

TEST_F(ConPLEditTest, BuildsTheEditSubmenuAndToolbarWithTheirTagsCaptionsGroupsAndFaces) {
    Connect();
    ASSERT_NE(Popup(), nullptr);
    EXPECT_EQ(Popup()->Caption(), "&Paperloom");
    const auto editControl = Popup()->CommandBar()->FindControl("Edit");
    ASSERT_NE(editControl, nullptr);
    EXPECT_EQ(editControl->Caption(), "開発(&E)");
    const auto menu = EditMenu(Bars());
    EXPECT_EQ(Tags(menu), kEditMenuTags);
    std::vector<bool> groups;
    for (const auto& control : menu->Controls()) {
        groups.push_back(control->BeginGroup());
        EXPECT_EQ(control->OnAction(), "!<OsPLEdit.conPLEdit>");
        EXPECT_EQ(control->Style(), word::cbr::buttonCaption);
    }
    EXPECT_EQ(groups, (std::vector<bool>{false, false, true, false, false, true, true, false, true, false}));
    EXPECT_EQ(menu->FindControl("MenuHeadBind")->Caption(), "基本データ部のデータ バインド(&B)...");
    EXPECT_EQ(menu->FindControl("MenuEditAbout")->Caption(), "バージョン情報(&A)...");

    const auto bar = BarNamed(Bars(), "Paperloom(開発)");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Position(), word::cbr::barTop);
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(Tags(bar), kEditToolTags);
    EXPECT_EQ(bar->FindControl("ToolDetailInsert")->Caption(), "明細データ部の挿入");
    // Eight drawn faces, each a distinct 16 x 16 picture in 16 colours; help has the built-in face.
    std::set<std::vector<std::byte>> pictures;
    for (const auto& control : bar->Controls()) {
        if (control->Tag() == "ToolEditHelp") {
            EXPECT_EQ(control->FaceId(), 49);
            EXPECT_TRUE(control->Picture().empty());
            continue;
        }
        const auto image = word::DecodeBitmap(control->Picture());
        EXPECT_EQ(image.width, 16);
        EXPECT_EQ(image.height, 16);
        EXPECT_EQ(image.bitsPerPixel, 4) << control->Tag();
        pictures.insert(control->Picture());
    }
    EXPECT_EQ(pictures.size(), 8u);
    for (const auto* reference : {"mctlMenuHeadBindEvts", "mctlMenuEditAboutEvts"})
        EXPECT_NE(edit->Events()->MenuControl(reference), nullptr) << reference;
    EXPECT_NE(edit->Events()->ToolControl("mctlToolEditHelpEvts"), nullptr);
}

TEST_F(ConPLEditTest, ReconnectingReusesEveryControlAndRestoresDeletedOnesInPlace) {
    host.Application().Documents().Add();
    Connect();
    Disconnect(ext_DisconnectMode::ext_dm_HostShutdown);
    // Shutdown leaves menu and toolbar; the user then deletes single buttons.
    ASSERT_NE(EditMenu(Bars()), nullptr);
    EditMenu(Bars())->FindControl("MenuDetailProp")->Delete();
    EditMenu(Bars())->FindControl("MenuHeadBind")->Delete();
    BarNamed(Bars(), "Paperloom(開発)")->FindControl("ToolStatistics")->Delete();
    const auto keptBar = BarNamed(Bars(), "Paperloom(開発)");
    keptBar->SetPosition(word::cbr::barBottom);

    Connect();
    EXPECT_EQ(Tags(EditMenu(Bars())), kEditMenuTags);
    EXPECT_EQ(Tags(BarNamed(Bars(), "Paperloom(開発)")), kEditToolTags);
    EXPECT_EQ(CountBarsNamed(Bars(), "Paperloom(開発)"), 1);
    EXPECT_EQ(BarNamed(Bars(), "Paperloom(開発)"), keptBar);
    EXPECT_EQ(keptBar->Position(), word::cbr::barBottom);  // an existing bar keeps where the user put it
    long popups = 0;
    for (const auto& control : Bars().Item("Tools")->Controls()) popups += control->Tag() == "Paperloom" ? 1 : 0;
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(Popup()->CommandBar()->Controls().Count(), 1);

    // Only the new connection's handlers run: one click opens the dialog once.
    EditMenu(Bars())->FindControl("MenuHeadBind")->Execute();
    EXPECT_EQ(forms.bindShown, 1);
}

TEST_F(ConPLEditTest, UnloadingTheDesignerBesideTheRunTimeLeavesTheRunMenu) {
    ConnectRunTime();
    Connect();
    // The designer's submenu goes first even when the run-time made the popup.
    EXPECT_EQ(Tags(Popup()->CommandBar()), (std::vector<std::string>{"Edit", "Run"}));

    Disconnect(ext_DisconnectMode::ext_dm_UserClosed);
    ASSERT_NE(Popup(), nullptr);
    EXPECT_EQ(Tags(Popup()->CommandBar()), (std::vector<std::string>{"Run"}));
    EXPECT_EQ(BarNamed(Bars(), "Paperloom(開発)"), nullptr);
    EXPECT_NE(BarNamed(Bars(), "Paperloom(実行)"), nullptr);
    EXPECT_EQ(Tags(RunMenu(Bars())), kMenuTags);
    EXPECT_EQ(edit->Events(), nullptr);
    EXPECT_EQ(edit->Application(), nullptr);

    DisconnectRunTime(ext_DisconnectMode::ext_dm_UserClosed);
    EXPECT_EQ(Popup(), nullptr);  // empty once both are unloaded
}

TEST_F(ConPLEditTest, ButtonsRunTheirCommandsAndTerminateUnloadsTheWindows) {
    host.Application().Documents().Add();
    Connect();
    std::vector<std::pair<std::string, std::string>> shown;
    forms.bind = [&](clsPLEBindForm& form) { shown.emplace_back(form.strCaption, form.cmdOKCaption); };
    const auto bar = BarNamed(Bars(), "Paperloom(開発)");
    bar->FindControl("ToolHeadBind")->Execute();
    bar->FindControl("ToolDetailInsert")->Execute();
    EditMenu(Bars())->FindControl("MenuDetailInsert")->Execute();
    EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{
                         {"基本データ部のデータ バインド", "OK"},
                         {"明細データ部の挿入(1/2)", "次へ"},
                         {"明細データ部の挿入(1/2)", "次へ"}}));
    EXPECT_EQ(forms.detailShown, 0);  // page 1 was cancelled each time

    // The buttons of commands still to come are connected and do nothing.
    for (const char* tag : {"ToolHeadField", "ToolDetailProp", "ToolDetailColProp", "ToolStatistics", "ToolBookmark",
                            "ToolCalculator"})
        EXPECT_NO_THROW(bar->FindControl(tag)->Execute()) << tag;

    Disconnect(ext_DisconnectMode::ext_dm_HostShutdown);
    EXPECT_EQ(forms.unloads, 1);
    EXPECT_NE(EditMenu(Bars()), nullptr);  // shutdown keeps the menu for the next start
    // Released references: clicking the kept button no longer reaches the old connection.
    bar->FindControl("ToolHeadBind")->Execute();
    EXPECT_EQ(shown.size(), 3u);
}

}  // namespace
}  // namespace paperloom::edit::test
