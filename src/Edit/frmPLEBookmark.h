#pragma once
// The bookmark manager: lists the bookmarks of the active document and jumps to, renames,
// deletes or adds one over the selection. Every action works on the document's bookmarks at
// once (there is no OK or cancel); the list only mirrors their names. The window in the
// designer's forms library shows this model and reports clicks, keys and label edits to its
// virtual members.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::word {
class Application;
}

namespace paperloom {

class frmPLEBookmark {
public:
    static constexpr const char* kCaption = "ブックマーク";

    // Key codes the list and the name box react to.
    static constexpr int KEY_UP = 38;
    static constexpr int KEY_DOWN = 40;
    static constexpr int KEY_J = 74;
    static constexpr int KEY_F2 = 113;

    // The control that has the focus; it decides the default button.
    enum class Focus { txtBookmarkName, lstBookmark };

    frmPLEBookmark() = default;
    virtual ~frmPLEBookmark() = default;
    frmPLEBookmark(const frmPLEBookmark&) = delete;
    frmPLEBookmark& operator=(const frmPLEBookmark&) = delete;

    // Empties the name box, fills the list from the application's active document and shows
    // the dialog (through the designer's forms) until it is closed. Without windows it
    // returns at once.
    void DoModal(word::Application& appTarget);

    // The bookmark names of the active document in the order of its collection; empty when no
    // document is open.
    void FillList();

    // Whether the dialog is up (DoModal until Close).
    bool IsShown() const { return mblnShown; }
    // "cmdJump" while the list has the focus, else "cmdAdd".
    const char* DefaultButton() const;
    // The entry selected in the list, if any.
    std::optional<std::string> SelectedName() const;

    // The window's events.
    virtual void lstBookmark_Click(long lngIndex);  // selects entry lngIndex (0-based; -1 none)
    virtual void lstBookmark_GotFocus() { mFocus = Focus::lstBookmark; }
    virtual void txtBookmarkName_GotFocus() { mFocus = Focus::txtBookmarkName; }
    virtual void lstBookmark_DblClick() { cmdJump_Click(); }
    virtual void lstBookmark_KeyDown(int intKeyCode);
    virtual void txtBookmarkName_KeyDown(int intKeyCode);
    virtual void cmdAdd_Click();
    virtual void cmdJump_Click();
    // Starts editing the selected entry's label (the window then opens its editor).
    virtual void cmdRename_Click();
    // The label edit ended: strNewName is the text typed, nothing when it was abandoned.
    // Returns whether the entry keeps the new text (false: it shows its old name again).
    virtual bool lstBookmark_AfterLabelEdit(const std::optional<std::string>& strNewName);
    virtual void cmdRemove_Click();
    virtual void cmdClose_Click();

    // Controls.
    std::string txtBookmarkName;
    std::vector<std::string> lstBookmark;
    long lngSelected = -1;       // lstBookmark's selected entry, -1 for none
    long lngEditingLabel = -1;   // the entry whose label is being edited, -1 for none
    Focus mFocus = Focus::txtBookmarkName;

private:
    // Runs an action; an error shows its description with the error icon and the dialog
    // stays as it is.
    template <typename Action>
    void Trapped(Action&& action);
    void RemoveEntry(long lngIndex);

    word::Application* mApplication = nullptr;
    bool mblnShown = false;
};

// Names compare as the dialog and the document compare them: upper-cased, so letter case
// does not count (any script's).
bool SameBookmarkName(std::string_view strA, std::string_view strB);

}  // namespace paperloom
