#include "profiles/key_tables.h"
#include "profiles/label_for_key_function.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace lumora {
namespace {

// Language double: every identifier translates to "<identifier>".
class BracketTexts : public TextLookup {
public:
    std::string Text(std::string_view id) const override {
        std::string text = "<";
        text.append(id);
        return text += ">";
    }
};

TEST(KeyTables, NameArraysHoldEveryNameInItsPlace) {
    for (std::size_t i = 0; i < kKeyFunctionNames.size(); ++i) EXPECT_FALSE(kKeyFunctionNames[i].empty()) << i;
    const std::map<std::size_t, std::string_view> spots = {
        {0, "custem_cut"},           {8, "custem_open"},          {9, "mouse_key_left"},
        {18, "close_text"},          {22, "mouse_key_DPI_shift"}, {23, "show_window"},
        {24, "system_power"},        {27, "mouse_key_fire_key"},  {28, "media_text"},
        {45, "media_mail"},          {46, "mouse_key_DPI_add"},   {52, "mouse_key_right_Swing"},
        {57, "mouse_key_back"},      {58, "keyboard_key_LCtrl"},  {66, "keyboard_key_A"},
        {101, "keyboard_key_0"},     {111, "keyboard_key_xiegang"}, {115, "keyboard_key_<"},
        {171, "keyboard_key_K42"},   {172, "keyboard_key_Launch App2"}, {188, "wed_stop"},
        {199, "keyboard_key_GM"},    {200, "keyboard_key_COLOR"},
    };
    for (auto [index, name] : spots) EXPECT_EQ(kKeyFunctionNames[index], name) << index;
    EXPECT_EQ(kGunNames[3], "gun_4_txt");
    EXPECT_EQ(kMouseButtonNames[8], "keyboard_key_GM");
    EXPECT_EQ(kMouseButtonNames[10], "mouse_key_fire_key");
}

TEST(KeyTables, KeyboardTableRowsFollowTheirGroups) {
    std::set<int> mediaUsages;
    for (const auto& r : kMediaTable) mediaUsages.insert(r.param2 << 8 | r.param1);
    for (std::size_t row = 0; row < kKeyboardKeyRowCount; ++row) {
        SCOPED_TRACE(row);
        const KeyFunctionRow& r = kKeyboardKeyTable[row];
        if (row < 8) {
            EXPECT_EQ(r.code, 0x20);
            EXPECT_EQ(r.param1, 1u << row);
            EXPECT_EQ(r.param2, 0);
        } else if (row < 114) {
            EXPECT_EQ(r.code, 0x20);
            EXPECT_EQ(r.param1, 0);
            EXPECT_NE(r.param2, 0);
        } else if (row < 132) {
            EXPECT_EQ(r.code, 0x30);
            EXPECT_TRUE(mediaUsages.count(r.param2 << 8 | r.param1)) << "consumer keys are the media functions";
        }
        if (row < kScanCodeRowCount) { EXPECT_EQ(kKeyboardScanCodeTable[row].virtualKey, r.value); }
    }
    // Letters and digits are in order.
    EXPECT_EQ(kKeyboardKeyTable[8].param2, 0x04);
    EXPECT_EQ(kKeyboardKeyTable[33].param2, 0x1D);
    EXPECT_EQ(kKeyboardKeyTable[33].value, 'Z');
    EXPECT_EQ(kKeyboardKeyTable[43].value, '0');
    EXPECT_EQ(kKeyboardKeyTable[91].value, 0x101);
    EXPECT_EQ(kKeyboardKeyTable[141].Function(), (KeyFunction{0xA0, 0x1B, 0x00}));
}

TEST(KeyTables, ScanCodesFindTheirKeys) {
    // Key capture takes the first row with the reported scan code and extended flag.
    auto capture = [](std::uint8_t scan, std::uint8_t extended) -> std::string_view {
        for (std::size_t row = 0; row < kScanCodeRowCount; ++row)
            if (kKeyboardScanCodeTable[row].scanCode == scan && kKeyboardScanCodeTable[row].extended == extended)
                return KeyboardKeyName(row);
        return {};
    };
    EXPECT_EQ(capture(0x1D, 0), "keyboard_key_LCtrl");
    EXPECT_EQ(capture(0x1D, 1), "keyboard_key_RCtrl");
    EXPECT_EQ(capture(0x36, 0), "keyboard_key_RShift");
    EXPECT_EQ(capture(0x1E, 0), "keyboard_key_A");
    EXPECT_EQ(capture(0x45, 0), "keyboard_key_Pause");
    EXPECT_EQ(capture(0x45, 1), "keyboard_key_Num Lock");
    EXPECT_EQ(capture(0x1C, 1), "keyboard_key_Num Enter");
    EXPECT_EQ(capture(0x48, 1), "keyboard_key_Up");
    EXPECT_EQ(capture(0x48, 0), "keyboard_key_Num 8");
    EXPECT_EQ(capture(0x72, 0), "keyboard_key_K151");
    // Every pair is unique, so no key hides another.
    std::set<int> pairs;
    for (const auto& s : kKeyboardScanCodeTable) EXPECT_TRUE(pairs.insert(s.scanCode << 1 | s.extended).second);
}

TEST(KeyTables, DefaultCodeTablesAreComplete) {
    for (std::size_t i = 0; i < DefaultKeyCodeTable.size(); ++i) EXPECT_NE(DefaultKeyCodeTable[i].code, 0) << i;
    EXPECT_EQ(DefaultKeyCodeTable[0], (KeyFunction{0x20, 0x00, 0x29}));
    EXPECT_EQ(DefaultKeyCodeTable[17], (KeyFunction{0xA0, 0x24, 0x00}));
    EXPECT_EQ(DefaultKeyCodeTable[96], (KeyFunction{0x20, 0x00, 0x52}));
    EXPECT_EQ(DefaultKeyCodeTable[110], (KeyFunction{0xA0, 0x01, 0x00}));
    EXPECT_EQ(DefaultKeyCodeTable[124], (KeyFunction{0xD0, 0xA2, 0x05}));
    EXPECT_EQ(DefaultKeyCodeTable[125], (KeyFunction{0x20, 0x80, 0x00}));
    // Each ordinary key of a keyboard is a key the table knows.
    for (const KeyFunction& f : DefaultKeyCodeTable) {
        if (f.code != 0x20 || (f.param1 == 0 && f.param2 == 0)) continue;
        bool found = false;
        for (const auto& r : kKeyboardKeyTable) found = found || r.Function() == f;
        EXPECT_TRUE(found) << std::hex << f.Packed();
    }
    EXPECT_EQ(DefaultButtonCodeTable[9], (KeyFunction{0x16, 0x90, 0x01}));
    EXPECT_EQ(DefaultButtonCodeTable[10], (KeyFunction{0x14, 0x78, 0x02}));
}

struct LabelCase {
    std::uint32_t packed;
    int kind;                  // 1 keyboard, 2 mouse
    std::optional<std::string> label;
};

TEST(LabelForKeyFunction, EveryRule) {
    const std::vector<std::string> macros = {"Reload", "Combo", "Build", "Spray"};
    const std::string none = "";
    const LabelCase cases[] = {
        // 1: keyboard keys; the function code is not compared for a single row.
        {0x200004, 1, "<keyboard_key_A>"},
        {0x000004, 1, "<keyboard_key_A>"},
        {0x200100, 1, "<keyboard_key_LCtrl>"},
        {0x200106, 1, "<keyboard_key_LCtrl>+<keyboard_key_C>"},
        {0x202004, 1, "<keyboard_key_RShift>+<keyboard_key_A>"},
        {0x200304, 1, "<keyboard_key_LCtrl>+<keyboard_key_LShift>+<keyboard_key_A>"},
        {0x200300, 1, "<keyboard_key_LCtrl>+<keyboard_key_LShift>"},
        {0x2001FF, 1, "<keyboard_key_LCtrl>"},
        {0x2000FF, 1, std::nullopt},
        {0x000106, 1, std::nullopt},
        {0x200000, 1, "<close_text>"},
        {0x000000, 1, "<close_text>"},
        {0x209201, 1, "<keyboard_key_Launch App2>"},
        // 2 to 7
        {0x100400, 2, "<mouse_key_middle>"},
        {0x100200, 2, "<mouse_key_right>"},
        {0x102000, 2, std::nullopt},
        {0x110085, 2, "<mouse_key_right_Swing>"},
        {0x110005, 2, "<mouse_key_left_Swing>"},
        {0x1241FD, 2, "<mouse_key_down_Swing>"},
        {0x124103, 2, "<mouse_key_up_Swing>"},
        {0x130200, 2, "<mouse_key_DPI_sub>"},
        {0x130300, 2, "<mouse_key_DPI_loop>"},
        {0x130900, 2, std::nullopt},
        {0x147802, 2, "<mouse_key_fire_key>"},
        {0x169001, 2, "<mouse_key_DPI_shift>"},
        // 8 to 11
        {0x220003, 1, "<custem_undo>"},
        {0x220009, 1, std::nullopt},
        {0x230000, 1, "<show_window>"},
        {0x230100, 1, std::nullopt},
        {0x30E900, 1, "<media_vol_add>"},
        {0x302302, 1, "<web_text>"},
        {0x400200, 1, "<system_sleep>"},
        // 12: macros by number
        {0x700200, 1, "Build"},
        {0x710003, 2, "Reload"},
        {0x700500, 1, std::nullopt},
        {0x710400, 1, std::nullopt},
        // 13: gun keys on a mouse page only
        {0x720200, 2, "<gun_3_txt>"},
        {0x720200, 6, "<gun_3_txt>"},
        {0x720700, 2, std::nullopt},
        {0x720200, 1, "关闭"},
        // 14: special keys and M keys
        {0xA00200, 1, "<mouse_key_smart_key>"},
        {0xA00000, 1, "<close_text>"},
        {0xA00100, 1, "<keyboard_key_FN>"},
        {0xA01B00, 2, "<keyboard_key_GM>"},
        {0xA02400, 1, std::nullopt},
        {0xD0A203, 1, "<keyboard_key_M3>"},
        {0xD0A209, 1, std::nullopt},
        // 15 and 16
        {0x150000, 1, std::nullopt},
        {0x210000, 1, std::nullopt},
        {0x500000, 1, std::nullopt},
        {0x600000, 1, std::nullopt},
        {0xB00000, 1, std::nullopt},
        {0xC00000, 1, std::nullopt},
        {0x990000, 1, "关闭"},
        {0xFF0102, 2, "关闭"},
    };
    BracketTexts texts;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.packed << " kind " << c.kind);
        EXPECT_EQ(LabelForKeyFunction(KeyFunction::FromPacked(c.packed), c.kind, macros, texts), c.label);
    }
    EXPECT_EQ(LabelForKeyFunction({0x70, 0, 0}, 1, {}, texts), std::nullopt) << "no macros";
}

TEST(LabelForKeyFunction, EveryDefaultKeyAndButtonHasALabel) {
    BracketTexts texts;
    for (std::size_t i = 0; i < DefaultKeyCodeTable.size(); ++i) {
        auto label = LabelForKeyFunction(DefaultKeyCodeTable[i], 1, {}, texts);
        if (DefaultKeyCodeTable[i] == KeyFunction{0xA0, 0x24, 0x00}) continue;  // device-defined special key
        EXPECT_TRUE(label.has_value()) << i;
    }
    for (const KeyFunction& f : DefaultButtonCodeTable) EXPECT_TRUE(LabelForKeyFunction(f, 2, {}, texts)) << f.Packed();
}

}  // namespace
}  // namespace lumora
