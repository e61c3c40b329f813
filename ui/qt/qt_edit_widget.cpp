#include "ui/qt/qt_edit_widget.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

#include "ui/edit_ui.h"
#include "ui/qt/qt_image_cache.h"
#include "ui/qt/qt_theme.h"

namespace lumora {

QtEditWidget::QtEditWidget(QtWindow& window, CControlUI& control, QWidget* parent, bool multi_line)
    : QtControlWidget(window, control, parent) {
    setFocusPolicy(Qt::StrongFocus);
    if (multi_line) {
        multi_ = new QPlainTextEdit(this);
        multi_->setFrameShape(QFrame::NoFrame);
        multi_->viewport()->setAutoFillBackground(false);
        multi_->setAutoFillBackground(false);
        QObject::connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
            if (!syncing_) Act("textchanged", multi_->toPlainText().toStdString());
        });
    } else {
        line_ = new QLineEdit(this);
        line_->setFrame(false);
        line_->setAutoFillBackground(false);
        QObject::connect(line_, &QLineEdit::textEdited, this,
                         [this](const QString& text) { Act("textchanged", text.toStdString()); });
        QObject::connect(line_, &QLineEdit::returnPressed, this, [this] { Act("return"); });
    }
    Editor()->installEventFilter(this);
    setFocusProxy(Editor());
}

QWidget* QtEditWidget::Editor() const {
    if (line_) return line_;
    return multi_;
}

bool QtEditWidget::Sync() {
    const bool moved = QtControlWidget::Sync();
    const auto* edit = dynamic_cast<const CEditUI*>(Control());
    if (!edit) return moved;
    syncing_ = true;
    const Look& look = GetLook();
    const QString text = QString::fromStdString(edit->GetText());
    QPalette palette = Editor()->palette();
    palette.setColor(QPalette::Text, look.text_colour.isValid() ? look.text_colour : QtTheme::Text());
    palette.setColor(QPalette::PlaceholderText, QtTheme::TextDim());
    Editor()->setPalette(palette);
    Editor()->setFont(look.font);
    Editor()->setEnabled(look.enabled);
    if (line_) {
        if (line_->text() != text) line_->setText(text);
        line_->setReadOnly(edit->IsReadOnly());
        line_->setMaxLength(std::max(1, edit->GetMaxChar()));
        line_->setEchoMode(edit->IsPasswordMode() ? QLineEdit::Password : QLineEdit::Normal);
        line_->setPlaceholderText(QString::fromStdString(edit->GetTipValue()));
        line_->setAlignment(Qt::Alignment(look.align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
        const bool digits = edit->IsNumberOnly();
        if (digits && !line_->validator()) {
            line_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), line_));
        } else if (!digits && line_->validator()) {
            line_->setValidator(nullptr);
        }
    } else if (multi_) {
        if (multi_->toPlainText() != text) multi_->setPlainText(text);
        multi_->setReadOnly(edit->IsReadOnly());
        multi_->setPlaceholderText(QString::fromStdString(edit->GetTipValue()));
    }
    themed_field_ = !look.bk.isValid() && !look.bk_image && !look.normal;
    syncing_ = false;
    PlaceEditor();
    return moved;
}

void QtEditWidget::PlaceEditor() {
    const QMargins pad = GetLook().text_padding.isNull() ? QMargins(Px(8), Px(2), Px(8), Px(2)) : GetLook().text_padding;
    Editor()->setGeometry(rect().marginsRemoved(pad));
}

void QtEditWidget::resizeEvent(QResizeEvent* event) {
    QtControlWidget::resizeEvent(event);
    PlaceEditor();
}

bool QtEditWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Editor()) {
        if (event->type() == QEvent::FocusIn) {
            FocusEntered(static_cast<QFocusEvent*>(event)->reason());
            update();
        } else if (event->type() == QEvent::FocusOut) {
            FocusLeft(static_cast<QFocusEvent*>(event)->reason());
            update();
        }
    }
    return QtControlWidget::eventFilter(watched, event);
}

void QtEditWidget::PaintContent(QPainter& painter) {
    const Look& look = GetLook();
    if (themed_field_) {
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool focused = Editor()->hasFocus();
        painter.setPen(QPen(focused ? QtTheme::Accent() : QtTheme::Border(), 1));
        painter.setBrush(QtTheme::Surface());
        const double radius = std::max(2.0, Scale() * 4);
        painter.drawRoundedRect(r, radius, radius);
        return;
    }
    if (look.normal) QtImageCache::Draw(painter, rect(), *look.normal, Scale());
}

}  // namespace lumora
