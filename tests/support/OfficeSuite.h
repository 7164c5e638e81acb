#pragma once
// Rendering through the office suite for the tests that check what a reader of a document
// would see: convert to PDF headless (a private profile per folder, so parallel tests never
// share one), then read the PDF's text and page count with poppler's tools.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::test {

inline bool HaveProgram(std::string_view name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// True when the office suite and poppler's tools are there; tests skip without them.
inline bool HaveOfficeSuite() {
    return HaveProgram("soffice") && HaveProgram("pdftotext") && HaveProgram("pdfinfo");
}

// Runs a program with its output appended to `logFile`; true when it exited with 0. A hung
// program is stopped after `timeoutSeconds` so it cannot hang the test run.
inline bool RunProgram(const std::vector<std::string>& args, const std::filesystem::path& logFile,
                       unsigned timeoutSeconds = 600) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::alarm(timeoutSeconds);
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

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Converts the document into `work` (log in work/office.log); the PDF, or nothing on failure.
inline std::optional<std::filesystem::path> ConvertToPdf(const std::filesystem::path& document,
                                                         const std::filesystem::path& work) {
    const bool converted =
        RunProgram({"soffice", "--headless", "--norestore",
                    "-env:UserInstallation=file://" + (work / "profile").string(), "--convert-to", "pdf",
                    "--outdir", work.string(), document.string()},
                   work / "office.log");
    const std::filesystem::path pdf = work / (document.stem().string() + ".pdf");
    if (!converted || !std::filesystem::exists(pdf)) return std::nullopt;
    return pdf;
}

// The PDF's text laid out as on the page; "" when it cannot be read.
inline std::string PdfText(const std::filesystem::path& pdf) {
    const std::filesystem::path text = pdf.string() + ".txt";
    if (!RunProgram({"pdftotext", "-layout", pdf.string(), text.string()}, pdf.string() + ".log")) return {};
    return ReadWholeFile(text);
}

// The PDF's page count; -1 when it cannot be read.
inline long PdfPages(const std::filesystem::path& pdf) {
    const std::filesystem::path info = pdf.string() + ".info";
    const std::string command = "pdfinfo '" + pdf.string() + "' > '" + info.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return -1;
    const std::string text = ReadWholeFile(info);
    static const std::regex pages(R"(Pages:\s+(\d+))");
    std::smatch match;
    return std::regex_search(text, match, pages) ? std::stol(match[1].str()) : -1;
}

}  // namespace paperloom::test
