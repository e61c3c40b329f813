#include "profiles/label_for_key_function.h"

#include "profiles/key_tables.h"

#include <bit>

namespace lumora {
namespace {

using Label = std::optional<std::string>;

template <std::size_t N>
Label NameOfRow(const std::array<KeyFunctionRow, N>& table, std::size_t nameBase, const TextLookup& texts,
                bool (*match)(const KeyFunctionRow&, const KeyFunction&), const KeyFunction& f) {
    for (std::size_t i = 0; i < N; ++i)
        if (match(table[i], f)) return texts.Text(kKeyFunctionNames[nameBase + i]);
    return std::nullopt;
}

bool SameParam1(const KeyFunctionRow& r, const KeyFunction& f) { return r.param1 == f.param1; }
bool SameParams(const KeyFunctionRow& r, const KeyFunction& f) { return r.param1 == f.param1 && r.param2 == f.param2; }
bool SameCodeAndParam1(const KeyFunctionRow& r, const KeyFunction& f) {
    return r.code == f.code && r.param1 == f.param1;
}
bool SameFunction(const KeyFunctionRow& r, const KeyFunction& f) { return r.Function() == f; }
bool SameCode(const KeyFunctionRow& r, const KeyFunction& f) { return r.code == f.code; }

// A key with modifiers: the modifier keys whose bit is set, then the key of the usage,
// joined by "+". Each modifier row holds exactly one bit, so Ctrl+Shift shows both and
// nothing else; a usage with no row adds nothing, and nothing known gives no label.
Label ModifiedKeyLabel(const KeyFunction& f, const TextLookup& texts) {
    std::string label;
    auto add = [&](std::size_t row) {
        if (!label.empty()) label += '+';
        label += texts.Text(KeyboardKeyName(row));
    };
    for (std::size_t row = 0; row < kKeyboardKeyRowCount; ++row) {
        const KeyFunctionRow& r = kKeyboardKeyTable[row];
        if (r.code == f.code && r.param2 == 0 && std::has_single_bit(r.param1) && (f.param1 & r.param1) != 0)
            add(row);
    }
    if (f.param2 != 0) {
        std::size_t row = 0;
        while (row < kKeyboardKeyRowCount && !(kKeyboardKeyTable[row].code == f.code &&
                                               kKeyboardKeyTable[row].param1 == 0 &&
                                               kKeyboardKeyTable[row].param2 == f.param2))
            ++row;
        if (row < kKeyboardKeyRowCount) add(row);
    }
    if (label.empty()) return std::nullopt;
    return label;
}

Label KeyboardLabel(const KeyFunction& f, const TextLookup& texts) {
    // The function code is not compared here, so 00 00 04 reads as the A key too.
    for (std::size_t row = 0; row < kKeyboardKeyRowCount; ++row)
        if (SameParams(kKeyboardKeyTable[row], f)) return texts.Text(KeyboardKeyName(row));
    if (f.param1 != 0 || f.param2 != 0) return ModifiedKeyLabel(f, texts);
    return texts.Text(kKeyFunctionNames[kSpecialFunctionNameBase + 9]);  // "close_text"
}

}  // namespace

std::optional<std::string> LabelForKeyFunction(const KeyFunction& f, int deviceKind,
                                               std::span<const std::string> macroNames, const TextLookup& texts) {
    switch (f.code) {
        case keyfn::kKeyboardAlias:
        case keyfn::kKeyboard:
            return KeyboardLabel(f, texts);
        case keyfn::kMouseButton:
            return NameOfRow(kMouseButtonTable, kMouseButtonNameBase, texts, SameParam1, f);
        case keyfn::kHorizontalSwing:
            return texts.Text(kKeyFunctionNames[(f.param2 & 0x80) ? kSwingRightName : kSwingLeftName]);
        case keyfn::kVerticalWheel:
            return texts.Text(kKeyFunctionNames[(f.param2 & 0x80) ? kSwingDownName : kSwingUpName]);
        case keyfn::kDpi:
            return NameOfRow(kDpiTable, kDpiNameBase, texts, SameParam1, f);
        case keyfn::kFire:
            return texts.Text(kKeyFunctionNames[kFireKeyName]);
        case keyfn::kDpiShift:
            return NameOfRow(kSpecialFunctionTable, kSpecialFunctionNameBase, texts, SameCode, f);
        case keyfn::kCustomShortcut:
            return NameOfRow(kCustomShortcutTable, kCustomShortcutNameBase, texts, SameParams, f);
        case keyfn::kShowWindow:
            return NameOfRow(kSpecialFunctionTable, kSpecialFunctionNameBase, texts, SameFunction, f);
        case keyfn::kConsumer:
            return NameOfRow(kMediaTable, kMediaNameBase, texts, SameParams, f);
        case keyfn::kSystem:
            return NameOfRow(kSystemTable, kSystemNameBase, texts, SameParams, f);
        case keyfn::kMacroMode:
        case keyfn::kMacroRepeat:
            // The macro number comes from the profile: only a macro that exists has a name.
            if (f.param1 < macroNames.size()) return macroNames[f.param1];
            return std::nullopt;
        case keyfn::kGunKey:
            if (deviceKind != kDeviceKindMouse && deviceKind != kDeviceKindMouseReceiver) break;
            if (f.param1 < kGunNames.size()) return texts.Text(kGunNames[f.param1]);
            return std::nullopt;
        case keyfn::kSpecial:
        case keyfn::kMKeys: {
            if (Label l = NameOfRow(kSpecialFunctionTable, kSpecialFunctionNameBase, texts, SameCodeAndParam1, f))
                return l;
            for (std::size_t row = 0; row < kKeyboardKeyRowCount; ++row)
                if (SameFunction(kKeyboardKeyTable[row], f)) return texts.Text(KeyboardKeyName(row));
            return std::nullopt;
        }
        case 0x15:
        case 0x21:
        case 0x50:
        case 0x60:
        case keyfn::kShortcutPanel:
        case 0xC0:
            return std::nullopt;
        default:
            break;
    }
    return std::string("关闭");
}

}  // namespace lumora
