#include "ui/qt/qt_layout_engine.h"

#include <algorithm>

namespace lumora {

namespace {

UiRect FloatRect(const LayoutItem& item) {
    const int w = item.fixed_width > 0 ? item.fixed_width : std::max(0, item.pos.Width());
    const int h = item.fixed_height > 0 ? item.fixed_height : std::max(0, item.pos.Height());
    return UiRect{item.pos.left, item.pos.top, item.pos.left + w, item.pos.top + h};
}

// One axis of a linear layout: "main" runs along the stacking direction.
struct Axis {
    int start;        // inner area start on the main axis
    int length;       // inner area length on the main axis
    int cross_start;  // inner area start across
    int cross_length;
};

int Place(LayoutBox::Align align, int start, int length, int size, int pad_before, int pad_after) {
    switch (align) {
        case LayoutBox::Align::Center:
            return start + (length - size) / 2;
        case LayoutBox::Align::End:
            return start + length - pad_after - size;
        case LayoutBox::Align::Start:
        default:
            return start + pad_before;
    }
}

LayoutResult Linear(const LayoutBox& box, const std::vector<LayoutItem>& items, bool vertical) {
    LayoutResult result;
    result.rects.assign(items.size(), UiRect{});
    const UiRect& in = box.inset;
    const int inner_w = std::max(0, box.width - in.left - in.right);
    const int inner_h = std::max(0, box.height - in.top - in.bottom);
    const Axis axis = vertical ? Axis{in.top, inner_h, in.left, inner_w} : Axis{in.left, inner_w, in.top, inner_h};

    auto main_fixed = [&](const LayoutItem& it) { return vertical ? it.fixed_height : it.fixed_width; };
    auto cross_fixed = [&](const LayoutItem& it) { return vertical ? it.fixed_width : it.fixed_height; };
    auto pad_main_before = [&](const LayoutItem& it) { return vertical ? it.padding.top : it.padding.left; };
    auto pad_main_after = [&](const LayoutItem& it) { return vertical ? it.padding.bottom : it.padding.right; };
    auto pad_cross_before = [&](const LayoutItem& it) { return vertical ? it.padding.left : it.padding.top; };
    auto pad_cross_after = [&](const LayoutItem& it) { return vertical ? it.padding.right : it.padding.bottom; };

    int adjustables = 0;
    int fixed_total = 0;
    int placed = 0;
    for (const LayoutItem& it : items) {
        if (!it.visible || it.floating) continue;
        if (main_fixed(it) == 0) ++adjustables;
        fixed_total += main_fixed(it) + pad_main_before(it) + pad_main_after(it);
        ++placed;
    }
    if (placed > 1) fixed_total += (placed - 1) * box.child_padding;
    const int expand = adjustables > 0 ? std::max(0, (axis.length - fixed_total) / adjustables) : 0;
    const LayoutBox::Align cross_align = vertical ? box.child_align : box.child_valign;

    int cursor = axis.start;
    int remaining = axis.length;
    int fixed_remaining = fixed_total - (placed > 1 ? (placed - 1) * box.child_padding : 0);
    int adjusted = 0;
    int seen = 0;
    int needed_main = 0;
    int needed_cross = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& it = items[i];
        if (!it.visible) continue;
        if (it.floating) {
            result.rects[i] = FloatRect(it);
            continue;
        }
        const int before = pad_main_before(it);
        const int after = pad_main_after(it);
        fixed_remaining -= before + after;
        const int later = placed - ++seen;
        int size = main_fixed(it);
        if (size == 0) {
            ++adjusted;
            size = expand;
            // The last adjustable child takes the rounding rest.
            if (adjusted == adjustables) {
                size = std::max(0, remaining - before - after - fixed_remaining - later * box.child_padding);
            }
        } else {
            fixed_remaining -= size;
        }
        int cross = cross_fixed(it);
        const int cb = pad_cross_before(it);
        const int ca = pad_cross_after(it);
        if (cross == 0) cross = std::max(0, axis.cross_length - cb - ca);
        const int cross_pos = Place(cross_align, axis.cross_start, axis.cross_length, cross, cb, ca);
        const int main_pos = cursor + before;
        result.rects[i] = vertical ? UiRect{cross_pos, main_pos, cross_pos + cross, main_pos + size}
                                   : UiRect{main_pos, cross_pos, main_pos + size, cross_pos + cross};
        const int used = before + size + after + box.child_padding;
        cursor += used;
        remaining -= used;
        needed_main += before + size + after;
        needed_cross = std::max(needed_cross, cb + cross + ca);
    }
    if (placed > 1) needed_main += (placed - 1) * box.child_padding;
    if (vertical) {
        result.needed_height = needed_main + in.top + in.bottom;
        result.needed_width = needed_cross + in.left + in.right;
    } else {
        result.needed_width = needed_main + in.left + in.right;
        result.needed_height = needed_cross + in.top + in.bottom;
    }
    return result;
}

LayoutResult Stack(const LayoutBox& box, const std::vector<LayoutItem>& items) {
    LayoutResult result;
    result.rects.assign(items.size(), UiRect{});
    const UiRect& in = box.inset;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& it = items[i];
        if (!it.visible) continue;
        if (it.floating) {
            result.rects[i] = FloatRect(it);
            continue;
        }
        const int left = in.left + it.padding.left;
        const int top = in.top + it.padding.top;
        const int avail_w = std::max(0, box.width - in.right - it.padding.right - left);
        const int avail_h = std::max(0, box.height - in.bottom - it.padding.bottom - top);
        const int w = it.fixed_width > 0 ? it.fixed_width : avail_w;
        const int h = it.fixed_height > 0 ? it.fixed_height : avail_h;
        result.rects[i] = UiRect{left, top, left + w, top + h};
        result.needed_width = std::max(result.needed_width, left + w + it.padding.right + in.right);
        result.needed_height = std::max(result.needed_height, top + h + it.padding.bottom + in.bottom);
    }
    return result;
}

}  // namespace

LayoutResult QtLayoutEngine::Arrange(const LayoutBox& box, const std::vector<LayoutItem>& items) {
    switch (box.kind) {
        case LayoutBox::Kind::Vertical:
            return Linear(box, items, true);
        case LayoutBox::Kind::Horizontal:
            return Linear(box, items, false);
        case LayoutBox::Kind::Stack:
        default:
            return Stack(box, items);
    }
}

}  // namespace lumora
