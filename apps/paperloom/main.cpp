// paperloom: fills, documents, prints, searches and configures report templates from the
// command line, through the run-time add-in.

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <charconv>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

#include "CliError.h"
#include "Commands.h"
#include "DesignCommandLine.h"
#include "OutputPath.h"
#include "host/HostError.h"

namespace {

using namespace paperloom::cli;

bool OnOff(const std::string& text) { return text == "on"; }

// The number --record gives: a whole number from 1 up to the largest record number there is.
// Read here rather than by the option parser, whose messages name floating-point limits.
std::optional<long> RecordNumber(const CLI::Option& option, const std::string& text) {
    if (option.count() == 0) return std::nullopt;
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        throw CliError(fmt::format("--record must be a whole number, not \"{}\".", text));
    long number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (negative || (error == std::errc{} && number < 1)) throw CliError("--record must be 1 or more.");
    if (error == std::errc::result_out_of_range)
        throw CliError(fmt::format("--record {} is too large: record numbers go up to {}.", text,
                                   std::numeric_limits<long>::max()));
    return number;
}

// The slice --records gives: FROM-TO, both whole numbers from 1 up, FROM not above TO.
std::optional<std::pair<long, long>> RecordSlice(const CLI::Option& option, const std::string& text) {
    if (option.count() == 0) return std::nullopt;
    const auto number = [&](std::string_view digits) {
        long value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || value < 1)
            throw CliError(fmt::format("--records takes FROM-TO, two record numbers from 1 up such as 1-500, not \"{}\".",
                                       text));
        return value;
    };
    const auto dash = text.find('-');
    if (dash == std::string::npos) number({});
    const long from = number(std::string_view(text).substr(0, dash));
    const long to = number(std::string_view(text).substr(dash + 1));
    if (from > to) throw CliError(fmt::format("--records {}: the first record comes after the last.", text));
    return std::pair{from, to};
}

CLI::Option* AddRecordOptions(CLI::App& command, bool& current, std::string& record) {
    command.add_flag("--current", current, "Only the current record (the first, or the one --record names)");
    return command.add_option("--record", record, "Move to record N (1 = first) before the work; implies --current");
}

// A report printed on standard output would end up inside a document written there too.
std::ostream& ReportStream(std::initializer_list<std::filesystem::path> outputs) {
    for (const auto& output : outputs)
        if (IsStandardOutput(output)) return std::cerr;
    return std::cout;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"paperloom: report templates filled from their databases, documented, printed and configured."};
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Help for every command");

    DocumentCommand document;
    std::string documentRecord;
    auto* documentCmd = app.add_subcommand("document", "Make the print document of all records (or of one record)");
    documentCmd->add_option("TEMPLATE", document.templatePath, "The template (.docx)")->required();
    auto* documentRecordOption = AddRecordOptions(*documentCmd, document.current, documentRecord);
    documentCmd->add_option("-o,--output", document.output, "The print document to write (.docx)");
    documentCmd->add_option("--pdf", document.pdf, "Also render it to this PDF (needs the office suite)");
    std::string documentRecords;
    auto* documentRecordsOption = documentCmd->add_option(
        "--records", documentRecords, "Only records FROM-TO in the record source's order (1 = first), e.g. 1-1000");
    documentCmd->add_option("--jobs", document.jobs,
                            "Office-suite processes rendering a long PDF at once (default: one per core)")
        ->check(CLI::Range(1U, 64U));

    ShowCommand show;
    std::string showRecord;
    auto* showCmd = app.add_subcommand("show", "Save the template filled with one record");
    showCmd->add_option("TEMPLATE", show.templatePath, "The template (.docx)")->required();
    auto* showRecordOption = showCmd->add_option("--record", showRecord, "The record to show (1 = first, the default)");
    showCmd->add_option("-o,--output", show.output, "The filled copy to write (.docx)")->required();
    // One step from the record --record names (the first without it), as the navigation
    // buttons take it: they stay on the last and first record.
    const std::pair<const char*, const char*> steps[] = {
        {"--first", "Show the first record"},
        {"--last", "Show the last record"},
        {"--next", "Show the record after the one --record names (the second without it); stays on the last"},
        {"--previous", "Show the record before the one --record names; stays on the first"}};
    std::vector<CLI::Option*> stepOptions;
    for (const auto& [name, help] : steps) stepOptions.push_back(showCmd->add_flag(name, help));
    for (auto* a : stepOptions)
        for (auto* b : stepOptions)
            if (a != b) a->excludes(b);
    stepOptions[0]->excludes(showRecordOption);
    stepOptions[1]->excludes(showRecordOption);

    SettingTestCommand settingTest;
    std::string testPart;
    std::string testRecord;
    auto* testCmd = app.add_subcommand("test", "Fill the header (header) or the detail tables and the header (detail) "
                                               "from one record and show what they hold");
    testCmd->add_option("PART", testPart, "header or detail")->required()->check(CLI::IsMember({"header", "detail"}));
    testCmd->add_option("TEMPLATE", settingTest.templatePath, "The template (.docx)")->required();
    auto* testRecordOption = testCmd->add_option("--record", testRecord, "The record to fill from (1 = first, the default)");
    testCmd->add_option("-o,--output", settingTest.output, "Also save the filled template (.docx)");

    PrintCommand print;
    std::string printRecord;
    auto* printCmd = app.add_subcommand("print", "Print all records (or one record) through the office suite");
    printCmd->add_option("TEMPLATE", print.templatePath, "The template (.docx)")->required();
    auto* printRecordOption = AddRecordOptions(*printCmd, print.current, printRecord);
    auto* printer = printCmd->add_option("--printer", print.printer, "The printer (default: the spooler's default)");
    printCmd->add_option("--print-dir", print.printDir, "Write a PDF per job into this folder instead of printing")
        ->excludes(printer);

    FindCommand find;
    std::string findValue;
    auto* findCmd = app.add_subcommand("find", "Find the first record matching a condition; exit status 1 when none does");
    findCmd->add_option("TEMPLATE", find.templatePath, "The template (.docx)")->required();
    auto* findCondition = findCmd->add_option("CONDITION", find.condition, "A condition such as \"Shop = 'A'\"");
    auto* findField = findCmd->add_option("--field", find.field, "Search this header field instead of a CONDITION")
                          ->excludes(findCondition);
    auto* findValueOption = findCmd->add_option("--value", findValue,
                                                "The value: text matches anywhere in a text field, numbers and dates exactly")
                                ->needs(findField);
    findCmd->add_flag("--blank", find.blank, "Find a record whose field is blank (Null)")
        ->needs(findField)
        ->excludes(findValueOption);
    findCmd->add_flag("--backward", find.backward, "Search backward (from the last record)");
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
    describeCmd->add_flag("--json", describe.json, "Write the report as one JSON object, for scripts");

    DesignCommandLine design(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // The parser prints help (status 0) or says what is wrong; a command line that cannot
        // be used is a failure like any other bad input, with the one status scripts test for.
        return app.exit(error) == 0 ? exitcode::ok : exitcode::failed;
    }

    try {
        if (*documentCmd) {
            document.record = RecordNumber(*documentRecordOption, documentRecord);
            document.records = RecordSlice(*documentRecordsOption, documentRecords);
            if (document.records && (document.current || document.record))
                throw CliError("--records documents a slice of all records; it does not go with --current or --record.");
            // The office suite renders the PDF from the saved file, which a device or pipe is not.
            if (!document.pdf.empty() && !document.output.empty() && !IsFileOrNew(document.output))
                throw CliError(fmt::format("-o {} is not a file; with --pdf, give a file name.", document.output.string()));
            return Run(document, ReportStream({document.output, document.pdf}));
        }
        if (*showCmd) {
            show.record = RecordNumber(*showRecordOption, showRecord);
            const Step stepOf[] = {Step::First, Step::Last, Step::Next, Step::Previous};
            for (std::size_t i = 0; i < stepOptions.size(); ++i)
                if (stepOptions[i]->count() > 0) show.step = stepOf[i];
            return Run(show, ReportStream({show.output}));
        }
        if (*testCmd) {
            settingTest.part = testPart == "detail" ? SettingTestCommand::Part::Detail : SettingTestCommand::Part::Header;
            settingTest.record = RecordNumber(*testRecordOption, testRecord);
            return Run(settingTest, ReportStream({settingTest.output}));
        }
        if (*printCmd) {
            print.record = RecordNumber(*printRecordOption, printRecord);
            return Run(print, std::cout);
        }
        if (*findCmd) {
            if (findValueOption->count() > 0) find.value = findValue;
            return Run(find, ReportStream({find.output}));
        }
        if (*filterCmd) {
            if (filterValueOption->count() > 0) filter.value = filterValue;
            return Run(filter, ReportStream({filter.output}));
        }
        if (*sortCmd) {
            if (sortValueOption->count() > 0) sort.value = sortValue;
            return Run(sort, ReportStream({sort.output}));
        }
        if (*optionsCmd) {
            if (ud->count() > 0) options.updateDetail = OnOff(updateDetail);
            if (ch->count() > 0) options.copyHeader = OnOff(copyHeader);
            if (cf->count() > 0) options.copyFooter = OnOff(copyFooter);
            return Run(options, ReportStream({options.output}));
        }
        if (*describeCmd) return Run(describe, std::cout);
        if (design.Given()) return design.Run();
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
