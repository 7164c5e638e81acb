#include "common/PathText.h"
#include "common/Utf8Text.h"
#include "common/ValueText.h"

#include <gtest/gtest.h>

namespace paperloom {
namespace {

TEST(ValueReads, Numbers) {
    for (const char* text : {"2000", "-5", "+1.5", ".5", "5.", "1e3", "1.5E-2", " 12 "}) {
        EXPECT_TRUE(valuetext::ReadsAsNumber(text)) << text;
        EXPECT_FALSE(valuetext::ReadsAsDate(text)) << text;
    }
    for (const char* text : {"", "abc", ".", "-", "1,000", "1e", "12a", "0x10", "１２"}) {
        EXPECT_FALSE(valuetext::ReadsAsNumber(text)) << text;
    }
}

TEST(ValueReads, Dates) {
    for (const char* text : {"2000/01/31", "2000-1-31", "2000.1.31", "1/31/2000", "1/31", "2000/2",
                             "2000/2/29", "00/12/31", "12/31/99", "2000年1月31日", "1月31日", "2000年1月", "10:30",
                             "10:30:15", "10:30 PM", "午後3:10", "10時30分", "2000/01/31 10:30:00"}) {
        EXPECT_TRUE(valuetext::ReadsAsDate(text)) << text;
        EXPECT_FALSE(valuetext::ReadsAsNumber(text)) << text;
    }
    for (const char* text : {"", "abc", "2001/2/29", "2000/13/1", "2000/1/32", "1.5", "25:00", "10:60",
                             "1/2/3/4", "a/b/c", "2000/1/2000", "13/13/13", "13:00 PM", "2000/01/31 x"}) {
        EXPECT_FALSE(valuetext::ReadsAsDate(text)) << text;
    }
}

TEST(Utf8, CharactersNotBytes) {
    EXPECT_EQ(utf8::Length("日本語"), 3u);
    EXPECT_EQ(utf8::Length("a日"), 2u);
    EXPECT_EQ(utf8::WithoutFirstAndLast("'東京都'"), "東京都");
    EXPECT_EQ(utf8::WithoutFirstAndLast("東京都"), "京");
    EXPECT_EQ(utf8::WithoutFirstAndLast("'"), "");
    EXPECT_EQ(utf8::WithoutFirstAndLast(""), "");
    // an ill-formed sequence is a piece of its own; nothing is lost
    const std::string broken = "a\xE6\x97" "b";
    std::string joined;
    for (const auto piece : utf8::Characters(broken)) {
        joined += piece;
    }
    EXPECT_EQ(joined, broken);
    EXPECT_EQ(utf8::Characters(broken).back(), "b");
}

TEST(Paths, DrivesAndJoins) {
    EXPECT_EQ(pathtext::GetDriveName("C:\\a\\b.png"), "C:");
    EXPECT_EQ(pathtext::GetDriveName("\\\\srv\\share\\a.png"), "\\\\srv\\share");
    EXPECT_EQ(pathtext::GetDriveName("img\\a.png"), "");
    EXPECT_EQ(pathtext::GetDriveName("/srv/a.png"), "");
    EXPECT_TRUE(pathtext::IsAbsolutePath("/srv/a.png"));
    EXPECT_TRUE(pathtext::IsAbsolutePath("c:a.png"));
    EXPECT_FALSE(pathtext::IsAbsolutePath("img/a.png"));
    EXPECT_FALSE(pathtext::IsAbsolutePath("\\img\\a.png"));
    EXPECT_EQ(pathtext::BuildPath("/docs", "a.png"), "/docs/a.png");
    EXPECT_EQ(pathtext::BuildPath("/docs/", "a.png"), "/docs/a.png");
    EXPECT_EQ(pathtext::BuildPath("C:\\docs", "img\\a.png"), "C:\\docs\\img\\a.png");
    EXPECT_EQ(pathtext::BuildPath("C:", "a.png"), "C:\\a.png");
    EXPECT_EQ(pathtext::BuildPath("", "a.png"), "a.png");
    EXPECT_EQ(pathtext::BuildPath("/docs", ""), "/docs");
}

}  // namespace
}  // namespace paperloom
