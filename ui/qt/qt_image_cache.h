#pragma once
// Skin images, loaded once. An image is named in a skin as a file ("btn.png") or
// as DuiLib's description "file='btn.png' source='0,0,20,20' dest='2,2,18,18'
// corner='4,4,4,4' fade='200'"; a name may also be an <Image> of the window's skin
// or a resource id of the resource table. Files are found under the skin folder.
// A missing or unreadable image is skipped (logged once), never an error.

#include <QMargins>
#include <QPixmap>
#include <QRect>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/ui_rect.h"

class QPainter;

namespace lumora {

class CPaintManagerUI;

struct QtImage {
    QPixmap pixmap;
    QRect source;      // part of the file; empty: all of it
    UiRect dest;       // place inside the control, skin pixels; empty: all of the control
    QMargins corner;   // nine-patch borders, file pixels
    int fade = 255;
};

class QtImageCache {
public:
    // The image, or null when the description names nothing that can be loaded.
    // The pointer stays valid until Clear.
    const QtImage* Find(std::string_view description, const CPaintManagerUI* manager);
    void Clear();
    std::size_t Size() const { return cache_.size(); }

    // Draws into target (the control's rectangle); scale maps skin pixels to ours.
    static void Draw(QPainter& painter, const QRect& target, const QtImage& image, double scale);

private:
    std::optional<QtImage> Load(const std::string& description) const;

    std::unordered_map<std::string, std::optional<QtImage>> cache_;
};

}  // namespace lumora
