// The renderer draws the model: a window from a real skin, the lighting preview,
// layout, repaints once per frame and none while hidden, window state both ways.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <QSet>

#include "tests/ui/qt/qt_test_support.h"
#include "ui/container_ui.h"
#include "ui/device_key_button_ui.h"
#include "ui/list_label_element_ui.h"
#include "ui/qt/qt_control_widget.h"
#include "ui/qt/qt_key_button_widget.h"
#include "ui/qt/qt_theme.h"

namespace lumora::test {
namespace {

class QtRendererTest : public QtUiTest {
protected:
    // Key colours are kept as red | blue << 8 | green << 16.
    static std::uint32_t KeyColour(int r, int g, int b) {
        return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(b) << 8 |
               static_cast<std::uint32_t>(g) << 16;
    }
    static int Distance(QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    }
};

TEST_F(QtRendererTest, SkinWindowIsDrawnWithTheLightingPreview) {
    auto window = OpenSkin();
    auto* key1 = dynamic_cast<CDeviceKeyButtonUI*>(window->FindControl("key_1"));
    auto* key4 = dynamic_cast<CDeviceKeyButtonUI*>(window->FindControl("key_4"));
    ASSERT_TRUE(key1 && key4);
    key1->SetKeyColor(KeyColour(255, 0, 0), 255);
    key4->SetKeyColor(KeyColour(0, 0, 255), 128);  // half bright blue
    Settle();

    QtWindow* qt_window = renderer_->WindowFor(*window);
    ASSERT_NE(qt_window, nullptr);
    EXPECT_TRUE(qt_window->isVisible());
    EXPECT_EQ(qt_window->size(), QSize(800, 520));  // the skin's size at 96 DPI
    const QImage shot = renderer_->Grab(*window);
    const QString folder = QStringLiteral(LUMORA_QT_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    ASSERT_TRUE(shot.save(folder + QStringLiteral("/qt_test_main.png")));

    // Not blank: the theme, the texts and the keys give many colours.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3) {
        for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 50);

    // The keys show their LED colour: red at full, blue at half brightness.
    auto* red = WidgetOf<QtKeyButtonWidget>(*window, "key_1");
    auto* blue = WidgetOf<QtKeyButtonWidget>(*window, "key_4");
    ASSERT_TRUE(red && blue);
    EXPECT_EQ(red->ShownColour(), QColor(255, 0, 0));
    EXPECT_EQ(blue->ShownColour(), QColor(0, 0, 128));
    const QPoint red_edge = red->mapTo(qt_window, QPoint(red->width() / 2, 2));
    EXPECT_LT(Distance(shot.pixelColor(red_edge), QColor(255, 0, 0)), 60) << shot.pixelColor(red_edge).name().toStdString();
    const QPoint blue_edge = blue->mapTo(qt_window, QPoint(blue->width() / 2, 2));
    EXPECT_LT(Distance(shot.pixelColor(blue_edge), QColor(0, 0, 128)), 60);
    // An unlit key is dark.
    auto* dark = WidgetOf<QtKeyButtonWidget>(*window, "key_2");
    const QColor unlit = shot.pixelColor(dark->mapTo(qt_window, dark->rect().center()));
    EXPECT_LT(unlit.red() + unlit.green() + unlit.blue(), 180);

    // The picture from the skin folder is drawn; the missing one is skipped.
    auto* logo = WidgetOf(*window, "logo");
    EXPECT_EQ(shot.pixelColor(logo->mapTo(qt_window, logo->rect().center())), QColor(255, 0, 255));
    EXPECT_NE(WidgetOf(*window, "missing"), nullptr);

    // Only the selected tab's page shows.
    EXPECT_TRUE(WidgetOf(*window, "keys_page")->isVisible());
    EXPECT_FALSE(WidgetOf(*window, "light_page")->isVisible());
}

TEST_F(QtRendererTest, ControlsArePlacedByTheSkinAtTheWindowsDpi) {
    auto window = OpenSkin();
    // Float keys sit at their pos inside the panel; fixed sizes hold.
    QWidget* key4 = WidgetOf(*window, "key_4");
    EXPECT_EQ(key4->geometry(), QRect(10, 70, 100, 50));
    QWidget* title_bar = WidgetOf(*window, "title_bar");
    EXPECT_EQ(title_bar->geometry(), QRect(0, 0, 800, 40));
    // The title is as wide as its text; the spacer after it takes what is left.
    QWidget* title = WidgetOf(*window, "title");
    const QFont font = QtTheme::Font(window->GetPaintManager().GetFont(2), 1.0);
    EXPECT_EQ(title->geometry(),
              QRect(12, 0, QFontMetrics(font).horizontalAdvance(QStringLiteral("Halvek Trine")), 40));
    EXPECT_EQ(WidgetOf(*window, "logo")->x(), 800 - 40 - 40 - 46 - 46);
    EXPECT_EQ(WidgetOf(*window, "closebtn")->geometry(), QRect(800 - 46, 0, 46, 40));
    QWidget* tab2 = WidgetOf(*window, "deng_Op_tab");
    EXPECT_EQ(tab2->geometry(), QRect(12 + 110 + 6, 4, 110, 32));

    window->GetPaintManager().SetDPI(144);
    Settle();
    QtWindow* qt_window = renderer_->WindowFor(*window);
    EXPECT_EQ(qt_window->size(), QSize(1200, 780));  // the window keeps its logical size
    EXPECT_EQ(key4->geometry(), QRect(15, 105, 150, 75));
}

TEST_F(QtRendererTest, ManyChangesInOneFrameArePaintedOnce) {
    auto window = OpenSkin();
    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(window->FindControl("key_3"));
    auto* widget = WidgetOf<QtKeyButtonWidget>(*window, "key_3");
    ASSERT_TRUE(key && widget);
    Settle();
    renderer_->ResetStats();
    const std::size_t before = widget->Paints();
    // 200 model changes within one frame (a lighting effect stepping fast).
    loop_.Post([&] {
        for (int i = 0; i < 200; ++i) key->SetKeyColor(KeyColour(i, 255 - i, 0), 255);
    });
    ASSERT_TRUE(RunUntil([&] { return widget->Paints() > before; }));
    QTest::qWait(renderer_->FrameInterval() * 3);  // and nothing more comes
    EXPECT_EQ(widget->Paints() - before, 1u);
    EXPECT_EQ(renderer_->GetStats().flushes, 1u);
    EXPECT_EQ(renderer_->GetStats().synced_controls, 1u);
    EXPECT_EQ(renderer_->GetStats().layouts, 0u);  // a colour moves nothing
    EXPECT_EQ(widget->ShownColour(), QColor(199, 56, 0));
}

TEST_F(QtRendererTest, NothingIsDrawnWhileHiddenOrMinimisedAndAllOfItWhenShown) {
    auto window = OpenSkin();
    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(window->FindControl("key_3"));
    auto* widget = WidgetOf<QtKeyButtonWidget>(*window, "key_3");
    QtWindow* qt_window = renderer_->WindowFor(*window);
    window->ShowWindow(false);
    Settle();
    EXPECT_FALSE(qt_window->isVisible());

    renderer_->ResetStats();
    const std::size_t before = widget->Paints();
    for (int i = 0; i < 200; ++i) key->SetKeyColor(KeyColour(0, i, 0), 255);
    window->FindControl("title")->SetText("changed while hidden");
    QTest::qWait(renderer_->FrameInterval() * 4);
    EXPECT_EQ(renderer_->GetStats().synced_controls, 0u);
    EXPECT_EQ(widget->Paints(), before);

    window->SendMessage(WM_SYSCOMMAND, SC_RESTORE);  // shows it again
    Settle();
    EXPECT_TRUE(qt_window->isVisible());
    EXPECT_EQ(widget->ShownColour(), QColor(0, 199, 0));
    EXPECT_EQ(renderer_->GetStats().synced_controls, 2u);  // the key and the label, once each

    window->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    Settle();
    renderer_->ResetStats();
    key->SetKeyColor(KeyColour(1, 2, 3), 255);
    QTest::qWait(renderer_->FrameInterval() * 3);
    EXPECT_EQ(renderer_->GetStats().synced_controls, 0u);
}

TEST_F(QtRendererTest, ChangesInAHiddenPageWaitUntilItShows) {
    auto window = OpenSkin();
    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(window->FindControl("key_2"));
    auto* widget = WidgetOf<QtKeyButtonWidget>(*window, "key_2");
    window->FindControl("deng_Op_tab")->PerformUserAction("click", {}, nullptr);  // the key page hides
    Settle();
    ASSERT_FALSE(widget->isVisible());
    renderer_->ResetStats();
    for (int i = 0; i < 50; ++i) key->SetKeyColor(KeyColour(0, 0, i), 255);
    QTest::qWait(renderer_->FrameInterval() * 3);
    EXPECT_EQ(renderer_->GetStats().flushes, 0u);
    EXPECT_EQ(renderer_->GetStats().synced_controls, 0u);

    window->FindControl("key_Op_tab")->PerformUserAction("click", {}, nullptr);
    Settle();
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->ShownColour(), QColor(0, 0, 49));
}

TEST_F(QtRendererTest, WindowStateFollowsTheModelAndTheDesktopReachesTheModel) {
    auto window = OpenSkin();
    QtWindow* qt_window = renderer_->WindowFor(*window);
    EXPECT_TRUE(qt_window->windowFlags().testFlag(Qt::FramelessWindowHint));
    window->MoveWindow(UiRect{40, 30, 840, 550});
    window->SetTitle("Halvek Trine 1.02");
    Settle();
    EXPECT_EQ(qt_window->geometry(), QRect(40, 30, 800, 520));
    EXPECT_EQ(qt_window->windowTitle(), QStringLiteral("Halvek Trine 1.02"));

    // The window manager resizes it: the model follows and the root hears "windowsize".
    qt_window->resize(700, 500);
    Settle();
    EXPECT_EQ(window->GetWindowRect(), (UiRect{40, 30, 740, 530}));
    const auto seen = window->recorder.Take();
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{"windowsize", "root", 0, 0}), seen.end());

    // Dragging the caption moves the window (where the platform cannot, we do).
    QWidget* title = WidgetOf(*window, "title");
    const QPoint grip(20, 20);
    QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(title, grip + QPoint(30, 15));
    QTest::mouseRelease(title, Qt::LeftButton, Qt::NoModifier, grip + QPoint(30, 15));
    Settle();
    EXPECT_EQ(window->GetWindowRect(), (UiRect{70, 45, 770, 545}));
    window->recorder.Take();
    // The same press on a button does not drag: it clicks.
    QTest::mouseClick(WidgetOf(*window, "minbtn"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(window->recorder.Take(), (std::vector<Seen>{{"killfocus", "title", 0, 0},
                                                          {"setfocus", "minbtn", 0, 0},
                                                          {"click", "minbtn", 0, 0}}));
    EXPECT_EQ(window->GetWindowRect(), (UiRect{70, 45, 770, 545}));

    // The desktop minimises and restores it: the system commands reach the model.
    qt_window->showMinimized();
    Settle();
    EXPECT_TRUE(window->IsIconic());
    qt_window->showNormal();
    Settle();
    EXPECT_FALSE(window->IsIconic());

    // The model is the monitor's size as Qt reports it, and hears when it changes.
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRect screen = primary->geometry();
    EXPECT_EQ(CWindowWnd::GetMonitorRect(window.get()),
              (UiRect{screen.x(), screen.y(), screen.x() + screen.width(), screen.y() + screen.height()}));
    window->messages.clear();
    Q_EMIT primary->geometryChanged(screen);
    Settle();
    ASSERT_FALSE(window->messages.empty());
    EXPECT_EQ(window->messages.back().message, WM_DISPLAYCHANGE);
    EXPECT_EQ(window->messages.back().lParam, (screen.height() << 16) | screen.width());

    // The desktop's close button asks the model, which closes by default.
    qt_window->windowHandle()->close();
    Settle();
    EXPECT_FALSE(window->IsWindow());
}

TEST_F(QtRendererTest, TreeChangesAddAndRemoveWidgets) {
    auto window = OpenSkin();
    auto* list = dynamic_cast<CContainerUI*>(window->FindControl("macro_name_list"));
    ASSERT_NE(list, nullptr);
    auto row = std::make_unique<CListLabelElementUI>();
    row->SetName("macro_row_2");
    row->SetText("Macro C");
    CControlUI* added = list->Add(std::move(row));
    ASSERT_NE(added, nullptr);
    Settle();
    QWidget* widget = renderer_->WidgetFor(*added);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->height(), 28);  // rows without a height get a usable one
    list->Remove(window->FindControl("macro_row_0"));
    Settle();
    EXPECT_EQ(widget->y(), 28);  // moved up into the gap
    EXPECT_EQ(WidgetOf<QWidget>(*window, "macro_row_1")->y(), 0);
}

}  // namespace
}  // namespace lumora::test
