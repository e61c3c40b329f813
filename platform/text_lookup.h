#pragma once
// Resolves a text identifier to the current language's text. The UI library's
// resource manager implements it; lower layers (profiles, panels) only need this.

#include <string>
#include <string_view>

namespace lumora {

class TextLookup {
public:
    virtual ~TextLookup() = default;
    // The text for the identifier, or the identifier itself when it is unknown.
    virtual std::string Text(std::string_view id) const = 0;
};

}  // namespace lumora
