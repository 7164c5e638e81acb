#pragma once
// Document variables: named texts stored in w:docVars of the settings part.
//
// Names compare without regard to case (Unicode case folding), as the word processor does.
// Values keep any text exactly, line breaks and control characters included, and have no
// length limit. A Variable is a handle by name: once its variable is deleted every use of it
// raises error 5825 ("Object has been deleted."), which is also what reading a missing
// variable by name raises; callers catch it and fall back to a default.

#include <string>
#include <string_view>
#include <vector>

#include "host/docx/Package.h"

namespace paperloom::word {

class Variable {
public:
    Variable(docx::Package& package, std::string name);

    // The name as stored in the document.
    std::string Name() const;
    std::string Value() const;
    void SetValue(std::string_view value);
    // 1-based position in the collection.
    long Index() const;
    void Delete();

private:
    docx::Package* package_;
    std::string name_;
};

class Variables {
public:
    explicit Variables(docx::Package& package) : package_(&package) {}

    long Count() const;
    // By 1-based position; error 5941 when out of range.
    Variable Item(long index) const;
    // By name; error 5825 when no such variable exists.
    Variable Item(std::string_view name) const;
    bool Exists(std::string_view name) const;
    // Adds a new variable; error 5903 when one of that name exists, 4608 for an empty name.
    Variable Add(std::string_view name, std::string_view value = {});
    // Assignment by name: sets the value, creating the variable when it is missing.
    Variable SetValue(std::string_view name, std::string_view value);
    // Deletes the variable if it exists; returns whether it did.
    bool Delete(std::string_view name);
    std::vector<Variable> All() const;

    // Every variable of `source` into `destination`, created or overwritten, in source order.
    static void CopyAll(docx::Package& destination, docx::Package& source);

private:
    docx::Package* package_;
};

namespace variables_detail {
// Control characters other than tab, line feed and carriage return cannot stand in XML
// 1.0; they are written as _xHHHH_ (and a literal "_xHHHH_" as "_x005F_xHHHH_").
std::string Encode(std::string_view text);
std::string Decode(std::string_view text);
}  // namespace variables_detail

}  // namespace paperloom::word
