#include "host/ado/odbc/OdbcConnectionString.h"
#include "host/ado/odbc/OdbcProviderSession.h"
#include "host/ado/odbc/OdbcText.h"
#include "host/HostError.h"

#include <gtest/gtest.h>

namespace paperloom::host::ado::odbc {
namespace {

TEST(OdbcConnectionString, ParsesBracedValuesWithSeparatorsAndEscapedBraces) {
    const auto attributes =
        ParseConnectionString(" Driver = {PostgreSQL Unicode} ;PWD={a;b}}c};Database=x;;junk;");
    ASSERT_EQ(attributes.size(), 3u);
    EXPECT_EQ(attributes[0], (ConnectionAttribute{"Driver", "PostgreSQL Unicode"}));
    EXPECT_EQ(attributes[1], (ConnectionAttribute{"PWD", "a;b}c"}));
    EXPECT_EQ(attributes[2], (ConnectionAttribute{"Database", "x"}));
    EXPECT_EQ(FindAttribute("dsn=Sales;uid=me", "DSN"), "Sales");
    EXPECT_FALSE(FindAttribute("DSN=Sales", "UID").has_value());
    // An unclosed brace takes the rest instead of running past the end.
    EXPECT_EQ(FindAttribute("PWD={abc;UID=x", "PWD"), "abc;UID=x");
}

TEST(OdbcConnectionString, CredentialsAreAddedOnlyWhenMissing) {
    EXPECT_EQ(WithCredentials("DSN=Sales", "user", "secret"), "DSN=Sales;UID=user;PWD=secret");
    EXPECT_EQ(WithCredentials("DSN=Sales;", "user", ""), "DSN=Sales;UID=user");
    EXPECT_EQ(WithCredentials("DSN=Sales", "", ""), "DSN=Sales");
    // The string's own login wins, whatever the keyword's case.
    EXPECT_EQ(WithCredentials("DSN=Sales;uid=owner;Pwd=own", "user", "secret"),
              "DSN=Sales;uid=owner;Pwd=own");
    EXPECT_EQ(WithCredentials("DSN=Sales;Username=owner;Password=own", "user", "secret"),
              "DSN=Sales;Username=owner;Password=own");
    // A password with separators must not spill into further attributes.
    const std::string text = WithCredentials("DSN=Sales", "u", "p;UID=evil}x");
    EXPECT_EQ(FindAttribute(text, "PWD"), "p;UID=evil}x");
    EXPECT_EQ(FindAttribute(text, "UID"), "u");
    EXPECT_EQ(ParseConnectionString(text).size(), 3u);
}

TEST(OdbcStatements, TableAndProcedureStatements) {
    EXPECT_EQ(TableStatement("Orders", "\""), "SELECT * FROM \"Orders\"");
    EXPECT_EQ(TableStatement(" 受注 明細 ", "\""), "SELECT * FROM \"受注 明細\"");
    EXPECT_EQ(TableStatement("a\"b", "\""), "SELECT * FROM \"a\"\"b\"");
    EXPECT_EQ(TableStatement("\"Already\"", "\""), "SELECT * FROM \"Already\"");
    EXPECT_EQ(TableStatement("Orders", " "), "SELECT * FROM Orders");
    EXPECT_EQ(CallStatement("get_orders"), "{call get_orders()}");
    EXPECT_EQ(CallStatement(" get_orders(3) "), "{call get_orders(3)}");
    EXPECT_EQ(CallStatement("{call x}"), "{call x}");
}

TEST(OdbcStatements, DialectFromProductName) {
    EXPECT_EQ(DialectFromProductName("PostgreSQL"), SqlDialect::PostgreSQL);
    EXPECT_EQ(DialectFromProductName("SQLite"), SqlDialect::SQLite);
    EXPECT_EQ(DialectFromProductName("Microsoft SQL Server"), SqlDialect::GenericOdbc);
    EXPECT_EQ(DialectFromProductName(""), SqlDialect::GenericOdbc);
}

TEST(OdbcText, RoundTripsJapaneseAndRejectsBrokenUtf8) {
    const std::string text = "顧客名 𠮷野家 ｶﾅ";
    const WideString wide = ToWide(text);
    EXPECT_EQ(wide.size(), 11u);  // the rare kanji takes a surrogate pair
    EXPECT_EQ(FromWide(wide), text);
    EXPECT_THROW(ToWide("abc\xff"), HostError);
    const SQLWCHAR lone[] = {0xD800, 'a'};
    EXPECT_EQ(FromWide(lone, 2), "\xEF\xBF\xBD" "a");
}

}  // namespace
}  // namespace paperloom::host::ado::odbc
