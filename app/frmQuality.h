// The gas-quality window: a composition of any of ISO 6976's 60 components,
// the reference conditions, every ISO 6976 result with its uncertainty, and
// the gas at line conditions; recalculated as the user types. Opened from the
// main window, which it can take its composition from.
#pragma once

#include "Domain.h"
#include "QualitySheet.h"
#include "cLanguage.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class frmQuality : public QWidget {
    Q_OBJECT
public:
    // The texts of the main window's sixteen percentage fields, in their order.
    using MainFields = std::function<std::array<QString, tarvelo::kComponentCount>()>;

    // Opens with the composition of `mainFields` and the texts of `language`.
    frmQuality(MainFields mainFields, int language, QWidget* parent = nullptr);
    ~frmQuality() override;

    // Puts the texts of `code` (cLanguage's codes) everywhere at once.
    void setLanguage(int code);

    // Shows the save dialog and returns the chosen path, or the empty text
    // when the user cancelled. Tests replace only this step of saving.
    using SaveDialogRunner = std::function<QString(QFileDialog&)>;
    void setSaveDialogRunner(SaveDialogRunner runner);

    // What is shown now.
    const tarvelo::quality::Outcome& outcome() const noexcept { return shown; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Building the window, top to bottom.
    void createCompositionGroup();
    void createReferenceGroup();
    void createResultGroup();
    void createLineGroup();
    void createButtons();
    void arrangeGroups();
    void applyTexts();

    // Settings.
    void restoreSettings();
    void storeSettings() const;

    // The composition table.
    void takeFromMain();
    void addRow(std::size_t component, const QString& amount, const QString& uncertainty);
    void addChosenComponent();
    void removeChosenRows();
    std::vector<tarvelo::quality::Row> rows() const;
    void fillComponentList();

    // Results.
    void recalculate();
    void showIsoResults();
    void showLineResults();
    QString refusalText(const tarvelo::quality::Refusal& refusal) const;
    QString componentName(std::size_t component) const;
    void copyResults();
    void saveReport();
    QString reportHtml() const;

    QString word(long key) const { return Lang.Word(key); }
    QString shownNumber(double value, int decimals) const;

    MainFields mainFields;
    cLanguage Lang;
    tarvelo::quality::Outcome shown;
    SaveDialogRunner runSaveDialog;
    bool filling = false; // the tables are being filled: no recalculation per cell

    QGroupBox* grpComposition = nullptr;
    QTableWidget* tblComposition = nullptr;
    QComboBox* cboComponent = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdTakeFromMain = nullptr;
    QLabel* lblSum = nullptr;
    QLineEdit* txtSum = nullptr;

    QGroupBox* grpReference = nullptr;
    QLabel* lblCombustion = nullptr;
    QLabel* lblMetering = nullptr;
    QLabel* lblPressure = nullptr;
    QLabel* lblCoverage = nullptr;
    QComboBox* cboCombustion = nullptr;
    QComboBox* cboMetering = nullptr;
    QLineEdit* txtPressure = nullptr;
    QComboBox* cboCoverage = nullptr;

    QGroupBox* grpResults = nullptr;
    QTableWidget* tblResults = nullptr;
    QLabel* lblRefusal = nullptr;

    QGroupBox* grpLine = nullptr;
    QLabel* lblModel = nullptr;
    QLabel* lblLineTemperature = nullptr;
    QLabel* lblLinePressure = nullptr;
    QComboBox* cboModel = nullptr;
    QLineEdit* txtLineTemperature = nullptr;
    QLineEdit* txtLinePressure = nullptr;
    QTableWidget* tblLine = nullptr;
    QLabel* lblLineRefusal = nullptr;

    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSaveReport = nullptr;
    QPushButton* cmdClose = nullptr;
};
