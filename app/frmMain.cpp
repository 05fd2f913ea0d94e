#include "frmMain.h"

#include "ClickFocusGuard.h"
#include "Identity.h"
#include "InputField.h"
#include "Layout.h"
#include "NumberText.h"
#include "Pictures.h"
#include "cLanguage.h"
#include "cRegistry.h"
#include "frmAbout.h"
#include "frmQuality.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

using tarvelo::kAppKey;
using tarvelo::kAppTitle;
namespace layout = tarvelo::layout;

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kFrmMain = QStringLiteral("frmMain");

const QColor kSumGreen(0, 192, 0);
const QColor kSumRed(255, 0, 0);

using layout::layoutFont;

QLabel* makeLabel(QWidget* container, const QString& name, const QString& text,
                  const char* key = nullptr) {
    auto* label = new QLabel(text, container);
    label->setObjectName(name);
    if (key)
        label->setProperty("Tag", QString::fromLatin1(key));
    layout::place(label);
    return label;
}

QPushButton* makePictureButton(QWidget* container, const QString& name, const QString& picture) {
    auto* button = new QPushButton(container);
    button->setObjectName(name);
    button->setIcon(tarvelo::pictureIcon(picture));
    button->setIconSize(QSize(32, 32));
    // Enter clicks the focused button, as Space does.
    button->setAutoDefault(true);
    // No tab stop: a click may still give the focus.
    button->setFocusPolicy(Qt::ClickFocus);
    layout::place(button);
    return button;
}

// A result box: tool-tip background, blue bold 12 pt text, centred, no tab stop.
QLineEdit* makeResultBox(QWidget* container, const QString& name) {
    auto* box = new QLineEdit(container);
    box->setObjectName(name);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::Text, QColor(0, 0, 255));
    box->setPalette(colours);
    box->setFont(layoutFont(12, QFont::Bold));
    box->setAlignment(Qt::AlignCenter);
    box->setFocusPolicy(Qt::ClickFocus);
    layout::place(box);
    return box;
}

void setTextColour(QLineEdit* box, const QColor& colour) {
    QPalette colours = box->palette();
    colours.setColor(QPalette::Text, colour);
    box->setPalette(colours);
}

// The save dialog's filter "description|pattern|description|pattern" in
// Qt's form "description (pattern)". A description that already ends with
// its pattern in parentheses is kept as it is.
QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString description = parts[i].trimmed();
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

QString defaultInitDir() {
#if defined(Q_OS_WIN)
    return QStringLiteral("c:\\");
#else
    return QDir::homePath() + QLatin1Char('/');
#endif
}

// A stored position in twips as the whole number of pixels it stands for;
// nothing when the text is no number.
std::optional<int> storedPixels(const QString& text) {
    const std::optional<double> twips = tarvelo::parseLocaleNumber(text, QLocale());
    if (!twips || !std::isfinite(*twips) ||
        std::fabs(*twips) > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return layout::toPixels(static_cast<int>(std::nearbyint(*twips)));
}

// A window at `frame` can be found by the user on some screen.
bool onSomeScreen(const QRect& frame) {
    constexpr int kVisibleWidth = 48;
    constexpr int kVisibleHeight = 24;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = frame.intersected(screen->availableGeometry());
        if (seen.width() >= kVisibleWidth && seen.height() >= kVisibleHeight)
            return true;
    }
    return false;
}

} // namespace

frmMain::frmMain(std::string kernelLibrary, QWidget* parent)
    : QMainWindow(parent), kernel(std::move(kernelLibrary)) {
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(tarvelo::pictureIcon(QStringLiteral("tarvelo")));
    // Fixed single border: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(layout::clientSize());
    client->setFont(layoutFont(8, QFont::Normal));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    createMenus();
    createToolbar();
    createInputFrame();
    createResultFrame();
    createButtons();
    createStatusBar();
    setTabOrder();

    clickGuard = new ClickFocusGuard(this, [this](QWidget* from) { return mayLeave(from); });
    runSaveDialog = [](QFileDialog& dialog) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };

    move(layout::designPosition());
    normalPosition = layout::designPosition();
    Form_Load();
    txtGasName->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::setSaveDialogRunner(SaveDialogRunner runner) {
    runSaveDialog = std::move(runner);
}

// ---------------------------------------------------------------------------
// Building the window

void frmMain::keyText(QObject* control, const char* property, const char* key) {
    keyedTexts.push_back({control, property, key});
}

void frmMain::createMenus() {
    // Keyed menus carry their text key as design-time caption.
    mnu.File = menuBar()->addMenu(QString());
    mnu.File->setObjectName(QStringLiteral("mnuFile"));
    keyText(mnu.File, "title", "10000");
    mnu.File_Quality = mnu.File->addAction(QString());
    mnu.File_Quality->setObjectName(QStringLiteral("mnuFile_Quality"));
    keyText(mnu.File_Quality, "text", "10003");
    mnu.File_Quality->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(mnu.File_Quality, &QAction::triggered, this, &frmMain::mnuFile_Quality_Click);
    mnu.File_Save = mnu.File->addAction(QString());
    mnu.File_Save->setObjectName(QStringLiteral("mnuFile_Save"));
    keyText(mnu.File_Save, "text", "10001");
    mnu.File_Save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnu.File_Save->setEnabled(false); // no action of its own
    mnu.File->addSeparator()->setObjectName(QStringLiteral("mnuFile_Sep"));
    mnu.File_Exit = mnu.File->addAction(QString());
    mnu.File_Exit->setObjectName(QStringLiteral("mnuFile_Exit"));
    keyText(mnu.File_Exit, "text", "10002");
    connect(mnu.File_Exit, &QAction::triggered, this, &frmMain::cmdExit_Click);

    // Not shown: the toolbar switches the language, but the entries keep
    // their captions and check marks in step.
    mnu.Language = menuBar()->addMenu(QString());
    mnu.Language->setObjectName(QStringLiteral("mnuLanguage"));
    keyText(mnu.Language, "title", "10200");
    mnu.Language->menuAction()->setVisible(false);
    mnu.Language_DE = mnu.Language->addAction(QString());
    mnu.Language_DE->setObjectName(QStringLiteral("mnuLanguage_DE"));
    keyText(mnu.Language_DE, "text", "10201");
    mnu.Language_DE->setCheckable(true);
    mnu.Language_EN = mnu.Language->addAction(QString());
    mnu.Language_EN->setObjectName(QStringLiteral("mnuLanguage_EN"));
    keyText(mnu.Language_EN, "text", "10202");
    mnu.Language_EN->setCheckable(true);
    mnu.Language_EN->setChecked(true);
    connect(mnu.Language_DE, &QAction::triggered, this, &frmMain::mnuLanguage_DE_Click);
    connect(mnu.Language_EN, &QAction::triggered, this, &frmMain::mnuLanguage_EN_Click);

    mnu.Help = menuBar()->addMenu(QStringLiteral("?"));
    mnu.Help->setObjectName(QStringLiteral("mnuHelp"));
    mnu.Help_Help = mnu.Help->addAction(QString());
    mnu.Help_Help->setObjectName(QStringLiteral("mnuHelp_Help"));
    keyText(mnu.Help_Help, "text", "10101");
    mnu.Help_Help->setShortcut(QKeySequence(Qt::Key_F1));
    mnu.Help->addSeparator()->setObjectName(QStringLiteral("mnuHelp_Sep"));
    mnu.Help_About = mnu.Help->addAction(QString());
    mnu.Help_About->setObjectName(QStringLiteral("mnuHelp_About"));
    keyText(mnu.Help_About, "text", "10102");
    connect(mnu.Help_Help, &QAction::triggered, this, &frmMain::mnuHelp_Help_Click);
    connect(mnu.Help_About, &QAction::triggered, this, &frmMain::mnuHelp_About_Click);
}

void frmMain::createToolbar() {
    tlbMain = new QToolBar(client);
    tlbMain->setObjectName(QStringLiteral("tlbMain"));
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setIconSize(QSize(32, 32));
    layout::place(tlbMain);

    btnDE = tlbMain->addAction(tarvelo::pictureIcon(QStringLiteral("flag_de")),
                               QStringLiteral("Deutsch"));
    btnDE->setObjectName(QStringLiteral("btnDE"));
    btnDE->setToolTip(QStringLiteral("Setzt die Sprache auf 'Deutsch'."));
    btnDE->setCheckable(true);
    btnEN = tlbMain->addAction(tarvelo::pictureIcon(QStringLiteral("flag_en")),
                               QStringLiteral("English"));
    btnEN->setObjectName(QStringLiteral("btnEN"));
    btnEN->setToolTip(QStringLiteral("Sets the language to 'English'."));
    btnEN->setCheckable(true);
    btnEN->setChecked(true);
    // Pressing one of the pair releases the other.
    languageButtons = new QActionGroup(this);
    languageButtons->setExclusive(true);
    languageButtons->addAction(btnDE);
    languageButtons->addAction(btnEN);
    tlbMain->addSeparator();
    btnHelp = tlbMain->addAction(tarvelo::pictureIcon(QStringLiteral("help")), QString());
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    keyText(btnHelp, "toolTip", "20001");
    btnQuality = tlbMain->addAction(tarvelo::pictureIcon(QStringLiteral("quality")), QString());
    btnQuality->setObjectName(QStringLiteral("btnQuality"));
    keyText(btnQuality, "toolTip", "20002");
    connect(tlbMain, &QToolBar::actionTriggered, this, &frmMain::tlbMain_ButtonClick);
}

void frmMain::createInputFrame() {
    Frame1 = new QGroupBox(QStringLiteral("Input Values (volume percent)"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setProperty("Tag", QStringLiteral("30001"));
    layout::place(Frame1);

    Label1[0] =
        makeLabel(Frame1, QStringLiteral("Label1_0"), QStringLiteral("Name of the gas:"), "40001");
    txtGasName = new InputField(Frame1);
    txtGasName->setObjectName(QStringLiteral("txtGasName"));
    layout::place(txtGasName);

    for (int i = 1; i <= tarvelo::kComponentCount; ++i) {
        const int row = i - 1;
        const std::string_view formula = tarvelo::kComponentLabels[static_cast<std::size_t>(row)];
        Label3[row] = makeLabel(Frame1, QStringLiteral("Label3_%1").arg(row),
                                QString::fromLatin1(formula.data(), qsizetype(formula.size())));
        auto* field = new InputField(Frame1);
        field->setObjectName(QStringLiteral("txtGas%1").arg(i));
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setProperty("Tag", QString::number(60000 + i));
        field->setSelectAllOnEntry(true);
        field->setLeaveCheck([this, i] { return txtGas_Validate(i); });
        layout::place(field);
        txtGas[i] = field;
        Label4[row] =
            makeLabel(Frame1, QStringLiteral("Label4_%1").arg(row), QStringLiteral("% vol."));
    }

    Label1[1] =
        makeLabel(Frame1, QStringLiteral("Label1_1"), QStringLiteral("Sum of elements:"), "40002");
    Label1[1]->setAlignment(Qt::AlignCenter);
    txtSum = new QLineEdit(Frame1);
    txtSum->setObjectName(QStringLiteral("txtSum"));
    txtSum->setAlignment(Qt::AlignCenter);
    txtSum->setFocusPolicy(Qt::ClickFocus);
    setTextColour(txtSum, kSumGreen);
    layout::place(txtSum);
    Label4[16] = makeLabel(Frame1, QStringLiteral("Label4_16"), QStringLiteral("% vol."));
    Label5 = makeLabel(Frame1, QStringLiteral("Label5"),
                       QStringLiteral("(to be completed to 100.%)"), "40003");
}

void frmMain::createResultFrame() {
    Frame2 = new QGroupBox(QStringLiteral("Calculated Values"), client);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setProperty("Tag", QStringLiteral("30002"));
    layout::place(Frame2);

    Label2[0] =
        makeLabel(Frame2, QStringLiteral("Label2_0"), QStringLiteral("air / fuel ratio"), "41001");
    Label2[1] = makeLabel(Frame2, QStringLiteral("Label2_1"), QStringLiteral("density"), "41002");
    Label2[2] =
        makeLabel(Frame2, QStringLiteral("Label2_2"), QStringLiteral("calorific value"), "41003");
    txtLambda = makeResultBox(Frame2, QStringLiteral("txtLambda"));
    txtRho = makeResultBox(Frame2, QStringLiteral("txtRho"));
    txtHu = makeResultBox(Frame2, QStringLiteral("txtHu"));
    Label2[3] = makeLabel(Frame2, QStringLiteral("Label2_3"), QStringLiteral("[l / l]"));
    Label2[4] = makeLabel(Frame2, QStringLiteral("Label2_4"), QStringLiteral("[g / Nm³]"));
    Label2[5] = makeLabel(Frame2, QStringLiteral("Label2_5"), QStringLiteral("[kWh / Nm³]"));
}

void frmMain::createButtons() {
    // A cross: refresh above, calculate left, save right, exit below.
    cmdRefresh = makePictureButton(client, QStringLiteral("cmdRefresh"), QStringLiteral("refresh"));
    keyText(cmdRefresh, "toolTip", "50001");
    cmdCalculate =
        makePictureButton(client, QStringLiteral("cmdCalculate"), QStringLiteral("calculate"));
    keyText(cmdCalculate, "toolTip", "50002");
    cmdCalculate->setFocusPolicy(Qt::StrongFocus); // the last tab stop, while enabled
    cmdCalculate->setEnabled(false);
    cmdSave = makePictureButton(client, QStringLiteral("cmdSave"), QStringLiteral("save"));
    keyText(cmdSave, "toolTip", "50004");
    cmdSave->setEnabled(false);
    cmdExit = makePictureButton(client, QStringLiteral("cmdExit"), QStringLiteral("exit"));
    keyText(cmdExit, "toolTip", "50003");
    connect(cmdRefresh, &QPushButton::clicked, this, &frmMain::cmdRefresh_Click);
    connect(cmdCalculate, &QPushButton::clicked, this, &frmMain::cmdCalculate_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
}

void frmMain::createStatusBar() {
    stbMain = new QStatusBar(client);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setSizeGripEnabled(false); // the window has a fixed size
    layout::place(stbMain);
    // One panel across the bar, not keyed.
    stbPanel = new QLabel(QString::fromUtf8(tarvelo::kCopyright), stbMain);
    stbPanel->setObjectName(QStringLiteral("stbMain_Panel1"));
    stbPanel->setToolTip(QString::fromUtf8(tarvelo::kCopyright));
    stbMain->addPermanentWidget(stbPanel, 1);
}

void frmMain::setTabOrder() {
    // txtGasName, txtGas(1) ... txtGas(16), cmdCalculate, and round again.
    QWidget* previous = txtGasName;
    for (int i = 1; i <= tarvelo::kComponentCount; ++i) {
        QWidget::setTabOrder(previous, txtGas[i]);
        previous = txtGas[i];
    }
    QWidget::setTabOrder(previous, cmdCalculate);
}

// ---------------------------------------------------------------------------
// The window's life

void frmMain::Form_Load() {
    // Each step that fails is skipped; nothing is reported while loading.
    {
        const cRegistry registry;
        restorePosition(registry);
        Lang = std::make_unique<cLanguage>();
        // A stored code that names no language of the table would blank every
        // keyed text: it is treated as a missing one, and stays stored until
        // the user switches.
        if (!Lang->setLanguage(registry.GetSetting(QString::fromLatin1(kAppKey), kGeneral,
                                                   QStringLiteral("Language"),
                                                   QString::number(cLanguage::English))) ||
            (Lang->language() != cLanguage::German && Lang->language() != cLanguage::English))
            Lang->setLanguage(cLanguage::English);
        RestoreTextKeys();
        Lang->LoadStrings(this);
    }
    markLanguage(Lang->language());
    helpFilePath = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                   QString::fromLatin1(tarvelo::kHelpFileName);
    try {
        kernel.GasData_Init();
    } catch (const tarvelo::KernelBindingError&) {
        // A kernel that cannot be loaded goes unnoticed until the first call.
    }
}

void frmMain::restorePosition(const cRegistry& registry) {
    // "Left" and "Top" are read and applied one after the other; a stored
    // position that would leave the window on no screen is not used.
    QPoint position = pos();
    const QString app = QString::fromLatin1(kAppKey);
    if (auto left = storedPixels(registry.GetSetting(app, kFrmMain, QStringLiteral("Left"), {})))
        position.setX(*left);
    if (auto top = storedPixels(registry.GetSetting(app, kFrmMain, QStringLiteral("Top"), {})))
        position.setY(*top);
    if (position == pos() || !onSomeScreen(QRect(position, sizeHint())))
        return;
    move(position);
    normalPosition = position;
}

void frmMain::storePosition() const {
    // A minimised or maximised window stores where it stood before.
    const bool normal =
        !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    const QPoint position = normal ? pos() : normalPosition;
    const cRegistry registry;
    const QString app = QString::fromLatin1(kAppKey);
    const QLocale locale;
    registry.SaveSetting(
        app, kFrmMain, QStringLiteral("Left"),
        tarvelo::displayNumberText(static_cast<float>(layout::toTwips(position.x())), locale));
    registry.SaveSetting(
        app, kFrmMain, QStringLiteral("Top"),
        tarvelo::displayNumberText(static_cast<float>(layout::toTwips(position.y())), locale));
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    clickGuard->install();
}

void frmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        normalPosition = pos();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Every way of closing comes here; the close is never refused. The
    // gas-quality window goes with it.
    if (quality)
        quality->close();
    Lang.reset();
    storePosition();
    event->accept();
}

// ---------------------------------------------------------------------------
// The percentage fields

std::array<QString, tarvelo::kComponentCount> frmMain::gasTexts() const {
    std::array<QString, tarvelo::kComponentCount> texts;
    for (int i = 1; i <= tarvelo::kComponentCount; ++i)
        texts[static_cast<std::size_t>(i - 1)] = txtGas[i]->text();
    return texts;
}

bool frmMain::txtGas_Validate(int index) {
    const QLocale locale;
    if (tarvelo::checkEntry(txtGas[index]->text(), locale) != tarvelo::EntryCheck::Valid) {
        rejectEntry(index);
        return false;
    }
    const tarvelo::CompositionSum composition = tarvelo::readComposition(gasTexts(), locale);
    GasPercent = composition.percent;
    setTextColour(txtSum, composition.calculable ? kSumGreen : kSumRed);
    cmdCalculate->setEnabled(composition.calculable);
    txtSum->setText(tarvelo::displayNumberText(composition.sum, locale));
    return true;
}

void frmMain::rejectEntry(int index) {
    QMessageBox message(QMessageBox::Critical, QString::fromLatin1(kAppTitle), word(70001),
                        QMessageBox::Ok, this);
    message.exec();
    // The message box had the window's activation; the field never lost the
    // window's focus, and now gets both back.
    activateWindow();
    txtGas[index]->setFocus(Qt::OtherFocusReason);
    txtGas[index]->selectAll();
}

bool frmMain::mayLeave(QWidget* from) {
    for (int i = 1; i <= tarvelo::kComponentCount; ++i)
        if (from == txtGas[i])
            return txtGas_Validate(i);
    return true;
}

// ---------------------------------------------------------------------------
// The commands

template <typename Call> bool frmMain::callKernel(Call&& call) {
    try {
        call();
        return true;
    } catch (const tarvelo::KernelBindingError& error) {
        endWithKernelError(error);
        return false;
    }
}

void frmMain::endWithKernelError(const tarvelo::KernelBindingError& error) {
    QMessageBox::critical(this, QString::fromLatin1(kAppTitle),
                          QStringLiteral("Error %1: %2")
                              .arg(error.number())
                              .arg(QString::fromLocal8Bit(error.systemText().c_str())));
    QCoreApplication::exit(kKernelFailureStatus);
}

void frmMain::cmdCalculate_Click() {
    const QLocale locale;
    for (int i = 1; i <= tarvelo::kComponentCount; ++i)
        GasPercent[static_cast<std::size_t>(i - 1)] =
            tarvelo::entryValue(txtGas[i]->text(), locale);
    float lambda = 0.0f;
    float rho = 0.0f;
    float hu = 0.0f;
    if (!callKernel([&] { kernel.Calculate(GasPercent.data(), &lambda, &rho, &hu); }))
        return;
    txtLambda->setText(tarvelo::displayNumberText(tarvelo::roundHalfEven(lambda, 2), locale));
    txtRho->setText(tarvelo::displayNumberText(tarvelo::roundHalfEven(rho, 1), locale));
    txtHu->setText(tarvelo::displayNumberText(tarvelo::roundHalfEven(hu, 2), locale));
    cmdSave->setEnabled(true);
}

void frmMain::cmdRefresh_Click() {
    // Emptying the fields runs no validation; GasPercent, the colour of the
    // sum and the kernel's last calculation stay. setText, not clear():
    // clear() is an undoable edit and keeps each field's undo history, which
    // then grows with every calculation for as long as the program runs.
    for (int i = 1; i <= tarvelo::kComponentCount; ++i)
        txtGas[i]->setText(QString());
    for (QLineEdit* box : {static_cast<QLineEdit*>(txtGasName), txtSum, txtLambda, txtRho, txtHu})
        box->setText(QString());
    cmdCalculate->setEnabled(false);
    cmdSave->setEnabled(false);
}

void frmMain::cmdSave_Click() {
    const QString app = QString::fromLatin1(kAppKey);
    const cRegistry registry;
    QString initDir =
        registry.GetSetting(app, kGeneral, QStringLiteral("InitDir"), defaultInitDir());

    if (!dlgDialog) {
        dlgDialog = new QFileDialog(this);
        dlgDialog->setAcceptMode(QFileDialog::AcceptSave);
        dlgDialog->setFileMode(QFileDialog::AnyFile);
    }
    dlgDialog->setWindowTitle(word(80001));
    dlgDialog->setNameFilters(nameFilters(word(80002)));
    dlgDialog->setDirectory(initDir);
    if (!lastFileName.isEmpty())
        dlgDialog->selectFile(lastFileName);

    const QString fileName = QDir::toNativeSeparators(runSaveDialog(*dlgDialog));
    if (fileName.isEmpty())
        return; // cancelled: nothing stored, nothing written
    lastFileName = QFileInfo(fileName).fileName();

    const qsizetype separator = fileName.lastIndexOf(QDir::separator());
    if (separator >= 0)
        initDir = fileName.left(separator + 1);
    registry.SaveSetting(app, kGeneral, QStringLiteral("InitDir"), initDir);

    const QByteArray gasName = tarvelo::toWindows1252(txtGasName->text());
    // The kernel takes the path in the system's 8-bit encoding: UTF-8 on
    // Linux and, through the program's manifest, on Windows 10 1903 and later.
    // A path that encoding cannot hold is refused rather than bent to another.
    const QByteArray path = QFile::encodeName(fileName);
    const std::int32_t language = Lang->language();
    std::int32_t result = QFile::decodeName(path) == fileName ? 0 : EILSEQ;
    if (result == 0 && !callKernel([&] {
            result = kernel.Save2File(gasName.constData(), path.constData(), &language,
                                      static_cast<std::int32_t>(gasName.size()),
                                      static_cast<std::int32_t>(path.size()));
        }))
        return;
    if (result != 0)
        QMessageBox::critical(this, QString::fromLatin1(kAppTitle),
                              word(70002) + QLatin1Char('\n') + fileName + QLatin1Char('\n') +
                                  QString::fromLocal8Bit(std::strerror(result)));
}

void frmMain::cmdExit_Click() {
    close();
}

void frmMain::mnuHelp_Help_Click() {
    const QByteArray path = QFile::encodeName(QDir::toNativeSeparators(helpFilePath));
    callKernel([&] { kernel.Help(path.constData(), static_cast<std::int32_t>(path.size())); });
}

void frmMain::mnuHelp_About_Click() {
    // A fresh dialog each time, gone once it closes.
    frmAbout about(this);
    about.exec();
}

void frmMain::mnuFile_Quality_Click() {
    // One gas-quality window at a time, made when first opened.
    if (!quality)
        quality = new frmQuality([this] { return gasTexts(); }, Lang->language(), this);
    quality->show();
    quality->setWindowState(quality->windowState() & ~Qt::WindowMinimized);
    quality->raise();
    quality->activateWindow();
}

void frmMain::tlbMain_ButtonClick(QAction* button) {
    const QString key = button->objectName();
    if (key == QLatin1String("btnDE"))
        mnuLanguage_DE_Click();
    else if (key == QLatin1String("btnEN"))
        mnuLanguage_EN_Click();
    else if (key == QLatin1String("btnHelp"))
        mnuHelp_Help_Click();
    else if (key == QLatin1String("btnQuality"))
        mnuFile_Quality_Click();
}

// ---------------------------------------------------------------------------
// Languages

void frmMain::mnuLanguage_DE_Click() {
    switchLanguage(cLanguage::German);
}

void frmMain::mnuLanguage_EN_Click() {
    switchLanguage(cLanguage::English);
}

void frmMain::switchLanguage(int code) {
    // All steps run even when the language does not change.
    RestoreTextKeys();
    Lang->setLanguage(code);
    Lang->LoadStrings(this);
    if (quality)
        quality->setLanguage(code);
    cRegistry().SaveSetting(QString::fromLatin1(kAppKey), kGeneral, QStringLiteral("Language"),
                            QString::number(code));
    markLanguage(code);
}

void frmMain::RestoreTextKeys() {
    // The texts that carry their key where the text is shown, as the
    // builders recorded them; keys in a "Tag" need no restoring.
    for (const KeyedText& keyed : keyedTexts)
        keyed.control->setProperty(keyed.property, QString::fromLatin1(keyed.key));
}

void frmMain::markLanguage(int code) {
    if (code == cLanguage::German) {
        btnDE->setChecked(true);
        mnu.Language_DE->setChecked(true);
        mnu.Language_EN->setChecked(false);
    } else if (code == cLanguage::English) {
        btnEN->setChecked(true);
        mnu.Language_DE->setChecked(false);
        mnu.Language_EN->setChecked(true);
    }
}

QString frmMain::word(long key) const {
    return Lang ? Lang->Word(key) : QString();
}
