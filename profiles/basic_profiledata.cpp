#include "profiles/basic_profiledata.h"

#include "platform/logger.h"
#include "profiles/json_fields.h"
#include "profiles/json_file.h"

#include <system_error>

namespace lumora {
namespace {

constexpr const char* kTag = "profiles";
constexpr const char* kDevice = "Device";
// A light file's name comes from the light configuration; anything longer is not one.
constexpr std::size_t kMaxLightFileNameLength = 200;

using F = JsonFields;

bool FileHasBytes(const std::filesystem::path& path) {
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    return !ec && size > 0;
}

// Content that replacing the entry would destroy: text that does not parse, a root that
// is not an object, a "Device" that is not an array, or an entry that is not an object.
bool WouldLoseContent(const Json::Value& document, bool fileHasBytes, int index) {
    if (document.isNull()) return fileHasBytes;
    if (!document.isObject()) return true;
    const Json::Value& device = F::Member(document, kDevice);
    if (!device.isNull() && !device.isArray()) return true;
    const Json::Value& entry = F::Element(device, static_cast<std::size_t>(index));
    return !entry.isNull() && !entry.isObject();
}

// Writes value as element index of the document's "Device" and the document to path.
// The document's other members stay; a file that would lose content is kept aside first,
// and when that fails the file is left as it is.
bool WriteEntryInto(Json::Value document, const Json::Value& value, const std::filesystem::path& path,
                    int index) {
    if (WouldLoseContent(document, FileHasBytes(path), index)) {
        if (CJsonFile::KeepAside(path).empty()) {
            LOG_ERROR(kTag, "profile %s not written: the damaged file could not be kept", path.c_str());
            return false;
        }
        if (!document.isObject()) document = Json::Value(Json::objectValue);
    }
    Json::Value& device = F::Field(document, kDevice);
    if (!device.isArray()) device = Json::Value(Json::arrayValue);
    F::Slot(device, static_cast<std::size_t>(index)) = value;
    if (!CJsonFile::WriteJson(path, document)) {
        LOG_ERROR(kTag, "profile not saved: %s", path.c_str());
        return false;
    }
    return true;
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxLightFileNameLength && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace

bool CBasicProfiledata::Save() {
    if (profilePath_.empty()) {
        LOG_ERROR(kTag, "no profile path; nothing saved");
        return false;
    }
    return SaveEntry(entry_, profilePath_);
}

bool CBasicProfiledata::SaveEntry(const Json::Value& value, const std::filesystem::path& path) {
    if (path.empty()) return false;
    if (IsDefaultPath(path)) {
        // Installed with the program: factory settings are never overwritten.
        LOG_ERROR(kTag, "refusing to write the default profile %s", path.c_str());
        return false;
    }
    return WriteEntryInto(CJsonFile::ReadJson(path), value, path, entryIndex_);
}

bool CBasicProfiledata::SaveAuxEntry(const std::filesystem::path& path) { return SaveEntry(auxEntry_, path); }

bool CBasicProfiledata::WriteDocument(const Json::Value& value, const std::filesystem::path& path) {
    return CJsonFile::WriteJson(path, value);
}

void CBasicProfiledata::SetProfilePath(const std::filesystem::path& path) {
    if (!path.empty()) profilePath_ = path;
}

void CBasicProfiledata::SetDefaultPath(const std::filesystem::path& path) {
    if (!path.empty()) defaultPath_ = path;
}

void CBasicProfiledata::SetEntryIndex(int index) {
    if (index < 0 || index > kMaxEntryIndex) {
        LOG_WARNING(kTag, "entry index %d refused", index);
        return;
    }
    entryIndex_ = index;
}

void CBasicProfiledata::SetKindIndex(int kindIndex) {
    if (kindIndex >= 0) kindIndex_ = kindIndex;
}

void CBasicProfiledata::SetBuiltinLightCount(int count) {
    if (count >= 0) builtinLightCount_ = count;
}

bool CBasicProfiledata::IsDefaultPath(const std::filesystem::path& path) const {
    if (defaultPath_.empty() || path.empty()) return false;
    std::error_code ec;
    bool same = std::filesystem::equivalent(path, defaultPath_, ec);
    if (!ec) return same;
    return path.lexically_normal() == defaultPath_.lexically_normal();
}

Json::Value CBasicProfiledata::Load(Json::Value& target, const std::filesystem::path& path) {
    const auto index = static_cast<std::size_t>(entryIndex_);
    Json::Value document = CJsonFile::ReadJson(path);
    const Json::Value& entry = F::Element(F::Member(document, kDevice), index);
    if (entry.isObject()) {
        target = entry;
        return target;
    }

    Json::Value defaults = CJsonFile::ReadJson(defaultPath_);
    const Json::Value& fallback = F::Element(F::Member(defaults, kDevice), index);
    // The default entry must be an object too; anything else leaves the entry null.
    target = fallback.isObject() ? fallback : Json::Value();
    if (target.isNull()) LOG_WARNING(kTag, "no usable default profile at %s", defaultPath_.c_str());

    if (IsDefaultPath(path)) {
        LOG_WARNING(kTag, "default profile %s has no usable entry; not repaired", path.c_str());
        return target;
    }
    LOG_INFO(kTag, "profile %s repaired from the default profile", path.c_str());
    WriteEntryInto(std::move(document), target, path, entryIndex_);
    return target;
}

Json::Value CBasicProfiledata::LoadEntry(const std::filesystem::path& path) { return Load(entry_, path); }

Json::Value CBasicProfiledata::LoadAuxEntry(const std::filesystem::path& path) { return Load(auxEntry_, path); }

Json::Value CBasicProfiledata::LoadLightConfig(const std::filesystem::path& path) {
    lightConfig_ = CJsonFile::ReadJson(path);
    lightConfigFolder_ = path.parent_path();
    return lightConfig_;
}

LightInfo CBasicProfiledata::GetLightInfo() {
    const Json::Value& s = F::Section(entry_, "LightInfo");
    if (s.isNull()) {
        lightInfo_ = defaultLightInfo_;
        return lightInfo_;
    }
    LightInfo info;
    info.selectItem = F::U8(s, "SelectItem");
    info.light = F::U8(s, "Light");
    info.speed = F::U8(s, "Speed");
    info.fx = F::U8(s, "Fx");
    info.multiColor = F::Flag(s, "MultiColor");
    info.red = F::U8(s, "Red");
    info.green = F::U8(s, "Green");
    info.blue = F::U8(s, "Blue");
    info.zzccLedMode = F::U8(s, "ZZCCLedMode");
    info.customGroup = F::U8(s, "CustomGroup");
    info.oldLedmode = F::U8(s, "OldLedmode");
    lightInfo_ = info;
    return info;
}

void CBasicProfiledata::SetLightInfo(const LightInfo& info) {
    lightInfo_ = info;
    Json::Value& s = F::Field(entry_, "LightInfo");
    F::Field(s, "SelectItem") = info.selectItem;
    F::Field(s, "Light") = info.light;
    F::Field(s, "Speed") = info.speed;
    F::Field(s, "Fx") = info.fx;
    F::Field(s, "MultiColor") = info.multiColor;
    F::Field(s, "Red") = info.red;
    F::Field(s, "Green") = info.green;
    F::Field(s, "Blue") = info.blue;
    F::Field(s, "ZZCCLedMode") = info.zzccLedMode;
    F::Field(s, "CustomGroup") = info.customGroup;
    F::Field(s, "OldLedmode") = info.oldLedmode;
}

AudioLightInfo CBasicProfiledata::GetAudioLightInfo() {
    const Json::Value& s = F::Section(entry_, "AudioLightInfo");
    AudioLightInfo info;
    if (!s.isNull()) {
        info.audioMode = F::U8(s, "AudioMode");
        info.bkColorR = F::U8(s, "BkColorR");
        info.bkColorG = F::U8(s, "BkColorG");
        info.bkColorB = F::U8(s, "BkColorB");
        info.fgColorR = F::U8(s, "FgColorR");
        info.fgColorG = F::U8(s, "FgColorG");
        info.fgColorB = F::U8(s, "FgColorB");
        info.sevenColorFlags = F::Flag(s, "7ColorFlags");
        info.colorTypeFlags = 1;  // whatever the file holds
    }
    audioLightInfo_ = info;
    return info;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightInfo& info) {
    audioLightInfo_ = info;
    Json::Value& s = F::Field(entry_, "AudioLightInfo");
    F::Field(s, "AudioMode") = info.audioMode;
    F::Field(s, "BkColorR") = info.bkColorR;
    F::Field(s, "BkColorG") = info.bkColorG;
    F::Field(s, "BkColorB") = info.bkColorB;
    F::Field(s, "FgColorR") = info.fgColorR;
    F::Field(s, "FgColorG") = info.fgColorG;
    F::Field(s, "FgColorB") = info.fgColorB;
    F::Field(s, "7ColorFlags") = info.sevenColorFlags;
    F::Field(s, "ColorTypeFlags") = info.colorTypeFlags;
}

std::vector<LightZone> CBasicProfiledata::GetLightList() {
    const Json::Value& s = F::Section(entry_, "LightList");
    std::vector<LightZone> zones;
    if (s.isArray()) {
        zones.reserve(s.size());
        for (const Json::Value& e : s) {
            LightZone z;
            if (e.isObject()) {
                z.mode = F::U8(e, "LEDREGMode");
                z.brightness = F::U8(e, "LEDBrightness");
                z.speed = F::U8(e, "LEDSpeed");
                z.direction = F::Flag(e, "LEDDirection");
                z.multiColor = F::Flag(e, "LEDMultiColor");
                z.red = F::U8(e, "red");
                z.green = F::U8(e, "green");
                z.blue = F::U8(e, "blue");
                z.present = 1;
            }
            zones.push_back(z);
        }
    }
    lightList_ = zones;
    return zones;
}

std::vector<LedEffectStep> CBasicProfiledata::GetLightEffects() {
    lightEffects_.clear();
    if (lightConfig_.isNull()) return lightEffects_;

    // The mode position selects an entry of this device's light-file list, after the built-in modes.
    const int position = F::U8(F::Member(entry_, "LightInfo"), "SelectItem") - builtinLightCount_;
    if (position < 0) return lightEffects_;
    const Json::Value& files = F::Element(F::Member(lightConfig_, "LightInfo"), static_cast<std::size_t>(kindIndex_));
    const Json::Value& file = F::Element(files, static_cast<std::size_t>(position));
    const std::string guid = F::String(file, "Guid");
    if (!IsPlainFileName(guid)) {
        // The name comes from a file: a path in it must not lead out of the profile folder.
        if (!guid.empty()) LOG_WARNING(kTag, "light file name refused: %s", guid.c_str());
        return lightEffects_;
    }
    const std::filesystem::path lightFile = lightConfigFolder_ / (guid + ".light");
    const Json::Value document = CJsonFile::ReadJson(lightFile);
    const Json::Value& steps = F::Member(document, "LEDEffectList");
    if (!steps.isArray()) return lightEffects_;
    lightEffects_.reserve(steps.size());
    for (const Json::Value& e : steps) {
        LedEffectStep step;
        step.kind = F::U8(e, "LEDREGMode");
        step.brightness = F::U8(e, "LEDBrightness");
        step.speed = F::U8(e, "LEDSpeed");
        step.direction = F::U8(e, "LEDDirection");
        step.multiColor = F::U8(e, "LEDMultiColor");
        step.red = F::U8(e, "red");
        step.green = F::U8(e, "green");
        step.blue = F::U8(e, "blue");
        step.time = F::I32(e, "Time");
        step.cyle = F::I32(e, "Cyle");
        lightEffects_.push_back(step);
    }
    return lightEffects_;
}

std::vector<KeyListEntry> CBasicProfiledata::ReadKeyList(Json::Value& entry) {
    const Json::Value& s = F::Section(entry, "KeyList");
    std::vector<KeyListEntry> keys;
    if (!s.isArray()) return keys;
    keys.reserve(s.size());
    std::size_t i = 0;
    for (const Json::Value& e : s) {
        KeyListEntry k;
        k.keyIndex = static_cast<std::uint16_t>(i);
        k.defaultKeyIndex = k.keyIndex;
        k.assignment = KeyFunction::FromPacked(F::Integer(F::Member(e, "Assignment")));
        k.defaultAssignment = KeyFunction::FromPacked(F::Integer(F::Member(e, "DefaultAssignment")));
        keys.push_back(k);
        ++i;
    }
    return keys;
}

std::vector<KeyListEntry> CBasicProfiledata::GetKeyList() {
    keyList_ = ReadKeyList(entry_);
    return keyList_;
}

std::vector<KeyListEntry> CBasicProfiledata::GetAuxKeyList() {
    auxKeyList_ = ReadKeyList(auxEntry_);
    return auxKeyList_;
}

void CBasicProfiledata::WriteAssignments(Json::Value& entry, const std::vector<KeyListEntry>& list) {
    if (list.empty()) return;
    Json::Value& keys = F::Field(entry, "KeyList");
    for (std::size_t i = 0; i < list.size(); ++i)
        F::Field(F::Slot(keys, i), "Assignment") = list[i].assignment.Packed();
}

void CBasicProfiledata::SetKeyAssignments(const std::vector<KeyListEntry>& list) {
    keyList_ = list;
    WriteAssignments(entry_, list);
}

void CBasicProfiledata::SetAuxKeyAssignments(const std::vector<KeyListEntry>& list) {
    auxKeyList_ = list;
    WriteAssignments(auxEntry_, list);
}

}  // namespace lumora
