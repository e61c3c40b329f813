#include "hid/emulated_hid_backend.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "hid/emulated_hello.h"
#include "hid/hid_path.h"
#include "hid/report_descriptor.h"
#include "platform/logger.h"

namespace lumora {
namespace {

constexpr int kHelloTimeoutMs = 1000;

std::string_view NodeOf(std::string_view path) { return path.substr(0, path.find('#')); }

}  // namespace

void EmulatedHidBackend::AddEndpoint(std::shared_ptr<EmulatedHidEndpoint> endpoint) {
    std::lock_guard lock(mutex_);
    endpoints_.push_back(std::move(endpoint));
}

void EmulatedHidBackend::RemoveEndpoint(const std::shared_ptr<EmulatedHidEndpoint>& endpoint) {
    std::lock_guard lock(mutex_);
    endpoints_.erase(std::remove(endpoints_.begin(), endpoints_.end(), endpoint), endpoints_.end());
}

bool EmulatedHidBackend::Owns(std::string_view path) const { return path.rfind("sim:", 0) == 0; }

std::shared_ptr<EmulatedHidEndpoint> EmulatedHidBackend::Find(std::string_view path) const {
    const std::string_view node = NodeOf(path);
    std::lock_guard lock(mutex_);
    for (const auto& e : endpoints_)
        if (e->Node() == node) return e;
    return nullptr;
}

bool EmulatedHidBackend::Enumerate(std::vector<std::string>& paths) {
    std::vector<std::shared_ptr<EmulatedHidEndpoint>> endpoints;
    {
        std::lock_guard lock(mutex_);
        endpoints = endpoints_;
    }
    for (const auto& e : endpoints) {
        if (!e->Plugged()) continue;
        const auto bytes = e->Hello();
        const auto hello = EmulatedHello::Decode(bytes.data(), bytes.size());
        ReportDescriptor parsed;
        if (!hello || !parsed.Parse(hello->descriptor)) {
            LOG_WARNING("hid", "emulated device %s has an unusable hello", e->Node().c_str());
            continue;
        }
        const size_t collections = parsed.Collections().size();
        for (size_t c = 1; c <= collections; ++c)
            paths.push_back(e->Node() + ComposePathSuffix(hello->identity.vendor_id, hello->identity.product_id,
                                                          hello->identity.interface_number,
                                                          collections > 1 ? static_cast<int>(c) : 0));
    }
    return true;
}

std::unique_ptr<HidConnection> EmulatedHidBackend::Open(std::string_view path, bool read, bool write) {
    if (!read && !write) return nullptr;
    auto endpoint = Find(path);
    if (!endpoint || (write && !endpoint->Writable())) return nullptr;
    const int fd = endpoint->Connect();
    if (fd < 0) return nullptr;
    // The hello arrives first, exactly as the device describes itself.
    pollfd pfd{fd, POLLIN, 0};
    std::vector<uint8_t> buffer(8192);
    ssize_t n = -1;
    if (::poll(&pfd, 1, kHelloTimeoutMs) == 1 && (pfd.revents & POLLIN))
        n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    auto hello = n > 0 ? EmulatedHello::Decode(buffer.data(), static_cast<size_t>(n)) : std::nullopt;
    if (!hello || hello->identity.vendor_id != PathVendorId(path) ||
        hello->identity.product_id != PathProductId(path)) {
        LOG_WARNING("hid", "emulated device %s did not introduce itself", std::string(NodeOf(path)).c_str());
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<HidConnection>(fd, std::string(NodeOf(path)), std::move(hello->identity),
                                           std::move(hello->descriptor));
}

bool EmulatedHidBackend::IsPresent(std::string_view path) {
    auto endpoint = Find(path);
    return endpoint && endpoint->Plugged();
}

}  // namespace lumora
