// Every sample document opens and saves back as the same package; every damaged one is refused.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "CorpusFiles.h"
#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

using testing::CorpusFiles;
using testing::XmlDifference;

bool LooksLikeXml(const Package& pkg, const std::string& name) {
    const std::string type = pkg.ContentType(name);
    return type.ends_with("xml") || name.ends_with(".xml") || name.ends_with(".rels");
}

// Parses XML the same way for both sides of a comparison.
bool ParseForComparison(pugi::xml_document& doc, const std::string& bytes) {
    return doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_full | pugi::parse_ws_pcdata);
}

class GoodCorpus : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = CorpusFiles("good");
        if (files_.empty()) GTEST_SKIP() << "the shared corpus is not present";
    }
    std::vector<std::filesystem::path> files_;
};

TEST_F(GoodCorpus, UnchangedSaveKeepsEveryPartByteForByte) {
    for (const auto& file : files_) {
        SCOPED_TRACE(file.filename().string());
        try {
            const Package original = Package::Open(file);
            // Reading as the document model does must not change what is saved.
            (void)original.Xml(original.MainDocumentPart());
            (void)original.Relationships(original.MainDocumentPart());
            const Package saved = Package::OpenFromMemory(original.SaveToMemory());
            EXPECT_EQ(saved.PartNames(), original.PartNames());
            for (const std::string& name : original.PartNames()) {
                EXPECT_EQ(saved.PartBytes(name), original.PartBytes(name)) << name;
            }
        } catch (const PackageError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST_F(GoodCorpus, PartsSavedFromTheirTreesAreTheSameXml) {
    for (const auto& file : files_) {
        SCOPED_TRACE(file.filename().string());
        try {
            const Package original = Package::Open(file);
            Package edited = Package::Open(file);
            for (const std::string& name : edited.PartNames()) {
                if (!LooksLikeXml(edited, name)) continue;
                try {
                    (void)edited.Xml(name);
                } catch (const PackageError&) {
                    // A damaged secondary part stays as loaded.
                }
            }
            const Package saved = Package::OpenFromMemory(edited.SaveToMemory());
            EXPECT_EQ(saved.PartNames(), original.PartNames());
            for (const std::string& name : original.PartNames()) {
                pugi::xml_document before;
                if (!LooksLikeXml(original, name) || !ParseForComparison(before, original.PartBytes(name))) {
                    EXPECT_EQ(saved.PartBytes(name), original.PartBytes(name)) << name;
                    continue;
                }
                pugi::xml_document after;
                EXPECT_TRUE(ParseForComparison(after, saved.PartBytes(name))) << name;
                EXPECT_EQ(XmlDifference(before, after), "") << name;
            }
        } catch (const PackageError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(BadCorpus, EveryFileIsRefusedWithAPackageError) {
    const auto files = CorpusFiles("bad");
    if (files.empty()) GTEST_SKIP() << "the shared corpus is not present";
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        try {
            (void)Package::Open(file);
            ADD_FAILURE() << "opened a damaged package";
        } catch (const PackageError& e) {
            EXPECT_FALSE(std::string(e.what()).empty());
            EXPECT_EQ(e.Source(), "Paperloom.Package");
        }
        // The same bytes from memory, and every prefix-truncated copy, are refused too.
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto* data = reinterpret_cast<const std::byte*>(bytes.data());
        EXPECT_THROW((void)Package::OpenFromMemory({data, bytes.size()}), PackageError);
        EXPECT_THROW((void)Package::OpenFromMemory({data, bytes.size() / 2}), PackageError);
    }
}

}  // namespace
}  // namespace paperloom::docx
