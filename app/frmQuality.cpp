#include "frmQuality.h"

#include "Identity.h"
#include "NumberText.h"
#include "Pictures.h"
#include "ReplaceFile.h"
#include "TextTable.h"
#include "cRegistry.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace quality = tarvelo::quality;
namespace gq = tarvelo::gasquality;
namespace components = tarvelo::components;

namespace {

const QString kSection = QStringLiteral("frmQuality");

// The standard's reference temperatures, °C (ISO 6976:2016, 5.3).
constexpr double kCombustionTemperatures[] = {0.0, 15.0, 15.55, 20.0, 25.0};
constexpr double kMeteringTemperatures[] = {0.0, 15.0, 15.55, 20.0};
constexpr double kCoverageFactors[] = {1.0, 2.0};

// The defaults of the settings, and of a damaged one.
const gq::ReferenceConditions kDefaultReference{};
constexpr double kDefaultCoverage = 1.0;
constexpr double kDefaultLineTemperature = 15.0; // °C
constexpr double kDefaultLinePressure = 50.0;    // bar, absolute

const QColor kSumGreen(0, 192, 0);
const QColor kSumRed(255, 0, 0);
const QColor kRefusalRed(192, 0, 0);

// Columns of the composition and result tables.
enum CompositionColumn { ColComponent, ColAmount, ColUncertainty, CompositionColumns };
enum ResultColumn { ColQuantity, ColSymbol, ColValue, ColU, ColUnit, ResultColumns };

// The symbols of the results, in the order of gasquality::Result.
constexpr const char* kSymbols[] = {"M",     "Z",     "G",    "G°",   "D",    "D°",
                                    "Hc,s",  "Hc,i",  "Hm,s", "Hm,i", "Hv,s", "Hv,i",
                                    "Hv,s°", "Hv,i°", "Ws",   "Wi",   "Ws°",  "Wi°"};
static_assert(std::size(kSymbols) == gq::kResultCount);

// Text keys of the quantities, in the same order: 91001 onwards.
constexpr long kQuantityKey = 91001;

constexpr double kKilowattHoursPerMegajoule = 1.0 / 3.6;

QChar decimalMark() {
    const QString mark = QLocale().decimalPoint();
    return mark.isEmpty() ? QLatin1Char('.') : mark.front();
}

QTableWidgetItem* fixedItem(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QTableWidget* makeTable(QWidget* parent, const QString& name, int columns) {
    auto* table = new QTableWidget(0, columns, parent);
    table->setObjectName(name);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    // Tab leaves the table rather than walking its cells.
    table->setTabKeyNavigation(false);
    return table;
}

template <std::size_t N>
QComboBox* makeNumberChoice(QWidget* parent, const QString& name, const double (&values)[N]) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const double value : values)
        box->addItem(QString(), value);
    return box;
}

void selectValue(QComboBox* box, double value) {
    const int index = box->findData(value);
    box->setCurrentIndex(index >= 0 ? index : 0);
}

QLineEdit* makeEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// A frame may be found by the user on some screen.
bool onSomeScreen(const QRect& frame) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = frame.intersected(screen->availableGeometry());
        if (seen.width() >= 48 && seen.height() >= 24)
            return true;
    }
    return false;
}

} // namespace

frmQuality::frmQuality(MainFields fields, int language, QWidget* parent)
    : QWidget(parent, Qt::Window), mainFields(std::move(fields)) {
    setObjectName(QStringLiteral("frmQuality"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(tarvelo::pictureIcon(QStringLiteral("quality")));
    Lang.setLanguage(language);

    createCompositionGroup();
    createReferenceGroup();
    createResultGroup();
    createLineGroup();
    createButtons();

    arrangeGroups();

    auto* copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this, &frmQuality::copyResults);
    runSaveDialog = [](QFileDialog& dialog) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };

    resize(1120, 880);
    if (parent) {
        // Centred over the main window, inside the screen it is on.
        const QRect screen = parent->window()->screen()->availableGeometry();
        const QPoint centred = parent->window()->frameGeometry().center() - rect().center();
        move(std::clamp(centred.x(), screen.left(),
                        std::max(screen.left(), screen.right() - width())),
             std::clamp(centred.y(), screen.top(),
                        std::max(screen.top(), screen.bottom() - height())));
    }
    restoreSettings();
    applyTexts();
    takeFromMain();
}

frmQuality::~frmQuality() = default;

void frmQuality::setSaveDialogRunner(SaveDialogRunner runner) {
    runSaveDialog = std::move(runner);
}

// ---------------------------------------------------------------------------
// Building the window

void frmQuality::createCompositionGroup() {
    grpComposition = new QGroupBox(this);
    grpComposition->setObjectName(QStringLiteral("grpComposition"));

    cboComponent = new QComboBox(grpComposition);
    cboComponent->setObjectName(QStringLiteral("cboComponent"));
    cboComponent->setEditable(true);
    cboComponent->setInsertPolicy(QComboBox::NoInsert);
    cboComponent->completer()->setFilterMode(Qt::MatchContains);
    cboComponent->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    cboComponent->completer()->setCompletionMode(QCompleter::PopupCompletion);
    cmdAdd = makeButton(grpComposition, QStringLiteral("cmdAdd"));
    connect(cmdAdd, &QPushButton::clicked, this, &frmQuality::addChosenComponent);
    connect(cboComponent->lineEdit(), &QLineEdit::returnPressed, this,
            &frmQuality::addChosenComponent);

    tblComposition =
        makeTable(grpComposition, QStringLiteral("tblComposition"), CompositionColumns);
    tblComposition->horizontalHeader()->setSectionResizeMode(ColComponent, QHeaderView::Stretch);
    for (const int column : {ColAmount, ColUncertainty})
        tblComposition->horizontalHeader()->setSectionResizeMode(column,
                                                                 QHeaderView::ResizeToContents);
    tblComposition->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblComposition->setEditTriggers(QAbstractItemView::AllEditTriggers);
    connect(tblComposition, &QTableWidget::itemChanged, this, [this] {
        if (!filling)
            recalculate();
    });

    cmdRemove = makeButton(grpComposition, QStringLiteral("cmdRemove"));
    connect(cmdRemove, &QPushButton::clicked, this, &frmQuality::removeChosenRows);
    cmdTakeFromMain = makeButton(grpComposition, QStringLiteral("cmdTakeFromMain"));
    connect(cmdTakeFromMain, &QPushButton::clicked, this, &frmQuality::takeFromMain);
    lblSum = makeLabel(grpComposition, QStringLiteral("lblSum"));
    txtSum = new QLineEdit(grpComposition);
    txtSum->setObjectName(QStringLiteral("txtSum"));
    txtSum->setReadOnly(true);
    txtSum->setFocusPolicy(Qt::NoFocus);
    txtSum->setAlignment(Qt::AlignCenter);
    txtSum->setMaximumWidth(110);

    auto* adding = new QHBoxLayout;
    adding->addWidget(cboComponent, 1);
    adding->addWidget(cmdAdd);
    auto* below = new QHBoxLayout;
    below->addWidget(cmdRemove);
    below->addWidget(cmdTakeFromMain);
    below->addStretch(1);
    below->addWidget(lblSum);
    below->addWidget(txtSum);
    auto* group = new QVBoxLayout(grpComposition);
    group->addLayout(adding);
    group->addWidget(tblComposition, 1);
    group->addLayout(below);
}

void frmQuality::createReferenceGroup() {
    grpReference = new QGroupBox(this);
    grpReference->setObjectName(QStringLiteral("grpReference"));
    lblCombustion = makeLabel(grpReference, QStringLiteral("lblCombustion"));
    lblMetering = makeLabel(grpReference, QStringLiteral("lblMetering"));
    lblPressure = makeLabel(grpReference, QStringLiteral("lblPressure"));
    lblCoverage = makeLabel(grpReference, QStringLiteral("lblCoverage"));
    cboCombustion =
        makeNumberChoice(grpReference, QStringLiteral("cboCombustion"), kCombustionTemperatures);
    cboMetering =
        makeNumberChoice(grpReference, QStringLiteral("cboMetering"), kMeteringTemperatures);
    txtPressure = makeEdit(grpReference, QStringLiteral("txtPressure"));
    cboCoverage = makeNumberChoice(grpReference, QStringLiteral("cboCoverage"), kCoverageFactors);

    auto* grid = new QGridLayout(grpReference);
    grid->addWidget(lblCombustion, 0, 0);
    grid->addWidget(cboCombustion, 0, 1);
    grid->addWidget(lblMetering, 1, 0);
    grid->addWidget(cboMetering, 1, 1);
    grid->addWidget(lblPressure, 2, 0);
    grid->addWidget(txtPressure, 2, 1);
    grid->addWidget(lblCoverage, 3, 0);
    grid->addWidget(cboCoverage, 3, 1);
    grid->setColumnStretch(1, 1);

    for (QComboBox* box : {cboCombustion, cboMetering, cboCoverage})
        connect(box, &QComboBox::currentIndexChanged, this, &frmQuality::recalculate);
    connect(txtPressure, &QLineEdit::textChanged, this, &frmQuality::recalculate);
}

void frmQuality::createResultGroup() {
    grpResults = new QGroupBox(this);
    grpResults->setObjectName(QStringLiteral("grpResults"));
    tblResults = makeTable(grpResults, QStringLiteral("tblResults"), ResultColumns);
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults->horizontalHeader()->setSectionResizeMode(ColQuantity, QHeaderView::Stretch);
    for (int column = ColSymbol; column < ResultColumns; ++column)
        tblResults->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    // One row per result, and a second in kWh/m³ for the volume-based ones.
    for (std::size_t r = 0; r < gq::kResultCount; ++r) {
        const int row = tblResults->rowCount();
        const bool volume = quality::perVolume(static_cast<gq::Result>(r));
        tblResults->setRowCount(row + (volume ? 2 : 1));
        tblResults->setItem(row, ColQuantity, fixedItem({}));
        tblResults->setItem(row, ColSymbol, fixedItem(QString::fromUtf8(kSymbols[r])));
        tblResults->setItem(
            row, ColUnit,
            fixedItem(QString::fromUtf8(quality::unitOf(static_cast<gq::Result>(r)).data())));
        for (int extra = 0; extra < (volume ? 2 : 1); ++extra) {
            tblResults->setItem(row + extra, ColValue, fixedItem({}, Qt::AlignRight));
            tblResults->setItem(row + extra, ColU, fixedItem({}, Qt::AlignRight));
        }
        if (volume) {
            tblResults->setItem(row + 1, ColQuantity, fixedItem({}));
            tblResults->setItem(row + 1, ColSymbol, fixedItem({}));
            tblResults->setItem(row + 1, ColUnit, fixedItem(QStringLiteral("kWh/m³")));
        }
    }

    lblRefusal = makeLabel(this, QStringLiteral("lblRefusal"));
    QPalette colours = lblRefusal->palette();
    colours.setColor(QPalette::WindowText, kRefusalRed);
    lblRefusal->setPalette(colours);
    QFont bold = lblRefusal->font();
    bold.setBold(true);
    lblRefusal->setFont(bold);

    auto* group = new QVBoxLayout(grpResults);
    group->addWidget(tblResults);
}

void frmQuality::createLineGroup() {
    grpLine = new QGroupBox(this);
    grpLine->setObjectName(QStringLiteral("grpLine"));
    lblModel = makeLabel(grpLine, QStringLiteral("lblModel"));
    lblLineTemperature = makeLabel(grpLine, QStringLiteral("lblLineTemperature"));
    lblLinePressure = makeLabel(grpLine, QStringLiteral("lblLinePressure"));
    cboModel = new QComboBox(grpLine);
    cboModel->setObjectName(QStringLiteral("cboModel"));
    for (const quality::Model model : quality::kModels) {
        const std::string_view name = quality::modelName(model);
        cboModel->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
    txtLineTemperature = makeEdit(grpLine, QStringLiteral("txtLineTemperature"));
    txtLinePressure = makeEdit(grpLine, QStringLiteral("txtLinePressure"));
    tblLine = makeTable(grpLine, QStringLiteral("tblLine"), ResultColumns);
    tblLine->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblLine->horizontalHeader()->setVisible(false);
    tblLine->horizontalHeader()->setSectionResizeMode(ColQuantity, QHeaderView::Stretch);
    for (int column = ColSymbol; column < ResultColumns; ++column)
        tblLine->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    // The states in the line carry no uncertainty. The column would stay
    // empty, yet as wide as its hidden heading, and take that room from the
    // names of the quantities.
    tblLine->setColumnHidden(ColU, true);
    const char* const symbols[] = {"Z", "ρ", "w", "C"};
    const char* const units[] = {"", "kg/m³", "m/s", ""};
    tblLine->setRowCount(4);
    for (int row = 0; row < 4; ++row) {
        tblLine->setItem(row, ColQuantity, fixedItem({}));
        tblLine->setItem(row, ColSymbol, fixedItem(QString::fromUtf8(symbols[row])));
        tblLine->setItem(row, ColValue, fixedItem({}, Qt::AlignRight));
        tblLine->setItem(row, ColU, fixedItem({}));
        tblLine->setItem(row, ColUnit, fixedItem(QString::fromUtf8(units[row])));
    }
    tblLine->setFixedHeight(4 * tblLine->verticalHeader()->defaultSectionSize() + 4);
    lblLineRefusal = makeLabel(grpLine, QStringLiteral("lblLineRefusal"));
    lblLineRefusal->setWordWrap(true);

    auto* grid = new QGridLayout(grpLine);
    grid->addWidget(lblModel, 0, 0);
    grid->addWidget(cboModel, 0, 1);
    grid->addWidget(lblLineTemperature, 0, 2);
    grid->addWidget(txtLineTemperature, 0, 3);
    grid->addWidget(lblLinePressure, 0, 4);
    grid->addWidget(txtLinePressure, 0, 5);
    grid->addWidget(tblLine, 1, 0, 1, 6);
    grid->addWidget(lblLineRefusal, 2, 0, 1, 6);

    connect(cboModel, &QComboBox::currentIndexChanged, this, &frmQuality::recalculate);
    connect(txtLineTemperature, &QLineEdit::textChanged, this, &frmQuality::recalculate);
    connect(txtLinePressure, &QLineEdit::textChanged, this, &frmQuality::recalculate);
}

void frmQuality::createButtons() {
    cmdCopy = makeButton(this, QStringLiteral("cmdCopy"));
    cmdSaveReport = makeButton(this, QStringLiteral("cmdSaveReport"));
    cmdSaveReport->setIcon(tarvelo::pictureIcon(QStringLiteral("save")));
    cmdClose = makeButton(this, QStringLiteral("cmdClose"));
    connect(cmdCopy, &QPushButton::clicked, this, &frmQuality::copyResults);
    connect(cmdSaveReport, &QPushButton::clicked, this, &frmQuality::saveReport);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmQuality::arrangeGroups() {
    // Composition over reference conditions on the left, results over line
    // conditions on the right; the refusal and the buttons below both.
    auto* left = new QVBoxLayout;
    left->addWidget(grpComposition, 1);
    left->addWidget(grpReference);
    auto* right = new QVBoxLayout;
    right->addWidget(grpResults, 1);
    right->addWidget(grpLine);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdSaveReport);
    buttons->addWidget(cmdClose);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addWidget(lblRefusal);
    whole->addLayout(buttons);
}

// Every text of the window in the current language; the numbers are shown
// again with it.
void frmQuality::applyTexts() {
    setWindowTitle(word(90001) + QStringLiteral(" – ") + QString::fromLatin1(tarvelo::kAppTitle));
    grpComposition->setTitle(word(90002));
    tblComposition->setHorizontalHeaderLabels({word(90003), word(90004), word(90036)});
    tblComposition->horizontalHeaderItem(ColUncertainty)->setToolTip(word(90005));
    cmdTakeFromMain->setText(word(90006));
    cmdAdd->setText(word(90007));
    cmdRemove->setText(word(90008));
    lblSum->setText(word(90009));
    cboComponent->lineEdit()->setPlaceholderText(word(90010));
    fillComponentList();
    {
        const QSignalBlocker hold(tblComposition);
        for (int row = 0; row < tblComposition->rowCount(); ++row) {
            QTableWidgetItem* item = tblComposition->item(row, ColComponent);
            item->setText(componentName(item->data(Qt::UserRole).value<std::size_t>()));
        }
    }

    grpReference->setTitle(word(90011));
    lblCombustion->setText(word(90012));
    lblMetering->setText(word(90013));
    lblPressure->setText(word(90014));
    lblCoverage->setText(word(90015));
    const QLocale locale;
    for (QComboBox* box : {cboCombustion, cboMetering})
        for (int i = 0; i < box->count(); ++i)
            box->setItemText(i, locale.toString(box->itemData(i).toDouble(), 'g', 6) +
                                    QStringLiteral(" °C"));
    for (int i = 0; i < cboCoverage->count(); ++i)
        cboCoverage->setItemText(i, locale.toString(cboCoverage->itemData(i).toDouble()));

    grpResults->setTitle(word(90016));
    const QStringList headers{word(90017), word(90018), word(90019), word(90020), word(90021)};
    tblResults->setHorizontalHeaderLabels(headers);
    tblLine->setHorizontalHeaderLabels(headers);
    for (int row = 0, r = 0; r < int(gq::kResultCount); ++r) {
        tblResults->item(row, ColQuantity)->setText(word(kQuantityKey + r));
        row += quality::perVolume(static_cast<gq::Result>(r)) ? 2 : 1;
    }

    grpLine->setTitle(word(90022));
    lblModel->setText(word(90023));
    lblLineTemperature->setText(word(90024));
    lblLinePressure->setText(word(90025));
    const long lineKeys[] = {90031, 90032, 90029, 90030};
    for (int row = 0; row < 4; ++row)
        tblLine->item(row, ColQuantity)->setText(word(lineKeys[row]));

    cmdCopy->setText(word(90026));
    cmdSaveReport->setText(word(90027));
    cmdClose->setText(word(90028));
    showIsoResults();
    showLineResults();
}

void frmQuality::setLanguage(int code) {
    Lang.setLanguage(code);
    applyTexts();
}

void frmQuality::fillComponentList() {
    const QSignalBlocker hold(cboComponent);
    const QString typed = cboComponent->currentText();
    cboComponent->clear();
    for (std::size_t i = 0; i < components::kCount; ++i) {
        const std::string_view label = components::component(i).label;
        QString text = componentName(i);
        if (!label.empty())
            text += QStringLiteral(" (") +
                    QString::fromLatin1(label.data(), qsizetype(label.size())) + QLatin1Char(')');
        cboComponent->addItem(text, QVariant::fromValue(i));
    }
    cboComponent->setCurrentIndex(-1);
    cboComponent->setEditText(typed);
}

QString frmQuality::componentName(std::size_t component) const {
    return word(tarvelo::kComponentNameKey + long(component));
}

// ---------------------------------------------------------------------------
// Settings

void frmQuality::restoreSettings() {
    const cRegistry registry;
    const QString app = QString::fromLatin1(tarvelo::kAppKey);
    auto stored = [&](const char* key) {
        const std::optional<double> value =
            registry.GetNumber(app, kSection, QString::fromLatin1(key));
        return value && std::isfinite(*value) ? value : std::nullopt;
    };
    // A value that is not one of the offered ones counts as damaged.
    auto choose = [](QComboBox* box, std::optional<double> value, double fallback) {
        selectValue(box, value && box->findData(*value) >= 0 ? *value : fallback);
    };
    choose(cboCombustion, stored("Combustion"), kDefaultReference.combustionC);
    choose(cboMetering, stored("Metering"), kDefaultReference.meteringC);
    choose(cboCoverage, stored("Coverage"), kDefaultCoverage);
    const auto pressure = stored("Pressure");
    const QLocale locale;
    txtPressure->setText(locale.toString(pressure && *pressure >= 90.0 && *pressure <= 110.0
                                             ? *pressure
                                             : kDefaultReference.pressureKPa,
                                         'g', 15));
    const auto model = stored("Model");
    cboModel->setCurrentIndex(model && (*model == 0.0 || *model == 1.0) ? int(*model) : 0);
    const auto temperature = stored("LineTemperature");
    txtLineTemperature->setText(
        locale.toString(temperature ? *temperature : kDefaultLineTemperature, 'g', 15));
    const auto linePressure = stored("LinePressure");
    txtLinePressure->setText(locale.toString(
        linePressure && *linePressure > 0.0 ? *linePressure : kDefaultLinePressure, 'g', 15));

    const auto left = stored("Left");
    const auto top = stored("Top");
    const auto width = stored("Width");
    const auto height = stored("Height");
    if (width && height && *width >= 200.0 && *height >= 150.0 && *width <= 10000.0 &&
        *height <= 10000.0)
        resize(int(*width), int(*height));
    if (left && top && std::fabs(*left) <= 100000.0 && std::fabs(*top) <= 100000.0) {
        const QPoint position{static_cast<int>(*left), static_cast<int>(*top)};
        if (onSomeScreen(QRect(position, size())))
            move(position);
    }
}

void frmQuality::storeSettings() const {
    const cRegistry registry;
    const QString app = QString::fromLatin1(tarvelo::kAppKey);
    auto save = [&](const char* key, double value) {
        registry.SaveNumber(app, kSection, QString::fromLatin1(key), value);
    };
    save("Combustion", cboCombustion->currentData().toDouble());
    save("Metering", cboMetering->currentData().toDouble());
    save("Coverage", cboCoverage->currentData().toDouble());
    const QLocale locale;
    if (const auto p = tarvelo::parseLocaleNumber(txtPressure->text(), locale))
        save("Pressure", *p);
    save("Model", cboModel->currentIndex());
    if (const auto t = tarvelo::parseLocaleNumber(txtLineTemperature->text(), locale))
        save("LineTemperature", *t);
    if (const auto p = tarvelo::parseLocaleNumber(txtLinePressure->text(), locale))
        save("LinePressure", *p);
    const QRect frame = isMinimized() || isMaximized() ? normalGeometry() : geometry();
    save("Left", pos().x());
    save("Top", pos().y());
    save("Width", frame.width());
    save("Height", frame.height());
}

void frmQuality::closeEvent(QCloseEvent* event) {
    storeSettings();
    event->accept();
}

void frmQuality::keyPressEvent(QKeyEvent* event) {
    // Escape closes the window; Enter, not taken by a control, does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// The composition table

void frmQuality::takeFromMain() {
    const std::array<QString, tarvelo::kComponentCount> texts =
        mainFields ? mainFields() : std::array<QString, tarvelo::kComponentCount>{};
    filling = true;
    tblComposition->setRowCount(0);
    for (int i = 0; i < tarvelo::kComponentCount; ++i) {
        const QString text = texts[static_cast<std::size_t>(i)].trimmed();
        addRow(components::ofKernel(i), text.isEmpty() ? QStringLiteral("0") : text, QString());
    }
    filling = false;
    recalculate();
}

void frmQuality::addRow(std::size_t component, const QString& amount, const QString& uncertainty) {
    const bool wasFilling = filling;
    filling = true;
    const int row = tblComposition->rowCount();
    tblComposition->setRowCount(row + 1);
    QTableWidgetItem* name = fixedItem(componentName(component));
    name->setData(Qt::UserRole, QVariant::fromValue(component));
    tblComposition->setItem(row, ColComponent, name);
    auto* amountItem = new QTableWidgetItem(amount);
    amountItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tblComposition->setItem(row, ColAmount, amountItem);
    auto* uItem = new QTableWidgetItem(uncertainty);
    uItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tblComposition->setItem(row, ColUncertainty, uItem);
    filling = wasFilling;
}

void frmQuality::addChosenComponent() {
    // The entry of the list, or any spelling the component table knows ("CO2",
    // "isobutane").
    std::optional<std::size_t> component;
    const QString typed = cboComponent->currentText().trimmed();
    const int index = cboComponent->findText(typed, Qt::MatchFixedString);
    if (index >= 0)
        component = cboComponent->itemData(index).value<std::size_t>();
    else
        component = components::find(typed.toStdString());
    if (!component)
        return;
    for (int row = 0; row < tblComposition->rowCount(); ++row)
        if (tblComposition->item(row, ColComponent)->data(Qt::UserRole).value<std::size_t>() ==
            *component) {
            tblComposition->setCurrentCell(row, ColAmount);
            tblComposition->setFocus();
            return;
        }
    addRow(*component, QStringLiteral("0"), QString());
    cboComponent->setEditText(QString());
    tblComposition->setCurrentCell(tblComposition->rowCount() - 1, ColAmount);
    tblComposition->setFocus();
    recalculate();
}

void frmQuality::removeChosenRows() {
    QList<int> chosen;
    for (const QModelIndex& index : tblComposition->selectionModel()->selectedRows())
        chosen << index.row();
    if (chosen.isEmpty() && tblComposition->currentRow() >= 0)
        chosen << tblComposition->currentRow();
    std::sort(chosen.begin(), chosen.end(), std::greater<>());
    for (const int row : chosen)
        tblComposition->removeRow(row);
    recalculate();
}

std::vector<quality::Row> frmQuality::rows() const {
    const QLocale locale;
    auto read = [&](const QTableWidgetItem* item, std::string& text) -> std::optional<double> {
        const QString cell = item ? item->text().trimmed() : QString();
        text = cell.toStdString();
        if (cell.isEmpty())
            return 0.0;
        return tarvelo::parseLocaleNumber(cell, locale);
    };
    std::vector<quality::Row> result;
    for (int row = 0; row < tblComposition->rowCount(); ++row) {
        quality::Row r;
        r.component =
            tblComposition->item(row, ColComponent)->data(Qt::UserRole).value<std::size_t>();
        r.percent = read(tblComposition->item(row, ColAmount), r.percentText);
        r.uPercent = read(tblComposition->item(row, ColUncertainty), r.uText);
        result.push_back(std::move(r));
    }
    return result;
}

// ---------------------------------------------------------------------------
// Results

void frmQuality::recalculate() {
    if (filling)
        return;
    const QLocale locale;
    const std::vector<quality::Row> composition = rows();
    gq::ReferenceConditions reference;
    reference.combustionC = cboCombustion->currentData().toDouble();
    reference.meteringC = cboMetering->currentData().toDouble();
    reference.pressureKPa = tarvelo::parseLocaleNumber(txtPressure->text(), locale)
                                .value_or(std::numeric_limits<double>::quiet_NaN());
    quality::Line line;
    line.model = cboModel->currentIndex() == 1 ? quality::Model::Detail : quality::Model::Gerg2008;
    line.temperatureC = tarvelo::parseLocaleNumber(txtLineTemperature->text(), locale)
                            .value_or(std::numeric_limits<double>::quiet_NaN());
    line.pressureBar = tarvelo::parseLocaleNumber(txtLinePressure->text(), locale)
                           .value_or(std::numeric_limits<double>::quiet_NaN());
    shown = quality::evaluate(composition, reference, cboCoverage->currentData().toDouble(), line);

    const quality::Sum total = quality::sum(composition);
    txtSum->setText(tarvelo::displayNumberText(static_cast<float>(total.percent), locale));
    QPalette colours = txtSum->palette();
    colours.setColor(QPalette::Text, total.withinRule ? kSumGreen : kSumRed);
    txtSum->setPalette(colours);
    showIsoResults();
    showLineResults();
}

QString frmQuality::shownNumber(double value, int decimals) const {
    return QString::fromStdString(quality::fixed(value, decimals, decimalMark().toLatin1()));
}

void frmQuality::showIsoResults() {
    for (int row = 0, r = 0; r < int(gq::kResultCount); ++r) {
        const bool volume = quality::perVolume(static_cast<gq::Result>(r));
        QString value, u, kwhValue, kwhU;
        if (shown.iso) {
            const gq::Quantity& q = shown.iso->results[static_cast<std::size_t>(r)];
            const int decimals = quality::decimalsFor(q.u);
            value = shownNumber(q.value, decimals);
            u = shownNumber(q.u, decimals);
            if (volume) {
                const double kwhUncertainty = q.u * kKilowattHoursPerMegajoule;
                const int kwhDecimals = quality::decimalsFor(kwhUncertainty);
                kwhValue = shownNumber(q.value * kKilowattHoursPerMegajoule, kwhDecimals);
                kwhU = shownNumber(kwhUncertainty, kwhDecimals);
            }
        }
        tblResults->item(row, ColValue)->setText(value);
        tblResults->item(row, ColU)->setText(u);
        if (volume) {
            tblResults->item(row + 1, ColValue)->setText(kwhValue);
            tblResults->item(row + 1, ColU)->setText(kwhU);
        }
        row += volume ? 2 : 1;
    }
    lblRefusal->setText(shown.isoRefused ? refusalText(*shown.isoRefused) : QString());
    cmdCopy->setEnabled(shown.iso.has_value());
    cmdSaveReport->setEnabled(shown.iso.has_value());
}

void frmQuality::showLineResults() {
    const std::optional<quality::LineResult>& line = shown.line;
    const std::pair<double, int> values[] = {{line ? line->Z : 0.0, 6},
                                             {line ? line->rho : 0.0, 4},
                                             {line ? line->W : 0.0, 2},
                                             {line ? line->C : 0.0, 5}};
    for (int row = 0; row < 4; ++row)
        tblLine->item(row, ColValue)
            ->setText(line ? shownNumber(values[row].first, values[row].second) : QString());
    lblLineRefusal->setText(shown.lineRefused && shown.iso ? refusalText(*shown.lineRefused)
                                                           : QString());
}

QString frmQuality::refusalText(const quality::Refusal& refusal) const {
    // Component names are shown in the current language, numbers with the
    // window's decimal mark; the library's own words stay as they are.
    QString text = word(refusal.key);
    for (const std::string& arg : refusal.args) {
        QString value = QString::fromStdString(arg);
        double number = 0.0;
        const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), number);
        if (const auto component = components::find(arg);
            component && components::component(*component).name == arg)
            value = componentName(*component);
        else if (!arg.empty() && ec == std::errc() && end == arg.data() + arg.size())
            value.replace(QLatin1Char('.'), decimalMark());
        text = text.arg(value);
    }
    return text;
}

void frmQuality::copyResults() {
    if (!shown.iso)
        return;
    QApplication::clipboard()->setText(
        QString::fromStdString(quality::clipboardText(shown, decimalMark().toLatin1())));
}

// ---------------------------------------------------------------------------
// The report

QString frmQuality::reportHtml() const {
    auto cell = [](const QString& text, bool number = false) {
        return QStringLiteral("<td%1>%2</td>")
            .arg(number ? QStringLiteral(" class=\"n\"") : QString(), text.toHtmlEscaped());
    };
    auto head = [](const QStringList& names) {
        QString row = QStringLiteral("<tr>");
        for (const QString& name : names)
            row += QStringLiteral("<th>") + name.toHtmlEscaped() + QStringLiteral("</th>");
        return row + QStringLiteral("</tr>\n");
    };
    auto tableRows = [&](const QTableWidget* table, int columns) {
        QString rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            rows += QStringLiteral("<tr>");
            for (int column = 0; column < columns; ++column) {
                const QTableWidgetItem* item = table->item(row, column);
                rows += cell(item ? item->text() : QString(), column == ColValue || column == ColU);
            }
            rows += QStringLiteral("</tr>\n");
        }
        return rows;
    };
    const QString lang =
        Lang.language() == cLanguage::German ? QStringLiteral("de") : QStringLiteral("en");
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta "
                                  "charset=\"utf-8\">\n<title>%2</title>\n<style>body{font-family:"
                                  "sans-serif}table{border-collapse:collapse}td,th{border:1px "
                                  "solid #999;padding:2px 6px}td.n{text-align:right}</style>\n"
                                  "</head>\n<body>\n<h1>%2</h1>\n")
                       .arg(lang, word(90001).toHtmlEscaped());

    html += QStringLiteral("<h2>%1</h2>\n<table>\n").arg(word(90002).toHtmlEscaped());
    html += head({word(90003), word(90004), word(90005)});
    html += tableRows(tblComposition, CompositionColumns);
    html += QStringLiteral("<tr><td>%1</td>%2<td></td></tr>\n</table>\n")
                .arg(word(90009).toHtmlEscaped(), cell(txtSum->text(), true));

    html += QStringLiteral("<h2>%1</h2>\n<table>\n").arg(word(90011).toHtmlEscaped());
    const std::pair<QLabel*, QString> reference[] = {{lblCombustion, cboCombustion->currentText()},
                                                     {lblMetering, cboMetering->currentText()},
                                                     {lblPressure, txtPressure->text()},
                                                     {lblCoverage, cboCoverage->currentText()}};
    for (const auto& [label, value] : reference)
        html += QStringLiteral("<tr>") + cell(label->text()) + cell(value, true) +
                QStringLiteral("</tr>\n");
    html += QStringLiteral("</table>\n");

    html += QStringLiteral("<h2>%1</h2>\n").arg(word(90016).toHtmlEscaped());
    if (!lblRefusal->text().isEmpty())
        html += QStringLiteral("<p>%1</p>\n").arg(lblRefusal->text().toHtmlEscaped());
    html += QStringLiteral("<table>\n") +
            head({word(90017), word(90018), word(90019), word(90020), word(90021)}) +
            tableRows(tblResults, ResultColumns) + QStringLiteral("</table>\n");

    html += QStringLiteral("<h2>%1</h2>\n<table>\n").arg(word(90022).toHtmlEscaped());
    const std::pair<QLabel*, QString> line[] = {{lblModel, cboModel->currentText()},
                                                {lblLineTemperature, txtLineTemperature->text()},
                                                {lblLinePressure, txtLinePressure->text()}};
    for (const auto& [label, value] : line)
        html += QStringLiteral("<tr>") + cell(label->text()) + cell(value, true) +
                QStringLiteral("</tr>\n");
    html += QStringLiteral("</table>\n");
    if (!lblLineRefusal->text().isEmpty())
        html += QStringLiteral("<p>%1</p>\n").arg(lblLineRefusal->text().toHtmlEscaped());
    if (shown.line)
        html += QStringLiteral("<table>\n") + tableRows(tblLine, ResultColumns) +
                QStringLiteral("</table>\n");

    html += QStringLiteral("<p>%1 %2 &middot; %3 %4 %5</p>\n</body>\n</html>\n")
                .arg(word(90033).toHtmlEscaped(),
                     QLocale()
                         .toString(QDateTime::currentDateTime(), QLocale::ShortFormat)
                         .toHtmlEscaped(),
                     QString::fromLatin1(tarvelo::kAppTitle), word(90034).toHtmlEscaped(),
                     QString::fromLatin1(tarvelo::kVersion));
    return html;
}

void frmQuality::saveReport() {
    if (!shown.iso)
        return;
    const QString app = QString::fromLatin1(tarvelo::kAppKey);
    const cRegistry registry;
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(word(80001));
    dialog.setNameFilter(QStringLiteral("HTML (*.htm *.html)"));
    dialog.setDefaultSuffix(QStringLiteral("htm"));
    dialog.setDirectory(registry.GetSetting(app, QStringLiteral("General"),
                                            QStringLiteral("InitDir"), QDir::homePath()));
    const QString fileName = QDir::toNativeSeparators(runSaveDialog(dialog));
    if (fileName.isEmpty())
        return;
    registry.SaveSetting(app, QStringLiteral("General"), QStringLiteral("InitDir"),
                         QFileInfo(fileName).absolutePath() + QDir::separator());
    const QByteArray text = reportHtml().toUtf8();
    const int result = tarvelo::replace_file(QFile::encodeName(fileName).toStdString(),
                                             std::string_view(text.constData(), text.size()));
    if (result != 0)
        QMessageBox::critical(this, QString::fromLatin1(tarvelo::kAppTitle),
                              word(70002) + QLatin1Char('\n') + fileName + QLatin1Char('\n') +
                                  QString::fromLocal8Bit(std::strerror(result)));
}
