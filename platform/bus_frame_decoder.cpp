#include "platform/bus_frame_decoder.h"

#include <cstring>

namespace lumora {
namespace {

// Bounds-checked reads over one payload.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool U16(std::uint16_t& value) {
        if (Left() < 2) return false;
        value = static_cast<std::uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
        at_ += 2;
        return true;
    }
    bool U32(std::uint32_t& value) {
        if (Left() < 4) return false;
        value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | bytes_[at_ + static_cast<std::size_t>(i)];
        at_ += 4;
        return true;
    }
    bool U64(std::uint64_t& value) {
        if (Left() < 8) return false;
        value = 0;
        for (int i = 7; i >= 0; --i) value = (value << 8) | bytes_[at_ + static_cast<std::size_t>(i)];
        at_ += 8;
        return true;
    }
    bool Text(std::size_t size, std::string& text) {
        if (Left() < size) return false;
        text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), size);
        at_ += size;
        return true;
    }
    bool Bytes(std::size_t size, std::vector<std::uint8_t>& out) {
        if (Left() < size) return false;
        out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                   bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + size));
        at_ += size;
        return true;
    }
    std::size_t Left() const { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

bool Bad(std::string& error, const char* reason) {
    error = reason;
    return false;
}

}  // namespace

BusFrameDecoder::BusFrameDecoder(std::size_t maxPayload) : maxPayload_(maxPayload) {}

BusFrameDecoder::Status BusFrameDecoder::Fail(std::string reason) {
    failed_ = true;
    error_ = std::move(reason);
    buffer_.clear();
    start_ = 0;
    return Status::Error;
}

void BusFrameDecoder::Feed(std::span<const std::uint8_t> bytes) {
    if (failed_ || bytes.empty()) return;
    if (start_ > 0 && start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    if (Buffered() + bytes.size() > BusFrame::kHeaderSize + maxPayload_ + kMaxChunk) {
        Fail("more data buffered than one frame allows");
        return;
    }
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

BusFrameDecoder::Status BusFrameDecoder::Next(BusFrame& frame) {
    if (failed_) return Status::Error;
    std::size_t available = Buffered();
    if (available == 0) return Status::NeedMore;
    if (available < BusFrame::kHeaderSize) {
        // Refuse an obviously foreign stream without waiting for a whole header.
        const std::uint8_t* p = buffer_.data() + start_;
        if ((available >= 1 && p[0] != BusFrame::kMagic0) || (available >= 2 && p[1] != BusFrame::kMagic1))
            return Fail("bad magic");
        if (available >= 3 && p[2] != BusFrame::kVersion) return Fail("unsupported version");
        return Status::NeedMore;
    }
    const std::uint8_t* header = buffer_.data() + start_;
    if (header[0] != BusFrame::kMagic0 || header[1] != BusFrame::kMagic1) return Fail("bad magic");
    if (header[2] != BusFrame::kVersion) return Fail("unsupported version " + std::to_string(header[2]));
    std::uint8_t kind = header[3];
    if (kind < static_cast<std::uint8_t>(BusFrameKind::Hello) || kind > static_cast<std::uint8_t>(BusFrameKind::Reply))
        return Fail("unknown frame kind " + std::to_string(kind));
    std::uint32_t length = static_cast<std::uint32_t>(header[4]) | (static_cast<std::uint32_t>(header[5]) << 8) |
                           (static_cast<std::uint32_t>(header[6]) << 16) |
                           (static_cast<std::uint32_t>(header[7]) << 24);
    if (length > maxPayload_)
        return Fail("frame payload of " + std::to_string(length) + " bytes is over the limit of " +
                    std::to_string(maxPayload_));
    if (available - BusFrame::kHeaderSize < length) return Status::NeedMore;

    std::span<const std::uint8_t> payload(header + BusFrame::kHeaderSize, length);
    BusFrame decoded;
    std::string reason;
    if (!ParsePayload(static_cast<BusFrameKind>(kind), payload, decoded, reason)) return Fail(reason);
    start_ += BusFrame::kHeaderSize + length;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    frame = std::move(decoded);
    return Status::Frame;
}

bool BusFrameDecoder::ParsePayload(BusFrameKind kind, std::span<const std::uint8_t> payload, BusFrame& frame,
                                   std::string& error) {
    Reader in(payload);
    frame = BusFrame{};
    frame.kind = kind;
    switch (kind) {
        case BusFrameKind::Hello: {
            std::uint16_t size = 0;
            if (!in.U16(size) || !in.Text(size, frame.name)) return Bad(error, "truncated hello");
            if (!BusFrame::ValidClientName(frame.name)) return Bad(error, "bad client name");
            break;
        }
        case BusFrameKind::Welcome:
            break;
        case BusFrameKind::Message: {
            std::uint16_t nameSize = 0;
            std::uint64_t lParam = 0;
            std::uint32_t dataSize = 0;
            if (!in.U16(nameSize) || !in.Text(nameSize, frame.name)) return Bad(error, "truncated message name");
            if (!BusFrame::ValidMessageName(frame.name)) return Bad(error, "bad message name");
            if (!in.U64(frame.wParam) || !in.U64(lParam) || !in.U32(dataSize))
                return Bad(error, "truncated message");
            frame.lParam = static_cast<std::int64_t>(lParam);
            if (dataSize > BusFrame::kMaxDataBlock) return Bad(error, "data block over 64 KiB");
            if (!in.Bytes(dataSize, frame.data)) return Bad(error, "truncated data block");
            break;
        }
        case BusFrameKind::Request: {
            std::uint16_t count = 0;
            if (!in.U32(frame.requestId) || !in.U16(count)) return Bad(error, "truncated request");
            if (count > BusFrame::kMaxArguments) return Bad(error, "too many arguments");
            frame.args.reserve(count);
            for (std::uint16_t i = 0; i < count; ++i) {
                std::uint32_t size = 0;
                std::string arg;
                if (!in.U32(size) || !in.Text(size, arg)) return Bad(error, "truncated argument");
                if (arg.find('\0') != std::string::npos) return Bad(error, "argument contains a NUL byte");
                frame.args.push_back(std::move(arg));
            }
            break;
        }
        case BusFrameKind::Reply: {
            std::uint32_t status = 0;
            std::uint32_t size = 0;
            if (!in.U32(frame.requestId) || !in.U32(status) || !in.U32(size)) return Bad(error, "truncated reply");
            frame.status = static_cast<std::int32_t>(status);
            if (size > BusFrame::kMaxReplyText) return Bad(error, "reply text too long");
            if (!in.Text(size, frame.text)) return Bad(error, "truncated reply text");
            break;
        }
        default:
            return Bad(error, "unknown frame kind");
    }
    if (in.Left() != 0) return Bad(error, "bytes left over after the frame's fields");
    return true;
}

}  // namespace lumora
