#include "ClickFocusGuard.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

ClickFocusGuard::ClickFocusGuard(QWidget* window, std::function<bool(QWidget*)> mayLeave)
    : QObject(window), window_(window), mayLeave_(std::move(mayLeave)) {}

void ClickFocusGuard::install() {
    if (installed_ || !window_->windowHandle())
        return;
    window_->windowHandle()->installEventFilter(this);
    installed_ = true;
}

QWidget* ClickFocusGuard::focusTargetAt(const QPoint& pos) const {
    // The same walk as Qt's own: from the widget under the press up to the
    // window, the first enabled widget that takes the focus by click gets
    // it; the walk ends early at the widget that has the focus already.
    QWidget* widget = window_->childAt(pos);
    if (!widget)
        widget = window_;
    QWidget* const current = window_->focusWidget();
    for (; widget; widget = widget->parentWidget()) {
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus))
            return widget;
        QWidget* holder = widget->focusProxy() ? widget->focusProxy() : widget;
        if (widget->isWindow() || holder == current)
            return nullptr;
    }
    return nullptr;
}

bool ClickFocusGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_->windowHandle())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A release lost while a message box was open leaves nothing to swallow.
        swallowRelease_ = false;
        QWidget* const current = window_->focusWidget();
        if (!current)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QWidget* const target = focusTargetAt(mouse->position().toPoint());
        if (!target || target == current)
            return false;
        if (mayLeave_(current))
            return false;
        swallowRelease_ = true;
        return true;
    }
    case QEvent::MouseMove:
        // A move without buttons means the release went elsewhere.
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            swallowRelease_ = false;
        return swallowRelease_;
    case QEvent::MouseButtonRelease:
        if (swallowRelease_) {
            swallowRelease_ = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}
