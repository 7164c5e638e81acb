// Cutting a print document into chunks of page groups for parallel rendering: where the cuts
// fall, what a chunk keeps of the whole (headers lent by earlier sections, no trailing break,
// no first-page header in the middle of a section), and the documents that must not be cut.

#include <gtest/gtest.h>

#include <string>

#include "PageChunks.h"
#include "host/docx/Package.h"
#include "host/docx/XmlNames.h"
#include "support/TestFiles.h"

namespace paperloom::cli::test {
namespace {

namespace fs = std::filesystem;
namespace names = docx::names;

std::string Paragraph(const std::string& text, bool pageBreak = false, const std::string& properties = "") {
    return "<w:p>" + properties + "<w:r><w:t>" + text + "</w:t></w:r>" +
           (pageBreak ? "<w:r><w:br w:type=\"page\"/></w:r>" : "") + "</w:p>";
}

// A document with `body` as its main text and a header part "header1.xml", which the body
// names as "HEADER".
fs::path MakeDocument(const fs::path& path, std::string body) {
    auto package = docx::Package::CreateBlank();
    package.SetPartBytes("word/header1.xml",
                         "<w:hdr xmlns:w=\"" + std::string(names::ns::w) + "\">" + Paragraph("Head") + "</w:hdr>",
                         names::contenttype::header);
    const std::string id = package.AddRelationship("word/document.xml", docx::reltype::header, "header1.xml");
    for (auto at = body.find("HEADER"); at != std::string::npos; at = body.find("HEADER")) body.replace(at, 6, id);
    package.SetPartBytes("word/document.xml",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\"" + std::string(names::ns::w) +
                             "\" xmlns:r=\"" + std::string(names::ns::r) + "\"><w:body>" + body + "</w:body></w:document>",
                         names::contenttype::mainDocument);
    package.Save(path);
    return path;
}

std::string MainText(const fs::path& path) {
    return docx::Package::Open(path).PartBytes("word/document.xml");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(PageChunks, ChunksKeepTheirGroupsWithTheSectionSettingsTheyHaveInTheWhole) {
    const paperloom::test::ScratchFolder scratch("paperloom-chunks");
    // Section 1 (groups A, B): a default and a first-page header. Section 2 (groups C, D, E)
    // names no header and so shows section 1's; a break inside a table cell is no cut.
    const std::string header = "<w:headerReference w:type=\"default\" r:id=\"HEADER\"/>"
                               "<w:headerReference w:type=\"first\" r:id=\"HEADER\"/>";
    const std::string firstSection = "<w:pPr><w:sectPr>" + header + "<w:titlePg/></w:sectPr></w:pPr>";
    const std::string body =
        Paragraph("A1") + Paragraph("A2", true) + Paragraph("B1", false, firstSection) + Paragraph("C1", true) +
        "<w:tbl><w:tr><w:tc>" + Paragraph("in cell", true) + "</w:tc></w:tr></w:tbl>" + Paragraph("D1", true) +
        Paragraph("E1") + "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";
    const fs::path whole = MakeDocument(scratch.Path() / "whole.docx", body);

    PageChunks chunks(whole);
    EXPECT_EQ(chunks.Obstacle(), "");
    ASSERT_EQ(chunks.GroupCount(), 4U) << "A | B C | table D | E";

    chunks.Write(0, 1, scratch.Path() / "a.docx");
    const std::string a = MainText(scratch.Path() / "a.docx");
    EXPECT_NE(a.find("A2"), std::string::npos);
    EXPECT_EQ(a.find("B1"), std::string::npos);
    EXPECT_EQ(Count(a, "w:type=\"page\""), 0U) << "no empty page after the chunk's last group: " << a;
    // A's pages are governed by section 1's settings, first-page header included.
    EXPECT_NE(a.find("<w:titlePg"), std::string::npos) << a;
    EXPECT_EQ(Count(a, "<w:sectPr"), 1U) << a;

    chunks.Write(1, 3, scratch.Path() / "bcd.docx");
    const std::string bcd = MainText(scratch.Path() / "bcd.docx");
    EXPECT_EQ(bcd.find("A2"), std::string::npos);
    for (const char* text : {"B1", "C1", "in cell", "D1"}) EXPECT_NE(bcd.find(text), std::string::npos) << text;
    EXPECT_EQ(bcd.find("E1"), std::string::npos);
    EXPECT_EQ(Count(bcd, "w:type=\"page\""), 2U) << "C's and the cell's breaks stay, D's goes: " << bcd;
    // B starts in the middle of section 1: its first page is no first page of a section.
    EXPECT_EQ(bcd.find("<w:titlePg"), std::string::npos) << bcd;

    chunks.Write(3, 4, scratch.Path() / "e.docx");
    const std::string e = MainText(scratch.Path() / "e.docx");
    EXPECT_NE(e.find("E1"), std::string::npos);
    // Section 2 shows section 1's default and first-page headers in the whole; the chunk names
    // them itself, without section 1's first-page switch.
    EXPECT_EQ(Count(e, "<w:headerReference"), 2U) << e;
    EXPECT_EQ(e.find("<w:titlePg"), std::string::npos) << e;
    EXPECT_NE(e.find("w:pgSz"), std::string::npos) << "section 2's own settings: " << e;
    // A chunk is a whole document: it opens and still has its header part.
    EXPECT_TRUE(docx::Package::Open(scratch.Path() / "e.docx").HasPart("word/header1.xml"));

    EXPECT_THROW(chunks.Write(2, 2, scratch.Path() / "none.docx"), std::out_of_range);
    EXPECT_THROW(chunks.Write(3, 5, scratch.Path() / "none.docx"), std::out_of_range);
}

TEST(PageChunks, DocumentsWhosePagesCountOnAreNotCut) {
    const paperloom::test::ScratchFolder scratch("paperloom-chunks");
    const std::string groups = Paragraph("one", true) + Paragraph("two");
    const std::string pageField = "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> page \\* MERGEFORMAT</w:instrText></w:r>"
                                  "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    const std::string withHeader = "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"HEADER\"/></w:sectPr>";

    EXPECT_EQ(PageChunks(MakeDocument(scratch.Path() / "plain.docx", groups + withHeader)).Obstacle(), "");
    // The same header part with a page number in it.
    auto package = docx::Package::Open(scratch.Path() / "plain.docx");
    package.SetPartBytes("word/header1.xml",
                         "<w:hdr xmlns:w=\"" + std::string(names::ns::w) + "\">" + pageField + "</w:hdr>",
                         names::contenttype::header);
    package.Save(scratch.Path() / "page-header.docx");
    EXPECT_NE(PageChunks(scratch.Path() / "page-header.docx").Obstacle(), "");

    EXPECT_NE(PageChunks(MakeDocument(scratch.Path() / "page-text.docx",
                                      groups + "<w:p><w:fldSimple w:instr=\" NUMPAGES \"/></w:p>"))
                  .Obstacle(),
              "");
    EXPECT_NE(PageChunks(MakeDocument(scratch.Path() / "notes.docx",
                                      groups + "<w:p><w:r><w:footnoteReference w:id=\"1\"/></w:r></w:p>"))
                  .Obstacle(),
              "");
    EXPECT_NE(PageChunks(MakeDocument(scratch.Path() / "odd.docx",
                                      groups + "<w:sectPr><w:type w:val=\"oddPage\"/></w:sectPr>"))
                  .Obstacle(),
              "");
    // A numbered paragraph counts on only where the document defines lists.
    const std::string numbered = groups + "<w:p><w:pPr><w:numPr><w:numId w:val=\"1\"/></w:numPr></w:pPr></w:p>";
    EXPECT_EQ(PageChunks(MakeDocument(scratch.Path() / "no-lists.docx", numbered)).Obstacle(), "");
    package = docx::Package::Open(MakeDocument(scratch.Path() / "lists.docx", numbered));
    package.SetPartBytes("word/numbering.xml", "<w:numbering xmlns:w=\"" + std::string(names::ns::w) + "\"/>",
                         names::contenttype::numbering);
    package.AddRelationship("word/document.xml", docx::reltype::numbering, "numbering.xml");
    package.Save(scratch.Path() / "lists.docx");
    EXPECT_NE(PageChunks(scratch.Path() / "lists.docx").Obstacle(), "");
}

}  // namespace
}  // namespace paperloom::cli::test
