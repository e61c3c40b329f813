#pragma once
// A progress the user moves. While the thumb moves each position notifies
// "movevaluechanged"; where it is released notifies "valuechanged". SetValue from
// the program notifies nothing.

#include "ui/progress_ui.h"

namespace lumora {

class CSliderUI : public CProgressUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    int GetChangeStep() const { return step_; }
    // The user drags the thumb to value (not yet released).
    bool MoveTo(int value, std::string* error = nullptr);
    // The user releases the thumb at value.
    bool ReleaseAt(int value, std::string* error = nullptr);

    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

private:
    int step_ = 1;
};

}  // namespace lumora
