#pragma once
// Small helpers over the WordprocessingML tree shared by the model's classes.

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace paperloom::word::xml {

// Text lengths as the word processor counts them: UTF-16 code units.
long Utf16Length(std::string_view utf8);
// Byte offset in `utf8` of the character that starts `units` UTF-16 units in.
std::size_t Utf8Offset(std::string_view utf8, long units);

bool Is(pugi::xml_node node, std::string_view name);
// An on/off property element (<w:vanish/>, <w:vanish w:val="false"/>); absent is nullopt-like:
// returns -1 when absent, 0 off, 1 on.
int OnOff(pugi::xml_node element);

// The run properties of a run, created in first position when missing.
pugi::xml_node RunProperties(pugi::xml_node run, bool create);
// The paragraph properties of a paragraph, created in first position when missing.
pugi::xml_node ParagraphProperties(pugi::xml_node paragraph, bool create);
// The run properties of a paragraph's mark (w:pPr/w:rPr).
pugi::xml_node MarkProperties(pugi::xml_node paragraph, bool create);
// Sets or clears the hidden flag in run properties, keeping the schema's element order.
void SetVanish(pugi::xml_node rPr, bool hidden);

// Inserts `child` into `parent` in the position the schema orders it among `order`.
pugi::xml_node InsertOrdered(pugi::xml_node parent, std::string_view name,
                             std::initializer_list<std::string_view> order);

// Sets an element's text. Empty text leaves no text node: an empty one would be written as
// <w:t></w:t> but read back as <w:t/>, so a part saved and read again would not be the same.
void SetText(pugi::xml_node element, std::string_view text);

// A <w:t> with xml:space="preserve" holding text.
pugi::xml_node AppendText(pugi::xml_node run, std::string_view text);

// True for text one run's w:t holds as it stands: no breaks, tabs or marks, which are
// elements of their own.
bool IsPlainRunText(std::string_view text);

// True for the elements that carry an element's own properties (w:rPr, w:pPr, w:sdtPr ...).
bool IsPropertyElement(pugi::xml_node node);

// Whether `text` (without breaks, tabs or marks) can take the place of the text of `t`, a w:t
// that is all of its paragraph's first run, in that node, leaving the tree as deleting the old
// text and inserting the new would: the run as the insert would write it again (no
// attributes, the look the insert would give it), followed by the paragraph's end or by a run
// starting with text (the insert would go in again right before it).
bool TextReplaceableInPlace(pugi::xml_node t, std::string_view text);

}  // namespace paperloom::word::xml
