#pragma once
// The label printed on a key's picture for the key function it holds.

#include "platform/text_lookup.h"
#include "profiles/profile_records.h"

#include <optional>
#include <span>
#include <string>

namespace lumora {

// Device kinds whose pages show gun keys (mouse and mouse receiver).
inline constexpr int kDeviceKindMouse = 2;
inline constexpr int kDeviceKindMouseReceiver = 6;

// The translated label for a key function on a page of the given device kind, or nothing
// when the function has no label (the key then keeps its previous label). Macro functions
// take their label from the device's macro names; every other name goes through texts.
std::optional<std::string> LabelForKeyFunction(const KeyFunction& function, int deviceKind,
                                               std::span<const std::string> macroNames, const TextLookup& texts);

}  // namespace lumora
