#pragma once
// Shared set-up of the UI tests: a message loop on a manual clock, a temporary
// resource folder, a window built from an inline or file skin, and a recorder of
// notifications.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/manual_clock.h"
#include "platform/message_loop.h"
#include "ui/control_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"
#include "ui/window_impl_base.h"

namespace lumora::test {

struct Seen {
    std::string type;
    std::string sender;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    bool operator==(const Seen&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << s.type << "(" << s.sender << "," << s.wParam << "," << s.lParam << ")";
}

class Recorder : public INotifyUI {
public:
    void Notify(TNotifyUI& msg) override {
        if (msg.sType == "timer") ++timers;
        else seen.push_back({msg.sType, msg.pSender ? msg.pSender->GetName() : "", msg.wParam, msg.lParam});
    }
    std::vector<Seen> Take() {
        auto out = std::move(seen);
        seen.clear();
        return out;
    }
    std::vector<Seen> seen;
    int timers = 0;
};

// A window whose skin is given as text or file name.
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(std::string skin, IDialogBuilderCallback* callback = nullptr)
        : skin_(std::move(skin)), callback_(callback) {}
    std::string GetWindowClassName() const override { return "TestWnd"; }
    std::string GetSkinFile() const override { return skin_; }
    std::unique_ptr<CControlUI> CreateControl(std::string_view name) override {
        return callback_ ? callback_->CreateControl(name) : nullptr;
    }
    void Notify(TNotifyUI& msg) override {
        recorder.Notify(msg);
        WindowImplBase::Notify(msg);
    }
    LRESULT HandleCustomMessage(const WindowMessage& msg, bool& handled) override {
        messages.push_back(msg);
        if (msg.message == WM_CLOSE && refuse_close) {
            handled = true;
            return 0;
        }
        handled = false;
        return 0;
    }
    Recorder recorder;
    std::vector<WindowMessage> messages;
    bool refuse_close = false;

private:
    std::string skin_;
    IDialogBuilderCallback* callback_;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("lumora_ui_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        CPaintManagerUI::SetResourcePath(dir_.string());
        CPaintManagerUI::SetMessageLoop(&loop_);
        CResourceManager::GetInstance().Release();
    }
    void TearDown() override {
        CWindowWnd::SetModalResponder(nullptr);
        for (CWindowWnd* w : CWindowWnd::AllWindows()) w->DestroyWindow();
        loop_.RunUntilIdle();
        CPaintManagerUI::SetMessageLoop(nullptr);
        CPaintManagerUI::ResetShared();
        CResourceManager::GetInstance().Release();
        std::filesystem::remove_all(dir_);
    }
    void WriteFile(const std::string& name, const std::string& text) {
        const auto path = dir_ / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::unique_ptr<TestWindow> OpenWindow(const std::string& skin, IDialogBuilderCallback* callback = nullptr) {
        auto window = std::make_unique<TestWindow>(skin, callback);
        EXPECT_TRUE(window->Create(nullptr, "test", WS_VISIBLE, 0, 0, 0, 100, 100));
        loop_.RunUntilIdle();  // first show: "windowinit"
        window->recorder.Take();
        return window;
    }
    template <typename T = CControlUI>
    T* Find(TestWindow& w, const std::string& name) {
        auto* c = dynamic_cast<T*>(w.FindControl(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    MessageLoop loop_{clock_};
    std::filesystem::path dir_;
};

}  // namespace lumora::test
