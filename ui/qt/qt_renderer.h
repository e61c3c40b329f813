#pragma once
// The Qt 6 renderer of the UI model: real windows, tray icon, menus, file and
// colour dialogs, fonts, monitors, and Qt's event loop driving the UI thread's
// MessageLoop.
//
// Use from the program's entry, on the UI thread:
//
//     std::string why;
//     if (!QtRenderer::DisplayAvailable(&why)) { /* say why; suggest --headless */ }
//     auto renderer = QtRenderer::Install(argc, argv, loop);   // after SetMessageLoop
//     ... create the main window as usual ...
//     int code = CPaintManagerUI::RunMessageLoop();   // runs Qt's loop (renderer->Run())
//     ... destroy the windows, then renderer.reset() ...
//
// Install creates the QApplication (unless one exists), applies the theme, makes
// itself the renderer of every paint manager (CPaintManagerUI::SetRenderer),
// drives the loop from Qt (QtLoopDriver) and becomes the loop runner of
// CPaintManagerUI::RunMessageLoop, answers the file and colour dialogs
// (CFileDialog, CColorSelectDialog) with Qt's dialogs, shows the tray icons
// (CTrayIcon) and loads the font files recorded so far (and later ones).
//
// Changes are applied once per screen refresh at most, and only for windows that
// are shown and not minimised: a model that changes a thousand times a second
// costs one frame's work per refresh, and nothing while hidden.

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/message_loop.h"
#include "ui/qt/qt_image_cache.h"
#include "ui/ui_renderer.h"

class QApplication;
class QMenu;
class QWidget;

namespace lumora {

class QtLoopDriver;
class QtMenuPopup;
class QtTrayIcon;
class QtWindow;

class QtRenderer : public IUiRenderer {
public:
    struct Stats {
        std::size_t flushes = 0;         // frames that applied changes
        std::size_t synced_controls = 0; // controls read into their widgets
        std::size_t layouts = 0;         // window layout passes
        std::size_t paints = 0;          // control widget paints
    };

    // Whether Qt can open a window here: false, with the reason, when no display
    // is set (neither DISPLAY nor WAYLAND_DISPLAY, and no QT_QPA_PLATFORM).
    static bool DisplayAvailable(std::string* reason = nullptr);
    // See above. The loop must belong to this thread and use the real clock.
    static std::unique_ptr<QtRenderer> Install(int& argc, char** argv, MessageLoop& loop);
    // Uninstalls: renderer, dialog handlers, loop driver; closes every Qt window
    // and removes the application fonts. The QApplication goes if we made it.
    ~QtRenderer() override;
    QtRenderer(const QtRenderer&) = delete;
    QtRenderer& operator=(const QtRenderer&) = delete;

    static QtRenderer* Instance();

    // Qt's event loop until the message loop quits; its exit code.
    int Run();
    // Applies pending changes now (tests, screenshots); normally a frame timer does.
    void Flush();
    QtLoopDriver& Driver() { return *driver_; }
    QtImageCache& Images() { return images_; }
    const Stats& GetStats() const { return stats_; }
    void ResetStats() { stats_ = {}; }
    // Families of the font files loaded so far.
    const std::vector<std::string>& FontFamilies() const { return font_families_; }
    // Milliseconds between frames (the primary screen's refresh).
    int FrameInterval() const { return frame_ms_; }

    // The window as drawn now, after applying pending changes (null if unknown).
    QImage Grab(const CWindowWnd& window);

    // --- looking things up (tests, dialogs, automation)
    QtWindow* WindowFor(const CWindowWnd& window) const;
    QWidget* WidgetFor(const CControlUI& control) const;
    QMenu* MenuFor(const CWindowWnd& window) const;
    QtTrayIcon* TrayFor(const CTrayIcon& icon) const;

    // --- called by the widgets
    void CountPaint() { ++stats_.paints; }
    void CountSync() { ++stats_.synced_controls; }
    void CountLayout() { ++stats_.layouts; }
    // After user input reached the model: end finished modal loops, draw soon.
    void AfterUserAction();
    void ScheduleFlush();

    // --- IUiRenderer
    void WindowCreated(CWindowWnd& window) override;
    void WindowDestroyed(CWindowWnd& window) override;
    void WindowChanged(CWindowWnd& window) override;
    void ControlChanged(CControlUI& control) override;
    void TreeChanged(CPaintManagerUI& manager, CControlUI* container) override;
    void ManagerChanged(CPaintManagerUI& manager) override;
    void FontFileAdded(const std::string& path) override;
    std::optional<UiRect> MonitorRect(const CWindowWnd& window) override;
    void TrayIconChanged(CTrayIcon& icon) override;
    void TrayIconRemoved(CTrayIcon& icon) override;
    std::optional<bool> SystemTrayAvailable() override;

private:
    QtRenderer(MessageLoop& loop, std::unique_ptr<QApplication> app);
    QtWindow* QtWindowOf(const CPaintManagerUI* manager) const;
    QtMenuPopup* MenuOf(const CPaintManagerUI* manager) const;
    void InstallDialogs();
    void WatchScreens();
    void DisplayChanged();

    std::unique_ptr<QApplication> app_;
    std::unique_ptr<QtLoopDriver> driver_;
    QtImageCache images_;
    std::unordered_map<const CWindowWnd*, QPointer<QtWindow>> windows_;
    std::unordered_map<const CWindowWnd*, std::unique_ptr<QtMenuPopup>> menus_;
    std::unordered_map<const CTrayIcon*, std::unique_ptr<QtTrayIcon>> trays_;
    QTimer flush_timer_;
    QElapsedTimer since_flush_;
    int frame_ms_ = 16;
    bool flushing_ = false;
    Stats stats_;
    std::vector<std::string> font_families_;
    std::unique_ptr<QObject> screen_watch_;
};

}  // namespace lumora
