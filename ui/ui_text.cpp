#include "ui/ui_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace lumora {

namespace {
char LowerChar(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}
}  // namespace

bool UiText::EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    }
    return true;
}

std::string UiText::Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = LowerChar(c);
    return out;
}

bool UiText::LessNoCase::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return LowerChar(x) < LowerChar(y); });
}

std::optional<long long> UiText::ParseInt(std::string_view s) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long value = 0;
    int base = 10;
    bool negative = false;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return negative ? -value : value;
}

std::optional<bool> UiText::ParseBool(std::string_view s) {
    s = Trim(s);
    if (EqualsNoCase(s, "true") || s == "1" || EqualsNoCase(s, "yes")) return true;
    if (EqualsNoCase(s, "false") || s == "0" || EqualsNoCase(s, "no")) return false;
    return std::nullopt;
}

std::optional<std::uint32_t> UiText::ParseColour(std::string_view s) {
    s = Trim(s);
    if (s.empty()) return std::nullopt;
    int base = 10;
    bool hash = false;
    if (s.front() == '#') {
        s.remove_prefix(1);
        base = 16;
        hash = true;
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    if (s.empty() || s.size() > 10) return std::nullopt;
    unsigned long long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || value > 0xFFFFFFFFull) return std::nullopt;
    if (hash && s.size() <= 6) value |= 0xFF000000ull;
    return static_cast<std::uint32_t>(value);
}

std::optional<UiRect> UiText::ParseRect(std::string_view s) {
    int fields[4] = {0, 0, 0, 0};
    int index = 0;
    s = Trim(s);
    if (s.empty()) return std::nullopt;
    while (index < 4) {
        const auto comma = s.find(',');
        const auto part = Trim(s.substr(0, comma));
        const auto value = ParseInt(part);
        if (!value || *value < -1000000 || *value > 1000000) return std::nullopt;
        fields[index++] = static_cast<int>(*value);
        if (comma == std::string_view::npos) break;
        s.remove_prefix(comma + 1);
    }
    return UiRect{fields[0], fields[1], fields[2], fields[3]};
}

std::string UiText::FormatColour(std::uint32_t argb) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%08X", static_cast<unsigned>(argb));
    return buffer;
}

std::string UiText::FormatBool(bool b) { return b ? "true" : "false"; }

std::string UiText::FormatRect(const UiRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::vector<std::pair<std::string, std::string>> UiText::ParseAttributeList(std::string_view list) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && std::isspace(static_cast<unsigned char>(list[i]))) ++i;
        const std::size_t name_start = i;
        while (i < list.size() && list[i] != '=' && !std::isspace(static_cast<unsigned char>(list[i]))) ++i;
        const std::string_view name = list.substr(name_start, i - name_start);
        while (i < list.size() && std::isspace(static_cast<unsigned char>(list[i]))) ++i;
        if (i >= list.size() || list[i] != '=') break;
        ++i;
        while (i < list.size() && std::isspace(static_cast<unsigned char>(list[i]))) ++i;
        if (i >= list.size() || (list[i] != '"' && list[i] != '\'')) break;
        const char quote = list[i++];
        const std::size_t value_start = i;
        while (i < list.size() && list[i] != quote) ++i;
        if (i >= list.size()) break;
        if (!name.empty()) out.emplace_back(std::string(name), std::string(list.substr(value_start, i - value_start)));
        ++i;
    }
    return out;
}

}  // namespace lumora
