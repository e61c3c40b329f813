#include "platform/bus_frame_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const BusFrame& frame) {
    Bytes bytes;
    std::string error;
    EXPECT_TRUE(frame.EncodeTo(bytes, &error)) << error;
    return bytes;
}

void Put(Bytes& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& out, const std::string& text, int lengthSize) {
    Put(out, text.size(), lengthSize);
    out.insert(out.end(), text.begin(), text.end());
}

// A frame with a hand-made payload, to reach the decoder's checks directly.
Bytes Raw(std::uint8_t kind, const Bytes& payload) {
    Bytes out = {'L', 'B', 1, kind};
    Put(out, payload.size(), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes MessagePayload(const std::string& name, std::uint32_t dataLength, std::size_t dataPresent) {
    Bytes p;
    PutText(p, name, 2);
    Put(p, 1, 8);
    Put(p, 2, 8);
    Put(p, dataLength, 4);
    p.insert(p.end(), dataPresent, 0xAB);
    return p;
}

std::vector<BusFrame> Samples() {
    return {
        BusFrame::MakeHello("WorkTool"),
        BusFrame::MakeWelcome(),
        BusFrame::MakeMessage("Halvek Trine Keyboard", 0, 1),
        BusFrame::MakeMessage("WM_COPYDATA", 5, -1, Bytes(BusFrame::kMaxDataBlock, 0x5A)),
        BusFrame::MakeMessage("Game_Start", UINT64_MAX, INT64_MIN, {0, 1, 2}),
        BusFrame::MakeRequest(7, {"get", "DPI_slider_2", "value", "", "\xe4\xb8\xad"}),
        BusFrame::MakeRequest(8, {}),
        BusFrame::MakeReply(7, -3, "line one\nline two\n"),
        BusFrame::MakeReply(9, 0, std::string(BusFrame::kMaxReplyText, 'r')),
    };
}

TEST(BusFrameDecoderTest, RoundTripsEveryKindWholeAndByteByByte) {
    Bytes stream;
    for (const BusFrame& frame : Samples()) {
        Bytes one = Encode(frame);
        stream.insert(stream.end(), one.begin(), one.end());
    }
    for (std::size_t step : {stream.size(), std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        BusFrameDecoder decoder(BusFrame::kMaxServerPayload);
        std::vector<BusFrame> decoded;
        for (std::size_t at = 0; at < stream.size(); at += step) {
            std::size_t n = std::min(step, stream.size() - at);
            for (std::size_t fed = 0; fed < n; fed += BusFrameDecoder::kMaxChunk) {
                decoder.Feed(std::span(stream.data() + at + fed, std::min(BusFrameDecoder::kMaxChunk, n - fed)));
                BusFrame frame;
                BusFrameDecoder::Status status;
                while ((status = decoder.Next(frame)) == BusFrameDecoder::Status::Frame) decoded.push_back(frame);
                ASSERT_EQ(status, BusFrameDecoder::Status::NeedMore) << decoder.Error();
            }
        }
        EXPECT_EQ(decoded, Samples()) << "step " << step;
        EXPECT_EQ(decoder.Buffered(), 0u);
    }
}

TEST(BusFrameDecoderTest, RefusesMalformedFramesAndStaysFailed) {
    Bytes tooManyArgs;
    Put(tooManyArgs, 1, 4);
    Put(tooManyArgs, BusFrame::kMaxArguments + 1, 2);
    for (std::size_t i = 0; i <= BusFrame::kMaxArguments; ++i) Put(tooManyArgs, 0, 4);
    Bytes nulArg;
    Put(nulArg, 1, 4);
    Put(nulArg, 1, 2);
    PutText(nulArg, std::string("a\0b", 3), 4);
    Bytes argPastEnd;
    Put(argPastEnd, 1, 4);
    Put(argPastEnd, 1, 2);
    Put(argPastEnd, 100, 4);
    argPastEnd.push_back('x');
    Bytes shortReply;
    Put(shortReply, 1, 4);
    Put(shortReply, 0, 4);
    Put(shortReply, 10, 4);
    shortReply.push_back('x');
    Bytes helloWithControl;
    PutText(helloWithControl, "Work\nTool", 2);
    Bytes longHello;
    PutText(longHello, std::string(BusFrame::kMaxClientName + 1, 'a'), 2);
    Bytes emptyHello;
    PutText(emptyHello, "", 2);
    Bytes highBitName = MessagePayload("Game\xff", 0, 0);
    Bytes trailing = MessagePayload("Game_End", 0, 0);
    trailing.push_back(0);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"plain text", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}},
        {"bad second magic byte", Bytes{'L', 'X'}},
        {"bad version", Bytes{'L', 'B', 2, 1, 0, 0, 0, 0}},
        {"kind 0", Raw(0, {})},
        {"kind 6", Raw(6, {})},
        {"length over the limit", Bytes{'L', 'B', 1, 3, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"empty hello", Raw(1, emptyHello)},
        {"hello with a control character", Raw(1, helloWithControl)},
        {"hello name too long", Raw(1, longHello)},
        {"hello length past the payload", Raw(1, Bytes{5, 0, 'a'})},
        {"welcome with a payload", Raw(2, Bytes{0})},
        {"message name with a high byte", Raw(3, highBitName)},
        {"message name too long", Raw(3, MessagePayload(std::string(256, 'n'), 0, 0))},
        {"data block over 64 KiB", Raw(3, MessagePayload("Game_End", BusFrame::kMaxDataBlock + 1, 0))},
        {"data block past the payload", Raw(3, MessagePayload("Game_End", 10, 9))},
        {"message cut before lParam", Raw(3, Bytes{1, 0, 'G', 1, 2, 3, 4, 5, 6, 7, 8})},
        {"bytes left over", Raw(3, trailing)},
        {"too many arguments", Raw(4, tooManyArgs)},
        {"argument with a NUL byte", Raw(4, nulArg)},
        {"argument past the payload", Raw(4, argPastEnd)},
        {"reply text past the payload", Raw(5, shortReply)},
    };
    for (const Case& c : cases) {
        BusFrameDecoder decoder(BusFrame::kMaxClientPayload);
        decoder.Feed(c.bytes);
        BusFrame frame;
        EXPECT_EQ(decoder.Next(frame), BusFrameDecoder::Status::Error) << c.what;
        EXPECT_FALSE(decoder.Error().empty()) << c.what;
        // Nothing after an error is decoded, not even a good frame.
        decoder.Feed(Encode(BusFrame::MakeWelcome()));
        EXPECT_EQ(decoder.Next(frame), BusFrameDecoder::Status::Error) << c.what;
        EXPECT_EQ(decoder.Buffered(), 0u) << c.what;
    }
}

TEST(BusFrameDecoderTest, OversizedFrameIsRefusedFromItsHeaderAlone) {
    BusFrameDecoder decoder(BusFrame::kMaxClientPayload);
    Bytes frame = Encode(BusFrame::MakeReply(1, 0, std::string(BusFrame::kMaxClientPayload, 'x')));
    decoder.Feed(std::span(frame.data(), BusFrame::kHeaderSize));
    BusFrame out;
    EXPECT_EQ(decoder.Next(out), BusFrameDecoder::Status::Error);
}

TEST(BusFrameDecoderTest, FeedingWithoutDecodingIsBounded) {
    BusFrameDecoder decoder(16);
    Bytes chunk(BusFrameDecoder::kMaxChunk, 'L');
    decoder.Feed(chunk);
    EXPECT_FALSE(decoder.Failed());
    decoder.Feed(Bytes(BusFrame::kHeaderSize + 17, 'L'));
    EXPECT_TRUE(decoder.Failed());
    EXPECT_EQ(decoder.Buffered(), 0u);
}

TEST(BusFrameDecoderTest, EncoderRefusesWhatTheDecoderWouldRefuse) {
    const BusFrame invalid[] = {
        BusFrame::MakeHello(""),
        BusFrame::MakeHello(std::string(65, 'a')),
        BusFrame::MakeMessage("", 0, 0),
        BusFrame::MakeMessage("tab\there", 0, 0),
        BusFrame::MakeMessage("Game_Start", 0, 0, Bytes(BusFrame::kMaxDataBlock + 1)),
        BusFrame::MakeRequest(1, std::vector<std::string>(BusFrame::kMaxArguments + 1)),
        BusFrame::MakeRequest(1, {std::string("a\0b", 3)}),
        BusFrame::MakeRequest(1, {std::string(BusFrame::kMaxClientPayload, 'a')}),
        BusFrame::MakeReply(1, 0, std::string(BusFrame::kMaxReplyText + 1, 'r')),
    };
    for (const BusFrame& frame : invalid) {
        Bytes out = {9};
        std::string error;
        EXPECT_FALSE(frame.EncodeTo(out, &error)) << frame.name;
        EXPECT_EQ(out, Bytes{9});
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace lumora
