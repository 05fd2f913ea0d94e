// The about dialog: the program's icon, title, version, a picture and the
// maker's notice, with one OK button. The same in both languages.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    QPushButton* cmdOK = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QWidget* Line1_0 = nullptr; // white, two pixels
    QWidget* Line1_1 = nullptr; // grey, one pixel, on top
};
