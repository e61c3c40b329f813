#include "platform/logger.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <vector>

namespace lumora {
namespace {

struct LoggerState {
    std::atomic<int> level{static_cast<int>(LogLevel::Warning)};
    std::mutex mutex;  // guards sink and file, and keeps lines whole
    Logger::Sink sink;
    FILE* file = nullptr;
    bool configured = false;

    LoggerState() { Configure(); }
    ~LoggerState() {
        if (file) std::fclose(file);
    }
    void Configure() {
        const char* env = std::getenv("LUMORA_LOG");
        level = static_cast<int>(Logger::ParseLevel(env ? env : "", LogLevel::Warning));
        std::lock_guard lock(mutex);
        if (file) {
            std::fclose(file);
            file = nullptr;
        }
        if (const char* path = std::getenv("LUMORA_LOG_FILE"); path && *path)
            file = std::fopen(path, "a");
    }
};

LoggerState& State() {
    static LoggerState state;
    return state;
}

const char* LevelName(LogLevel level) {
    switch (level) {
        case LogLevel::Debug: return "debug";
        case LogLevel::Info: return "info";
        case LogLevel::Warning: return "warning";
        case LogLevel::Error: return "error";
        case LogLevel::Off: break;
    }
    return "off";
}

}  // namespace

bool Logger::Enabled(LogLevel level) {
    return level != LogLevel::Off && static_cast<int>(level) >= State().level.load(std::memory_order_relaxed);
}

void Logger::SetLevel(LogLevel level) { State().level = static_cast<int>(level); }

LogLevel Logger::Level() { return static_cast<LogLevel>(State().level.load()); }

void Logger::ConfigureFromEnvironment() { State().Configure(); }

void Logger::SetSink(Sink sink) {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    state.sink = std::move(sink);
}

LogLevel Logger::ParseLevel(std::string_view text, LogLevel fallback) {
    if (text == "debug") return LogLevel::Debug;
    if (text == "info") return LogLevel::Info;
    if (text == "warning" || text == "warn") return LogLevel::Warning;
    if (text == "error") return LogLevel::Error;
    if (text == "off" || text == "none") return LogLevel::Off;
    return fallback;
}

void Logger::Write(LogLevel level, std::string_view tag, std::string_view text) {
    if (!Enabled(level)) return;
    auto& state = State();
    std::lock_guard lock(state.mutex);
    if (state.sink) {
        state.sink(level, tag, text);
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    FILE* out = state.file ? state.file : stderr;
    std::fprintf(out, "%s.%03ld %-7s [%.*s] %.*s\n", stamp, now.tv_nsec / 1000000, LevelName(level),
                 static_cast<int>(tag.size()), tag.data(), static_cast<int>(text.size()), text.data());
    std::fflush(out);
}

void Logger::VPrintf(LogLevel level, const char* tag, const char* format, va_list args) {
    if (!Enabled(level)) return;
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) return;
    if (static_cast<size_t>(needed) < sizeof small) {
        Write(level, tag, std::string_view(small, static_cast<size_t>(needed)));
        return;
    }
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    std::vsnprintf(big.data(), big.size(), format, args);
    Write(level, tag, std::string_view(big.data(), static_cast<size_t>(needed)));
}

void Logger::Printf(LogLevel level, const char* tag, const char* format, ...) {
    va_list args;
    va_start(args, format);
    VPrintf(level, tag, format, args);
    va_end(args);
}

}  // namespace lumora
