#include "ui/resource_manager.h"

#include <functional>

#include "platform/logger.h"
#include "ui/container_ui.h"
#include "ui/control_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/query_control_text.h"
#include "ui/ui_renderer.h"
#include "ui/ui_text.h"
#include "ui/xml_source.h"

namespace lumora {

namespace {
constexpr const char* kTag = "ui";

void InvalidateResourceTexts(CControlUI* control) {
    if (control->IsResourceText()) control->Invalidate();
    if (CContainerUI* container = control->AsContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) InvalidateResourceTexts(container->GetItemAt(i));
    }
}
}  // namespace

CResourceManager& CResourceManager::GetInstance() {
    static CResourceManager instance;
    return instance;
}

bool CResourceManager::LoadResource(std::string_view file_or_xml, std::string_view /*type*/) {
    UiLoadError error;
    auto source = XmlSource::Load(file_or_xml, &error);
    if (!source) {
        LOG_ERROR(kTag, "resource table not loaded: %s", error.ToString().c_str());
        std::unique_lock lock(mutex_);
        last_error_ = error;
        return false;
    }
    std::map<std::string, std::string, std::less<>> xmls;
    std::map<std::string, std::string, std::less<>> images;
    std::function<void(const pugi::xml_node&)> walk = [&](const pugi::xml_node& node) {
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            const char* id = child.attribute("id").as_string();
            const char* path = child.attribute("path").as_string(child.attribute("file").as_string());
            if (*id && *path) {
                // <Xml id= path=/> or <Xml><Item id= path=/></Xml>
                std::string_view kind = child.name();
                if (UiText::EqualsNoCase(kind, "item") || UiText::EqualsNoCase(kind, "file")) kind = node.name();
                if (UiText::EqualsNoCase(kind, "image") || UiText::EqualsNoCase(kind, "img")) {
                    images[id] = path;
                } else {
                    xmls[id] = path;
                }
            }
            walk(child);
        }
    };
    walk(source->Document().document_element());
    std::unique_lock lock(mutex_);
    for (auto& [k, v] : xmls) xml_paths_[k] = v;
    for (auto& [k, v] : images) image_paths_[k] = v;
    last_error_ = {};
    return true;
}

std::optional<std::string> CResourceManager::GetXmlPath(std::string_view id) const {
    std::shared_lock lock(mutex_);
    auto it = xml_paths_.find(id);
    if (it == xml_paths_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> CResourceManager::GetImagePath(std::string_view id) const {
    std::shared_lock lock(mutex_);
    auto it = image_paths_.find(id);
    if (it == image_paths_.end()) return std::nullopt;
    return it->second;
}

void CResourceManager::SetLanguage(std::string_view name) {
    std::unique_lock lock(mutex_);
    language_ = name;
}

std::string CResourceManager::GetLanguage() const {
    std::shared_lock lock(mutex_);
    return language_;
}

bool CResourceManager::LoadLanguage(std::string_view file_or_xml) {
    UiLoadError error;
    auto source = file_or_xml.empty() ? nullptr : XmlSource::Load(file_or_xml, &error);
    if (!source) {
        if (error.Empty()) error = UiLoadError{"", 0, "no language file named"};
        LOG_ERROR(kTag, "language not loaded: %s", error.ToString().c_str());
        std::unique_lock lock(mutex_);
        last_error_ = error;
        return false;
    }
    std::map<std::string, std::string, std::less<>> texts;
    std::function<void(const pugi::xml_node&)> walk = [&](const pugi::xml_node& node) {
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            if (pugi::xml_attribute id = child.attribute("id")) {
                pugi::xml_attribute value = child.attribute("value");
                if (!value) value = child.attribute("text");
                texts[id.as_string()] = value ? value.as_string() : child.text().as_string();
            }
            walk(child);
        }
    };
    walk(source->Document().document_element());
    std::unique_lock lock(mutex_);
    texts_ = std::move(texts);
    last_error_ = {};
    return true;
}

void CResourceManager::ReloadText() {
    for (CPaintManagerUI* manager : CPaintManagerUI::GetPaintManagers()) {
        if (manager->GetRoot()) InvalidateResourceTexts(manager->GetRoot());
        if (IUiRenderer* renderer = CPaintManagerUI::GetRenderer()) renderer->ManagerChanged(*manager);
    }
}

std::optional<std::string> CResourceManager::GetText(std::string_view id, std::string_view type) const {
    IQueryControlText* query = nullptr;
    {
        std::shared_lock lock(mutex_);
        auto it = texts_.find(id);
        if (it != texts_.end()) return it->second;
        query = query_;
    }
    if (query) return query->QueryControlText(id, type);
    return std::nullopt;
}

std::string CResourceManager::Text(std::string_view id) const {
    if (auto text = GetText(id)) return *text;
    return std::string(id);
}

void CResourceManager::SetTextQueryInterface(IQueryControlText* query) {
    std::unique_lock lock(mutex_);
    query_ = query;
}

void CResourceManager::Release() {
    std::unique_lock lock(mutex_);
    xml_paths_.clear();
    image_paths_.clear();
    texts_.clear();
    language_.clear();
    query_ = nullptr;
    last_error_ = {};
}

UiLoadError CResourceManager::LastError() const {
    std::shared_lock lock(mutex_);
    return last_error_;
}

}  // namespace lumora
