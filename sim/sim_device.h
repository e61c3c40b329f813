#pragma once
// One emulated HID interface: a firmware model behind socket-pair channels, served by
// its own firmware thread. Like hidraw, every open channel sees every input report.
// Models a full-speed link (one report per millisecond each way) unless pacing is off,
// injects faults, and records what it saw.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/emulated_hid_endpoint.h"
#include "hid/hid_types.h"
#include "sim/firmware_model.h"
#include "sim/sim_fault.h"

namespace lumora {

class SimDevice : public EmulatedHidEndpoint, public std::enable_shared_from_this<SimDevice> {
public:
    struct Config {
        std::string node;  // "sim:<name>"
        HidIdentity identity;
        std::vector<uint8_t> descriptor;
        bool behind_receiver = false;  // for the generic model only
        bool pacing = true;
        bool writable = true;
        // The firmware behind this interface; a generic one when empty. Interfaces that
        // share a model (a device and its receiver) share the device's memory.
        std::shared_ptr<FirmwareModel> model;
    };
    struct Recorded {
        char direction;  // 'W' host to device, 'R' device to host
        std::vector<uint8_t> bytes;
    };

    explicit SimDevice(Config config);
    ~SimDevice() override;

    // EmulatedHidEndpoint
    std::string Node() const override { return config_.node; }
    std::vector<uint8_t> Hello() const override;
    int Connect() override;
    bool Plugged() const override;
    bool Writable() const override { return config_.writable; }

    void Plug();
    void Unplug();
    void SetPacing(bool on);
    void InjectFault(const SimFault& fault);
    void ClearFaults();
    // Sends an input report (report ID first) to every open channel, paced like a reply.
    void SendInputReport(const std::vector<uint8_t>& report);

    FirmwareModel& Model() { return *model_; }
    const std::shared_ptr<FirmwareModel>& ModelPtr() const { return model_; }
    const HidIdentity& Identity() const { return config_.identity; }
    const std::vector<uint8_t>& Descriptor() const { return config_.descriptor; }
    bool Pacing() const;
    uint32_t CommandsSeen() const { return commands_seen_.load(); }
    size_t OpenChannels() const;
    std::vector<Recorded> Recording() const;
    void ClearRecording();

private:
    struct Outgoing {
        int64_t due_us;
        std::vector<uint8_t> bytes;
    };
    void Run();
    void Wake();
    void CloseChannelsLocked();
    void HandleCommandLocked(const uint8_t* data, size_t size, int64_t now_us);
    void QueueLocked(std::vector<uint8_t> bytes, int64_t earliest_us);
    void RecordLocked(char direction, const uint8_t* data, size_t size);
    static int64_t NowUs();

    const Config config_;
    const std::shared_ptr<FirmwareModel> model_;

    mutable std::mutex mutex_;
    std::vector<int> channels_;  // our ends
    bool plugged_ = true;
    bool pacing_;
    bool stopping_ = false;
    std::deque<Outgoing> outgoing_;
    std::vector<SimFault> faults_;
    int64_t next_in_us_ = 0;   // earliest time the next output report is taken
    int64_t next_out_us_ = 0;  // earliest time the next input report goes out
    std::deque<Recorded> recording_;
    std::atomic<uint32_t> commands_seen_{0};
    int wake_fd_ = -1;
    std::thread thread_;
};

}  // namespace lumora
