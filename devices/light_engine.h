#pragma once
// The host-side lighting engine every device page shares: the LED colour list, the
// effect renderers with their state, and the reactive-key buffers.
//
// The lighting thread renders while the UI thread builds frames and replaces settings,
// so the colours, the settings and the key buffers each have their own lock; a frame
// copies the colours under the lock (no torn LED, no race).

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "devices/led_colour.h"
#include "profiles/profile_records.h"

namespace lumora {

class LightEngine {
public:
    struct Rgb {
        uint8_t red, green, blue;
    };
    static constexpr std::array<uint8_t, 5> kBrightnessLevels = {0, 80, 135, 195, 255};
    static constexpr std::array<uint8_t, 5> kSpeedTicks = {28, 23, 18, 13, 7};
    static constexpr std::array<Rgb, 4> kFourColours = {{{0, 255, 180}, {0, 255, 0}, {255, 255, 255}, {255, 0, 0}}};
    static constexpr size_t kKeyLevels = 171;  // entry 1 + k is key k
    static constexpr size_t kRippleSize = 23;
    static constexpr size_t kMaxFrameLeds = 170;

    // 192 wheel steps, then steps 0..63 again so that any 8-bit index reads a colour.
    static const std::array<Rgb, 256>& Wheel();
    static const std::array<uint8_t, 128>& BreathingCurve();

    // 8-bit position stepping with wrap-around at `limit` in either direction.
    static uint8_t StepCounter(uint8_t direction, uint8_t limit, uint8_t position, uint8_t step);

    // Resizes the colour list when the count changes; every colour is zero afterwards.
    void SetLedCount(size_t count);
    size_t LedCount() const;
    void SetLedColour(int index, LedColour colour);
    LedColour GetLedColour(int index) const;
    std::vector<LedColour> Colours() const;
    // 3 bytes per LED, colour x brightness / 256; returns the bytes written (at most `capacity`).
    size_t BuildFrame(uint8_t* out, size_t capacity) const;
    // The same from a snapshot of the colours (Colours()).
    static size_t BuildFrame(const std::vector<LedColour>& colours, uint8_t* out, size_t capacity);

    void SetSettings(const LightInfo& settings);
    LightInfo Settings() const;
    // Speed ticks of the current speed level (levels out of range read as the slowest).
    uint8_t SpeedTicks() const;
    uint8_t Level() const;

    void RenderBreathing();
    void RenderBreathingFourColour();
    void RenderStatic();
    void RenderColourCycle();
    // `now_ms`: a millisecond tick count; the blink toggles every speed ticks x 200 ms.
    void RenderFlash(uint32_t now_ms);
    void RenderFlashFourColour(uint32_t now_ms);
    void RenderOff();
    void Fill(Rgb colour, uint8_t brightness);

    uint8_t StepPosition() const;
    uint8_t ColourPosition() const;
    bool BlinkPhase() const;

    // Reactive keys.
    void FadeKey(int key, int mode);
    void LightHeldKeys(size_t entries = 9);
    void RotateRippleRing(int direction, size_t count = kRippleSize);
    void ClearKeyStates();
    uint8_t KeyLevel(size_t index) const;
    void SetKeyLevel(size_t index, uint8_t level);
    uint8_t RippleEntry(size_t index) const;
    void SetRippleEntry(size_t index, uint8_t value);

private:
    void Breathe(bool four_colours);
    void Flash(uint32_t now_ms, bool four_colours);

    mutable std::mutex colours_mutex_;
    std::vector<LedColour> colours_;

    mutable std::mutex settings_mutex_;  // settings and the renderers' state
    LightInfo settings_{};
    uint8_t step_position_ = 0;
    uint8_t colour_position_ = 0;
    bool blink_phase_ = false;
    uint32_t last_toggle_ms_ = 0;

    mutable std::mutex keys_mutex_;
    std::array<uint8_t, kKeyLevels> key_levels_{};
    std::array<uint8_t, kRippleSize> ripple_{};
};

}  // namespace lumora
