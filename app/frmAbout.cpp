#include "frmAbout.h"

#include "Identity.h"
#include "Layout.h"
#include "Pictures.h"

#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace {

using tarvelo::layout::kTwipsPerPixel;
using tarvelo::layout::toPixels;
using tarvelo::layout::TwipsRect;

// The dialog's layout, in twips.
constexpr TwipsRect kClient{0, 0, 5340, 2415};
constexpr TwipsRect kCmdOK{3960, 1920, 1260, 345};
constexpr TwipsRect kPicIcon{240, 240, 540, 540};
constexpr TwipsRect kLblTitle{1050, 240, 3885, 480};
constexpr TwipsRect kLblVersion{1080, 780, 3885, 225};
constexpr TwipsRect kLabel1{1320, 1320, 3735, 375};
constexpr TwipsRect kImage1{120, 1320, 1020, 975};
// The separator: a white line two pixels wide with a grey one-pixel line on
// its top edge, reading as an etched groove. Both run past the right edge.
constexpr TwipsRect kLine1White{0, 1200, 5549, 2 * kTwipsPerPixel};
constexpr TwipsRect kLine1Grey{0, 1200, 5564, 1 * kTwipsPerPixel};

constexpr int kIconPixels = 32;
const QColor kTitleColour(0, 192, 0);
const QColor kLineGrey(128, 128, 128);
const QColor kLineWhite(255, 255, 255);

QWidget* makeLine(QWidget* parent, const char* name, const TwipsRect& where, const QColor& colour) {
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(toPixels(where));
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, colour);
    line->setPalette(pal);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(toPixels(kClient).size());
    setSizeGripEnabled(false);
    // No icon of its own: a null icon, so that the application's icon is not
    // inherited. As an owned dialog it stays out of the task bar.
    setWindowIcon(QIcon());

    // Created in tab order: the button first, so that it holds the focus.
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(toPixels(kCmdOK));
    cmdOK->setDefault(true); // Enter; Esc reaches QDialog::reject, which also closes.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(toPixels(kPicIcon));
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(tarvelo::pictureIcon(QStringLiteral("tarvelo"))
                           .pixmap(QSize(kIconPixels, kIconPixels), devicePixelRatioF()));

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(toPixels(kLblTitle));
    lblTitle->setFont(tarvelo::layout::layoutFont(13.5, QFont::Bold));
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, kTitleColour);
    lblTitle->setPalette(titlePalette);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(toPixels(kLblVersion));

    Label1 = new QLabel(QString::fromUtf8(tarvelo::kCopyright), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(toPixels(kLabel1));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The picture is scaled down smoothly to the control's size (times the
    // screen's pixel ratio) from a rendering larger than that, the one at
    // twice its size on a high-density screen, so it stays sharp at 200 %.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QRect imageRect = toPixels(kImage1);
    Image1->setGeometry(imageRect);
    Image1->setScaledContents(true);
    const qreal ratio = devicePixelRatioF();
    QImageReader picture(ratio > 1 ? QStringLiteral(":/pictures/about@2x.png")
                                   : QStringLiteral(":/pictures/about.png"));
    picture.setScaledSize(imageRect.size() * ratio);
    QPixmap stretched = QPixmap::fromImage(picture.read());
    stretched.setDevicePixelRatio(ratio);
    Image1->setPixmap(stretched);

    Line1_0 = makeLine(this, "Line1_0", kLine1White, kLineWhite);
    Line1_1 = makeLine(this, "Line1_1", kLine1Grey, kLineGrey);
    Line1_1->raise();

    // Load: the three texts that name the program.
    const QString title = QString::fromLatin1(tarvelo::kAppTitle);
    setWindowTitle(QStringLiteral("Info zu ") + title);
    lblVersion->setText(QStringLiteral("Version ") + QString::fromLatin1(tarvelo::kVersion));
    lblTitle->setText(title);
}
