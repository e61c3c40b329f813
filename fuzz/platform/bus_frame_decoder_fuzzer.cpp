// Feeds arbitrary bytes to the bus frame decoder in arbitrary chunks, as a hostile
// client would. Every frame it accepts must encode again to bytes that decode to
// the same frame; the buffer must stay within its bound.

#include "platform/bus_frame_decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void Exercise(const std::uint8_t* data, std::size_t size, std::size_t maxPayload) {
    using lumora::BusFrame;
    using lumora::BusFrameDecoder;
    BusFrameDecoder decoder(maxPayload);
    // The first byte picks the chunk size, so splits across headers and fields are explored.
    std::size_t chunk = size > 0 ? (data[0] % 64) + 1 : 1;
    std::size_t at = size > 0 ? 1 : 0;
    while (at < size) {
        std::size_t n = std::min(chunk, size - at);
        decoder.Feed(std::span(data + at, n));
        at += n;
        BusFrame frame;
        for (;;) {
            auto status = decoder.Next(frame);
            if (status != BusFrameDecoder::Status::Frame) break;
            std::vector<std::uint8_t> again;
            if (!frame.EncodeTo(again)) {
                // Only a request too large for a server to take may be refused.
                Check(frame.kind == lumora::BusFrameKind::Request && maxPayload > BusFrame::kMaxClientPayload);
                continue;
            }
            Check(again.size() <= BusFrame::kHeaderSize + maxPayload);
            BusFrameDecoder redo(maxPayload);
            redo.Feed(again);
            BusFrame copy;
            Check(redo.Next(copy) == BusFrameDecoder::Status::Frame);
            Check(copy == frame);
        }
        Check(decoder.Buffered() <= BusFrame::kHeaderSize + maxPayload + BusFrameDecoder::kMaxChunk);
        if (decoder.Failed()) {
            Check(!decoder.Error().empty());
            return;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Both directions: the server's limit and the client's.
    Exercise(data, size, lumora::BusFrame::kMaxClientPayload);
    Exercise(data, size, lumora::BusFrame::kMaxServerPayload);
    return 0;
}
