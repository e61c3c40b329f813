#include "platform/worker_thread.h"

#include "platform/logger.h"
#include "platform/message_catalogue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

namespace lumora {
namespace {

using namespace std::chrono_literals;

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

TEST(StopEventTest, ManualResetAndPollable) {
    StopEvent event;
    ASSERT_GE(event.PollFd(), 0);
    EXPECT_FALSE(event.Wait(1ms));
    EXPECT_FALSE(Readable(event.PollFd()));
    event.Set();
    event.Set();
    // Stays set for every waiter until reset.
    EXPECT_TRUE(event.Wait(0ms));
    EXPECT_TRUE(event.Wait(0ms));
    EXPECT_TRUE(Readable(event.PollFd()));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.Wait(1ms));
    EXPECT_FALSE(Readable(event.PollFd()));
}

TEST(StopEventTest, SetWakesEveryWaiter) {
    StopEvent event;
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            event.Wait();  // no time-out: a lost wake-up hangs the test
            ++woken;
        });
    event.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken, 3);
}

// Collects log lines so a test can wait for one.
class LogWatch {
public:
    LogWatch() {
        Logger::SetLevel(LogLevel::Warning);
        Logger::SetSink([this](LogLevel, std::string_view, std::string_view text) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(text);
            changed_.notify_all();
        });
    }
    ~LogWatch() { Logger::SetSink(nullptr); }
    bool WaitFor(const std::string& part) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 30s, [&] {
            for (const auto& line : lines_)
                if (line.find(part) != std::string::npos) return true;
            return false;
        });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

TEST(WorkerThreadTest, LoopRunsPassesUntilStopped) {
    WorkerThread worker("passes");
    std::mutex mutex;
    std::condition_variable progressed;
    int passes = 0;
    ASSERT_TRUE(worker.StartLoop([&] {
        std::lock_guard lock(mutex);
        ++passes;
        progressed.notify_all();
    }));
    EXPECT_TRUE(worker.Running());
    EXPECT_FALSE(worker.StartLoop([] {}));  // one body at a time
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(progressed.wait_for(lock, 30s, [&] { return passes >= 3; }));
    }
    EXPECT_TRUE(worker.Stop());
    EXPECT_FALSE(worker.Running());
    int after;
    {
        std::lock_guard lock(mutex);
        after = passes;
    }
    std::this_thread::sleep_for(10ms);
    std::lock_guard lock(mutex);
    EXPECT_EQ(passes, after);
}

TEST(WorkerThreadTest, RestartsWithTheEventReset) {
    WorkerThread worker("restart");
    for (int round = 0; round < 3; ++round) {
        std::atomic<bool> sawStop{false};
        ASSERT_TRUE(worker.Start([&](const StopEvent& stop) {
            stop.Wait();
            sawStop = true;
        }));
        EXPECT_TRUE(worker.Stop());
        EXPECT_TRUE(sawStop);
    }
    EXPECT_TRUE(worker.Stop());  // nothing running
}

TEST(WorkerThreadTest, BodyOverstayingTheBoundIsLoggedAndStillJoined) {
    LogWatch log;
    std::mutex mutex;
    std::condition_variable opened;
    bool gate = false;
    std::atomic<bool> left{false};
    WorkerThread worker("stubborn");
    // This body waits on something the stop event does not interrupt.
    ASSERT_TRUE(worker.Start([&](const StopEvent&) {
        std::unique_lock lock(mutex);
        opened.wait(lock, [&] { return gate; });
        left = true;
    }));
    std::thread opener([&] {
        // Open only once Stop has given up waiting, so the order is certain.
        log.WaitFor("did not stop within 20 ms");
        std::lock_guard lock(mutex);
        gate = true;
        opened.notify_all();
    });
    EXPECT_FALSE(worker.Stop(20ms));
    EXPECT_TRUE(left);  // Stop returned only after the join
    EXPECT_FALSE(worker.Running());
    opener.join();
}

TEST(WorkerThreadTest, StopFromTheBodyDoesNotDeadlock) {
    LogWatch log;
    WorkerThread worker("self");
    std::atomic<int> result{-1};
    ASSERT_TRUE(worker.Start([&](const StopEvent& stop) {
        result = worker.Stop() ? 1 : 0;
        stop.Wait();
    }));
    ASSERT_TRUE(log.WaitFor("asked to stop itself"));
    EXPECT_TRUE(worker.Stop());
    EXPECT_EQ(result, 0);
}

TEST(MessageCatalogueThreadsTest, ThreadsRegisteringTheSameNamesAgree) {
    MessageCatalogue catalogue;
    constexpr int kNames = 300;
    constexpr int kThreads = 4;
    std::vector<std::vector<std::uint32_t>> seen(kThreads, std::vector<std::uint32_t>(kNames));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kNames; ++i) {
                int n = t % 2 ? kNames - 1 - i : i;  // half of them in reverse order
                seen[t][n] = catalogue.Register("Name_" + std::to_string(n));
                catalogue.Find("Name_" + std::to_string((n * 7) % kNames));
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(catalogue.Size(), static_cast<std::size_t>(kNames));
    for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t], seen[0]);
    for (int n = 0; n < kNames; ++n) EXPECT_EQ(catalogue.NameOf(seen[0][n]), "Name_" + std::to_string(n));
}

}  // namespace
}  // namespace lumora
