#pragma once
// A program's end of the local message bus (tools, helpers, tests). It introduces
// itself by name, sends registered messages and automation requests to the running
// instance, and receives what the instance sends to its name or to everyone.
// Synchronous, no thread of its own; use one object from one thread at a time.

#include "platform/bus_frame.h"
#include "platform/bus_frame_decoder.h"
#include "platform/bus_message.h"
#include "platform/bus_request.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

class BusClient {
public:
    // Messages kept while waiting for a reply; older ones are dropped past it.
    static constexpr std::size_t kMaxQueuedMessages = 1024;

    BusClient();
    ~BusClient();
    BusClient(const BusClient&) = delete;
    BusClient& operator=(const BusClient&) = delete;

    // Connects to Paths::BusSocketFile() (or the path given), says Hello with the name
    // and waits for the Welcome. While nothing listens yet it retries until the
    // time-out, so a client started with the instance still finds it. On failure
    // Error() says why and NoInstance() tells whether nothing was listening.
    bool Connect(std::string_view clientName, std::chrono::milliseconds timeout);
    bool Connect(std::string_view clientName, std::chrono::milliseconds timeout,
                 const std::filesystem::path& socketPath);
    void Close();
    bool Connected() const { return fd_ >= 0; }

    // Sends a registered message by name. False when the message breaks the limits
    // (name, data block over 64 KiB) or the connection failed (it is closed then).
    bool Send(std::string_view message, std::uint64_t wParam, std::int64_t lParam,
              std::span<const std::uint8_t> data = {});
    // The next message from the instance, waiting at most `timeout`.
    std::optional<BusMessage> Receive(std::chrono::milliseconds timeout);
    // Sends an automation command and waits for its reply; messages that arrive
    // meanwhile are kept for Receive.
    std::optional<BusReply> Request(const std::vector<std::string>& args, std::chrono::milliseconds timeout);

    const std::string& Error() const { return error_; }
    bool NoInstance() const { return noInstance_; }

    // Time a single Send may wait for the socket to take its bytes.
    static constexpr std::chrono::milliseconds kSendTimeout{5000};

private:
    bool WriteFrame(const BusFrame& frame, std::chrono::steady_clock::time_point deadline);
    // Reads and decodes until a frame arrives or the deadline passes.
    std::optional<BusFrame> ReadFrame(std::chrono::steady_clock::time_point deadline);
    bool Fail(std::string reason);

    int fd_ = -1;
    BusFrameDecoder decoder_{BusFrame::kMaxServerPayload};
    std::deque<BusMessage> queued_;
    std::uint32_t nextRequest_ = 1;
    std::string error_;
    bool noInstance_ = false;
};

}  // namespace lumora
