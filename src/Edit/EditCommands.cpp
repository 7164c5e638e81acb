#include "Edit/EditCommands.h"

#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "Edit/EditForms.h"
#include "Edit/modPLEFunction.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/Dispatch.h"

namespace paperloom::edit {
namespace {

namespace K = modPLConst;

constexpr std::string_view kHeadBindCaption = "基本データ部のデータ バインド";

// The header binding, in the order the commands write it.
constexpr std::array<std::string_view, 8> kBindingKeys = {
    K::PROP_DATA_SOURCE_TYPE, K::PROP_DATA_SOURCE, K::PROP_USER_NAME,  K::PROP_PASSWORD,
    K::PROP_RECORD_SOURCE_TYPE, K::PROP_RECORD_SOURCE, K::PROP_RS_WHERE, K::PROP_RS_ORDER};

// The largest table the document model makes.
constexpr long kMaxColumns = 63;

std::string DocVariable(word::Document& doc, std::string_view name, std::string_view fallback = {}) {
    return clsPLProperty().GetDocVariable(name, doc, fallback);
}

// What page 1 of the wizard (or the bind dialog) answered, in the binding's key order.
std::array<std::string, 8> BindingOf(const clsPLEBindForm& form) {
    return {std::to_string(form.GetDataSourceType()), form.GetDataSource(),
            form.txtUserName,                         form.txtPassword,
            std::to_string(form.GetRecordSourceType()), form.GetRecordSource(),
            form.GetRSWhere(),                        form.GetRSOrder()};
}

// Closes a connection the command opened; a failure to close does not end the command.
void CloseQuietly(const std::shared_ptr<host::ado::Connection>& connection) noexcept {
    if (!connection) return;
    try {
        connection->Close();
    } catch (...) {
        debuglog::Swallowed("EditCommands.cpp: closing the header connection");
    }
}

// The texts the new detail table carries: each header cell's hidden property text (in column 1
// the table's set followed by the column's, in the others the column's set, empty for a
// column without content) and each column's caption. Built before the document is touched, so
// a value the property text cannot hold leaves the document as it was.
struct DetailTableTexts {
    std::vector<std::string> strHidden;
    std::vector<std::string> strCaptions;
};

DetailTableTexts MakeDetailTableTexts(const std::array<std::string, 8>& binding, const frmPLEDetailInsert& wizard) {
    const clsPLProperty prop;
    std::string strTable;
    for (std::size_t i = 0; i < kBindingKeys.size(); ++i) prop.SetPropertyToText(strTable, kBindingKeys[i], binding[i]);
    prop.SetPropertyToText(strTable, K::PROP_PARENT_KEY, wizard.cboParentKey);
    prop.SetPropertyToText(strTable, K::PROP_CHILD_KEY, wizard.cboChildKey);
    prop.SetPropertyToText(strTable, K::PROP_COLUMN_HEADERS, K::FLAG_TRUE);
    prop.SetPropertyToText(strTable, K::PROP_AUTO_ADJUST_ROW_COUNT, K::FLAG_FALSE);
    DetailTableTexts texts;
    for (long column = 1; column <= wizard.ColumnCount(); ++column) {
        std::string strColumn = column == 1 ? strTable : std::string();
        if (const int fieldType = wizard.GetFieldType(column); fieldType != 0) {
            prop.SetPropertyToText(strColumn, K::PROP_FIELD_TYPE, std::to_string(fieldType));
            prop.SetPropertyToText(strColumn, K::PROP_DATA_FIELD, wizard.GetDataField(column));
            prop.SetPropertyToText(strColumn, K::PROP_FORMAT_TYPE, "");
            prop.SetPropertyToText(strColumn, K::PROP_FORMAT, "");
        }
        texts.strHidden.push_back(std::move(strColumn));
        texts.strCaptions.push_back(wizard.GetCaption(column));
    }
    return texts;
}

// A statistics field's code begins with "quote Statistics" in any letter case (blanks before it
// are the word processor's own).
bool IsStatisticsCode(std::string_view strCode) {
    constexpr std::string_view kHead = "quote statistics";
    const auto start = strCode.find_first_not_of(" \t");
    if (start == std::string_view::npos || strCode.size() - start < kHead.size()) return false;
    for (std::size_t i = 0; i < kHead.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(strCode[start + i])) != kHead[i]) return false;
    return true;
}

}  // namespace

void EditDialogs::Unload() noexcept {
    try {
        if (EditForms* forms = LoadedEditForms()) forms->Unload();
    } catch (...) {
        debuglog::Swallowed("EditCommands.cpp: EditDialogs::Unload");
    }
}

std::shared_ptr<word::Document> EditCommands::ActiveDocument() const {
    return mHost.Application().ActiveDocument();
}

bool EditCommands::RefreshRunTime(std::string_view strMethod) {
    const word::COMAddIn* runTime = mHost.COMAddIns().Find(K::RUN_PROGID);
    if (!runTime || !runTime->Connect()) return false;
    const word::DispValue controller = word::Invoke(runTime->Object(), "Controller");
    word::DispArgs args{word::DispValue(ActiveDocument())};
    word::Invoke(controller.AsDispatch(), strMethod, args);
    return true;
}

void EditCommands::SetColumnCaption(const word::Table& tblTarget, long lngColumn, std::string_view strCaption) {
    const clsPLRange ranges;
    ranges.ClearNotHiddenText(tblTarget.Cell(1, lngColumn).Range());
    auto cell = tblTarget.Cell(1, lngColumn).Range();
    ranges.AppendText(strCaption, cell);
}

void EditCommands::HeadBind() {
    const auto doc = ActiveDocument();
    auto& form = mDialogs.frmPLEDBBind;
    form.Init(kHeadBindCaption, clsPLEBindForm::kOKCaption, true,
              modPLFunction::ActiveDocumentFolder(mHost.Application()));
    form.SetDataSource(DocVariable(*doc, K::PROP_DATA_SOURCE_TYPE), DocVariable(*doc, K::PROP_DATA_SOURCE));
    form.txtUserName = DocVariable(*doc, K::PROP_USER_NAME);
    form.txtPassword = DocVariable(*doc, K::PROP_PASSWORD);
    form.SetRecordSource(DocVariable(*doc, K::PROP_RECORD_SOURCE_TYPE), DocVariable(*doc, K::PROP_RECORD_SOURCE),
                         DocVariable(*doc, K::PROP_RS_WHERE), DocVariable(*doc, K::PROP_RS_ORDER));
    if (!form.DoModal() || !form.IsDirty()) return;

    if (form.IsCleared()) {
        const clsPLProperty prop;
        for (const auto key : kBindingKeys) prop.DeleteDocVariable(key, *doc);
    } else {
        const auto values = BindingOf(form);
        auto variables = doc->Variables();
        for (std::size_t i = 0; i < kBindingKeys.size(); ++i) variables.SetValue(kBindingKeys[i], values[i]);
    }
    RefreshRunTime("RebindHeader");
    RefreshRunTime("UpdateView");
}

std::optional<word::Field> EditCommands::HeadField() {
    const auto doc = ActiveDocument();
    const auto selection = doc->Selection();
    auto found = modPLEFunction::GetDataFieldAtCursor(word::FieldsOf(*doc), selection);
    if (!found) found = modPLEFunction::FindFieldInShapes(doc->Shapes(), selection, modPLEFunction::GetDataFieldAtCursor);

    auto& form = mDialogs.frmPLEHeadField;
    const auto header = modPLFunction::ConnectHeaderDataSource(*doc);
    form.Init();
    form.AddDataFields(header, DocVariable(*doc, K::PROP_RECORD_SOURCE_TYPE), DocVariable(*doc, K::PROP_RECORD_SOURCE));
    CloseQuietly(header);
    form.SetFieldData(found);
    if (!form.DoModal() || !form.IsDirty()) return std::nullopt;
    // Nothing to write (no field name): the field found stays as it was.
    const std::string code = form.MakeFieldCode();
    if (code.empty()) return std::nullopt;

    if (found) found->Delete();
    const auto where = doc->Selection().Range();
    auto field = word::FieldsOf(where).Add(where, word::wdFieldEmpty, code);
    field.Update();
    RefreshRunTime("UpdateHeader");
    return field;
}

std::optional<word::Field> EditCommands::Statistics() {
    const auto doc = ActiveDocument();
    const auto selection = doc->Selection();
    auto found = modPLEFunction::GetCalcFieldAtCursor(word::FieldsOf(*doc), selection);
    if (!found) found = modPLEFunction::FindFieldInShapes(doc->Shapes(), selection, modPLEFunction::GetCalcFieldAtCursor);
    if (found && !IsStatisticsCode(modPLEFunction::FieldCodeText(*found))) {
        modPLFunction::ShowCriticalMessage(K::MSG_NOT_STATISTICS_FIELD, K::EDIT_APP_TITLE);
        return std::nullopt;
    }

    auto& form = mDialogs.frmPLEStatistics;
    form.AddBookmarks(doc);
    form.Init(found);
    if (!form.DoModal() || !form.IsDirty()) return std::nullopt;

    if (found) found->Delete();
    const auto where = doc->Selection().Range();
    auto field = word::FieldsOf(where).Add(where, word::wdFieldEmpty);
    form.SetFieldCode(field);
    field.Update();
    RefreshRunTime("UpdateHeader");
    return field;
}

bool EditCommands::Formula() {
    const auto doc = ActiveDocument();
    auto& form = mDialogs.frmPLECalculator;
    form.DoModal(doc);
    if (form.txtCalc.empty()) return false;
    auto selection = doc->Selection();
    // With the cursor inside the formula field the calculator showed, the new formula takes its
    // place instead of going inside it (a field of another kind stays).
    if (auto loaded = form.LoadedField(); loaded && loaded->Type() == word::wdFieldFormula &&
                                          selection.Range().InRange(loaded->Range())) {
        loaded->Select();
        selection = doc->Selection();
    }
    word::InsertFormula(selection, form.txtCalc, form.cboFormat);
    return true;
}

std::optional<word::Table> EditCommands::DetailInsert() {
    const auto doc = ActiveDocument();
    const std::string strFolder = modPLFunction::ActiveDocumentFolder(mHost.Application());
    auto& page1 = mDialogs.frmPLEDBBind;
    auto& wizard = mDialogs.frmPLEDetailInsert;

    page1.Init(frmPLEDetailInsert::kPage1Caption, clsPLEBindForm::kNextCaption, false, strFolder);
    page1.SetDataSource(DocVariable(*doc, K::PROP_DATA_SOURCE_TYPE), DocVariable(*doc, K::PROP_DATA_SOURCE));
    page1.txtUserName = DocVariable(*doc, K::PROP_USER_NAME);
    page1.txtPassword = DocVariable(*doc, K::PROP_PASSWORD);

    const auto header = modPLFunction::ConnectHeaderDataSource(*doc);
    wizard.Init(doc, strFolder);
    wizard.AddParentDataFields(header, DocVariable(*doc, K::PROP_RECORD_SOURCE_TYPE),
                               DocVariable(*doc, K::PROP_RECORD_SOURCE));
    CloseQuietly(header);

    // Page 1 shows afresh on every pass (its changed flag with it); a change made on an earlier
    // pass is still a change when the user went back and forward again.
    bool blnChanged = false;
    std::array<std::string, 8> binding;
    for (;;) {
        if (!page1.DoModal()) return std::nullopt;
        blnChanged = blnChanged || page1.IsDirty();
        binding = BindingOf(page1);
        wizard.AddFields(binding[0], binding[1], binding[2], binding[3], binding[4], binding[5]);
        const int result = wizard.DoModal();
        if (result == frmPLEDetailInsert::RESULT_CANCEL) return std::nullopt;
        if (result != frmPLEDetailInsert::RESULT_BACK) break;
    }
    if (!blnChanged && !wizard.IsDirty()) return std::nullopt;

    // Checked before the document is touched: a table it cannot hold leaves it as it was.
    const long lngColumns = wizard.ColumnCount();
    const long lngRows = wizard.RowCount();
    if (lngRows < 1)
        throw host::HostError(13, std::string(K::EDIT_PROGID), "The row count \"" + wizard.cboRowCount + "\" is not a whole number from 1.");
    if (lngColumns < 1 || lngColumns > kMaxColumns)
        throw host::HostError(5, std::string(K::EDIT_PROGID),
                              "A detail table has 1 to " + std::to_string(kMaxColumns) + " columns, not " +
                                  std::to_string(lngColumns) + ".");
    if (!word::Bookmarks::IsValidName(wizard.txtBookmark))
        throw host::HostError(5828, std::string(K::EDIT_PROGID), "\"" + wizard.txtBookmark + "\" is not a bookmark name.");
    const auto texts = MakeDetailTableTexts(binding, wizard);

    const auto table = doc->Tables().Add(doc->Selection().Range(), lngRows + 1, lngColumns);
    doc->Bookmarks().Add(wizard.txtBookmark, table.Range());
    const clsPLRange ranges;
    for (long column = 1; column <= lngColumns; ++column) {
        const auto index = static_cast<std::size_t>(column - 1);
        ranges.InsertBeforeHiddenText(texts.strHidden[index], table.Cell(1, column).Range());
        auto cell = table.Cell(1, column).Range();
        ranges.AppendText(texts.strCaptions[index], cell);
    }

    if (DocVariable(*doc, K::PROP_UPDATE_DETAIL, K::DEFAULT_UPDATE_DETAIL) == K::FLAG_TRUE) RefreshRunTime("UpdateView");
    return table;
}

}  // namespace paperloom::edit
