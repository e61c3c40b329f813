#pragma once
// The in-memory records that profile sections load into. Plain data, handed to the
// device and panel code by value.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lumora {

// `LightInfo`: the lighting state, fourteen one-byte fields in document order.
struct LightInfo {
    std::uint8_t selectItem = 0;  // mode position in the device's mode list
    std::uint8_t light = 0;       // brightness
    std::uint8_t speed = 0;
    std::uint8_t fx = 0;          // direction
    std::uint8_t multiColor = 0;  // truth value
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::array<std::uint8_t, 3> reserved{};  // not stored
    std::uint8_t zzccLedMode = 0;
    std::uint8_t customGroup = 0;
    std::uint8_t oldLedmode = 0;

    bool operator==(const LightInfo&) const = default;
};

// `AudioLightInfo`: colours of the audio-reactive mode.
struct AudioLightInfo {
    std::uint8_t audioMode = 0;
    std::uint8_t bkColorR = 0;
    std::uint8_t bkColorG = 0;
    std::uint8_t bkColorB = 0;
    std::uint8_t fgColorR = 0;
    std::uint8_t fgColorG = 0;
    std::uint8_t fgColorB = 0;
    std::uint8_t sevenColorFlags = 0;  // "7ColorFlags", truth value
    std::uint8_t colorTypeFlags = 0;   // always 1 after loading

    bool operator==(const AudioLightInfo&) const = default;
};

// One element of `LightList`: the setting of one light (zone).
struct LightZone {
    std::uint8_t mode = 0;  // LEDREGMode
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;   // truth value
    std::uint8_t multiColor = 0;  // truth value
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::array<std::uint8_t, 2> reserved{};
    std::uint8_t present = 0;  // 0 for a null element

    bool operator==(const LightZone&) const = default;
};

// Three-byte key function: code, parameter 1, parameter 2; packed in a profile
// as code << 16 | parameter 1 << 8 | parameter 2.
struct KeyFunction {
    std::uint8_t code = 0;
    std::uint8_t param1 = 0;
    std::uint8_t param2 = 0;

    static constexpr KeyFunction FromPacked(std::int64_t packed) {
        return {static_cast<std::uint8_t>(packed >> 16), static_cast<std::uint8_t>(packed >> 8),
                static_cast<std::uint8_t>(packed)};
    }
    constexpr std::int32_t Packed() const {
        return static_cast<std::int32_t>(code) << 16 | static_cast<std::int32_t>(param1) << 8 | param2;
    }
    bool operator==(const KeyFunction&) const = default;
};

// One element of `KeyList`: the key's current and default function.
struct KeyListEntry {
    std::uint16_t keyIndex = 0;
    KeyFunction assignment;
    std::uint16_t defaultKeyIndex = 0;
    KeyFunction defaultAssignment;

    bool operator==(const KeyListEntry&) const = default;
};

// Three 32-bit words, each two 16-bit halves of `SystemStages` (device-specific packing).
using SystemWords = std::array<std::uint32_t, 3>;

// One stage of `DPIStages`.`StageDPIs`.
struct DpiStage {
    std::uint8_t enabled = 0;  // StageActive of the stage
    std::uint8_t xy = 0;       // separate X and Y resolution
    std::uint16_t dpiX = 0;    // slider values, not DPI
    std::uint16_t dpiY = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const DpiStage&) const = default;
};

// One element of `CorrectInfo` (angle correction choices of a mouse).
struct CorrectInfo {
    std::uint8_t pixThresh = 0;
    std::uint8_t minSq = 0;
    std::uint8_t select = 0;
    std::string name;

    bool operator==(const CorrectInfo&) const = default;
};

// One position of a keyboard custom colour group.
struct RgbaColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    bool operator==(const RgbaColor&) const = default;
};

// One step of a light file's `LEDEffectList`.
struct LedEffectStep {
    std::uint8_t kind = 0;  // LEDREGMode
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;
    std::uint8_t multiColor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::array<std::uint8_t, 3> reserved{};
    std::int32_t time = 0;  // milliseconds
    std::int32_t cyle = 0;  // "Cyle", kept with the step

    bool operator==(const LedEffectStep&) const = default;
};

// `SystemSetStages` of a headset, in document order: MagicEnable, MagicType, EqType,
// CustomEqSeletIndex, MicInSelect, MicInValue, MicMoniterSelect, MicMoniterValue.
using HeadsetStages = std::array<std::int32_t, 8>;

// Ten equaliser bands.
inline constexpr std::size_t kEqBandCount = 10;
using EqBands = std::array<std::int32_t, kEqBandCount>;

}  // namespace lumora
