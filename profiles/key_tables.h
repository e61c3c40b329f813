#pragma once
// The key function catalogue: constant tables shared by the key assignment panel, key
// capture, macro recording and the device pages. Every part of the program uses these
// same contents.

#include "profiles/profile_records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumora {

// One row of a function table: row value (the Windows virtual-key code in the keyboard
// key table, the row number elsewhere) and the three-byte key function.
struct KeyFunctionRow {
    std::uint16_t value = 0;
    std::uint8_t code = 0;
    std::uint8_t param1 = 0;
    std::uint8_t param2 = 0;

    constexpr KeyFunction Function() const { return {code, param1, param2}; }
};

// Set-1 scan code of a keyboard-table row, as a low-level keyboard hook reports it.
struct ScanCodeRow {
    std::uint16_t virtualKey = 0;
    std::uint8_t scanCode = 0;
    std::uint8_t extended = 0;
};

// Function codes.
namespace keyfn {
inline constexpr std::uint8_t kKeyboardAlias = 0x00;  // labelled like kKeyboard
inline constexpr std::uint8_t kMouseButton = 0x10;
inline constexpr std::uint8_t kHorizontalSwing = 0x11;
inline constexpr std::uint8_t kVerticalWheel = 0x12;
inline constexpr std::uint8_t kDpi = 0x13;
inline constexpr std::uint8_t kFire = 0x14;
inline constexpr std::uint8_t kDpiShift = 0x16;
inline constexpr std::uint8_t kKeyboard = 0x20;
inline constexpr std::uint8_t kCustomShortcut = 0x22;
inline constexpr std::uint8_t kShowWindow = 0x23;
inline constexpr std::uint8_t kConsumer = 0x30;
inline constexpr std::uint8_t kSystem = 0x40;
inline constexpr std::uint8_t kMacroMode = 0x70;
inline constexpr std::uint8_t kMacroRepeat = 0x71;
inline constexpr std::uint8_t kGunKey = 0x72;
inline constexpr std::uint8_t kSpecial = 0xA0;
inline constexpr std::uint8_t kShortcutPanel = 0xB0;
inline constexpr std::uint8_t kMKeys = 0xD0;
}  // namespace keyfn

inline constexpr std::size_t kKeyFunctionNameCount = 201;
inline constexpr std::size_t kKeyboardKeyRowCount = 142;
inline constexpr std::size_t kScanCodeRowCount = 113;
// First name of each table in kKeyFunctionNames.
inline constexpr std::size_t kCustomShortcutNameBase = 0;
inline constexpr std::size_t kSpecialFunctionNameBase = 9;
inline constexpr std::size_t kSystemNameBase = 24;
inline constexpr std::size_t kFireKeyName = 27;
inline constexpr std::size_t kMediaNameBase = 28;
inline constexpr std::size_t kDpiNameBase = 46;
inline constexpr std::size_t kSwingUpName = 49;
inline constexpr std::size_t kSwingDownName = 50;
inline constexpr std::size_t kSwingLeftName = 51;
inline constexpr std::size_t kSwingRightName = 52;
inline constexpr std::size_t kMouseButtonNameBase = 53;
inline constexpr std::size_t kKeyboardKeyNameBase = 58;

// Name keys (language-file identifiers) of all functions, in their fixed order.
extern const std::array<std::string_view, kKeyFunctionNameCount> kKeyFunctionNames;
// Gun slot 0 to 3.
extern const std::array<std::string_view, 4> kGunNames;
// The eleven physical mouse buttons by button index.
extern const std::array<std::string_view, 11> kMouseButtonNames;

extern const std::array<KeyFunctionRow, 5> kMouseButtonTable;       // names 53 to 57
extern const std::array<KeyFunctionRow, 3> kDpiTable;               // names 46 to 48
extern const std::array<KeyFunctionRow, 3> kSystemTable;            // names 24 to 26
extern const std::array<KeyFunctionRow, 18> kMediaTable;            // names 28 to 45
extern const std::array<KeyFunctionRow, 11> kShortcutTable;         // left Ctrl + O N Z S C X V F A - =
extern const std::array<KeyFunctionRow, 9> kCustomShortcutTable;    // names 0 to 8
extern const std::array<KeyFunctionRow, 15> kSpecialFunctionTable;  // names 9 to 23
extern const std::array<KeyFunctionRow, kKeyboardKeyRowCount> kKeyboardKeyTable;  // names 58 to 199
// Scan codes of keyboard-table rows 0 to 112; key capture takes the first row whose scan
// code and extended flag match the pressed key.
extern const std::array<ScanCodeRow, kScanCodeRowCount> kKeyboardScanCodeTable;

// The function a keyboard reports at each key index (0 to 125); links key indexes to key slots.
extern const std::array<KeyFunction, 126> DefaultKeyCodeTable;
// The mouse counterpart, by button index (0 to 10).
extern const std::array<KeyFunction, 11> DefaultButtonCodeTable;

// Name key of keyboard-table row r; empty for a row that does not exist.
std::string_view KeyboardKeyName(std::size_t row);

}  // namespace lumora
