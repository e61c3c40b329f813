#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/control_tree_dump.h"
#include "ui/menu_cmd.h"
#include "ui/menu_wnd.h"
#include "ui/msg_wnd.h"

namespace lumora::test {
namespace {

class WindowTest : public UiTest {};

constexpr const char* kDialog = R"(<Window size="300,200"><VerticalLayout name="root">
    <Label name="title"/><Button name="ok"/><Button name="no"/>
  </VerticalLayout></Window>)";

// A modal dialog that ends with 7 on "ok" and 3 on "no".
class Dialog : public TestWindow {
public:
    Dialog() : TestWindow(kDialog) {
        OnNotify("click", "ok", [this](TNotifyUI&) { Close(7); });
        OnNotify("click", "no", [this](TNotifyUI&) { Close(3); });
    }
};

TEST_F(WindowTest, WindowInitArrivesOnceAfterFirstShowAndSkinSizeApplies) {
    TestWindow w(kDialog);
    ASSERT_TRUE(w.Create(nullptr, "Halvek", 0, 0, 10, 10, 800, 572));
    EXPECT_FALSE(w.IsWindowVisible());
    EXPECT_EQ(w.GetWindowRect(), (UiRect{10, 10, 310, 210}));
    loop_.RunUntilIdle();
    EXPECT_TRUE(w.recorder.Take().empty());  // hidden windows are not initialised yet
    w.ShowWindow(true);
    w.ShowWindow(false);
    w.ShowWindow(true);
    loop_.RunUntilIdle();
    EXPECT_EQ(w.recorder.Take(), (std::vector<Seen>{{"windowinit", "root", 0, 0}}));
    w.CenterWindow();
    EXPECT_EQ(w.GetWindowRect(), (UiRect{810, 440, 1110, 640}));
}

TEST_F(WindowTest, CloseMayBeRefusedAndDestroyReachesTheWindow) {
    auto w = OpenWindow(kDialog);
    w->refuse_close = true;
    w->Close(1);
    loop_.RunUntilIdle();
    EXPECT_TRUE(w->IsWindow());
    w->refuse_close = false;
    w->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(w->IsWindow());
    ASSERT_GE(w->messages.size(), 2u);
    EXPECT_EQ(w->messages.back().message, WM_DESTROY);
}

TEST_F(WindowTest, SysCommandsMinimiseRestoreAndShow) {
    auto w = OpenWindow(kDialog);
    w->ShowWindow(false);
    w->SendMessage(WM_SYSCOMMAND, SC_RESTORE);  // shows a hidden window
    EXPECT_TRUE(w->IsWindowVisible());
    w->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(w->IsIconic());
    w->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
    EXPECT_FALSE(w->IsIconic());
}

TEST_F(WindowTest, ModalRunsNestedLoopUntilClosedAndReturnsResult) {
    auto owner = OpenWindow(kDialog);
    Dialog dialog;
    ASSERT_TRUE(dialog.Create(owner.get(), "", 0, 0, 0, 0, 0, 0));
    bool owner_disabled = false;
    bool init_before_answer = false;
    CWindowWnd::SetModalResponder([&](CWindowWnd& modal) {
        owner_disabled = !owner->IsWindowEnabled();
        std::string refused;
        EXPECT_FALSE(owner->FindControl("ok")->PerformUserAction("click", {}, &refused));
        EXPECT_NE(refused.find("modal"), std::string::npos);
        init_before_answer = !dialog.recorder.seen.empty() && dialog.recorder.seen[0].type == "windowinit";
        EXPECT_EQ(&modal, CWindowWnd::TopModal());
        std::string error;
        EXPECT_TRUE(WindowImplBase::AnswerModal("ok", &error)) << error;
    });
    EXPECT_EQ(dialog.ShowModal(), 7);
    EXPECT_TRUE(owner_disabled);
    EXPECT_TRUE(init_before_answer);
    EXPECT_TRUE(owner->IsWindowEnabled());
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(CWindowWnd::TopModal(), nullptr);
}

TEST_F(WindowTest, ModalAnswersByNumberCloseAndQuit) {
    const struct {
        const char* answer;
        int result;
    } cases[] = {{"no", 3}, {"42", 42}, {"close", 0}};
    for (const auto& c : cases) {
        Dialog dialog;
        ASSERT_TRUE(dialog.Create(nullptr, "", 0, 0, 0, 0, 0, 0));
        CWindowWnd::SetModalResponder([&](CWindowWnd&) { EXPECT_TRUE(WindowImplBase::AnswerModal(c.answer)); });
        EXPECT_EQ(dialog.ShowModal(), c.result) << c.answer;
    }
    std::string error;
    EXPECT_FALSE(WindowImplBase::AnswerModal("ok", &error));
    EXPECT_EQ(error, "no modal window");

    // The loop quitting ends the modal run without an answer; the window stays.
    Dialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr, "", 0, 0, 0, 0, 0, 0));
    CWindowWnd::SetModalResponder([&](CWindowWnd&) { loop_.Quit(); });
    EXPECT_EQ(dialog.ShowModal(), 0);
    EXPECT_TRUE(dialog.IsWindow());
    dialog.DestroyWindow();
}

TEST_F(WindowTest, MessageWindowShowsTextsAndAnswersOneOrZero) {
    WriteFile("lan.xml", R"(<Language><Text id="message_text_7" value="Write failed"/></Language>)");
    ASSERT_TRUE(CResourceManager::GetInstance().LoadLanguage("lan.xml"));
    auto owner = OpenWindow(kDialog);
    const struct {
        const char* answer;
        int result;
    } cases[] = {{"confirm_btn", 1}, {"cancel_btn", 0}, {"closebtn", 0}, {"close", 0}};
    for (const auto& c : cases) {
        std::string title;
        std::string text;
        std::string cls;
        CWindowWnd::SetModalResponder([&](CWindowWnd& modal) {
            auto& msg = dynamic_cast<CMsgWnd&>(modal);
            cls = msg.GetWindowClassName();
            title = msg.FindControl("MessageTitle")->GetText();
            text = msg.FindControl("MessageText")->GetText();
            EXPECT_TRUE(WindowImplBase::AnswerModal(c.answer));
        });
        EXPECT_EQ(CMsgWnd::ShowMessage(owner.get(), "Caption", "message_text_7"), c.result) << c.answer;
        EXPECT_EQ(cls, "MsgWnd");
        EXPECT_EQ(title, "Caption");  // unknown identifiers show as they stand
        EXPECT_EQ(text, "Write failed");
    }
}

TEST_F(WindowTest, MessageWindowUsesItsSkinWhenPresent) {
    WriteFile("msg.xml", R"(<Window size="200,100"><VerticalLayout name="skin_root">
        <Label name="MessageTitle"/><Label name="MessageText"/><Button name="confirm_btn"/>
      </VerticalLayout></Window>)");
    WriteFile("res.xml", R"(<Res><Xml id="XML_MSG" path="msg.xml"/></Res>)");
    ASSERT_TRUE(CResourceManager::GetInstance().LoadResource("res.xml"));
    std::string root;
    CWindowWnd::SetModalResponder([&](CWindowWnd& modal) {
        root = dynamic_cast<CMsgWnd&>(modal).GetPaintManager().GetRoot()->GetName();
        WindowImplBase::AnswerModal("confirm_btn");
    });
    EXPECT_EQ(CMsgWnd::ShowMessage(nullptr, "t", "x"), 1);
    EXPECT_EQ(root, "skin_root");
}

TEST_F(WindowTest, MenuClickReachesOwnerAsMenuCommandAndClosesMenu) {
    WriteFile("menu.xml", R"(<Menu>
        <MenuElement name="about_menu" text="About"/>
        <MenuElement name="more" text="More"><MenuElement name="exit" text="Exit" userdata="bye"/></MenuElement>
        <MenuElement name="sound" text="Sound" checkitem="true"/>
      </Menu>)");
    auto owner = OpenWindow(kDialog);
    CMenuWnd::CheckMap checks{{"sound", true}};
    auto menu = std::make_unique<CMenuWnd>();
    ASSERT_TRUE(menu->Init(nullptr, "menu.xml", UiPoint{50, 60}, &owner->GetPaintManager(), &checks, 24));
    loop_.RunUntilIdle();
    EXPECT_EQ(menu->GetAlignment(), 24);
    EXPECT_EQ(menu->GetWindowClassName(), "MenuWnd");
    EXPECT_EQ(menu->FindControl("sound")->GetProperty("checked"), "true");

    std::string error;
    EXPECT_TRUE(menu->FindControl("more")->PerformUserAction("click", {}, &error)) << error;
    EXPECT_TRUE(menu->IsWindow());  // a submenu item gives no command
    EXPECT_TRUE(menu->FindControl("exit")->PerformUserAction("click", {}, &error)) << error;
    loop_.RunUntilIdle();
    EXPECT_FALSE(menu->IsWindow());
    const WindowMessage* click = nullptr;
    for (const auto& m : owner->messages) {
        if (m.message == WM_MENUCLICK) click = &m;
    }
    ASSERT_NE(click, nullptr);
    const auto* cmd = std::any_cast<MenuCmd>(&click->payload);
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->name, "exit");
    EXPECT_EQ(cmd->user_data, "bye");

    // A check item toggles and writes its state back; menus close with their owner.
    menu = std::make_unique<CMenuWnd>();
    ASSERT_TRUE(menu->Init(nullptr, "menu.xml", UiPoint{}, &owner->GetPaintManager(), &checks));
    EXPECT_TRUE(menu->FindControl("sound")->PerformUserAction("click", {}, &error)) << error;
    loop_.RunUntilIdle();
    EXPECT_FALSE(checks["sound"]);
    menu = std::make_unique<CMenuWnd>();
    ASSERT_TRUE(menu->Init(nullptr, "menu.xml", UiPoint{}, &owner->GetPaintManager()));
    owner->DestroyWindow();
    EXPECT_FALSE(menu->IsWindow());
}

TEST_F(WindowTest, PostedMessagesToDestroyedWindowsAreDropped) {
    auto w = OpenWindow(kDialog);
    const auto handle = w->GetHWND();
    EXPECT_TRUE(CWindowWnd::PostMessageTo(handle, WindowMessage{WM_USER + 5, 1, 2, {}}));
    w->DestroyWindow();
    const auto before = w->messages.size();
    loop_.RunUntilIdle();
    EXPECT_EQ(w->messages.size(), before);
    EXPECT_EQ(CWindowWnd::FromHandle(handle), nullptr);
}

TEST_F(WindowTest, WindowTimersDeliverWmTimerUntilKilled) {
    auto w = OpenWindow(kDialog);
    ASSERT_TRUE(w->SetTimer(1011, 100));
    loop_.RunFor(std::chrono::milliseconds(350));
    int timers = 0;
    for (const auto& m : w->messages) timers += (m.message == WM_TIMER && m.wParam == 1011) ? 1 : 0;
    EXPECT_EQ(timers, 3);
    EXPECT_TRUE(w->KillTimer(1011));
    w->messages.clear();
    loop_.RunFor(std::chrono::milliseconds(350));
    EXPECT_TRUE(w->messages.empty());
}

TEST_F(WindowTest, TreeOfAllWindowsForAutomation) {
    auto w = OpenWindow(kDialog);
    const std::string tree = ControlTreeDump::DumpWindows();
    EXPECT_NE(tree.find("window " + std::to_string(w->GetHWND()) + " TestWnd \"test\" visible\n"), std::string::npos);
    EXPECT_NE(tree.find("\n    ButtonUI \"ok\"\n"), std::string::npos) << tree;
}

}  // namespace
}  // namespace lumora::test
