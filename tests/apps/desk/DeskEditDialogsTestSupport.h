#pragma once
// The designer's dialogs clicked in the desktop host: the design-time and run-time add-ins
// registered beside the sample invoice template, modal dialogs answered by script as they come
// up, and combo boxes dropped down and picked as a user does.

#include <QComboBox>
#include <QTest>
#include <QTimer>

#include <functional>

#include "DeskRunTestSupport.h"
#include "common/modPLConst.h"

namespace paperloom::desk {

inline QString U(const char* text) { return QString::fromUtf8(text); }

// Runs `answer` on the modal dialog of that name once it is up (a dialog opened from another
// is found while the first is still modal under it).
inline void WhenDialogShows(const char* name, std::function<void(QWidget&)> answer) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, wanted = QString::fromUtf8(name), answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != wanted) return;
        timer->stop();
        timer->deleteLater();
        try {
            answer(*modal);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
        if (modal->isVisible()) Press(*modal, "cmdCancel");
    });
    timer->start();
}

// Drops the list down (the window fills it then), picks the entry and closes it again.
inline void Pick(QComboBox& box, const char* entry) {
    box.showPopup();
    const int index = box.findText(U(entry));
    box.hidePopup();
    ASSERT_GE(index, 0) << entry << " not in the list of " << box.objectName().toStdString();
    box.setCurrentIndex(index);
    emit box.activated(index);
}

class DeskEditDialogsTest : public DeskRunCommandsTest {
protected:
    void SetUp() override {
        word::AddInRegistry registry(folder_.File("addins.xml"));
        word::AddInRegistration edit;
        edit.progId = std::string(modPLConst::EDIT_PROGID);
        edit.libraryPath = PAPERLOOM_EDIT_LIBRARY;
        edit.loadBehavior = 3;
        registry.Register(edit);
        DeskRunCommandsTest::SetUp();
    }
    // Clicks a button of the designer whose dialogs are answered by the WhenDialogShows set up before.
    void ClickEdit(const char* tag, const bool& answered) {
        Click(tag);
        EXPECT_TRUE(answered) << tag << " showed no dialog; messages:\n" << log_.str();
    }
    std::string Jet() const {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder_.File("sample.db").string() +
               ";Persist Security Info=False";
    }
};

}  // namespace paperloom::desk
