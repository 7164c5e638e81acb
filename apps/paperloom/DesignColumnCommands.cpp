// paperloom design column: one column of a detail table (its content, caption, format, blanking
// of repeated values, break and the break row's cells) through the designer's column command
// with its dialogs answered from the options. Options not given keep the column's values.

#include "CliError.h"
#include "DesignSession.h"
#include "DesignSubcommand.h"

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/EditForms.h"
#include "Edit/frmPLEBreak.h"
#include "Edit/frmPLEDetailColProp.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/clsPLSortEditor.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/word/Bookmarks.h"
#include "host/word/Table.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <ostream>

namespace paperloom::cli {
namespace {

using namespace design;
namespace K = modPLConst;

// What one cell of the break row shows.
struct BreakCell {
    enum class Kind { None, Caption, Function } kind = Kind::None;
    std::string value;          // caption text or function name
    int formatIndex = modPLFieldCode::FORMAT_TYPE_NONE;
    std::string picture;
};

struct ColumnOptions {
    fs::path templatePath;
    std::string table;
    long column = 0;
    std::optional<std::string> dataField;
    bool picture = false;
    std::optional<std::string> support;
    std::optional<std::string> expression;
    bool noField = false;
    std::optional<std::string> caption;
    std::optional<std::string> formatType;
    std::optional<std::string> format;
    std::optional<std::string> skipSame;
    std::optional<std::string> breakOn;
    std::optional<std::string> order;
    std::vector<std::string> breakRows;
    bool clearBreakRows = false;
    fs::path output;
    bool inPlace = false;
};

// "\#", "#" or "number"; "\@", "@" or "date"; "\*", "*" or "text"; "none". The list index.
int FormatIndexOf(const std::string& text, const char* option) {
    if (text == "\\#" || text == "#" || text == "number") return 0;
    if (text == "\\@" || text == "@" || text == "date") return 1;
    if (text == "\\*" || text == "*" || text == "text") return 2;
    if (text == "none") return modPLFieldCode::FORMAT_TYPE_NONE;
    throw CliError(fmt::format("{} \"{}\" is not a format type: \\# (or number), \\@ (or date), \\* (or text), none.",
                               option, text));
}

void CheckNoQuote(const std::string& text, const char* what) {
    if (text.find('"') != std::string::npos)
        throw CliError(fmt::format("{} \"{}\" holds a double quote, which the template cannot store.", what, text));
}

// A table column by number ("3") or letters ("c", "aa"); 0 when it is neither.
long ColumnOf(const std::string& text) {
    if (text.empty()) return 0;
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        long number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        return error == std::errc{} && end == text.data() + text.size() ? number : 0;
    }
    long number = 0;
    for (const unsigned char c : text) {
        if (!std::isalpha(c) || number > 100000) return 0;
        number = number * 26 + (std::tolower(c) - 'a' + 1);
    }
    return number;
}

// COL=none | COL=caption:TEXT | COL=FUNCTION[:SWITCH:PICTURE]
std::pair<long, BreakCell> ParseBreakRow(const std::string& text, long columns) {
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        throw CliError(fmt::format("--break-row \"{}\" is not COL=none, COL=caption:TEXT or COL=FUNCTION[:SWITCH:PICTURE].",
                                   text));
    const long column = ColumnOf(text.substr(0, equals));
    if (column < 1 || column > columns)
        throw CliError(fmt::format("--break-row \"{}\": the table has columns 1 to {} (or a to {}).", text, columns,
                                   modPLFunction::ColumnLetters(columns)));
    const std::string what = text.substr(equals + 1);
    BreakCell cell;
    if (what == "none") return {column, cell};
    if (what.rfind("caption:", 0) == 0) {
        cell.kind = BreakCell::Kind::Caption;
        cell.value = what.substr(8);
        CheckNoQuote(cell.value, "The break-row caption");
        return {column, cell};
    }
    const auto colon = what.find(':');
    std::string function = what.substr(0, colon);
    std::transform(function.begin(), function.end(), function.begin(), [](unsigned char c) { return std::toupper(c); });
    const auto& functions = modPLFieldCode::GetStatisticsFunctions();
    if (std::find(functions.begin(), functions.end(), function) == functions.end())
        throw CliError(fmt::format("--break-row \"{}\": \"{}\" is not none, caption:TEXT or one of SUM, AVERAGE, COUNT, "
                                   "MAX, MIN, PRODUCT.",
                                   text, what.substr(0, colon)));
    cell.kind = BreakCell::Kind::Function;
    cell.value = function;
    if (colon != std::string::npos) {
        const auto second = what.find(':', colon + 1);
        if (second == std::string::npos || second + 1 == what.size())
            throw CliError(fmt::format("--break-row \"{}\": a format is SWITCH:PICTURE, such as {}:\\#:#,##0.", text,
                                       function));
        cell.formatIndex = FormatIndexOf(what.substr(colon + 1, second - colon - 1), "--break-row");
        cell.picture = what.substr(second + 1);
        CheckNoQuote(cell.picture, "The break-row picture");
        if (cell.formatIndex == modPLFieldCode::FORMAT_TYPE_NONE) cell.picture.clear();
    }
    return {column, cell};
}

// "FIELD [ASC|DESC], ..." as the sort editor's rows: field and descending flag.
std::vector<std::pair<std::string, bool>> ParseOrder(const std::string& order) {
    std::vector<std::pair<std::string, bool>> keys;
    std::size_t start = 0;
    while (start <= order.size() && !order.empty()) {
        const auto comma = order.find(',', start);
        std::string part = order.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        std::vector<std::string> words;
        for (std::size_t at = 0; at < part.size();) {
            const auto begin = part.find_first_not_of(' ', at);
            if (begin == std::string::npos) break;
            const auto end = part.find(' ', begin);
            words.push_back(part.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
            at = end == std::string::npos ? part.size() : end;
        }
        std::string direction = words.size() > 1 ? words[1] : "ASC";
        std::transform(direction.begin(), direction.end(), direction.begin(), [](unsigned char c) { return std::toupper(c); });
        if (words.empty() || words.size() > 2 || (direction != "ASC" && direction != "DESC"))
            throw CliError(fmt::format("--order \"{}\" is not FIELD [ASC|DESC], FIELD [ASC|DESC] ...", order));
        keys.emplace_back(words[0], direction == "DESC");
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return keys;
}

// The column dialog, its sort editor and its row break dialog answered from the options.
class ColumnForms final : public edit::EditForms {
public:
    ColumnForms(const ColumnOptions& options, std::map<long, BreakCell> breakRows, RecordedMessages& messages)
        : options_(options), breakRows_(std::move(breakRows)), messages_(messages) {}

    void ShowDBBind(clsPLEBindForm&) override {}
    void ShowDetailInsert(frmPLEDetailInsert&) override {}
    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowConnectionEditor(edit::ConnectionEditor&) override {}
    void ShowDataLinkEditor(edit::DataLinkEditor&) override {}
    void Unload() override {}

    void ShowDetailColProp(frmPLEDetailColProp& form) override {
        shown_ = true;
        const auto& o = options_;
        if (o.dataField) {
            form.optFieldType_Click(frmPLEDetailColProp::OPT_DATA);
            form.cboDataField = *o.dataField;
            form.chkPictureData = o.picture;
        } else if (o.support) {
            form.optFieldType_Click(frmPLEDetailColProp::OPT_SUPPORT);
            form.cboSupportField = *o.support;
        } else if (o.expression) {
            form.optFieldType_Click(frmPLEDetailColProp::OPT_EXPRESSION);
            form.txtExpression = *o.expression;
        } else if (o.noField) {
            form.optFieldType_Click(frmPLEDetailColProp::OPT_NONE);
        }
        if (o.caption) form.txtCaption = *o.caption;
        if (o.formatType) {
            form.cboFormatType_Click(FormatIndexOf(*o.formatType, "--format-type"));
            form.cboFormat = form.cboFormatEnabled ? o.format.value_or("") : std::string();
        }
        if (o.order) form.cmdSort_Click();
        if (o.skipSame) {
            form.chkSkip = *o.skipSame == "yes" && form.chkSkipEnabled;
            form.chkSkip_Click();
        }
        if (o.breakOn) {
            form.chkBreak = *o.breakOn == "yes" && form.chkBreakEnabled;
            form.chkBreak_Click();
        }
        if ((o.clearBreakRows || !breakRows_.empty()) && form.cmdBreakEnabled) form.cmdBreak_Click();
        form.Control_Change();
        if (form.cmdOK_Click()) accepted_ = true;
    }

    void ShowSort(clsPLSortEditor& editor) override {
        editor.cmdEdit_Click(clsPLSortEditor::CMD_CLEAR);
        for (const auto& [field, descending] : ParseOrder(*options_.order)) {
            editor.Controls().strDataField = field;
            editor.Controls().intSortIndex = descending ? 1 : 0;
            editor.cmdEdit_Click(clsPLSortEditor::CMD_ADD);
        }
        editor.cmdOK_Click();
    }

    void ShowBreak(frmPLEBreak& form) override {
        if (options_.clearBreakRows) form.cmdReset_Click();
        for (const auto& [column, cell] : breakRows_) {
            form.lstColCondition_Click(static_cast<int>(column - 1));
            switch (cell.kind) {
            case BreakCell::Kind::None: form.optFieldType_Click(frmPLEBreak::OPT_NONE); break;
            case BreakCell::Kind::Caption:
                form.optFieldType_Click(frmPLEBreak::OPT_CAPTION);
                form.txtCaption = cell.value;
                break;
            case BreakCell::Kind::Function:
                form.optFieldType_Click(frmPLEBreak::OPT_STATISTICS);
                form.SetUpCalcCombo(cell.value);
                break;
            }
            form.cboFormatType_Click(cell.formatIndex);
            form.cboFormat = cell.picture;
            form.cmdUpdate_Click();
        }
        form.cmdOK_Click();
    }

    // CliError when the dialog was not shown or refused its OK.
    void ThrowIfRefused() const {
        if (!shown_) {
            const std::string why = messages_.LastComplaint();
            throw CliError(why.empty() ? std::string("The column dialog did not open.")
                                       : fmt::format("The column dialog did not open: {}", why));
        }
        if (!accepted_) {
            const std::string why = messages_.LastComplaint();
            throw CliError(why.empty() ? std::string("The column dialog refused the settings.")
                                       : fmt::format("The column dialog refused the settings: {}", why));
        }
    }

private:
    const ColumnOptions& options_;
    std::map<long, BreakCell> breakRows_;
    RecordedMessages& messages_;
    bool shown_ = false;
    bool accepted_ = false;
};

// The table's and the column's property texts and the header cell's caption, as read back.
struct ColumnState {
    std::string table;
    std::string column;
    long columns = 0;
};

ColumnState ReadColumn(word::Document& document, const word::Table& table, long column) {
    const clsPLProperty prop;
    std::vector<std::string> texts;
    ColumnState state;
    state.columns = prop.GetColumnProperties(table, document, texts);
    state.table = texts.at(0);
    state.column = texts.at(static_cast<std::size_t>(column - 1));
    return state;
}

int RunColumn(const ColumnOptions& o, std::ostream& out) {
    CheckWriteTarget(o.templatePath, o.output, o.inPlace);
    const int contents = (o.dataField ? 1 : 0) + (o.support ? 1 : 0) + (o.expression ? 1 : 0) + (o.noField ? 1 : 0);
    if (contents > 1) throw CliError("Give one of --data-field, --support, --expression and --no-field.");
    if (o.picture && !o.dataField) throw CliError("--picture goes with --data-field.");
    if (o.dataField && o.dataField->empty()) throw CliError("--data-field is empty.");
    if (o.expression && o.expression->empty()) throw CliError("--expression is empty.");
    if (o.support && *o.support != frmPLEDetailColProp::kRowNumber)
        throw CliError(fmt::format("--support \"{}\" is not a support field; the one a column offers is {}.", *o.support,
                                   frmPLEDetailColProp::kRowNumber));
    for (const auto* text : {&o.dataField, &o.expression})
        if (*text) CheckNoQuote(**text, "The column's content");
    if (o.format && !o.formatType) throw CliError("--format needs --format-type.");
    if (o.formatType) {
        const int index = FormatIndexOf(*o.formatType, "--format-type");
        if (index != modPLFieldCode::FORMAT_TYPE_NONE && o.format.value_or("").empty())
            throw CliError("--format-type needs --format with a picture (or give --format-type none).");
        if (o.format) CheckNoQuote(*o.format, "--format");
    }
    if (o.order) ParseOrder(*o.order);

    DesignSession session(o.templatePath);
    auto& document = session.Document();
    if (!document.Bookmarks().Exists(o.table))
        throw CliError(fmt::format("{} has no bookmark \"{}\".", o.templatePath.string(), o.table));
    const auto tables = document.Bookmarks().Item(o.table).Range().Tables();
    if (tables.Count() == 0)
        throw CliError(fmt::format("The bookmark \"{}\" holds no table.", o.table));
    const word::Table table = tables.Item(1);
    const long columns = table.Columns().Count();
    if (o.column < 1 || o.column > columns)
        throw CliError(fmt::format("--column {} is not a column of {}: it has columns 1 to {}.", o.column, o.table, columns));

    std::map<long, BreakCell> breakRows;
    for (const auto& text : o.breakRows) {
        auto [column, cell] = ParseBreakRow(text, columns);
        breakRows[column] = cell;
    }

    const clsPLProperty prop;
    const ColumnState before = ReadColumn(document, table, o.column);
    auto tableValue = [&](std::string_view key) { return prop.GetPropertyFromText(before.table, key, ""); };
    const bool hasSource = !tableValue(K::PROP_DATA_SOURCE).empty() && !tableValue(K::PROP_RECORD_SOURCE).empty();
    if (o.dataField || (o.order && !o.order->empty())) {
        if (!hasSource)
            throw CliError(fmt::format("The table {} has no record source of its own (paperloom design detail binds it).",
                                       o.table));
        const auto fields = OpenedFields("detail ", tableValue(K::PROP_DATA_SOURCE_TYPE), tableValue(K::PROP_DATA_SOURCE),
                                         tableValue(K::PROP_USER_NAME), tableValue(K::PROP_PASSWORD),
                                         tableValue(K::PROP_RECORD_SOURCE_TYPE), tableValue(K::PROP_RECORD_SOURCE), "",
                                         "", session.Folder());
        if (o.dataField) CheckFieldOf(fields, *o.dataField, "--data-field");
        if (o.order)
            for (const auto& key : ParseOrder(*o.order)) CheckFieldOf(fields, key.first, "--order");
    }

    // What the column will have once the dialog is answered: blanking and breaks need a sort and
    // a content; break-row cells need the break.
    const std::string sort = o.order ? *o.order : tableValue(K::PROP_RS_ORDER);
    const std::string fieldType =
        o.noField ? "0" : (contents == 1 ? "1" : prop.GetPropertyFromText(before.column, K::PROP_FIELD_TYPE, "0"));
    const bool hasContent = fieldType != "0";
    const bool breakOn = o.breakOn ? *o.breakOn == "yes"
                                   : prop.GetPropertyFromText(before.column, K::PROP_BREAK, "") == K::FLAG_TRUE &&
                                         !sort.empty() && hasContent;
    for (const auto& [option, value] : {std::pair{"--skip-same", o.skipSame}, std::pair{"--break", o.breakOn}}) {
        if (value != "yes") continue;
        if (sort.empty())
            throw CliError(fmt::format("{} yes needs a sorted detail: give --order{}.", option,
                                       o.order ? " with a field" : fmt::format(" (the table {} has no sort)", o.table)));
        if (!hasContent) throw CliError(fmt::format("{} yes needs a column with content.", option));
    }
    if ((!breakRows.empty() || o.clearBreakRows) && !breakOn)
        throw CliError("--break-row and --clear-break-rows set the break row, which the column shows only with "
                       "--break yes.");

    const auto selected = table.Cell(1, o.column).Range();
    auto at = selected;
    at.Collapse(word::wdCollapseStart);
    document.Selection().Select(at);

    RecordedMessages messages;
    ColumnForms forms(o, std::move(breakRows), messages);
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    edit::EditCommands(session.Host(), dialogs).DetailColProp();
    forms.ThrowIfRefused();

    const fs::path target = session.Save(o.templatePath, o.output, o.inPlace);
    const ColumnState after = ReadColumn(document, table, o.column);
    auto value = [&](std::string_view key) { return prop.GetPropertyFromText(after.column, key, ""); };
    out << fmt::format("column {} ({}) of {}:\n", o.column, modPLFunction::ColumnLetters(o.column), o.table);
    for (const auto key : {K::PROP_FIELD_TYPE, K::PROP_DATA_FIELD, K::PROP_FORMAT_TYPE, K::PROP_FORMAT,
                           K::PROP_SKIP_SAME_VALUE, K::PROP_BREAK})
        out << "  " << key << ": " << value(key) << "\n";
    out << "  " << K::PROP_RS_ORDER << ": " << prop.GetPropertyFromText(after.table, K::PROP_RS_ORDER, "") << "\n";
    if (value(K::PROP_BREAK) == K::FLAG_TRUE) {
        out << "  break row:\n";
        for (long column = 1; column <= after.columns; ++column) {
            const std::string letters = modPLFunction::ColumnLetters(column);
            auto cell = [&](std::string_view key) {
                return prop.GetPropertyFromText(after.column, letters + std::string(key), "");
            };
            const std::string type = cell(K::PROP_BREAK_ROW_FIELD_TYPE);
            std::string shown = type.empty() ? std::string(K::CAPTION_NONE) : type + " " + cell(K::PROP_BREAK_ROW_FIELD_VALUE);
            const std::string formatType = cell(K::PROP_BREAK_ROW_FORMAT_TYPE);
            if (!formatType.empty() && formatType != K::CAPTION_NONE)
                shown += " " + formatType + " " + modPLFieldCode::ReadFormatPicture(cell(K::PROP_BREAK_ROW_FORMAT));
            out << "    " << letters << ": " << shown << "\n";
        }
    }
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

class ColumnCommand final : public DesignSubcommand {
public:
    explicit ColumnCommand(CLI::App& design) {
        auto& o = options_;
        command_ = design.add_subcommand(
            "column", "Set one column of a detail table: content, caption, format, blanking, break and break row");
        command_->footer(
            "Options not given keep the column's current settings. --skip-same yes and --break yes need a sorted "
            "detail (--order, or the table's own sort) and a column with content.\n"
            "Break row (what the row inserted after each group shows, per table column; needs --break yes):\n"
            "  --break-row COL=none                   the cell stays empty\n"
            "  --break-row COL=caption:TEXT           a fixed text\n"
            "  --break-row COL=FUNC[:SWITCH:PICTURE]  SUM, AVERAGE, COUNT, MAX, MIN or PRODUCT over the group's rows,\n"
            "                                         e.g. c=SUM:\\#:#,##0\n"
            "  COL is a column number (1, 2, ...) or its letters (a, b, ... z, aa); other columns keep their cells.\n"
            "Format types: \\# (or number), \\@ (or date), \\* (or text), none.");
        command_->add_option("TEMPLATE", o.templatePath, "The template (.docx)")->required();
        command_->add_option("--table", o.table, "The bookmark that names the detail table")->required();
        command_->add_option("--column", o.column, "The column's number, from 1")->required();
        auto* data = command_->add_option("--data-field", o.dataField, "Show this field of the detail record source");
        command_->add_flag("--picture", o.picture, "Show the field as a picture (its value names the image file)")
            ->needs(data);
        auto* support = command_->add_option("--support", o.support, "A support field: 行番号 (the row number)");
        auto* expression = command_->add_option("--expression", o.expression, "Show a calculation over the row");
        auto* none = command_->add_flag("--no-field", o.noField,
                                        "Show nothing (removes the column's settings and its break row)");
        data->excludes(support, expression, none);
        support->excludes(expression, none);
        expression->excludes(none);
        command_->add_option("--caption", o.caption, "The caption in the header row");
        command_->add_option("--format-type", o.formatType, "\\#, \\@, \\* or none (aliases number, date, text)");
        command_->add_option("--format", o.format, "The picture, such as #,##0 or yyyy/MM/dd");
        const auto yesNo = CLI::IsMember({"yes", "no"});
        command_->add_option("--skip-same", o.skipSame, "yes: a value equal to the one above it shows blank")
            ->check(yesNo);
        command_->add_option("--break", o.breakOn, "yes: a break row follows each group of equal values")->check(yesNo);
        command_->add_option("--order", o.order,
                             "The detail's sort, such as \"ProductName, Amount DESC\" (\"\" for none)");
        command_
            ->add_option("--break-row", o.breakRows, "COL=none, COL=caption:TEXT or COL=FUNC[:SWITCH:PICTURE] (repeat)")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        command_->add_flag("--clear-break-rows", o.clearBreakRows, "Empty every cell of the break row first");
        AddWriteOptions(*command_, o.output, o.inPlace);
    }
    int Run(std::ostream& out) override { return RunColumn(options_, out); }

private:
    ColumnOptions options_;
};

}  // namespace

void AddColumnCommands(CLI::App& design, DesignSubcommands& commands) {
    commands.push_back(std::make_unique<ColumnCommand>(design));
}

}  // namespace paperloom::cli
