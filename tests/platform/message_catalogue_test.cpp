#include "platform/message_catalogue.h"
#include "platform/registered_messages.h"

#include "platform/logger.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace lumora {
namespace {

TEST(MessageCatalogueTest, OneIdPerNameWithinTheRange) {
    MessageCatalogue catalogue;
    std::uint32_t a = catalogue.Register("Game_Start");
    std::uint32_t b = catalogue.Register("Game_End");
    EXPECT_TRUE(MessageCatalogue::InRange(a));
    EXPECT_TRUE(MessageCatalogue::InRange(b));
    EXPECT_NE(a, b);
    EXPECT_EQ(catalogue.Register("Game_Start"), a);
    EXPECT_EQ(catalogue.Register("GAME_START"), a);  // the atom table ignores case
    EXPECT_EQ(catalogue.Find("game_start"), a);
    EXPECT_EQ(catalogue.NameOf(a), "Game_Start");
    EXPECT_EQ(catalogue.Size(), 2u);
}

TEST(MessageCatalogueTest, FindNeverRegisters) {
    MessageCatalogue catalogue;
    EXPECT_FALSE(catalogue.Find("Unknown"));
    EXPECT_EQ(catalogue.Size(), 0u);
    EXPECT_FALSE(catalogue.NameOf(0xC000));
    EXPECT_FALSE(catalogue.NameOf(5));
}

TEST(MessageCatalogueTest, RefusesBadNames) {
    MessageCatalogue catalogue;
    EXPECT_EQ(catalogue.Register(""), 0u);
    EXPECT_EQ(catalogue.Register(std::string(256, 'a')), 0u);
    EXPECT_TRUE(MessageCatalogue::InRange(catalogue.Register(std::string(255, 'a'))));
}

TEST(MessageCatalogueTest, RangeRunsOutAfter16384Names) {
    Logger::SetSink([](LogLevel, std::string_view, std::string_view) {});
    MessageCatalogue catalogue;
    std::set<std::uint32_t> ids;
    for (int i = 0; i < 0x4000; ++i) {
        std::uint32_t id = catalogue.Register("m" + std::to_string(i));
        ASSERT_TRUE(MessageCatalogue::InRange(id)) << i;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 0x4000u);
    EXPECT_EQ(catalogue.Register("one too many"), 0u);
    EXPECT_EQ(catalogue.Register("m0"), 0xC000u);
    EXPECT_EQ(catalogue.Register("m16383"), 0xFFFFu);
    Logger::SetSink(nullptr);
}

TEST(RegisteredMessagesTest, NamesAndOrderAreTheContract) {
    const std::vector<std::string> expected = {
        "Halvek Trine Keyboard",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",
        "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}",
        "WM_HOOK_KEY_SINGLEKEY_MSG",
        "WM_HOOK_KEY_HITKEY_MSG",
        "WM_HOOK_KEY_KBMACRO_MSG",
        "WM_HOOK_KEY_MSMACRO_MSG",
        "WM_HOOK_KEY_KBMACROSINGLE_MSG",
        "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
        "WM_HOOK_KEY_KBMACROLATER_MSG",
        "WM_HOOK_MOU_SINGLEKEY_MSG",
        "WM_HOOK_MOU_HITKEY_MSG",
        "WM_HOOK_MOU_KBMACRO_MSG",
        "WM_HOOK_MOU_MSMACRO_MSG",
        "WM_HOOK_KEY_MSMACROSINGLE_MSG",
        "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",
        "WM_HOOK_KEY_MSMACROLATER_MSG",
        "UWM_MOUSERBUTTONDOWN_USER_MSG",
        "UWM_MOUSELBUTTONUP_USER_MSG",
        "UWM_MOUSELBUTTONDOWN_USER_MSG",
        "UWM_MOUSERBUTTONUP_USER_MSG",
        "UWM_MOUSERBUTTONDOWN_USER_MSG",
        "UWM_MOUSEMOVE_USER_MSG",
        "Game_Start",
        "Game_End",
        "Game_Kill",
        "Game_Death",
    };
    auto all = RegisteredMessages::AllNames();
    ASSERT_EQ(all.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(all[i], expected[i]) << i;
}

TEST(RegisteredMessagesTest, AccessorsAgreeWithTheProcessCatalogue) {
    ASSERT_TRUE(RegisteredMessages::RegisterAll());
    auto& catalogue = MessageCatalogue::Process();
    EXPECT_EQ(RegisteredMessages::UWM_PRODUCT_MSG(), catalogue.Find("Halvek Trine Keyboard"));
    EXPECT_EQ(RegisteredMessages::UWM_UPDATE_STATE_MSG(), catalogue.Find("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}"));
    EXPECT_EQ(RegisteredMessages::UWM_LIGHT_OWNER_MSG(), catalogue.Find("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}"));
    EXPECT_EQ(RegisteredMessages::UWM_LIGHT_CONTROL_MSG(), catalogue.Find("{4695579F-999A-41d4-9FAF-EFFCE93EBF17}"));
    EXPECT_EQ(RegisteredMessages::UWM_DEVICE_QUERY_MSG(), catalogue.Find("{4695579F-999A-41d4-9FAF-EFFCE93EBF18}"));
    EXPECT_EQ(RegisteredMessages::UWM_AUDIO_TOOL_MSG(), catalogue.Find("{4695579F-999A-41d4-9FAF-EFFCE93EBE19}"));
    EXPECT_EQ(RegisteredMessages::HookKeyMessage(0), catalogue.Find("WM_HOOK_KEY_SINGLEKEY_MSG"));
    EXPECT_EQ(RegisteredMessages::GameMessage(3), catalogue.Find("Game_Death"));
    EXPECT_EQ(RegisteredMessages::HookMouseMessage(5), catalogue.Find("UWM_MOUSEMOVE_USER_MSG"));
    EXPECT_EQ(RegisteredMessages::HookMouseMessage(6), 0u);
    EXPECT_EQ(RegisteredMessages::HookKeyMessage(14), 0u);

    // Thirty entries, twenty-nine names: only the first and fifth mouse entries share an id.
    std::set<std::uint32_t> ids;
    for (auto name : RegisteredMessages::AllNames()) {
        auto id = catalogue.Find(name);
        ASSERT_TRUE(id && MessageCatalogue::InRange(*id)) << name;
        ids.insert(*id);
    }
    EXPECT_EQ(ids.size(), 29u);
    EXPECT_EQ(RegisteredMessages::HookMouseMessage(0), RegisteredMessages::HookMouseMessage(4));
}

}  // namespace
}  // namespace lumora
