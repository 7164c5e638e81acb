// paperloom design statistics / formula: a statistics field over a column of a detail table, or
// a formula field, in place of a placeholder text, through the designer's statistics and
// formula commands with their dialogs answered from the options.

#include "CliError.h"
#include "DesignSession.h"
#include "DesignSubcommand.h"

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/EditForms.h"
#include "Edit/frmPLECalculator.h"
#include "Edit/frmPLEStatistics.h"
#include "Edit/modPLEFunction.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/word/Bookmarks.h"
#include "host/word/Table.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <ostream>

namespace paperloom::cli {
namespace {

using namespace design;

struct StatisticsOptions {
    fs::path templatePath;
    std::string at;
    std::string function;
    std::string table;
    std::string column;
    std::optional<std::string> formatType;
    std::optional<std::string> format;
    fs::path output;
    bool inPlace = false;
};

struct FormulaOptions {
    fs::path templatePath;
    std::string at;
    std::string expression;
    std::string format;
    fs::path output;
    bool inPlace = false;
};

// The format-type list index of "\#", "\@", "\*" (or number, date, text).
int FormatIndexOf(const std::string& text) {
    if (text == "\\#" || text == "#" || text == "number") return 0;
    if (text == "\\@" || text == "@" || text == "date") return 1;
    if (text == "\\*" || text == "*" || text == "text") return 2;
    throw CliError(fmt::format("--format-type \"{}\" is not a format type: \\# (or number), \\@ (or date), \\* (or text).",
                               text));
}

void CheckPicture(const std::string& picture) {
    if (picture.empty()) throw CliError("--format is empty.");
    if (picture.find('"') != std::string::npos)
        throw CliError(fmt::format("--format \"{}\" holds a double quote, which a field code cannot store.", picture));
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "2" or "b" to the column number (0 when it is neither).
long ColumnNumberOf(const std::string& text) {
    if (text.empty() || text.size() > 4) return 0;
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) return std::stol(text);
    long number = 0;
    for (const unsigned char c : text) {
        if (c < 'a' || c > 'z') return 0;
        number = number * 26 + (c - 'a' + 1);
    }
    return number;
}

// The dialogs of the two commands answered from the options; any other closes as cancelled.
class CalculationForms final : public edit::EditForms {
public:
    explicit CalculationForms(RecordedMessages& messages) : messages_(messages) {}

    struct Statistics {
        std::string function, bookmark, column;
        int formatIndex = modPLFieldCode::FORMAT_TYPE_NONE;
        std::string picture;
    };
    std::optional<Statistics> statistics;
    std::optional<std::pair<std::string, std::string>> formula;  // expression, picture

    void ShowStatistics(frmPLEStatistics& form) override {
        if (!statistics) return;
        form.SetFunction_(statistics->function);
        form.cboFunction_Click();
        form.cboBookmark = statistics->bookmark;
        form.cboBookmark_Click();
        form.cboColumn_DropDown();
        form.cboColumn = statistics->column;
        form.cboColumn_Click();
        form.cboFormatType_Click(statistics->formatIndex);
        if (!statistics->picture.empty()) {
            form.cboFormat = statistics->picture;
            form.cboFormat_Change();
        }
        if (!form.cmdOK_Click()) refused_ = true;
    }
    void ShowCalculator(frmPLECalculator& form) override {
        if (!formula) return;
        form.txtCalc_Change(formula->first, formula->first.size());
        form.cboFormat = formula->second;
        form.cmdOK_Click();
    }
    void ShowDBBind(clsPLEBindForm&) override {}
    void ShowDetailInsert(frmPLEDetailInsert&) override {}
    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowSort(clsPLSortEditor&) override {}
    void ShowConnectionEditor(edit::ConnectionEditor&) override {}
    void ShowDataLinkEditor(edit::DataLinkEditor&) override {}
    void Unload() override {}

    // CliError with what the command or dialog said when it wrote nothing.
    [[noreturn]] void Refused() const {
        const std::string why = messages_.LastComplaint();
        throw CliError(why.empty() ? std::string("The dialog wrote nothing.")
                                   : fmt::format("The {} refused: {}", refused_ ? "dialog" : "command", why));
    }

private:
    RecordedMessages& messages_;
    bool refused_ = false;
};

// The placeholder selected in the template, or CliError.
void SelectPlaceholder(DesignSession& session, const fs::path& templatePath, const std::string& at) {
    const auto placeholder = FindPlaceholder(session.Document(), at);
    if (!placeholder)
        throw CliError(fmt::format("\"{}\" does not occur in {} (main text, text boxes, headers and footers).", at,
                                   templatePath.string()));
    session.Document().Selection().Select(*placeholder);
}

int RunStatistics(const StatisticsOptions& o, std::ostream& out) {
    CheckWriteTarget(o.templatePath, o.output, o.inPlace);
    if (o.at.empty()) throw CliError("--at is empty: give the text the field replaces.");
    CalculationForms::Statistics answer;
    answer.function = Upper(o.function);
    const auto& functions = modPLFieldCode::GetStatisticsFunctions();
    if (std::find(functions.begin(), functions.end(), answer.function) == functions.end())
        throw CliError(fmt::format("--function \"{}\" is not one of AVERAGE, COUNT, MAX, MIN, PRODUCT, SUM.", o.function));
    if (o.formatType.has_value() != o.format.has_value())
        throw CliError("Give --format-type and --format together (or neither, for no format).");
    if (o.formatType) {
        answer.formatIndex = FormatIndexOf(*o.formatType);
        CheckPicture(*o.format);
        answer.picture = *o.format;
    }
    const long column = ColumnNumberOf(o.column);
    if (column < 1) throw CliError(fmt::format("--column \"{}\" is not a column number from 1 or letters (a, b, ... aa).", o.column));

    DesignSession session(o.templatePath);
    auto bookmarks = session.Document().Bookmarks();
    if (!bookmarks.Exists(o.table))
        throw CliError(fmt::format("The template has no bookmark \"{}\".", o.table));
    long columns = 0;
    for (const auto& table : bookmarks.Item(o.table).Range().Tables()) columns = std::max(columns, table.Columns().Count());
    if (columns == 0) throw CliError(fmt::format("The bookmark \"{}\" holds no table.", o.table));
    if (column > columns)
        throw CliError(fmt::format("--column \"{}\": the table of \"{}\" has columns 1 to {} (a to {}).", o.column, o.table,
                                   columns, modPLFunction::ColumnLetters(columns)));
    answer.bookmark = bookmarks.Item(o.table).Name();
    answer.column = modPLFunction::ColumnLetters(column);
    SelectPlaceholder(session, o.templatePath, o.at);

    RecordedMessages messages;
    CalculationForms forms(messages);
    forms.statistics = answer;
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    const auto field = edit::EditCommands(session.Host(), dialogs).Statistics();
    if (!field) forms.Refused();

    const fs::path target = session.Save(o.templatePath, o.output, o.inPlace);
    out << fmt::format("statistics field in place of \"{}\": {}\n", o.at, modPLEFunction::FieldCodeText(*field));
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

int RunFormula(const FormulaOptions& o, std::ostream& out) {
    CheckWriteTarget(o.templatePath, o.output, o.inPlace);
    if (o.at.empty()) throw CliError("--at is empty: give the text the field replaces.");
    if (o.expression.find_first_not_of(" \t") == std::string::npos) throw CliError("--expression is empty.");
    // The formula is read back up to its first number switch.
    if (o.expression.find(modPLFieldCode::SWITCH_NUMBER) != std::string::npos)
        throw CliError("--expression holds \\#; give the number picture with --format.");
    if (!o.format.empty()) CheckPicture(o.format);

    DesignSession session(o.templatePath);
    SelectPlaceholder(session, o.templatePath, o.at);
    RecordedMessages messages;
    CalculationForms forms(messages);
    forms.formula = std::pair{o.expression, o.format};
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    if (!edit::EditCommands(session.Host(), dialogs).Formula()) forms.Refused();

    // The field just inserted ends where the selection now is.
    auto story = session.Document().Selection().Range();
    const long end = story.End();
    story.SetRange(0, story.StoryLength());
    std::optional<word::Field> inserted;
    for (const auto& field : word::FieldsOf(story))
        if (field.Range().End() == end) inserted = field;
    const fs::path target = session.Save(o.templatePath, o.output, o.inPlace);
    if (inserted)
        out << fmt::format("formula field in place of \"{}\": {} (shows {})\n", o.at,
                           modPLEFunction::FieldCodeText(*inserted), inserted->Result().Text());
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

class StatisticsCommand final : public DesignSubcommand {
public:
    explicit StatisticsCommand(CLI::App& design) {
        auto& o = options_;
        command_ = design.add_subcommand("statistics",
                                         "Put a statistics field (sum, count, average, ... over a column of a detail "
                                         "table) in place of a placeholder text");
        command_->add_option("TEMPLATE", o.templatePath, "The template (.docx)")->required();
        command_->add_option("--at", o.at, "The text the field replaces (its first occurrence: main text, text boxes, "
                                           "headers and footers)")
            ->required();
        command_->add_option("--function", o.function, "AVERAGE, COUNT, MAX, MIN, PRODUCT or SUM")->required();
        command_->add_option("--table", o.table, "The bookmark that names the detail table")->required();
        command_->add_option("--column", o.column, "The column: its number from 1, or its letters (a, b, ...)")->required();
        command_->add_option("--format-type", o.formatType, "\\#, \\@ or \\* (aliases number, date, text)");
        command_->add_option("--format", o.format, "The picture, such as #,##0");
        AddWriteOptions(*command_, o.output, o.inPlace);
    }
    int Run(std::ostream& out) override { return RunStatistics(options_, out); }

private:
    StatisticsOptions options_;
};

class FormulaCommand final : public DesignSubcommand {
public:
    explicit FormulaCommand(CLI::App& design) {
        auto& o = options_;
        command_ = design.add_subcommand("formula", "Put a formula field in place of a placeholder text");
        command_->add_option("TEMPLATE", o.templatePath, "The template (.docx)")->required();
        command_->add_option("--at", o.at, "The text the field replaces (its first occurrence: main text, text boxes, "
                                           "headers and footers)")
            ->required();
        command_->add_option("--expression", o.expression,
                             "The formula, such as \"=SUM(Lines c:c)*1.1\" (functions, numbers, bookmarks)")
            ->required();
        command_->add_option("--format", o.format, "The number picture, such as #,##0");
        AddWriteOptions(*command_, o.output, o.inPlace);
    }
    int Run(std::ostream& out) override { return RunFormula(options_, out); }

private:
    FormulaOptions options_;
};

}  // namespace

void AddCalculationCommands(CLI::App& design, DesignSubcommands& commands) {
    commands.push_back(std::make_unique<StatisticsCommand>(design));
    commands.push_back(std::make_unique<FormulaCommand>(design));
}

}  // namespace paperloom::cli
