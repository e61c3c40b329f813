#include "ui/qt/qt_renderer.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/logger.h"
#include "ui/color_select_dialog.h"
#include "ui/control_ui.h"
#include "ui/file_dialog.h"
#include "ui/menu_wnd.h"
#include "ui/paint_manager_ui.h"
#include "ui/qt/qt_control_widget.h"
#include "ui/qt/qt_loop_driver.h"
#include "ui/qt/qt_menu_popup.h"
#include "ui/qt/qt_theme.h"
#include "ui/qt/qt_tray_icon.h"
#include "ui/qt/qt_window.h"
#include "ui/tray_icon.h"
#include "ui/window_wnd.h"

namespace lumora {

namespace {
constexpr const char* kTag = "qt";
QtRenderer* g_instance = nullptr;
QtMessageHandler g_previous_handler = nullptr;

// Qt's own diagnostics go where ours go.
void RouteQtMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    switch (type) {
        case QtDebugMsg:
        case QtInfoMsg:
            LOG_DEBUG(kTag, "%s", utf8.constData());
            break;
        case QtWarningMsg:
            LOG_WARNING(kTag, "%s", utf8.constData());
            break;
        case QtCriticalMsg:
        case QtFatalMsg:
            LOG_ERROR(kTag, "%s", utf8.constData());
            break;
    }
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// A local X display ":N" or "unix:N" has its socket in /tmp/.X11-unix.
bool LocalXDisplayMissing(const std::string& display) {
    std::string rest;
    if (display.rfind(':', 0) == 0) {
        rest = display.substr(1);
    } else if (display.rfind("unix:", 0) == 0) {
        rest = display.substr(5);
    } else {
        return false;  // remote or unusual: let Qt try
    }
    const std::string number = rest.substr(0, rest.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    std::error_code ec;
    return !std::filesystem::exists("/tmp/.X11-unix/X" + number, ec);
}
}  // namespace

bool QtRenderer::DisplayAvailable(std::string* reason) {
    if (!Env("QT_QPA_PLATFORM").empty()) return true;
    const std::string wayland = Env("WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        const std::string runtime = Env("XDG_RUNTIME_DIR");
        std::error_code ec;
        if (wayland.front() == '/' || runtime.empty() || std::filesystem::exists(runtime + "/" + wayland, ec)) return true;
    }
    const std::string x11 = Env("DISPLAY");
    if (!x11.empty() && !LocalXDisplayMissing(x11)) return true;
    if (reason) {
        *reason = x11.empty() && wayland.empty() ? "no display: neither DISPLAY nor WAYLAND_DISPLAY is set"
                                                 : "no display: the display named by DISPLAY/WAYLAND_DISPLAY is not there";
    }
    return false;
}

std::unique_ptr<QtRenderer> QtRenderer::Install(int& argc, char** argv, MessageLoop& loop) {
    if (g_instance) {
        LOG_ERROR(kTag, "a Qt renderer is installed already");
        return nullptr;
    }
    std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance()) {
        QApplication::setApplicationName(QStringLiteral("Lumora"));
        QApplication::setDesktopFileName(QStringLiteral("lumora"));
        app = std::make_unique<QApplication>(argc, argv);
    } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        LOG_ERROR(kTag, "the running Qt application has no widgets");
        return nullptr;
    }
    return std::unique_ptr<QtRenderer>(new QtRenderer(loop, std::move(app)));
}

QtRenderer::QtRenderer(MessageLoop& loop, std::unique_ptr<QApplication> app) : app_(std::move(app)) {
    g_instance = this;
    g_previous_handler = qInstallMessageHandler(RouteQtMessage);
    auto* qapp = qobject_cast<QApplication*>(QCoreApplication::instance());
    QtTheme::Apply(*qapp);
    // Windows hide and show under the program's control; closing one never ends Qt.
    qapp->setQuitOnLastWindowClosed(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->refreshRate() > 1) {
        frame_ms_ = std::clamp(static_cast<int>(std::lround(1000.0 / screen->refreshRate())), 4, 50);
    }
    flush_timer_.setSingleShot(true);
    flush_timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&flush_timer_, &QTimer::timeout, &flush_timer_, [this] { Flush(); });
    since_flush_.start();

    driver_ = std::make_unique<QtLoopDriver>(loop);
    CPaintManagerUI::SetRenderer(this);
    CPaintManagerUI::SetLoopRunner([this] { return Run(); });
    for (const std::string& font : CPaintManagerUI::GetFontFiles()) FontFileAdded(font);
    InstallDialogs();
    WatchScreens();
    // What the model made before we came.
    for (CWindowWnd* window : CWindowWnd::AllWindows()) WindowCreated(*window);
    for (CTrayIcon* icon : CTrayIcon::AllIcons()) TrayIconChanged(*icon);
    ScheduleFlush();
}

QtRenderer::~QtRenderer() {
    if (CPaintManagerUI::GetRenderer() == this) CPaintManagerUI::SetRenderer(nullptr);
    CPaintManagerUI::SetLoopRunner(nullptr);
    CFileDialog::SetHandler(nullptr);
    CColorSelectDialog::SetHandler(nullptr);
    flush_timer_.stop();
    screen_watch_.reset();
    trays_.clear();
    menus_.clear();
    for (auto& [model, window] : windows_) {
        if (window) window->Detach();
    }
    windows_.clear();
    // Widgets given up while handlers ran are deleted here, not leaked.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    driver_.reset();
    images_.Clear();
    QFontDatabase::removeAllApplicationFonts();
    g_instance = nullptr;
    app_.reset();
    qInstallMessageHandler(g_previous_handler);
}

QtRenderer* QtRenderer::Instance() { return g_instance; }

int QtRenderer::Run() {
    Flush();
    return driver_->Run();
}

void QtRenderer::ScheduleFlush() {
    if (flush_timer_.isActive()) return;
    const auto since = static_cast<int>(std::min<qint64>(since_flush_.elapsed(), frame_ms_));
    flush_timer_.start(frame_ms_ - since);
}

void QtRenderer::Flush() {
    if (flushing_) return;
    flush_timer_.stop();
    flushing_ = true;
    bool did = false;
    std::vector<QPointer<QtWindow>> windows;
    windows.reserve(windows_.size());
    for (auto& [model, window] : windows_) windows.push_back(window);
    for (const auto& window : windows) {
        if (window && window->Sync()) did = true;
    }
    std::vector<QtMenuPopup*> menus;
    for (auto& [model, menu] : menus_) menus.push_back(menu.get());
    for (QtMenuPopup* menu : menus) {
        if (menu->Sync()) did = true;
    }
    flushing_ = false;
    if (did) ++stats_.flushes;
    since_flush_.restart();
}

QImage QtRenderer::Grab(const CWindowWnd& window) {
    Flush();
    QtWindow* w = WindowFor(window);
    return w ? w->grab().toImage() : QImage();
}

void QtRenderer::AfterUserAction() {
    driver_->CheckNested();
    ScheduleFlush();
}

QtWindow* QtRenderer::WindowFor(const CWindowWnd& window) const {
    auto it = windows_.find(&window);
    return it == windows_.end() ? nullptr : it->second.data();
}

QWidget* QtRenderer::WidgetFor(const CControlUI& control) const {
    QtWindow* window = QtWindowOf(control.GetManager());
    return window ? window->WidgetFor(control) : nullptr;
}

QMenu* QtRenderer::MenuFor(const CWindowWnd& window) const {
    auto it = menus_.find(&window);
    return it == menus_.end() ? nullptr : it->second->Menu();
}

QtTrayIcon* QtRenderer::TrayFor(const CTrayIcon& icon) const {
    auto it = trays_.find(&icon);
    return it == trays_.end() ? nullptr : it->second.get();
}

QtWindow* QtRenderer::QtWindowOf(const CPaintManagerUI* manager) const {
    if (!manager || !manager->GetPaintWindow()) return nullptr;
    auto it = windows_.find(manager->GetPaintWindow());
    return it == windows_.end() ? nullptr : it->second.data();
}

QtMenuPopup* QtRenderer::MenuOf(const CPaintManagerUI* manager) const {
    if (!manager || !manager->GetPaintWindow()) return nullptr;
    auto it = menus_.find(manager->GetPaintWindow());
    return it == menus_.end() ? nullptr : it->second.get();
}

// --- IUiRenderer

void QtRenderer::WindowCreated(CWindowWnd& window) {
    if (windows_.count(&window) || menus_.count(&window)) return;
    if (auto* menu = dynamic_cast<CMenuWnd*>(&window)) {
        menus_[&window] = std::make_unique<QtMenuPopup>(*this, *menu);
    } else {
        QWidget* owner = window.GetOwner() ? WindowFor(*window.GetOwner()) : nullptr;
        windows_[&window] = new QtWindow(*this, window, owner);
    }
    ScheduleFlush();
}

void QtRenderer::WindowDestroyed(CWindowWnd& window) {
    if (auto it = windows_.find(&window); it != windows_.end()) {
        if (it->second) it->second->Detach();
        windows_.erase(it);
    }
    if (auto it = menus_.find(&window); it != menus_.end()) {
        it->second->Detach();
        menus_.erase(it);
    }
}

void QtRenderer::WindowChanged(CWindowWnd& window) {
    if (QtWindow* w = WindowFor(window)) {
        w->MarkWindowDirty();
        ScheduleFlush();
    } else if (auto it = menus_.find(&window); it != menus_.end()) {
        it->second->MarkDirty();
        ScheduleFlush();
    }
}

void QtRenderer::ControlChanged(CControlUI& control) {
    const CPaintManagerUI* manager = control.GetManager();
    if (QtWindow* window = QtWindowOf(manager)) {
        window->MarkControlDirty(control);
        // A hidden or minimised window waits, and so does a control in a hidden
        // container: nothing is drawn for them.
        const CControlUI* parent = control.GetParent();
        if (window->IsShownInModel() && (!parent || parent->IsVisible())) ScheduleFlush();
    } else if (QtMenuPopup* menu = MenuOf(manager)) {
        menu->MarkDirty();
    }
}

void QtRenderer::TreeChanged(CPaintManagerUI& manager, CControlUI* container) {
    if (QtWindow* window = QtWindowOf(&manager)) {
        window->MarkTreeDirty(container);
        if (window->IsShownInModel()) ScheduleFlush();
    } else if (QtMenuPopup* menu = MenuOf(&manager)) {
        menu->MarkDirty();
    }
}

void QtRenderer::ManagerChanged(CPaintManagerUI& manager) {
    if (QtWindow* window = QtWindowOf(&manager)) {
        window->MarkAllDirty();
        if (window->IsShownInModel()) ScheduleFlush();
    }
}

void QtRenderer::FontFileAdded(const std::string& path) {
    const int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
    if (id < 0) {
        LOG_WARNING(kTag, "font %s not loaded; the system's fonts stand in", path.c_str());
        return;
    }
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    for (const QString& family : families) font_families_.push_back(family.toStdString());
    LOG_DEBUG(kTag, "font %s: %s", path.c_str(), families.join(QStringLiteral(", ")).toUtf8().constData());
    // Text already drawn with a stand-in face is drawn again.
    for (auto& [model, window] : windows_) {
        if (window) window->MarkAllDirty();
    }
    ScheduleFlush();
}

std::optional<UiRect> QtRenderer::MonitorRect(const CWindowWnd& window) {
    const QScreen* screen = nullptr;
    if (QtWindow* w = WindowFor(window); w && w->isVisible()) screen = w->screen();
    if (!screen) {
        const UiRect r = window.GetWindowRect();
        screen = QGuiApplication::screenAt(QPoint(r.left + r.Width() / 2, r.top + r.Height() / 2));
        if (!screen) screen = QGuiApplication::primaryScreen();
    }
    if (!screen) return std::nullopt;
    const QRect g = screen->geometry();
    return UiRect{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

void QtRenderer::TrayIconChanged(CTrayIcon& icon) {
    auto it = trays_.find(&icon);
    if (it == trays_.end()) {
        trays_.emplace(&icon, std::make_unique<QtTrayIcon>(*this, icon));
    } else {
        it->second->Sync();
    }
}

void QtRenderer::TrayIconRemoved(CTrayIcon& icon) { trays_.erase(&icon); }

std::optional<bool> QtRenderer::SystemTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

// --- dialogs and screens

void QtRenderer::InstallDialogs() {
    CFileDialog::SetHandler([this](const FileDialogRequest& request) -> std::optional<std::string> {
        QWidget* parent = nullptr;
        if (CWindowWnd* owner = CWindowWnd::FromHandle(request.owner)) parent = WindowFor(*owner);
        QFileDialog dialog(parent, QString::fromStdString(request.title));
        const bool save = request.kind == FileDialogRequest::Kind::Save;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!request.filter.empty()) dialog.setNameFilter(QString::fromStdString(request.filter));
        if (!request.default_extension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
        if (!request.folder.empty()) dialog.setDirectory(QString::fromStdString(request.folder));
        if (!request.initial_name.empty()) dialog.selectFile(QString::fromStdString(request.initial_name));
        dialog.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty()) return std::nullopt;
        return files.first().toStdString();
    });
    CColorSelectDialog::SetHandler([this](const ColorSelectRequest& request) {
        QWidget* parent = nullptr;
        if (CWindowWnd* owner = CWindowWnd::FromHandle(request.owner)) parent = WindowFor(*owner);
        QColorDialog dialog(QColor::fromRgb(request.start_colour & 0xFFFFFFu), parent);
        dialog.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
        if (dialog.exec() != QDialog::Accepted) return ColorSelectResult{0, request.start_colour};
        const QColor chosen = dialog.selectedColor();
        return ColorSelectResult{1, static_cast<std::uint32_t>(chosen.rgb() & 0xFFFFFFu)};
    });
}

void QtRenderer::WatchScreens() {
    screen_watch_ = std::make_unique<QObject>();
    QObject* context = screen_watch_.get();
    auto watch = [this, context](QScreen* screen) {
        QObject::connect(screen, &QScreen::geometryChanged, context, [this] { DisplayChanged(); });
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    QObject::connect(qApp, &QGuiApplication::screenAdded, context, [this, watch](QScreen* screen) {
        watch(screen);
        DisplayChanged();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, context, [this] { DisplayChanged(); });
    QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, context, [this] { DisplayChanged(); });
}

void QtRenderer::DisplayChanged() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const auto w = static_cast<std::intptr_t>(screen->geometry().width());
    const auto h = static_cast<std::intptr_t>(screen->geometry().height());
    // Top-level windows hear of it as they would on the desktop.
    for (CWindowWnd* window : CWindowWnd::AllWindows()) {
        if (!window->GetOwner() && !dynamic_cast<CMenuWnd*>(window)) {
            window->PostMessage(WM_DISPLAYCHANGE, 32, (h << 16) | (w & 0xFFFF));
        }
    }
}

}  // namespace lumora
