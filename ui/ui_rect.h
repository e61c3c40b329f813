#pragma once
// Plain geometry of the control tree, in logical pixels.

namespace lumora {

struct UiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const UiRect&) const = default;
};

}  // namespace lumora

namespace lumora {

struct UiPoint {
    int x = 0;
    int y = 0;
    bool operator==(const UiPoint&) const = default;
};

}  // namespace lumora
