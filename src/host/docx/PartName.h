#pragma once
// Package part names and relationship targets. Part names are kept without the leading
// slash ("word/document.xml"); package part names compare case-insensitively.

#include <string>
#include <string_view>

namespace paperloom::docx::partname {

// Removes a leading slash: "/word/document.xml" -> "word/document.xml".
std::string Normalize(std::string_view name);
// The key under which a part is looked up: normalized, percent-escapes decoded, ASCII lower case.
std::string FoldKey(std::string_view name);
bool Equal(std::string_view a, std::string_view b);
// "word/document.xml" -> "word/_rels/document.xml.rels"; "" (the package) -> "_rels/.rels".
std::string RelationshipsPartOf(std::string_view source);
// "word/document.xml" -> "word/"; "document.xml" and "" -> "".
std::string Folder(std::string_view part);
// The extension of the last segment without the dot, or "" when there is none.
std::string Extension(std::string_view part);
// True for the parts kept as XML by their name: ".xml" and ".rels", in any case.
bool IsXmlPartName(std::string_view part);
// A relationship target resolved against the source part's folder, with "." and ".." removed.
std::string Resolve(std::string_view sourcePart, std::string_view target);
// The relative target that names `part` from `sourcePart`.
std::string Relative(std::string_view sourcePart, std::string_view part);

}  // namespace paperloom::docx::partname
