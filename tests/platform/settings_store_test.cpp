#include "platform/settings_store.h"

#include "platform/logger.h"
#include "tests/platform/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

#include <json/reader.h>

namespace lumora {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

constexpr const char* kKey = "SOFTWARE\\Halvek Trine Keyboard";

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { Logger::SetSink([](LogLevel, std::string_view, std::string_view) {}); }
    void TearDown() override { Logger::SetSink(nullptr); }

    TempFolder temp_;
    std::filesystem::path folder_ = temp_ / "config" / "Halvek Trine Keyboard";
    std::filesystem::path file_ = folder_ / "settings.json";
};

TEST_F(SettingsStoreTest, DefaultFileIsInTheProductConfigFolder) {
    ScopedEnv config("XDG_CONFIG_HOME", (temp_ / "config").string());
    SettingsStore store;
    EXPECT_EQ(store.File(), file_);
}

TEST_F(SettingsStoreTest, ValuesPersistAcrossStoresAndMatchWithoutCase) {
    {
        SettingsStore store(file_);
        EXPECT_FALSE(store.GetInteger(kKey, "LANGUAGE"));
        ASSERT_TRUE(store.SetInteger(kKey, "LANGUAGE", 520));
        ASSERT_TRUE(store.SetString(kKey, "Skin", "blue"));
        ASSERT_TRUE(store.SetInteger("Software\\Other", "Big", INT64_MIN));
    }
    SettingsStore store(file_);
    EXPECT_EQ(store.GetInteger(kKey, "LANGUAGE"), 520);
    EXPECT_EQ(store.GetInteger("software\\halvek trine keyboard", "language"), 520);
    EXPECT_EQ(store.GetString(kKey, "skin"), "blue");
    EXPECT_EQ(store.GetInteger("Software\\Other", "Big"), INT64_MIN);
    // Wrong type reads as missing, as a typed registry read does.
    EXPECT_FALSE(store.GetString(kKey, "LANGUAGE"));
    EXPECT_FALSE(store.GetInteger(kKey, "Skin"));

    // Overwriting through another spelling keeps one value under the first spelling.
    ASSERT_TRUE(store.SetInteger("SOFTWARE\\HALVEK TRINE KEYBOARD", "language", 1033));
    Json::Value document;
    std::istringstream in(ReadText(file_));
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &document, nullptr));
    ASSERT_TRUE(document[kKey].isObject());
    EXPECT_EQ(document[kKey]["LANGUAGE"].asInt(), 1033);
    EXPECT_EQ(document[kKey].size(), 2u);
    EXPECT_EQ(document.size(), 2u);
}

TEST_F(SettingsStoreTest, KeysAreCreatedOnlyWhenAsked) {
    SettingsStore store(file_);
    EXPECT_FALSE(store.SetInteger(kKey, "LANGUAGE", 7, /*createKey=*/false));
    EXPECT_FALSE(std::filesystem::exists(file_));
    EXPECT_FALSE(store.HasKey(kKey));
    ASSERT_TRUE(store.CreateKey(kKey));
    EXPECT_TRUE(store.HasKey(kKey));
    EXPECT_TRUE(store.SetInteger(kKey, "LANGUAGE", 7, /*createKey=*/false));
    EXPECT_TRUE(store.RemoveValue(kKey, "language"));
    EXPECT_FALSE(store.GetInteger(kKey, "LANGUAGE"));
    EXPECT_FALSE(store.RemoveValue(kKey, "LANGUAGE"));
    EXPECT_TRUE(store.RemoveKey(kKey));
    EXPECT_FALSE(SettingsStore(file_).HasKey(kKey));
}

TEST_F(SettingsStoreTest, WritesAPrivateFileAndLeavesNoTemporaryFiles) {
    SettingsStore store(file_);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(store.SetInteger(kKey, "Count", i));
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"settings.json"});
    struct stat st {};
    ASSERT_EQ(stat(file_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SettingsStoreTest, SeesChangesMadeThroughAnotherStore) {
    SettingsStore reader(file_);
    SettingsStore writer(file_);
    EXPECT_FALSE(reader.GetInteger(kKey, "LANGUAGE"));
    ASSERT_TRUE(writer.SetInteger(kKey, "LANGUAGE", 1));
    EXPECT_EQ(reader.GetInteger(kKey, "LANGUAGE"), 1);
    // The reader's own write must not lose the writer's value.
    ASSERT_TRUE(reader.SetString(kKey, "Skin", "red"));
    EXPECT_EQ(writer.GetInteger(kKey, "LANGUAGE"), 1);
    EXPECT_EQ(writer.GetString(kKey, "Skin"), "red");
}

TEST_F(SettingsStoreTest, DamagedFileIsKeptAsideNeverOverwritten) {
    const std::string cases[] = {
        "{ \"SOFTWARE\\\\Halvek Trine Keyboard\": { \"LANGUAGE\": 5 ",  // truncated
        "[1, 2, 3]",                                                     // not an object
        "{ \"SOFTWARE\": 5 }",                                           // key that is no key
        "\x01\x02garbage",
        std::string(SettingsStore::kMaxFileSize + 1, ' '),  // too large to be ours
    };
    for (const std::string& content : cases) {
        std::filesystem::remove_all(folder_);
        WriteText(file_, content);
        SettingsStore store(file_);
        EXPECT_FALSE(store.GetInteger(kKey, "LANGUAGE")) << content.substr(0, 40);
        ASSERT_TRUE(store.SetInteger(kKey, "LANGUAGE", 9));
        std::vector<std::string> entries = FolderEntries(folder_);
        ASSERT_EQ(entries.size(), 2u) << content.substr(0, 40);
        EXPECT_EQ(entries[0], "settings.json");
        EXPECT_EQ(entries[1].rfind("settings.json.damaged-", 0), 0u) << entries[1];
        EXPECT_EQ(ReadText(folder_ / entries[1]), content);
        EXPECT_EQ(SettingsStore(file_).GetInteger(kKey, "LANGUAGE"), 9);
    }
}

TEST_F(SettingsStoreTest, SecondDamagedFileGetsItsOwnName) {
    for (int round = 0; round < 2; ++round) {
        WriteText(file_, "{ broken " + std::to_string(round));
        EXPECT_FALSE(SettingsStore(file_).HasKey(kKey));
    }
    std::vector<std::string> entries = FolderEntries(folder_);
    EXPECT_EQ(entries.size(), 2u);  // both damaged copies, no settings file yet
    for (const std::string& name : entries) EXPECT_EQ(name.rfind("settings.json.damaged-", 0), 0u) << name;
}

TEST_F(SettingsStoreTest, FailedWriteLeavesThePreviousFileWhole) {
    SettingsStore store(file_);
    ASSERT_TRUE(store.SetString(kKey, "Skin", "blue"));
    std::string before = ReadText(file_);

    // A file size limit makes the write fail half-way, like a full disk.
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = store.SetString(kKey, "Long", std::string(1000, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(file_), before);
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"settings.json"});
    EXPECT_FALSE(store.GetString(kKey, "Long"));
    EXPECT_EQ(store.GetString(kKey, "Skin"), "blue");
}

TEST_F(SettingsStoreTest, UnknownValueKindsSurviveAWrite) {
    WriteText(file_, "{ \"K\": { \"Flag\": true, \"List\": [1, 2] } }");
    SettingsStore store(file_);
    EXPECT_FALSE(store.GetInteger("K", "Flag"));
    ASSERT_TRUE(store.SetInteger("K", "N", 3));
    Json::Value document;
    std::istringstream in(ReadText(file_));
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &document, nullptr));
    EXPECT_TRUE(document["K"]["Flag"].asBool());
    EXPECT_EQ(document["K"]["List"].size(), 2u);
    EXPECT_EQ(document["K"]["N"].asInt(), 3);
}

}  // namespace
}  // namespace lumora
