#pragma once
// One XML document of the UI (skin, include, resource table, language file) loaded
// whole from a file under the resource path or from inline text, with what is
// needed to name file and line in errors.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "ui/ui_load_error.h"

namespace lumora {

class XmlSource {
public:
    // Larger skins than this are refused rather than read into memory.
    static constexpr std::size_t kMaxBytes = 8u << 20;

    // Text starting with '<' is inline XML; anything else is a file name, taken as it
    // stands when absolute, else under the resource path ("\" works as "/").
    static std::unique_ptr<XmlSource> Load(std::string_view file_or_xml, UiLoadError* error);
    static std::unique_ptr<XmlSource> LoadFile(const std::string& path, UiLoadError* error);
    static std::unique_ptr<XmlSource> LoadText(std::string_view text, std::string name, UiLoadError* error);
    static std::string ResolvePath(std::string_view file);

    const pugi::xml_document& Document() const { return doc_; }
    const std::string& Name() const { return name_; }
    int LineOf(const pugi::xml_node& node) const;
    int LineAtOffset(std::ptrdiff_t offset) const;

private:
    std::string name_;
    std::string text_;
    pugi::xml_document doc_;
};

}  // namespace lumora
