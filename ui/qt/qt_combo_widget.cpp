#include "ui/qt/qt_combo_widget.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QListView>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include <algorithm>
#include <functional>
#include <string>

#include "ui/combo_ui.h"
#include "ui/container_ui.h"
#include "ui/qt/qt_theme.h"

namespace lumora {

namespace {
// The first text found in a row, depth first (a row may be a container of controls).
std::string RowText(const CControlUI& row) {
    std::string text = row.GetText();
    if (!text.empty()) return text;
    if (const CContainerUI* container = row.AsContainer()) {
        for (int i = 0; i < container->GetCount(); ++i) {
            text = RowText(*container->GetItemAt(i));
            if (!text.empty()) return text;
        }
    }
    return {};
}
}  // namespace

QtComboWidget::QtComboWidget(QtWindow& window, CControlUI& control, QWidget* parent)
    : QtControlWidget(window, control, parent), box_(new QComboBox(this)), arrow_(new QLabel(box_)) {
    box_->setView(new QListView(box_));
    // The theme's drop-down mark, drawn over the box and blind to the mouse.
    arrow_->setAttribute(Qt::WA_TransparentForMouseEvents);
    box_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(box_);
    box_->installEventFilter(this);
    QObject::connect(box_, &QComboBox::activated, this, [this](int index) { Act("itemselect", std::to_string(index)); });
}

bool QtComboWidget::Sync() {
    const bool moved = QtControlWidget::Sync();
    const auto* combo = dynamic_cast<const CComboUI*>(Control());
    if (!combo) return moved;
    QStringList items;
    std::vector<bool> shown;
    std::vector<bool> enabled;
    for (int i = 0; i < combo->GetCount(); ++i) {
        const CControlUI* row = combo->GetItemAt(i);
        items << QString::fromStdString(RowText(*row));
        shown.push_back(row->GetVisibleFlag());
        enabled.push_back(row->IsEnabled());
    }
    const QSignalBlocker block(box_);
    if (items != items_) {
        items_ = items;
        box_->clear();
        box_->addItems(items);
        shown_.clear();
        enabled_.clear();
    }
    if (shown != shown_ || enabled != enabled_) {
        shown_ = shown;
        enabled_ = enabled;
        auto* view = qobject_cast<QListView*>(box_->view());
        auto* model = qobject_cast<QStandardItemModel*>(box_->model());
        for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
            if (view) view->setRowHidden(i, !shown[static_cast<std::size_t>(i)]);
            if (model) {
                if (QStandardItem* item = model->item(i)) item->setEnabled(enabled[static_cast<std::size_t>(i)]);
            }
        }
    }
    if (box_->currentIndex() != combo->GetCurSel()) box_->setCurrentIndex(combo->GetCurSel());
    box_->setFont(GetLook().font);
    box_->setEnabled(GetLook().enabled);
    PlaceBox();
    return moved;
}

void QtComboWidget::PlaceBox() {
    box_->setGeometry(rect());
    const int side = std::max(8, Px(10));
    if (side != arrow_size_) {
        arrow_size_ = side;
        const qreal ratio = devicePixelRatioF();
        QPixmap mark(QSize(side, side) * ratio);
        mark.setDevicePixelRatio(ratio);
        mark.fill(Qt::transparent);
        QPainter p(&mark);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QtTheme::Accent(), std::max(1.5, side / 6.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath chevron;
        chevron.moveTo(side * 0.15, side * 0.35);
        chevron.lineTo(side * 0.5, side * 0.7);
        chevron.lineTo(side * 0.85, side * 0.35);
        p.drawPath(chevron);
        p.end();
        arrow_->setPixmap(mark);
        arrow_->resize(side, side);
    }
    arrow_->move(box_->width() - side - Px(8), (box_->height() - side) / 2);
    arrow_->raise();
}

bool QtComboWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::Wheel && !box_->hasFocus()) {
        event->ignore();
        return true;
    }
    return QtControlWidget::eventFilter(watched, event);
}

void QtComboWidget::resizeEvent(QResizeEvent* event) {
    QtControlWidget::resizeEvent(event);
    PlaceBox();
}

void QtComboWidget::PaintContent(QPainter& /*painter*/) {
    // The box draws itself; only the skin's background and border show around it.
}

}  // namespace lumora
