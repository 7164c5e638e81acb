#pragma once
// Styles of a document (the w:style definitions of the styles part) and the organizer copy
// of a style from one document into another.
//
// The collection holds the styles the styles part defines. The word processor writes a
// definition only for the styles a document uses or has changed (the others stay latent),
// so every style here reports InUse as true; a style that is only latent is not found.
// Names compare without regard to case, so a stored "heading 1" is found as "Heading 1".

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/docx/Package.h"

namespace paperloom::word {

enum WdStyleType : long {
    wdStyleTypeParagraph = 1,
    wdStyleTypeCharacter = 2,
    wdStyleTypeTable = 3,
    wdStyleTypeList = 4
};

class Style {
public:
    Style(docx::Package& package, std::string styleId);

    // The style's name as stored (w:name), or its id when it has none.
    std::string NameLocal() const;
    WdStyleType Type() const;
    bool InUse() const;
    bool BuiltIn() const;
    // The identifier paragraphs and runs refer to.
    const std::string& StyleId() const { return styleId_; }
    // Names of the related styles, "" when there is none.
    std::string BaseStyle() const;
    std::string NextParagraphStyle() const;
    std::string LinkStyle() const;

private:
    docx::Package* package_;
    std::string styleId_;
};

class Styles {
public:
    explicit Styles(docx::Package& package) : package_(&package) {}

    long Count() const;
    // By 1-based position; error 5941 when out of range.
    Style Item(long index) const;
    // By name (or, failing that, by style id); error 5941 when there is no such style.
    Style Item(std::string_view name) const;
    bool Exists(std::string_view name) const;
    // A new style of the given type based on the document's default style of that type;
    // error 4198 when a style of that name exists, 4608 for an empty name or bad type.
    Style Add(std::string_view name, WdStyleType type = wdStyleTypeParagraph);
    std::vector<Style> All() const;
    // There is no attached template to take styles from: the document's own styles already
    // are its template's, so this leaves them as they are.
    void UpdateStyles() {}

private:
    docx::Package* package_;
};

// Copies style definitions from one document into another, as the word processor's
// organizer does. A copied style replaces the destination's style of the same name (keeping
// the destination's id, or taking the source's id when that is free, references in the
// destination being renamed with it); the styles it is based on, links to or is followed by
// are copied too when the destination lacks them; numbering a style refers to is copied as a
// new list definition. One organizer reuses what it copied, so copying many styles that share
// a base or a list copies those once.
class StyleOrganizer {
public:
    StyleOrganizer(docx::Package& source, docx::Package& destination);

    // Error 5941 when the source has no style of that name.
    void Copy(std::string_view styleName);
    // Every style the source defines; a style that cannot be copied is skipped. Returns the
    // number copied.
    long CopyAll();

private:
    // Styles by id and by case-folded name, so that documents with thousands of styles copy
    // in linear time. Rebuilt by each public call; kept current by the copies themselves.
    struct Index {
        std::map<std::string, pugi::xml_node> byId;
        std::map<std::string, pugi::xml_node> byName;
    };
    void BuildIndexes();
    std::string CopyStyle(const std::string& sourceId, bool replace);
    std::string CopyNumbering(const std::string& sourceNumId);
    std::string CopyAbstractNumbering(const std::string& sourceAbstractId);

    docx::Package* source_;
    docx::Package* destination_;
    Index sourceIndex_;
    Index destinationIndex_;
    std::map<std::string, std::string> styleIds_;     // source style id -> destination id
    std::map<std::string, std::string> numIds_;       // source w:numId -> destination
    std::map<std::string, std::string> abstractIds_;  // source w:abstractNumId -> destination
};

// The organizer's single copy, with the platform's argument order (source, destination).
void OrganizerCopy(docx::Package& source, docx::Package& destination, std::string_view styleName);

}  // namespace paperloom::word
