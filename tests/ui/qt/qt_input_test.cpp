// Real input on real widgets becomes the notifications headless tests send.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QWheelEvent>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>

#include "tests/ui/qt/qt_test_support.h"
#include "ui/combo_ui.h"
#include "ui/edit_ui.h"
#include "ui/option_ui.h"
#include "ui/qt/qt_combo_widget.h"
#include "ui/qt/qt_edit_widget.h"
#include "ui/qt/qt_slider_widget.h"
#include "ui/slider_ui.h"

namespace lumora::test {
namespace {

class QtInputTest : public QtUiTest {
protected:
    // Notifications other than focus changes, in order.
    static std::vector<Seen> WithoutFocus(std::vector<Seen> seen) {
        std::erase_if(seen, [](const Seen& s) { return s.type == "setfocus" || s.type == "killfocus"; });
        return seen;
    }
};

TEST_F(QtInputTest, ClicksOnButtonsOptionsAndRows) {
    auto window = OpenSkin();
    QTest::mouseClick(WidgetOf(*window, "default_btn"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(WithoutFocus(window->recorder.Take()), (std::vector<Seen>{{"click", "default_btn", 0, 0}}));

    // An option of a group: the tab page bound to it shows.
    QTest::mouseClick(WidgetOf(*window, "deng_Op_tab"), Qt::LeftButton);
    Settle();
    auto seen = WithoutFocus(window->recorder.Take());
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{"selectchanged", "deng_Op_tab", 0, 0}), seen.end());
    EXPECT_TRUE(WidgetOf(*window, "light_page")->isVisible());
    EXPECT_FALSE(WidgetOf(*window, "keys_page")->isVisible());
    QTest::mouseClick(WidgetOf(*window, "key_Op_tab"), Qt::LeftButton);
    Settle();
    window->recorder.Take();

    // A check box toggles.
    QTest::mouseClick(WidgetOf(*window, "winlockflag_option"), Qt::LeftButton);
    Settle();
    seen = WithoutFocus(window->recorder.Take());
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{"selectchanged", "winlockflag_option", 0, 0}), seen.end());
    EXPECT_TRUE(dynamic_cast<COptionUI*>(window->FindControl("winlockflag_option"))->IsSelected());

    // A row: a click selects it, a double click activates it.
    QWidget* row = WidgetOf(*window, "macro_row_1");
    QTest::mouseClick(row, Qt::LeftButton);
    Settle();
    EXPECT_EQ(WithoutFocus(window->recorder.Take()),
              (std::vector<Seen>{{"itemselect", "macro_name_list", 1, -1}, {"itemclick", "macro_row_1", 0, 0}}));
    QTest::mouseDClick(row, Qt::LeftButton);
    Settle();
    seen = WithoutFocus(window->recorder.Take());
    EXPECT_NE(std::find(seen.begin(), seen.end(), Seen{"itemactivate", "macro_row_1", 0, 0}), seen.end());

    // A click released outside the button is no click.
    QWidget* button = WidgetOf(*window, "default_btn");
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
    Settle();
    EXPECT_TRUE(WithoutFocus(window->recorder.Take()).empty());
}

TEST_F(QtInputTest, DraggingTheSliderMovesThenReleases) {
    auto window = OpenSkin();
    auto* widget = WidgetOf<QtSliderWidget>(*window, "deng_light_slider");
    ASSERT_NE(widget, nullptr);
    QSlider* slider = widget->Slider();
    // The thumb of the theme is 18 pixels wide (14 and a 2 pixel rim).
    const int thumb = 18;
    const QPoint start(QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), slider->value(),
                                                       slider->width() - thumb) + thumb / 2,
                       slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, start);
    ASSERT_TRUE(slider->isSliderDown());
    QTest::mouseMove(slider, start + QPoint(40, 0));
    QTest::mouseMove(slider, start + QPoint(80, 0));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, start + QPoint(80, 0));
    Settle();
    const auto seen = WithoutFocus(window->recorder.Take());
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].type, "movevaluechanged");
    EXPECT_EQ(seen[seen.size() - 2].type, "movevaluechanged");
    EXPECT_EQ(seen.back(), (Seen{"valuechanged", "deng_light_slider", 0, 0}));
    auto* model = dynamic_cast<CSliderUI*>(window->FindControl("deng_light_slider"));
    EXPECT_GT(model->GetValue(), 40);
    EXPECT_EQ(model->GetValue(), slider->value());

    // A key step ends where it lands.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    Settle();
    EXPECT_EQ(WithoutFocus(window->recorder.Take()), (std::vector<Seen>{{"valuechanged", "deng_light_slider", 0, 0}}));
    EXPECT_EQ(model->GetValue(), slider->value());

    // The program's value moves the thumb and tells nobody.
    model->SetValue(7);
    Settle();
    EXPECT_EQ(slider->value(), 7);
    EXPECT_TRUE(window->recorder.Take().empty());
}

TEST_F(QtInputTest, ComboChoiceAndRefusedChoiceGoBack) {
    auto window = OpenSkin();
    auto* widget = WidgetOf<QtComboWidget>(*window, "device_profile_combo");
    ASSERT_NE(widget, nullptr);
    QComboBox* box = widget->Box();
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(1), QStringLiteral("Profile 2"));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    Settle();
    EXPECT_EQ(WithoutFocus(window->recorder.Take()),
              (std::vector<Seen>{{"itemselect", "device_profile_combo", 0, static_cast<std::intptr_t>(-1)}}));
    auto* combo = dynamic_cast<CComboUI*>(window->FindControl("device_profile_combo"));
    EXPECT_EQ(combo->GetCurSel(), 0);
    QTest::keyClick(box, Qt::Key_Down);
    Settle();
    EXPECT_EQ(combo->GetCurSel(), 1);

    // While a modal window disables the window the model refuses; the box goes back.
    window->EnableWindow(false);
    QTest::keyClick(box, Qt::Key_Down);
    Settle();
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(box->currentIndex(), 1);
    window->EnableWindow(true);

    // The wheel over a box without the focus does not choose (the page scrolls).
    QWidget* button = WidgetOf(*window, "default_btn");
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
    window->recorder.Take();
    QWheelEvent wheel(QPointF(10, 10), box->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(box, &wheel);
    Settle();
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_TRUE(WithoutFocus(window->recorder.Take()).empty());
    box->setFocus();
    QCoreApplication::sendEvent(box, &wheel);
    Settle();
    EXPECT_EQ(combo->GetCurSel(), 2);

    // Rows the program renames show their new text.
    combo->GetItemAt(2)->SetText("Tournament");
    Settle();
    EXPECT_EQ(box->itemText(2), QStringLiteral("Tournament"));
}

TEST_F(QtInputTest, TypingGoesThroughTheFieldsRulesAndLeavingKillsFocus) {
    auto window = OpenSkin();
    auto* widget = WidgetOf<QtEditWidget>(*window, "DPI_edit_1");
    ASSERT_NE(widget, nullptr);
    auto* line = qobject_cast<QLineEdit*>(widget->Editor());
    ASSERT_NE(line, nullptr);
    QTest::mouseClick(line, Qt::LeftButton);
    line->selectAll();
    QTest::keyClicks(line, "16a00x0");  // letters are not taken; five characters at most
    Settle();
    auto* edit = dynamic_cast<CEditUI*>(window->FindControl("DPI_edit_1"));
    EXPECT_EQ(edit->GetText(), "16000");
    EXPECT_EQ(line->text(), QStringLiteral("16000"));
    auto seen = window->recorder.Take();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), (Seen{"setfocus", "DPI_edit_1", 0, 0}));
    EXPECT_EQ(seen.back(), (Seen{"textchanged", "DPI_edit_1", 0, 0}));

    // Clicking elsewhere ends the edit: "killfocus" is what applies a typed value.
    QTest::mouseClick(WidgetOf(*window, "default_btn"), Qt::LeftButton);
    Settle();
    seen = window->recorder.Take();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), (Seen{"killfocus", "DPI_edit_1", 0, 0}));

    // Text the program sets is shown and notifies nothing.
    edit->SetText("800");
    Settle();
    EXPECT_EQ(line->text(), QStringLiteral("800"));
    EXPECT_TRUE(window->recorder.Take().empty());
}

}  // namespace
}  // namespace lumora::test
