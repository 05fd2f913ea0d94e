// Lets a window refuse a focus change that a mouse press would cause.
//
// Qt gives the focus to the pressed widget before the press reaches the
// widget or any filter on it, so the guard watches the window's QWindow,
// which sees the press first. When the press would move the focus away from
// the window's focus widget and `mayLeave` refuses, the press and the
// release that belongs to it reach nothing.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

class ClickFocusGuard : public QObject {
    Q_OBJECT
public:
    // `mayLeave(from)` decides whether the focus may leave `from`; it is asked
    // only when a press would give the focus to another widget.
    ClickFocusGuard(QWidget* window, std::function<bool(QWidget* from)> mayLeave);

    // Starts watching; call once the window has its QWindow (when shown).
    void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The widget that Qt would give the focus to for a press at `pos`
    // (window coordinates), or nullptr when the press moves no focus.
    QWidget* focusTargetAt(const QPoint& pos) const;

    QWidget* window_;
    std::function<bool(QWidget*)> mayLeave_;
    bool installed_ = false;
    bool swallowRelease_ = false;
};
