// Formula parser and evaluator: any text after "=" must give a number or a FieldError, and a
// whole field code must give a result, never a crash or another exception.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzDocument.h"
#include "host/word/fieldcalc/FieldComputer.h"
#include "host/word/fieldcalc/FieldError.h"
#include "host/word/fieldcalc/FormulaEvaluator.h"

using namespace paperloom::word::fieldcalc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const fuzzing::FuzzContext context;
    try {
        (void)EvaluateFormula(text, context);
    } catch (const FieldError&) {
    }
    const FieldResult result = FieldComputer{}.Compute("=" + text, context);
    if (result.kind == FieldResult::Kind::Error && result.text.empty()) __builtin_trap();
    return 0;
}
