#include "app/notify_router.h"

#include <charconv>
#include <limits>

#include "ui/control_ui.h"

namespace lumora {

std::optional<NotifyRouter::SplitName> NotifyRouter::SplitControlName(std::string_view name) {
    const size_t underscore = name.rfind('_');
    if (underscore == std::string_view::npos) return std::nullopt;
    SplitName split;
    split.prefix = std::string(name.substr(0, underscore + 1));
    const std::string_view rest = name.substr(underscore + 1);
    long long value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (!rest.empty() && error == std::errc() && end == rest.data() + rest.size() && value >= 0 &&
        value <= std::numeric_limits<int>::max())
        split.number = static_cast<int>(value);
    return split;
}

void NotifyRouter::Add(std::string_view type, int stage, Row row) {
    types_[std::string(type)][stage].push_back(std::move(row));
}

void NotifyRouter::Swallow(std::string_view type) { swallowed_.emplace_back(type); }

bool NotifyRouter::Matches(const Row& row, const CControlUI* sender, const std::string& name,
                           const std::optional<SplitName>& split) {
    switch (row.match) {
        case Match::Any: return true;
        case Match::Name: return UiText::EqualsNoCase(row.name, name);
        case Match::ExactName: return row.name == name;
        case Match::Prefix: return split && UiText::EqualsNoCase(row.name, split->prefix);
        case Match::Reference: return row.ref && *row.ref && *row.ref == sender;
    }
    return false;
}

bool NotifyRouter::Route(TNotifyUI& msg) const {
    for (const std::string& type : swallowed_)
        if (UiText::EqualsNoCase(type, msg.sType)) return false;
    const auto stages = types_.find(msg.sType);
    if (stages == types_.end()) return true;
    const std::string name = msg.pSender ? msg.pSender->GetName() : std::string();
    const std::optional<SplitName> split = SplitControlName(name);
    for (const auto& [stage, rows] : stages->second) {
        for (const Row& row : rows) {
            if (!Matches(row, msg.pSender, name, split)) continue;
            row.action(msg, row.match == Match::Prefix ? split->number : 0);
            if (row.last) return true;
            break;
        }
    }
    return true;
}

std::size_t NotifyRouter::RowCount(std::string_view type) const {
    const auto stages = types_.find(type);
    if (stages == types_.end()) return 0;
    std::size_t count = 0;
    for (const auto& [stage, rows] : stages->second) count += rows.size();
    return count;
}

}  // namespace lumora
