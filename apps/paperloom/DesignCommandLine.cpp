#include "DesignCommandLine.h"

#include "CliError.h"
#include "DesignCommands.h"
#include "DesignSubcommand.h"

#include <fmt/format.h>

#include <charconv>
#include <iostream>

namespace paperloom::cli {
namespace {

// A whole number the option gives; CliError naming the option otherwise.
long WholeNumber(const std::string& text, const char* option) {
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        throw CliError(fmt::format("{} must be a whole number, not \"{}\".", option, text));
    return number;
}

// "FIELD" or "FIELD:CAPTION" (split at the first colon).
DesignColumn ColumnOf(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) return {text, std::nullopt};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

// One value per occurrence, so options can repeat and interleave.
CLI::Option* Repeated(CLI::App& command, const char* name, std::vector<std::string>& values, const char* help) {
    return command.add_option(name, values, help)->expected(1)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

}  // namespace

struct DesignCommandLine::Options {
    CLI::App* design = nullptr;
    CLI::App* bind = nullptr;
    CLI::App* insert = nullptr;
    CLI::App* sources = nullptr;
    CLI::App* fields = nullptr;
    DesignBindCommand bindCommand;
    DesignInsertDetailCommand insertCommand;
    DesignFieldsCommand fieldsCommand;
    std::string rows;
    std::vector<std::string> columns;
    std::vector<std::string> captionColumns;
    CLI::Option* columnOption = nullptr;
    CLI::Option* captionOption = nullptr;
    CLI::Option* user = nullptr;
    CLI::Option* password = nullptr;
    DesignSubcommands more;
};

DesignCommandLine::DesignCommandLine(CLI::App& app) : options_(std::make_unique<Options>()) {
    auto& o = *options_;
    o.design = app.add_subcommand("design", "Make and change templates: bind the header, insert detail tables");
    o.design->require_subcommand(1);

    auto& b = o.bindCommand;
    o.bind = o.design->add_subcommand("bind", "Bind the template's header to a record source (or --clear the binding)");
    o.bind->add_option("TEMPLATE", b.templatePath, "The template (.docx)")->required();
    auto* clear = o.bind->add_flag("--clear", b.clear, "Remove the header binding");
    const std::vector<CLI::Option*> values = {
        o.bind->add_option("--data-source-type", b.dataSourceType,
                           "1 ODBC data source, 2 connection string, 3 data link file, 4 database file"),
        o.bind->add_option("--data-source", b.dataSource,
                           "The data source name, connection string, .udl file or database file (relative to the "
                           "current folder)"),
        o.user = o.bind->add_option("--user", b.user, "User name"),
        o.password = o.bind->add_option("--password", b.password, "Password"),
        o.bind->add_option("--record-source-type", b.recordSourceType, "1 command text, 2 table, 4 stored procedure"),
        o.bind->add_option("--record-source", b.recordSource, "The table, procedure or statement"),
        o.bind->add_option("--where", b.where, "Filter of a table or procedure, such as \"Total > 100\""),
        o.bind->add_option("--order", b.order, "Sort of a table or procedure, such as \"Placed DESC\"")};
    for (auto* value : values) value->excludes(clear);
    AddWriteOptions(*o.bind, b.output, b.inPlace);

    auto& d = o.insertCommand;
    o.insert = o.design->add_subcommand("insert-detail", "Insert a detail table in place of a placeholder text");
    o.insert->add_option("TEMPLATE", d.templatePath, "The template (.docx)")->required();
    o.insert->add_option("--at", d.at, "The text the table replaces (its first occurrence: main text, text boxes, "
                                       "headers and footers)")
        ->required();
    o.insert->add_option("--record-source-type", d.recordSourceType, "1 command text, 2 table, 4 stored procedure")
        ->required();
    o.insert->add_option("--record-source", d.recordSource, "The detail table, procedure or statement")->required();
    o.insert->add_option("--where", d.where, "Filter of a table or procedure");
    o.insert->add_option("--order", d.order, "Sort of a table or procedure");
    auto* dsType = o.insert->add_option("--data-source-type", d.dataSourceType,
                                        "The detail's own data source type (default: the header's data source)");
    o.insert->add_option("--data-source", d.dataSource, "The detail's own data source")->needs(dsType);
    o.insert->add_option("--parent-key", d.parentKey, "The header field that links the detail rows")->required();
    o.insert->add_option("--child-key", d.childKey, "The detail field that matches the parent key")->required();
    o.insert->add_option("--rows", o.rows, "Data rows of the table (besides its caption row)")->required();
    o.insert->add_option("--bookmark", d.bookmark, "The bookmark that names the table")->required();
    o.columnOption = Repeated(*o.insert, "--column", o.columns,
                              "FIELD or FIELD:CAPTION, one column, in the order given (repeat the option)");
    o.captionOption = Repeated(*o.insert, "--caption-column", o.captionColumns,
                               "A column with a caption and no content, in the order given");
    AddWriteOptions(*o.insert, d.output, d.inPlace);

    o.sources = o.design->add_subcommand("sources", "List the ODBC data sources (the user's, then the system's)");

    auto& f = o.fieldsCommand;
    o.fields = o.design->add_subcommand("fields", "List the fields of a record source");
    o.fields->add_option("--data-source-type", f.dataSourceType, "1, 2, 3 or 4")->required();
    o.fields->add_option("--data-source", f.dataSource, "The data source")->required();
    o.fields->add_option("--record-source-type", f.recordSourceType, "1, 2 or 4")->required();
    o.fields->add_option("--record-source", f.recordSource, "The table, procedure or statement")->required();

    // Each file of commands adds its own below (one line each).
    AddColumnCommands(*o.design, o.more);
    AddDetailCommands(*o.design, o.more);
    AddBookmarkCommands(*o.design, o.more);
    AddCalculationCommands(*o.design, o.more);
    AddFieldCommands(*o.design, o.more);
}

DesignCommandLine::~DesignCommandLine() = default;

bool DesignCommandLine::Given() const { return options_->design->parsed(); }

int DesignCommandLine::Run() {
    auto& o = *options_;
    if (o.bind->parsed()) {
        if (!o.bindCommand.clear) {
            for (const auto* name : {"--data-source-type", "--data-source", "--record-source-type", "--record-source"})
                if (o.bind->get_option(name)->count() == 0)
                    throw CliError(fmt::format("{} is required (or --clear to remove the binding).", name));
        }
        return cli::Run(o.bindCommand, std::cout);
    }
    if (o.insert->parsed()) {
        auto command = o.insertCommand;
        command.rows = WholeNumber(o.rows, "--rows");
        // The columns in the order given, across both options.
        std::size_t column = 0;
        std::size_t caption = 0;
        for (const CLI::Option* given : o.insert->parse_order()) {
            if (given == o.columnOption && column < o.columns.size())
                command.columns.push_back(ColumnOf(o.columns[column++]));
            else if (given == o.captionOption && caption < o.captionColumns.size())
                command.columns.push_back({std::string(), o.captionColumns[caption++]});
        }
        return cli::Run(command, std::cout);
    }
    if (o.sources->parsed()) return RunDesignSources(std::cout);
    if (o.fields->parsed()) return cli::Run(o.fieldsCommand, std::cout);
    for (const auto& command : o.more)
        if (command->Parsed()) return command->Run(std::cout);
    return exitcode::failed;
}

}  // namespace paperloom::cli
