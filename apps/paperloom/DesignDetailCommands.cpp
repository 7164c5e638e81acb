// paperloom design detail: a detail table's own binding (data source, record source with its
// filter and sort), its link keys and its two options, through the designer's detail
// properties command with the dialog answered from the options. Options not given keep the
// values the dialog opens with (for a table without a data source of its own, the header's).

#include "CliError.h"
#include "DesignSession.h"
#include "DesignSubcommand.h"

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/EditForms.h"
#include "Edit/frmPLEDetailProp.h"
#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "host/ado/PasswordMask.h"
#include "host/word/Bookmarks.h"
#include "host/word/Table.h"

#include <fmt/format.h>

#include <array>
#include <optional>
#include <ostream>

namespace paperloom::cli {
namespace {

using namespace design;
namespace K = modPLConst;

struct DetailOptions {
    fs::path templatePath;
    std::string table;
    std::optional<std::string> recordSourceType;
    std::optional<std::string> recordSource;
    std::optional<std::string> where;
    std::optional<std::string> order;
    std::optional<std::string> dataSourceType;
    std::optional<std::string> dataSource;
    std::optional<std::string> parentKey;
    std::optional<std::string> childKey;
    std::optional<std::string> columnHeaders;  // yes | no
    std::optional<std::string> autoAdjust;     // yes | no
    bool clear = false;
    fs::path output;
    bool inPlace = false;

    bool ChangesAnything() const {
        for (const auto* option : {&recordSourceType, &recordSource, &where, &order, &dataSourceType, &dataSource,
                                   &parentKey, &childKey, &columnHeaders, &autoAdjust})
            if (*option) return true;
        return clear;
    }
};

// The settings the table will carry: what the dialog opens with, then the options over it.
struct DetailSettings {
    std::string dataSourceType, dataSource, user, password;
    std::string recordSourceType, recordSource, where, order;
    std::string parentKey, childKey;
    bool columnHeaders = true;
    bool autoAdjust = false;
};

constexpr std::array<std::string_view, 12> kDetailKeys = {
    K::PROP_DATA_SOURCE_TYPE, K::PROP_DATA_SOURCE, K::PROP_USER_NAME,  K::PROP_PASSWORD,
    K::PROP_RECORD_SOURCE_TYPE, K::PROP_RECORD_SOURCE, K::PROP_RS_WHERE, K::PROP_RS_ORDER,
    K::PROP_PARENT_KEY,       K::PROP_CHILD_KEY,   K::PROP_COLUMN_HEADERS, K::PROP_AUTO_ADJUST_ROW_COUNT};

void CheckNoQuote(const std::string& text, const char* option) {
    if (text.find('"') != std::string::npos)
        throw CliError(fmt::format("{} \"{}\" holds a double quote, which the template cannot store.", option, text));
}

// The detail properties dialog answered from the settings; its other dialogs stay closed.
class DetailForms final : public edit::EditForms {
public:
    DetailForms(const DetailOptions& options, const DetailSettings& settings, RecordedMessages& messages)
        : options_(options), settings_(settings), messages_(messages) {}

    void ShowDBBind(clsPLEBindForm&) override {}
    void ShowDetailInsert(frmPLEDetailInsert&) override {}
    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowSort(clsPLSortEditor&) override {}
    void ShowConnectionEditor(edit::ConnectionEditor&) override {}
    void ShowDataLinkEditor(edit::DataLinkEditor&) override {}
    void Unload() override {}

    void ShowDetailProp(frmPLEDetailProp& form) override {
        shown_ = true;
        auto& bind = form.Bind();
        const auto& s = settings_;
        if (options_.clear) {
            form.SetDataSource(K::DATA_SOURCE_ODBC, "");
            bind.txtUserName.clear();
            bind.txtPassword.clear();
            form.SetRecordSource(K::RECORD_SOURCE_TABLE, "", "", "");
            form.cboParentKey.clear();
            form.cboChildKey.clear();
            // The values a table without these keys reads, so the cleared dialog removes them.
            form.chkColumnHeaders = true;
            form.chkAutoAdjustRowCount = false;
        } else {
            // Typed into the box as stored: a preset would make a relative database path absolute.
            if (s.dataSourceType == K::DATA_SOURCE_CONNECTION_STRING) {
                bind.optDataSource_Click(clsPLEBindForm::OPT_DS_CONNECTION);
                bind.cboDataSource.clear();
                bind.txtUDL.clear();
                bind.txtConnection = s.dataSource;
            } else {
                form.SetDataSource(s.dataSourceType, s.dataSource);
            }
            if (options_.recordSourceType || options_.recordSource || options_.where || options_.order)
                form.SetRecordSource(s.recordSourceType, s.recordSource, s.where, s.order);
            form.cboParentKey = s.parentKey;
            form.cboChildKey = s.childKey;
            form.chkColumnHeaders = s.columnHeaders;
            form.chkAutoAdjustRowCount = s.autoAdjust;
        }
        form.Control_Change();
        accepted_ = form.cmdOK_Click();
    }

    void ThrowIfRefused() const {
        if (shown_ && accepted_) return;
        const std::string why = messages_.LastComplaint();
        const char* what = shown_ ? "The detail properties dialog refused the settings" : "The detail properties dialog did not open";
        throw CliError(why.empty() ? fmt::format("{}.", what) : fmt::format("{}: {}", what, why));
    }

private:
    const DetailOptions& options_;
    const DetailSettings& settings_;
    RecordedMessages& messages_;
    bool shown_ = false;
    bool accepted_ = false;
};

bool YesNo(const std::optional<std::string>& option, bool current) { return option ? *option == "yes" : current; }

int RunDetail(const DetailOptions& o, std::ostream& out) {
    CheckWriteTarget(o.templatePath, o.output, o.inPlace);
    if (!o.ChangesAnything())
        throw CliError("Give a setting to change (see paperloom design detail --help), or --clear.");
    if (o.dataSourceType.has_value() != o.dataSource.has_value())
        throw CliError("Give --data-source-type and --data-source together.");
    if (o.dataSourceType) {
        CheckDataSourceType(*o.dataSourceType);
        if (o.dataSource->empty()) throw CliError("--data-source is empty.");
    }
    for (const auto& [option, value] : {std::pair{"--record-source", &o.recordSource}, std::pair{"--where", &o.where},
                                        std::pair{"--order", &o.order}, std::pair{"--data-source", &o.dataSource},
                                        std::pair{"--parent-key", &o.parentKey}, std::pair{"--child-key", &o.childKey}})
        if (*value) CheckNoQuote(**value, option);

    DesignSession session(o.templatePath);
    auto& document = session.Document();
    if (!document.Bookmarks().Exists(o.table))
        throw CliError(fmt::format("{} has no bookmark \"{}\".", o.templatePath.string(), o.table));
    const auto tables = document.Bookmarks().Item(o.table).Range().Tables();
    if (tables.Count() == 0) throw CliError(fmt::format("The bookmark \"{}\" holds no table.", o.table));
    const word::Table table = tables.Item(1);

    // What the dialog opens with: the table's settings, the header's data source and credentials
    // where the table has none.
    const clsPLProperty prop;
    const std::string stored = prop.GetDetailProperties(table, document);
    auto value = [&](std::string_view key, std::string_view fallback = {}) {
        return prop.GetPropertyFromText(stored, key, fallback);
    };
    DetailSettings s;
    const bool ownSource = !value(K::PROP_DATA_SOURCE).empty();
    s.dataSourceType = ownSource ? value(K::PROP_DATA_SOURCE_TYPE) : session.Variable(K::PROP_DATA_SOURCE_TYPE);
    s.dataSource = ownSource ? value(K::PROP_DATA_SOURCE) : session.Variable(K::PROP_DATA_SOURCE);
    s.user = !ownSource && value(K::PROP_USER_NAME).empty() ? session.Variable(K::PROP_USER_NAME) : value(K::PROP_USER_NAME);
    s.password =
        !ownSource && value(K::PROP_PASSWORD).empty() ? session.Variable(K::PROP_PASSWORD) : value(K::PROP_PASSWORD);
    s.recordSourceType = o.recordSourceType.value_or(value(K::PROP_RECORD_SOURCE_TYPE));
    s.recordSource = o.recordSource.value_or(value(K::PROP_RECORD_SOURCE));
    s.where = o.where.value_or(value(K::PROP_RS_WHERE));
    s.order = o.order.value_or(value(K::PROP_RS_ORDER));
    s.parentKey = o.parentKey.value_or(value(K::PROP_PARENT_KEY));
    s.childKey = o.childKey.value_or(value(K::PROP_CHILD_KEY));
    s.columnHeaders = YesNo(o.columnHeaders, modPLFunction::TextToFlag(value(K::PROP_COLUMN_HEADERS, K::DEFAULT_COLUMN_HEADERS)));
    s.autoAdjust =
        YesNo(o.autoAdjust, modPLFunction::TextToFlag(value(K::PROP_AUTO_ADJUST_ROW_COUNT, K::DEFAULT_AUTO_ADJUST_ROW_COUNT)));
    // A database file opens as the dialog's connection string; a given one is named from the
    // folder the template goes to, a stored one stays as it is.
    const fs::path targetFolder = TargetFolder(o.templatePath, o.output, o.inPlace);
    std::string folder = session.Folder();
    if (o.dataSourceType) {
        std::tie(s.dataSourceType, s.dataSource) = TypedDataSource(*o.dataSourceType, *o.dataSource, targetFolder);
        folder = targetFolder.string();
    } else if (s.dataSourceType == K::DATA_SOURCE_DATABASE_FILE) {
        s.dataSourceType = K::DATA_SOURCE_CONNECTION_STRING;
        s.dataSource = std::string(K::DATABASE_FILE_PREFIX) + s.dataSource + std::string(K::DATABASE_FILE_SUFFIX);
    }

    if (!o.clear) {
        if (s.dataSource.empty())
            throw CliError(fmt::format("Neither the table {} nor the header names a data source: give --data-source-type "
                                       "and --data-source.",
                                       o.table));
        if (s.recordSource.empty())
            throw CliError(fmt::format("The table {} has no record source yet: give --record-source-type and "
                                       "--record-source.",
                                       o.table));
        CheckRecordSource(s.recordSourceType, s.recordSource, s.where, s.order);
        const auto detailFields = OpenedFields("detail ", s.dataSourceType, s.dataSource, s.user, s.password,
                                               s.recordSourceType, s.recordSource, s.where, s.order, folder);
        if (!s.childKey.empty()) CheckFieldOf(detailFields, s.childKey, "--child-key");
        if (!s.parentKey.empty()) {
            if (session.Variable(K::PROP_RECORD_SOURCE).empty())
                throw CliError(fmt::format("The template {} has no header binding for --parent-key to name a field of "
                                           "(paperloom design bind).",
                                           o.templatePath.string()));
            const auto headerFields = OpenedFields(
                "header ", session.Variable(K::PROP_DATA_SOURCE_TYPE), session.Variable(K::PROP_DATA_SOURCE),
                session.Variable(K::PROP_USER_NAME), session.Variable(K::PROP_PASSWORD),
                session.Variable(K::PROP_RECORD_SOURCE_TYPE), session.Variable(K::PROP_RECORD_SOURCE),
                session.Variable(K::PROP_RS_WHERE), session.Variable(K::PROP_RS_ORDER), session.Folder());
            CheckFieldOf(headerFields, s.parentKey, "--parent-key");
        }
    }

    auto at = table.Cell(1, 1).Range();
    at.Collapse(word::wdCollapseStart);
    document.Selection().Select(at);

    RecordedMessages messages;
    DetailForms forms(o, s, messages);
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    edit::EditCommands(session.Host(), dialogs).DetailProp();
    forms.ThrowIfRefused();

    const fs::path target = session.Save(o.templatePath, o.output, o.inPlace);
    const std::string written = prop.GetDetailProperties(table, document);
    if (o.clear) {
        out << "detail table " << o.table << ": settings removed\n";
    } else {
        out << "detail table " << o.table << ":\n";
        const std::string password = prop.GetPropertyFromText(written, K::PROP_PASSWORD, "");
        for (const auto key : kDetailKeys) {
            const std::string shown = key == K::PROP_PASSWORD ? (password.empty() ? "(none)" : "(set)")
                                                              : prop.GetPropertyFromText(written, key, "");
            out << "  " << key << ": " << host::ado::MaskPasswords(shown, {password}) << "\n";
        }
    }
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

class DetailCommand final : public DesignSubcommand {
public:
    explicit DetailCommand(CLI::App& design) {
        auto& o = options_;
        command_ = design.add_subcommand(
            "detail", "Set a detail table's binding, link keys and options (or --clear its binding)");
        command_->footer("Options not given keep the table's current settings; a table without a data source of its "
                         "own takes the header's.");
        command_->add_option("TEMPLATE", o.templatePath, "The template (.docx)")->required();
        command_->add_option("--table", o.table, "The bookmark that names the detail table")->required();
        auto* clear = command_->add_flag("--clear", o.clear, "Remove the table's binding, keys and options");
        const auto yesNo = CLI::IsMember({"yes", "no"});
        const std::vector<CLI::Option*> settings = {
            command_->add_option("--record-source-type", o.recordSourceType, "1 command text, 2 table, 4 stored procedure"),
            command_->add_option("--record-source", o.recordSource, "The detail table, procedure or statement"),
            command_->add_option("--where", o.where, "Filter of a table or procedure (\"\" for none)"),
            command_->add_option("--order", o.order, "Sort of a table or procedure (\"\" for none)"),
            command_->add_option("--data-source-type", o.dataSourceType,
                                 "1 ODBC data source, 2 connection string, 3 data link file, 4 database file"),
            command_->add_option("--data-source", o.dataSource, "The detail's own data source"),
            command_->add_option("--parent-key", o.parentKey, "The header field that links the detail rows"),
            command_->add_option("--child-key", o.childKey, "The detail field that matches the parent key"),
            command_->add_option("--column-headers", o.columnHeaders, "yes: row 1 is the caption row")->check(yesNo),
            command_->add_option("--auto-adjust", o.autoAdjust, "yes: the fill adjusts the table's row count")
                ->check(yesNo)};
        for (auto* setting : settings) setting->excludes(clear);
        AddWriteOptions(*command_, o.output, o.inPlace);
    }
    int Run(std::ostream& out) override { return RunDetail(options_, out); }

private:
    DetailOptions options_;
};

}  // namespace

void AddDetailCommands(CLI::App& design, DesignSubcommands& commands) {
    commands.push_back(std::make_unique<DetailCommand>(design));
}

}  // namespace paperloom::cli
