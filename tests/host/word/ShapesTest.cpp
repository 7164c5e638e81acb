// Floating shapes: group shapes with text boxes, the legacy text box, and a text box written
// in both forms whose legacy copy must never show stale text.

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/HostError.h"

namespace paperloom::word {
namespace {

using test::MakeDocument;

std::string Box(const std::string& name, const std::string& text) {
    return "<wps:wsp><wps:cNvPr id=\"2\" name=\"" + name + "\"/><wps:spPr/><wps:txbx><w:txbxContent>" +
           test::P(text) + "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp>";
}

std::string LegacyBox(const std::string& text) {
    return "<v:shape style=\"position:absolute;width:100pt;height:50pt\"><v:textbox><w:txbxContent>" + test::P(text) +
           "</w:txbxContent></v:textbox></v:shape>";
}

// A group of two text boxes saved in both forms, and a legacy-only text box.
std::string ShapesBody() {
    return "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wpg\"><w:drawing><wp:anchor>"
           "<wp:docPr id=\"1\" name=\"Group 1\"/><a:graphic><a:graphicData "
           "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingGroup\"><wpg:wgp><wpg:cNvGrpSpPr/>"
           "<wpg:grpSpPr/>" + Box("Box 1", "Box one") + Box("Box 2", "Box two") +
           "</wpg:wgp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
           "<mc:Fallback><w:pict><v:group style=\"position:absolute;width:200pt;height:50pt\">" +
           LegacyBox("Box one") + LegacyBox("Box two") +
           "</v:group></w:pict></mc:Fallback></mc:AlternateContent></w:r>"
           "<w:r><w:t>anchor</w:t></w:r></w:p>"
           "<w:p><w:r><w:pict>" + LegacyBox("Old style") + "</w:pict></w:r></w:p>";
}

TEST(Shapes, GroupItemsAndTextFrames) {
    auto doc = MakeDocument(ShapesBody());
    // Floating shapes take no position in the main text.
    EXPECT_EQ(doc->Content().Text(), "anchor\r\r");
    auto shapes = doc->Shapes();
    ASSERT_EQ(shapes.Count(), 2);
    const auto& group = shapes.Item(1);
    EXPECT_EQ(group.Type(), msoGroup);
    EXPECT_EQ(group.Name(), "Group 1");
    auto items = group.GroupItems();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Item(2).Type(), msoTextBox);
    EXPECT_TRUE(items.Item(2).TextFrame().HasText());
    auto text = items.Item(2).TextFrame().TextRange();
    EXPECT_EQ(text.Text(), "Box two\r");
    EXPECT_EQ(text.StoryType(), wdTextFrameStory);
    EXPECT_EQ(text.Start(), 0);  // a story of its own
    const auto& legacy = shapes.Item(2);
    EXPECT_EQ(legacy.Type(), msoTextBox);
    EXPECT_EQ(legacy.TextFrame().ContainingRange().Text(), "Old style\r");
    EXPECT_THROW(legacy.GroupItems(), host::HostError);
}

TEST(Shapes, EditingABoxSavedInBothFormsUpdatesTheLegacyCopy) {
    test::TempFolder folder;
    auto doc = MakeDocument(ShapesBody());
    auto box = doc->Shapes().Item(1).GroupItems().Item(2).TextFrame().TextRange();
    box.SetText("Changed");
    EXPECT_EQ(box.Text(), "Changed");
    const auto path = folder.Path() / "boxes.docx";
    doc->SaveAs(path);
    auto reopened = Document::Open(path);
    auto root = reopened->State()->Main().Root();
    std::vector<std::string> fallbackTexts;
    for (auto t : root.select_nodes(".//mc:Fallback//w:txbxContent")) {
        std::string s;
        for (auto run : t.node().select_nodes(".//w:t")) s += run.node().text().get();
        fallbackTexts.push_back(s);
    }
    ASSERT_EQ(fallbackTexts.size(), 2u);
    EXPECT_EQ(fallbackTexts[0], "Box one");
    EXPECT_EQ(fallbackTexts[1], "Changed");
    EXPECT_EQ(reopened->Shapes().Item(1).GroupItems().Item(2).TextFrame().TextRange().Text(), "Changed\r");
}

// A bookmark over text in a text box (a detail table placed there, say) is found again by name,
// in the box's own story, and follows the edits made there; the legacy copy never answers.
TEST(Shapes, BookmarkInATextBoxIsFoundInTheBoxStory) {
    auto doc = MakeDocument(ShapesBody());
    auto box = doc->Shapes().Item(1).GroupItems().Item(2).TextFrame().TextRange();
    auto two = box.Duplicate();
    two.SetRange(4, 7);
    doc->Bookmarks().Add("InBox", two);
    box.InsertBefore("The ");
    const auto found = doc->Bookmarks().Item("InBox").Range();
    EXPECT_EQ(found.StoryType(), wdTextFrameStory);
    EXPECT_EQ(found.Text(), "two");
    EXPECT_EQ(found.Start(), 8);
    doc->Bookmarks().Item("InBox").Delete();
    EXPECT_FALSE(doc->Bookmarks().Exists("InBox"));
    EXPECT_EQ(box.Text(), "The Box two\r");
}

TEST(Shapes, RemovedShapeInvalidatesItsText) {
    auto doc = MakeDocument(ShapesBody());
    auto box = doc->Shapes().Item(1).GroupItems().Item(1).TextFrame().TextRange();
    auto kept = doc->Shapes().Item(2).TextFrame().TextRange();
    EXPECT_EQ(box.Text(), "Box one\r");
    doc->Range(0, 7).Delete();  // the first paragraph, with the group anchored in it
    EXPECT_THROW(box.Text(), host::HostError);
    EXPECT_EQ(kept.Text(), "Old style\r");
    EXPECT_EQ(doc->Shapes().Count(), 1);
}

// The frame's characters count as the word processor counts them: field marks and codes,
// hidden text and further paragraph marks are text; only the frame's last mark is not.
TEST(Shapes, HasTextCountsEveryCharacterButTheLastMark) {
    const std::string emptyField =
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> quote x "
        "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:fldChar "
        "w:fldCharType=\"end\"/></w:r></w:p>";
    const std::string shownField = "<w:p><w:fldSimple w:instr=\" quote x \"><w:r><w:t>x</w:t></w:r></w:fldSimple></w:p>";
    const std::string hidden = "<w:p>" + test::HiddenRun("secret") + "</w:p>";
    const auto box = [](const std::string& content) {
        return "<w:p><w:r><w:pict><v:shape style=\"position:absolute;width:100pt;height:50pt\"><v:textbox>"
               "<w:txbxContent>" + content + "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p>";
    };
    auto doc = MakeDocument(box(emptyField) + box(shownField) + box(hidden) + box("<w:p/><w:p/>") + box("<w:p/>") +
                            box(""));
    const auto shapes = doc->Shapes();
    ASSERT_EQ(shapes.Count(), 6);
    EXPECT_EQ(shapes.Item(1).TextFrame().TextRange().Text(), "\r");  // the empty result shows nothing
    EXPECT_TRUE(shapes.Item(1).TextFrame().HasText());
    EXPECT_TRUE(shapes.Item(2).TextFrame().HasText());
    EXPECT_TRUE(shapes.Item(3).TextFrame().HasText());
    EXPECT_TRUE(shapes.Item(4).TextFrame().HasText());
    EXPECT_FALSE(shapes.Item(5).TextFrame().HasText());
    EXPECT_FALSE(shapes.Item(6).TextFrame().HasText());
    // Emptied by an edit: no text again.
    auto text = shapes.Item(1).TextFrame().TextRange();
    text.Delete();
    EXPECT_FALSE(shapes.Item(1).TextFrame().HasText());
}

}  // namespace
}  // namespace paperloom::word
