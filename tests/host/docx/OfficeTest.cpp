// Packages we save open in the office suite: headless conversion to PDF succeeds. Slow; label "office".
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "CorpusFiles.h"
#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<fs::path> FindOffice() {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const fs::path candidate = fs::path(rest.substr(0, colon)) / "soffice";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

// Runs the office suite headless with its own profile, output appended to `log`.
class Office {
public:
    Office(fs::path program, fs::path work) : program_(std::move(program)), work_(std::move(work)) {}

    void Convert(const std::vector<fs::path>& inputs, const std::string& format, const fs::path& outdir) const {
        std::vector<std::string> args = {program_.string(), "--headless", "--norestore",
                                         "-env:UserInstallation=file://" + (work_ / "profile").string(),
                                         "--convert-to", format, "--outdir", outdir.string()};
        for (const auto& in : inputs) args.push_back(in.string());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int fd = ::open((work_ / "office.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (fd >= 0) {
                ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
            ::alarm(1200);  // a hung conversion must not hang the test run
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }

    // Converts every input to PDF. The suite can stop part-way through a long list, so the
    // files it never reached are tried again; returns the inputs that produced no PDF.
    std::set<fs::path> ToPdf(std::vector<fs::path> pending, const fs::path& outdir) const {
        constexpr std::size_t kBatch = 80;
        std::set<fs::path> failed;
        while (!pending.empty()) {
            const std::vector<fs::path> batch(pending.begin(),
                                              pending.begin() + static_cast<long>(std::min(kBatch, pending.size())));
            Convert(batch, "pdf", outdir);
            std::size_t lastDone = batch.size();
            for (std::size_t i = 0; i < batch.size(); ++i) {
                if (IsPdf(PdfFor(batch[i], outdir))) lastDone = i;
            }
            std::vector<fs::path> next;
            for (std::size_t i = 0; i < batch.size(); ++i) {
                if (IsPdf(PdfFor(batch[i], outdir))) continue;
                // Before the last converted file it was tried and failed; after it, never reached.
                if (lastDone == batch.size() ? i == 0 : i < lastDone) {
                    failed.insert(batch[i]);
                } else {
                    next.push_back(batch[i]);
                }
            }
            next.insert(next.end(), pending.begin() + static_cast<long>(batch.size()), pending.end());
            pending = std::move(next);
        }
        return failed;
    }

    static fs::path PdfFor(const fs::path& input, const fs::path& outdir) {
        return outdir / input.filename().replace_extension(".pdf");
    }
    static bool IsPdf(const fs::path& file) { return ReadFile(file).starts_with("%PDF"); }

private:
    fs::path program_;
    fs::path work_;
};

class OfficeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto program = FindOffice();
        if (!program) GTEST_SKIP() << "the office suite (soffice) is not installed";
        work_ = fs::temp_directory_path() / ("paperloom-office-" + std::to_string(::getpid()));
        fs::remove_all(work_);
        fs::create_directories(work_);
        office_.emplace(*program, work_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(work_, ec);
    }
    fs::path Folder(const char* name) const {
        fs::create_directories(work_ / name);
        return work_ / name;
    }

    fs::path work_;
    std::optional<Office> office_;
};

TEST_F(OfficeTest, BlankDocumentConvertsAndKeepsTextThroughTheSuite) {
    Package blank = Package::CreateBlank();
    pugi::xml_node p = blank.Xml("word/document.xml").select_node("//w:body/w:p").node();
    p.append_child("w:r").append_child("w:t").text() = "請求書 Invoice";
    const fs::path in = Folder("in") / "blank.docx";
    blank.Save(in);

    const auto failed = office_->ToPdf({in}, Folder("pdf"));
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(ReadFile(work_ / "office.log").find("Error"), std::string::npos) << ReadFile(work_ / "office.log");
    // An A4 portrait page is 595.3 x 841.9 points.
    const std::string pdf = ReadFile(work_ / "pdf" / "blank.pdf");
    EXPECT_NE(pdf.find("MediaBox[0 0 595.3"), std::string::npos);
    EXPECT_NE(pdf.find(" 841.8"), std::string::npos);

    // The suite's own .docx of our document opens here and still holds the text.
    office_->Convert({in}, "docx", Folder("docx"));
    const Package back = Package::Open(work_ / "docx" / "blank.docx");
    std::string text;  // the suite may split the text into runs by script
    for (const auto& t : back.Xml(back.MainDocumentPart()).select_nodes("//w:t")) text += t.node().text().get();
    EXPECT_EQ(text, "請求書 Invoice");

    // And the suite's package, edited and saved here, converts again.
    Package edited = Package::Open(work_ / "docx" / "blank.docx");
    pugi::xml_node body = edited.Xml(edited.MainDocumentPart()).select_node("//w:body").node();
    pugi::xml_node para = body.insert_child_before("w:p", body.first_child());
    para.append_child("w:r").append_child("w:t").text() = "明細";
    const fs::path again = Folder("again") / "edited.docx";
    edited.Save(again);
    EXPECT_TRUE(office_->ToPdf({again}, Folder("pdf")).empty());
}

TEST_F(OfficeTest, EverySavedCorpusFileConverts) {
    const auto files = testing::CorpusFiles("good");
    if (files.empty()) GTEST_SKIP() << "the shared corpus is not present";

    // Every XML part is saved from its tree, the harder case for the suite to accept.
    const fs::path saved = Folder("saved");
    std::vector<fs::path> inputs;
    std::map<fs::path, fs::path> originals;
    for (const auto& file : files) {
        Package pkg = Package::Open(file);
        for (const std::string& name : pkg.PartNames()) {
            if (!(name.ends_with(".xml") || name.ends_with(".rels"))) continue;
            try {
                (void)pkg.Xml(name);
            } catch (const PackageError&) {
            }
        }
        const fs::path out = saved / file.filename();
        pkg.Save(out);
        inputs.push_back(out);
        originals[out] = file;
    }

    const std::set<fs::path> failed = office_->ToPdf(inputs, Folder("pdf"));
    EXPECT_LT(failed.size(), inputs.size() / 10) << "most conversions failed; is the suite working?";
    // A saved file may fail only where the suite cannot convert the original either.
    std::vector<fs::path> originalsToTry;
    for (const auto& f : failed) originalsToTry.push_back(originals[f]);
    const std::set<fs::path> originalsFailed = office_->ToPdf(originalsToTry, Folder("original-pdf"));
    for (const auto& f : failed) {
        EXPECT_TRUE(originalsFailed.count(originals[f])) << f.filename() << " converts only before our save";
    }
}

}  // namespace
}  // namespace paperloom::docx
