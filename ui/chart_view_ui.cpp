#include "ui/chart_view_ui.h"

namespace lumora {

std::string_view CChartViewUI::GetClass() const { return "ChartView"; }

bool CChartViewUI::IsA(std::string_view kind) const { return UiText::EqualsNoCase(kind, "ChartView") || CControlUI::IsA(kind); }

}  // namespace lumora
