#pragma once
// The desktop host with the run-time add-in connected and the sample invoice template open in
// a scratch folder; its toolbar buttons clicked, its dialogs answered through their widgets,
// message boxes answered by script.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <functional>
#include <sstream>
#include <stdexcept>

#include "DeskTestSupport.h"
#include "Samples.h"
#include "common/clsPLProperty.h"
#include "host/ui/FormsService.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/settings/Variables.h"

namespace paperloom::desk {

namespace fs = std::filesystem;

template <typename Widget>
inline Widget& Child(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    if (!widget) throw std::runtime_error(std::string("no control ") + name + " in " + dialog.objectName().toStdString());
    return *widget;
}

inline void Press(QWidget& dialog, const char* button) { Child<QPushButton>(dialog, button).click(); }

class DeskRunCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }

    void SetUp() override {
        samples::MakeSamples(folder_.Path(), false);
        word::AddInRegistry registry(folder_.File("addins.xml"));
        word::AddInRegistration run;
        run.progId = "OsPLRun.conPLRun";
        run.libraryPath = PAPERLOOM_RUN_LIBRARY;
        run.loadBehavior = 3;
        registry.Register(run);
        desk_ = std::make_unique<DeskApplication>(folder_.Path());
        desk_->Start();
        document_ = desk_->Open(folder_.File("invoice.docx"));
        ASSERT_NE(document_, nullptr);
        window_ = desk_->WindowOf(*document_);
        ASSERT_NE(window_, nullptr);
        test::Settle();
    }
    void TearDown() override {
        desk_.reset();
        test::Settle();
    }

    // Clicks the toolbar button (or menu entry) the control's tag names.
    void Click(const char* tag) {
        QAction* action = test::ActionNamed(*window_, QString::fromUtf8(tag));
        ASSERT_NE(action, nullptr) << tag;
        action->trigger();
        test::Settle();
    }
    // Clicks, answering the dialog that opens with `answer`.
    void ClickWithDialog(const char* tag, std::function<void(QWidget&)> answer) {
        bool answered = false;
        test::WhenModalShows([&](QWidget& dialog) {
            answered = true;
            try {
                answer(dialog);
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
            }
            if (dialog.isVisible()) Press(dialog, "cmdCancel");
        });
        Click(tag);
        EXPECT_TRUE(answered) << tag << " showed no dialog; messages:\n" << log_.str();
    }
    long Record() {
        word::DispArgs args{document_};
        return desk_->Host().COMAddIns().Item("OsPLRun.conPLRun").Object()->Invoke("RecordIndex", args).AsLong();
    }
    std::string Variable(const char* name) { return clsPLProperty().GetDocVariable(name, *document_, "<none>"); }
    std::string Text() { return document_->Content().Text(); }
    bool Shown(const std::string& text) const { return log_.str().find(text) != std::string::npos; }

    test::ScratchFolder folder_{"paperloom-desk-run"};
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> messages_ = std::make_shared<ui::HeadlessMessageService>(log_);
    ui::ScopedServices services_{{messages_, nullptr, nullptr, nullptr, nullptr, ui::MakeLibraryFormsService()}};
    std::unique_ptr<DeskApplication> desk_;
    std::shared_ptr<word::Document> document_;
    DocumentWindow* window_ = nullptr;
};

}  // namespace paperloom::desk
