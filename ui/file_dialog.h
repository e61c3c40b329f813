#pragma once
// The open and save file dialogs (import and export of profiles, macros and
// recoil patterns). The dialog itself belongs to whoever installs a handler: the
// Qt renderer shows a desktop file dialog; tests and automation answer with a path
// or nothing. Without a handler every dialog is cancelled. Each request is recorded
// so a headless run can see what was asked.
//
// While a dialog is open its owner window is disabled, as with a modal window.
// UI thread only.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_wnd.h"

namespace lumora {

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    CWindowWnd::Handle owner = 0;
    std::string title;
    std::string filter;             // "Profile Files(*.json)": a name with its pattern
    std::string default_extension;  // added to a saved name without one ("json")
    std::string initial_name;       // the name a save dialog proposes
    std::string folder;             // where the dialog starts; empty: the handler's choice
};

class CFileDialog {
public:
    using Handler = std::function<std::optional<std::string>(const FileDialogRequest&)>;

    static constexpr std::string_view kProfileFilter = "Profile Files(*.json)";
    static constexpr std::string_view kMacroFilter = "Macro Files(*.mac)";
    static constexpr std::string_view kShootFilter = "Shoot Files(*.shoot)";
    static constexpr std::size_t kMaxRecorded = 32;

    // The chosen path, or nothing when the user cancelled.
    static std::optional<std::string> GetOpenFileName(CWindowWnd* owner, std::string_view filter,
                                                      std::string_view title = {});
    static std::optional<std::string> GetSaveFileName(CWindowWnd* owner, std::string_view filter,
                                                      std::string_view initial_name = {},
                                                      std::string_view title = {});
    // Fills the default extension from the filter when empty. A second dialog while
    // one is open is refused (nothing).
    static std::optional<std::string> Show(FileDialogRequest request);
    static bool IsOpen();

    static void SetHandler(Handler handler);
    // The latest requests, oldest first (at most kMaxRecorded).
    static std::vector<FileDialogRequest> Requests();
    static void ClearRequests();

    // "json" for "Profile Files(*.json)"; empty when the filter names no single extension.
    static std::string ExtensionOf(std::string_view filter);
};

}  // namespace lumora
