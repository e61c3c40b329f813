#include "devices/light_engine.h"

#include <algorithm>

namespace lumora {
namespace {

constexpr uint8_t kRise[32] = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
                               81,  89,  99,  109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr uint8_t kFall[32] = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
                               69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};
constexpr uint8_t kBreathHalf[64] = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
                                     22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
                                     77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
                                     158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

}  // namespace

const std::array<LightEngine::Rgb, 256>& LightEngine::Wheel() {
    static const auto wheel = [] {
        std::array<Rgb, 256> w{};
        for (int i = 0; i < 32; ++i) {
            w[i] = {255, kRise[i], 0};
            w[32 + i] = {kFall[i], 255, 0};
            w[64 + i] = {0, 255, kRise[i]};
            w[96 + i] = {0, kFall[i], 255};
            w[128 + i] = {kRise[i], 0, 255};
            w[160 + i] = {255, 0, kFall[i]};
        }
        for (int i = 192; i < 256; ++i) w[i] = w[i - 192];
        return w;
    }();
    return wheel;
}

const std::array<uint8_t, 128>& LightEngine::BreathingCurve() {
    static const auto curve = [] {
        std::array<uint8_t, 128> c{};
        for (int i = 0; i < 64; ++i) {
            c[i] = kBreathHalf[i];
            c[127 - i] = kBreathHalf[i];
        }
        return c;
    }();
    return curve;
}

uint8_t LightEngine::StepCounter(uint8_t direction, uint8_t limit, uint8_t position, uint8_t step) {
    if (direction != 0) {
        const uint8_t next = static_cast<uint8_t>(position + step);
        return next >= limit ? 0 : next;
    }
    const uint8_t previous = static_cast<uint8_t>(position - step);
    return previous >= limit ? static_cast<uint8_t>(limit - step) : previous;
}

void LightEngine::SetLedCount(size_t count) {
    std::lock_guard lock(colours_mutex_);
    colours_.assign(count, LedColour{});
}

size_t LightEngine::LedCount() const {
    std::lock_guard lock(colours_mutex_);
    return colours_.size();
}

void LightEngine::SetLedColour(int index, LedColour colour) {
    std::lock_guard lock(colours_mutex_);
    if (index >= 0 && static_cast<size_t>(index) < colours_.size()) colours_[static_cast<size_t>(index)] = colour;
}

LedColour LightEngine::GetLedColour(int index) const {
    std::lock_guard lock(colours_mutex_);
    if (index >= 0 && static_cast<size_t>(index) < colours_.size()) return colours_[static_cast<size_t>(index)];
    return {};
}

std::vector<LedColour> LightEngine::Colours() const {
    std::lock_guard lock(colours_mutex_);
    return colours_;
}

size_t LightEngine::BuildFrame(uint8_t* out, size_t capacity) const {
    std::lock_guard lock(colours_mutex_);
    return BuildFrame(colours_, out, capacity);
}

size_t LightEngine::BuildFrame(const std::vector<LedColour>& colours, uint8_t* out, size_t capacity) {
    size_t n = 0;
    for (const LedColour& c : colours) {
        if (n + 3 > capacity) break;
        out[n++] = static_cast<uint8_t>(c.red * c.brightness / 256);
        out[n++] = static_cast<uint8_t>(c.green * c.brightness / 256);
        out[n++] = static_cast<uint8_t>(c.blue * c.brightness / 256);
    }
    return n;
}

void LightEngine::SetSettings(const LightInfo& settings) {
    std::lock_guard lock(settings_mutex_);
    settings_ = settings;
}

LightInfo LightEngine::Settings() const {
    std::lock_guard lock(settings_mutex_);
    return settings_;
}

uint8_t LightEngine::SpeedTicks() const {
    std::lock_guard lock(settings_mutex_);
    return kSpeedTicks[std::min<size_t>(settings_.speed, kSpeedTicks.size() - 1)];
}

uint8_t LightEngine::Level() const {
    std::lock_guard lock(settings_mutex_);
    return kBrightnessLevels[std::min<size_t>(settings_.light, kBrightnessLevels.size() - 1)];
}

void LightEngine::Fill(Rgb colour, uint8_t brightness) {
    std::lock_guard lock(colours_mutex_);
    for (LedColour& c : colours_) c = {colour.red, colour.green, colour.blue, brightness};
}

// Shared by both breathing effects: the curve sets the brightness; at the end of each
// breath the colour moves on (16 wheel steps, or the next of the four fixed colours).
void LightEngine::Breathe(bool four_colours) {
    Rgb colour;
    uint8_t brightness;
    {
        std::lock_guard lock(settings_mutex_);
        step_position_ = StepCounter(settings_.fx, 128, step_position_, 1);
        if (step_position_ == 0) {
            if (four_colours) {
                if (++colour_position_ > 3) colour_position_ = 0;
            } else {
                colour_position_ = static_cast<uint8_t>(colour_position_ + 16);
                if (colour_position_ > 192) colour_position_ = 0;
            }
        }
        if (four_colours) colour = kFourColours[colour_position_ & 3];
        else colour = settings_.multiColor ? Wheel()[colour_position_] : Rgb{settings_.red, settings_.green, settings_.blue};
        const uint8_t level = kBrightnessLevels[std::min<size_t>(settings_.light, 4)];
        brightness = static_cast<uint8_t>(BreathingCurve()[step_position_ & 127] * level / 256);
    }
    Fill(colour, brightness);
}

void LightEngine::RenderBreathing() { Breathe(false); }

void LightEngine::RenderBreathingFourColour() { Breathe(true); }

void LightEngine::RenderStatic() {
    const LightInfo s = Settings();
    Fill({s.red, s.green, s.blue}, kBrightnessLevels[std::min<size_t>(s.light, 4)]);
}

void LightEngine::RenderColourCycle() {
    Rgb colour;
    uint8_t level;
    {
        std::lock_guard lock(settings_mutex_);
        step_position_ = StepCounter(settings_.fx, 192, step_position_, 1);
        colour = Wheel()[step_position_];
        level = kBrightnessLevels[std::min<size_t>(settings_.light, 4)];
    }
    Fill(colour, level);
}

// Shared by both flash effects: the phase toggles every speed ticks x 200 ms and each
// toggle moves the colour on (16 wheel steps, or the next of the four fixed colours).
void LightEngine::Flash(uint32_t now_ms, bool four_colours) {
    Rgb colour{0, 0, 0};
    uint8_t brightness = 0;
    {
        std::lock_guard lock(settings_mutex_);
        const uint32_t period = kSpeedTicks[std::min<size_t>(settings_.speed, 4)] * 200u;
        if (now_ms - last_toggle_ms_ >= period) {
            blink_phase_ = !blink_phase_;
            last_toggle_ms_ = now_ms;
            if (four_colours) {
                if (++step_position_ > 3) step_position_ = 0;
            } else {
                step_position_ = static_cast<uint8_t>(step_position_ + 16);
                if (step_position_ >= 192) step_position_ = 0;
            }
        }
        if (blink_phase_) {
            if (four_colours) colour = kFourColours[step_position_ & 3];
            else colour = settings_.multiColor ? Wheel()[step_position_] : Rgb{settings_.red, settings_.green, settings_.blue};
            brightness = kBrightnessLevels[std::min<size_t>(settings_.light, 4)];
        }
    }
    Fill(colour, brightness);
}

void LightEngine::RenderFlash(uint32_t now_ms) { Flash(now_ms, false); }

void LightEngine::RenderFlashFourColour(uint32_t now_ms) { Flash(now_ms, true); }

void LightEngine::RenderOff() { Fill({0, 0, 0}, 0); }

uint8_t LightEngine::StepPosition() const {
    std::lock_guard lock(settings_mutex_);
    return step_position_;
}

uint8_t LightEngine::ColourPosition() const {
    std::lock_guard lock(settings_mutex_);
    return colour_position_;
}

bool LightEngine::BlinkPhase() const {
    std::lock_guard lock(settings_mutex_);
    return blink_phase_;
}

void LightEngine::FadeKey(int key, int mode) {
    if (key < 0 || static_cast<size_t>(key) + 1 >= kKeyLevels) return;
    std::lock_guard lock(keys_mutex_);
    uint8_t& v = key_levels_[static_cast<size_t>(key) + 1];
    int step;
    if (v >= 144) step = mode == 29 ? 45 : 40;
    else if (v >= 128) step = 40;
    else if (v >= 112) step = mode == 29 ? 35 : 30;
    else if (v >= 96) step = 30;
    else if (v >= 80) step = mode == 29 ? 25 : 30;
    else if (v >= 64) step = mode == 29 ? 20 : 30;
    else if (v >= 32) step = mode == 0 ? 15 : 10;
    else if (v >= 17) step = mode == 29 ? 5 : 8;
    else if (v >= 1) step = 1;
    else step = 0;
    v = static_cast<uint8_t>(std::max(0, v - step));
}

void LightEngine::LightHeldKeys(size_t entries) {
    std::lock_guard lock(keys_mutex_);
    entries = std::min(entries, std::min(kRippleSize, kKeyLevels - 1));
    for (size_t i = 0; i < entries; ++i)
        if (ripple_[i] != 0) key_levels_[i + 1] = 255;
}

void LightEngine::RotateRippleRing(int direction, size_t count) {
    std::lock_guard lock(keys_mutex_);
    count = std::min(count, kRippleSize);
    if (count < 2) return;
    if (direction != 0)
        std::rotate(ripple_.begin(), ripple_.begin() + static_cast<std::ptrdiff_t>(count - 1),
                    ripple_.begin() + static_cast<std::ptrdiff_t>(count));
    else
        std::rotate(ripple_.begin(), ripple_.begin() + 1, ripple_.begin() + static_cast<std::ptrdiff_t>(count));
}

void LightEngine::ClearKeyStates() {
    std::lock_guard lock(keys_mutex_);
    std::fill(key_levels_.begin() + 1, key_levels_.end(), 0);
    ripple_.fill(0);
}

uint8_t LightEngine::KeyLevel(size_t index) const {
    std::lock_guard lock(keys_mutex_);
    return index < kKeyLevels ? key_levels_[index] : 0;
}

void LightEngine::SetKeyLevel(size_t index, uint8_t level) {
    std::lock_guard lock(keys_mutex_);
    if (index < kKeyLevels) key_levels_[index] = level;
}

uint8_t LightEngine::RippleEntry(size_t index) const {
    std::lock_guard lock(keys_mutex_);
    return index < kRippleSize ? ripple_[index] : 0;
}

void LightEngine::SetRippleEntry(size_t index, uint8_t value) {
    std::lock_guard lock(keys_mutex_);
    if (index < kRippleSize) ripple_[index] = value;
}

}  // namespace lumora
