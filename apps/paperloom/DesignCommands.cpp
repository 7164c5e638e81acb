#include "DesignCommands.h"

#include "CliError.h"
#include "DesignSession.h"

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/EditForms.h"
#include "Edit/clsPLEBindForm.h"
#include "Edit/frmPLEDetailInsert.h"
#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/PasswordMask.h"
#include "host/ado/Recordset.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/AddInHost.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <ostream>
#include <sstream>

namespace paperloom::cli {
namespace {

using namespace design;

namespace fs = std::filesystem;
namespace K = modPLConst;

// The designer's dialogs answered from the command line: each Show fills the model as a user
// would, then presses OK through the model, whose checks apply unchanged.
class ScriptedForms final : public edit::EditForms {
public:
    explicit ScriptedForms(RecordedMessages& messages) : messages_(messages) {}

    // Page 1 / the bind dialog. Empty data-source texts keep what the command preset.
    struct Binding {
        bool clear = false;
        std::string dataSourceType, dataSource;
        std::optional<std::string> user, password;
        std::string recordSourceType, recordSource, where, order;
    };
    Binding binding;
    const DesignInsertDetailCommand* detail = nullptr;

    void ShowDBBind(clsPLEBindForm& form) override {
        if (binding.clear) {
            form.SetDataSource(K::DATA_SOURCE_ODBC, "");
            form.txtUserName.clear();
            form.txtPassword.clear();
            form.SetRecordSource(K::RECORD_SOURCE_TABLE, "", "", "");
            // OK on an empty dialog asks whether to go on without a data source and without a
            // record source: yes to both.
            messages_.QueueAnswer(ui::vbYes);
            messages_.QueueAnswer(ui::vbYes);
        } else {
            if (binding.dataSourceType == K::DATA_SOURCE_CONNECTION_STRING) {
                // Typed into the box, as given: a preset would make a relative database path absolute.
                form.optDataSource_Click(clsPLEBindForm::OPT_DS_CONNECTION);
                form.cboDataSource.clear();
                form.txtUDL.clear();
                form.txtConnection = binding.dataSource;
            } else if (!binding.dataSource.empty()) {
                form.SetDataSource(binding.dataSourceType, binding.dataSource);
            }
            if (binding.user) form.txtUserName = *binding.user;
            if (binding.password) form.txtPassword = *binding.password;
            form.SetRecordSource(binding.recordSourceType, binding.recordSource, binding.where, binding.order);
        }
        form.Control_Change();
        if (!form.cmdOK_Click()) refused_ = true;
    }

    void ShowDetailInsert(frmPLEDetailInsert& form) override {
        if (!detail) return;
        form.cboParentKey = detail->parentKey;
        form.cboChildKey = detail->childKey;
        form.cboRowCount = std::to_string(detail->rows);
        form.txtBookmark = detail->bookmark;
        for (const auto& column : detail->columns) {
            // Nothing selected among the columns: each new one goes to the end.
            for (auto& shown : form.lstColumns) shown.blnSelected = false;
            if (column.field.empty()) {
                form.cmdField_Click(frmPLEDetailInsert::CMD_ADD_EMPTY);
                continue;
            }
            for (auto& entry : form.lstDataFields) entry.blnSelected = entry.strText == column.field;
            form.cmdField_Click(frmPLEDetailInsert::CMD_ADD_SELECTED);
        }
        form.Control_Change();
        if (!form.cmdOK_Click()) refused_ = true;
    }

    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowSort(clsPLSortEditor&) override {}
    void ShowConnectionEditor(edit::ConnectionEditor&) override {}
    void ShowDataLinkEditor(edit::DataLinkEditor&) override {}
    void Unload() override {}

    // CliError with the dialog's own message when a dialog refused its OK.
    void ThrowIfRefused() const {
        if (!refused_) return;
        const std::string why = messages_.LastComplaint();
        throw CliError(why.empty() ? std::string("The dialog refused the settings.")
                                   : fmt::format("The dialog refused the settings: {}", why));
    }

private:
    RecordedMessages& messages_;
    bool refused_ = false;
};

}  // namespace

int Run(const DesignBindCommand& command, std::ostream& out) {
    CheckWriteTarget(command.templatePath, command.output, command.inPlace);
    const fs::path targetFolder = TargetFolder(command.templatePath, command.output, command.inPlace);
    if (!command.clear) {
        CheckDataSourceType(command.dataSourceType);
        if (command.dataSource.empty()) throw CliError("--data-source is empty.");
        CheckRecordSource(command.recordSourceType, command.recordSource, command.where, command.order);
    }
    const auto [dataSourceType, dataSource] = TypedDataSource(command.dataSourceType, command.dataSource, targetFolder);
    DesignSession session(command.templatePath);
    if (!command.clear)
        OpenedFields("header ", dataSourceType, dataSource, command.user, command.password, command.recordSourceType,
                     command.recordSource, command.where, command.order, targetFolder.string());

    RecordedMessages messages;
    ScriptedForms forms(messages);
    forms.binding = {command.clear,           dataSourceType,       dataSource,    command.user, command.password,
                     command.recordSourceType, command.recordSource, command.where, command.order};
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    edit::EditCommands(session.Host(), dialogs).HeadBind();
    forms.ThrowIfRefused();

    const fs::path target = session.Save(command.templatePath, command.output, command.inPlace);
    if (command.clear) {
        out << "header binding removed\n";
    } else {
        out << "header binding:\n";
        for (const auto key : {K::PROP_DATA_SOURCE_TYPE, K::PROP_DATA_SOURCE, K::PROP_USER_NAME, K::PROP_RECORD_SOURCE_TYPE,
                               K::PROP_RECORD_SOURCE, K::PROP_RS_WHERE, K::PROP_RS_ORDER})
            out << "  " << key << ": " << host::ado::MaskPasswords(session.Variable(key), {command.password}) << "\n";
        out << "  " << K::PROP_PASSWORD << ": " << (session.Variable(K::PROP_PASSWORD).empty() ? "(none)" : "(set)")
            << "\n";
    }
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

int Run(const DesignInsertDetailCommand& command, std::ostream& out) {
    CheckWriteTarget(command.templatePath, command.output, command.inPlace);
    if (command.at.empty()) throw CliError("--at is empty: give the text the table replaces.");
    if (command.dataSourceType.empty() != command.dataSource.empty())
        throw CliError("Give --data-source-type and --data-source together (or neither, for the header's data source).");
    if (!command.dataSourceType.empty()) CheckDataSourceType(command.dataSourceType);
    CheckRecordSource(command.recordSourceType, command.recordSource, command.where, command.order);
    if (command.rows < 1 || command.rows > kMaxRows)
        throw CliError(fmt::format("--rows must be from 1 to {}, not {}.", kMaxRows, command.rows));
    if (!word::Bookmarks::IsValidName(command.bookmark))
        throw CliError(fmt::format("--bookmark \"{}\" is not a bookmark name: 1 to 40 letters, digits and underscores, "
                                   "beginning with a letter.",
                                   command.bookmark));
    if (command.columns.empty()) throw CliError("Give at least one --column or --caption-column.");
    if (command.columns.size() > kMaxColumns)
        throw CliError(fmt::format("A detail table has at most {} columns, not {}.", kMaxColumns, command.columns.size()));
    for (std::size_t i = 0; i < command.columns.size(); ++i)
        for (std::size_t j = i + 1; j < command.columns.size(); ++j)
            if (!command.columns[i].field.empty() && command.columns[i].field == command.columns[j].field)
                throw CliError(fmt::format("--column {} is given twice; a field fills one column.", command.columns[i].field));

    DesignSession session(command.templatePath);
    const std::string folder = session.Folder();
    const fs::path targetFolder = TargetFolder(command.templatePath, command.output, command.inPlace);
    if (session.Variable(K::PROP_DATA_SOURCE).empty() || session.Variable(K::PROP_RECORD_SOURCE).empty())
        throw CliError(fmt::format("The template {} has no header binding; the parent key is a field of the header's "
                                   "record source, so bind it first (paperloom design bind).",
                                   command.templatePath.string()));
    const auto headerFields =
        OpenedFields("header ", session.Variable(K::PROP_DATA_SOURCE_TYPE), session.Variable(K::PROP_DATA_SOURCE),
                     session.Variable(K::PROP_USER_NAME), session.Variable(K::PROP_PASSWORD),
                     session.Variable(K::PROP_RECORD_SOURCE_TYPE), session.Variable(K::PROP_RECORD_SOURCE),
                     session.Variable(K::PROP_RS_WHERE), session.Variable(K::PROP_RS_ORDER), folder);
    CheckFieldOf(headerFields, command.parentKey, "--parent-key");

    const bool ownSource = !command.dataSource.empty();
    const auto [typedType, typedSource] = TypedDataSource(command.dataSourceType, command.dataSource, targetFolder);
    const std::string dataSourceType = ownSource ? typedType : session.Variable(K::PROP_DATA_SOURCE_TYPE);
    const std::string dataSource = ownSource ? typedSource : session.Variable(K::PROP_DATA_SOURCE);
    const auto detailFields = OpenedFields(
        "detail ", dataSourceType, dataSource, session.Variable(K::PROP_USER_NAME), session.Variable(K::PROP_PASSWORD),
        command.recordSourceType, command.recordSource, command.where, command.order,
        ownSource ? targetFolder.string() : folder);
    CheckFieldOf(detailFields, command.childKey, "--child-key");
    for (const auto& column : command.columns)
        if (!column.field.empty()) CheckFieldOf(detailFields, column.field, "--column");
    if (session.Document().Bookmarks().Exists(command.bookmark))
        throw CliError(fmt::format("The template already has a bookmark \"{}\"; choose another --bookmark.", command.bookmark));

    const auto placeholder = FindPlaceholder(session.Document(), command.at);
    if (!placeholder)
        throw CliError(fmt::format("\"{}\" does not occur in {} (main text, text boxes, headers and footers).",
                                   command.at, command.templatePath.string()));
    session.Document().Selection().Select(*placeholder);

    RecordedMessages messages;
    ScriptedForms forms(messages);
    // The header's data source as stored, so a relative database path stays relative in the table.
    forms.binding.dataSourceType = dataSourceType;
    forms.binding.dataSource = dataSource;
    if (dataSourceType == K::DATA_SOURCE_DATABASE_FILE) {
        forms.binding.dataSourceType = K::DATA_SOURCE_CONNECTION_STRING;
        forms.binding.dataSource =
            std::string(K::DATABASE_FILE_PREFIX) + dataSource + std::string(K::DATABASE_FILE_SUFFIX);
    }
    forms.binding.recordSourceType = command.recordSourceType;
    forms.binding.recordSource = command.recordSource;
    forms.binding.where = command.where;
    forms.binding.order = command.order;
    forms.detail = &command;
    const edit::ScopedEditForms scoped(&forms);
    edit::EditDialogs dialogs;
    const auto table = edit::EditCommands(session.Host(), dialogs).DetailInsert();
    forms.ThrowIfRefused();
    if (!table) throw CliError("The wizard inserted no table.");
    for (std::size_t i = 0; i < command.columns.size(); ++i)
        if (command.columns[i].caption)
            edit::EditCommands::SetColumnCaption(*table, static_cast<long>(i) + 1, *command.columns[i].caption);

    const fs::path target = session.Save(command.templatePath, command.output, command.inPlace);
    out << fmt::format("detail table {} in place of \"{}\": {} column{}, {} data row{}\n", command.bookmark, command.at,
                       command.columns.size(), command.columns.size() == 1 ? "" : "s", command.rows,
                       command.rows == 1 ? "" : "s");
    out << "written: " << target.string() << "\n";
    return exitcode::ok;
}

int RunDesignSources(std::ostream& out) {
    clsPLEBindForm form;
    form.cboDataSource_DropDown();
    for (const auto& name : form.cboDataSourceList) out << name << "\n";
    return exitcode::ok;
}

int Run(const DesignFieldsCommand& command, std::ostream& out) {
    CheckDataSourceType(command.dataSourceType);
    if (command.dataSource.empty()) throw CliError("--data-source is empty.");
    CheckRecordSource(command.recordSourceType, command.recordSource, "", "");
    const std::string folder = fs::current_path().string();
    const auto [dataSourceType, dataSource] = TypedDataSource(command.dataSourceType, command.dataSource, folder);
    // Says what does not open; the wizard's list itself stays silent about it.
    OpenedFields("", dataSourceType, dataSource, "", "", command.recordSourceType, command.recordSource, "", "", folder);
    frmPLEDetailInsert wizard;
    wizard.Init(nullptr, folder);
    wizard.AddFields(dataSourceType, dataSource, "", "", command.recordSourceType, command.recordSource);
    for (const auto& field : wizard.lstDataFields) out << field.strText << "\n";
    return exitcode::ok;
}

}  // namespace paperloom::cli
