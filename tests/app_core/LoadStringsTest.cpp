#include "cLanguage.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "TestPrinting.h"

namespace {

// A small window that carries its keys the way the main window does.
struct KeyedWindow {
    QMainWindow window;
    QMenu* file = nullptr;
    QAction* fileSave = nullptr;
    QAction* fileExit = nullptr;
    QAction* separator = nullptr;
    QMenu* help = nullptr;
    QAction* helpHelp = nullptr;
    QMenu* nested = nullptr;
    QAction* nestedEntry = nullptr;
    QMenu* language = nullptr;
    QAction* languageDE = nullptr;
    QAction* btnHelp = nullptr;
    QAction* btnDE = nullptr;
    QAction* btnPlain = nullptr;
    QAction* btnSameText = nullptr;
    QGroupBox* frame = nullptr;
    QLabel* keyed = nullptr;
    QLabel* unknownKey = nullptr;
    QLabel* formula = nullptr;
    QLineEdit* field = nullptr;
    QPushButton* calculate = nullptr;
    QPushButton* captioned = nullptr;
    QLabel* panel = nullptr;
    QLabel* keyedPanel = nullptr;

    KeyedWindow() {
        QMenuBar* bar = window.menuBar();
        file = bar->addMenu(QStringLiteral("10000"));
        fileSave = file->addAction(QStringLiteral("10001"));
        separator = file->addSeparator();
        fileExit = file->addAction(QStringLiteral("10002"));
        help = bar->addMenu(QStringLiteral("?"));
        helpHelp = help->addAction(QStringLiteral("10101"));
        help->addAction(QStringLiteral("-"));
        nested = help->addMenu(QStringLiteral("10102"));
        nestedEntry = nested->addAction(QStringLiteral("10202"));
        language = bar->addMenu(QStringLiteral("10200"));
        language->menuAction()->setVisible(false);
        languageDE = language->addAction(QStringLiteral("10201"));

        QToolBar* tools = window.addToolBar(QStringLiteral("tlbMain"));
        btnDE = tools->addAction(QStringLiteral("btnDE"));
        btnDE->setToolTip(QStringLiteral("Setzt die Sprache auf 'Deutsch'."));
        tools->addSeparator();
        btnHelp = tools->addAction(QStringLiteral("btnHelp"));
        btnHelp->setToolTip(QStringLiteral("20001"));
        btnPlain = tools->addAction(QStringLiteral("10001")); // no tool tip of its own
        btnSameText = tools->addAction(QStringLiteral("20001"));
        btnSameText->setToolTip(QStringLiteral("20001"));

        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        frame = new QGroupBox(QStringLiteral("Frame1"));
        frame->setProperty("Tag", QStringLiteral("30001"));
        auto* inFrame = new QVBoxLayout(frame);
        keyed = new QLabel(QStringLiteral("Label1"));
        keyed->setProperty("Tag", QStringLiteral("40001"));
        unknownKey = new QLabel(QStringLiteral("design"));
        unknownKey->setProperty("Tag", QStringLiteral("49999"));
        formula = new QLabel(QStringLiteral("CH4"));
        field = new QLineEdit;
        field->setProperty("Tag", QStringLiteral("60001"));
        inFrame->addWidget(keyed);
        inFrame->addWidget(unknownKey);
        inFrame->addWidget(formula);
        inFrame->addWidget(field);
        layout->addWidget(frame);
        calculate = new QPushButton;
        calculate->setToolTip(QStringLiteral("50002"));
        captioned = new QPushButton(QStringLiteral("design"));
        captioned->setProperty("Tag", QStringLiteral("50001"));
        layout->addWidget(calculate);
        layout->addWidget(captioned);
        window.setCentralWidget(central);

        panel = new QLabel(QStringLiteral("Copyright"));
        keyedPanel = new QLabel(QStringLiteral("panel"));
        keyedPanel->setProperty("Tag", QStringLiteral("41002"));
        window.statusBar()->addPermanentWidget(panel);
        window.statusBar()->addWidget(keyedPanel);
    }

    // What the main window does at the start of a switch: the texts that
    // carry their key in their displayed property get the key back.
    void restoreTextKeys() {
        file->setTitle(QStringLiteral("10000"));
        fileSave->setText(QStringLiteral("10001"));
        fileExit->setText(QStringLiteral("10002"));
        helpHelp->setText(QStringLiteral("10101"));
        nested->setTitle(QStringLiteral("10102"));
        nestedEntry->setText(QStringLiteral("10202"));
        language->setTitle(QStringLiteral("10200"));
        languageDE->setText(QStringLiteral("10201"));
        calculate->setToolTip(QStringLiteral("50002"));
        btnHelp->setToolTip(QStringLiteral("20001"));
        btnSameText->setToolTip(QStringLiteral("20001"));
    }

    void switchTo(int code) {
        restoreTextKeys();
        cLanguage lang;
        ASSERT_TRUE(lang.setLanguage(code));
        lang.LoadStrings(&window);
    }
};

void expectGerman(const KeyedWindow& w) {
    EXPECT_EQ(w.file->title(), u"&Datei"_q);
    EXPECT_EQ(w.fileSave->text(), u"In Datei &speichern"_q);
    EXPECT_EQ(w.fileExit->text(), u"&Beenden"_q);
    EXPECT_EQ(w.helpHelp->text(), u"&Hilfe"_q);
    EXPECT_EQ(w.nested->title(), u"&Info"_q);
    EXPECT_EQ(w.nestedEntry->text(), u"&English"_q);
    EXPECT_EQ(w.language->title(), u"&Sprache"_q);
    EXPECT_EQ(w.languageDE->text(), u"&Deutsch"_q);
    EXPECT_EQ(w.btnHelp->toolTip(), u"Hilfe"_q);
    EXPECT_EQ(w.btnSameText->toolTip(), u"Hilfe"_q);
    EXPECT_EQ(w.window.findChild<QToolBar*>()->widgetForAction(w.btnHelp)->toolTip(), u"Hilfe"_q);
    EXPECT_EQ(w.frame->title(), u"Eingabedaten"_q);
    EXPECT_EQ(w.keyed->text(), u"Gasname"_q);
    EXPECT_EQ(w.field->toolTip(), u"Methan"_q);
    EXPECT_EQ(w.calculate->toolTip(), u"Berechnen"_q);
    EXPECT_EQ(w.captioned->text(), u"Neue Berechnung starten"_q);
    EXPECT_EQ(w.keyedPanel->text(), u"Dichte"_q);
}

// Texts without a key, the same in every language.
void expectUnkeyedUnchanged(const KeyedWindow& w) {
    EXPECT_EQ(w.help->title(), u"?"_q);
    EXPECT_EQ(w.help->actions().at(1)->text(), u"-"_q);
    EXPECT_TRUE(w.separator->text().isEmpty());
    EXPECT_EQ(w.btnDE->toolTip(), u"Setzt die Sprache auf 'Deutsch'."_q);
    EXPECT_EQ(w.btnPlain->text(), u"10001"_q);
    EXPECT_EQ(w.btnPlain->toolTip(), u"10001"_q); // still Qt's fallback, not a text
    EXPECT_EQ(w.btnSameText->text(), u"20001"_q);
    EXPECT_EQ(w.formula->text(), u"CH4"_q);
    EXPECT_EQ(w.unknownKey->text(), u""_q); // a key without entry empties the text
    EXPECT_EQ(w.panel->text(), u"Copyright"_q);
    EXPECT_TRUE(w.calculate->text().isEmpty());
}

TEST(LoadStrings, appliesGermanToEveryKindOfKeyedControl) {
    KeyedWindow w;
    w.switchTo(cLanguage::German);
    expectGerman(w);
    expectUnkeyedUnchanged(w);
}

TEST(LoadStrings, germanEnglishGermanEndsGermanWithNoBareKey) {
    KeyedWindow w;
    w.switchTo(cLanguage::German);
    w.switchTo(cLanguage::English);
    EXPECT_EQ(w.file->title(), u"&File"_q);
    EXPECT_EQ(w.language->title(), u"&Language"_q);
    EXPECT_EQ(w.btnHelp->toolTip(), u"Help"_q);
    EXPECT_EQ(w.frame->title(), u"Input values"_q);
    EXPECT_EQ(w.keyed->text(), u"Name of the gas"_q);
    EXPECT_EQ(w.field->toolTip(), u"Methane"_q);
    EXPECT_EQ(w.calculate->toolTip(), u"Calculate"_q);
    EXPECT_EQ(w.keyedPanel->text(), u"density"_q);
    expectUnkeyedUnchanged(w);
    w.switchTo(cLanguage::German);
    expectGerman(w);
    expectUnkeyedUnchanged(w);
}

TEST(LoadStrings, applyingTwiceChangesNothing) {
    KeyedWindow w;
    cLanguage lang;
    ASSERT_TRUE(lang.setLanguage(cLanguage::German));
    lang.LoadStrings(&w.window);
    lang.LoadStrings(&w.window);
    expectGerman(w);
    expectUnkeyedUnchanged(w);
}

TEST(LoadStrings, aCodeWithoutTextsEmptiesEveryKeyedText) {
    KeyedWindow w;
    cLanguage lang; // code 0, as after a stored language that is no number
    lang.LoadStrings(&w.window);
    EXPECT_EQ(w.file->title(), u""_q);
    EXPECT_EQ(w.fileSave->text(), u""_q);
    EXPECT_EQ(w.keyed->text(), u""_q);
    // An empty tool tip on an action shows the action's text instead.
    EXPECT_EQ(w.btnHelp->toolTip(), u"btnHelp"_q);
    EXPECT_EQ(w.help->title(), u"?"_q);
    EXPECT_EQ(w.formula->text(), u"CH4"_q);
}

} // namespace
