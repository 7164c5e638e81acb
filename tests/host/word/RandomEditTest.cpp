// Random edits against a fresh reading of the same tree: the incremental index, the
// remembered row lengths and the live ranges must always agree with a document read anew.

#include <random>

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/HostError.h"

namespace paperloom::word {
namespace {

// Positions a text stands for: one per UTF-16 unit, one for each "\r\a" mark.
long Positions(const std::string& text) {
    long count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\a') {
            ++i;
            ++count;
            continue;
        }
        count += c >= 0xF0 ? 2 : 1;
    }
    return count;
}

std::shared_ptr<Document> Reread(const std::shared_ptr<Document>& doc) {
    const auto bytes = doc->Package().SaveToMemory();
    return Document::Create(docx::Package::OpenFromMemory(bytes), "copy");
}

TEST(RandomEdits, IndexAndRangesAgreeWithAFreshReading) {
    auto doc = test::MakeDocument(test::P("start") + test::TableXml({{test::TextRun("a"), test::TextRun("b")},
                                                                      {test::TextRun("c"), test::TextRun("d")}}) +
                                  test::P("middle 日本") + test::TableXml({{test::TextRun("x")}}) + test::P("end"));
    std::mt19937 random(20261208);
    auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    const std::vector<std::string> texts = {"q", "two words", "line\rbreak", "日本語", "\t"};
    const auto initial = doc->Content().Text();
    int refused = 0;
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(step);
        const long length = doc->Content().StoryLength();
        const auto tables = doc->Tables();
        try {
            switch (pick(0, 6)) {
            case 0: doc->Range(pick(0, length - 1), std::nullopt).Collapse(wdCollapseStart); [[fallthrough]];
            case 1: {
                auto at = doc->Range(pick(0, length - 1), std::nullopt);
                at.Collapse(wdCollapseStart);
                at.InsertBefore(texts[static_cast<std::size_t>(pick(0, 4))]);
                break;
            }
            case 2: {
                const long start = pick(0, length - 1);
                doc->Range(start, std::min(length, start + pick(0, 6))).Delete();
                break;
            }
            case 3:
                if (tables.Count() > 0) {
                    auto table = tables.Item(pick(1, tables.Count()));
                    const long rows = table.Rows().Count();
                    table.Cell(pick(1, rows), 1).Range().SetText(texts[static_cast<std::size_t>(pick(0, 4))]);
                }
                break;
            case 4:
                if (tables.Count() > 0) tables.Item(pick(1, tables.Count())).Rows().Add();
                break;
            case 5:
                if (tables.Count() > 0) {
                    auto table = tables.Item(pick(1, tables.Count()));
                    table.Rows().Item(pick(1, table.Rows().Count())).Delete();
                }
                break;
            default: {
                const long start = pick(0, length - 1);
                doc->Range(start, std::min(length, start + pick(1, 4))).Font().SetHidden(pick(0, 1) == 1);
                break;
            }
            }
        } catch (const host::HostError&) {
            ++refused;  // some random requests are refused (a row of a table just removed ...)
        }
        auto content = doc->Content();
        content.TextRetrievalMode().SetIncludeHiddenText(true);
        const auto text = content.Text();
        ASSERT_EQ(Positions(text), content.StoryLength());
        auto fresh = Reread(doc);
        auto freshContent = fresh->Content();
        freshContent.TextRetrievalMode().SetIncludeHiddenText(true);
        ASSERT_EQ(freshContent.Text(), text);
        ASSERT_EQ(fresh->Content().Text(), doc->Content().Text());
        ASSERT_EQ(fresh->Tables().Count(), doc->Tables().Count());
        for (long t = 1; t <= doc->Tables().Count(); ++t) {
            const auto mine = doc->Tables().Item(t).Range();
            const auto theirs = fresh->Tables().Item(t).Range();
            ASSERT_EQ(mine.Start(), theirs.Start());
            ASSERT_EQ(mine.End(), theirs.End());
        }
    }
    EXPECT_NE(doc->Content().Text(), initial);
    EXPECT_LT(refused, 40);
}

TEST(RandomEdits, LiveRangesKeepTheirText) {
    auto doc = test::MakeDocument(test::P("alpha beta gamma delta"));
    auto beta = doc->Range(6, 10);
    auto delta = doc->Range(17, 22);
    std::mt19937 random(7);
    for (int step = 0; step < 200; ++step) {
        const long length = doc->Content().StoryLength();
        const long at = std::uniform_int_distribution<long>(0, length - 1)(random);
        if (at > beta.Start() && at < beta.End()) continue;
        if (at > delta.Start() && at < delta.End()) continue;
        if (at == beta.Start() || at == delta.Start()) continue;  // text there would join the range
        doc->Range(at, at).InsertBefore("x");
        ASSERT_EQ(beta.Text(), "beta");
        ASSERT_EQ(delta.Text(), "delta");
    }
}

}  // namespace
}  // namespace paperloom::word
