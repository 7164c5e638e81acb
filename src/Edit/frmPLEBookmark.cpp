#include "Edit/frmPLEBookmark.h"

#include <unicode/unistr.h>

#include "Edit/EditForms.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/word/Application.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"

namespace paperloom {
namespace {

std::string Upper(std::string_view text) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
        .toUpper()
        .toUTF8String(out);
    return out;
}

}  // namespace

bool SameBookmarkName(std::string_view strA, std::string_view strB) { return Upper(strA) == Upper(strB); }

template <typename Action>
void frmPLEBookmark::Trapped(Action&& action) {
    try {
        action();
    } catch (...) {
        modPLFunction::ShowErrorDescription(modPLConst::EDIT_APP_TITLE);
    }
}

void frmPLEBookmark::DoModal(word::Application& appTarget) {
    mApplication = &appTarget;
    txtBookmarkName.clear();
    FillList();
    mFocus = Focus::txtBookmarkName;
    mblnShown = true;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowBookmark(*this);
    mblnShown = false;
    lngEditingLabel = -1;
}

void frmPLEBookmark::FillList() {
    lstBookmark.clear();
    lngSelected = -1;
    lngEditingLabel = -1;
    if (!mApplication || mApplication->Documents().Count() == 0) return;
    for (const auto& name : mApplication->ActiveDocument()->Bookmarks()) lstBookmark.push_back(name);
}

const char* frmPLEBookmark::DefaultButton() const {
    return mFocus == Focus::lstBookmark ? "cmdJump" : "cmdAdd";
}

std::optional<std::string> frmPLEBookmark::SelectedName() const {
    if (lngSelected < 0 || lngSelected >= static_cast<long>(lstBookmark.size())) return std::nullopt;
    return lstBookmark[static_cast<std::size_t>(lngSelected)];
}

void frmPLEBookmark::lstBookmark_Click(long lngIndex) {
    lngSelected = lngIndex >= 0 && lngIndex < static_cast<long>(lstBookmark.size()) ? lngIndex : -1;
}

void frmPLEBookmark::lstBookmark_KeyDown(int intKeyCode) {
    switch (intKeyCode) {
    case KEY_J: cmdJump_Click(); break;
    case KEY_F2: cmdRename_Click(); break;
    case KEY_UP:
        if (lngSelected <= 0) mFocus = Focus::txtBookmarkName;
        break;
    default: break;
    }
}

void frmPLEBookmark::txtBookmarkName_KeyDown(int intKeyCode) {
    if (intKeyCode != KEY_DOWN || lstBookmark.empty()) return;
    mFocus = Focus::lstBookmark;
    if (lngSelected < 0) lngSelected = 0;
}

void frmPLEBookmark::cmdAdd_Click() {
    if (txtBookmarkName.empty()) return;
    Trapped([&] {
        const auto doc = mApplication->ActiveDocument();
        const std::string strName = doc->Bookmarks().Add(txtBookmarkName, doc->Selection().Range()).Name();
        // Adding a name the document has moves that bookmark: one entry for it, at the end.
        for (std::size_t i = 0; i < lstBookmark.size(); ++i) {
            if (SameBookmarkName(lstBookmark[i], strName)) {
                RemoveEntry(static_cast<long>(i));
                break;
            }
        }
        lstBookmark.push_back(strName);
    });
}

void frmPLEBookmark::cmdJump_Click() {
    const auto strName = SelectedName();
    if (!strName) return;
    Trapped([&] { mApplication->ActiveDocument()->Selection().GoTo(word::wdGoToBookmark, 0, 0, *strName); });
}

void frmPLEBookmark::cmdRename_Click() {
    if (!SelectedName()) return;
    mFocus = Focus::lstBookmark;
    lngEditingLabel = lngSelected;
}

bool frmPLEBookmark::lstBookmark_AfterLabelEdit(const std::optional<std::string>& strNewName) {
    const long lngEntry = lngEditingLabel;
    lngEditingLabel = -1;
    if (lngEntry < 0 || lngEntry >= static_cast<long>(lstBookmark.size()) || !strNewName) return false;
    const std::string strOldName = lstBookmark[static_cast<std::size_t>(lngEntry)];
    if (*strNewName == strOldName) return false;
    bool blnRenamed = false;
    Trapped([&] {
        const auto doc = mApplication->ActiveDocument();
        const std::string strName = doc->Bookmarks().Item(strOldName).Copy(*strNewName).Name();
        // Only in letter case: the copy took the bookmark's place, so it must stay.
        if (!SameBookmarkName(strOldName, strName)) doc->Bookmarks().Item(strOldName).Delete();
        lstBookmark[static_cast<std::size_t>(lngEntry)] = strName;
        blnRenamed = true;
    });
    if (!blnRenamed) return false;
    // A name another bookmark had moved that bookmark here, so the document has one of it:
    // its other entry goes.
    long lngRenamed = lngEntry;
    for (long i = static_cast<long>(lstBookmark.size()) - 1; i >= 0; --i) {
        if (i != lngRenamed && SameBookmarkName(lstBookmark[static_cast<std::size_t>(i)], *strNewName)) {
            RemoveEntry(i);
            if (i < lngRenamed) --lngRenamed;
        }
    }
    return true;
}

void frmPLEBookmark::cmdRemove_Click() {
    const auto strName = SelectedName();
    if (!strName) return;
    Trapped([&] {
        mApplication->ActiveDocument()->Bookmarks().Item(*strName).Delete();
        RemoveEntry(lngSelected);
    });
}

void frmPLEBookmark::cmdClose_Click() {
    mFocus = Focus::txtBookmarkName;
    mblnShown = false;
}

void frmPLEBookmark::RemoveEntry(long lngIndex) {
    lstBookmark.erase(lstBookmark.begin() + lngIndex);
    if (lngSelected == lngIndex) {
        lngSelected = -1;
    } else if (lngSelected > lngIndex) {
        --lngSelected;
    }
}

}  // namespace paperloom
