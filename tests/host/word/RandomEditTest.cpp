// Random edits against a fresh reading of the same tree: the incremental index, the
// remembered row lengths and the live ranges must always agree with a document read anew.

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

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

// Longer runs on demand: PAPERLOOM_RANDOM_EDITS sets the number of edits of each run,
// PAPERLOOM_RANDOM_EDIT_SEEDS how many seeds (the fixed one and those after it) each test runs.
long FromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    const long value = std::strtol(text, nullptr, 10);
    return value > 0 ? value : fallback;
}

int Edits(int fallback) { return static_cast<int>(FromEnvironment("PAPERLOOM_RANDOM_EDITS", fallback)); }

std::vector<std::uint32_t> Seeds(std::uint32_t first) {
    std::vector<std::uint32_t> seeds;
    const long count = FromEnvironment("PAPERLOOM_RANDOM_EDIT_SEEDS", 1);
    for (long i = 0; i < count; ++i) seeds.push_back(first + static_cast<std::uint32_t>(i));
    return seeds;
}

std::shared_ptr<Document> Reread(const std::shared_ptr<Document>& doc) {
    const auto bytes = doc->Package().SaveToMemory();
    return Document::Create(docx::Package::OpenFromMemory(bytes), "copy");
}

void IndexAndRangesAgree(std::uint32_t seed, int steps) {
    auto doc = test::MakeDocument(test::P("start") + test::TableXml({{test::TextRun("a"), test::TextRun("b")},
                                                                      {test::TextRun("c"), test::TextRun("d")}}) +
                                  test::P("middle 日本") + test::TableXml({{test::TextRun("x")}}) + test::P("end"));
    std::mt19937 random(seed);
    auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    const std::vector<std::string> texts = {"q", "two words", "line\rbreak", "日本語", "\t"};
    const auto initial = doc->Content().Text();
    int refused = 0;
    for (int step = 0; step < steps; ++step) {
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
    EXPECT_LT(refused, steps / 10);
}

TEST(RandomEdits, IndexAndRangesAgreeWithAFreshReading) {
    for (const auto seed : Seeds(20261208)) {
        SCOPED_TRACE(seed);
        IndexAndRangesAgree(seed, Edits(400));
        if (HasFatalFailure()) return;
    }
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

// A long table indexed row by row between text, with a bookmark at the table's own level:
// edits inside rows, rows coming and going anywhere, and copies out of the table must leave
// every cell, the table and the text after it where a fresh reading finds them.
void LongTableRowsAgree(std::uint32_t seed, int steps) {
    std::string body = test::P("before");
    std::string table = test::TableXml({{test::TextRun("h1"), test::TextRun("h2"), test::TextRun("h3")}});
    std::string more;
    for (int r = 0; r < 30; ++r) {
        more += "<w:tr>";
        for (int c = 0; c < 3; ++c)
            more += "<w:tc><w:p>" + test::TextRun("r" + std::to_string(r) + "c" + std::to_string(c)) + "</w:p></w:tc>";
        more += "</w:tr>";
        if (r == 10) more += "<w:bookmarkStart w:id=\"90\" w:name=\"Inside\"/><w:bookmarkEnd w:id=\"90\"/>";
    }
    table.insert(table.size() - std::string("</w:tbl>").size(), more);
    auto doc = test::MakeDocument(body + table + test::P("after") + test::P("end"));
    auto after = doc->Range(doc->Content().End() - 10, doc->Content().End() - 4);
    ASSERT_EQ(after.Text(), "after\r");
    std::mt19937 random(seed);
    auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    const std::vector<std::string> texts = {"", "q", "two words", "line\rbreak", "日本語"};
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(step);
        auto t = doc->Tables().Item(1);
        const long count = t.Rows().Count();
        const long row = pick(1, count);
        const long column = pick(1, 3);
        switch (pick(0, 6)) {
        case 0:
        case 1: {
            auto content = t.Cell(row, column).Range();
            content.SetEnd(content.End() - 1);
            content.SetText(texts[static_cast<std::size_t>(pick(0, 4))]);
            break;
        }
        case 2: t.Rows().Add(pick(0, 1) == 1 ? std::optional<long>(row) : std::nullopt); break;
        case 3:
            if (count > 2) t.Rows().Item(row).Delete();
            break;
        case 4: {  // across rows: only cell contents go
            const auto from = t.Cell(row, column).Range().Start();
            const auto to = t.Cell(std::min(count, row + pick(0, 2)), pick(1, 3)).Range().End();
            doc->Range(std::min(from, to - 1), to).Delete();
            break;
        }
        case 5: {  // a cell's content copied into another cell
            auto source = t.Cell(row, column).Range();
            source.SetEnd(source.End() - 1);
            auto target = t.Cell(pick(1, count), pick(1, 3)).Range();
            target.SetEnd(target.End() - 1);
            if (source.End() > source.Start()) target.SetFormattedText(source);
            break;
        }
        default: doc->Bookmarks().Add("Row" + std::to_string(step % 5), t.Rows().Item(row).Range()); break;
        }
        ASSERT_EQ(after.Text(), "after\r");
        auto fresh = Reread(doc);
        ASSERT_EQ(fresh->Content().Text(), doc->Content().Text());
        ASSERT_EQ(fresh->Content().StoryLength(), doc->Content().StoryLength());
        const auto mine = doc->Tables().Item(1);
        const auto theirs = fresh->Tables().Item(1);
        ASSERT_EQ(mine.Rows().Count(), theirs.Rows().Count());
        ASSERT_EQ(mine.Range().End(), theirs.Range().End());
        for (int probe = 0; probe < 3; ++probe) {
            const long r = pick(1, mine.Rows().Count());
            const long c = pick(1, 3);
            ASSERT_EQ(mine.Cell(r, c).Range().Start(), theirs.Cell(r, c).Range().Start());
            ASSERT_EQ(mine.Cell(r, c).Range().Text(), theirs.Cell(r, c).Range().Text());
        }
        for (long b = 1; b <= doc->Bookmarks().Count(); ++b) {
            const auto name = doc->Bookmarks().Item(b).Name();
            ASSERT_EQ(doc->Bookmarks().Item(b).Range().Start(), fresh->Bookmarks().Item(name).Range().Start()) << name;
            ASSERT_EQ(doc->Bookmarks().Item(b).Range().End(), fresh->Bookmarks().Item(name).Range().End()) << name;
        }
    }
    // Rows leave the index too: the whole table goes, the text after it stays.
    doc->Tables().Item(1).Delete();
    EXPECT_EQ(doc->Content().Text(), "before\rafter\rend\r");
    EXPECT_EQ(after.Text(), "after\r");
}

TEST(RandomEdits, LongTableRowsAgreeWithAFreshReading) {
    for (const auto seed : Seeds(5150)) {
        SCOPED_TRACE(seed);
        LongTableRowsAgree(seed, Edits(300));
        if (HasFatalFailure()) return;
    }
}

// Tables copied into another document again and again, as records go into a print document,
// and cells written in the copies after: every table and cell stays where a fresh reading finds
// it. Copies come in through scratch trees that are freed afterwards, so a later node of the
// target can take the place of a scratch cell: no length may be remembered for one.
void CopiedTablesAgree(std::uint32_t seed, int steps) {
    const std::string nested = "</w:p>" + test::TableXml({{test::TextRun("n1"), test::TextRun("n2")}}) + "<w:p>";
    auto source = test::MakeDocument(test::P("record") +
                                         test::TableXml({{test::TextRun("a"), nested, test::TextRun("c")},
                                                         {test::TextRun("d"), test::TextRun("e"), test::TextRun("f")}}) +
                                         test::P("total"),
                                     "Source");
    auto target = test::MakeDocument(test::P("start"), "Target");
    std::mt19937 random(seed);
    auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    const std::vector<std::string> texts = {"", "q", "two words", "日本語", "longer text of a line"};
    auto write = [&](const Table& table) {
        auto content = table.Cell(pick(1, table.Rows().Count()), pick(1, 3)).Range();
        content.SetEnd(content.End() - 1);
        content.SetText(texts[static_cast<std::size_t>(pick(0, 4))]);
    };
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE(step);
        write(source->Tables().Item(1));
        if (pick(0, 2) == 0) source->Tables().Item(1).Rows().Add();
        auto end = target->Content();
        end.Collapse(wdCollapseEnd);
        end.SetFormattedText(source->Content());
        const auto tables = target->Tables();
        write(tables.Item(pick(1, tables.Count())));
        write(tables.Item(tables.Count()));

        auto fresh = Reread(target);
        ASSERT_EQ(fresh->Content().Text(), target->Content().Text());
        ASSERT_EQ(fresh->Tables().Count(), tables.Count());
        for (long t = 1; t <= tables.Count(); ++t) {
            const auto mine = tables.Item(t);
            const auto theirs = fresh->Tables().Item(t);
            ASSERT_EQ(mine.Range().Start(), theirs.Range().Start());
            ASSERT_EQ(mine.Range().End(), theirs.Range().End());
            const long r = pick(1, mine.Rows().Count());
            const long c = pick(1, 3);
            ASSERT_EQ(mine.Cell(r, c).Range().Start(), theirs.Cell(r, c).Range().Start());
            ASSERT_EQ(mine.Cell(r, c).Range().Text(), theirs.Cell(r, c).Range().Text());
        }
    }
}

TEST(RandomEdits, TablesCopiedInAgainAndAgainAgreeWithAFreshReading) {
    // With this seed, measuring the incoming copies through the remembered cell lengths went
    // wrong within these steps (a scratch cell's address taken by a cell of the target).
    for (const auto seed : Seeds(1813)) {
        SCOPED_TRACE(seed);
        CopiedTablesAgree(seed, Edits(100));
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace paperloom::word
