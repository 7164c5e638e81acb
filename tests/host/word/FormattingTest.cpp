// Character and paragraph formatting through ranges, and document snapshots for undo.

#include <gtest/gtest.h>

#include <map>

#include "WordTestSupport.h"
#include "host/HostError.h"

namespace paperloom::word {
namespace {

std::string Body(const std::shared_ptr<Document>& doc) { return doc->Package().PartBytes("word/document.xml"); }

// The styles part with a bold paragraph style and a default size of 11 points.
std::shared_ptr<Document> WithBoldStyle(std::string_view body) {
    auto package = docx::Package::CreateBlank();
    const auto part = *package.MainRelatedPart(docx::reltype::styles);
    std::string styles = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                         R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                         R"(<w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val="22"/></w:rPr></w:rPrDefault></w:docDefaults>)"
                         R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>)"
                         R"(<w:style w:type="paragraph" w:styleId="Strong"><w:name w:val="Strong"/><w:basedOn w:val="Normal"/>)"
                         R"(<w:pPr><w:jc w:val="center"/></w:pPr><w:rPr><w:b/></w:rPr></w:style></w:styles>)";
    package.SetPartBytes(part, styles, package.ContentType(part));
    return test::MakeDocumentIn(std::move(package), body);
}

TEST(FormattingTest, FontReadsThroughStylesAndWritesInSchemaOrder) {
    auto doc = WithBoldStyle(R"(<w:p><w:pPr><w:pStyle w:val="Strong"/></w:pPr><w:r><w:t>title</w:t></w:r></w:p>)"
                             R"(<w:p><w:r><w:rPr><w:vanish/><w:sz w:val="28"/></w:rPr><w:t>ab</w:t></w:r>)"
                             R"(<w:r><w:t>cd</w:t></w:r></w:p>)");
    auto title = doc->Range(0, 5);
    EXPECT_EQ(title.Font().Bold(), wdTrue);  // from the paragraph style
    EXPECT_FLOAT_EQ(title.Font().Size(), 11.0f);  // from the defaults
    EXPECT_EQ(doc->Range(6, 10).Font().Size(), static_cast<float>(wdUndefined));  // 14 and 11
    EXPECT_EQ(doc->Range(6, 10).Font().Bold(), wdFalse);

    // Off where the style turns it on is written off, not just left out.
    title.Font().SetBold(false);
    EXPECT_EQ(title.Font().Bold(), wdFalse);
    EXPECT_NE(Body(doc).find(R"(<w:b w:val="0"/>)"), std::string::npos);

    // Part of a run: the run is split, the new elements go in the schema's places.
    auto b = doc->Range(7, 9);  // "bc" across both runs
    b.Font().SetBold(true);
    b.Font().SetName("Arial");
    b.Font().SetNameFarEast("MS Mincho");
    b.Font().SetUnderline(wdUnderlineDouble);
    b.Font().SetColor(0x0000FF);  // red, as 0xBBGGRR
    b.Font().SetSize(9.5f);
    EXPECT_EQ(b.Font().Bold(), wdTrue);
    EXPECT_EQ(b.Font().Name(), "Arial");
    EXPECT_EQ(b.Font().NameFarEast(), "MS Mincho");
    EXPECT_EQ(b.Font().Underline(), wdUnderlineDouble);
    EXPECT_EQ(b.Font().Color(), 0x0000FF);
    EXPECT_FLOAT_EQ(b.Font().Size(), 9.5f);
    EXPECT_EQ(doc->Range(6, 7).Font().Bold(), wdFalse);  // "a" kept as it was
    EXPECT_EQ(doc->Range(6, 8).Font().Bold(), wdUndefined);
    EXPECT_EQ(doc->Range(6, 7).Font().Hidden(), wdTrue);
    const auto body = Body(doc);
    EXPECT_NE(body.find(R"(<w:rPr><w:rFonts w:ascii="Arial" w:hAnsi="Arial" w:eastAsia="MS Mincho"/><w:b/>)"
                        R"(<w:vanish/><w:color w:val="FF0000"/><w:sz w:val="19"/><w:szCs w:val="19"/>)"
                        R"(<w:u w:val="double"/></w:rPr><w:t xml:space="preserve">b</w:t>)"),
              std::string::npos)
        << body;
    auto all = doc->Range(6, 10);
    all.TextRetrievalMode().SetIncludeHiddenText(true);
    EXPECT_EQ(all.Text(), "abcd");
    EXPECT_THROW(b.Font().SetSize(0.0f), host::HostError);
}

TEST(FormattingTest, AlignmentOfEveryParagraphTouched) {
    auto doc = WithBoldStyle(R"(<w:p><w:pPr><w:pStyle w:val="Strong"/></w:pPr><w:r><w:t>one</w:t></w:r></w:p>)"
                             R"(<w:p><w:pPr><w:rPr><w:b/></w:rPr></w:pPr><w:r><w:t>two</w:t></w:r></w:p>)" +
                             test::P("three"));
    EXPECT_EQ(doc->Range(0, 0).ParagraphFormat().Alignment(), wdAlignParagraphCenter);  // the style's
    EXPECT_EQ(doc->Range(0, 5).ParagraphFormat().Alignment(), wdUndefined);
    auto caret = doc->Range(5, 5);  // in "two"
    caret.ParagraphFormat().SetAlignment(wdAlignParagraphRight);
    EXPECT_EQ(doc->Range(4, 8).ParagraphFormat().Alignment(), wdAlignParagraphRight);
    // Before the mark's run properties, as the schema orders them.
    EXPECT_NE(Body(doc).find(R"(<w:pPr><w:jc w:val="right"/><w:rPr><w:b/></w:rPr></w:pPr>)"), std::string::npos);
    EXPECT_EQ(doc->Range(8, 10).ParagraphFormat().Alignment(), wdAlignParagraphLeft);
    doc->Content().ParagraphFormat().SetAlignment(wdAlignParagraphJustify);
    EXPECT_EQ(doc->Content().ParagraphFormat().Alignment(), wdAlignParagraphJustify);
    EXPECT_THROW(caret.ParagraphFormat().SetAlignment(42), host::HostError);
}

std::map<std::string, std::string> Parts(const std::shared_ptr<Document>& doc) {
    std::map<std::string, std::string> parts;
    for (const auto& name : doc->Package().PartNames()) parts[name] = doc->Package().PartBytes(name);
    return parts;
}

TEST(FormattingTest, SnapshotRestoresEveryPartExactlyAndKeepsRanges) {
    auto doc = test::MakeDocument(test::P("first") + test::TableXml({{test::TextRun("a"), test::TextRun("b")}}) +
                                  test::P("last 日本"));
    auto kept = doc->Range(14, 16);  // moved on by the edits below, kept within the text
    const auto before = doc->Snapshot();
    const auto partsBefore = Parts(doc);

    // Edits in the main text, a new header part, a variable in the settings.
    doc->Range(0, 0).InsertBefore("new\r");
    doc->Tables().Add(doc->Range(6, 6), 2, 2);
    doc->Sections().First().Headers().Item(wdHeaderFooterPrimary).Range().SetText("header");
    doc->Variables().Add("x", "1");
    doc->Range(3, 9).Font().SetBold(true);
    const auto after = doc->Snapshot(&before);
    const auto partsAfter = Parts(doc);
    ASSERT_NE(partsAfter, partsBefore);
    // The parts no edit reached are shared, not copied.
    EXPECT_LT(after.BytesNotIn(&before), before.BytesNotIn(nullptr));

    doc->Restore(before);
    EXPECT_EQ(Parts(doc), partsBefore);
    EXPECT_LE(kept.End(), kept.StoryLength());
    EXPECT_NO_THROW(kept.Text());
    EXPECT_EQ(doc->Content().Text(), "first\ra\r\ab\r\a\r\alast 日本\r");

    doc->Restore(after);
    EXPECT_EQ(Parts(doc), partsAfter);
    EXPECT_EQ(doc->Sections().First().Headers().Item(wdHeaderFooterPrimary).Range().Text(), "header\r");
    // The model works on the restored trees as on freshly opened ones.
    doc->Content().InsertAfter("end");
    doc->Tables().Item(1).Cell(2, 2).Range().SetText("cell");
    const auto reread = Document::Create(docx::Package::OpenFromMemory(doc->Package().SaveToMemory()), "copy");
    EXPECT_EQ(reread->Content().Text(), doc->Content().Text());
    doc->Restore(before);
    EXPECT_EQ(Parts(doc), partsBefore);
    EXPECT_EQ(doc->Sections().First().Headers().Item(wdHeaderFooterPrimary).Range().Text(), "\r");
}


// A text box saved in both forms: its stories are dropped on restore and found again, and the
// legacy copy still follows edits made after it.
TEST(FormattingTest, TextBoxesWorkAfterRestore) {
    const auto box = [](const std::string& wrapper, const std::string& text) {
        return wrapper == "wps" ? "<wps:wsp><wps:txbx><w:txbxContent>" + test::P(text) +
                                      "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp>"
                                : "<v:shape><v:textbox><w:txbxContent>" + test::P(text) +
                                      "</w:txbxContent></v:textbox></v:shape>";
    };
    auto doc = test::MakeDocument(
        "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor><wp:docPr id=\"1\" "
        "name=\"Box\"/><a:graphic><a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/"
        "wordprocessingShape\">" + box("wps", "inside") + "</a:graphicData></a:graphic></wp:anchor></w:drawing>"
        "</mc:Choice><mc:Fallback><w:pict>" + box("v", "inside") + "</w:pict></mc:Fallback></mc:AlternateContent>"
        "</w:r><w:r><w:t>main</w:t></w:r></w:p>");
    auto text = doc->Shapes().Item(1).TextFrame().TextRange();
    const auto before = doc->Snapshot();
    text.SetText("edited");
    const auto after = doc->Snapshot(&before);
    doc->Restore(before);
    std::map<std::string, std::string> partsBefore;
    for (const auto& part : before.Parts()) partsBefore[part.name] = *part.bytes;
    EXPECT_EQ(Parts(doc), partsBefore);
    EXPECT_THROW(text.Text(), host::HostError);  // the old story is gone, not stale
    EXPECT_EQ(doc->Shapes().Item(1).TextFrame().TextRange().Text(), "inside\r");
    doc->Restore(after);
    auto again = doc->Shapes().Item(1).TextFrame().TextRange();
    EXPECT_EQ(again.Text(), "edited\r");
    again.SetText("edited twice");
    const auto snapshot = doc->Snapshot();
    const auto body = snapshot.PartBytes("word/document.xml");
    ASSERT_TRUE(body);
    // Both forms hold the new text.
    std::size_t count = 0;
    for (auto at = body->find("edited twice"); at != std::string_view::npos; at = body->find("edited twice", at + 1))
        ++count;
    EXPECT_EQ(count, 2u);
}

}  // namespace
}  // namespace paperloom::word
