// A document made to carry a template's settings opens in the office suite: headless
// conversion to PDF succeeds. Slow; label "office".
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

namespace paperloom::word {
namespace {

namespace fs = std::filesystem;

// Converts `input` to PDF in `work` with a private profile; returns the PDF's path.
fs::path ConvertToPdf(const fs::path& input, const fs::path& work) {
    const std::string profile = "-env:UserInstallation=file://" + (work / "profile").string();
    const std::string outdir = work.string();
    const std::string in = input.string();
    const pid_t child = ::fork();
    if (child == 0) {
        const int log = ::open((work / "office.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::alarm(600);  // a hung conversion must not hang the test run
        ::execlp("soffice", "soffice", "--headless", "--norestore", profile.c_str(), "--convert-to", "pdf",
                 "--outdir", outdir.c_str(), in.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    return work / (input.stem().string() + ".pdf");
}

// A scratch folder removed however the test ends.
struct TempDir {
    fs::path path = fs::temp_directory_path() / ("paperloom-settings-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
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
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no office suite";
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
    const fs::path pdf = ConvertToPdf(saved, work);
    ASSERT_TRUE(fs::exists(pdf)) << "see " << (work / "office.log");
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
