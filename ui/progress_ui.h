#pragma once
// A value within a range, shown as a bar. The value is always kept within
// [min, max], also when the range changes.

#include "ui/label_ui.h"

namespace lumora {

class CProgressUI : public CLabelUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    int GetMinValue() const { return min_; }
    void SetMinValue(int min);
    int GetMaxValue() const { return max_; }
    void SetMaxValue(int max);
    int GetValue() const { return value_; }
    void SetValue(int value);
    bool IsHorizontal() const { return horizontal_; }

    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;

private:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool horizontal_ = true;
};

}  // namespace lumora
