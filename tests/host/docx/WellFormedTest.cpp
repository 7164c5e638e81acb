// What a package writes is XML 1.0 whatever it was given: bytes that are not UTF-8, U+FFFE and
// U+FFFF, control characters, in edited parts and in parts kept as loaded, in UTF-8 and UTF-16;
// parts that are too large or nest too deeply are refused when read, without a crash.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WellFormedXml.h"
#include "host/docx/Package.h"
#include "host/docx/XmlCodec.h"
#include "host/docx/ZipArchive.h"

namespace paperloom::docx {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string Written(std::string_view input) {
    std::string out;
    xml::Xml10Writer writer(out);
    writer.write(input.data(), input.size());
    writer.Finish();
    return out;
}

std::string Rep(int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += kReplacement;
    return out;
}

TEST(Xml10Writer, SequencesThatAreNotUtf8BecomeReplacementsAndSoundOnesStay) {
    struct Case {
        std::string input;
        std::string wanted;
    };
    const std::vector<Case> cases = {
        {"\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80", "\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80"},  // é 漢 😀
        {"a\xFF" "b", "a" + Rep(1) + "b"},
        {"a\x80\x80" "b", "a" + Rep(2) + "b"},                  // lone continuation bytes
        {"\xC0\xAF", Rep(2)},                                   // overlong slash
        {"\xE2\x82" "A", Rep(1) + "A"},                         // cut short, then ASCII
        {"\xF0\x9F\x98\xF0\x9F\x98\x80", Rep(1) + "\xF0\x9F\x98\x80"},
        {"\xED\xA0\x80", Rep(3)},                               // a surrogate
        {"\xF4\x90\x80\x80", Rep(4)},                           // past U+10FFFF
        {"x\xEF\xBF\xBEy\xEF\xBF\xBFz", "x" + Rep(1) + "y" + Rep(1) + "z"},  // U+FFFE, U+FFFF
        {"\xEF\xBF\xBD", Rep(1)},
        {"end\xE6\xBC", "end" + Rep(1)},                        // cut short at the end
    };
    for (const Case& c : cases) EXPECT_EQ(Written(c.input), c.wanted) << c.input;
}

TEST(Xml10Writer, SequencesCutBetweenTwoPiecesOfOutputAreMendedAlike) {
    const std::string written = "&#1;\xE6\xBC\xA2\xFF&#9;\xF0\x9F\x98\x80\xEF\xBF\xBF\xE2\x82&amp;\r\x1b";
    const std::string wanted = "\xE6\xBC\xA2" + Rep(1) + "&#9;\xF0\x9F\x98\x80" + Rep(2) + "&amp;&#13;";
    for (std::size_t cut = 0; cut <= written.size(); ++cut) {
        std::string out;
        xml::Xml10Writer writer(out);
        writer.write(written.data(), cut);
        writer.write(written.data() + cut, written.size() - cut);
        writer.Finish();
        EXPECT_EQ(out, wanted) << "cut at " << cut;
    }
}

// Plain text goes out in stretches: a stretch meeting a held reference, a sequence or a control
// at either side of a cut still ends and resumes where the byte-by-byte writer would.
TEST(Xml10Writer, PlainStretchesAroundHeldReferencesAndSequences) {
    const std::string written = "ab&#12x cd&#1;ef&amp;\x7f gh\xE6\xBC\xA2ij&#9;kl\x01mn\rop&#";
    const std::string wanted = "ab&#12x cdef&amp;\x7f gh\xE6\xBC\xA2ij&#9;klmn&#13;op&#";
    EXPECT_EQ(Written(written), wanted);
    for (std::size_t cut = 0; cut <= written.size(); ++cut) {
        std::string out;
        xml::Xml10Writer writer(out);
        writer.write(written.data(), cut);
        writer.write(written.data() + cut, written.size() - cut);
        writer.Finish();
        EXPECT_EQ(out, wanted) << "cut at " << cut;
    }
}

// Plain text is scanned eight bytes at a time: a byte that needs a look is found at every
// offset within those eight, including the bytes at the edges of what counts as plain.
TEST(Xml10Writer, EveryByteThatNeedsALookIsFoundAtAnyOffsetInLongPlainText) {
    struct Case {
        std::string inserted;
        std::string wanted;
    };
    const std::vector<Case> cases = {
        {"\x1f", ""},       {"\x01", ""},        {"\r", "&#13;"},         {"&#1;", ""},
        {"&#9;", "&#9;"},   {"&amp;", "&amp;"}, {"\x80", Rep(1)},         {"\xFF", Rep(1)},
        {"\xC3\xA9", "\xC3\xA9"}, {"\x7f", "\x7f"}, {" ", " "},         {"\xEF\xBF\xBE", Rep(1)},
    };
    const std::string plain = "abcdefghijklmnopqrstuvwx";
    for (const Case& c : cases) {
        for (std::size_t at = 0; at <= plain.size(); ++at) {
            const std::string input = plain.substr(0, at) + c.inserted + plain.substr(at);
            EXPECT_EQ(Written(input), plain.substr(0, at) + c.wanted + plain.substr(at))
                << "byte " << static_cast<int>(static_cast<unsigned char>(c.inserted[0])) << " at " << at;
        }
    }
}

TEST(Xml10Safe, TellsPartsThatCanBeWrittenAsTheyAre) {
    EXPECT_TRUE(xml::IsXml10Safe("<a b=\"&#9;\">\xE6\xBC\xA2 &#x1F600; &#65533;\t\r\n</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>\xFF</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>\xEF\xBF\xBE</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>\x01</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>&#1;</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>&#xFFFF;</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>&#xD800;</a>"));
    EXPECT_FALSE(xml::IsXml10Safe("<a>\xE6\xBC"));
}

// A package whose main text holds `text` in a run.
Package WithText(std::string_view text) {
    Package pkg = Package::CreateBlank();
    pugi::xml_node t = pkg.Xml("word/document.xml").select_node("//w:p").node().append_child("w:r").append_child("w:t");
    t.text() = std::string(text).c_str();
    t.append_attribute("w:x") = std::string(text).c_str();
    return pkg;
}

constexpr std::string_view kHostile = "A\xFF" "B\xEF\xBF\xBE" "C\xEF\xBF\xBF" "D\x01\x1f" "E\xC3";

TEST(WellFormedSave, HostileTextInAnEditedPartIsWrittenAsXml10) {
    Package pkg = WithText(kHostile);
    const auto bytes = pkg.SaveToMemory();
    EXPECT_GE(testing::ExpectWellFormedParts(bytes), 5u);
    const Package reopened = Package::OpenFromMemory(bytes);
    const std::string mended = "A" + Rep(1) + "B" + Rep(1) + "C" + Rep(1) + "DE" + Rep(1);
    const pugi::xml_node t = reopened.Xml("word/document.xml").select_node("//w:t").node();
    EXPECT_EQ(std::string(t.text().get()), mended);
    EXPECT_EQ(std::string(t.attribute("w:x").value()), mended);
}

// The stored package with one entry's bytes replaced, as another program may have written it.
std::vector<std::byte> WithEntry(const std::vector<std::byte>& package, std::string_view name, std::string data) {
    auto entries = zip::Read(package, PackageLimits{});
    std::vector<zip::EntryView> views;
    bool found = false;
    for (auto& entry : entries) {
        if (entry.name == name) {
            entry.data = data;
            found = true;
        }
        views.push_back({entry.name, entry.data, entry.mtime});
    }
    if (!found) views.push_back({name, data, zip::kNoTime});
    return zip::Write(views);
}

TEST(WellFormedSave, PartsKeptAsLoadedAreMendedOnlyWhenTheyMustBe) {
    const auto blank = Package::CreateBlank().SaveToMemory();
    const std::string sound = "<?xml version=\"1.0\"?>\n<x:r xmlns:x=\"u\"><x:t>\xE6\xBC\xA2 &#9;</x:t></x:r>";
    auto stored = WithEntry(blank, "word/sound.xml", sound);
    stored = WithEntry(stored, "word/bad.xml", "<r a=\"\xFE\">one\xEF\xBF\xBF&#2;two</r>");
    // A part stored as UTF-16 with a reference XML 1.0 forbids.
    std::string utf16 = "\xFF\xFE";
    for (const char32_t c : std::u32string{U"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>\u6F22&#27;x</r>"}) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    stored = WithEntry(stored, "word/wide.xml", utf16);
    // Not XML at all: written as it came, since there is nothing to mend it from.
    stored = WithEntry(stored, "word/broken.xml", "<a>\xFF");

    const Package pkg = Package::OpenFromMemory(stored);
    EXPECT_EQ(pkg.PartBytes("word/sound.xml"), sound) << "a sound part keeps its bytes";
    EXPECT_EQ(pkg.StoredBytes("word/sound.xml").value_or(""), sound);
    EXPECT_FALSE(pkg.StoredBytes("word/bad.xml")) << "a part to be mended has no stored bytes to share";

    const auto saved = pkg.SaveToMemory();
    for (const auto& entry : zip::Read(saved, PackageLimits{})) {
        if (entry.name == "word/broken.xml") {
            EXPECT_EQ(entry.data, "<a>\xFF");
        } else if (testing::IsXmlPart(entry.name)) {
            EXPECT_EQ(testing::XmlFault(entry.data), "") << entry.name;
        }
    }
    const Package reopened = Package::OpenFromMemory(saved);
    const pugi::xml_node bad = reopened.Xml("word/bad.xml").document_element();
    EXPECT_EQ(std::string(bad.text().get()), "one" + Rep(1) + "two");
    EXPECT_EQ(std::string(bad.attribute("a").value()), Rep(1));
    EXPECT_EQ(std::string(reopened.Xml("word/wide.xml").document_element().text().get()), "\xE6\xBC\xA2x");
    EXPECT_TRUE(reopened.PartBytes("word/wide.xml").starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
}

TEST(WellFormedSave, OnlyTheFirstNodeIsWrittenAsADeclaration) {
    Package pkg = Package::CreateBlank();
    pugi::xml_document& tree = pkg.AddXmlPart("word/extra.xml", "application/xml");
    auto second = tree.append_child(pugi::node_declaration);
    second.append_attribute("version") = "1.0";
    tree.append_child("r").text() = "x";
    const std::string bytes = pkg.PartBytes("word/extra.xml");
    EXPECT_EQ(testing::XmlFault(bytes), "") << bytes;
    EXPECT_EQ(bytes, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><r>x</r>");
}

std::string Nested(std::size_t depth) {
    std::string xml;
    for (std::size_t i = 0; i < depth; ++i) xml += "<a>";
    xml += "x";
    for (std::size_t i = 0; i < depth; ++i) xml += "</a>";
    return xml;
}

TEST(PackageLimitsOnRead, DeepNestingIsRefusedWhenThePartIsReadWithoutACrash) {
    Package pkg = Package::CreateBlank();
    pkg.SetPartBytes("word/ok.xml", Nested(xml::kMaxElementDepth), "application/xml");
    EXPECT_NO_THROW(pkg.Xml("word/ok.xml"));
    pkg.SetPartBytes("word/deep.xml", Nested(xml::kMaxElementDepth + 1), "application/xml");
    try {
        pkg.Xml("word/deep.xml");
        ADD_FAILURE() << "a part nested too deeply was read";
    } catch (const PackageError& error) {
        EXPECT_NE(error.Description().find("word/deep.xml"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find(std::to_string(xml::kMaxElementDepth)), std::string::npos);
    }

    // A main text nested 200,000 deep (a few kilobytes zipped) is refused at open.
    const std::string body = "<w:p><w:r>" + Nested(200000) + "</w:r></w:p>";
    const std::string document =
        "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:body>" + body + "</w:body></w:document>";
    const auto stored = WithEntry(Package::CreateBlank().SaveToMemory(), "word/document.xml", document);
    EXPECT_THROW(Package::OpenFromMemory(stored), PackageError);
}

TEST(PackageLimitsOnRead, AnXmlPartLargerThanItsLimitIsRefusedAndOtherPartsAreNot) {
    auto stored = WithEntry(Package::CreateBlank().SaveToMemory(), "word/big.xml", "<r>" + std::string(4000, 'x') + "</r>");
    stored = WithEntry(stored, "word/media/image1.png", std::string(4000, 'p'));
    PackageLimits limits;
    limits.maxXmlPartSize = 3000;
    try {
        Package::OpenFromMemory(stored, limits);
        ADD_FAILURE() << "an oversized XML part was accepted";
    } catch (const PackageError& error) {
        EXPECT_NE(error.Description().find("word/big.xml"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("3000"), std::string::npos) << error.Description();
    }
    limits.maxXmlPartSize = 5000;
    const Package pkg = Package::OpenFromMemory(stored, limits);
    EXPECT_EQ(pkg.StoredBytes("word/media/image1.png").value_or("").size(), 4000u);
    EXPECT_GT(PackageLimits{}.maxXmlPartSize, 64ull << 20) << "far above what real documents hold";
}

}  // namespace
}  // namespace paperloom::docx
