// Feeds arbitrary bytes to the JSON reader and, as a profile, default profile, light
// configuration and light file, to every section getter and setter of the four profile
// classes. Besides sanitizer reports it traps when a saved profile does not read back.

#include "platform/logger.h"
#include "profiles/hs6533_profiledata.h"
#include "profiles/json_file.h"
#include "profiles/key_tables.h"
#include "profiles/keyboard_profiledata.h"
#include "profiles/label_for_key_function.h"
#include "profiles/mouse_profiledata.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace lumora;

class IdTexts : public TextLookup {
public:
    std::string Text(std::string_view id) const override { return std::string(id); }
};

// A folder on tmpfs when there is one: every input is written as files. libFuzzer may end
// the process without running exit handlers, so folders of earlier runs whose process is
// gone are removed here.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        const std::string prefix = "lumora-profiles-fuzz-";
        std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(base, ec)) {
            const std::string name = e.path().filename().string();
            if (name.rfind(prefix, 0) == 0 && !std::filesystem::exists("/proc/" + name.substr(prefix.size())))
                std::filesystem::remove_all(e.path(), ec);
        }
        auto dir = base / (prefix + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        Logger::SetLevel(LogLevel::Off);
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return dir;
    }();
    return folder;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct Params {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    int Int() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
        return static_cast<int>(v);
    }
    // Mostly small numbers, sometimes any.
    int Index() {
        std::uint8_t kind = Byte();
        return kind < 200 ? static_cast<int>(kind % 24) - 2 : Int();
    }
};

void CheckSaved(const std::filesystem::path& path) {
    Json::Value doc = CJsonFile::ReadJson(path);
    if (!doc.isObject() || !doc["Device"].isArray()) __builtin_trap();
}

void Common(CBasicProfiledata& data, Params& p, const std::filesystem::path& profile, bool isMouse) {
    data.SetKindIndex(p.Byte() % 5);
    data.SetBuiltinLightCount(p.Byte() % 12);
    data.GetLightInfo();
    data.GetAudioLightInfo();
    data.GetLightList();
    auto keys = data.GetKeyList();
    data.LoadLightConfig(Folder() / "zelko_light.config");
    data.GetLightEffects();

    static const IdTexts texts;
    const std::vector<std::string> macros = {"m0", "m1", "m2"};
    for (const auto& k : keys) LabelForKeyFunction(k.assignment, isMouse ? 2 : 1, macros, texts);
    for (auto& k : keys) k.assignment = KeyFunction{p.Byte(), p.Byte(), p.Byte()};
    data.SetKeyAssignments(keys);

    LightInfo info = data.GetLightInfo();
    info.selectItem = p.Byte();
    data.SetLightInfo(info);
    data.SetAudioLightInfo(data.GetAudioLightInfo());
    if (data.Save()) CheckSaved(profile);

    data.LoadAuxEntry(profile);
    auto aux = data.GetAuxKeyList();
    data.SetAuxKeyAssignments(aux);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::size_t paramBytes = size < 32 ? size : 32;
    Params p{bytes, paramBytes};
    const std::string text(reinterpret_cast<const char*>(bytes) + paramBytes, size - paramBytes);

    // The reader and writer alone: whatever parses must read back the same after writing.
    Json::Value parsed = CJsonFile::ParseJson(text);
    if (!parsed.isNull() && CJsonFile::ParseJson(CJsonFile::StyledText(parsed)) != parsed) __builtin_trap();

    const auto& dir = Folder();
    const auto profile = dir / "p.Json";
    const auto defaults = dir / "default.Json";
    // The input is the profile, the light configuration and a light file; the default
    // profile is the input too, or missing, or a small valid one.
    WriteFile(dir / "zelko_light.config", text);
    WriteFile(dir / "fx.light", text);
    switch (p.Byte() % 3) {
        case 0: WriteFile(defaults, text); break;
        case 1: std::filesystem::remove(defaults); break;
        default: WriteFile(defaults, R"({"Device":[{"LightInfo":{"Light":2},"KeyList":[{"Assignment":2097156}]}]})");
    }

    {
        WriteFile(profile, text);
        CBasicProfiledata pad;
        pad.SetDefaultPath(defaults);
        pad.SetProfilePath(profile);
        pad.LoadEntry(profile);
        Common(pad, p, profile, false);
    }
    {
        WriteFile(profile, text);
        CKeyboardProfiledata kb;
        kb.SetDefaultPath(defaults);
        kb.SetProfilePath(profile);
        kb.LoadEntry(profile);
        kb.GetSystemStages();
        const int group = kb.GetCustomGroupIndex();
        kb.GetCustomColors(group, p.Index());
        auto colors = kb.GetCustomColors(p.Index(), p.Index());
        kb.SetCustomColors(colors, p.Index());
        kb.SetCustomGroupIndex(p.Index());
        kb.SetSystemStages({static_cast<std::uint32_t>(p.Int()), 0, 0});
        Common(kb, p, profile, false);
    }
    {
        WriteFile(profile, text);
        CMouseProfiledata mouse;
        mouse.SetDefaultPath(defaults);
        mouse.SetProfilePath(profile);
        mouse.LoadEntry(profile);
        auto stages = mouse.GetDpiStages();
        mouse.GetSystemStages();
        mouse.GetCorrectInfo();
        if (!stages.empty()) stages.resize(1 + p.Byte() % stages.size());
        mouse.SetDpiStages(stages);
        mouse.SetActiveDpiStage(p.Index());
        mouse.SetSystemStages(mouse.GetSystemStages());
        Common(mouse, p, profile, true);
    }
    {
        WriteFile(profile, text);
        CHs6533Profiledata hs;
        hs.SetDefaultPath(defaults);
        hs.SetProfilePath(profile);
        hs.LoadEntry(profile);
        HeadsetStages s = hs.GetSystemSetStages();
        hs.GetEqValues(s[2]);
        hs.GetCustomEqValues(s[3]);
        hs.GetEqValues(p.Index());
        hs.GetCustomEqValues(p.Index());
        auto names = hs.GetCustomEqNames();
        hs.SetCustomEqNames(names);
        EqBands bands{};
        for (auto& b : bands) b = p.Int();
        hs.SetEqValues(p.Index(), bands);
        hs.SetCustomEqValues(p.Index(), bands);
        hs.SetSystemSetStages(s);
        Common(hs, p, profile, false);
    }
    return 0;
}
