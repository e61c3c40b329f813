#pragma once
// The main window's notification router: tables by notification type and control
// name. Each type has stages tried in order; in a stage the first matching row acts.
// A row matches by name (letter case ignored, or exact), by the prefix of
// SplitControlName (the action gets the number), or by a control the window keeps a
// reference to. A row may end the routing of its notification, and some types are
// swallowed: they do not go on to the library's default handling.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/notify_ui.h"
#include "ui/ui_text.h"

namespace lumora {

class CControlUI;

class NotifyRouter {
public:
    using Action = std::function<void(TNotifyUI& msg, int number)>;
    enum class Match { Any, Name, ExactName, Prefix, Reference };

    struct Row {
        Match match = Match::Name;  // Any: every sender
        std::string name;                  // Name, ExactName, Prefix
        CControlUI* const* ref = nullptr;  // Reference: the control is read when routing
        Action action;
        bool last = false;                 // nothing more of this type's stages
    };

    // A name split at its last underscore: prefix up to and including it, and the
    // decimal value of the rest (0 when it is not a number).
    struct SplitName {
        std::string prefix;
        int number = 0;
    };
    // Nothing for a name without an underscore.
    static std::optional<SplitName> SplitControlName(std::string_view name);

    void Add(std::string_view type, int stage, Row row);
    // Notifications of this type get no handling and are not passed on.
    void Swallow(std::string_view type);

    // Runs the matching rows; false when the notification must not be passed on.
    bool Route(TNotifyUI& msg) const;
    // Rows of a type (all stages), for inspection.
    std::size_t RowCount(std::string_view type) const;

private:
    static bool Matches(const Row& row, const CControlUI* sender, const std::string& name,
                        const std::optional<SplitName>& split);

    std::map<std::string, std::map<int, std::vector<Row>>, UiText::LessNoCase> types_;
    std::vector<std::string> swallowed_;
};

}  // namespace lumora
