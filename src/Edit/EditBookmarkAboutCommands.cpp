// The bookmark and about commands: each only shows its dialog, which does all there is to do.

#include "Edit/EditCommands.h"
#include "Edit/EditForms.h"
#include "host/word/addins/AddInHost.h"

namespace paperloom::edit {
namespace {

constexpr const char* kAboutCaption = "About Ostrander/COM Paperloom 2000";

}  // namespace

void EditCommands::Bookmarks() { mDialogs.frmPLEBookmark.DoModal(mHost.Application()); }

void EditCommands::About() {
    auto& about = mDialogs.frmPLAboutBox;
    about.strCaption = kAboutCaption;
    about.Init();
    if (EditForms* forms = CurrentEditForms()) forms->ShowAbout(about);
}

}  // namespace paperloom::edit
