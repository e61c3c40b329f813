#pragma once
// The power panel of a device page: battery level, charge state, the wireless link of
// a mouse and the phone lying on a mouse pad, shown from the page's 6-byte status block.
// It sends nothing to the device.

#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/horizontal_layout_ui.h"

namespace lumora {

class CProgressUI;

class CMpDevicePowerUI : public CHorizontalLayoutUI {
public:
    static constexpr size_t kStatusSize = 6;
    static constexpr size_t kMaxInput = 64;

    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    // The page's device kind (1, 2, 3, 7, 9, 6) and a second value the display does not use.
    void SetKind(int device_kind, int second_value);
    int GetDeviceKind() const { return device_kind_; }
    int GetSecondValue() const { return second_value_; }

    // Shows a status block: byte 0 battery percent, 1 charge state (0 external power,
    // 1 charging, 2 battery), 3 connected through the receiver, 5 phone type (pad).
    // Shorter blocks read as zero-padded; at most 64 bytes are looked at.
    void ShowPowerStatus(const uint8_t* block, size_t length);
    // The first six bytes of the last block shown.
    const std::array<uint8_t, kStatusSize>& GetStatus() const { return status_; }
    // Shows (non-zero) or hides (0) "device_power_Layout".
    void ShowPowerLayout(int flag);

    // A click on the panel as a whole notifies "selectchanged" about it.
    bool Activate() override;

private:
    CControlUI* Child(CControlUI*& cache, std::string_view name);

    int device_kind_ = 0;
    int second_value_ = 0;
    std::array<uint8_t, kStatusSize> status_{};
    CControlUI* layout_ = nullptr;
    CControlUI* value_ = nullptr;
    CControlUI* wireless_logo_ = nullptr;
    CControlUI* status_picture_ = nullptr;
    CControlUI* progress_ = nullptr;
    CControlUI* phone_ = nullptr;
};

}  // namespace lumora
