// The header binding and the header fields the kit writes read back through the template core
// as the run-time reads them, also after the template is saved and opened again.

#include <gtest/gtest.h>

#include <vector>

#include "KitTestSupport.h"
#include "TemplateKit.h"
#include "common/clsPLProperty.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/Recordset.h"
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

}  // namespace
}  // namespace paperloom::templatekit
