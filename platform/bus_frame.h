#pragma once
// One frame of the local message bus, and its encoding.
//
// Wire format (a Unix stream socket; every integer little-endian):
//
//   header, 8 bytes
//     0  2  magic 'L' 'B' (0x4C 0x42)
//     2  1  version, 1
//     3  1  kind (below)
//     4  4  payload length N; at most the receiver's limit (kMaxClientPayload from
//           clients, kMaxServerPayload from the server)
//   payload, N bytes, laid out by kind; it must be used up exactly:
//
//   1 Hello    client -> server, the first frame of a connection
//                u16 length, client name (1..64 bytes of printable ASCII, 0x20-0x7E)
//   2 Welcome  server -> client, the answer to Hello; empty payload
//   3 Message  either way
//                u16 length, message name (1..255 bytes of printable ASCII)
//                u64 wParam
//                i64 lParam
//                u32 length, data block (0..kMaxDataBlock bytes)
//   4 Request  client -> server, an automation command
//                u32 request id (chosen by the client; echoed in the reply)
//                u16 argument count (0..kMaxArguments)
//                per argument: u32 length, bytes (no NUL byte)
//   5 Reply    server -> client, the answer to one Request
//                u32 request id
//                i32 exit status (0 = success)
//                u32 length, text (0..kMaxReplyText bytes)
//
// Anything else (bad magic, version or kind, a length over the limit, a field that
// runs past the payload, bytes left over, a bad name) is a protocol error: the
// receiver logs it and closes the connection.
//
// Conventions on top: a WM_COPYDATA record travels as a Message named
// "WM_COPYDATA" with wParam = dwData and the record as the data block.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

enum class BusFrameKind : std::uint8_t { Hello = 1, Welcome = 2, Message = 3, Request = 4, Reply = 5 };

struct BusFrame {
    static constexpr std::uint8_t kMagic0 = 'L';
    static constexpr std::uint8_t kMagic1 = 'B';
    static constexpr std::uint8_t kVersion = 1;
    static constexpr std::size_t kHeaderSize = 8;
    static constexpr std::size_t kMaxClientName = 64;
    static constexpr std::size_t kMaxMessageName = 255;
    static constexpr std::size_t kMaxDataBlock = 64 * 1024;
    static constexpr std::size_t kMaxArguments = 64;
    static constexpr std::size_t kMaxReplyText = 1024 * 1024;
    // Largest payload a server accepts: a Message with a full data block fits, and
    // Request arguments share the same room.
    static constexpr std::size_t kMaxClientPayload = 72 * 1024;
    // Largest payload a client accepts: a Reply with the longest text.
    static constexpr std::size_t kMaxServerPayload = kMaxReplyText + 16;

    BusFrameKind kind = BusFrameKind::Welcome;
    std::string name;  // Hello: client name; Message: message name
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t requestId = 0;
    std::vector<std::string> args;
    std::int32_t status = 0;
    std::string text;

    bool operator==(const BusFrame&) const = default;

    static BusFrame MakeHello(std::string_view clientName);
    static BusFrame MakeWelcome();
    static BusFrame MakeMessage(std::string_view messageName, std::uint64_t wParam, std::int64_t lParam,
                                std::vector<std::uint8_t> data = {});
    static BusFrame MakeRequest(std::uint32_t requestId, std::vector<std::string> args);
    static BusFrame MakeReply(std::uint32_t requestId, std::int32_t status, std::string text);

    // Appends the encoded frame to `out`. False (out unchanged, reason in *error)
    // when a field breaks the rules above, so nothing invalid is ever sent.
    bool EncodeTo(std::vector<std::uint8_t>& out, std::string* error = nullptr) const;

    static bool ValidClientName(std::string_view name);
    static bool ValidMessageName(std::string_view name);
};

}  // namespace lumora
