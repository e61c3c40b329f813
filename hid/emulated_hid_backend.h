#pragma once
// HID backend for the device emulator: the same poll/read/write code as hidraw runs
// over the socket pairs that emulated devices hand out.

#include <memory>
#include <mutex>
#include <vector>

#include "hid/emulated_hid_endpoint.h"
#include "hid/hid_backend.h"

namespace lumora {

class EmulatedHidBackend : public HidBackend {
public:
    void AddEndpoint(std::shared_ptr<EmulatedHidEndpoint> endpoint);
    void RemoveEndpoint(const std::shared_ptr<EmulatedHidEndpoint>& endpoint);

    bool Owns(std::string_view path) const override;
    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<HidConnection> Open(std::string_view path, bool read, bool write) override;
    bool IsPresent(std::string_view path) override;

private:
    std::shared_ptr<EmulatedHidEndpoint> Find(std::string_view path) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<EmulatedHidEndpoint>> endpoints_;
};

}  // namespace lumora
