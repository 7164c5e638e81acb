// The print service against stand-in programs (shell scripts in place of the office suite and
// the spooler): what they are asked, what their failures and silences become, the time limit,
// and print folders that never lose or overwrite a file.

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/ui/PrintOfficeService.h"
#include "support/TestFiles.h"

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

namespace paperloom::ui {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class Scratch : public paperloom::test::ScratchFolder {
public:
    Scratch() : ScratchFolder("paperloom-printtest") {}
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

fs::path Script(const fs::path& folder, const std::string& name, const std::string& body) {
    const fs::path path = folder / name;
    Write(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

// A suite stand-in: writes its arguments one per line to args.txt and "PDF of" + the input's
// bytes to <outdir>/<input stem>.pdf, as the suite names its output.
const char* kFakeOffice = R"(dir=$(dirname "$0")
: > "$dir/args.txt"
out=""; prev=""
for a in "$@"; do echo "$a" >> "$dir/args.txt"; [ "$prev" = "--outdir" ] && out="$a"; prev="$a"; done
last="$a"; stem=$(basename "$last" .docx)
{ printf 'PDF of '; cat "$last"; } > "$out/$stem.pdf"
)";

// A status-program stand-in: two printers, "Label" the default; it notes each question and the
// locale it was asked in.
const char* kFakeStatus = R"(echo "$1 $LC_ALL" >> "$(dirname "$0")/status.txt"
case "$1" in
  -e) printf 'Office 2\nLabel\n' ;;
  -d) echo 'system default destination: Label' ;;
esac
)";

class PrintServiceTest : public ::testing::Test {
protected:
    fs::path Document(const std::string& name = "invoice.docx", const std::string& text = "document bytes") {
        const fs::path path = scratch_.Path() / name;
        Write(path, text);
        return path;
    }
    PrintOptions Options() {
        PrintOptions options;
        options.officeProgram = Script(scratch_.Path(), "office", kFakeOffice).string();
        options.statusProgram = Script(scratch_.Path(), "lpstat", kFakeStatus).string();
        options.timeout = 20s;
        return options;
    }
    std::vector<std::string> Lines(const fs::path& path) {
        std::vector<std::string> lines;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    Scratch scratch_;
};

TEST_F(PrintServiceTest, RendersThroughTheHeadlessSuiteWithAPrivateProfileAndReplacesTheTarget) {
    OfficePrintService service(Options());
    const fs::path pdf = scratch_.Path() / "out.pdf";
    Write(pdf, "old");
    // An awkward name: blanks and a leading dash must not reach the suite as options.
    service.RenderPdf(Document("-my invoice.docx", "abc"), pdf);
    EXPECT_EQ(Read(pdf), "PDF of abc");

    const auto args = Lines(scratch_.Path() / "args.txt");
    ASSERT_FALSE(args.empty());
    EXPECT_NE(std::find(args.begin(), args.end(), "--headless"), args.end());
    const auto profile = std::find_if(args.begin(), args.end(),
                                      [](const std::string& a) { return a.starts_with("-env:UserInstallation=file:///"); });
    ASSERT_NE(profile, args.end());
    EXPECT_EQ(args.back().find("-my"), std::string::npos) << args.back();
    // Two services (two processes) never share a profile.
    OfficePrintService other(Options());
    other.RenderPdf(Document(), scratch_.Path() / "other.pdf");
    const auto otherArgs = Lines(scratch_.Path() / "args.txt");
    EXPECT_EQ(std::count(otherArgs.begin(), otherArgs.end(), *profile), 0);
}

TEST_F(PrintServiceTest, FailuresOfTheSuiteAreReportedWithItsOutputAndLeaveTheTargetAlone) {
    PrintOptions options = Options();
    const fs::path pdf = scratch_.Path() / "out.pdf";
    Write(pdf, "keep me");

    // Exit status 0 but no PDF, as the suite does for a file it cannot load.
    options.officeProgram = Script(scratch_.Path(), "silent", "echo 'Error: source file could not be loaded'\n").string();
    try {
        OfficePrintService(options).RenderPdf(Document(), pdf);
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 4198);
        EXPECT_NE(error.Description().find("could not render invoice.docx"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("source file could not be loaded"), std::string::npos);
    }
    options.officeProgram = Script(scratch_.Path(), "crash", "echo broken >&2; exit 3\n").string();
    try {
        OfficePrintService(options).RenderPdf(Document(), pdf);
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("exit status 3"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("broken"), std::string::npos);
    }
    EXPECT_EQ(Read(pdf), "keep me");
    // No document: said so, the suite is not started.
    EXPECT_THROW(OfficePrintService(Options()).RenderPdf(scratch_.Path() / "missing.docx", pdf), host::HostError);
    EXPECT_FALSE(fs::exists(scratch_.Path() / "args.txt"));
}

TEST_F(PrintServiceTest, AMissingSuiteOrSpoolerNamesThePackagesToInstall) {
    PrintOptions options = Options();
    options.officeProgram = (scratch_.Path() / "no-such-office").string();
    try {
        OfficePrintService(options).RenderPdf(Document(), scratch_.Path() / "out.pdf");
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("libreoffice-writer-nogui"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("fonts-noto-cjk"), std::string::npos);
    }
    options = Options();
    options.spoolProgram = "no-such-spooler-program";
    try {
        OfficePrintService(options).PrintDocument(Document(), "job");
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("cups-client"), std::string::npos) << error.Description();
    }
}

TEST_F(PrintServiceTest, AHungSuiteIsKilledWithEverythingItStartedWhenTheTimeIsUp) {
    PrintOptions options = Options();
    const fs::path pidFile = scratch_.Path() / "helper.pid";
    options.officeProgram =
        Script(scratch_.Path(), "hang", "sleep 60 &\necho $! > \"$(dirname \"$0\")/helper.pid\"\nwait\n").string();
    options.timeout = 300ms;
    const auto start = std::chrono::steady_clock::now();
    try {
        OfficePrintService(options).RenderPdf(Document(), scratch_.Path() / "out.pdf");
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("did not finish"), std::string::npos) << error.Description();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    const pid_t helper = std::stoi(Read(pidFile));
    // The helper was killed with its group (it may linger a moment until it is reaped).
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        const std::string stat = Read("/proc/" + std::to_string(helper) + "/stat");
        gone = stat.empty() || stat.find(") Z") != std::string::npos;
        if (!gone) std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(gone) << "pid " << helper;
}

TEST_F(PrintServiceTest, APrintFolderReceivesOnePdfPerJobAndNeverOverwritesOne) {
    PrintOptions options = Options();
    options.printDir = scratch_.Path() / "printed" / "new";  // made when missing
    OfficePrintService service(options);
    service.PrintDocument(Document("a.docx", "first"), "請求書.docx");
    service.PrintDocument(Document("b.docx", "second"), "請求書");
    service.PrintDocument(Document("c.docx", "third"), "../../escape");
    EXPECT_EQ(Read(options.printDir / "請求書.pdf"), "PDF of first");
    EXPECT_EQ(Read(options.printDir / "請求書-2.pdf"), "PDF of second");
    EXPECT_EQ(Read(options.printDir / "_.._escape.pdf"), "PDF of third");
    EXPECT_EQ(std::distance(fs::directory_iterator(options.printDir), fs::directory_iterator{}), 3);

    // A print folder that cannot be made is an error, not a silent loss.
    Write(scratch_.Path() / "file", "");
    options.printDir = scratch_.Path() / "file" / "sub";
    EXPECT_THROW(OfficePrintService(options).PrintDocument(Document(), "job"), host::HostError);
}

TEST_F(PrintServiceTest, TheSpoolerGetsThePrinterTheJobNameAndThePdfAndItsRefusalIsAnError) {
    PrintOptions options = Options();
    const fs::path spooled = scratch_.Path() / "spooled.pdf";
    options.spoolProgram = Script(scratch_.Path(), "lp",
                                  "for a in \"$@\"; do echo \"$a\"; done > \"$(dirname \"$0\")/lp.txt\"\n"
                                  "for a in \"$@\"; do last=\"$a\"; done; cp \"$last\" \"$(dirname \"$0\")/spooled.pdf\"\n")
                               .string();
    options.printer = "Office 2";
    OfficePrintService(options).PrintDocument(Document("x.docx", "body"), "Document3");
    auto args = Lines(scratch_.Path() / "lp.txt");
    ASSERT_EQ(args.size(), 6U);
    EXPECT_EQ(args[0], "-d");
    EXPECT_EQ(args[1], "Office 2");
    EXPECT_EQ(args[2], "-t");
    EXPECT_EQ(args[3], "Document3");
    EXPECT_EQ(args[4], "--");
    EXPECT_EQ(Read(spooled), "PDF of body");

    options.printer.clear();
    options.spoolProgram =
        Script(scratch_.Path(), "lp-refuses", "echo 'lp: The printer or class does not exist.' >&2; exit 1\n").string();
    try {
        OfficePrintService(options).PrintDocument(Document(), "job");
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("printer or class does not exist"), std::string::npos) << error.Description();
    }
}

}  // namespace
}  // namespace paperloom::ui

namespace paperloom::ui {
namespace {

class PrintDestinationTest : public PrintServiceTest {
protected:
    // A spooler stand-in that keeps the PDF it is given as spooled.pdf.
    PrintOptions SpoolingOptions() {
        PrintOptions options = Options();
        options.spoolProgram = Script(scratch_.Path(), "lp",
                                      "for a in \"$@\"; do last=\"$a\"; done; cp \"$last\" \"$(dirname \"$0\")/spooled.pdf\"\n")
                                   .string();
        return options;
    }
    std::string PrintError(const PrintOptions& options) {
        try {
            OfficePrintService(options).PrintDocument(Document(), "job");
        } catch (const host::HostError& error) {
            return error.Description();
        }
        return "(no error)";
    }
};

TEST_F(PrintDestinationTest, ThePrinterIsLookedUpOnceBeforeRenderingWithoutRegardToLetterCase) {
    PrintOptions options = SpoolingOptions();
    options.printer = "office 2";
    OfficePrintService service(options);
    service.CheckPrograms(true);
    service.PrintDocument(Document("x.docx", "body"), "job");
    EXPECT_EQ(Read(scratch_.Path() / "spooled.pdf"), "PDF of body");
    // Asked in the C locale, whose answers are the ones read; once for the service's life.
    EXPECT_EQ(Lines(scratch_.Path() / "status.txt"), (std::vector<std::string>{"-e C", "-d C"}));

    // Rendering alone and print folders never ask the print server.
    fs::remove(scratch_.Path() / "status.txt");
    options.printDir = scratch_.Path() / "printed";
    OfficePrintService(options).PrintDocument(Document(), "job");
    OfficePrintService(SpoolingOptions()).RenderPdf(Document(), scratch_.Path() / "out.pdf");
    EXPECT_FALSE(fs::exists(scratch_.Path() / "status.txt"));
}

TEST_F(PrintDestinationTest, AnUnknownPrinterOrAMissingDefaultIsReportedWithThePrintersBeforeAnythingIsRendered) {
    PrintOptions options = SpoolingOptions();
    options.printer = "Nowhere";
    std::string message = PrintError(options);
    EXPECT_NE(message.find("no printer named \"Nowhere\""), std::string::npos) << message;
    EXPECT_NE(message.find("Office 2, Label (default)"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(scratch_.Path() / "args.txt")) << "the suite ran for a printer that is not there";
    EXPECT_FALSE(fs::exists(scratch_.Path() / "spooled.pdf"));

    options.printer.clear();
    options.statusProgram =
        Script(scratch_.Path(), "lpstat-nodefault",
               "case \"$1\" in -e) echo Office;; -d) echo 'no system default destination';; esac\n")
            .string();
    message = PrintError(options);
    EXPECT_NE(message.find("no default printer. Its printers: Office;"), std::string::npos) << message;

    // What the server says about a default that is wrong is passed on.
    options.statusProgram = Script(scratch_.Path(), "lpstat-baddefault",
                                   "case \"$1\" in -e) echo Office;; -d) echo 'lpstat: error - LPDEST names "
                                   "a nonexistent destination';; esac\n")
                                .string();
    message = PrintError(options);
    EXPECT_NE(message.find("LPDEST names a nonexistent destination"), std::string::npos) << message;

    options.statusProgram = Script(scratch_.Path(), "lpstat-none", "exit 0\n").string();
    options.printer = "Office";
    message = PrintError(options);
    EXPECT_NE(message.find("has no printers"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(scratch_.Path() / "args.txt"));
}

TEST_F(PrintDestinationTest, AFailingStatusProgramIsAnErrorAndAMissingOneLeavesTheChoiceToTheSpooler) {
    PrintOptions options = SpoolingOptions();
    options.statusProgram =
        Script(scratch_.Path(), "lpstat-broken", "echo 'lpstat: Forbidden' >&2; exit 1\n").string();
    const std::string message = PrintError(options);
    EXPECT_NE(message.find("cannot be listed"), std::string::npos) << message;
    EXPECT_NE(message.find("lpstat: Forbidden"), std::string::npos) << message;

    options.statusProgram = "no-such-status-program";
    options.printer = "Anything";
    OfficePrintService(options).PrintDocument(Document("y.docx", "spooled anyway"), "job");
    EXPECT_EQ(Read(scratch_.Path() / "spooled.pdf"), "PDF of spooled anyway");
}

}  // namespace
}  // namespace paperloom::ui
