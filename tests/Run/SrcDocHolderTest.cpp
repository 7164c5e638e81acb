// Working copies of templates: what a copy carries over (content, variables, settings, styles
// in use), its binding (a registered clone on the template's record, or none), rebuilding a
// copy from itself, and closing it without saving when the holder lets go.

#include <gtest/gtest.h>

#include "PrintDocTestSupport.h"
#include "Run/clsPLRSrcDocHolder.h"
#include "Run/modPLRFunction.h"
#include "common/clsPLProperty.h"

namespace paperloom::run::test {
namespace {

using modPLRFunction::FindDocumentBind;
using modPLRFunction::OpenDocumentBind;

class SrcDocHolderTest : public ::testing::Test {
protected:
    void SetUp() override { MakeOrdersDatabase(folder_.File("orders.db")); }

    std::shared_ptr<word::Document> OpenTemplate(const OrderTemplateOptions& options = {}) {
        return app_.Documents().Open(SaveOrderTemplate(folder_.File("orders.docx"), options));
    }

    static long CurrentId(const clsPLRDBBind& binding) {
        return static_cast<long>(binding.RecordSource()->Fields().Item("Id").Value().AsInteger());
    }

    ScratchFolder folder_;
    word::Application app_;
    BindingRegistry registry_;
};

TEST_F(SrcDocHolderTest, CopyOfABoundTemplateIsBoundByAClonePlacedOnTheTemplateRecord) {
    const auto report = OpenTemplate();
    const auto binding = OpenDocumentBind(registry_, report);
    ASSERT_NE(binding, nullptr);
    binding->MovePos(7);
    const auto templateText = report->Content().Text();

    clsPLRSrcDocHolder holder(app_, registry_);
    const auto copy = holder.CreateSrcDoc(report, true);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(holder.GetSrcDoc(), copy);
    EXPECT_NE(copy, report);
    EXPECT_EQ(copy->Content().Text(), templateText);
    EXPECT_EQ(copy->Tables().Count(), 1);
    const clsPLProperty property;
    EXPECT_EQ(property.GetDocVariable("RecordSource", *copy, ""), "Orders");
    EXPECT_EQ(property.GetDetailProperties(copy->Tables().Item(1), *copy),
              property.GetDetailProperties(report->Tables().Item(1), *report))
        << "the hidden property text comes along";

    const auto clone = FindDocumentBind(registry_, *copy);
    ASSERT_NE(clone, nullptr);
    EXPECT_TRUE(clone->IsClone());
    EXPECT_EQ(clone->DataSource(), binding->DataSource());
    EXPECT_EQ(CurrentId(*clone), 7);
    EXPECT_EQ(registry_.Count(), 2);
    // The template is only read: its binding stays where it was.
    EXPECT_EQ(CurrentId(*binding), 7);
}

TEST_F(SrcDocHolderTest, CopyOfAnUnboundTemplateCarriesContentAndVariablesButNoBinding) {
    OrderTemplateOptions options;
    options.bound = false;
    const auto report = OpenTemplate(options);
    report->Variables().SetValue("Marker", "値");

    clsPLRSrcDocHolder holder(app_, registry_);
    const auto copy = holder.CreateSrcDoc(report, true);
    EXPECT_EQ(copy->Content().Text(), report->Content().Text());
    EXPECT_EQ(clsPLProperty().GetDocVariable("Marker", *copy, ""), "値");
    EXPECT_EQ(FindDocumentBind(registry_, *copy), nullptr);
    EXPECT_EQ(registry_.Count(), 0);
}

TEST_F(SrcDocHolderTest, RebuildReplacesCopyAndCloneAndKeepsTheRecord) {
    const auto report = OpenTemplate();
    const auto binding = OpenDocumentBind(registry_, report);
    ASSERT_NE(binding, nullptr);

    clsPLRSrcDocHolder holder(app_, registry_);
    const auto first = holder.CreateSrcDoc(report, false);
    const auto firstClone = FindDocumentBind(registry_, *first);
    ASSERT_NE(firstClone, nullptr);
    firstClone->MovePos(12);
    // What the loop leaves in a copy is carried into the next one, not the template's text.
    first->Content().InsertAfter("追記");

    const auto second = holder.RecreateSrcDoc(true);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(holder.GetSrcDoc(), second);
    EXPECT_TRUE(first->Closed());
    EXPECT_EQ(app_.Documents().Count(), 2) << "template and the new copy";
    EXPECT_EQ(registry_.Count(), 2);
    EXPECT_EQ(FindDocumentBind(registry_, *first), nullptr);
    const auto secondClone = FindDocumentBind(registry_, *second);
    ASSERT_NE(secondClone, nullptr);
    EXPECT_NE(secondClone, firstClone);
    EXPECT_TRUE(secondClone->IsClone());
    EXPECT_EQ(CurrentId(*secondClone), 12);
    EXPECT_NE(second->Content().Text().find("追記"), std::string::npos);
    EXPECT_FALSE(firstClone->IsOpen()) << "the old clone's record source is closed";
    EXPECT_TRUE(binding->IsConnect() && binding->IsOpen()) << "the shared connection stays";
}

TEST_F(SrcDocHolderTest, ReleasingTheHolderClosesTheCopyUnsavedAndUnregistersItsClone) {
    const auto templatePath = SaveOrderTemplate(folder_.File("orders.docx"));
    const auto templateBytes = std::filesystem::file_size(templatePath);
    const auto report = app_.Documents().Open(templatePath);
    ASSERT_NE(OpenDocumentBind(registry_, report), nullptr);
    std::shared_ptr<word::Document> copy;
    {
        clsPLRSrcDocHolder holder(app_, registry_);
        copy = holder.CreateSrcDoc(report, true);
        copy->Content().InsertAfter("変更");
        EXPECT_FALSE(copy->Saved());
        EXPECT_EQ(registry_.Count(), 2);
    }
    EXPECT_TRUE(copy->Closed());
    EXPECT_EQ(app_.Documents().Count(), 1);
    EXPECT_EQ(registry_.Count(), 1);
    EXPECT_FALSE(report->Closed());
    EXPECT_EQ(std::filesystem::file_size(templatePath), templateBytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 2)
        << "nothing but the template and its database was written";

    clsPLRSrcDocHolder holder(app_, registry_);
    holder.CloseSrcDoc();  // nothing held: nothing happens
    EXPECT_EQ(holder.GetSrcDoc(), nullptr);
    EXPECT_EQ(holder.RecreateSrcDoc(true), nullptr);
}

TEST_F(SrcDocHolderTest, ACustomStyleInUseCarriesItsDefinitionIntoTheCopy) {
    const auto path = folder_.File("styled.docx");
    {
        auto doc = sk::MakeDocument(sk::Paragraph(sk::Run("見出し")), "styled.docx");
        auto style = doc->Styles().Add("Kunde");
        EXPECT_TRUE(style.InUse());
        doc->SaveAs(path);
    }
    const auto styled = app_.Documents().Open(path);
    const auto baseOfKunde = styled->Styles().Item("Kunde").BaseStyle();

    clsPLRSrcDocHolder holder(app_, registry_);
    const auto copy = holder.CreateSrcDoc(styled, false);
    ASSERT_TRUE(copy->Styles().Exists("Kunde"));
    EXPECT_EQ(copy->Styles().Item("Kunde").Type(), word::wdStyleTypeParagraph);
    EXPECT_EQ(copy->Styles().Item("Kunde").BaseStyle(), baseOfKunde);
}

}  // namespace
}  // namespace paperloom::run::test
