// The zip container written front to back: an entry made of a head and a spilled part (deflated
// piece by piece on its own thread) reads back as one part, with and without zip64 records,
// through the same reader every package goes through; a writer never committed leaves the
// target as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "host/docx/AtomicFile.h"
#include "host/docx/Package.h"
#include "host/docx/ZipArchive.h"
#include "host/docx/ZipStream.h"

namespace paperloom::docx {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<zip::Entry> ReadBack(const std::filesystem::path& path) {
    const std::string bytes = ReadAll(path);
    return zip::Read(std::as_bytes(std::span(bytes.data(), bytes.size())), PackageLimits{});
}

TEST(ZipStream, ASpilledEntryReadsBackAsOnePartWithAndWithoutZip64) {
    test::ScratchFolder folder;
    // Pieces of varied sizes, some far larger than the compressor's buffer, some empty.
    std::vector<std::string> pieces;
    std::string whole = "<head>";
    for (int i = 0; i < 40; ++i) {
        std::string piece(static_cast<std::size_t>(i * i * 97) % 200000, static_cast<char>('a' + i % 26));
        piece += "<p>" + std::to_string(i) + "</p>";
        whole += piece;
        pieces.push_back(std::move(piece));
    }
    whole += "<tail/>";

    for (const bool zip64 : {false, true}) {
        SCOPED_TRACE(zip64 ? "zip64" : "zip");
        const auto target = folder.File(zip64 ? "big.zip" : "small.zip");
        zip::DeflatedSpill spill;
        for (const auto& piece : pieces) spill.Append(piece);
        spill.Finish("<tail/>");
        AtomicFileWriter file(target);
        zip::StreamWriter writer(file, zip64);
        writer.Add("[Content_Types].xml", "<Types/>");
        writer.AddSpilled("word/document.xml", "<head>", spill);
        writer.Add("word/empty.xml", "");
        writer.Finish();
        file.Commit();

        const auto entries = ReadBack(target);
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[0].name, "[Content_Types].xml");
        EXPECT_EQ(entries[0].data, "<Types/>");
        EXPECT_EQ(entries[1].name, "word/document.xml");
        EXPECT_TRUE(entries[1].data == whole) << entries[1].data.size() << " bytes against " << whole.size();
        EXPECT_EQ(entries[2].data, "");
    }
}

TEST(ZipStream, AWriterNeverCommittedLeavesTheTargetAsItWas) {
    test::ScratchFolder folder;
    const auto target = folder.File("report.docx");
    std::ofstream(target) << "earlier";
    {
        AtomicFileWriter file(target);
        file.Write(std::as_bytes(std::span("later", 5)));
        // A spill abandoned half way stops its thread without writing anything anywhere.
        zip::DeflatedSpill spill;
        spill.Append(std::string(1 << 20, 'x'));
    }
    EXPECT_EQ(ReadAll(target), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

}  // namespace
}  // namespace paperloom::docx
