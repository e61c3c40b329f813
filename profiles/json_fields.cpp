#include "profiles/json_fields.h"

#include <cmath>

namespace lumora {

const Json::Value& JsonFields::Member(const Json::Value& object, const char* key) {
    if (!object.isObject()) return Json::Value::nullSingleton();
    const Json::Value* found = object.find(key, key + std::char_traits<char>::length(key));
    return found ? *found : Json::Value::nullSingleton();
}

const Json::Value& JsonFields::Element(const Json::Value& array, std::size_t index) {
    if (!array.isArray() || index >= array.size()) return Json::Value::nullSingleton();
    return array[static_cast<Json::ArrayIndex>(index)];
}

std::int64_t JsonFields::Integer(const Json::Value& value) {
    switch (value.type()) {
        case Json::intValue: return value.asInt64();
        case Json::uintValue: return static_cast<std::int64_t>(value.asUInt64());
        case Json::booleanValue: return value.asBool() ? 1 : 0;
        case Json::realValue: {
            double d = value.asDouble();
            // Only values that fit; the cast of anything else would be undefined.
            if (std::isfinite(d) && d > -9.2e18 && d < 9.2e18) return static_cast<std::int64_t>(d);
            return 0;
        }
        default: return 0;
    }
}

std::uint8_t JsonFields::Truth(const Json::Value& value) {
    switch (value.type()) {
        case Json::booleanValue: return value.asBool() ? 1 : 0;
        case Json::intValue: return value.asInt64() != 0 ? 1 : 0;
        case Json::uintValue: return value.asUInt64() != 0 ? 1 : 0;
        case Json::realValue: return value.asDouble() != 0.0 ? 1 : 0;
        default: return 0;
    }
}

std::uint8_t JsonFields::U8(const Json::Value& object, const char* key) {
    return static_cast<std::uint8_t>(Integer(Member(object, key)));
}

std::uint16_t JsonFields::U16(const Json::Value& object, const char* key) {
    return static_cast<std::uint16_t>(Integer(Member(object, key)));
}

std::int32_t JsonFields::I32(const Json::Value& object, const char* key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Integer(Member(object, key))));
}

std::uint8_t JsonFields::Flag(const Json::Value& object, const char* key) { return Truth(Member(object, key)); }

std::string JsonFields::String(const Json::Value& object, const char* key) {
    const Json::Value& value = Member(object, key);
    return value.isString() ? value.asString() : std::string();
}

const Json::Value& JsonFields::Section(Json::Value& entry, const char* key) {
    if (!entry.isObject()) return Json::Value::nullSingleton();
    return entry[key];
}

Json::Value& JsonFields::Field(Json::Value& object, const char* key) {
    if (!object.isObject()) object = Json::Value(Json::objectValue);
    return object[key];
}

Json::Value& JsonFields::Slot(Json::Value& array, std::size_t index) {
    if (!array.isArray()) array = Json::Value(Json::arrayValue);
    return array[static_cast<Json::ArrayIndex>(index)];
}

}  // namespace lumora
