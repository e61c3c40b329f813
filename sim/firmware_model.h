#pragma once
// Answers the 64-byte command protocol the way the devices' firmware does: every
// reply echoes the command byte and carries a status byte; paged writes land at
// their offsets. Knows nothing about how reports reach it: requests come in through
// Handle, the device's own event reports leave through the event sink.
//
// Per-device models derive from it, give the memory its fresh contents and add the
// on-device actions (buttons) that change the memory and announce it with an event.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/firmware_memory.h"

namespace lumora {

class FirmwareModel {
public:
    static constexpr uint8_t kReportId = 0x04;
    static constexpr uint8_t kEventReportId = 0x03;  // consumer collection: one 16-bit usage
    static constexpr uint8_t kStatusOk = 0x00;
    static constexpr uint8_t kStatusError = 0xFF;
    static constexpr uint8_t kLinkDown = 0xAA;

    // Event usages the devices send on their consumer collection.
    static constexpr uint16_t kEventSettingsChanged = 0x401;  // read the settings again
    static constexpr uint16_t kEventResync = 0x402;           // the device lost its state: resynchronise
    static constexpr uint16_t kEventClick = 0x403;            // a mouse click (reactive lighting)
    static constexpr uint16_t kEventPhone = 0x404;            // a phone was put on or taken off the pad
    static constexpr uint16_t kEventProfile = 0x1000;         // | profile: the active on-board profile
    static constexpr uint16_t kEventProfileAndMode = 0x1100;  // | value << 4 | profile

    using Report = std::array<uint8_t, 64>;
    // Takes one input report (report ID first); true when it went out on a present interface.
    using EventSink = std::function<bool(const std::vector<uint8_t>&)>;

    struct SentEvent {
        uint16_t usage = 0;
        bool delivered = false;
    };

    explicit FirmwareModel(bool behind_receiver = false);
    virtual ~FirmwareModel() = default;
    FirmwareModel(const FirmwareModel&) = delete;
    FirmwareModel& operator=(const FirmwareModel&) = delete;

    // The reply to one output report, or nothing for a report that is not a command
    // (a device may still act on it, see HandleOtherReportLocked).
    virtual std::optional<Report> Handle(const uint8_t* request, size_t length);

    // Access to the memory under the model's lock (tests, per-device models).
    template <typename F>
    auto WithMemory(F&& f) {
        std::lock_guard lock(mutex_);
        return f(memory_);
    }
    template <typename F>
    auto WithMemory(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(static_cast<const FirmwareMemory&>(memory_));
    }
    bool InConfig() const;
    uint32_t FramesStreamed() const;

    // Where the device's event reports go. Never called with the model's lock held.
    void SetEventSink(EventSink sink);
    // Sends a consumer event report with this usage through the sink.
    SentEvent SendEvent(uint16_t usage);

    // The cable was plugged in or pulled out (wireless devices charge on it).
    virtual void SetCableAttached(bool attached);

    // Readable state for dumps: the memory regions that matter for this device.
    virtual std::string Describe() const;

    static uint16_t Checksum(const uint8_t* report);
    // Stores the checksum of bytes 3..63 in bytes 1 and 2.
    static void Seal(Report& report);
    // Rows of 16 hexadecimal bytes, each prefixed with its offset.
    static std::string HexRows(const uint8_t* data, size_t size, size_t base_offset = 0);

protected:
    // A report other than a 64-byte command (e.g. the headset's light reports); ignored here.
    virtual void HandleOtherReportLocked(const uint8_t* report, size_t length);
    // Describe's device part, with the lock held.
    virtual void DescribeLocked(std::string& out, const FirmwareMemory& memory) const;
    // The device information block as every device of the family fills it:
    //   0-1 product ID, 2-3 firmware version (BCD), 4 device kind, 5 key slots N,
    //   6 macro memory in 128-byte units, 7 on-board profiles, 8 LEDs,
    //   9-15 device specific (the mouse's sensor), 16-33 model name (ASCII, zero-padded).
    static constexpr uint16_t kFirmwareVersion = 0x0102;
    static constexpr size_t kInfoNameOffset = 16;
    struct InfoFields {
        uint16_t product_id = 0;
        uint8_t kind = 0;
        uint8_t key_slots = 0;
        uint8_t macro_units = 0;
        uint8_t profiles = 1;
        uint8_t leds = 0;
        const char* name = "";
    };
    static void FillInfo(FirmwareMemory& memory, const InfoFields& fields);
    // Builds a sealed reply with the status for the request (command, length and offset echoed).
    static Report ReplyTo(const uint8_t* request, uint8_t status);
    // The model's lock, for a device's own state beside the memory.
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock(mutex_); }

private:
    std::optional<Report> HandleLocked(const uint8_t* request);

    mutable std::mutex mutex_;
    FirmwareMemory memory_;
    bool behind_receiver_;
    bool in_config_ = false;
    uint32_t frames_ = 0;

    std::mutex sink_mutex_;  // taken after, never while holding, mutex_
    EventSink sink_;
};

}  // namespace lumora
