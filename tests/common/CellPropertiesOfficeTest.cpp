// The office suite shows a template's table cells without their hidden property text:
// the document is converted to PDF headless and the PDF's text compared. Slow; label "office".

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CommonTestSupport.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"

namespace paperloom {
namespace {

namespace fs = std::filesystem;

bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a program with its output in `logFile`; true when it exited with 0.
bool RunProgram(const std::vector<std::string>& args, const fs::path& logFile) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::alarm(600);  // a hung conversion must not hang the test run
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(CellPropertiesOffice, TheSuiteShowsCellsWithoutTheirPropertyText) {
    if (!HaveProgram("soffice") || !HaveProgram("pdftotext")) GTEST_SKIP() << "no office suite or pdftotext";
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

    ASSERT_TRUE(RunProgram({"soffice", "--headless", "--norestore",
                     "-env:UserInstallation=file://" + (work.Path() / "profile").string(), "--convert-to", "pdf",
                     "--outdir", work.Path().string(), docx.string()},
                    log))
        << "see " << log;
    const fs::path pdf = work.Path() / "cells.pdf";
    ASSERT_TRUE(fs::exists(pdf)) << "see " << log;
    const fs::path txt = work.Path() / "cells.txt";
    ASSERT_TRUE(RunProgram({"pdftotext", "-layout", pdf.string(), txt.string()}, log));
    std::ifstream in(txt);
    std::stringstream text;
    text << in.rdbuf();
    const std::string shown = text.str();
    for (const char* visible : {"CaptionOne", "CaptionTwo", "BodyText"}) {
        EXPECT_NE(shown.find(visible), std::string::npos) << visible << " missing from:\n" << shown;
    }
    for (const char* hidden : {"Secret", "DataField", "ParentKey", "HiddenFormat", "HiddenOnly", "FieldType"}) {
        EXPECT_EQ(shown.find(hidden), std::string::npos) << hidden << " shown in:\n" << shown;
    }
}

}  // namespace
}  // namespace paperloom
