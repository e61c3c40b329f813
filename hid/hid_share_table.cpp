#include "hid/hid_share_table.h"

namespace lumora {

HidShareTable& HidShareTable::Instance() {
    static HidShareTable table;
    return table;
}

bool HidShareTable::Acquire(const std::string& node, bool write, bool exclusive) {
    std::lock_guard lock(mutex_);
    Use& use = uses_[node];
    if ((write && use.exclusive > 0) || (exclusive && use.writers > 0)) {
        if (use.writers == 0 && use.exclusive == 0) uses_.erase(node);
        return false;
    }
    if (write) ++use.writers;
    if (exclusive) ++use.exclusive;
    return true;
}

void HidShareTable::Release(const std::string& node, bool write, bool exclusive) {
    std::lock_guard lock(mutex_);
    auto it = uses_.find(node);
    if (it == uses_.end()) return;
    if (write && it->second.writers > 0) --it->second.writers;
    if (exclusive && it->second.exclusive > 0) --it->second.exclusive;
    if (it->second.writers == 0 && it->second.exclusive == 0) uses_.erase(it);
}

}  // namespace lumora
