#pragma once
// Small helpers for reading and writing WordprocessingML settings elements with pugixml.
//
// Parts name the WordprocessingML namespace with whatever prefix their root element uses
// ("w" nearly always); a Wml value carries that prefix so lookups and new nodes match the part.
// Children are inserted at their place in the schema's sequence, because strict consumers
// reject misordered children.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace paperloom::word::wml {

inline constexpr std::string_view kMainNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr std::string_view kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The schema's child order of one element type, as local names.
using Sequence = std::span<const std::string_view>;

class Wml {
public:
    // Takes the prefix of the document element ("w:settings" -> "w").
    explicit Wml(const pugi::xml_document& document);
    explicit Wml(std::string prefix) : prefix_(std::move(prefix)) {}

    const std::string& Prefix() const noexcept { return prefix_; }
    // "w:" + local, or local alone for an unprefixed part.
    std::string Name(std::string_view local) const;
    // The local name when the node is in this part's WordprocessingML prefix, else "".
    std::string_view LocalOf(const pugi::xml_node& node) const;
    std::string_view LocalOf(const pugi::xml_attribute& attribute) const;

    pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local) const;
    pugi::xml_attribute Attr(const pugi::xml_node& node, std::string_view local) const;
    // The attribute's text, or nullopt when the node or attribute is missing.
    std::optional<std::string> Value(const pugi::xml_node& node, std::string_view local) const;
    void SetAttr(pugi::xml_node node, std::string_view local, std::string_view value) const;
    void RemoveAttr(pugi::xml_node node, std::string_view local) const;

    // The existing child or a new one inserted at its place in `order`.
    pugi::xml_node Ensure(pugi::xml_node parent, std::string_view local, Sequence order) const;
    // A new child (even when one exists) inserted after the last sibling not later in `order`.
    pugi::xml_node InsertOrdered(pugi::xml_node parent, std::string_view local, Sequence order) const;
    void RemoveAll(pugi::xml_node parent, std::string_view local) const;

    // On/off elements: present with no w:val, or w:val true/1/on, is on.
    bool OnOff(const pugi::xml_node& parent, std::string_view local, bool absent = false) const;
    // On writes an empty element; off removes it (the schema default for settings flags).
    void SetOnOff(pugi::xml_node parent, std::string_view local, bool on, Sequence order) const;

    // Replaces (or removes, when `source` is empty) the child `local` of `destination` with a
    // copy of `source`, renaming the source's prefix to this one and leaving out attributes
    // and children of other namespaces, which the destination may not declare.
    pugi::xml_node ReplaceWithCopy(pugi::xml_node destination, std::string_view local,
                                   const pugi::xml_node& source, const Wml& sourceNames,
                                   Sequence order) const;
    // Inserts a translated deep copy of `source` at its place in `order` among the children.
    pugi::xml_node InsertCopyOrdered(pugi::xml_node parent, const pugi::xml_node& source,
                                     const Wml& sourceNames, Sequence order) const;
    // Appends a translated deep copy of `source` as the last child of `parent`.
    pugi::xml_node AppendCopy(pugi::xml_node parent, const pugi::xml_node& source,
                              const Wml& sourceNames) const;
    // Inserts a translated deep copy of `source` after `after` (as first child when empty).
    pugi::xml_node InsertCopyAfter(pugi::xml_node parent, const pugi::xml_node& after,
                                   const pugi::xml_node& source, const Wml& sourceNames) const;

private:
    // The sibling a new `local` child goes after (empty: before `before`, or append when
    // `before` is empty too).
    void InsertPoint(const pugi::xml_node& parent, std::string_view local, Sequence order,
                     pugi::xml_node& after, pugi::xml_node& before) const;
    void CopyInto(pugi::xml_node target, const pugi::xml_node& source, const Wml& sourceNames) const;

    std::string prefix_;
};

// A case-folded copy of the text (Unicode simple folding) for comparing names.
std::string FoldCase(std::string_view text);

// A key under which names that differ only in case are equal.
std::string NameKey(std::string_view name);

// Whether two names are the same without regard to case (ASCII names compare without
// folding, which keeps lookups among hundreds of styles cheap).
bool SameName(std::string_view a, std::string_view b);

// ST_OnOff text.
std::optional<bool> ParseOnOff(std::string_view text);

// A twips measure: a decimal number of twips, or a number with a unit (mm, cm, in, pt, pc, pi).
std::optional<double> ParseTwips(std::string_view text);
// An integer attribute ("12", "-3"); nullopt for anything else.
std::optional<long> ParseLong(std::string_view text);
// Twips written as an integer (rounded).
std::string TwipsText(double twips);

inline double TwipsToPoints(double twips) { return twips / 20.0; }
inline double PointsToTwips(double points) { return points * 20.0; }

}  // namespace paperloom::word::wml
