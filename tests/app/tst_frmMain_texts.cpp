// The main window's face: its controls in place, the texts of both
// languages, the switch between them and the tab order.
#include "WindowDriver.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

using driver::find;

namespace {

// Every keyed text of the window, by where it is shown.
struct Keyed {
    const char* carrier; // object name
    enum Kind { Title, Text, ToolTip } kind;
    const char* german;
    const char* english;
};

// clang-format off
const Keyed kKeyed[] = {
    {"mnuFile",        Keyed::Title,   "&Datei",              "&File"},
    {"mnuFile_Save",   Keyed::Text,    "In Datei &speichern", "&Save to file"},
    {"mnuFile_Exit",   Keyed::Text,    "&Beenden",            "&Exit"},
    {"mnuHelp_Help",   Keyed::Text,    "&Hilfe",              "&Help"},
    {"mnuHelp_About",  Keyed::Text,    "&Info",               "&Info"},
    {"mnuLanguage",    Keyed::Title,   "&Sprache",            "&Language"},
    {"mnuLanguage_DE", Keyed::Text,    "&Deutsch",            "&Deutsch"},
    {"mnuLanguage_EN", Keyed::Text,    "&English",            "&English"},
    {"btnHelp",        Keyed::ToolTip, "Hilfe",               "Help"},
    {"Frame1",         Keyed::Title,   "Eingabedaten",        "Input values"},
    {"Frame2",         Keyed::Title,   "Berechnete Werte",    "Calculated values"},
    {"Label1_0",       Keyed::Text,    "Gasname",             "Name of the gas"},
    {"Label1_1",       Keyed::Text,    "Summe der Elemente:", "Sum of elements:"},
    {"Label5",         Keyed::Text,    "(muss auf 100.% erg\u00e4nzt werden)", "(to be completed to 100.%)"},
    {"Label2_0",       Keyed::Text,    "Mindesluftbedarf",    "air / fuel ratio"},
    {"Label2_1",       Keyed::Text,    "Dichte",              "density"},
    {"Label2_2",       Keyed::Text,    "Heizwert",            "calorific value"},
    {"cmdRefresh",     Keyed::ToolTip, "Neue Berechnung starten", "Start a new calculation"},
    {"cmdCalculate",   Keyed::ToolTip, "Berechnen",           "Calculate"},
    {"cmdExit",        Keyed::ToolTip, "Beenden",             "Exit"},
    {"cmdSave",        Keyed::ToolTip, "Protokolldatei im HTML-Formate erzeugen", "Generate report in HTML-format"},
    {"txtGas1",  Keyed::ToolTip, "Methan",        "Methane"},
    {"txtGas2",  Keyed::ToolTip, "Ethan",         "Ethane"},
    {"txtGas3",  Keyed::ToolTip, "Propan",        "Propane"},
    {"txtGas4",  Keyed::ToolTip, "Iso-Butan",     "Iso-Butane"},
    {"txtGas5",  Keyed::ToolTip, "Normal-Butan",  "Normal-Butane"},
    {"txtGas6",  Keyed::ToolTip, "Pentan",        "Pentane"},
    {"txtGas7",  Keyed::ToolTip, "Hexan",         "Hexane"},
    {"txtGas8",  Keyed::ToolTip, "Septan",        "Septane"},
    {"txtGas9",  Keyed::ToolTip, "Acetylen",      "Acetylene"},
    {"txtGas10", Keyed::ToolTip, "Ethen",         "Ethene"},
    {"txtGas11", Keyed::ToolTip, "Wasserstoff",   "Hydrogen"},
    {"txtGas12", Keyed::ToolTip, "Kohlenmonoxid", "Carbon monoxide"},
    {"txtGas13", Keyed::ToolTip, "Kohlendioxid",  "Carbon dioxide"},
    {"txtGas14", Keyed::ToolTip, "Stickstoff",    "Nitrogen"},
    {"txtGas15", Keyed::ToolTip, "Sauerstoff",    "Oxygen"},
    {"txtGas16", Keyed::ToolTip, "Wasser",        "Water"},
};
// clang-format on

QString shown(const QWidget* window, const Keyed& keyed) {
    const QString name = QString::fromLatin1(keyed.carrier);
    QObject* carrier = find<QObject>(window, name);
    if (auto* menu = qobject_cast<QMenu*>(carrier))
        return menu->title();
    if (auto* frame = qobject_cast<QGroupBox*>(carrier))
        return frame->title();
    if (auto* label = qobject_cast<QLabel*>(carrier))
        return label->text();
    if (auto* action = qobject_cast<QAction*>(carrier))
        return keyed.kind == Keyed::ToolTip ? action->toolTip() : action->text();
    return qobject_cast<QWidget*>(carrier)->toolTip();
}

void expectLanguage(const QWidget* window, int code) {
    for (const Keyed& keyed : kKeyed)
        QCOMPARE(shown(window, keyed), QString::fromUtf8(code == 1 ? keyed.german : keyed.english));
    QCOMPARE(find<QAction>(window, "btnDE")->isChecked(), code == 1);
    QCOMPARE(find<QAction>(window, "btnEN")->isChecked(), code == 2);
    QCOMPARE(find<QAction>(window, "mnuLanguage_DE")->isChecked(), code == 1);
    QCOMPARE(find<QAction>(window, "mnuLanguage_EN")->isChecked(), code == 2);
}

// Texts that are the same in both languages.
QStringList untranslatedTexts(const QWidget* window) {
    QStringList texts{window->windowTitle(), find<QMenu>(window, "mnuHelp")->title(),
                      find<QAction>(window, "btnDE")->toolTip(),
                      find<QAction>(window, "btnEN")->toolTip()};
    for (int i = 3; i <= 5; ++i)
        texts << find<QLabel>(window, QStringLiteral("Label2_%1").arg(i))->text();
    for (int i = 0; i < 16; ++i)
        texts << find<QLabel>(window, QStringLiteral("Label3_%1").arg(i))->text();
    for (int i = 0; i <= 16; ++i)
        texts << find<QLabel>(window, QStringLiteral("Label4_%1").arg(i))->text();
    const auto* panel = find<QStatusBar>(window, "stbMain")->findChild<QLabel*>();
    texts << panel->text() << panel->toolTip();
    return texts;
}

bool isBareKey(const QString& text) {
    bool number = false;
    text.toLong(&number);
    return number;
}

} // namespace

class tst_frmMain_texts : public QObject {
    Q_OBJECT
private slots:
    void init() { driver::clearSettings(); }

    void firstStartIsEnglishWithEveryKeyedTextReplaced() {
        auto window = driver::openWindow();
        expectLanguage(window.get(), 2);
        QCOMPARE(window->windowTitle(), QStringLiteral("TarveloV1R1"));
        QVERIFY(find<QLineEdit>(window.get(), "txtGasName")->hasFocus());
        QVERIFY(!find<QPushButton>(window.get(), "cmdCalculate")->isEnabled());
        QVERIFY(!find<QPushButton>(window.get(), "cmdSave")->isEnabled());
        QVERIFY(!find<QAction>(window.get(), "mnuFile_Save")->isEnabled());
        QVERIFY(!find<QMenu>(window.get(), "mnuLanguage")->menuAction()->isVisible());
        QCOMPARE(find<QStatusBar>(window.get(), "stbMain")->findChild<QLabel*>()->text(),
                 QString::fromUtf8(tarvelo::kCopyright));
    }

    void germanEnglishGermanLeavesEveryTextGermanAndNoBareKey() {
        auto window = driver::openWindow();
        for (const char* button : {"btnDE", "btnEN", "btnDE"})
            driver::clickToolButton(window.get(), QString::fromLatin1(button));
        expectLanguage(window.get(), 1);
        QCOMPARE(driver::setting("General", "Language"), QStringLiteral("1"));

        QList<QAction*> actions = window->menuBar()->actions();
        for (qsizetype i = 0; i < actions.size(); ++i) {
            QVERIFY2(!isBareKey(actions[i]->text()), qPrintable(actions[i]->text()));
            if (actions[i]->menu())
                actions << actions[i]->menu()->actions();
        }
        for (const QWidget* widget : window->findChildren<QWidget*>())
            QVERIFY2(!isBareKey(widget->toolTip()), qPrintable(widget->objectName()));
        for (const QAction* action : find<QToolBar>(window.get(), "tlbMain")->actions())
            QVERIFY2(action->isSeparator() || !isBareKey(action->toolTip()),
                     qPrintable(action->objectName()));
    }

    void languageSurvivesARestart() {
        {
            auto window = driver::openWindow();
            driver::clickToolButton(window.get(), "btnDE");
            window->close();
        }
        auto window = driver::openWindow();
        expectLanguage(window.get(), 1);
    }

    void untranslatedTextsAreTheSameInBothLanguages() {
        auto window = driver::openWindow();
        const QStringList english = untranslatedTexts(window.get());
        driver::clickToolButton(window.get(), "btnDE");
        QCOMPARE(untranslatedTexts(window.get()), english);
        QVERIFY(english.contains(QStringLiteral("% vol.")));
        QVERIFY(english.contains(QStringLiteral("?")));
    }

    void choosingTheShownLanguageAgainRewritesTheSetting() {
        auto window = driver::openWindow();
        driver::storeSetting("General", "Language", "");
        driver::clickToolButton(window.get(), "btnEN");
        QCOMPARE(driver::setting("General", "Language"), QStringLiteral("2"));
        expectLanguage(window.get(), 2);
    }

    void storedLanguageOfNoTableStartsEnglish_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("other number") << QStringLiteral("7");
        QTest::newRow("zero") << QStringLiteral("0");
        QTest::newRow("not a number") << QStringLiteral("Deutsch");
    }
    void storedLanguageOfNoTableStartsEnglish() {
        QFETCH(QString, stored);
        driver::storeSetting("General", "Language", stored);
        auto window = driver::openWindow();
        expectLanguage(window.get(), 2);
        window->close();
        QCOMPARE(driver::setting("General", "Language"), stored);
    }

    void tabCyclesTheInputFieldsAndCalculateOnlyWhileEnabled() {
        auto window = driver::openWindow();
        QWidget* const name = find(window.get(), "txtGasName");
        QWidget* const calculate = find(window.get(), "cmdCalculate");
        QList<QWidget*> expected{name};
        for (int i = 1; i <= 16; ++i)
            expected << driver::gas(window.get(), i);

        // cmdCalculate disabled: round from txtGas(16) to txtGasName.
        for (qsizetype step = 1; step <= expected.size(); ++step) {
            driver::press(window.get(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[step % expected.size()]);
        }
        // With a sum of 100 it is the stop after txtGas(16).
        driver::press(window.get(), Qt::Key_Tab);
        driver::type(window.get(), QStringLiteral("100"));
        for (int step = 1; step <= 16; ++step)
            driver::press(window.get(), Qt::Key_Tab);
        QVERIFY(calculate->isEnabled());
        QCOMPARE(QApplication::focusWidget(), calculate);
        driver::press(window.get(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), name);
        driver::press(window.get(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), calculate);
    }

    void controlsStandWhereTheTwipsTablePutsThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        // twips / 15, relative to the container
        QTest::newRow("toolbar") << "tlbMain" << QRect(0, 0, 858, 44);
        QTest::newRow("status bar") << "stbMain" << QRect(0, 450, 858, 25);
        QTest::newRow("input frame") << "Frame1" << QRect(16, 64, 433, 369);
        QTest::newRow("result frame") << "Frame2" << QRect(472, 64, 369, 145);
        QTest::newRow("save, right of the cross") << "cmdSave" << QRect(664, 304, 177, 49);
        QTest::newRow("first field, right column") << "txtGas9" << QRect(304, 88, 81, 19);
        QTest::newRow("last unit label") << "Label4_15" << QRect(392, 256, 33, 17);
        QTest::newRow("calorific value") << "txtHu" << QRect(144, 88, 121, 28);
    }
    void controlsStandWhereTheTwipsTablePutsThem() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        auto window = driver::openWindow();
        QCOMPARE(find(window.get(), name)->geometry(), pixels);
        QCOMPARE(window->centralWidget()->size(), QSize(858, 475));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    }
};

QTEST_MAIN(tst_frmMain_texts)
#include "tst_frmMain_texts.moc"
