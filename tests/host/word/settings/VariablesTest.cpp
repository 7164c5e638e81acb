// Document variables: the store the templates keep their header binding in.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "TestSupport.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/Variables.h"

namespace paperloom::word {
namespace {

using testing::ChildNames;
using testing::InOrder;
using testing::Reopen;

std::vector<std::string> SettingsOrder() {
    const wml::Sequence order = wml::order::Settings();
    return {order.begin(), order.end()};
}

long ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

TEST(Variables, ValuesSurviveSaveAndReopenExactly) {
    docx::Package package = docx::Package::CreateBlank();
    const std::string awkward = "行1\r\n\"quoted\" C:\\path\\ \t<&>'\x01\x1f end _x0041_";
    const std::string japanese = "SELECT * FROM 受注 WHERE 顧客 = 'あいう'";
    const std::string longValue(100000, 'x');
    Variables variables(package);
    variables.Add("RecordSource", japanese);
    variables.SetValue("Awkward", awkward);
    variables.SetValue("Long", longValue);
    variables.SetValue("Empty", "");

    docx::Package reopened = Reopen(package);
    Variables read(reopened);
    EXPECT_EQ(read.Count(), 4);
    EXPECT_EQ(read.Item("RecordSource").Value(), japanese);
    EXPECT_EQ(read.Item("Awkward").Value(), awkward);
    EXPECT_EQ(read.Item("Long").Value(), longValue);
    EXPECT_EQ(read.Item("Empty").Value(), "");
    // The saved part is well-formed XML 1.0: a strict parser accepts it.
    pugi::xml_document strict;
    EXPECT_TRUE(strict.load_string(reopened.PartBytes("word/settings.xml").c_str()));
}

TEST(Variables, NamesAreCaseInsensitiveAndKeepTheirSpelling) {
    docx::Package package = docx::Package::CreateBlank();
    Variables variables(package);
    variables.Add("DataSource", "a.db");
    EXPECT_EQ(variables.Item("datasource").Value(), "a.db");
    EXPECT_EQ(variables.Item("DATASOURCE").Name(), "DataSource");
    variables.SetValue("DATASOURCE", "b.db");  // assignment, not a second variable
    EXPECT_EQ(variables.Count(), 1);
    EXPECT_EQ(variables.Item(1).Value(), "b.db");
    EXPECT_EQ(ErrorNumber([&] { variables.Add("dataSOURCE", "c"); }), 5903);
    EXPECT_EQ(ErrorNumber([&] { variables.Add("", "c"); }), 4608);
}

TEST(Variables, MissingAndDeletedVariablesRaiseObjectDeleted) {
    docx::Package package = docx::Package::CreateBlank();
    Variables variables(package);
    EXPECT_EQ(ErrorNumber([&] { variables.Item("HeadFilter").Value(); }), 5825);
    EXPECT_EQ(ErrorNumber([&] { variables.Item(1); }), 5941);
    EXPECT_FALSE(variables.Delete("HeadFilter"));

    Variable filter = variables.Add("HeadFilter", "x");
    Variable sort = variables.Add("HeadSort", "y");
    EXPECT_EQ(sort.Index(), 2);
    filter.Delete();
    EXPECT_EQ(ErrorNumber([&] { filter.Value(); }), 5825);
    EXPECT_EQ(ErrorNumber([&] { filter.SetValue("z"); }), 5825);
    EXPECT_EQ(sort.Index(), 1);
    EXPECT_TRUE(variables.Delete("headsort"));
    EXPECT_EQ(variables.Count(), 0);
    // An empty w:docVars is invalid, so it goes with its last variable.
    EXPECT_FALSE(testing::SettingsRoot(package).child("w:docVars"));
}

TEST(Variables, DocVarsStandsAtItsSchemaPlace) {
    docx::Package package = docx::Package::CreateBlank();
    Variables(package).Add("A", "1");
    const auto names = ChildNames(testing::SettingsRoot(package));
    EXPECT_TRUE(InOrder(names, SettingsOrder()));
    const auto compat = std::find(names.begin(), names.end(), "compat");
    ASSERT_NE(compat, names.end());
    EXPECT_EQ(*(compat + 1), "docVars");
}

TEST(Variables, ADocumentWithoutSettingsGetsAWorkingSettingsPart) {
    docx::Package package = docx::Package::CreateBlank();
    package.RemovePart("word/settings.xml");
    Variables variables(package);
    EXPECT_EQ(variables.Count(), 0);  // reading creates nothing
    EXPECT_FALSE(package.HasPart("word/settings.xml"));
    variables.SetValue("UpdateDetail", "True");
    docx::Package reopened = Reopen(package);
    EXPECT_EQ(Variables(reopened).Item("UpdateDetail").Value(), "True");
    EXPECT_EQ(reopened.ContentType(*reopened.MainRelatedPart(docx::reltype::settings)),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml");
}

TEST(Variables, CopyAllCreatesAndOverwrites) {
    docx::Package source = docx::Package::CreateBlank();
    docx::Package destination = docx::Package::CreateBlank();
    Variables(source).SetValue("DataSource", "new");
    Variables(source).SetValue("RSWhere", "[a] = 1");
    Variables(destination).SetValue("datasource", "old");
    Variables(destination).SetValue("Other", "kept");
    Variables::CopyAll(destination, source);
    Variables copied(destination);
    EXPECT_EQ(copied.Count(), 3);
    EXPECT_EQ(copied.Item("DataSource").Value(), "new");
    EXPECT_EQ(copied.Item("RSWhere").Value(), "[a] = 1");
    EXPECT_EQ(copied.Item("Other").Value(), "kept");
}

TEST(Variables, CorpusDocumentsReadBackTheirVariables) {
    const auto path = testing::CorpusFile("docx-rs__spec_vanish.docx");
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
    docx::Package package = docx::Package::Open(path);
    Variables variables(package);
    ASSERT_GT(variables.Count(), 0);
    for (const Variable& variable : variables.All()) {
        EXPECT_EQ(variables.Item(variable.Name()).Value(), variable.Value());
    }
    variables.SetValue("Paperloom", "値");
    docx::Package reopened = Reopen(package);
    EXPECT_EQ(Variables(reopened).Count(), variables.Count());
    EXPECT_EQ(Variables(reopened).Item("paperloom").Value(), "値");
}

TEST(VariableEncoding, EscapesOnlyWhatXmlCannotHold) {
    using variables_detail::Decode;
    using variables_detail::Encode;
    EXPECT_EQ(Encode("a\x01" "b"), "a_x0001_b");
    EXPECT_EQ(Encode("tab\tlf\ncr\r"), "tab\tlf\ncr\r");
    EXPECT_EQ(Encode("_x0041_"), "_x005F_x0041_");
    EXPECT_EQ(Decode("_x005F_x0041_"), "_x0041_");
    EXPECT_EQ(Decode("_x0001_"), "\x01");
    EXPECT_EQ(Decode("_xZZ01_ _x12"), "_xZZ01_ _x12");
}

}  // namespace
}  // namespace paperloom::word
