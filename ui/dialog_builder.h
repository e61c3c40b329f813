#pragma once
// Builds control trees from XML skins (pugixml). Element names are compared
// without regard to case. A <Window> root carries the window's attributes and its
// <Font>, <Image>, <Default> and <Style> entries for the paint manager; other
// elements are controls, created from the library's element names, then by the
// callback, then by the control factory. <Include source="file" count="n"/> puts
// the controls of another file in its place.
//
// Order per element, as in DuiLib: its children are built first, then it is added
// to its parent, then the class defaults and its own attributes are applied.
//
// A skin that cannot be read or is not well-formed gives no tree and an error
// naming the file and line; unknown elements are skipped with a warning.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui_load_error.h"

namespace pugi {
class xml_node;
}

namespace lumora {

class CContainerUI;
class CControlUI;
class CPaintManagerUI;
class IDialogBuilderCallback;
class XmlSource;

class CDialogBuilder {
public:
    static constexpr int kMaxDepth = 128;
    static constexpr int kMaxIncludeDepth = 8;
    static constexpr int kMaxControls = 100000;

    // xml: inline XML (starts with '<'), a resource id of the resource table, or a
    // file under the resource path. Returns the first top-level control.
    std::unique_ptr<CControlUI> Create(std::string_view xml, std::string_view type = {},
                                       IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr);
    // Builds into parent (which owns the controls); returns the first one added.
    CControlUI* CreateInto(std::string_view xml, std::string_view type, IDialogBuilderCallback* callback,
                           CPaintManagerUI* manager, CContainerUI* parent);

    const UiLoadError& GetError() const { return error_; }
    const std::vector<UiLoadError>& GetWarnings() const { return warnings_; }

private:
    struct Sink;
    bool Build(std::string_view xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager, Sink& sink);
    bool ParseDocument(const XmlSource& source, Sink& sink, int include_depth);
    bool ParseChildren(const XmlSource& source, const pugi::xml_node& node, Sink& sink, int depth, int include_depth);
    bool ParseElement(const XmlSource& source, const pugi::xml_node& node, Sink& sink, int depth, int include_depth);
    bool ParseInclude(const XmlSource& source, const pugi::xml_node& node, Sink& sink, int depth, int include_depth);
    void ApplyWindow(const XmlSource& source, const pugi::xml_node& window);
    void ApplyAttributes(const pugi::xml_node& node, CControlUI& control);
    bool Fail(const XmlSource& source, const pugi::xml_node& node, std::string message);
    void Warn(const XmlSource& source, const pugi::xml_node& node, std::string message);
    std::unique_ptr<XmlSource> Open(std::string_view xml);

    IDialogBuilderCallback* callback_ = nullptr;
    CPaintManagerUI* manager_ = nullptr;
    int controls_ = 0;
    UiLoadError error_;
    std::vector<UiLoadError> warnings_;
};

}  // namespace lumora
