// The column properties command: the dialog preset from the column's and the table's property
// text in the table's header row, and the answers written back there.

#include <optional>
#include <string>
#include <vector>

#include "Edit/EditCommands.h"
#include "Edit/frmPLEDetailColProp.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/Range.h"
#include "host/word/Selection.h"
#include "host/word/Table.h"
#include "host/word/addins/AddInHost.h"

namespace paperloom::edit {
namespace {

namespace K = modPLConst;

// The hidden property text at the start of a header cell: its range, or nothing.
std::optional<word::Range> PropertyRange(const word::Table& table, long lngColumn) {
    std::optional<word::Range> found;
    clsPLProperty().GetProperties2(table.Cell(1, lngColumn).Range(), found);
    return found;
}

std::string TextOf(const std::optional<word::Range>& range) { return range ? range->Text() : std::string(); }

// Replaces the property text, or puts it hidden at the start of the header cell when the cell
// had none.
void WriteProperties(const word::Table& table, long lngColumn, const std::string& strText) {
    if (auto found = PropertyRange(table, lngColumn)) {
        found->SetText(strText);
    } else {
        clsPLRange().InsertBeforeHiddenText(strText, table.Cell(1, lngColumn).Range());
    }
}

// The caption a header cell shows: its first visible text, up to the end of its paragraph.
std::string VisibleCaption(const word::Table& table, long lngColumn) {
    auto visible = table.Cell(1, lngColumn).Range();
    visible.TextRetrievalMode().SetIncludeHiddenText(true);
    visible.Find().ClearFormatting();
    visible.Find().Font().SetHidden(false);
    if (!visible.Find().Execute()) return {};
    std::string text = visible.Text();
    const auto end = text.find_first_of("\r\a");
    if (end != std::string::npos) text.erase(end);
    return text;
}

}  // namespace

void EditCommands::DetailColProp() {
    const auto doc = ActiveDocument();
    const auto selection = doc->Selection();
    const auto cells = selection.Cells();
    if (cells.Count() == 0 || selection.Tables().Count() == 0) {
        modPLFunction::ShowInformationMessage(K::MSG_MOVE_TO_COLUMN, K::EDIT_APP_TITLE);
        return;
    }
    const clsPLProperty prop;
    auto& form = mDialogs.frmPLEDetailColProp;
    const word::Table table = selection.Tables().Item(1);
    const long lngColumn = cells.Item(1).ColumnIndex();

    form.Init(modPLFunction::ActiveDocumentFolder(mHost.Application()));
    const auto tableRange = PropertyRange(table, 1);
    const std::string strTable = TextOf(tableRange);
    bool blnHeaders = true;
    if (tableRange) {
        auto value = [&](std::string_view key) { return prop.GetPropertyFromText(strTable, key, ""); };
        form.AddDataFields(value(K::PROP_DATA_SOURCE_TYPE), value(K::PROP_DATA_SOURCE), value(K::PROP_USER_NAME),
                           value(K::PROP_PASSWORD), value(K::PROP_RECORD_SOURCE_TYPE), value(K::PROP_RECORD_SOURCE));
        blnHeaders = modPLFunction::TextToFlag(
            prop.GetPropertyFromText(strTable, K::PROP_COLUMN_HEADERS, K::DEFAULT_COLUMN_HEADERS));
        form.SetRecordSource(value(K::PROP_DATA_SOURCE_TYPE), value(K::PROP_DATA_SOURCE), value(K::PROP_USER_NAME),
                             value(K::PROP_PASSWORD), value(K::PROP_RECORD_SOURCE_TYPE), value(K::PROP_RECORD_SOURCE),
                             value(K::PROP_RS_ORDER));
    }

    // Column 1's keys share the table's hidden run.
    const auto columnRange = lngColumn == 1 ? tableRange : PropertyRange(table, lngColumn);
    const std::string strColumn = TextOf(columnRange);
    if (!columnRange) {
        form.SetDataField(K::FIELD_TYPE_NONE, "");
        form.SetFormatType("");
        form.cboFormat.clear();
    } else {
        auto value = [&](std::string_view key, std::string_view fallback = {}) {
            return prop.GetPropertyFromText(strColumn, key, fallback);
        };
        form.SetDataField(value(K::PROP_FIELD_TYPE, K::DEFAULT_FIELD_TYPE), value(K::PROP_DATA_FIELD));
        form.SetFormatType(value(K::PROP_FORMAT_TYPE));
        form.cboFormat = value(K::PROP_FORMAT);
        form.SetSkipSameValue(value(K::PROP_SKIP_SAME_VALUE));
        form.SetBreakValue(value(K::PROP_BREAK));
    }

    std::vector<std::string> captions;
    for (long column = 1; column <= table.Columns().Count(); ++column) captions.push_back(VisibleCaption(table, column));
    if (blnHeaders) form.txtCaption = captions.at(static_cast<std::size_t>(lngColumn - 1));
    const std::string strShownCaption = form.txtCaption;
    form.SetColumnCaptions(std::move(captions));
    form.SetPropsString(strColumn, strTable);

    if (!form.DoModal() || !form.IsDirty()) return;

    // A caption left as it was keeps its look (and a table without a caption row keeps its first
    // row's text).
    if (form.txtCaption != strShownCaption) SetColumnCaption(table, lngColumn, form.txtCaption);

    if (lngColumn != 1) {
        std::string strNewTable = TextOf(PropertyRange(table, 1));
        prop.SetPropertyToText(strNewTable, K::PROP_RS_ORDER, form.GetRSOrder());
        WriteProperties(table, 1, strNewTable);
    }

    const std::string strFieldType = form.GetFieldType();
    if (strFieldType != K::FIELD_TYPE_NONE) {
        const std::string strBreak = modPLFunction::FlagToText(form.chkBreak);
        if (strBreak == K::FLAG_FALSE) form.DeleteBreakProps();
        std::string strNewColumn = form.GetColPropsString();
        if (lngColumn == 1) prop.SetPropertyToText(strNewColumn, K::PROP_RS_ORDER, form.GetRSOrder());
        prop.SetPropertyToText(strNewColumn, K::PROP_FIELD_TYPE, strFieldType);
        prop.SetPropertyToText(strNewColumn, K::PROP_DATA_FIELD, form.GetDataField());
        prop.SetPropertyToText(strNewColumn, K::PROP_FORMAT_TYPE, form.cboFormat.empty() ? "" : form.GetFormatType());
        prop.SetPropertyToText(strNewColumn, K::PROP_FORMAT, form.cboFormat);
        prop.SetPropertyToText(strNewColumn, K::PROP_SKIP_SAME_VALUE, form.GetSkipSameValue());
        prop.SetPropertyToText(strNewColumn, K::PROP_BREAK, strBreak);
        WriteProperties(table, lngColumn, strNewColumn);
    } else if (columnRange) {
        form.DeleteBreakProps();
        std::string strNewColumn = form.GetColPropsString();
        for (const auto key : K::COLUMN_KEYS) prop.DeletePropertyFromText(strNewColumn, key);
        // Column 1 carries the table's sort too; a sort changed in the dialog is kept.
        if (lngColumn == 1 && form.GetRSOrder() != prop.GetPropertyFromText(strTable, K::PROP_RS_ORDER, ""))
            prop.SetPropertyToText(strNewColumn, K::PROP_RS_ORDER, form.GetRSOrder());
        WriteProperties(table, lngColumn, strNewColumn);
    }

    if (clsPLProperty().GetDocVariable(K::PROP_UPDATE_DETAIL, *doc, K::DEFAULT_UPDATE_DETAIL) == K::FLAG_TRUE)
        RefreshRunTime("UpdateView");
}

}  // namespace paperloom::edit
