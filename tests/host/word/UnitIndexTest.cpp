// The story's position index on its own, against a plain list of units whose starts are
// summed afresh: the pending shift must never show in what the index answers.

#include "host/word/detail/UnitIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

namespace paperloom::word::detail {
namespace {

using Units = std::vector<std::pair<pugi::xml_node, long>>;

class UnitIndexTest : public ::testing::Test {
protected:
    pugi::xml_node NewNode() { return root_.append_child("w:p"); }

    // Every answer of the index against the plain list.
    void ExpectSame(const UnitIndex& index, const Units& model) {
        ASSERT_EQ(index.Size(), model.size());
        long start = 0;
        for (std::size_t i = 0; i < model.size(); ++i) {
            ASSERT_EQ(index.Node(i), model[i].first) << i;
            ASSERT_EQ(index.Start(i), start) << i;
            ASSERT_EQ(index.Length(i), model[i].second) << i;
            ASSERT_EQ(index.Find(model[i].first), std::optional<std::size_t>(i)) << i;
            start += model[i].second;
        }
        ASSERT_EQ(index.EndOfAll(), start);
        for (long pos = -1; pos <= start; ++pos) {
            std::size_t expected = 0;
            long end = 0;
            while (expected < model.size() && (end += model[expected].second) <= pos) ++expected;
            ASSERT_EQ(index.FirstEndingAfter(pos), expected) << pos;
        }
    }

    pugi::xml_document document_;
    pugi::xml_node root_ = document_.append_child("w:body");
};

TEST_F(UnitIndexTest, AppendedUnitsLieEndToEnd) {
    UnitIndex index;
    Units model;
    ExpectSame(index, model);
    EXPECT_EQ(index.FirstEndingAfter(0), 0u);
    for (const long length : {3L, 1L, 0L, 7L}) {
        model.emplace_back(NewNode(), length);
        index.Append(model.back().first, length);
    }
    ExpectSame(index, model);
    // A unit of no length is never the one that holds a position.
    EXPECT_EQ(index.FirstEndingAfter(4), 3u);
    EXPECT_FALSE(index.Find(NewNode()).has_value());
}

TEST_F(UnitIndexTest, ReplacingMovesLaterUnitsAndDropsReplacedOnes) {
    UnitIndex index;
    Units model;
    for (int i = 0; i < 6; ++i) {
        model.emplace_back(NewNode(), 2);
        index.Append(model.back().first, 2);
    }
    // One unit becomes three longer ones: everything after moves on by 5.
    const auto gone = model[1].first;
    const Units grown = {{NewNode(), 1}, {NewNode(), 4}, {NewNode(), 2}};
    index.Replace(1, 2, 2, grown);
    model.erase(model.begin() + 1);
    model.insert(model.begin() + 1, grown.begin(), grown.end());
    ExpectSame(index, model);
    EXPECT_FALSE(index.Find(gone).has_value());

    // Three units become none: the shift pending from the last edit is settled with the new one.
    index.Replace(2, 5, index.Start(2), {});
    model.erase(model.begin() + 2, model.begin() + 5);
    ExpectSame(index, model);

    // Appending while a shift is pending puts the unit at the true end.
    model.emplace_back(NewNode(), 3);
    index.Append(model.back().first, 3);
    ExpectSame(index, model);

    // Truncating drops the units and any pending shift past the cut.
    index.Truncate(2);
    model.resize(2);
    ExpectSame(index, model);
    index.Truncate(10);
    ExpectSame(index, model);
    index.Clear();
    ExpectSame(index, {});
}

// Edits moving forwards and backwards through the story, as table filling and deleting do.
TEST_F(UnitIndexTest, RandomEditsAgreeWithTheList) {
    std::mt19937 random(424242);
    auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    UnitIndex index;
    Units model;
    for (int i = 0; i < 40; ++i) {
        model.emplace_back(NewNode(), pick(0, 5));
        index.Append(model.back().first, model.back().second);
    }
    for (int step = 0; step < 600; ++step) {
        SCOPED_TRACE(step);
        const long action = pick(0, 9);
        if (action == 0 && model.size() > 2) {
            const auto from = static_cast<std::size_t>(pick(1, static_cast<long>(model.size())));
            index.Truncate(from);
            model.resize(std::min(from, model.size()));
        } else if (action == 1 || model.size() < 2) {
            model.emplace_back(NewNode(), pick(0, 5));
            index.Append(model.back().first, model.back().second);
        } else {
            const auto last = static_cast<std::size_t>(pick(1, static_cast<long>(model.size()) - 1));
            const auto first = static_cast<std::size_t>(pick(std::max(0L, static_cast<long>(last) - 3), static_cast<long>(last)));
            Units fresh;
            for (long n = pick(0, 3); n > 0; --n) fresh.emplace_back(NewNode(), pick(0, 6));
            long start = 0;
            for (std::size_t i = 0; i < first; ++i) start += model[i].second;
            index.Replace(first, last, start, fresh);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(first),
                        model.begin() + static_cast<std::ptrdiff_t>(last));
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(first), fresh.begin(), fresh.end());
        }
        ExpectSame(index, model);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace paperloom::word::detail
