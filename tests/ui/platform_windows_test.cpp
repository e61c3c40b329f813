// The desktop services the model asks for (file and colour dialogs, the tray icon)
// and the DPI's effect on window size, headless.
#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/color_select_dialog.h"
#include "ui/file_dialog.h"
#include "ui/tray_icon.h"

namespace lumora::test {
namespace {

constexpr const char* kSkin = R"(<Window size="1000,640"><VerticalLayout name="root"/></Window>)";

class PlatformWindowsTest : public UiTest {
protected:
    void TearDown() override {
        CFileDialog::SetHandler(nullptr);
        CFileDialog::ClearRequests();
        CColorSelectDialog::SetHandler(nullptr);
        CColorSelectDialog::ClearRequests();
        UiTest::TearDown();
    }
};

TEST_F(PlatformWindowsTest, FileDialogsAreRecordedAnsweredAndDisableTheirOwner) {
    auto owner = OpenWindow(kSkin);
    EXPECT_EQ(CFileDialog::GetOpenFileName(owner.get(), CFileDialog::kProfileFilter), std::nullopt);  // no handler

    bool owner_enabled_inside = true;
    CFileDialog::SetHandler([&](const FileDialogRequest& request) -> std::optional<std::string> {
        owner_enabled_inside = owner->IsWindowEnabled();
        EXPECT_TRUE(CFileDialog::IsOpen());
        EXPECT_EQ(CFileDialog::Show(request), std::nullopt);  // one at a time
        if (request.kind == FileDialogRequest::Kind::Open) return "/tmp/in.json";
        return request.initial_name == "keep.mac" ? "/tmp/keep.mac" : "/tmp/out";
    });
    EXPECT_EQ(CFileDialog::GetOpenFileName(owner.get(), CFileDialog::kProfileFilter), "/tmp/in.json");
    EXPECT_FALSE(owner_enabled_inside);
    EXPECT_TRUE(owner->IsWindowEnabled());
    // A saved name without extension gets the filter's.
    EXPECT_EQ(CFileDialog::GetSaveFileName(owner.get(), CFileDialog::kShootFilter, "pattern"), "/tmp/out.shoot");
    EXPECT_EQ(CFileDialog::GetSaveFileName(owner.get(), CFileDialog::kMacroFilter, "keep.mac"), "/tmp/keep.mac");

    const auto requests = CFileDialog::Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[1].filter, "Profile Files(*.json)");
    EXPECT_EQ(requests[1].default_extension, "json");
    EXPECT_EQ(requests[1].owner, owner->GetHWND());
    EXPECT_EQ(requests[2].kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(requests[2].filter, "Shoot Files(*.shoot)");
    EXPECT_EQ(CFileDialog::ExtensionOf("All(*.*)"), "");
    EXPECT_EQ(CFileDialog::ExtensionOf("Macro Files(*.mac)"), "mac");
}

TEST_F(PlatformWindowsTest, ColourDialogGivesTheColourOnlyWhenConfirmed) {
    auto owner = OpenWindow(kSkin);
    owner->GetPaintManager().SetDPI(144);
    EXPECT_EQ(CColorSelectDialog::Show(owner.get(), 144, 0x112233).result, 0);  // no handler: cancelled

    ColorSelectResult answer{1, 0xFFA0B0C0};
    CColorSelectDialog::SetHandler([&](const ColorSelectRequest& request) {
        EXPECT_FALSE(owner->IsWindowEnabled());
        EXPECT_EQ(request.dpi, 144);
        EXPECT_EQ(request.start_colour, 0x112233u);
        return answer;
    });
    const auto chosen = CColorSelectDialog::Show(owner.get(), 144, 0xFF112233);
    EXPECT_EQ(chosen.result, 1);
    EXPECT_EQ(chosen.colour, 0xA0B0C0u);  // 0xRRGGBB only
    EXPECT_TRUE(owner->IsWindowEnabled());
    answer = {2, 0x445566};
    const auto other = CColorSelectDialog::Show(owner.get(), 144, 0x112233);
    EXPECT_EQ(other.result, 2);
    EXPECT_EQ(other.colour, 0x112233u);  // not confirmed: the start colour stays
    EXPECT_EQ(CColorSelectDialog::Requests().size(), 3u);
}

TEST_F(PlatformWindowsTest, TrayClicksArriveAsTheTrayMessage) {
    auto owner = OpenWindow(kSkin);
    CTrayIcon tray;
    EXPECT_FALSE(tray.Click(WM_LBUTTONUP));  // not created yet
    ASSERT_TRUE(tray.CreateTrayIcon(owner.get(), 107, "Halvek Trine 1.02"));
    EXPECT_EQ(CTrayIcon::AllIcons(), std::vector<CTrayIcon*>{&tray});
    EXPECT_TRUE(CTrayIcon::IsSystemTrayAvailable());
    EXPECT_TRUE(tray.Click(WM_LBUTTONUP, UiPoint{5, 6}));
    EXPECT_TRUE(tray.Click(WM_RBUTTONUP, UiPoint{7, 8}));
    owner->messages.clear();
    loop_.RunUntilIdle();
    ASSERT_EQ(owner->messages.size(), 2u);
    EXPECT_EQ(owner->messages[0].message, UIMSG_TRAYICON);
    EXPECT_EQ(owner->messages[0].wParam, tray.GetId());
    EXPECT_EQ(owner->messages[0].lParam, static_cast<std::intptr_t>(WM_LBUTTONUP));
    EXPECT_EQ(owner->messages[1].lParam, static_cast<std::intptr_t>(WM_RBUTTONUP));
    EXPECT_EQ(tray.GetLastClickPoint(), (UiPoint{7, 8}));
    tray.DeleteTrayIcon();
    EXPECT_TRUE(CTrayIcon::AllIcons().empty());
    EXPECT_FALSE(tray.Click(WM_LBUTTONUP));
}

TEST_F(PlatformWindowsTest, AnInstalledLoopRunnerRunsTheMessageLoop) {
    loop_.Post([this] { loop_.Quit(4); });
    EXPECT_EQ(CPaintManagerUI::RunMessageLoop(), 4);
    int runs = 0;
    CPaintManagerUI::SetLoopRunner([&] { return ++runs + 10; });
    EXPECT_EQ(CPaintManagerUI::RunMessageLoop(), 11);
    CPaintManagerUI::SetLoopRunner(nullptr);
    EXPECT_EQ(runs, 1);
}

TEST_F(PlatformWindowsTest, DpiKeepsTheLogicalSizeOfTheWindow) {
    auto w = OpenWindow(kSkin);
    w->MoveWindow(UiRect{0, 0, 1000, 640});
    CPaintManagerUI::SetAllDPI(144);
    EXPECT_EQ(w->GetWindowRect(), (UiRect{0, 0, 1500, 960}));
    CPaintManagerUI::SetAllDPI(96);
    EXPECT_EQ(w->GetWindowRect(), (UiRect{0, 0, 1000, 640}));
    w->SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    CPaintManagerUI::SetAllDPI(144);
    EXPECT_EQ(w->GetWindowRect(), (UiRect{0, 0, 1000, 640}));  // a maximised window keeps its place
    CPaintManagerUI::SetAllDPI(96);
}

}  // namespace
}  // namespace lumora::test
