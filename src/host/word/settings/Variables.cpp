#include "host/word/settings/Variables.h"

#include <cstdio>

#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {

using namespace settings_errors;

namespace variables_detail {
namespace {

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// True when text[pos..] starts with an escape "_xHHHH_".
bool IsEscapeAt(std::string_view text, std::size_t pos) {
    if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') {
        return false;
    }
    for (std::size_t i = pos + 2; i < pos + 6; ++i) {
        if (!IsHex(text[i])) return false;
    }
    return true;
}

}  // namespace

std::string Encode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "_x%04X_", static_cast<unsigned>(c));
            out += buffer;
        } else if (IsEscapeAt(text, i)) {
            out += "_x005F_";  // the underscore itself, so the rest reads back literally
            out += text.substr(i + 1, 6);
            i += 6;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsEscapeAt(text, i)) {
            const unsigned long code = std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16);
            if (code < 0x80) {
                out += static_cast<char>(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace variables_detail

namespace {

using variables_detail::Decode;
using variables_detail::Encode;

struct Found {
    pugi::xml_node element;
    wml::Wml names{std::string{}};
};

Found FindVariable(docx::Package& package, std::string_view name) {
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    const wml::Wml& w = settings.names;
    const pugi::xml_node docVars = w.Child(settings.root, "docVars");
    for (pugi::xml_node var = docVars.first_child(); var; var = var.next_sibling()) {
        if (w.LocalOf(var) != "docVar") continue;
        if (wml::SameName(Decode(w.Value(var, "name").value_or("")), name)) return {var, w};
    }
    return {};
}

std::vector<std::pair<pugi::xml_node, std::string>> ListVariables(docx::Package& package) {
    std::vector<std::pair<pugi::xml_node, std::string>> list;
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    const wml::Wml& w = settings.names;
    const pugi::xml_node docVars = w.Child(settings.root, "docVars");
    for (pugi::xml_node var = docVars.first_child(); var; var = var.next_sibling()) {
        if (w.LocalOf(var) != "docVar") continue;
        list.emplace_back(var, Decode(w.Value(var, "name").value_or("")));
    }
    return list;
}

pugi::xml_node CreateVariable(docx::Package& package, std::string_view name,
                              std::string_view value) {
    if (name.empty()) throw ValueOutOfRange();
    const parts::PartRoot settings = parts::OpenOrCreate(package, parts::Settings());
    const wml::Wml& w = settings.names;
    pugi::xml_node docVars = w.Ensure(settings.root, "docVars", wml::order::Settings());
    pugi::xml_node var = docVars.append_child(w.Name("docVar").c_str());
    w.SetAttr(var, "name", Encode(name));
    w.SetAttr(var, "val", Encode(value));
    return var;
}

}  // namespace

Variable::Variable(docx::Package& package, std::string name)
    : package_(&package), name_(std::move(name)) {}

std::string Variable::Name() const {
    const Found found = FindVariable(*package_, name_);
    if (!found.element) throw ObjectDeleted();
    return Decode(found.names.Value(found.element, "name").value_or(""));
}

std::string Variable::Value() const {
    const Found found = FindVariable(*package_, name_);
    if (!found.element) throw ObjectDeleted();
    return Decode(found.names.Value(found.element, "val").value_or(""));
}

void Variable::SetValue(std::string_view value) {
    const Found found = FindVariable(*package_, name_);
    if (!found.element) throw ObjectDeleted();
    found.names.SetAttr(found.element, "val", Encode(value));
}

long Variable::Index() const {
    long index = 0;
    for (const auto& [node, name] : ListVariables(*package_)) {
        ++index;
        if (wml::SameName(name, name_)) return index;
    }
    throw ObjectDeleted();
}

void Variable::Delete() {
    const Found found = FindVariable(*package_, name_);
    if (!found.element) throw ObjectDeleted();
    pugi::xml_node docVars = found.element.parent();
    docVars.remove_child(found.element);
    // An empty w:docVars is not allowed by the schema (one w:docVar at least).
    if (!docVars.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; })) {
        docVars.parent().remove_child(docVars);
    }
}

long Variables::Count() const {
    return static_cast<long>(ListVariables(*package_).size());
}

Variable Variables::Item(long index) const {
    const auto list = ListVariables(*package_);
    if (index < 1 || index > static_cast<long>(list.size())) throw NoSuchMember();
    return Variable(*package_, list[static_cast<std::size_t>(index - 1)].second);
}

Variable Variables::Item(std::string_view name) const {
    const Found found = FindVariable(*package_, name);
    if (!found.element) throw ObjectDeleted();
    return Variable(*package_, Decode(found.names.Value(found.element, "name").value_or("")));
}

bool Variables::Exists(std::string_view name) const {
    return static_cast<bool>(FindVariable(*package_, name).element);
}

Variable Variables::Add(std::string_view name, std::string_view value) {
    if (Exists(name)) {
        throw WordError(errnum::variableExists, "The variable name already exists.");
    }
    CreateVariable(*package_, name, value);
    return Variable(*package_, std::string(name));
}

Variable Variables::SetValue(std::string_view name, std::string_view value) {
    const Found found = FindVariable(*package_, name);
    if (found.element) {
        found.names.SetAttr(found.element, "val", Encode(value));
        return Variable(*package_, std::string(name));
    }
    CreateVariable(*package_, name, value);
    return Variable(*package_, std::string(name));
}

bool Variables::Delete(std::string_view name) {
    if (!Exists(name)) return false;
    Variable(*package_, std::string(name)).Delete();
    return true;
}

std::vector<Variable> Variables::All() const {
    std::vector<Variable> all;
    for (const auto& [node, name] : ListVariables(*package_)) all.emplace_back(*package_, name);
    return all;
}

void Variables::CopyAll(docx::Package& destination, docx::Package& source) {
    Variables target(destination);
    for (const auto& [node, name] : ListVariables(source)) {
        const Found found = FindVariable(source, name);
        target.SetValue(name, Decode(found.names.Value(found.element, "val").value_or("")));
    }
}

}  // namespace paperloom::word
