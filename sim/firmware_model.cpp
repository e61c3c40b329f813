#include "sim/firmware_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace lumora {
namespace {

constexpr size_t kMaxPage = 56;

// Copies between a memory area and a page, refusing anything outside the area.
bool InRange(const std::vector<uint8_t>& area, size_t offset, size_t length) {
    return offset <= area.size() && length <= area.size() - offset;
}

}  // namespace

FirmwareModel::FirmwareModel(bool behind_receiver) : behind_receiver_(behind_receiver) {}

uint16_t FirmwareModel::Checksum(const uint8_t* report) {
    uint32_t sum = 0;
    for (size_t i = 3; i < 64; ++i) sum += report[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

void FirmwareModel::Seal(Report& report) {
    const uint16_t sum = Checksum(report.data());
    report[1] = static_cast<uint8_t>(sum & 0xFF);
    report[2] = static_cast<uint8_t>(sum >> 8);
}

FirmwareModel::Report FirmwareModel::ReplyTo(const uint8_t* request, uint8_t status) {
    Report reply{};
    reply[0] = kReportId;
    reply[3] = request[3];
    reply[4] = request[4];
    reply[5] = request[5];
    reply[6] = request[6];
    reply[7] = status;
    Seal(reply);
    return reply;
}

std::string FirmwareModel::HexRows(const uint8_t* data, size_t size, size_t base_offset) {
    std::string out;
    char cell[16];
    for (size_t row = 0; row < size; row += 16) {
        std::snprintf(cell, sizeof cell, "  %04zx:", base_offset + row);
        out += cell;
        for (size_t i = row; i < size && i < row + 16; ++i) {
            std::snprintf(cell, sizeof cell, " %02x", data[i]);
            out += cell;
        }
        out += '\n';
    }
    return out;
}

bool FirmwareModel::InConfig() const {
    std::lock_guard lock(mutex_);
    return in_config_;
}

uint32_t FirmwareModel::FramesStreamed() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void FirmwareModel::SetEventSink(EventSink sink) {
    std::lock_guard lock(sink_mutex_);
    sink_ = std::move(sink);
}

FirmwareModel::SentEvent FirmwareModel::SendEvent(uint16_t usage) {
    const std::vector<uint8_t> report = {kEventReportId, static_cast<uint8_t>(usage & 0xFF),
                                         static_cast<uint8_t>(usage >> 8)};
    std::lock_guard lock(sink_mutex_);
    return {usage, sink_ ? sink_(report) : false};
}

void FirmwareModel::SetCableAttached(bool) {}

void FirmwareModel::FillInfo(FirmwareMemory& memory, const InfoFields& fields) {
    memory.info.fill(0);
    memory.info[0] = static_cast<uint8_t>(fields.product_id & 0xFF);
    memory.info[1] = static_cast<uint8_t>(fields.product_id >> 8);
    memory.info[2] = static_cast<uint8_t>(kFirmwareVersion & 0xFF);
    memory.info[3] = static_cast<uint8_t>(kFirmwareVersion >> 8);
    memory.info[4] = fields.kind;
    memory.info[5] = fields.key_slots;
    memory.info[6] = fields.macro_units;
    memory.info[7] = fields.profiles;
    memory.info[8] = fields.leds;
    const size_t name_length = std::min(std::strlen(fields.name), FirmwareMemory::kInfoSize - kInfoNameOffset);
    std::memcpy(memory.info.data() + kInfoNameOffset, fields.name, name_length);
}

void FirmwareModel::HandleOtherReportLocked(const uint8_t*, size_t) {}

std::string FirmwareModel::Describe() const {
    std::string out;
    std::lock_guard lock(mutex_);
    char line[96];
    std::snprintf(line, sizeof line, "in config: %s, light frames streamed: %u\n", in_config_ ? "yes" : "no",
                  frames_);
    out += line;
    DescribeLocked(out, memory_);
    return out;
}

void FirmwareModel::DescribeLocked(std::string& out, const FirmwareMemory& memory) const {
    out += "device information:\n" + HexRows(memory.info.data(), memory.info.size());
    const size_t settings = std::min<size_t>(64, memory.settings.size());
    out += "settings (first 64 bytes):\n" + HexRows(memory.settings.data(), settings);
    out += "status:\n" + HexRows(memory.status.data(), memory.status.size());
}

std::optional<FirmwareModel::Report> FirmwareModel::Handle(const uint8_t* request, size_t length) {
    if (request == nullptr || length == 0) return std::nullopt;
    std::lock_guard lock(mutex_);
    if (length == 64 && request[0] == kReportId) return HandleLocked(request);
    HandleOtherReportLocked(request, length);
    return std::nullopt;
}

std::optional<FirmwareModel::Report> FirmwareModel::HandleLocked(const uint8_t* request) {
    const uint8_t command = request[3];
    const size_t length = request[4];
    const size_t offset = static_cast<size_t>(request[5]) | (static_cast<size_t>(request[6]) << 8);
    Report reply = ReplyTo(request, kStatusOk);
    uint8_t status = kStatusOk;
    const uint8_t* data = request + 8;
    uint8_t* out = reply.data() + 8;

    auto read_area = [&](const uint8_t* area, size_t size) {
        if (length > kMaxPage || offset > size || length > size - offset) return false;
        std::memcpy(out, area + offset, length);
        return true;
    };
    auto write_area = [&](std::vector<uint8_t>& area) {
        if (length > kMaxPage || !InRange(area, offset, length)) return false;
        std::memcpy(area.data() + offset, data, length);
        return true;
    };

    const uint16_t sum = static_cast<uint16_t>(request[1] | (request[2] << 8));
    if (behind_receiver_ && !memory_.wireless_link_up && command != 0xAA) {
        reply[3] = kLinkDown;  // the receiver cannot reach the device
    } else if (sum != Checksum(request)) {
        status = kStatusError;
    } else {
        bool ok = true;
        switch (command) {
            case 0x01: in_config_ = true; break;
            case 0x02: in_config_ = false; break;
            case 0x1C: break;
            case 0x03: ok = read_area(memory_.info.data(), memory_.info.size()); break;
            case 0x05: ok = read_area(memory_.settings.data(), memory_.settings.size()); break;
            case 0x06: ok = write_area(memory_.settings); break;
            case 0x07: ok = read_area(memory_.key_slots.data(), memory_.key_slots.size()); break;
            case 0x09: ok = write_area(memory_.key_slots); break;
            case 0x0B: ok = write_area(memory_.light); break;
            case 0x12:
                ok = write_area(memory_.frame);
                if (ok && offset == 0) ++frames_;
                break;
            case 0x15: ok = write_area(memory_.macro); break;
            case 0x17: ok = write_area(memory_.block56); break;
            case 0x1A: ok = read_area(memory_.status.data(), memory_.status.size()); break;
            case 0x1B: ok = read_area(memory_.key_leds.data(), memory_.key_leds.size()); break;
            case 0xAA: out[0] = (!behind_receiver_ || memory_.wireless_link_up) ? 0xFF : 0x00; break;
            default: ok = false; break;
        }
        if (!ok) status = kStatusError;
    }
    reply[7] = status;
    Seal(reply);
    return reply;
}

}  // namespace lumora
