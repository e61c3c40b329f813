#pragma once
// A 2.4 GHz receiver: answers the wireless link query itself and relays every other
// command over the air to its paired device, whose memory it therefore shares with the
// device's cable interface. While the link is down (the device asleep or switched off)
// it answers 0xAA in the command byte. Its own memory is unused: the device's is the one.

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "sim/firmware_model.h"

namespace lumora {

class ReceiverModel : public FirmwareModel {
public:
    static constexpr uint8_t kQueryLink = 0xAA;

    explicit ReceiverModel(std::shared_ptr<FirmwareModel> device);

    std::optional<Report> Handle(const uint8_t* request, size_t length) override;
    std::string Describe() const override;

    void SetLinkUp(bool up) { link_up_ = up; }
    bool LinkUp() const { return link_up_.load(); }
    FirmwareModel& Device() { return *device_; }

private:
    const std::shared_ptr<FirmwareModel> device_;
    std::atomic<bool> link_up_{true};
};

}  // namespace lumora
