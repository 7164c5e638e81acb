// Copying all settings groups from real documents into a new one.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "TestSupport.h"
#include "host/word/settings/PageSetup.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsCopy.h"
#include "host/word/settings/Styles.h"
#include "host/word/settings/Variables.h"

namespace paperloom::word {
namespace {

using testing::ChildNames;
using testing::InOrder;

// Style names, case-folded, read straight from the styles part.
std::set<std::string> StyleNames(docx::Package& package) {
    std::set<std::string> names;
    const auto part = package.MainRelatedPart(docx::reltype::styles);
    if (!part || !package.HasPart(*part)) return names;
    for (pugi::xml_node style : package.Xml(*part).document_element().children()) {
        if (testing::LocalName(style) != "style") continue;
        std::string name;
        for (pugi::xml_node child : style.children()) {
            if (testing::LocalName(child) == "name") name = child.first_attribute().value();
        }
        if (name.empty()) name = style.find_attribute([](const pugi::xml_attribute& a) {
            return std::string_view(a.name()).ends_with("styleId");
        }).value();
        names.insert(wml::NameKey(name));
    }
    return names;
}

std::vector<std::string> Order(wml::Sequence sequence) { return {sequence.begin(), sequence.end()}; }

// Every corpus document's settings copy into a blank document, which then saves, reopens and
// keeps its settings children in schema order; the copy equals the source where it can.
TEST(SettingsCopy, EveryCorpusDocumentCopiesIntoABlankDocument) {
    const auto folder = testing::CorpusFile("");
    if (!std::filesystem::exists(folder)) GTEST_SKIP() << "no corpus";
    int copied = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".docx") continue;
        SCOPED_TRACE(entry.path().filename().string());
        docx::Package source = docx::Package::Open(entry.path());
        docx::Package destination = docx::Package::CreateBlank();
        try {
            CopyPageSetup(destination, source);
            CopyDocumentSettings(destination, source);
            CopyUsedStyles(destination, source);
            CopyDocumentVariables(destination, source);
        } catch (const docx::PackageError&) {
            continue;  // a part of the source is not readable XML: nothing to compare
        }
        docx::Package reopened = testing::Reopen(destination);
        EXPECT_TRUE(InOrder(ChildNames(testing::SettingsRoot(reopened)), Order(wml::order::Settings())));
        EXPECT_EQ(Variables(reopened).Count(), Variables(source).Count());
        EXPECT_FLOAT_EQ(PageSetup(reopened).PageWidth(), PageSetup(source).PageWidth());
        EXPECT_FLOAT_EQ(PageSetup(reopened).TopMargin(), PageSetup(source).TopMargin());
        const std::set<std::string> copiedNames = StyleNames(reopened);
        for (const std::string& name : StyleNames(source)) {
            EXPECT_TRUE(copiedNames.count(name)) << name;
        }
        ++copied;
    }
    EXPECT_GT(copied, 300);
}

}  // namespace
}  // namespace paperloom::word
