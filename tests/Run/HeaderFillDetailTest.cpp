// Header statistics over detail tables filled by the run-time itself: on screen the break rows
// the fill inserted are left out, and in a print document every detail page's header counts
// the lines of the pages printed so far for the record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"

namespace paperloom::run::test {
namespace {

// Inserts header paragraphs "<label><field>" before the template's text, as the designer
// places fields, and saves the template.
void AddHeaderFields(word::Document& doc, const std::vector<std::pair<std::string, std::string>>& labelsAndCodes) {
    std::string text;
    for (const auto& [label, code] : labelsAndCodes) text += label + "\r";
    doc.Range(0, 0).InsertBefore(text);
    // From the last paragraph back, so earlier positions stay put.
    long end = static_cast<long>(text.size());
    for (auto it = labelsAndCodes.rbegin(); it != labelsAndCodes.rend(); ++it) {
        end -= 1;  // the paragraph mark
        auto fields = word::FieldsOf(doc);
        fields.Add(doc.Range(end, end), word::wdFieldEmpty, it->second);
        end -= static_cast<long>(it->first.size());
    }
    doc.Save();
}

class HeaderFillDetail : public DetailFixture {};

TEST_F(HeaderFillDetail, StatisticsLeaveOutTheBreakRowsTheFillInserted) {
    DetailTableSpec spec;
    spec.rows = 2;
    spec.detail = DetailKeys("Lines");
    spec.detail.emplace_back("AutoAdjustRowCount", "True");
    spec.columnProperties = {
        DataColumn("Item", {{"Break", "True"},
                            {"aBreakRowFieldType", "キャプション"},
                            {"aBreakRowFieldValue", "subtotal"},
                            {"bBreakRowFieldType", "統計演算"},
                            {"bBreakRowFieldValue", "SUM"},
                            {"bBreakRowFormatType", "なし"}}),
        DataColumn("Qty")};
    spec.captions = {"Item", "Qty"};
    auto binding = Bind(spec);
    AddHeaderFields(*doc_, {{"Sum ", "quote Statistics SUM Lines b"},
                            {"Count ", "quote Statistics COUNT Lines b"},
                            {"Average ", "quote Statistics AVERAGE Lines b \\# \"0.00\""}});
    binding->MoveFirst();  // Ann: Pen 1 2 | Ink 3 4 5 | Cap 6
    binding->SetDetailDatas(false);
    ASSERT_EQ(ColumnTexts(Table(), 2, 2, 10),
              (std::vector<std::string>{"1", "2", "3", "3", "4", "5", "12", "6", "6"}));
    binding->SetHeadDatas();
    std::vector<std::string> results;
    for (const auto& field : word::FieldsOf(*doc_)) {
        if (field.Code().Text().find("Statistics") != std::string::npos) results.push_back(field.Result().Text());
    }
    EXPECT_EQ(results, (std::vector<std::string>{"21", "6", "3.50"}));
}

TEST_F(HeaderFillDetail, PrintDocumentHeadersCountThePagesPrintedSoFar) {
    DetailTableSpec spec;
    spec.rows = 11;  // caption row and 10 lines per detail page
    spec.detail = DetailKeys("Lines");
    spec.detail.emplace_back("AutoAdjustRowCount", "False");
    spec.columnProperties = {DataColumn("Item"), DataColumn("Qty")};
    spec.captions = {"Item", "Qty"};
    doc_ = app_.Documents().Open(SaveDetailTemplate(folder_.File("Print.docx"), CustomerSettings(), spec));
    AddHeaderFields(*doc_, {{"Total ", "quote Statistics SUM Lines b"},
                            {"Lines ", "quote Statistics COUNT Lines b"},
                            {"Mean ", "quote Statistics AVERAGE Lines b \\# \"0.0\""},
                            {"Pages ", "quote DetailPageMax"}});
    BindingRegistry registry;
    const auto binding = modPLRFunction::OpenDocumentBind(registry, doc_);
    ASSERT_NE(binding, nullptr);
    binding->MovePos(3);  // Carl: 23 lines, Qty 1 to 23

    const auto print = modPLRFunction::BuildPrintDoc(app_, registry, doc_, false, false);
    ASSERT_NE(print, nullptr);
    const std::string text = print->Content().Text();
    // Running totals: 1..10, 1..20, 1..23; averages of all lines so far, not of page averages.
    for (const char* expected : {"Total 55\r", "Lines 10\r", "Mean 5.5\r", "Total 210\r", "Lines 20\r",
                                 "Mean 10.5\r", "Total 276\r", "Lines 23\r", "Mean 12.0\r", "Pages 3\r"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " missing from:\n" << text;
    }
    // The template itself keeps its design codes.
    for (const auto& field : word::FieldsOf(*doc_)) EXPECT_EQ(field.Code().Text().rfind("quote ", 0), 0u);
}

}  // namespace
}  // namespace paperloom::run::test
