#include "ui/dialog_builder.h"

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/button_ui.h"
#include "ui/container_ui.h"
#include "ui/control_factory.h"
#include "ui/control_tree_dump.h"
#include "ui/device_key_button_ui.h"
#include "ui/dialog_builder_callback.h"
#include "ui/label_ui.h"
#include "ui/option_ui.h"
#include "ui/select_panel_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora::test {
namespace {

class BuilderTest : public UiTest {};

class KeyboardCallback : public IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(std::string_view name) override {
        ++asked;
        if (UiText::EqualsNoCase(name, "OrvaneKeyboardDevice")) {
            auto page = std::make_unique<CContainerUI>();
            page->SetUserData("keyboard page");
            return page;
        }
        return nullptr;
    }
    int asked = 0;
};

TEST_F(BuilderTest, BuildsTreeWithCaseInsensitiveNamesAttributesAndWindowResources) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    auto root = builder.Create(R"(<window size="800,572" caption="0,0,0,30">
        <Font id="2" name="Verdana" size="18" bold="true"/>
        <Font name="Verdana" size="14" default="true"/>
        <Style name="big" value="height=&quot;40&quot; textcolor=&quot;#FFFF0000&quot;"/>
        <Default name="Button" value="tooltip=&quot;press&quot;"/>
        <VERTICALLAYOUT name="root" bkcolor="#FF112233" padding="1,2,3,4">
          <button name="ok" text="OK" style="big" userdata="u1" width="50"/>
          <HorizontalLayout name="row" visible="false" inset="5,5,5,5">
            <Label name="lbl" text="Label" align="center"/>
          </HorizontalLayout>
        </VERTICALLAYOUT>
      </window>)",
                               {}, nullptr, &pm);
    ASSERT_NE(root, nullptr) << builder.GetError().ToString();
    ASSERT_TRUE(pm.AttachDialog(std::move(root)));
    EXPECT_EQ(pm.GetInitWidth(), 800);
    EXPECT_EQ(pm.GetInitHeight(), 572);
    EXPECT_EQ(pm.GetWindowAttribute("caption"), "0,0,0,30");
    ASSERT_NE(pm.GetFont(2), nullptr);
    EXPECT_EQ(pm.GetFont(2)->size, 18);
    EXPECT_TRUE(pm.GetFont(2)->bold);
    ASSERT_NE(pm.GetDefaultFontInfo(), nullptr);
    EXPECT_EQ(pm.GetDefaultFontInfo()->size, 14);

    CControlUI* rootc = pm.GetRoot();
    EXPECT_EQ(rootc->GetClass(), "VerticalLayoutUI");
    EXPECT_EQ(rootc->GetBkColor(), 0xFF112233u);
    EXPECT_EQ(rootc->GetPadding(), (UiRect{1, 2, 3, 4}));
    auto* ok = dynamic_cast<CButtonUI*>(pm.FindControl("ok"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetText(), "OK");
    EXPECT_EQ(ok->GetUserData(), "u1");
    EXPECT_EQ(ok->GetFixedWidth(), 50);
    EXPECT_EQ(ok->GetFixedHeight(), 40);                    // from the style
    EXPECT_EQ(ok->GetAttribute("textcolor"), "#FFFF0000");  // kept for the renderer
    EXPECT_EQ(ok->GetToolTip(), "press");                   // class default
    EXPECT_FALSE(pm.FindControl("row")->GetVisibleFlag());
    EXPECT_FALSE(pm.FindControl("lbl")->IsVisible());  // inside a hidden container
    EXPECT_EQ(pm.FindControl("lbl")->GetAttribute("align"), "center");
}

TEST_F(BuilderTest, IncludeRepeatsAnotherFileAndResourceIdsNameSkins) {
    WriteFile("xml/row.xml", R"(<HorizontalLayout name="row"><Button name="b"/></HorizontalLayout>)");
    WriteFile("xml/main.xml", R"(<Window><VerticalLayout name="root">
        <Include source="xml\row.xml" count="3"/>
        <Label name="after"/>
      </VerticalLayout></Window>)");
    WriteFile("res.xml", R"(<Res><Xml><Item id="XML_MAIN" path="xml/main.xml"/></Xml>
        <Image id="logo" path="img/logo.png"/></Res>)");
    ASSERT_TRUE(CResourceManager::GetInstance().LoadResource("res.xml"));
    EXPECT_EQ(CResourceManager::GetInstance().GetImagePath("logo"), "img/logo.png");

    CDialogBuilder builder;
    auto root = builder.Create("XML_MAIN");
    ASSERT_NE(root, nullptr) << builder.GetError().ToString();
    auto* container = root->AsContainer();
    ASSERT_EQ(container->GetCount(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(container->GetItemAt(i)->GetName(), "row");
    EXPECT_EQ(container->GetItemAt(3)->GetName(), "after");
}

TEST_F(BuilderTest, CallbackAndFactoryCreateCustomElementsUnknownOnesAreSkipped) {
    auto& factory = CControlFactory::GetInstance();
    for (auto& [name, creator] : CControlFactory::CustomControlClasses()) factory.RegistControl(name, creator);

    KeyboardCallback callback;
    CDialogBuilder builder;
    auto root = builder.Create(R"(<VerticalLayout>
        <orvanekeyboarddevice name="kb"/>
        <SelectPanel name="panel">
          <DeviceKeyButton name="key_3" colour="#00FF00" brightness="200"/>
          <Bogus name="nothing"><Button name="inside_bogus"/></Bogus>
        </SelectPanel>
      </VerticalLayout>)",
                               {}, &callback);
    ASSERT_NE(root, nullptr) << builder.GetError().ToString();
    CPaintManagerUI pm;
    pm.AttachDialog(std::move(root));
    EXPECT_EQ(pm.FindControl("kb")->GetUserData(), "keyboard page");
    auto* panel = dynamic_cast<CSelectPanelUI*>(pm.FindControl("panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetClass(), "SelectPanel");
    ASSERT_EQ(panel->GetCount(), 1);
    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(panel->GetItemAt(0));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetClass(), "DeviceKeyButton");
    EXPECT_EQ(key->GetKeyColor(), 0xFF00FF00u);
    EXPECT_EQ(key->GetBrightness(), 200);
    EXPECT_EQ(pm.FindControl("inside_bogus"), nullptr);
    ASSERT_EQ(builder.GetWarnings().size(), 1u);
    EXPECT_EQ(builder.GetWarnings()[0].line, 5);
    // The factory finds "CXUI" for element X, and only registered names.
    EXPECT_NE(factory.CreateControl("circleprogress"), nullptr);
    EXPECT_EQ(factory.CreateControl("OrvaneMouseDevice"), nullptr);
}

TEST_F(BuilderTest, MalformedSkinsReportFileAndLineAndBuildNothing) {
    WriteFile("broken.xml", "<Window>\n  <VerticalLayout>\n    <Button name=\"a\">\n  </VerticalLayout>\n</Window>\n");
    WriteFile("bad_attr.xml", "<VerticalLayout>\n<Label name=\"x\" text=oops/>\n</VerticalLayout>\n");
    WriteFile("outer.xml", "<VerticalLayout>\n\n  <Include source=\"broken.xml\"/>\n</VerticalLayout>\n");
    WriteFile("missing_include.xml", "<VerticalLayout>\n  <Label/>\n  <Include source=\"nope.xml\"/>\n</VerticalLayout>\n");
    WriteFile("self_include.xml", "<VerticalLayout>\n<Include source=\"self_include.xml\"/>\n</VerticalLayout>\n");
    WriteFile("empty.xml", "");
    struct Case {
        const char* skin;
        const char* file;
        int line;
    };
    const Case cases[] = {
        {"broken.xml", "broken.xml", 4},
        {"bad_attr.xml", "bad_attr.xml", 2},
        {"outer.xml", "broken.xml", 4},  // the error is in the included file
        {"missing_include.xml", "missing_include.xml", 3},
        {"self_include.xml", "self_include.xml", 2},
        {"empty.xml", "empty.xml", 1},
        {"absent.xml", "absent.xml", 0},
        {"<VerticalLayout><Button></VerticalLayout>", "<string>", 1},
    };
    for (const auto& c : cases) {
        CDialogBuilder builder;
        EXPECT_EQ(builder.Create(c.skin), nullptr) << c.skin;
        const UiLoadError& e = builder.GetError();
        EXPECT_NE(e.file.find(c.file), std::string::npos) << c.skin << ": " << e.ToString();
        EXPECT_EQ(e.line, c.line) << c.skin << ": " << e.ToString();
        EXPECT_FALSE(e.message.empty());
    }
}

TEST_F(BuilderTest, BuildIntoParentLeavesParentUntouchedOnError) {
    auto parent = std::make_unique<CContainerUI>();
    CDialogBuilder builder;
    EXPECT_EQ(builder.CreateInto("<Button name='a'/><Broken", {}, nullptr, nullptr, parent.get()), nullptr);
    EXPECT_EQ(parent->GetCount(), 0);
    CControlUI* first = builder.CreateInto(R"(<Window><Button name="a"/><Label name="b"/></Window>)", {}, nullptr,
                                           nullptr, parent.get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetName(), "a");
    EXPECT_EQ(parent->GetCount(), 2);
    EXPECT_EQ(first->GetParent(), parent.get());
}

TEST_F(BuilderTest, TreeDumpShowsClassesNamesTextsAndStates) {
    CDialogBuilder builder;
    auto root = builder.Create(R"(<VerticalLayout name="root">
        <Option name="o" text="say &quot;hi&quot;" selected="true"/>
        <Slider name="s" min="0" max="10" value="4" enabled="false"/>
        <TabLayout name="t"><Label name="p0"/><Label name="p1"/></TabLayout>
      </VerticalLayout>)");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(ControlTreeDump::Dump(*root),
              "VerticalLayoutUI \"root\"\n"
              "  OptionUI \"o\" text=\"say \\\"hi\\\"\" selected\n"
              "  SliderUI \"s\" disabled value=4\n"
              "  TabLayoutUI \"t\" cursel=0\n"
              "    LabelUI \"p0\"\n"
              "    LabelUI \"p1\" hidden\n");
}

}  // namespace
}  // namespace lumora::test
