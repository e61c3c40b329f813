#include "transport/device_transport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/logger.h"

namespace lumora {
namespace {

constexpr size_t kDataOffset = 8;
constexpr size_t kMaxData = DeviceTransport::kReportSize - kDataOffset;  // 56
constexpr size_t kDeviceInfoSize = 34;
constexpr uint32_t kMaxOffset = 0xFFFF;
// Big enough for any input report a node may declare.
constexpr size_t kReadBuffer = ReportDescriptor::kMaxReportBits / 8 + 1;

}  // namespace

DeviceTransport::~DeviceTransport() { Close(); }

bool DeviceTransport::Open(std::string_view path, bool wireless) {
    std::lock_guard io(io_lock_);
    HidDevice& record = wireless ? secondary_ : primary_;
    if (!record.Open(path, true, true, true, false)) return false;
    SetTransportMode(wireless ? kModeWireless : 1);
    opened_ = true;
    return true;
}

void DeviceTransport::Close() {
    opened_ = false;
    // A transaction waiting for a reply holds the I/O lock: interrupt it rather than wait out its time-out.
    primary_.Abort();
    secondary_.Abort();
    std::lock_guard io(io_lock_);
    primary_.Close();
    secondary_.Close();
}

void DeviceTransport::SetTransportMode(int mode) {
    if (mode == kModeWireless) {
        wireless_ = true;
        page_size_ = kPageWireless;
    } else {
        wireless_ = false;
        page_size_ = kPageWired;
    }
}

bool DeviceTransport::SetBlockSize(uint16_t size) {
    if (size > 512) return false;
    block_size_ = size;
    return true;
}

uint16_t DeviceTransport::Checksum(const uint8_t* report) {
    uint32_t sum = 0;
    for (size_t i = 3; i < kReportSize; ++i) sum += report[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

void DeviceTransport::Seal(uint8_t* report) {
    const uint16_t sum = Checksum(report);
    report[1] = static_cast<uint8_t>(sum & 0xFF);
    report[2] = static_cast<uint8_t>(sum >> 8);
}

void DeviceTransport::Dump(const char* title, const uint8_t* r) {
    if (!Logger::Enabled(LogLevel::Debug)) return;
    Logger::Write(LogLevel::Debug, "transport", title);
    for (int half = 0; half < 2; ++half) {
        const uint8_t* b = r + half * 32;
        Logger::Printf(LogLevel::Debug, "transport",
                       "%02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x  "
                       "%02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x",
                       b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                       b[14], b[15], b[16], b[17], b[18], b[19], b[20], b[21], b[22], b[23], b[24], b[25], b[26],
                       b[27], b[28], b[29], b[30], b[31]);
    }
}

int DeviceTransport::Transact(const uint8_t* request, size_t request_length, uint8_t* reply, size_t reply_length,
                              uint32_t* bytes_read) {
    ++busy_;
    if (bytes_read) *bytes_read = 0;
    int result = kNoReply;
    uint8_t out[kReportSize] = {};
    uint8_t in[kReadBuffer];
    if (opened_ && request != nullptr) {
        std::memcpy(out, request, std::min(request_length, kReportSize));
        Dump("命令", out);
        const bool wireless = wireless_;
        HidDevice& record = wireless ? secondary_ : primary_;
        std::lock_guard exchange(exchange_lock_);
        const uint32_t timeout = wireless ? kWirelessTimeoutMs : kWiredTimeoutMs;
        int written;
        {
            std::lock_guard io(io_lock_);
            written = opened_ ? record.Write(out, kReportSize, nullptr, timeout) : 0;
        }
        if (written <= 0) {
            result = kWriteFailed;
        } else {
            uint32_t got = 0;
            for (int attempt = 0; attempt < 2; ++attempt) {
                {
                    std::lock_guard io(io_lock_);
                    result = opened_ ? record.Read(in, sizeof in, &got, timeout) : 0;
                }
                if (result != 1) break;  // nothing came within the time-out: the reply is lost
                if (in[3] == out[3]) break;
                if (wireless && in[3] == 0xAA) {
                    result = kWirelessUnreachable;
                    break;
                }
                // A reply for another command (left over from an earlier one): look once more.
                if (attempt == 1) {
                    LOG_WARNING("transport", "no reply to command 0x%02x (got 0x%02x twice)", out[3], in[3]);
                    result = kNoReply;
                }
            }
            if (got > 0) {
                const size_t copy = std::min<size_t>({got, reply_length, kReportSize});
                if (reply) std::memcpy(reply, in, copy);
                if (bytes_read) *bytes_read = static_cast<uint32_t>(copy);
                uint8_t dump[kReportSize] = {};
                std::memcpy(dump, in, std::min<size_t>(got, kReportSize));
                Dump("返回", dump);
            }
        }
    }
    --busy_;
    return result;
}

int DeviceTransport::TransactQuiet(const uint8_t* request, size_t request_length, uint8_t* reply,
                                   size_t reply_length) {
    std::lock_guard exchange(exchange_lock_);
    return ExchangeQuiet(request, request_length, reply, reply_length);
}

int DeviceTransport::ExchangeQuiet(const uint8_t* request, size_t request_length, uint8_t* reply,
                                   size_t reply_length) {
    if (!opened_ || request == nullptr) return kNoReply;
    uint8_t out[kReportSize] = {};
    std::memcpy(out, request, std::min(request_length, kReportSize));
    {
        std::lock_guard io(io_lock_);
        if (!opened_ || primary_.Write(out, kReportSize, nullptr, kWiredTimeoutMs) <= 0) return kWriteFailed;
    }
    uint8_t in[kReadBuffer];
    uint32_t got = 0;
    int result;
    {
        std::lock_guard io(io_lock_);
        result = opened_ ? primary_.Read(in, sizeof in, &got, kWiredTimeoutMs) : 0;
    }
    if (result == 1 && reply) std::memcpy(reply, in, std::min<size_t>({got, reply_length, kReportSize}));
    return result;
}

int DeviceTransport::Judge(int result, const uint8_t* reply) {
    if (result != kSuccess) return result;
    if (reply[7] == 0xFF) return kStatusFF;
    if (reply[7] == 0xFE) return kStatusFE;
    return kSuccess;
}

int DeviceTransport::Paged(uint8_t code, Direction direction, uint8_t* destination, const uint8_t* source,
                           size_t length, uint32_t base_offset, size_t page_size, std::mutex* whole,
                           std::mutex* per_page) {
    if (length > 0 && ((direction == Direction::Read && destination == nullptr) ||
                       (direction == Direction::Write && source == nullptr)))
        return kNoReply;
    // The offset field has 16 bits: a command that would wrap it would land on the wrong memory.
    if (length > 0 && base_offset + length - 1 > kMaxOffset) {
        LOG_ERROR("transport", "command 0x%02x: offset %u + %zu does not fit", code, base_offset, length);
        return kNoReply;
    }
    page_size = std::clamp<size_t>(page_size, 1, kMaxData);
    std::unique_lock<std::mutex> whole_lock;
    if (whole) whole_lock = std::unique_lock(*whole);
    uint8_t request[kReportSize];
    uint8_t reply[kReportSize];
    for (size_t progress = 0; progress < length;) {
        const size_t page = std::min(page_size, length - progress);
        const uint32_t offset = base_offset + static_cast<uint32_t>(progress);
        std::memset(request, 0, sizeof request);
        std::memset(reply, 0, sizeof reply);
        request[0] = kReportId;
        request[3] = code;
        request[4] = static_cast<uint8_t>(page);
        request[5] = static_cast<uint8_t>(offset & 0xFF);
        request[6] = static_cast<uint8_t>(offset >> 8);
        if (direction == Direction::Write) std::memcpy(request + kDataOffset, source + progress, page);
        Seal(request);
        int result;
        {
            std::unique_lock<std::mutex> page_lock;
            if (per_page) page_lock = std::unique_lock(*per_page);
            result = Judge(Transact(request, sizeof request, reply, sizeof reply), reply);
        }
        if (result != kSuccess) return result;
        if (direction == Direction::Read) std::memcpy(destination + progress, reply + kDataOffset, page);
        progress += page;
    }
    return kSuccess;
}

int DeviceTransport::Simple(uint8_t code) {
    std::lock_guard command(command_lock_);
    uint8_t request[kReportSize] = {kReportId, 0, 0, code};
    uint8_t reply[kReportSize] = {};
    Seal(request);
    return Judge(Transact(request, sizeof request, reply, sizeof reply), reply);
}

int DeviceTransport::BeginConfig() { return Simple(0x01); }

int DeviceTransport::EndConfig() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Simple(0x02);
}

int DeviceTransport::ClaimLighting() { return Simple(0x1C); }

int DeviceTransport::ReadDeviceInfo(uint8_t* destination) {
    return Paged(0x03, Direction::Read, destination, nullptr, kDeviceInfoSize, 0, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::ReadSettings(uint8_t* destination, size_t length, uint16_t base_offset) {
    return Paged(0x05, Direction::Read, destination, nullptr, length, base_offset, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::WriteSettings(const uint8_t* source, size_t length, uint16_t base_offset) {
    return Paged(0x06, Direction::Write, nullptr, source, length, base_offset, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::ReadKeyMap(uint8_t* destination) {
    return Paged(0x07, Direction::Read, destination, nullptr, block_size_, 0, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::WriteKeyMap(const uint8_t* source, int bank) {
    if (bank != 0) return kBadBank;
    return Paged(0x09, Direction::Write, nullptr, source, block_size_, 0, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::WriteLightData(const uint8_t* source, size_t length, uint32_t block_index,
                                    uint32_t block_length) {
    const uint64_t base = static_cast<uint64_t>(block_index) * block_length;
    if (base > kMaxOffset) {
        LOG_ERROR("transport", "light block %u x %u is beyond the device's memory", block_index, block_length);
        return kNoReply;
    }
    return Paged(0x0B, Direction::Write, nullptr, source, length, static_cast<uint32_t>(base), page_size_, nullptr,
                 &light_lock_);
}

int DeviceTransport::WriteMacroData(const uint8_t* source, size_t length) {
    return Paged(0x15, Direction::Write, nullptr, source, length, 0, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::WriteBlock56(const uint8_t* source, size_t length) {
    return Paged(0x17, Direction::Write, nullptr, source, length, 0, kMaxData, nullptr, nullptr);
}

int DeviceTransport::ReadKeyLedMap(uint8_t* destination) {
    return Paged(0x1B, Direction::Read, destination, nullptr, block_size_ / 3, 0, page_size_, &command_lock_, nullptr);
}

int DeviceTransport::ReadStatus(uint8_t* destination, size_t length, uint16_t address) {
    // The reply carries at most 56 data bytes.
    if (destination == nullptr || length > kMaxData) return kNoReply;
    std::lock_guard command(command_lock_);
    uint8_t request[kReportSize] = {kReportId, 0, 0, 0x1A, static_cast<uint8_t>(length),
                                    static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(address >> 8)};
    uint8_t reply[kReportSize] = {};
    Seal(request);
    const int result = Judge(Transact(request, sizeof request, reply, sizeof reply), reply);
    if (result == kSuccess) std::memcpy(destination, reply + kDataOffset, length);
    return result;
}

int DeviceTransport::StreamLightFrame(const uint8_t* source, size_t length) {
    if (length > 0 && source == nullptr) return kNoReply;
    if (length > kMaxOffset + 1) return kNoReply;
    const size_t page_size = std::clamp<size_t>(page_size_, 1, kMaxData);
    uint8_t request[kReportSize];
    uint8_t reply[kReportSize];
    for (size_t progress = 0; progress < length;) {
        const size_t page = std::min(page_size, length - progress);
        std::memset(request, 0, sizeof request);
        std::memset(reply, 0, sizeof reply);
        request[0] = kReportId;
        request[3] = 0x12;
        request[4] = static_cast<uint8_t>(page);
        request[5] = static_cast<uint8_t>(progress & 0xFF);
        request[6] = static_cast<uint8_t>(progress >> 8);
        std::memcpy(request + kDataOffset, source + progress, page);
        Seal(request);
        progress += page;
        // Frames never queue behind configuration traffic.
        if (busy_.load() > 0) {
            LOG_DEBUG("transport", "放弃灯光数据");
            continue;
        }
        if (wireless_) continue;
        int result;
        {
            std::lock_guard light(light_lock_);
            // A command that got in between the busy check and here owns the channel: drop the page.
            std::unique_lock exchange(exchange_lock_, std::try_to_lock);
            if (!exchange.owns_lock()) {
                LOG_DEBUG("transport", "放弃灯光数据");
                continue;
            }
            result = Judge(ExchangeQuiet(request, sizeof request, reply, sizeof reply), reply);
        }
        if (result != kSuccess) return result;
    }
    return kSuccess;
}

bool DeviceTransport::QueryWirelessLink() {
    if (!wireless_) return true;
    std::lock_guard command(command_lock_);
    uint8_t request[kReportSize] = {kReportId, 0, 0, 0xAA};
    uint8_t reply[kReportSize] = {};
    Seal(request);
    const int result = Transact(request, sizeof request, reply, sizeof reply);
    return result == kSuccess && reply[7] != 0xFF && reply[7] != 0xFE && reply[8] == 0xFF;
}

}  // namespace lumora
