// Every field code found in the real documents of the shared corpus computes without
// throwing: QUOTE and "=" give a text or a visible error, INCLUDEPICTURE a picture request or
// an error, and every other field keeps its result.

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <zip.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/word/fieldcalc/FieldComputer.h"

namespace paperloom::word::fieldcalc {
namespace {

namespace fs = std::filesystem;

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string ReadEntry(zip_t* archive, zip_uint64_t index) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0 || stat.size > (64u << 20)) return {};
    const std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file) return {};
    std::string data(stat.size, '\0');
    const zip_int64_t read = zip_fread(file.get(), data.data(), stat.size);
    if (read < 0) return {};
    data.resize(static_cast<std::size_t>(read));
    return data;
}

// Field codes of one part, nested fields replaced by their shown results.
class FieldCodeCollector : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node& node) override {
        const std::string name = node.name();
        if (name == "w:fldSimple") {
            codes.emplace_back(node.attribute("w:instr").value());
        } else if (name == "w:fldChar") {
            const std::string type = node.attribute("w:fldCharType").value();
            if (type == "begin") {
                open_.push_back({});
            } else if (type == "separate" && !open_.empty()) {
                open_.back().inResult = true;
            } else if (type == "end" && !open_.empty()) {
                codes.push_back(open_.back().code);
                open_.pop_back();
            }
        } else if (name == "w:instrText" && !open_.empty() && !open_.back().inResult) {
            open_.back().code += node.child_value();
        } else if (name == "w:t" && open_.size() >= 2 && open_.back().inResult && !open_[open_.size() - 2].inResult) {
            open_[open_.size() - 2].code += node.child_value();
        }
        return true;
    }

    std::vector<std::string> codes;

private:
    struct OpenField {
        std::string code;
        bool inResult = false;
    };
    std::vector<OpenField> open_;
};

std::vector<std::string> FieldCodesOf(const fs::path& document) {
    int error = 0;
    const std::unique_ptr<zip_t, ZipCloser> archive(zip_open(document.c_str(), ZIP_RDONLY, &error));
    if (!archive) return {};
    FieldCodeCollector collector;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (name == nullptr) continue;
        const std::string part = name;
        if (part.rfind("word/", 0) != 0 || part.size() < 4 || part.compare(part.size() - 4, 4, ".xml") != 0) continue;
        const std::string xml = ReadEntry(archive.get(), static_cast<zip_uint64_t>(i));
        pugi::xml_document parsed;
        if (!parsed.load_buffer(xml.data(), xml.size())) continue;
        parsed.traverse(collector);
    }
    return collector.codes;
}

TEST(CorpusFieldCodeTest, EveryFieldCodeComputesOrKeepsItsResult) {
    const fs::path corpus = fs::path(PAPERLOOM_SHARED_DIR) / "corpus" / "good";
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no shared corpus";
    const FieldComputer computer;
    int computed = 0;
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".docx") continue;
        for (const std::string& code : FieldCodesOf(entry.path())) {
            const FieldResult result = computer.Compute(code);
            switch (result.type) {
                case FieldType::Quote:
                case FieldType::Formula:
                    EXPECT_TRUE(result.kind == FieldResult::Kind::Text || result.kind == FieldResult::Kind::Error)
                        << entry.path().filename() << ": " << code;
                    ++computed;
                    break;
                case FieldType::IncludePicture:
                    EXPECT_TRUE(result.kind == FieldResult::Kind::Picture || result.kind == FieldResult::Kind::Error)
                        << entry.path().filename() << ": " << code;
                    ++computed;
                    break;
                default:
                    EXPECT_EQ(result.kind, FieldResult::Kind::Keep) << entry.path().filename() << ": " << code;
                    ++kept;
            }
            if (result.kind == FieldResult::Kind::Error) {
                EXPECT_EQ(result.text.front(), '!') << code;
            }
        }
    }
    EXPECT_GT(computed, 0);
    EXPECT_GT(kept, 0);
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
