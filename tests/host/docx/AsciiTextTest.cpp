// The shared text helpers: every layer's keywords and names go through them, so they must
// leave bytes of other scripts alone and agree with each other.

#include "host/AsciiText.h"

#include <gtest/gtest.h>

#include <string>

namespace paperloom::text {
namespace {

TEST(AsciiTextTest, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(ToUpper("select * from 顧客 where a='x'"), "SELECT * FROM 顧客 WHERE A='X'");
    EXPECT_EQ(ToLower("Provider=SQLite;Ä"), "provider=sqlite;Ä");
    // Every byte outside A-Z / a-z is returned as it came, UTF-8 continuation bytes included.
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string upper = ToUpper(all);
    const std::string lower = ToLower(all);
    ASSERT_EQ(upper.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const char c = all[i];
        const bool asciiLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!asciiLetter) {
            EXPECT_EQ(upper[i], c) << i;
            EXPECT_EQ(lower[i], c) << i;
        }
    }
}

TEST(AsciiTextTest, ComparisonsIgnoreAsciiCaseOnly) {
    EXPECT_TRUE(EqualsNoCase("External", "EXTERNAL"));
    EXPECT_FALSE(EqualsNoCase("External", "Externa"));
    EXPECT_FALSE(EqualsNoCase("Ä", "ä"));  // other scripts compare byte for byte
    EXPECT_TRUE(EqualsNoCase("", ""));

    EXPECT_TRUE(StartsWithNoCase("AM/PM", "am/pm"));
    EXPECT_FALSE(StartsWithNoCase("am", "am/pm"));
    EXPECT_TRUE(EndsWithNoCase("sales.UDL", ".udl"));
    EXPECT_FALSE(EndsWithNoCase("udl", ".udl"));

    EXPECT_EQ(FindNoCase("exec dbo.Proc; EXECUTE x", "execute"), 15u);
    EXPECT_EQ(FindNoCase("abc", ""), 0u);
    EXPECT_EQ(FindNoCase("ab", "abc"), std::string_view::npos);
    EXPECT_TRUE(ContainsNoCase("[PostgreSQL Unicode]", "postgresql"));
    EXPECT_FALSE(ContainsNoCase("[SQLite3]", "postgresql"));
}

TEST(AsciiTextTest, TrimTakesOnlyTheNamedCharacters) {
    EXPECT_EQ(Trim(" \t\r\nDSN=Sales \r\n"), "DSN=Sales");
    EXPECT_EQ(Trim("\t a \t", kBlanks), "a");
    EXPECT_EQ(Trim("\t a \t", kSpace), "\t a \t");
    EXPECT_EQ(Trim(" a\r\n", kBlanks), "a\r\n");
    EXPECT_EQ(Trim("    "), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(TrimStart("  a  "), "a  ");
    EXPECT_EQ(TrimEnd("  a  "), "  a");
    // A NUL can be trimmed when the set names it, and is kept when it does not.
    const std::string padded("x\0\0", 3);
    EXPECT_EQ(TrimEnd(padded, std::string_view("\0", 1)), "x");
    EXPECT_EQ(TrimEnd(padded).size(), 3u);
    // Multi-byte characters at the edges are never cut.
    EXPECT_EQ(Trim("　全角　", kSpace), "　全角　");
}

TEST(AsciiTextTest, OnOffValues) {
    for (const std::string_view on : {"true", "TRUE", "True", "1", "on", "On"}) {
        EXPECT_EQ(ParseOnOff(on), std::optional<bool>(true)) << on;
    }
    for (const std::string_view off : {"false", "FALSE", "0", "off", "Off"}) {
        EXPECT_EQ(ParseOnOff(off), std::optional<bool>(false)) << off;
    }
    for (const std::string_view neither : {"", "yes", "2", " true", "onn", "-1"}) {
        EXPECT_EQ(ParseOnOff(neither), std::nullopt) << neither;
    }
}

}  // namespace
}  // namespace paperloom::text
