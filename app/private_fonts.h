#pragma once
// The program's own fonts, from the "Font" folder beside the executable, handed to
// the UI library (its renderer installs them; headless they are only recorded). A
// font that is missing or unreadable is skipped: start-up goes on without it.

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

namespace lumora {

class PrivateFonts {
public:
    // Load order.
    static constexpr std::array<std::string_view, 4> kFiles = {
        "Font/Simplified_Chinese.ttf",
        "Font/Vantor-Regular.otf",
        "Font/NotoSansThai-Regular.ttf",
        "Font/NotoSansCJKtc-Regular.otf",
    };

    PrivateFonts() = default;
    ~PrivateFonts();
    PrivateFonts(const PrivateFonts&) = delete;
    PrivateFonts& operator=(const PrivateFonts&) = delete;

    // Loads the fonts found under programFolder, in table order.
    void Load(const std::filesystem::path& programFolder);
    // Takes them away from the UI library again (after the last window is gone).
    void Remove();

    const std::vector<std::filesystem::path>& Loaded() const { return loaded_; }

private:
    static bool Usable(const std::filesystem::path& file);

    std::vector<std::filesystem::path> loaded_;
};

}  // namespace lumora
