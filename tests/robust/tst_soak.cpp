// A long run of the main window on the offscreen platform: type the worked
// example, calculate, switch the language, save the report through the save
// dialog, start a new calculation — over and over. At the end nothing may
// have leaked: resident memory grew by less than 1 MB after the warm-up, the
// process holds the same descriptors, and every saved report is whole.
// TARVELO_SOAK_CYCLES sets the number of cycles (500 unless set).
#include "WindowDriver.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

using driver::find;
using driver::gas;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // the sanitizer's quarantine holds freed memory on purpose
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

long residentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count - 1; // the directory stream itself
}

int cycleCount() {
    const char* text = std::getenv("TARVELO_SOAK_CYCLES");
    const int cycles = text ? std::atoi(text) : 0;
    return cycles > 0 ? cycles : 500;
}

// 295 lines, each ending in CR LF, the last one " </html>".
bool isWholeReport(const QByteArray& report) {
    return report.count("\r\n") == 295 && report.endsWith(" </html>\r\n");
}

} // namespace

class tst_soak : public QObject {
    Q_OBJECT
private slots:
    // An emptied field that kept its undo history would carry every entry of
    // every calculation since the start: the history must go with the text.
    void newCalculationLeavesNoUndoHistoryToGrow() {
        driver::clearSettings();
        auto window = driver::openWindow();
        driver::enter(find<QLineEdit>(window.get(), "txtGasName"), "Gas");
        for (int i = 1; i <= 16; ++i) {
            driver::enter(gas(window.get(), i), i == 1 ? "100" : "0");
            driver::press(window.get(), Qt::Key_Return);
        }
        driver::click(find(window.get(), "cmdCalculate"));
        QVERIFY(gas(window.get(), 1)->isUndoAvailable());
        driver::click(find(window.get(), "cmdRefresh"));
        for (auto* field : window->findChildren<QLineEdit*>())
            QVERIFY2(!field->isUndoAvailable(), qPrintable(field->objectName()));
    }

    void typeCalculateSwitchSaveAndStartAgainLeaksNothing() {
        driver::clearSettings();
        QTemporaryDir dir;
        auto window = driver::openWindow();
        QString target;
        window->setSaveDialogRunner([&](QFileDialog&) { return target; });
        driver::ModalAnswerer answerer;
        auto* lambda = find<QLineEdit>(window.get(), "txtLambda");
        const QList<std::pair<int, QString>> rows{
            {1, "90"}, {2, "5"}, {3, "2"}, {13, "2"}, {14, "1"}};

        const int cycles = cycleCount();
        const int warmUp = std::max(20, cycles / 10);
        long residentAfterWarmUp = 0;
        int descriptorsAfterWarmUp = 0;
        int incomplete = 0;
        for (int cycle = 0; cycle < cycles; ++cycle) {
            if (cycle == warmUp) {
                residentAfterWarmUp = residentBytes();
                descriptorsAfterWarmUp = openDescriptors();
            }
            driver::enter(find<QLineEdit>(window.get(), "txtGasName"),
                          QStringLiteral("Soak gas %1").arg(cycle));
            for (const auto& [i, text] : rows) {
                driver::enter(gas(window.get(), i), text);
                driver::press(window.get(), Qt::Key_Return);
            }
            driver::click(find(window.get(), "cmdCalculate"));
            const bool german = cycle % 2 == 0;
            driver::clickToolButton(window.get(), german ? "btnDE" : "btnEN");
            if (lambda->text() != (german ? "9,94" : "9.94") && lambda->text() != "9.94")
                QFAIL(qPrintable(QStringLiteral("cycle %1: air/fuel ratio shows %2")
                                     .arg(cycle)
                                     .arg(lambda->text())));
            // A few names in turn: the reports replace each other.
            target = dir.filePath(QStringLiteral("report-%1.htm").arg(cycle % 8));
            driver::click(find(window.get(), "cmdSave"));
            QFile saved(target);
            if (!saved.open(QIODevice::ReadOnly) || !isWholeReport(saved.readAll()))
                ++incomplete;
            driver::click(find(window.get(), "cmdRefresh"));
            if (!lambda->text().isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("cycle %1: new calculation kept the results").arg(cycle)));
        }
        const long growth = residentBytes() - residentAfterWarmUp;
        const int descriptors = openDescriptors();
        std::printf("soak: %d cycles, resident memory %+ld bytes after %d warm-up cycles, "
                    "descriptors %d -> %d, %d incomplete reports\n",
                    cycles, growth, warmUp, descriptorsAfterWarmUp, descriptors, incomplete);

        QCOMPARE(incomplete, 0);
        QVERIFY(answerer.messages.isEmpty());
        QCOMPARE(descriptors, descriptorsAfterWarmUp);
        if (kSanitized)
            QSKIP("resident memory is not meaningful under AddressSanitizer; LeakSanitizer checks "
                  "for leaks at exit instead");
        QVERIFY2(growth < 1024 * 1024, qPrintable(QStringLiteral("grew by %1 bytes").arg(growth)));
    }
};

QTEST_MAIN(tst_soak)
#include "tst_soak.moc"
