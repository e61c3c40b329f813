#include "ui/resource_manager.h"

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/edit_ui.h"
#include "ui/query_control_text.h"

namespace lumora::test {
namespace {

class ResourceTest : public UiTest {};

class Query : public IQueryControlText {
public:
    std::optional<std::string> QueryControlText(std::string_view id, std::string_view) override {
        if (id == "asked") return std::string("from query");
        return std::nullopt;
    }
};

TEST_F(ResourceTest, ResourceTextFollowsTheLanguage) {
    WriteFile("lan_cn.xml", R"(<Language><Text id="NeedUpdateText" value="需要更新"/>
        <Text id="tip">提示</Text></Language>)");
    WriteFile("lan_en.xml", R"(<Language><Text id="NeedUpdateText" value="Update available"/></Language>)");
    auto& res = CResourceManager::GetInstance();
    ASSERT_TRUE(res.LoadLanguage("lan_cn.xml"));
    res.SetLanguage("cn");
    auto w = OpenWindow(R"(<VerticalLayout>
        <Label name="l" text="NeedUpdateText" resourcetext="true"/>
        <Edit name="e" tipvalue="tip" resourcetext="true"/>
        <Label name="plain" text="NeedUpdateText"/>
      </VerticalLayout>)");
    EXPECT_EQ(w->FindControl("l")->GetText(), "需要更新");
    EXPECT_EQ(Find<CEditUI>(*w, "e")->GetTipValue(), "提示");
    EXPECT_EQ(w->FindControl("plain")->GetText(), "NeedUpdateText");

    ASSERT_TRUE(res.LoadLanguage("lan_en.xml"));
    res.SetLanguage("en");
    res.ReloadText();
    EXPECT_EQ(res.GetLanguage(), "en");
    EXPECT_EQ(w->FindControl("l")->GetText(), "Update available");
    EXPECT_EQ(w->FindControl("l")->GetTextSource(), "NeedUpdateText");
    EXPECT_EQ(Find<CEditUI>(*w, "e")->GetTipValue(), "tip");  // not in this language: the id
}

TEST_F(ResourceTest, LookupFallsBackToQueryThenIdentifier) {
    WriteFile("lan.xml", R"(<Language><Text id="known" value="K"/></Language>)");
    auto& res = CResourceManager::GetInstance();
    ASSERT_TRUE(res.LoadLanguage("lan.xml"));
    Query query;
    res.SetTextQueryInterface(&query);
    const TextLookup& lookup = res;
    EXPECT_EQ(lookup.Text("known"), "K");
    EXPECT_EQ(lookup.Text("asked"), "from query");
    EXPECT_EQ(lookup.Text("message_text_16"), "message_text_16");
    EXPECT_FALSE(res.GetText("message_text_16").has_value());
    res.SetTextQueryInterface(nullptr);
}

TEST_F(ResourceTest, BrokenLanguageFileKeepsTextsAndNamesFileAndLine) {
    WriteFile("good.xml", R"(<Language><Text id="a" value="A"/></Language>)");
    WriteFile("bad.xml", "<Language>\n<Text id=\"a\" value=\"B\"/>\n<Text id=\"b\" value=\"x>\n</Language>\n");
    auto& res = CResourceManager::GetInstance();
    ASSERT_TRUE(res.LoadLanguage("good.xml"));
    EXPECT_FALSE(res.LoadLanguage("bad.xml"));
    const UiLoadError error = res.LastError();
    EXPECT_NE(error.file.find("bad.xml"), std::string::npos);
    EXPECT_GE(error.line, 3);
    EXPECT_EQ(res.Text("a"), "A");
    EXPECT_FALSE(res.LoadLanguage("missing.xml"));
    EXPECT_FALSE(res.LoadLanguage(""));
    EXPECT_EQ(res.Text("a"), "A");
}

}  // namespace
}  // namespace lumora::test
