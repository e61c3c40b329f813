#pragma once
// Shared pieces of the bus suites: a private runtime folder with XDG_RUNTIME_DIR
// pointing at it, a log catcher, and a collector for what the server hands over.

#include "platform/bus_message.h"
#include "platform/bus_request.h"
#include "platform/logger.h"
#include "tests/platform/temp_folder.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace lumora::testing {

class RuntimeFolder {
public:
    RuntimeFolder() { chmod(temp_.Path().c_str(), 0700); }
    std::filesystem::path Lock() const { return temp_ / "Halvek Trine Keyboard.lock"; }
    std::filesystem::path Socket() const { return temp_ / "Halvek Trine Keyboard.sock"; }
    const std::filesystem::path& Path() const { return temp_.Path(); }

private:
    TempFolder temp_;
    ScopedEnv env_{"XDG_RUNTIME_DIR", temp_.Path().string()};
};

// Thread-safe list that tests wait on.
template <typename T>
class Collector {
public:
    void Add(T item) {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
        changed_.notify_all();
    }
    // Waits (long enough never to matter on a healthy run) for at least n items.
    bool WaitFor(std::size_t n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return items_.size() >= n; });
    }
    std::vector<T> Items() {
        std::lock_guard lock(mutex_);
        return items_;
    }
    std::size_t Size() {
        std::lock_guard lock(mutex_);
        return items_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<T> items_;
};

class LogCatcher {
public:
    LogCatcher() {
        Logger::SetSink([this](LogLevel level, std::string_view, std::string_view text) {
            if (level >= LogLevel::Warning) lines_.Add(std::string(text));
        });
    }
    ~LogCatcher() { Logger::SetSink(nullptr); }
    // Waits until `occurrences` lines hold `part`.
    bool WaitFor(const std::string& part, int occurrences = 1) {
        int found = 0;
        for (std::size_t seen = 1;; ++seen) {
            if (!lines_.WaitFor(seen)) return false;
            if (lines_.Items()[seen - 1].find(part) != std::string::npos && ++found == occurrences) return true;
        }
    }
    std::vector<std::string> Lines() { return lines_.Items(); }

private:
    Collector<std::string> lines_;
};

}  // namespace lumora::testing
