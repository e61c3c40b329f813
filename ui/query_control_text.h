#pragma once
// Asked for the text of an identifier that the language file does not have.

#include <optional>
#include <string>
#include <string_view>

namespace lumora {

class IQueryControlText {
public:
    virtual ~IQueryControlText() = default;
    virtual std::optional<std::string> QueryControlText(std::string_view id, std::string_view type) = 0;
};

}  // namespace lumora
