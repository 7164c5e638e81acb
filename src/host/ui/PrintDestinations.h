#pragma once
// The printers the print server knows and its default, as its status program (lpstat) reports
// them: asked before long work, so a printer name that is wrong, or a missing default, is
// reported with the names there are instead of after the document was rendered.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::ui {

struct PrintDestinations {
    std::vector<std::string> printers;
    std::optional<std::string> defaultPrinter;
    // Why there is no default, when the server says more than that there is none.
    std::string defaultProblem;

    // The printer of that name as the server spells it; names are compared without regard to
    // letter case, as the server compares them.
    std::optional<std::string> Find(const std::string& name) const;
    // "A, B (default), C", or "none".
    std::string Listing() const;
};

// `lpstat -e` output: one destination per line.
std::vector<std::string> ParsePrinterList(const std::string& output);
// `lpstat -d` output in the C locale: the default's name, or nothing when there is none.
std::optional<std::string> ParseDefaultPrinter(const std::string& output);

// Runs the status program (`lpstat -e`, then `lpstat -d`, in the C locale) with its output in
// `workFolder`. HostError when it cannot be run or fails.
PrintDestinations QueryPrintDestinations(const std::filesystem::path& statusProgram,
                                         std::chrono::milliseconds timeout, const std::filesystem::path& workFolder);

// Raises the error printing to `printer` ("" for the default) would end in: an unknown printer,
// or no default, with the printers there are.
void CheckPrintDestination(const PrintDestinations& destinations, const std::string& printer);

}  // namespace paperloom::ui
