#include "InputField.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <limits>

namespace {

bool movesFocus(const QKeyEvent* key) {
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
}

} // namespace

InputField::InputField(QWidget* parent) : QLineEdit(parent) {
    // No cap on the length: Qt's default of 32767 characters would cut a
    // long name silently on its way to the report.
    setMaxLength(std::numeric_limits<int>::max());
}

bool InputField::event(QEvent* event) {
    // Tab is handled by QWidget::event before keyPressEvent sees it, so the
    // check has to come first here.
    if (event->type() == QEvent::KeyPress && movesFocus(static_cast<QKeyEvent*>(event)) &&
        leaveCheck_ && !leaveCheck_()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void InputField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A plain Tab, whatever the shift state of the Enter, handled before
        // this returns: the focus has moved (or been refused) by then.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        // As for a real Tab: the styles then show where the focus went.
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        QCoreApplication::sendEvent(this, &tab);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InputField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!selectAllOnEntry_)
        return;
    // Coming back to the window (or from a menu) is not entering the field:
    // an entry being typed keeps its cursor then.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    selectAll();
    selectAfterPress_ = event->reason() == Qt::MouseFocusReason;
}

void InputField::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    // The press that gave the focus has just placed the cursor.
    if (selectAfterPress_) {
        selectAfterPress_ = false;
        selectAll();
    }
}
