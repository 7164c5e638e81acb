#pragma once
// Codes of the engine's fields, built with the designer's grammar (quote + keyword, the
// picture field, statistics), each followed by its format code.

#include <string>
#include <string_view>

#include "TemplateSettings.h"

namespace paperloom::templatekit {

// quote DataField <field>[ <switch> "<picture>"]
std::string DataFieldCode(std::string_view field, const FieldFormat& format = {});
// IncludePicture PictureField <field>
std::string PictureFieldCode(std::string_view field);
// quote RecordIndex / SequenceIndex / DetailPage / DetailPageMax [ <switch> "<picture>"]
std::string RecordIndexCode(const FieldFormat& format = {});
std::string SequenceIndexCode(const FieldFormat& format = {});
std::string DetailPageCode(const FieldFormat& format = {});
std::string DetailPageMaxCode(const FieldFormat& format = {});
// quote Statistics <function> <bookmark> <column letters>[ <switch> "<picture>"]
std::string StatisticsCode(std::string_view function, std::string_view bookmark, std::string_view column,
                           const FieldFormat& format = {});

}  // namespace paperloom::templatekit
