// A document made to carry a template's settings opens in the office suite: headless
// conversion to PDF succeeds. Slow; label "office".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "TestSupport.h"
#include "host/word/settings/DocumentSettings.h"
#include "host/word/settings/PageSetup.h"
#include "host/word/settings/SettingsCopy.h"
#include "host/word/settings/Styles.h"
#include "host/word/settings/Typography.h"
#include "host/word/settings/Variables.h"
#include "support/OfficeSuite.h"
#include "support/TestFiles.h"

namespace paperloom::word {
namespace {

namespace fs = std::filesystem;

// A scratch folder removed however the test ends.
struct TempDir {
    paperloom::test::ScratchFolder folder{"paperloom-settings"};
    const fs::path& path = folder.Path();
};

// A template with every settings group changed from the blank document's.
docx::Package Template() {
    docx::Package package = docx::Package::CreateBlank();
    PageSetup setup(package);
    setup.SetOrientation(wdOrientLandscape);
    setup.SetTopMargin(60);
    setup.SetMirrorMargins(true);
    setup.SetLayoutMode(wdLayoutModeGrid);
    setup.SetCharsLine(30);
    setup.TextColumns().SetCount(2);
    setup.TextColumns().Item(1).SetWidth(300);
    setup.LineNumbering().SetActive(true);
    setup.LineNumbering().SetCountBy(5);
    DocumentSettings settings(package);
    settings.SetCompatibility(1, true);
    settings.SetCompatibility(26, true);
    Typography typography(package);
    typography.SetFarEastLineBreakLevel(wdFarEastLineBreakLevelCustom);
    typography.SetJustificationMode(wdJustificationModeCompressKana);
    Styles(package).Add("帳票本文");
    settings.SetClickAndTypeParagraphStyle("帳票本文");
    Variables(package).SetValue("RecordSource", "SELECT * FROM 受注");
    pugi::xml_node body = package.Xml("word/document.xml").document_element().child("w:body");
    pugi::xml_node paragraph = body.first_child();
    paragraph.append_child("w:pPr").append_child("w:pStyle").append_attribute("w:val") =
        Styles(package).Item("帳票本文").StyleId().c_str();
    paragraph.append_child("w:r").append_child("w:t").text().set("受注一覧");
    return package;
}

TEST(SettingsOffice, ACopyOfTheTemplatesSettingsConvertsToPdf) {
    if (!paperloom::test::HaveProgram("soffice")) GTEST_SKIP() << "no office suite";
    const TempDir scratch;
    const fs::path& work = scratch.path;

    docx::Package source = Template();
    docx::Package copy = docx::Package::CreateBlank();
    CopyPageSetup(copy, source);
    CopyDocumentSettings(copy, source);
    CopyUsedStyles(copy, source);
    CopyDocumentVariables(copy, source);
    // The content follows, as the working copy's content copy would bring it.
    pugi::xml_node body = copy.Xml("word/document.xml").document_element().child("w:body");
    body.prepend_copy(source.Xml("word/document.xml").document_element().child("w:body").first_child());

    const fs::path saved = work / "copy.docx";
    copy.Save(saved);
    const auto converted = paperloom::test::ConvertToPdf(saved, work);
    ASSERT_TRUE(converted) << "see " << (work / "office.log");
    const fs::path pdf = *converted;
    EXPECT_GT(fs::file_size(pdf), 500u);
    // The office suite laid the pages out with the copied page setup: landscape A4.
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto box = bytes.find("MediaBox[");
    ASSERT_NE(box, std::string::npos);
    std::istringstream numbers(bytes.substr(box + 9, 80));
    double left = 0, bottom = 0, width = 0, height = 0;
    numbers >> left >> bottom >> width >> height;
    EXPECT_NEAR(width, 841.9, 0.5);
    EXPECT_NEAR(height, 595.3, 0.5);

    docx::Package readable = docx::Package::Open(saved);
    EXPECT_EQ(Variables(readable).Item("recordsource").Value(), "SELECT * FROM 受注");
    EXPECT_EQ(PageSetup(readable).Orientation(), wdOrientLandscape);
    EXPECT_EQ(DocumentSettings(readable).ClickAndTypeParagraphStyle(), "帳票本文");
}

}  // namespace
}  // namespace paperloom::word
