#pragma once
// Filling of the link-key and bookmark lists that the detail insert wizard and the detail
// properties dialog share. It works on the boxes of the form given to Init.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::host::ado {
class Connection;
}

namespace paperloom {

// The boxes a detail form has: the two link keys and, in the properties dialog, the bookmark.
struct DetailKeyBoxes {
    std::string cboParentKey;
    std::vector<std::string> cboParentKeyList;
    std::string cboChildKey;
    std::vector<std::string> cboChildKeyList;
    bool blnHasBookmarkBox = false;
    std::string cboBookmark;
    std::vector<std::string> cboBookmarkList;
};

class clsPLEDetailForm {
public:
    // Remembers the form and empties its key lists and texts (and the bookmark box if it has one).
    void Init(DetailKeyBoxes& frmTarget);
    // The header record source's field names into cboParentKey's list; the typed text stays.
    // Nothing without a connection or with an empty type or source; failures end it silently.
    void AddParentDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                             std::string_view strRecordSourceType, std::string_view strRecordSource);
    // The same for cboChildKey over its own connection (relative database paths resolved
    // against strDocumentFolder).
    void AddChildDataFields(std::string_view strDataSourceType, std::string_view strDataSource,
                            std::string_view strUserName, std::string_view strPassword,
                            std::string_view strRecordSourceType, std::string_view strRecordSource,
                            std::string_view strDocumentFolder);
    // The names of the table's bookmarks, the first selected.
    void AddDetailBookmarks(const std::vector<std::string>& strBookmarkNames);

private:
    DetailKeyBoxes* mfrmTarget = nullptr;
};

}  // namespace paperloom
