#pragma once
// The data link file chooser behind the data bind dialog's "参照(&B)..." button: choose a
// .udl file, see the connection string it holds, and create a new file or change the string
// (through the connection editor). OK writes the file when its string was made or changed;
// the file is replaced atomically and keeps the encoding data link files have.

#include <string>
#include <string_view>

namespace paperloom::edit {

class DataLinkEditor {
public:
    static constexpr const char* kCaption = "データ リンク ファイル";

    DataLinkEditor() = default;
    virtual ~DataLinkEditor() = default;
    DataLinkEditor(const DataLinkEditor&) = delete;
    DataLinkEditor& operator=(const DataLinkEditor&) = delete;

    // The current path; an existing file's string is read.
    void Init(std::string_view strPath);
    bool DoModal();
    bool Result() const { return mblnResult; }
    const std::string& GetPath() const { return txtPath; }

    // Controls ---------------------------------------------------------------------------------
    std::string txtPath;
    std::string txtConnection;  // the file's connection string (editable)
    std::string lblStatus;      // what reading the file said ("" when it was read or is new)

    // User actions -------------------------------------------------------------------------------
    // A path typed or chosen in the file dialog: an existing file is read, a new one starts empty.
    virtual void SetPath(std::string_view strPath);
    virtual void txtConnection_Change(std::string_view strText);
    // The connection editor over the string; a confirmed string replaces it.
    virtual void cmdEdit_Click();
    // Writes the file when it is new or its string changed; a message and false when the path
    // or string is missing or the file cannot be written.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

    bool IsChanged() const { return mblnChanged; }

private:
    bool mblnResult = false;
    bool mblnChanged = false;
    bool mblnExists = false;
};

}  // namespace paperloom::edit
