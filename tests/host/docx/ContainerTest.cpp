// Unusual but sound containers open; damaged, hostile or foreign ones are refused clearly.
#include <gtest/gtest.h>

#include <functional>

#include "RawZip.h"
#include "host/docx/Package.h"

namespace paperloom::docx {
namespace {

using testing::RawEntry;
using testing::RawZipWriter;

// The parts of a blank document, to be written by the raw writer with changes.
std::vector<RawEntry> BlankEntries() {
    const Package blank = Package::CreateBlank();
    std::vector<RawEntry> entries;
    for (const std::string& name : blank.PartNames()) entries.push_back({name, blank.PartBytes(name)});
    return entries;
}

std::vector<std::byte> Build(std::vector<RawEntry> entries, bool zip64 = false) {
    RawZipWriter writer(zip64);
    for (auto& e : entries) writer.Add(std::move(e));
    return writer.Finish();
}

RawEntry* Named(std::vector<RawEntry>& entries, const std::string& name) {
    for (auto& e : entries) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

// The message of the PackageError that opening raises, or "" when it opens.
std::string RefusalOf(std::span<const std::byte> bytes, const PackageLimits& limits = {}) {
    try {
        (void)Package::OpenFromMemory(bytes, limits);
    } catch (const PackageError& e) {
        return e.what();
    }
    return {};
}

std::span<const std::byte> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

TEST(Container, SoundVariantsOpenWithEveryPart) {
    const Package blank = Package::CreateBlank();
    const auto check = [&](const std::vector<std::byte>& bytes, const char* what) {
        SCOPED_TRACE(what);
        const Package pkg = Package::OpenFromMemory(bytes);
        EXPECT_EQ(pkg.PartNames(), blank.PartNames());
        for (const std::string& name : blank.PartNames()) EXPECT_EQ(pkg.PartBytes(name), blank.PartBytes(name));
    };
    check(Build(BlankEntries()), "plain");
    check(Build(BlankEntries(), true), "zip64 records");

    auto described = BlankEntries();
    for (auto& e : described) e.dataDescriptor = true;
    check(Build(described), "data descriptors");
    check(Build(described, true), "zip64 data descriptors");

    // Folder entries are not parts; they are dropped.
    auto withFolders = BlankEntries();
    withFolders.insert(withFolders.begin() + 1, {"word/", ""});
    withFolders.push_back({"_rels/", ""});
    check(Build(withFolders), "folder entries");

    // [Content_Types].xml stored last still comes first.
    auto reordered = BlankEntries();
    std::rotate(reordered.begin(), reordered.begin() + 1, reordered.end());
    const Package moved = Package::OpenFromMemory(Build(reordered));
    EXPECT_EQ(moved.PartNames().front(), "[Content_Types].xml");
    EXPECT_EQ(moved.PartNames()[1], reordered.front().name);
}

TEST(Container, DamagedOrForeignBytesAreRefused) {
    EXPECT_NE(RefusalOf({}).find("empty"), std::string::npos);
    EXPECT_NE(RefusalOf(AsBytes("PK\x03\x04 this is not really a zip")), "");
    const std::string compound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 and some more bytes";
    EXPECT_NE(RefusalOf(AsBytes(compound)).find("encrypted"), std::string::npos);

    auto wrongCrc = BlankEntries();
    Named(wrongCrc, "word/document.xml")->crc = 0x12345678;
    EXPECT_NE(RefusalOf(Build(wrongCrc)), "");

    const std::vector<std::byte> sound = Build(BlankEntries());
    for (const std::size_t cut : {std::size_t{10}, sound.size() / 2, sound.size() - 10}) {
        EXPECT_NE(RefusalOf(std::span(sound).first(cut)), "") << "truncated to " << cut;
    }
    // A flipped byte inside a stored part's data is caught by its checksum.
    std::vector<std::byte> flipped = sound;
    flipped[60] ^= std::byte{0x20};
    EXPECT_NE(RefusalOf(flipped), "");
}

TEST(Container, DuplicateNamesAreRefused) {
    auto twice = BlankEntries();
    twice.push_back({"word/styles.xml", "<w:styles xmlns:w=\"urn:w\"/>"});
    EXPECT_NE(RefusalOf(Build(twice)).find("more than one entry"), std::string::npos);

    auto caseTwice = BlankEntries();
    caseTwice.push_back({"WORD/Styles.XML", "<w:styles xmlns:w=\"urn:w\"/>"});
    EXPECT_NE(RefusalOf(Build(caseTwice)).find("more than one entry"), std::string::npos);
}

TEST(Container, MissingOrBrokenStructureIsRefused) {
    const std::vector<std::pair<std::string, std::function<void(std::vector<RawEntry>&)>>> cases = {
        {"[Content_Types].xml",
         [](auto& e) { std::erase_if(e, [](const RawEntry& x) { return x.name == "[Content_Types].xml"; }); }},
        {"_rels/.rels", [](auto& e) { std::erase_if(e, [](const RawEntry& x) { return x.name == "_rels/.rels"; }); }},
        {"main document", [](auto& e) {
             Named(e, "_rels/.rels")->data =
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>";
         }},
        {"Strict Open XML", [](auto& e) {
             std::string& rels = Named(e, "_rels/.rels")->data;
             const std::string transitional = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
             rels.replace(rels.find(transitional), transitional.size(),
                          "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument");
         }},
        {"word/document.xml",
         [](auto& e) { std::erase_if(e, [](const RawEntry& x) { return x.name == "word/document.xml"; }); }},
        {"not well-formed", [](auto& e) { Named(e, "word/document.xml")->data = "<w:document><w:body>"; }},
        {"not well-formed", [](auto& e) { Named(e, "_rels/.rels")->data = "<Relationships"; }},
        {"not well-formed", [](auto& e) { Named(e, "[Content_Types].xml")->data = "\xFF\xFE<"; }},
        {"No document element", [](auto& e) { Named(e, "word/document.xml")->data = "<?xml version=\"1.0\"?>"; }},
        {"not a word-processing document", [](auto& e) {
             std::string& types = Named(e, "[Content_Types].xml")->data;
             const std::string main = "wordprocessingml.document.main+xml";
             types.replace(types.find(main), main.size(), "spreadsheetml.sheet.main+xml");
         }},
    };
    for (const auto& [expected, damage] : cases) {
        auto entries = BlankEntries();
        damage(entries);
        const std::string message = RefusalOf(Build(entries));
        EXPECT_NE(message.find(expected), std::string::npos) << "expected \"" << expected << "\", got \"" << message << "\"";
    }
}

TEST(Container, LimitsRefuseOversizedPackages) {
    PackageLimits few;
    few.maxEntries = 5;
    EXPECT_NE(RefusalOf(Build(BlankEntries()), few).find("entries"), std::string::npos);

    auto big = BlankEntries();
    big.push_back({"word/media/big.bin", std::string(300000, 'x')});
    PackageLimits smallEntry;
    smallEntry.maxEntrySize = 100000;
    EXPECT_NE(RefusalOf(Build(big), smallEntry).find("big.bin"), std::string::npos);
    PackageLimits smallTotal;
    smallTotal.maxTotalSize = 200000;
    EXPECT_NE(RefusalOf(Build(big), smallTotal).find("expands"), std::string::npos);
    EXPECT_EQ(RefusalOf(Build(big)), "");

    // A run of one byte value: deflate's best case, about a thousandfold, must still open.
    Package bomb = Package::CreateBlank();
    bomb.SetPartBytes("word/media/zeros.bin", std::string(8u << 20, '\0'), "application/octet-stream");
    const std::vector<std::byte> deflated = bomb.SaveToMemory();
    ASSERT_LT(deflated.size(), 100000u);
    PackageLimits strictRatio;
    strictRatio.maxCompressionRatio = 100;
    EXPECT_NE(RefusalOf(deflated, strictRatio).find("zip bomb"), std::string::npos);
    EXPECT_EQ(RefusalOf(deflated), "");
}

}  // namespace
}  // namespace paperloom::docx
