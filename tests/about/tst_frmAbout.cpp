// The about dialog as the user sees it: texts, colours, the pictures, the
// separator, and every way of closing it.
#include "frmAbout.h"

#include "Identity.h"
#include "Pictures.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

template <typename T> T* child(const QWidget& dlg, const char* name) {
    auto* w = dlg.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no child named %s", name);
    return w;
}

QString labelText(const QWidget& dlg, const char* name) {
    return child<QLabel>(dlg, name)->text();
}

// How many pixels of an image differ from its top-left pixel's colour.
int pixelsUnlike(const QImage& img, QRgb background) {
    int count = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != background)
                ++count;
    return count;
}

} // namespace

class tst_frmAbout : public QObject {
    Q_OBJECT
private slots:
    void showsTitleVersionCaptionAndNotice();
    void titleIsGreenBoldThirteenAndAHalfPoint();
    void isFixedSizeWithoutMinMaxOrIcon();
    void controlsSitWhereTheLayoutPutsThem_data();
    void controlsSitWhereTheLayoutPutsThem();
    void separatorIsGreyOverWhite();
    void showsProgramIconAndPicture();
    void everyPictureIsCompiledInAndDraws_data();
    void everyPictureIsCompiledInAndDraws();
    void closes_data();
    void closes();
    void escEndsTheModalDisplay();
    void secondOpeningIsFreshWithTheSameTexts();
};

void tst_frmAbout::showsTitleVersionCaptionAndNotice() {
    frmAbout dlg;
    QCOMPARE(dlg.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Info zu TarveloV1R1"));
    QCOMPARE(labelText(dlg, "lblTitle"), QStringLiteral("TarveloV1R1"));
    QCOMPARE(labelText(dlg, "lblVersion"), QStringLiteral("Version 1.1.0"));
    QCOMPARE(labelText(dlg, "Label1"), QString::fromUtf8(tarvelo::kCopyright));
    QVERIFY(child<QLabel>(dlg, "Label1")->wordWrap());
    QCOMPARE(child<QPushButton>(dlg, "cmdOK")->text(), QStringLiteral("OK"));
}

void tst_frmAbout::titleIsGreenBoldThirteenAndAHalfPoint() {
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* title = child<QLabel>(dlg, "lblTitle");
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(0, 192, 0));
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pointSizeF(), 13.5);
    // The version text keeps the dialog's ordinary font and colour.
    auto* version = child<QLabel>(dlg, "lblVersion");
    QVERIFY(!version->font().bold());
    QCOMPARE(version->palette().color(QPalette::WindowText),
             dlg.palette().color(QPalette::WindowText));
}

void tst_frmAbout::isFixedSizeWithoutMinMaxOrIcon() {
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.size(), QSize(356, 161)); // 5340 x 2415 twips
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
    const Qt::WindowFlags flags = dlg.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    // The application's icon must not leak into the dialog.
    QApplication::setWindowIcon(tarvelo::pictureIcon(QStringLiteral("tarvelo")));
    QVERIFY(dlg.windowIcon().isNull());
    QApplication::setWindowIcon(QIcon());
}

void tst_frmAbout::controlsSitWhereTheLayoutPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("cmdOK") << "cmdOK" << QRect(264, 128, 84, 23);
    QTest::newRow("picIcon") << "picIcon" << QRect(16, 16, 36, 36);
    QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 16, 259, 32);
    QTest::newRow("lblVersion") << "lblVersion" << QRect(72, 52, 259, 15);
    QTest::newRow("Label1") << "Label1" << QRect(88, 88, 249, 25);
    QTest::newRow("Image1") << "Image1" << QRect(8, 88, 68, 65);
}

void tst_frmAbout::controlsSitWhereTheLayoutPutsThem() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    frmAbout dlg;
    auto* w = dlg.findChild<QWidget*>(name);
    QVERIFY(w);
    QCOMPARE(w->geometry(), pixels);
}

void tst_frmAbout::separatorIsGreyOverWhite() {
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QImage shot = dlg.grab().toImage();
    // Across the whole width: grey on row 80 (1200 twips), white below it.
    for (int x : {0, 178, 355}) {
        QCOMPARE(QColor(shot.pixel(x, 80)), QColor(128, 128, 128));
        QCOMPARE(QColor(shot.pixel(x, 81)), QColor(255, 255, 255));
    }
    // Nothing of the separator above or below it.
    QVERIFY(QColor(shot.pixel(178, 79)) != QColor(128, 128, 128));
    QVERIFY(QColor(shot.pixel(178, 82)) != QColor(255, 255, 255));
}

void tst_frmAbout::showsProgramIconAndPicture() {
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));

    const QPixmap icon = child<QLabel>(dlg, "picIcon")->pixmap();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.deviceIndependentSize().toSize(), QSize(32, 32));

    // The picture fills its whole box, so every corner of the box is drawn
    // (not left in the dialog's colour) and much of it is not background.
    auto* image = child<QLabel>(dlg, "Image1");
    QVERIFY(!image->pixmap().isNull());
    const QImage drawn = image->grab().toImage();
    const QRgb dialogColour = dlg.palette().color(QPalette::Window).rgb();
    QVERIFY(pixelsUnlike(drawn, dialogColour) > drawn.width() * drawn.height() / 2);
    const QImage icons = child<QLabel>(dlg, "picIcon")->grab().toImage();
    QVERIFY(pixelsUnlike(icons, dialogColour) > 100);
}

void tst_frmAbout::everyPictureIsCompiledInAndDraws_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const char* name :
         {"tarvelo", "calculate", "refresh", "save", "exit", "flag_de", "flag_en", "help"})
        QTest::newRow(name) << QStringLiteral(":/icons/%1.png").arg(QLatin1String(name))
                            << QSize(32, 32);
    QTest::newRow("about") << QStringLiteral(":/pictures/about.png") << QSize(380, 373);
}

void tst_frmAbout::everyPictureIsCompiledInAndDraws() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    // Rendered at the SVG's own size, and at twice that for 200 %.
    QImage img(path);
    QVERIFY2(!img.isNull(), "the PNG could not be read");
    QCOMPARE(img.size(), size);
    const QString twice = path.chopped(4) + QStringLiteral("@2x.png");
    QCOMPARE(QImage(twice).size(), size * 2);
    // Through QIcon, as the window uses it, at 100 % and 200 %.
    const QIcon icon = path.startsWith(QStringLiteral(":/icons/"))
                           ? tarvelo::pictureIcon(QFileInfo(path).baseName())
                           : QIcon(path);
    for (qreal ratio : {1.0, 2.0}) {
        const QImage drawn = icon.pixmap(QSize(32, 32), ratio).toImage();
        const int px = qRound(32 * ratio);
        QCOMPARE(drawn.width(), px); // drawn from the rendering of that size
        QVERIFY(pixelsUnlike(drawn, qRgba(0, 0, 0, 0)) > px * px / 4);
    }
}

void tst_frmAbout::closes_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("keypad Enter") << "KeypadEnter";
    QTest::newRow("OK clicked") << "Click";
    QTest::newRow("close box") << "CloseBox";
}

void tst_frmAbout::closes() {
    QFETCH(QString, how);
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto* ok = child<QPushButton>(dlg, "cmdOK");
    QCOMPARE(QApplication::focusWidget(), ok);
    QVERIFY(ok->isDefault());
    if (how == "Esc")
        QTest::keyClick(&dlg, Qt::Key_Escape);
    else if (how == "Enter")
        QTest::keyClick(&dlg, Qt::Key_Return);
    else if (how == "KeypadEnter")
        QTest::keyClick(&dlg, Qt::Key_Enter, Qt::KeypadModifier);
    else if (how == "Click")
        QTest::mouseClick(ok, Qt::LeftButton);
    else
        QVERIFY(dlg.close());
    QVERIFY(!dlg.isVisible());
}

void tst_frmAbout::escEndsTheModalDisplay() {
    QPointer<frmAbout> dlg = new frmAbout;
    bool sent = false;
    QTimer::singleShot(0, dlg, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == dlg.data()) {
            QTest::keyClick(modal, Qt::Key_Escape);
            sent = true;
        }
    });
    // A safety net, so that a dialog that ignores Esc fails instead of hanging.
    QTimer::singleShot(5000, dlg, [&] { dlg->done(42); });
    const int result = dlg->exec();
    QVERIFY(sent);
    QVERIFY(result != 42);
    delete dlg;
}

void tst_frmAbout::secondOpeningIsFreshWithTheSameTexts() {
    auto texts = [](const frmAbout& dlg) {
        return QStringList{dlg.windowTitle(), labelText(dlg, "lblTitle"),
                           labelText(dlg, "lblVersion"), labelText(dlg, "Label1")};
    };
    QStringList first;
    {
        frmAbout dlg;
        dlg.show();
        first = texts(dlg);
        // Whatever happens to the first dialog must not reach the second.
        child<QLabel>(dlg, "lblTitle")->setText(QStringLiteral("changed"));
        dlg.setWindowTitle(QStringLiteral("changed"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
    }
    frmAbout again;
    again.show();
    QCOMPARE(texts(again), first);
    QCOMPARE(first.at(0), QStringLiteral("Info zu TarveloV1R1"));
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
