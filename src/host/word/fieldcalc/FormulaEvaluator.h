#pragma once
// Computes a parsed formula against the cells and bookmarks of a FormulaContext.

#include <string>

#include "host/word/fieldcalc/Formula.h"
#include "host/word/fieldcalc/FormulaContext.h"

namespace paperloom::word::fieldcalc {

class FormulaEvaluator {
public:
    explicit FormulaEvaluator(const FormulaContext& context) : context_(context) {}

    // Throws FieldError when the formula cannot be computed (zero divide, unknown bookmark,
    // a cell outside the table, a non-finite result).
    double Evaluate(const FormulaNode& formula) const;

private:
    const FormulaContext& context_;
};

// Parses and computes formula text in one step.
double EvaluateFormula(const std::string& formula, const FormulaContext& context);

}  // namespace paperloom::word::fieldcalc
