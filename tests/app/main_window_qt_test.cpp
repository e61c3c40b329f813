// The real main window drawn by Qt on its offscreen platform with every emulated
// device: a screenshot is saved under the build folder and checked.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <cstdlib>
#include <set>

#include "app/device_hub.h"
#include "devices/device_option_ui.h"
#include "devices/orvane_usb_device.h"
#include "tests/app/app_test_support.h"
#include "ui/device_key_button_ui.h"
#include "ui/qt/qt_renderer.h"

namespace lumora {
namespace {

using testing::AppFixture;

class MainWindowQtTest : public AppFixture {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        AppFixture::SetUp();
    }
    void TearDown() override {
        // The windows go first, then the renderer (it drives the app's loop), then the app.
        if (app_) app_->Shutdown();
        renderer_.reset();
        AppFixture::TearDown();
    }
    int VisibleTabs() {
        int visible = 0;
        for (const char* kind : {"keyboard", "mouse", "MousePad", "HD"}) {
            COrvaneUSBDevice* page = Main().FindPage(kind);
            CDeviceOptionUI* tab = page ? Main().Devices().Tab(page->TabIndex()) : nullptr;
            if (tab && tab->GetVisibleFlag()) ++visible;
        }
        return visible;
    }
    int argc_ = 1;
    char name_[16] = "lumora";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QtRenderer> renderer_;
};

TEST_F(MainWindowQtTest, DemoWindowShowsATabPerDeviceAndTheKeyboardPreview) {
    LumoraApp::Options options;
    options.demoDevices = SimRig::Names();
    options.demoPacing = false;
    options.installRenderer = [&](MessageLoop& loop) { renderer_ = QtRenderer::Install(argc_, argv_, loop); };
    Start(options);
    ASSERT_TRUE(renderer_);
    // Keyboard, mouse, pad and headset: the receivers share their devices' pages.
    ASSERT_TRUE(PumpUntil([&] { return VisibleTabs() == 4; })) << VisibleTabs();

    COrvaneUSBDevice* keyboard = Main().FindPage("keyboard");
    ASSERT_NE(keyboard, nullptr);
    std::string error;
    ASSERT_TRUE(Main().Devices().Tab(keyboard->TabIndex())->PerformUserAction("click", "", &error)) << error;
    // The live preview: LED colours reach the key picture through the frame pump.
    for (int i = 0; i < 170; ++i) keyboard->SetLedColour(i, LedColour{255, 0, 0, 255});
    auto* light = dynamic_cast<CDeviceKeyButtonUI*>(keyboard->FindSubControl("light_40"));
    ASSERT_NE(light, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return light->GetKeyColor() == 0x0000FFu && light->GetBrightness() == 255; }));

    const QImage shot = renderer_->Grab(Main());
    ASSERT_FALSE(shot.isNull());
    std::filesystem::create_directories("screenshots");
    ASSERT_TRUE(shot.save("screenshots/main_window_demo.png"));

    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4) colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20u) << "blank window";

    QWidget* widget = renderer_->WidgetFor(*light);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible());
    // Averaged over the key: a red light under the key's dark glass and its legend.
    const QPoint origin = widget->mapTo(widget->window(), QPoint(0, 0));
    const qreal scale = shot.devicePixelRatio();
    long red = 0, green = 0, blue = 0, n = 0;
    for (int y = 0; y < widget->height(); ++y)
        for (int x = 0; x < widget->width(); ++x) {
            const QColor c = shot.pixelColor(static_cast<int>((origin.x() + x) * scale),
                                             static_cast<int>((origin.y() + y) * scale));
            red += c.red();
            green += c.green();
            blue += c.blue();
            ++n;
        }
    ASSERT_GT(n, 0);
    EXPECT_GT(red / n, 80);
    EXPECT_GT(red * 10, 13 * green);  // unlit keys are grey: red and green alike
    EXPECT_GT(red * 10, 13 * blue);

    // A real click on the title bar's "next device" arrow reaches the main window's router.
    CControlUI* next = Main().FindControl("device_select_next");
    ASSERT_NE(next, nullptr);
    QWidget* arrow = renderer_->WidgetFor(*next);
    ASSERT_NE(arrow, nullptr);
    QTest::mouseClick(arrow, Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return Main().SelectedPage() != keyboard; }));
    EXPECT_EQ(Main().SelectedPage(), Main().FindPage("MousePad"));
}

}  // namespace
}  // namespace lumora
