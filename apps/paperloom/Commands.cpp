#include "Commands.h"

#include "CliError.h"
#include "OutputPath.h"
#include "ParallelPdf.h"
#include "RunHost.h"
#include "TemplateReport.h"
#include "TemplateReportJson.h"

#include "Run/FindCondition.h"
#include "common/clsPLProperty.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ui/PrintOfficeService.h"
#include "host/ui/UiServices.h"
#include "host/word/Document.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"
#include "host/word/settings/Variables.h"

#include <stdlib.h>

#include <fmt/format.h>

#include <algorithm>
#include <ostream>
#include <regex>

namespace paperloom::cli {
namespace {

namespace fs = std::filesystem;

// What the checks before a run found out about the template's header binding.
struct HeaderState {
    bool bound = false;
    long recordCount = 0;
};

std::shared_ptr<word::Document> OpenForReading(const fs::path& templatePath) {
    CheckTemplate(templatePath);
    try {
        return word::Document::Open(templatePath);
    } catch (const host::HostError& error) {
        throw CliError(fmt::format("The template {} cannot be read: {}", templatePath.string(), error.Description()));
    }
}

// The run-time binds a template silently or not at all; these checks say why beforehand, so a
// wrong connection is an error, not an unfilled report.
HeaderState CheckHeader(const fs::path& templatePath, bool bindingRequired) {
    auto document = OpenForReading(templatePath);
    const SourceSettings settings = HeaderSettings(*document);
    document->Close();
    if (!settings.Configured()) {
        if (bindingRequired)
            throw CliError(fmt::format("The template {} has no header data binding, so it has no records.",
                                       templatePath.string()));
        return {};
    }
    const BindingCheck check = CheckBinding(settings, fs::absolute(templatePath).parent_path());
    if (!check.opens)
        throw CliError(fmt::format("The database binding of {} does not open: {}.", templatePath.string(), check.problem));
    return {true, check.recordCount};
}

void CheckRecordNumber(const std::optional<long>& record, const HeaderState& header) {
    if (!record) return;
    if (*record < 1 || *record > header.recordCount)
        throw CliError(fmt::format("There is no record {}: the record source has {} record{}.", *record,
                                   header.recordCount, header.recordCount == 1 ? "" : "s"));
}

void MoveTo(RunHost& host, std::shared_ptr<word::Document>& document, const std::optional<long>& record) {
    if (!record) return;
    word::DispArgs args{document, *record};
    host.CallAddIn("MoveRecord", args);
}

// Saves a copy of the document's current state without renaming the open document (the
// add-in finds its binding by that name). The host's save is atomic.
void SaveCopy(word::Document& document, const fs::path& output) {
    document.Package().Save(fs::absolute(output));
}

std::shared_ptr<ui::OfficePrintService> InstallPrinting(const std::string& printer, const fs::path& printDir,
                                                        bool printing) {
    ui::PrintOptions options = ui::PrintOptionsFromEnvironment();
    if (!printer.empty()) {
        // A printer named on the command line wins over a print folder from the environment.
        options.printer = printer;
        options.printDir.clear();
    }
    if (!printDir.empty()) options.printDir = fs::absolute(printDir);
    auto service = std::make_shared<ui::OfficePrintService>(options);
    service->CheckPrograms(printing);
    ui::UiServices services;
    services.print = service;
    ui::InstallServices(std::move(services));
    return service;
}

// The values a header shows: the results of its DataField fields, by field name.
void PrintShownValues(word::Document& document, std::ostream& out) {
    static const std::regex dataField(R"(^\s*quote\s+DataField\s+("[^"]*"|\S+))", std::regex::icase);
    const word::Fields fields = word::FieldsOf(document);
    for (long i = 1; i <= fields.Count(); ++i) {
        const word::Field field = fields.Item(i);
        const std::string code = field.Code().Text();
        std::smatch match;
        if (std::regex_search(code, match, dataField)) out << "  " << match[1].str() << ": " << field.Result().Text() << "\n";
    }
}

std::string Quoted(const std::string& value) { return value.empty() ? "(none)" : "\"" + value + "\""; }

void CheckWriteTarget(const fs::path& templatePath, const fs::path& output, bool inPlace) {
    if (inPlace && !output.empty()) throw CliError("Give either -o or --in-place, not both.");
    if (!inPlace && output.empty())
        throw CliError("Give -o OUT.docx to write a changed copy, or --in-place to change the template itself.");
    if (!inPlace) CheckOutput(templatePath, output, "-o", true);
}

void WriteSettings(word::Document& document, const fs::path& templatePath, const fs::path& output, bool inPlace,
                   std::ostream& out) {
    const fs::path target = inPlace ? fs::absolute(templatePath) : fs::absolute(output);
    document.SaveAs(target);
    out << "written: " << target.string() << "\n";
}

}  // namespace

int Run(const DocumentCommand& command, std::ostream& out) {
    if (command.output.empty() && command.pdf.empty()) throw CliError("Give -o OUT.docx, --pdf OUT.pdf, or both.");
    if (!command.output.empty()) CheckOutput(command.templatePath, command.output, "-o");
    if (!command.pdf.empty()) {
        CheckOutput(command.templatePath, command.pdf, "--pdf");
        if (!command.output.empty() && SameFile(command.output, command.pdf))
            throw CliError("-o and --pdf name the same file.");
    }
    const HeaderState header =
        CheckHeader(command.templatePath, command.record.has_value() || command.records.has_value());
    CheckRecordNumber(command.record, header);
    long slicedRecords = 0;
    if (command.records) {
        const auto [from, to] = *command.records;
        if (from > header.recordCount)
            throw CliError(fmt::format("There is no record {}: the record source has {} record{}.", from,
                                       header.recordCount, header.recordCount == 1 ? "" : "s"));
        slicedRecords = std::min(to, header.recordCount) - from + 1;
    }
    std::shared_ptr<ui::OfficePrintService> printing;
    if (!command.pdf.empty()) printing = InstallPrinting({}, {}, false);

    RunHost host;
    auto document = host.OpenTemplate(command.templatePath);
    MoveTo(host, document, command.record);
    const bool current = command.current || command.record.has_value();
    // The current record's print document is made and saved as the run-time makes it for the
    // user; all records (or a slice) go straight into the file as they are built, so memory
    // does not grow with their number.
    std::shared_ptr<word::Document> printDoc;
    if (current) {
        word::DispArgs args{document, false};
        printDoc = host.CallController("CreatePrintDoc", args).AsDocument();
        if (!printDoc) throw CliError("The run-time add-in made no print document.");
    }

    fs::path saved = command.output;
    std::string scratch;
    if (saved.empty()) {
        scratch = (fs::temp_directory_path() / "paperloom-document-XXXXXX").string();
        if (::mkdtemp(scratch.data()) == nullptr) throw CliError("No temporary folder for the print document.");
        saved = fs::path(scratch) / "document.docx";
    }
    try {
        if (printDoc) {
            SaveCopy(*printDoc, saved);
        } else {
            word::DispArgs args{document, fs::absolute(saved).string()};
            if (command.records) {
                args.emplace_back(command.records->first);
                args.emplace_back(command.records->second);
            }
            host.CallAddIn("WritePrintDoc", args);
        }
        if (!command.output.empty()) out << "document: " << fs::absolute(command.output).string() << "\n";
        if (!command.pdf.empty()) {
            ParallelPdfOptions pdf;
            pdf.print = printing->Options();
            pdf.jobs = command.jobs;
            if (header.bound) pdf.records = current ? 1 : command.records ? slicedRecords : header.recordCount;
            if (command.records) pdf.firstRecord = command.records->first;
            RenderPdfInParallel(saved, fs::absolute(command.pdf), pdf);
            out << "pdf: " << fs::absolute(command.pdf).string() << "\n";
        }
    } catch (...) {
        std::error_code ignored;
        if (!scratch.empty()) fs::remove_all(scratch, ignored);
        throw;
    }
    std::error_code ignored;
    if (!scratch.empty()) fs::remove_all(scratch, ignored);
    if (command.records)
        out << "records: " << slicedRecords << " (" << command.records->first << "-"
            << command.records->first + slicedRecords - 1 << ")\n";
    else if (header.bound)
        out << "records: " << (current ? 1 : header.recordCount) << (current ? " (current)" : " (all)") << "\n";
    host.Close();
    return exitcode::ok;
}

namespace {

// The record a step from `from` lands on among `count` records, clamped as the buttons clamp.
long SteppedRecord(Step step, long from, long count) {
    switch (step) {
    case Step::First: return 1;
    case Step::Last: return count;
    case Step::Next: return std::min(from + 1, count);
    case Step::Previous: return std::max(from - 1, 1L);
    case Step::None: break;
    }
    return from;
}

long CurrentRecord(RunHost& host, std::shared_ptr<word::Document>& document) {
    word::DispArgs args{document};
    return host.CallAddIn("RecordIndex", args).AsLong();
}

// The detail tables as filled: per table its rows, the cells of a row separated by tabs.
void PrintDetailTables(word::Document& document, std::ostream& out) {
    const clsPLProperty property;
    const word::Tables tables = document.Tables();
    for (long t = 1; t <= tables.Count(); ++t) {
        const word::Table table = tables.Item(t);
        if (property.GetDetailProperties(table, document).empty()) continue;  // an ordinary table
        const std::string bookmark = BookmarkOf(document, table);
        const long rows = table.Rows().Count();
        out << "  table " << t << (bookmark.empty() ? "" : " (" + bookmark + ")") << ": " << rows << " row"
            << (rows == 1 ? "" : "s") << "\n";
        for (long r = 1; r <= rows; ++r) {
            const word::Row row = table.Rows().Item(r);
            std::string line;
            for (long c = 1; c <= row.CellCount(); ++c) {
                std::string text = table.Cell(r, c).Range().Text();
                while (!text.empty() && (text.back() == '\a' || text.back() == '\r')) text.pop_back();
                for (char& ch : text)
                    if (ch == '\r' || ch == '\n' || ch == '\a' || ch == '\t') ch = ' ';
                if (c > 1) line += '\t';
                line += text;
            }
            out << "    " << line << "\n";
        }
    }
}

}  // namespace

int Run(const ShowCommand& command, std::ostream& out) {
    CheckOutput(command.templatePath, command.output, "-o");
    const bool stepping = command.step != Step::None;
    const HeaderState header = CheckHeader(command.templatePath, command.record.has_value() || stepping);
    CheckRecordNumber(command.record, header);
    if (stepping && header.recordCount == 0) throw CliError("The record source has no records to move through.");
    const long record = SteppedRecord(command.step, command.record.value_or(1), header.recordCount);
    RunHost host;
    auto document = host.OpenTemplate(command.templatePath);
    // The fill when a document opens reports no errors; filled again here, a detail table that
    // cannot be filled stops the command before anything is written.
    MoveTo(host, document, header.bound ? std::optional<long>(record) : std::nullopt);
    SaveCopy(*document, command.output);
    out << "view: " << fs::absolute(command.output).string() << "\n";
    if (header.bound) out << "record: " << CurrentRecord(host, document) << " of " << header.recordCount << "\n";
    host.Close();
    return exitcode::ok;
}

int Run(const SettingTestCommand& command, std::ostream& out) {
    if (!command.output.empty()) CheckOutput(command.templatePath, command.output, "-o");
    const HeaderState header = CheckHeader(command.templatePath, true);
    CheckRecordNumber(command.record, header);
    if (header.recordCount == 0) throw CliError("The record source has no records to fill the template with.");
    RunHost host;
    auto document = host.OpenTemplate(command.templatePath);
    MoveTo(host, document, command.record);
    const bool detail = command.part == SettingTestCommand::Part::Detail;
    word::DispArgs args{document};
    // The detail test fills every table, then the header; a table that cannot be filled
    // raises its reason after the others are filled.
    host.CallController(detail ? "UpdateDetail" : "UpdateHeader", args);
    out << (detail ? "detail" : "header") << " test: record " << CurrentRecord(host, document) << " of "
        << header.recordCount << "\n";
    if (detail) PrintDetailTables(*document, out);
    out << "header:\n";
    PrintShownValues(*document, out);
    if (!command.output.empty()) {
        SaveCopy(*document, command.output);
        out << "view: " << fs::absolute(command.output).string() << "\n";
    }
    host.Close();
    return exitcode::ok;
}

int Run(const PrintCommand& command, std::ostream& out) {
    if (!command.printer.empty() && !command.printDir.empty()) throw CliError("Give either --printer or --print-dir, not both.");
    const HeaderState header = CheckHeader(command.templatePath, command.record.has_value());
    CheckRecordNumber(command.record, header);
    const auto printing = InstallPrinting(command.printer, command.printDir, true);

    RunHost host;
    auto document = host.OpenTemplate(command.templatePath);
    MoveTo(host, document, command.record);
    const bool current = command.current || command.record.has_value();
    word::DispArgs args{document, !current};
    host.CallController("PrintData", args);
    const auto& options = printing->Options();
    out << "printed: " << command.templatePath.filename().string();
    if (header.bound) out << ", " << (current ? "the current record" : fmt::format("{} records", header.recordCount));
    if (!options.printDir.empty())
        out << ", into " << options.printDir.string() << "\n";
    else
        out << ", to " << (options.printer.empty() ? std::string("the default printer") : options.printer) << "\n";
    host.Close();
    return exitcode::ok;
}

namespace {

// The condition a --field search looks for, written by the field's kind in the bound record source.
std::string FieldCondition(RunHost& host, std::shared_ptr<word::Document>& document, const FindCommand& command) {
    long kind = 0;
    if (!command.blank) {
        word::DispArgs args{document, command.field};
        kind = host.CallAddIn("FieldType", args).AsLong();
    }
    const run::FindCondition condition =
        run::BuildFindCondition(command.field, static_cast<int>(kind), command.value.value_or(""), command.blank);
    if (condition.Ok()) return condition.strCondition;
    if (kind == 0)
        throw CliError(fmt::format("The header record source has no field \"{}\" that can be searched by value.",
                                   command.field));
    throw CliError(fmt::format("\"{}\" cannot be compared with the field \"{}\" ({}).", *command.value, command.field,
                               kind == 7 ? "a date" : "a number or a yes/no value"));
}

}  // namespace

int Run(const FindCommand& command, std::ostream& out) {
    const bool byField = !command.field.empty();
    if (byField && !command.condition.empty()) throw CliError("Give either a CONDITION or --field, not both.");
    if (!byField && (command.value || command.blank)) throw CliError("--value and --blank need --field.");
    if (byField && command.value.has_value() == command.blank)
        throw CliError("With --field, give either --value TEXT or --blank.");
    if (!byField && command.condition.empty()) throw CliError("The find condition is empty.");
    if (!command.output.empty()) CheckOutput(command.templatePath, command.output, "-o");
    const HeaderState header = CheckHeader(command.templatePath, true);
    RunHost host;
    auto document = host.OpenTemplate(command.templatePath);
    const std::string condition = byField ? FieldCondition(host, document, command) : command.condition;
    word::DispArgs args{document, condition, !command.backward};
    const bool found = host.CallController("FindData", args).AsBool();
    if (!found) {
        out << "not found: " << condition << "\n";
        host.Close();
        return exitcode::notFound;
    }
    word::DispArgs view{document};
    host.CallController("UpdateView", view);
    word::DispArgs position{document};
    const long index = host.CallAddIn("RecordIndex", position).AsLong();
    out << "found: " << condition << "\n";
    out << "record: " << index << " of " << header.recordCount << "\n";
    PrintShownValues(*document, out);
    if (!command.output.empty()) {
        SaveCopy(*document, command.output);
        out << "view: " << fs::absolute(command.output).string() << "\n";
    }
    host.Close();
    return exitcode::ok;
}

int Run(const HeaderSettingCommand& command, std::ostream& out) {
    const bool filter = command.kind == HeaderSettingCommand::Kind::Filter;
    const char* variable = filter ? "HeadFilter" : "HeadSort";
    if (command.value && command.clear) throw CliError(fmt::format("Give a {} or --clear, not both.", filter ? "filter" : "sort"));
    auto document = OpenForReading(command.templatePath);
    const std::string stored = clsPLProperty().GetDocVariable(variable, *document, "");
    if (!command.value && !command.clear) {
        if (command.inPlace || !command.output.empty())
            throw CliError(fmt::format("Give the new {} (or --clear) to write.", filter ? "filter" : "sort"));
        out << variable << ": " << Quoted(stored) << "\n";
        return exitcode::ok;
    }
    CheckWriteTarget(command.templatePath, command.output, command.inPlace);
    if (command.value) {
        if (command.value->empty())
            throw CliError(fmt::format("The {} is empty; use --clear to remove it.", filter ? "filter" : "sort"));
        // The new setting must open the record source, or the template would stop showing records.
        SourceSettings settings = HeaderSettings(*document);
        if (!settings.Configured())
            throw CliError(fmt::format("The template {} has no header data binding to {}.", command.templatePath.string(),
                                       filter ? "filter" : "sort"));
        (filter ? settings.filter : settings.sort) = *command.value;
        const BindingCheck check = CheckBinding(settings, fs::absolute(command.templatePath).parent_path());
        if (!check.opens)
            throw CliError(fmt::format("The {} \"{}\" does not work: {}.", filter ? "filter" : "sort", *command.value,
                                       check.problem));
        document->Variables().SetValue(variable, *command.value);
        out << variable << ": " << Quoted(*command.value) << " (" << check.recordCount << " records)\n";
    } else {
        document->Variables().Delete(variable);
        out << variable << ": (none)\n";
    }
    WriteSettings(*document, command.templatePath, command.output, command.inPlace, out);
    return exitcode::ok;
}

int Run(const OptionsCommand& command, std::ostream& out) {
    auto document = OpenForReading(command.templatePath);
    const clsPLProperty property;
    struct Option {
        const char* name;
        const char* fallback;
        const std::optional<bool>* change;
        bool value = false;
    };
    Option options[] = {{"UpdateDetail", "True", &command.updateDetail},
                        {"CopyPrimaryHeader", "False", &command.copyHeader},
                        {"CopyPrimaryFooter", "False", &command.copyFooter}};
    bool changing = false;
    for (auto& option : options) {
        const std::string stored = property.GetDocVariable(option.name, *document, option.fallback);
        try {
            option.value = modPLFunction::TextToFlag(stored);
        } catch (const std::exception&) {
            // A damaged stored value reads as the option's default, as the run-time reads it.
            option.value = std::string_view(option.fallback) == "True";
        }
        if (*option.change) {
            changing = true;
            option.value = **option.change;
        }
    }
    if (!changing) {
        if (command.inPlace || !command.output.empty())
            throw CliError("Give at least one of --update-detail, --copy-header, --copy-footer to write.");
    } else {
        CheckWriteTarget(command.templatePath, command.output, command.inPlace);
        // All three are written, changed or not, as the run-time's options command writes them.
        for (const auto& option : options) document->Variables().SetValue(option.name, modPLFunction::FlagToText(option.value));
    }
    for (const auto& option : options) out << option.name << ": " << modPLFunction::FlagToText(option.value) << "\n";
    if (changing) WriteSettings(*document, command.templatePath, command.output, command.inPlace, out);
    return exitcode::ok;
}

int Run(const DescribeCommand& command, std::ostream& out) {
    CheckTemplate(command.templatePath);
    TemplateReport report;
    try {
        report = InspectTemplate(command.templatePath);
    } catch (const host::HostError& error) {
        throw CliError(fmt::format("The template {} cannot be read: {}", command.templatePath.string(), error.Description()));
    }
    if (command.json)
        PrintReportJson(report, out);
    else
        PrintReport(report, out);
    return exitcode::ok;
}

}  // namespace paperloom::cli
