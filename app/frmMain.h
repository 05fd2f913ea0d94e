// The program's main window: the composition input, the results, the
// commands, the toolbar with the language switch, the menus and the status
// bar.
#pragma once

#include "Composition.h"
#include "KernelBinding.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class ClickFocusGuard;
class InputField;
class cLanguage;
class cRegistry;
class frmQuality;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // `kernelLibrary` is the file name of the kernel library to bind.
    explicit frmMain(std::string kernelLibrary = tarvelo::KernelBinding::defaultLibraryName(),
                     QWidget* parent = nullptr);
    ~frmMain() override;

    // Shows the save dialog and returns the chosen path, or the empty text
    // when the user cancelled. Tests replace only this step of Save report.
    using SaveDialogRunner = std::function<QString(QFileDialog&)>;
    void setSaveDialogRunner(SaveDialogRunner runner);

    // The exit status of the program after a kernel library or function
    // could not be found.
    static constexpr int kKernelFailureStatus = 1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Building the window, top to bottom.
    void createMenus();
    void createToolbar();
    void createInputFrame();
    void createResultFrame();
    void createButtons();
    void createStatusBar();
    void setTabOrder();

    // The window's life.
    void Form_Load();
    void restorePosition(const cRegistry& registry);
    void storePosition() const;

    // The commands.
    void cmdCalculate_Click();
    void cmdRefresh_Click();
    void cmdSave_Click();
    void cmdExit_Click();
    void mnuHelp_Help_Click();
    void mnuHelp_About_Click();
    void mnuFile_Quality_Click();
    void mnuLanguage_DE_Click();
    void mnuLanguage_EN_Click();
    void tlbMain_ButtonClick(QAction* button);

    // Languages.
    void switchLanguage(int code);
    // Records that `control`'s `property` shows the text of `key`; start-up
    // and every language switch put the key back there before the language
    // object applies the texts.
    void keyText(QObject* control, const char* property, const char* key);
    void RestoreTextKeys();
    void markLanguage(int code);
    QString word(long key) const;

    // The percentage fields (index 1 to 16).
    bool txtGas_Validate(int index);
    void rejectEntry(int index);
    bool mayLeave(QWidget* from);
    std::array<QString, tarvelo::kComponentCount> gasTexts() const;

    // Runs a kernel call; a library or function that cannot be found ends
    // the program after saying so. Returns false then.
    template <typename Call> bool callKernel(Call&& call);
    void endWithKernelError(const tarvelo::KernelBindingError& error);

    struct Menus {
        QMenu* File = nullptr;
        QAction* File_Quality = nullptr;
        QAction* File_Save = nullptr;
        QAction* File_Exit = nullptr;
        QMenu* Language = nullptr;
        QAction* Language_DE = nullptr;
        QAction* Language_EN = nullptr;
        QMenu* Help = nullptr;
        QAction* Help_Help = nullptr;
        QAction* Help_About = nullptr;
    } mnu;

    struct KeyedText {
        QObject* control;
        const char* property; // a Qt property: "text", "title", "toolTip"
        const char* key;      // the text key, as digits
    };
    std::vector<KeyedText> keyedTexts;

    QWidget* client = nullptr; // the client area below the menu bar
    QToolBar* tlbMain = nullptr;
    QActionGroup* languageButtons = nullptr;
    QAction* btnDE = nullptr;
    QAction* btnEN = nullptr;
    QAction* btnHelp = nullptr;
    QAction* btnQuality = nullptr;
    QStatusBar* stbMain = nullptr;
    QLabel* stbPanel = nullptr;

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QLabel*, 2> Label1{};
    std::array<QLabel*, 6> Label2{};
    std::array<QLabel*, tarvelo::kComponentCount> Label3{};
    std::array<QLabel*, tarvelo::kComponentCount + 1> Label4{}; // the last one beside the sum
    QLabel* Label5 = nullptr;
    InputField* txtGasName = nullptr;
    std::array<InputField*, tarvelo::kComponentCount + 1> txtGas{}; // index 1 to 16; [0] is unused
    QLineEdit* txtSum = nullptr;
    QLineEdit* txtLambda = nullptr;
    QLineEdit* txtRho = nullptr;
    QLineEdit* txtHu = nullptr;

    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdCalculate = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdExit = nullptr;

    QFileDialog* dlgDialog = nullptr; // made at the first save, kept for the next
    QString lastFileName;             // offered again by the next save
    SaveDialogRunner runSaveDialog;

    // Window state beyond the controls.
    std::array<float, tarvelo::kComponentCount> GasPercent{}; // index 0 is component 1
    std::unique_ptr<cLanguage> Lang;
    QString helpFilePath;
    tarvelo::KernelBinding kernel;

    ClickFocusGuard* clickGuard = nullptr;
    QPointer<frmQuality> quality; // made when first opened, gone when closed
    QPoint normalPosition;        // the last position while neither minimised nor maximised
};
