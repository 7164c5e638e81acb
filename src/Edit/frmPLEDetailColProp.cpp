#include "Edit/frmPLEDetailColProp.h"

#include <charconv>

#include "Edit/EditForms.h"
#include "Edit/frmPLEBreak.h"
#include "common/clsPLProperty.h"
#include "common/clsPLSortEditor.h"
#include "common/modPLConst.h"
#include "common/modPLDataFields.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"

namespace paperloom {
namespace {

namespace K = modPLConst;

bool HoldsQuote(std::string_view text) { return text.find('"') != std::string_view::npos; }

// A FieldType code as a number; a text that is not one counts as a data field.
int FieldTypeCode(std::string_view strFieldType) {
    int code = 0;
    const auto [end, error] = std::from_chars(strFieldType.data(), strFieldType.data() + strFieldType.size(), code);
    if (strFieldType.empty() || error != std::errc{} || end != strFieldType.data() + strFieldType.size()) return 1;
    return code;
}

std::string BreakKey(long lngColumn, std::string_view strKey) {
    return modPLFunction::ColumnLetters(lngColumn) + std::string(strKey);
}

std::string DoubleBackslashes(std::string_view text) {
    std::string doubled;
    for (const char c : text) {
        doubled += c;
        if (c == '\\') doubled += '\\';
    }
    return doubled;
}

std::string OrNone(std::string value) { return value.empty() ? std::string(K::CAPTION_NONE) : value; }

}  // namespace

frmPLEDetailColProp::frmPLEDetailColProp(frmPLEBreak& frmBreak) : mfrmBreak(frmBreak) {
    cboSupportFieldList.emplace_back(kRowNumber);
}

void frmPLEDetailColProp::Init(std::string_view strDocumentFolder) {
    mstrDocumentFolder = strDocumentFolder;
    cboDataField.clear();
    cboDataFieldList.clear();
    chkPictureData = false;
    cboSupportField = cboSupportFieldList.front();
    txtExpression.clear();
    txtCaption.clear();
    mclsFormatForm.Init(*this);
    chkSkip = false;
    chkBreak = false;
    mblnResult = false;
    mblnDirty = false;
    mstrDataSourceType.clear();
    mstrDataSource.clear();
    mstrUserName.clear();
    mstrPassword.clear();
    mstrRecordSourceType.clear();
    mstrRecordSource.clear();
    mstrRSOrder.clear();
    mstrColProps.clear();
    mstrDetailProps.clear();
    mstrColumnCaptions.clear();
    optFieldType = OPT_NONE;
    cboFormatTypeEnabled = false;
    mblnInitialized = true;
    RefreshBreakControls();
}

bool frmPLEDetailColProp::DoModal() {
    if (!mblnInitialized) Init(mstrDocumentFolder);
    mblnResult = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowDetailColProp(*this);
    mblnInitialized = false;
    return mblnResult;
}

void frmPLEDetailColProp::AddDataFields(std::string_view strDataSourceType, std::string_view strDataSource,
                                        std::string_view strUserName, std::string_view strPassword,
                                        std::string_view strRecordSourceType, std::string_view strRecordSource) {
    if (strDataSourceType.empty() || strDataSource.empty() || strRecordSourceType.empty() || strRecordSource.empty())
        return;
    const auto connection =
        modPLFunction::OpenConnection(strDataSourceType, strDataSource, strUserName, strPassword, mstrDocumentFolder);
    if (!connection) return;
    for (auto& name : modPLDataFields::DataFieldNames(connection, strRecordSourceType, strRecordSource))
        cboDataFieldList.push_back(std::move(name));
    try {
        connection->Close();
    } catch (...) {
        // The names are read; a connection that does not close is let go with its object.
    }
}

std::string frmPLEDetailColProp::GetFieldType() const {
    switch (optFieldType) {
    case OPT_DATA: return std::string(chkPictureData ? K::FIELD_TYPE_PICTURE : K::FIELD_TYPE_DATA);
    case OPT_SUPPORT: return std::string(K::FIELD_TYPE_SUPPORT);
    case OPT_EXPRESSION: return std::string(K::FIELD_TYPE_EXPRESSION);
    default: return std::string(K::FIELD_TYPE_NONE);
    }
}

std::string frmPLEDetailColProp::GetDataField() const {
    switch (optFieldType) {
    case OPT_DATA: return cboDataField;
    case OPT_SUPPORT: return cboSupportField;
    case OPT_EXPRESSION: return txtExpression;
    default: return {};
    }
}

std::string frmPLEDetailColProp::GetSkipSameValue() const { return modPLFunction::FlagToText(chkSkip); }

void frmPLEDetailColProp::SetBreakValue(std::string_view strNewValue) {
    chkBreak = strNewValue == K::FLAG_TRUE;
    RefreshBreakControls();
}

void frmPLEDetailColProp::SetSkipSameValue(std::string_view strNewValue) {
    chkSkip = strNewValue == K::FLAG_TRUE;
    RefreshBreakControls();
}

void frmPLEDetailColProp::SetDataField(std::string_view strFieldType, std::string_view strDataField) {
    const int code = FieldTypeCode(strFieldType);
    int option = -1;
    switch (code) {
    case 0: option = OPT_NONE; break;
    case 1:
    case 4: option = OPT_DATA; break;
    case 2: option = OPT_SUPPORT; break;
    case 3: option = OPT_EXPRESSION; break;
    default:
        throw host::HostError(380, std::string(K::EDIT_PROGID),
                              "The column's FieldType \"" + std::string(strFieldType) + "\" is not 0 to 4.");
    }
    // A preset, not the user's choice: the dirty flag stays.
    const bool blnDirty = mblnDirty;
    optFieldType_Click(option);
    mblnDirty = blnDirty;
    chkPictureData = code == 4;
    cboDataField = (code == 1 || code == 4) ? std::string(strDataField) : std::string();
    txtExpression = code == 3 ? std::string(strDataField) : std::string();
    if (code == 0 || (code == 2 && strDataField == kRowNumber)) cboSupportField = cboSupportFieldList.front();
}

void frmPLEDetailColProp::SetRecordSource(std::string_view strDataSourceType, std::string_view strDataSource,
                                          std::string_view strUserName, std::string_view strPassword,
                                          std::string_view strRecordSourceType, std::string_view strRecordSource,
                                          std::string_view strRSOrder) {
    mstrDataSourceType = strDataSourceType;
    mstrDataSource = strDataSource;
    mstrUserName = strUserName;
    mstrPassword = strPassword;
    mstrRecordSourceType = strRecordSourceType;
    mstrRecordSource = strRecordSource;
    mstrRSOrder = strRSOrder;
    RefreshBreakControls();
}

void frmPLEDetailColProp::SetPropsString(std::string_view strColProps, std::string_view strDetailProps) {
    mstrColProps = strColProps;
    mstrDetailProps = strDetailProps;
}

void frmPLEDetailColProp::DeleteBreakProps() {
    const clsPLProperty prop;
    for (const auto key : K::BREAK_ROW_KEYS) prop.DeletePropertiesFromText(mstrColProps, key);
}

void frmPLEDetailColProp::RefreshBreakControls() {
    // Blanking and breaks compare a row with the one before it: they need a sorted detail and a
    // column with content.
    if (mstrRSOrder.empty() || optFieldType == OPT_NONE) {
        chkBreakEnabled = chkSkipEnabled = false;
        chkBreak = chkSkip = false;
    } else {
        chkBreakEnabled = chkSkipEnabled = true;
    }
    cmdBreakEnabled = chkBreak;
}

void frmPLEDetailColProp::optFieldType_Click(int intIndex) {
    optFieldType = intIndex;
    cboFormatTypeEnabled = intIndex != OPT_NONE;
    if (intIndex == OPT_NONE) {
        mclsFormatForm.SelectFormatType(modPLFieldCode::FORMAT_TYPE_NONE);
        cboFormat.clear();
    }
    RefreshBreakControls();
    mblnDirty = true;
}

std::string frmPLEDetailColProp::GetFormatType() const { return mclsFormatForm.GetFormatType(); }

void frmPLEDetailColProp::SetFormatType(std::string_view strFormatType) { mclsFormatForm.SetFormatType(strFormatType); }

void frmPLEDetailColProp::cboFormatType_Click(int intListIndex) { mclsFormatForm.SelectFormatType(intListIndex); }

void frmPLEDetailColProp::chkBreak_Click() {
    cmdBreakEnabled = chkBreak;
    mblnDirty = true;
}

void frmPLEDetailColProp::cmdSort_Click() {
    const auto connection =
        modPLFunction::OpenConnection(mstrDataSourceType, mstrDataSource, mstrUserName, mstrPassword, mstrDocumentFolder);
    clsPLSortEditor editor;
    editor.Init(kSortCaption);
    editor.SetDataFieldList(modPLDataFields::DataFieldNames(connection, mstrRecordSourceType, mstrRecordSource));
    editor.SetSort(mstrRSOrder);
    if (connection) {
        try {
            connection->Close();
        } catch (...) {
            // Only the field names were read.
        }
    }
    if (edit::DoModal(editor) && editor.IsDirty()) {
        mstrRSOrder = editor.IsCleared() ? std::string() : editor.GetSort();
        RefreshBreakControls();
        mblnDirty = true;
    }
}

std::vector<std::string> frmPLEDetailColProp::BreakColumnNames() const {
    const bool blnHeaders =
        clsPLProperty().GetPropertyFromText(mstrDetailProps, K::PROP_COLUMN_HEADERS, K::DEFAULT_COLUMN_HEADERS) ==
        K::FLAG_TRUE;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < mstrColumnCaptions.size(); ++i) {
        const auto& caption = mstrColumnCaptions[i];
        names.push_back(blnHeaders && !caption.empty() ? caption
                                                       : modPLFunction::ColumnLetters(static_cast<long>(i) + 1));
    }
    return names;
}

void frmPLEDetailColProp::cmdBreak_Click() {
    const clsPLProperty prop;
    mfrmBreak.lstColCondition.clear();
    const auto names = BreakColumnNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const long column = static_cast<long>(i) + 1;
        auto value = [&](std::string_view key) { return prop.GetPropertyFromText(mstrColProps, BreakKey(column, key), ""); };
        mfrmBreak.lstColCondition.push_back(
            {names[i], OrNone(value(K::PROP_BREAK_ROW_FIELD_TYPE)), value(K::PROP_BREAK_ROW_FIELD_VALUE),
             OrNone(value(K::PROP_BREAK_ROW_FORMAT_TYPE)),
             modPLFieldCode::ReadFormatPicture(value(K::PROP_BREAK_ROW_FORMAT))});
    }
    mfrmBreak.Init();
    if (!mfrmBreak.DoModal() || !mfrmBreak.IsDirty()) return;

    // Built aside and kept only when every value fits, so a refused value loses nothing.
    std::string strColProps = mstrColProps;
    for (const auto key : K::BREAK_ROW_KEYS) prop.DeletePropertiesFromText(strColProps, key);
    for (std::size_t i = 0; i < mfrmBreak.lstColCondition.size(); ++i) {
        const auto& row = mfrmBreak.lstColCondition[i];
        const long column = static_cast<long>(i) + 1;
        prop.SetPropertyToText(strColProps, BreakKey(column, K::PROP_BREAK_ROW_FIELD_TYPE), frmPLEBreak::GetFieldType(row));
        prop.SetPropertyToText(strColProps, BreakKey(column, K::PROP_BREAK_ROW_FIELD_VALUE), row.strFieldValue);
        prop.SetPropertyToText(strColProps, BreakKey(column, K::PROP_BREAK_ROW_FORMAT_TYPE), row.strFormatType);
        prop.SetPropertyToText(strColProps, BreakKey(column, K::PROP_BREAK_ROW_FORMAT), DoubleBackslashes(row.strFormat));
    }
    mstrColProps = std::move(strColProps);
    mblnDirty = true;
}

bool frmPLEDetailColProp::cmdOK_Click() {
    // The answers are stored between double quotes in the column's property text.
    if (HoldsQuote(GetDataField()) || HoldsQuote(cboFormat)) {
        modPLFunction::ShowCriticalMessage("データ フィールド、計算式と書式には二重引用符 (\") を使えません",
                                           K::EDIT_APP_TITLE);
        return false;
    }
    mblnResult = true;
    return true;
}

}  // namespace paperloom
