#pragma once
// Where the program finds its own files and keeps the user's: the executable's
// folder, the XDG data, config and runtime folders, and the product folders in them.

#include <filesystem>
#include <string>
#include <string_view>

namespace lumora {

class Paths {
public:
    // Product folder name under the data and config folders; also names the
    // single-instance lock and the bus socket.
    static constexpr std::string_view kProductName = "Halvek Trine Keyboard";

    // Folder holding the running executable (from /proc/self/exe); empty on failure.
    static std::filesystem::path ExecutableFolder();

    // $XDG_DATA_HOME, else $HOME/.local/share. Relative values are ignored, as the
    // XDG rules ask. Empty when no home folder can be found.
    static std::filesystem::path DataHome();
    // $XDG_CONFIG_HOME, else $HOME/.config.
    static std::filesystem::path ConfigHome();
    // $XDG_RUNTIME_DIR when it is an absolute folder owned by the user and closed to
    // others; else a per-user folder "lumora-<uid>" under $TMPDIR (or /tmp), created
    // 0700 and checked to be ours. Empty when neither is usable.
    static std::filesystem::path RuntimeFolder();

    // DataHome()/"Halvek Trine Keyboard" and ConfigHome()/"Halvek Trine Keyboard".
    static std::filesystem::path ProductDataFolder();
    static std::filesystem::path ProductConfigFolder();

    // The single-instance lock file and the bus socket in the runtime folder
    // ("Halvek Trine Keyboard.lock", "Halvek Trine Keyboard.sock"); empty without one.
    static std::filesystem::path InstanceLockFile();
    static std::filesystem::path BusSocketFile();

    // Creates the folder and its parents; true when it exists afterwards.
    static bool EnsureFolder(const std::filesystem::path& folder);

private:
    static std::filesystem::path HomeFolder();
    static std::filesystem::path XdgFolder(const char* variable, std::string_view fallbackUnderHome);
};

}  // namespace lumora
