#pragma once
// Checked access to profile documents. Files are untrusted: a member of the wrong JSON
// type reads like a missing one (0, empty), and nothing here throws.

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumora {

class JsonFields {
public:
    // Read side; never inserts and never throws.
    static const Json::Value& Member(const Json::Value& object, const char* key);
    static const Json::Value& Element(const Json::Value& array, std::size_t index);
    // Signed integer value; true = 1; other types (and non-finite or huge reals) = 0.
    static std::int64_t Integer(const Json::Value& value);
    // 1 for true or any non-zero number, else 0.
    static std::uint8_t Truth(const Json::Value& value);
    // A member read as a signed integer and narrowed to its low bits.
    static std::uint8_t U8(const Json::Value& object, const char* key);
    static std::uint16_t U16(const Json::Value& object, const char* key);
    static std::int32_t I32(const Json::Value& object, const char* key);
    static std::uint8_t Flag(const Json::Value& object, const char* key);
    static std::string String(const Json::Value& object, const char* key);

    // A section of a device entry, looked up the way the JSON library's member access does:
    // on an object entry a missing key is inserted with a null value. Any other entry
    // (null included) is left alone and the result is null.
    static const Json::Value& Section(Json::Value& entry, const char* key);

    // Write side: the container is turned into an object (array) first when it is anything
    // else, so a damaged member is replaced instead of making the library throw.
    static Json::Value& Field(Json::Value& object, const char* key);
    static Json::Value& Slot(Json::Value& array, std::size_t index);
};

}  // namespace lumora
