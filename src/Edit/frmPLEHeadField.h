#pragma once
// The header field dialog's logic (window frmPLEHeadField in the designer's forms library):
// what a field outside the detail tables shows (a record-source field as text or as a picture,
// or a support field such as the record number) and how its value is formatted. It builds the
// field's code and reads an existing one back; the command writes the field into the document.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Edit/clsPLEFormatForm.h"
#include "host/word/fields/Field.h"

namespace paperloom::host::ado {
class Connection;
}

namespace paperloom {

class frmPLEHeadField : public FormatBoxes {
public:
    static constexpr const char* kCaption = "基本データ部のフィールド";
    // optFieldType indexes.
    static constexpr int OPT_DATA_FIELD = 0;
    static constexpr int OPT_SUPPORT_FIELD = 1;

    // The form as loaded: the support list holds "抽出番号".
    frmPLEHeadField();
    virtual ~frmPLEHeadField() = default;
    frmPLEHeadField(const frmPLEHeadField&) = delete;
    frmPLEHeadField& operator=(const frmPLEHeadField&) = delete;

    // Empties the field box, selects the first support entry and the data-field option, sets
    // the format boxes to "なし", unticks the picture data; clears the result and dirty flags.
    void Init();
    // Shows the dialog (Init first unless it was called since the last DoModal); true after
    // OK. Without windows (headless) it closes as cancelled.
    bool DoModal();
    bool IsDirty() const { return mblnDirty; }
    bool Result() const { return mblnResult; }
    // The field's code; "" when there is nothing to write (no field name, or a support caption
    // that names no support field).
    std::string MakeFieldCode() const;
    // The record source's field names as the field box's list; the typed text stays. Nothing
    // without a connection, type or source, or when the source does not open.
    void AddDataFields(const std::shared_ptr<host::ado::Connection>& conTarget, std::string_view strRecordSourceType,
                       std::string_view strRecordSource);
    // Loads an existing field's code into the boxes (nothing for no field); the picture data is
    // unticked first.
    void SetFieldData(const std::optional<word::Field>& fldTarget);
    void SetFieldCode(std::string_view strCode);

    // Controls (FormatBoxes: cboFormatType and cboFormat) -----------------------------------------
    std::string strCaption = kCaption;
    int optFieldType = OPT_DATA_FIELD;
    std::string cboDataField;
    std::vector<std::string> cboDataFieldList;
    bool chkPictureData = false;
    std::string cboSupportField;
    std::vector<std::string> cboSupportFieldList;

    // The option decides which boxes take input (disabled boxes show the button-face colour).
    bool DataFieldEnabled() const { return optFieldType == OPT_DATA_FIELD; }
    bool SupportFieldEnabled() const { return optFieldType == OPT_SUPPORT_FIELD; }
    bool PictureDataEnabled() const { return optFieldType == OPT_DATA_FIELD; }

    // User actions (the window calls these) --------------------------------------------------
    virtual void optFieldType_Click(int intIndex);
    // A typed change or a pick in the field, support or picture box; the window has already
    // stored the new text.
    virtual void Control_Change() { mblnDirty = true; }
    // Ticking or clearing the picture data changes the code, so it counts as a change too.
    virtual void chkPictureData_Click(bool blnValue);
    // A format type picked by the user: the picture box follows it, and the code changes.
    virtual void cboFormatType_Click(int intListIndex);
    virtual void cmdOK_Click() { mblnResult = true; }
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    clsPLEFormatForm mclsFormatForm;
    clsPLEPictureDataForm mclsPictureDataForm;
    bool mblnResult = false;
    bool mblnDirty = false;
    bool mblnInitialized = false;
};

}  // namespace paperloom
