// paperloom: fills, documents, prints, searches and configures report templates from the
// command line, through the run-time add-in.

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <iostream>

#include "CliError.h"
#include "Commands.h"
#include "host/HostError.h"

namespace {

using namespace paperloom::cli;

bool OnOff(const std::string& text) { return text == "on"; }

void AddRecordOptions(CLI::App& command, bool& current, std::optional<long>& record) {
    command.add_flag("--current", current, "Only the current record (the first, or the one --record names)");
    command.add_option("--record", record, "Move to record N (1 = first) before the work; implies --current")
        ->check(CLI::PositiveNumber);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"paperloom: report templates filled from their databases, documented, printed and configured."};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Help for every command");

    DocumentCommand document;
    auto* documentCmd = app.add_subcommand("document", "Make the print document of all records (or of one record)");
    documentCmd->add_option("TEMPLATE", document.templatePath, "The template (.docx)")->required();
    AddRecordOptions(*documentCmd, document.current, document.record);
    documentCmd->add_option("-o,--output", document.output, "The print document to write (.docx)");
    documentCmd->add_option("--pdf", document.pdf, "Also render it to this PDF (needs the office suite)");

    ShowCommand show;
    auto* showCmd = app.add_subcommand("show", "Save the template filled with one record");
    showCmd->add_option("TEMPLATE", show.templatePath, "The template (.docx)")->required();
    showCmd->add_option("--record", show.record, "The record to show (1 = first, the default)")->check(CLI::PositiveNumber);
    showCmd->add_option("-o,--output", show.output, "The filled copy to write (.docx)")->required();

    PrintCommand print;
    auto* printCmd = app.add_subcommand("print", "Print all records (or one record) through the office suite");
    printCmd->add_option("TEMPLATE", print.templatePath, "The template (.docx)")->required();
    AddRecordOptions(*printCmd, print.current, print.record);
    auto* printer = printCmd->add_option("--printer", print.printer, "The printer (default: the spooler's default)");
    printCmd->add_option("--print-dir", print.printDir, "Write a PDF per job into this folder instead of printing")
        ->excludes(printer);

    FindCommand find;
    auto* findCmd = app.add_subcommand("find", "Find the first record matching a condition; exit status 1 when none does");
    findCmd->add_option("TEMPLATE", find.templatePath, "The template (.docx)")->required();
    findCmd->add_option("CONDITION", find.condition, "A condition such as \"Shop = 'A'\"")->required();
    findCmd->add_flag("--backward", find.backward, "Search backward");
    findCmd->add_option("-o,--output", find.output, "Save the template filled with the record found (.docx)");

    HeaderSettingCommand filter;
    filter.kind = HeaderSettingCommand::Kind::Filter;
    HeaderSettingCommand sort;
    sort.kind = HeaderSettingCommand::Kind::Sort;
    std::string filterValue;
    std::string sortValue;
    CLI::Option* filterValueOption = nullptr;
    CLI::Option* sortValueOption = nullptr;
    auto addSetting = [&](const char* name, const char* description, const char* valueHelp, HeaderSettingCommand& c,
                          std::string& value, CLI::Option*& valueOption) {
        auto* cmd = app.add_subcommand(name, description);
        cmd->add_option("TEMPLATE", c.templatePath, "The template (.docx)")->required();
        valueOption = cmd->add_option("VALUE", value, valueHelp);
        cmd->add_flag("--clear", c.clear, "Remove the stored value")->excludes(valueOption);
        auto* in = cmd->add_flag("--in-place", c.inPlace, "Change the template itself");
        cmd->add_option("-o,--output", c.output, "Write the changed template here")->excludes(in);
        return cmd;
    };
    auto* filterCmd = addSetting("filter", "Show or set the header filter (HeadFilter)",
                                 "The filter, such as \"Shop = 'A'\"", filter, filterValue, filterValueOption);
    auto* sortCmd = addSetting("sort", "Show or set the header sort (HeadSort)", "The sort, such as \"Placed DESC\"",
                               sort, sortValue, sortValueOption);

    OptionsCommand options;
    std::string updateDetail;
    std::string copyHeader;
    std::string copyFooter;
    auto* optionsCmd = app.add_subcommand("options", "Show or set the run-time options of a template");
    optionsCmd->add_option("TEMPLATE", options.templatePath, "The template (.docx)")->required();
    const auto onOff = CLI::IsMember({"on", "off"});
    auto* ud = optionsCmd->add_option("--update-detail", updateDetail, "Refill detail tables on every move")->check(onOff);
    auto* ch = optionsCmd->add_option("--copy-header", copyHeader, "Copy the first header into print documents")->check(onOff);
    auto* cf = optionsCmd->add_option("--copy-footer", copyFooter, "Copy the first footer into print documents")->check(onOff);
    auto* optionsInPlace = optionsCmd->add_flag("--in-place", options.inPlace, "Change the template itself");
    optionsCmd->add_option("-o,--output", options.output, "Write the changed template here")->excludes(optionsInPlace);

    DescribeCommand describe;
    auto* describeCmd = app.add_subcommand("describe", "Report a template's bindings, fields and detail tables");
    describeCmd->add_option("TEMPLATE", describe.templatePath, "The template (.docx)")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }

    try {
        if (*documentCmd) return Run(document, std::cout);
        if (*showCmd) return Run(show, std::cout);
        if (*printCmd) return Run(print, std::cout);
        if (*findCmd) return Run(find, std::cout);
        if (*filterCmd) {
            if (filterValueOption->count() > 0) filter.value = filterValue;
            return Run(filter, std::cout);
        }
        if (*sortCmd) {
            if (sortValueOption->count() > 0) sort.value = sortValue;
            return Run(sort, std::cout);
        }
        if (*optionsCmd) {
            if (ud->count() > 0) options.updateDetail = OnOff(updateDetail);
            if (ch->count() > 0) options.copyHeader = OnOff(copyHeader);
            if (cf->count() > 0) options.copyFooter = OnOff(copyFooter);
            return Run(options, std::cout);
        }
        if (*describeCmd) return Run(describe, std::cout);
    } catch (const CliError& error) {
        std::cout.flush();
        std::cerr << "paperloom: " << error.what() << "\n";
        return error.ExitCode();
    } catch (const paperloom::host::HostError& error) {
        std::cout.flush();
        std::cerr << fmt::format("paperloom: {} (error {}, {})\n", error.Description(), error.Number(), error.Source());
        return exitcode::failed;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "paperloom: " << error.what() << "\n";
        return exitcode::failed;
    }
    return exitcode::failed;
}
