#include "ui/xml_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "ui/paint_manager_ui.h"

namespace lumora {

std::string XmlSource::ResolvePath(std::string_view file) {
    std::string path(file);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path.front() == '/') return path;
    std::string base = CPaintManagerUI::GetResourcePath();
    std::replace(base.begin(), base.end(), '\\', '/');
    if (!base.empty() && base.back() != '/') base += '/';
    return base + path;
}

std::unique_ptr<XmlSource> XmlSource::Load(std::string_view file_or_xml, UiLoadError* error) {
    std::size_t first = 0;
    while (first < file_or_xml.size() && (file_or_xml[first] == ' ' || file_or_xml[first] == '\n' ||
                                          file_or_xml[first] == '\r' || file_or_xml[first] == '\t')) {
        ++first;
    }
    if (first < file_or_xml.size() && file_or_xml[first] == '<') return LoadText(file_or_xml, "<string>", error);
    return LoadFile(ResolvePath(file_or_xml), error);
}

std::unique_ptr<XmlSource> XmlSource::LoadFile(const std::string& path, UiLoadError* error) {
    auto fail = [&](std::string message) -> std::unique_ptr<XmlSource> {
        if (error) *error = UiLoadError{path, 0, std::move(message)};
        return nullptr;
    };
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(std::string("cannot open: ") + std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return fail("cannot read");
    if (static_cast<std::size_t>(size) > kMaxBytes) return fail("file too large");
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(text.data(), size)) return fail("cannot read");
    return LoadText(text, path, error);
}

std::unique_ptr<XmlSource> XmlSource::LoadText(std::string_view text, std::string name, UiLoadError* error) {
    if (text.size() > kMaxBytes) {
        if (error) *error = UiLoadError{name, 0, "document too large"};
        return nullptr;
    }
    auto source = std::make_unique<XmlSource>();
    source->name_ = std::move(name);
    // A UTF-8 byte order mark is skipped; offsets then match the text we keep.
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF) {
        text.remove_prefix(3);
    }
    source->text_.assign(text);
    const auto result = source->doc_.load_buffer(source->text_.data(), source->text_.size(),
                                                 pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        if (error) {
            *error = UiLoadError{source->name_, source->LineAtOffset(result.offset),
                                 std::string("malformed XML: ") + result.description()};
        }
        return nullptr;
    }
    if (!source->doc_.document_element()) {
        if (error) *error = UiLoadError{source->name_, 1, "no root element"};
        return nullptr;
    }
    return source;
}

int XmlSource::LineAtOffset(std::ptrdiff_t offset) const {
    if (offset < 0) return 0;
    const std::size_t end = std::min(static_cast<std::size_t>(offset), text_.size());
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

int XmlSource::LineOf(const pugi::xml_node& node) const { return LineAtOffset(node.offset_debug()); }

}  // namespace lumora
