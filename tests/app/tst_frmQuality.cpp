// The gas-quality window, opened from the main window and driven as a user
// drives it: its opening, the composition taken from the main window, the
// results against the library's, a refused input, the language switch, the
// names shown whole, the clipboard and the settings it keeps.
#include "WindowDriver.h"

#include "Iso6976.h"
#include "RealGas.h"
#include "frmQuality.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

#include <charconv>

using driver::find;
namespace gq = tarvelo::gasquality;

namespace {

frmQuality* qualityOf(const QWidget* window) {
    return window->findChild<frmQuality*>();
}

// The README's example gas in the main window's fields (CH4 C2H6 C3H8 ... CO2 N2).
void typeExample(QWidget* window) {
    const std::pair<int, const char*> amounts[] = {
        {1, "90"}, {2, "5"}, {3, "2"}, {13, "2"}, {14, "1"}};
    for (const auto& [field, text] : amounts)
        driver::enter(driver::gas(window, field), QString::fromLatin1(text));
    driver::press(window, Qt::Key_Tab);
}

frmQuality* openQuality(QWidget* window) {
    driver::clickToolButton(window, QStringLiteral("btnQuality"));
    frmQuality* quality = qualityOf(window);
    if (quality && !QTest::qWaitForWindowExposed(quality))
        qWarning("the gas-quality window was not shown");
    return quality;
}

QString cell(const QWidget* quality, const char* table, int row, int column) {
    const QTableWidgetItem* item = find<QTableWidget>(quality, table)->item(row, column);
    return item ? item->text() : QString();
}

// Types `text` into a cell of the composition table, as a user does.
void typeIntoCell(frmQuality* quality, int row, int column, const QString& text) {
    auto* table = find<QTableWidget>(quality, "tblComposition");
    table->setFocus();
    table->setCurrentCell(row, column);
    driver::type(quality, text);
    driver::press(quality, Qt::Key_Return);
}

double parsed(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    double value = 0.0;
    std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    return value;
}

} // namespace

class tst_frmQuality : public QObject {
    Q_OBJECT
private slots:
    void init() {
        driver::clearSettings();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void opensOnceByButtonMenuAndCtrlG() {
        auto window = driver::openWindow();
        QVERIFY(!qualityOf(window.get())); // not made at start
        typeExample(window.get());
        frmQuality* quality = openQuality(window.get());
        QVERIFY(quality);
        QVERIFY(quality->windowTitle().contains(QStringLiteral("ISO 6976")));
        driver::clickToolButton(window.get(), QStringLiteral("btnQuality"));
        QCOMPARE(window->findChildren<frmQuality*>().size(), 1);

        // Tab reaches every control that can be used.
        QSet<QString> reached;
        for (int i = 0; i < 40; ++i) {
            driver::press(quality, Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        for (const char* name :
             {"cboComponent", "cmdAdd", "tblComposition", "cmdRemove", "cmdTakeFromMain",
              "cboCombustion", "cboMetering", "txtPressure", "cboCoverage", "tblResults", "cmdCopy",
              "cmdSaveReport", "cmdClose"})
            QVERIFY2(reached.contains(QString::fromLatin1(name)), name);

        driver::press(quality, Qt::Key_Return); // Enter does not close it
        QVERIFY(quality->isVisible());
        driver::press(quality, Qt::Key_Escape);
        QTRY_VERIFY(!qualityOf(window.get()));

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        driver::press(window.get(), Qt::Key_G, Qt::ControlModifier);
        QTRY_VERIFY(qualityOf(window.get()) && qualityOf(window.get())->isVisible());
        qualityOf(window.get())->close();
        QTRY_VERIFY(!qualityOf(window.get()));

        auto* entry = find<QAction>(window.get(), "mnuFile_Quality");
        QCOMPARE(find<QMenu>(window.get(), "mnuFile")->actions().indexOf(entry), 0);
        entry->trigger();
        QVERIFY(qualityOf(window.get()));
    }

    void takesTheMainCompositionAndCopiesTheLibrarysBits_data() {
        QTest::addColumn<int>("combustion");
        QTest::addColumn<int>("metering");
        QTest::newRow("25/0") << 25 << 0;
        QTest::newRow("15/15") << 15 << 15;
    }
    void takesTheMainCompositionAndCopiesTheLibrarysBits() {
        QFETCH(int, combustion);
        QFETCH(int, metering);
        auto window = driver::openWindow();
        typeExample(window.get());
        frmQuality* quality = openQuality(window.get());
        QCOMPARE(find<QTableWidget>(quality, "tblComposition")->rowCount(), 16);
        QCOMPARE(cell(quality, "tblComposition", 0, 0), QStringLiteral("methane"));
        QCOMPARE(cell(quality, "tblComposition", 0, 1), QStringLiteral("90"));
        QCOMPARE(cell(quality, "tblComposition", 15, 1), QStringLiteral("0"));
        QCOMPARE(find<QLineEdit>(quality, "txtSum")->text(), QStringLiteral("100"));
        QCOMPARE(find<QLineEdit>(quality, "txtSum")->palette().color(QPalette::Text),
                 QColor(0, 192, 0));
        auto* combustionBox = find<QComboBox>(quality, "cboCombustion");
        auto* meteringBox = find<QComboBox>(quality, "cboMetering");
        combustionBox->setCurrentIndex(combustionBox->findData(double(combustion)));
        meteringBox->setCurrentIndex(meteringBox->findData(double(metering)));

        gq::Composition gas;
        gas.fraction[0] = 90 / 100.0;
        gas.fraction[1] = 5 / 100.0;
        gas.fraction[2] = 2 / 100.0;
        gas.fraction[*gq::findComponent("CO2")] = 2 / 100.0;
        gas.fraction[*gq::findComponent("N2")] = 1 / 100.0;
        const gq::Properties expected = gq::calculate(gas, {double(combustion), double(metering)});

        QApplication::clipboard()->clear();
        driver::click(find<QPushButton>(quality, "cmdCopy"));
        const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.front(), QStringLiteral("key\tvalue\tU\tunit"));
        for (std::size_t r = 0; r < gq::kResultCount; ++r) {
            const QStringList fields = lines[qsizetype(r) + 1].split(QLatin1Char('\t'));
            QCOMPARE(fields[0], QString::fromLatin1(gq::kResultKeys[r].data(),
                                                    qsizetype(gq::kResultKeys[r].size())));
            QCOMPARE(parsed(fields[1]), expected.results[r].value);
            QCOMPARE(parsed(fields[2]), expected.results[r].u);
        }
        // The line conditions: the equation of state's own numbers at 15 °C and
        // 50 bar, and the conversion factor to the metering conditions.
        tarvelo::realgas::Fractions x{};
        for (std::size_t i = 0; i < gq::kComponentCount; ++i)
            if (gas.fraction[i] > 0.0)
                x[std::size_t(tarvelo::components::component(i).eos)] = gas.fraction[i];
        const auto line =
            tarvelo::realgas::compute(tarvelo::realgas::Model::Gerg2008, x, 288.15, 5000.0);
        const auto base = tarvelo::realgas::compute(tarvelo::realgas::Model::Gerg2008, x,
                                                    metering + 273.15, 101.325);
        const double lineValues[] = {line.Z, line.rho, line.W,
                                     tarvelo::realgas::conversionFactor(
                                         line, 288.15, 5000.0, base, metering + 273.15, 101.325)};
        for (int i = 0; i < 4; ++i) {
            const QStringList fields =
                lines[qsizetype(gq::kResultCount) + 1 + i].split(QLatin1Char('\t'));
            QCOMPARE(fields[0], QStringList({"line_Z", "line_rho", "line_W", "line_C"})[i]);
            QCOMPARE(parsed(fields[1]), lineValues[i]);
        }

        // Shown: the digits of the uncertainty (molar mass ± 0.00045 kg/kmol).
        QCOMPARE(cell(quality, "tblResults", 0, 3).size(), 7);
    }

    void refusedInputShowsOneLineAndNoNumber() {
        auto window = driver::openWindow();
        typeExample(window.get());
        frmQuality* quality = openQuality(window.get());
        QVERIFY(!cell(quality, "tblResults", 0, 2).isEmpty());
        typeIntoCell(quality, 1, 1, QStringLiteral("6"));
        const auto* refusal = find<QLabel>(quality, "lblRefusal");
        QCOMPARE(
            refusal->text(),
            QStringLiteral("The amounts add up to 101.0000 mol%, not 100 mol% (± 0.01 mol%)."));
        QCOMPARE(find<QLineEdit>(quality, "txtSum")->palette().color(QPalette::Text),
                 QColor(255, 0, 0));
        for (int row = 0; row < find<QTableWidget>(quality, "tblResults")->rowCount(); ++row)
            QVERIFY(cell(quality, "tblResults", row, 2).isEmpty());
        QVERIFY(!find<QPushButton>(quality, "cmdCopy")->isEnabled());

        // Ethene: ISO 6976 has it, the equations of state have not.
        typeIntoCell(quality, 1, 1, QStringLiteral("4"));
        typeIntoCell(quality, 9, 1, QStringLiteral("1"));
        QVERIFY(refusal->text().isEmpty());
        QVERIFY(!cell(quality, "tblResults", 0, 2).isEmpty());
        QCOMPARE(find<QLabel>(quality, "lblLineRefusal")->text(),
                 QStringLiteral("GERG-2008 does not know ethene."));
        QVERIFY(cell(quality, "tblLine", 0, 2).isEmpty());

        typeIntoCell(quality, 1, 1, QStringLiteral("-1"));
        QCOMPARE(refusal->text(), QStringLiteral("ethane: negative amount."));
        driver::click(find<QPushButton>(quality, "cmdTakeFromMain"));
        QVERIFY(refusal->text().isEmpty());
        QVERIFY(!cell(quality, "tblResults", 0, 2).isEmpty());
    }

    void followsTheMainWindowsLanguageAtOnce() {
        auto window = driver::openWindow();
        frmQuality* quality = openQuality(window.get());
        QCOMPARE(find<QLabel>(quality, "lblRefusal")->text(),
                 QStringLiteral("The amounts add up to 0.0000 mol%, not 100 mol% (± 0.01 mol%)."));
        driver::clickToolButton(window.get(), QStringLiteral("btnDE"));
        QVERIFY(quality->windowTitle().startsWith(QStringLiteral("Gasbeschaffenheit")));
        QCOMPARE(cell(quality, "tblComposition", 0, 0), QStringLiteral("Methan"));
        QCOMPARE(find<QTableWidget>(quality, "tblResults")->horizontalHeaderItem(0)->text(),
                 QStringLiteral("Größe"));
        QCOMPARE(cell(quality, "tblResults", 0, 0), QStringLiteral("molare Masse"));
        QVERIFY(find<QLabel>(quality, "lblRefusal")->text().startsWith("Die Anteile ergeben"));
        driver::clickToolButton(window.get(), QStringLiteral("btnEN"));
        QCOMPARE(cell(quality, "tblComposition", 0, 0), QStringLiteral("methane"));
    }

    // At its opening size, with numbers shown, no name of a quantity is cut
    // short ("Umrechnungsfaktor auf die …") in either language.
    void showsEveryQuantityNameWhole() {
        // Qt's offscreen platform on Windows finds no fonts and draws boxes.
        if (QFontDatabase::families().isEmpty())
            QSKIP("no fonts to measure the names with");
        auto window = driver::openWindow();
        typeExample(window.get());
        frmQuality* quality = openQuality(window.get());
        for (const char* language : {"btnEN", "btnDE"}) {
            driver::clickToolButton(window.get(), QString::fromLatin1(language));
            QVERIFY(!cell(quality, "tblLine", 3, 2).isEmpty());
            QCoreApplication::processEvents();
            for (const char* name : {"tblResults", "tblLine"}) {
                const auto* table = find<QTableWidget>(quality, name);
                // The item's text is drawn inside these margins.
                const int margins =
                    2 *
                    (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
                for (int row = 0; row < table->rowCount(); ++row) {
                    const QString text = cell(quality, name, row, 0);
                    QVERIFY2(table->fontMetrics().horizontalAdvance(text) + margins <=
                                 table->columnWidth(0),
                             qPrintable(text));
                }
            }
        }
    }

    void savesAReportInTheCurrentLanguage() {
        auto window = driver::openWindow();
        typeExample(window.get());
        driver::clickToolButton(window.get(), QStringLiteral("btnDE"));
        frmQuality* quality = openQuality(window.get());
        const QString path = QDir::temp().filePath(
            QStringLiteral("tst_frmQuality-%1.htm").arg(QCoreApplication::applicationPid()));
        quality->setSaveDialogRunner([&](QFileDialog&) { return path; });
        driver::click(find<QPushButton>(quality, "cmdSaveReport"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString report = QString::fromUtf8(file.readAll());
        file.remove();
        for (const QString& shown :
             {QStringLiteral("lang=\"de\""), QStringLiteral("Brennwert"), QStringLiteral("Methan"),
              cell(quality, "tblResults", 10, 2), QString::fromLatin1(tarvelo::kVersion)})
            QVERIFY2(report.contains(shown), qPrintable(shown));
    }

    void keepsItsSettingsAndFallsBackFromDamagedOnes() {
        auto window = driver::openWindow();
        frmQuality* quality = openQuality(window.get());
        auto* combustion = find<QComboBox>(quality, "cboCombustion");
        auto* metering = find<QComboBox>(quality, "cboMetering");
        auto* coverage = find<QComboBox>(quality, "cboCoverage");
        auto* model = find<QComboBox>(quality, "cboModel");
        QCOMPARE(combustion->currentData().toDouble(), 25.0);
        QCOMPARE(metering->currentData().toDouble(), 0.0);
        QCOMPARE(coverage->currentData().toDouble(), 1.0);
        QCOMPARE(find<QLineEdit>(quality, "txtPressure")->text(), QStringLiteral("101.325"));

        combustion->setCurrentIndex(combustion->findData(15.55));
        metering->setCurrentIndex(metering->findData(15.0));
        coverage->setCurrentIndex(coverage->findData(2.0));
        model->setCurrentIndex(1);
        driver::enter(find<QLineEdit>(quality, "txtPressure"), QStringLiteral("100.5"));
        // Set directly: the line fields are disabled in a build without the
        // equations of state.
        find<QLineEdit>(quality, "txtLineTemperature")->setText(QStringLiteral("8.5"));
        find<QLineEdit>(quality, "txtLinePressure")->setText(QStringLiteral("40"));
        // A size of its own, above the least its layout allows with this font.
        const QSize size = quality->minimumSizeHint().expandedTo(QSize(900, 650)) + QSize(20, 10);
        quality->resize(size);
        quality->close();
        QTRY_VERIFY(!qualityOf(window.get()));

        quality = openQuality(window.get());
        QCOMPARE(find<QComboBox>(quality, "cboCombustion")->currentData().toDouble(), 15.55);
        QCOMPARE(find<QComboBox>(quality, "cboMetering")->currentData().toDouble(), 15.0);
        QCOMPARE(find<QComboBox>(quality, "cboCoverage")->currentData().toDouble(), 2.0);
        QCOMPARE(find<QComboBox>(quality, "cboModel")->currentIndex(), 1);
        QCOMPARE(find<QLineEdit>(quality, "txtPressure")->text(), QStringLiteral("100.5"));
        QCOMPARE(find<QLineEdit>(quality, "txtLineTemperature")->text(), QStringLiteral("8.5"));
        QCOMPARE(find<QLineEdit>(quality, "txtLinePressure")->text(), QStringLiteral("40"));
        QCOMPARE(quality->size(), size);
        quality->close();
        QTRY_VERIFY(!qualityOf(window.get()));

        for (const auto& [key, value] : {std::pair{"Combustion", "17"},
                                         {"Metering", "x"},
                                         {"Coverage", "3"},
                                         {"Pressure", "200"},
                                         {"Model", "5"}})
            driver::storeSetting(QStringLiteral("frmQuality"), QString::fromLatin1(key),
                                 QString::fromLatin1(value));
        quality = openQuality(window.get());
        QCOMPARE(find<QComboBox>(quality, "cboCombustion")->currentData().toDouble(), 25.0);
        QCOMPARE(find<QComboBox>(quality, "cboMetering")->currentData().toDouble(), 0.0);
        QCOMPARE(find<QComboBox>(quality, "cboCoverage")->currentData().toDouble(), 1.0);
        QCOMPARE(find<QComboBox>(quality, "cboModel")->currentIndex(), 0);
        QCOMPARE(find<QLineEdit>(quality, "txtPressure")->text(), QStringLiteral("101.325"));
    }
};

QTEST_MAIN(tst_frmQuality)
#include "tst_frmQuality.moc"
