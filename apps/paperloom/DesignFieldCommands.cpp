// paperloom design field: the header field dialog answered from the command line. The field
// goes in place of the first occurrence of a text; when that text lies in a header field, the
// field is replaced, as the window does with the field at the cursor.

#include "CliError.h"
#include "DesignSession.h"
#include "DesignSubcommand.h"

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/EditForms.h"
#include "Edit/frmPLEHeadField.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"

#include <fmt/format.h>

#include <ostream>

namespace paperloom::cli {
namespace {

using namespace design;
namespace K = modPLConst;
namespace FC = modPLFieldCode;

struct FieldOptions {
    fs::path templatePath;
    fs::path output;
    bool inPlace = false;
    std::string at;
    std::string dataField;
    bool picture = false;
    std::string support;
    std::string formatType;
    std::string format;
};

// The switch of a --format-type: the switch itself or its plain name.
std::string FormatSwitch(const std::string& given) {
    for (const auto& [name, switchText] : {std::pair<std::string_view, std::string_view>{"number", FC::SWITCH_NUMBER},
                                           {"date", FC::SWITCH_DATE},
                                           {"text", FC::SWITCH_TEXT}})
        if (given == name || given == switchText) return std::string(switchText);
    throw CliError(fmt::format("--format-type must be \\# (number), \\@ (date) or \\* (text), not \"{}\".", given));
}

// The support field's caption, given as its caption or its keyword.
std::string SupportCaption(const std::string& given) {
    std::string list;
    for (const auto& entry : FC::GetSupportFields()) {
        if (given == entry.strCaption || given == entry.strKeyword) return std::string(entry.strCaption);
        list += fmt::format("{}{} ({})", list.empty() ? "" : ", ", entry.strCaption, entry.strKeyword);
    }
    throw CliError(fmt::format("--support \"{}\" is not a support field (support fields: {}).", given, list));
}

// Answers the header field dialog as a user would fill it, then presses OK.
class FieldForms final : public edit::EditForms {
public:
    FieldForms(const FieldOptions& options, std::string supportCaption, std::string formatSwitch)
        : options_(options), supportCaption_(std::move(supportCaption)), switch_(std::move(formatSwitch)) {}

    void ShowHeadField(frmPLEHeadField& form) override {
        shown_ = true;
        if (!options_.dataField.empty()) {
            form.optFieldType_Click(frmPLEHeadField::OPT_DATA_FIELD);
            form.cboDataField = options_.dataField;
            form.chkPictureData_Click(options_.picture);
        } else {
            form.optFieldType_Click(frmPLEHeadField::OPT_SUPPORT_FIELD);
            form.cboSupportField = supportCaption_;
        }
        form.Control_Change();
        // Every setting is given whole: a field replaced loses a format not given again.
        form.cboFormatType_Click(FC::FormatTypeToIndex(switch_));
        if (form.cboFormatEnabled) form.cboFormat = options_.format;
        form.cmdOK_Click();
    }
    void ShowDBBind(clsPLEBindForm&) override {}
    void ShowDetailInsert(frmPLEDetailInsert&) override {}
    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowSort(clsPLSortEditor&) override {}
    void ShowConnectionEditor(edit::ConnectionEditor&) override {}
    void ShowDataLinkEditor(edit::DataLinkEditor&) override {}
    void Unload() override {}
    bool Shown() const { return shown_; }

private:
    const FieldOptions& options_;
    std::string supportCaption_;
    std::string switch_;
    bool shown_ = false;
};

class DesignFieldCommand final : public DesignSubcommand {
public:
    explicit DesignFieldCommand(CLI::App& design) {
        command_ = design.add_subcommand("field", "Place a header field (a data field or a support field) in place of a "
                                              "text, or replace the header field that text lies in");
        auto& o = options_;
        command_->add_option("TEMPLATE", o.templatePath, "The template (.docx)")->required();
        command_->add_option("--at", o.at, "The text the field replaces (its first occurrence: main text, text boxes, "
                                       "headers and footers); in a header field, that field is replaced")
            ->required();
        command_->add_option("--data-field", o.dataField, "A field of the header's record source");
        command_->add_flag("--picture", o.picture, "Show the data field as a picture (its value names the picture file)");
        command_->add_option("--support", o.support,
                         "A support field: レコード番号 (RecordIndex), 抽出番号 (SequenceIndex), 明細ページ番号 "
                         "(DetailPage) or 明細ページ最大番号 (DetailPageMax)");
        command_->add_option("--format-type", o.formatType, "\\# (number), \\@ (date) or \\* (text)");
        command_->add_option("--format", o.format, "The picture, such as \"#,##0\", \"gge年M月d日\" or \"Upper\"");
        AddWriteOptions(*command_, o.output, o.inPlace);
    }


    int Run(std::ostream& out) override {
        const auto& o = options_;
        CheckWriteTarget(o.templatePath, o.output, o.inPlace);
        if (o.at.empty()) throw CliError("--at is empty: give the text the field replaces.");
        if (o.dataField.empty() == o.support.empty())
            throw CliError("Give either --data-field NAME or --support CAPTION.");
        if (o.picture && o.dataField.empty()) throw CliError("--picture goes with --data-field.");
        const std::string supportCaption = o.support.empty() ? std::string() : SupportCaption(o.support);
        if (!o.format.empty() && o.formatType.empty()) throw CliError("--format needs --format-type.");
        if (!o.formatType.empty() && o.format.empty()) throw CliError("--format-type needs --format (the picture).");
        const std::string formatSwitch = o.formatType.empty() ? std::string() : FormatSwitch(o.formatType);
        if (o.picture && !formatSwitch.empty()) throw CliError("A picture field takes no --format-type.");
        // The picture is written between double quotes, so it cannot hold one.
        if (o.format.find('"') != std::string::npos) throw CliError("--format cannot contain a double quote.");

        DesignSession session(o.templatePath);
        if (!o.dataField.empty()) {
            if (session.Variable(K::PROP_DATA_SOURCE).empty() || session.Variable(K::PROP_RECORD_SOURCE).empty())
                throw CliError(fmt::format("The template {} has no header binding; a data field is a field of the "
                                           "header's record source, so bind it first (paperloom design bind).",
                                           o.templatePath.string()));
            const auto fields = OpenedFields(
                "header ", session.Variable(K::PROP_DATA_SOURCE_TYPE), session.Variable(K::PROP_DATA_SOURCE),
                session.Variable(K::PROP_USER_NAME), session.Variable(K::PROP_PASSWORD),
                session.Variable(K::PROP_RECORD_SOURCE_TYPE), session.Variable(K::PROP_RECORD_SOURCE),
                session.Variable(K::PROP_RS_WHERE), session.Variable(K::PROP_RS_ORDER), session.Folder());
            CheckFieldOf(fields, o.dataField, "--data-field");
        }
        const auto placeholder = FindPlaceholder(session.Document(), o.at);
        if (!placeholder)
            throw CliError(fmt::format("\"{}\" does not occur in {} (main text, text boxes, headers and footers).",
                                       o.at, o.templatePath.string()));
        session.Document().Selection().Select(*placeholder);

        RecordedMessages messages;
        FieldForms forms(o, supportCaption, formatSwitch);
        const edit::ScopedEditForms scoped(&forms);
        edit::EditDialogs dialogs;
        const auto field = edit::EditCommands(session.Host(), dialogs).HeadField();
        if (!forms.Shown() || !field) throw CliError("The header field dialog wrote no field.");
        auto code = field->Code();
        code.TextRetrievalMode().SetIncludeFieldCodes(true);
        const std::string written = code.Text();

        const fs::path target = session.Save(o.templatePath, o.output, o.inPlace);
        out << fmt::format("header field {{ {} }} at \"{}\"\n", written, o.at);
        out << "written: " << target.string() << "\n";
        return exitcode::ok;
    }

private:
    FieldOptions options_;
};

}  // namespace

void AddFieldCommands(CLI::App& design, DesignSubcommands& commands) {
    commands.push_back(std::make_unique<DesignFieldCommand>(design));
}

}  // namespace paperloom::cli
