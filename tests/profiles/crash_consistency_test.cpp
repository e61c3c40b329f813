#include "profiles/json_file.h"
#include "profiles/keyboard_profiledata.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace lumora {
namespace {

using test::ShippedDefaultData;
using test::TempFolder;

// Saves two full keyboard profiles in turn, for ever, counting finished saves.
[[noreturn]] void SaveForever(const std::filesystem::path& dir, std::atomic<std::uint64_t>* saves) {
    CKeyboardProfiledata data;
    data.SetDefaultPath(dir / "keyboard.Json");
    for (;;) {
        for (const char* name : {"a.Json", "b.Json"}) {
            const std::uint64_t n = saves->load();
            data.SetProfilePath(dir / name);
            data.LoadEntry(dir / name);
            LightInfo info = data.GetLightInfo();
            info.light = static_cast<std::uint8_t>(n % 5);
            data.SetLightInfo(info);
            data.SetSystemStages({static_cast<std::uint32_t>(n & 0xFFFF), 0, 0});
            std::vector<RgbaColor> colors(132, RgbaColor{static_cast<std::uint8_t>(n), 1, 2, 255});
            data.SetCustomColors(colors, static_cast<int>(n % 3));
            if (!data.Save()) ::_exit(2);
            saves->fetch_add(1);
        }
    }
}

TEST(CrashConsistency, ASaverKilledAtAnyMomentLeavesEveryProfileWhole) {
    TempFolder dir;
    std::filesystem::copy_file(ShippedDefaultData() / "keyboard.Json", dir / "keyboard.Json");
    void* shared = ::mmap(nullptr, sizeof(std::atomic<std::uint64_t>), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* saves = new (shared) std::atomic<std::uint64_t>(0);

    std::mt19937 random(12345);
    constexpr int kRounds = 150;
    std::uint64_t lastRepeat = ~0ull;
    int changes = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::uint64_t before = saves->load();
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) SaveForever(dir.Path(), saves);

        // Let it get going, then kill it somewhere inside a save.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (saves->load() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 6000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped on its own (exit " << WEXITSTATUS(status) << ")";

        for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
            const auto name = e.path().filename().string();
            if (e.path().extension() != ".Json") continue;
            SCOPED_TRACE(name + " after round " + std::to_string(round));
            Json::Value doc = CJsonFile::ReadJson(e.path());
            ASSERT_TRUE(doc.isObject());
            ASSERT_EQ(doc["Device"][0]["KeyList"].size(), 126u);
            ASSERT_EQ(doc["Device"][0]["CustomLightMode"]["LightColorInfo"][0].size(), 132u);
            if (name == "a.Json") {
                auto repeat = doc["Device"][0]["SystemStages"]["Repeat"].asUInt64();
                changes += repeat != lastRepeat;
                lastRepeat = repeat;
            }
        }
        EXPECT_EQ(dir.CountStartingWith("a.Json.corrupt-"), 0u) << "nothing was ever damaged";
        // At most the temporary of the save that was cut short is left for each profile.
        EXPECT_LE(dir.CountStartingWith(".a.Json.tmp-"), 1u);
        EXPECT_LE(dir.CountStartingWith(".b.Json.tmp-"), 1u);
    }
    EXPECT_GE(saves->load(), static_cast<std::uint64_t>(kRounds)) << "every round saved before the kill";
    EXPECT_GT(changes, kRounds / 2) << "the saves really happened between kills";
    ::munmap(shared, sizeof(std::atomic<std::uint64_t>));
}

}  // namespace
}  // namespace lumora
