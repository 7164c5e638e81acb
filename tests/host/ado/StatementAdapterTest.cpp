#include "host/ado/StatementAdapter.h"

#include <gtest/gtest.h>

namespace paperloom::host::ado {
namespace {

TEST(StatementAdapter, DateLiteralsPerDialect) {
    const std::string sql = "SELECT * FROM T WHERE D >= #2024/1/5# AND S < #2024/01/05 10:20:30#";
    EXPECT_EQ(AdaptStatement(sql, SqlDialect::SQLite),
              "SELECT * FROM T WHERE D >= '2024-01-05' AND S < '2024-01-05 10:20:30'");
    EXPECT_EQ(AdaptStatement(sql, SqlDialect::PostgreSQL),
              "SELECT * FROM T WHERE D >= DATE '2024-01-05' AND S < TIMESTAMP '2024-01-05 10:20:30'");
    EXPECT_EQ(AdaptStatement(sql, SqlDialect::GenericOdbc),
              "SELECT * FROM T WHERE D >= {d '2024-01-05'} AND S < {ts '2024-01-05 10:20:30'}");
    EXPECT_EQ(AdaptStatement("SELECT #10:20#", SqlDialect::PostgreSQL), "SELECT TIME '10:20:00'");
    // A '#' that does not enclose a date stays.
    EXPECT_EQ(AdaptStatement("SELECT a # b FROM T WHERE c = #x#", SqlDialect::SQLite),
              "SELECT a # b FROM T WHERE c = #x#");
}

TEST(StatementAdapter, BlankComparisonsBecomeNullTests) {
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE ( Name =NULL '' ) AND  Qty <>NULL '' ", SqlDialect::SQLite),
              "SELECT * FROM T WHERE ( Name IS NULL ) AND  Qty IS NOT NULL ");
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE Name=NULL", SqlDialect::SQLite),
              "SELECT * FROM T WHERE Name IS NULL");
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE Name = NULL ''", SqlDialect::PostgreSQL),
              "SELECT * FROM T WHERE Name IS NULL");
    // Assignments, other operators and NULL-prefixed words are not comparisons with NULL.
    EXPECT_EQ(AdaptStatement("UPDATE T SET a = NULL WHERE b >=NULLIF(c, 0)", SqlDialect::SQLite),
              "UPDATE T SET a = NULL WHERE b >=NULLIF(c, 0)");
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE a =NULL'''x'", SqlDialect::SQLite),
              "SELECT * FROM T WHERE a IS NULL'''x'");
}

TEST(StatementAdapter, LikeWildcardsOnlyWhenThePatternHasNoSqlWildcards) {
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE N Like 'A*b?'", SqlDialect::SQLite),
              "SELECT * FROM T WHERE N Like 'A%b_'");
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE N LIKE '%a*'", SqlDialect::SQLite),
              "SELECT * FROM T WHERE N LIKE '%a*'");
    EXPECT_EQ(AdaptStatement("SELECT * FROM T WHERE N LIKE 'it''s*'", SqlDialect::SQLite),
              "SELECT * FROM T WHERE N LIKE 'it''s%'");
    EXPECT_EQ(AdaptStatement("SELECT a*b, 'x?' FROM T WHERE UNLIKELY = 1", SqlDialect::SQLite),
              "SELECT a*b, 'x?' FROM T WHERE UNLIKELY = 1");
}

TEST(StatementAdapter, QuotedTextIsNeverRewritten) {
    const std::string sql = "SELECT '#2024/1/5#', \"x =NULL ''\" FROM T WHERE N = 'a =NULL '''' LIKE ''A*'''";
    EXPECT_EQ(AdaptStatement(sql, SqlDialect::SQLite), sql);
    EXPECT_EQ(AdaptStatement("SELECT 'unterminated #2024/1/5#", SqlDialect::SQLite),
              "SELECT 'unterminated #2024/1/5#");
    EXPECT_EQ(AdaptStatement("SELECT [単 価] FROM [Order Items]", SqlDialect::PostgreSQL),
              "SELECT \"単 価\" FROM \"Order Items\"");
    EXPECT_EQ(AdaptStatement("SELECT [単 価] FROM T", SqlDialect::SQLite), "SELECT [単 価] FROM T");
}

}  // namespace
}  // namespace paperloom::host::ado
