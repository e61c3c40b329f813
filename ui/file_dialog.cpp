#include "ui/file_dialog.h"

#include <deque>
#include <filesystem>

#include "platform/logger.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";

struct DialogState {
    CFileDialog::Handler handler;
    std::deque<FileDialogRequest> requests;
    bool open = false;
};

DialogState& State() {
    static DialogState state;
    return state;
}

bool HasExtension(const std::string& path) {
    const std::filesystem::path p(path);
    return p.has_extension() && p.extension() != ".";
}
}  // namespace

std::string CFileDialog::ExtensionOf(std::string_view filter) {
    const auto open = filter.rfind("(*.");
    const auto close = filter.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 3) return {};
    std::string_view ext = filter.substr(open + 3, close - open - 3);
    if (ext.empty() || ext.find_first_of("*?;, ") != std::string_view::npos) return {};
    return std::string(ext);
}

std::optional<std::string> CFileDialog::GetOpenFileName(CWindowWnd* owner, std::string_view filter,
                                                        std::string_view title) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.owner = owner ? owner->GetHWND() : 0;
    request.filter = filter;
    request.title = title;
    return Show(std::move(request));
}

std::optional<std::string> CFileDialog::GetSaveFileName(CWindowWnd* owner, std::string_view filter,
                                                        std::string_view initial_name, std::string_view title) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.owner = owner ? owner->GetHWND() : 0;
    request.filter = filter;
    request.initial_name = initial_name;
    request.title = title;
    return Show(std::move(request));
}

std::optional<std::string> CFileDialog::Show(FileDialogRequest request) {
    auto& state = State();
    if (state.open) {
        LOG_WARNING(kTag, "file dialog refused: another one is open");
        return std::nullopt;
    }
    if (request.default_extension.empty()) request.default_extension = ExtensionOf(request.filter);
    state.requests.push_back(request);
    while (state.requests.size() > kMaxRecorded) state.requests.pop_front();
    if (!state.handler) {
        LOG_INFO(kTag, "file dialog \"%s\" cancelled: no dialog handler", request.filter.c_str());
        return std::nullopt;
    }

    const Handler handler = state.handler;  // a handler may replace itself while it runs
    CWindowWnd* owner = CWindowWnd::FromHandle(request.owner);
    const bool owner_was_enabled = owner && owner->IsWindowEnabled();
    if (owner_was_enabled) owner->EnableWindow(false);
    state.open = true;
    std::optional<std::string> answer = handler(request);
    state.open = false;
    if (owner_was_enabled) {
        if (CWindowWnd* o = CWindowWnd::FromHandle(request.owner)) o->EnableWindow(true);
    }
    if (answer && answer->empty()) answer.reset();
    if (answer && request.kind == FileDialogRequest::Kind::Save && !request.default_extension.empty() &&
        !HasExtension(*answer)) {
        *answer += "." + request.default_extension;
    }
    return answer;
}

bool CFileDialog::IsOpen() { return State().open; }

void CFileDialog::SetHandler(Handler handler) { State().handler = std::move(handler); }

std::vector<FileDialogRequest> CFileDialog::Requests() {
    const auto& requests = State().requests;
    return {requests.begin(), requests.end()};
}

void CFileDialog::ClearRequests() { State().requests.clear(); }

}  // namespace lumora
