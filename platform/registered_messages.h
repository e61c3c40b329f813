#pragma once
// The registered messages the program exchanges with other processes, by name.
// The names are the contract with the outside programs (hook library, audio-capture
// helper, update installer, "WorkTool", game integrations) and are spelled as they use
// them. Ids come from the process catalogue; each accessor registers on first use.

#include <array>
#include <cstdint>
#include <string_view>

namespace lumora {

class RegisteredMessages {
public:
    static constexpr std::string_view kProductName = "Halvek Trine Keyboard";

    // In registration order: 15, 16, 17, 18, then E19 (its last group really is "EBE19").
    static constexpr std::array<std::string_view, 5> kGuidNames = {
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}",  // UWM_UPDATE_STATE_MSG
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",  // UWM_LIGHT_OWNER_MSG
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}",  // UWM_LIGHT_CONTROL_MSG
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",  // UWM_DEVICE_QUERY_MSG
        "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}",  // UWM_AUDIO_TOOL_MSG
    };

    static constexpr std::array<std::string_view, 14> kHookKeyNames = {
        "WM_HOOK_KEY_SINGLEKEY_MSG",        "WM_HOOK_KEY_HITKEY_MSG",
        "WM_HOOK_KEY_KBMACRO_MSG",          "WM_HOOK_KEY_MSMACRO_MSG",
        "WM_HOOK_KEY_KBMACROSINGLE_MSG",    "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
        "WM_HOOK_KEY_KBMACROLATER_MSG",     "WM_HOOK_MOU_SINGLEKEY_MSG",
        "WM_HOOK_MOU_HITKEY_MSG",           "WM_HOOK_MOU_KBMACRO_MSG",
        "WM_HOOK_MOU_MSMACRO_MSG",          "WM_HOOK_KEY_MSMACROSINGLE_MSG",
        "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",  "WM_HOOK_KEY_MSMACROLATER_MSG",
    };

    // Six entries over five names: the right-button-down name is both first and
    // fifth, so those two entries carry the same id.
    static constexpr std::array<std::string_view, 6> kHookMouseNames = {
        "UWM_MOUSERBUTTONDOWN_USER_MSG", "UWM_MOUSELBUTTONUP_USER_MSG",
        "UWM_MOUSELBUTTONDOWN_USER_MSG", "UWM_MOUSERBUTTONUP_USER_MSG",
        "UWM_MOUSERBUTTONDOWN_USER_MSG", "UWM_MOUSEMOVE_USER_MSG",
    };

    static constexpr std::array<std::string_view, 4> kGameNames = {
        "Game_Start", "Game_End", "Game_Kill", "Game_Death",
    };

    // Every entry above in catalogue order: product, the five GUID names, the
    // fourteen key hook names, the six mouse entries, the four game names (30 entries).
    static constexpr std::size_t kEntryCount =
        1 + kGuidNames.size() + kHookKeyNames.size() + kHookMouseNames.size() + kGameNames.size();
    static std::array<std::string_view, kEntryCount> AllNames();

    // Registers the product message and the GUID names in start-up order, then the
    // rest. False when any registration failed (its id would not be a registered one).
    static bool RegisterAll();

    static std::uint32_t UWM_PRODUCT_MSG();
    static std::uint32_t UWM_UPDATE_STATE_MSG();
    static std::uint32_t UWM_LIGHT_OWNER_MSG();
    static std::uint32_t UWM_LIGHT_CONTROL_MSG();
    static std::uint32_t UWM_DEVICE_QUERY_MSG();
    static std::uint32_t UWM_AUDIO_TOOL_MSG();
    // By position in the lists above; 0 for a position outside the list.
    static std::uint32_t HookKeyMessage(std::size_t index);
    static std::uint32_t HookMouseMessage(std::size_t index);
    static std::uint32_t GameMessage(std::size_t index);
};

}  // namespace lumora
