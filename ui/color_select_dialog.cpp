#include "ui/color_select_dialog.h"

#include <deque>

#include "platform/logger.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";

struct DialogState {
    CColorSelectDialog::Handler handler;
    std::deque<ColorSelectRequest> requests;
    bool open = false;
};

DialogState& State() {
    static DialogState state;
    return state;
}
}  // namespace

ColorSelectResult CColorSelectDialog::Show(CWindowWnd* owner, int dpi, std::uint32_t start_colour) {
    ColorSelectRequest request{owner ? owner->GetHWND() : 0, dpi, start_colour & 0xFFFFFFu};
    ColorSelectResult cancelled{0, request.start_colour};
    auto& state = State();
    if (state.open) {
        LOG_WARNING(kTag, "colour dialog refused: another one is open");
        return cancelled;
    }
    state.requests.push_back(request);
    while (state.requests.size() > kMaxRecorded) state.requests.pop_front();
    if (!state.handler) {
        LOG_INFO(kTag, "colour dialog cancelled: no dialog handler");
        return cancelled;
    }
    const Handler handler = state.handler;
    const bool owner_was_enabled = owner && owner->IsWindowEnabled();
    if (owner_was_enabled) owner->EnableWindow(false);
    state.open = true;
    ColorSelectResult result = handler(request);
    state.open = false;
    if (owner_was_enabled) {
        if (CWindowWnd* o = CWindowWnd::FromHandle(request.owner)) o->EnableWindow(true);
    }
    if (result.result != 1) return {result.result, request.start_colour};
    result.colour &= 0xFFFFFFu;
    return result;
}

bool CColorSelectDialog::IsOpen() { return State().open; }

void CColorSelectDialog::SetHandler(Handler handler) { State().handler = std::move(handler); }

std::vector<ColorSelectRequest> CColorSelectDialog::Requests() {
    const auto& requests = State().requests;
    return {requests.begin(), requests.end()};
}

void CColorSelectDialog::ClearRequests() { State().requests.clear(); }

}  // namespace lumora
