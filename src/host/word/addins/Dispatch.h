#pragma once
// Late-bound automation: an object reached only through the names of its members, called with
// a list of values. Add-ins publish such objects; hosts and other add-ins call them without
// linking against the add-in. Member names compare without regard to (ASCII) letter case.

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/HostError.h"

namespace paperloom::word {

class Document;
class IDispatch;
using DispatchPtr = std::shared_ptr<IDispatch>;

enum class DispKind { Empty, Bool, Long, Double, String, Document, Dispatch };

// One value passed to or returned from a member. Empty stands for "no value" and for an
// optional argument that was left out; a Dispatch value holding null is Nothing.
class DispValue {
public:
    DispValue() = default;
    DispValue(bool value) : value_(value) {}
    DispValue(int value) : value_(static_cast<long>(value)) {}
    DispValue(long value) : value_(value) {}
    DispValue(double value) : value_(value) {}
    DispValue(std::string value) : value_(std::move(value)) {}
    DispValue(std::string_view value) : value_(std::string(value)) {}
    DispValue(const char* value) : value_(std::string(value)) {}
    DispValue(std::shared_ptr<Document> value) : value_(std::move(value)) {}
    DispValue(DispatchPtr value) : value_(std::move(value)) {}

    DispKind Kind() const noexcept { return static_cast<DispKind>(value_.index()); }
    bool IsEmpty() const noexcept { return Kind() == DispKind::Empty; }
    // A Dispatch value holding null.
    bool IsNothing() const noexcept;

    // Conversions as automation performs them; error 13 (type mismatch) when the value cannot
    // be converted: numbers and Booleans convert among themselves (True is -1), a number or
    // Boolean reads as its text, a text converts to a number only when it is one, and to a
    // Boolean when it reads "True"/"False" or is a number.
    bool AsBool() const;
    long AsLong() const;
    double AsDouble() const;
    std::string AsString() const;
    // The held document itself, so a by-reference argument can be replaced in place; error 13
    // for any other kind.
    std::shared_ptr<Document>& AsDocument();
    const std::shared_ptr<Document>& AsDocument() const;
    // The held object (possibly Nothing); error 13 for any other kind.
    const DispatchPtr& AsDispatch() const;

    // For messages: "Empty", "Boolean", "Long", "Double", "String", "Document", "Object".
    std::string_view TypeName() const noexcept;

private:
    std::variant<std::monostate, bool, long, double, std::string, std::shared_ptr<Document>, DispatchPtr> value_;
};

using DispArgs = std::vector<DispValue>;

class IDispatch {
public:
    virtual ~IDispatch() = default;
    // Calls the method, or reads the property, of that name. Arguments are passed by
    // reference: a member whose parameter is by reference may replace the value in place.
    // Errors: 438 unknown member, 449 a required argument missing, 450 too many arguments,
    // 13 an argument of the wrong type; the member's own errors pass through unchanged.
    virtual DispValue Invoke(std::string_view name, DispArgs& args) = 0;
    // The member names, in the order the object declares them.
    virtual std::vector<std::string> MemberNames() const = 0;
};

// Calls a member of `object`; error 91 when the object is Nothing.
DispValue Invoke(const DispatchPtr& object, std::string_view name, DispArgs& args);
DispValue Invoke(const DispatchPtr& object, std::string_view name, std::initializer_list<DispValue> args = {});

// Errors of late-bound calls, with automation's numbers.
namespace disperr {
inline constexpr long typeMismatch = 13;
inline constexpr long objectNotSet = 91;
inline constexpr long memberNotFound = 438;
inline constexpr long argumentNotOptional = 449;
inline constexpr long wrongArgumentCount = 450;
}  // namespace disperr
host::HostError DispatchError(long number, std::string_view member = {});

// A dispatch object assembled from named members: what add-ins publish.
class DispatchTable : public IDispatch {
public:
    using Member = std::function<DispValue(DispArgs& args)>;

    // A member taking at least `minArgs` and at most `maxArgs` arguments; Empty arguments past
    // the given ones stand for the optional ones left out.
    void Add(std::string name, std::size_t minArgs, std::size_t maxArgs, Member member);

    DispValue Invoke(std::string_view name, DispArgs& args) override;
    std::vector<std::string> MemberNames() const override;

private:
    struct Entry {
        std::string name;
        std::size_t minArgs;
        std::size_t maxArgs;
        Member member;
    };
    std::vector<Entry> members_;
};

// Reading arguments inside a member. Index counts from 0; a missing or Empty required
// argument is error 449, a value of the wrong kind error 13.
namespace disparg {
std::shared_ptr<Document>& Document(DispArgs& args, std::size_t index);
std::string String(const DispArgs& args, std::size_t index);
long Long(const DispArgs& args, std::size_t index);
bool Bool(const DispArgs& args, std::size_t index);
// Optional Boolean: `fallback` when the argument is missing or Empty.
bool Bool(const DispArgs& args, std::size_t index, bool fallback);
}  // namespace disparg

}  // namespace paperloom::word
