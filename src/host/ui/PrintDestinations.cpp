#include "host/ui/PrintDestinations.h"

#include "host/HostError.h"
#include "host/ui/PrintProcess.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace paperloom::ui {
namespace {

namespace fs = std::filesystem;

constexpr long kPrintFailed = 4198;  // the word processor's "command failed"

host::HostError PrintError(std::string description) {
    return host::HostError(kPrintFailed, "Paperloom.Print", std::move(description));
}

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string Trimmed(std::string text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the status program with `option`; its output, or HostError when it fails.
std::string AskStatus(const fs::path& program, const std::string& option, std::chrono::milliseconds timeout,
                      const fs::path& workFolder) {
    const fs::path log = workFolder / "status.log";
    std::error_code ignored;
    fs::remove(log, ignored);
    // The messages are read, so they must not be translated.
    const ProcessResult result = RunProcess({program.string(), option}, timeout, log, {"LC_ALL=C", "LANG=C"});
    std::string output = ReadAll(log);
    fs::remove(log, ignored);
    if (result.timedOut)
        throw PrintError(fmt::format("The print server did not list its printers within {:g} seconds.",
                                     std::chrono::duration<double>(timeout).count()));
    if (result.exitCode != 0)
        throw PrintError(fmt::format("The print server's printers cannot be listed ({} {}, exit status {}): {}",
                                     program.filename().string(), option, result.exitCode, Trimmed(output)));
    return output;
}

}  // namespace

std::optional<std::string> PrintDestinations::Find(const std::string& name) const {
    const auto found = std::find_if(printers.begin(), printers.end(), [&](const std::string& p) { return SameName(p, name); });
    if (found == printers.end()) return std::nullopt;
    return *found;
}

std::string PrintDestinations::Listing() const {
    if (printers.empty()) return "none";
    std::string text;
    for (const auto& printer : printers) {
        if (!text.empty()) text += ", ";
        text += printer;
        if (defaultPrinter && SameName(*defaultPrinter, printer)) text += " (default)";
    }
    return text;
}

std::vector<std::string> ParsePrinterList(const std::string& output) {
    std::vector<std::string> printers;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        if (!line.empty()) printers.push_back(line);
    }
    return printers;
}

std::optional<std::string> ParseDefaultPrinter(const std::string& output) {
    static constexpr std::string_view kLead = "system default destination:";
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kLead)) {
            std::string name = Trimmed(line.substr(kLead.size()));
            if (!name.empty()) return name;
        }
    }
    return std::nullopt;
}

PrintDestinations QueryPrintDestinations(const fs::path& statusProgram, std::chrono::milliseconds timeout,
                                         const fs::path& workFolder) {
    PrintDestinations destinations;
    destinations.printers = ParsePrinterList(AskStatus(statusProgram, "-e", timeout, workFolder));
    const std::string defaultOutput = AskStatus(statusProgram, "-d", timeout, workFolder);
    destinations.defaultPrinter = ParseDefaultPrinter(defaultOutput);
    if (!destinations.defaultPrinter && Trimmed(defaultOutput) != "no system default destination")
        destinations.defaultProblem = Trimmed(defaultOutput);
    return destinations;
}

void CheckPrintDestination(const PrintDestinations& destinations, const std::string& printer) {
    if (destinations.printers.empty())
        throw PrintError(
            "The print server has no printers (or is not running). Add a printer to it, or set a print folder "
            "(PAPERLOOM_PRINT_DIR) to receive PDF files instead.");
    if (!printer.empty()) {
        if (!destinations.Find(printer))
            throw PrintError(fmt::format("The print server has no printer named \"{}\". Its printers: {}.", printer,
                                         destinations.Listing()));
        return;
    }
    if (!destinations.defaultPrinter)
        throw PrintError(fmt::format("No printer was named and the print server has no default printer{}. Its "
                                     "printers: {}; name one of them.",
                                     destinations.defaultProblem.empty() ? "" : " (" + destinations.defaultProblem + ")",
                                     destinations.Listing()));
}

}  // namespace paperloom::ui
