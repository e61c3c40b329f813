#include "profiles/hs6533_profiledata.h"
#include "profiles/json_file.h"
#include "profiles/key_tables.h"
#include "profiles/keyboard_profiledata.h"
#include "profiles/mouse_profiledata.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora {
namespace {

using test::ShippedDefaultData;
using test::TempFolder;

struct Shipped {
    const char* file;
    std::vector<const char*> sections;
    std::size_t lights;
};

TEST(DefaultData, EveryKindHasItsSectionsInTheWrittenForm) {
    const Shipped kinds[] = {
        {"keyboard.Json",
         {"LightInfo", "AudioLightInfo", "LightList", "KeyList", "SystemStages", "CustomLightMode"},
         132},
        {"mouse.Json",
         {"LightInfo", "AudioLightInfo", "LightList", "KeyList", "SystemStages", "DPIStages", "ReportStages",
          "CorrectInfo"},
         15},
        {"MousePad.Json", {"LightInfo", "AudioLightInfo", "LightList"}, 15},
        {"HD.Json",
         {"LightInfo", "AudioLightInfo", "LightList", "SystemSetStages", "EQHzValueInfo", "CustomEQNameInfo",
          "CustomEQHzValueInfo"},
         13},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.file);
        const auto path = ShippedDefaultData() / k.file;
        Json::Value doc = CJsonFile::ReadJson(path);
        ASSERT_TRUE(doc.isObject());
        ASSERT_TRUE(doc["Device"][0].isObject());
        const Json::Value& entry = doc["Device"][0];
        for (const char* s : k.sections) EXPECT_FALSE(entry[s].isNull()) << s;
        EXPECT_EQ(entry.size(), k.sections.size()) << "no sections beyond those of the kind";
        EXPECT_EQ(entry["LightList"].size(), k.lights);
        EXPECT_EQ(entry["AudioLightInfo"]["ColorTypeFlags"].asInt(), 1);
        // Shipped exactly as the program writes documents, so a first save changes only what the user changed.
        EXPECT_EQ(TempFolder::Read(path), CJsonFile::StyledText(doc));
    }
}

TEST(DefaultData, KeyboardDefaults) {
    TempFolder dir;
    CKeyboardProfiledata data;
    data.SetDefaultPath(ShippedDefaultData() / "keyboard.Json");
    data.LoadEntry(dir / "new.Json");  // a new profile is made from the defaults
    ASSERT_TRUE(std::filesystem::exists(dir / "new.Json"));

    auto keys = data.GetKeyList();
    ASSERT_EQ(keys.size(), DefaultKeyCodeTable.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].assignment, DefaultKeyCodeTable[i]) << i;
        EXPECT_EQ(keys[i].defaultAssignment, DefaultKeyCodeTable[i]) << i;
    }
    SystemWords w = data.GetSystemStages();
    EXPECT_LE(w[1] >> 16, 3u) << "polling rate option 0 to 3";
    EXPECT_LE(w[0] >> 16, 3u) << "repeat delay option 0 to 3";
    const int group = data.GetCustomGroupIndex();
    auto colors = data.GetCustomColors(group, 132);
    EXPECT_EQ(colors.size(), 132u);
    EXPECT_NE(colors[0], RgbaColor{});
    EXPECT_GE(data.Entry()["CustomLightMode"]["LightColorInfo"].size(), 2u);
    EXPECT_LE(data.GetLightInfo().light, 4);
}

TEST(DefaultData, MouseDefaults) {
    TempFolder dir;
    CMouseProfiledata data;
    data.SetDefaultPath(ShippedDefaultData() / "mouse.Json");
    data.LoadEntry(dir / "new.Json");
    auto keys = data.GetKeyList();
    ASSERT_EQ(keys.size(), DefaultButtonCodeTable.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].assignment, DefaultButtonCodeTable[i]) << i;
        EXPECT_EQ(keys[i].defaultAssignment, DefaultButtonCodeTable[i]) << i;
    }
    auto stages = data.GetDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    for (std::size_t i = 0; i < stages.size(); ++i) {
        EXPECT_EQ(stages[i].enabled, 1);
        if (i) { EXPECT_GT(stages[i].dpiX, stages[i - 1].dpiX) << "stages rise"; }
    }
    EXPECT_GE(data.GetActiveDpiStage(), 0);
    EXPECT_LT(data.GetActiveDpiStage(), 5);
    EXPECT_LE(data.GetSystemStages()[2] >> 16, 4u) << "report-rate option 0 to 4";
    auto correct = data.GetCorrectInfo();
    EXPECT_GE(correct.size(), 2u);
    for (const auto& c : correct) EXPECT_FALSE(c.name.empty());
}

TEST(DefaultData, HeadsetDefaults) {
    TempFolder dir;
    CHs6533Profiledata data;
    data.SetDefaultPath(ShippedDefaultData() / "HD.Json");
    data.LoadEntry(dir / "new.Json");
    const Json::Value before = data.Entry();
    for (int type = 0; type <= 12; ++type) EXPECT_EQ(data.GetEqValues(type).size(), 10u) << type;
    EXPECT_EQ(data.Entry(), before) << "every preset row 0 to 12 is present";
    EXPECT_EQ(data.Entry()["EQHzValueInfo"].size(), 13u);
    HeadsetStages s = data.GetSystemSetStages();
    EXPECT_NE(s[2], CHs6533Profiledata::kCustomEqType) << "starts on a preset";
    EXPECT_TRUE(data.GetCustomEqNames().empty());
    EXPECT_EQ(data.Entry()["CustomEQHzValueInfo"], Json::Value(Json::arrayValue));
}

}  // namespace
}  // namespace lumora
