// Workers reaching windows through the loop, as the discovery thread does.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/ui/ui_test_support.h"

namespace lumora::test {
namespace {

constexpr const char* kSkin = R"(<VerticalLayout name="root"><Label name="count" text="0"/></VerticalLayout>)";

class Counter : public TestWindow {
public:
    Counter() : TestWindow(kSkin) {}
    LRESULT HandleCustomMessage(const WindowMessage& msg, bool& handled) override {
        if (msg.message == WM_USER + 1) {
            handled = true;
            auto* label = FindControl("count");
            const int n = std::stoi(label->GetText()) + static_cast<int>(msg.wParam);
            label->SetText(std::to_string(n));
            return n;
        }
        return TestWindow::HandleCustomMessage(msg, handled);
    }
};

TEST(WindowConcurrent, WorkersSendAndPostToAWindowByHandle) {
    MessageLoop loop;
    CPaintManagerUI::SetMessageLoop(&loop);
    Counter window;
    ASSERT_TRUE(window.Create(nullptr, "", 0, 0, 0, 0, 0, 0));
    const auto handle = window.GetHWND();
    std::atomic<int> answered{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                if (auto r = CWindowWnd::SendMessageTo(handle, WindowMessage{WM_USER + 1, 1, 0, {}})) {
                    if (*r > 0) ++answered;
                }
                CWindowWnd::PostMessageTo(handle, WindowMessage{WM_USER + 1, 1, 0, {}});
            }
        });
    }
    ASSERT_TRUE(loop.RunUntil([&] { return window.FindControl("count")->GetText() == "600"; }));
    for (auto& w : workers) w.join();
    EXPECT_EQ(answered.load(), 300);
    window.DestroyWindow();
    CPaintManagerUI::SetMessageLoop(nullptr);
}

TEST(WindowConcurrent, SendToAWindowFailsOnceTheLoopQuits) {
    MessageLoop loop;
    CPaintManagerUI::SetMessageLoop(&loop);
    Counter window;
    ASSERT_TRUE(window.Create(nullptr, "", 0, 0, 0, 0, 0, 0));
    const auto handle = window.GetHWND();
    std::atomic<bool> got_answer{false};
    std::thread worker([&] {
        // The UI thread never serves this one: it quits while the worker waits.
        got_answer = CWindowWnd::SendMessageTo(handle, WindowMessage{WM_USER + 1, 1, 0, {}}).has_value();
    });
    while (!loop.HasReadyWork()) std::this_thread::yield();
    loop.Quit();
    worker.join();  // does not hang
    EXPECT_FALSE(got_answer.load());
    EXPECT_EQ(window.FindControl("count")->GetText(), "0");
    window.DestroyWindow();
    CPaintManagerUI::SetMessageLoop(nullptr);
}

}  // namespace
}  // namespace lumora::test
