#pragma once
// Helpers shared by the settings tests: reopening a package from its saved bytes, and
// reading a part's children as local names.

#include <filesystem>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/docx/Package.h"

namespace paperloom::word::testing {

// What a reader gets after the package is saved and opened again.
inline docx::Package Reopen(const docx::Package& package) {
    const std::vector<std::byte> bytes = package.SaveToMemory();
    return docx::Package::OpenFromMemory(bytes);
}

inline std::string LocalName(const pugi::xml_node& node) {
    const std::string name = node.name();
    const auto colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

inline std::vector<std::string> ChildNames(const pugi::xml_node& parent) {
    std::vector<std::string> names;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) names.push_back(LocalName(child));
    }
    return names;
}

// True when every name of `expectedOrder` that occurs in `names` occurs in that order.
inline bool InOrder(const std::vector<std::string>& names, const std::vector<std::string>& expectedOrder) {
    std::size_t position = 0;
    for (const std::string& name : names) {
        std::size_t found = position;
        while (found < expectedOrder.size() && expectedOrder[found] != name) ++found;
        if (found == expectedOrder.size()) {
            // Either unknown or earlier than a sibling before it.
            for (std::size_t i = 0; i < position; ++i) {
                if (expectedOrder[i] == name) return false;
            }
            continue;
        }
        position = found;
    }
    return true;
}

inline pugi::xml_node SettingsRoot(docx::Package& package) {
    return package.Xml("word/settings.xml").document_element();
}

inline std::filesystem::path CorpusFile(const char* name) {
    return std::filesystem::path(PAPERLOOM_SHARED_DIR) / "corpus" / "good" / name;
}

}  // namespace paperloom::word::testing

namespace paperloom::word::testing {

// The node's XML as text, for comparing subtrees.
inline std::string XmlOf(const pugi::xml_node& node) {
    struct Writer : pugi::xml_writer {
        std::string text;
        void write(const void* data, std::size_t size) override {
            text.append(static_cast<const char*>(data), size);
        }
    } writer;
    node.print(writer, "", pugi::format_raw);
    return writer.text;
}

}  // namespace paperloom::word::testing
