#pragma once
// The window's editing commands beyond the keys: character formatting, fonts and sizes,
// paragraph alignment (書式 menu and the 書式設定 toolbar), inserting a table (罫線 menu), and
// editing the document in the office suite (編集 menu).

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QMainWindow;

namespace paperloom::desk {
class DeskApplication;
}

namespace paperloom::desk::edit {

class DocumentEditor;
class OfficeEdit;

class EditActions final : public QObject {
public:
    // `editor` is null for the frame without a document: every action is then disabled.
    // `refresh` shows the document again after a change.
    EditActions(QMainWindow& window, DeskApplication& desk, DocumentEditor* editor, std::function<void()> refresh);
    ~EditActions() override;

    const QList<QAction*>& EditMenu() const noexcept { return edit_; }
    const QList<QAction*>& FormatMenu() const noexcept { return format_; }
    const QList<QAction*>& TableMenu() const noexcept { return table_; }
    const QList<QAction*>& FormattingBar() const noexcept { return bar_; }
    // The office-suite session, once started.
    OfficeEdit* Office() const noexcept { return office_.get(); }

private:
    QAction* Add(const QString& caption, std::function<void(DocumentEditor&)> run);
    void Run(const std::function<void(DocumentEditor&)>& run);
    void EditInOfficeSuite();

    QMainWindow& window_;
    DeskApplication& desk_;
    DocumentEditor* editor_;
    std::function<void()> refresh_;
    std::unique_ptr<OfficeEdit> office_;
    QList<QAction*> edit_;
    QList<QAction*> format_;
    QList<QAction*> table_;
    QList<QAction*> bar_;
};

}  // namespace paperloom::desk::edit
