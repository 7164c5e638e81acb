// The numbered kinds of a template's settings: read as the data-access layer reads them and
// written back as the very texts templates store.

#include <gtest/gtest.h>

#include "common/SettingTypes.h"
#include "common/modPLConst.h"

namespace paperloom::settingtypes {
namespace {

TEST(SettingTypes, StoredTextsReadAndWriteBackUnchanged) {
    for (const auto text : {modPLConst::RECORD_SOURCE_TEXT, modPLConst::RECORD_SOURCE_TABLE,
                            modPLConst::RECORD_SOURCE_STORED_PROCEDURE, modPLConst::RECORD_SOURCE_UNKNOWN}) {
        const auto type = ParseRecordSourceType(text);
        ASSERT_TRUE(type) << text;
        EXPECT_EQ(RecordSourceTypeText(*type), text);
    }
    for (const auto text : {modPLConst::DATA_SOURCE_ODBC, modPLConst::DATA_SOURCE_CONNECTION_STRING,
                            modPLConst::DATA_SOURCE_DATA_LINK, modPLConst::DATA_SOURCE_DATABASE_FILE}) {
        const auto type = ParseDataSourceType(text);
        ASSERT_TRUE(type) << text;
        EXPECT_EQ(DataSourceTypeText(*type), text);
    }
    for (const auto text : {modPLConst::FIELD_TYPE_NONE, modPLConst::FIELD_TYPE_DATA, modPLConst::FIELD_TYPE_SUPPORT,
                            modPLConst::FIELD_TYPE_EXPRESSION, modPLConst::FIELD_TYPE_PICTURE}) {
        EXPECT_EQ(ColumnFieldTypeText(ParseColumnFieldType(text)), text);
    }
    EXPECT_EQ(ParseRecordSourceType("4"), RecordSourceType::StoredProcedure);
    EXPECT_EQ(ParseDataSourceType("3"), DataSourceType::DataLinkFile);
    EXPECT_EQ(ParseColumnFieldType("3"), ColumnFieldType::Expression);
}

TEST(SettingTypes, RecordSourceTypeReadsAsANumber) {
    // The data-access layer has always taken blanks and fractions in this text.
    EXPECT_EQ(ParseRecordSourceType(" 2 "), RecordSourceType::Table);
    EXPECT_EQ(ParseRecordSourceType("2.0"), RecordSourceType::Table);
    EXPECT_EQ(ParseRecordSourceType("\t1"), RecordSourceType::Text);
    // A number that names no type keeps its value for the data-access layer to judge.
    const auto other = ParseRecordSourceType("3");
    ASSERT_TRUE(other);
    EXPECT_EQ(RecordSourceTypeText(*other), "3");
    for (const auto text : {"", "table", "1e20", "2;DROP", "--1"}) EXPECT_FALSE(ParseRecordSourceType(text)) << text;
}

TEST(SettingTypes, DataSourceTypeNamesOnlyTheFourKinds) {
    EXPECT_EQ(ParseDataSourceType(" 4"), DataSourceType::DatabaseFile);
    EXPECT_EQ(ParseDataSourceType("1.0"), DataSourceType::OdbcDataSource);
    for (const auto text : {"", "0", "5", "1.5", "odbc", "-1"}) EXPECT_FALSE(ParseDataSourceType(text)) << text;
}

TEST(SettingTypes, FieldTypeNamesAContentOnlyByItsExactText) {
    // The detail fill has only ever filled columns whose text is exactly one digit 1 to 4.
    for (const auto text : {"", "0", " 1", "01", "1.0", "5", "data"}) {
        EXPECT_EQ(ParseColumnFieldType(text), ColumnFieldType::None) << text;
    }
}

}  // namespace
}  // namespace paperloom::settingtypes
