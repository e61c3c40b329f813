#pragma once
// A progress drawn as a ring (busy and progress indicators); the drawing is the
// renderer's, the model is the progress's.

#include "ui/progress_ui.h"

namespace lumora {

class CCircleProgressUI : public CProgressUI {
public:
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;
};

}  // namespace lumora
