#pragma once
// Text helpers shared by the UI library: case-insensitive names and the value
// syntax of skin attributes (numbers, colours, rectangles, booleans).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui_rect.h"

namespace lumora {

class UiText {
public:
    // ASCII only: names in skins and languages are ASCII identifiers.
    static bool EqualsNoCase(std::string_view a, std::string_view b);
    static std::string Lower(std::string_view s);

    static std::optional<long long> ParseInt(std::string_view s);
    // "true"/"false", "1"/"0", "yes"/"no" (any case).
    static std::optional<bool> ParseBool(std::string_view s);
    // "#AARRGGBB", "#RRGGBB" (opaque), "0x..." or a decimal number.
    static std::optional<std::uint32_t> ParseColour(std::string_view s);
    // "l,t,r,b"; missing fields are 0.
    static std::optional<UiRect> ParseRect(std::string_view s);

    static std::string FormatColour(std::uint32_t argb);
    static std::string FormatBool(bool b);
    static std::string FormatRect(const UiRect& r);

    // Parses an attribute list as used by styles and defaults: name="value" pairs
    // separated by blanks, with &quot; style escapes not needed (single quotes work).
    static std::vector<std::pair<std::string, std::string>> ParseAttributeList(std::string_view list);

    struct LessNoCase {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
};

}  // namespace lumora
