// The XML helpers under every settings class: prefixes, schema order, measures.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/Variables.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {
namespace {

using testing::ChildNames;

TEST(WordXml, InsertsBetweenKnownSiblingsAndBeforeExtensions) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        R"(<w:settings xmlns:w="main" xmlns:mc="mc" xmlns:w14="w14">)"
        R"(<mc:AlternateContent/><w:zoom/><w:compat/><w:rsids/><w14:docId/></w:settings>)"));
    const wml::Wml w(document);
    pugi::xml_node root = document.document_element();
    w.Ensure(root, "docVars", wml::order::Settings());
    w.Ensure(root, "writeProtection", wml::order::Settings());
    w.Ensure(root, "listSeparator", wml::order::Settings());
    w.Ensure(root, "zoom", wml::order::Settings());  // exists: not added twice
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"AlternateContent", "writeProtection", "zoom",
                                                          "compat", "docVars", "rsids", "listSeparator",
                                                          "docId"}));
}

TEST(WordXml, CopiesTranslateThePrefixAndDropForeignNamespaces) {
    pugi::xml_document source;
    ASSERT_TRUE(source.load_string(
        R"(<x:settings xmlns:x="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:o="other">)"
        R"(<x:noLineBreaksAfter x:lang="ja-JP" x:val="（" o:extra="1"><o:ext/></x:noLineBreaksAfter></x:settings>)"));
    pugi::xml_document destination;
    ASSERT_TRUE(destination.load_string(R"(<w:settings xmlns:w="main"><w:zoom/></w:settings>)"));
    const wml::Wml from(source);
    const wml::Wml to(destination);
    EXPECT_EQ(from.Prefix(), "x");
    const pugi::xml_node copy = to.ReplaceWithCopy(
        destination.document_element(), "noLineBreaksAfter",
        from.Child(source.document_element(), "noLineBreaksAfter"), from, wml::order::Settings());
    EXPECT_EQ(testing::XmlOf(copy), R"(<w:noLineBreaksAfter w:lang="ja-JP" w:val="（"/>)");
    to.ReplaceWithCopy(destination.document_element(), "noLineBreaksAfter", {}, from, wml::order::Settings());
    EXPECT_EQ(ChildNames(destination.document_element()), std::vector<std::string>{"zoom"});
}

TEST(WordXml, OnOffValuesAndMeasures) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        R"(<w:r xmlns:w="m"><w:a/><w:b w:val="0"/><w:c w:val="on"/><w:d w:val="false"/><w:e w:val="bogus"/></w:r>)"));
    const wml::Wml w(document);
    const pugi::xml_node root = document.document_element();
    EXPECT_TRUE(w.OnOff(root, "a"));
    EXPECT_FALSE(w.OnOff(root, "b"));
    EXPECT_TRUE(w.OnOff(root, "c"));
    EXPECT_FALSE(w.OnOff(root, "d"));
    EXPECT_TRUE(w.OnOff(root, "e"));  // unreadable values count as present
    EXPECT_FALSE(w.OnOff(root, "missing"));

    EXPECT_DOUBLE_EQ(*wml::ParseTwips("1440"), 1440);
    EXPECT_DOUBLE_EQ(*wml::ParseTwips("1in"), 1440);
    EXPECT_DOUBLE_EQ(*wml::ParseTwips("72pt"), 1440);
    EXPECT_NEAR(*wml::ParseTwips("25.4mm"), 1440, 1e-9);
    EXPECT_NEAR(*wml::ParseTwips("-2.54cm"), -1440, 1e-9);
    EXPECT_FALSE(wml::ParseTwips("12px"));
    EXPECT_FALSE(wml::ParseTwips(""));
    EXPECT_FALSE(wml::ParseTwips("nan"));
    EXPECT_EQ(wml::ParseLong(" 42 "), 42);
    EXPECT_FALSE(wml::ParseLong("4.2"));
}

TEST(WordXml, NamesCompareWithoutCase) {
    EXPECT_TRUE(wml::SameName("Heading 1", "heading 1"));
    EXPECT_TRUE(wml::SameName("ＡＢＣ", "ａｂｃ"));  // full-width letters fold too
    EXPECT_FALSE(wml::SameName("見出し 1", "見出し 2"));
    EXPECT_EQ(wml::NameKey("DataSource"), wml::NameKey("DATASOURCE"));
}

TEST(WordXml, APartWithAnotherPrefixIsReadAndWrittenInIt) {
    docx::Package package = docx::Package::CreateBlank();
    package.SetPartBytes("word/settings.xml",
                         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                         R"(<ns:settings xmlns:ns="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                         R"(<ns:zoom ns:percent="100"/><ns:docVars><ns:docVar ns:name="A" ns:val="1"/></ns:docVars>)"
                         R"(</ns:settings>)",
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
    Variables variables(package);
    EXPECT_EQ(variables.Item("a").Value(), "1");
    variables.SetValue("B", "2");
    const pugi::xml_node docVars = testing::SettingsRoot(package).child("ns:docVars");
    EXPECT_EQ(std::distance(docVars.begin(), docVars.end()), 2);
    EXPECT_STREQ(docVars.last_child().name(), "ns:docVar");
}

}  // namespace
}  // namespace paperloom::word
