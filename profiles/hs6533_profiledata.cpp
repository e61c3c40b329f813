#include "profiles/hs6533_profiledata.h"

#include "platform/logger.h"
#include "profiles/json_fields.h"

namespace lumora {
namespace {

constexpr const char* kTag = "profiles";
constexpr const char* kPresets = "EQHzValueInfo";
constexpr const char* kCustom = "CustomEQHzValueInfo";
constexpr const char* kStageKeys[8] = {"MagicEnable", "MagicType",   "EqType",           "CustomEqSeletIndex",
                                       "MicInSelect", "MicInValue", "MicMoniterSelect", "MicMoniterValue"};
using F = JsonFields;

bool ValidCustomIndex(int index) {
    if (index >= 0 && index < CHs6533Profiledata::kMaxCustomEqualisers) return true;
    LOG_WARNING(kTag, "custom equaliser %d out of range", index);
    return false;
}

}  // namespace

HeadsetStages CHs6533Profiledata::GetSystemSetStages() {
    const Json::Value& s = F::Section(MutableEntry(), "SystemSetStages");
    HeadsetStages v{};
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = F::I32(s, kStageKeys[i]);
    stages_ = v;
    return v;
}

void CHs6533Profiledata::SetSystemSetStages(const HeadsetStages& v) {
    stages_ = v;
    Json::Value& s = F::Field(MutableEntry(), "SystemSetStages");
    for (std::size_t i = 0; i < v.size(); ++i) F::Field(s, kStageKeys[i]) = v[i];
}

int CHs6533Profiledata::EqRowForType(int eqType) {
    if (eqType == kCustomEqType) return -1;
    if (eqType <= 0 || eqType > kCustomEqType) return 1;
    return eqType;
}

std::vector<std::int32_t> CHs6533Profiledata::ReadBands(const char* table, int row) {
    std::vector<std::int32_t> bands(kEqBandCount, 0);
    Json::Value& entry = MutableEntry();
    if (!entry.isObject()) return bands;  // no profile at all: zeros, nothing to write into
    const Json::Value& rowValue = F::Element(F::Section(entry, table), static_cast<std::size_t>(row));
    if (rowValue.isArray()) {
        for (std::size_t b = 0; b < kEqBandCount; ++b) bands[b] = F::I32(F::Element(rowValue, b), "value");
        return bands;
    }
    // A missing (or unusable) row is written back as the zeros it read as.
    Json::Value& target = F::Slot(F::Field(entry, table), static_cast<std::size_t>(row));
    for (std::size_t b = 0; b < kEqBandCount; ++b) F::Field(F::Slot(target, b), "value") = 0;
    return bands;
}

void CHs6533Profiledata::WriteBands(const char* table, int row, const EqBands& values) {
    Json::Value& target = F::Slot(F::Field(MutableEntry(), table), static_cast<std::size_t>(row));
    for (std::size_t b = 0; b < kEqBandCount; ++b) F::Field(F::Slot(target, b), "value") = values[b];
}

std::vector<std::int32_t> CHs6533Profiledata::GetEqValues(int eqType) {
    const int row = EqRowForType(eqType);
    eqValues_ = row < 0 ? std::vector<std::int32_t>{} : ReadBands(kPresets, row);
    return eqValues_;
}

void CHs6533Profiledata::SetEqValues(int eqType, const EqBands& values) {
    const int row = EqRowForType(eqType);
    if (row >= 0) WriteBands(kPresets, row, values);
}

std::vector<std::string> CHs6533Profiledata::GetCustomEqNames() {
    const Json::Value& s = F::Section(MutableEntry(), "CustomEQNameInfo");
    std::vector<std::string> names;
    if (s.isArray()) {
        names.reserve(s.size());
        for (const Json::Value& e : s) names.push_back(F::String(e, "Name"));
    }
    return names;
}

void CHs6533Profiledata::SetCustomEqNames(const std::vector<std::string>& names) {
    Json::Value list(Json::arrayValue);
    for (const std::string& name : names) {
        Json::Value item(Json::objectValue);
        item["Name"] = name;
        list.append(std::move(item));
    }
    F::Field(MutableEntry(), "CustomEQNameInfo") = std::move(list);
}

std::vector<std::int32_t> CHs6533Profiledata::GetCustomEqValues(int index) {
    eqValues_ = ValidCustomIndex(index) ? ReadBands(kCustom, index) : std::vector<std::int32_t>{};
    return eqValues_;
}

void CHs6533Profiledata::SetCustomEqValues(int index, const EqBands& values) {
    if (ValidCustomIndex(index)) WriteBands(kCustom, index, values);
}

}  // namespace lumora
