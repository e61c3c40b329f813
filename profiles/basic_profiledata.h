#pragma once
// The profile data of one device: the current profile's device entry (element 0 of the
// document's "Device" array) held in memory, typed getters and setters over its sections,
// and the file operations that load, repair and save it. Setters change only memory;
// nothing reaches the disk until Save. Used from one thread (the UI thread).

#include "profiles/profile_records.h"

#include <json/json.h>

#include <filesystem>
#include <vector>

namespace lumora {

class CBasicProfiledata {
public:
    // The document keeps one entry per device; anything beyond this is not an index we write.
    static constexpr int kMaxEntryIndex = 63;

    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = delete;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

    // Virtual operations, in slot order. Each reports whether the file was written.
    // Writes the entry into the profile file.
    virtual bool Save();
    // Re-reads the document at path (so its other members, e.g. the profile's name, survive),
    // sets its entry to value and writes it back. A damaged file is kept aside first;
    // the default profile is never written.
    virtual bool SaveEntry(const Json::Value& value, const std::filesystem::path& path);
    // Writes the auxiliary entry into the document at path.
    virtual bool SaveAuxEntry(const std::filesystem::path& path);
    // Writes value as the whole document.
    virtual bool WriteDocument(const Json::Value& value, const std::filesystem::path& path);

    void SetProfilePath(const std::filesystem::path& path);  // ignores an empty path
    const std::filesystem::path& GetProfilePath() const { return profilePath_; }
    void SetDefaultPath(const std::filesystem::path& path);  // ignores an empty path
    const std::filesystem::path& GetDefaultPath() const { return defaultPath_; }
    void SetLightConfigPath(const std::filesystem::path& path) { lightConfigPath_ = path; }
    const std::filesystem::path& GetLightConfigPath() const { return lightConfigPath_; }
    // Callers pass 0; values outside 0 to kMaxEntryIndex are refused.
    void SetEntryIndex(int index);
    int GetEntryIndex() const { return entryIndex_; }
    // Which element of the light configuration's "LightInfo" belongs to this device
    // (its kind index), and how many built-in modes precede the light-file modes.
    void SetKindIndex(int kindIndex);
    void SetBuiltinLightCount(int count);

    // Loads the entry of the profile at path. When the file has no usable entry, the default
    // profile's entry is taken and written into the file (a file that would lose content is
    // kept aside first); the default profile itself is never written. Returns a copy.
    Json::Value LoadEntry(const std::filesystem::path& path);
    // The same into the auxiliary entry (another profile's entry).
    Json::Value LoadAuxEntry(const std::filesystem::path& path);
    // Reads the light configuration document; no fallback.
    Json::Value LoadLightConfig(const std::filesystem::path& path);

    const Json::Value& Entry() const { return entry_; }
    const Json::Value& AuxEntry() const { return auxEntry_; }
    const Json::Value& LightConfig() const { return lightConfig_; }

    LightInfo GetLightInfo();
    void SetLightInfo(const LightInfo& info);
    AudioLightInfo GetAudioLightInfo();
    void SetAudioLightInfo(const AudioLightInfo& info);
    std::vector<LightZone> GetLightList();
    // Steps of the light file that the current mode position selects; empty on any failure.
    std::vector<LedEffectStep> GetLightEffects();
    std::vector<KeyListEntry> GetKeyList();
    std::vector<KeyListEntry> GetAuxKeyList();
    // Writes `Assignment` of keys 0 to size-1 (by position in the list).
    void SetKeyAssignments(const std::vector<KeyListEntry>& list);
    void SetAuxKeyAssignments(const std::vector<KeyListEntry>& list);

protected:
    Json::Value& MutableEntry() { return entry_; }

private:
    Json::Value Load(Json::Value& target, const std::filesystem::path& path);
    static std::vector<KeyListEntry> ReadKeyList(Json::Value& entry);
    static void WriteAssignments(Json::Value& entry, const std::vector<KeyListEntry>& list);
    bool IsDefaultPath(const std::filesystem::path& path) const;

    std::filesystem::path profilePath_;
    std::filesystem::path defaultPath_;
    int builtinLightCount_ = 0;
    int kindIndex_ = 0;
    LightInfo lightInfo_;
    const LightInfo defaultLightInfo_{};
    AudioLightInfo audioLightInfo_;
    std::vector<LightZone> lightList_;
    Json::Value entry_;
    Json::Value auxEntry_;
    std::filesystem::path lightConfigPath_;
    std::filesystem::path lightConfigFolder_;  // where the light files of the loaded configuration lie
    std::vector<LedEffectStep> lightEffects_;
    Json::Value lightConfig_;
    std::vector<KeyListEntry> keyList_;
    std::vector<KeyListEntry> auxKeyList_;
    int entryIndex_ = 0;
};

}  // namespace lumora
