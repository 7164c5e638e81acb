#pragma once
// One QApplication for a test program, on the offscreen platform unless the environment
// names another, and helpers to answer the modal box or dialog a call is about to show.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

namespace paperloom::test {

inline std::unique_ptr<QApplication>& TestApplicationSlot() {
    static std::unique_ptr<QApplication> application;
    return application;
}

inline QApplication& TestApplication() {
    auto& application = TestApplicationSlot();
    if (!application) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "paperloom-ui-test";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QApplication>(argc, argv);
    }
    return *application;
}

// The application must go before the program exits: Qt's own globals are gone by the time
// static objects are destroyed.
class QtTestEnvironment final : public ::testing::Environment {
public:
    void TearDown() override { TestApplicationSlot().reset(); }
};

// Google Test owns the environments it is given.
inline const bool kQtTestEnvironment = (::testing::AddGlobalTestEnvironment(new QtTestEnvironment), true);

// Runs `answer` on the first modal widget once it is up (polling the event loop), so a test
// can inspect and press what a blocking call shows.
inline void WhenModalShows(std::function<void(QWidget&)> answer) {
    auto* timer = new QTimer(qApp);  // deletes itself once it has answered
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(*modal);
        }
    });
    timer->start();
}

}  // namespace paperloom::test
