// INCLUDEPICTURE: embedded and linked pictures at their natural size, relative paths, and
// missing or unreadable files shown as error results.

#include <gtest/gtest.h>

#include "FieldTestSupport.h"
#include "TestImages.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
namespace {

using test::FieldParagraph;
using test::MakeDocument;

constexpr const char* kImageRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

std::string Escaped(const std::filesystem::path& path) {
    std::string out;
    for (const char c : path.string()) {
        if (c == '\\') out += "\\\\";
        else out.push_back(c);
    }
    return out;
}

class PictureField : public ::testing::Test {
protected:
    void SetUp() override {
        image = folder.Path() / "red.png";
        test::WriteFile(image, test::RedPng());
    }
    test::TempFolder folder;
    std::filesystem::path image;
};

TEST_F(PictureField, EmbeddedAtNaturalSizeAndSharedAcrossUpdates) {
    auto doc = MakeDocument(FieldParagraph("INCLUDEPICTURE \"" + Escaped(image) + "\"", "old") +
                            FieldParagraph("IncludePicture \"" + Escaped(image) + "\" \\* MERGEFORMAT", ""));
    auto fields = FieldsOf(*doc);
    EXPECT_EQ(fields.Item(1).Type(), wdFieldIncludePicture);
    EXPECT_EQ(fields.Update(), 0);
    EXPECT_EQ(fields.Item(1).Result().Text(), "\x01");
    const auto root = doc->State()->Main().Root();
    const auto extents = root.select_nodes(".//wp:inline/wp:extent");
    ASSERT_EQ(extents.size(), 2u);
    const long long expected = 30LL * 914400 / 150;
    EXPECT_NEAR(extents.first().node().attribute("cx").as_llong(), expected, 200);
    EXPECT_NEAR(extents.first().node().attribute("cy").as_llong(), expected * 2 / 3, 200);

    // Both fields and a second update use one media part and one relationship.
    fields.Update();
    auto& package = doc->Package();
    int media = 0;
    for (const auto& name : package.PartNames())
        if (name.rfind("word/media/", 0) == 0) ++media;
    EXPECT_EQ(media, 1);
    const auto blips = root.select_nodes(".//a:blip");
    ASSERT_EQ(blips.size(), 2u);
    const std::string id = blips.first().node().attribute("r:embed").value();
    for (auto blip : blips) EXPECT_EQ(std::string(blip.node().attribute("r:embed").value()), id);
    const auto rel = package.RelationshipById(package.MainDocumentPart(), id);
    ASSERT_TRUE(rel);
    EXPECT_FALSE(rel->external);
    const auto part = docx::Package::ResolveTarget(package.MainDocumentPart(), rel->target);
    EXPECT_EQ(package.PartBytes(part), test::RedPng());
    EXPECT_EQ(package.ContentType(part), "image/png");

    // The picture survives save and reopen, and the file may go away afterwards.
    doc->SaveAs(folder.Path() / "embedded.docx");
    std::filesystem::remove(image);
    auto reopened = Document::Open(folder.Path() / "embedded.docx");
    EXPECT_EQ(FieldsOf(*reopened).Item(1).Result().Text(), "\x01");
    EXPECT_EQ(reopened->Package().PartBytes(part), test::RedPng());
}

TEST_F(PictureField, LinkedWithTheDSwitch) {
    auto doc = MakeDocument(FieldParagraph("IncludePicture \"" + Escaped(image) + "\" \\d", "old"));
    auto fields = FieldsOf(*doc);
    EXPECT_EQ(fields.Update(), 0);
    EXPECT_EQ(fields.Update(), 0);
    const auto root = doc->State()->Main().Root();
    const auto blip = root.select_node(".//a:blip").node();
    ASSERT_TRUE(blip);
    EXPECT_FALSE(blip.attribute("r:embed"));
    const std::string id = blip.attribute("r:link").value();
    auto& package = doc->Package();
    const auto rel = package.RelationshipById(package.MainDocumentPart(), id);
    ASSERT_TRUE(rel);
    EXPECT_TRUE(rel->external);
    EXPECT_EQ(rel->type, kImageRel);
    EXPECT_EQ(rel->target, "file://" + image.string());
    int links = 0;
    for (const auto& r : package.Relationships(package.MainDocumentPart())) links += r.external ? 1 : 0;
    EXPECT_EQ(links, 1);  // updating again reuses the link
    for (const auto& name : package.PartNames()) EXPECT_NE(name.rfind("word/media/", 0), 0u) << name;

    // The external relationship is saved with its target mode.
    doc->SaveAs(folder.Path() / "linked.docx");
    auto reopened = Document::Open(folder.Path() / "linked.docx");
    const auto saved = reopened->Package().PartBytes("word/_rels/document.xml.rels");
    EXPECT_NE(saved.find("TargetMode=\"External\""), std::string::npos);
}

TEST_F(PictureField, RelativePathsResolveAgainstTheDocumentFolder) {
    std::filesystem::create_directories(folder.Path() / "pics");
    test::WriteFile(folder.Path() / "pics" / "red.png", test::RedPng());
    {
        auto doc = MakeDocument(FieldParagraph("INCLUDEPICTURE \"pics\\\\red.png\"", "x"));
        doc->SaveAs(folder.Path() / "relative.docx");
    }
    auto doc = Document::Open(folder.Path() / "relative.docx");
    EXPECT_EQ(FieldsOf(*doc).Update(), 0);
    EXPECT_EQ(FieldsOf(*doc).Item(1).Result().Text(), "\x01");
}

TEST_F(PictureField, PictureInAHeaderRelatesFromTheHeaderPart) {
    auto doc = MakeDocument(test::P("body"));
    auto header = doc->Sections().Item(1).Headers().Item(1).Range();
    FieldsOf(header).Add(header, wdFieldIncludePicture, "\"" + Escaped(image) + "\"");
    auto& package = doc->Package();
    std::string headerPart;
    for (const auto& name : package.PartNames())
        if (name.rfind("word/header", 0) == 0 && name.find(".rels") == std::string::npos) headerPart = name;
    ASSERT_FALSE(headerPart.empty());
    const auto blip = package.Xml(headerPart).select_node("//a:blip").node();
    ASSERT_TRUE(blip);
    const auto rel = package.RelationshipById(headerPart, blip.attribute("r:embed").value());
    ASSERT_TRUE(rel);
    EXPECT_EQ(package.PartBytes(docx::Package::ResolveTarget(headerPart, rel->target)), test::RedPng());
}

TEST_F(PictureField, MissingOrUnreadableFilesShowErrors) {
    test::WriteFile(folder.Path() / "fake.png", "not a picture at all");
    auto doc = MakeDocument(FieldParagraph("INCLUDEPICTURE \"" + Escaped(folder.Path() / "none.png") + "\"", "x") +
                            FieldParagraph("INCLUDEPICTURE \"" + Escaped(folder.Path() / "fake.png") + "\" \\d", "x") +
                            FieldParagraph("INCLUDEPICTURE \"" + Escaped(folder.Path()) + "\"", "x") +
                            FieldParagraph("INCLUDEPICTURE \"" + Escaped(image) + "\"", "x"));
    auto fields = FieldsOf(*doc);
    EXPECT_EQ(fields.Update(), 1);
    for (long i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        const auto text = fields.Item(i).Result().Text();
        EXPECT_EQ(text.substr(0, 1), "!");
    }
    EXPECT_NE(fields.Item(1).Result().Text().find("none.png"), std::string::npos);
    EXPECT_EQ(fields.Item(4).Result().Text(), "\x01");  // the good one still computes
    // No relationship is left behind for the failures.
    int images = 0;
    for (const auto& r : doc->Package().Relationships(doc->Package().MainDocumentPart()))
        images += r.type == kImageRel ? 1 : 0;
    EXPECT_EQ(images, 1);
}

}  // namespace
}  // namespace paperloom::word
