// Where every control of the main window sits, in twips (1/1440 inch), and
// the one conversion from twips to logical pixels. Qt's high-DPI scaling
// takes logical pixels on from there.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace tarvelo::layout {

// 1440 twips per inch at 96 logical pixels per inch.
inline constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

int toPixels(int twips);
int toTwips(int pixels);
QRect toPixels(const TwipsRect& rect);

// The client area below the menu bar, and where the window stands when no
// stored position is used (left, top of the window, in twips).
inline constexpr int kClientWidth = 12870;
inline constexpr int kClientHeight = 7125;
inline constexpr int kDesignLeft = 1890;
inline constexpr int kDesignTop = 2895;

QSize clientSize();
QPoint designPosition();

// The place of the control named `objectName` relative to its container
// (the client area, or the frame it stands in). Every control of the window
// has one; asking for another name is a programming error.
TwipsRect placeOf(const char* objectName);

// Sets the widget's geometry from the table entry of its object name.
void place(QWidget* control);

// The windows were drawn for a dialog font of Arial's widths; the families of
// this font have them (the first one found is used), so that the texts fit
// their places on every platform.
QFont layoutFont(qreal pointSize, QFont::Weight weight);

} // namespace tarvelo::layout
