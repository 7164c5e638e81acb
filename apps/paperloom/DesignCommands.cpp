#include "DesignCommands.h"

#include "CliError.h"
#include "OutputPath.h"

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

namespace fs = std::filesystem;
namespace K = modPLConst;

// Rows a detail table can have besides its header row.
constexpr long kMaxRows = 32766;
constexpr std::size_t kMaxColumns = 63;

bool IsOneOf(const std::string& value, std::initializer_list<std::string_view> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

void CheckDataSourceType(const std::string& type) {
    if (!IsOneOf(type, {"1", "2", "3", "4"}))
        throw CliError(fmt::format("--data-source-type must be 1 (ODBC data source), 2 (connection string), 3 (data "
                                   "link file) or 4 (database file), not \"{}\".",
                                   type));
}

void CheckRecordSource(const std::string& type, const std::string& source, const std::string& where,
                       const std::string& order) {
    if (!IsOneOf(type, {"1", "2", "4"}))
        throw CliError(fmt::format("--record-source-type must be 1 (command text), 2 (table) or 4 (stored procedure), "
                                   "not \"{}\".",
                                   type));
    if (source.empty()) throw CliError("--record-source is empty.");
    // The dialog keeps no filter or sort beside a command text; it would be dropped unseen.
    if (type == K::RECORD_SOURCE_TEXT && (!where.empty() || !order.empty()))
        throw CliError("--where and --order go with a table or stored procedure (--record-source-type 2 or 4); write "
                       "them into the command text instead.");
}

// The data source as the user would have entered it in the data bind dialog. A database file
// (type 4, named relative to the current folder) becomes the dialog's connection string (type 2),
// its path relative to the folder the template is written to when the file lies there or below,
// so the two can move together (the run-time resolves it against the template's folder); a data
// link file is named by its full path.
std::pair<std::string, std::string> TypedDataSource(const std::string& type, const std::string& source,
                                                    const fs::path& targetFolder) {
    if (source.empty()) return {type, source};
    if (type == K::DATA_SOURCE_DATABASE_FILE) {
        const fs::path file = fs::absolute(source).lexically_normal();
        const fs::path relative = file.lexically_relative(targetFolder);
        const bool inside = !relative.empty() && *relative.begin() != "..";
        return {std::string(K::DATA_SOURCE_CONNECTION_STRING),
                std::string(K::DATABASE_FILE_PREFIX) + (inside ? relative : file).string() +
                    std::string(K::DATABASE_FILE_SUFFIX)};
    }
    if (type == K::DATA_SOURCE_DATA_LINK) return {type, fs::absolute(source).lexically_normal().string()};
    return {type, source};
}

// The folder the command writes the template into.
fs::path TargetFolder(const fs::path& templatePath, const fs::path& output, bool inPlace) {
    return fs::absolute(inPlace ? templatePath : output).lexically_normal().parent_path();
}

void CheckWriteTarget(const fs::path& templatePath, const fs::path& output, bool inPlace) {
    if (inPlace && !output.empty()) throw CliError("Give either -o or --in-place, not both.");
    if (!inPlace && output.empty())
        throw CliError("Give -o OUT.docx to write a changed copy, or --in-place to change the template itself.");
    if (!inPlace) CheckOutput(templatePath, output, "-o", true);
}

// Opens the data source and the record source once, as the run-time will, and returns the
// record source's field names; CliError saying what does not open. `what` ("header ", "detail "
// or "") begins the message.
std::vector<std::string> OpenedFields(const std::string& what, const std::string& dataSourceType,
                                      const std::string& dataSource, const std::string& user,
                                      const std::string& password, const std::string& recordSourceType,
                                      const std::string& recordSource, const std::string& where,
                                      const std::string& order, const std::string& folder) {
    const auto connection = modPLFunction::TryOpenConnection(dataSourceType, dataSource, user, password, folder);
    if (!connection.connection)
        throw CliError(fmt::format("The {}data source does not open: {}", what,
                                   connection.error ? host::ado::MaskPasswords(connection.error->Description(), {password})
                                                    : std::string("it names nothing to connect to.")));
    const auto records = modPLFunction::TryOpenRecordset(connection.connection, recordSourceType, recordSource, where,
                                                         order, "", "");
    std::vector<std::string> names;
    if (records.recordset) {
        const auto fields = records.recordset->Fields();
        for (long i = 0; i < fields.Count(); ++i) names.push_back(fields.Item(i).Name());
        records.recordset->Close();
    }
    connection.connection->Close();
    if (!records.recordset)
        throw CliError(fmt::format("The {}record source \"{}\" does not open: {}", what, recordSource,
                                   records.error ? host::ado::MaskPasswords(records.error->Description(), {password})
                                                 : std::string("it returns no records.")));
    return names;
}

void CheckFieldOf(const std::vector<std::string>& fields, const std::string& field, const std::string& what) {
    if (std::find(fields.begin(), fields.end(), field) != fields.end()) return;
    std::string list;
    for (const auto& name : fields) list += (list.empty() ? "" : ", ") + name;
    throw CliError(fmt::format("{} \"{}\" is not a field of its record source (fields: {}).", what, field, list));
}

// The boxes the dialogs showed while a command ran, answered as a cautious user would (or as
// queued); the last error or warning among them tells why a dialog stayed open.
class RecordedMessages {
public:
    RecordedMessages() : service_(std::make_shared<ui::HeadlessMessageService>(log_)) {
        ui::UiServices services;
        services.messages = service_;
        scope_.emplace(std::move(services));
    }
    void QueueAnswer(long answer) { service_->QueueAnswer(answer); }
    std::string LastComplaint() const {
        for (auto shown = service_->Shown().rbegin(); shown != service_->Shown().rend(); ++shown)
            if (shown->request.icon != ui::MessageIcon::Question) return shown->request.strText;
        return {};
    }

private:
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> service_;
    std::optional<ui::ScopedServices> scope_;
};

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

// The template open in an application of its own. No add-in is connected (so nothing is
// refreshed) and the host is never started, so no configuration is read or written.
class DesignSession {
public:
    explicit DesignSession(const fs::path& templatePath)
        : host_(std::make_shared<word::Application>(), word::UserConfigFolder()) {
        CheckTemplate(templatePath);
        try {
            document_ = host_.Application().Documents().Open(fs::absolute(templatePath));
        } catch (const host::HostError& error) {
            throw CliError(fmt::format("The template {} cannot be read: {}", templatePath.string(), error.Description()));
        }
    }
    ~DesignSession() {
        try {
            if (document_ && !document_->Closed()) document_->Close(word::wdDoNotSaveChanges);
        } catch (...) {
            // Nothing was saved; closing only frees it.
        }
    }
    DesignSession(const DesignSession&) = delete;
    DesignSession& operator=(const DesignSession&) = delete;

    word::AddInHost& Host() { return host_; }
    word::Document& Document() { return *document_; }
    std::string Folder() { return modPLFunction::ActiveDocumentFolder(host_.Application()); }
    std::string Variable(std::string_view name) const { return clsPLProperty().GetDocVariable(name, *document_, ""); }

    // Saves atomically to the template itself or to the copy.
    fs::path Save(const fs::path& templatePath, const fs::path& output, bool inPlace) {
        const fs::path target = fs::absolute(inPlace ? templatePath : output);
        document_->SaveAs(target);
        return target;
    }

private:
    word::AddInHost host_;
    std::shared_ptr<word::Document> document_;
};

std::optional<word::Range> FindIn(word::Range range, const std::string& text) {
    auto find = range.Find();
    find.ClearFormatting();
    find.SetText(text);
    if (find.Execute()) return range;
    return std::nullopt;
}

std::optional<word::Range> FindInShapes(const word::Shapes& shapes, const std::string& text) {
    for (const auto& shape : shapes) {
        std::vector<word::Shape> parts;
        if (shape.Type() == word::msoGroup)
            for (const auto& item : shape.GroupItems()) parts.push_back(item);
        else
            parts.push_back(shape);
        for (const auto& part : parts) {
            const auto frame = part.TextFrame();
            if (!frame.HasText()) continue;
            if (auto found = FindIn(frame.TextRange(), text)) return found;
        }
    }
    return std::nullopt;
}

// The first occurrence of the text: main text, its text boxes, then headers and footers (and
// their text boxes).
std::optional<word::Range> FindPlaceholder(word::Document& document, const std::string& text) {
    if (auto found = FindIn(document.Content(), text)) return found;
    if (auto found = FindInShapes(document.Shapes(), text)) return found;
    const auto section = document.Sections().First();
    for (const auto& parts : {section.Headers(), section.Footers()})
        for (long index = 1; index <= parts.Count(); ++index) {
            const auto part = parts.Item(index);
            if (!part.Exists()) continue;
            if (auto found = FindIn(part.Range(), text)) return found;
            if (auto found = FindInShapes(part.Shapes(), text)) return found;
        }
    return std::nullopt;
}

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
