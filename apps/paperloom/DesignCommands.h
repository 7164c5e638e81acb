#pragma once
// The designer's commands on the command line (paperloom design ...): the header binding and
// the detail table insertion run the design-time add-in's own command classes, with their
// dialogs answered from the options instead of by a user, so a template made by a script is
// the template the windows would have made. Input is checked before the template is read; the
// template changes only with --in-place (atomic save), otherwise a copy goes to -o.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::cli {

struct DesignBindCommand {
    std::filesystem::path templatePath;
    bool clear = false;  // remove the binding
    std::string dataSourceType;
    std::string dataSource;
    std::string user;
    std::string password;
    std::string recordSourceType;
    std::string recordSource;
    std::string where;
    std::string order;
    std::filesystem::path output;
    bool inPlace = false;
};

// One column of the new table, in the order given: a field of the detail record source with an
// optional caption of its own, or a caption-only column (no content).
struct DesignColumn {
    std::string field;  // empty: caption only
    std::optional<std::string> caption;
};

struct DesignInsertDetailCommand {
    std::filesystem::path templatePath;
    std::string at;  // the text the table replaces (its first occurrence)
    std::string recordSourceType;
    std::string recordSource;
    std::string where;
    std::string order;
    std::string dataSourceType;  // both empty: the header's data source
    std::string dataSource;
    std::string parentKey;
    std::string childKey;
    long rows = 0;
    std::string bookmark;
    std::vector<DesignColumn> columns;
    std::filesystem::path output;
    bool inPlace = false;
};

struct DesignFieldsCommand {
    std::string dataSourceType;
    std::string dataSource;
    std::string recordSourceType;
    std::string recordSource;
};

int Run(const DesignBindCommand& command, std::ostream& out);
int Run(const DesignInsertDetailCommand& command, std::ostream& out);
// The ODBC data sources, as the data bind dialog lists them.
int RunDesignSources(std::ostream& out);
// A record source's fields, as the detail insert wizard lists them.
int Run(const DesignFieldsCommand& command, std::ostream& out);

}  // namespace paperloom::cli
