// Modal windows on nested Qt loops, menus, the tray icon, the desktop's file and
// colour dialogs, font files.
#include <gtest/gtest.h>

#include <QAction>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "tests/ui/qt/qt_test_support.h"
#include "ui/color_select_dialog.h"
#include "ui/file_dialog.h"
#include "ui/menu_cmd.h"
#include "ui/menu_wnd.h"
#include "ui/msg_wnd.h"
#include "ui/qt/qt_tray_icon.h"
#include "ui/tray_icon.h"

namespace lumora::test {
namespace {

class QtServicesTest : public QtUiTest {
protected:
    void TearDown() override {
        CFileDialog::ClearRequests();
        CColorSelectDialog::ClearRequests();
        QtUiTest::TearDown();
    }
    // Runs act on Qt's loop (inside whatever nested loop runs) once ready() holds.
    static void When(std::function<bool()> ready, std::function<void()> act) {
        auto poll = std::make_shared<std::function<void()>>();
        *poll = [ready, act, weak = std::weak_ptr<std::function<void()>>(poll)] {
            if (ready()) {
                act();
                return;
            }
            if (auto again = weak.lock()) QTimer::singleShot(10, [again] { (*again)(); });
        };
        QTimer::singleShot(10, [poll] { (*poll)(); });
    }
    // The same once a modal Qt dialog of type D is up.
    template <typename D>
    static void WhenDialogOpens(std::function<void(D&)> f) {
        When([] { return qobject_cast<D*>(QApplication::activeModalWidget()) != nullptr; },
             [f] { f(*qobject_cast<D*>(QApplication::activeModalWidget())); });
    }
};

TEST_F(QtServicesTest, MessageWindowRunsOnANestedQtLoopAndAnswersTheClick) {
    auto owner = OpenSkin();
    int result = -1;
    bool checked = false;
    // The modal window's loop runs inside the task that opened it: the user's
    // click comes from Qt's loop meanwhile.
    When([] { return CWindowWnd::TopModal() != nullptr; },
         [&] {
             auto* modal = dynamic_cast<WindowImplBase*>(CWindowWnd::TopModal());
             ASSERT_NE(modal, nullptr);
             renderer_->Flush();
             EXPECT_FALSE(owner->IsWindowEnabled());
             EXPECT_EQ(renderer_->Driver().NestedDepth(), 1u);
             QWidget* confirm = renderer_->WidgetFor(*modal->FindControl("confirm_btn"));
             ASSERT_NE(confirm, nullptr);
             EXPECT_TRUE(confirm->isVisible());
             EXPECT_TRUE(renderer_->WindowFor(*modal)->isModal());
             checked = true;
             QTest::mouseClick(confirm, Qt::LeftButton);
         });
    loop_.Post([&] { result = CMsgWnd::ShowMessage(owner.get(), "MessageTitle", "message_text_7"); });
    ASSERT_TRUE(RunUntil([&] { return result != -1; }));
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(renderer_->Driver().NestedDepth(), 0u);
    EXPECT_TRUE(owner->IsWindowEnabled());
}

TEST_F(QtServicesTest, TheLibrarysMessageLoopRunsOnQtsLoop) {
    auto window = OpenSkin();
    // A window timer and a posted quit: both need Qt's loop running ours.
    window->SetTimer(5, 10);
    int ticks = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ticks = static_cast<int>(std::count_if(window->messages.begin(), window->messages.end(),
                                               [](const WindowMessage& m) { return m.message == WM_TIMER; }));
        if (ticks >= 3) loop_.Quit(3);
    });
    watch.start(5);
    EXPECT_EQ(CPaintManagerUI::RunMessageLoop(), 3);
    EXPECT_GE(ticks, 3);
}

TEST_F(QtServicesTest, MenuPopsUpAndItsItemReachesTheOwner) {
    auto owner = OpenSkin();
    auto keep = std::make_unique<CMenuWnd>();
    CMenuWnd* menu = keep.get();
    ASSERT_TRUE(menu->Init(nullptr,
                           R"(<Menu><MenuElement name="about_menu" text="About"/>)"
                           R"(<MenuElement name="exit" text="Exit"/></Menu>)",
                           UiPoint{200, 150}, &owner->GetPaintManager()));
    Settle();
    QMenu* qmenu = renderer_->MenuFor(*menu);
    ASSERT_NE(qmenu, nullptr);
    EXPECT_TRUE(qmenu->isVisible());
    ASSERT_EQ(qmenu->actions().size(), 2);
    EXPECT_EQ(qmenu->actions()[1]->text(), QStringLiteral("Exit"));
    owner->messages.clear();
    QTest::mouseClick(qmenu, Qt::LeftButton, Qt::NoModifier, qmenu->actionGeometry(qmenu->actions()[1]).center());
    ASSERT_TRUE(RunUntil([&] { return !menu->IsWindow(); }));
    Settle();
    const auto clicked = std::find_if(owner->messages.begin(), owner->messages.end(),
                                      [](const WindowMessage& m) { return m.message == WM_MENUCLICK; });
    ASSERT_NE(clicked, owner->messages.end());
    EXPECT_EQ(std::any_cast<MenuCmd>(clicked->payload).name, "exit");

    // Closing a menu without a choice closes the model's menu window.
    auto other = std::make_unique<CMenuWnd>();
    ASSERT_TRUE(other->Init(nullptr, R"(<Menu><MenuElement name="exit" text="Exit"/></Menu>)", UiPoint{10, 10},
                            &owner->GetPaintManager()));
    Settle();
    renderer_->MenuFor(*other)->hide();
    ASSERT_TRUE(RunUntil([&] { return !other->IsWindow(); }));
}

TEST_F(QtServicesTest, TrayIconShowsTheTooltipAndClicksArriveAsTheTrayMessage) {
    auto owner = OpenSkin();
    CTrayIcon tray;
    ASSERT_TRUE(tray.CreateTrayIcon(owner.get(), 107, "Halvek Trine 1.02"));
    QtTrayIcon* icon = renderer_->TrayFor(tray);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Icon().toolTip(), QStringLiteral("Halvek Trine 1.02"));
    EXPECT_EQ(CTrayIcon::IsSystemTrayAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
    owner->messages.clear();
    icon->Activate(QSystemTrayIcon::Trigger);
    icon->Activate(QSystemTrayIcon::Context);
    Settle();
    std::vector<std::intptr_t> clicks;
    for (const auto& m : owner->messages) {
        if (m.message == UIMSG_TRAYICON) clicks.push_back(m.lParam);
    }
    EXPECT_EQ(clicks, (std::vector<std::intptr_t>{WM_LBUTTONUP, WM_RBUTTONUP}));
    tray.DeleteTrayIcon();
    EXPECT_EQ(renderer_->TrayFor(tray), nullptr);
}

TEST_F(QtServicesTest, FileDialogsAreQtFileDialogsWithTheFilters) {
    auto owner = OpenSkin();
    WhenDialogOpens<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Macro Files(*.mac)")});
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        // The user types a name without extension and saves.
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("recorded"));
        static_cast<QDialog&>(dialog).accept();
    });
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.owner = owner->GetHWND();
    request.filter = CFileDialog::kMacroFilter;
    request.initial_name = "macro";
    request.folder = dir_.string();
    const auto saved = CFileDialog::Show(request);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, (dir_ / "recorded.mac").string());
    EXPECT_TRUE(owner->IsWindowEnabled());

    WhenDialogOpens<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Profile Files(*.json)")});
        dialog.reject();
    });
    EXPECT_EQ(CFileDialog::GetOpenFileName(owner.get(), CFileDialog::kProfileFilter), std::nullopt);
}

TEST_F(QtServicesTest, ColourDialogStartsAtTheColourAndGivesTheChosenOne) {
    auto owner = OpenSkin();
    WhenDialogOpens<QColorDialog>([](QColorDialog& dialog) {
        EXPECT_EQ(dialog.currentColor(), QColor(0x12, 0x34, 0x56));
        dialog.setCurrentColor(QColor(0xAB, 0xCD, 0xEF));
        dialog.accept();
    });
    const auto chosen = CColorSelectDialog::Show(owner.get(), 96, 0x123456);
    EXPECT_EQ(chosen.result, 1);
    EXPECT_EQ(chosen.colour, 0xABCDEFu);
    WhenDialogOpens<QColorDialog>([](QColorDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(CColorSelectDialog::Show(owner.get(), 96, 0x123456).result, 0);
}

TEST(QtDisplayTest, NoDisplayIsToldWithItsReason) {
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    } saved[] = {{"QT_QPA_PLATFORM", {}}, {"DISPLAY", {}}, {"WAYLAND_DISPLAY", {}}};
    for (auto& s : saved) {
        if (const char* v = std::getenv(s.name)) s.value = v;
        ::unsetenv(s.name);
    }
    std::string why;
    EXPECT_FALSE(QtRenderer::DisplayAvailable(&why));
    EXPECT_NE(why.find("DISPLAY"), std::string::npos);
    ::setenv("DISPLAY", ":98765", 1);  // no such X server here
    EXPECT_FALSE(QtRenderer::DisplayAvailable(&why));
    ::setenv("DISPLAY", "elsewhere:0", 1);  // remote: Qt finds out
    EXPECT_TRUE(QtRenderer::DisplayAvailable());
    ::unsetenv("DISPLAY");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_TRUE(QtRenderer::DisplayAvailable());
    for (auto& s : saved) {
        if (s.value) {
            ::setenv(s.name, s.value->c_str(), 1);
        } else {
            ::unsetenv(s.name);
        }
    }
}

TEST_F(QtServicesTest, FontFilesRecordedByTheModelReachQt) {
    const char* candidates[] = {"/usr/share/fonts/truetype/noto/NotoSansThai-Regular.ttf",
                                "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
    std::string font;
    for (const char* c : candidates) {
        if (std::filesystem::exists(c)) font = c;
    }
    if (font.empty()) GTEST_SKIP() << "no font file to load on this machine";
    const auto copy = dir_ / "Font" / std::filesystem::path(font).filename();
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(font, copy);
    CPaintManagerUI::AddFontFile(copy.string());
    CPaintManagerUI::AddFontFile((dir_ / "Font" / "missing.otf").string());  // skipped
    const auto families = renderer_->FontFamilies();
    ASSERT_EQ(families.size(), 1u);
    EXPECT_TRUE(QFontDatabase::families().contains(QString::fromStdString(families[0])));
    CPaintManagerUI::ClearFontFiles();
}

}  // namespace
}  // namespace lumora::test
