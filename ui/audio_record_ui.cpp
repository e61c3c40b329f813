#include "ui/audio_record_ui.h"

namespace lumora {

std::string_view CAudioRecordUI::GetClass() const { return "AudioRecord"; }

bool CAudioRecordUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "AudioRecord") || CControlUI::IsA(kind); }

}  // namespace lumora
