#pragma once
// Remembers one engine field whose code the header fill replaced: the field, its design-time
// code and the result it showed, so the code (or the result) can be put back afterwards.

#include <optional>
#include <string>

#include "host/word/fields/Field.h"

namespace paperloom {

class clsPLRReturnField {
public:
    // Stores the field and its design-time code, and reads the result it shows now.
    void SetTarget(const word::Field& fldTarget, std::string strOriginalCode);
    // The stored field; error when none was set.
    const word::Field& GetField() const;
    // Shows the result remembered by SetTarget again.
    void ReturnResult();
    // Writes the design-time code back; the shown result does not change.
    void ReturnOriginalCode();

private:
    std::optional<word::Field> mfldTarget;
    std::string mstrOriginalCode;
    std::string mstrResultText;
};

}  // namespace paperloom
