#include "profiles/mouse_profiledata.h"

#include "profiles/json_fields.h"

namespace lumora {
namespace {

using F = JsonFields;

}  // namespace

void CMouseProfiledata::Merge(const std::vector<DpiStage>& stages) {
    for (std::size_t j = 0; j < stages.size(); ++j) {
        if (j < dpiStages_.size())
            dpiStages_[j] = stages[j];
        else
            dpiStages_.push_back(stages[j]);
    }
}

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
    const Json::Value& s = F::Section(MutableEntry(), "DPIStages");
    std::vector<DpiStage> fresh;
    if (!s.isNull()) {
        activeStage_ = F::I32(s, "StageActive");
        const Json::Value& list = F::Member(s, "StageDPIs");
        if (list.isArray()) {
            fresh.reserve(list.size());
            for (const Json::Value& e : list) {
                DpiStage d;
                d.enabled = F::U8(e, "StageActive");
                d.xy = F::U8(e, "StageXY");
                d.dpiX = F::U16(e, "StageDPIX");
                d.dpiY = F::U16(e, "StageDPIY");
                d.red = F::U8(e, "StageColorR");
                d.green = F::U8(e, "StageColorG");
                d.blue = F::U8(e, "StageColorB");
                fresh.push_back(d);
            }
        }
    }
    Merge(fresh);
    return dpiStages_;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
    Merge(stages);
    if (stages.empty()) return;
    Json::Value& list = F::Field(F::Field(MutableEntry(), "DPIStages"), "StageDPIs");
    for (std::size_t j = 0; j < stages.size(); ++j) {
        Json::Value& e = F::Slot(list, j);
        const DpiStage& d = stages[j];
        F::Field(e, "StageActive") = d.enabled;
        F::Field(e, "StageXY") = d.xy;
        F::Field(e, "StageDPIX") = d.dpiX;
        F::Field(e, "StageDPIY") = d.dpiY;
        F::Field(e, "StageColorR") = d.red;
        F::Field(e, "StageColorG") = d.green;
        F::Field(e, "StageColorB") = d.blue;
    }
}

void CMouseProfiledata::SetActiveDpiStage(int stage) {
    activeStage_ = stage;
    F::Field(F::Field(MutableEntry(), "DPIStages"), "StageActive") = stage;
}

SystemWords CMouseProfiledata::GetSystemStages() {
    Json::Value& entry = MutableEntry();
    const Json::Value& s = F::Section(entry, "SystemStages");
    SystemWords w{};
    w[0] = static_cast<std::uint32_t>(F::U16(s, "MouseSpeed")) << 16 | F::U16(s, "DoubleClickTime");
    w[1] = static_cast<std::uint32_t>(F::U16(s, "ScorllPage")) << 16 | F::U16(s, "PointerPrecision");
    const std::uint16_t wheel = F::U16(s, "WheelScorlllinse");
    const Json::Value& report = F::Section(entry, "ReportStages");
    w[2] = static_cast<std::uint32_t>(F::U16(report, "StageActive")) << 16 | wheel;
    systemWords_ = w;
    return w;
}

void CMouseProfiledata::SetSystemStages(const SystemWords& w) {
    systemWords_ = w;
    Json::Value& entry = MutableEntry();
    Json::Value& s = F::Field(entry, "SystemStages");
    F::Field(s, "DoubleClickTime") = static_cast<int>(w[0] & 0xFFFFu);
    F::Field(s, "MouseSpeed") = static_cast<int>(w[0] >> 16);
    F::Field(s, "PointerPrecision") = static_cast<int>(w[1] & 0xFFFFu);
    F::Field(s, "ScorllPage") = static_cast<int>(w[1] >> 16);
    F::Field(s, "WheelScorlllinse") = static_cast<int>(w[2] & 0xFFFFu);
    F::Field(F::Field(entry, "ReportStages"), "StageActive") = static_cast<int>(w[2] >> 16);
}

std::vector<CorrectInfo> CMouseProfiledata::GetCorrectInfo() {
    const Json::Value& s = F::Section(MutableEntry(), "CorrectInfo");
    std::vector<CorrectInfo> list;
    if (s.isArray()) {
        list.reserve(s.size());
        for (const Json::Value& e : s) {
            CorrectInfo c;
            c.pixThresh = F::U8(e, "CorrectPixThresh");
            c.minSq = F::U8(e, "CorrectMinSq");
            c.select = F::U8(e, "CorrectSelect");
            c.name = F::String(e, "CorrectName");
            list.push_back(std::move(c));
        }
    }
    correctInfo_ = list;
    return list;
}

}  // namespace lumora
