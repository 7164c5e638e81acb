#include "host/docx/Package.h"
#include "host/docx/XmlCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace paperloom::docx {
namespace {

std::span<const std::byte> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

std::string TextOf(const pugi::xml_document& doc, const char* xpath) {
    return doc.select_node(xpath).node().text().get();
}

TEST(PackageBlank, ReopensWithItsMainPartsAndRelationships) {
    const Package blank = Package::CreateBlank();
    const std::vector<std::byte> bytes = blank.SaveToMemory();
    Package reopened = Package::OpenFromMemory(bytes);

    EXPECT_EQ(reopened.MainDocumentPart(), "word/document.xml");
    EXPECT_EQ(reopened.MainRelatedPart(reltype::styles), "word/styles.xml");
    EXPECT_EQ(reopened.MainRelatedPart(reltype::settings), "word/settings.xml");
    EXPECT_EQ(reopened.MainRelatedPart(reltype::fontTable), "word/fontTable.xml");
    EXPECT_EQ(reopened.MainRelatedPart(reltype::webSettings), "word/webSettings.xml");
    EXPECT_FALSE(reopened.MainRelatedPart(reltype::numbering).has_value());
    EXPECT_EQ(reopened.PartNames(), blank.PartNames());
    for (const std::string& name : blank.PartNames()) {
        EXPECT_EQ(reopened.PartBytes(name), blank.PartBytes(name)) << name;
    }

    const pugi::xml_document& doc = reopened.Xml("word/document.xml");
    const pugi::xml_node sect = doc.select_node("/w:document/w:body/w:sectPr").node();
    EXPECT_STREQ(sect.child("w:pgSz").attribute("w:w").value(), "11906");  // A4 portrait
    EXPECT_STREQ(sect.child("w:pgSz").attribute("w:h").value(), "16838");
    EXPECT_TRUE(doc.select_node("/w:document/w:body/w:p"));

    const pugi::xml_document& styles = reopened.Xml("word/styles.xml");
    EXPECT_TRUE(styles.select_node("//w:style[w:name/@w:val='Normal'][@w:default='1']"));
    EXPECT_TRUE(styles.select_node("//w:style[w:name/@w:val='Table Grid']"));
    EXPECT_TRUE(styles.select_node("//w:style[w:name/@w:val='Normal Table'][@w:default='1']"));
    EXPECT_STREQ(styles.select_node("//w:docDefaults//w:rFonts").node().attribute("w:eastAsia").value(),
                 "ＭＳ 明朝");

    const pugi::xml_document& settings = reopened.Xml("word/settings.xml");
    EXPECT_TRUE(settings.select_node("/w:settings/w:defaultTabStop"));
    EXPECT_TRUE(settings.select_node("/w:settings/w:characterSpacingControl"));
    EXPECT_TRUE(settings.select_node("//w:compatSetting[@w:name='compatibilityMode'][@w:val='15']"));

    EXPECT_EQ(reopened.ContentType("word/document.xml"),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    EXPECT_EQ(reopened.ContentType("docProps/core.xml"),
              "application/vnd.openxmlformats-package.core-properties+xml");
}

TEST(PackageBlank, SavedBytesStartWithContentTypesAndRepeatExactly) {
    const Package blank = Package::CreateBlank();
    const std::vector<std::byte> first = blank.SaveToMemory();
    const std::vector<std::byte> second = blank.SaveToMemory();
    EXPECT_EQ(first, second);
    // The first local header names [Content_Types].xml.
    ASSERT_GT(first.size(), 30u + 19u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(first.data()) + 30, 19), "[Content_Types].xml");
}

TEST(PackageXml, EditedTreeIsSavedAndUntouchedPartsKeepTheirBytes) {
    Package pkg = Package::CreateBlank();
    const std::string stylesBefore = pkg.PartBytes("word/styles.xml");
    // Read-only access must not rewrite a part.
    const Package& view = pkg;
    (void)view.Xml("word/styles.xml");

    pugi::xml_document& doc = pkg.Xml("word/document.xml");
    pugi::xml_node p = doc.select_node("/w:document/w:body/w:p").node();
    pugi::xml_node t = p.append_child("w:r").append_child("w:t");
    t.append_attribute("xml:space") = "preserve";
    t.text() = " 請求書 & <total> ";

    Package reopened = Package::OpenFromMemory(pkg.SaveToMemory());
    EXPECT_EQ(reopened.PartBytes("word/styles.xml"), stylesBefore);
    EXPECT_EQ(TextOf(reopened.Xml("word/document.xml"), "//w:t"), " 請求書 & <total> ");
    EXPECT_TRUE(reopened.PartBytes("word/document.xml").starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
}

TEST(PackageXml, WhitespaceOnlyTextAndCommentsSurvive) {
    Package pkg = Package::CreateBlank();
    pkg.SetPartBytes("word/custom.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                     "<!-- kept --><w:r xmlns:w=\"urn:w\"><w:t xml:space=\"preserve\"> </w:t>\n  <?pi data?></w:r>",
                     "application/xml");
    (void)pkg.Xml("word/custom.xml");  // parsed for writing: saved from the tree
    Package reopened = Package::OpenFromMemory(pkg.SaveToMemory());
    const std::string saved = reopened.PartBytes("word/custom.xml");
    EXPECT_NE(saved.find("<!-- kept -->"), std::string::npos);
    EXPECT_NE(saved.find("<w:t xml:space=\"preserve\"> </w:t>"), std::string::npos);
    EXPECT_NE(saved.find("<?pi data?>"), std::string::npos);
    EXPECT_NE(saved.find("standalone=\"yes\""), std::string::npos);
}

TEST(PackageXml, CharacterReferencesForLineEndsSurviveASave) {
    Package pkg = Package::CreateBlank();
    pkg.SetPartBytes("word/custom.xml", "<r v=\"a&#13;&#10;b\">one&#13;two&#13;&#10;three\r\nfour</r>",
                     "application/xml");
    (void)pkg.Xml("word/custom.xml");
    Package reopened = Package::OpenFromMemory(pkg.SaveToMemory());
    const pugi::xml_node root = reopened.Xml("word/custom.xml").document_element();
    EXPECT_STREQ(root.text().get(), "one\rtwo\r\nthree\nfour");  // a raw line end reads as one \n
    EXPECT_STREQ(root.attribute("v").value(), "a\r\nb");

    // A byte-order mark and a doctype's own line ends are written as they came.
    const std::string withBom = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [\r\n]>\r\n<r>x</r>";
    pkg.SetPartBytes("word/bom.xml", withBom, "application/xml");
    (void)pkg.Xml("word/bom.xml");
    EXPECT_EQ(pkg.PartBytes("word/bom.xml"), "\xEF\xBB\xBF<?xml version=\"1.0\"?><!DOCTYPE r [\r\n]><r>x</r>");
}

TEST(PackageXml, ControlCharactersXmlCannotHoldAreDroppedOnSave) {
    Package pkg = Package::CreateBlank();
    pugi::xml_node t = pkg.Xml("word/document.xml").select_node("//w:p").node().append_child("w:r").append_child("w:t");
    t.text() = "A\x01" "B\x0b\x1f\tC";
    t.append_attribute("w:x") = "\x02y";
    const std::string saved = Package::OpenFromMemory(pkg.SaveToMemory()).PartBytes("word/document.xml");
    EXPECT_NE(saved.find("<w:t w:x=\"y\">AB\tC</w:t>"), std::string::npos) << saved;
}

TEST(PackageXml, ReferencesToControlCharactersAreDroppedWhereverTheOutputIsCut) {
    // What the XML writer hands over, cut into two pieces at every offset: a reference of a
    // control character is dropped even when the cut falls inside it; everything else stays.
    const std::string written = "a\x1b&#27;b&#9;c&#13;d\re&amp;#1;f&#1234567;g&#;h&&#31;i&#0032;";
    const std::string wanted = "ab&#9;c&#13;d&#13;e&amp;#1;f&#1234567;g&#;h&i&#0032;";
    for (std::size_t cut = 0; cut <= written.size(); ++cut) {
        std::string out;
        xml::Xml10Writer writer(out);
        writer.write(written.data(), cut);
        writer.write(written.data() + cut, written.size() - cut);
        writer.Finish();
        EXPECT_EQ(out, wanted) << "cut at " << cut;
    }
}

TEST(PackageParts, LookupIgnoresCaseAndLeadingSlash) {
    Package pkg = Package::CreateBlank();
    EXPECT_TRUE(pkg.HasPart("WORD/Document.XML"));
    EXPECT_TRUE(pkg.HasPart("/word/document.xml"));
    EXPECT_EQ(pkg.ContentType("/Word/Styles.xml"),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
    // A relationship target may percent-encode what the entry name spells out.
    pkg.SetPartBytes("word/media/画像 1.png", "png", "image/png");
    EXPECT_TRUE(pkg.HasPart(Package::ResolveTarget("word/document.xml", "media/%E7%94%BB%E5%83%8F%201.png")));
    EXPECT_EQ(pkg.ContentType("word/media/%E7%94%BB%E5%83%8F%201.PNG"), "image/png");
    EXPECT_THROW(pkg.Xml("word/none.xml"), PackageError);
    EXPECT_THROW(pkg.PartBytes("word/none.xml"), PackageError);
}

TEST(PackageParts, SetPartBytesUsesDefaultsOrOverrides) {
    Package pkg = Package::CreateBlank();
    // "xml" has a Default of application/xml: no Override is needed for it.
    pkg.SetPartBytes("customXml/item1.xml", "<a/>", "application/xml");
    EXPECT_EQ(pkg.PartBytes("[Content_Types].xml").find("/customXml/item1.xml"), std::string::npos);
    EXPECT_EQ(pkg.ContentType("customXml/item1.xml"), "application/xml");

    pkg.SetPartBytes("word/media/image1.png", "\x89PNG", "image/png");
    EXPECT_EQ(pkg.ContentType("word/media/image1.png"), "image/png");
    EXPECT_EQ(pkg.PartBytes("word/media/image1.png"), "\x89PNG");
    EXPECT_EQ(pkg.UniquePartName("word/media/image", "png"), "word/media/image2.png");

    // Replacing keeps one part and updates its type.
    pkg.SetPartBytes("word/media/IMAGE1.png", "new", "image/x-other");
    const std::vector<std::string> names = pkg.PartNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "word/media/image1.png"), 1);
    EXPECT_EQ(pkg.PartBytes("word/media/image1.png"), "new");
    EXPECT_EQ(pkg.ContentType("word/media/image1.png"), "image/x-other");

    Package reopened = Package::OpenFromMemory(pkg.SaveToMemory());
    EXPECT_EQ(reopened.ContentType("word/media/image1.png"), "image/x-other");

    pkg.RemovePart("word/media/image1.png");
    EXPECT_FALSE(pkg.HasPart("word/media/image1.png"));
    EXPECT_EQ(pkg.PartBytes("[Content_Types].xml").find("image1.png"), std::string::npos);
}

TEST(PackageRelationships, AddFindRemove) {
    Package pkg = Package::CreateBlank();
    const std::string main = pkg.MainDocumentPart();
    pkg.SetPartBytes("word/media/image1.png", "png", "image/png");
    const std::string id = pkg.AddRelationship(main, reltype::image, "media/image1.png");
    EXPECT_EQ(id, "rId5");  // the blank document uses rId1..rId4
    const std::string link = pkg.AddRelationship(main, reltype::hyperlink, "https://example.com/a b", true);
    EXPECT_NE(link, id);

    Package reopened = Package::OpenFromMemory(pkg.SaveToMemory());
    const auto rel = reopened.RelationshipById(main, id);
    ASSERT_TRUE(rel.has_value());
    EXPECT_EQ(rel->type, reltype::image);
    EXPECT_EQ(Package::ResolveTarget(main, rel->target), "word/media/image1.png");
    EXPECT_FALSE(rel->external);
    EXPECT_TRUE(reopened.RelationshipById(main, link)->external);

    reopened.RemoveRelationship(main, id);
    EXPECT_FALSE(reopened.RelationshipById(main, id).has_value());
    EXPECT_TRUE(reopened.RelationshipById(main, link).has_value());
    reopened.RemoveRelationship(main, "rId999");  // unknown id: nothing happens

    // A part without relationships gets its own relationships part on first use.
    pkg.SetPartBytes("word/header1.xml", "<w:hdr xmlns:w=\"urn:w\"/>",
                     "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml");
    EXPECT_TRUE(pkg.Relationships("word/header1.xml").empty());
    EXPECT_EQ(pkg.AddRelationship("word/header1.xml", reltype::image, "media/image1.png"), "rId1");
    EXPECT_TRUE(pkg.HasPart("word/_rels/header1.xml.rels"));
    pkg.RemovePart("word/header1.xml");
    EXPECT_FALSE(pkg.HasPart("word/_rels/header1.xml.rels"));
}

TEST(PackageRelationships, TargetsResolveAndRelativise) {
    EXPECT_EQ(Package::ResolveTarget("word/document.xml", "media/image1.png"), "word/media/image1.png");
    EXPECT_EQ(Package::ResolveTarget("word/document.xml", "../customXml/item1.xml"), "customXml/item1.xml");
    EXPECT_EQ(Package::ResolveTarget("word/document.xml", "/word/styles.xml"), "word/styles.xml");
    EXPECT_EQ(Package::ResolveTarget("", "word/document.xml"), "word/document.xml");
    EXPECT_EQ(Package::ResolveTarget("word/document.xml", "./theme/../styles.xml"), "word/styles.xml");
    EXPECT_EQ(Package::ResolveTarget("word/document.xml", "../../../x.xml"), "x.xml");

    EXPECT_EQ(Package::RelativeTarget("word/document.xml", "word/media/image1.png"), "media/image1.png");
    EXPECT_EQ(Package::RelativeTarget("word/document.xml", "customXml/item1.xml"), "../customXml/item1.xml");
    EXPECT_EQ(Package::RelativeTarget("", "word/document.xml"), "word/document.xml");
    EXPECT_EQ(Package::RelativeTarget("word/glossary/document.xml", "word/styles.xml"), "../styles.xml");
    for (const char* part : {"word/media/a.png", "docProps/app.xml", "word/x.xml", "y.xml"}) {
        for (const char* source : {"", "word/document.xml", "word/glossary/document.xml"}) {
            EXPECT_EQ(Package::ResolveTarget(source, Package::RelativeTarget(source, part)), part)
                << source << " -> " << part;
        }
    }
}

TEST(PackageClone, IsIndependent) {
    Package pkg = Package::CreateBlank();
    pkg.Xml("word/document.xml").document_element().append_attribute("marker") = "1";
    Package copy = pkg.Clone();
    copy.Xml("word/document.xml").document_element().attribute("marker") = "2";
    copy.SetPartBytes("word/extra.bin", "x", "application/octet-stream");
    EXPECT_STREQ(pkg.Xml("word/document.xml").document_element().attribute("marker").value(), "1");
    EXPECT_FALSE(pkg.HasPart("word/extra.bin"));
    EXPECT_NE(Package::OpenFromMemory(copy.SaveToMemory()).PartBytes("word/document.xml").find("marker=\"2\""),
              std::string::npos);
}

TEST(PackageXml, MalformedPartIsRefusedWhenAskedFor) {
    Package pkg = Package::CreateBlank();
    pkg.SetPartBytes("word/broken.xml", "<a><b></a>", "application/xml");
    EXPECT_THROW(pkg.Xml("word/broken.xml"), PackageError);
    EXPECT_THROW((void)std::as_const(pkg).Xml("word/broken.xml"), PackageError);
    // The broken bytes are still kept as they were.
    EXPECT_EQ(pkg.PartBytes("word/broken.xml"), "<a><b></a>");
    EXPECT_THROW(Package::OpenFromMemory(AsBytes("not a zip")), PackageError);
}

}  // namespace
}  // namespace paperloom::docx
