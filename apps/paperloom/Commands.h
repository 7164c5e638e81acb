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
    // Only these records (first, last; 1-based, in the record source's order).
    std::optional<std::pair<long, long>> records;
    // Office-suite processes rendering the PDF at once; 0 for one per core.
    unsigned jobs = 0;
};

// One step as the run-time's navigation buttons take it, from the record --record names (the
// first when not given): the first, the last, the next (staying on the last) or the previous
// (staying on the first) record.
enum class Step { None, First, Last, Next, Previous };

struct ShowCommand {
    std::filesystem::path templatePath;
    std::optional<long> record;
    Step step = Step::None;
    std::filesystem::path output;
};

// The run-time's setting tests: the header filled again from the current record, or every
// detail table and then the header.
struct SettingTestCommand {
    enum class Part { Header, Detail };
    Part part = Part::Header;
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

// Either a raw condition, or a field with a value (or --blank) that is written into a
// condition by the field's kind, as the find dialog writes it.
struct FindCommand {
    std::filesystem::path templatePath;
    std::string condition;
    std::string field;
    std::optional<std::string> value;
    bool blank = false;
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
int Run(const SettingTestCommand& command, std::ostream& out);
int Run(const PrintCommand& command, std::ostream& out);
int Run(const FindCommand& command, std::ostream& out);
int Run(const HeaderSettingCommand& command, std::ostream& out);
int Run(const OptionsCommand& command, std::ostream& out);
int Run(const DescribeCommand& command, std::ostream& out);

}  // namespace paperloom::cli
