#include "sim/receiver_model.h"

namespace lumora {

ReceiverModel::ReceiverModel(std::shared_ptr<FirmwareModel> device) : device_(std::move(device)) {}

std::optional<FirmwareModel::Report> ReceiverModel::Handle(const uint8_t* request, size_t length) {
    if (request == nullptr || length != 64 || request[0] != kReportId) return std::nullopt;
    const bool up = link_up_.load();
    if (request[3] == kQueryLink) {
        const uint16_t sum = static_cast<uint16_t>(request[1] | (request[2] << 8));
        if (sum != Checksum(request)) return ReplyTo(request, kStatusError);
        Report reply = ReplyTo(request, kStatusOk);
        reply[8] = up ? 0xFF : 0x00;
        Seal(reply);
        return reply;
    }
    if (!up) {
        Report reply = ReplyTo(request, kStatusOk);
        reply[3] = kLinkDown;
        Seal(reply);
        return reply;
    }
    return device_->Handle(request, length);
}

std::string ReceiverModel::Describe() const {
    std::string out = std::string("link to the device: ") + (link_up_.load() ? "up" : "down") + "\n";
    out += "paired device (shared with its cable interface):\n";
    out += device_->Describe();
    return out;
}

}  // namespace lumora
