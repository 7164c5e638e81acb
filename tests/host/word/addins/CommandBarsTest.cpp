// Command bars: built-in bars, adding and placing controls, finding them by tag, deleting,
// click events, faces pasted from the clipboard, and what is kept across runs.

#include <gtest/gtest.h>

#include "AddInTestSupport.h"
#include "host/HostError.h"
#include "host/word/WordError.h"
#include "host/word/addins/Bitmap.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom::word::test {
namespace {

long ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

std::vector<std::string> Tags(const std::shared_ptr<CommandBar>& bar) {
    std::vector<std::string> tags;
    for (const auto& control : bar->Controls()) tags.push_back(control->Tag());
    return tags;
}

std::shared_ptr<CommandBarControl> AddTagged(const std::shared_ptr<CommandBar>& bar, const std::string& tag,
                                             long type = cbr::controlButton, long before = 0, bool temporary = false) {
    auto control = bar->Controls().Add(type, before, temporary);
    control->SetTag(tag);
    control->SetCaption("&" + tag);
    return control;
}

std::vector<std::byte> SmallBitmap(int bits) {
    std::vector<Rgb> pixels(16 * 16, Rgb{192, 192, 192});
    pixels[17] = {255, 0, 0};
    return EncodeBitmap(16, 16, pixels, bits);
}

class CommandBarsTest : public ::testing::Test {
protected:
    std::shared_ptr<Clipboard> clipboard = std::make_shared<Clipboard>();
    CommandBars bars{clipboard};
};

TEST_F(CommandBarsTest, BuiltInToolsMenuIsTheMenuBarsToolsPopup) {
    const auto tools = bars.Item("tools");
    EXPECT_TRUE(tools->BuiltIn());
    EXPECT_EQ(tools->Type(), cbr::barTypePopup);
    EXPECT_GE(tools->Controls().Count(), 3);
    const auto menuBar = bars.Item("Menu Bar");
    std::shared_ptr<CommandBar> shown;
    for (const auto& control : menuBar->Controls())
        if (control->Caption() == "&Tools") shown = control->CommandBar();
    EXPECT_EQ(shown, tools);
    EXPECT_EQ(bars.Item(tools->Index()), tools);
    EXPECT_EQ(ErrorOf([&] { tools->Delete(); }), 5);
    EXPECT_EQ(ErrorOf([&] { bars.Item("No Such Bar"); }), errnum::noSuchMember);
}

TEST_F(CommandBarsTest, AddingBarsChecksNamesAndPositions) {
    const auto bar = bars.Add("Mine", cbr::barTop, false);
    EXPECT_FALSE(bar->Visible());
    EXPECT_EQ(bars.Add()->Name(), "Custom 1");
    EXPECT_EQ(bars.Add()->Name(), "Custom 2");
    EXPECT_EQ(ErrorOf([&] { bars.Add("MINE"); }), 5);
    EXPECT_EQ(ErrorOf([&] { bars.Add("Popup", cbr::barPopup); }), 5);
    EXPECT_EQ(ErrorOf([&] { bar->SetName("Standard"); }), 5);
    EXPECT_EQ(ErrorOf([&] { bar->SetName(" "); }), 5);
    bar->SetName("Paperloom(実行)");
    EXPECT_EQ(bars.Item("Paperloom(実行)"), bar);
    EXPECT_EQ(ErrorOf([&] { bar->SetPosition(9); }), 5);
}

TEST_F(CommandBarsTest, ControlsGoBeforeTheirPositionAndKnowTheirIndex) {
    const auto bar = bars.Add("Bar");
    AddTagged(bar, "b");
    AddTagged(bar, "d");
    AddTagged(bar, "a", cbr::controlButton, 1);
    AddTagged(bar, "c", cbr::controlButton, 3);
    AddTagged(bar, "e", cbr::controlButton, 5);  // one past the end is the end
    EXPECT_EQ(Tags(bar), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(bar->FindControl("c")->Index(), 3);
    EXPECT_EQ(bar->FindControl("c")->Parent(), bar);
    EXPECT_EQ(ErrorOf([&] { bar->Controls().Add(cbr::controlButton, 7); }), 5);
    EXPECT_EQ(ErrorOf([&] { bar->Controls().Add(4); }), 5);
    EXPECT_EQ(ErrorOf([&] { bar->Controls().Item(6); }), errnum::noSuchMember);
}

TEST_F(CommandBarsTest, FindControlByTagInsidePopups) {
    const auto tools = bars.Item("Tools");
    const auto popup = AddTagged(tools, "Paperloom", cbr::controlPopup);
    const auto run = AddTagged(popup->CommandBar(), "Run", cbr::controlPopup);
    const auto first = AddTagged(run->CommandBar(), "MenuHeadFirst");
    EXPECT_EQ(tools->FindControl("Paperloom"), popup);
    EXPECT_EQ(tools->FindControl("MenuHeadFirst"), nullptr);  // not recursive by default
    EXPECT_EQ(tools->FindControl("MenuHeadFirst", true), first);
    EXPECT_EQ(bars.FindControl("MenuHeadFirst"), first);  // through the menu bar's Tools popup too
    EXPECT_EQ(bars.FindControl("menuheadfirst"), nullptr);  // tags compare exactly
    EXPECT_EQ(ErrorOf([&] { first->CommandBar(); }), 438);
    EXPECT_EQ(ErrorOf([&] { popup->SetStyle(cbr::buttonCaption); }), 438);
}

TEST_F(CommandBarsTest, DeletedControlsAndBarsAreGone) {
    const auto bar = bars.Add("Bar");
    const auto popup = AddTagged(bar, "P", cbr::controlPopup);
    const auto inner = AddTagged(popup->CommandBar(), "Inner");
    const auto button = AddTagged(bar, "B");
    popup->Delete();
    EXPECT_TRUE(popup->Deleted());
    EXPECT_TRUE(inner->Deleted());
    EXPECT_EQ(ErrorOf([&] { popup->Caption(); }), errnum::objectDeleted);
    EXPECT_EQ(ErrorOf([&] { inner->SetTag("x"); }), errnum::objectDeleted);
    EXPECT_EQ(Tags(bar), std::vector<std::string>{"B"});
    EXPECT_EQ(button->Index(), 1);

    const long count = bars.Count();
    bar->Delete();
    EXPECT_EQ(bars.Count(), count - 1);
    EXPECT_EQ(bars.Find("Bar"), nullptr);
    EXPECT_TRUE(button->Deleted());
    EXPECT_EQ(ErrorOf([&] { bar->Controls(); }), errnum::objectDeleted);
}

TEST_F(CommandBarsTest, ClickRunsTheActionThenEveryConnectedHandler) {
    const auto button = AddTagged(bars.Add("Bar"), "B");
    button->SetOnAction("!<Some.AddIn>");
    std::vector<std::string> calls;
    bars.SetActionHandler([&](const std::string& action) { calls.push_back("action " + action); });
    auto first = button->OnClick([&](const auto& control, bool& cancel) {
        calls.push_back("first " + control->Tag());
        cancel = true;
    });
    auto second = button->OnClick([&](const auto&, bool& cancel) {
        calls.push_back(cancel ? "second sees cancel" : "second");
    });
    button->Execute();
    EXPECT_EQ(calls, (std::vector<std::string>{"action !<Some.AddIn>", "first B", "second sees cancel"}));

    calls.clear();
    first.Reset();
    button->Execute();
    EXPECT_EQ(calls, (std::vector<std::string>{"action !<Some.AddIn>", "second"}));

    // A handler that disconnects another keeps it from being raised in the same click.
    calls.clear();
    auto third = button->OnClick([&](const auto&, bool&) { calls.push_back("third"); });
    second = button->OnClick([&](const auto&, bool&) {
        calls.push_back("disconnects third");
        third.Reset();
    });
    button->Execute();
    EXPECT_EQ(calls, (std::vector<std::string>{"action !<Some.AddIn>", "third", "disconnects third"}));
    calls.clear();
    button->Execute();
    EXPECT_EQ(calls, (std::vector<std::string>{"action !<Some.AddIn>", "disconnects third"}));

    // A disabled control does nothing; a subscription outliving its control is harmless.
    button->SetEnabled(false);
    calls.clear();
    button->Execute();
    EXPECT_TRUE(calls.empty());
    button->Delete();
    second.Reset();
}

TEST_F(CommandBarsTest, PasteFaceTakesTheClipboardBitmap) {
    const auto button = AddTagged(bars.Add("Bar"), "B");
    EXPECT_EQ(ErrorOf([&] { button->PasteFace(); }), 5);  // nothing on the clipboard
    clipboard->SetText("text only");
    EXPECT_EQ(ErrorOf([&] { button->PasteFace(); }), 5);
    clipboard->SetBitmap({std::byte{'B'}, std::byte{'M'}, std::byte{0}});
    EXPECT_EQ(ErrorOf([&] { button->PasteFace(); }), 481);
    EXPECT_TRUE(button->Picture().empty());

    button->SetFaceId(154);
    const auto bitmap = SmallBitmap(4);
    clipboard->SetBitmap(bitmap);
    button->PasteFace();
    EXPECT_EQ(button->Picture(), bitmap);
    EXPECT_EQ(button->FaceId(), 0);
    button->SetFaceId(49);  // a built-in face replaces the picture
    EXPECT_TRUE(button->Picture().empty());
}

TEST_F(CommandBarsTest, SavedBarsComeBackWithoutTemporaryOnes) {
    ScratchConfig config;
    const auto file = config.File("commandbars.xml");
    const auto bar = bars.Add("Paperloom(実行)");
    bar->SetVisible(true);
    bar->SetPosition(cbr::barLeft);
    auto face = AddTagged(bar, "Face");
    clipboard->SetBitmap(SmallBitmap(24));
    face->PasteFace();
    face->SetBeginGroup(true);
    face->SetOnAction("!<OsPLRun.conPLRun>");
    face->SetWidth(30);
    AddTagged(bar, "Builtin")->SetFaceId(154);
    AddTagged(bar, "Temp", cbr::controlButton, 0, true);
    bars.Add("Throwaway", cbr::barTop, true);
    const auto popup = AddTagged(bars.Item("Tools"), "Paperloom", cbr::controlPopup);
    AddTagged(AddTagged(popup->CommandBar(), "Run", cbr::controlPopup)->CommandBar(), "MenuDocAll")
        ->SetStyle(cbr::buttonCaption);
    bars.Save(file);

    CommandBars next(std::make_shared<Clipboard>());
    next.Load(file);
    EXPECT_EQ(next.Count(), bars.Count() - 1);
    EXPECT_EQ(next.Find("Throwaway"), nullptr);
    const auto again = next.Item("Paperloom(実行)");
    EXPECT_TRUE(again->Visible());
    EXPECT_EQ(again->Position(), cbr::barLeft);
    EXPECT_EQ(Tags(again), (std::vector<std::string>{"Face", "Builtin"}));
    const auto faceAgain = again->FindControl("Face");
    EXPECT_EQ(faceAgain->Picture(), face->Picture());
    EXPECT_TRUE(faceAgain->BeginGroup());
    EXPECT_EQ(faceAgain->OnAction(), "!<OsPLRun.conPLRun>");
    EXPECT_EQ(faceAgain->Width(), 30);
    EXPECT_EQ(again->FindControl("Builtin")->FaceId(), 154);
    const auto menu = next.FindControl("MenuDocAll");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Style(), cbr::buttonCaption);
    // The menu bar still shows the one Tools bar, now holding the popup.
    EXPECT_EQ(next.Item("Menu Bar")->FindControl("Paperloom", true), next.Item("Tools")->FindControl("Paperloom"));
}

TEST_F(CommandBarsTest, AFileThatCannotBeReadChangesNothing) {
    ScratchConfig config;
    const auto file = config.File("commandbars.xml");
    const auto mine = bars.Add("Mine");
    for (const std::string& bad :
         {std::string("<commandbars><bar name=\"X\"><control type=\"1\" face=\"zz\"/></bar></commandbars>"),
          std::string("<commandbars><bar name=\"X\"/><bar name=\"x\"/></commandbars>"),
          std::string("<commandbars><bar name=\"X\"><control type=\"10\" bar=\"Nowhere\"/></bar></commandbars>"),
          std::string("<commandbars version=\"7\"/>"), std::string("<commandbars><bar")}) {
        WriteText(file, bad);
        EXPECT_THROW(bars.Load(file), host::HostError) << bad;
        EXPECT_EQ(bars.Find("Mine"), mine);
        EXPECT_FALSE(mine->Deleted());
    }
    // No file: the bars stay as they are.
    bars.Load(config.File("absent.xml"));
    EXPECT_EQ(bars.Find("Mine"), mine);
}

TEST(Bitmap, EncodesAndDecodesBothDepths) {
    std::vector<Rgb> pixels(16 * 16);
    for (int i = 0; i < 256; ++i)
        pixels[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7};
    const auto full = DecodeBitmap(EncodeBitmap(16, 16, pixels, 24));
    EXPECT_EQ(full.bitsPerPixel, 24);
    EXPECT_EQ(full.pixels, pixels);
    // Sixteen colours: every pixel is the nearest palette colour.
    pixels[0] = {250, 5, 5};
    pixels[1] = {10, 10, 120};
    const auto reduced = DecodeBitmap(EncodeBitmap(16, 16, pixels, 4));
    EXPECT_EQ(reduced.bitsPerPixel, 4);
    EXPECT_EQ(reduced.At(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(reduced.At(1, 0), (Rgb{0, 0, 128}));
    auto cut = EncodeBitmap(16, 16, pixels, 24);
    cut.resize(cut.size() - 1);
    EXPECT_THROW(DecodeBitmap(cut), host::HostError);
}

}  // namespace
}  // namespace paperloom::word::test
