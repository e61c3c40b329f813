#include "profiles/keyboard_profiledata.h"

#include "platform/logger.h"
#include "profiles/json_fields.h"

#include <algorithm>

namespace lumora {
namespace {

constexpr const char* kTag = "profiles";
using F = JsonFields;

void WriteColor(Json::Value& position, const RgbaColor& c) {
    F::Field(position, "Red") = c.red;
    F::Field(position, "Green") = c.green;
    F::Field(position, "Blue") = c.blue;
    F::Field(position, "Alpha") = c.alpha;
}

}  // namespace

SystemWords CKeyboardProfiledata::GetSystemStages() {
    const Json::Value& s = F::Section(MutableEntry(), "SystemStages");
    SystemWords w{};
    if (!s.isNull()) {
        w[0] = static_cast<std::uint32_t>(F::U16(s, "RepeatDelay")) << 16 | F::U16(s, "Repeat");
        w[1] = static_cast<std::uint32_t>(F::U16(s, "PollingRate")) << 16 | F::U16(s, "Key6Flag");
        w[2] = static_cast<std::uint32_t>(F::U16(s, "WinFlag")) << 16 | F::U16(s, "WFlag");
    }
    systemWords_ = w;
    return w;
}

void CKeyboardProfiledata::SetSystemStages(const SystemWords& w) {
    systemWords_ = w;
    Json::Value& s = F::Field(MutableEntry(), "SystemStages");
    F::Field(s, "Repeat") = static_cast<int>(w[0] & 0xFFFFu);
    F::Field(s, "RepeatDelay") = static_cast<int>(w[0] >> 16);
    F::Field(s, "Key6Flag") = static_cast<int>(w[1] & 0xFFFFu);
    F::Field(s, "PollingRate") = static_cast<int>(w[1] >> 16);
    F::Field(s, "WFlag") = static_cast<int>(w[2] & 0xFFFFu);
    F::Field(s, "WinFlag") = static_cast<int>(w[2] >> 16);
}

std::vector<RgbaColor> CKeyboardProfiledata::GetCustomColors(int group, int count) {
    count = std::clamp(count, 0, kMaxCustomColorPositions);
    std::vector<RgbaColor> colors(static_cast<std::size_t>(count));
    customColors_ = colors;
    if (group < 0 || group >= kMaxCustomGroups) {
        LOG_WARNING(kTag, "custom colour group %d out of range", group);
        return colors;
    }
    Json::Value& entry = MutableEntry();
    if (count == 0 || !entry.isObject()) return colors;

    const Json::Value& mode = F::Section(entry, "CustomLightMode");
    const Json::Value& stored = F::Element(F::Member(mode, "LightColorInfo"), static_cast<std::size_t>(group));
    const bool haveGroup = stored.isArray();
    // Read everything first; the zeros written below go into the same group.
    for (int i = 0; haveGroup && i < count; ++i) {
        const Json::Value& p = F::Element(stored, static_cast<std::size_t>(i));
        auto& c = colors[static_cast<std::size_t>(i)];
        c.red = F::U8(p, "Red");
        c.green = F::U8(p, "Green");
        c.blue = F::U8(p, "Blue");
        c.alpha = F::U8(p, "Alpha");
    }
    // What reads as zero because it is missing is written back as zeros.
    Json::Value* target = nullptr;
    for (int i = 0; i < count; ++i) {
        const auto pos = static_cast<std::size_t>(i);
        if (haveGroup && !F::Element(stored, pos).isNull()) continue;
        if (!target)
            target = &F::Slot(F::Field(F::Field(entry, "CustomLightMode"), "LightColorInfo"),
                              static_cast<std::size_t>(group));
        WriteColor(F::Slot(*target, pos), RgbaColor{});
    }
    customColors_ = colors;
    return colors;
}

void CKeyboardProfiledata::SetCustomColors(const std::vector<RgbaColor>& colors, int group) {
    if (group < 0 || group >= kMaxCustomGroups) {
        LOG_WARNING(kTag, "custom colour group %d out of range; not stored", group);
        return;
    }
    customColors_ = colors;
    if (colors.empty()) return;
    const std::size_t count = std::min(colors.size(), static_cast<std::size_t>(kMaxCustomColorPositions));
    Json::Value& target = F::Slot(F::Field(F::Field(MutableEntry(), "CustomLightMode"), "LightColorInfo"),
                                  static_cast<std::size_t>(group));
    for (std::size_t i = 0; i < count; ++i) WriteColor(F::Slot(target, i), colors[i]);
}

int CKeyboardProfiledata::GetCustomGroupIndex() {
    customGroupIndex_ = F::I32(F::Section(MutableEntry(), "CustomLightMode"), "CustomLightModeGroupIndex");
    return customGroupIndex_;
}

void CKeyboardProfiledata::SetCustomGroupIndex(int index) {
    customGroupIndex_ = index;
    F::Field(F::Field(MutableEntry(), "CustomLightMode"), "CustomLightModeGroupIndex") = index;
}

}  // namespace lumora
