// The shared menu and toolbar button routines: a control found by tag is returned as it is;
// a missing one is made at its place with its caption, tag, action, style and face.

#include <gtest/gtest.h>

#include "common/modPLCommandBar.h"
#include "host/HostError.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/Bitmap.h"

namespace paperloom::modPLCommandBar {
namespace {

std::vector<std::byte> Face(long number) {
    if (number != 101) return {};
    std::vector<word::Rgb> pixels(16 * 16, word::Rgb{0, 128, 0});
    return word::EncodeBitmap(16, 16, pixels, 4);
}

class CommandBarRoutines : public ::testing::Test {
protected:
    std::shared_ptr<word::Clipboard> clipboard = std::make_shared<word::Clipboard>();
    word::CommandBars bars{clipboard};
    word::AddInHost host{std::make_shared<word::Application>(), std::filesystem::temp_directory_path() / "unused"};
    word::COMAddIn addIn{host, {"OsPLEdit.conPLEdit", "/x.so", "", "", 16}};
    FaceSource faces{*clipboard, &Face};
};

TEST_F(CommandBarRoutines, MenuButtonsAreFoundByTagOrMadeInPlace) {
    auto popup = bars.Item("Tools")->Controls().Add(word::cbr::controlPopup);
    const auto second = AddMenuButton("Second", "&Second", 1, popup, addIn, false);
    const auto first = AddMenuButton("First", "&First...", 1, popup, addIn, true);
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(second->Index(), 2);
    EXPECT_EQ(first->Caption(), "&First...");
    EXPECT_EQ(first->Style(), word::cbr::buttonCaption);
    EXPECT_EQ(first->OnAction(), "!<OsPLEdit.conPLEdit>");
    EXPECT_TRUE(first->BeginGroup());
    EXPECT_FALSE(second->BeginGroup());

    // Present already: untouched, even where the user changed it.
    first->SetCaption("renamed");
    EXPECT_EQ(AddMenuButton("First", "&First...", 2, popup, addIn, false), first);
    EXPECT_EQ(first->Caption(), "renamed");
    EXPECT_EQ(popup->CommandBar()->Controls().Count(), 2);
    // A position beyond the end adds at the end.
    EXPECT_EQ(AddMenuButton("Last", "&Last", 9, popup, addIn, false)->Index(), 3);
}

TEST_F(CommandBarRoutines, ToolButtonsGetTheirFaceThroughTheClipboard) {
    const auto bar = bars.Add("Paperloom(開発)");
    const auto pasted = AddToolButton("Bind", "Bind", word::cbr::controlButton, 1, 101, 0, bar, addIn, false, 0, faces);
    EXPECT_EQ(pasted->Picture(), Face(101));
    EXPECT_EQ(clipboard->Bitmap(), Face(101));
    EXPECT_EQ(pasted->Style(), word::cbr::buttonAutomatic);
    EXPECT_EQ(pasted->TooltipText(), "Bind");

    clipboard->SetText("left by the user");
    const auto builtIn = AddToolButton("Help", "Help", word::cbr::controlButton, 1, 0, 49, bar, addIn, true, 40, faces);
    EXPECT_EQ(builtIn->FaceId(), 49);
    EXPECT_TRUE(builtIn->Picture().empty());
    EXPECT_EQ(builtIn->Width(), 40);
    EXPECT_EQ(clipboard->Text(), "left by the user");  // only a bitmap face goes through the clipboard
    EXPECT_EQ(builtIn->Index(), 1);
    EXPECT_EQ(pasted->Index(), 2);

    // A bitmap the add-in lacks is an error and adds nothing.
    try {
        AddToolButton("Odd", "Odd", word::cbr::controlButton, 1, 999, 0, bar, addIn, false, 0, faces);
        ADD_FAILURE() << "missing bitmap accepted";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 326);
    }
    EXPECT_EQ(bar->Controls().Count(), 2);
    // Found by tag: returned untouched.
    EXPECT_EQ(AddToolButton("Bind", "x", word::cbr::controlButton, 2, 0, 7, bar, addIn, false, 0, faces), pasted);
    EXPECT_EQ(pasted->Picture(), Face(101));
}

}  // namespace
}  // namespace paperloom::modPLCommandBar
