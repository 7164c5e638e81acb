#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Run/KeyedTextCollection.h"
#include "Run/clsPLRDBBind.h"
#include "host/HostError.h"

namespace paperloom::run {
namespace {

TEST(KeyedTextCollectionTest, AddFindReplaceRemoveKeepOrder) {
    KeyedTextCollection rows;
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_FALSE(rows.Exists("Detail1"));
    rows.Add("Detail1", "3,7");
    rows.Add("Detail2", "");
    rows.Add("detail1", "lower case is another key");
    EXPECT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.Item("Detail1"), "3,7");
    EXPECT_EQ(rows.Item("Detail2"), "");

    rows.SetItem("Detail1", "4");
    rows.SetItem("Detail3", "9");
    EXPECT_EQ(rows.Item("Detail1"), "4");
    EXPECT_EQ(rows.Keys(), (std::vector<std::string>{"Detail1", "Detail2", "detail1", "Detail3"}));

    // The fill replaces a table's entry by removing and adding it: it moves to the end.
    rows.Remove("Detail1");
    rows.Add("Detail1", "5");
    EXPECT_EQ(rows.Keys(), (std::vector<std::string>{"Detail2", "detail1", "Detail3", "Detail1"}));

    rows.RemoveAll();
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_FALSE(rows.Exists("Detail2"));
    rows.Add("Detail2", "again");
    EXPECT_EQ(rows.Item("Detail2"), "again");
}

TEST(KeyedTextCollectionTest, MisuseIsAClearError) {
    KeyedTextCollection rows;
    rows.Add("Detail1", "1");
    try {
        rows.Add("Detail1", "2");
        FAIL() << "a second entry of a key must not replace the first silently";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 457);
        EXPECT_NE(error.Description().find("Detail1"), std::string::npos);
    }
    EXPECT_EQ(rows.Item("Detail1"), "1");
    EXPECT_THROW(rows.Remove("Nope"), host::HostError);
    EXPECT_THROW((void)rows.Item("Nope"), host::HostError);
    EXPECT_EQ(rows.Count(), 1);
}

TEST(KeyedTextCollectionTest, EachBindingHasTwoEmptyCollectionsOfItsOwn) {
    clsPLRDBBind first;
    clsPLRDBBind second;
    first.BrokenRowsByTable().Add("Detail1", "2,5");
    first.RowsUsedByTable().Add("Detail1", "12");
    EXPECT_EQ(first.BrokenRowsByTable().Count(), 1);
    EXPECT_EQ(first.RowsUsedByTable().Item("Detail1"), "12");
    EXPECT_EQ(second.BrokenRowsByTable().Count(), 0);
    EXPECT_EQ(second.RowsUsedByTable().Count(), 0);
}

}  // namespace
}  // namespace paperloom::run
