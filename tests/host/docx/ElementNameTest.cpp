// The element-name policy: new elements take the prefix their part already uses.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "host/docx/XmlCodec.h"

namespace paperloom::docx::xml {
namespace {

TEST(ElementNameTest, SplitsAndJoinsQualifiedNames) {
    EXPECT_EQ(PrefixOf("w:p"), "w");
    EXPECT_EQ(LocalPart("w:p"), "p");
    EXPECT_EQ(PrefixOf("Types"), "");
    EXPECT_EQ(LocalPart("Types"), "Types");
    EXPECT_EQ(QualifiedName("", "Override"), "Override");
    EXPECT_EQ(QualifiedName("ct", "Override"), "ct:Override");
    EXPECT_EQ(QualifiedName(PrefixOf("x:settings"), LocalPart("w:docVars")), "x:docVars");
}

TEST(ElementNameTest, NewChildrenFollowTheParentsPrefix) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        "<ct:Types xmlns:ct='urn:t'><ct:Default/></ct:Types>"));
    const pugi::xml_node root = document.document_element();
    EXPECT_EQ(NameInPrefixOf(root, "Override"), "ct:Override");
    EXPECT_EQ(LocalName(root.first_child()), "Default");

    pugi::xml_document plain;
    ASSERT_TRUE(plain.load_string("<Types xmlns='urn:t'/>"));
    EXPECT_EQ(NameInPrefixOf(plain.document_element(), "Override"), "Override");
}

}  // namespace
}  // namespace paperloom::docx::xml
