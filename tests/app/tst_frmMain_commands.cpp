// The commands beyond the calculation: Save report through the save dialog,
// Help, and About.
#include "WindowDriver.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#if defined(Q_OS_WIN)
#include <QDir>
#else
#include <unistd.h>
#endif

using driver::find;
using driver::gas;

namespace {

// Where the first save dialog opens: the drive's root on Windows (which Qt
// spells "C:/"), the home directory elsewhere.
#if defined(Q_OS_WIN)
const QString kFirstSaveDirectory = QStringLiteral("c:/");
QString firstSaveDirectory(const QString& shown) {
    return shown.toLower();
}
#else
const QString kFirstSaveDirectory = QDir::homePath();
QString firstSaveDirectory(const QString& shown) {
    return shown;
}
#endif

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// Types 90 / 5 / 2 / 2 / 1 and calculates.
void calculateWorkedExample(QWidget* window, const QString& gasName) {
    driver::enter(find<QLineEdit>(window, "txtGasName"), gasName);
    const QList<std::pair<int, QString>> rows{{1, "90"}, {2, "5"}, {3, "2"}, {13, "2"}, {14, "1"}};
    for (const auto& [i, text] : rows) {
        driver::enter(gas(window, i), text);
        driver::press(window, Qt::Key_Return);
    }
    driver::click(find(window, "cmdCalculate"));
}

// What the save dialog looked like when it was shown.
struct Offered {
    QString title;
    QStringList filters;
    QString directory;
    QStringList selected;
    bool saveMode = false;
};

} // namespace

class tst_frmMain_commands : public QObject {
    Q_OBJECT
private slots:
    void init() { driver::clearSettings(); }

    void savesTheLastCalculationAndRemembersDirectoryAndName() {
        QTemporaryDir dir;
        auto window = driver::openWindow();
        QList<Offered> offered;
        QString answer = dir.filePath("report.htm");
        window->setSaveDialogRunner([&](QFileDialog& dialog) {
            offered.append({dialog.windowTitle(), dialog.nameFilters(),
                            dialog.directory().absolutePath(), dialog.selectedFiles(),
                            dialog.acceptMode() == QFileDialog::AcceptSave});
            return answer;
        });
        calculateWorkedExample(window.get(), "Erdgas <H>");
        // Edited after the calculation: the report still shows the calculation.
        driver::enter(gas(window.get(), 1), "50");
        driver::press(window.get(), Qt::Key_Tab);

        driver::ModalAnswerer answerer;
        driver::click(find(window.get(), "cmdSave"));
        QCOMPARE(offered.size(), 1);
        QCOMPARE(offered[0].title, QStringLiteral("Save as..."));
        QCOMPARE(offered[0].filters, QStringList{"TarveloV1-Output (*.htm)"});
        QCOMPARE(firstSaveDirectory(offered[0].directory), kFirstSaveDirectory);
        QVERIFY(offered[0].saveMode);
        QCOMPARE(driver::setting("General", "InitDir"), QDir::toNativeSeparators(dir.path() + "/"));
        const QByteArray report = contents(answer);
        QVERIFY(report.contains("Erdgas &lt;H&gt;"));
        QVERIFY(report.contains("90.00"));
        QVERIFY(!report.contains("50.00"));
        QVERIFY(report.contains("Input data:"));

        // The next save opens where the last one went and offers its name.
        driver::clickToolButton(window.get(), "btnDE");
        answer = dir.filePath("zweiter.htm");
        driver::click(find(window.get(), "cmdSave"));
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[1].title, QStringLiteral("Speichern unter..."));
        QCOMPARE(offered[1].filters, QStringList{"TarveloV1-Ausgabe (*.htm)"});
        QCOMPARE(offered[1].directory, dir.path());
        QCOMPARE(offered[1].selected, QStringList{dir.filePath("report.htm")});
        QVERIFY(contents(answer).contains("Eingabedaten"));
        QVERIFY(answerer.messages.isEmpty());
    }

    void cancelStoresNothingAndShowsNothing() {
        auto window = driver::openWindow();
        QStringList shownIn;
        window->setSaveDialogRunner([&](QFileDialog& dialog) {
            shownIn << dialog.directory().absolutePath();
            return QString();
        });
        calculateWorkedExample(window.get(), "gas");
        driver::ModalAnswerer answerer;
        driver::click(find(window.get(), "cmdSave"));
        QCOMPARE(shownIn.size(), 1);
        QCOMPARE(firstSaveDirectory(shownIn[0]), kFirstSaveDirectory);
        QCOMPARE(driver::setting("General", "InitDir"), QStringLiteral("<missing>"));
        QVERIFY(answerer.messages.isEmpty());
    }

    void saveThatCannotWriteSaysSoAndKeepsTheOldFile_data() {
        QTest::addColumn<bool>("readOnlyDirectory"); // else: a file stands where a directory must
        QTest::newRow("directory is a file") << false;
        QTest::newRow("read-only directory") << true;
    }
    void saveThatCannotWriteSaysSoAndKeepsTheOldFile() {
        QFETCH(bool, readOnlyDirectory);
#if defined(Q_OS_WIN)
        if (readOnlyDirectory)
            QSKIP("a read-only folder attribute does not stop writing into it on Windows");
#else
        if (readOnlyDirectory && geteuid() == 0)
            QSKIP("permissions do not stop the superuser");
#endif
        QTemporaryDir dir;
        const QByteArray old = "an earlier report\r\n";
        QString existing;
        QString target;
        QString reason;
        if (readOnlyDirectory) {
            existing = target = dir.filePath("report.htm");
            writeFile(existing, old);
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            reason = QString::fromLocal8Bit(std::strerror(EACCES));
        } else {
            existing = dir.filePath("blocker");
            writeFile(existing, old);
            target = existing + "/report.htm";
            // Windows says "path not found" for a file used as a folder.
#if defined(Q_OS_WIN)
            reason = QString::fromLocal8Bit(std::strerror(ENOENT));
#else
            reason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
#endif
        }
        auto window = driver::openWindow();
        window->setSaveDialogRunner([&](QFileDialog&) { return target; });
        calculateWorkedExample(window.get(), "gas");
        driver::ModalAnswerer answerer;
        driver::click(find(window.get(), "cmdSave"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(answerer.messages.size(), 1);
        QCOMPARE(answerer.messages[0].title, QStringLiteral("TarveloV1R1"));
        QCOMPARE(answerer.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(answerer.messages[0].text, QStringLiteral("The report could not be written:\n") +
                                                QDir::toNativeSeparators(target) + "\n" + reason);
        QCOMPARE(contents(existing), old);
        QVERIFY(find(window.get(), "cmdSave")->isEnabled());
    }

    void f1AndTheHelpButtonOpenTheSameHelpFile() {
#if defined(Q_OS_WIN)
        // The kernel opens the help file through the interpreter COMSPEC
        // names, by its type (start), without a window; a fake interpreter
        // records its command line.
        QTemporaryDir records;
        const QString record = records.filePath("opened.txt");
        qputenv("TARVELO_FAKE_INTERPRETER_RECORD", QFile::encodeName(record));
        qputenv("COMSPEC", QFile::encodeName(
                               QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                        QStringLiteral("/fake_interpreter.exe"))));
        auto window = driver::openWindow();
        const QString expected =
            QStringLiteral("/c start \"\" \"%1\"\n")
                .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/TarveloV1_Help.chm")));
        driver::press(window.get(), Qt::Key_F1);
        QTRY_COMPARE(QString::fromLocal8Bit(contents(record)), expected);
        driver::clickToolButton(window.get(), "btnHelp");
        QTRY_COMPARE(QString::fromLocal8Bit(contents(record)), expected + expected);
        qunsetenv("COMSPEC");
#else
        QTemporaryDir bin;
        const QString record = bin.filePath("opened.txt");
        writeFile(
            bin.filePath("xdg-open"),
            QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\n").arg(record).toUtf8());
        QFile::setPermissions(bin.filePath("xdg-open"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + path);

        auto window = driver::openWindow();
        const QString expected =
            QCoreApplication::applicationDirPath() + QStringLiteral("/TarveloV1_Help.chm\n");
        driver::press(window.get(), Qt::Key_F1);
        QTRY_COMPARE(QString::fromLocal8Bit(contents(record)), expected);
        driver::clickToolButton(window.get(), "btnHelp");
        QTRY_COMPARE(QString::fromLocal8Bit(contents(record)), expected + expected);
        qputenv("PATH", path);
#endif
    }

    void ctrlSDoesNothing() {
        auto window = driver::openWindow();
        int shown = 0;
        window->setSaveDialogRunner([&](QFileDialog&) {
            ++shown;
            return QString();
        });
        calculateWorkedExample(window.get(), "gas");
        driver::press(window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(shown, 0);
        QVERIFY(!find<QAction>(window.get(), "mnuFile_Save")->isEnabled());
    }

    void aboutOpensAFreshDialogEachTime() {
        auto window = driver::openWindow();
        QList<QStringList> seen;
        QList<QPointer<QDialog>> dialogs;
        driver::ModalAnswerer answerer([&](QDialog* dialog) {
            QStringList texts{dialog->windowTitle()};
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    texts << label->text();
            seen << texts;
            dialogs << dialog;
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        for (int i = 0; i < 2; ++i)
            find<QAction>(window.get(), "mnuHelp_About")->trigger();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], seen[1]);
        QCOMPARE(seen[0].value(0), QStringLiteral("Info zu TarveloV1R1"));
        QVERIFY(seen[0].contains(QStringLiteral("Version 1.1.0")));
        // Both are gone once closed.
        QVERIFY(dialogs[0].isNull());
        QVERIFY(dialogs[1].isNull());
        QVERIFY(answerer.messages.isEmpty());
    }
};

QTEST_MAIN(tst_frmMain_commands)
#include "tst_frmMain_commands.moc"
