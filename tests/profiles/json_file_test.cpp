#include "profiles/json_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <regex>
#include <set>
#include <string>

namespace lumora {
namespace {

using test::TempFolder;

struct ReadCase {
    const char* name;
    std::string bytes;
    bool parses;
    int a;  // expected value of member "a" when it parses
};

TEST(JsonFileRead, ParsesWholeTextWithCommentsAndCutsAtZeroByte) {
    using namespace std::string_literals;
    const ReadCase cases[] = {
        {"plain", R"({"a": 1})", true, 1},
        {"line comment", "// made by hand\n{\"a\": 2}", true, 2},
        {"block comment", "{ /* two */ \"a\": 3 }", true, 3},
        {"zero byte ends the text", "{\"a\": 4}\0 trailing garbage {"s, true, 4},
        {"zero byte before the document", "\0{\"a\": 5}"s, false, 0},
        {"empty", "", false, 0},
        {"truncated", R"({"a": 1, "b": [1, 2)", false, 0},
        {"not JSON", "a = 1", false, 0},
        {"literal null", "null", false, 0},
        {"nested too deep", std::string(5000, '[') + std::string(5000, ']'), false, 0},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = dir / "doc.json";
        TempFolder::Write(path, c.bytes);
        Json::Value v = CJsonFile::ReadJson(path);
        EXPECT_EQ(!v.isNull(), c.parses);
        if (c.parses) { EXPECT_EQ(v["a"].asInt(), c.a); }
    }
}

TEST(JsonFileRead, RefusesWhatIsNotARegularFile) {
    TempFolder dir;
    EXPECT_TRUE(CJsonFile::ReadJson(dir / "missing.json").isNull());
    EXPECT_EQ(CJsonFile::readjsonFile(dir.Path()), "");
    // A FIFO must not block the reader.
    auto fifo = dir / "fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(CJsonFile::readjsonFile(fifo), "");
    // Larger than any profile: refused without being read.
    auto big = dir / "big.json";
    TempFolder::Write(big, "{}");
    std::filesystem::resize_file(big, CJsonFile::kMaxFileSize + 1);
    EXPECT_EQ(CJsonFile::readjsonFile(big), "");
}

TEST(JsonFileWrite, WritesTheStyledFormWithOneLineEnd) {
    TempFolder dir;
    Json::Value doc;
    doc["zeta"] = 1;
    doc["Alpha"]["b"] = "Profil \xC3\xA9t\xC3\xA9";  // UTF-8 stays as it is
    doc["list"].append(1);
    doc["list"].append(2);
    auto path = dir / "out.Json";
    ASSERT_TRUE(CJsonFile::WriteJson(path, doc));
    EXPECT_EQ(TempFolder::Read(path),
              "{\n"
              "   \"Alpha\" : \n"
              "   {\n"
              "      \"b\" : \"Profil \xC3\xA9t\xC3\xA9\"\n"
              "   },\n"
              "   \"list\" : [ 1, 2 ],\n"
              "   \"zeta\" : 1\n"
              "}\n");
    EXPECT_EQ(CJsonFile::ReadJson(path), doc);
    EXPECT_EQ(dir.CountStartingWith("."), 0u) << "temporary file left behind";
}

TEST(JsonFileWrite, ReportsFailureAndLeavesTheOldFile) {
    TempFolder dir;
    Json::Value doc;
    doc["a"] = 1;
    // Folder missing.
    EXPECT_FALSE(CJsonFile::WriteJson(dir / "no-such-folder" / "x.Json", doc));
    // The target cannot be replaced (a non-empty folder is in the way).
    auto blocked = dir / "blocked.Json";
    std::filesystem::create_directories(blocked / "inside");
    EXPECT_FALSE(CJsonFile::WriteJson(blocked, doc));
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
    EXPECT_EQ(dir.CountStartingWith(".blocked"), 0u) << "temporary file left behind";
    // The previous content survives a failed write... and is replaced by a good one.
    auto path = dir / "p.Json";
    ASSERT_TRUE(CJsonFile::WriteJson(path, doc));
    EXPECT_FALSE(CJsonFile::WriteJson(path / "sub", doc));
    EXPECT_EQ(CJsonFile::ReadJson(path)["a"].asInt(), 1);
}

TEST(JsonFileWrite, KeepsPermissionsAndClearsTemporariesOfDeadWriters) {
    TempFolder dir;
    auto path = dir / "p.Json";
    TempFolder::Write(path, "{}");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // Left by a writer that was killed; pid 0 never names a live process in /proc.
    TempFolder::Write(dir / ".p.Json.tmp-0-7", "{ half");
    // Another file's temporary and one of a live process stay.
    TempFolder::Write(dir / ".q.Json.tmp-0-1", "{ half");
    const std::string mine = ".p.Json.tmp-" + std::to_string(::getpid()) + "-999999";
    TempFolder::Write(dir / mine, "{ half");

    ASSERT_TRUE(CJsonFile::WriteJson(path, Json::Value(Json::objectValue)));
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(std::filesystem::exists(dir / ".p.Json.tmp-0-7"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".q.Json.tmp-0-1"));
    EXPECT_TRUE(std::filesystem::exists(dir / mine));
}

TEST(JsonFileKeepAside, KeepsTheNewestFewCopies) {
    TempFolder dir;
    auto path = dir / "p.Json";
    std::set<std::string> kept;
    for (int i = 0; i < 6; ++i) {
        TempFolder::Write(path, "broken " + std::to_string(i));
        auto copy = CJsonFile::KeepAside(path);
        ASSERT_FALSE(copy.empty());
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(TempFolder::Read(copy), "broken " + std::to_string(i));
        kept.insert(copy.filename().string());
    }
    EXPECT_EQ(dir.CountStartingWith("p.Json.corrupt-"), CJsonFile::kCorruptCopiesKept);
    // The last three made are the ones left.
    std::size_t newest = 0;
    for (auto it = kept.rbegin(); it != kept.rend() && newest < CJsonFile::kCorruptCopiesKept; ++it, ++newest)
        EXPECT_TRUE(std::filesystem::exists(dir / *it)) << *it;
    EXPECT_TRUE(CJsonFile::KeepAside(dir / "missing.Json").empty());
}

TEST(JsonFileTimestampId, LocalTimeFormatAndNeverTwice) {
    const std::regex form(R"((\d{4})_(\d\d)_(\d\d)_(\d\d)_(\d\d)_(\d\d)_(\d{3}))");
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    std::string first = CJsonFile::MakeTimestampId();
    std::smatch m;
    ASSERT_TRUE(std::regex_match(first, m, form)) << first;
    EXPECT_EQ(std::stoi(m[1]), local.tm_year + 1900);
    EXPECT_EQ(std::stoi(m[2]), local.tm_mon + 1);

    // Thousands of calls fall into few milliseconds; each must still be new and later.
    std::string previous = first;
    std::set<std::string> seen{first};
    for (int i = 0; i < 5000; ++i) {
        std::string id = CJsonFile::MakeTimestampId();
        ASSERT_TRUE(std::regex_match(id, form)) << id;
        ASSERT_GT(id, previous);
        ASSERT_TRUE(seen.insert(id).second) << id;
        previous = id;
    }
}

TEST(JsonFileTitle, NameWithoutFolderAndExtension) {
    EXPECT_EQ(CJsonFile::FileTitle("/a/b/2024_01_02_03_04_05_006.Json"), "2024_01_02_03_04_05_006");
    EXPECT_EQ(CJsonFile::FileTitle("my.profile.json"), "my.profile");
    EXPECT_EQ(CJsonFile::FileTitle("/a/b/noext"), "noext");
    EXPECT_EQ(CJsonFile::FileTitle("/a/b/"), "");
}

}  // namespace
}  // namespace lumora
