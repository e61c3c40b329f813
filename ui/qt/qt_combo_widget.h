#pragma once
// A combo box: a QComboBox listing the texts of the combo's rows (a row made of
// controls shows the first text inside it). Choosing a row is "itemselect" with
// its index; the box then shows the model's selection, also when the model
// refused the choice. The wheel chooses only in a box that has the focus, so
// scrolling a page never changes a profile by accident.

#include <QStringList>

#include <vector>

#include "ui/qt/qt_control_widget.h"

class QComboBox;
class QLabel;

namespace lumora {

class QtComboWidget : public QtControlWidget {
public:
    QtComboWidget(QtWindow& window, CControlUI& control, QWidget* parent);

    bool Sync() override;
    QComboBox* Box() const { return box_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void PaintContent(QPainter& painter) override;

private:
    void PlaceBox();

    QComboBox* box_;
    QLabel* arrow_;
    int arrow_size_ = 0;
    QStringList items_;
    std::vector<bool> shown_;
    std::vector<bool> enabled_;
};

}  // namespace lumora
