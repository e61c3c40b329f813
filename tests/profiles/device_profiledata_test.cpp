#include "profiles/hs6533_profiledata.h"
#include "profiles/json_file.h"
#include "profiles/keyboard_profiledata.h"
#include "profiles/mouse_profiledata.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora {
namespace {

using test::TempFolder;

// Loads an entry given as JSON text into a profile-data object of type T.
template <typename T>
class DeviceProfile : public ::testing::Test {
protected:
    void Load(const std::string& entryJson) {
        TempFolder::Write(profile_, "{\"Device\":[" + entryJson + "]}");
        data_.SetProfilePath(profile_);
        data_.LoadEntry(profile_);
    }
    void SaveAndReload() {
        ASSERT_TRUE(data_.Save());
        data_.LoadEntry(profile_);
    }
    Json::Value SavedEntry() {
        EXPECT_TRUE(data_.Save());
        return CJsonFile::ReadJson(profile_)["Device"][0];
    }

    TempFolder dir_;
    std::filesystem::path profile_ = dir_ / "p.Json";
    T data_;
};

// --- Keyboard -------------------------------------------------------------------------

using Keyboard = DeviceProfile<CKeyboardProfiledata>;

TEST_F(Keyboard, SystemWordsPackTwoHalvesEach) {
    Load(R"({"SystemStages":{"Repeat":31,"RepeatDelay":2,"Key6Flag":1,"PollingRate":3,"WFlag":0,"WinFlag":70000}})");
    SystemWords w = data_.GetSystemStages();
    EXPECT_EQ(w[0], 2u << 16 | 31u);
    EXPECT_EQ(w[1], 3u << 16 | 1u);
    EXPECT_EQ(w[2], (70000u & 0xFFFF) << 16) << "narrowed to 16 bits";

    data_.SetSystemStages({5u << 16 | 20u, 1u << 16 | 0u, 1u << 16 | 1u});
    Json::Value s = SavedEntry()["SystemStages"];
    EXPECT_EQ(s["Repeat"].asInt(), 20);
    EXPECT_EQ(s["RepeatDelay"].asInt(), 5);
    EXPECT_EQ(s["Key6Flag"].asInt(), 0);
    EXPECT_EQ(s["PollingRate"].asInt(), 1);
    EXPECT_EQ(s["WFlag"].asInt(), 1);
    EXPECT_EQ(s["WinFlag"].asInt(), 1);
}

TEST_F(Keyboard, CustomColorsWriteTheZerosTheyReturn) {
    Load(R"({"CustomLightMode":{"LightColorInfo":[
        [{"Red":1,"Green":2,"Blue":3,"Alpha":4},null,{"Red":9}],
        null]}})");
    EXPECT_EQ(data_.GetCustomGroupIndex(), 0) << "missing member";

    auto colors = data_.GetCustomColors(0, 4);
    ASSERT_EQ(colors.size(), 4u);
    EXPECT_EQ(colors[0], (RgbaColor{1, 2, 3, 4}));
    EXPECT_EQ(colors[1], RgbaColor{});
    EXPECT_EQ(colors[2], (RgbaColor{9, 0, 0, 0}));
    EXPECT_EQ(colors[3], RgbaColor{});
    Json::Value group = data_.Entry()["CustomLightMode"]["LightColorInfo"][0];
    ASSERT_EQ(group.size(), 4u);
    EXPECT_EQ(group[1]["Alpha"], Json::Value(0)) << "null position written as zeros";
    EXPECT_EQ(group[3]["Red"], Json::Value(0)) << "missing position written as zeros";
    EXPECT_FALSE(group[2].isMember("Alpha")) << "an existing position is left as it is";

    // A null group and a group beyond the list: count zero colours, all written.
    for (int g : {1, 3}) {
        SCOPED_TRACE(g);
        EXPECT_EQ(data_.GetCustomColors(g, 3), std::vector<RgbaColor>(3));
        Json::Value written = data_.Entry()["CustomLightMode"]["LightColorInfo"][g];
        ASSERT_EQ(written.size(), 3u);
        EXPECT_EQ(written[2]["Blue"], Json::Value(0));
    }
}

TEST_F(Keyboard, CustomColorGroupsAndCountsAreRangeChecked) {
    Load(R"({"CustomLightMode":{"CustomLightModeGroupIndex":2000000000,"LightColorInfo":[]}})");
    const int group = data_.GetCustomGroupIndex();
    EXPECT_EQ(group, 2000000000);
    const Json::Value before = data_.Entry();
    // Indexing the document with these would make it grow by billions of elements.
    EXPECT_EQ(data_.GetCustomColors(group, 2), std::vector<RgbaColor>(2));
    EXPECT_EQ(data_.GetCustomColors(-1, 2), std::vector<RgbaColor>(2));
    data_.SetCustomColors({RgbaColor{1, 1, 1, 1}}, group);
    EXPECT_EQ(data_.Entry(), before);
    EXPECT_TRUE(data_.GetCustomColors(0, -5).empty());
    EXPECT_EQ(data_.GetCustomColors(0, 1 << 30).size(),
              static_cast<std::size_t>(CKeyboardProfiledata::kMaxCustomColorPositions));
}

TEST_F(Keyboard, CustomColorsRoundTrip) {
    Load("{}");
    std::vector<RgbaColor> colors = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 1}};
    data_.SetCustomColors(colors, 2);
    data_.SetCustomGroupIndex(2);
    data_.SetCustomColors({}, 5);  // nothing written
    SaveAndReload();
    EXPECT_EQ(data_.GetCustomGroupIndex(), 2);
    EXPECT_EQ(data_.GetCustomColors(2, 3), colors);
    EXPECT_EQ(data_.Entry()["CustomLightMode"]["LightColorInfo"].size(), 3u);
}

// --- Mouse ----------------------------------------------------------------------------

using Mouse = DeviceProfile<CMouseProfiledata>;

std::string Stages(int count, int dpiBase) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        if (i) list += ",";
        list += R"({"StageActive":1,"StageXY":0,"StageDPIX":)" + std::to_string(dpiBase + i) + R"(,"StageDPIY":)" +
                std::to_string(dpiBase + i) + R"(,"StageColorR":255,"StageColorG":)" + std::to_string(i) +
                R"(,"StageColorB":0})";
    }
    return R"({"DPIStages":{"StageActive":2,"StageDPIs":[)" + list + "]}}";
}

TEST_F(Mouse, DpiStagesMergeIntoTheCachedList) {
    Load(Stages(5, 100));
    auto stages = data_.GetDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(data_.GetActiveDpiStage(), 2);
    EXPECT_EQ(stages[4], (DpiStage{1, 0, 104, 104, 255, 4, 0}));

    // A profile with fewer stages leaves the previous profile's extra stages in the list.
    Load(Stages(3, 200));
    stages = data_.GetDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[0].dpiX, 200);
    EXPECT_EQ(stages[2].dpiX, 202);
    EXPECT_EQ(stages[3].dpiX, 103);
    EXPECT_EQ(stages[4].dpiX, 104);
}

TEST_F(Mouse, SetDpiStagesKeepsSurplusStagesAndWritesTheActiveOne) {
    Load(Stages(5, 100));
    data_.GetDpiStages();
    data_.SetDpiStages({DpiStage{0, 1, 70000 & 0xFFFF, 800, 1, 2, 3}});
    data_.SetActiveDpiStage(0);
    Json::Value d = SavedEntry()["DPIStages"];
    EXPECT_EQ(d["StageActive"].asInt(), 0);
    ASSERT_EQ(d["StageDPIs"].size(), 5u);
    EXPECT_EQ(d["StageDPIs"][0]["StageActive"].asInt(), 0);
    EXPECT_EQ(d["StageDPIs"][0]["StageXY"].asInt(), 1);
    EXPECT_EQ(d["StageDPIs"][0]["StageDPIY"].asInt(), 800);
    EXPECT_EQ(d["StageDPIs"][0]["StageColorB"].asInt(), 3);
    EXPECT_EQ(d["StageDPIs"][4]["StageDPIX"].asInt(), 104);
    EXPECT_EQ(data_.GetActiveDpiStage(), 0);
}

TEST_F(Mouse, SystemWordsIncludeTheReportStage) {
    Load(R"({"SystemStages":{"DoubleClickTime":500,"MouseSpeed":10,"PointerPrecision":1,"ScorllPage":0,
                             "WheelScorlllinse":3},"ReportStages":{"StageActive":4}})");
    SystemWords w = data_.GetSystemStages();
    EXPECT_EQ(w[0], 10u << 16 | 500u);
    EXPECT_EQ(w[1], 0u << 16 | 1u);
    EXPECT_EQ(w[2], 4u << 16 | 3u);

    data_.SetSystemStages({12u << 16 | 400u, 1u << 16 | 0u, 2u << 16 | 5u});
    Json::Value e = SavedEntry();
    EXPECT_EQ(e["SystemStages"]["MouseSpeed"].asInt(), 12);
    EXPECT_EQ(e["SystemStages"]["DoubleClickTime"].asInt(), 400);
    EXPECT_EQ(e["SystemStages"]["ScorllPage"].asInt(), 1);
    EXPECT_EQ(e["SystemStages"]["WheelScorlllinse"].asInt(), 5);
    EXPECT_EQ(e["ReportStages"]["StageActive"].asInt(), 2);
}

TEST_F(Mouse, CorrectInfo) {
    Load(R"({"CorrectInfo":[{"CorrectPixThresh":4,"CorrectMinSq":2,"CorrectSelect":1,"CorrectName":"Low"},
                            {"CorrectName":7}]})");
    auto list = data_.GetCorrectInfo();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (CorrectInfo{4, 2, 1, "Low"}));
    EXPECT_EQ(list[1], CorrectInfo{});
}

// --- Headset --------------------------------------------------------------------------

using Headset = DeviceProfile<CHs6533Profiledata>;

std::string EqRow(int base) {
    std::string row = "[";
    for (int b = 0; b < 10; ++b) {
        if (b) row += ",";
        row += R"({"value":)";
        row += std::to_string(base + b);
        row += "}";
    }
    return row + "]";
}

TEST_F(Headset, SystemSetStagesInDocumentOrder) {
    Load(R"({"SystemSetStages":{"MagicEnable":1,"MagicType":2,"EqType":3,"CustomEqSeletIndex":4,"MicInSelect":5,
                                "MicInValue":-6,"MicMoniterSelect":7,"MicMoniterValue":4294967295}})");
    EXPECT_EQ(data_.GetSystemSetStages(), (HeadsetStages{1, 2, 3, 4, 5, -6, 7, -1}));
    data_.SetSystemSetStages({0, 1, 13, 2, 1, 80, 0, 50});
    SaveAndReload();
    EXPECT_EQ(data_.GetSystemSetStages(), (HeadsetStages{0, 1, 13, 2, 1, 80, 0, 50}));
}

TEST_F(Headset, EqualiserRowsByType) {
    Load(R"({"EQHzValueInfo":[)" + EqRow(0) + "," + EqRow(10) + "," + EqRow(20) + "]}");
    struct Case {
        int type;
        int firstBand;  // -1: empty result
    };
    for (Case c : {Case{0, 10}, Case{1, 10}, Case{2, 20}, Case{14, 10}, Case{-7, 10}, Case{13, -1}}) {
        SCOPED_TRACE(c.type);
        auto bands = data_.GetEqValues(c.type);
        if (c.firstBand < 0) {
            EXPECT_TRUE(bands.empty());
            continue;
        }
        ASSERT_EQ(bands.size(), 10u);
        EXPECT_EQ(bands[0], c.firstBand);
        EXPECT_EQ(bands[9], c.firstBand + 9);
    }
    EXPECT_EQ(data_.Entry()["EQHzValueInfo"].size(), 3u) << "reading existing rows writes nothing";

    // A preset row that is missing reads as zeros and is written as zeros.
    auto bands = data_.GetEqValues(5);
    EXPECT_EQ(bands, std::vector<std::int32_t>(10, 0));
    ASSERT_EQ(data_.Entry()["EQHzValueInfo"].size(), 6u);
    EXPECT_EQ(data_.Entry()["EQHzValueInfo"][5][9]["value"], Json::Value(0));

    // Type 13 writes nothing.
    const Json::Value before = data_.Entry();
    data_.SetEqValues(13, EqBands{1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(data_.Entry(), before);
    data_.SetEqValues(0, EqBands{-5, -4, -3, -2, -1, 0, 1, 2, 3, 4});
    SaveAndReload();
    EXPECT_EQ(data_.GetEqValues(1), (std::vector<std::int32_t>{-5, -4, -3, -2, -1, 0, 1, 2, 3, 4}));
}

TEST_F(Headset, CustomEqualisers) {
    Load(R"({"CustomEQNameInfo":[{"Name":"Bass"},{"Name":3}],"CustomEQHzValueInfo":[)" + EqRow(30) + "]}");
    EXPECT_EQ(data_.GetCustomEqNames(), (std::vector<std::string>{"Bass", ""}));
    EXPECT_EQ(data_.GetCustomEqValues(0)[3], 33);
    EXPECT_EQ(data_.GetCustomEqValues(1), std::vector<std::int32_t>(10, 0));
    EXPECT_EQ(data_.Entry()["CustomEQHzValueInfo"].size(), 2u);

    const Json::Value before = data_.Entry();
    EXPECT_TRUE(data_.GetCustomEqValues(-1).empty());
    EXPECT_TRUE(data_.GetCustomEqValues(CHs6533Profiledata::kMaxCustomEqualisers).empty());
    data_.SetCustomEqValues(1000000, EqBands{});
    EXPECT_EQ(data_.Entry(), before);

    data_.SetCustomEqNames({"Bass", "Vocal \xE4\xBA\xBA", "Flat"});
    data_.SetCustomEqValues(2, EqBands{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    SaveAndReload();
    EXPECT_EQ(data_.GetCustomEqNames(), (std::vector<std::string>{"Bass", "Vocal \xE4\xBA\xBA", "Flat"}));
    EXPECT_EQ(data_.GetCustomEqValues(2)[9], 10);
    data_.SetCustomEqNames({});
    EXPECT_EQ(data_.Entry()["CustomEQNameInfo"], Json::Value(Json::arrayValue));
}

}  // namespace
}  // namespace lumora
