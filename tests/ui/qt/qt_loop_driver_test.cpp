// Qt's event loop drives the UI thread's message loop: timers, posts and sends
// from worker threads run, an idle loop does not wake, quitting ends Qt's loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/message_loop.h"
#include "ui/qt/qt_loop_driver.h"

namespace lumora {
namespace {

class QtLoopDriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "lumora_ui_qt_concurrent_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }
    static QApplication* app_;
};

QApplication* QtLoopDriverTest::app_ = nullptr;

TEST_F(QtLoopDriverTest, IdleLoopSleepsAndTimersWakeItAboutOncePerFiring) {
    MessageLoop loop;
    QtLoopDriver driver(loop);
    QTest::qWait(20);
    const std::size_t idle_start = driver.Passes();
    QTest::qWait(200);
    EXPECT_EQ(driver.Passes(), idle_start);  // nothing to do: no wake-ups

    int fired = 0;
    const auto id = loop.NewTimerId();
    const std::size_t before = driver.Passes();
    loop.SetTimer(id, std::chrono::milliseconds(20), MessageLoop::TimerMode::Repeating, [&] { ++fired; });
    QElapsedTimer waited;
    waited.start();
    while (fired < 8 && waited.elapsed() < 10000) QTest::qWait(5);
    loop.KillTimer(id);
    ASSERT_GE(fired, 8);
    // About one pass per firing (plus the arming), never a busy wait.
    EXPECT_LE(driver.Passes() - before, static_cast<std::size_t>(2 * fired + 4));
}

TEST_F(QtLoopDriverTest, WorkersPostAndSendWhileQtRunsAndQuitEndsRun) {
    MessageLoop loop;
    QtLoopDriver driver(loop);
    std::atomic<int> sent{0};
    int posted = 0;  // UI thread only
    std::atomic<bool> all_sent{false};
    std::vector<std::jthread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                loop.Post([&] { ++posted; });
                if (loop.Send([&] { sent.fetch_add(1); })) continue;
                return;
            }
        });
    }
    // Quit once every send came through; Run then returns the code.
    const auto done_timer = loop.NewTimerId();
    loop.SetTimer(done_timer, std::chrono::milliseconds(5), MessageLoop::TimerMode::Repeating, [&] {
        if (sent.load() == 200) {
            all_sent = true;
            loop.Quit(7);
        }
    });
    QTimer::singleShot(5000, [&] { loop.Quit(99); });  // a hang fails instead of blocking
    EXPECT_EQ(driver.Run(), 7);
    workers.clear();
    EXPECT_TRUE(all_sent.load());
    EXPECT_EQ(posted, 200);
}

TEST_F(QtLoopDriverTest, NestedRunsEndWhenTheirWorkIsDone) {
    MessageLoop loop;
    QtLoopDriver driver(loop);
    bool inner_done = false;
    bool returned = false;
    std::size_t depth = 0;
    loop.Post([&] {
        loop.Post([&] { depth = driver.NestedDepth(); });
        const auto id = loop.NewTimerId();
        loop.SetTimer(id, std::chrono::milliseconds(30), MessageLoop::TimerMode::OneShot, [&] { inner_done = true; });
        returned = loop.RunUntil([&] { return inner_done; });
        loop.Quit(0);
    });
    QTimer::singleShot(5000, [&] { loop.Quit(99); });
    EXPECT_EQ(driver.Run(), 0);
    EXPECT_TRUE(returned);
    EXPECT_EQ(depth, 1u);
    EXPECT_EQ(driver.NestedDepth(), 0u);
}

}  // namespace
}  // namespace lumora
