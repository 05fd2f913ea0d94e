// A text field of the input frame. Enter moves on exactly as Tab does, and
// a field can be given a check that runs before Tab or Backtab takes the
// focus away: when the check refuses, the focus stays.
#pragma once

#include <QLineEdit>

#include <functional>

class InputField : public QLineEdit {
    Q_OBJECT
public:
    explicit InputField(QWidget* parent = nullptr);

    // Runs before the keyboard moves the focus on; returning false keeps it
    // here (the check itself tells the user why).
    void setLeaveCheck(std::function<bool()> check) { leaveCheck_ = std::move(check); }

    // Entering the field selects its whole text, whether by Tab, Enter or
    // the mouse, so that typing replaces the entry.
    void setSelectAllOnEntry(bool on) { selectAllOnEntry_ = on; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<bool()> leaveCheck_;
    bool selectAllOnEntry_ = false;
    bool selectAfterPress_ = false; // entered by a press that would place the cursor
};
