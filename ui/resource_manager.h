#pragma once
// The library's resources: the resource table ("res.xml": resource id -> file for
// skins and images) and the language texts (identifier -> text of the current
// language). It is the program's TextLookup. One instance per process.
//
// Language file: any root element; every element with an "id" attribute is one
// text, taken from its "value" attribute, else its "text" attribute, else its
// content: <Language><Text id="message_text_7" value="..."/></Language>.

#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>

#include "platform/text_lookup.h"
#include "ui/ui_load_error.h"

namespace lumora {

class IQueryControlText;

class CResourceManager : public TextLookup {
public:
    static CResourceManager& GetInstance();

    // Reads the resource table. false (and LastError) when it cannot be read.
    bool LoadResource(std::string_view file_or_xml, std::string_view type = {});
    std::optional<std::string> GetXmlPath(std::string_view id) const;
    std::optional<std::string> GetImagePath(std::string_view id) const;

    void SetLanguage(std::string_view name);
    std::string GetLanguage() const;
    // Replaces the texts with those of the file. On failure the texts in force stay
    // and LastError names the file and line.
    bool LoadLanguage(std::string_view file_or_xml);
    // Every control showing a language text is redrawn with the current texts.
    void ReloadText();

    // The text of the language, else what the query interface gives, else nothing.
    std::optional<std::string> GetText(std::string_view id, std::string_view type = {}) const;
    // TextLookup: the text, or the identifier itself when unknown.
    std::string Text(std::string_view id) const override;
    void SetTextQueryInterface(IQueryControlText* query);

    // Forgets resources, texts and language (shutdown, tests).
    void Release();
    UiLoadError LastError() const;

private:
    CResourceManager() = default;

    mutable std::shared_mutex mutex_;
    std::map<std::string, std::string, std::less<>> xml_paths_;
    std::map<std::string, std::string, std::less<>> image_paths_;
    std::map<std::string, std::string, std::less<>> texts_;
    std::string language_;
    IQueryControlText* query_ = nullptr;
    UiLoadError last_error_;
};

}  // namespace lumora
