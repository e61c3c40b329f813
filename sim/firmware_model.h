#pragma once
// Answers the 64-byte command protocol the way the devices' firmware does: every
// reply echoes the command byte and carries a status byte; paged writes land at
// their offsets. Knows nothing about how reports reach it.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

#include "sim/firmware_memory.h"

namespace lumora {

class FirmwareModel {
public:
    static constexpr uint8_t kReportId = 0x04;
    static constexpr uint8_t kStatusOk = 0x00;
    static constexpr uint8_t kStatusError = 0xFF;
    static constexpr uint8_t kLinkDown = 0xAA;

    using Report = std::array<uint8_t, 64>;

    explicit FirmwareModel(bool behind_receiver = false);

    // The reply to one output report, or nothing for a report that is not a command.
    std::optional<Report> Handle(const uint8_t* request, size_t length);

    // Access to the memory under the model's lock (tests, per-device models).
    template <typename F>
    auto WithMemory(F&& f) {
        std::lock_guard lock(mutex_);
        return f(memory_);
    }
    bool InConfig() const;
    uint32_t FramesStreamed() const;

    static uint16_t Checksum(const uint8_t* report);

private:
    std::optional<Report> HandleLocked(const uint8_t* request);

    mutable std::mutex mutex_;
    FirmwareMemory memory_;
    bool behind_receiver_;
    bool in_config_ = false;
    uint32_t frames_ = 0;
};

}  // namespace lumora
