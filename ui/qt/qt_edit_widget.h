#pragma once
// An edit (QLineEdit) or rich edit (QPlainTextEdit) field. What the user types
// goes to the model as "textchanged" (the model filters it: digits only, length,
// read-only) and the field then shows what the model kept; Enter in a one-line
// field is "return"; the field's focus is the control's focus ("setfocus",
// "killfocus"). Text the program sets is shown without any notification.

#include <QObject>

#include "ui/qt/qt_control_widget.h"

class QLineEdit;
class QPlainTextEdit;

namespace lumora {

class QtEditWidget : public QtControlWidget {
public:
    QtEditWidget(QtWindow& window, CControlUI& control, QWidget* parent, bool multi_line);

    bool Sync() override;
    QWidget* Editor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void PaintContent(QPainter& painter) override;

private:
    void PlaceEditor();

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    bool syncing_ = false;
    bool themed_field_ = true;
};

}  // namespace lumora
