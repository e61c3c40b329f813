#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/check_box_ui.h"
#include "ui/color_palette_ui.h"
#include "ui/combo_ui.h"
#include "ui/container_ui.h"
#include "ui/edit_ui.h"
#include "ui/list_label_element_ui.h"
#include "ui/list_text_element_ui.h"
#include "ui/list_ui.h"
#include "ui/option_ui.h"
#include "ui/slider_ui.h"
#include "ui/tab_layout_ui.h"

namespace lumora::test {
namespace {

using namespace std::chrono_literals;

class ControlsTest : public UiTest {};

std::string Act(CControlUI* c, std::string_view type, std::string_view value = {}) {
    std::string error;
    return c->PerformUserAction(type, value, &error) ? "ok" : error;
}

TEST_F(ControlsTest, LookupIsFirstInTreeOrderAndFollowsTreeChanges) {
    auto w = OpenWindow(R"(<VerticalLayout name="root">
        <HorizontalLayout name="page1"><Button name="dup" text="1"/></HorizontalLayout>
        <HorizontalLayout name="page2"><Button name="dup" text="2"/><Label name="only2"/></HorizontalLayout>
      </VerticalLayout>)");
    auto& pm = w->GetPaintManager();
    EXPECT_EQ(pm.FindControl("dup")->GetText(), "1");
    CControlUI* page2 = pm.FindControl("page2");
    CControlUI* dup2 = pm.FindSubControlByName(page2, "dup");
    EXPECT_EQ(dup2->GetText(), "2");
    // The page filter: the lookup inside the page finds the sender only for its own controls.
    EXPECT_NE(pm.FindSubControlByName(page2, "dup"), pm.FindControl("dup"));
    EXPECT_EQ(pm.FindSubControlByClass(pm.GetRoot(), "buttonui", 1), dup2);
    EXPECT_EQ(pm.FindSubControlsByClass(pm.GetRoot(), "ButtonUI").size(), 2u);

    auto* container = pm.FindControl("page1")->AsContainer();
    ASSERT_TRUE(container->Remove(container->GetItemAt(0)));
    EXPECT_EQ(pm.FindControl("dup"), dup2);
    dup2->SetName("renamed");
    EXPECT_EQ(pm.FindControl("dup"), nullptr);
    EXPECT_EQ(pm.FindControl("renamed"), dup2);
    auto added = container->Add(std::make_unique<CControlUI>());
    added->SetName("only2");
    EXPECT_EQ(pm.FindControl("only2"), added);  // page1 comes first in tree order
}

TEST_F(ControlsTest, ButtonClickNotifiesOnlyWhenReachable) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Button name="b"/><Button name="off" enabled="false"/>
        <HorizontalLayout name="box" enabled="false"><Button name="inner"/></HorizontalLayout>
        <HorizontalLayout name="nomouse" mousechild="false"><Button name="shielded"/></HorizontalLayout>
        <Button name="gone" visible="false"/>
      </VerticalLayout>)");
    EXPECT_EQ(Act(Find(*w, "b"), "click"), "ok");
    EXPECT_NE(Act(Find(*w, "off"), "click"), "ok");
    EXPECT_NE(Act(Find(*w, "inner"), "click"), "ok");
    EXPECT_NE(Act(Find(*w, "shielded"), "click"), "ok");
    EXPECT_NE(Act(Find(*w, "gone"), "click"), "ok");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"click", "b", 0, 0}}));
}

TEST_F(ControlsTest, OptionGroupSelectsOneAndNotifiesOnlyRealChanges) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Option name="a" group="g" selected="true"/><Option name="b" group="g"/><Option name="c" group="g"/>
        <CheckBox name="chk"/>
      </VerticalLayout>)");
    auto* a = Find<COptionUI>(*w, "a");
    auto* b = Find<COptionUI>(*w, "b");
    auto* c = Find<COptionUI>(*w, "c");
    auto* chk = Find<CCheckBoxUI>(*w, "chk");

    EXPECT_EQ(Act(b, "click"), "ok");
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"click", "b", 0, 0}, {"selectchanged", "b", 0, 0}}));

    EXPECT_EQ(Act(b, "click"), "ok");  // already selected: a click, no change
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"click", "b", 0, 0}}));
    EXPECT_EQ(Act(b, "selectchanged", "true"), "ok");  // nothing to do
    EXPECT_NE(Act(b, "selectchanged", "false"), "ok");
    EXPECT_TRUE(w->recorder.Take().empty());

    c->Selected(true, false);  // the program, without notification
    EXPECT_TRUE(c->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    EXPECT_TRUE(w->recorder.Take().empty());

    EXPECT_EQ(Act(chk, "selectchanged"), "ok");
    EXPECT_TRUE(chk->GetCheck());
    EXPECT_EQ(Act(chk, "click"), "ok");
    EXPECT_FALSE(chk->GetCheck());
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"click", "chk", 0, 0},
                                                     {"selectchanged", "chk", 0, 0},
                                                     {"click", "chk", 0, 0},
                                                     {"selectchanged", "chk", 0, 0}}));
}

TEST_F(ControlsTest, TabLayoutShowsOnePageAndBoundOptionsSwitchIt) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Option name="tab0" group="t" bindtablayoutname="pages" bindtabindex="0"/>
        <Option name="tab2" group="t" bindtablayoutname="pages" bindtabindex="2"/>
        <TabLayout name="pages" selectedid="1">
          <Label name="p0"/><Label name="p1"/><Label name="p2"/>
        </TabLayout>
      </VerticalLayout>)");
    auto* tabs = Find<CTabLayoutUI>(*w, "pages");
    auto shown = [&] {
        std::string s;
        for (int i = 0; i < tabs->GetCount(); ++i) s += tabs->GetItemAt(i)->IsVisible() ? '1' : '0';
        return s;
    };
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(shown(), "010");
    EXPECT_EQ(Act(Find(*w, "tab2"), "click"), "ok");
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_EQ(shown(), "001");
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_EQ(shown(), "001");
    auto seen = w->recorder.Take();
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{"tabselect", "pages", 2, 1}), seen.end());

    // Removing the shown page shows the one now in its place (or the last).
    tabs->RemoveAt(2);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(shown(), "01");
    tabs->AddAt(std::make_unique<CControlUI>(), 0);  // inserted before: selection moves along
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_EQ(shown(), "001");
}

TEST_F(ControlsTest, SliderAndProgressKeepValuesInRangeAndSliderNotifiesUserMoves) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Slider name="s" min="1" max="5" value="9"/><Progress name="p" max="50"/>
      </VerticalLayout>)");
    auto* s = Find<CSliderUI>(*w, "s");
    auto* p = Find<CProgressUI>(*w, "p");
    EXPECT_EQ(s->GetValue(), 5);
    s->SetValue(-3);
    EXPECT_EQ(s->GetValue(), 1);
    p->SetValue(40);
    p->SetMaxValue(30);
    EXPECT_EQ(p->GetValue(), 30);
    EXPECT_TRUE(w->recorder.Take().empty());

    EXPECT_EQ(Act(s, "movevaluechanged", "3"), "ok");
    EXPECT_EQ(s->GetValue(), 3);
    EXPECT_EQ(Act(s, "valuechanged", "70"), "ok");  // the thumb stops at the end
    EXPECT_EQ(s->GetValue(), 5);
    EXPECT_NE(Act(s, "valuechanged", "x"), "ok");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"movevaluechanged", "s", 0, 0}, {"valuechanged", "s", 0, 0}}));
}

TEST_F(ControlsTest, ComboAndListSelectionNotifyItemSelectAndFollowRemovals) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Combo name="combo">
          <ListLabelElement text="zero" userdata="0"/><ListLabelElement text="one" userdata="1"/>
          <ListLabelElement text="two" userdata="2" visible="false"/><ListLabelElement text="three"/>
        </Combo>
        <List name="list">
          <ListTextElement name="r0" text="a"/><ListContainerElement name="r1"><Label name="cell"/></ListContainerElement>
          <ListTextElement name="r2" text="c"/>
        </List>
      </VerticalLayout>)");
    auto* combo = Find<CComboUI>(*w, "combo");
    auto* list = Find<CListUI>(*w, "list");
    EXPECT_EQ(combo->GetCurSel(), -1);
    EXPECT_EQ(Act(combo, "itemselect", "1"), "ok");
    EXPECT_EQ(combo->GetText(), "one");
    EXPECT_NE(Act(combo, "itemselect", "2"), "ok");  // hidden row
    EXPECT_NE(Act(combo, "itemselect", "7"), "ok");
    combo->SelectItem(3, false, false);  // the program, quietly
    EXPECT_EQ(combo->GetText(), "three");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"itemselect", "combo", 1, -1}}));

    // A click on a row selects it in its list and reports the click.
    EXPECT_EQ(Act(Find(*w, "r1"), "click"), "ok");
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetScrollState(), "row 1");
    EXPECT_EQ(Act(Find(*w, "r1"), "itemactivate"), "ok");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"itemselect", "list", 1, -1},
                                                     {"itemclick", "r1", 0, 0},
                                                     {"itemactivate", "r1", 0, 0}}));

    // Removing the selected row selects the row now in its place, with notification.
    list->RemoveAt(1);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetItemAt(1)->GetName(), "r2");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"itemselect", "list", 1, -1}}));
    list->RemoveAt(0);  // before the selection: it moves, silently
    EXPECT_EQ(list->GetCurSel(), 0);
    list->RemoveAll();
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_TRUE(w->recorder.Take().empty());
    // Only rows go into a list.
    EXPECT_EQ(list->Add(std::make_unique<CControlUI>()), nullptr);
    auto row = std::make_unique<CListTextElementUI>();
    row->SetText(2, "col2");
    auto* added = static_cast<CListTextElementUI*>(list->Add(std::move(row)));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetText(2), "col2");
    EXPECT_EQ(added->GetIndex(), 0);
}

TEST_F(ControlsTest, EditTakesTypedTextByItsRules) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Edit name="num" numberonly="true" maxchar="6"/><Edit name="ro" readonly="true"/>
        <Edit name="cjk" maxchar="2"/>
      </VerticalLayout>)");
    auto* num = Find<CEditUI>(*w, "num");
    EXPECT_EQ(Act(num, "textchanged", "12a34567x89"), "ok");
    EXPECT_EQ(num->GetText(), "123456");
    EXPECT_NE(Act(Find(*w, "ro"), "textchanged", "x"), "ok");
    EXPECT_EQ(Act(Find(*w, "cjk"), "textchanged", "\xE6\xB5\x8B\xE8\xAF\x95\xE5\x95\x8A"), "ok");
    EXPECT_EQ(Find(*w, "cjk")->GetText(), "\xE6\xB5\x8B\xE8\xAF\x95");  // two characters, not bytes
    num->SetText("abc");  // the program sets what it likes, quietly
    EXPECT_EQ(num->GetText(), "abc");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"setfocus", "num", 0, 0},
                                                     {"textchanged", "num", 0, 0},
                                                     {"killfocus", "num", 0, 0},
                                                     {"setfocus", "cjk", 0, 0},
                                                     {"textchanged", "cjk", 0, 0}}));
    // Leaving a field the user never entered: in, then out.
    EXPECT_EQ(Act(num, "killfocus"), "ok");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"killfocus", "cjk", 0, 0},
                                                     {"setfocus", "num", 0, 0},
                                                     {"killfocus", "num", 0, 0}}));
}

TEST_F(ControlsTest, ControlTimersRepeatUntilKilledAndDieWithTheControl) {
    auto w = OpenWindow(R"(<VerticalLayout><Button name="tab"/><Button name="other"/></VerticalLayout>)");
    CControlUI* tab = Find(*w, "tab");
    ASSERT_TRUE(tab->SetTimer(1000, 5));
    loop_.RunFor(50ms);
    EXPECT_EQ(w->recorder.timers, 10);
    tab->KillTimer(1000);
    loop_.RunFor(50ms);
    EXPECT_EQ(w->recorder.timers, 10);

    tab->SetTimer(1001, 500);
    w->GetPaintManager().GetRoot()->AsContainer()->Remove(tab);
    loop_.RunFor(1s);
    EXPECT_EQ(w->recorder.timers, 10);
}

TEST_F(ControlsTest, HandlerMayRemoveTheSenderOfItsNotification) {
    auto w = OpenWindow(R"(<VerticalLayout name="root"><Option name="victim"/></VerticalLayout>)");
    w->OnNotify("click", "victim", [&](TNotifyUI& msg) {
        w->GetPaintManager().GetRoot()->AsContainer()->Remove(msg.pSender);
    });
    // The option still runs its own code after "click": it must not be gone yet.
    EXPECT_EQ(Act(Find(*w, "victim"), "click"), "ok");
    EXPECT_EQ(w->FindControl("victim"), nullptr);
    loop_.RunUntilIdle();
}

TEST_F(ControlsTest, AsyncNotificationIsDroppedWhenTheSenderIsGone) {
    auto w = OpenWindow(R"(<VerticalLayout><Button name="a"/><Button name="b"/></VerticalLayout>)");
    auto& pm = w->GetPaintManager();
    pm.SendNotify(pm.FindControl("a"), "later", 1, 2, true);
    pm.SendNotify(pm.FindControl("b"), "later", 3, 4, true);
    EXPECT_TRUE(w->recorder.seen.empty());
    pm.GetRoot()->AsContainer()->Remove(pm.FindControl("b"));
    loop_.RunUntilIdle();
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"later", "a", 1, 2}}));
}

TEST_F(ControlsTest, PropertiesByNameForAutomation) {
    auto w = OpenWindow(R"(<VerticalLayout>
        <Label name="l" text="hello"/><Slider name="s" max="10"/><Option name="o"/>
        <ColorPalette name="pal"/><Combo name="c"><ListLabelElement text="x"/></Combo>
      </VerticalLayout>)");
    struct Case {
        const char* control;
        const char* property;
        const char* value;
        const char* read_back;  // null: the set must fail
    };
    const Case cases[] = {
        {"l", "text", "changed", "changed"},
        {"l", "visible", "false", "false"},
        {"l", "visible", "maybe", nullptr},
        {"l", "enabled", "0", "false"},
        {"l", "bkcolor", "#FF102030", "#FF102030"},
        {"l", "bkcolor", "red", nullptr},
        {"l", "class", "ButtonUI", nullptr},
        {"l", "nonsense", "1", nullptr},
        {"l", "userdata", "{\"Guid\":1}", "{\"Guid\":1}"},
        {"s", "value", "7", "7"},
        {"s", "value", "70", "10"},
        {"s", "max", "5", "5"},
        {"o", "selected", "true", "true"},
        {"pal", "colour", "#FF00FF00", "#FF00FF00"},
        {"c", "cursel", "0", "0"},
        {"c", "cursel", "4", nullptr},
    };
    for (const auto& c : cases) {
        CControlUI* control = Find(*w, c.control);
        std::string error;
        const bool ok = control->SetProperty(c.property, c.value, &error);
        if (!c.read_back) {
            EXPECT_FALSE(ok) << c.control << "." << c.property << "=" << c.value;
            EXPECT_FALSE(error.empty());
            continue;
        }
        ASSERT_TRUE(ok) << c.control << "." << c.property << ": " << error;
        EXPECT_EQ(control->GetProperty(c.property), c.read_back) << c.control << "." << c.property;
    }
    EXPECT_EQ(Find(*w, "s")->GetProperty("class"), "SliderUI");
    EXPECT_TRUE(w->recorder.Take().empty());  // setting properties notifies nothing
    EXPECT_EQ(Act(Find(*w, "pal"), "colorchanged", "#FF0000FF"), "ok");
    EXPECT_EQ(w->recorder.Take(), (std::vector<Seen>{{"colorchanged", "pal", 0, 0}}));
}

}  // namespace
}  // namespace lumora::test
