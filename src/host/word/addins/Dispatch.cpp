#include "host/word/addins/Dispatch.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include <fmt/format.h>

#include "host/word/Document.h"

namespace paperloom::word {

namespace {

bool SameName(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view text) noexcept {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

long RoundToLong(double value) {
    // Automation rounds halves to even when it converts to an integer.
    if (!std::isfinite(value) || value >= 2147483647.5 || value < -2147483648.5) throw DispatchError(6);
    return static_cast<long>(std::nearbyint(value));
}

}  // namespace

host::HostError DispatchError(long number, std::string_view member) {
    std::string description;
    switch (number) {
        case disperr::typeMismatch: description = "Type mismatch"; break;
        case disperr::objectNotSet: description = "Object variable or With block variable not set"; break;
        case disperr::memberNotFound: description = "Object doesn't support this property or method"; break;
        case disperr::argumentNotOptional: description = "Argument not optional"; break;
        case disperr::wrongArgumentCount:
            description = "Wrong number of arguments or invalid property assignment";
            break;
        case 6: description = "Overflow"; break;
        default: description = "Automation error"; break;
    }
    if (!member.empty()) description += fmt::format(" ({})", member);
    return host::HostError(number, "Paperloom.Automation", description);
}

bool DispValue::IsNothing() const noexcept {
    return Kind() == DispKind::Dispatch && std::get<DispatchPtr>(value_) == nullptr;
}

bool DispValue::AsBool() const {
    switch (Kind()) {
        case DispKind::Bool: return std::get<bool>(value_);
        case DispKind::Long: return std::get<long>(value_) != 0;
        case DispKind::Double: return std::get<double>(value_) != 0.0;
        case DispKind::Empty: return false;
        case DispKind::String: {
            const auto text = Trim(std::get<std::string>(value_));
            if (SameName(text, "True")) return true;
            if (SameName(text, "False")) return false;
            if (const auto number = ParseNumber(text)) return *number != 0.0;
            break;
        }
        default: break;
    }
    throw DispatchError(disperr::typeMismatch);
}

long DispValue::AsLong() const {
    switch (Kind()) {
        case DispKind::Bool: return std::get<bool>(value_) ? -1 : 0;
        case DispKind::Long: return std::get<long>(value_);
        case DispKind::Double: return RoundToLong(std::get<double>(value_));
        case DispKind::Empty: return 0;
        case DispKind::String:
            if (const auto number = ParseNumber(std::get<std::string>(value_))) return RoundToLong(*number);
            break;
        default: break;
    }
    throw DispatchError(disperr::typeMismatch);
}

double DispValue::AsDouble() const {
    switch (Kind()) {
        case DispKind::Bool: return std::get<bool>(value_) ? -1.0 : 0.0;
        case DispKind::Long: return static_cast<double>(std::get<long>(value_));
        case DispKind::Double: return std::get<double>(value_);
        case DispKind::Empty: return 0.0;
        case DispKind::String:
            if (const auto number = ParseNumber(std::get<std::string>(value_))) return *number;
            break;
        default: break;
    }
    throw DispatchError(disperr::typeMismatch);
}

std::string DispValue::AsString() const {
    switch (Kind()) {
        case DispKind::Bool: return std::get<bool>(value_) ? "True" : "False";
        case DispKind::Long: return std::to_string(std::get<long>(value_));
        case DispKind::Double: return fmt::format("{}", std::get<double>(value_));
        case DispKind::Empty: return {};
        case DispKind::String: return std::get<std::string>(value_);
        default: break;
    }
    throw DispatchError(disperr::typeMismatch);
}

std::shared_ptr<Document>& DispValue::AsDocument() {
    if (Kind() != DispKind::Document) throw DispatchError(disperr::typeMismatch);
    return std::get<std::shared_ptr<Document>>(value_);
}

const std::shared_ptr<Document>& DispValue::AsDocument() const {
    if (Kind() != DispKind::Document) throw DispatchError(disperr::typeMismatch);
    return std::get<std::shared_ptr<Document>>(value_);
}

const DispatchPtr& DispValue::AsDispatch() const {
    if (Kind() != DispKind::Dispatch) throw DispatchError(disperr::typeMismatch);
    return std::get<DispatchPtr>(value_);
}

std::string_view DispValue::TypeName() const noexcept {
    switch (Kind()) {
        case DispKind::Empty: return "Empty";
        case DispKind::Bool: return "Boolean";
        case DispKind::Long: return "Long";
        case DispKind::Double: return "Double";
        case DispKind::String: return "String";
        case DispKind::Document: return "Document";
        case DispKind::Dispatch: return "Object";
    }
    return "Empty";
}

DispValue Invoke(const DispatchPtr& object, std::string_view name, DispArgs& args) {
    if (!object) throw DispatchError(disperr::objectNotSet, name);
    return object->Invoke(name, args);
}

DispValue Invoke(const DispatchPtr& object, std::string_view name, std::initializer_list<DispValue> args) {
    DispArgs list(args);
    return Invoke(object, name, list);
}

void DispatchTable::Add(std::string name, std::size_t minArgs, std::size_t maxArgs, Member member) {
    members_.push_back({std::move(name), minArgs, maxArgs, std::move(member)});
}

DispValue DispatchTable::Invoke(std::string_view name, DispArgs& args) {
    for (auto& entry : members_) {
        if (!SameName(entry.name, name)) continue;
        if (args.size() > entry.maxArgs) throw DispatchError(disperr::wrongArgumentCount, entry.name);
        for (std::size_t i = 0; i < entry.minArgs; ++i)
            if (i >= args.size() || args[i].IsEmpty()) throw DispatchError(disperr::argumentNotOptional, entry.name);
        // Optional arguments left out arrive as Empty, so members read them by index.
        const auto given = args.size();
        args.resize(entry.maxArgs);
        struct Restore {
            DispArgs& args;
            std::size_t size;
            ~Restore() { args.resize(size); }
        } restore{args, given};
        return entry.member(args);
    }
    throw DispatchError(disperr::memberNotFound, name);
}

std::vector<std::string> DispatchTable::MemberNames() const {
    std::vector<std::string> names;
    names.reserve(members_.size());
    for (const auto& entry : members_) names.push_back(entry.name);
    return names;
}

namespace disparg {

namespace {
const DispValue& Required(const DispArgs& args, std::size_t index) {
    if (index >= args.size() || args[index].IsEmpty()) throw DispatchError(disperr::argumentNotOptional);
    return args[index];
}
}  // namespace

std::shared_ptr<word::Document>& Document(DispArgs& args, std::size_t index) {
    Required(args, index);
    auto& document = args[index].AsDocument();
    if (!document) throw DispatchError(disperr::objectNotSet);
    return document;
}

std::string String(const DispArgs& args, std::size_t index) { return Required(args, index).AsString(); }
long Long(const DispArgs& args, std::size_t index) { return Required(args, index).AsLong(); }
bool Bool(const DispArgs& args, std::size_t index) { return Required(args, index).AsBool(); }

bool Bool(const DispArgs& args, std::size_t index, bool fallback) {
    if (index >= args.size() || args[index].IsEmpty()) return fallback;
    return args[index].AsBool();
}

}  // namespace disparg

}  // namespace paperloom::word
