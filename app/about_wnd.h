#pragma once
// The about window: the product name and the version, closed by its close button.
// Skin "XML_ABOUT"; a plain built-in layout with the same control names when the
// skin cannot be built.

#include <string>
#include <string_view>

#include "ui/window_impl_base.h"

namespace lumora {

class CAboutWnd : public WindowImplBase {
public:
    static constexpr std::uint32_t kStyle = 0x90000000;  // WS_POPUP, WS_VISIBLE
    static constexpr std::uint32_t kExStyle = 0x80;      // WS_EX_TOOLWINDOW
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;

    // Shown in "about_version".
    void SetVersionText(std::string_view text);
    const std::string& VersionText() const { return version_; }

    std::string GetWindowClassName() const override;
    std::string GetSkinFile() const override;
    std::string GetFallbackSkin() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;

private:
    void ShowVersion();

    std::string version_;
};

}  // namespace lumora
