#include "platform/registered_messages.h"

#include "platform/message_catalogue.h"

namespace lumora {
namespace {

std::uint32_t Id(std::string_view name) { return MessageCatalogue::Process().Register(name); }

template <std::size_t N>
std::uint32_t At(const std::array<std::string_view, N>& names, std::size_t index) {
    return index < N ? Id(names[index]) : 0;
}

}  // namespace

std::array<std::string_view, RegisteredMessages::kEntryCount> RegisteredMessages::AllNames() {
    std::array<std::string_view, kEntryCount> all{};
    std::size_t at = 0;
    all[at++] = kProductName;
    for (auto name : kGuidNames) all[at++] = name;
    for (auto name : kHookKeyNames) all[at++] = name;
    for (auto name : kHookMouseNames) all[at++] = name;
    for (auto name : kGameNames) all[at++] = name;
    return all;
}

bool RegisteredMessages::RegisterAll() {
    bool ok = true;
    for (auto name : AllNames()) ok = MessageCatalogue::InRange(Id(name)) && ok;
    return ok;
}

std::uint32_t RegisteredMessages::UWM_PRODUCT_MSG() { return Id(kProductName); }
std::uint32_t RegisteredMessages::UWM_UPDATE_STATE_MSG() { return Id(kGuidNames[0]); }
std::uint32_t RegisteredMessages::UWM_LIGHT_OWNER_MSG() { return Id(kGuidNames[1]); }
std::uint32_t RegisteredMessages::UWM_LIGHT_CONTROL_MSG() { return Id(kGuidNames[2]); }
std::uint32_t RegisteredMessages::UWM_DEVICE_QUERY_MSG() { return Id(kGuidNames[3]); }
std::uint32_t RegisteredMessages::UWM_AUDIO_TOOL_MSG() { return Id(kGuidNames[4]); }
std::uint32_t RegisteredMessages::HookKeyMessage(std::size_t index) { return At(kHookKeyNames, index); }
std::uint32_t RegisteredMessages::HookMouseMessage(std::size_t index) { return At(kHookMouseNames, index); }
std::uint32_t RegisteredMessages::GameMessage(std::size_t index) { return At(kGameNames, index); }

}  // namespace lumora
