#pragma once
// The commands of the paperloom program. Each validates its input before it touches anything,
// writes its report to `out`, and returns the exit status; failures are CliError or HostError.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace paperloom::cli {

struct DocumentCommand {
    std::filesystem::path templatePath;
    bool current = false;  // the current record only, not all records
    std::optional<long> record;  // moves there first; implies the current record only
    std::filesystem::path output;
    std::filesystem::path pdf;
};

struct ShowCommand {
    std::filesystem::path templatePath;
    std::optional<long> record;
    std::filesystem::path output;
};

struct PrintCommand {
    std::filesystem::path templatePath;
    bool current = false;
    std::optional<long> record;
    std::string printer;
    std::filesystem::path printDir;
};

struct FindCommand {
    std::filesystem::path templatePath;
    std::string condition;
    bool backward = false;
    std::filesystem::path output;
};

// The header's run-time filter (HeadFilter) or sort (HeadSort).
struct HeaderSettingCommand {
    enum class Kind { Filter, Sort };
    Kind kind = Kind::Filter;
    std::filesystem::path templatePath;
    std::optional<std::string> value;  // nothing: show the stored one
    bool clear = false;
    std::filesystem::path output;
    bool inPlace = false;
};

struct OptionsCommand {
    std::filesystem::path templatePath;
    std::optional<bool> updateDetail;
    std::optional<bool> copyHeader;
    std::optional<bool> copyFooter;
    std::filesystem::path output;
    bool inPlace = false;
};

struct DescribeCommand {
    std::filesystem::path templatePath;
    bool json = false;  // one JSON object instead of the text report
};

int Run(const DocumentCommand& command, std::ostream& out);
int Run(const ShowCommand& command, std::ostream& out);
int Run(const PrintCommand& command, std::ostream& out);
int Run(const FindCommand& command, std::ostream& out);
int Run(const HeaderSettingCommand& command, std::ostream& out);
int Run(const OptionsCommand& command, std::ostream& out);
int Run(const DescribeCommand& command, std::ostream& out);

}  // namespace paperloom::cli
