// The office suite shows a template's table cells without their hidden property text:
// the document is converted to PDF headless and the PDF's text compared. Slow; label "office".

#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "support/OfficeSuite.h"

namespace paperloom {
namespace {

namespace fs = std::filesystem;

TEST(CellPropertiesOffice, TheSuiteShowsCellsWithoutTheirPropertyText) {
    if (!test::HaveOfficeSuite()) GTEST_SKIP() << "no office suite or poppler";
    const test::TempFolder work;
    const fs::path log = work.Path() / "office.log";

    auto doc = test::DocumentWithTable(2, 3);
    auto table = doc->Tables().Item(1);
    const clsPLRange range;
    const clsPLProperty property;
    // Cell 1: caption, then property text put in front of it.
    table.Cell(1, 1).Range().SetText("CaptionOne");
    std::string detail;
    property.SetPropertyToText(detail, "ParentKey", "SecretParent");
    property.SetPropertyToText(detail, "DataField", "SecretField");
    range.InsertBeforeHiddenText(detail, table.Cell(1, 1).Range());
    // Cell 2: property text first, the caption appended after it.
    range.InsertBeforeHiddenText(R"(FieldType="1", Format="HiddenFormat")", table.Cell(1, 2).Range());
    auto cell2 = table.Cell(1, 2).Range();
    range.AppendText("CaptionTwo", cell2);
    // Cell 3: property text only.
    range.InsertBeforeHiddenText(R"(SkipSameValue="HiddenOnly")", table.Cell(1, 3).Range());
    table.Cell(2, 1).Range().SetText("BodyText");

    const fs::path docx = work.Path() / "cells.docx";
    doc->SaveAs(docx);
    // What the file holds reads back unchanged.
    auto reopened = word::Document::Open(docx);
    EXPECT_EQ(property.GetDetailProperties(reopened->Tables().Item(1), *reopened), detail);

    const auto pdf = test::ConvertToPdf(docx, work.Path());
    ASSERT_TRUE(pdf) << "see " << log;
    const std::string shown = test::PdfText(*pdf);
    for (const char* visible : {"CaptionOne", "CaptionTwo", "BodyText"}) {
        EXPECT_NE(shown.find(visible), std::string::npos) << visible << " missing from:\n" << shown;
    }
    for (const char* hidden : {"Secret", "DataField", "ParentKey", "HiddenFormat", "HiddenOnly", "FieldType"}) {
        EXPECT_EQ(shown.find(hidden), std::string::npos) << hidden << " shown in:\n" << shown;
    }
}

}  // namespace
}  // namespace paperloom
