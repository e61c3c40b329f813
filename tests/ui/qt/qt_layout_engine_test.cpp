// DuiLib's layout rules as the renderer applies them.
#include <gtest/gtest.h>

#include "ui/qt/qt_layout_engine.h"

namespace lumora {
namespace {

LayoutItem Fixed(int w, int h) {
    LayoutItem item;
    item.fixed_width = w;
    item.fixed_height = h;
    return item;
}

TEST(QtLayoutEngineTest, VerticalSharesWhatFixedChildrenLeave) {
    LayoutBox box;
    box.kind = LayoutBox::Kind::Vertical;
    box.width = 200;
    box.height = 101;
    box.inset = UiRect{10, 5, 10, 5};
    box.child_padding = 4;
    LayoutItem padded = Fixed(0, 20);
    padded.padding = UiRect{3, 2, 7, 1};
    LayoutItem hidden = Fixed(0, 50);
    hidden.visible = false;
    LayoutItem floating = Fixed(30, 10);
    floating.floating = true;
    floating.pos = UiRect{50, 60, 80, 70};
    const auto r = QtLayoutEngine::Arrange(box, {padded, LayoutItem{}, hidden, floating, LayoutItem{}, Fixed(40, 0)});
    // Inner area 180 x 91; fixed: 20+3 (padded) + 0 (fixed-width auto height counts as auto)...
    EXPECT_EQ(r.rects[0], (UiRect{13, 7, 13 + 170, 27}));           // padding around, width filled less padding
    EXPECT_EQ(r.rects[2], UiRect{});                                // hidden: nothing
    EXPECT_EQ(r.rects[3], (UiRect{50, 60, 80, 70}));                // float: at its pos, own size
    // Three adjustable children share 91 - 23 - 3 * 4 = 56; the last takes the rest.
    EXPECT_EQ(r.rects[1], (UiRect{10, 32, 190, 50}));
    EXPECT_EQ(r.rects[4], (UiRect{10, 54, 190, 72}));
    EXPECT_EQ(r.rects[5], (UiRect{10, 76, 50, 96}));                // fixed width, left aligned
    EXPECT_EQ(r.rects[5].bottom, 101 - 5);                          // nothing lost to rounding
}

TEST(QtLayoutEngineTest, HorizontalAlignsAcrossAndReportsWhatItNeeds) {
    LayoutBox box;
    box.kind = LayoutBox::Kind::Horizontal;
    box.width = 100;
    box.height = 40;
    box.child_padding = 10;
    box.child_valign = LayoutBox::Align::Center;
    const auto r = QtLayoutEngine::Arrange(box, {Fixed(30, 20), Fixed(50, 0), Fixed(60, 10)});
    EXPECT_EQ(r.rects[0], (UiRect{0, 10, 30, 30}));
    EXPECT_EQ(r.rects[1], (UiRect{40, 0, 90, 40}));
    EXPECT_EQ(r.rects[2], (UiRect{100, 15, 160, 25}));  // overflows: a scrolling parent scrolls
    EXPECT_EQ(r.needed_width, 160);
}

TEST(QtLayoutEngineTest, StackFillsOrKeepsFixedSizes) {
    LayoutBox box;
    box.width = 300;
    box.height = 200;
    box.inset = UiRect{5, 5, 5, 5};
    LayoutItem padded;
    padded.padding = UiRect{10, 20, 0, 0};
    const auto r = QtLayoutEngine::Arrange(box, {LayoutItem{}, padded, Fixed(100, 0)});
    EXPECT_EQ(r.rects[0], (UiRect{5, 5, 295, 195}));
    EXPECT_EQ(r.rects[1], (UiRect{15, 25, 295, 195}));
    EXPECT_EQ(r.rects[2], (UiRect{5, 5, 105, 195}));
}

}  // namespace
}  // namespace lumora
