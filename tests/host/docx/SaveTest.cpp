// Saving replaces the target in one step, or not at all.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("paperloom-save-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        for (const auto& e : fs::recursive_directory_iterator(dir_, ec)) fs::permissions(e.path(), fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    // Nothing but the named files: no temporary file was left behind.
    std::vector<std::string> Listing(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static bool RunningAsRoot() { return ::geteuid() == 0; }

    fs::path dir_;
};

TEST_F(SaveTest, WritesNewAndReplacesExistingFiles) {
    Package pkg = Package::CreateBlank();
    const fs::path target = dir_ / "report.docx";
    pkg.Save(target);
    EXPECT_EQ(Package::Open(target).MainDocumentPart(), "word/document.xml");

    // Replacing keeps the existing file's permissions.
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    pkg.Xml("word/document.xml").document_element().append_attribute("marker") = "second";
    pkg.Save(target);
    EXPECT_NE(Package::Open(target).PartBytes("word/document.xml").find("marker=\"second\""), std::string::npos);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"report.docx"});
}

TEST_F(SaveTest, SavingThroughALinkUpdatesTheLinkedFile) {
    const fs::path real = dir_ / "real.docx";
    const fs::path link = dir_ / "link.docx";
    Package::CreateBlank().Save(real);
    fs::create_symlink(real, link);
    Package pkg = Package::Open(link);
    pkg.SetPartBytes("word/extra.bin", "x", "application/octet-stream");
    pkg.Save(link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(Package::Open(real).HasPart("word/extra.bin"));
}

TEST_F(SaveTest, ReadOnlyFileIsLeftIntact) {
    const fs::path target = dir_ / "locked.docx";
    WriteFile(target, "original contents");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);  // 0444
    try {
        Package::CreateBlank().Save(target);
        ADD_FAILURE() << "saved over a read-only file";
    } catch (const PackageError& e) {
        EXPECT_NE(std::string(e.what()).find("read-only"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(target), "original contents");
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"locked.docx"});
}

TEST_F(SaveTest, ReadOnlyFolderIsLeftIntact) {
    const fs::path folder = dir_ / "locked";
    fs::create_directories(folder);
    const fs::path target = folder / "report.docx";
    WriteFile(target, "original contents");
    // The file itself may be written by anyone: only the folder stands in the way.
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);  // 0555
    if (RunningAsRoot()) {
        // Root writes into any folder, so the save runs in a child that has become nobody.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int code = 3;
            if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
                try {
                    Package::CreateBlank().Save(target);
                    code = 1;
                } catch (const PackageError&) {
                    code = 0;
                }
            }
            ::_exit(code);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 3) << "cannot drop privileges";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "saved into a read-only folder";
    } else {
        EXPECT_THROW(Package::CreateBlank().Save(target), PackageError);
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(target), "original contents");
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"report.docx"});
}

TEST_F(SaveTest, UnwritablePlacesFailCleanlyEvenForRoot) {
    // A file where a folder should be stops every user.
    const fs::path notAFolder = dir_ / "plain.txt";
    WriteFile(notAFolder, "text");
    EXPECT_THROW(Package::CreateBlank().Save(notAFolder / "report.docx"), PackageError);
    EXPECT_EQ(ReadFile(notAFolder), "text");

    // A folder as the target is not replaced.
    const fs::path folder = dir_ / "folder.docx";
    fs::create_directories(folder);
    WriteFile(folder / "inside.txt", "kept");
    EXPECT_THROW(Package::CreateBlank().Save(folder), PackageError);
    EXPECT_EQ(ReadFile(folder / "inside.txt"), "kept");

    EXPECT_THROW(Package::CreateBlank().Save(dir_ / "missing" / "report.docx"), PackageError);
    // The process file system refuses new files, root or not.
    EXPECT_THROW(Package::CreateBlank().Save("/proc/self/paperloom-report.docx"), PackageError);
    EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"folder.docx", "plain.txt"}));
}

TEST_F(SaveTest, OpenReportsMissingFiles) {
    try {
        (void)Package::Open(dir_ / "absent.docx");
        ADD_FAILURE() << "opened a missing file";
    } catch (const PackageError& e) {
        EXPECT_NE(std::string(e.what()).find("absent.docx"), std::string::npos);
    }
    EXPECT_THROW((void)Package::Open(dir_), PackageError);  // a folder
}

}  // namespace
}  // namespace paperloom::docx
