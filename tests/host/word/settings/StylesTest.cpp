// Styles of a document and the organizer copy between documents.
#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsCopy.h"
#include "host/word/settings/Styles.h"

namespace paperloom::word {
namespace {

using testing::ChildNames;
using testing::InOrder;
using testing::Reopen;

constexpr const char* kNumberingType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml";

long ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

pugi::xml_node StylesRoot(docx::Package& package) {
    return package.Xml("word/styles.xml").document_element();
}

void AppendXml(pugi::xml_node parent, const char* fragment) {
    pugi::xml_document document;
    const std::string wrapped =
        std::string("<w:root xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">") +
        fragment + "</w:root>";
    ASSERT_TRUE(document.load_string(wrapped.c_str()));
    for (pugi::xml_node child : document.document_element().children()) parent.append_copy(child);
}

// A template with a numbered body style based on a base style, linked to a character style.
docx::Package TemplateWithStyles() {
    docx::Package package = docx::Package::CreateBlank();
    AppendXml(StylesRoot(package), R"(
      <w:style w:type="paragraph" w:customStyle="1" w:styleId="ReportBase"><w:name w:val="Report Base"/>
        <w:basedOn w:val="a"/><w:rPr><w:sz w:val="24"/></w:rPr></w:style>
      <w:style w:type="paragraph" w:customStyle="1" w:styleId="ReportBody"><w:name w:val="Report Body"/>
        <w:basedOn w:val="ReportBase"/><w:next w:val="ReportBody"/><w:link w:val="ReportBodyChar"/>
        <w:pPr><w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr><w:jc w:val="center"/></w:pPr></w:style>
      <w:style w:type="character" w:customStyle="1" w:styleId="ReportBodyChar"><w:name w:val="Report Body Char"/>
        <w:basedOn w:val="a0"/><w:link w:val="ReportBody"/></w:style>
      <w:style w:type="paragraph" w:customStyle="1" w:styleId="ReportNote"><w:name w:val="Report Note"/>
        <w:basedOn w:val="Missing"/><w:pPr><w:numPr><w:numId w:val="1"/></w:numPr></w:pPr></w:style>)");
    pugi::xml_document& numbering = package.AddXmlPart("word/numbering.xml", kNumberingType);
    EXPECT_TRUE(numbering.load_string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
      <w:numbering xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">
        <w:abstractNum w:abstractNumId="0"><w:nsid w:val="1234ABCD"/><w:multiLevelType w:val="singleLevel"/>
          <w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/><w:pStyle w:val="ReportBody"/>
          <w:lvlText w:val="%1."/><w:lvlPicBulletId w:val="0"/></w:lvl></w:abstractNum>
        <w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num>
      </w:numbering>)"));
    package.AddRelationship("word/document.xml", docx::reltype::numbering, "numbering.xml");
    return package;
}

pugi::xml_node StyleById(docx::Package& package, const char* id) {
    return StylesRoot(package).find_child_by_attribute("w:style", "w:styleId", id);
}

TEST(Styles, EnumeratesAndFindsTheDefinedStyles) {
    docx::Package package = docx::Package::CreateBlank();
    const Styles styles(package);
    EXPECT_EQ(styles.Count(), 5);
    EXPECT_EQ(styles.Item(1).NameLocal(), "Normal");
    EXPECT_EQ(styles.Item("normal").StyleId(), "a");
    EXPECT_EQ(styles.Item("TABLE GRID").Type(), wdStyleTypeTable);
    EXPECT_EQ(styles.Item("Table Grid").BaseStyle(), "Normal Table");
    EXPECT_EQ(styles.Item("No List").Type(), wdStyleTypeList);
    EXPECT_EQ(styles.Item("Default Paragraph Font").Type(), wdStyleTypeCharacter);
    EXPECT_TRUE(styles.Item("Normal").InUse());
    EXPECT_TRUE(styles.Item("Normal").BuiltIn());
    EXPECT_EQ(ErrorNumber([&] { styles.Item("Heading 9"); }), 5941);
    EXPECT_EQ(ErrorNumber([&] { styles.Item(6); }), 5941);
}

TEST(Styles, AddMakesIdsLikeTheWordProcessor) {
    docx::Package package = docx::Package::CreateBlank();
    Styles styles(package);
    const Style mine = styles.Add("My Style");
    EXPECT_EQ(mine.StyleId(), "MyStyle");
    EXPECT_EQ(mine.BaseStyle(), "Normal");
    EXPECT_FALSE(mine.BuiltIn());
    const Style japanese = styles.Add("見出し強調", wdStyleTypeCharacter);
    EXPECT_EQ(japanese.StyleId(), "a4");  // a, a0 ... a3 are taken
    EXPECT_EQ(japanese.BaseStyle(), "Default Paragraph Font");
    EXPECT_EQ(ErrorNumber([&] { styles.Add("my style"); }), 4198);
    EXPECT_EQ(ErrorNumber([&] { styles.Add(""); }), 4608);

    docx::Package reopened = Reopen(package);
    EXPECT_EQ(Styles(reopened).Item("見出し強調").Type(), wdStyleTypeCharacter);
    const wml::Sequence order = wml::order::Style();
    EXPECT_TRUE(InOrder(ChildNames(StyleById(reopened, "MyStyle")), {order.begin(), order.end()}));
}

TEST(StyleOrganizer, CopiesAStyleWithItsChainAndNumbering) {
    docx::Package source = TemplateWithStyles();
    docx::Package destination = docx::Package::CreateBlank();
    OrganizerCopy(source, destination, "report body");

    docx::Package reopened = Reopen(destination);
    const Styles styles(reopened);
    EXPECT_EQ(styles.Item("Report Body").BaseStyle(), "Report Base");
    EXPECT_EQ(styles.Item("Report Body").NextParagraphStyle(), "Report Body");
    EXPECT_EQ(styles.Item("Report Body").LinkStyle(), "Report Body Char");
    EXPECT_EQ(styles.Item("Report Body Char").LinkStyle(), "Report Body");
    EXPECT_EQ(styles.Item("Report Base").BaseStyle(), "Normal");
    EXPECT_FALSE(styles.Exists("Report Note"));

    // The list came along as a new definition, without the picture bullet it cannot carry.
    const pugi::xml_node numbering =
        reopened.Xml(*reopened.MainRelatedPart(docx::reltype::numbering)).document_element();
    const pugi::xml_node num = numbering.child("w:num");
    const std::string numId = num.attribute("w:numId").value();
    EXPECT_EQ(std::string(StyleById(reopened, "ReportBody").child("w:pPr").child("w:numPr")
                              .child("w:numId").attribute("w:val").value()), numId);
    const pugi::xml_node abstractNum = numbering.find_child_by_attribute(
        "w:abstractNum", "w:abstractNumId", num.child("w:abstractNumId").attribute("w:val").value());
    ASSERT_TRUE(abstractNum);
    EXPECT_FALSE(abstractNum.child("w:lvl").child("w:lvlPicBulletId"));
    EXPECT_STREQ(abstractNum.child("w:lvl").child("w:pStyle").attribute("w:val").value(), "ReportBody");
}

TEST(StyleOrganizer, SharedBasesAndListsAreCopiedOnce) {
    docx::Package source = TemplateWithStyles();
    docx::Package destination = docx::Package::CreateBlank();
    StyleOrganizer organizer(source, destination);
    organizer.Copy("Report Body");
    organizer.Copy("Report Note");  // same list; its base is missing in the source
    const pugi::xml_node numbering =
        destination.Xml(*destination.MainRelatedPart(docx::reltype::numbering)).document_element();
    EXPECT_EQ(ChildNames(numbering), (std::vector<std::string>{"abstractNum", "num"}));
    EXPECT_FALSE(StyleById(destination, "ReportNote").child("w:basedOn"));
    EXPECT_EQ(Styles(destination).Count(), 5 + 4);
    EXPECT_EQ(ErrorNumber([&] { organizer.Copy("Nope"); }), 5941);
}

TEST(StyleOrganizer, ReplacingAStyleTakesTheSourceIdAndRenamesReferences) {
    docx::Package source = TemplateWithStyles();
    docx::Package destination = docx::Package::CreateBlank();
    AppendXml(StylesRoot(destination), R"(
      <w:style w:type="paragraph" w:customStyle="1" w:styleId="a5"><w:name w:val="Report Body"/>
        <w:pPr><w:jc w:val="right"/></w:pPr></w:style>
      <w:style w:type="paragraph" w:customStyle="1" w:styleId="ReportBase"><w:name w:val="Report Base"/>
        <w:rPr><w:sz w:val="40"/></w:rPr></w:style>)");
    pugi::xml_node body = destination.Xml("word/document.xml").document_element().child("w:body");
    AppendXml(body, R"(<w:p><w:pPr><w:pStyle w:val="a5"/></w:pPr></w:p>)");
    body.prepend_move(body.last_child());

    OrganizerCopy(source, destination, "Report Body");
    EXPECT_FALSE(StyleById(destination, "a5"));
    const pugi::xml_node copied = StyleById(destination, "ReportBody");
    EXPECT_STREQ(copied.child("w:pPr").child("w:jc").attribute("w:val").value(), "center");
    EXPECT_STREQ(body.first_child().child("w:pPr").child("w:pStyle").attribute("w:val").value(),
                 "ReportBody");
    // A base the destination has is kept as it is.
    EXPECT_STREQ(StyleById(destination, "ReportBase").child("w:rPr").child("w:sz").attribute("w:val").value(),
                 "40");
}

TEST(StyleOrganizer, AnUnreadablePartKeepsTheDestinationIdAndChangesNothing) {
    docx::Package source = TemplateWithStyles();
    docx::Package destination = docx::Package::CreateBlank();
    AppendXml(StylesRoot(destination), R"(
      <w:style w:type="paragraph" w:customStyle="1" w:styleId="a5"><w:name w:val="Report Body"/></w:style>)");
    AppendXml(destination.Xml("word/document.xml").document_element().child("w:body"),
              R"(<w:p><w:pPr><w:pStyle w:val="a5"/></w:pPr></w:p>)");
    destination.SetPartBytes("word/header1.xml", "<w:hdr><broken",
                             "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml");
    OrganizerCopy(source, destination, "Report Body");
    const pugi::xml_node copied = StyleById(destination, "a5");
    ASSERT_TRUE(copied);
    EXPECT_STREQ(copied.child("w:pPr").child("w:jc").attribute("w:val").value(), "center");
    EXPECT_FALSE(StyleById(destination, "ReportBody"));
    const pugi::xml_node paragraph =
        destination.Xml("word/document.xml").document_element().child("w:body").last_child();
    EXPECT_STREQ(paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value(), "a5");
}

TEST(StyleOrganizer, KeepsOneDefaultStylePerType) {
    docx::Package source = docx::Package::CreateBlank();
    pugi::xml_node normal = StyleById(source, "a");
    normal.attribute("w:styleId").set_value("Normal");
    AppendXml(normal.child("w:pPr"), R"(<w:spacing w:after="120"/>)");
    docx::Package destination = docx::Package::CreateBlank();
    OrganizerCopy(source, destination, "Normal");
    long defaults = 0;
    for (pugi::xml_node style : StylesRoot(destination).children("w:style")) {
        if (std::string_view(style.attribute("w:type").value()) == "paragraph" &&
            style.attribute("w:default").as_bool()) {
            ++defaults;
            EXPECT_STREQ(style.attribute("w:styleId").value(), "Normal");
        }
    }
    EXPECT_EQ(defaults, 1);
    EXPECT_TRUE(StyleById(destination, "Normal").child("w:pPr").child("w:spacing"));
}

TEST(CopyUsedStyles, CopiesEveryDefinedStyleAndTheDefaultsAndNeverThrows) {
    docx::Package source = TemplateWithStyles();
    StylesRoot(source).child("w:docDefaults").child("w:rPrDefault").child("w:rPr").child("w:sz")
        .attribute("w:val").set_value("24");
    docx::Package destination = docx::Package::CreateBlank();
    EXPECT_EQ(CopyUsedStyles(destination, source), 9);
    EXPECT_EQ(Styles(destination).Count(), 9);
    EXPECT_STREQ(StylesRoot(destination).child("w:docDefaults").child("w:rPrDefault").child("w:rPr")
                     .child("w:sz").attribute("w:val").value(),
                 "24");

    docx::Package empty = docx::Package::CreateBlank();
    empty.RemovePart("word/styles.xml");
    EXPECT_EQ(CopyUsedStyles(destination, empty), 0);
    EXPECT_EQ(Styles(destination).Count(), 9);
}

}  // namespace
}  // namespace paperloom::word
