// The run-time add-in shell connected in process: binding the documents already open, the
// menu and toolbar found by tag and completed in place, unloading versus shutdown, document
// events, the published object and the error reporter.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "Run/ReportRunError.h"
#include "Run/conPLRun.h"
#include "Run/modPLRFunction.h"
#include "conPLRunTestSupport.h"
#include "host/HostError.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/addins/Bitmap.h"
#include "Run/resources/RunFaces.h"

namespace paperloom::run::test {
namespace {

using word::ext_ConnectMode;
using word::ext_DisconnectMode;

long ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

class ConPLRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        templatePath = SaveBodyTemplate(folder.File("report.docx"), ShopTemplateBody(), ShopSettings());
    }

    void Connect(ext_ConnectMode mode = ext_ConnectMode::ext_cm_AfterStartup) {
        run = std::make_shared<conPLRun>();
        word::CustomArgs custom;
        run->OnConnection(host, mode, addInInst, custom);
    }
    void Disconnect(ext_DisconnectMode mode) {
        word::CustomArgs custom;
        run->OnDisconnection(mode, custom);
        addInInst.SetObject(nullptr);
    }
    word::Application& App() { return host.Application(); }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    std::filesystem::path templatePath;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    word::COMAddIn addInInst{host, RunRegistration()};
    std::shared_ptr<conPLRun> run;
};

TEST_F(ConPLRunTest, ConnectingBindsEveryOpenTemplateOnItsFirstRecord) {
    App().Documents().Add();
    const auto report = App().Documents().Open(templatePath);
    const auto other = App().Documents().Add();
    ASSERT_EQ(App().ActiveDocument(), other);  // the template is not the active document
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"?", "?"}));

    Connect();
    auto& registry = run->State().registry;
    ASSERT_EQ(registry.Count(), 1);
    const auto binding = modPLRFunction::FindDocumentBind(registry, *report);
    ASSERT_NE(binding, nullptr);
    EXPECT_EQ(binding->GetRecordCount(), 5);
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));
    EXPECT_EQ(addInInst.Object(), run);
    EXPECT_EQ(run->State().application, host.SharedApplication());
}

TEST_F(ConPLRunTest, BuildsTheRunSubmenuAndToolbarWithTheirTagsCaptionsAndFaces) {
    Connect();
    auto& bars = host.CommandBars();
    const auto popup = bars.Item("Tools")->FindControl("Paperloom");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->Caption(), "&Paperloom");
    EXPECT_EQ(popup->Type(), word::cbr::controlPopup);
    EXPECT_EQ(popup->CommandBar()->FindControl("Run")->Caption(), "実行(&R)");
    const auto menu = RunMenu(bars);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Tags(menu), kMenuTags);
    const auto printAll = run->Events()->MenuControl("mctlMenuPrintAllEvts");
    EXPECT_EQ(printAll->Tag(), "MenuDocAll");  // the crossed tags stay as stored menus have them
    EXPECT_EQ(printAll->Caption(), "全てのレコードを印刷(&Q)");
    EXPECT_EQ(printAll->Style(), word::cbr::buttonCaption);
    EXPECT_EQ(printAll->OnAction(), "!<OsPLRun.conPLRun>");
    EXPECT_TRUE(menu->FindControl("MenuHeadFilter")->BeginGroup());
    EXPECT_FALSE(menu->FindControl("MenuHeadSort")->BeginGroup());
    EXPECT_EQ(run->Events()->MenuControl("mctlMenuRunAboutEvts"), menu->FindControl("MenuAbout"));

    const auto toolbar = bars.Item("Paperloom(実行)");
    EXPECT_TRUE(toolbar->Visible());
    EXPECT_EQ(toolbar->Position(), word::cbr::barTop);
    EXPECT_EQ(Tags(toolbar), kToolTags);
    EXPECT_EQ(toolbar->FindControl("ToolHeadFirst")->FaceId(), 154);
    EXPECT_EQ(toolbar->FindControl("ToolRunHelp")->FaceId(), 49);
    EXPECT_EQ(toolbar->FindControl("ToolHeadFind")->TooltipText(), "基本データ部のフィールドの検索");
    EXPECT_EQ(toolbar->FindControl("ToolHeadFirst")->Style(), word::cbr::buttonAutomatic);
    // Bitmap faces: 16 x 16, the filter and sort faces in full colour, the others 16 colours.
    for (const auto& [tag, bits] : std::vector<std::pair<std::string, int>>{
             {"ToolHeadMove", 4}, {"ToolHeadFilter", 24}, {"ToolHeadSort", 24}, {"ToolDetailTest", 4}}) {
        const auto face = word::DecodeBitmap(toolbar->FindControl(tag)->Picture());
        EXPECT_EQ(face.width, 16);
        EXPECT_EQ(face.height, 16);
        EXPECT_EQ(face.bitsPerPixel, bits) << tag;
    }
    // Every button reference is connected to its control.
    for (const auto& tag : kToolTags) EXPECT_NE(toolbar->FindControl(tag), nullptr);
    EXPECT_EQ(run->Events()->ToolControl("mctlToolPrintAllEvts")->Tag(), "ToolPrintAll");
}

TEST_F(ConPLRunTest, ReconnectingReusesEverythingAndRestoresDeletedButtonsInPlace) {
    Connect();
    auto& bars = host.CommandBars();
    const auto kept = RunMenu(bars)->FindControl("MenuHeadNext");
    Disconnect(ext_DisconnectMode::ext_dm_HostShutdown);
    EXPECT_EQ(run->Events(), nullptr);
    // Shutdown leaves menu and toolbar where they are.
    ASSERT_NE(RunMenu(bars), nullptr);
    EXPECT_EQ(Tags(RunMenu(bars)), kMenuTags);
    EXPECT_EQ(CountBarsNamed(bars, "Paperloom(実行)"), 1);

    RunMenu(bars)->FindControl("MenuHeadFirst")->Delete();
    RunMenu(bars)->FindControl("MenuPrintAll")->Delete();
    RunMenu(bars)->FindControl("MenuAbout")->Delete();
    const auto toolbar = bars.Item("Paperloom(実行)");
    toolbar->FindControl("ToolHeadMove")->Delete();
    toolbar->FindControl("ToolRunHelp")->Delete();

    Connect();
    EXPECT_EQ(Tags(RunMenu(bars)), kMenuTags);
    EXPECT_EQ(Tags(toolbar), kToolTags);
    EXPECT_EQ(RunMenu(bars)->FindControl("MenuHeadNext"), kept);  // found by tag, not remade
    EXPECT_EQ(toolbar->FindControl("ToolHeadMove")->Index(), 3);
    EXPECT_FALSE(toolbar->FindControl("ToolHeadMove")->Picture().empty());
    EXPECT_EQ(CountBarsNamed(bars, "Paperloom(実行)"), 1);
    long popups = 0;
    for (const auto& control : bars.Item("Tools")->Controls()) popups += control->Tag() == "Paperloom" ? 1 : 0;
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(bars.Item("Tools")->FindControl("Paperloom")->CommandBar()->Controls().Count(), 1);
}

TEST_F(ConPLRunTest, UnloadingRemovesTheRunMenuAndToolbarThePopupOnlyWhenEmpty) {
    // The design-time submenu sits at position 1 of the shared popup.
    Connect();
    auto& bars = host.CommandBars();
    const auto popup = bars.Item("Tools")->FindControl("Paperloom");
    auto edit = popup->CommandBar()->Controls().Add(word::cbr::controlPopup, 1, false);
    edit->SetTag("Edit");
    EXPECT_EQ(Tags(popup->CommandBar()), (std::vector<std::string>{"Edit", "Run"}));

    Disconnect(ext_DisconnectMode::ext_dm_UserClosed);
    EXPECT_FALSE(popup->Deleted());
    EXPECT_EQ(Tags(popup->CommandBar()), std::vector<std::string>{"Edit"});
    EXPECT_EQ(bars.Find("Paperloom(実行)"), nullptr);

    // Connected again, the submenu follows the design-time one.
    Connect();
    EXPECT_EQ(Tags(popup->CommandBar()), (std::vector<std::string>{"Edit", "Run"}));
    edit->Delete();
    Disconnect(ext_DisconnectMode::ext_dm_UserClosed);
    EXPECT_EQ(bars.Item("Tools")->FindControl("Paperloom"), nullptr);
    EXPECT_TRUE(popup->Deleted());
    // Unloading with nothing left to remove is quiet.
    Connect();
    bars.Item("Tools")->FindControl("Paperloom")->Delete();
    bars.Item("Paperloom(実行)")->Delete();
    EXPECT_NO_THROW(Disconnect(ext_DisconnectMode::ext_dm_UserClosed));
}

TEST_F(ConPLRunTest, DocumentEventsBindAndUnbindWhileConnected) {
    Connect();
    auto report = App().Documents().Open(templatePath);
    auto& registry = run->State().registry;
    ASSERT_EQ(registry.Count(), 1);
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));
    modPLRFunction::FindDocumentBind(registry, *report)->MoveLast();
    report->Close();
    EXPECT_EQ(registry.Count(), 0);

    report = App().Documents().Open(templatePath);
    ASSERT_EQ(registry.Count(), 1);
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));

    // A document without header settings stays unbound, silently.
    const auto plain = folder.File("plain.docx");
    SaveTemplate(plain, {});
    App().Documents().Open(plain);
    EXPECT_EQ(registry.Count(), 1);

    // After disconnection the events no longer reach the add-in, and its registry is empty.
    Disconnect(ext_DisconnectMode::ext_dm_HostShutdown);
    EXPECT_EQ(registry.Count(), 0);
    report->Close();
    App().Documents().Open(templatePath);
    EXPECT_EQ(registry.Count(), 0);
}

TEST_F(ConPLRunTest, ThePublishedObjectReachesTheControllerLateBound) {
    auto report = App().Documents().Open(templatePath);
    Connect();
    const word::DispatchPtr object = addInInst.Object();
    const auto controller = word::Invoke(object, "controller").AsDispatch();
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->MemberNames().size(), 12u);

    EXPECT_EQ(word::Invoke(controller, "GetHeaderFilter", {report}).AsString(), "");
    word::Invoke(controller, "SetHeaderFilter", {report, "Shop = 'B'"});
    EXPECT_EQ(word::Invoke(controller, "GetHeaderFilter", {report}).AsString(), "Shop = 'B'");
    word::Invoke(controller, "UpdateView", {report});
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"A", "1"}));  // not reopened yet
    word::Invoke(controller, "ReopenHeader", {report});
    word::Invoke(controller, "UpdateView", {report});
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"B", "2"}));

    // The headless move: 1-based, past the end on the last record.
    word::Invoke(object, "MoveRecord", {report, 9L});
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"B", "5"}));
    word::Invoke(object, "MoveRecord", {report, "1"});
    EXPECT_EQ(Shown(*report), (std::vector<std::string>{"B", "2"}));

    EXPECT_TRUE(word::Invoke(controller, "FindData", {report, "Id = 5"}).AsBool());
    EXPECT_FALSE(word::Invoke(controller, "FindData", {report, "Id = 4"}).AsBool());

    EXPECT_EQ(ErrorOf([&] { word::Invoke(controller, "UpdateEverything", {report}); }), 438);
    EXPECT_EQ(ErrorOf([&] { word::Invoke(controller, "UpdateView"); }), 449);
    EXPECT_EQ(ErrorOf([&] { word::Invoke(controller, "UpdateView", {"report.docx"}); }), 13);
    EXPECT_EQ(ErrorOf([&] { word::Invoke(object, "MoveRecord", {report}); }), 449);

    // Disconnected: Controller is Nothing and the old controller object refuses calls.
    Disconnect(ext_DisconnectMode::ext_dm_HostShutdown);
    EXPECT_TRUE(word::Invoke(object, "Controller").IsNothing());
    EXPECT_EQ(run->Controller(), nullptr);
    EXPECT_EQ(ErrorOf([&] { word::Invoke(controller, "GetHeaderFilter", {report}); }), 91);
    EXPECT_EQ(ErrorOf([&] { word::Invoke(object, "MoveRecord", {report, 1L}); }), 91);
}

TEST_F(ConPLRunTest, ErrorsOutsideACommandAreDroppedOrRaisedInsideOneShown) {
    std::ostringstream log;
    auto messages = std::make_shared<ui::HeadlessMessageService>(log);
    ui::ScopedServices services({messages, nullptr, nullptr, nullptr});
    RunState state;
    state.application = host.SharedApplication();
    const auto error = std::make_exception_ptr(host::HostError(3021, "ADODB.Recordset", "No current record."));

    ReportRunError(state, error, false);
    EXPECT_TRUE(messages->Shown().empty());
    try {
        ReportRunError(state, error, true);
        ADD_FAILURE() << "not raised";
    } catch (const host::HostError& raised) {
        EXPECT_EQ(raised.Number(), 3021);
        EXPECT_EQ(raised.Source(), "ADODB.Recordset");
    }
    ReportRunError(state, std::make_exception_ptr(host::HostError(0, "x", "none")), true);
    ReportRunError(state, nullptr, true);

    state.gblnInCommand = true;
    App().SetVisible(false);
    ReportRunError(state, error, false);
    EXPECT_TRUE(messages->Shown().empty());
    App().SetVisible(true);
    ReportRunError(state, error, true);  // shown, not raised
    ASSERT_EQ(messages->Shown().size(), 1u);
    EXPECT_EQ(messages->Shown()[0].request.strTitle, "Paperloom(実行)");
    EXPECT_NE(messages->Shown()[0].request.strText.find("No current record."), std::string::npos);
}

TEST(RunFaces, ElevenSixteenBySixteenBitmapsTwoOfThemInFullColour) {
    for (long number = 101; number <= 111; ++number) {
        const auto face = word::DecodeBitmap(LoadRunBitmap(number));
        EXPECT_EQ(face.width, 16);
        EXPECT_EQ(face.height, 16);
        EXPECT_EQ(face.bitsPerPixel, number == 106 || number == 109 ? 24 : 4) << number;
        // A glyph, not a blank button face.
        EXPECT_GT(std::count_if(face.pixels.begin(), face.pixels.end(),
                                [&](const word::Rgb& c) { return !(c == face.At(0, 0)); }),
                  20)
            << number;
    }
    EXPECT_TRUE(LoadRunBitmap(100).empty());
    EXPECT_TRUE(LoadRunBitmap(112).empty());
}

}  // namespace
}  // namespace paperloom::run::test
