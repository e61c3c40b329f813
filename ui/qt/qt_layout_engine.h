#pragma once
// DuiLib's layout rules, as pure geometry in device-independent pixels already
// scaled by the caller:
// - Stack (plain containers and tab layouts): each child fills the inner area (the
//   container less its inset), less its own padding; a fixed width or height
//   replaces the filled one, anchored at the top left.
// - Vertical: children stacked top to bottom with the child padding between them;
//   a child with a fixed height keeps it, the others share what is left equally
//   (the last one takes the rounding rest); widths fill the inner area less the
//   child's padding unless fixed, then placed by the child alignment.
// - Horizontal: the same across.
// Float children are placed at their pos relative to the container's own top left
// (not the inset), with their fixed size. Hidden children get an empty rectangle.

#include <vector>

#include "ui/ui_rect.h"

namespace lumora {

struct LayoutItem {
    bool visible = true;
    bool floating = false;
    int fixed_width = 0;
    int fixed_height = 0;
    UiRect padding;  // margins around the child
    UiRect pos;      // float position
};

struct LayoutBox {
    enum class Kind { Stack, Vertical, Horizontal };
    enum class Align { Start, Center, End };
    Kind kind = Kind::Stack;
    int width = 0;
    int height = 0;
    UiRect inset;
    int child_padding = 0;
    Align child_align = Align::Start;   // across a vertical layout
    Align child_valign = Align::Start;  // across a horizontal layout
};

struct LayoutResult {
    std::vector<UiRect> rects;  // one per item, in the container's coordinates
    int needed_width = 0;       // what the children need, for scrolling
    int needed_height = 0;
};

class QtLayoutEngine {
public:
    static LayoutResult Arrange(const LayoutBox& box, const std::vector<LayoutItem>& items);
};

}  // namespace lumora
