#include "platform/message_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/manual_clock.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;
using Mode = MessageLoop::TimerMode;

class LoopTest : public ::testing::Test {
protected:
    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    MessageLoop loop_{clock_};
    std::vector<std::string> log_;
    auto Note(std::string s) {
        return [this, s] { log_.push_back(s); };
    }
};

TEST_F(LoopTest, PostsRunInOrderThenDueTimersEarliestFirst) {
    const auto a = loop_.NewTimerId();
    const auto b = loop_.NewTimerId();
    loop_.SetTimer(b, 20ms, Mode::OneShot, Note("timer20"));
    loop_.SetTimer(a, 10ms, Mode::OneShot, Note("timer10"));
    loop_.Post(Note("p1"));
    loop_.Post(Note("p2"));
    EXPECT_EQ(loop_.RunUntilIdle(), 2u);
    EXPECT_EQ(log_, (std::vector<std::string>{"p1", "p2"}));
    clock_->Advance(25ms);
    loop_.Post(Note("p3"));
    loop_.RunUntilIdle();
    EXPECT_EQ(log_, (std::vector<std::string>{"p1", "p2", "p3", "timer10", "timer20"}));
    EXPECT_FALSE(loop_.HasTimer(a));
    EXPECT_FALSE(loop_.NextDeadline().has_value());
}

TEST_F(LoopTest, EqualDeadlinesFireInArmingOrderAndPostedWorkFromTasksRunsLater) {
    const auto x = loop_.NewTimerId();
    const auto y = loop_.NewTimerId();
    loop_.SetTimer(y, 5ms, Mode::OneShot, Note("y"));
    loop_.SetTimer(x, 5ms, Mode::OneShot, [this] {
        log_.push_back("x");
        loop_.Post(Note("posted-by-x"));
    });
    loop_.RunFor(5ms);
    EXPECT_EQ(log_, (std::vector<std::string>{"y", "x", "posted-by-x"}));
}

TEST_F(LoopTest, RepeatingTimerFiresEachIntervalUntilKilled) {
    int fired = 0;
    const auto id = loop_.NewTimerId();
    loop_.SetTimer(id, 5ms, Mode::Repeating, [&] { ++fired; });
    loop_.RunFor(100ms);
    EXPECT_EQ(fired, 20);
    EXPECT_TRUE(loop_.KillTimer(id));
    loop_.RunFor(100ms);
    EXPECT_EQ(fired, 20);
    EXPECT_FALSE(loop_.KillTimer(id));
}

TEST_F(LoopTest, CallbackMayKillOrReArmItsOwnTimer) {
    // The device tabs' pattern: the handler kills its timer, then re-arms it.
    int fired = 0;
    const auto id = loop_.NewTimerId();
    std::function<void()> handler = [&] {
        ++fired;
        loop_.KillTimer(id);
        if (fired < 3) loop_.SetTimer(id, 30ms, Mode::Repeating, handler);
    };
    loop_.SetTimer(id, 10ms, Mode::Repeating, handler);
    loop_.RunFor(9ms);
    EXPECT_EQ(fired, 0);
    loop_.RunFor(1ms);
    EXPECT_EQ(fired, 1);
    loop_.RunFor(30ms);
    EXPECT_EQ(fired, 2);
    loop_.RunFor(30ms);
    EXPECT_EQ(fired, 3);
    loop_.RunFor(300ms);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(loop_.HasTimer(id));
}

TEST_F(LoopTest, SetTimerOnArmedIdRestartsIt) {
    int fired = 0;
    const auto id = loop_.NewTimerId();
    loop_.SetTimer(id, 10ms, Mode::OneShot, [&] { fired += 1; });
    loop_.RunFor(8ms);
    loop_.SetTimer(id, 10ms, Mode::OneShot, [&] { fired += 100; });
    loop_.RunFor(8ms);
    EXPECT_EQ(fired, 0);
    loop_.RunFor(2ms);
    EXPECT_EQ(fired, 100);
}

TEST_F(LoopTest, ZeroIntervalRepeatingTimerDoesNotSpinTheLoop) {
    int fired = 0;
    const auto id = loop_.NewTimerId();
    loop_.SetTimer(id, 0ms, Mode::Repeating, [&] { ++fired; });
    clock_->Advance(1ms);
    loop_.RunUntilIdle();
    EXPECT_EQ(fired, 1);
}

TEST_F(LoopTest, SendOnUiThreadRunsAtOnceAheadOfQueuedPosts) {
    loop_.Post(Note("posted"));
    EXPECT_TRUE(loop_.Send(Note("sent")));
    loop_.RunUntilIdle();
    EXPECT_EQ(log_, (std::vector<std::string>{"sent", "posted"}));
}

TEST_F(LoopTest, NestedRunUntilProcessesWorkAndQuitEndsBothLevels) {
    bool closed = false;
    loop_.Post([&] { closed = true; });
    EXPECT_TRUE(loop_.RunUntil([&] { return closed; }));

    loop_.Post([&] { loop_.Quit(7); });
    EXPECT_FALSE(loop_.RunUntil([] { return false; }));
    EXPECT_TRUE(loop_.IsQuitting());
    EXPECT_EQ(loop_.Run(), 7);
}

TEST_F(LoopTest, WakeCallbackAndExternalDriver) {
    // An outside driver is told about new work and deadlines and calls ProcessDue.
    std::atomic<int> wakes{0};
    loop_.SetWakeCallback([&] { ++wakes; });
    loop_.Post(Note("a"));
    EXPECT_GE(wakes.load(), 1);
    EXPECT_TRUE(loop_.HasReadyWork());
    const auto id = loop_.NewTimerId();
    loop_.SetTimer(id, 40ms, Mode::OneShot, Note("t"));
    ASSERT_TRUE(loop_.NextDeadline().has_value());
    EXPECT_EQ(*loop_.NextDeadline() - clock_->Now(), 40ms);
    loop_.ProcessDue();
    EXPECT_FALSE(loop_.HasReadyWork());
    clock_->SetNow(*loop_.NextDeadline());
    EXPECT_TRUE(loop_.HasReadyWork());
    loop_.ProcessDue();
    EXPECT_EQ(log_, (std::vector<std::string>{"a", "t"}));
}

TEST_F(LoopTest, ProcessingFromAnotherThreadIsRefused) {
    loop_.Post(Note("a"));
    std::size_t ran = 99;
    std::thread other([&] { ran = loop_.ProcessDue(); });
    other.join();
    EXPECT_EQ(ran, 0u);
    EXPECT_TRUE(log_.empty());
}

// --- cross-thread behaviour (also run under ThreadSanitizer)

TEST(LoopConcurrent, SendFromWorkerBlocksUntilHandledOnUiThread) {
    MessageLoop loop;
    std::atomic<bool> returned{false};
    std::thread::id ran_on;
    int value = 0;
    std::thread worker([&] {
        const bool ok = loop.Send([&] {
            ran_on = std::this_thread::get_id();
            value = 42;
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(value, 42);  // the UI thread's write is visible once Send returns
        returned = true;
        loop.Quit(3);
    });
    EXPECT_EQ(loop.Run(), 3);
    worker.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST(LoopConcurrent, PostsFromManyThreadsKeepPerThreadOrder) {
    MessageLoop loop;
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    std::vector<std::vector<int>> seen(kThreads);
    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) loop.Post([&, t, i] { seen[t].push_back(i); });
            if (++finished == kThreads) loop.Post([&] { loop.Quit(); });
        });
    }
    loop.Run();
    for (auto& th : threads) th.join();
    loop.RunUntilIdle();
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(kEach));
        for (int i = 0; i < kEach; ++i) ASSERT_EQ(seen[t][i], i);
    }
}

TEST(LoopConcurrent, QuitReleasesWaitingSendersAndLaterSendsFail) {
    auto clock = std::make_shared<ManualClock>();
    MessageLoop loop(clock);
    std::atomic<int> failed{0};
    std::atomic<bool> task_ran{false};
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&] {
            if (!loop.Send([&] { task_ran = true; })) ++failed;
        });
    }
    // The UI thread never processes; it quits while the senders wait (or before
    // they queue): none may hang.
    while (!loop.HasReadyWork() && failed.load() < 3) std::this_thread::yield();
    loop.Quit();
    for (auto& w : workers) w.join();
    EXPECT_EQ(failed.load(), 3);
    EXPECT_FALSE(task_ran.load());

    std::thread late([&] { EXPECT_FALSE(loop.Send([&] { task_ran = true; })); });
    late.join();
    loop.RunUntilIdle();
    EXPECT_FALSE(task_ran.load());
}

TEST(LoopConcurrent, StopTokenWithdrawsAWaitingSend) {
    MessageLoop loop;
    std::stop_source stop;
    std::atomic<bool> task_ran{false};
    std::atomic<bool> result{true};
    std::thread worker([&] { result = loop.Send([&] { task_ran = true; }, stop.get_token()); });
    while (!loop.HasReadyWork()) std::this_thread::yield();
    stop.request_stop();
    worker.join();
    EXPECT_FALSE(result.load());
    loop.RunUntilIdle();
    EXPECT_FALSE(task_ran.load());
}

TEST(LoopConcurrent, TimersArmedFromWorkerFireOnUiThread) {
    MessageLoop loop;
    const auto ui = std::this_thread::get_id();
    std::atomic<bool> on_ui{false};
    const auto id = loop.NewTimerId();
    std::thread worker([&] {
        loop.SetTimer(id, 5ms, MessageLoop::TimerMode::OneShot, [&] {
            on_ui = std::this_thread::get_id() == ui;
            loop.Quit();
        });
    });
    loop.Run();
    worker.join();
    EXPECT_TRUE(on_ui.load());
}

TEST(LoopConcurrent, SendsAndPostsFromWorkersWhileUiThreadIsInNestedLoop) {
    MessageLoop loop;
    std::atomic<int> sent{0};
    std::atomic<int> posted{0};
    bool modal_closed = false;
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                if (loop.Send([&] { ++sent; })) loop.Post([&] { ++posted; });
            }
        });
    }
    // A modal loop ends once all work arrived; then the outer loop quits.
    EXPECT_TRUE(loop.RunUntil([&] {
        modal_closed = sent.load() == 600 && posted.load() == 600;
        return modal_closed;
    }));
    for (auto& w : workers) w.join();
    EXPECT_EQ(sent.load(), 600);
    EXPECT_EQ(posted.load(), 600);
}

}  // namespace
}  // namespace lumora
