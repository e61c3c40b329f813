#include "profiles/basic_profiledata.h"

#include "profiles/json_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lumora {
namespace {

using test::TempFolder;

// A small default profile; its entry is recognisable by LightInfo.Light = 3.
constexpr const char* kDefaultProfile = R"({
   // installed with the program
   "Device" : [ { "LightInfo" : { "Light" : 3, "Red" : 200 }, "KeyList" : [ { "Assignment" : 2097156, "DefaultAssignment" : 2097156 } ] } ]
})";

class ProfileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        TempFolder::Write(defaults_, kDefaultProfile);
        data_.SetDefaultPath(defaults_);
        data_.SetEntryIndex(0);
        data_.SetProfilePath(profile_);
    }
    Json::Value FileDoc() const { return CJsonFile::ReadJson(profile_); }
    std::size_t CorruptCopies() const { return dir_.CountStartingWith("p.Json.corrupt-"); }

    TempFolder dir_;
    std::filesystem::path defaults_ = dir_ / "keyboard.Json";
    std::filesystem::path profile_ = dir_ / "p.Json";
    CBasicProfiledata data_;
};

struct LoadCase {
    const char* name;
    std::optional<std::string> file;  // nothing: no file
    bool fromFile;                    // the entry comes from the file (else from the defaults)
    bool keptAside;                   // the original bytes were kept as a ".corrupt-" copy
    const char* survivor;             // a top-level member whose value "Mine" must stay, or nullptr
};

TEST_F(ProfileFiles, LoadEntryFallsBackAndRepairsWithoutLosingTheUsersFile) {
    using namespace std::string_literals;
    const LoadCase cases[] = {
        {"valid", R"({"Device":[{"LightInfo":{"Light":1}}],"profilename":"Mine"})", true, false, "profilename"},
        {"valid, zero byte after it", "{\"Device\":[{\"LightInfo\":{\"Light\":1}}]}\0junk{"s, true, false, nullptr},
        {"missing", std::nullopt, false, false, nullptr},
        {"empty file", "", false, false, nullptr},
        {"no Device", R"({"profilename":"Mine","profileUUID":"Mine"})", false, false, "profileUUID"},
        {"null entry", R"({"Device":[null],"profilename":"Mine"})", false, false, "profilename"},
        {"does not parse", R"({"Device":[{"LightInfo":{"Light":1}})", false, true, nullptr},
        {"root is an array", R"([{"LightInfo":{"Light":1}}])", false, true, nullptr},
        {"Device is a string", R"({"Device":"x","profilename":"Mine"})", false, true, "profilename"},
        {"entry is a number", R"({"Device":[5],"profilename":"Mine"})", false, true, "profilename"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(profile_);
        for (const auto& e : std::filesystem::directory_iterator(dir_.Path()))
            if (e.path().filename().string().rfind("p.Json.corrupt-", 0) == 0) std::filesystem::remove(e.path());
        if (c.file) TempFolder::Write(profile_, *c.file);

        Json::Value entry = data_.LoadEntry(profile_);
        EXPECT_EQ(entry, data_.Entry());
        EXPECT_EQ(entry["LightInfo"]["Light"].asInt(), c.fromFile ? 1 : 3);

        if (c.fromFile) {
            EXPECT_EQ(TempFolder::Read(profile_), *c.file) << "a good file is not rewritten";
        } else {
            EXPECT_EQ(FileDoc()["Device"][0], entry) << "the default entry is written into the profile";
        }
        EXPECT_EQ(CorruptCopies(), c.keptAside ? 1u : 0u);
        for (const auto& e : std::filesystem::directory_iterator(dir_.Path()))
            if (e.path().filename().string().rfind("p.Json.corrupt-", 0) == 0) {
                EXPECT_EQ(TempFolder::Read(e.path()), *c.file);
            }
        if (c.survivor) { EXPECT_EQ(FileDoc()[c.survivor].asString(), "Mine"); }
    }
    EXPECT_EQ(TempFolder::Read(defaults_), kDefaultProfile) << "the default profile is never changed";
}

TEST_F(ProfileFiles, WithoutDefaultsTheEntryStaysNullAndGettersGiveZeros) {
    std::filesystem::remove(defaults_);
    Json::Value entry = data_.LoadEntry(profile_);
    EXPECT_TRUE(entry.isNull());
    EXPECT_EQ(data_.GetLightInfo(), LightInfo{});
    EXPECT_EQ(data_.GetAudioLightInfo(), AudioLightInfo{});
    EXPECT_TRUE(data_.GetLightList().empty());
    EXPECT_TRUE(data_.GetKeyList().empty());
    EXPECT_TRUE(data_.Entry().isNull()) << "getters do not turn a null entry into an object";
    Json::Value doc = FileDoc();
    ASSERT_TRUE(doc["Device"].isArray());
    EXPECT_EQ(doc["Device"].size(), 1u);
    EXPECT_TRUE(doc["Device"][0].isNull());
}

TEST_F(ProfileFiles, LoadingTheDefaultPathNeverWritesIt) {
    // Factory settings: the default entry becomes the entry, the next Save writes the profile.
    Json::Value entry = data_.LoadEntry(defaults_);
    EXPECT_EQ(entry["LightInfo"]["Light"].asInt(), 3);
    ASSERT_TRUE(data_.Save());
    EXPECT_EQ(FileDoc()["Device"][0], entry);
    EXPECT_EQ(TempFolder::Read(defaults_), kDefaultProfile);

    // Saving into the default profile is refused.
    data_.SetProfilePath(defaults_);
    EXPECT_FALSE(data_.Save());
    EXPECT_FALSE(data_.SaveEntry(entry, dir_ / "." / "keyboard.Json"));
    EXPECT_EQ(TempFolder::Read(defaults_), kDefaultProfile);

    // A damaged default profile is neither repaired nor moved.
    TempFolder::Write(defaults_, "{ damaged");
    EXPECT_TRUE(data_.LoadEntry(defaults_).isNull());
    EXPECT_EQ(TempFolder::Read(defaults_), "{ damaged");
    EXPECT_EQ(dir_.CountStartingWith("keyboard.Json.corrupt-"), 0u);
}

TEST_F(ProfileFiles, SaveRereadsTheFileSoTopLevelMembersSurvive) {
    TempFolder::Write(profile_, R"({"Device":[{"LightInfo":{"Light":1}}],"profilename":"Old","extra":[1,2]})");
    data_.LoadEntry(profile_);
    // Someone renames the profile after we loaded it.
    Json::Value doc = FileDoc();
    doc["profilename"] = "Renamed";
    doc["profileUUID"] = "2024_01_01_00_00_00_000";
    ASSERT_TRUE(CJsonFile::WriteJson(profile_, doc));

    LightInfo info = data_.GetLightInfo();
    info.light = 4;
    data_.SetLightInfo(info);
    ASSERT_TRUE(data_.Save());
    doc = FileDoc();
    EXPECT_EQ(doc["profilename"].asString(), "Renamed");
    EXPECT_EQ(doc["profileUUID"].asString(), "2024_01_01_00_00_00_000");
    EXPECT_EQ(doc["extra"].size(), 2u);
    EXPECT_EQ(doc["Device"][0]["LightInfo"]["Light"].asInt(), 4);

    // A file without the name members is saved the same way.
    TempFolder::Write(profile_, R"({"Device":[{}]})");
    ASSERT_TRUE(data_.Save());
    EXPECT_EQ(FileDoc()["Device"][0]["LightInfo"]["Light"].asInt(), 4);
    EXPECT_FALSE(FileDoc().isMember("profilename"));
}

TEST_F(ProfileFiles, SaveKeepsADamagedFileAsideAndReportsFailures) {
    data_.LoadEntry(profile_);
    TempFolder::Write(profile_, "{ \"profilename\" : \"half written");
    ASSERT_TRUE(data_.Save());
    EXPECT_EQ(CorruptCopies(), 1u);
    EXPECT_EQ(FileDoc()["Device"][0]["LightInfo"]["Light"].asInt(), 3);

    EXPECT_FALSE(data_.SaveEntry(data_.Entry(), dir_ / "missing-folder" / "p.Json"));
    CBasicProfiledata noPath;
    EXPECT_FALSE(noPath.Save());
}

TEST_F(ProfileFiles, RepairKeepsOnlyAFewCopies) {
    for (int i = 0; i < 5; ++i) {
        TempFolder::Write(profile_, "garbage " + std::to_string(i));
        data_.LoadEntry(profile_);
    }
    EXPECT_EQ(CorruptCopies(), CJsonFile::kCorruptCopiesKept);
}

TEST_F(ProfileFiles, AuxEntryIsSeparateFromTheCurrentOne) {
    TempFolder::Write(dir_ / "other.Json", R"({"Device":[{"KeyList":[{"Assignment":1048832,"DefaultAssignment":0}]}]})");
    data_.LoadEntry(profile_);
    data_.LoadAuxEntry(dir_ / "other.Json");
    auto aux = data_.GetAuxKeyList();
    ASSERT_EQ(aux.size(), 1u);
    EXPECT_EQ(aux[0].assignment, (KeyFunction{0x10, 0x01, 0x00}));
    aux[0].assignment = {0x10, 0x02, 0x00};
    data_.SetAuxKeyAssignments(aux);
    ASSERT_TRUE(data_.SaveAuxEntry(dir_ / "other.Json"));
    EXPECT_EQ(CJsonFile::ReadJson(dir_ / "other.Json")["Device"][0]["KeyList"][0]["Assignment"].asInt(), 0x100200);
    EXPECT_EQ(data_.GetKeyList()[0].assignment, (KeyFunction{0x20, 0x00, 0x04})) << "current entry untouched";
}

// --- Sections ---------------------------------------------------------------------------

class Sections : public ProfileFiles {
protected:
    void Load(const std::string& entryJson) {
        TempFolder::Write(profile_, "{\"Device\":[" + entryJson + "]}");
        data_.LoadEntry(profile_);
    }
};

TEST_F(Sections, MembersAreReadAsNarrowedIntegersOrTruthValues) {
    struct Case {
        const char* json;
        std::uint8_t number;  // as u8 ("Red")
        std::uint8_t truth;   // as truth value ("MultiColor")
    };
    const Case cases[] = {
        {"5", 5, 1},      {"263", 7, 1},      {"-1", 255, 1},  {"0", 0, 0},         {"\"12\"", 0, 0},
        {"true", 1, 1},   {"false", 0, 0},    {"null", 0, 0},  {"3.9", 3, 1},       {"1e300", 0, 1},
        {"[1]", 0, 0},    {"{}", 0, 0},       {"4294967299", 3, 1}, {"18446744073709551615", 255, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        Load(std::string(R"({"LightInfo":{"Red":)") + c.json + R"(,"MultiColor":)" + c.json + "}}");
        LightInfo info = data_.GetLightInfo();
        EXPECT_EQ(info.red, c.number);
        EXPECT_EQ(info.multiColor, c.truth);
        EXPECT_EQ(info.green, 0) << "a missing member reads 0";
    }
}

TEST_F(Sections, ReadingAMissingSectionInsertsANullThatSavesAndReloadsAsMissing) {
    Load(R"({"KeyList":[]})");
    EXPECT_FALSE(data_.Entry().isMember("LightInfo"));
    EXPECT_EQ(data_.GetLightInfo(), LightInfo{});
    ASSERT_TRUE(data_.Entry().isMember("LightInfo"));
    EXPECT_TRUE(data_.Entry()["LightInfo"].isNull());
    ASSERT_TRUE(data_.Save());
    Json::Value saved = FileDoc()["Device"][0];
    ASSERT_TRUE(saved.isMember("LightInfo"));
    EXPECT_TRUE(saved["LightInfo"].isNull());
    data_.LoadEntry(profile_);
    EXPECT_EQ(data_.GetLightInfo(), LightInfo{});
}

TEST_F(Sections, LightRecords) {
    Load(R"({
        "LightInfo":{"SelectItem":17,"Light":4,"Speed":2,"Fx":1,"MultiColor":5,"Red":1,"Green":2,"Blue":3,
                     "ZZCCLedMode":6,"CustomGroup":7,"OldLedmode":8},
        "AudioLightInfo":{"AudioMode":2,"BkColorR":10,"FgColorB":20,"7ColorFlags":9,"ColorTypeFlags":0},
        "LightList":[null,{"LEDREGMode":2,"LEDBrightness":3,"LEDSpeed":4,"LEDDirection":7,"LEDMultiColor":0,
                           "red":9,"green":8,"blue":7},"oops"]})");
    LightInfo info = data_.GetLightInfo();
    EXPECT_EQ(info.selectItem, 17);
    EXPECT_EQ(info.multiColor, 1);
    EXPECT_EQ(info.oldLedmode, 8);
    EXPECT_EQ(info.reserved, (std::array<std::uint8_t, 3>{}));

    AudioLightInfo audio = data_.GetAudioLightInfo();
    EXPECT_EQ(audio.audioMode, 2);
    EXPECT_EQ(audio.bkColorR, 10);
    EXPECT_EQ(audio.fgColorB, 20);
    EXPECT_EQ(audio.sevenColorFlags, 1);
    EXPECT_EQ(audio.colorTypeFlags, 1) << "always 1 after loading";

    auto zones = data_.GetLightList();
    ASSERT_EQ(zones.size(), 3u);
    EXPECT_EQ(zones[0], LightZone{});
    EXPECT_EQ(zones[1].present, 1);
    EXPECT_EQ(zones[1].mode, 2);
    EXPECT_EQ(zones[1].direction, 1);
    EXPECT_EQ(zones[1].red, 9);
    EXPECT_EQ(zones[2].present, 0) << "an element that is not an object counts as null";

    // Set, save, reload.
    info.light = 1;
    info.red = 250;
    data_.SetLightInfo(info);
    audio.colorTypeFlags = 0;
    audio.fgColorG = 77;
    data_.SetAudioLightInfo(audio);
    ASSERT_TRUE(data_.Save());
    EXPECT_EQ(FileDoc()["Device"][0]["AudioLightInfo"]["ColorTypeFlags"].asInt(), 0) << "written as stored";
    data_.LoadEntry(profile_);
    EXPECT_EQ(data_.GetLightInfo(), info);
    audio.colorTypeFlags = 1;
    EXPECT_EQ(data_.GetAudioLightInfo(), audio);
}

TEST_F(Sections, KeyAssignments) {
    Load(R"({"KeyList":[{"Assignment":2097156,"DefaultAssignment":2097161},
                        {"Assignment":7340800,"DefaultAssignment":2097152},
                        {"Assignment":"x"}]})");
    auto keys = data_.GetKeyList();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].keyIndex, 0);
    EXPECT_EQ(keys[1].keyIndex, 1);
    EXPECT_EQ(keys[0].assignment, (KeyFunction{0x20, 0x00, 0x04}));
    EXPECT_EQ(keys[0].defaultAssignment, (KeyFunction{0x20, 0x00, 0x09}));
    EXPECT_EQ(keys[1].assignment, (KeyFunction{0x70, 0x03, 0x00}));
    EXPECT_EQ(keys[2].assignment, KeyFunction{});

    const Json::Value before = data_.Entry();
    data_.SetKeyAssignments({});
    EXPECT_EQ(data_.Entry(), before) << "an empty list changes nothing";

    keys[1].assignment = {0x10, 0x04, 0x00};
    keys[1].defaultAssignment = {0x99, 0x99, 0x99};  // never written
    data_.SetKeyAssignments({keys[0], keys[1]});
    ASSERT_TRUE(data_.Save());
    Json::Value list = FileDoc()["Device"][0]["KeyList"];
    EXPECT_EQ(list[1]["Assignment"].asInt(), 0x100400);
    EXPECT_EQ(list[1]["DefaultAssignment"].asInt(), 2097152);
    EXPECT_EQ(list[2]["Assignment"].asString(), "x") << "keys beyond the list stay";
}

TEST_F(Sections, WrongTypedSectionsReadAsMissingAndSettersReplaceThem) {
    Load(R"({"LightInfo":[1,2],"AudioLightInfo":"loud","LightList":{"a":1},"KeyList":7})");
    EXPECT_EQ(data_.GetLightInfo(), LightInfo{});
    EXPECT_EQ(data_.GetAudioLightInfo().colorTypeFlags, 1);
    EXPECT_TRUE(data_.GetLightList().empty());
    EXPECT_TRUE(data_.GetKeyList().empty());
    LightInfo info;
    info.speed = 3;
    data_.SetLightInfo(info);
    data_.SetKeyAssignments({KeyListEntry{0, {0x20, 0, 4}, 0, {}}});
    ASSERT_TRUE(data_.Save());
    data_.LoadEntry(profile_);
    EXPECT_EQ(data_.GetLightInfo().speed, 3);
    EXPECT_EQ(data_.GetKeyList().at(0).assignment, (KeyFunction{0x20, 0, 4}));
}

TEST_F(Sections, LightEffectsComeFromTheLightFileOfTheSelectedMode) {
    // Light files lie beside the configuration; an entry per kind index.
    const auto cfg = dir_ / "cfg";
    std::filesystem::create_directories(cfg);
    TempFolder::Write(cfg / "zelko_light.config", R"({"LightInfo":[
        [{"LightName":"k0","Guid":"kb-a"}],
        [{"LightName":"m0","Guid":"ms-a"},{"LightName":"m1","Guid":"ms-b"},{"LightName":"bad","Guid":"../escape"}]]})");
    TempFolder::Write(cfg / "ms-b.light", R"({"LEDEffectList":[
        {"LEDREGMode":2,"LEDBrightness":3,"LEDSpeed":1,"LEDDirection":1,"LEDMultiColor":0,"red":5,"green":6,"blue":7,
         "Time":1500,"Cyle":2},
        {"LEDREGMode":4}]})");
    TempFolder::Write(dir_ / "escape.light", R"({"LEDEffectList":[{"LEDREGMode":1}]})");
    Load(R"({"LightInfo":{"SelectItem":11}})");
    data_.SetKindIndex(1);
    data_.SetBuiltinLightCount(10);

    EXPECT_TRUE(data_.GetLightEffects().empty()) << "no configuration loaded yet";
    data_.LoadLightConfig(cfg / "zelko_light.config");
    auto steps = data_.GetLightEffects();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].kind, 2);
    EXPECT_EQ(steps[0].red, 5);
    EXPECT_EQ(steps[0].time, 1500);
    EXPECT_EQ(steps[0].cyle, 2);
    EXPECT_EQ(steps[1].time, 0) << "a step without Time lasts 0 ms";

    struct Case {
        int selectItem;
        std::size_t steps;
    };
    for (Case c : {Case{10, 0} /* ms-a.light missing */, Case{12, 0} /* path refused */, Case{13, 0},
                   Case{9, 0} /* built-in mode */, Case{11, 2}}) {
        SCOPED_TRACE(c.selectItem);
        LightInfo info;
        info.selectItem = static_cast<std::uint8_t>(c.selectItem);
        data_.SetLightInfo(info);
        EXPECT_EQ(data_.GetLightEffects().size(), c.steps);
    }
}

}  // namespace
}  // namespace lumora
