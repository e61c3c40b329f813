#include "hid/hid_backends.h"

#include <algorithm>
#include <mutex>

#include "hid/hidraw_backend.h"

namespace lumora {
namespace {

struct Registry {
    std::mutex mutex;
    std::vector<std::shared_ptr<HidBackend>> backends{std::make_shared<HidrawBackend>()};
};

Registry& Get() {
    static Registry registry;
    return registry;
}

}  // namespace

std::vector<std::shared_ptr<HidBackend>> HidBackends::All() {
    auto& r = Get();
    std::lock_guard lock(r.mutex);
    return r.backends;
}

std::shared_ptr<HidBackend> HidBackends::For(std::string_view path) {
    auto& r = Get();
    std::lock_guard lock(r.mutex);
    for (auto& b : r.backends)
        if (b->Owns(path)) return b;
    return nullptr;
}

void HidBackends::Add(std::shared_ptr<HidBackend> backend) {
    auto& r = Get();
    std::lock_guard lock(r.mutex);
    r.backends.push_back(std::move(backend));
}

void HidBackends::Remove(const std::shared_ptr<HidBackend>& backend) {
    auto& r = Get();
    std::lock_guard lock(r.mutex);
    r.backends.erase(std::remove(r.backends.begin(), r.backends.end(), backend), r.backends.end());
}

void HidBackends::Set(std::vector<std::shared_ptr<HidBackend>> backends) {
    auto& r = Get();
    std::lock_guard lock(r.mutex);
    r.backends = std::move(backends);
}

void HidBackends::ResetToDefault() { Set({std::make_shared<HidrawBackend>()}); }

}  // namespace lumora
