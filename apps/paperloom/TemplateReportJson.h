#pragma once
// `paperloom describe --json`: the template report as one JSON object, for scripts. The same
// facts as the text report, with the same passwords masked: a password itself never appears,
// only whether one is set.

#include <iosfwd>

#include "TemplateReport.h"

namespace paperloom::cli {

void PrintReportJson(const TemplateReport& report, std::ostream& out);

}  // namespace paperloom::cli
