#pragma once
// The window of the bookmark manager (frmPLEBookmark) over its model: the list of bookmark
// names with editable labels, jump, rename, delete, the name box with add, and close.

#include <QDialog>

#include "Edit/frmPLEBookmark.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace paperloom::editforms {

class BookmarkForm final : public QDialog {
public:
    BookmarkForm(frmPLEBookmark& model, QWidget* owner);
    const frmPLEBookmark* Model() const { return &model_; }
    void Run();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    // Shows the model's list, selection, focus and default button; opens the label editor when
    // the model started a rename.
    void ToControls();
    void Act(void (frmPLEBookmark::*action)());
    void LabelEdited(QListWidgetItem* item);

    frmPLEBookmark& model_;
    QListWidget* lstBookmark_;
    QLineEdit* txtBookmarkName_;
    QPushButton* cmdJump_;
    QPushButton* cmdAdd_;
    bool filling_ = false;
};

}  // namespace paperloom::editforms
