// Drives the main window the way a user does: key presses and mouse clicks
// that travel through the window's QWindow, message boxes answered as they
// come up, and the settings store emptied between tests.
#pragma once

#include "Identity.h"
#include "PrivateRegistry.h"
#include "cRegistry.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <functional>
#include <memory>

namespace driver {

inline QString appKey() {
    return QString::fromLatin1(tarvelo::kAppKey);
}

// The settings live under $XDG_CONFIG_HOME, which CTest points at a
// directory of the test's own.
inline void clearSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Marsk"),
                    QStringLiteral("TarveloV1"));
    store.clear();
    store.sync();
}

inline QString setting(const QString& section, const QString& key) {
    return cRegistry().GetSetting(appKey(), section, key, QStringLiteral("<missing>"));
}

inline void storeSetting(const QString& section, const QString& key, const QString& value) {
    cRegistry().SaveSetting(appKey(), section, key, value);
}

template <typename T = QWidget> T* find(const QObject* window, const QString& name) {
    T* child = window->findChild<T*>(name);
    if (!child)
        qFatal("no control named %s", qPrintable(name));
    return child;
}

inline QLineEdit* gas(const QObject* window, int i) {
    return find<QLineEdit>(window, QStringLiteral("txtGas%1").arg(i));
}

// Opens a window as the program does and waits until it has the focus.
inline std::unique_ptr<frmMain>
openWindow(std::string library = tarvelo::KernelBinding::defaultLibraryName()) {
    auto window = std::make_unique<frmMain>(std::move(library));
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the window did not become active");
    return window;
}

// A real click: the press and the release go to the top-level QWindow and
// are dispatched from there, as the window system's would be.
inline void click(QWidget* control) {
    QWidget* window = control->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      control->mapTo(window, control->rect().center()));
}

inline void clickToolButton(QWidget* window, const QString& actionName) {
    auto* toolbar = find<QToolBar>(window, QStringLiteral("tlbMain"));
    click(toolbar->widgetForAction(find<QAction>(window, actionName)));
}

inline void press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

inline void type(QWidget* window, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(window->windowHandle(), c.toLatin1());
}

// Puts the focus into `field` by a click, selects all and types `text`.
inline void enter(QLineEdit* field, const QString& text) {
    click(field);
    field->selectAll();
    type(field->window(), text);
}

// Answers every modal dialog that comes up while it lives: message boxes
// are recorded and closed with OK; other dialogs go to `onDialog` (or are
// rejected when there is none).
class ModalAnswerer {
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    explicit ModalAnswerer(std::function<void(QDialog*)> onDialog = {})
        : onDialog_(std::move(onDialog)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(10);
    }

    QList<Message> messages;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            last_ = box;
            messages.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            last_ = dialog;
            onDialog_ ? onDialog_(dialog) : dialog->reject();
        }
    }

    std::function<void(QDialog*)> onDialog_;
    QTimer timer_;
    QPointer<QWidget> last_;
};

} // namespace driver
