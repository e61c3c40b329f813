#pragma once
// Shared set-up of the Qt renderer tests: one QApplication on Qt's offscreen
// platform for the whole program, a real message loop driven by Qt, the renderer
// installed per test, a temporary skin folder with the test skin and a picture,
// and a window that records the notifications it gets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/message_loop.h"
#include "tests/ui/ui_test_support.h"
#include "ui/control_factory.h"
#include "ui/paint_manager_ui.h"
#include "ui/qt/qt_loop_driver.h"
#include "ui/qt/qt_renderer.h"
#include "ui/qt/qt_window.h"
#include "ui/resource_manager.h"

namespace lumora::test {

// The application lives as long as the test program.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Offscreen unless asked otherwise (the suite also passes on xcb under Xvfb).
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "lumora_ui_qt_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline const bool kQtEnvironment = [] {
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
    return true;
}();

class QtUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("lumora_qt_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::copy_file(std::filesystem::path(LUMORA_SOURCE_DIR) / "tests/ui/qt/skin/qt_test_main.xml",
                                   dir_ / "qt_test_main.xml");
        QImage logo(40, 40, QImage::Format_ARGB32);
        logo.fill(QColor(255, 0, 255));  // a colour nothing else in the skin has
        logo.save(QString::fromStdString((dir_ / "logo.png").string()));
        CPaintManagerUI::SetResourcePath(dir_.string());
        CPaintManagerUI::SetMessageLoop(&loop_);
        CResourceManager::GetInstance().Release();
        for (auto& [name, creator] : CControlFactory::CustomControlClasses()) {
            CControlFactory::GetInstance().RegistControl(name, creator);
        }
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        renderer_ = QtRenderer::Install(argc, argv, loop_);
        ASSERT_NE(renderer_, nullptr);
    }

    void TearDown() override {
        CWindowWnd::SetModalResponder(nullptr);
        for (CWindowWnd* w : CWindowWnd::AllWindows()) w->DestroyWindow();
        Settle();
        renderer_.reset();
        loop_.RunUntilIdle();
        CPaintManagerUI::SetMessageLoop(nullptr);
        CPaintManagerUI::ResetShared();
        CResourceManager::GetInstance().Release();
        std::filesystem::remove_all(dir_);
    }

    // Lets Qt and the loop run until the loop has nothing ready, then draws.
    void Settle() {
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (!loop_.HasReadyWork()) break;
        }
        if (renderer_) renderer_->Flush();
        QCoreApplication::processEvents();
    }

    // Runs Qt's loop until done() holds or the time is up.
    bool RunUntil(const std::function<bool()>& done, int timeout_ms = 3000) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > timeout_ms) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QTest::qWait(1);
        }
        return true;
    }

    std::unique_ptr<TestWindow> OpenSkin(const std::string& skin = "qt_test_main.xml") {
        auto window = std::make_unique<TestWindow>(skin);
        EXPECT_TRUE(window->Create(nullptr, "Halvek Trine 1.02", 0, 0, 100, 100, 800, 520));
        window->ShowWindow(true);
        Settle();
        window->recorder.Take();
        return window;
    }

    template <typename W = QWidget>
    W* WidgetOf(TestWindow& window, const std::string& name) {
        CControlUI* control = window.FindControl(name);
        EXPECT_NE(control, nullptr) << name;
        if (!control) return nullptr;
        auto* widget = dynamic_cast<W*>(renderer_->WidgetFor(*control));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    std::filesystem::path dir_;
    MessageLoop loop_;
    std::unique_ptr<QtRenderer> renderer_;
};

}  // namespace lumora::test
