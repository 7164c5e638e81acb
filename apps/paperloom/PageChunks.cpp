#include "PageChunks.h"

#include "host/docx/Package.h"
#include "host/docx/XmlCodec.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <sstream>
#include <string_view>
#include <vector>

namespace paperloom::cli {
namespace {

namespace fs = std::filesystem;

// A field code whose result depends on the pages before it or on the whole document's pages.
bool CountsPages(std::string_view code) {
    const auto begin = code.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return false;
    code.remove_prefix(begin);
    const std::string_view word = code.substr(0, code.find_first_of(" \t\r\n\\"));
    const auto is = [&](std::string_view name) {
        return word.size() == name.size() && std::equal(word.begin(), word.end(), name.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) == b;
               });
    };
    return is("PAGE") || is("NUMPAGES") || is("SECTIONPAGES") || is("PAGEREF");
}

// What in one part would make a chunk's pages differ from the whole document's.
struct PageDependence {
    bool pageFields = false;
    bool notes = false;
    bool numbered = false;
};

PageDependence FindPageDependence(const pugi::xml_node& top, std::string_view prefix,
                                  const std::set<std::string, std::less<>>& numberedStyles, bool lists) {
    struct Walker : pugi::xml_tree_walker {
        std::string_view prefix;
        const std::set<std::string, std::less<>>& numberedStyles;
        bool lists;
        PageDependence found;
        Walker(std::string_view p, const std::set<std::string, std::less<>>& styles, bool l)
            : prefix(p), numberedStyles(styles), lists(l) {}
        std::string Attribute(const pugi::xml_node& node, std::string_view local) const {
            return node.attribute(docx::xml::QualifiedName(prefix, local).c_str()).as_string();
        }
        bool for_each(pugi::xml_node& node) override {
            if (node.type() != pugi::node_element || docx::xml::PrefixOf(node.name()) != prefix) return true;
            const auto local = docx::xml::LocalPart(node.name());
            if (local == "instrText")
                found.pageFields = found.pageFields || CountsPages(node.text().get());
            else if (local == "fldSimple")
                found.pageFields = found.pageFields || CountsPages(Attribute(node, "instr"));
            else if (local == "footnoteReference" || local == "endnoteReference")
                found.notes = true;
            else if (lists && (local == "numPr" || (local == "pStyle" && numberedStyles.contains(Attribute(node, "val")))))
                found.numbered = true;
            return true;
        }
    } walker(prefix, numberedStyles, lists);
    pugi::xml_node walk = top;
    walk.traverse(walker);
    return walker.found;
}

constexpr std::array<std::string_view, 3> kHeaderTypes{"default", "first", "even"};

}  // namespace

struct PageChunks::Impl {
    docx::Package package;
    std::string mainPart;
    std::string mainContentType;
    pugi::xml_document source;
    std::string prefix;  // the main namespace's prefix in the main part ("w")
    pugi::xml_node root;
    pugi::xml_node body;
    // The body's blocks in order, the closing section settings left out.
    std::vector<pugi::xml_node> blocks;
    pugi::xml_node closingSection;
    // Index of the first block of every page group.
    std::vector<std::size_t> groupStarts;
    // Per block, the section settings that govern it: the index in `sections`.
    std::vector<std::size_t> sectionOf;
    // The section settings in order: those ending a paragraph, then the closing one.
    std::vector<pugi::xml_node> sections;
    std::string obstacle;

    explicit Impl(const fs::path& document) : package(docx::Package::Open(document)) {}

    bool Is(const pugi::xml_node& node, std::string_view local) const {
        return node.type() == pugi::node_element && docx::xml::PrefixOf(node.name()) == prefix &&
               docx::xml::LocalPart(node.name()) == local;
    }
    std::string Name(std::string_view local) const { return docx::xml::QualifiedName(prefix, local); }
    pugi::xml_node Child(const pugi::xml_node& node, std::string_view local) const { return node.child(Name(local).c_str()); }
    std::string_view Value(const pugi::xml_node& node) const { return node.attribute(Name("val").c_str()).as_string(); }

    // The paragraph's own section settings (it ends a section), or none.
    pugi::xml_node SectionEnding(const pugi::xml_node& block) const {
        if (!Is(block, "p")) return {};
        return Child(Child(block, "pPr"), "sectPr");
    }

    // The run of a hard page break that ends a paragraph: the paragraph's last run, whose last
    // element is the break. None when the paragraph does not end with one.
    pugi::xml_node TrailingPageBreak(const pugi::xml_node& paragraph) const {
        if (!Is(paragraph, "p")) return {};
        pugi::xml_node lastRun;
        for (const auto child : paragraph.children()) {
            if (child.type() != pugi::node_element) continue;
            const auto local = docx::xml::LocalPart(child.name());
            if (Is(child, "r"))
                lastRun = child;
            else if (local != "bookmarkStart" && local != "bookmarkEnd" && local != "proofErr" && local != "pPr")
                lastRun = {};  // text or fields after the last run
        }
        if (!lastRun) return {};
        pugi::xml_node last;
        for (const auto child : lastRun.children())
            if (child.type() == pugi::node_element && !Is(child, "rPr")) last = child;
        if (!Is(last, "br") || std::string_view(last.attribute(Name("type").c_str()).as_string()) != "page") return {};
        return last;
    }

    void Read() {
        mainPart = package.MainDocumentPart();
        mainContentType = package.ContentType(mainPart);
        const std::string bytes = package.PartBytes(mainPart);
        const pugi::xml_parse_result parsed =
            source.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
        if (!parsed) throw docx::PackageError("The print document's main text cannot be read: " + std::string(parsed.description()));
        root = source.document_element();
        prefix = std::string(docx::xml::PrefixOf(root.name()));
        body = Child(root, "body");
        if (!body) throw docx::PackageError("The print document has no body.");

        for (const auto block : body.children()) {
            if (block.type() != pugi::node_element) continue;
            if (Is(block, "sectPr")) {
                closingSection = block;
                continue;
            }
            blocks.push_back(block);
        }
        groupStarts.push_back(0);
        for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
            if (TrailingPageBreak(blocks[i])) groupStarts.push_back(i + 1);

        sectionOf.assign(blocks.size(), 0);
        std::size_t open = 0;  // blocks from here on wait for the settings that end their section
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            if (const auto ending = SectionEnding(blocks[i])) {
                for (std::size_t j = open; j <= i; ++j) sectionOf[j] = sections.size();
                sections.push_back(ending);
                open = i + 1;
            }
        }
        for (std::size_t j = open; j < blocks.size(); ++j) sectionOf[j] = sections.size();
        if (!closingSection) closingSection = body.append_child(Name("sectPr").c_str());
        sections.push_back(closingSection);

        obstacle = FindObstacle();
    }

    std::string FindObstacle() const {
        if (const auto settings = package.MainRelatedPart(docx::reltype::settings)) {
            for (const auto setting : package.Xml(*settings).document_element().children()) {
                const auto local = docx::xml::LocalPart(setting.name());
                const std::string_view value = setting.attribute(Name("val").c_str()).as_string("true");
                const bool on = value != "false" && value != "0" && value != "off";
                if (local == "evenAndOddHeaders" && on) return "its headers differ on even and odd pages";
                if (local == "mirrorMargins" && on) return "its margins are mirrored on even and odd pages";
            }
        }
        for (const auto& section : sections) {
            const auto type = Value(Child(section, "type"));
            if (type == "oddPage" || type == "evenPage") return "a section starts on an odd or even page";
        }
        for (const auto& relationship : package.Relationships(mainPart)) {
            if (relationship.external) continue;
            if (relationship.type != docx::reltype::header && relationship.type != docx::reltype::footer) continue;
            const std::string part = docx::Package::ResolveTarget(mainPart, relationship.target);
            if (!package.HasPart(part)) continue;
            const auto top = package.Xml(part).document_element();
            if (FindPageDependence(top, docx::xml::PrefixOf(top.name()), {}, false).pageFields)
                return "a header or footer shows page numbers";
        }
        const bool lists = package.MainRelatedPart(docx::reltype::numbering).has_value();
        const PageDependence text = FindPageDependence(body, prefix, NumberedStyles(), lists);
        if (text.pageFields) return "the text shows page numbers";
        if (text.notes) return "it has footnotes or endnotes, which are numbered through the document";
        if (text.numbered) return "its numbered paragraphs count on from page to page";
        return {};
    }

    // The paragraph styles that number their paragraphs.
    std::set<std::string, std::less<>> NumberedStyles() const {
        std::set<std::string, std::less<>> numbered;
        const auto styles = package.MainRelatedPart(docx::reltype::styles);
        if (!styles) return numbered;
        const auto isLocal = [](std::string_view local) {
            return [local](const pugi::xml_node& node) { return docx::xml::LocalPart(node.name()) == local; };
        };
        for (const auto style : package.Xml(*styles).document_element().children()) {
            if (docx::xml::LocalPart(style.name()) != "style") continue;
            if (style.find_child(isLocal("pPr")).find_child(isLocal("numPr")))
                numbered.insert(style.attribute(Name("styleId").c_str()).as_string());
        }
        return numbered;
    }

    // Gives the first section of a chunk what the whole document's earlier sections lend it:
    // headers and footers it does not name itself, and no first-page header unless the chunk
    // starts the section.
    void LendEarlierSettings(pugi::xml_node& copy, std::size_t section, bool startsSection) const {
        const std::string typeName = Name("type");
        for (const std::string_view local : {"headerReference", "footerReference"}) {
            const std::string kind = Name(local);
            for (const auto type : kHeaderTypes) {
                const auto has = [&](const pugi::xml_node& sectPr) {
                    for (const auto reference : sectPr.children(kind.c_str()))
                        if (std::string_view(reference.attribute(typeName.c_str()).as_string("default")) == type)
                            return reference;
                    return pugi::xml_node{};
                };
                if (has(copy)) continue;
                for (std::size_t s = section; s-- > 0;) {
                    if (const auto earlier = has(sections[s])) {
                        copy.prepend_copy(earlier);
                        break;
                    }
                }
            }
        }
        if (!startsSection)
            if (const auto titlePage = Child(copy, "titlePg")) copy.remove_child(titlePage);
    }
};

PageChunks::PageChunks(const fs::path& document) : impl_(std::make_unique<Impl>(document)) { impl_->Read(); }

PageChunks::~PageChunks() = default;

std::size_t PageChunks::GroupCount() const { return impl_->groupStarts.size(); }

const std::string& PageChunks::Obstacle() const { return impl_->obstacle; }

void PageChunks::Write(std::size_t first, std::size_t last, const fs::path& path) {
    Impl& d = *impl_;
    if (first >= last || last > d.groupStarts.size()) throw std::out_of_range("PageChunks::Write: no such page groups");
    const std::size_t begin = d.blocks.empty() ? 0 : d.groupStarts[first];
    const std::size_t end = last < d.groupStarts.size() ? d.groupStarts[last] : d.blocks.size();

    pugi::xml_document chunk;
    auto declaration = chunk.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    auto root = chunk.append_child(d.root.name());
    for (const auto attribute : d.root.attributes()) root.append_copy(attribute);
    pugi::xml_node body;
    for (const auto child : d.root.children()) {
        if (child != d.body) {
            root.append_copy(child);
            continue;
        }
        body = root.append_child(d.body.name());
        for (const auto attribute : d.body.attributes()) body.append_copy(attribute);
    }

    std::vector<pugi::xml_node> copies;
    copies.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) copies.push_back(body.append_copy(d.blocks[i]));

    // The settings that govern the chunk's last block close it; a paragraph that ended its
    // section hands its settings to the close.
    pugi::xml_node closing;
    if (!copies.empty()) {
        const std::size_t lastSection = d.sectionOf[end - 1];
        closing = body.append_copy(d.sections[lastSection]);
        if (const auto ending = d.SectionEnding(copies.back())) ending.parent().remove_child(ending);
        if (last < d.groupStarts.size()) {
            const auto pageBreak = d.TrailingPageBreak(copies.back());
            if (pageBreak) {
                auto run = pageBreak.parent();
                run.remove_child(pageBreak);
                bool empty = true;
                for (const auto child : run.children())
                    if (child.type() == pugi::node_element && !d.Is(child, "rPr")) empty = false;
                if (empty) run.parent().remove_child(run);
            }
        }
        // The first section of the chunk: its settings are a paragraph's in the chunk, or the close.
        const std::size_t firstSection = d.sectionOf[begin];
        pugi::xml_node firstSettings = closing;
        if (firstSection != lastSection) {
            for (auto& copy : copies)
                if (const auto ending = d.SectionEnding(copy)) {
                    firstSettings = ending;
                    break;
                }
        }
        const bool startsSection = begin == 0 || static_cast<bool>(d.SectionEnding(d.blocks[begin - 1]));
        d.LendEarlierSettings(firstSettings, firstSection, startsSection);
    } else {
        body.append_copy(d.closingSection);
    }

    std::ostringstream bytes;
    chunk.save(bytes, "", pugi::format_raw, pugi::encoding_utf8);
    d.package.SetPartBytes(d.mainPart, bytes.str(), d.mainContentType);
    d.package.Save(path);
}

}  // namespace paperloom::cli
