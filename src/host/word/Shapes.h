#pragma once
// Floating shapes anchored in a story: Shapes, Shape, GroupItems, TextFrame.
//
// Both forms a text box is saved in are understood: the drawing shape (wps:txbx) and the
// legacy shape (v:textbox). A box written in both forms inside mc:AlternateContent is one
// shape; its text is edited in the drawing form and copied into the legacy form on save.

#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/word/Range.h"

namespace paperloom::word {

namespace detail {
class DocumentState;
}

class TextFrame {
public:
    TextFrame(std::shared_ptr<detail::DocumentState> doc, pugi::xml_node content, std::string part)
        : doc_(std::move(doc)), content_(content), part_(std::move(part)) {}
    // True when the frame holds any character besides its last paragraph mark (field marks,
    // field codes and hidden text count).
    bool HasText() const;
    // The whole text of the frame: its own story.
    word::Range TextRange() const;
    word::Range ContainingRange() const { return TextRange(); }

private:
    std::shared_ptr<detail::DocumentState> doc_;
    pugi::xml_node content_;  // w:txbxContent, or none for a shape without text frame
    std::string part_;
};

class GroupItems;

class Shape {
public:
    Shape(std::shared_ptr<detail::DocumentState> doc, pugi::xml_node node, std::string part)
        : doc_(std::move(doc)), node_(node), part_(std::move(part)) {}
    // msoGroup, msoTextBox, msoPicture or msoAutoShape.
    long Type() const;
    std::string Name() const;
    // The shapes of a group, nested groups flattened; error 4605 for a shape that is no group.
    word::GroupItems GroupItems() const;
    word::TextFrame TextFrame() const;

private:
    std::shared_ptr<detail::DocumentState> doc_;
    pugi::xml_node node_;  // w:drawing, w:pict, mc:AlternateContent, or a shape inside a group
    std::string part_;
};

class GroupItems {
public:
    explicit GroupItems(std::vector<Shape> items) : items_(std::move(items)) {}
    long Count() const { return static_cast<long>(items_.size()); }
    const Shape& Item(long index) const;
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<Shape> items_;
};

class Shapes {
public:
    explicit Shapes(std::vector<Shape> items) : items_(std::move(items)) {}
    long Count() const { return static_cast<long>(items_.size()); }
    const Shape& Item(long index) const;
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<Shape> items_;
};

namespace detail {
// The floating shapes anchored in a story's tree, in text order.
Shapes ShapesOf(const std::shared_ptr<DocumentState>& doc, pugi::xml_node root, const std::string& part);
}  // namespace detail

}  // namespace paperloom::word
