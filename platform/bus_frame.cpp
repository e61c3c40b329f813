#include "platform/bus_frame.h"

#include <cstring>

namespace lumora {
namespace {

bool PrintableAscii(std::string_view text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutU64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutBytes(std::vector<std::uint8_t>& out, const void* bytes, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    out.insert(out.end(), p, p + size);
}

bool Refuse(std::string* error, const char* reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

BusFrame BusFrame::MakeHello(std::string_view clientName) {
    BusFrame frame;
    frame.kind = BusFrameKind::Hello;
    frame.name = clientName;
    return frame;
}

BusFrame BusFrame::MakeWelcome() { return BusFrame{}; }

BusFrame BusFrame::MakeMessage(std::string_view messageName, std::uint64_t wParam, std::int64_t lParam,
                               std::vector<std::uint8_t> data) {
    BusFrame frame;
    frame.kind = BusFrameKind::Message;
    frame.name = messageName;
    frame.wParam = wParam;
    frame.lParam = lParam;
    frame.data = std::move(data);
    return frame;
}

BusFrame BusFrame::MakeRequest(std::uint32_t requestId, std::vector<std::string> args) {
    BusFrame frame;
    frame.kind = BusFrameKind::Request;
    frame.requestId = requestId;
    frame.args = std::move(args);
    return frame;
}

BusFrame BusFrame::MakeReply(std::uint32_t requestId, std::int32_t status, std::string text) {
    BusFrame frame;
    frame.kind = BusFrameKind::Reply;
    frame.requestId = requestId;
    frame.status = status;
    frame.text = std::move(text);
    return frame;
}

bool BusFrame::ValidClientName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxClientName && PrintableAscii(name);
}

bool BusFrame::ValidMessageName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxMessageName && PrintableAscii(name);
}

bool BusFrame::EncodeTo(std::vector<std::uint8_t>& out, std::string* error) const {
    std::vector<std::uint8_t> payload;
    std::size_t limit = kMaxClientPayload;
    switch (kind) {
        case BusFrameKind::Hello:
            if (!ValidClientName(name)) return Refuse(error, "client name must be 1-64 printable ASCII characters");
            PutU16(payload, static_cast<std::uint16_t>(name.size()));
            PutBytes(payload, name.data(), name.size());
            break;
        case BusFrameKind::Welcome:
            break;
        case BusFrameKind::Message:
            if (!ValidMessageName(name)) return Refuse(error, "message name must be 1-255 printable ASCII characters");
            if (data.size() > kMaxDataBlock) return Refuse(error, "data block is larger than 64 KiB");
            PutU16(payload, static_cast<std::uint16_t>(name.size()));
            PutBytes(payload, name.data(), name.size());
            PutU64(payload, wParam);
            PutU64(payload, static_cast<std::uint64_t>(lParam));
            PutU32(payload, static_cast<std::uint32_t>(data.size()));
            PutBytes(payload, data.data(), data.size());
            break;
        case BusFrameKind::Request:
            if (args.size() > kMaxArguments) return Refuse(error, "too many arguments");
            PutU32(payload, requestId);
            PutU16(payload, static_cast<std::uint16_t>(args.size()));
            for (const std::string& arg : args) {
                if (arg.find('\0') != std::string::npos) return Refuse(error, "argument contains a NUL byte");
                if (arg.size() > kMaxClientPayload) return Refuse(error, "request is too large");
                PutU32(payload, static_cast<std::uint32_t>(arg.size()));
                PutBytes(payload, arg.data(), arg.size());
            }
            break;
        case BusFrameKind::Reply:
            if (text.size() > kMaxReplyText) return Refuse(error, "reply text is too long");
            limit = kMaxServerPayload;
            PutU32(payload, requestId);
            PutU32(payload, static_cast<std::uint32_t>(status));
            PutU32(payload, static_cast<std::uint32_t>(text.size()));
            PutBytes(payload, text.data(), text.size());
            break;
        default:
            return Refuse(error, "unknown frame kind");
    }
    if (payload.size() > limit) return Refuse(error, "frame is too large");
    out.reserve(out.size() + kHeaderSize + payload.size());
    out.push_back(kMagic0);
    out.push_back(kMagic1);
    out.push_back(kVersion);
    out.push_back(static_cast<std::uint8_t>(kind));
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return true;
}

}  // namespace lumora
