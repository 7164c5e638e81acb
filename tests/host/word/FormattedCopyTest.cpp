// Formatted copies between documents: text, table, picture, styles, numbering and bookmarks
// arrive in a document the office suite opens.

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/word/detail/RangeAccess.h"

namespace paperloom::word {
namespace {

using test::MakeDocument;
using test::P;
using test::TextRun;

const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x02\x00"
    "\x00\x00\xfd\xd4\x9a\x73\x00\x00\x00\x12\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\xc0\x00\xc2\x20\xe2\x3f\x03"
    "\x00\x1e\xf0\x03\xfd\x6f\x41\x90\x39\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    75);

std::string Picture(const std::string& rel) {
    return "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent cx=\"190500\" "
           "cy=\"190500\"/><wp:docPr id=\"1\" name=\"Picture 1\"/><a:graphic><a:graphicData "
           "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr><pic:cNvPr "
           "id=\"0\" name=\"dot.png\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"" + rel +
           "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
           "<a:ext cx=\"190500\" cy=\"190500\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>"
           "</pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
}

// A template with a styled title, a numbered item, a bookmarked table and a picture.
std::shared_ptr<Document> MakeTemplate() {
    auto package = docx::Package::CreateBlank();
    package.SetPartBytes("word/media/image1.png", kPng, "image/png");
    const auto rel = package.AddRelationship("word/document.xml", docx::reltype::image, "media/image1.png");
    package.SetPartBytes(
        "word/numbering.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:numbering "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:abstractNum w:abstractNumId=\"0\">"
        "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl>"
        "</w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>",
        "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml");
    package.AddRelationship("word/document.xml", docx::reltype::numbering, "numbering.xml");
    const std::string body =
        "<w:p><w:pPr><w:pStyle w:val=\"ReportTitle\"/></w:pPr>" + TextRun("Report") + "</w:p>"
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr></w:pPr>" + TextRun("item") + "</w:p>"
        "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"3000\"/>"
        "<w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr><w:tc><w:p><w:bookmarkStart w:id=\"0\" w:name=\"tblDetail\"/>" +
        TextRun("code") + "</w:p></w:tc><w:tc><w:p>" + TextRun("name") +
        "<w:bookmarkEnd w:id=\"0\"/></w:p></w:tc></w:tr></w:tbl>"
        "<w:p>" + Picture(rel) + TextRun(" logo") + "</w:p>";
    auto doc = test::MakeDocumentIn(std::move(package), body, "Template");
    auto styles = doc->Package().Xml("word/styles.xml").child("w:styles");
    auto style = styles.append_child("w:style");
    style.append_attribute("w:type") = "paragraph";
    style.append_attribute("w:styleId") = "ReportTitle";
    style.append_child("w:name").append_attribute("w:val") = "Report Title";
    style.append_child("w:rPr").append_child("w:b");
    return doc;
}

std::vector<std::string> MediaParts(docx::Package& package) {
    std::vector<std::string> media;
    for (const auto& name : package.PartNames())
        if (name.starts_with("word/media/")) media.push_back(name);
    return media;
}

TEST(FormattedCopy, WholeTemplateIntoAnotherDocument) {
    auto source = MakeTemplate();
    auto target = Document::Blank("Print1");
    auto end = target->Content();
    end.Collapse(wdCollapseEnd);
    end.SetFormattedText(source->Content().FormattedText());
    const std::string expected = "Report\ritem\rcode\r\aname\r\a\r\a\x01 logo\r";
    EXPECT_EQ(end.Text(), expected);
    EXPECT_EQ(target->Content().Text(), expected + "\r");
    EXPECT_EQ(target->Tables().Count(), 1);
    EXPECT_EQ(target->Tables().Item(1).Cell(1, 2).Range().Text(), "name\r\a");

    // The picture's part came along and the copy refers to it.
    auto& package = target->Package();
    const auto media = MediaParts(package);
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(package.PartBytes(media[0]), kPng);
    auto blip = target->State()->Main().Root().select_node(".//a:blip").node();
    const auto rel = package.RelationshipById("word/document.xml", blip.attribute("r:embed").value());
    ASSERT_TRUE(rel);
    EXPECT_EQ(docx::Package::ResolveTarget("word/document.xml", rel->target), media[0]);

    // Style and list definitions came along.
    auto& styles = package.Xml(*package.MainRelatedPart(docx::reltype::styles));
    EXPECT_TRUE(styles.select_node("//w:style[@w:styleId='ReportTitle']"));
    const auto numbering = package.MainRelatedPart(docx::reltype::numbering);
    ASSERT_TRUE(numbering);
    const std::string numId =
        target->State()->Main().Root().select_node(".//w:numId").node().attribute("w:val").value();
    const auto num = package.Xml(*numbering).select_node(("//w:num[@w:numId='" + numId + "']").c_str()).node();
    ASSERT_TRUE(num);
    const std::string abstractId = num.child("w:abstractNumId").attribute("w:val").value();
    EXPECT_TRUE(package.Xml(*numbering).select_node(("//w:abstractNum[@w:abstractNumId='" + abstractId + "']").c_str()));
    EXPECT_TRUE(target->Bookmarks().Exists("tblDetail"));

    // A second copy shares the picture and the list, and leaves the bookmark to the first.
    auto again = target->Content();
    again.Collapse(wdCollapseEnd);
    again.SetFormattedText(source->Content());
    EXPECT_EQ(MediaParts(package).size(), 1u);
    EXPECT_EQ(target->State()->Main().Root().select_nodes(".//w:bookmarkStart").size(), 1u);
    EXPECT_EQ(package.Xml(*numbering).select_nodes("//w:num").size(), 1u);
    EXPECT_EQ(target->Tables().Count(), 2);

    // The result is a document the office suite opens.
    test::TempFolder folder;
    const auto path = folder.Path() / "print.docx";
    target->SaveAs(path);
    auto reopened = Document::Open(path);
    EXPECT_EQ(reopened->Content().Text(), target->Content().Text());
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no office suite to open the copy";
    const std::string command = "cd '" + folder.Path().string() + "' && HOME='" + folder.Path().string() +
                                "' timeout 120 soffice --headless --convert-to pdf print.docx >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_GT(std::filesystem::file_size(folder.Path() / "print.pdf"), 1000u);
}

TEST(FormattedCopy, PartOfAParagraphThroughATable) {
    auto source = MakeTemplate();
    auto target = MakeDocument(P("ab"));
    // From "port" through the end of the table.
    const long tableEnd = source->Tables().Item(1).Range().End();
    auto at = target->Range(1, 1);
    at.SetFormattedText(source->Range(2, tableEnd));
    EXPECT_EQ(target->Content().Text(), "aport\ritem\rcode\r\aname\r\a\r\ab\r");
    EXPECT_EQ(at.Text(), "port\ritem\rcode\r\aname\r\a\r\a");
    // The first paragraph took the copied paragraph's look; the table arrived whole.
    auto first = target->State()->Main().Root().child("w:p");
    EXPECT_STREQ(first.child("w:pPr").child("w:pStyle").attribute("w:val").value(), "ReportTitle");
    EXPECT_EQ(target->Tables().Item(1).Columns().Count(), 2);
}

TEST(FormattedCopy, RangeInsideOneCellCopiesItsText) {
    auto source = MakeTemplate();
    auto target = MakeDocument(P("x"));
    auto cell = source->Tables().Item(1).Cell(1, 2).Range();
    auto text = cell.Duplicate();
    text.SetEnd(text.End() - 1);
    auto at = target->Range(0, 0);
    at.SetFormattedText(text);
    EXPECT_EQ(target->Content().Text(), "namex\r");
    EXPECT_EQ(target->Tables().Count(), 0);
}

TEST(FormattedCopy, HeaderWithPictureIntoAnotherDocumentsHeader) {
    auto source = MakeTemplate();
    // The template's header shows the picture: copy the body paragraph holding it there.
    auto header = source->Sections().Item(1).Headers().Item(wdHeaderFooterPrimary).Range();
    const long pictureParagraph = source->Tables().Item(1).Range().End();
    header.SetFormattedText(source->Range(pictureParagraph, pictureParagraph + 7));
    EXPECT_EQ(header.Text(), "\x01 logo\r");
    // Same document, another part: the header part got its own relationship to the picture.
    auto& from = source->Package();
    const auto headerPart = detail::RangeAccess::Of(header)->story->Part();
    auto blip = from.Xml(headerPart).select_node("//a:blip").node();
    ASSERT_TRUE(from.RelationshipById(headerPart, blip.attribute("r:embed").value()));

    auto target = Document::Blank("Print1");
    auto targetHeader = target->Sections().Item(1).Headers().Item(wdHeaderFooterPrimary).Range();
    targetHeader.SetFormattedText(source->Sections().Item(1).Headers().Item(1).Range());
    // The copy brings its own last paragraph; the header keeps its mark after it.
    EXPECT_EQ(target->Sections().Item(1).Headers().Item(1).Range().Text(), "\x01 logo\r\r\r");
    auto& to = target->Package();
    const auto targetPart = detail::RangeAccess::Of(targetHeader)->story->Part();
    auto copied = to.Xml(targetPart).select_node("//a:blip").node();
    const auto rel = to.RelationshipById(targetPart, copied.attribute("r:embed").value());
    ASSERT_TRUE(rel);
    EXPECT_EQ(to.PartBytes(docx::Package::ResolveTarget(targetPart, rel->target)), kPng);
    // The header part declares the namespaces the picture uses.
    EXPECT_TRUE(to.Xml(targetPart).document_element().attribute("xmlns:pic"));
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

// Copies into another document are built in its tree and moved into place from there: nothing
// of them stays beside the content, the source keeps its own, and copies into the middle of a
// story (part of a paragraph, then blocks with a table) land where they are put with what
// follows them in step.
TEST(FormattedCopy, CopiesMovedIntoPlaceLeaveNothingBehind) {
    auto source = MakeTemplate();
    const std::string sourceText = source->Content().Text();
    auto target = MakeDocument(P("head") + P("tail"));
    // Text inserted at a range's start joins it: this one starts after the inserts.
    auto tail = target->Range(6, 9);
    ASSERT_EQ(tail.Text(), "ail");

    auto into = target->Range(2, 2);
    into.SetFormattedText(source->Range(0, 3));
    EXPECT_EQ(into.Text(), "Rep");
    EXPECT_EQ(target->Content().Text(), "heRepad\rtail\r");
    EXPECT_EQ(tail.Text(), "ail");

    auto before = target->Range(tail.Start() - 1, tail.Start() - 1);
    before.SetFormattedText(source->Content());
    EXPECT_EQ(tail.Text(), "ail");
    EXPECT_EQ(target->Content().Text(), "heRepad\r" + sourceText + "tail\r");
    EXPECT_EQ(target->Tables().Item(1).Cell(1, 2).Range().Text(), "name\r\a");
    EXPECT_TRUE(target->Bookmarks().Exists("tblDetail"));
    EXPECT_EQ(source->Content().Text(), sourceText);
    EXPECT_EQ(source->State()->Main().Root().select_nodes(".//w:tbl").size(), 1u);

    // The main part holds its document element and nothing else.
    const auto& tree = target->Package().Xml("word/document.xml");
    long elements = 0;
    for (auto child = tree.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element) ++elements;
    EXPECT_EQ(elements, 1);
    EXPECT_TRUE(tree.select_nodes("//fragment").empty());

    test::TempFolder folder;
    const auto path = folder.Path() / "moved.docx";
    target->SaveAs(path);
    EXPECT_EQ(Document::Open(path)->Content().Text(), target->Content().Text());
}

}  // namespace
}  // namespace paperloom::word
