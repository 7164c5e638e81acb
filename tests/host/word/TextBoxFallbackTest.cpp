// The legacy form a text box is saved in besides its drawing form follows the box: into a copy
// of the range that holds it, and away when it has no matching box to follow. A header made
// on demand is a part every reader opens.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WordTestSupport.h"
#include "host/docx/WellFormedXml.h"
#include "host/word/Sections.h"
#include "host/word/Shapes.h"

namespace paperloom::word {
namespace {

std::string Box(const std::string& text) {
    return "<wps:wsp><wps:spPr/><wps:txbx><w:txbxContent>" + test::P(text) +
           "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp>";
}

std::string LegacyBox(const std::string& text) {
    return "<v:shape style=\"position:absolute;width:100pt;height:50pt\"><v:textbox><w:txbxContent>" + test::P(text) +
           "</w:txbxContent></v:textbox></v:shape>";
}

// A group of boxes in both forms; `legacyBoxes` of them have a legacy copy.
std::string Group(const std::vector<std::string>& texts, std::size_t legacyBoxes) {
    std::string drawn;
    std::string legacy;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        drawn += Box(texts[i]);
        if (i < legacyBoxes) legacy += LegacyBox(texts[i]);
    }
    return "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wpg\"><w:drawing><wp:anchor>"
           "<wp:docPr id=\"1\" name=\"Group 1\"/><a:graphic><a:graphicData "
           "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingGroup\"><wpg:wgp>" +
           drawn + "</wpg:wgp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
                   "<mc:Fallback><w:pict><v:group style=\"position:absolute;width:200pt;height:50pt\">" +
           legacy + "</v:group></w:pict></mc:Fallback></mc:AlternateContent></w:r><w:r><w:t>anchor</w:t></w:r></w:p>";
}

std::vector<std::string> Texts(pugi::xml_node root, const char* xpath) {
    std::vector<std::string> texts;
    for (const auto& box : root.select_nodes(xpath)) {
        std::string text;
        for (const auto& t : box.node().select_nodes(".//w:t")) text += t.node().text().get();
        texts.push_back(text);
    }
    return texts;
}

TEST(TextBoxFallback, ACopyOfTheRangeCarriesTheEditedBoxInBothForms) {
    auto source = test::MakeDocument(Group({"one", "two"}, 2));
    source->Shapes().Item(1).GroupItems().Item(2).TextFrame().TextRange().SetText("Changed");
    auto target = test::MakeDocument(test::P("before"));
    auto end = target->Content();
    end.Collapse(wdCollapseEnd);
    end.SetFormattedText(source->Content());

    const auto root = target->State()->Main().Root();
    const std::vector<std::string> wanted{"one", "Changed"};
    EXPECT_EQ(Texts(root, ".//mc:Choice//w:txbxContent"), wanted);
    EXPECT_EQ(Texts(root, ".//mc:Fallback//w:txbxContent"), wanted) << "the copy's legacy form is not stale";
}

TEST(TextBoxFallback, ALegacyFormWithoutTheMatchingBoxGoesWhenTheBoxChanges) {
    test::TempFolder folder;
    auto untouched = test::MakeDocument(Group({"one", "two"}, 1));
    untouched->SaveAs(folder.Path() / "untouched.docx");
    EXPECT_EQ(Texts(Document::Open(folder.Path() / "untouched.docx")->State()->Main().Root(), ".//mc:Fallback//w:txbxContent"),
              std::vector<std::string>{"one"});

    auto doc = test::MakeDocument(Group({"one", "two"}, 1));
    auto items = doc->Shapes().Item(1).GroupItems();
    auto first = items.Item(1).TextFrame().TextRange();
    auto second = items.Item(2).TextFrame().TextRange();
    first.SetText("First");
    second.SetText("Second");
    doc->SaveAs(folder.Path() / "edited.docx");
    // Editing the box whose copy went with the fallback finds nothing stale to write to.
    first.SetText("Again");
    doc->SaveAs(folder.Path() / "edited.docx");

    const auto reopened = Document::Open(folder.Path() / "edited.docx");
    const auto root = reopened->State()->Main().Root();
    EXPECT_FALSE(root.select_node(".//mc:Fallback"));
    EXPECT_EQ(Texts(root, ".//mc:Choice//w:txbxContent"), (std::vector<std::string>{"Again", "Second"}));
}

TEST(TextBoxFallback, AHeaderMadeOnDemandIsAWellFormedPart) {
    auto doc = test::MakeDocument(test::P("body"));
    doc->Sections().First().Headers().Item(wdHeaderFooterPrimary).Range().SetText("見出し");
    doc->Sections().First().Footers().Item(wdHeaderFooterPrimary).Range().SetText("足");
    auto& package = doc->Package();
    for (const auto type : {docx::reltype::header, docx::reltype::footer}) {
        const auto part = package.MainRelatedPart(type);
        ASSERT_TRUE(part);
        long declarations = 0;
        for (const auto node : package.Xml(*part).children()) declarations += node.type() == pugi::node_declaration;
        EXPECT_EQ(declarations, 1) << *part;
        EXPECT_EQ(docx::testing::XmlFault(package.PartBytes(*part)), "") << *part;
    }
}

}  // namespace
}  // namespace paperloom::word
