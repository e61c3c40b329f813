#include "hid/hid_trace.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace lumora {
namespace {

struct TraceState {
    std::mutex mutex;
    FILE* file = nullptr;
    std::atomic<bool> enabled{false};

    TraceState() {
        const char* env = std::getenv("LUMORA_HID_TRACE");
        Open(env ? env : "");
    }
    ~TraceState() {
        if (file) std::fclose(file);
    }
    void Open(const std::string& path) {
        std::lock_guard lock(mutex);
        if (file) std::fclose(file);
        file = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
        enabled = file != nullptr;
    }
};

TraceState& State() {
    static TraceState state;
    return state;
}

}  // namespace

bool HidTrace::Enabled() { return State().enabled.load(std::memory_order_relaxed); }

void HidTrace::Configure(const std::string& file) { State().Open(file); }

void HidTrace::ConfigureFromEnvironment() {
    const char* env = std::getenv("LUMORA_HID_TRACE");
    State().Open(env ? env : "");
}

void HidTrace::Record(std::string_view path, char direction, const uint8_t* data, size_t size) {
    auto& state = State();
    if (!state.enabled.load(std::memory_order_relaxed)) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ms = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    std::lock_guard lock(state.mutex);
    if (!state.file) return;
    std::fprintf(state.file, "%lld %.*s %c", ms, static_cast<int>(path.size()), path.data(), direction);
    for (size_t i = 0; i < size; ++i) std::fprintf(state.file, " %02x", data[i]);
    std::fputc('\n', state.file);
    std::fflush(state.file);
}

}  // namespace lumora
