#include "ui/qt/qt_image_cache.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/logger.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"
#include "ui/ui_text.h"
#include "ui/xml_source.h"

namespace lumora {

namespace {
constexpr const char* kTag = "qt";

QRect ToQRect(const UiRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
}  // namespace

const QtImage* QtImageCache::Find(std::string_view description, const CPaintManagerUI* manager) {
    if (description.empty()) return nullptr;
    std::string key(description);
    // A name of the window's <Image> list stands for its description.
    if (manager && key.find('=') == std::string::npos) {
        if (const std::string* named = manager->GetImage(key)) key = *named;
    }
    auto it = cache_.find(key);
    if (it == cache_.end()) it = cache_.emplace(key, Load(key)).first;
    return it->second ? &*it->second : nullptr;
}

void QtImageCache::Clear() { cache_.clear(); }

std::optional<QtImage> QtImageCache::Load(const std::string& description) const {
    QtImage image;
    std::string file;
    if (description.find('=') == std::string::npos) {
        file = description;
    } else {
        for (const auto& [name, value] : UiText::ParseAttributeList(description)) {
            if (UiText::EqualsNoCase(name, "file") || UiText::EqualsNoCase(name, "res")) {
                file = value;
            } else if (UiText::EqualsNoCase(name, "source")) {
                if (auto r = UiText::ParseRect(value)) image.source = ToQRect(*r);
            } else if (UiText::EqualsNoCase(name, "dest")) {
                if (auto r = UiText::ParseRect(value)) image.dest = *r;
            } else if (UiText::EqualsNoCase(name, "corner")) {
                if (auto r = UiText::ParseRect(value)) {
                    image.corner = QMargins(std::max(0, r->left), std::max(0, r->top), std::max(0, r->right),
                                            std::max(0, r->bottom));
                }
            } else if (UiText::EqualsNoCase(name, "fade")) {
                image.fade = static_cast<int>(std::clamp<long long>(UiText::ParseInt(value).value_or(255), 0, 255));
            }
        }
    }
    if (file.empty()) return std::nullopt;
    std::string path = CResourceManager::GetInstance().GetImagePath(file).value_or(file);
    path = XmlSource::ResolvePath(path);
    if (!image.pixmap.load(QString::fromStdString(path))) {
        LOG_WARNING(kTag, "image %s not loaded; skipped", path.c_str());
        return std::nullopt;
    }
    if (!image.source.isEmpty()) image.source &= image.pixmap.rect();
    return image;
}

void QtImageCache::Draw(QPainter& painter, const QRect& target, const QtImage& image, double scale) {
    if (image.pixmap.isNull() || image.fade == 0) return;
    const QRect source = image.source.isEmpty() ? image.pixmap.rect() : image.source;
    QRect dest = target;
    if (image.dest.Width() > 0 && image.dest.Height() > 0) {
        auto px = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
        dest = QRect(target.left() + px(image.dest.left), target.top() + px(image.dest.top), px(image.dest.Width()),
                     px(image.dest.Height()));
    }
    const double old_opacity = painter.opacity();
    if (image.fade < 255) painter.setOpacity(old_opacity * image.fade / 255.0);
    const QMargins& c = image.corner;
    if (c.isNull() || source.width() <= c.left() + c.right() || source.height() <= c.top() + c.bottom()) {
        painter.drawPixmap(dest, image.pixmap, source);
    } else {
        // Nine patches: corners keep their (scaled) size, edges and middle stretch.
        auto px = [scale](int v) { return std::max(0, static_cast<int>(std::lround(v * scale))); };
        const int sl = c.left(), st = c.top(), sr = c.right(), sb = c.bottom();
        const int dl = std::min(px(sl), dest.width() / 2), dt = std::min(px(st), dest.height() / 2);
        const int dr = std::min(px(sr), dest.width() / 2), db = std::min(px(sb), dest.height() / 2);
        const int sx[4] = {source.left(), source.left() + sl, source.right() + 1 - sr, source.right() + 1};
        const int sy[4] = {source.top(), source.top() + st, source.bottom() + 1 - sb, source.bottom() + 1};
        const int dx[4] = {dest.left(), dest.left() + dl, dest.right() + 1 - dr, dest.right() + 1};
        const int dy[4] = {dest.top(), dest.top() + dt, dest.bottom() + 1 - db, dest.bottom() + 1};
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                const QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
                const QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
                if (s.isValid() && d.isValid() && !s.isEmpty() && !d.isEmpty()) painter.drawPixmap(d, image.pixmap, s);
            }
        }
    }
    painter.setOpacity(old_opacity);
}

}  // namespace lumora
