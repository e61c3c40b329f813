// Cost of the profile operations a key or lighting change runs on the UI thread.

#include "profiles/json_file.h"
#include "profiles/key_tables.h"
#include "profiles/keyboard_profiledata.h"
#include "profiles/label_for_key_function.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace lumora;

const std::filesystem::path kDefaults = std::filesystem::path(LUMORA_SOURCE_DIR) / "data/DefaultData/keyboard.Json";

class BenchFolder {
public:
    BenchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-profiles-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~BenchFolder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Load the full keyboard profile (126 keys, three colour groups), change a key, a light
// setting and a colour group, and save it: what one click on the keyboard page costs.
void BM_KeyboardProfileLoadChangeSave(benchmark::State& state) {
    BenchFolder dir;
    const auto profile = dir.Path() / "p.Json";
    std::filesystem::copy_file(kDefaults, profile);
    CKeyboardProfiledata data;
    data.SetDefaultPath(kDefaults);
    data.SetProfilePath(profile);
    std::uint8_t n = 0;
    for (auto _ : state) {
        data.LoadEntry(profile);
        auto keys = data.GetKeyList();
        LightInfo light = data.GetLightInfo();
        auto colors = data.GetCustomColors(data.GetCustomGroupIndex(), 132);
        keys[5].assignment = {0x20, 0x00, static_cast<std::uint8_t>(4 + n % 26)};
        light.light = n % 5;
        colors[n % 132].red = n;
        data.SetKeyAssignments(keys);
        data.SetLightInfo(light);
        data.SetCustomColors(colors, 0);
        if (!data.Save()) state.SkipWithError("save failed");
        ++n;
    }
}
BENCHMARK(BM_KeyboardProfileLoadChangeSave)->Unit(benchmark::kMillisecond);

// The same without the disk: parse and print the document only.
void BM_KeyboardProfileParseAndPrint(benchmark::State& state) {
    const std::string text = CJsonFile::readjsonFile(kDefaults);
    for (auto _ : state) {
        Json::Value doc = CJsonFile::ParseJson(text);
        benchmark::DoNotOptimize(CJsonFile::StyledText(doc));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_KeyboardProfileParseAndPrint)->Unit(benchmark::kMicrosecond);

class IdentityTexts : public TextLookup {
public:
    std::string Text(std::string_view id) const override { return std::string(id); }
};

// Relabel every key of a keyboard page, as after each key list change.
void BM_LabelAllKeyboardKeys(benchmark::State& state) {
    const IdentityTexts texts;
    const std::vector<std::string> macros = {"one", "two"};
    std::vector<KeyFunction> keys(DefaultKeyCodeTable.begin(), DefaultKeyCodeTable.end());
    keys[10] = {0x20, 0x01, 0x06};  // a shortcut walks the whole table
    keys[11] = {0x70, 0x01, 0x00};
    for (auto _ : state) {
        for (const KeyFunction& f : keys) benchmark::DoNotOptimize(LabelForKeyFunction(f, 1, macros, texts));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * keys.size()));
}
BENCHMARK(BM_LabelAllKeyboardKeys)->Unit(benchmark::kMicrosecond);

void BM_WriteJsonSmall(benchmark::State& state) {
    BenchFolder dir;
    Json::Value doc;
    doc["Device"][0]["LightInfo"]["Light"] = 3;
    for (auto _ : state)
        if (!CJsonFile::WriteJson(dir.Path() / "s.Json", doc)) state.SkipWithError("write failed");
}
BENCHMARK(BM_WriteJsonSmall)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
