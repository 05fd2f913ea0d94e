// Typing a composition, the sum and its colour, the refused focus change,
// calculating, a new calculation, and the window's position between runs.
#include "WindowDriver.h"

#include <QLocale>
#include <QProcess>
#include <QPushButton>

#include <limits>

using driver::find;
using driver::gas;

namespace {

const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);
const QString kInvalidEntry = QStringLiteral("The entered value has to be numerical and positive!");

QColor textColour(const QLineEdit* box) {
    return box->palette().color(QPalette::Text);
}

// Types the worked example 90 / 5 / 2 / 2 / 1 (CH4, C2H6, C3H8, CO2, N2).
void typeWorkedExample(QWidget* window) {
    const QList<std::pair<int, QString>> rows{{1, "90"}, {2, "5"}, {3, "2"}, {13, "2"}, {14, "1"}};
    for (const auto& [i, text] : rows) {
        driver::enter(gas(window, i), text);
        driver::press(window, Qt::Key_Return);
    }
}

// The child run of missingKernelLibraryEndsTheProgramWithAMessage: a window
// bound to a library that is not there, asked to calculate.
int runWithMissingKernel() {
    driver::clearSettings();
    frmMain window("libTarveloV1_Kernel_missing.so");
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        return 2;
    driver::ModalAnswerer answerer;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&answerer] {
        for (const auto& message : answerer.messages)
            std::printf("%s|%s|%d\n", qPrintable(message.title), qPrintable(message.text),
                        int(message.icon));
        std::fflush(stdout);
    });
    QTimer::singleShot(0, [&window] {
        driver::enter(gas(&window, 1), "100");
        driver::press(&window, Qt::Key_Return);
        driver::click(find(&window, "cmdCalculate"));
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(0); }); // never ended: a failure
    return QApplication::exec();
}

} // namespace

class tst_frmMain_input : public QObject {
    Q_OBJECT
private slots:
    void init() {
        driver::clearSettings();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void enterMovesOnAndPassesTheSumToCalculate() {
        auto window = driver::openWindow();
        auto* calculate = find<QPushButton>(window.get(), "cmdCalculate");
        auto* sum = find<QLineEdit>(window.get(), "txtSum");

        driver::type(window.get(), "Natural gas");
        driver::press(window.get(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), gas(window.get(), 1));
        driver::type(window.get(), "100");
        driver::press(window.get(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), gas(window.get(), 2));
        QCOMPARE(sum->text(), QStringLiteral("100"));
        QCOMPARE(textColour(sum), kGreen);
        QVERIFY(calculate->isEnabled());

        driver::click(gas(window.get(), 16));
        driver::press(window.get(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), calculate);
        // Enter on the focused button calculates.
        driver::press(window.get(), Qt::Key_Return);
        QVERIFY(!find<QLineEdit>(window.get(), "txtLambda")->text().isEmpty());
    }

    void sumWithinOneOfHundredEnablesCalculate_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("sum");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("99.5") << "90"
                              << "9.5"
                              << "99.5" << true;
        QTest::newRow("100.9") << "95.4"
                               << "5.5"
                               << "100.9" << true;
        QTest::newRow("99") << "90"
                            << "9"
                            << "99" << false;
        QTest::newRow("101") << "100"
                             << "1"
                             << "101" << false;
        QTest::newRow("98.9") << "90"
                              << "8.9"
                              << "98.9" << false;
        QTest::newRow("250 is accepted") << "250"
                                         << "0"
                                         << "250" << false;
        QTest::newRow("empty counts 0") << "100"
                                        << ""
                                        << "100" << true;
    }
    void sumWithinOneOfHundredEnablesCalculate() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, sum);
        QFETCH(bool, enabled);
        auto window = driver::openWindow();
        driver::ModalAnswerer answerer;
        driver::enter(gas(window.get(), 1), first);
        driver::press(window.get(), Qt::Key_Tab);
        driver::enter(gas(window.get(), 9), second);
        driver::press(window.get(), Qt::Key_Tab);
        QVERIFY(answerer.messages.isEmpty());
        auto* txtSum = find<QLineEdit>(window.get(), "txtSum");
        QCOMPARE(txtSum->text(), sum);
        QCOMPARE(textColour(txtSum), enabled ? kGreen : kRed);
        QCOMPARE(find(window.get(), "cmdCalculate")->isEnabled(), enabled);
    }

    void rejectsAnInvalidEntryAndKeepsFocusAndSelection_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("leaveBy"); // 0 Tab, 1 Enter, 2 click on another field
        QTest::newRow("-1 by Tab") << "-1" << 0;
        QTest::newRow("abc by Enter") << "abc" << 1;
        QTest::newRow("abc by click") << "abc" << 2;
        QTest::newRow("-1 by Backtab") << "-1" << 3;
        QTest::newRow("nan") << "nan" << 0;
        QTest::newRow("beyond single precision") << "1E39" << 0;
    }
    void rejectsAnInvalidEntryAndKeepsFocusAndSelection() {
        QFETCH(QString, entry);
        QFETCH(int, leaveBy);
        auto window = driver::openWindow();
        driver::ModalAnswerer answerer;
        driver::enter(gas(window.get(), 1), "100");
        driver::press(window.get(), Qt::Key_Tab);

        QLineEdit* const field = gas(window.get(), 2);
        driver::type(window.get(), entry);
        if (leaveBy == 0)
            driver::press(window.get(), Qt::Key_Tab);
        else if (leaveBy == 1)
            driver::press(window.get(), Qt::Key_Return);
        else if (leaveBy == 2)
            driver::click(gas(window.get(), 5));
        else
            driver::press(window.get(), Qt::Key_Backtab);

        QCOMPARE(answerer.messages.size(), 1);
        QCOMPARE(answerer.messages[0].title, QStringLiteral("TarveloV1R1"));
        QCOMPARE(answerer.messages[0].text, kInvalidEntry);
        QCOMPARE(answerer.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(answerer.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->selectedText(), entry);
        QCOMPARE(find<QLineEdit>(window.get(), "txtSum")->text(), QStringLiteral("100"));
        QVERIFY(find(window.get(), "cmdCalculate")->isEnabled());
    }

    void refusedClickOnCalculateCalculatesNothing() {
        auto window = driver::openWindow();
        driver::ModalAnswerer answerer;
        driver::enter(gas(window.get(), 1), "100");
        driver::press(window.get(), Qt::Key_Tab);
        driver::type(window.get(), "abc");
        driver::click(find(window.get(), "cmdCalculate"));
        QCOMPARE(answerer.messages.size(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), gas(window.get(), 2));
        QVERIFY(find<QLineEdit>(window.get(), "txtLambda")->text().isEmpty());
        QVERIFY(!find(window.get(), "cmdSave")->isEnabled());
    }

    void menusAndToolbarRaiseNoValidation() {
        auto window = driver::openWindow();
        driver::ModalAnswerer answerer;
        driver::enter(gas(window.get(), 1), "abc");
        driver::clickToolButton(window.get(), "btnEN");
        driver::click(find(window.get(), "Label3_4")); // a label takes no focus
        QVERIFY(answerer.messages.isEmpty());
        QCOMPARE(QApplication::focusWidget(), gas(window.get(), 1));
        QVERIFY(find<QLineEdit>(window.get(), "txtSum")->text().isEmpty());
    }

    void enteringAFieldSelectsItsWholeText() {
        auto window = driver::openWindow();
        QLineEdit* const field = gas(window.get(), 4);
        driver::enter(field, "12.5");
        driver::press(window.get(), Qt::Key_Tab);
        driver::click(field);
        QCOMPARE(field->selectedText(), QStringLiteral("12.5"));
        driver::press(window.get(), Qt::Key_Tab);
        driver::press(window.get(), Qt::Key_Backtab);
        QCOMPARE(field->selectedText(), QStringLiteral("12.5"));
        driver::click(gas(window.get(), 3));
        driver::press(window.get(), Qt::Key_Return);
        QCOMPARE(field->selectedText(), QStringLiteral("12.5"));
    }

    void fieldsTakeTextsBeyondQtsDefaultLength() {
        auto window = driver::openWindow();
        auto* name = find<QLineEdit>(window.get(), "txtGasName");
        const QString longName(40000, QLatin1Char('x'));
        name->setText(longName);
        QCOMPARE(name->text(), longName);
        QCOMPARE(gas(window.get(), 16)->maxLength(), std::numeric_limits<int>::max());
    }

    void readsNumbersInTheUserLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("sum");
        QTest::newRow("German comma is the decimal separator")
            << QLocale(QLocale::German, QLocale::Germany) << "12,5"
            << "12,5";
        QTest::newRow("English comma groups digits")
            << QLocale(QLocale::English, QLocale::UnitedStates) << "12,5"
            << "125";
        QTest::newRow("blanks and exponent")
            << QLocale(QLocale::German, QLocale::Germany) << " 1,25E1 "
            << "12,5";
    }
    void readsNumbersInTheUserLocale() {
        QFETCH(QLocale, locale);
        QFETCH(QString, entry);
        QFETCH(QString, sum);
        QLocale::setDefault(locale);
        auto window = driver::openWindow();
        driver::ModalAnswerer answerer;
        driver::enter(gas(window.get(), 1), entry);
        driver::press(window.get(), Qt::Key_Tab);
        QVERIFY(answerer.messages.isEmpty());
        QCOMPARE(find<QLineEdit>(window.get(), "txtSum")->text(), sum);
    }

    void calculatesAndShowsRoundedResults_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates)
                                 << QStringList{"9.94", "805.8", "10.38"};
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QStringList{"9,94", "805,8", "10,38"};
    }
    void calculatesAndShowsRoundedResults() {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, results);
        QLocale::setDefault(locale);
        auto window = driver::openWindow();
        typeWorkedExample(window.get());
        driver::click(find(window.get(), "cmdCalculate"));
        const QStringList shown{find<QLineEdit>(window.get(), "txtLambda")->text(),
                                find<QLineEdit>(window.get(), "txtRho")->text(),
                                find<QLineEdit>(window.get(), "txtHu")->text()};
        QCOMPARE(shown, results);
        QVERIFY(find(window.get(), "cmdSave")->isEnabled());

        // Editing an input afterwards keeps results and the save command.
        driver::enter(gas(window.get(), 1), "50");
        driver::press(window.get(), Qt::Key_Tab);
        QCOMPARE(find<QLineEdit>(window.get(), "txtLambda")->text(), results[0]);
        QVERIFY(find(window.get(), "cmdSave")->isEnabled());
        QVERIFY(!find(window.get(), "cmdCalculate")->isEnabled());
    }

    void newCalculationEmptiesAllTwentyOneFields() {
        auto window = driver::openWindow();
        driver::type(window.get(), "Natural gas");
        typeWorkedExample(window.get());
        driver::click(find(window.get(), "cmdCalculate"));
        driver::enter(gas(window.get(), 16), "250");
        driver::press(window.get(), Qt::Key_Tab);

        driver::click(find(window.get(), "cmdRefresh"));
        QStringList names{"txtGasName", "txtSum", "txtLambda", "txtRho", "txtHu"};
        for (int i = 1; i <= 16; ++i)
            names << QStringLiteral("txtGas%1").arg(i);
        QCOMPARE(names.size(), 21);
        for (const QString& name : names)
            QVERIFY2(find<QLineEdit>(window.get(), name)->text().isEmpty(), qPrintable(name));
        QVERIFY(!find(window.get(), "cmdCalculate")->isEnabled());
        QVERIFY(!find(window.get(), "cmdSave")->isEnabled());
        QCOMPARE(textColour(find<QLineEdit>(window.get(), "txtSum")), kRed);
    }

    void positionIsStoredOnCloseAndRestoredAtTheNextStart_data() {
        QTest::addColumn<int>("closeBy"); // 0 cmdExit, 1 mnuFile_Exit, 2 the window's close box
        QTest::newRow("cmdExit") << 0;
        QTest::newRow("mnuFile_Exit") << 1;
        QTest::newRow("close box") << 2;
    }
    void positionIsStoredOnCloseAndRestoredAtTheNextStart() {
        QFETCH(int, closeBy);
        {
            auto window = driver::openWindow();
            window->move(200, 150);
            QTRY_COMPARE(window->pos(), QPoint(200, 150));
            if (closeBy == 0)
                driver::click(find(window.get(), "cmdExit"));
            else if (closeBy == 1)
                find<QAction>(window.get(), "mnuFile_Exit")->trigger();
            else
                window->windowHandle()->close();
            QVERIFY(!window->isVisible());
        }
        QCOMPARE(driver::setting("frmMain", "Left"), QStringLiteral("3000"));
        QCOMPARE(driver::setting("frmMain", "Top"), QStringLiteral("2250"));
        auto window = driver::openWindow();
        QCOMPARE(window->pos(), QPoint(200, 150));
    }

    void storedPositionIsIgnoredWhenUnusable_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::newRow("off every screen") << "-150000"
                                          << "-150000";
        QTest::newRow("far right") << "900000"
                                   << "3000";
        QTest::newRow("not a number") << "left"
                                      << "top";
    }
    void storedPositionIsIgnoredWhenUnusable() {
        QFETCH(QString, left);
        QFETCH(QString, top);
        driver::storeSetting("frmMain", "Left", left);
        driver::storeSetting("frmMain", "Top", top);
        auto window = driver::openWindow();
        QCOMPARE(window->pos(), QPoint(1890 / 15, 2895 / 15));
    }

    void missingKernelLibraryEndsTheProgramWithAMessage() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--missing-kernel"});
        QVERIFY(child.waitForFinished(30000));
        const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), frmMain::kKernelFailureStatus);
        QVERIFY2(output.startsWith("TarveloV1R1|Error 48: "), qPrintable(output));
        QVERIFY2(output.contains("libTarveloV1_Kernel_missing.so"), qPrintable(output));
        QVERIFY2(output.trimmed().endsWith(QStringLiteral("|%1").arg(int(QMessageBox::Critical))),
                 qPrintable(output));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--missing-kernel")))
        return runWithMissingKernel();
    tst_frmMain_input test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmMain_input.moc"
