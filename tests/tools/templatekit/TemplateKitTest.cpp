// The header binding and the header fields the kit writes read back through the template core
// as the run-time reads them, also after the template is saved and opened again.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <vector>

#include <pugixml.hpp>

#include "KitTestSupport.h"
#include "TemplateKit.h"
#include "common/clsPLProperty.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/Recordset.h"
#include "host/docx/Package.h"
#include "host/word/Document.h"

namespace paperloom::templatekit {
namespace {

namespace sk = skeleton;

std::vector<std::string> Tokens(std::string_view code) {
    std::vector<std::string> tokens;
    modPLFunction::SplitTokens(code, tokens, "");
    return tokens;
}

HeaderBinding ShopBinding() {
    HeaderBinding binding;
    binding.source = {"4", "shop.db", "", "", "2", "Orders", "Qty > 0", "Id DESC"};
    binding.copyPrimaryHeader = true;
    binding.updateDetail = false;
    return binding;
}

TEST(HeaderBinding, ReadsBackAsTheRunTimeReadsItAndOpensTheDatabaseNextToTheTemplate) {
    test::ScratchFolder folder;
    test::RunSql(folder.Path() / "shop.db",
                 "CREATE TABLE Orders (Id INTEGER, Qty INTEGER);"
                 "INSERT INTO Orders VALUES (1, 5), (2, 0), (3, 7);");
    TemplateWriter writer(word::Document::Blank());
    writer.Document().Variables().SetValue("HeadFilter", "stale");
    writer.WriteHeaderBinding(ShopBinding());
    const auto path = folder.Path() / "shop.docx";
    writer.SaveAs(path);

    auto doc = word::Document::Open(path);
    const clsPLProperty property;
    EXPECT_EQ(property.GetDocVariable("DataSourceType", *doc, "x"), "4");
    EXPECT_EQ(property.GetDocVariable("DataSource", *doc, "x"), "shop.db");
    EXPECT_EQ(property.GetDocVariable("RecordSourceType", *doc, "x"), "2");
    EXPECT_EQ(property.GetDocVariable("RSWhere", *doc, "x"), "Qty > 0");
    EXPECT_EQ(property.GetDocVariable("RSOrder", *doc, "x"), "Id DESC");
    EXPECT_EQ(property.GetDocVariable("CopyPrimaryHeader", *doc, "x"), "True");
    EXPECT_EQ(property.GetDocVariable("UpdateDetail", *doc, "x"), "False");
    // Unset options and cleared keys are absent, so the readers' defaults apply.
    EXPECT_EQ(property.GetDocVariable("CopyPrimaryFooter", *doc, "False"), "False");
    EXPECT_EQ(property.GetDocVariable("UserName", *doc, "absent"), "absent");
    EXPECT_EQ(property.GetDocVariable("HeadFilter", *doc, "absent"), "absent");

    auto connection = modPLFunction::ConnectHeaderDataSource(*doc);
    ASSERT_TRUE(connection);
    auto records = modPLFunction::OpenHeaderRecordset(connection, *doc);
    ASSERT_TRUE(records);
    EXPECT_EQ(records->RecordCount(), 2);  // Qty > 0
    EXPECT_EQ(records->Fields().Item("Id").Value().AsInteger(), 3);  // Id DESC
}

// A page with markers in the text and in a text box.
std::shared_ptr<word::Document> MarkedPage() {
    const std::string box = sk::Paragraph(sk::Run("No. [[index]] / [[count]]"));
    return sk::MakeDocument(sk::Paragraph(sk::Run("請求書 ") + sk::TextBox(box, {})) +
                            sk::Paragraph(sk::Run("品名 [[name]] 金額 [[price]] [[photo]]")) +
                            sk::Paragraph(sk::Run("合計 [[sum]]")));
}

TEST(HeaderFields, CodesInTextAndTextBoxesSplitAsTheRunTimeSplitsThem) {
    test::ScratchFolder folder;
    TemplateWriter writer(MarkedPage());
    writer.ReplaceMarker("[[name]]", DataFieldCode("品名"));
    writer.ReplaceMarker("[[price]]", DataFieldCode("Price", {"\\#", "\\#,##0"}));
    writer.ReplaceMarker("[[photo]]", PictureFieldCode("Photo"));
    writer.ReplaceMarker("[[sum]]", StatisticsCode("SUM", "明細", "d", {"\\#", "#,##0"}));
    writer.ReplaceMarker("[[index]]", RecordIndexCode());
    writer.ReplaceMarker("[[count]]", DetailPageMaxCode({"\\#", "0"}));
    EXPECT_THROW(writer.FindMarker("[[missing]]"), host::HostError);
    const auto path = folder.Path() / "fields.docx";
    writer.SaveAs(path);

    auto doc = word::Document::Open(path);
    const word::Fields main = word::FieldsOf(*doc);
    ASSERT_EQ(main.Count(), 4);
    EXPECT_EQ(doc->Content().Text().find("[["), std::string::npos) << "every marker made way for its field";

    const auto name = Tokens(main.Item(1).Code().Text());
    ASSERT_EQ(name.size(), 3u);
    EXPECT_EQ(name[0], "quote");
    EXPECT_EQ(name[1], "DataField");
    EXPECT_EQ(name[2], "品名");

    const auto price = Tokens(main.Item(2).Code().Text());
    ASSERT_EQ(price.size(), 5u);
    EXPECT_EQ(price[3], "\\#");
    EXPECT_EQ(modPLFieldCode::ReadFormatPicture(price[4]), "\\#,##0");

    EXPECT_EQ(main.Item(3).Type(), word::wdFieldIncludePicture);
    const auto photo = Tokens(main.Item(3).Code().Text());
    ASSERT_GE(photo.size(), 3u);
    EXPECT_EQ(photo[1], "PictureField");
    EXPECT_EQ(photo[2], "Photo");

    modPLFieldCode::StatisticsFieldSettings stats;
    ASSERT_TRUE(modPLFieldCode::ReadStatisticsFieldCode(main.Item(4).Code().Text(), true, stats));
    EXPECT_EQ(stats.strFunction, "SUM");
    EXPECT_EQ(stats.strBookmark, "明細");
    EXPECT_EQ(stats.strColumn, "d");
    EXPECT_EQ(stats.strFormat, "#,##0");

    for (const auto& field : main) {
        EXPECT_TRUE(modPLFieldCode::IsEngineFieldCode(field.Code().Text(),
                                                      field.Type() == word::wdFieldIncludePicture));
    }

    ASSERT_EQ(doc->Shapes().Count(), 1);
    const word::Fields boxed = word::FieldsOf(doc->Shapes().Item(1).TextFrame().TextRange());
    ASSERT_EQ(boxed.Count(), 2);
    EXPECT_EQ(Tokens(boxed.Item(1).Code().Text())[1], "RecordIndex");
    const auto count = Tokens(boxed.Item(2).Code().Text());
    ASSERT_EQ(count.size(), 4u);
    EXPECT_EQ(count[1], "DetailPageMax");
    EXPECT_EQ(count[2], "\\#");
}

TEST(HeaderFields, AFormatTypeWithoutPictureWritesNoSwitch) {
    EXPECT_EQ(Tokens(DataFieldCode("Qty", {"\\#", ""})).size(), 3u);
    EXPECT_EQ(Tokens(SequenceIndexCode({"", "0"})).size(), 2u);
    const TemplateWriter writer(MarkedPage());
    EXPECT_THROW(writer.InsertField(writer.Document().Content(), ""), host::HostError);
}

TEST(Skeleton, TextIsEscapedAndBreaksBecomeElements) {
    const std::string run = sk::Run("A<B & \"C\"\tD\nE");
    EXPECT_NE(run.find("A&lt;B &amp; &quot;C&quot;"), std::string::npos);
    EXPECT_NE(run.find("<w:tab/>"), std::string::npos);
    EXPECT_NE(run.find("<w:br/>"), std::string::npos);
    auto doc = sk::MakeDocument(sk::Paragraph(run));
    EXPECT_EQ(doc->Content().Text(), "A<B & \"C\"\tD\vE\r");
}


// Every prefix an element or attribute uses is declared on it or an ancestor.
bool PrefixesDeclared(const pugi::xml_node& node, std::set<std::string> declared, std::string& undeclared) {
    for (const auto& attribute : node.attributes()) {
        const std::string name = attribute.name();
        if (name.starts_with("xmlns:")) declared.insert(name.substr(6));
    }
    const auto check = [&](const std::string& name) {
        const auto colon = name.find(':');
        if (colon == std::string::npos || name.starts_with("xmlns") || name.starts_with("xml:")) return true;
        if (declared.contains(name.substr(0, colon))) return true;
        undeclared = name;
        return false;
    };
    if (!check(node.name())) return false;
    for (const auto& attribute : node.attributes()) {
        if (!check(attribute.name())) return false;
    }
    for (const auto& child : node.children()) {
        if (child.type() == pugi::node_element && !PrefixesDeclared(child, declared, undeclared)) return false;
    }
    return true;
}

TEST(Skeleton, ADocumentWithAComputedPictureIsSavedWithEveryPrefixDeclared) {
    test::ScratchFolder folder;
    // The smallest PNG readers accept: one white pixel.
    const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
        0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53,
        0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44, 0x41, 0x54, 0x08, 0xD7, 0x63, 0xF8, 0xFF, 0xFF, 0x3F,
        0x00, 0x05, 0xFE, 0x02, 0xFE, 0xA7, 0x35, 0x81, 0x84, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E,
        0x44, 0xAE, 0x42, 0x60, 0x82};
    const auto picture = folder.Path() / "dot.png";
    std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(png), sizeof png);

    TemplateWriter writer(sk::MakeDocument(sk::Paragraph(sk::Run("[[p]]"))));
    auto field = writer.ReplaceMarker("[[p]]", "IncludePicture \"" + picture.string() + "\" \\d");
    ASSERT_TRUE(field.Update());
    const auto path = folder.Path() / "picture.docx";
    writer.SaveAs(path);

    const std::string xml = docx::Package::Open(path).PartBytes("word/document.xml");
    pugi::xml_document parsed;
    ASSERT_TRUE(parsed.load_string(xml.c_str()));
    std::string undeclared;
    EXPECT_TRUE(PrefixesDeclared(parsed.document_element(), {}, undeclared)) << undeclared;
    EXPECT_NE(xml.find("<w:drawing>"), std::string::npos);
}

}  // namespace
}  // namespace paperloom::templatekit
