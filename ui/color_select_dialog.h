#pragma once
// The colour palette window as the pages use it: given an owner, a DPI and a start
// colour (0xRRGGBB), it is shown modally and ends with 1 and the chosen colour when
// the user confirms, with another result otherwise. The window belongs to whoever
// installs a handler: the Qt renderer shows a desktop colour dialog; tests and
// automation answer directly. Without a handler it is cancelled (result 0). Each
// request is recorded.
//
// While it is open the owner window is disabled; at most one is open at a time.
// UI thread only.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/window_wnd.h"

namespace lumora {

struct ColorSelectRequest {
    CWindowWnd::Handle owner = 0;
    int dpi = 96;
    std::uint32_t start_colour = 0;  // 0xRRGGBB
};

struct ColorSelectResult {
    int result = 0;            // 1: confirmed
    std::uint32_t colour = 0;  // 0xRRGGBB; the start colour unless confirmed
};

class CColorSelectDialog {
public:
    using Handler = std::function<ColorSelectResult(const ColorSelectRequest&)>;
    static constexpr std::size_t kMaxRecorded = 32;

    // A second dialog while one is open gives result 0 at once.
    static ColorSelectResult Show(CWindowWnd* owner, int dpi, std::uint32_t start_colour);
    static bool IsOpen();

    static void SetHandler(Handler handler);
    static std::vector<ColorSelectRequest> Requests();
    static void ClearRequests();
};

}  // namespace lumora
