// Late-bound calls: member lookup, argument checks with automation's error numbers, optional
// arguments, by-reference documents and value conversions.

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/word/Document.h"
#include "host/word/addins/Dispatch.h"

namespace paperloom::word::test {
namespace {

long ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

std::shared_ptr<DispatchTable> Sample() {
    auto table = std::make_shared<DispatchTable>();
    table->Add("Join", 1, 3, [](DispArgs& a) -> DispValue {
        return disparg::String(a, 0) + "|" + (a[1].IsEmpty() ? "-" : disparg::String(a, 1)) + "|" +
               (disparg::Bool(a, 2, true) ? "T" : "F");
    });
    table->Add("Replace", 1, 1, [](DispArgs& a) -> DispValue {
        auto& doc = disparg::Document(a, 0);
        doc = Document::Blank("Replaced");
        return {};
    });
    table->Add("Twice", 1, 1, [](DispArgs& a) -> DispValue { return disparg::Long(a, 0) * 2; });
    return table;
}

TEST(Dispatch, MembersByNameWithOptionalArguments) {
    const DispatchPtr object = Sample();
    EXPECT_EQ(Invoke(object, "join", {"a"}).AsString(), "a|-|T");
    EXPECT_EQ(Invoke(object, "JOIN", {"a", 2L, false}).AsString(), "a|2|F");
    // An Empty argument in the middle stands for a left-out optional one.
    EXPECT_EQ(Invoke(object, "Join", {"a", DispValue(), "False"}).AsString(), "a|-|F");
    EXPECT_EQ(object->MemberNames(), (std::vector<std::string>{"Join", "Replace", "Twice"}));
}

TEST(Dispatch, WrongCallsGetAutomationErrorNumbers) {
    const DispatchPtr object = Sample();
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Missing"); }), disperr::memberNotFound);
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Join"); }), disperr::argumentNotOptional);
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Join", {DispValue()}); }), disperr::argumentNotOptional);
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Join", {"a", "b", true, 4L}); }), disperr::wrongArgumentCount);
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Twice", {"twelve"}); }), disperr::typeMismatch);
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Replace", {"not a document"}); }), disperr::typeMismatch);
    EXPECT_EQ(ErrorOf([&] { Invoke(DispatchPtr(), "Join", {"a"}); }), disperr::objectNotSet);
    EXPECT_EQ(ErrorOf([&] { Invoke(object, "Replace", {std::shared_ptr<Document>()}); }), disperr::objectNotSet);
    try {
        Invoke(object, "Nope");
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("Object doesn't support this property or method"), std::string::npos);
    }
}

TEST(Dispatch, DocumentsPassByReferenceAndTheArgumentListKeepsItsLength) {
    const DispatchPtr object = Sample();
    DispArgs args{Document::Blank("Original")};
    Invoke(object, "Replace", args);
    ASSERT_EQ(args.size(), 1u);
    EXPECT_EQ(args[0].AsDocument()->Name(), "Replaced");

    DispArgs optional{"x"};
    Invoke(object, "Join", optional);
    EXPECT_EQ(optional.size(), 1u);
}

TEST(Dispatch, ValueConversions) {
    EXPECT_EQ(DispValue("12").AsLong(), 12);
    EXPECT_EQ(DispValue(" 2.5 ").AsDouble(), 2.5);
    EXPECT_EQ(DispValue(2.5).AsLong(), 2);  // halves to even
    EXPECT_EQ(DispValue(3.5).AsLong(), 4);
    EXPECT_EQ(DispValue(true).AsLong(), -1);
    EXPECT_TRUE(DispValue("true").AsBool());
    EXPECT_FALSE(DispValue("0").AsBool());
    EXPECT_EQ(DispValue(false).AsString(), "False");
    EXPECT_EQ(DispValue(7L).AsString(), "7");
    EXPECT_EQ(ErrorOf([] { DispValue("yes").AsBool(); }), disperr::typeMismatch);
    EXPECT_EQ(ErrorOf([] { DispValue("1e99").AsLong(); }), 6);
    EXPECT_EQ(ErrorOf([] { DispValue(DispatchPtr()).AsString(); }), disperr::typeMismatch);
    EXPECT_TRUE(DispValue(DispatchPtr()).IsNothing());
    EXPECT_FALSE(DispValue().IsNothing());
    EXPECT_EQ(DispValue(std::shared_ptr<Document>()).TypeName(), "Document");
}

}  // namespace
}  // namespace paperloom::word::test
