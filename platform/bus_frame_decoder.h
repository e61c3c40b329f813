#pragma once
// Strict, bounded decoder of bus frames from a byte stream (format in bus_frame.h).
// Headers are checked as soon as they are complete, so an oversized frame is refused
// before its payload arrives; the buffer never holds more than one frame plus one
// Feed() chunk. After an error the decoder stays failed.

#include "platform/bus_frame.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumora {

class BusFrameDecoder {
public:
    enum class Status { NeedMore, Frame, Error };

    // Largest Feed() chunk the decoder takes while a frame is still incomplete.
    static constexpr std::size_t kMaxChunk = 64 * 1024;

    explicit BusFrameDecoder(std::size_t maxPayload);

    // Appends received bytes. Call Next() until it returns NeedMore before feeding
    // again; more than kMaxChunk buffered beyond one frame is an error.
    void Feed(std::span<const std::uint8_t> bytes);
    // The next complete frame, NeedMore, or Error (see Error()).
    Status Next(BusFrame& frame);

    bool Failed() const { return failed_; }
    const std::string& Error() const { return error_; }
    // Bytes of an incomplete frame waiting for the rest.
    std::size_t Buffered() const { return buffer_.size() - start_; }

    // Decodes one payload of the given kind; false with a reason when it breaks the format.
    static bool ParsePayload(BusFrameKind kind, std::span<const std::uint8_t> payload, BusFrame& frame,
                             std::string& error);

private:
    Status Fail(std::string reason);

    std::size_t maxPayload_;
    std::vector<std::uint8_t> buffer_;
    std::size_t start_ = 0;
    bool failed_ = false;
    std::string error_;
};

}  // namespace lumora
