#include "ui/dialog_builder.h"

#include <algorithm>

#include "platform/logger.h"
#include "ui/container_ui.h"
#include "ui/control_factory.h"
#include "ui/control_ui.h"
#include "ui/dialog_builder_callback.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"
#include "ui/ui_text.h"
#include "ui/xml_source.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";
constexpr std::size_t kMaxWarnings = 100;

bool Is(const pugi::xml_node& node, std::string_view name) { return UiText::EqualsNoCase(node.name(), name); }

bool IsResourceElement(const pugi::xml_node& node) {
    return Is(node, "Font") || Is(node, "Image") || Is(node, "Default") || Is(node, "Style");
}
}  // namespace

struct CDialogBuilder::Sink {
    CContainerUI* container = nullptr;
    std::vector<std::unique_ptr<CControlUI>>* list = nullptr;
    CControlUI* first = nullptr;

    CControlUI* Add(std::unique_ptr<CControlUI> control) {
        CControlUI* raw = nullptr;
        if (container) {
            raw = container->Add(std::move(control));
        } else if (list) {
            raw = control.get();
            list->push_back(std::move(control));
        }
        if (raw && !first) first = raw;
        return raw;
    }
};

std::unique_ptr<CControlUI> CDialogBuilder::Create(std::string_view xml, std::string_view /*type*/,
                                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager) {
    std::vector<std::unique_ptr<CControlUI>> built;
    Sink sink;
    sink.list = &built;
    if (!Build(xml, callback, manager, sink)) return nullptr;
    if (built.size() > 1) {
        LOG_WARNING(kTag, "%s: %zu top-level controls, only the first is used", error_.file.c_str(), built.size());
    }
    return std::move(built.front());
}

CControlUI* CDialogBuilder::CreateInto(std::string_view xml, std::string_view /*type*/,
                                       IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                       CContainerUI* parent) {
    if (!parent) {
        error_ = UiLoadError{std::string(xml.substr(0, 200)), 0, "no parent to build into"};
        return nullptr;
    }
    // Built aside first so that a broken skin leaves the parent as it was.
    std::vector<std::unique_ptr<CControlUI>> built;
    Sink sink;
    sink.list = &built;
    if (!Build(xml, callback, manager, sink)) return nullptr;
    CControlUI* first = nullptr;
    for (auto& control : built) {
        CControlUI* raw = parent->Add(std::move(control));
        if (!first) first = raw;
    }
    return first;
}

std::unique_ptr<XmlSource> CDialogBuilder::Open(std::string_view xml) {
    UiLoadError error;
    std::unique_ptr<XmlSource> source;
    if (!xml.empty() && xml.front() != '<') {
        if (auto path = CResourceManager::GetInstance().GetXmlPath(xml)) {
            source = XmlSource::Load(*path, &error);
            if (!source) error_ = error;
            return source;
        }
    }
    source = XmlSource::Load(xml, &error);
    if (!source) error_ = error;
    return source;
}

bool CDialogBuilder::Build(std::string_view xml, IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                           Sink& sink) {
    callback_ = callback;
    manager_ = manager;
    controls_ = 0;
    error_ = {};
    warnings_.clear();
    auto source = Open(xml);
    if (!source) {
        LOG_ERROR(kTag, "skin not built: %s", error_.ToString().c_str());
        return false;
    }
    if (!ParseDocument(*source, sink, 0)) {
        LOG_ERROR(kTag, "skin not built: %s", error_.ToString().c_str());
        return false;
    }
    if (!sink.first) {
        Fail(*source, source->Document().document_element(), "no control in skin");
        LOG_ERROR(kTag, "skin not built: %s", error_.ToString().c_str());
        return false;
    }
    error_.file = source->Name();
    return true;
}

bool CDialogBuilder::ParseDocument(const XmlSource& source, Sink& sink, int include_depth) {
    const pugi::xml_node root = source.Document().document_element();
    if (Is(root, "Window")) {
        if (include_depth == 0) ApplyWindow(source, root);
        return ParseChildren(source, root, sink, 1, include_depth);
    }
    return ParseElement(source, root, sink, 1, include_depth);
}

void CDialogBuilder::ApplyWindow(const XmlSource& source, const pugi::xml_node& window) {
    if (!manager_) return;
    for (const pugi::xml_attribute& a : window.attributes()) {
        manager_->SetWindowAttribute(a.name(), a.value());
        if (UiText::EqualsNoCase(a.name(), "size")) {
            if (auto r = UiText::ParseRect(a.value())) manager_->SetInitSize(r->left, r->top);
        }
    }
    for (pugi::xml_node child = window.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element || !IsResourceElement(child)) continue;
        const bool shared = child.attribute("shared").as_bool(false);
        if (Is(child, "Font")) {
            const int id = child.attribute("id").as_int(-1);
            const char* face = child.attribute("name").as_string();
            const int size = std::clamp(child.attribute("size").as_int(12), 1, 1000);
            const bool bold = child.attribute("bold").as_bool(false);
            const bool underline = child.attribute("underline").as_bool(false);
            const bool italic = child.attribute("italic").as_bool(false);
            if (child.attribute("default").as_bool(false)) {
                manager_->SetDefaultFont(face, size, bold, underline, italic, shared);
            } else if (id >= 0) {
                manager_->AddFont(id, face, size, bold, underline, italic, shared);
            } else {
                Warn(source, child, "font without id ignored");
            }
        } else if (Is(child, "Image")) {
            std::string attributes;
            for (const pugi::xml_attribute& a : child.attributes()) {
                attributes += std::string(a.name()) + "=\"" + a.value() + "\" ";
            }
            manager_->AddImage(child.attribute("name").as_string(), attributes);
        } else if (Is(child, "Default")) {
            manager_->AddDefaultAttributeList(child.attribute("name").as_string(), child.attribute("value").as_string(),
                                              shared);
        } else if (Is(child, "Style")) {
            manager_->AddStyle(child.attribute("name").as_string(), child.attribute("value").as_string(), shared);
        }
    }
}

bool CDialogBuilder::ParseChildren(const XmlSource& source, const pugi::xml_node& node, Sink& sink, int depth,
                                   int include_depth) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (IsResourceElement(child) || Is(child, "Window")) continue;
        if (Is(child, "Include")) {
            if (!ParseInclude(source, child, sink, depth, include_depth)) return false;
            continue;
        }
        if (!ParseElement(source, child, sink, depth, include_depth)) return false;
    }
    return true;
}

bool CDialogBuilder::ParseInclude(const XmlSource& source, const pugi::xml_node& node, Sink& sink, int /*depth*/,
                                  int include_depth) {
    const std::string file = node.attribute("source").as_string();
    if (file.empty()) return Fail(source, node, "Include without source");
    if (include_depth + 1 > kMaxIncludeDepth) return Fail(source, node, "Include nested too deep: " + file);
    const int count = node.attribute("count").as_int(1);
    if (count < 1 || count > 1000) return Fail(source, node, "Include count out of range: " + file);
    const UiLoadError before = error_;
    auto included = Open(file);
    if (!included) {
        // The included file's own error (its line) if it is malformed; else where it was named.
        if (error_.line == 0) {
            const std::string reason = error_.message;
            return Fail(source, node, "cannot include " + file + ": " + reason);
        }
        return false;
    }
    error_ = before;
    for (int i = 0; i < count; ++i) {
        if (!ParseDocument(*included, sink, include_depth + 1)) return false;
    }
    return true;
}

bool CDialogBuilder::ParseElement(const XmlSource& source, const pugi::xml_node& node, Sink& sink, int depth,
                                  int include_depth) {
    if (depth > kMaxDepth) return Fail(source, node, "controls nested too deep");
    if (++controls_ > kMaxControls) return Fail(source, node, "too many controls");
    const std::string_view name = node.name();
    auto& factory = CControlFactory::GetInstance();
    std::unique_ptr<CControlUI> control = factory.CreateBuiltin(name);
    if (!control && callback_) control = callback_->CreateControl(name);
    if (!control) control = factory.CreateControl(name);
    if (!control) {
        Warn(source, node, "unknown element <" + std::string(name) + "> skipped");
        return true;
    }
    if (CContainerUI* container = control->AsContainer()) {
        Sink children;
        children.container = container;
        if (!ParseChildren(source, node, children, depth + 1, include_depth)) return false;
    } else if (node.first_child().type() == pugi::node_element) {
        Warn(source, node, "children of <" + std::string(name) + "> ignored: it is not a container");
    }
    CControlUI* raw = sink.Add(std::move(control));
    if (!raw) {
        Warn(source, node, "<" + std::string(name) + "> not taken by its parent");
        return true;
    }
    if (manager_) {
        if (const std::string* defaults = manager_->GetDefaultAttributeList(name)) {
            const std::string copy = *defaults;
            raw->ApplyAttributeList(copy);
        }
    }
    ApplyAttributes(node, *raw);
    return true;
}

void CDialogBuilder::ApplyAttributes(const pugi::xml_node& node, CControlUI& control) {
    for (const pugi::xml_attribute& a : node.attributes()) {
        if (UiText::EqualsNoCase(a.name(), "style")) {
            control.SetStyle(a.value(), manager_);
        } else {
            control.SetAttribute(a.name(), a.value());
        }
    }
}

bool CDialogBuilder::Fail(const XmlSource& source, const pugi::xml_node& node, std::string message) {
    error_ = UiLoadError{source.Name(), source.LineOf(node), std::move(message)};
    return false;
}

void CDialogBuilder::Warn(const XmlSource& source, const pugi::xml_node& node, std::string message) {
    UiLoadError warning{source.Name(), source.LineOf(node), std::move(message)};
    LOG_WARNING(kTag, "%s", warning.ToString().c_str());
    if (warnings_.size() < kMaxWarnings) warnings_.push_back(std::move(warning));
}

}  // namespace lumora
