#include "devices/light_engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace lumora {
namespace {

TEST(LightEngine, StepCounterWrapsBothWays) {
    struct Case {
        uint8_t direction, limit, position, step, expected;
    };
    const Case cases[] = {
        {0, 128, 0, 1, 127}, {1, 128, 127, 1, 0}, {1, 128, 5, 1, 6},   {0, 128, 5, 1, 4},
        {1, 192, 191, 1, 0}, {0, 192, 0, 1, 191}, {0, 192, 200, 1, 191}, {1, 192, 250, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.direction) << " " << int(c.position));
        EXPECT_EQ(LightEngine::StepCounter(c.direction, c.limit, c.position, c.step), c.expected);
    }
}

TEST(LightEngine, Tables) {
    const auto& wheel = LightEngine::Wheel();
    EXPECT_EQ(wheel[0].red, 255);
    EXPECT_EQ(wheel[0].green, 1);
    EXPECT_EQ(wheel[63].red, 0);  // end of the falling red ramp
    EXPECT_EQ(wheel[96].green, 248);
    EXPECT_EQ(wheel[191].blue, 0);
    EXPECT_EQ(wheel[192].green, wheel[0].green);
    EXPECT_EQ(wheel[255].red, wheel[63].red);
    const auto& curve = LightEngine::BreathingCurve();
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[63], 255);
    EXPECT_EQ(curve[64], 255);
    EXPECT_EQ(curve[127], 0);
}

TEST(LightEngine, FadeKeySequences) {
    LightEngine e;
    e.SetKeyLevel(1, 255);
    std::vector<int> seen;
    while (e.KeyLevel(1) != 0 && seen.size() < 40) {
        e.FadeKey(0, 0);
        seen.push_back(e.KeyLevel(1));
    }
    const std::vector<int> head = {215, 175, 135, 95, 65, 35, 20, 12, 11};
    ASSERT_EQ(seen.size(), 20u);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), seen.begin()));
    // Mode 29 fades the top faster and the tail slower.
    e.SetKeyLevel(5, 150);
    e.FadeKey(4, 29);
    EXPECT_EQ(e.KeyLevel(5), 105);
    e.SetKeyLevel(5, 40);
    e.FadeKey(4, 29);
    EXPECT_EQ(e.KeyLevel(5), 30);
    e.SetKeyLevel(5, 40);
    e.FadeKey(4, 3);
    EXPECT_EQ(e.KeyLevel(5), 30);
    e.FadeKey(-1, 0);   // out of range: ignored
    e.FadeKey(170, 0);
}

TEST(LightEngine, RippleRingAndHeldKeys) {
    LightEngine e;
    e.SetRippleEntry(0, 7);
    e.RotateRippleRing(1);
    EXPECT_EQ(e.RippleEntry(1), 7);
    e.SetRippleEntry(22, 9);
    e.RotateRippleRing(1);
    EXPECT_EQ(e.RippleEntry(0), 9);  // the last entry moves to the front
    e.RotateRippleRing(0);  // the first entry moves to the end
    EXPECT_EQ(e.RippleEntry(22), 9);
    EXPECT_EQ(e.RippleEntry(1), 7);
    e.RotateRippleRing(0);
    EXPECT_EQ(e.RippleEntry(0), 7);
    e.RotateRippleRing(1, 5);         // only the first five
    e.LightHeldKeys();
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(e.KeyLevel(i + 1), e.RippleEntry(i) ? 255 : 0) << i;
    e.ClearKeyStates();
    for (size_t i = 0; i < LightEngine::kRippleSize; ++i) EXPECT_EQ(e.RippleEntry(i), 0);
    EXPECT_EQ(e.KeyLevel(1), 0);
}

TEST(LightEngine, RenderersAndFrame) {
    LightEngine e;
    e.SetLedCount(3);
    LightInfo s;
    s.light = 4;
    s.red = 200;
    s.green = 100;
    s.blue = 10;
    e.SetSettings(s);
    e.RenderStatic();
    EXPECT_EQ(e.GetLedColour(2), (LedColour{200, 100, 10, 255}));
    uint8_t frame[512];
    ASSERT_EQ(e.BuildFrame(frame, sizeof frame), 9u);
    EXPECT_EQ(frame[0], 200 * 255 / 256);
    EXPECT_EQ(frame[2], 10 * 255 / 256);

    s.speed = 0;
    e.SetSettings(s);
    e.RenderFlash(5600);  // first toggle: on
    EXPECT_TRUE(e.BlinkPhase());
    e.RenderFlash(5600 + 5599);
    EXPECT_TRUE(e.BlinkPhase());
    e.RenderFlash(5600 + 5600);
    EXPECT_FALSE(e.BlinkPhase());
    EXPECT_EQ(e.GetLedColour(0), LedColour{});
    s.speed = 4;
    e.SetSettings(s);
    e.RenderFlash(11200 + 1400);
    EXPECT_TRUE(e.BlinkPhase());
    s.speed = 200;  // a damaged profile value reads as the slowest speed, never out of the table
    e.SetSettings(s);
    EXPECT_EQ(e.SpeedTicks(), 7);

    e.RenderOff();
    EXPECT_EQ(e.GetLedColour(1), LedColour{});
    EXPECT_EQ(e.GetLedColour(3), LedColour{});  // out of range reads 0
    e.SetLedCount(0);
    EXPECT_EQ(e.BuildFrame(frame, sizeof frame), 0u);
}

TEST(LightEngine, BreathingWalksTheCurveAndTheWheel) {
    LightEngine e;
    e.SetLedCount(1);
    LightInfo s;
    s.light = 4;
    s.fx = 1;
    s.multiColor = 1;
    e.SetSettings(s);
    for (int i = 0; i < 128; ++i) e.RenderBreathing();
    EXPECT_EQ(e.StepPosition(), 0);
    EXPECT_EQ(e.ColourPosition(), 16);
    EXPECT_EQ(e.GetLedColour(0).red, LightEngine::Wheel()[16].red);
    EXPECT_EQ(e.GetLedColour(0).brightness, 0);
}

// The lighting thread renders while the UI thread builds frames and changes settings.
TEST(LightEngine, RenderAndFrameFromTwoThreads) {
    LightEngine e;
    e.SetLedCount(170);
    std::atomic<bool> stop{false};
    std::thread renderer([&] {
        uint32_t t = 0;
        while (!stop) {
            e.RenderColourCycle();
            e.RenderFlash(t += 50);
            e.FadeKey(3, 0);
        }
    });
    uint8_t frame[512];
    for (int i = 0; i < 2000; ++i) {
        LightInfo s;
        s.light = static_cast<uint8_t>(i % 5);
        e.SetSettings(s);
        EXPECT_EQ(e.BuildFrame(frame, sizeof frame), 510u);
        e.SetKeyLevel(4, 255);
    }
    stop = true;
    renderer.join();
}

}  // namespace
}  // namespace lumora
