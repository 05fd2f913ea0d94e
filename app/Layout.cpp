#include "Layout.h"

#include <QByteArray>
#include <QStringList>
#include <QWidget>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvelo::layout {

namespace {

struct Place {
    const char* name;
    TwipsRect rect; // left, top, width, height
};

// clang-format off
constexpr Place kPlaces[] = {
    // In the client area.
    {"tlbMain",      {0,    0,    12870, 660}},
    {"stbMain",      {0,    6750, 12870, 375}},
    {"Frame1",       {240,  960,  6495,  5535}},
    {"Frame2",       {7080, 960,  5535,  2175}},
    {"cmdRefresh",   {8400, 3720, 2655,  735}},
    {"cmdCalculate", {7080, 4560, 2655,  735}},
    {"cmdSave",      {9960, 4560, 2655,  735}},
    {"cmdExit",      {8400, 5400, 2655,  735}},

    // In Frame2, the results.
    {"Label2_0",  {480,  480,  1215, 255}},
    {"Label2_1",  {480,  960,  1215, 255}},
    {"Label2_2",  {480,  1440, 1215, 255}},
    {"txtLambda", {2160, 360,  1815, 420}},
    {"txtRho",    {2160, 840,  1815, 420}},
    {"txtHu",     {2160, 1320, 1815, 420}},
    {"Label2_3",  {4200, 480,  1095, 255}},
    {"Label2_4",  {4200, 960,  1095, 255}},
    {"Label2_5",  {4200, 1440, 1095, 255}},

    // In Frame1, the inputs.
    {"Label1_0",   {240,  480,  1335, 255}},
    {"txtGasName", {2040, 480,  2775, 285}},
    {"Label1_1",   {1440, 4800, 1935, 255}},
    {"txtSum",     {3480, 4800, 1215, 285}},
    {"Label4_16",  {4800, 4800, 495,  255}},
    {"Label5",     {1800, 5160, 3375, 255}},

    // The sixteen component rows of Frame1: formula, field, "% vol.".
    {"Label3_0",  {240,  1320, 855, 255}}, {"txtGas1",  {1320, 1320, 1215, 285}}, {"Label4_0",  {2640, 1320, 495, 255}},
    {"Label3_1",  {240,  1680, 855, 255}}, {"txtGas2",  {1320, 1680, 1215, 285}}, {"Label4_1",  {2640, 1680, 495, 255}},
    {"Label3_2",  {240,  2040, 855, 255}}, {"txtGas3",  {1320, 2040, 1215, 285}}, {"Label4_2",  {2640, 2040, 495, 255}},
    {"Label3_3",  {240,  2400, 855, 255}}, {"txtGas4",  {1320, 2400, 1215, 285}}, {"Label4_3",  {2640, 2400, 495, 255}},
    {"Label3_4",  {240,  2760, 855, 255}}, {"txtGas5",  {1320, 2760, 1215, 285}}, {"Label4_4",  {2640, 2760, 495, 255}},
    {"Label3_5",  {240,  3120, 855, 255}}, {"txtGas6",  {1320, 3120, 1215, 285}}, {"Label4_5",  {2640, 3120, 495, 255}},
    {"Label3_6",  {240,  3480, 855, 255}}, {"txtGas7",  {1320, 3480, 1215, 285}}, {"Label4_6",  {2640, 3480, 495, 255}},
    {"Label3_7",  {240,  3840, 855, 255}}, {"txtGas8",  {1320, 3840, 1215, 285}}, {"Label4_7",  {2640, 3840, 495, 255}},
    {"Label3_8",  {3480, 1320, 855, 255}}, {"txtGas9",  {4560, 1320, 1215, 285}}, {"Label4_8",  {5880, 1320, 495, 255}},
    {"Label3_9",  {3480, 1680, 855, 255}}, {"txtGas10", {4560, 1680, 1215, 285}}, {"Label4_9",  {5880, 1680, 495, 255}},
    {"Label3_10", {3480, 2040, 855, 255}}, {"txtGas11", {4560, 2040, 1215, 285}}, {"Label4_10", {5880, 2040, 495, 255}},
    {"Label3_11", {3480, 2400, 855, 255}}, {"txtGas12", {4560, 2400, 1215, 285}}, {"Label4_11", {5880, 2400, 495, 255}},
    {"Label3_12", {3480, 2760, 855, 255}}, {"txtGas13", {4560, 2760, 1215, 285}}, {"Label4_12", {5880, 2760, 495, 255}},
    {"Label3_13", {3480, 3120, 855, 255}}, {"txtGas14", {4560, 3120, 1215, 285}}, {"Label4_13", {5880, 3120, 495, 255}},
    {"Label3_14", {3480, 3480, 855, 255}}, {"txtGas15", {4560, 3480, 1215, 285}}, {"Label4_14", {5880, 3480, 495, 255}},
    {"Label3_15", {3480, 3840, 855, 255}}, {"txtGas16", {4560, 3840, 1215, 285}}, {"Label4_15", {5880, 3840, 495, 255}},
};
// clang-format on

} // namespace

int toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

int toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

QRect toPixels(const TwipsRect& rect) {
    return {toPixels(rect.left), toPixels(rect.top), toPixels(rect.width), toPixels(rect.height)};
}

QSize clientSize() {
    return {toPixels(kClientWidth), toPixels(kClientHeight)};
}

QPoint designPosition() {
    return {toPixels(kDesignLeft), toPixels(kDesignTop)};
}

TwipsRect placeOf(const char* objectName) {
    for (const Place& entry : kPlaces)
        if (std::strcmp(entry.name, objectName) == 0)
            return entry.rect;
    throw std::logic_error(std::string("no place in the layout for ") + objectName);
}

void place(QWidget* control) {
    const QByteArray name = control->objectName().toLatin1();
    control->setGeometry(toPixels(placeOf(name.constData())));
}

QFont layoutFont(qreal pointSize, QFont::Weight weight) {
    QFont font(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                           QStringLiteral("Helvetica")});
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace tarvelo::layout
